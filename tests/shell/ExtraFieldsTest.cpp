// The extra-fields dialog: its defaults on every showing, the hidden CLUT
// fields, and the validation that keeps it open.

#include <QApplication>
#include <QLineEdit>

#include "resources/ResourceIds.h"
#include "shell/CExtraFieldsDlg.h"
#include "shell/ShellTestSupport.h"

namespace pixalto::testing {
namespace {

using shell::CExtraFieldsDlg;
using shell::ExtraFieldsRequest;

class ExtraFieldsTest : public ::testing::Test {
  protected:
    ExtraFieldsTest() { EnsureApplication(); }
    ~ExtraFieldsTest() override { FlushDeferredDeletes(); }

    ui::ScriptedPrompts prompts;
    CExtraFieldsDlg dialog{prompts, nullptr};
};

std::vector<std::string> FieldTexts(const CExtraFieldsDlg& dialog) {
    return {dialog.GetDlgItemText(res::kImageOrgXEdit), dialog.GetDlgItemText(res::kImageOrgYEdit),
            dialog.GetDlgItemText(res::kClutOrgXEdit), dialog.GetDlgItemText(res::kClutOrgYEdit)};
}

std::vector<bool> ClutFieldsShown(const CExtraFieldsDlg& dialog) {
    return {dialog.IsDlgItemShown(res::kClutOrgXLabel), dialog.IsDlgItemShown(res::kClutOrgYLabel),
            dialog.IsDlgItemShown(res::kClutOrgXEdit), dialog.IsDlgItemShown(res::kClutOrgYEdit)};
}

TEST_F(ExtraFieldsTest, OpensWithDefaultsHidesTheClutFieldsPerShowingAndEscapeAnswersNothing) {
    ExtraFieldsRequest request(dialog);
    std::vector<std::vector<std::string>> texts;
    std::vector<std::vector<bool>> shown;
    const auto look = [&](CExtraFieldsDlg& d) {
        texts.push_back(FieldTexts(d));
        shown.push_back(ClutFieldsShown(d));
    };
    {
        ExtraFieldsScript script({look, SetField(res::kImageOrgXEdit, "12"),
                                  SetField(res::kClutOrgYEdit, "480"), PressContinue, look,
                                  PressContinue, look, PressContinue, PressEscape});
        const auto first = request.AskOrigins(true);
        ASSERT_TRUE(first.has_value());
        EXPECT_EQ(first->imageOrgX, 12u);
        EXPECT_EQ(first->imageOrgY, 1u);
        EXPECT_EQ(first->clutOrgX, 2u);
        EXPECT_EQ(first->clutOrgY, 480u);
        EXPECT_TRUE(request.AskOrigins(false).has_value());
        EXPECT_TRUE(request.AskOrigins(true).has_value());
        // Escape closes it without an answer.
        EXPECT_FALSE(request.AskOrigins(true).has_value());
    }
    // The texts start from the defaults every time, not from the last values.
    const std::vector<std::string> withClut = {"1", "1", "2", "2"};
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], withClut);
    EXPECT_EQ(texts[1][0], "1");
    EXPECT_EQ(texts[1][1], "1");
    EXPECT_EQ(texts[2], withClut);
    EXPECT_EQ(shown[0], std::vector<bool>(4, true));
    EXPECT_EQ(shown[1], std::vector<bool>(4, false));
    EXPECT_EQ(shown[2], std::vector<bool>(4, true));
}

// In a batch the title names the BMP asked about; asked about a single
// BMP, the dialog has its own title again.
TEST_F(ExtraFieldsTest, TitleNamesTheBmpOfABatch) {
    std::vector<std::string> titles;
    const auto look = [&](CExtraFieldsDlg& d) { titles.push_back(d.windowTitle().toStdString()); };
    ExtraFieldsScript script({look, PressContinue, look, PressContinue, look, PressContinue});
    ExtraFieldsRequest batch(dialog);
    batch.SetBmpPath("/in/face.bmp");
    batch.AskOrigins(true);
    batch.SetBmpPath("/in/Other One.BMP");
    batch.AskOrigins(false);
    ExtraFieldsRequest single(dialog);
    single.AskOrigins(true);
    EXPECT_EQ(titles, (std::vector<std::string>{"Input Extra Fields not found in face.bmp",
                                                "Input Extra Fields not found in Other One.BMP",
                                                "Input Extra Fields not found in the BMP"}));
}

TEST_F(ExtraFieldsTest, ContinueAcceptsExactlyUnsignedDecimalNumbers) {
    struct Case {
        const char* text;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"0", true},           {"4294967295", true},   {"0070000", true}, {"", false},
        {"4294967296", false}, {"99999999999", false}, {"-1", false},     {" 5", false},
        {"5 ", false},         {"0x10", false},        {"1e3", false},    {"+7", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(shell::ParseUnsignedDecimal(c.text).has_value(), c.accepted);
    }
    EXPECT_EQ(shell::ParseUnsignedDecimal("4294967295"), 4294967295u);

    // An emptied field keeps the dialog open with the message, focused there.
    ExtraFieldsRequest request(dialog);
    bool stillOpen = false;
    bool focused = false;
    {
        ExtraFieldsScript script(
            {SetField(res::kImageOrgYEdit, ""), PressContinue,
             [&](CExtraFieldsDlg& d) {
                 stillOpen = d.isVisible();
                 focused = d.Item<QLineEdit>(res::kImageOrgYEdit)->hasFocus() ||
                           QApplication::focusWidget() == d.GetDlgItem(res::kImageOrgYEdit);
             },
             SetField(res::kImageOrgYEdit, "70000"), PressContinue});
        const auto origins = request.AskOrigins(false);
        ASSERT_TRUE(origins.has_value());
        EXPECT_EQ(origins->imageOrgY, 70000u);
    }
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(focused);
    EXPECT_EQ(
        prompts.messages,
        (std::vector<ui::ShownMessage>{{shell::kNotAnUnsignedNumber, shell::kValidationTitle}}));
}

TEST_F(ExtraFieldsTest, LaysOutItsTemplate) {
    dialog.Create();
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Input Extra Fields not found in the BMP");
    EXPECT_EQ(dialog.GetDlgItemText(res::kIdOk), "Continue");
    EXPECT_EQ(dialog.ClientRectOf(res::kImageOrgXEdit), QRect(86, 52, 60, 20));
    EXPECT_EQ(dialog.ClientRectOf(res::kIdOk), QRect(210, 83, 75, 23));
    EXPECT_EQ(dialog.TemplateClientSize(), QSize(296, 154));
}

}  // namespace
}  // namespace pixalto::testing
