#include "shell/CColorEditDlg.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QLineEdit>
#include <QPainter>
#include <cstdio>

#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace pixalto::shell {
namespace {

constexpr int kColorFields[] = {res::kRedEdit, res::kGreenEdit, res::kBlueEdit};

// "#RRGGBB" and nothing more.
constexpr int kHexFieldLength = 7;

void FillSwatch(QPainter& painter, const QRect& rect, Pixel color) {
    painter.fillRect(rect, QColor::fromRgb(color));
}

std::optional<QColor> DesktopColorPicker(QWidget* parent, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, parent);
    return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
}

}  // namespace

std::string OldColorText(PsxColor color) {
    char text[64];
    std::snprintf(text, sizeof text, "%i, %i, %i %s", Expand5To8(PsxRed(color)),
                  Expand5To8(PsxGreen(color)), Expand5To8(PsxBlue(color)),
                  PsxStp(color) ? "(Vis)" : "(Invis)");
    return text;
}

CColorEditDlg::CColorEditDlg(QWidget* parent)
    : Dialog(res::DialogResource(res::kColorEditDialog), parent),
      pickColor([this](const QColor& initial) { return DesktopColorPicker(this, initial); }) {
    Client()->SetPaintHook([this](QPainter& painter, const QRect&) { PaintSwatches(painter); });
    for (int id : kColorFields) {
        // Every change is read at once and shown in the new swatch.
        connect(Item<QLineEdit>(id), &QLineEdit::textChanged, this, [this] {
            ReadFields();
            Client()->update();
        });
    }
    auto* hex = Item<QLineEdit>(res::kHexColorEdit);
    hex->setMaxLength(kHexFieldLength);
    connect(hex, &QLineEdit::textChanged, this, [this] { ReadHexField(); });
}

bool CColorEditDlg::OnInitDialog() {
    oldRed = Expand5To8(PsxRed(oldColor));
    oldGreen = Expand5To8(PsxGreen(oldColor));
    oldBlue = Expand5To8(PsxBlue(oldColor));
    SetDlgItemText(res::kOldColorText, OldColorText(oldColor));
    Item<QCheckBox>(res::kInvisibleCheck)->setChecked(!PsxStp(oldColor));
    FillFields({oldRed, oldGreen, oldBlue});
    ReadFields();
    return true;
}

bool CColorEditDlg::OnCommand(int id) {
    if (id == res::kPickColorButton) {
        PickColor();
        return true;
    }
    return Dialog::OnCommand(id);
}

void CColorEditDlg::ReadFields() {
    int* values[] = {&newRed, &newGreen, &newBlue};
    for (std::size_t i = 0; i < std::size(kColorFields); ++i) {
        if (const auto value = workspace::ReadColorField(GetDlgItemText(kColorFields[i]))) {
            *values[i] = *value;
        }
    }
    if (!filling_) {
        filling_ = true;
        SetDlgItemText(res::kHexColorEdit, workspace::HexColorText(NewRgb()));
        filling_ = false;
    }
}

void CColorEditDlg::FillFields(const workspace::Rgb& rgb) {
    for (std::size_t i = 0; i < std::size(kColorFields); ++i) {
        SetDlgItemText(kColorFields[i], std::to_string(rgb[i]));
    }
}

void CColorEditDlg::ReadHexField() {
    if (filling_) {
        return;
    }
    if (const auto rgb = workspace::ReadHexColor(GetDlgItemText(res::kHexColorEdit))) {
        filling_ = true;
        FillFields(*rgb);
        filling_ = false;
    }
}

void CColorEditDlg::PickColor() {
    const workspace::Rgb shown = NewRgb();
    if (const auto chosen = pickColor(QColor(shown[0] & 0xFF, shown[1] & 0xFF, shown[2] & 0xFF))) {
        FillFields({chosen->red(), chosen->green(), chosen->blue()});
    }
}

void CColorEditDlg::PaintSwatches(QPainter& painter) {
    FillSwatch(painter, kOldSwatch,
               MakePixel(static_cast<std::uint8_t>(oldRed), static_cast<std::uint8_t>(oldGreen),
                         static_cast<std::uint8_t>(oldBlue)));
    // The new colour as it will be stored: 5 bits a component, shown as the
    // viewer and the image will show it.
    FillSwatch(painter, kNewSwatch, PsxToPixel(workspace::ComposeColor(NewRgb(), false)));
}

void CColorEditDlg::OnOK() {
    newColor =
        workspace::ComposeColor(NewRgb(), Item<QCheckBox>(res::kInvisibleCheck)->isChecked());
    EndDialog(res::kIdOk);
}

}  // namespace pixalto::shell
