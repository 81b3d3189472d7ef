#pragma once
// Looking up the program's resources by identifier.

#include <QIcon>
#include <string>

#include "platform/qt/Templates.h"
#include "resources/Version.h"

namespace pixalto::res {

// The template or menu with that identifier; an unknown identifier is a
// programming error and aborts.
const ui::DialogTemplate& DialogResource(int id);
const ui::MenuTemplate& MenuResource(int id);
// The string with that identifier, "" when there is none.
std::string StringResource(int id);

// The application icon: a 32 x 32 and a 16 x 16 picture.
QIcon AppIcon();

inline constexpr const char* kProductName = version::kProductName;
inline constexpr const char* kVersionText = version::kRecordText;

}  // namespace pixalto::res
