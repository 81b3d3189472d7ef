#include "shell/CColorEditDlg.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <cstdio>

#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace pixalto::shell {
namespace {

// Characters of a field that are read; the rest is ignored, as typed.
constexpr std::size_t kFieldCharsRead = 3;

constexpr int kColorFields[] = {res::kRedEdit, res::kGreenEdit, res::kBlueEdit};

void FillSwatch(QPainter& painter, const QRect& rect, int red, int green, int blue) {
    painter.fillRect(rect, QColor(red & 0xFF, green & 0xFF, blue & 0xFF));
}

}  // namespace

std::string OldColorText(PsxColor color) {
    char text[64];
    std::snprintf(text, sizeof text, "%i, %i, %i %s", Expand5To8(PsxRed(color)),
                  Expand5To8(PsxGreen(color)), Expand5To8(PsxBlue(color)),
                  PsxStp(color) ? "(Vis)" : "(Invis)");
    return text;
}

std::optional<int> ReadColorField(const std::string& text) {
    // Three characters can't overflow an int, whatever their base.
    const std::string head = text.substr(0, kFieldCharsRead);
    int value = 0;
    if (std::sscanf(head.c_str(), "%i", &value) != 1) {
        return std::nullopt;
    }
    return value;
}

PsxColor ComposeColor(int red, int green, int blue, bool invisible) {
    // Bits 3 to 7 of a typed value are those of its low byte.
    return RgbToPsx(static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                    static_cast<std::uint8_t>(blue), !invisible);
}

CColorEditDlg::CColorEditDlg(QWidget* parent)
    : Dialog(res::DialogResource(res::kColorEditDialog), parent) {
    Client()->SetPaintHook([this](QPainter& painter, const QRect&) { PaintSwatches(painter); });
    for (int id : kColorFields) {
        // Every change is read at once and shown in the new swatch.
        connect(Item<QLineEdit>(id), &QLineEdit::textChanged, this, [this] {
            ReadFields();
            Client()->update();
        });
    }
}

bool CColorEditDlg::OnInitDialog() {
    oldRed = Expand5To8(PsxRed(oldColor));
    oldGreen = Expand5To8(PsxGreen(oldColor));
    oldBlue = Expand5To8(PsxBlue(oldColor));
    SetDlgItemText(res::kOldColorText, OldColorText(oldColor));
    Item<QCheckBox>(res::kInvisibleCheck)->setChecked(!PsxStp(oldColor));
    SetDlgItemText(res::kRedEdit, std::to_string(oldRed));
    SetDlgItemText(res::kGreenEdit, std::to_string(oldGreen));
    SetDlgItemText(res::kBlueEdit, std::to_string(oldBlue));
    ReadFields();
    return true;
}

void CColorEditDlg::ReadFields() {
    int* values[] = {&newRed, &newGreen, &newBlue};
    for (std::size_t i = 0; i < std::size(kColorFields); ++i) {
        if (const auto value = ReadColorField(GetDlgItemText(kColorFields[i]))) {
            *values[i] = *value;
        }
    }
}

void CColorEditDlg::PaintSwatches(QPainter& painter) {
    FillSwatch(painter, kOldSwatch, oldRed, oldGreen, oldBlue);
    FillSwatch(painter, kNewSwatch, newRed, newGreen, newBlue);
}

void CColorEditDlg::OnOK() {
    newColor =
        ComposeColor(newRed, newGreen, newBlue, Item<QCheckBox>(res::kInvisibleCheck)->isChecked());
    EndDialog(res::kIdOk);
}

}  // namespace pixalto::shell
