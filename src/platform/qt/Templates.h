#pragma once
// Dialog templates and menus as plain data. The program's own resources
// (resources/) are tables of these; the Qt side (Dialog, MenuBar) turns them
// into widgets. Positions are in dialog units, converted to pixels in one
// place (DialogUnits.h).

#include <span>

namespace pixalto::ui {

// The identifier of a control that nothing looks up (frames, fixed labels).
inline constexpr int kStaticId = -1;

enum class ControlKind {
    GroupBox,
    Label,
    Edit,
    ListView,
    ScrollBar,
    PushButton,
    DefaultPushButton,
    ProgressBar,
    CheckBox,
    Icon,  // the application icon, drawn at its own size
};

// Style bits of a control; any combination.
enum ControlStyle : unsigned {
    kNoStyle = 0,
    kReadOnly = 1u << 0,     // edit: the user can't change it
    kDigitsOnly = 1u << 1,   // edit: only digits can be typed
    kAlignRight = 1u << 2,   // edit/label text alignment
    kCentered = 1u << 3,     // label text alignment
    kHidden = 1u << 4,       // created hidden
    kBorder = 1u << 5,       // edit/list: a sunken border
    kAutoHScroll = 1u << 6,  // edit: scrolls sideways instead of limiting the text
    kSingleSelection = 1u << 7,
    kUpperCase = 1u << 8,  // edit: typed letters become upper case
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;
    int x, y, width, height;  // dialog units
    unsigned style = kNoStyle;
};

enum DialogStyle : unsigned {
    kDialogNoStyle = 0,
    kSystemMenu = 1u << 0,  // a close box
    kMinimizeBox = 1u << 1,
    kSizingBorder = 1u << 2,
};

struct DialogTemplate {
    int id;
    const char* title;
    int width, height;  // of the client area, dialog units
    unsigned style;
    std::span<const ControlTemplate> controls;
};

// A menu entry: a command (id > 0), a separator (text == nullptr), or a popup
// (items not empty). A command may have a key sequence in Qt's portable text
// ("Ctrl+Z"), which reaches it while its window is active.
struct MenuItemTemplate {
    const char* text;
    int id;
    std::span<const MenuItemTemplate> items = {};
    const char* shortcut = nullptr;
};

struct MenuTemplate {
    int id;
    std::span<const MenuItemTemplate> popups;
};

}  // namespace pixalto::ui
