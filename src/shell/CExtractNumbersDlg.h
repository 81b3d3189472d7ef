#pragma once
// Asks which entries of the list to extract, as file numbers and ranges such
// as "1,2-3,5-". OK accepts only a text whose every piece selects entries
// that exist, and counts the files it selects; the box turns typed letters
// into upper case and shows, at the next opening, the text OK last read.

#include <cstdint>
#include <string>

#include "platform/qt/Dialog.h"
#include "platform/qt/Prompts.h"

namespace pixalto::shell {

class CExtractNumbersDlg final : public ui::Dialog {
    Q_OBJECT
  public:
    CExtractNumbersDlg(ui::Prompts& prompts, QWidget* parent);

    // The input box's text as OK last read it; empty at first.
    std::string text;
    // Set by the caller before each showing: the number of rows in the list,
    // and where an accepted text goes.
    std::uint32_t entryCount = 0;
    std::string* acceptedText = nullptr;
    // After OK: how many files the accepted text selects.
    std::uint64_t total = 0;

  protected:
    bool OnInitDialog() override;
    void OnOK() override;

  private:
    ui::Prompts& prompts_;
};

}  // namespace pixalto::shell
