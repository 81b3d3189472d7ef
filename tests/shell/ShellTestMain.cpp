// The window tests' own main: the one QApplication lives on main's stack, so
// that it goes before Qt's own globals do at exit.

#include <gtest/gtest.h>

#include <QApplication>

#include "shell/ShellTestSupport.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    pixalto::testing::PrepareApplication();
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
