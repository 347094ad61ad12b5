// The main of the window tests: a QApplication laid out right to left, on
// the offscreen platform unless another one is asked for.
#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "ui/ui_common.h"

int main(int argc, char** argv)
{
    // The test list is also read at build time, where no display exists.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings the windows keep between runs go to a place of the tests'
    // own, never into the user's.
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    qismar::ui::installArabic(app);
    return RUN_ALL_TESTS();
}
