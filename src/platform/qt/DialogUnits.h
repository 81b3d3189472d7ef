#pragma once
// The one conversion from dialog units to pixels. The templates were laid out
// for an 8-point font whose average character is 6 x 13 pixels; a dialog unit
// is a quarter of that width and an eighth of that height, so 1.5 pixels
// across and 1.625 down. Edges are converted, not sizes, so that controls that
// touch in units still touch in pixels.

#include <QRect>

namespace pixalto::ui {

inline constexpr int kBaseUnitX = 6;
inline constexpr int kBaseUnitY = 13;

// v * num / den rounded to the nearest whole number, halves away from zero.
constexpr int ScaleRounded(int v, int num, int den) {
    const long long product = static_cast<long long>(v) * num;
    const long long half = den / 2;
    return static_cast<int>(product >= 0 ? (product + half) / den : -((-product + half) / den));
}

constexpr int DialogUnitsToPixelsX(int units) {
    return ScaleRounded(units, kBaseUnitX, 4);
}
constexpr int DialogUnitsToPixelsY(int units) {
    return ScaleRounded(units, kBaseUnitY, 8);
}

// A rectangle given in dialog units (left, top, width, height) in pixels.
inline QRect DialogRectToPixels(int x, int y, int width, int height) {
    const int left = DialogUnitsToPixelsX(x);
    const int top = DialogUnitsToPixelsY(y);
    const int right = DialogUnitsToPixelsX(x + width);
    const int bottom = DialogUnitsToPixelsY(y + height);
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace pixalto::ui
