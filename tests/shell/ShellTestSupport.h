#pragma once
// What the window tests share: a Qt application on the offscreen platform,
// a main window answered by scripted prompts, and a way to answer the
// extra-fields dialog while it runs modally.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/ScriptedPrompts.h"
#include "shell/CMainDlg.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {

// Chooses the offscreen platform unless the environment names another; the
// test program's main calls it before it makes the one QApplication.
void PrepareApplication();
// Checks that the QApplication is there.
void EnsureApplication();

// Runs Qt's deferred deletions, so that nothing a test dropped outlives it.
void FlushDeferredDeletes();

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest();
    ~MainWindowTest() override;

    std::string WriteTim(const std::string& name, const TimSpec& desc) const;
    std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    // "Open TIM" or "Open BMP" with path chosen in the file dialog.
    void OpenTim(const std::string& path);
    void OpenBmp(const std::string& path);

    // The surface pixel of image pixel (x, y).
    Pixel ImagePixel(int x, int y) const;
    Pixel ButtonFace() const { return window->drawSurface.ButtonFaceColor(); }
    std::string Text(int id) const { return window->GetDlgItemText(id); }
    ui::Menu& Menu() const { return *window->menuBar; }

    ui::ScriptedPrompts prompts;
    TempDir dir;
    std::unique_ptr<shell::CMainDlg> window;
};

// Answers a modal extra-fields dialog: while one is the active modal window,
// each timer tick runs the next step on it. A step that is left over when
// the test ends is a failure.
class ExtraFieldsScript {
  public:
    using Step = std::function<void(shell::CExtraFieldsDlg&)>;
    explicit ExtraFieldsScript(std::vector<Step> steps);
    ~ExtraFieldsScript();
    std::size_t StepsRun() const { return next_; }

  private:
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::unique_ptr<class QTimer> timer_;
};

// Steps for the script: press Continue, press Escape, set a field's text.
void PressContinue(shell::CExtraFieldsDlg& dialog);
void PressEscape(shell::CExtraFieldsDlg& dialog);
ExtraFieldsScript::Step SetField(int id, std::string text);

// A 4-bit TIM pixelWidth x height with the given CLUT and pixel bytes.
TimSpec Tim4(std::uint32_t pixelWidth, std::uint16_t height, std::vector<std::uint16_t> clut,
             std::vector<std::uint8_t> pixels);

}  // namespace pixalto::testing
