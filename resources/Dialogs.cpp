// The dialog templates: every control with its identifier, kind, text and
// position in dialog units.

#include <array>
#include <cstdlib>

#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace pixalto::res {
namespace {

using ui::ControlKind;
using ui::ControlTemplate;
using ui::DialogTemplate;
using ui::kStaticId;
using enum ui::ControlStyle;

constexpr unsigned kInfoEdit = kReadOnly | kDigitsOnly | kAlignRight | kBorder;

constexpr std::array kMainControls = {
    ControlTemplate{kStaticId, ControlKind::GroupBox, "", 4, 1, 158, 214},
    ControlTemplate{kPathEdit, ControlKind::Edit, "", 7, 7, 149, 12,
                    kReadOnly | kAutoHScroll | kBorder},
    ControlTemplate{kEntryList, ControlKind::ListView, "", 7, 23, 78, 175,
                    kSingleSelection | kBorder | kHidden},
    ControlTemplate{kEntryFilter, ControlKind::Edit, "", 7, 200, 78, 12,
                    kAutoHScroll | kBorder | kHidden},
    ControlTemplate{kStaticId, ControlKind::GroupBox, "Image Info", 90, 23, 66, 74},
    ControlTemplate{kStaticId, ControlKind::Label, "Size", 95, 36, 56, 8, kCentered},
    ControlTemplate{kImageSizeEdit, ControlKind::Edit, "", 103, 47, 40, 12, kInfoEdit},
    ControlTemplate{kStaticId, ControlKind::Label, "BPP", 95, 62, 56, 8, kCentered},
    ControlTemplate{kBppEdit, ControlKind::Edit, "", 103, 73, 40, 12, kInfoEdit},
    ControlTemplate{kStaticId, ControlKind::GroupBox, "CLUT Info", 90, 102, 66, 110},
    ControlTemplate{kStaticId, ControlKind::Label, "Size", 95, 113, 56, 8, kCentered},
    ControlTemplate{kClutSizeEdit, ControlKind::Edit, "", 103, 124, 40, 12, kInfoEdit},
    ControlTemplate{kStaticId, ControlKind::Label, "# of Sets", 95, 140, 56, 8, kCentered},
    ControlTemplate{kSetCountEdit, ControlKind::Edit, "", 103, 151, 40, 12, kInfoEdit},
    ControlTemplate{kStaticId, ControlKind::Label, "Current Set", 95, 167, 56, 8, kCentered},
    ControlTemplate{kCurrentSetLabel, ControlKind::Label, "0", 95, 177, 56, 8, kCentered},
    ControlTemplate{kSetScrollBar, ControlKind::ScrollBar, "", 95, 188, 56, 16},
};

constexpr std::array kAboutControls = {
    ControlTemplate{kStaticId, ControlKind::Icon, "", 11, 17, 20, 20},
    ControlTemplate{kStaticId, ControlKind::Label, version::kAboutLine, 40, 10, 119, 8},
    ControlTemplate{kStaticId, ControlKind::Label,
                    "Views, edits and converts PlayStation TIM images.", 40, 25, 119, 18},
    ControlTemplate{kIdOk, ControlKind::DefaultPushButton, "OK", 178, 7, 50, 14},
};

constexpr std::array kClutControls = {
    ControlTemplate{kStaticId, ControlKind::Label, "CLUT 0-25", 9, 11, 60, 8},
    ControlTemplate{kStaticId, ControlKind::Label, "CLUT 26-51", 9, 21, 60, 8},
    ControlTemplate{kStaticId, ControlKind::Label, "CLUT 52-77", 9, 30, 60, 8},
    ControlTemplate{kStaticId, ControlKind::Label, "CLUT 78-103", 9, 39, 60, 8},
    ControlTemplate{kStaticId, ControlKind::Label, "CLUT 104-129", 9, 48, 60, 8},
    ControlTemplate{kStaticId, ControlKind::Label, "CLUT 130-155", 9, 58, 60, 8},
    ControlTemplate{kStaticId, ControlKind::Label, "CLUT 156-181", 9, 67, 60, 8},
    ControlTemplate{kStaticId, ControlKind::Label, "CLUT 182-207", 9, 76, 60, 8},
    ControlTemplate{kStaticId, ControlKind::Label, "CLUT 208-233", 9, 85, 60, 8},
    ControlTemplate{kStaticId, ControlKind::Label, "CLUT 234-255", 9, 95, 60, 8},
    // Under the grid: the Image menu's palette commands, for the set shown.
    ControlTemplate{kCmdExportPalette, ControlKind::PushButton, "Export Palette...", 9, 110, 70,
                    14},
    ControlTemplate{kCmdImportPalette, ControlKind::PushButton, "Import Palette...", 84, 110, 70,
                    14},
};

constexpr std::array kColorEditControls = {
    ControlTemplate{kIdOk, ControlKind::DefaultPushButton, "Save", 161, 7, 50, 14},
    ControlTemplate{kIdCancel, ControlKind::PushButton, "Cancel", 161, 24, 50, 14},
    ControlTemplate{kStaticId, ControlKind::Label, "Old:", 7, 7, 20, 8},
    ControlTemplate{kStaticId, ControlKind::Label, "New:", 75, 7, 20, 8},
    ControlTemplate{kStaticId, ControlKind::Label, "Old RGB:", 7, 61, 36, 8},
    ControlTemplate{kOldColorText, ControlKind::Label, "", 47, 61, 96, 8},
    ControlTemplate{kStaticId, ControlKind::Label, "Change to:", 7, 83, 40, 8},
    ControlTemplate{kStaticId, ControlKind::Label, "Red:", 55, 84, 25, 8},
    ControlTemplate{kRedEdit, ControlKind::Edit, "", 86, 82, 31, 12, kDigitsOnly | kBorder},
    ControlTemplate{kStaticId, ControlKind::Label, "Green:", 55, 99, 25, 8},
    ControlTemplate{kGreenEdit, ControlKind::Edit, "", 86, 97, 31, 12, kDigitsOnly | kBorder},
    ControlTemplate{kStaticId, ControlKind::Label, "Blue:", 55, 114, 25, 8},
    ControlTemplate{kBlueEdit, ControlKind::Edit, "", 86, 112, 31, 12, kDigitsOnly | kBorder},
    ControlTemplate{kInvisibleCheck, ControlKind::CheckBox, "Invisible", 141, 99, 41, 10},
    // The same colour as "#RRGGBB", and the desktop's colour picker.
    ControlTemplate{kStaticId, ControlKind::Label, "Hex:", 122, 114, 17, 8},
    ControlTemplate{kHexColorEdit, ControlKind::Edit, "", 141, 112, 40, 12, kBorder},
    ControlTemplate{kPickColorButton, ControlKind::PushButton, "Pick...", 161, 41, 50, 14},
};

constexpr std::array kExtraFieldsControls = {
    ControlTemplate{kStaticId, ControlKind::Label,
                    "Please provide input for these fields that were not found in the bmp.", 7, 7,
                    183, 19},
    ControlTemplate{kStaticId, ControlKind::Label, "Image Org X:", 7, 33, 42, 8},
    ControlTemplate{kImageOrgXEdit, ControlKind::Edit, "", 57, 32, 40, 12, kDigitsOnly | kBorder},
    ControlTemplate{kStaticId, ControlKind::Label, "Image Org Y:", 7, 47, 42, 8},
    ControlTemplate{kImageOrgYEdit, ControlKind::Edit, "", 57, 46, 40, 12, kDigitsOnly | kBorder},
    ControlTemplate{kClutOrgXLabel, ControlKind::Label, "CLUT Org X:", 7, 63, 42, 8},
    ControlTemplate{kClutOrgXEdit, ControlKind::Edit, "", 57, 62, 40, 12, kDigitsOnly | kBorder},
    ControlTemplate{kClutOrgYLabel, ControlKind::Label, "CLUT Org Y:", 7, 77, 42, 8},
    ControlTemplate{kClutOrgYEdit, ControlKind::Edit, "", 57, 76, 40, 12, kDigitsOnly | kBorder},
    ControlTemplate{kIdOk, ControlKind::DefaultPushButton, "Continue", 140, 51, 50, 14},
};

// A job runs to its end and closes the dialog itself; a scan alone can be
// cancelled, keeping what it found.
constexpr std::array kScanControls = {
    ControlTemplate{kScanProgress, ControlKind::ProgressBar, "", 7, 7, 276, 15},
    ControlTemplate{kScanStatusUpper, ControlKind::Label, "", 7, 29, 276, 8, kCentered},
    ControlTemplate{kScanStatusLower, ControlKind::Label, "", 7, 42, 276, 8, kCentered},
    ControlTemplate{kScanCancel, ControlKind::PushButton, "Cancel", 120, 56, 50, 14},
};

constexpr std::array kExtractNumbersControls = {
    ControlTemplate{kStaticId, ControlKind::Label,
                    "Type in the number(s) from the ListBox of which tim files you want to extract "
                    "(and maybe later, reinsert):",
                    7, 7, 114, 27},
    ControlTemplate{kRangeEdit, ControlKind::Edit, "", 7, 44, 172, 12,
                    kAutoHScroll | kUpperCase | kBorder},
    ControlTemplate{kStaticId, ControlKind::Label, "Example: 1,2-3,5-", 7, 66, 56, 8},
    ControlTemplate{kIdOk, ControlKind::DefaultPushButton, "OK", 129, 7, 50, 14},
    ControlTemplate{kIdCancel, ControlKind::PushButton, "Cancel", 129, 24, 50, 14},
};

constexpr std::array kDialogs = {
    DialogTemplate{kMainDialog, "Pixalto", 350, 220,
                   ui::kSystemMenu | ui::kMinimizeBox | ui::kSizingBorder, kMainControls},
    DialogTemplate{kAboutDialog, "About Pixalto", 235, 55, ui::kSystemMenu, kAboutControls},
    // The CLUT viewer: the labels of its ten rows and the palette buttons; the
    // swatches are painted.
    DialogTemplate{kClutDialog, "CLUT", 259, 130, ui::kSystemMenu, kClutControls},
    DialogTemplate{kColorEditDialog, "Dialog", 218, 134, ui::kSystemMenu, kColorEditControls},
    // A caption only: the user leaves it with Continue and nothing else.
    DialogTemplate{kExtraFieldsDialog, "Input Extra Fields not found in the BMP", 197, 95,
                   ui::kDialogNoStyle, kExtraFieldsControls},
    // A caption only: no close box; only the scan's Cancel stops a job.
    DialogTemplate{kScanDialog, "Scanning....", 290, 76, ui::kDialogNoStyle, kScanControls},
    DialogTemplate{kExtractNumbersDialog, "File #s to Extract", 186, 81, ui::kSystemMenu,
                   kExtractNumbersControls},
};

}  // namespace

const ui::DialogTemplate& DialogResource(int id) {
    for (const auto& dialog : kDialogs) {
        if (dialog.id == id) {
            return dialog;
        }
    }
    std::abort();
}

std::string StringResource(int id) {
    if (id == kAboutMenuString) {
        return "&About pixalto...";
    }
    return {};
}

}  // namespace pixalto::res
