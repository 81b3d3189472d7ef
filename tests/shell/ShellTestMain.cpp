// The window tests' own main: the one QApplication lives on main's stack, so
// that it goes before Qt's own globals do at exit. What the window remembers
// across runs goes to a folder of the run's own, never the user's.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>

#include "shell/ShellTestSupport.h"
#include "support/TempDir.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    pixalto::testing::PrepareApplication();
    const pixalto::testing::TempDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(settings.Path().string()));
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
