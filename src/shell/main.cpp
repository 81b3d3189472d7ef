// pixalto [FILE]: the window, opening FILE at start when one is given.

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <string>

#include "resources/Resources.h"
#include "resources/Version.h"
#include "shell/CMainApp.h"

int main(int argc, char** argv) {
    // Answered before Qt starts, so that they work without a display (the
    // man page is made from them at build time).
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("pixalto (Pixalto) %s\n", pixalto::version::kDisplay);
        return 0;
    }
    if (argc > 2 ||
        (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))) {
        std::fprintf(argc > 2 ? stderr : stdout,
                     "Usage: pixalto [FILE]\n"
                     "Opens the Pixalto window; FILE is opened at start (.tim, .bmp)\n"
                     "or scanned for the TIMs in it (any other file).\n"
                     "\n"
                     "  -h, --help     print this help and exit\n"
                     "  --version      print the program's version and exit\n");
        return argc > 2 ? 2 : 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pixalto"));
    QApplication::setWindowIcon(pixalto::res::AppIcon());
    QApplication::setDesktopFileName(QStringLiteral("io.github.pixalto.Pixalto"));
    pixalto::shell::CMainApp application;
    application.InitInstance(argc == 2 ? std::string(argv[1]) : std::string());
    return 0;
}
