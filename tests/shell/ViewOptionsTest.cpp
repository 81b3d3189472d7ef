// Split Image, Transparency and the CLUT-set scroll bar: their menu marks,
// what they erase and what they draw.

#include <QAction>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <functional>

#include "image/PsxColor.h"
#include "resources/ResourceIds.h"
#include "shell/ShellTestSupport.h"

namespace pixalto::testing {
namespace {

using shell::CMainDlg;
using ui::MenuMark;

// Four sets whose entry 1 is red, green, blue and white; entry 0 is word 0.
std::vector<std::uint16_t> FourSets() {
    std::vector<std::uint16_t> clut(64, 0);
    const std::uint16_t colours[] = {0x001F, 0x03E0, 0x7C00, 0x7FFF};
    for (int set = 0; set < 4; ++set) {
        clut[set * 16 + 1] = colours[set];
        clut[set * 16 + 2] = 0x0010;
        clut[set * 16 + 3] = 0x4210;
    }
    return clut;
}

const Pixel kSetColour[] = {MakePixel(255, 7, 7), MakePixel(7, 255, 7), MakePixel(7, 7, 255),
                            MakePixel(255, 255, 255)};

TEST_F(MainWindowTest, ViewOptionsWithoutAnImageChangeOnlyTheirMarks) {
    window->drawSurface.FillSolidRect(330, 5, 4, 4, MakePixel(1, 2, 3));
    window->OnCommand(res::kCmdSplitImage);
    window->OnCommand(res::kCmdTransparency);
    EXPECT_TRUE(window->workspace.splitImage);
    EXPECT_TRUE(window->workspace.transparency);
    EXPECT_EQ(Menu().MarkOf(res::kCmdSplitImage), MenuMark::Radio);
    EXPECT_EQ(Menu().MarkOf(res::kCmdTransparency), MenuMark::Check);
    EXPECT_EQ(ImagePixel(0, 0), MakePixel(1, 2, 3));

    // The marks survive a load and a close, on both menus.
    OpenTim(WriteTim("a.tim", PatternTim(16, 4, 4)));
    EXPECT_EQ(Menu().MarkOf(res::kCmdSplitImage), MenuMark::Radio);
    EXPECT_EQ(Menu().MarkOf(res::kCmdTransparency), MenuMark::Check);
    EXPECT_EQ(window->workspace.image.paintedHeight, 2u);
    window->OnCommand(res::kCmdCloseImage);
    EXPECT_EQ(Menu().MarkOf(res::kCmdSplitImage), MenuMark::Radio);
    EXPECT_EQ(Menu().MarkOf(res::kCmdTransparency), MenuMark::Check);

    window->OnCommand(res::kCmdSplitImage);
    window->OnCommand(res::kCmdTransparency);
    EXPECT_EQ(Menu().MarkOf(res::kCmdSplitImage), MenuMark::None);
    EXPECT_EQ(Menu().MarkOf(res::kCmdTransparency), MenuMark::None);
}

TEST_F(MainWindowTest, SplitImageErasesThePreviousExtentAndOrsTheHalves) {
    // 4 x 4 pixels: rows 0-1 hold index 1, rows 2-3 index 2; split gives 3.
    OpenTim(WriteTim("split.tim",
                     Tim4(4, 4, FourSets(), {0x11, 0x11, 0x11, 0x11, 0x22, 0x22, 0x22, 0x22})));
    ASSERT_EQ(ImagePixel(0, 3), MakePixel(135, 7, 7));

    window->OnCommand(res::kCmdSplitImage);
    EXPECT_EQ(window->workspace.image.paintedHeight, 2u);
    EXPECT_EQ(ImagePixel(0, 0), MakePixel(135, 135, 135));  // 0x4210
    EXPECT_EQ(ImagePixel(3, 1), MakePixel(135, 135, 135));
    EXPECT_EQ(ImagePixel(0, 2), ButtonFace());  // the full-height picture is gone
    EXPECT_EQ(ImagePixel(3, 3), ButtonFace());

    window->OnCommand(res::kCmdSplitImage);
    EXPECT_EQ(window->workspace.image.paintedHeight, 4u);
    EXPECT_EQ(ImagePixel(0, 0), kSetColour[0]);
    EXPECT_EQ(ImagePixel(0, 3), MakePixel(135, 7, 7));
}

TEST_F(MainWindowTest, TransparencyLeavesWordZeroShowingTheBackground) {
    // Pixel 0 index 0 (word 0), pixel 1 index 1.
    OpenTim(WriteTim("transparent.tim", Tim4(4, 1, FourSets(), {0x10, 0x00})));
    ASSERT_EQ(ImagePixel(0, 0), MakePixel(7, 7, 7));

    // Checkerboard is on, but greyed and without effect until Transparency.
    EXPECT_EQ(Menu().MarkOf(res::kCmdCheckerboard), MenuMark::Check);
    EXPECT_FALSE(Menu().IsEnabled(res::kCmdCheckerboard));
    window->OnCommand(res::kCmdTransparency);
    EXPECT_TRUE(Menu().IsEnabled(res::kCmdCheckerboard));
    EXPECT_EQ(ImagePixel(0, 0), kCheckerLight);
    EXPECT_EQ(ImagePixel(1, 0), kSetColour[0]);
    window->OnCommand(res::kCmdCheckerboard);
    EXPECT_EQ(Menu().MarkOf(res::kCmdCheckerboard), MenuMark::None);
    EXPECT_EQ(ImagePixel(0, 0), ButtonFace());
    EXPECT_EQ(ImagePixel(1, 0), kSetColour[0]);

    // Off again: every pixel is drawn over what is there.
    window->OnCommand(res::kCmdTransparency);
    EXPECT_EQ(ImagePixel(0, 0), MakePixel(7, 7, 7));
    EXPECT_FALSE(Menu().IsEnabled(res::kCmdCheckerboard));
}

struct ScrollStep {
    int code;
    int thumb;
    int set;            // currentSet after the event
    const char* label;  // label 1011 after the event
    int drawnSet;       // the set the image shows
};

TEST_F(MainWindowTest, EveryScrollCodeMovesThroughTheSets) {
    OpenTim(WriteTim("sets.tim", Tim4(4, 1, FourSets(), {0x11, 0x11})));
    ASSERT_EQ(window->SetScrollBar().GetScrollLimit(), 3);
    const std::vector<ScrollStep> steps = {
        {ui::kLineLeft, 0, 0, "1", 0},  // at the first set: nothing
        {ui::kLineRight, 0, 1, "2", 1},     {ui::kLineRight, 0, 2, "3", 2},
        {ui::kPageRight, 0, 3, "4", 3},     {ui::kLineRight, 0, 3, "4", 3},  // at the last
        {ui::kPageLeft, 0, 2, "3", 2},      {ui::kLineLeft, 0, 1, "2", 1},
        {ui::kThumbTrack, 2, 1, "3", 1},  // dragging moves only the label
        {ui::kThumbTrack, 3, 1, "4", 1},    {ui::kThumbPosition, 3, 3, "4", 3},
        {ui::kThumbPosition, 3, 3, "4", 3},  // released where it is: nothing
        {ui::kLeft, 0, 3, "4", 3},          {ui::kRight, 0, 3, "4", 3},
        {ui::kEndScroll, 0, 3, "4", 3},     {ui::kThumbPosition, 0, 0, "1", 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(::testing::Message() << "code " << step.code << " thumb " << step.thumb);
        window->OnHScroll(step.code, step.thumb);
        EXPECT_EQ(window->workspace.currentSet, step.set);
        EXPECT_EQ(Text(res::kCurrentSetLabel), step.label);
        if (step.code != ui::kThumbTrack) {
            EXPECT_EQ(window->SetScrollBar().GetScrollPos(), step.set);
        }
        EXPECT_EQ(ImagePixel(0, 0), kSetColour[step.drawnSet]);
    }
}

TEST_F(MainWindowTest, TheScrollBarReportsItsActionsAndMovesOnlyWhenSet) {
    OpenTim(WriteTim("sets.tim", Tim4(4, 1, FourSets(), {0x11, 0x11})));
    auto& bar = window->SetScrollBar();
    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(window->workspace.currentSet, 1);
    EXPECT_EQ(bar.value(), 1);
    bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(window->workspace.currentSet, 2);
    bar.triggerAction(QAbstractSlider::SliderPageStepSub);
    bar.triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(window->workspace.currentSet, 0);
    // Home and End are no set changes of their own: the bar stays put.
    bar.triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(window->workspace.currentSet, 0);
    EXPECT_EQ(bar.value(), 0);
    EXPECT_EQ(bar.sliderPosition(), 0);

    // A drag shows the thumb's set in the label; the release selects it.
    bar.setSliderDown(true);
    bar.setSliderPosition(2);
    EXPECT_EQ(Text(res::kCurrentSetLabel), "3");
    EXPECT_EQ(window->workspace.currentSet, 0);
    bar.setSliderDown(false);
    EXPECT_EQ(window->workspace.currentSet, 2);
    EXPECT_EQ(bar.value(), 2);
    EXPECT_EQ(ImagePixel(0, 0), kSetColour[2]);
}

// PageUp/PageDown and [ ] step through the sets from anywhere in the window,
// stopping at either end; Tab reaches the scroll bar.
TEST_F(MainWindowTest, SetKeysStepThroughTheSetsAndTabReachesTheScrollBar) {
    OpenTim(WriteTim("sets.tim", Tim4(4, 1, FourSets(), {0x11, 0x11})));
    const auto press = [this](const QKeySequence& key) {
        for (QAction* action : window->actions()) {
            if (action->shortcuts().contains(key)) {
                ASSERT_EQ(action->shortcutContext(), Qt::WindowShortcut);
                action->trigger();
                return;
            }
        }
        ADD_FAILURE() << "no action for " << key.toString().toStdString();
    };
    struct Step {
        Qt::Key key;
        std::int32_t set;
    };
    for (const Step step :
         {Step{Qt::Key_PageUp, 0}, Step{Qt::Key_PageDown, 1}, Step{Qt::Key_BracketRight, 2},
          Step{Qt::Key_BracketRight, 3}, Step{Qt::Key_PageDown, 3}, Step{Qt::Key_BracketLeft, 2},
          Step{Qt::Key_PageUp, 1}}) {
        SCOPED_TRACE(step.key);
        press(QKeySequence(step.key));
        EXPECT_EQ(window->workspace.currentSet, step.set);
        EXPECT_EQ(window->SetScrollBar().GetScrollPos(), step.set);
        EXPECT_EQ(Text(res::kCurrentSetLabel), std::to_string(step.set + 1));
        EXPECT_EQ(ImagePixel(0, 0), kSetColour[step.set]);
    }
    bool reached = false;
    for (QWidget* w = window->GetDlgItem(res::kPathEdit)->nextInFocusChain();
         w != window->GetDlgItem(res::kPathEdit) && !reached; w = w->nextInFocusChain()) {
        reached = w == &window->SetScrollBar() && (w->focusPolicy() & Qt::TabFocus) != 0;
    }
    EXPECT_TRUE(reached);
}

// Which images offer no set choice is the workspace's (see its tests).
TEST_F(MainWindowTest, AnImageWithoutASetChoiceIgnoresTheScrollBar) {
    OpenTim(
        WriteTim("image.tim", Tim4(4, 1, std::vector<std::uint16_t>(16, 0x001F), {0x11, 0x11})));
    const Pixel before = ImagePixel(0, 0);
    for (int code : {ui::kLineRight, ui::kPageRight, ui::kThumbTrack, ui::kThumbPosition}) {
        window->OnHScroll(code, 1);
    }
    EXPECT_EQ(window->workspace.currentSet, 0);
    EXPECT_EQ(Text(res::kCurrentSetLabel), "1");
    EXPECT_EQ(window->SetScrollBar().GetScrollLimit(), 0);
    EXPECT_EQ(ImagePixel(0, 0), before);
}

struct ZoomStep {
    const char* desc;
    std::function<void(CMainDlg&)> act;
    int zoom;  // each image pixel is then zoom x zoom surface pixels
};

void Command(CMainDlg& window, int id) {
    window.OnCommand(id);
}

void Wheel(CMainDlg& window, int delta) {
    QWheelEvent wheel(QPointF(340, 10), QPointF(340, 10), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window.Client(), &wheel);
}

TEST_F(MainWindowTest, ZoomFactorsDrawEachImagePixelAsAnExactBlock) {
    // Four colours on each of two rows; the 1:1 picture is the reference.
    OpenTim(WriteTim("zoom.tim", Tim4(4, 2, FourSets(), {0x21, 0x03, 0x30, 0x12})));
    std::vector<Pixel> reference;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            reference.push_back(ImagePixel(x, y));
        }
    }
    EXPECT_EQ(Menu().Action(res::kCmdZoomIn)->shortcuts(),
              (QList<QKeySequence>{QKeySequence("Ctrl++"), QKeySequence("Ctrl+=")}));
    EXPECT_EQ(Menu().Action(res::kCmdZoomOut)->shortcut(), QKeySequence("Ctrl+-"));
    EXPECT_EQ(Menu().Action(res::kCmdActualSize)->shortcut(), QKeySequence("Ctrl+0"));
    const auto open = [this](CMainDlg&) {
        OpenTim(WriteTim("zoom.tim", Tim4(4, 2, FourSets(), {0x21, 0x03, 0x30, 0x12})));
    };
    const std::vector<ZoomStep> steps = {
        {"in", [](CMainDlg& w) { Command(w, res::kCmdZoomIn); }, 2},
        {"in again", [](CMainDlg& w) { Command(w, res::kCmdZoomIn); }, 3},
        {"another image keeps it", open, 3},
        {"out", [](CMainDlg& w) { Command(w, res::kCmdZoomOut); }, 2},
        {"actual size", [](CMainDlg& w) { Command(w, res::kCmdActualSize); }, 1},
        {"not below 1:1", [](CMainDlg& w) { Command(w, res::kCmdZoomOut); }, 1},
        {"Ctrl+wheel up", [](CMainDlg& w) { Wheel(w, 120); }, 2},
        {"fit to window", [](CMainDlg& w) { Command(w, res::kCmdFitToWindow); }, 16},
        {"not above 16", [](CMainDlg& w) { Command(w, res::kCmdZoomIn); }, 16},
        {"Ctrl+wheel down", [](CMainDlg& w) { Wheel(w, -120); }, 15},
        {"device pixels off at ratio 1", [](CMainDlg& w) { Command(w, res::kCmdDevicePixels); },
         15},
        {"actual size again", [](CMainDlg& w) { Command(w, res::kCmdActualSize); }, 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.desc);
        step.act(*window);
        ASSERT_EQ(window->workspace.zoom, step.zoom);
        const int z = step.zoom;
        for (int i = 0; i < 8; ++i) {
            const int x = i % 4;
            const int y = i / 4;
            for (const auto& [dx, dy] : {std::pair{0, 0}, {z - 1, 0}, {0, z - 1}, {z - 1, z - 1}}) {
                EXPECT_EQ(ImagePixel(x * z + dx, y * z + dy), reference[i]) << x << "," << y;
            }
        }
        // Nothing of a larger zoom is left beside or below the picture.
        EXPECT_EQ(ImagePixel(4 * z, 0), ButtonFace());
        EXPECT_EQ(ImagePixel(0, 2 * z), ButtonFace());
        EXPECT_EQ(ImagePixel(-1, 0), ButtonFace());
    }
    EXPECT_EQ(Menu().MarkOf(res::kCmdDevicePixels), MenuMark::None);
}

struct ScrollCase {
    int zoom;
    int x, y;           // the scroll asked for, in device pixels
    bool bars;          // whether the area's scroll bars show
    bool clampedToEnd;  // the offset stops where the image's last pixel shows
};

TEST_F(MainWindowTest, TheWindowGrowsToShowAnImageWholeAndScrollsItWhenZoomedPastTheArea) {
    const QSize before = window->Client()->size();
    OpenTim(WriteTim("page.tim", PatternTim(16, 256, 256)));
    const QSize client = window->Client()->size();
    EXPECT_GE(client.width(), 330 + 256);
    EXPECT_GE(client.height(), 5 + 256);
    EXPECT_GE(client.width(), before.width());
    // At 1:1 every pixel is drawn: the picture the zoomed ones must match.
    std::vector<Pixel> reference;
    for (int i = 0; i < 256 * 256; ++i) {
        reference.push_back(ImagePixel(i % 256, i / 256));
    }
    ASSERT_TRUE(IsDrawn(reference.back()));
    const std::vector<ScrollCase> cases = {
        {1, 0, 0, false, false},           {2, 100, 51, true, false}, {2, 0, 3, true, false},
        {4, 1 << 20, 1 << 20, true, true}, {3, 7, 5, true, false},    {1, 40, 40, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "zoom " << c.zoom << " at " << c.x << "," << c.y);
        window->workspace.SetZoom(c.zoom + 1);
        window->OnCommand(res::kCmdZoomOut);
        window->areaScrollX->setValue(c.x);
        window->areaScrollY->setValue(c.y);
        EXPECT_EQ(!window->areaScrollX->isHidden(), c.bars);
        EXPECT_EQ(!window->areaScrollY->isHidden(), c.bars);
        const auto sx = static_cast<int>(window->workspace.scrollX);
        const auto sy = static_cast<int>(window->workspace.scrollY);
        EXPECT_EQ(sx, c.bars ? std::min(c.x, window->areaScrollX->maximum()) : 0);
        EXPECT_EQ(sy, c.bars ? std::min(c.y, window->areaScrollY->maximum()) : 0);
        const int shownWidth = window->areaScrollX->width();
        const int shownHeight = window->areaScrollY->height();
        if (c.clampedToEnd) {
            EXPECT_EQ((sx + shownWidth - 1) / c.zoom, 255);
            EXPECT_EQ((sy + shownHeight - 1) / c.zoom, 255);
        }
        for (const auto& [ax, ay] : {std::pair{0, 0},
                                     {c.zoom, 1},
                                     {7, 9},
                                     {std::min(shownWidth, 256 * c.zoom - sx) - 1, 0}}) {
            EXPECT_EQ(
                ImagePixel(ax, ay),
                reference[static_cast<std::size_t>((sy + ay) / c.zoom * 256 + (sx + ax) / c.zoom)])
                << ax << "," << ay;
            // The status bar names the pixel under the cursor there.
            const QPointF at(330 + ax, 5 + ay);
            QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(window->Client(), &move);
            EXPECT_TRUE(window->statusBar->currentMessage().startsWith(
                QString("%1, %2   word ").arg((sx + ax) / c.zoom).arg((sy + ay) / c.zoom)))
                << window->statusBar->currentMessage().toStdString();
        }
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(window->Client(), &leave);
        EXPECT_EQ(window->statusBar->currentMessage(), "256 x 256   image at 0, 0");
        // The image area's edge holds whatever the scroll.
        EXPECT_EQ(window->drawSurface.At(329, 5), ButtonFace());
        EXPECT_EQ(window->drawSurface.At(330, 4), ButtonFace());
    }
}

}  // namespace
}  // namespace pixalto::testing
