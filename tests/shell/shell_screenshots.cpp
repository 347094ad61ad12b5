// Takes the screenshots of the application shell: the main window, the text
// viewer with the Sudanese law and its summary, the introduction, the verses
// window, the notice and the About window after its animation. Run it in the program's folder (it reads the
// data files there) on a display, with the folder for the pictures:
//   shell_screenshots OUTPUT_FOLDER
#include "shell/media_control.h"
#include "shell/program.h"
#include "tests/shell/shell_test_support.h"
#include "shell/about_window.h"
#include "shell/book_summary.h"
#include "shell/book_viewer.h"
#include "shell/introduction_window.h"
#include "shell/main_window.h"
#include "shell/notice_window.h"
#include "shell/verses_window.h"
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

    Program program;
    program.checkDataFiles();
    MainWindow& main = program.mainWindow();
    bool ok = true;

    // The main window as the user sees it maximized. Without a window
    // manager nothing maximizes it, so it is given the screen's size.
    // The "كتب" menu is open, drawn over the window where it pops up.
    program.showMainWindow();
    main.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    main.activateWindow();
    QTest::qWait(300);
    main.menuBar()->setActiveAction(main.booksMenu()->menuAction());
    QTest::qWait(300);
    {
        QImage image = main.grab().toImage();
        QPainter painter(&image);
        QMenu* menu = main.booksMenu();
        painter.drawPixmap(main.mapFromGlobal(menu->pos()), menu->grab());
        painter.end();
        const QString path = QDir(out).filePath(QStringLiteral("main.png"));
        const bool saved = image.save(path);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
        ok &= saved;
        menu->hide();
    }

    // The viewer with the Sudanese law, scrolled a little into the text.
    BookViewer& viewer = program.bookViewer();
    viewer.setBook({QStringLiteral("qanoon2.txt"), QStringLiteral("نص القانون السوداني"), QString()},
                   ui::readTextFile(QStringLiteral("qanoon2.txt")));
    viewer.show();
    ok &= save(&viewer, out, QStringLiteral("viewer.png"));
    viewer.hide();

    // The longest summary (that of "المهذب", from its command), and the introduction.
    QTimer::singleShot(300, [&viewer] { viewer.summaryButton()->click(); });
    QTimer::singleShot(900, [&viewer] { viewer.doneButton()->click(); });
    QTimer::singleShot(600, [&] {
        ok &= save(&viewer.summaryWindow(), out, QStringLiteral("summary.png"));
        viewer.summaryWindow().doneButton()->click();
    });
    main.muhadhdhabAction()->trigger();
    IntroductionWindow& introduction = program.introduction();
    introduction.show();
    ok &= save(&introduction, out, QStringLiteral("introduction.png"));
    introduction.hide();

    // The verses as the program ships: without a recitation file.
    VersesWindow& verses = program.verses();
    verses.openRecitation();
    verses.show();
    ok &= save(&verses, out, QStringLiteral("verses.png"));
    verses.hide();

    NoticeWindow& notice = program.notice();
    notice.show();
    ok &= save(&notice, out, QStringLiteral("note.png"));
    notice.hide();

    // The About window once its three stages have run.
    AboutWindow& about = program.about();
    about.startAnimation();
    about.show();
    QTest::qWait(100);
    while (about.slideTimer()->isActive())
        about.slideTitle();
    while (about.typingTimer()->isActive())
        about.typeCredit();
    while (about.revealTimer()->isActive())
        about.revealNextLine();
    ok &= save(&about, out, QStringLiteral("about.png"));
    about.doneButton()->click();

    return ok ? 0 : 1;
}
