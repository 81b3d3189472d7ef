// The window's PNG and palette commands: opening a PNG (asking for the depth
// when it can't say), exporting one and a palette, importing a palette as
// edits that Undo takes back, and the Convert menu's PNG folder conversions.

#include <QPushButton>
#include <filesystem>

#include "image/Png.h"
#include "resources/ResourceIds.h"
#include "shell/ShellTestSupport.h"
#include "support/PngBuilder.h"

namespace pixalto::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Messages = std::vector<ui::ShownMessage>;

class PngWindowTest : public MainWindowTest {
  protected:
    // Runs command with the file dialog answering path, from the menu or
    // from the CLUT viewer's button of the same identifier.
    Messages Run(int command, const std::string& path, bool fromViewer = false) {
        prompts.files.push_back(path);
        if (!fromViewer) {
            EXPECT_TRUE(window->OnCommand(command));
        } else if (auto* button = window->clutViewer.Item<QPushButton>(command)) {
            button->click();
        } else {
            ADD_FAILURE() << "no viewer button " << command;
        }
        return std::exchange(prompts.messages, {});
    }
};

TEST_F(PngWindowTest, ExportsAndOpensPngsAndPalettes) {
    const Bytes tim = MakeTim(PatternTim(4, 8, 2, 3, 11));
    OpenTim(WriteFile("face.tim", tim));
    window->workspace.SelectSet(2);
    window->OnCommand(res::kCmdViewClut);
    struct Case {
        int command;
        std::string file;
        Messages messages;
        bool fromViewer = false;
    };
    const Messages paletteSaved = {{"The palette has been saved!", "File Saved"}};
    const Messages notGimp = {
        {"Couldn't read the palette: it doesn't start with \"GIMP Palette\"", "Palette Error"}};
    const Case cases[] = {
        {res::kCmdExportPng, "out.png", {{"PNG File has been saved!", "File Saved"}}},
        {res::kCmdExportPng, "no/out.png", {{"Failed on saving PNG File!", "Error"}}},
        {res::kCmdExportPalette, "out.act", paletteSaved},
        {res::kCmdExportPalette, "viewer.act", paletteSaved, true},
        {res::kCmdExportPalette, "out.txt",
         Messages{{"Unknown palette format: " + dir.File("out.txt") +
                       " (use .gpl, .pal, .act, .tim or .clt)",
                   "Conversion Error"}}},
        {res::kCmdOpenPng, "out.png", {}},
        {res::kCmdImportPalette, "junk.gpl", notGimp},
        {res::kCmdImportPalette, "junk.gpl", notGimp, true},
    };
    WriteFile("junk.gpl", {'x'});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(Run(c.command, dir.File(c.file), c.fromViewer), c.messages);
    }
    // The viewer wrote the set it shows, as the menu did.
    EXPECT_EQ(ReadAll(dir.File("viewer.act")), ReadAll(dir.File("out.act")));
    // The PNG opened is the TIM again.
    EXPECT_FALSE(window->workspace.SaveTim(dir.File("back.tim")));
    EXPECT_EQ(ReadAll(dir.File("back.tim")), tim);

    // Set 2's colours (from the Adobe table) replace set 0's, from the menu
    // and from the viewer alike: one edit per changed entry.
    const auto before = window->workspace.image.clutData;
    window->OnCommand(res::kCmdViewClut);
    ASSERT_TRUE(window->clutViewer.isVisible());
    for (const bool fromViewer : {false, true}) {
        SCOPED_TRACE(fromViewer);
        EXPECT_EQ(Run(res::kCmdImportPalette, dir.File("out.act"), fromViewer), Messages{});
        EXPECT_TRUE(window->workspace.HasUnsavedChanges());
        int changed = 0;
        for (std::size_t i = 0; i < 16; ++i) {
            EXPECT_EQ(ReadU16LE(&window->workspace.image.clutData[i * 2]) & 0x7FFF,
                      ReadU16LE(&before[(32 + i) * 2]) & 0x7FFF)
                << i;
            changed += window->workspace.image.clutData[i * 2] != before[i * 2] ||
                       window->workspace.image.clutData[i * 2 + 1] != before[i * 2 + 1];
        }
        int undone = 0;
        while (window->workspace.Undo()) {
            ++undone;
        }
        EXPECT_EQ(undone, changed);
        EXPECT_GT(undone, 0);
        EXPECT_EQ(window->workspace.image.clutData, before);
    }
}

TEST_F(PngWindowTest, AsksForTheDepthOfATruecolourPngWithoutARecord) {
    const std::string png =
        WriteFile("rgb.png", MakePng({2, 1, 2, 8, false, {}, {}, {8, 8, 8, 248, 0, 0}, {}}));
    const std::vector<std::string> question = {
        "This PNG doesn't say which depth its TIM had. Which depth should the TIM have?",
        "Pixalto",
        "16-bit",
        "4-bit (16 colours, quantised)",
        "8-bit (256 colours, quantised)",
        "16-bit",
        "24-bit"};
    // The pick, the depth it makes and the CLUT entries it comes with.
    const struct {
        std::size_t pick;
        std::uint32_t bpp;
        std::uint32_t clutEntries;
    } cases[] = {{0, 4, 16}, {1, 8, 256}, {2, 16, 0}, {3, 24, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bpp);
        prompts.picks.push_back(c.pick);
        ExtraFieldsScript script({SetField(res::kImageOrgXEdit, "1"),
                                  SetField(res::kImageOrgYEdit, "2"),
                                  SetField(res::kClutOrgXEdit, "0"),
                                  SetField(res::kClutOrgYEdit, "480"), PressContinue});
        EXPECT_EQ(Run(res::kCmdOpenPng, png), Messages{});
        EXPECT_EQ(std::exchange(prompts.choicesShown, {}),
                  std::vector<std::vector<std::string>>{question});
        EXPECT_EQ(window->workspace.image.bpp, c.bpp);
        EXPECT_EQ(window->workspace.image.clutData.size(), c.clutEntries * 2);
        EXPECT_EQ(window->workspace.image.imageOrgY, 2);
    }
    // Cancelled, nothing is opened and nothing said.
    EXPECT_EQ(Run(res::kCmdOpenPng, png), Messages{});
    EXPECT_FALSE(window->workspace.image.IsLoaded());
    // A PNG that can't be read says why, and nothing stays open.
    EXPECT_EQ(Run(res::kCmdOpenPng, WriteFile("bad.png", Bytes(20, 'x'))),
              (Messages{{"Couldn't read the PNG: Not a PNG file", "PNG Conversion Error!"}}));
    EXPECT_FALSE(window->workspace.image.IsLoaded());
}

TEST_F(PngWindowTest, ConvertsFoldersToAndFromPng) {
    const Bytes tim = MakeTim(PatternTim(8, 6, 2, 2, 3));
    std::filesystem::create_directory(dir.Path() / "batch");
    WriteFile("batch/a.tim", tim);
    for (const int command : {res::kCmdFolderTimToPng, res::kCmdFolderPngToTim}) {
        if (command == res::kCmdFolderPngToTim) {
            std::filesystem::remove(dir.File("batch/a.tim"));
        }
        prompts.folders.push_back(dir.File("batch"));
        ASSERT_TRUE(window->OnCommand(command));
        EXPECT_EQ(std::exchange(prompts.messages, {}),
                  (Messages{{"File(s) converted!", "Mass Conversion"}}));
    }
    EXPECT_EQ(ReadAll(dir.File("batch/a.tim")), tim);
}

}  // namespace
}  // namespace pixalto::testing
