// Commands whose work comes with the RAW-file dialogs (scan, extract, insert).
// They are routed already, so that the menus and the command table are
// complete; each does nothing yet.

#include "shell/CMainDlg.h"

namespace pixalto::shell {

void CMainDlg::OnScanRawFile() {}
void CMainDlg::OnSaveMultipleFiles() {}
void CMainDlg::OnInsertTimFiles() {}

}  // namespace pixalto::shell
