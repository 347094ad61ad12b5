// Start-up: the windows of the program in their order, the main window and
// its menu, the marquee, and the end of the program.
#include "entry/entry_window.h"
#include "shell/program.h"
#include "tests/shell/shell_test_support.h"
#include "ui/picture.h"
#include "shell/shell_windows.h"
#include "ui/ui_common.h"
#include "ui/text_area.h"

#include <QAction>
#include <QKeyEvent>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

using namespace qismar;
using qismar::test::ModalWatcher;
using qismar::test::WorkingFolder;

namespace {

const QStringList kOrder = {"fmInterface", "fmMain", "fmIntroduc", "About", "book_1", "About_book1", "fmAyah", "fmNote"};

// The reference of each window, by name.
QWidget* reference(const ProgramWindows& windows, const QString& name)
{
    const QHash<QString, QWidget*> refs = {
        {"fmInterface", fmInterface}, {"fmMain", windows.entryWindow()}, {"fmIntroduc", fmIntroduc},
        {"About", About}, {"book_1", book_1}, {"About_book1", About_book1}, {"fmAyah", fmAyah}, {"fmNote", fmNote}};
    return refs.value(name);
}

// Menu captions with "-" for a separator, with the separators' names.
QStringList menuItems(QMenu* menu)
{
    QStringList items;
    for (QAction* action : menu->actions())
        items << action->objectName() + QLatin1Char('=') + (action->isSeparator() ? QStringLiteral("-") : action->text());
    return items;
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    // Every window is created once, in order, each reachable through its
    // reference. A missing introduction gives one error box while the
    // introduction is created: after the main and the entry window, before
    // the ones after it; start-up goes on and the introduction is empty.
    void windowsAreCreatedInOrder()
    {
        WorkingFolder folder;
        ModalWatcher watcher;
        bool earlierExist = false;
        bool laterOnesMissing = false;
        watcher.then([&](QWidget*) {
            earlierExist = fmInterface && fmInterface->findChild<QAction*>() && fmIntroduc;
            laterOnesMissing = !About && !book_1 && !About_book1 && !fmAyah && !fmNote;
        });
        ProgramWindows windows;
        QStringList names;
        for (const auto& entry : windows.windows()) {
            names << entry.name;
            QVERIFY2(entry.window, qPrintable(entry.name));
            QCOMPARE(reference(windows, entry.name), entry.window);
            QVERIFY2(!entry.window->isVisible(), qPrintable(entry.name));
            QVERIFY(entry.window->isWindow());
        }
        QCOMPARE(names, kOrder);

        QCOMPARE(watcher.seen().size(), 1);
        const test::SeenModal& box = watcher.seen()[0];
        QVERIFY(box.messageBox);
        QCOMPARE(box.text, QStringLiteral("تعذر فتح الملف introduc.txt: الملف غير موجود"));
        QCOMPARE(box.icon, int(QMessageBox::Critical));
        QCOMPARE(box.title, QStringLiteral("القسمار"));
        QVERIFY(earlierExist);
        QVERIFY(laterOnesMissing);
        QVERIFY(fmIntroduc->Memo1->textForShowing().isEmpty());
        QCOMPARE(windows.entryWindow()->windowTitle(), QStringLiteral("القسمار"));
    }

    // The main window: maximized, with close and minimize but no maximize
    // box, captioned, with the three menus right to left, their items and
    // separators in order and no keyboard shortcuts.
    void mainWindowAndMenu()
    {
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مقدمة البرنامج"));
        ModalWatcher watcher;
        ProgramWindows windows;
        QVERIFY(watcher.seen().isEmpty());
        QCOMPARE(fmIntroduc->Memo1->textForShowing(), QStringLiteral("مقدمة البرنامج"));

        windows.showMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(fmInterface));
        QVERIFY(fmInterface->windowState() & Qt::WindowMaximized);
        const Qt::WindowFlags flags = fmInterface->windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QCOMPARE(fmInterface->windowTitle(), QStringLiteral("برنامج القسمار"));
        QCOMPARE(fmInterface->layoutDirection(), Qt::RightToLeft);
        QCOMPARE(QApplication::activeWindow(), fmInterface);
        for (const auto& entry : windows.windows())
            if (entry.window != fmInterface)
                QVERIFY2(!entry.window->isVisible(), qPrintable(entry.name));

        QMenuBar* bar = fmInterface->MainMenu1;
        QStringList menus;
        for (QAction* action : bar->actions())
            menus << action->menu()->objectName() + QLatin1Char('=') + action->text();
        QCOMPARE(menus, (QStringList{"f=ملف", "N2=كتب", "N3=تعليمات"}));
        // Right to left: the first menu stands at the right.
        QVERIFY(bar->actionGeometry(bar->actions()[0]).left() > bar->actionGeometry(bar->actions()[1]).left());
        QVERIFY(bar->actionGeometry(bar->actions()[1]).left() > bar->actionGeometry(bar->actions()[2]).left());

        QCOMPARE(menuItems(fmInterface->f),
                 (QStringList{"N11=مقدمة", "N9=-", "n7=آيات الميراث", "N8=-", "N12=دخول", "N15=-", "N14=خروج"}));
        QCOMPARE(menuItems(fmInterface->N2),
                 (QStringList{"N6=نص القانون السوداني", "N10=-", "N18=نص القانون المصري", "N4=-", "N1=النظيمية",
                              "N19=-", "N13=المهذب"}));
        QCOMPARE(menuItems(fmInterface->N3), (QStringList{"N16=تنبيه", "N5=حول"}));
        for (QAction* action : fmInterface->findChildren<QAction*>())
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->objectName()));
    }

    // "دخول" shows the one entry window modally, the same each time; its
    // title carries the marquee, which keeps moving while it is open.
    void entryWindowFromTheMenu()
    {
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مقدمة"));
        ProgramWindows windows;
        windows.showMainWindow();
        ModalWatcher watcher;
        QList<QWidget*> shown;
        QString firstTitle, laterTitle, marqueeThen;
        watcher.then([&](QWidget* w) {
            shown << w;
            firstTitle = windows.entryWindow()->windowTitle();
            // One tick of the marquee, delivered as the event loop would.
            QMetaObject::invokeMethod(fmInterface->Timer2, "timeout", Qt::DirectConnection);
            laterTitle = windows.entryWindow()->windowTitle();
            marqueeThen = fmInterface->marqueeText();
        });
        watcher.then([&](QWidget* w) { shown << w; });
        fmInterface->N12->trigger();
        fmInterface->N12->trigger();
        QWidget* entryWindow = windows.entryWindow();
        QCOMPARE(shown, (QList<QWidget*>{entryWindow, entryWindow}));
        QCOMPARE(laterTitle.size(), 112);
        QVERIFY(laterTitle != firstTitle);
        QCOMPARE(laterTitle, marqueeThen);
        QVERIFY(fmInterface->Timer2->isActive());
        QCOMPARE(fmInterface->Timer2->interval(), 150);
        // The main window's own caption never moves.
        QCOMPARE(fmInterface->windowTitle(), QStringLiteral("برنامج القسمار"));
    }

    // Every window fits a screen of 1024 x 600 with its frame, and none
    // offers a maximize box: the main window opens maximized and the others
    // have nothing to gain from it. The menus are laid out right to left.
    void everyWindowFitsASmallScreenWithoutAMaximizeBox()
    {
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مقدمة"));
        ProgramWindows windows;
        for (const auto& entry : windows.windows()) {
            QWidget* window = entry.window;
            const Qt::WindowFlags flags = window->windowFlags();
            QVERIFY2(flags & Qt::CustomizeWindowHint, qPrintable(entry.name));
            QVERIFY2(!(flags & Qt::WindowMaximizeButtonHint), qPrintable(entry.name));
            if (window == fmInterface)
                continue;
            const QSize outer = window->size() + QSize(8, 30);
            QVERIFY2(outer.width() <= 1024 && outer.height() <= 600,
                     qPrintable(QStringLiteral("%1 %2x%3").arg(entry.name).arg(outer.width()).arg(outer.height())));
        }
        for (QMenu* menu : {fmInterface->f, fmInterface->N2, fmInterface->N3})
            QCOMPARE(menu->layoutDirection(), Qt::RightToLeft);
    }

    // Every picture of the shell's windows is found and drawn stretched
    // over its place.
    void pictures()
    {
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مقدمة"));
        ProgramWindows windows;
        const QList<QWidget*> shellWindows = {fmInterface, fmIntroduc, About, book_1, About_book1, fmAyah, fmNote};
        for (QWidget* window : shellWindows) {
            auto* picture = window->findChild<ui::Picture*>(QStringLiteral("Image1"));
            QVERIFY2(picture, qPrintable(window->objectName()));
            QVERIFY2(picture->hasPicture(), qPrintable(picture->path()));
        }
        fmNote->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmNote));
        QCOMPARE(fmNote->Image1->geometry(), fmNote->rect());
        const QImage drawn = fmNote->Image1->grab().toImage();
        QVERIFY(drawn.pixelColor(2, 2) != drawn.pixelColor(drawn.width() / 2, drawn.height() / 2));
        fmNote->hide();
    }

    // Each tick moves the first character to the end and writes the whole
    // text into the entry window's caption; 112 ticks bring it back.
    void marqueeRotates()
    {
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مقدمة"));
        ProgramWindows windows;
        fmInterface->Timer2->stop();
        const QString initial = QStringLiteral("برنامج القسمار  ").repeated(7);
        QCOMPARE(initial.size(), 112);
        QCOMPARE(fmInterface->marqueeText(), initial);

        fmInterface->Timer2Timer();
        QCOMPARE(fmInterface->marqueeText(), initial.mid(1) + initial.left(1));
        QCOMPARE(windows.entryWindow()->windowTitle(), fmInterface->marqueeText());
        fmInterface->Timer2Timer();
        QCOMPARE(fmInterface->marqueeText(), initial.mid(2) + initial.left(2));
        for (int tick = 3; tick <= 112; ++tick) {
            fmInterface->Timer2Timer();
            QCOMPARE(fmInterface->marqueeText(), initial.mid(tick) + initial.left(tick));
        }
        QCOMPARE(fmInterface->marqueeText(), initial);
        QCOMPARE(windows.entryWindow()->windowTitle(), initial);
        QVERIFY(!windows.entryWindow()->isVisible());
    }

    // An error that a window's own handler lets escape is reported in the
    // standard error box, and the program goes on.
    void escapedErrorIsReported()
    {
#ifdef __SANITIZE_ADDRESS__
        // The error passes through Qt's own frames, which are built without
        // exception cleanups: a guard of Qt's there is never released, and
        // the leak checker would rightly report it. The Release run checks
        // this last line of defence; the program's handlers report their
        // own errors and never let one through.
        QSKIP("an error thrown through Qt's frames leaks a guard of Qt's");
#endif
        class Failing : public QWidget {
        protected:
            void keyPressEvent(QKeyEvent*) override { throw ui::UiError(QStringLiteral("خطأ غير متوقع")); }
        };
        Failing widget;
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        ModalWatcher watcher;
        QTest::keyClick(&widget, Qt::Key_A);
        QTest::keyClick(&widget, Qt::Key_B);
        QCOMPARE(watcher.messageBoxes().size(), 2);
        QCOMPARE(watcher.messageBoxes()[0].text, QStringLiteral("خطأ غير متوقع"));
        QCOMPARE(watcher.messageBoxes()[0].icon, int(QMessageBox::Critical));
        QVERIFY(widget.isVisible());
    }

    // Closing the main window ends the message loop, by the close box or by
    // "خروج", even with the marquee running.
    void closingTheMainWindowEndsTheProgram_data()
    {
        QTest::addColumn<bool>("byExitCommand");
        QTest::newRow("close box") << false;
        QTest::newRow("خروج") << true;
    }

    void closingTheMainWindowEndsTheProgram()
    {
        QFETCH(bool, byExitCommand);
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مقدمة"));
        ProgramWindows windows;
        windows.showMainWindow();
        bool timedOut = false;
        QTimer::singleShot(0, fmInterface, [&] {
            if (byExitCommand)
                fmInterface->N14->trigger();
            else
                fmInterface->close();
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [&] {
            timedOut = true;
            QCoreApplication::exit(1);
        });
        watchdog.start(5000);
        const int code = QApplication::exec();
        QVERIFY(!timedOut);
        QCOMPARE(code, 0);
        QVERIFY(!fmInterface->isVisible());
    }
};

QISMAR_SHELL_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
