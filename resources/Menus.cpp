// Menus 129 (nothing loaded) and 130 (an image or a RAW file loaded). Every
// popup and item has a mnemonic, unique within its menu; the shortcuts are
// the usual ones of their commands.

#include <array>
#include <cstdlib>

#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace pixalto::res {
namespace {

using ui::MenuItemTemplate;
using ui::MenuTemplate;

constexpr MenuItemTemplate kSeparator{nullptr, 0};

constexpr std::array kFileEmpty = {
    MenuItemTemplate{"&Open TIM", kCmdOpenTim, {}, "Ctrl+O"},
    MenuItemTemplate{"Open &BMP", kCmdOpenBmp, {}, "Ctrl+Shift+O"},
    MenuItemTemplate{"Open &PNG", kCmdOpenPng},
    MenuItemTemplate{"Scan &RAW File", kCmdScanRawFile, {}, "Ctrl+R"},
    kSeparator,
    MenuItemTemplate{"&Insert TIM File(s)", kCmdInsertTimFiles},
    kSeparator,
    MenuItemTemplate{"E&xit", kCmdExit, {}, "Ctrl+Q"},
};

constexpr std::array kFileLoaded = {
    MenuItemTemplate{"&Open TIM", kCmdOpenTim, {}, "Ctrl+O"},
    MenuItemTemplate{"Open &BMP", kCmdOpenBmp, {}, "Ctrl+Shift+O"},
    MenuItemTemplate{"Open &PNG", kCmdOpenPng},
    MenuItemTemplate{"Scan &RAW File", kCmdScanRawFile, {}, "Ctrl+R"},
    kSeparator,
    MenuItemTemplate{"&Save TIM File", kCmdSaveTimFile, {}, "Ctrl+S"},
    MenuItemTemplate{"Save &Multiple Files", kCmdSaveMultipleFiles},
    kSeparator,
    MenuItemTemplate{"&Insert TIM File(s)", kCmdInsertTimFiles},
    kSeparator,
    MenuItemTemplate{"&Close Image/File", kCmdCloseImage, {}, "Ctrl+W"},
    kSeparator,
    MenuItemTemplate{"E&xit", kCmdExit, {}, "Ctrl+Q"},
};

constexpr std::array kEdit = {
    MenuItemTemplate{"&Undo", kCmdUndo, {}, "Ctrl+Z"},
    MenuItemTemplate{"&Redo", kCmdRedo, {}, "Ctrl+Y"},
};

constexpr std::array kView = {
    MenuItemTemplate{"&Split Image", kCmdSplitImage},
    kSeparator,
    MenuItemTemplate{"&Transparency", kCmdTransparency},
    MenuItemTemplate{"&Checkerboard", kCmdCheckerboard},
    kSeparator,
    MenuItemTemplate{"Zoom &In", kCmdZoomIn},
    MenuItemTemplate{"Zoom &Out", kCmdZoomOut},
    MenuItemTemplate{"&Actual Size", kCmdActualSize},
    MenuItemTemplate{"&Fit to Window", kCmdFitToWindow},
    kSeparator,
    MenuItemTemplate{"&Device Pixels", kCmdDevicePixels},
    kSeparator,
    MenuItemTemplate{"Fo&llow Selection", kCmdFollowSelection},
};

constexpr std::array kImage = {
    MenuItemTemplate{"&View Clut", kCmdViewClut},
    kSeparator,
    MenuItemTemplate{"&Convert to BMP", kCmdConvertToBmp},
    MenuItemTemplate{"Export &PNG", kCmdExportPng},
    MenuItemTemplate{"Export Pa&lette", kCmdExportPalette},
    MenuItemTemplate{"&Import Palette", kCmdImportPalette},
};

constexpr std::array kConvert = {
    MenuItemTemplate{"&TIM to BMP", kCmdFolderTimToBmp},
    MenuItemTemplate{"&BMP to TIM", kCmdFolderBmpToTim},
    MenuItemTemplate{"TIM to &PNG", kCmdFolderTimToPng},
    MenuItemTemplate{"P&NG to TIM", kCmdFolderPngToTim},
};

constexpr std::array kHelp = {
    MenuItemTemplate{"&About", kCmdAbout},
};

constexpr std::array kEmptyPopups = {
    MenuItemTemplate{"&File", 0, kFileEmpty},
    MenuItemTemplate{"&View", 0, kView},
    MenuItemTemplate{"&Convert", 0, kConvert},
    MenuItemTemplate{"&Help", 0, kHelp},
};

constexpr std::array kLoadedPopups = {
    MenuItemTemplate{"&File", 0, kFileLoaded}, MenuItemTemplate{"&Edit", 0, kEdit},
    MenuItemTemplate{"&View", 0, kView},       MenuItemTemplate{"&Image", 0, kImage},
    MenuItemTemplate{"&Convert", 0, kConvert}, MenuItemTemplate{"&Help", 0, kHelp},
};

constexpr std::array kMenus = {
    MenuTemplate{kMenuEmpty, kEmptyPopups},
    MenuTemplate{kMenuLoaded, kLoadedPopups},
};

}  // namespace

const ui::MenuTemplate& MenuResource(int id) {
    for (const auto& menu : kMenus) {
        if (menu.id == id) {
            return menu;
        }
    }
    std::abort();
}

}  // namespace pixalto::res
