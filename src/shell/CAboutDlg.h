#pragma once

#include "platform/qt/Dialog.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace pixalto::shell {

// The About box: the icon, the name and version, and OK.
class CAboutDlg final : public ui::Dialog {
  public:
    explicit CAboutDlg(QWidget* parent) : Dialog(res::DialogResource(res::kAboutDialog), parent) {}
};

}  // namespace pixalto::shell
