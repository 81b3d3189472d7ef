#include "shell/CExtraFieldsDlg.h"

#include <QLineEdit>

#include "platform/File.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace pixalto::shell {

std::optional<std::uint32_t> ParseUnsignedDecimal(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > 0xFFFFFFFFu) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}

CExtraFieldsDlg::CExtraFieldsDlg(ui::Prompts& prompts, QWidget* parent)
    : Dialog(res::DialogResource(res::kExtraFieldsDialog), parent), prompts_(prompts) {}

void CExtraFieldsDlg::SetBmpName(const std::string& name) {
    const std::string title = name.empty() ? res::DialogResource(res::kExtraFieldsDialog).title
                                           : "Input Extra Fields not found in " + name;
    setWindowTitle(QString::fromStdString(title));
}

bool CExtraFieldsDlg::OnInitDialog() {
    SetDlgItemText(res::kClutOrgXEdit, std::to_string(clutOrgX));
    SetDlgItemText(res::kClutOrgYEdit, std::to_string(clutOrgY));
    SetDlgItemText(res::kImageOrgXEdit, std::to_string(imageOrgX));
    SetDlgItemText(res::kImageOrgYEdit, std::to_string(imageOrgY));
    return true;
}

void CExtraFieldsDlg::showEvent(QShowEvent* event) {
    Dialog::showEvent(event);
    OnShowWindow();
}

void CExtraFieldsDlg::OnShowWindow() {
    SetDlgItemText(res::kImageOrgXEdit, "1");
    SetDlgItemText(res::kImageOrgYEdit, "1");
    // Each showing decides again whether the CLUT fields are wanted.
    for (int id :
         {res::kClutOrgXLabel, res::kClutOrgYLabel, res::kClutOrgXEdit, res::kClutOrgYEdit}) {
        ShowDlgItem(id, hasClut);
    }
    if (hasClut) {
        SetDlgItemText(res::kClutOrgXEdit, "2");
        SetDlgItemText(res::kClutOrgYEdit, "2");
    }
}

bool CExtraFieldsDlg::ExchangeField(int id, std::uint32_t& value) {
    const auto number = ParseUnsignedDecimal(GetDlgItemText(id));
    if (!number) {
        prompts_.MessageBox(kNotAnUnsignedNumber, kValidationTitle);
        if (auto* edit = Item<QLineEdit>(id)) {
            edit->setFocus();
            edit->selectAll();
        }
        return false;
    }
    value = *number;
    return true;
}

void CExtraFieldsDlg::OnOK() {
    if (ExchangeField(res::kClutOrgXEdit, clutOrgX) &&
        ExchangeField(res::kClutOrgYEdit, clutOrgY) &&
        ExchangeField(res::kImageOrgXEdit, imageOrgX) &&
        ExchangeField(res::kImageOrgYEdit, imageOrgY)) {
        EndDialog(res::kIdOk);
    }
}

void ExtraFieldsRequest::SetBmpPath(const std::string& path) {
    bmpName_ = FileNameOf(path);
}

std::optional<Origins> ExtraFieldsRequest::AskOrigins(bool hasClut) {
    dialog_.hasClut = hasClut;
    dialog_.SetBmpName(bmpName_);
    if (dialog_.DoModal() != res::kIdOk) {
        return std::nullopt;
    }
    return Origins{dialog_.imageOrgX, dialog_.imageOrgY, dialog_.clutOrgX, dialog_.clutOrgY};
}

}  // namespace pixalto::shell
