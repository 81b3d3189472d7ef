#include "shell/ShellTestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include "resources/ResourceIds.h"

namespace pixalto::testing {

void PrepareApplication() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The offscreen platform says on every window that it can't pass size
    // hints to a window manager; that is expected here and only noise.
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.contains(QStringLiteral("propagateSizeHints"))) {
                qt_message_output(type, context, message);
            }
        });
}

void EnsureApplication() {
    ASSERT_NE(QApplication::instance(), nullptr) << "the test program's main makes it";
}

void FlushDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

MainWindowTest::MainWindowTest() {
    EnsureApplication();
    window = std::make_unique<shell::CMainDlg>(prompts);
    window->Create();
    window->show();
}

MainWindowTest::~MainWindowTest() {
    window.reset();
    FlushDeferredDeletes();
}

std::string MainWindowTest::WriteTim(const std::string& name, const TimSpec& desc) const {
    return dir.Write(name, MakeTim(desc));
}

std::string MainWindowTest::WriteFile(const std::string& name,
                                      const std::vector<std::uint8_t>& bytes) const {
    return dir.Write(name, bytes);
}

void MainWindowTest::OpenTim(const std::string& path) {
    prompts.files.push_back(path);
    ASSERT_TRUE(window->OnCommand(res::kCmdOpenTim));
}

void MainWindowTest::OpenBmp(const std::string& path) {
    prompts.files.push_back(path);
    ASSERT_TRUE(window->OnCommand(res::kCmdOpenBmp));
}

Pixel MainWindowTest::ImagePixel(int x, int y) const {
    const SurfacePoint origin = window->ImageOrigin();
    return window->drawSurface.At(origin.x + x, origin.y + y);
}

ExtraFieldsScript::ExtraFieldsScript(std::vector<Step> steps)
    : steps_(std::move(steps)), timer_(std::make_unique<QTimer>()) {
    timer_->setInterval(5);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] {
        auto* dialog = qobject_cast<shell::CExtraFieldsDlg*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        if (next_ < steps_.size()) {
            steps_[next_++](*dialog);
        } else {
            ADD_FAILURE() << "the extra-fields dialog was shown more often than scripted";
            dialog->done(res::kIdOk);
        }
    });
    timer_->start();
}

ExtraFieldsScript::~ExtraFieldsScript() {
    EXPECT_EQ(next_, steps_.size()) << "scripted steps were left over";
}

void PressContinue(shell::CExtraFieldsDlg& dialog) {
    dialog.Item<QPushButton>(res::kIdOk)->click();
}

void PressEscape(shell::CExtraFieldsDlg& dialog) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &escape);
}

ExtraFieldsScript::Step SetField(int id, std::string text) {
    return [id, text](shell::CExtraFieldsDlg& dialog) { dialog.SetDlgItemText(id, text); };
}

TimSpec Tim4(std::uint32_t pixelWidth, std::uint16_t height, std::vector<std::uint16_t> clut,
             std::vector<std::uint8_t> pixels) {
    TimSpec desc;
    desc.mode = 8;
    desc.clutWidth = 16;
    desc.clutHeight = static_cast<std::uint16_t>(clut.size() / 16);
    desc.clut = std::move(clut);
    desc.imageWidth = static_cast<std::uint16_t>(pixelWidth / 4);
    desc.imageHeight = height;
    desc.pixels = std::move(pixels);
    return desc;
}

}  // namespace pixalto::testing
