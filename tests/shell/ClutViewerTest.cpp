// The CLUT viewer and the colour editor: when the viewer shows and what, the
// entry a click edits, and how the editor reads its fields.

#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <array>
#include <filesystem>
#include <functional>

#include "image/PsxColor.h"
#include "platform/ByteOrder.h"
#include "resources/ResourceIds.h"
#include "shell/ShellTestSupport.h"
#include "support/BmpBuilder.h"

namespace pixalto::testing {
namespace {

using shell::CColorEditDlg;
using shell::ClutCellRect;

// Runs one step on the modal colour editor at each timer tick while it is
// up; an editor shown with no step left is a failure.
class EditorScript {
  public:
    explicit EditorScript(std::vector<std::function<void(CColorEditDlg&)>> steps)
        : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* editor = qobject_cast<CColorEditDlg*>(QApplication::activeModalWidget());
            if (editor != nullptr && next_ < steps_.size()) {
                steps_[next_++](*editor);
            } else if (editor != nullptr) {
                ADD_FAILURE() << "the editor opened more often than scripted";
                editor->done(res::kIdCancel);
            }
        });
        timer_.start(5);
    }
    ~EditorScript() { EXPECT_EQ(next_, steps_.size()); }

  private:
    std::vector<std::function<void(CColorEditDlg&)>> steps_;
    std::size_t next_ = 0;
    QTimer timer_;
};

void Type(CColorEditDlg& editor, const std::array<std::string, 3>& rgb) {
    editor.SetDlgItemText(res::kRedEdit, rgb[0]);
    editor.SetDlgItemText(res::kGreenEdit, rgb[1]);
    editor.SetDlgItemText(res::kBlueEdit, rgb[2]);
}

QColor ColorAt(QWidget* widget, QPoint at) {
    return widget->grab().toImage().pixelColor(at);
}

QColor Shown(PsxColor color) {
    return QColor::fromRgb(PsxToPixel(color));
}

class ClutViewerTest : public MainWindowTest {
  protected:
    QWidget* Grid() const { return window->clutViewer.Client(); }
    void Click(QPoint at) const {
        QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(Grid(), &release);
    }
    QColor Swatch(int column, int row) const {
        return ColorAt(Grid(), ClutCellRect({column, row}).center());
    }
    QColor Background() const { return ColorAt(Grid(), {105, 33}); }
    void OpenWithSet1(const std::vector<std::uint16_t>& clut) {
        OpenTim(WriteTim("a.tim", Tim4(4, 1, clut, {0x33, 0x33})));  // every pixel index 3
        window->OnHScroll(ui::kThumbPosition, 1);
        window->OnCommand(res::kCmdViewClut);
    }
};

std::vector<std::uint16_t> TwoSets() {
    std::vector<std::uint16_t> clut(32);
    for (std::uint16_t i = 0; i < 32; ++i) {
        clut[i] = static_cast<std::uint16_t>(0x8000 | (i * 0x0423));
    }
    return clut;
}

TEST_F(ClutViewerTest, ShowsTheCurrentSetOnlyWhileThereIsAClut) {
    EXPECT_EQ(window->clutViewer.windowTitle(), "CLUT");
    EXPECT_FALSE(window->clutViewer.isVisible());
    window->OnCommand(res::kCmdViewClut);
    OpenTim(WriteTim("direct.tim", PatternTim(16, 4, 2)));
    window->OnCommand(res::kCmdViewClut);
    EXPECT_FALSE(window->clutViewer.isVisible());

    const std::vector<std::uint16_t> clut = TwoSets();
    OpenWithSet1(clut);
    ASSERT_TRUE(window->clutViewer.isVisible());
    for (int k : {0, 5, 15}) {
        EXPECT_EQ(Swatch(k, 0), Shown(clut[16 + k])) << k;
    }
    EXPECT_EQ(Swatch(16, 0), Background());

    window->OnCommand(res::kCmdCloseImage);
    EXPECT_FALSE(window->clutViewer.isVisible());
}

// The fields as typed in decimal, as "#RRGGBB" or from the picker; the new
// swatch shows the colour as it will be stored.
TEST_F(ClutViewerTest, EditorReadsItsFieldsAndComposesTheNewColour) {
    struct Case {
        PsxColor old;
        std::string oldText;
        std::optional<std::array<std::string, 3>> typed;
        std::optional<bool> invisible;  // nothing: as it opened
        QColor newSwatch;
        PsxColor saved;
        std::string hexShown;
        std::string redShown;
        std::string hexTyped = {};
        std::optional<QColor> picked = {};
    };
    const auto typed = [](std::string r, std::string g, std::string b) {
        return std::optional(std::array{std::move(r), std::move(g), std::move(b)});
    };
    const std::vector<Case> cases = {
        {0x7FFF, "255, 255, 255 (Invis)", {}, {}, QColor(255, 255, 255), 0x7FFF, "#FFFFFF", "255"},
        {0x8000, "7, 7, 7 (Vis)", {}, {}, QColor(7, 7, 7), 0x8000, "#070707", "7"},
        {0x9A3C, "231, 143, 55 (Vis)", {}, {}, QColor(231, 143, 55), 0x9A3C, "#E78F37", "231"},
        {0x8000, "7, 7, 7 (Vis)", typed("255", "0", "0"), true, QColor(255, 7, 7), 0x001F,
         "#FF0000", "255"},
        {0x0000, "7, 7, 7 (Invis)", typed("255", "0", "0"), false, QColor(255, 7, 7), 0x801F,
         "#FF0000", "255"},
        // A leading 0 is a digit; past three characters nothing is read; a
        // value over 255 counts by its low 8 bits.
        {0x8000, "7, 7, 7 (Vis)", typed("010", "1234", "300"), std::nullopt, QColor(15, 127, 47),
         0x95E1, "#0A7B2C", "010"},
        {0x8000, "7, 7, 7 (Vis)", typed("077", "8", "16"), std::nullopt, QColor(79, 15, 23), 0x8829,
         "#4D0810", "077"},
        // An emptied field keeps the value it had.
        {0x7C00, "7, 7, 255 (Invis)", typed("", "", "8"), std::nullopt, QColor(7, 7, 15), 0x0400,
         "#070708", ""},
        {0x8000, "7, 7, 7 (Vis)", {}, {}, QColor(23, 255, 135), 0xC3E2, "#10ff80", "16", "#10ff80"},
        {0x8000, "7, 7, 7 (Vis)", {}, {}, QColor(7, 7, 7), 0x8000, "#12", "7", "#12"},
        {0x8000, "7, 7, 7 (Vis)", std::nullopt, std::nullopt, QColor(207, 103, 55), 0x9999,
         "#C86432", "200", "", QColor(200, 100, 50)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.oldText + " " + c.hexShown);
        CColorEditDlg editor(nullptr);
        editor.oldColor = c.old;
        editor.pickColor = [&c](const QColor&) { return c.picked; };
        editor.Create();
        auto* invisible = editor.Item<QCheckBox>(res::kInvisibleCheck);
        EXPECT_EQ(editor.GetDlgItemText(res::kOldColorText), c.oldText);
        EXPECT_EQ(invisible->isChecked(), !PsxStp(c.old));
        EXPECT_GE(invisible->width(), invisible->sizeHint().width());  // "Invisible" not cut
        EXPECT_EQ(editor.GetDlgItemText(res::kRedEdit), std::to_string(Expand5To8(PsxRed(c.old))));
        if (c.typed) {
            Type(editor, *c.typed);
        }
        if (!c.hexTyped.empty()) {
            editor.SetDlgItemText(res::kHexColorEdit, c.hexTyped);
        }
        editor.Item<QPushButton>(res::kPickColorButton)->click();
        invisible->setChecked(c.invisible.value_or(invisible->isChecked()));
        EXPECT_EQ(editor.GetDlgItemText(res::kHexColorEdit), c.hexShown);
        EXPECT_EQ(editor.GetDlgItemText(res::kRedEdit), c.redShown);
        EXPECT_EQ(ColorAt(editor.Client(), CColorEditDlg::kOldSwatch.center()), Shown(c.old));
        EXPECT_EQ(ColorAt(editor.Client(), CColorEditDlg::kNewSwatch.center()), c.newSwatch);
        editor.Item<QPushButton>(res::kIdOk)->click();
        EXPECT_EQ(editor.result(), res::kIdOk);
        EXPECT_EQ(editor.newColor, c.saved);
    }
}

TEST_F(ClutViewerTest, AClickEditsTheEntryItShowsAndSavingWritesIt) {
    std::vector<std::uint16_t> clut = TwoSets();
    OpenWithSet1(clut);
    PsxColor shownOld = 0;
    const auto press = [](int button) {
        return [button](CColorEditDlg& editor) { editor.Item<QPushButton>(button)->click(); };
    };
    {
        EditorScript script({[&](CColorEditDlg& editor) {
                                 shownOld = editor.oldColor;
                                 Type(editor, {"255", "0", "8"});
                             },
                             press(res::kIdOk),
                             [](CColorEditDlg& editor) {
                                 Type(editor, {"0", "0", "0"});
                             },
                             press(res::kIdCancel)});
        Click(ClutCellRect({3, 0}).center());
        // The gap below a row belongs to it; Cancel changes nothing.
        Click({ClutCellRect({3, 0}).center().x(), 20 + 12});
    }
    EXPECT_EQ(shownOld, clut[19]);  // cell (3, 0) of set 1 is entry 19
    EXPECT_EQ(window->workspace.ClutColor(3), PsxColor{0x841F});
    EXPECT_TRUE(window->workspace.HasUnsavedChanges());
    EXPECT_EQ(window->windowTitle().toStdString(), "Pixalto*");
    EXPECT_EQ(window->clutViewer.windowTitle().toStdString(), "CLUT - Set 2");
    EXPECT_EQ(Swatch(3, 0), Shown(0x841F));
    // The image shows the new colour at once, not at some later paint.
    EXPECT_EQ(ImagePixel(0, 0), PsxToPixel(0x841F));
    prompts.files.push_back(dir.File("saved.tim"));
    window->OnCommand(res::kCmdSaveTimFile);
    EXPECT_FALSE(window->workspace.HasUnsavedChanges());
    const std::vector<std::uint8_t> saved = ReadAll(dir.File("saved.tim"));
    ASSERT_GE(saved.size(), 60u);
    EXPECT_EQ(ReadU16LE(saved.data() + 20 + 2 * 19), 0x841F);
    EXPECT_EQ(window->windowTitle().toStdString(), "Pixalto");

    // Undo and Redo from the Edit menu, greyed when there is nothing to do;
    // undoing past the save leaves the CLUT unsaved again.
    struct Step {
        int command;
        PsxColor shown;
        const char* title;
        bool canUndo, canRedo;
    };
    for (const Step& step : {Step{res::kCmdUndo, clut[19], "Pixalto*", false, true},
                             Step{res::kCmdUndo, clut[19], "Pixalto*", false, true},
                             Step{res::kCmdRedo, 0x841F, "Pixalto", true, false}}) {
        window->OnCommand(step.command);
        EXPECT_EQ(window->workspace.ClutColor(3), step.shown);
        EXPECT_EQ(ImagePixel(0, 0), PsxToPixel(step.shown));
        EXPECT_EQ(window->windowTitle().toStdString(), step.title);
        EXPECT_EQ(Menu().IsEnabled(res::kCmdUndo), step.canUndo);
        EXPECT_EQ(Menu().IsEnabled(res::kCmdRedo), step.canRedo);
    }

    // Outside the grid, or beyond the set (with a second set there to read):
    // nothing opens.
    EditorScript none({});
    window->OnHScroll(ui::kThumbPosition, 0);
    for (QPoint at : {QPoint(109, 25), QPoint(115, 19), ClutCellRect({16, 0}).center()}) {
        Click(at);
    }
    OpenTim(WriteTim("b.tim", PatternTim(8, 4, 2, /*sets=*/2)));
    window->OnCommand(res::kCmdViewClut);
    for (QPoint at : {QPoint(370, 25), QPoint(115, 170), ClutCellRect({22, 9}).center()}) {
        Click(at);
    }
}

// Every way the image can go with a CLUT edit unsaved, answered each way:
// Save writes the TIM first, Discard goes on, Cancel keeps everything.
TEST_F(MainWindowTest, EveryWayOutAsksBeforeUnsavedClutEditsAreLost) {
    const std::string tim = WriteTim("a.tim", PatternTim(4, 4, 1));
    const std::string bmp = WriteFile("b.bmp", MakeBmp(PatternBmp(24, 2, 2)));
    WriteFile("b.tmext", MakeSidecar(SidecarSpec{}));
    const PsxColor loaded = ReadU16LE(ReadAll(tim).data() + 20);
    // A menu command, or (with 0) a drop or Escape.
    struct Way {
        const char* name;
        int command;
        bool asksForAFile;
    };
    const Way kDrop{"drop", 0, false}, kEscape{"escape", 0, false};
    const Way ways[] = {
        {"open TIM", res::kCmdOpenTim, true},  {"open BMP", res::kCmdOpenBmp, true},
        {"scan", res::kCmdScanRawFile, true},  {"insert", res::kCmdInsertTimFiles, true},
        {"close", res::kCmdCloseImage, false}, kDrop,
        {"exit", res::kCmdExit, false},        kEscape};
    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(QString::fromStdString(tim))});
    const auto clearPrompts = [this] {
        prompts.answers.clear();
        prompts.files.clear();
        prompts.messages.clear();
        prompts.filters.clear();
    };
    int n = 0;
    for (const Way& way : ways) {
        for (ui::Answer answer : {ui::Answer::Save, ui::Answer::Discard, ui::Answer::Cancel}) {
            SCOPED_TRACE(::testing::Message() << way.name << " " << static_cast<int>(answer));
            window->show();
            window->workspace.CloseImage();
            MainWindowTest::OpenTim(tim);
            ASSERT_TRUE(window->workspace.SetClutColor(0, 0x1234));
            clearPrompts();
            // The file to open is chosen first, then the question is asked.
            const bool opensBmp = way.command == res::kCmdOpenBmp;
            if (way.asksForAFile) {
                prompts.files.push_back(opensBmp ? bmp : tim);
            }
            const std::string saved = dir.File("saved" + std::to_string(n++) + ".tim");
            prompts.answers.push_back(answer);
            if (answer == ui::Answer::Save) {
                prompts.files.push_back(saved);
            }
            if (way.command != 0) {
                window->OnCommand(way.command);
            } else if (way.name == kDrop.name) {
                QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton,
                                Qt::NoModifier);
                static_cast<QObject*>(window.get())->event(&drop);
            } else {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(window.get(), &escape);
            }
            ASSERT_FALSE(prompts.messages.empty());
            EXPECT_EQ(prompts.messages.front(),
                      (ui::ShownMessage{"Save changes to " + tim + "?", "Pixalto",
                                        ui::MessageButtons::SaveDiscardCancel}));
            EXPECT_EQ(std::filesystem::exists(saved), answer == ui::Answer::Save);
            if (answer == ui::Answer::Save) {
                EXPECT_EQ(ReadU16LE(ReadAll(saved).data() + 20), 0x1234);
            }
            EXPECT_EQ(prompts.filters.size(),
                      (answer == ui::Answer::Save ? 1u : 0u) + (way.asksForAFile ? 1u : 0u));
            if (answer == ui::Answer::Cancel) {
                // Nothing else was asked, and nothing went.
                EXPECT_EQ(prompts.messages.size(), 1u);
                EXPECT_TRUE(window->isVisible());
                EXPECT_TRUE(window->workspace.HasUnsavedChanges());
                EXPECT_EQ(window->workspace.ClutColor(0), PsxColor{0x1234});
                EXPECT_EQ(window->windowTitle().toStdString(), "Pixalto*");
                continue;
            }
            EXPECT_FALSE(window->workspace.HasUnsavedChanges());
            EXPECT_EQ(window->windowTitle().toStdString(), "Pixalto");
            const bool ends = way.command == res::kCmdExit || way.name == kEscape.name;
            EXPECT_EQ(window->isVisible(), !ends);
            if (way.command == res::kCmdOpenTim || way.name == kDrop.name) {
                EXPECT_EQ(window->workspace.ClutColor(0), loaded);  // read again from the file
            } else {
                EXPECT_EQ(window->workspace.image.IsLoaded(), opensBmp);
            }
        }
    }
    // A cancelled file dialog loses nothing, so nothing is asked.
    clearPrompts();
    window->OnCommand(res::kCmdOpenTim);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(window->workspace.HasUnsavedChanges());
}

}  // namespace
}  // namespace pixalto::testing
