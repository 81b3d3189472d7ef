#include "shell/CExtractNumbersDlg.h"

#include "messages/Catalogue.h"
#include "raw/RangeParser.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace pixalto::shell {

CExtractNumbersDlg::CExtractNumbersDlg(ui::Prompts& prompts, QWidget* parent)
    : Dialog(res::DialogResource(res::kExtractNumbersDialog), parent), prompts_(prompts) {}

bool CExtractNumbersDlg::OnInitDialog() {
    SetDlgItemText(res::kRangeEdit, text);
    return true;
}

void CExtractNumbersDlg::OnOK() {
    text = GetDlgItemText(res::kRangeEdit);
    const auto selected = raw::CheckSelection(text, entryCount);
    if (!selected) {
        // The dialog stays open with the text as typed.
        prompts_.MessageBox(msg::Text(Error(ErrorCode::InvalidSelection)),
                            msg::kInvalidSelectionTitle);
        return;
    }
    total = *selected;
    if (acceptedText != nullptr) {
        *acceptedText = text;
    }
    EndDialog(res::kIdOk);
}

}  // namespace pixalto::shell
