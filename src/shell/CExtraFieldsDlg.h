#pragma once
// Asks for the frame-buffer origins that a BMP can't carry, when a BMP is
// converted to a TIM without a usable sidecar. It opens with "1" for the
// image origin and "2" for the CLUT origin every time, hides the CLUT fields
// for images without a CLUT, and can only be left with Continue once every
// field holds an unsigned decimal number.

#include <cstdint>
#include <optional>
#include <string>

#include "image/Convert.h"
#include "platform/qt/Dialog.h"
#include "platform/qt/Prompts.h"

namespace pixalto::shell {

// The validation message shown when a field holds no unsigned number.
inline constexpr const char* kNotAnUnsignedNumber = "Please enter an unsigned whole number.";
inline constexpr const char* kValidationTitle = "Pixalto";

// An unsigned decimal number of 32 bits: digits only, nothing else.
std::optional<std::uint32_t> ParseUnsignedDecimal(const std::string& text);

class CExtraFieldsDlg final : public ui::Dialog {
    Q_OBJECT
  public:
    CExtraFieldsDlg(ui::Prompts& prompts, QWidget* parent);

    std::uint32_t clutOrgX = 0;
    std::uint32_t clutOrgY = 0;
    std::uint32_t imageOrgX = 0;
    std::uint32_t imageOrgY = 0;
    bool hasClut = false;  // set by the caller before each showing

    // Names the BMP asked about in the title, for a batch of files; an empty
    // name gives back the title that asks about "the BMP".
    void SetBmpName(const std::string& name);

  protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void showEvent(QShowEvent* event) override;

  private:
    void OnShowWindow();
    // Reads one field into value; on failure says so and keeps the focus there.
    bool ExchangeField(int id, std::uint32_t& value);

    ui::Prompts& prompts_;
};

// The origins request of the BMP-to-TIM conversion, answered with the dialog.
class ExtraFieldsRequest final : public OriginsRequest {
  public:
    explicit ExtraFieldsRequest(CExtraFieldsDlg& dialog) : dialog_(dialog) {}
    std::optional<Origins> AskOrigins(bool hasClut) override;
    // The BMP that the next questions are about, for the dialog's title.
    void SetBmpPath(const std::string& path);

  private:
    CExtraFieldsDlg& dialog_;
    std::string bmpName_;
};

}  // namespace pixalto::shell
