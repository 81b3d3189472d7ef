#pragma once
// Edits one CLUT entry: shows its old colour and visibility, takes a new red,
// green and blue as typed (0 to 255, each shown at once in the new swatch)
// and whether the colour is invisible, and on "Save" composes the new colour
// word. The viewer writes it into the CLUT; "Cancel" changes nothing.

#include <optional>
#include <string>

#include "image/PsxColor.h"
#include "platform/qt/Dialog.h"

namespace pixalto::shell {

// "R, G, B (Vis)" or "... (Invis)": the old colour's display values and its
// STP bit, which the program shows as visibility.
std::string OldColorText(PsxColor color);

// A colour field as the editor reads it: its first three characters at most,
// parsed as one integer the way "%i" reads (a leading 0 makes the digits
// octal, 0x hexadecimal); nothing when no number starts there.
std::optional<int> ReadColorField(const std::string& text);

// The colour word of three typed components (bits 3 to 7 of each are kept)
// with the STP bit set unless the colour is invisible.
PsxColor ComposeColor(int red, int green, int blue, bool invisible);

class CColorEditDlg final : public ui::Dialog {
    Q_OBJECT
  public:
    explicit CColorEditDlg(QWidget* parent);

    // Swatches in client pixels, right and bottom edges exclusive.
    static constexpr QRect kOldSwatch{10, 30, 35, 35};
    static constexpr QRect kNewSwatch{115, 30, 35, 35};

    PsxColor oldColor = 0;  // set by the caller before each showing
    PsxColor newColor = 0;  // composed by "Save"
    int oldRed = 0, oldGreen = 0, oldBlue = 0;
    // As last read from the fields: a field that holds no number keeps the
    // value it had.
    int newRed = 0, newGreen = 0, newBlue = 0;

  protected:
    bool OnInitDialog() override;
    void OnOK() override;

  private:
    void ReadFields();
    void PaintSwatches(QPainter& painter);
};

}  // namespace pixalto::shell
