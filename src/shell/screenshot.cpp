// pixalto-screenshot FILE OUT.png: opens FILE in the main window on Qt's
// offscreen platform and saves what the window shows, menu bar included.
// It makes the README's picture; it is not installed.

#include <cstdio>

#include <QApplication>
#include <QPixmap>

#include "platform/qt/QtPrompts.h"
#include "resources/Resources.h"
#include "shell/CMainDlg.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: pixalto-screenshot FILE OUT.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setWindowIcon(pixalto::res::AppIcon());
    pixalto::ui::QtPrompts prompts;
    pixalto::shell::CMainDlg window(prompts);
    prompts.SetOwner(&window);
    window.Create();
    window.show();
    window.OpenGivenFile(argv[1]);
    QApplication::processEvents();
    if (!window.image.IsLoaded() || !window.grab().save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "pixalto-screenshot: couldn't show %s or save %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
