#pragma once
// Edits one CLUT entry: shows its old colour and visibility, takes a new red,
// green and blue as typed in decimal (0 to 255), as "#RRGGBB" or from the
// desktop's colour picker, and whether the colour is invisible. The new
// swatch shows at once the colour as it will be stored; "Save" composes the
// new colour word, which the viewer writes into the CLUT; "Cancel" changes
// nothing.

#include <QColor>
#include <functional>
#include <optional>
#include <string>

#include "image/PsxColor.h"
#include "platform/qt/Dialog.h"
#include "workspace/ColorFields.h"

namespace pixalto::shell {

// "R, G, B (Vis)" or "... (Invis)": the old colour's display values and its
// STP bit, which the program shows as visibility.
std::string OldColorText(PsxColor color);

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

    // The colour picker: the colour chosen from the one given, or nothing
    // when it was cancelled. The desktop's dialog unless replaced.
    std::function<std::optional<QColor>(const QColor&)> pickColor;

  protected:
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id) override;

  private:
    workspace::Rgb NewRgb() const { return {newRed, newGreen, newBlue}; }
    void ReadFields();
    void FillFields(const workspace::Rgb& rgb);
    void ReadHexField();
    void PickColor();
    void PaintSwatches(QPainter& painter);

    // Set while the fields are filled from one another, so that the one
    // being typed in isn't rewritten under the cursor.
    bool filling_ = false;
};

}  // namespace pixalto::shell
