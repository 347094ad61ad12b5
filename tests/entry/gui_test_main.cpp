// The main of the window tests: a QApplication laid out right to left, on
// the offscreen platform unless another one is asked for.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "ui/ui_common.h"

int main(int argc, char** argv)
{
    // The test list is also read at build time, where no display exists.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // Settings the windows keep between runs go to a folder of this test
    // program's own, never into the user's nor into another test's that
    // runs beside it.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    qismar::ui::installArabic(app);
    return RUN_ALL_TESTS();
}
