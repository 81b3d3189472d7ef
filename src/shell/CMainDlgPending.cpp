// Commands whose work comes with the RAW-file dialogs (scan, extract, insert)
// and with saving, converting and the CLUT viewer. They are routed already, so
// that the menus and the command table are complete; each does nothing yet.

#include "shell/CMainDlg.h"

namespace pixalto::shell {

void CMainDlg::OnScanRawFile() {}
void CMainDlg::OnSaveMultipleFiles() {}
void CMainDlg::OnInsertTimFiles() {}
void CMainDlg::SaveTimFile() {}
void CMainDlg::ConvertToBmpFile() {}
void CMainDlg::ConvertFolderTimToBmp() {}
void CMainDlg::ConvertFolderBmpToTim() {}
void CMainDlg::OnViewClut() {}

}  // namespace pixalto::shell
