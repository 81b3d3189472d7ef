// Saving the shown image as a TIM or a BMP, and converting every TIM or BMP
// of a folder from the Convert menu, with the messages the commands show.

#include <filesystem>

#include "resources/ResourceIds.h"
#include "shell/ShellTestSupport.h"
#include "support/BmpBuilder.h"

namespace pixalto::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Messages = std::vector<ui::ShownMessage>;

const ui::ShownMessage kConverted{"File(s) converted!", "Mass Conversion"};
const Bytes kJunk = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};

class SaveConvertTest : public MainWindowTest {
  protected:
    // A fresh subfolder holding files; a name ending in '/' is a folder.
    std::string Folder(const std::string& name,
                       const std::vector<std::pair<std::string, Bytes>>& files = {}) const {
        fs::remove_all(dir.Path() / name);
        fs::create_directories(dir.Path() / name);
        for (const auto& [file, bytes] : files) {
            if (file.ends_with('/')) {
                fs::create_directory(dir.Path() / name / file);
            } else {
                dir.Write(name + "/" + file, bytes);
            }
        }
        return dir.File(name);
    }
    void Command(int id, std::optional<std::string> folder) {
        prompts.folders.push_back(std::move(folder));
        window->OnCommand(id);
    }
};

bool Exists(const std::string& path) {
    return fs::is_regular_file(path);
}

TEST_F(SaveConvertTest, SaveAndConvertToBmpSayHowTheyEnded) {
    const Bytes tim = MakeTim(PatternTim(4, 8, 4, 2));
    OpenTim(WriteFile("source.tim", tim));
    const std::string out = Folder("out");
    const std::vector<std::tuple<int, std::string, Messages>> cases = {
        {res::kCmdSaveTimFile, "/out.tim", {{"TIM File has been saved!", "File Saved"}}},
        {res::kCmdSaveTimFile, "/no/out.tim", {{"Failed on saving TIM File!", "Error"}}},
        {res::kCmdConvertToBmp, "/out.bmp", {{"BMP File has been saved!", "File Saved"}}},
        {res::kCmdConvertToBmp, "/no/out.bmp", {{"Failed on saving BMP File!", "Error"}}},
    };
    for (const auto& [command, target, messages] : cases) {
        SCOPED_TRACE(target);
        prompts.files.push_back(out + target);
        window->OnCommand(command);
        EXPECT_EQ(std::exchange(prompts.messages, {}), messages);
        // The image stays open; the BMP side is released.
        EXPECT_TRUE(window->workspace.image.IsLoaded());
        EXPECT_TRUE(window->workspace.image.bmpPixels.empty());
        EXPECT_EQ(window->workspace.image.sidecarSize, 0u);
    }
    EXPECT_EQ(prompts.filters,
              (std::vector<std::string>{"All Supported PSX Graphics|*.tim||", "*.tim|*.tim||",
                                        "*.tim|*.tim||", "*.bmp|*.bmp||", "*.bmp|*.bmp||"}));
    EXPECT_EQ(prompts.defaultExtensions,
              (std::vector<std::string>{".tim", ".tim", ".bmp", ".bmp"}));
    EXPECT_EQ(ReadAll(out + "/out.tim"), tim);
    EXPECT_TRUE(Exists(out + "/out.bmp") && Exists(out + "/out.tmext"));

    // Cancelled dialogs say nothing; a conversion message writes nothing.
    window->OnCommand(res::kCmdSaveTimFile);
    window->OnCommand(res::kCmdConvertToBmp);
    window->workspace.image.bpp = 2;  // no load leaves this, but the state can hold it
    prompts.files.push_back(out + "/x.bmp");
    window->OnCommand(res::kCmdConvertToBmp);
    EXPECT_EQ(prompts.messages, (Messages{{"BPP Mode not supported!", "Conversion Error"}}));
    EXPECT_EQ(std::distance(fs::directory_iterator(out), {}), 3);
}

TEST_F(SaveConvertTest, ConvertToBmpPutsTheShownSetInThePaletteAndComesBackWhole) {
    // Three sets of distinct colours; STP bits only outside the palette set,
    // as a BMP palette can't hold them.
    std::vector<std::uint16_t> clut(48);
    for (std::uint16_t i = 0; i < 48; ++i) {
        clut[i] = static_cast<std::uint16_t>((i & 31) | ((i * 7 & 31) << 5) |
                                             ((i / 16 * 9 + 1) << 10) | (i % 3 ? 0 : 0x8000));
    }
    for (std::size_t i = 32; i < 48; ++i) {
        clut[i] &= 0x7FFF;
    }
    TimSpec desc = Tim4(8, 2, clut, {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE});
    desc.clutX = 320;
    desc.imageY = 8;
    OpenTim(WriteTim("face.tim", desc));
    window->OnHScroll(ui::kThumbPosition, 2);

    const std::string out = Folder("out");
    prompts.files.push_back(out + "/face.bmp");
    window->OnCommand(res::kCmdConvertToBmp);
    const Bytes bmp = ReadAll(out + "/face.bmp");
    ASSERT_GE(bmp.size(), 54u + 64u);
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint16_t entry = clut[32 + i];
        const Bytes bgr0 = {static_cast<std::uint8_t>((entry >> 10 & 31) * 8),
                            static_cast<std::uint8_t>((entry >> 5 & 31) * 8),
                            static_cast<std::uint8_t>((entry & 31) * 8), 0};
        EXPECT_EQ(Bytes(bmp.begin() + 54 + 4 * i, bmp.begin() + 58 + 4 * i), bgr0) << i;
    }
    Command(res::kCmdFolderBmpToTim, out);
    EXPECT_EQ(prompts.messages.back(), kConverted);
    EXPECT_EQ(ReadAll(out + "/face.tim"), MakeTim(desc));
}

// Each kind of failure of a batch is the image library's (see its tests);
// the window shows the batch's messages in order, one box each, and asks the
// origins of a BMP in a dialog that names it.
TEST_F(SaveConvertTest, FolderConversionsReportEachFailureAndGoOn) {
    const std::string tims = Folder("tims", {{"a.tim", MakeTim(PatternTim(4, 8, 2, 3))},
                                             {"bad.tim", kJunk},
                                             {"c.tim", MakeTim(PatternTim(16, 2, 2))}});
    const std::string bmps = Folder("bmps", {{"three.BMP", MakeBmp(PatternBmp(8, 4, 2))}});
    OpenTim(WriteTim("shown.tim", PatternTim(8, 4, 2)));
    Command(res::kCmdFolderTimToBmp, tims);
    EXPECT_EQ(std::exchange(prompts.messages, {}),
              (Messages{{"TIM Header not found!\n" + tims + "/bad.tim", "TIM Error"},
                        {"2 of 3 file(s) converted; 1 failed!", "Mass Conversion"}}));
    EXPECT_TRUE(Exists(tims + "/a.bmp") && Exists(tims + "/c.bmp"));
    EXPECT_FALSE(window->workspace.image.IsLoaded());
    EXPECT_EQ(Menu().Id(), res::kMenuEmpty);
    EXPECT_EQ(window->workspace.path, tims + "/");

    std::string title;
    {
        ExtraFieldsScript script(
            {[&](shell::CExtraFieldsDlg& d) { title = d.windowTitle().toStdString(); },
             SetField(res::kClutOrgXEdit, "7"), PressContinue});
        Command(res::kCmdFolderBmpToTim, bmps);
    }
    EXPECT_EQ(title, "Input Extra Fields not found in three.BMP");
    EXPECT_EQ(prompts.messages, (Messages{kConverted}));
    const Bytes three = ReadAll(bmps + "/three.tim");
    ASSERT_GE(three.size(), 16u);
    EXPECT_EQ(Bytes(three.begin() + 12, three.begin() + 16), (Bytes{7, 0, 2, 0}));  // CLUT origin
}

TEST_F(SaveConvertTest, ACancelledOrEmptyFolderLeavesTheImageOpen) {
    const std::string source = WriteTim("shown.tim", PatternTim(16, 4, 2));
    // Names that only almost match, and folders that match by name.
    const std::string none =
        Folder("none", {{"a.tim.txt", {}}, {"bmp", {}}, {"sub.tim/", {}}, {"sub.bmp/", {}}});
    for (int command : {res::kCmdFolderTimToBmp, res::kCmdFolderBmpToTim}) {
        OpenTim(source);
        Command(command, std::nullopt);
        EXPECT_TRUE(prompts.messages.empty());
        EXPECT_EQ(window->workspace.path, source);
        Command(command, none);
        EXPECT_EQ(std::exchange(prompts.messages, {}),
                  (Messages{{"No Files were found!", "File Search"}}));
        EXPECT_EQ(window->workspace.path, none);
        EXPECT_TRUE(window->workspace.image.IsLoaded());
        // A folder that can't be read says why.
        const std::string gone = dir.File("gone");
        Command(command, gone);
        EXPECT_EQ(std::exchange(prompts.messages, {}),
                  (Messages{{"No Files were found!\n" + gone + ": No such file or directory",
                             "File Search"}}));
        EXPECT_TRUE(window->workspace.image.IsLoaded());
    }
}

}  // namespace
}  // namespace pixalto::testing
