// Takes the screenshots of the application shell: the main window, the text
// viewer with the Sudanese law and its summary, the introduction, the verses
// window, the notice and the About window after its animation. Run it in the program's folder (it reads the
// data files there) on a display, with the folder for the pictures:
//   shell_screenshots OUTPUT_FOLDER
#include "shell/media_control.h"
#include "shell/program.h"
#include "tests/shell/shell_test_support.h"
#include "shell/shell_windows.h"
#include "ui/text_area.h"
#include "ui/text_file.h"
#include "ui/ui_common.h"

#include <QApplication>
#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace qismar;

namespace {

bool save(QWidget* window, const QString& folder, const QString& name)
{
    window->activateWindow();
    QTest::qWait(300);
    const bool ok = window->grab().save(QDir(folder).filePath(name));
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(QDir(folder).filePath(name)));
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    prepareApplication(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    ProgramWindows windows;
    bool ok = true;

    // The main window as the user sees it maximized. Without a window
    // manager nothing maximizes it, so it is given the screen's size.
    // The "كتب" menu is open, drawn over the window where it pops up.
    windows.showMainWindow();
    fmInterface->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    fmInterface->activateWindow();
    QTest::qWait(300);
    fmInterface->MainMenu1->setActiveAction(fmInterface->N2->menuAction());
    QTest::qWait(300);
    {
        QImage image = fmInterface->grab().toImage();
        QPainter painter(&image);
        QMenu* menu = fmInterface->N2;
        painter.drawPixmap(fmInterface->mapFromGlobal(menu->pos()), menu->grab());
        painter.end();
        const QString path = QDir(out).filePath(QStringLiteral("main.png"));
        const bool saved = image.save(path);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
        ok &= saved;
        menu->hide();
    }

    // The viewer with the Sudanese law, scrolled a little into the text.
    book_1->Memo1->setTextForShowing(ui::readTextFile(QStringLiteral("qanoon2.txt")));
    book_1->setWindowTitle(QStringLiteral("نص القانون السوداني"));
    book_1->show();
    ok &= save(book_1, out, QStringLiteral("viewer.png"));
    book_1->hide();

    // The longest summary (that of "المهذب", from its command), and the introduction.
    QTimer::singleShot(300, [] { book_1->Button1->click(); });
    QTimer::singleShot(900, [] { book_1->Button3->click(); });
    QTimer::singleShot(600, [&] {
        ok &= save(About_book1, out, QStringLiteral("summary.png"));
        About_book1->Button1->click();
    });
    fmInterface->N13->trigger();
    fmIntroduc->show();
    ok &= save(fmIntroduc, out, QStringLiteral("introduction.png"));
    fmIntroduc->hide();

    // The verses as the program ships: without a recitation file.
    fmAyah->openRecitation();
    fmAyah->show();
    ok &= save(fmAyah, out, QStringLiteral("verses.png"));
    fmAyah->hide();

    fmNote->show();
    ok &= save(fmNote, out, QStringLiteral("note.png"));
    fmNote->hide();

    // The About window once its three stages have run.
    About->startAnimation();
    About->show();
    QTest::qWait(100);
    while (About->Timer1->isActive())
        About->Timer1Timer();
    while (About->Timer2->isActive())
        About->Timer2Timer();
    while (About->Timer3->isActive())
        About->Timer3Timer();
    ok &= save(About, out, QStringLiteral("about.png"));
    About->Button1Click();

    return ok ? 0 : 1;
}
