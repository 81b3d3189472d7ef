// The RAW-file jobs in the window: scanning into the list, showing a listed
// TIM, the file-number dialog, extraction and insertion end to end with their
// questions and error stops, a disc image through its sectors' data, and the
// scan dialog's own rules.

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "disc/DiscCheck.h"
#include "raw/RawFiles.h"
#include "resources/ResourceIds.h"
#include "shell/ShellTestSupport.h"
#include "support/DiscBuilder.h"

namespace pixalto::testing {
namespace {

using shell::CExtractNumbersDlg;
using ui::ShownMessage;
using Rows = std::vector<std::vector<std::string>>;
using Messages = std::vector<ShownMessage>;

// Types text into the file-number box key by key, as a user would, and
// presses OK (or Cancel when there is no text to type).
void Answer(CExtractNumbersDlg& dialog, const std::optional<std::string>& text) {
    auto* edit = dialog.Item<QLineEdit>(res::kRangeEdit);
    edit->clear();
    for (char c : text.value_or("")) {
        QKeyEvent press(QEvent::KeyPress,
                        static_cast<Qt::Key>(std::toupper(static_cast<unsigned char>(c))),
                        Qt::NoModifier, QString(QChar(c)));
        QApplication::sendEvent(edit, &press);
    }
    dialog.Item<QPushButton>(text ? res::kIdOk : res::kIdCancel)->click();
}

// Three TIMs: at 0, one starting in the last 9 bytes of the first 30,000-byte
// window, and a 16-bit one further on.
const std::vector<std::size_t> kAt = {0, 29'995, 50'000};
const std::vector<Bytes> kTims = {MakeTim(PatternTim(4, 16, 8)), MakeTim(PatternTim(8, 8, 4, 2)),
                                  MakeTim(PatternTim(16, 10, 3))};

class RawJobsTest : public MainWindowTest {
  protected:
    std::string MakeRaw(const std::string& name = "raw.bin") const {
        Bytes raw = Filler(70'000);
        for (std::size_t i = 0; i < kAt.size(); ++i) {
            Place(raw, kAt[i], kTims[i]);
        }
        return WriteFile(name, raw);
    }
    void Scan(const std::string& path) {
        prompts.files.push_back(path);
        window->OnCommand(res::kCmdScanRawFile);
    }
    // "Save Multiple Files", the selection typed once the dialog is up.
    void Extract(std::optional<std::string> selection) {
        QTimer::singleShot(0, [this, selection] { Answer(window->extractNumbers, selection); });
        window->OnCommand(res::kCmdSaveMultipleFiles);
    }
    // "Insert TIM File(s)", its preview answered with action (0: Write; 1:
    // Save as Patch, patch given to the save dialog or none to cancel it).
    void Insert(std::optional<std::size_t> action = 0,
                std::optional<std::string> patch = std::nullopt) {
        prompts.files.push_back(dir.File("timextracts.txt"));
        if (patch) {
            prompts.files.push_back(*patch);
        }
        prompts.tableActions.assign({action});
        window->OnCommand(res::kCmdInsertTimFiles);
    }
    // The texts of the rows, every column but the thumbnails'.
    Rows ListRows() const {
        Rows rows(static_cast<std::size_t>(window->List().GetItemCount()));
        for (std::size_t row = 0; row < rows.size(); ++row) {
            for (int column = 0; column < window->entryModel.columnCount(); ++column) {
                if (window->entryModel.ColumnAt(column) == workspace::ListColumn::Thumbnail) {
                    continue;
                }
                const QModelIndex cell =
                    window->List().model()->index(static_cast<int>(row), column);
                rows[row].push_back(cell.data().toString().toStdString());
            }
        }
        return rows;
    }
    std::string Status(int id) const { return window->scanDlg.GetDlgItemText(id); }
    // The loaded image's pixel bytes (the buffer holds one spare byte).
    Bytes Pixels() const {
        const auto& data = window->workspace.image.imageData;
        return Bytes(data.begin(), data.begin() + window->workspace.image.imageDataSize);
    }
    std::string Tooltip() const {
        return window->GetDlgItem(res::kPathEdit)->toolTip().toStdString();
    }
    std::string ListFile() const {
        const Bytes bytes = ReadAll(dir.File("timextracts.txt"));
        return std::string(bytes.begin(), bytes.end());
    }
};

TEST_F(RawJobsTest, AScanListsEveryTimOnceAndADoubleClickShowsOne) {
    const std::string path = MakeRaw();
    Scan(path);
    EXPECT_EQ(prompts.filters.back(), "All Files|*.*||");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(ListRows(), (Rows{{"1", "0", "16", "8", "4", "1"},
                                {"2", "29995", "8", "4", "8", "2"},
                                {"3", "50000", "10", "3", "16", "0"}}));
    EXPECT_TRUE(window->List().isVisible());
    EXPECT_FALSE(window->scanDlg.isVisible());
    EXPECT_EQ(Text(res::kPathEdit), path);
    EXPECT_EQ(Tooltip(), "");
    ASSERT_EQ(Menu().Id(), res::kMenuLoaded);
    EXPECT_TRUE(Menu().IsEnabled(res::kCmdSaveMultipleFiles));
    EXPECT_FALSE(Menu().IsEnabled(res::kCmdSaveTimFile));
    // However many steps a tick ran, the texts and the bar are the last step's.
    EXPECT_EQ(Status(res::kScanStatusUpper), "69991 out of 70000 bytes");
    EXPECT_EQ(Status(res::kScanStatusLower), "Images Found: 3");
    const auto* bar = window->scanDlg.Item<QProgressBar>(res::kScanProgress);
    EXPECT_EQ(bar->maximum(), 70'000);
    EXPECT_EQ(bar->value(), 69'991);

    window->OnListDblClk();  // nothing selected since the scan
    EXPECT_FALSE(window->workspace.image.IsLoaded());
    window->List().SelectRow(2);
    EXPECT_EQ(window->workspace.selectedRow, 2);
    emit window->List().DoubleClicked();
    EXPECT_EQ(Pixels(), PatternTim(16, 10, 3).pixels);
    EXPECT_TRUE(Menu().IsEnabled(res::kCmdSaveMultipleFiles));
    // An entry at position 0 greys "Save Multiple Files".
    window->List().SelectRow(0);
    window->OnListDblClk();
    EXPECT_EQ(Text(res::kBppEdit), "4");
    EXPECT_FALSE(Menu().IsEnabled(res::kCmdSaveMultipleFiles));
    // The file is read as it is now, through the handle the scan opened; a
    // failed load greys what needs an image.
    std::fstream(path, std::ios::in | std::ios::out | std::ios::binary).seekp(50'000).put('x');
    window->List().SelectRow(2);
    window->OnListDblClk();
    EXPECT_EQ(prompts.messages, (Messages{{"TIM Header not found!", "TIM Error"}}));
    EXPECT_FALSE(window->workspace.image.IsLoaded());
    EXPECT_EQ(Menu().Id(), res::kMenuLoaded);
    for (int id : {res::kCmdSaveTimFile, res::kCmdConvertToBmp, res::kCmdViewClut}) {
        EXPECT_FALSE(Menu().IsEnabled(id)) << id;
    }
    EXPECT_TRUE(window->List().isVisible());
    EXPECT_EQ(ImagePixel(0, 0), ButtonFace());

    // A new scan empties the list first, and nothing stays selected.
    Bytes other = Filler(1000);
    Place(other, 100, kTims[2]);
    Scan(WriteFile("other.bin", other));
    EXPECT_EQ(ListRows(), (Rows{{"1", "100", "10", "3", "16", "0"}}));
    EXPECT_EQ(window->workspace.selectedRow, -1);
}

// The list sorted by its headers and filtered by its box, positions in hex,
// thumbnails, Enter, and the arrow keys with Follow Selection.
TEST_F(RawJobsTest, TheListSortsFiltersAndShowsTheTimItSelects) {
    const std::string path = MakeRaw();
    Scan(path);
    auto& list = window->List();
    const auto& model = window->entryModel;
    using workspace::ListColumn;
    const auto numbers = [this] {
        std::vector<std::string> shown;
        for (const auto& row : ListRows()) {
            shown.push_back(row[0]);
        }
        return shown;
    };
    struct Arrangement {
        ListColumn column;
        Qt::SortOrder order;
        const char* filter;
        std::vector<std::string> rows;
        bool readable;
    };
    for (const Arrangement& a : std::vector<Arrangement>{
             {ListColumn::Width, Qt::AscendingOrder, "", {"2", "3", "1"}, true},
             {ListColumn::Width, Qt::DescendingOrder, "", {"1", "3", "2"}, true},
             {ListColumn::Bpp, Qt::DescendingOrder, "", {"3", "2", "1"}, true},
             {ListColumn::Position, Qt::DescendingOrder, "8bpp", {"2"}, true},
             {ListColumn::Position, Qt::DescendingOrder, "8bpp 4x", {"2"}, false},
             {ListColumn::Height, Qt::AscendingOrder, "*x8, 4BPP", {"1"}, true},
             {ListColumn::FileNumber, Qt::DescendingOrder, "", {"3", "2", "1"}, true},
         }) {
        SCOPED_TRACE(a.filter);
        window->FilterBox().setText(a.filter);
        list.sortByColumn(model.ColumnOf(a.column), a.order);
        EXPECT_EQ(numbers(), a.rows);
        EXPECT_EQ(window->FilterBox().styleSheet().isEmpty(), a.readable);
    }
    list.sortByColumn(-1, Qt::AscendingOrder);
    EXPECT_EQ(numbers(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_TRUE(window->FilterBox().isVisible());
    const int thumbnails = model.ColumnOf(ListColumn::Thumbnail);
    const QIcon thumbnail = model.index(0, thumbnails).data(Qt::DecorationRole).value<QIcon>();
    EXPECT_EQ(thumbnail.availableSizes(QIcon::Selected), QList<QSize>{QSize(16, 8)});
    EXPECT_EQ(model.index(1, model.ColumnOf(ListColumn::Position))
                  .data(Qt::ToolTipRole)
                  .toString()
                  .toStdString(),
              "0x752B");

    // Off, a selection shows nothing until Enter; on, the arrows show each.
    window->OnCommand(res::kCmdFollowSelection);
    EXPECT_EQ(Menu().MarkOf(res::kCmdFollowSelection), ui::MenuMark::None);
    list.SelectRow(2);
    EXPECT_FALSE(window->workspace.image.IsLoaded());
    const auto press = [&list](Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&list, &event);
    };
    press(Qt::Key_Return);
    EXPECT_EQ(Text(res::kBppEdit), "16");
    window->OnCommand(res::kCmdFollowSelection);
    EXPECT_EQ(Menu().MarkOf(res::kCmdFollowSelection), ui::MenuMark::Check);
    press(Qt::Key_Up);
    EXPECT_EQ(window->workspace.selectedRow, 1);
    EXPECT_EQ(Text(res::kBppEdit), "8");
    // A row that can't be shown is said in the status bar as the selection
    // moves on, with no message box in the way.
    std::fstream(path, std::ios::in | std::ios::out | std::ios::binary).seekp(0).put('x');
    press(Qt::Key_Up);
    EXPECT_FALSE(window->workspace.image.IsLoaded());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(window->statusBar->currentMessage().toStdString(), "TIM Header not found!");
    // An unsaved edit is asked about before the selection shows another TIM.
    press(Qt::Key_Down);
    ASSERT_TRUE(window->workspace.SetClutColor(0, 0x1234));
    prompts.answers.push_back(ui::Answer::Cancel);
    press(Qt::Key_Down);
    EXPECT_EQ(prompts.messages, (Messages{{"Save changes to " + path + "?", "Pixalto",
                                           ui::MessageButtons::SaveDiscardCancel}}));
    EXPECT_EQ(Text(res::kBppEdit), "8");
    EXPECT_TRUE(window->workspace.HasUnsavedChanges());
}

// Cancel in the scan's dialog keeps the rows found so far and says how many.
TEST_F(RawJobsTest, CancellingAScanKeepsTheRowsFoundSoFar) {
    Bytes raw = Filler(300'000);
    for (std::size_t i = 0; i < 10; ++i) {
        Place(raw, i * 30'000 + 100, kTims[2]);
    }
    window->scanDlg.tickBudgetMs = 0;  // a window a tick
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [this, &poll] {
        if (!Status(res::kScanStatusLower).empty()) {
            window->scanDlg.Item<QPushButton>(res::kScanCancel)->click();
            poll.stop();
        }
    });
    poll.start();
    Scan(WriteFile("ten.bin", raw));
    EXPECT_TRUE(window->scanDlg.Cancelled());
    const std::size_t found = ListRows().size();
    EXPECT_GE(found, 1u);
    EXPECT_LT(found, 10u);
    EXPECT_EQ(window->statusBar->currentMessage().toStdString(),
              "Scan cancelled. Images Found: " + std::to_string(found));
    EXPECT_TRUE(window->List().isVisible());
    EXPECT_TRUE(Menu().IsEnabled(res::kCmdSaveMultipleFiles));
    EXPECT_TRUE(window->scanDlg.Item<QProgressBar>(res::kScanProgress)->isTextVisible());
}

TEST_F(RawJobsTest, GivenFilesThatAreNotImagesAreScanned) {
    window->OpenGivenFile(MakeRaw("game.dat"));
    EXPECT_EQ(ListRows().size(), 3u);
    EXPECT_TRUE(prompts.messages.empty());

    // A file that can't be read is said so, and the window claims no RAW file.
    window->OpenGivenFile(dir.File("missing.bin"));
    EXPECT_EQ(prompts.messages, (Messages{{"Couldn't open file!", "File Error!"}}));
    EXPECT_EQ(Menu().Id(), res::kMenuEmpty);
    EXPECT_FALSE(window->List().isVisible());
}

TEST_F(RawJobsTest, TheRangeDialogAcceptsOnlySelectionsOfListedEntries) {
    struct Case {
        const char* typed;
        std::string shown;    // typed letters become upper case
        std::uint64_t total;  // 0: refused
    };
    auto& dialog = window->extractNumbers;
    dialog.entryCount = 10;
    std::string accepted;
    dialog.acceptedText = &accepted;
    for (const Case& c : {Case{"1,2-3,5-", "1,2-3,5-", 9}, Case{"11", "11", 0},
                          Case{"5-3", "5-3", 0}, Case{"1,", "1,", 0}, Case{"0x0a", "0X0A", 1}}) {
        SCOPED_TRACE(c.typed);
        prompts.messages.clear();
        accepted.clear();
        dialog.Create();
        dialog.show();
        Answer(dialog, c.typed);
        EXPECT_EQ(dialog.GetDlgItemText(res::kRangeEdit), c.shown);
        EXPECT_EQ(dialog.isVisible(), c.total == 0);
        EXPECT_EQ(accepted, c.total != 0 ? c.shown : "");
        const Messages refused = {{"Invalid Text entered into Input Stream", "Error!"}};
        EXPECT_EQ(prompts.messages, c.total != 0 ? Messages{} : refused);
        if (c.total != 0) {
            EXPECT_EQ(dialog.total, c.total);
        }
        dialog.hide();
    }
    // The next showing starts with the text OK read last.
    dialog.Create();
    EXPECT_EQ(dialog.GetDlgItemText(res::kRangeEdit), "0X0A");
}

std::string ExpectedList(const std::vector<std::size_t>& numbers) {
    std::string list = "raw.bin\r\n\r\n";
    for (std::size_t n : numbers) {
        list += "File #" + std::to_string(n) + "\r\nPosition:\t" + std::to_string(kAt[n - 1]) +
                "\r\nSize:\t" + std::to_string(kTims[n - 1].size()) + "\r\n\r\n";
    }
    return list;
}

TEST_F(RawJobsTest, SaveMultipleFilesWritesTheChosenTimsAndTheirListOrStops) {
    Scan(MakeRaw());
    Extract(std::nullopt);  // Cancel
    EXPECT_FALSE(std::filesystem::exists(dir.File("timextracts.txt")));

    Extract("3,1");
    EXPECT_EQ(ReadAll(dir.File("1.tim")), kTims[0]);
    EXPECT_EQ(ReadAll(dir.File("3.tim")), kTims[2]);
    EXPECT_FALSE(std::filesystem::exists(dir.File("2.tim")));
    EXPECT_EQ(ListFile(), ExpectedList({3, 1}));
    EXPECT_EQ(prompts.messages, (Messages{{"TIM Files have been saved!", "Files Saved"}}));
    EXPECT_EQ(Status(res::kScanStatusUpper), "TIM #1");

    // A file that can't be written stops the job without claiming success.
    prompts.messages.clear();
    std::filesystem::create_directory(dir.File("2.tim"));
    Extract("1-3");
    EXPECT_EQ(prompts.messages,
              (Messages{{"Couldn't create file " + dir.File("2.tim") + "!", "Extraction Error"}}));
    EXPECT_EQ(ListFile(), ExpectedList({1}));
}

TEST_F(RawJobsTest, InsertionWritesTheFilesBackAskingAboutSizeChanges) {
    const ShownMessage larger{
        "TIM #3 is 4 bytes larger than it originally was. Continue inserting?", "Confirm",
        ui::MessageButtons::YesNo};
    const ShownMessage inserted{"TIM File(s) have been inserted!", "File(s) Inserted"};
    const ShownMessage missing{"Couldn't open TIM #1 for insertion.", "Insertion Error"};
    const ShownMessage noneInserted{"No TIM file was inserted.", "Nothing Inserted"};
    struct Case {
        const char* desc;
        const char* selection;
        std::vector<ui::Answer> answers;
        bool removeFirst;
        Messages messages;
        bool firstWritten, thirdWritten;
    };
    const Bytes original = ReadAll(MakeRaw("original.bin"));
    for (const Case& c :
         {Case{"Yes writes it", "1,3", {ui::Answer::Yes}, false, {larger, inserted}, true, true},
          Case{"No skips it", "1,3", {ui::Answer::No}, false, {larger, inserted}, true, false},
          Case{"No to the one", "3", {ui::Answer::No}, false, {larger, noneInserted}, false, false},
          Case{"a missing file stops", "1,3", {}, true, {missing}, false, false}}) {
        SCOPED_TRACE(c.desc);
        const std::string raw = MakeRaw();
        Scan(raw);
        Extract(c.selection);
        // Edited: the first keeps its size, the third grows by 4 bytes.
        Bytes first = kTims[0];
        first.back() ^= 0xFF;
        Bytes third = kTims[2];
        third.insert(third.end(), {1, 2, 3, 4});
        WriteFile("1.tim", first);
        WriteFile("3.tim", third);
        if (c.removeFirst) {
            std::filesystem::remove(dir.File("1.tim"));
        }
        prompts.messages.clear();
        prompts.answers.assign(c.answers.begin(), c.answers.end());
        Insert();
        EXPECT_EQ(prompts.filters.back(), "Extract File|timextracts.txt|All Files|*.*||");
        EXPECT_EQ(prompts.messages, c.messages);
        EXPECT_EQ(ReadAt(raw, kAt[0], first.size()), c.firstWritten ? first : kTims[0]);
        EXPECT_EQ(ReadAt(raw, kAt[2], third.size()),
                  c.thirdWritten ? third : Slice(original, kAt[2], third.size()));
        EXPECT_EQ(std::filesystem::file_size(raw), original.size());
        EXPECT_EQ(Menu().Id(), res::kMenuEmpty);
    }
}

// Insert shows what it would do first, then writes, saves a patch of it
// (the image only read) or does nothing, as the user answers.
TEST_F(RawJobsTest, InsertionShowsItsDryRunAndWritesOrSavesAPatchOrNothing) {
    // Edited: the first keeps its size, the third grows by 4 bytes.
    Bytes first = kTims[0];
    first.back() ^= 0xFF;
    Bytes third = kTims[2];
    third.insert(third.end(), {1, 2, 3, 4});
    const Bytes original = ReadAll(MakeRaw("original.bin"));
    Bytes inserted = original;
    Place(inserted, kAt[0], first);
    Place(inserted, kAt[2], third);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < original.size(); ++i) {
        changed += original[i] != inserted[i] ? 1 : 0;
    }
    const std::string patch = dir.File("fix.ppf");
    const ShownMessage larger{
        "TIM #3 is 4 bytes larger than it originally was. Continue inserting?", "Confirm",
        ui::MessageButtons::YesNo};
    const ShownMessage written{"TIM File(s) have been inserted!", "File(s) Inserted"};
    const ShownMessage saved{"Patch written to " + patch + ": " + std::to_string(changed) +
                                 " bytes of the image change.",
                             "Patch Saved"};
    struct Case {
        const char* desc;
        std::optional<std::size_t> action;
        std::optional<std::string> patchName;  // given to the save dialog
        Messages messages;
        bool written;
    };
    for (const Case& c : {Case{"Write", 0, std::nullopt, {larger, written}, true},
                          Case{"Save as Patch", 1, patch, {larger, saved}, false},
                          Case{"Save as Patch, no name", 1, std::nullopt, {}, false},
                          Case{"Cancel", std::nullopt, std::nullopt, {}, false}}) {
        SCOPED_TRACE(c.desc);
        const std::string raw = MakeRaw();
        Scan(raw);
        Extract("1,3");
        WriteFile("1.tim", first);
        WriteFile("3.tim", third);
        prompts.messages.clear();
        prompts.tablesShown.clear();
        prompts.answers.assign({ui::Answer::Yes});
        const std::size_t dialogs = prompts.filters.size();
        Insert(c.action, c.patchName);

        EXPECT_EQ(prompts.tablesShown,
                  (std::vector<ui::ShownTable>{
                      {"Inserting into " + raw +
                           ":\n2 of 2 TIMs would be written.\nWrite asks before writing a TIM "
                           "whose size changed.",
                       "Insertion Preview",
                       {"File #", "Size", "Sectors", "Damaged", "Result"},
                       {{"1", "same", "-", "-", "would be written"},
                        {"3", "4 bytes bigger", "-", "-", "would be written"}},
                       {"&Write", "Save as &Patch..."}}}));
        // After the list's open dialog, a save dialog for Save as Patch alone.
        ASSERT_EQ(prompts.filters.size(), dialogs + (c.action == 1u ? 2 : 1));
        if (c.action == 1u) {
            EXPECT_EQ(prompts.filters.back(), "PPF patches|*.ppf|IPS patches|*.ips||");
            EXPECT_EQ(prompts.defaultExtensions.back(), ".ppf");
        }
        EXPECT_EQ(prompts.messages, c.messages);
        EXPECT_EQ(ReadAll(raw), c.written ? inserted : original);
        EXPECT_EQ(std::filesystem::exists(patch), c.patchName.has_value());
        if (c.patchName) {
            const Bytes made = ReadAll(patch);
            ASSERT_GE(made.size(), 5u);
            EXPECT_EQ(std::string(made.begin(), made.begin() + 5), "PPF30");
            std::filesystem::remove(patch);
        }
    }
}

TEST_F(RawJobsTest, ADiscImageIsShownExtractedAndInsertedThroughItsSectorsData) {
    // A 16-bit TIM that crosses a sector boundary, a Form 2 sector between.
    DiscContents contents;
    contents.data = Filler(3 * 2048);
    TimSpec desc = PatternTim(16, 40, 20);
    PlaceBytes(contents.data, 1500, MakeTim(desc));
    contents.gapsBefore = {1, 2};
    const BuiltDisc disc = MakeDisc(contents);
    const std::string path = WriteFile("GAME.BIN", disc.image);
    Scan(path);
    EXPECT_EQ(ListRows(), (Rows{{"1", std::to_string(disc.FileOffsetOf(1500)), "40", "20", "16",
                                 "0", std::to_string(disc.FileOffsetOf(1500) / 2352)}}));
    EXPECT_EQ(Tooltip(), "Read as a MODE2/2352 disc image");
    // No file system: said once, in the status bar, never in a message box.
    EXPECT_EQ(window->statusBar->currentMessage().toStdString(),
              "No ISO 9660 file system could be read: hits show their sector (LBA) only.");
    EXPECT_TRUE(prompts.messages.empty());

    Extract("1");
    EXPECT_EQ(ReadAll(dir.File("1.tim")), MakeTim(desc));
    EXPECT_EQ(ListFile().rfind("GAME.BIN\r\nLayout:\tMODE2/2352\r\n", 0), 0u);
    std::fill(desc.pixels.begin(), desc.pixels.end(), 0x5A);
    WriteFile("1.tim", MakeTim(desc));
    Insert();
    EXPECT_EQ(prompts.messages.back().text, "TIM File(s) have been inserted!");
    EXPECT_EQ(Tooltip(), "");
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::Read));
    EXPECT_TRUE(disc::CheckDisc(file).bad.empty());
    Scan(path);
    window->List().SelectRow(0);
    window->OnListDblClk();
    // The pixels, not the sector bytes that lie between them in the file.
    EXPECT_EQ(Pixels(), desc.pixels);
}

// A sector whose codes were already wrong is written over only when the user
// says so after the preview; otherwise the insertion stops before it.
TEST_F(RawJobsTest, InsertingIntoADamagedSectorAsksBeforeRebuildingItsCodes) {
    const struct {
        const char* name;
        ui::Answer answer;
        bool inserted;
    } cases[] = {{"rebuilt", ui::Answer::Yes, true}, {"left alone", ui::Answer::No, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DiscContents contents;
        contents.data = Filler(3 * 2048);
        TimSpec desc = PatternTim(16, 40, 20);
        PlaceBytes(contents.data, 1500, MakeTim(desc));
        const BuiltDisc disc = MakeDisc(contents);
        const std::string path = WriteFile("GAME.BIN", disc.image);
        Scan(path);
        Extract("1");
        // The EDC of the sector the TIM begins in no longer matches its bytes.
        Bytes image = ReadAll(path);
        const std::uint64_t sector = disc.FileOffsetOf(1500) / 2352;
        image[sector * 2352 + 24 + 2048] ^= 0xFF;
        WriteFile("GAME.BIN", image);
        std::fill(desc.pixels.begin(), desc.pixels.end(), 0x5A);
        WriteFile("1.tim", MakeTim(desc));
        prompts.messages.clear();
        prompts.answers.assign({c.answer});
        Insert();

        ASSERT_EQ(prompts.messages.size(), 2u);
        EXPECT_EQ(prompts.messages[0].title, "Damaged Sectors");
        EXPECT_EQ(prompts.messages[0].buttons, ui::MessageButtons::YesNo);
        EXPECT_EQ(prompts.messages[0].text.rfind(
                      "1 sector that the insertion writes into already has wrong codes", 0),
                  0u);
        File file;
        ASSERT_TRUE(file.Open(path, File::Mode::Read));
        if (c.inserted) {
            EXPECT_EQ(prompts.messages[1].text, "TIM File(s) have been inserted!");
            EXPECT_TRUE(disc::CheckDisc(file).bad.empty());
        } else {
            EXPECT_NE(prompts.messages[1].text.find("already damaged"), std::string::npos)
                << prompts.messages[1].text;
            file.Close();
            EXPECT_EQ(ReadAll(path), image) << "nothing written";
        }
    }
}

// What the jobs refuse before they write anything reaches the window as one
// message box, and no success message follows: an extraction whose files
// would replace the RAW file itself, and a list without its layout line for
// a disc image, for which the window offers no way round.
TEST_F(RawJobsTest, JobsThatMayNotWriteSayWhyInAMessageBox) {
    struct Case {
        const char* desc;
        std::string rawName;
        const char* selection;
        bool discWithoutLayout;  // a disc image, extracted, its list's layout line removed
        std::string message;     // {dir}: the folder
        std::string title;
    };
    const Case cases[] = {
        {"a TIM over the RAW file", "2.tim", "1-", false,
         "Couldn't create file {dir}2.tim!\n{dir}2.tim is the RAW file itself.",
         "Extraction Error"},
        {"the list over the RAW file", "timextracts.txt", "1", false,
         "Couldn't create file {dir}timextracts.txt!\n{dir}timextracts.txt is the RAW file "
         "itself.",
         "Extraction Error"},
        {"a disc image and a list without layout", "GAME.BIN", "1", true,
         "The extraction list names no layout, but {dir}GAME.BIN is a MODE2/2352 disc image. "
         "Nothing was inserted.",
         "Insertion Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.desc);
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            std::filesystem::remove_all(entry.path());
        }
        std::string raw;
        if (c.discWithoutLayout) {
            DiscContents contents;
            contents.data = Filler(3 * 2048);
            PlaceBytes(contents.data, 1500, kTims[2]);
            contents.gapsBefore = {1, 2};
            raw = WriteFile(c.rawName, MakeDisc(contents).image);
        } else {
            raw = MakeRaw(c.rawName);
        }
        const Bytes before = ReadAll(raw);
        Scan(raw);
        prompts.messages.clear();
        Extract(c.selection);
        if (c.discWithoutLayout) {
            std::string list = ListFile();
            const std::string line = "Layout:\tMODE2/2352\r\n";
            ASSERT_NE(list.find(line), std::string::npos);
            list.erase(list.find(line), line.size());
            WriteFile("timextracts.txt", Bytes(list.begin(), list.end()));
            prompts.messages.clear();
            Insert();
        }
        std::string message = c.message;
        for (auto at = message.find("{dir}"); at != std::string::npos; at = message.find("{dir}")) {
            message.replace(at, 5, dir.Path().string() + "/");
        }
        EXPECT_EQ(prompts.messages, (Messages{{message, c.title}}));
        EXPECT_EQ(ReadAll(raw), before);
        EXPECT_EQ(std::filesystem::exists(dir.File("1.tim")), c.discWithoutLayout);
    }
}

TEST(ScanDialog, NeitherEnterNorEscapeNorCloseEndsIt) {
    EnsureApplication();
    ui::ScriptedPrompts prompts;
    ui::ListView list(nullptr);
    workspace::Workspace workspace;
    shell::CScanDlg dialog(prompts, workspace, list, nullptr);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Scanning....");
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &press);
    }
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());
}

TEST(ScanDialog, FitsSixtyFourBitProgressIntoTheBar) {
    const std::int64_t kGiB = std::int64_t{1} << 30;
    for (const auto& [upper, shift] : std::vector<std::pair<std::int64_t, int>>{
             {70'000, 0}, {2 * kGiB - 1, 0}, {2 * kGiB, 1}, {5 * kGiB, 2}, {700 * kGiB, 9}}) {
        EXPECT_EQ(shell::ProgressShiftFor(upper), shift) << upper;
        EXPECT_EQ(shell::ScaledProgress(upper, shift), static_cast<int>(upper >> shift));
    }
}

TEST_F(RawJobsTest, TheListWidensToItsColumnsAndItsHandleMovesThePanelAndTheImage) {
    const QRect list = window->List().geometry();
    const QRect info = window->GetDlgItem(res::kImageSizeEdit)->geometry();
    const int origin = shell::CMainDlg::kImageOrigin.x;
    Scan(MakeRaw());
    window->List().SelectRow(2);
    emit window->List().DoubleClicked();
    const Pixel corner = ImagePixel(0, 0);
    ASSERT_NE(corner, ButtonFace());
    const int fit = window->ListWideningToFit();
    ASSERT_GT(fit, 60);
    EXPECT_EQ(window->ListWidening(), std::min(fit, 420)) << "a scan shows the columns";

    // Drags the handle sideways by dx.
    const auto drag = [&](int dx) {
        QWidget* handle = window->ListHandle();
        const QPointF from(handle->width() / 2, handle->height() / 2);
        const QPointF to = from + QPointF(dx, 0);
        QMouseEvent press(QEvent::MouseButtonPress, from, handle->mapToGlobal(from), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, to, handle->mapToGlobal(from) + QPointF(dx, 0),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, to,
                            handle->mapToGlobal(from) + QPointF(dx, 0), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &press);
        QApplication::sendEvent(handle, &move);
        QApplication::sendEvent(handle, &release);
    };
    const struct {
        const char* name;
        int dx;
        int widening;
    } steps[] = {
        {"narrower", -40, std::min(fit, 420) - 40},
        {"past the template's width", -5000, 0},
        {"past the columns", 5000, fit},
        {"back", -(fit - 12), 12},
    };
    for (const auto& step : steps) {
        const SurfacePoint before = window->ImageOrigin();
        drag(step.dx);
        EXPECT_EQ(window->ListWidening(), step.widening) << step.name;
        EXPECT_EQ(window->List().geometry(), list.adjusted(0, 0, step.widening, 0)) << step.name;
        EXPECT_EQ(window->GetDlgItem(res::kImageSizeEdit)->geometry(),
                  info.translated(step.widening, 0))
            << step.name;
        EXPECT_EQ(window->ClientImageOrigin().x(), origin + step.widening) << step.name;
        EXPECT_EQ(ImagePixel(0, 0), corner) << step.name << ": the image moves with the panel";
        EXPECT_EQ(window->drawSurface.At(before.x, before.y), ButtonFace())
            << step.name << ": nothing is left where it was";
    }
    // Without the list the panel is the template's again.
    window->OnCommand(res::kCmdCloseImage);
    EXPECT_EQ(window->List().geometry(), list);
    EXPECT_EQ(window->GetDlgItem(res::kImageSizeEdit)->geometry(), info);
    EXPECT_EQ(window->ClientImageOrigin().x(), origin);
}

}  // namespace
}  // namespace pixalto::testing
