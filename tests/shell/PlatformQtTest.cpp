// The Qt platform layer on its own: dialog units, filters, the window's
// surface, menus, the main window's geometry, and the table to decide on.

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <set>

#include "platform/qt/DialogUnits.h"
#include "platform/qt/FileFilter.h"
#include "platform/qt/Menu.h"
#include "platform/qt/QImageSurface.h"
#include "platform/qt/QtPrompts.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"
#include "shell/ShellTestSupport.h"

namespace pixalto::testing {
namespace {

TEST(DialogUnitsTest, ConvertEdgesWithTheBaseUnitsOfTheTemplateFont) {
    struct Case {
        int units, x, y;
    };
    // 1.5 pixels across and 1.625 down, halves rounded up.
    for (const Case& c :
         {Case{0, 0, 0}, Case{1, 2, 2}, Case{2, 3, 3}, Case{7, 11, 11}, Case{8, 12, 13},
          Case{23, 35, 37}, Case{220, 330, 358}, Case{350, 525, 569}, Case{-3, -5, -5}}) {
        EXPECT_EQ(ui::DialogUnitsToPixelsX(c.units), c.x) << c.units;
        EXPECT_EQ(ui::DialogUnitsToPixelsY(c.units), c.y) << c.units;
    }
    // Sizes come from converted edges: 7 + 78 units wide is 128 - 11 pixels.
    EXPECT_EQ(ui::DialogRectToPixels(7, 23, 78, 189), QRect(11, 37, 117, 308));
}

TEST(FileFilterTest, TurnsBarSeparatedPairsIntoQtFilters) {
    EXPECT_EQ(ui::QtNameFilters("All Supported PSX Graphics|*.tim||"),
              QStringList{"All Supported PSX Graphics (*.tim)"});
    EXPECT_EQ(ui::QtNameFilters("Extract File|timextracts.txt|All Files|*.*||"),
              (QStringList{"Extract File (timextracts.txt)", "All Files (*.*)"}));
    EXPECT_EQ(ui::QtNameFilters("Both|*.tim;*.bmp||"), QStringList{"Both (*.tim *.bmp)"});
    EXPECT_TRUE(ui::QtNameFilters("||").isEmpty());
    EXPECT_TRUE(ui::QtNameFilters("Dangling description|").isEmpty());
}

TEST(FileFilterTest, PatternsMatchWithoutRegardToCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    for (const Case& c :
         {Case{"a.tim", "*.tim", true}, Case{"A.TIM", "*.tim", true}, Case{"a.Tim", "*.tim", true},
          Case{"a.tim.bak", "*.tim", false}, Case{"atim", "*.tim", false},
          Case{"TIMEXTRACTS.TXT", "timextracts.txt", true}, Case{"x", "*.*", false},
          Case{"x.y", "*.*", true}}) {
        EXPECT_EQ(ui::MatchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
    }
}

TEST(QImageSurfaceTest, KeepsItsPixelsAcrossResizesAndClipsDrawing) {
    EnsureApplication();
    const Pixel face = MakePixel(200, 200, 200);
    ui::QImageSurface surface(face);
    surface.Resize(QSize(4, 3), 1.0);
    EXPECT_EQ(surface.At(3, 2), face);
    surface.FillSolidRect(-5, -5, 7, 7, MakePixel(1, 2, 3));  // clipped to (0,0)-(1,1)
    const Pixel row[] = {MakePixel(9, 9, 9), kUndrawn, MakePixel(8, 8, 8), MakePixel(7, 7, 7)};
    surface.DrawRow(2, 2, row);  // the last two fall off the right edge
    surface.DrawRow(0, 3, row);  // below the surface: nothing
    EXPECT_EQ(surface.At(1, 1), MakePixel(1, 2, 3));
    EXPECT_EQ(surface.At(2, 1), face);
    EXPECT_EQ(surface.At(2, 2), MakePixel(9, 9, 9));
    EXPECT_EQ(surface.At(3, 2), face);  // undrawn keeps what was there
    EXPECT_EQ(surface.At(4, 2), kUndrawn);

    surface.Resize(QSize(6, 4), 1.0);
    EXPECT_EQ(surface.At(1, 1), MakePixel(1, 2, 3));
    EXPECT_EQ(surface.At(2, 2), MakePixel(9, 9, 9));
    EXPECT_EQ(surface.At(5, 3), face);
    // Huge rectangles are clipped, never overflow.
    surface.FillSolidRect(3, 0, 0x7FFFFFFF, 0x7FFFFFFF, MakePixel(4, 4, 4));
    EXPECT_EQ(surface.At(5, 3), MakePixel(4, 4, 4));
    EXPECT_EQ(surface.At(2, 3), face);
}

TEST(MenuTest, MarksAndGreysItemsByIdentifier) {
    EnsureApplication();
    std::vector<int> chosen;
    ui::Menu menu(res::MenuResource(res::kMenuLoaded), [&](int id) { chosen.push_back(id); });
    EXPECT_EQ(menu.PopupTitles(),
              (std::vector<std::string>{"&File", "&Edit", "&View", "&Image", "&Convert", "&Help"}));
    EXPECT_EQ(menu.ItemIds(3),
              (std::vector<int>{res::kCmdViewClut, 0, res::kCmdConvertToBmp, res::kCmdExportPng,
                                res::kCmdExportPalette, res::kCmdImportPalette}));
    EXPECT_EQ(menu.Action(res::kCmdSaveMultipleFiles)->text().toStdString(),
              "Save &Multiple Files");

    menu.EnableMenuItem(res::kCmdViewClut, false);
    EXPECT_FALSE(menu.IsEnabled(res::kCmdViewClut));
    EXPECT_TRUE(menu.IsEnabled(res::kCmdCloseImage));
    menu.CheckMenuRadioItem(res::kCmdSplitImage, true);
    menu.CheckMenuItem(res::kCmdTransparency, true);
    EXPECT_EQ(menu.MarkOf(res::kCmdSplitImage), ui::MenuMark::Radio);
    EXPECT_EQ(menu.MarkOf(res::kCmdTransparency), ui::MenuMark::Check);
    menu.CheckMenuRadioItem(res::kCmdSplitImage, false);
    EXPECT_EQ(menu.MarkOf(res::kCmdSplitImage), ui::MenuMark::None);

    menu.Action(res::kCmdAbout)->trigger();
    EXPECT_TRUE(chosen.empty());  // commands arrive once the menu is done
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, std::vector<int>{res::kCmdAbout});
}

// Alt and a letter reach every popup and item: one mnemonic on each, none
// shared within a menu; and the commands' usual shortcuts.
TEST(MenuTest, EveryPopupAndItemHasItsOwnMnemonicAndTheCommandsTheirShortcuts) {
    EnsureApplication();
    const auto mnemonic = [](const QString& text) {
        const auto at = text.indexOf(QLatin1Char('&'));
        EXPECT_TRUE(at >= 0 && at + 1 < text.size() && text.count(QLatin1Char('&')) == 1)
            << text.toStdString();
        return at < 0 ? QChar() : text.at(at + 1).toLower();
    };
    for (int id : {res::kMenuEmpty, res::kMenuLoaded}) {
        ui::Menu menu(res::MenuResource(id), [](int) {});
        std::set<QChar> popups;
        const auto titles = menu.PopupTitles();
        for (std::size_t p = 0; p < titles.size(); ++p) {
            EXPECT_TRUE(popups.insert(mnemonic(QString::fromStdString(titles[p]))).second)
                << titles[p];
            std::set<QChar> items;
            for (int item : menu.ItemIds(static_cast<int>(p))) {
                if (item != 0) {
                    const QString text = menu.Action(item)->text();
                    EXPECT_TRUE(items.insert(mnemonic(text)).second) << text.toStdString();
                }
            }
        }
    }
    ui::Menu menu(res::MenuResource(res::kMenuLoaded), [](int) {});
    const std::pair<int, QKeySequence> shortcuts[] = {
        {res::kCmdOpenTim, Qt::CTRL | Qt::Key_O},
        {res::kCmdOpenBmp, Qt::CTRL | Qt::SHIFT | Qt::Key_O},
        {res::kCmdSaveTimFile, Qt::CTRL | Qt::Key_S},
        {res::kCmdScanRawFile, Qt::CTRL | Qt::Key_R},
        {res::kCmdCloseImage, Qt::CTRL | Qt::Key_W},
        {res::kCmdExit, Qt::CTRL | Qt::Key_Q},
        {res::kCmdUndo, Qt::CTRL | Qt::Key_Z},
        {res::kCmdRedo, Qt::CTRL | Qt::Key_Y},
        {res::kCmdSaveMultipleFiles, QKeySequence()},
    };
    for (const auto& [id, keys] : shortcuts) {
        EXPECT_EQ(menu.Action(id)->shortcut(), keys) << id;
    }
}

// Every control with an identifier where its template puts it (the
// conversion is checked above), no two of them overlapping, and the image's
// corner right of every control.
TEST_F(MainWindowTest, ControlsLandWhereTheTemplatePutsThem) {
    std::vector<QRect> placed;
    for (const ui::ControlTemplate& c : res::DialogResource(res::kMainDialog).controls) {
        if (c.id == ui::kStaticId) {
            continue;
        }
        const QRect rect = window->ClientRectOf(c.id);
        EXPECT_EQ(rect, ui::DialogRectToPixels(c.x, c.y, c.width, c.height)) << c.id;
        for (const QRect& other : placed) {
            EXPECT_FALSE(rect.intersects(other)) << c.id;
        }
        placed.push_back(rect);
    }
    EXPECT_GE(placed.size(), 5u);
    for (QWidget* child : window->Client()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_LT(child->geometry().right(), shell::CMainDlg::kImageOrigin.x);
    }
    // Client coordinates start below the menu bar; the picture covers them.
    EXPECT_GT(Menu().Bar()->height(), 0);
    EXPECT_EQ(window->Client()->y(), Menu().Bar()->height());
    EXPECT_EQ(window->Client()->size(), window->TemplateClientSize());
    EXPECT_EQ(window->drawSurface.Image().size(), window->Client()->size());
}

TEST(DialogTest, LabelsOfSeveralLinesShowEveryLine) {
    EnsureApplication();
    for (int id : {res::kAboutDialog, res::kExtractNumbersDialog, res::kExtraFieldsDialog}) {
        ui::Dialog dialog(res::DialogResource(id));
        for (const QLabel* label : dialog.Client()->findChildren<QLabel*>()) {
            if (label->wordWrap()) {
                EXPECT_LE(label->heightForWidth(label->width()), label->height())
                    << id << ": " << label->text().toStdString();
            }
        }
    }
}

// The real table question: every cell shown whole without scrolling, a
// button per action then Cancel, and the answer of whichever is pressed.
TEST(QtPromptsTest, AReviewedTableShowsItsCellsAndAnswersWithTheButtonPressed) {
    EnsureApplication();
    const std::vector<std::vector<std::string>> rows = {
        {"1", "same", "would be written"},
        {"2", "12 bytes bigger",
         "not written: a reason long enough to need more than one line of its cell, as a "
         "refusal's reason often does"}};
    struct Case {
        const char* press;  // a button's text, or "Escape"
        std::optional<std::size_t> answer;
    };
    for (const Case& c : {Case{"&Write", 0}, Case{"Save as &Patch...", 1},
                          Case{"Cancel", std::nullopt}, Case{"Escape", std::nullopt}}) {
        SCOPED_TRACE(c.press);
        std::vector<std::string> cells, buttons;
        bool whole = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            const auto* table = dialog->findChild<QTableWidget*>();
            ASSERT_NE(table, nullptr);
            for (int row = 0; row < table->rowCount(); ++row) {
                for (int column = 0; column < table->columnCount(); ++column) {
                    cells.push_back(table->item(row, column)->text().toStdString());
                }
            }
            // The long reason wraps onto lines of its own.
            whole = table->horizontalHeader()->length() <= table->viewport()->width() &&
                    !table->verticalScrollBar()->isVisible() &&
                    table->rowHeight(1) > table->rowHeight(0);
            QPushButton* pressed = nullptr;
            for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
                buttons.push_back(button->text().toStdString());
                pressed = button->text() == c.press ? button : pressed;
            }
            if (pressed != nullptr) {
                pressed->click();
            } else {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(dialog, &escape);
            }
        });
        ui::QtPrompts prompts;
        EXPECT_EQ(prompts.ReviewTable("text", "title", {"File #", "Size", "Result"}, rows,
                                      {"&Write", "Save as &Patch..."}),
                  c.answer);
        EXPECT_EQ(cells, (std::vector<std::string>{"1", "same", "would be written", "2",
                                                   "12 bytes bigger", rows[1][2]}));
        EXPECT_EQ(buttons, (std::vector<std::string>{"&Write", "Save as &Patch...", "Cancel"}));
        EXPECT_TRUE(whole);
    }
}

}  // namespace
}  // namespace pixalto::testing
