// A case file named on the command line: found among the arguments, opened
// into the heir-entry window, which is then shown as "دخول" shows it; a file
// that is refused gives one error box and the main window stays alone.
#include "entry/entry_window.h"
#include "shell/main_window.h"
#include "shell/program.h"
#include "tests/shell/shell_test_support.h"

#include <QDialog>
#include <QMessageBox>
#include <QTest>

using namespace qismar;
using qismar::test::ModalWatcher;
using qismar::test::WorkingFolder;

class TestCaseArgument : public QObject {
    Q_OBJECT
private slots:
    void theCaseFileIsTheFirstArgumentThatIsNoOption()
    {
        const struct {
            QStringList arguments;
            QString file;
        } cases[] = {
            {{"qismar"}, ""},
            {{"qismar", "a.qismar"}, "a.qismar"},
            {{"qismar", "/home/clerk/مسائل/أحمد.qismar"}, "/home/clerk/مسائل/أحمد.qismar"},
            {{"qismar", "--unknown", "b.qismar", "c.qismar"}, "b.qismar"},
            {{"qismar", "-reverse"}, ""},
        };
        for (const auto& k : cases)
            QCOMPARE(caseFileArgument(k.arguments), k.file);
    }

    void aCaseFileOpensInTheEntryWindow()
    {
        WorkingFolder folder;
        folder.writeBytes(QStringLiteral("widow.qismar"),
                          R"({"format": 1, "estate": "48000", "spouse": true, "wives": 2, "sons": 1, "daughters": 2})");
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مقدمة البرنامج"));
        ModalWatcher watcher;
        Program program;
        program.start();
        QVERIFY(QTest::qWaitForWindowExposed(&program.mainWindow()));
        QVERIFY(watcher.seen().isEmpty());
        bool shown = false;
        EstateCase shownCase;
        watcher.then([&](QWidget* window) {
            QCOMPARE(window, static_cast<QWidget*>(&program.entryWindow()));
            shown = true;
            shownCase = program.entryWindow().estateCase();
        });
        program.openCaseAtStart(folder.path(QStringLiteral("widow.qismar")));
        QVERIFY(shown);
        QCOMPARE(watcher.seen().size(), 1);
        QVERIFY(!program.entryWindow().isVisible());
        EstateCase expected;
        expected.estate = Currency::fromWhole(48000);
        expected.spouse = true;
        expected.wives = HeadCount(2);
        expected.sons = HeadCount(1);
        expected.daughters = HeadCount(2);
        expected.deriveEntryWindowState();
        QVERIFY(shownCase == expected);
    }

    void aRefusedFileIsReportedAndTheMainWindowStaysAlone()
    {
        WorkingFolder folder;
        folder.writeBytes(QStringLiteral("notes.qismar"), "shopping: bread, milk\n");
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مقدمة البرنامج"));
        ModalWatcher watcher;
        Program program;
        program.start();
        QVERIFY(QTest::qWaitForWindowExposed(&program.mainWindow()));
        QVERIFY(watcher.seen().isEmpty());
        const EstateCase before = program.entryWindow().estateCase();
        program.openCaseAtStart(folder.path(QStringLiteral("notes.qismar")));
        const QList<test::SeenModal> seen = watcher.seen();
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen[0].messageBox);
        QCOMPARE(seen[0].icon, int(QMessageBox::Critical));
        QVERIFY2(seen[0].text.startsWith(QStringLiteral("تعذر فتح المسألة من الملف «\u2068notes.qismar\u2069»:\n")),
                 qPrintable(seen[0].text));
        QVERIFY(!program.entryWindow().isVisible());
        QVERIFY(program.mainWindow().isVisible());
        QVERIFY(program.entryWindow().estateCase() == before);
    }
};

QISMAR_SHELL_TEST_MAIN(TestCaseArgument)
#include "tst_case_argument.moc"
