// The window at start, opening TIMs and BMPs with every failure, the info
// panel, closing, and showing images listed from a RAW file.

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "image/PsxColor.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"
#include "shell/ShellTestSupport.h"
#include "support/BmpBuilder.h"

namespace pixalto::testing {
namespace {

using ui::MenuMark;
using ui::ShownMessage;

// The items greyed or enabled by an image load, in order: Save TIM File,
// Save Multiple Files, View Clut, Convert to BMP.
std::vector<bool> LoadedItemsEnabled(const ui::Menu& menu) {
    return {menu.IsEnabled(res::kCmdSaveTimFile), menu.IsEnabled(res::kCmdSaveMultipleFiles),
            menu.IsEnabled(res::kCmdViewClut), menu.IsEnabled(res::kCmdConvertToBmp)};
}

TEST_F(MainWindowTest, StartsEmptyWithMenu129AndNoMarks) {
    EXPECT_EQ(window->windowTitle().toStdString(), "Pixalto");
    EXPECT_EQ(Menu().Id(), res::kMenuEmpty);
    EXPECT_EQ(Menu().PopupTitles(),
              (std::vector<std::string>{"&File", "&View", "&Convert", "&Help"}));
    EXPECT_EQ(Menu().ItemIds(0), (std::vector<int>{res::kCmdOpenTim, res::kCmdOpenBmp,
                                                   res::kCmdOpenPng, res::kCmdScanRawFile, 0,
                                                   res::kCmdInsertTimFiles, 0, res::kCmdExit}));
    EXPECT_EQ(Menu().MarkOf(res::kCmdSplitImage), MenuMark::None);
    EXPECT_EQ(Menu().MarkOf(res::kCmdTransparency), MenuMark::None);
    EXPECT_FALSE(window->List().isVisible());
    EXPECT_EQ(Text(res::kPathEdit), "");
    EXPECT_EQ(Text(res::kCurrentSetLabel), "");
    EXPECT_EQ(window->SetScrollBar().GetScrollLimit(), 0);
    EXPECT_EQ(window->SetScrollBar().GetScrollPos(), 0);
    EXPECT_FALSE(window->workspace.image.IsLoaded());

    // The columns of a plain file (no sector), each as wide as its header
    // at least; the thumbnails' fixed.
    auto& list = window->List();
    const std::vector<std::string> headers = {"File #", "Image", "Position", "Width",
                                              "Height", "bpp",   "CLUT sets"};
    ASSERT_EQ(list.model()->columnCount(), static_cast<int>(headers.size()));
    for (int i = 0; i < list.model()->columnCount(); ++i) {
        const QString header = list.model()->headerData(i, Qt::Horizontal).toString();
        EXPECT_EQ(header.toStdString(), headers[static_cast<std::size_t>(i)]);
        EXPECT_GE(list.columnWidth(i), list.fontMetrics().horizontalAdvance(header)) << i;
    }
    EXPECT_EQ(list.columnWidth(1), 72);
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(MainWindowTest, MenuItemsRouteThroughTheCommandTable) {
    const std::string path = WriteTim("a.tim", PatternTim(16, 4, 2));
    prompts.files.push_back(path);
    Menu().Action(res::kCmdOpenTim)->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->workspace.image.IsLoaded());
    ASSERT_EQ(Menu().Id(), res::kMenuLoaded);

    Menu().Action(res::kCmdCloseImage)->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->workspace.image.IsLoaded());
    EXPECT_EQ(Menu().Id(), res::kMenuEmpty);
    EXPECT_FALSE(window->OnCommand(4242));
}

struct OpenCase {
    const char* desc;
    std::uint32_t bpp;
    std::uint32_t sets;
    std::string imageSize, bppText, clutSize, setCount;
    bool viewClut;
};

TEST_F(MainWindowTest, OpeningATimFillsTheInfoPanelAndMenu130) {
    const std::vector<OpenCase> cases = {
        {"4-bit, 2 sets", 4, 2, "16", "4", "64", "2", true},
        {"8-bit, 1 set", 8, 1, "32", "8", "512", "1", true},
        {"16-bit", 16, 0, "64", "16", "0", "0", false},
        {"24-bit", 24, 0, "96", "24", "0", "0", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.desc);
        const std::string path = WriteTim("image.tim", PatternTim(c.bpp, 8, 4, c.sets));
        OpenTim(path);
        ASSERT_TRUE(prompts.messages.empty());
        EXPECT_EQ(prompts.filters.back(), "All Supported PSX Graphics|*.tim||");
        EXPECT_EQ(Text(res::kPathEdit), path);
        EXPECT_EQ(Text(res::kImageSizeEdit), c.imageSize);
        EXPECT_EQ(Text(res::kBppEdit), c.bppText);
        EXPECT_EQ(Text(res::kClutSizeEdit), c.clutSize);
        EXPECT_EQ(Text(res::kSetCountEdit), c.setCount);
        EXPECT_EQ(Text(res::kCurrentSetLabel), "1");
        EXPECT_EQ(window->SetScrollBar().GetScrollLimit(), c.sets > 1 ? int(c.sets) - 1 : 0);
        ASSERT_EQ(Menu().Id(), res::kMenuLoaded);
        EXPECT_EQ(LoadedItemsEnabled(Menu()), (std::vector<bool>{true, false, c.viewClut, true}));
        EXPECT_TRUE(Menu().IsEnabled(res::kCmdCloseImage));
        EXPECT_EQ(window->workspace.image.paintedWidth, 8u);
        EXPECT_EQ(window->workspace.image.paintedHeight, 4u);
    }
}

TEST_F(MainWindowTest, PaintsDisplayColoursAtClientPixel330And5) {
    // Pixel 0 takes entry 1, pixel 1 entry 2 (first byte 0x21).
    std::vector<std::uint16_t> clut(16, 0);
    clut[1] = 0x001F;
    clut[2] = 0x7C00;
    clut[3] = 0x8000;
    const std::string path = WriteTim("colours.tim", Tim4(4, 1, clut, {0x21, 0x03}));
    OpenTim(path);
    EXPECT_EQ(window->ImageOrigin().x, 330);
    EXPECT_EQ(window->ImageOrigin().y, 5);
    EXPECT_EQ(window->drawSurface.At(330, 5), MakePixel(255, 7, 7));
    EXPECT_EQ(window->drawSurface.At(331, 5), MakePixel(7, 7, 255));
    EXPECT_EQ(window->drawSurface.At(332, 5), MakePixel(7, 7, 7));
    EXPECT_EQ(window->drawSurface.At(333, 5), MakePixel(7, 7, 7));  // word 0, not transparent
    EXPECT_EQ(window->drawSurface.At(329, 5), ButtonFace());
    EXPECT_EQ(window->drawSurface.At(334, 5), ButtonFace());
    EXPECT_EQ(window->drawSurface.At(330, 4), ButtonFace());
    EXPECT_EQ(window->drawSurface.At(330, 6), ButtonFace());
}

TEST_F(MainWindowTest, CancellingTheFileDialogKeepsEverything) {
    OpenTim(WriteTim("a.tim", PatternTim(8, 4, 2)));
    const std::string path = Text(res::kPathEdit);
    window->OnCommand(res::kCmdOpenTim);  // no file scripted: Cancel
    window->OnCommand(res::kCmdOpenBmp);
    EXPECT_TRUE(window->workspace.image.IsLoaded());
    EXPECT_EQ(Menu().Id(), res::kMenuLoaded);
    EXPECT_EQ(Text(res::kPathEdit), path);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(prompts.filters.back(), "BMP Graphics|*.bmp||");
}

// Which failure each file is, is the workspace's (see its tests); the window
// words and titles it by the step that failed, and starts over.
TEST_F(MainWindowTest, AFailedOpenShowsItsMessageAndResetsTheWindow) {
    BmpSpec badBiSize = PatternBmp(24, 4, 4);
    badBiSize.biSize = 41;
    const std::vector<std::tuple<bool, std::vector<std::uint8_t>, ShownMessage>> cases = {
        {true, {}, {"Couldn't open file!", "File Error!"}},
        {true, {1, 2, 3, 4, 5, 6, 7, 8}, {"TIM Header not found!", "TIM Error"}},
        {false, {1, 2, 3, 4, 5, 6, 7, 8}, {"BMP Header not found!", "BMP Error"}},
        {false, MakeBmp(badBiSize), {"Bad biSize", "BMP conversion Error!"}},
    };
    for (const auto& [asTim, bytes, said] : cases) {
        SCOPED_TRACE(said.text);
        OpenTim(WriteTim("good.tim", PatternTim(4, 8, 2, 2)));
        ASSERT_TRUE(window->workspace.image.IsLoaded());
        prompts.messages.clear();
        const std::string path = bytes.empty() ? dir.File("missing") : WriteFile("file", bytes);
        asTim ? OpenTim(path) : OpenBmp(path);
        EXPECT_EQ(prompts.messages, std::vector<ShownMessage>{said});
        EXPECT_FALSE(window->workspace.image.IsLoaded());
        EXPECT_EQ(Menu().Id(), res::kMenuEmpty);
        EXPECT_EQ(Text(res::kPathEdit), "");
        EXPECT_FALSE(window->List().isVisible());
        EXPECT_EQ(ImagePixel(0, 0), ButtonFace());
    }
}

TEST_F(MainWindowTest, ABmpWithoutSidecarAsksForTheOriginsUntilContinue) {
    const std::string path = WriteFile("nosidecar.bmp", MakeBmp(PatternBmp(8, 4, 2)));
    {
        ExtraFieldsScript script({PressEscape, SetField(res::kImageOrgXEdit, "70000"),
                                  SetField(res::kClutOrgYEdit, "9"), PressContinue});
        OpenBmp(path);
    }
    ASSERT_TRUE(window->workspace.image.IsLoaded());
    EXPECT_EQ(window->workspace.image.imageOrgX, 70000 & 0xFFFF);
    EXPECT_EQ(window->workspace.image.imageOrgY, 1);
    EXPECT_EQ(window->workspace.image.clutOrgX, 2);
    EXPECT_EQ(window->workspace.image.clutOrgY, 9);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(MainWindowTest, CloseResetsButKeepsTheInfoPanel) {
    std::vector<std::uint16_t> clut(64, 0x001F);
    OpenTim(WriteTim("sets.tim", Tim4(8, 2, clut, std::vector<std::uint8_t>(8, 0x11))));
    window->OnHScroll(ui::kLineRight, 0);
    window->OnHScroll(ui::kLineRight, 0);
    ASSERT_EQ(Text(res::kCurrentSetLabel), "3");
    ASSERT_EQ(ImagePixel(7, 1), MakePixel(255, 7, 7));

    window->OnCommand(res::kCmdCloseImage);
    EXPECT_FALSE(window->workspace.image.IsLoaded());
    EXPECT_TRUE(window->workspace.image.clutData.empty());
    EXPECT_EQ(Menu().Id(), res::kMenuEmpty);
    EXPECT_EQ(Text(res::kPathEdit), "");
    EXPECT_EQ(window->workspace.currentSet, 0);
    EXPECT_EQ(window->SetScrollBar().GetScrollLimit(), 0);
    EXPECT_EQ(window->workspace.image.paintedWidth, 0u);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(ImagePixel(x, y), ButtonFace()) << x << "," << y;
        }
    }
    // The panel and the label keep the last image's texts.
    EXPECT_EQ(Text(res::kClutSizeEdit), "128");
    EXPECT_EQ(Text(res::kSetCountEdit), "4");
    EXPECT_EQ(Text(res::kCurrentSetLabel), "3");
    EXPECT_FALSE(window->workspace.path.empty());
}

TEST_F(MainWindowTest, EnterDoesNothingWhileEscapeAndExitEndTheWindowReleasingTheImage) {
    OpenTim(WriteTim("a.tim", PatternTim(8, 4, 2)));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_FALSE(window->OnCommand(res::kIdOk));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->workspace.image.IsLoaded());

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->workspace.image.IsLoaded());

    window->show();
    OpenTim(WriteTim("b.tim", PatternTim(16, 4, 2)));
    window->OnCommand(res::kCmdExit);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->workspace.image.IsLoaded());
    EXPECT_TRUE(window->workspace.image.clutData.empty());
}

// A BMP with its sidecar opens without asking, from the menu or given; a
// given file opens by its extension, whatever the case.
TEST_F(MainWindowTest, OpensABmpWithItsSidecarWithoutAskingAndGivenFilesByTheirExtension) {
    const std::string tim = WriteTim("UPPER.TIM", PatternTim(4, 8, 2));
    window->OpenGivenFile(tim);
    EXPECT_TRUE(window->workspace.image.IsLoaded());
    EXPECT_EQ(Text(res::kPathEdit), tim);
    EXPECT_TRUE(prompts.files.empty() && prompts.filters.empty());

    SidecarSpec sidecar;
    sidecar.imageX = 320;
    sidecar.imageY = 16;
    for (const bool given : {false, true}) {
        SCOPED_TRACE(given);
        const std::string title = given ? "Mixed" : "picture";
        const std::string bmp = WriteFile(title + (given ? ".Bmp" : ".bmp"),
                                          MakeBmp(PatternBmp(24, given ? 2 : 6, given ? 2 : 3)));
        WriteFile(title + ".tmext", MakeSidecar(sidecar));
        given ? window->OpenGivenFile(bmp) : OpenBmp(bmp);
        ASSERT_TRUE(prompts.messages.empty());
        ASSERT_TRUE(window->workspace.image.IsLoaded());
        EXPECT_EQ(window->workspace.image.imageOrgX, 320);
        EXPECT_EQ(window->workspace.image.imageOrgY, 16);
        EXPECT_EQ(Text(res::kBppEdit), "24");
        EXPECT_TRUE(window->workspace.image.bmpPixels.empty());
        EXPECT_EQ(window->workspace.image.sidecarSize, 0u);
        EXPECT_EQ(Menu().Id(), res::kMenuLoaded);
    }
}

TEST_F(MainWindowTest, AHeaderClaimingAHugeImageCostsOnlyTheClientArea) {
    // 65535 x 65535 16-bit pixels claimed over 8 bytes of data.
    const TimSpec liar{.mode = 2,
                       .imageWidth = 0xFFFF,
                       .imageHeight = 0xFFFF,
                       .pixels = {0x1F, 0x00, 0x00, 0x7C, 0x00, 0x00, 0x00, 0x00}};
    OpenTim(WriteTim("liar.tim", liar));
    const QSize client = window->Client()->size();
    EXPECT_EQ(window->drawSurface.Image().size(), client);
    // The reader takes the block at its word; painting draws what exists.
    ASSERT_TRUE(window->workspace.image.IsLoaded());
    EXPECT_EQ(ImagePixel(0, 0), MakePixel(255, 7, 7));
    EXPECT_EQ(ImagePixel(1, 0), MakePixel(7, 7, 255));
    EXPECT_EQ(ImagePixel(4, 0), ButtonFace());
    window->OnCommand(res::kCmdSplitImage);
    window->OnCommand(res::kCmdCloseImage);
    EXPECT_EQ(ImagePixel(0, 0), ButtonFace());
    EXPECT_EQ(window->drawSurface.At(client.width() - 1, client.height() - 1), ButtonFace());
    EXPECT_EQ(window->drawSurface.Image().size(), client);
}

TEST_F(MainWindowTest, ADroppedFileIsTakenAsACopyAndOpened) {
    const std::string tim = WriteTim("dropped.tim", PatternTim(16, 4, 2));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(tim))});
    struct Case {
        Qt::DropActions offered;
        bool taken;
    };
    // A source told "moved" may delete its file: only a copy is ever taken.
    for (const Case c : {Case{Qt::CopyAction, true}, Case{Qt::CopyAction | Qt::MoveAction, true},
                         Case{Qt::MoveAction, false}}) {
        SCOPED_TRACE(static_cast<int>(c.offered));
        window->OnCommand(res::kCmdCloseImage);
        QDragEnterEvent enter(QPoint(10, 10), c.offered, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setDropAction(Qt::MoveAction);
        enter.ignore();
        static_cast<QObject*>(window.get())->event(&enter);
        EXPECT_EQ(enter.isAccepted(), c.taken);
        QDropEvent drop(QPointF(10, 10), c.offered, &data, Qt::LeftButton, Qt::NoModifier);
        drop.setDropAction(Qt::MoveAction);
        drop.ignore();
        static_cast<QObject*>(window.get())->event(&drop);
        EXPECT_EQ(drop.isAccepted(), c.taken);
        if (c.taken) {
            EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
            EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
        }
        EXPECT_EQ(window->workspace.image.IsLoaded(), c.taken);
        EXPECT_EQ(Text(res::kPathEdit), c.taken ? tim : "");
    }
}

TEST_F(MainWindowTest, APaintRequestShowsThePictureAndOnlyAChangeRepaintsIt) {
    OpenTim(WriteTim("a.tim", PatternTim(16, 4, 2)));
    const Pixel drawn = ImagePixel(3, 1);
    const Pixel other = MakePixel(1, 2, 3);
    window->drawSurface.FillSolidRect(0, 0, 1000, 1000, other);
    // Rendering the client area is a paint request like any other: it copies
    // the picture to the screen one to one and draws nothing into it.
    const QImage shown = window->Client()->grab().toImage();
    EXPECT_EQ(ImagePixel(3, 1), other);
    EXPECT_EQ(shown.pixel(330 + 3, 5 + 1), other);
    // A change of the view paints the picture again, once.
    window->OnCommand(res::kCmdTransparency);
    EXPECT_EQ(ImagePixel(3, 1), drawn);
    EXPECT_EQ(ImagePixel(4, 1), other);  // outside the image: untouched
    EXPECT_EQ(window->Client()->grab().toImage().pixel(330 + 3, 5 + 1), drawn);
}

TEST_F(MainWindowTest, AboutComesFromTheHelpMenuAndTheWindowMenuCommand) {
    int shown = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            EXPECT_EQ(about->windowTitle().toStdString(), "About Pixalto");
            ++shown;
            about->reject();
        }
    });
    closer.start(5);
    window->OnCommand(res::kCmdAbout);
    window->OnCommand(res::kCmdSystemAbout);
    window->OnCommand(res::kCmdSystemAbout + 3);  // the low four bits don't count
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(res::StringResource(res::kAboutMenuString), "&About pixalto...");
}

}  // namespace
}  // namespace pixalto::testing
