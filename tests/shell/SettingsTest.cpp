// What the window remembers across runs: File > Recent and its own place.

#include <QGuiApplication>
#include <QScreen>
#include <filesystem>

#include "resources/ResourceIds.h"
#include "shell/ShellTestSupport.h"
#include "support/BmpBuilder.h"

namespace pixalto::testing {
namespace {

std::vector<std::string> RecentTexts(const shell::CMainDlg& window) {
    std::vector<std::string> texts;
    for (const QAction* item : window.RecentMenu()->actions()) {
        texts.push_back(item->isSeparator() ? "-" : item->text().toStdString());
    }
    return texts;
}

void ChooseRecent(shell::CMainDlg& window, int index) {
    window.RecentMenu()->actions().at(index)->trigger();
    QCoreApplication::processEvents();  // menu commands arrive once the menu is done
}

TEST_F(MainWindowTest, RecentListsWhatWasOpenedAndOpensItTheSameWayAgain) {
    window->OnCommand(res::kCmdClearRecent);
    EXPECT_EQ(RecentTexts(*window), (std::vector<std::string>{"-", "&Clear"}));
    EXPECT_FALSE(window->RecentMenu()->menuAction()->isEnabled());
    const std::string tim = WriteTim("a&b.tim", PatternTim(4, 4, 1));
    const std::string bmp = WriteFile("b.bmp", MakeBmp(PatternBmp(24, 2, 2)));
    WriteFile("b.tmext", MakeSidecar(SidecarSpec{}));
    std::vector<std::uint8_t> rawBytes(300);
    const auto timBytes = MakeTim(PatternTim(8, 4, 2));
    rawBytes.insert(rawBytes.begin() + 128, timBytes.begin(), timBytes.end());
    const std::string raw = WriteFile("c.tim", rawBytes);  // scanned, whatever its name

    OpenTim(tim);
    OpenBmp(bmp);
    prompts.files.push_back(raw);
    window->OnCommand(res::kCmdScanRawFile);
    prompts.files.push_back(dir.File("missing.tim"));
    window->OnCommand(res::kCmdOpenTim);  // a failed open isn't listed
    OpenTim(tim);
    const std::vector<std::string> listed = {"&1 " + dir.File("a&&b.tim"), "&2 " + raw, "&3 " + bmp,
                                             "-", "&Clear"};
    EXPECT_EQ(RecentTexts(*window), listed);
    EXPECT_TRUE(window->RecentMenu()->menuAction()->isEnabled());
    // Kept for the next run, under "Scan RAW File" in either File menu.
    shell::CMainDlg next(prompts);
    next.Create();
    EXPECT_EQ(RecentTexts(next), listed);
    const QList<QAction*> file = next.menuBar->Bar()->actions().front()->menu()->actions();
    EXPECT_EQ(file.indexOf(next.RecentMenu()->menuAction()),
              file.indexOf(next.menuBar->Action(res::kCmdScanRawFile)) + 1);

    prompts.messages.clear();
    ChooseRecent(*window, 1);
    EXPECT_EQ(window->workspace.Entries().size(), 1u);
    EXPECT_EQ(window->workspace.path, raw);
    ChooseRecent(*window, 2);
    EXPECT_EQ(Text(res::kBppEdit), "24");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(RecentTexts(*window)[0], "&1 " + bmp);

    // A file that went fails as opening it would, and leaves the list; one
    // that can't be read stays.
    std::filesystem::remove(tim);
    OpenTim(tim);
    ASSERT_EQ(prompts.messages.size(), 1u);
    ChooseRecent(*window, 2);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1], prompts.messages[0]);
    WriteFile("b.bmp", {1, 2, 3});
    ChooseRecent(*window, 0);
    EXPECT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(RecentTexts(*window),
              (std::vector<std::string>{"&1 " + bmp, "&2 " + raw, "-", "&Clear"}));
    ChooseRecent(*window, 3);
    EXPECT_EQ(RecentTexts(*window), (std::vector<std::string>{"-", "&Clear"}));
}

TEST_F(MainWindowTest, TheWindowComesBackWhereItWasWhenThatIsOnAScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size = window->size() + QSize(40, 30);
    struct Case {
        QPoint at;
        bool restored;
    };
    const Case cases[] = {
        {screen.topLeft() + QPoint(20, 10), true}, {screen.bottomRight() - QPoint(60, 60), true},
        {screen.topRight() + QPoint(1, 0), false}, {screen.bottomLeft() + QPoint(0, 1), false},
        {screen.topLeft() - QPoint(0, 1), false},  // the caption out of reach
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at.x() * 10000 + c.at.y());
        window->setGeometry(QRect(c.at, size));
        window->SavePlacement();
        shell::CMainDlg next(prompts);
        next.Create();
        const QRect before = next.geometry();
        next.RestorePlacement();
        EXPECT_EQ(next.geometry(), c.restored ? QRect(c.at, size) : before);
        EXPECT_FALSE(next.windowState() & Qt::WindowMaximized);
    }
    // Maximised, it comes back maximised over the size it had before.
    window->setGeometry(QRect(cases[0].at, size));
    window->showMaximized();
    ASSERT_TRUE(window->isMaximized());
    window->SavePlacement();
    shell::CMainDlg next(prompts);
    next.Create();
    next.RestorePlacement();
    EXPECT_TRUE(next.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(next.geometry(), QRect(cases[0].at, size));
}

}  // namespace
}  // namespace pixalto::testing
