// The reading viewers: the introduction, the four commands of the "كتب"
// menu with the text viewer and its summary.
#include "shell/program.h"
#include "tests/shell/shell_test_support.h"
#include "tests/file_kinds.h"
#include "ui/picture.h"
#include "shell/book_summary.h"
#include "shell/book_viewer.h"
#include "shell/introduction_window.h"
#include "shell/main_window.h"
#include "ui/text_area.h"
#include "ui/text_file.h"
#include "ui/ui_common.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTextBlock>
#include <QStringEncoder>
#include <QFile>
#include <QFileInfo>

using namespace qismar;
using qismar::test::ModalWatcher;
using qismar::test::WorkingFolder;

namespace {

struct Work {
    QAction* (MainWindow::*command)() const;
    QString file;
    QString caption;
    QStringList summaryLines;   // the lines as shown, one under the other
    QString summary;            // the lines joined by a carriage return
};

QList<Work> works()
{
    return {
        {&MainWindow::sudaneseLawAction, QStringLiteral("qanoon2.txt"), QStringLiteral("نص القانون السوداني"),
         {QStringLiteral("نص القانون السوداني"), QStringLiteral("قانون الأحوال الشخصية للمسلمين"),
          QStringLiteral("لسنة 1991م"), QStringLiteral("الكتاب الخامس: الإرث")},
         QString()},
        {&MainWindow::egyptianLawAction, QStringLiteral("massri.txt"), QStringLiteral("نص القانون المصري"),
         {QStringLiteral("نص القانون المصري"), QStringLiteral("رقم 77"), QStringLiteral("لسنة 1943"), QString()},
         QString()},
        {&MainWindow::nazmiyyaAction, QStringLiteral("Nzmya.txt"), QStringLiteral("النظيمية"),
         {QStringLiteral("اسم الكتاب: النظيمية"), QStringLiteral("المؤلف: الإمام النظيمي"),
          QStringLiteral("ملحوظة: أرجوزة في علم الفرائض على المذهب الشافعي")},
         QString()},
        {&MainWindow::muhadhdhabAction, QStringLiteral("mohazab.txt"), QStringLiteral("المهذب"),
         {QStringLiteral("اسم الكتاب: المهذب"), QStringLiteral("المؤلف: الكتبيري"),
          QStringLiteral("ملحوظة: هذا النص يمثل باباً من الكتاب الذي هو من"), QStringLiteral("كتب الفقه الشافعي")},
         QString()},
    };
}

QString joined(const QStringList& lines, QChar separator)
{
    return lines.join(separator);
}

// What the viewer showed during one book command.
struct ViewerState {
    bool shown = false;
    QString caption;
    QString text;
    QString summary;
    QString summaryShown;
};

}  // namespace

class TestViewers : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Program> program_;

    MainWindow& main() { return program_->mainWindow(); }
    BookViewer& viewer() { return program_->bookViewer(); }
    IntroductionWindow& introduction() { return program_->introduction(); }

    // Runs a work's command; while the viewer is open, reads it, opens the
    // summary from "نبذة", reads that, and closes both with "تم".
    ViewerState runBook(QAction* (MainWindow::*command)() const, ModalWatcher& watcher)
    {
        ViewerState state;
        watcher.then([&](QWidget* w) {
            if (!qobject_cast<BookViewer*>(w))
                return;
            state.shown = true;
            state.caption = viewer().windowTitle();
            state.text = viewer().textArea()->toPlainText();
            viewer().summaryButton()->click();
            viewer().doneButton()->click();
        });
        watcher.then([&](QWidget* w) {
            if (!qobject_cast<BookSummary*>(w))
                return;
            BookSummary& summary = viewer().summaryWindow();
            QCOMPARE(w, &summary);
            state.summary = summary.summary();
            state.summaryShown = summary.summaryLabel()->text();
            summary.doneButton()->click();
        });
        (main().*command)()->trigger();
        return state;
    }

private slots:
    void init()
    {
        program_ = std::make_unique<Program>();
        main().marqueeTimer()->stop();
    }

    void cleanup()
    {
        program_.reset();
    }

    // Each command loads its whole file, with every kind of line end, sets
    // the caption and the summary, and shows the viewer modally.
    void bookCommandsShowTheirFiles()
    {
        WorkingFolder folder;
        for (const Work& book : works()) {
            const QString body = QStringLiteral("الباب الأول\r\nفي %1\rسطر بنهاية LF\nالسطر الأخير").arg(book.caption);
            folder.writeCp1256(book.file, body);
            ModalWatcher watcher;
            const ViewerState state = runBook(book.command, watcher);
            QVERIFY2(state.shown, qPrintable(book.file));
            QCOMPARE(state.caption, book.caption);
            QCOMPARE(state.text, QStringLiteral("الباب الأول\nفي %1\nسطر بنهاية LF\nالسطر الأخير").arg(book.caption));
            QCOMPARE(state.summary, joined(book.summaryLines, QLatin1Char('\r')));
            QCOMPARE(state.summaryShown, joined(book.summaryLines, QLatin1Char('\n')));
            QVERIFY(watcher.messageBoxes().isEmpty());
            QVERIFY(!viewer().isVisible());
        }
    }

    // A missing file: one error box naming it, no viewer, and the viewer's
    // text, caption and summary stay those of the last successful command.
    // The other books still work.
    void missingBookChangesNothing()
    {
        WorkingFolder folder;
        const QList<Work> all = works();
        folder.writeCp1256(all[0].file, QStringLiteral("نص القانون"));
        {
            ModalWatcher watcher;
            QVERIFY(runBook(all[0].command, watcher).shown);
        }
        for (const Work& book : all.mid(1)) {
            ModalWatcher watcher;
            const ViewerState state = runBook(book.command, watcher);
            QVERIFY(!state.shown);
            const QList<test::SeenModal> boxes = watcher.messageBoxes();
            QCOMPARE(watcher.seen().size(), 1);
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0].text, QStringLiteral("تعذر فتح الملف %1: الملف غير موجود").arg(book.file));
            QCOMPARE(boxes[0].icon, int(QMessageBox::Critical));
            QCOMPARE(boxes[0].title, QApplication::applicationDisplayName());
            QCOMPARE(viewer().windowTitle(), all[0].caption);
            QCOMPARE(viewer().textArea()->toPlainText(), QStringLiteral("نص القانون"));
            QCOMPARE(viewer().summary(), joined(all[0].summaryLines, QLatin1Char('\r')));
            QCOMPARE(viewer().summaryWindow().summary(), joined(all[0].summaryLines, QLatin1Char('\r')));
        }
        // A later successful load brings its own summary.
        folder.writeCp1256(all[3].file, QStringLiteral("باب"));
        ModalWatcher watcher;
        const ViewerState state = runBook(all[3].command, watcher);
        QVERIFY(state.shown);
        QCOMPARE(state.summary, joined(all[3].summaryLines, QLatin1Char('\r')));
    }

    // A book is read from the current folder when it is there, otherwise
    // from the program's folder, so the program also works when started
    // from elsewhere; with neither, the error names the bare file name.
    void booksAreFoundInTheCurrentOrTheProgramFolder_data()
    {
        QTest::addColumn<QString>("inCurrent");   // empty: no such file there
        QTest::addColumn<QString>("inProgram");
        QTest::addColumn<QString>("shown");       // empty: not shown
        QTest::newRow("current folder only") << QStringLiteral("هنا") << QString() << QStringLiteral("هنا");
        QTest::newRow("program folder only") << QString() << QStringLiteral("هناك") << QStringLiteral("هناك");
        QTest::newRow("both: the current folder wins") << QStringLiteral("هنا") << QStringLiteral("هناك")
                                                        << QStringLiteral("هنا");
        QTest::newRow("neither") << QString() << QString() << QString();
    }

    void booksAreFoundInTheCurrentOrTheProgramFolder()
    {
        QFETCH(QString, inCurrent);
        QFETCH(QString, inProgram);
        QFETCH(QString, shown);
        WorkingFolder folder;
        QStringEncoder encoder("windows-1256");
        if (!inCurrent.isEmpty())
            folder.writeBytes(QStringLiteral("mohazab.txt"), encoder.encode(inCurrent));
        if (!inProgram.isEmpty()) {
            QFile file(folder.programPath(QStringLiteral("mohazab.txt")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(encoder.encode(inProgram));
        }
        ModalWatcher watcher;
        const ViewerState state = runBook(&MainWindow::muhadhdhabAction, watcher);
        QCOMPARE(state.shown, !shown.isEmpty());
        if (state.shown) {
            QCOMPARE(state.text, shown);
            QVERIFY(watcher.messageBoxes().isEmpty());
        } else {
            QCOMPARE(watcher.messageBoxes().size(), 1);
            QVERIFY(watcher.messageBoxes()[0].text.contains(QStringLiteral(" mohazab.txt")));
            QVERIFY(!watcher.messageBoxes()[0].text.contains(folder.programPath(QString())));
        }
    }

    // Every kind of file a user may leave under a book's name ends quickly
    // in its text or in one error box naming it, with the viewer, its
    // caption and its summary as they were. A text is shown as decoded, and
    // a very long line is laid out as several (no line above the limit).
    void bookFileKinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("error");   // empty: the text is shown
        using K = testing::FileKind;
        const QList<QPair<K, QString>> rows = {
            {K::Missing, QStringLiteral("تعذر فتح الملف mohazab.txt: الملف غير موجود")},
            {K::Empty, QString()},
            {K::Folder, QStringLiteral("تعذر فتح الملف mohazab.txt: هذا الاسم لمجلد وليس لملف")},
            {K::Pipe, QStringLiteral("تعذر فتح الملف mohazab.txt: ليس ملفاً عادياً")},
            {K::TooLarge, QStringLiteral("النص في الملف mohazab.txt يتجاوز سعة مربع النص")},
            {K::LongLine, QString()},
            {K::Binary, QString()},
            {K::WrongEncoding, QString()},
        };
        for (const auto& [kind, error] : rows)
            QTest::newRow(testing::kindName(kind)) << int(kind) << error;
    }

    void bookFileKinds()
    {
        QFETCH(int, kind);
        QFETCH(QString, error);
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("qanoon2.txt"), QStringLiteral("نص سابق"));
        {
            ModalWatcher watcher;
            QVERIFY(runBook(&MainWindow::sudaneseLawAction, watcher).shown);
        }
        const QString file = folder.path(QStringLiteral("mohazab.txt"));
        QVERIFY(testing::makeFileOfKind(file, testing::FileKind(kind), ui::kTextFileLimit));
        QByteArray bytes;
        if (error.isEmpty()) {
            QFile read(file);
            QVERIFY(read.open(QIODevice::ReadOnly));
            bytes = read.readAll();
        }
        ModalWatcher watcher;
        const ViewerState state = runBook(&MainWindow::muhadhdhabAction, watcher);
        if (!error.isEmpty()) {
            QVERIFY(!state.shown);
            QCOMPARE(watcher.messageBoxes().size(), 1);
            QVERIFY2(watcher.messageBoxes()[0].text.startsWith(error), qPrintable(watcher.messageBoxes()[0].text));
            QCOMPARE(viewer().windowTitle(), QStringLiteral("نص القانون السوداني"));
            QCOMPARE(viewer().textArea()->toPlainText(), QStringLiteral("نص سابق"));
            QCOMPARE(viewer().summary().section(QLatin1Char('\r'), 0, 0), QStringLiteral("نص القانون السوداني"));
            return;
        }
        QVERIFY(state.shown);
        QVERIFY(watcher.messageBoxes().isEmpty());
        const QString decoded = ui::decodeCp1256(bytes);
        // Control characters of a binary file are the text area's to show.
        if (testing::FileKind(kind) != testing::FileKind::Binary) {
            QCOMPARE(state.text, ui::breakLongLines(decoded));
            QCOMPARE(QString(state.text).remove(QLatin1Char('\n')), QString(decoded).remove(QLatin1Char('\n')));
        } else {
            QVERIFY(!state.text.isEmpty());
        }
        for (const QString& line : state.text.split(QLatin1Char('\n')))
            QVERIFY(line.size() <= ui::kLongestShownLine);
        if (testing::FileKind(kind) == testing::FileKind::LongLine)
            QVERIFY(state.text.count(QLatin1Char('\n')) >= (1 << 20) / ui::kLongestShownLine);
    }

    // The introduction is read through the same reader while the program
    // starts: a named pipe or a huge file under its name is refused at once,
    // in one error box that names it, and leaves the introduction empty.
    void introductionFileKinds()
    {
        using K = testing::FileKind;
        for (K kind : {K::Missing, K::Folder, K::Pipe, K::TooLarge, K::Empty, K::LongLine, K::WrongEncoding}) {
            WorkingFolder folder;
            Program program;
            const QString file = folder.path(QStringLiteral("introduc.txt"));
            QVERIFY(testing::makeFileOfKind(file, kind, ui::kTextFileLimit));
            const bool refused = kind == K::Missing || kind == K::Folder || kind == K::Pipe || kind == K::TooLarge;
            ModalWatcher watcher;
            program.checkDataFiles();
            const QString shown = program.introduction().textArea()->textForShowing();
            if (refused) {
                QCOMPARE(watcher.messageBoxes().size(), 1);
                QVERIFY2(watcher.messageBoxes()[0].text.contains(QStringLiteral("introduc.txt")), testing::kindName(kind));
                QVERIFY(shown.isEmpty());
            } else {
                QVERIFY2(watcher.seen().isEmpty(), testing::kindName(kind));
                QFile read(file);
                QVERIFY(read.open(QIODevice::ReadOnly));
                QCOMPARE(shown, ui::decodeCp1256(read.readAll()));
            }
        }
    }

    void longLinesAreCutAfterABlank()
    {
        const QString word = QStringLiteral("كلمة ");
        const QString line = word.repeated(1000);   // 5000 characters
        const QStringList pieces = ui::breakLongLines(line + QStringLiteral("\nقصير\n"), 2000).split(QLatin1Char('\n'));
        QCOMPARE(pieces.size(), 5);
        QCOMPARE(pieces[0].size(), 2000);
        QVERIFY(pieces[0].endsWith(QLatin1Char(' ')));
        QCOMPARE(pieces[0] + pieces[1] + pieces[2], line);
        QCOMPARE(pieces[3], QStringLiteral("قصير"));
        QCOMPARE(pieces[4], QString());
        // Without blanks the cut falls at the limit, never inside a surrogate pair.
        const QString noBlank = QString(1999, QLatin1Char('x')) + QStringLiteral("\U0001D400") + QStringLiteral("yy");
        const QStringList hard = ui::breakLongLines(noBlank, 2000).split(QLatin1Char('\n'));
        QCOMPARE(hard, (QStringList{QString(1999, QLatin1Char('x')), QStringLiteral("\U0001D400yy")}));
        // Texts without long lines come back untouched.
        const QString plain = QStringLiteral("سطر\r\nآخر");
        QCOMPARE(ui::breakLongLines(plain, 2000), plain);
    }

    // Edits in the viewer are never saved: the next command reloads the file.
    void editsAreLostOnReload()
    {
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("mohazab.txt"), QStringLiteral("كتاب الفرائض"));
        ModalWatcher watcher;
        watcher.then([&](QWidget*) {
            QPlainTextEdit* text = viewer().textArea();
            QVERIFY(!text->isReadOnly());
            text->selectAll();
            QTest::keyClicks(text, "edited");
            QCOMPARE(text->toPlainText(), QStringLiteral("edited"));
            viewer().doneButton()->click();
        });
        main().muhadhdhabAction()->trigger();
        const ViewerState again = runBook(&MainWindow::muhadhdhabAction, watcher);
        QCOMPARE(again.text, QStringLiteral("كتاب الفرائض"));
    }

    // A file of several megabytes and tens of thousands of lines loads whole
    // and scrolls to its last line.
    void largeFileLoadsWholeAndScrollsToTheEnd()
    {
        WorkingFolder folder;
        const int lines = 60000;
        QString text;
        text.reserve(lines * 80);
        for (int i = 1; i <= lines; ++i)
            text += QStringLiteral("المادة %1 : يستحق الوارث نصيبه من التركة بعد سداد الديون وتنفيذ الوصية\r\n").arg(i);
        folder.writeCp1256(QStringLiteral("qanoon2.txt"), text);
        QVERIFY(QFileInfo(folder.path(QStringLiteral("qanoon2.txt"))).size() > 4'000'000);

        // How fast this goes is measured by bench/viewer_large_text.sh, not here.
        ModalWatcher watcher;
        bool shown = false;
        int blocks = 0;
        QString lastLine;
        bool atEnd = false;
        watcher.then([&](QWidget*) {
            shown = true;
            QPlainTextEdit* memo = viewer().textArea();
            blocks = memo->document()->blockCount();
            QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
            QApplication::processEvents();
            // The last line with text, just above the empty line that the
            // final line end opens, is in view.
            const QTextBlock last = memo->document()->lastBlock().previous();
            lastLine = last.text();
            const QRect lastRect = memo->cursorRect(QTextCursor(last));
            atEnd = memo->textCursor().atEnd() && memo->verticalScrollBar()->value() > 0
                    && memo->viewport()->rect().contains(lastRect);
            viewer().doneButton()->click();
        });
        main().sudaneseLawAction()->trigger();
        QVERIFY(shown);
        QCOMPARE(blocks, lines + 1);
        QVERIFY(atEnd);
        QCOMPARE(lastLine, QStringLiteral("المادة 60000 : يستحق الوارث نصيبه من التركة بعد سداد الديون وتنفيذ الوصية"));
    }

    // The introduction is read while the program starts and never again:
    // "مقدمة" makes its window the first time and only shows it. Escape
    // does what "تم" does.
    void introductionIsReadOnce()
    {
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مرحبا\r\nبكم في القسمار"));
        program_->checkDataFiles();
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("نص آخر"));
        for (int opening = 1; opening <= 2; ++opening) {
            ModalWatcher watcher;
            QString shownText;
            watcher.then([&](QWidget* w) {
                QCOMPARE(w, &introduction());
                shownText = introduction().textArea()->toPlainText();
                QVERIFY(introduction().textArea()->isReadOnly());
                QCOMPARE(introduction().textArea()->font().pixelSize(), 16);
                QVERIFY(introduction().textArea()->font().bold());
                QTest::keyClick(&introduction(), Qt::Key_Escape);
                QVERIFY(!introduction().isVisible());
            });
            main().introductionAction()->trigger();
            QCOMPARE(watcher.seen().size(), 1);
            QCOMPARE(shownText, QStringLiteral("مرحبا\nبكم في القسمار"));
            QVERIFY(!introduction().isVisible());
        }
    }

    void missingIntroductionIsReportedAndLeavesTheTextEmpty()
    {
        WorkingFolder folder;
        try {
            readIntroduction();
            QFAIL("a missing introduction must raise");
        } catch (const ui::UiError& e) {
            QCOMPARE(e.message(), QStringLiteral("تعذر فتح الملف introduc.txt: الملف غير موجود"));
        }
        {
            ModalWatcher watcher;
            program_->checkDataFiles();
            QCOMPARE(watcher.messageBoxes().size(), 1);
        }
        ModalWatcher watcher;
        main().introductionAction()->trigger();
        QCOMPARE(watcher.seen().size(), 1);
        QCOMPARE(watcher.seen()[0].widget.data(), &introduction());
        QVERIFY(introduction().textArea()->textForShowing().isEmpty());
    }

    // The windows' frames and their fixed parts.
    void windowProperties()
    {
        QCOMPARE(introduction().windowTitle(), QStringLiteral("المقدمة"));
        const Qt::WindowFlags intro = introduction().windowFlags();
        QVERIFY(!(intro & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                           | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(introduction().size(), QSize(640, 479));
        QCOMPARE(introduction().textArea()->size(), QSize(497, 297));
        QCOMPARE(introduction().textArea()->palette().color(QPalette::Base), QColor(255, 255, 128));

        const Qt::WindowFlags flags = viewer().windowFlags();
        QVERIFY(flags & Qt::WindowStaysOnTopHint);
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(viewer().textArea()->palette().color(QPalette::Base), QColor(255, 128, 0));
        // The layout's blue, in a shade that reads on the orange.
        QCOMPARE(viewer().textArea()->palette().color(QPalette::Text), ui::kTextBlue);
        QCOMPARE(viewer().summaryButton()->text(), QStringLiteral("نبذة"));
        QCOMPARE(viewer().doneButton()->text(), QStringLiteral("تم"));
        // "نبذة" at the top, above the text; "تم" below it.
        viewer().show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer()));
        // The fonts of the layout, in place once the windows are shown.
        QCOMPARE(viewer().textArea()->font().pixelSize(), 19);
        QVERIFY(viewer().textArea()->font().bold());
        QVERIFY(viewer().summaryButton()->geometry().bottom() < viewer().picture()->geometry().top());
        QVERIFY(viewer().doneButton()->geometry().top() > viewer().picture()->geometry().bottom());
        viewer().hide();

        BookSummary& summary = viewer().summaryWindow();
        QCOMPARE(summary.windowTitle(), QStringLiteral("نبذة"));
        QCOMPARE(summary.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(summary.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(summary.summaryLabel()->width() >= 289 && summary.summaryLabel()->height() >= 113);
    }
};

QISMAR_SHELL_TEST_MAIN(TestViewers)
#include "tst_viewers.moc"
