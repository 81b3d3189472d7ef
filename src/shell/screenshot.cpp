// pixalto-screenshot FILE OUT.png [--clut]: opens FILE in the main window on
// Qt's offscreen platform and saves what the window shows, menu bar included;
// with --clut, the CLUT viewer beside it. It makes the README's pictures; it
// is not installed.

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string_view>

#include "platform/qt/QtPrompts.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"
#include "shell/CMainDlg.h"

namespace {

// The window and, a little apart from it, the CLUT viewer under a plain
// caption bar (the offscreen platform draws no window frames), on the
// window's background colour.
QPixmap WithClutViewer(pixalto::shell::CMainDlg& window) {
    window.OnCommand(pixalto::res::kCmdViewClut);
    QApplication::processEvents();
    const QPixmap main = window.grab();
    const QPixmap viewer = window.clutViewer.grab();
    constexpr int kGap = 16;
    constexpr int kCaption = 22;
    const QRect frame(main.width() + kGap, 0, viewer.width() + 1, viewer.height() + kCaption + 1);
    QPixmap both(frame.right() + 1, std::max(main.height(), frame.bottom() + 1));
    both.fill(window.palette().color(QPalette::Window));
    QPainter painter(&both);
    painter.drawPixmap(0, 0, main);
    const QRect caption(frame.left(), 0, frame.width(), kCaption);
    painter.fillRect(caption, window.palette().color(QPalette::Highlight));
    painter.setPen(window.palette().color(QPalette::HighlightedText));
    painter.setFont(window.font());
    painter.drawText(caption.adjusted(6, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     window.clutViewer.windowTitle());
    painter.drawPixmap(frame.left(), kCaption, viewer);
    painter.setPen(window.palette().color(QPalette::Mid));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    return both;
}

}  // namespace

int main(int argc, char** argv) {
    const bool withClut = argc == 4 && std::string_view(argv[3]) == "--clut";
    if (argc != 3 && !withClut) {
        std::fprintf(stderr, "Usage: pixalto-screenshot FILE OUT.png [--clut]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setWindowIcon(pixalto::res::AppIcon());
    // Settings of its own: the picture's file joins no user's Recent list.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    pixalto::ui::QtPrompts prompts;
    pixalto::shell::CMainDlg window(prompts);
    prompts.SetOwner(&window);
    window.Create();
    window.show();
    window.OpenGivenFile(argv[1]);
    QApplication::processEvents();
    if (!window.workspace.image.IsLoaded() || !(withClut ? WithClutViewer(window) : window.grab())
                                                   .save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "pixalto-screenshot: couldn't show %s or save %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
