#pragma once
// The CLUT viewer's place in the main window. The viewer itself (its swatch
// grid and the colour editor) comes later; until then it is never shown, and
// it already follows every paint so that the window's calls stay as they
// will be.

#include <cstdint>
#include <vector>

#include "image/Paint.h"

namespace pixalto::shell {

class CClutDlg final : public PaintObserver {
  public:
    void OnPaint(std::uint32_t currentSet, std::vector<std::uint8_t>& clutData,
                 std::uint32_t bpp) override {
        (void)currentSet;
        (void)clutData;
        (void)bpp;
    }
    bool IsWindowVisible() const { return false; }
    void Hide() {}
};

}  // namespace pixalto::shell
