// Start-up: the program object with its main window alone, the data files
// checked before the main window shows, each window made when first opened,
// the main window and its menu, the marquee, and the end of the program.
#include "casefile/case_file.h"
#include "entry/entry_window.h"
#include "shell/about_window.h"
#include "shell/book_summary.h"
#include "shell/book_viewer.h"
#include "shell/introduction_window.h"
#include "shell/main_window.h"
#include "shell/notice_window.h"
#include "shell/program.h"
#include "shell/verses_window.h"
#include "tests/shell/shell_test_support.h"
#include "ui/picture.h"
#include "ui/text_area.h"
#include "ui/ui_common.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QAbstractButton>
#include <QRegularExpression>
#include <QFileDialog>
#include <QPainter>
#include <QPointer>
#include <QSvgRenderer>
#include <QTest>
#include <QTimer>

using namespace qismar;
using qismar::test::ModalWatcher;
using qismar::test::WorkingFolder;

namespace {

// Menu captions with "-" for a separator, after the item's object name.
QStringList menuItems(QMenu* menu)
{
    QStringList items;
    for (QAction* action : menu->actions())
        items << action->objectName() + QLatin1Char('=') + (action->isSeparator() ? QStringLiteral("-") : action->text());
    return items;
}

QStringList objectNames(const std::vector<QWidget*>& windows)
{
    QStringList names;
    for (const QWidget* window : windows)
        names << window->objectName();
    return names;
}

// The data files that the windows read, each with a line of text.
void writeDataFiles(const WorkingFolder& folder)
{
    for (const char* name : {"introduc.txt", "qanoon2.txt", "massri.txt", "Nzmya.txt", "mohazab.txt"})
        folder.writeCp1256(QString::fromLatin1(name), QStringLiteral("نص %1").arg(QString::fromLatin1(name)));
}

// The top-level widgets of the application that are windows of the program
// (not the message boxes or menus Qt makes on its own).
QList<QWidget*> programWindows()
{
    QList<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isWindow() && !qobject_cast<QMenu*>(widget) && !widget->objectName().isEmpty())
            windows << widget;
    return windows;
}

// Makes every window of the program: the shell's and the heir entry's,
// the entry window's dialogs and the results window included.
void makeEveryWindow(Program& program)
{
    program.introduction();
    program.bookViewer().summaryWindow();
    program.verses();
    program.notice();
    program.about();
    EntryWindow& entry = program.entryWindow();
    for (HeirGroup group : {HeirGroup::Children, HeirGroup::Grandchildren, HeirGroup::Siblings,
                            HeirGroup::Nephews, HeirGroup::Uncles, HeirGroup::Cousins})
        entry.countingDialog(group);
    entry.grandfatherDialog();
    entry.grandmothersDialog();
    entry.divisionWindow();
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    // The program starts with its main window alone; the data files are
    // read without making their windows.
    void theProgramStartsWithItsMainWindowAlone()
    {
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مقدمة البرنامج"));
        const int before = int(programWindows().size());
        ModalWatcher watcher;
        Program program;
        program.checkDataFiles();
        QVERIFY(watcher.seen().isEmpty());
        QCOMPARE(objectNames(program.windowsMade()), QStringList{"mainWindow"});
        QCOMPARE(programWindows().size(), before + 1);
        // The introduction's window, made later, shows what was read at the start.
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("نص آخر"));
        QCOMPARE(program.introduction().textArea()->textForShowing(), QStringLiteral("مقدمة البرنامج"));
    }

    // A missing introduction gives one error box while the program starts,
    // before the main window is shown; the program goes on, and "مقدمة"
    // later shows an empty introduction.
    void aMissingIntroductionIsReportedBeforeTheMainWindowShows()
    {
        WorkingFolder folder;
        ModalWatcher watcher;
        Program program;
        bool mainWindowShown = true;
        watcher.then([&](QWidget*) { mainWindowShown = program.mainWindow().isVisible(); });
        program.start();
        QCOMPARE(watcher.seen().size(), 1);
        const test::SeenModal& box = watcher.seen()[0];
        QVERIFY(box.messageBox);
        QCOMPARE(box.text, QStringLiteral("تعذر فتح الملف introduc.txt: الملف غير موجود"));
        QCOMPARE(box.icon, int(QMessageBox::Critical));
        QCOMPARE(box.title, QStringLiteral("القسمار"));
        QVERIFY(!mainWindowShown);
        QVERIFY(program.mainWindow().isVisible());
        QCOMPARE(objectNames(program.windowsMade()), QStringList{"mainWindow"});

        bool empty = false;
        watcher.then([&](QWidget* w) {
            QCOMPARE(w, static_cast<QWidget*>(&program.introduction()));
            empty = program.introduction().textArea()->toPlainText().isEmpty();
        });
        program.mainWindow().introductionAction()->trigger();
        QCOMPARE(watcher.seen().size(), 2);
        QVERIFY(empty);
    }

    // Each command of the menu makes its window the first time it is
    // chosen and shows that same window every later time; the four works
    // share one viewer.
    void eachWindowIsMadeWhenFirstOpened()
    {
        WorkingFolder folder;
        writeDataFiles(folder);
        Program program;
        program.checkDataFiles();
        MainWindow& main = program.mainWindow();
        main.marqueeTimer()->stop();
        const struct {
            QAction* command;
            QString window;   // the object name of the window it shows
        } rows[] = {
            {main.introductionAction(), "introductionWindow"},
            {main.versesAction(), "versesWindow"},
            {main.entryAction(), "entryWindow"},
            {main.sudaneseLawAction(), "book_1"},
            {main.egyptianLawAction(), "book_1"},
            {main.nazmiyyaAction(), "book_1"},
            {main.muhadhdhabAction(), "book_1"},
            {main.noticeAction(), "noticeWindow"},
            {main.aboutAction(), "About"},
        };
        QStringList expected{"mainWindow"};
        for (int round = 1; round <= 2; ++round) {
            for (const auto& row : rows) {
                ModalWatcher watcher;
                row.command->trigger();
                QCOMPARE(watcher.seen().size(), 1);
                QVERIFY2(!watcher.seen()[0].messageBox, qPrintable(watcher.seen()[0].text));
                QCOMPARE(watcher.seen()[0].objectName, row.window);
                if (!expected.contains(row.window))
                    expected << row.window;
                QCOMPARE(objectNames(program.windowsMade()), expected);
            }
        }
        // Each window closed with its command: the main window stays alone.
        for (QWidget* window : program.windowsMade())
            QVERIFY2(!window->isVisible() || window == &main, qPrintable(window->objectName()));
    }

    // A work whose file cannot be read is reported and makes no viewer.
    void anUnreadableWorkMakesNoViewer()
    {
        WorkingFolder folder;
        Program program;
        ModalWatcher watcher;
        program.mainWindow().muhadhdhabAction()->trigger();
        QCOMPARE(watcher.messageBoxes().size(), 1);
        QCOMPARE(watcher.messageBoxes()[0].text, QStringLiteral("تعذر فتح الملف mohazab.txt: الملف غير موجود"));
        QCOMPARE(objectNames(program.windowsMade()), QStringList{"mainWindow"});
    }

    // The end of the program destroys every window it made, the heir
    // entry's dialogs and results window with them.
    void theProgramDestroysEveryWindowItMade()
    {
        WorkingFolder folder;
        writeDataFiles(folder);
        const QList<QWidget*> before = programWindows();
        QList<QPointer<QWidget>> made;
        {
            Program program;
            makeEveryWindow(program);
            for (QWidget* window : programWindows())
                if (!before.contains(window))
                    made << window;
            QVERIFY(made.size() > int(program.windowsMade().size()));
        }
        for (const QPointer<QWidget>& window : made)
            QVERIFY(window.isNull());
        QCOMPARE(programWindows(), before);
    }

    // The main window: maximized, with close and minimize but no maximize
    // box, captioned, with the three menus right to left, their items and
    // separators in order and no keyboard shortcuts.
    void mainWindowAndMenu()
    {
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مقدمة البرنامج"));
        ModalWatcher watcher;
        Program program;
        program.start();
        QVERIFY(watcher.seen().isEmpty());
        MainWindow& main = program.mainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QVERIFY(main.windowState() & Qt::WindowMaximized);
        const Qt::WindowFlags flags = main.windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QCOMPARE(main.windowTitle(), QStringLiteral("برنامج القسمار"));
        QCOMPARE(main.layoutDirection(), Qt::RightToLeft);
        QCOMPARE(QApplication::activeWindow(), &main);

        QMenuBar* bar = main.menuBar();
        QStringList menus;
        for (QAction* action : bar->actions())
            menus << action->menu()->objectName() + QLatin1Char('=') + action->text();
        QCOMPARE(menus, (QStringList{"f=ملف", "N2=كتب", "N3=تعليمات"}));
        // Right to left: the first menu stands at the right.
        QVERIFY(bar->actionGeometry(bar->actions()[0]).left() > bar->actionGeometry(bar->actions()[1]).left());
        QVERIFY(bar->actionGeometry(bar->actions()[1]).left() > bar->actionGeometry(bar->actions()[2]).left());

        QCOMPARE(menuItems(main.fileMenu()),
                 (QStringList{"N11=مقدمة", "N9=-", "n7=آيات الميراث", "N8=-", "N12=دخول", "N15=-", "N14=خروج"}));
        QCOMPARE(menuItems(main.booksMenu()),
                 (QStringList{"N6=نص القانون السوداني", "N10=-", "N18=نص القانون المصري", "N4=-", "N1=النظيمية",
                              "N19=-", "N13=المهذب"}));
        QCOMPARE(menuItems(main.helpMenu()), (QStringList{"N16=تنبيه", "N5=حول"}));
        for (QMenu* menu : {main.fileMenu(), main.booksMenu(), main.helpMenu()})
            QCOMPARE(menu->layoutDirection(), Qt::RightToLeft);
        for (QAction* action : main.findChildren<QAction*>())
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->objectName()));
    }

    // "دخول" shows the one entry window modally, the same each time; its
    // title carries the marquee, which keeps moving while it is open.
    void entryWindowFromTheMenu()
    {
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مقدمة"));
        Program program;
        program.start();
        MainWindow& main = program.mainWindow();
        ModalWatcher watcher;
        QList<QWidget*> shown;
        QString firstTitle, laterTitle, marqueeThen;
        watcher.then([&](QWidget* w) {
            shown << w;
            firstTitle = w->windowTitle();
            // One tick of the marquee, delivered as the event loop would.
            QMetaObject::invokeMethod(main.marqueeTimer(), "timeout", Qt::DirectConnection);
            laterTitle = w->windowTitle();
            marqueeThen = main.marqueeText();
        });
        watcher.then([&](QWidget* w) { shown << w; });
        main.entryAction()->trigger();
        main.entryAction()->trigger();
        QWidget* entryWindow = &program.entryWindow();
        QCOMPARE(shown, (QList<QWidget*>{entryWindow, entryWindow}));
        QCOMPARE(firstTitle, QStringLiteral("القسمار"));
        QCOMPARE(laterTitle.size(), 112);
        QCOMPARE(laterTitle, marqueeThen);
        QVERIFY(main.marqueeTimer()->isActive());
        QCOMPARE(main.marqueeTimer()->interval(), 150);
        // The main window's own caption never moves.
        QCOMPARE(main.windowTitle(), QStringLiteral("برنامج القسمار"));
    }

    // Every window of the program, the heir entry's dialogs included, fits
    // a screen of 1024 x 600 with its frame, and none offers a maximize
    // box: the main window opens maximized and the others have nothing to
    // gain from it.
    void everyWindowFitsASmallScreenWithoutAMaximizeBox()
    {
        WorkingFolder folder;
        writeDataFiles(folder);
        const QList<QWidget*> before = programWindows();
        Program program;
        makeEveryWindow(program);
        int checked = 0;
        for (QWidget* window : programWindows()) {
            if (before.contains(window))
                continue;
            ++checked;
            const QString name = window->objectName();
            const Qt::WindowFlags flags = window->windowFlags();
            QVERIFY2(flags & Qt::CustomizeWindowHint, qPrintable(name));
            QVERIFY2(!(flags & Qt::WindowMaximizeButtonHint), qPrintable(name));
            if (window == &program.mainWindow())
                continue;
            const QSize outer = window->size() + QSize(8, 30);
            QVERIFY2(outer.width() <= 1024 && outer.height() <= 600,
                     qPrintable(QStringLiteral("%1 %2x%3").arg(name).arg(outer.width()).arg(outer.height())));
        }
        // The shell's seven windows, the entry window, its preparation, its
        // six counting dialogs, the grandfather's and the grandmothers', and
        // the results window.
        QVERIFY2(checked >= 18, qPrintable(QString::number(checked)));
    }

    // Every picture of the shell's windows is found and drawn stretched
    // over its place.
    void pictures()
    {
        WorkingFolder folder;
        Program program;
        NoticeWindow& notice = program.notice();
        const struct {
            QWidget* window;
            QString picture;  // the object name of its picture
        } shellWindows[] = {{&program.mainWindow(), QStringLiteral("titlePage")},
                            {&program.introduction(), QStringLiteral("picture")},
                            {&program.about(), QStringLiteral("picture")},
                            {&program.bookViewer(), QStringLiteral("picture")},
                            {&program.bookViewer().summaryWindow(), QStringLiteral("picture")},
                            {&program.verses(), QStringLiteral("page")},
                            {&notice, QStringLiteral("picture")}};
        for (const auto& [window, name] : shellWindows) {
            auto* picture = window->findChild<ui::Picture*>(name);
            QVERIFY2(picture, qPrintable(window->objectName()));
            QVERIFY2(picture->hasPicture(), qPrintable(picture->path()));
        }
        notice.show();
        QVERIFY(QTest::qWaitForWindowExposed(&notice));
        QCOMPARE(notice.picture()->geometry(), notice.rect());
        const QImage drawn = notice.picture()->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QVERIFY(drawn.pixelColor(2, 2) != drawn.pixelColor(drawn.width() / 2, drawn.height() / 2));
        // Exactly the picture's own drawing, stretched over the window and
        // laid on the window's face.
        QImage picture(drawn.size(), QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        {
            QSvgRenderer svg(notice.picture()->path());
            svg.setAspectRatioMode(Qt::IgnoreAspectRatio);
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            svg.render(&painter, QRectF(picture.rect()));
        }
        QImage expected(drawn.size(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(notice.palette().color(QPalette::Window));
        QPainter(&expected).drawImage(0, 0, picture);
        QVERIFY(drawn == expected);
        notice.hide();
    }

    // Each tick moves the first character to the end and writes the whole
    // text into the entry window's caption; 112 ticks bring it back. The
    // marquee moves while the entry window is not yet made.
    void marqueeRotates()
    {
        WorkingFolder folder;
        Program program;
        MainWindow& main = program.mainWindow();
        main.marqueeTimer()->stop();
        const QString initial = QStringLiteral("برنامج القسمار  ").repeated(7);
        QCOMPARE(initial.size(), 112);
        QCOMPARE(main.marqueeText(), initial);

        main.rotateMarquee();
        QCOMPARE(main.marqueeText(), initial.mid(1) + initial.left(1));
        QDialog& entryWindow = program.entryWindow();
        QCOMPARE(entryWindow.windowTitle(), QStringLiteral("القسمار"));
        main.rotateMarquee();
        QCOMPARE(main.marqueeText(), initial.mid(2) + initial.left(2));
        QCOMPARE(entryWindow.windowTitle(), main.marqueeText());
        for (int tick = 3; tick <= 112; ++tick) {
            main.rotateMarquee();
            QCOMPARE(main.marqueeText(), initial.mid(tick) + initial.left(tick));
        }
        QCOMPARE(main.marqueeText(), initial);
        QCOMPARE(entryWindow.windowTitle(), initial);
        QVERIFY(!entryWindow.isVisible());
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
        Program program;
        program.start();
        MainWindow& main = program.mainWindow();
        QTimer::singleShot(0, &main, [&] {
            if (byExitCommand)
                main.exitAction()->trigger();
            else
                main.close();
        });
        // Had closing not ended the loop, this next event would, with 1.
        QTimer::singleShot(0, &main, [&main] {
            if (main.isVisible())
                QCoreApplication::exit(1);
        });
        const int code = QApplication::exec();
        QCOMPARE(code, 0);
        QVERIFY(!main.isVisible());
    }

    // A case typed and never saved is not lost by quitting: the program
    // asks, in Arabic, whether to save it, discard it or stay.
    void quittingWithAnUnsavedCaseAsksFirst_data()
    {
        QTest::addColumn<QString>("answer");  // "none": no question expected
        QTest::addColumn<bool>("typed");
        QTest::addColumn<bool>("quits");
        QTest::newRow("an empty case: no question") << "none" << false << true;
        QTest::newRow("stay") << "cancel" << true << false;
        QTest::newRow("discard") << "discard" << true << true;
        QTest::newRow("save, then quit") << "save" << true << true;
    }

    void quittingWithAnUnsavedCaseAsksFirst()
    {
        QFETCH(QString, answer);
        QFETCH(bool, typed);
        QFETCH(bool, quits);
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مقدمة"));
        Program program;
        program.start();
        MainWindow& main = program.mainWindow();
        EntryWindow& entry = program.entryWindow();
        if (typed) {
            EstateCase c;
            c.estate = Currency::fromWhole(6000);
            c.father = true;
            c.daughters = HeadCount(2);
            entry.showCase(c);
        }
        ModalWatcher watcher;
        QString question;
        QStringList buttons;
        if (answer != QLatin1String("none")) {
            watcher.then([&](QWidget* window) {
                auto* box = qobject_cast<QMessageBox*>(window);
                QVERIFY(box);
                question = box->text();
                for (QAbstractButton* b : box->buttons())
                    buttons << b->text();
                const QMessageBox::StandardButton pressed = answer == QLatin1String("cancel") ? QMessageBox::Cancel
                                                            : answer == QLatin1String("discard") ? QMessageBox::Discard
                                                                                                  : QMessageBox::Save;
                box->button(pressed)->click();
            });
        }
        if (answer == QLatin1String("save")) {
            watcher.then([&](QWidget* window) {
                auto* dialog = qobject_cast<QFileDialog*>(window);
                QVERIFY(dialog);
                dialog->selectFile(folder.path(QStringLiteral("kept.qismar")));
                auto* box = dialog->findChild<QDialogButtonBox*>();
                QVERIFY(box);
                box->button(QDialogButtonBox::Save)->click();
            });
        }
        QTimer::singleShot(0, &main, [&main] {
            main.exitAction()->trigger();
            // Once the question is answered: had the program not quit,
            // this next event ends the loop with 1.
            QTimer::singleShot(0, &main, [&main] {
                if (main.isVisible())
                    QCoreApplication::exit(1);
            });
        });
        const int code = QApplication::exec();
        QCOMPARE(code, quits ? 0 : 1);
        QCOMPARE(main.isVisible(), !quits);
        if (answer == QLatin1String("none")) {
            QVERIFY(watcher.seen().isEmpty());
            return;
        }
        QCOMPARE(question, QStringLiteral("لم تُحفظ المسألة المدخلة. أتحفظها قبل الخروج؟"));
        // Qt's own buttons, in Arabic.
        QCOMPARE(buttons.size(), 3);
        for (const QString& b : buttons)
            QVERIFY2(b.contains(QRegularExpression(QStringLiteral("[\u0600-\u06FF]"))), qPrintable(b));
        if (answer == QLatin1String("save")) {
            CaseRecord saved;
            CaseError error;
            QVERIFY2(readCaseFile(QFile::encodeName(folder.path(QStringLiteral("kept.qismar"))).toStdString(), saved, error),
                     error.message.c_str());
            QVERIFY(saved.estate.father);
            QCOMPARE(saved.estate.daughters.persons(), 2);
        }
        if (!quits)
            main.hide();
    }
};

QISMAR_SHELL_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
