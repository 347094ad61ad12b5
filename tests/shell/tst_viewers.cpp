// The reading viewers: the introduction, the four book commands of the main
// window with the text viewer and its summary.
#include "shell/program.h"
#include "tests/shell/shell_test_support.h"
#include "tests/file_kinds.h"
#include "ui/picture.h"
#include "shell/shell_windows.h"
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
#include <QTextBlock>
#include <QStringEncoder>
#include <QFile>
#include <QFileInfo>

using namespace qismar;
using qismar::test::ModalWatcher;
using qismar::test::WorkingFolder;

namespace {

struct Book {
    const char* command;   // object name of the menu item
    QString file;
    QString caption;
    QStringList summaryLines;   // the lines as shown, one under the other
    QString summary;            // the lines joined by a carriage return
};

QList<Book> books()
{
    return {
        {"N6", QStringLiteral("qanoon2.txt"), QStringLiteral("نص القانون السوداني"),
         {QStringLiteral("نص القانون السوداني"), QStringLiteral("قانون الأحوال الشخصية للمسلمين"),
          QStringLiteral("لسنة 1991م"), QStringLiteral("الكتاب الخامس: الإرث")},
         QString()},
        {"N18", QStringLiteral("massri.txt"), QStringLiteral("نص القانون المصري"),
         {QStringLiteral("نص القانون المصري"), QStringLiteral("رقم 77"), QStringLiteral("لسنة 1943"), QString()},
         QString()},
        {"N1", QStringLiteral("Nzmya.txt"), QStringLiteral("النظيمية"),
         {QStringLiteral("اسم الكتاب: النظيمية"), QStringLiteral("المؤلف: الإمام النظيمي"),
          QStringLiteral("ملحوظة: أرجوزة في علم الفرائض على المذهب الشافعي")},
         QString()},
        {"N13", QStringLiteral("mohazab.txt"), QStringLiteral("المهذب"),
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
    std::unique_ptr<TfmInterface> main_;
    std::unique_ptr<Tbook_1> viewer_;
    std::unique_ptr<TAbout_book1> summary_;
    std::unique_ptr<TfmIntroduc> introduction_;

    QAction* command(const char* name) { return main_->findChild<QAction*>(QString::fromLatin1(name)); }

    // Runs a book command; while the viewer is open, reads it, opens the
    // summary from "نبذة", reads that, and closes both with "تم".
    ViewerState runBook(const char* name, ModalWatcher& watcher)
    {
        ViewerState state;
        watcher.then([&](QWidget* w) {
            if (w != viewer_.get())
                return;
            state.shown = true;
            state.caption = viewer_->windowTitle();
            state.text = viewer_->Memo1->toPlainText();
            viewer_->Button1->click();
            viewer_->Button3->click();
        });
        watcher.then([&](QWidget* w) {
            if (w != summary_.get())
                return;
            state.summary = summary_->summary();
            state.summaryShown = summary_->StaticText1->text();
            summary_->Button1->click();
        });
        command(name)->trigger();
        return state;
    }

private slots:
    void init()
    {
        main_ = std::make_unique<TfmInterface>();
        introduction_ = std::make_unique<TfmIntroduc>();
        viewer_ = std::make_unique<Tbook_1>();
        summary_ = std::make_unique<TAbout_book1>();
    }

    void cleanup()
    {
        summary_.reset();
        viewer_.reset();
        introduction_.reset();
        main_.reset();
    }

    // Each command loads its whole file, with every kind of line end, sets
    // the caption and the summary, and shows the viewer modally.
    void bookCommandsShowTheirFiles()
    {
        WorkingFolder folder;
        for (const Book& book : books()) {
            const QString body = QStringLiteral("الباب الأول\r\nفي %1\rسطر بنهاية LF\nالسطر الأخير").arg(book.caption);
            folder.writeCp1256(book.file, body);
            ModalWatcher watcher;
            const ViewerState state = runBook(book.command, watcher);
            QVERIFY2(state.shown, book.command);
            QCOMPARE(state.caption, book.caption);
            QCOMPARE(state.text, QStringLiteral("الباب الأول\nفي %1\nسطر بنهاية LF\nالسطر الأخير").arg(book.caption));
            QCOMPARE(state.summary, joined(book.summaryLines, QLatin1Char('\r')));
            QCOMPARE(state.summaryShown, joined(book.summaryLines, QLatin1Char('\n')));
            QVERIFY(watcher.messageBoxes().isEmpty());
            QVERIFY(!viewer_->isVisible());
        }
    }

    // A missing file: one error box naming it, no viewer, and the viewer's
    // text, caption and summary stay those of the last successful command.
    // The other books still work.
    void missingBookChangesNothing()
    {
        WorkingFolder folder;
        const QList<Book> all = books();
        folder.writeCp1256(all[0].file, QStringLiteral("نص القانون"));
        {
            ModalWatcher watcher;
            QVERIFY(runBook(all[0].command, watcher).shown);
        }
        for (const Book& book : all.mid(1)) {
            ModalWatcher watcher;
            const ViewerState state = runBook(book.command, watcher);
            QVERIFY(!state.shown);
            const QList<test::SeenModal> boxes = watcher.messageBoxes();
            QCOMPARE(watcher.seen().size(), 1);
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0].text, QStringLiteral("تعذر فتح الملف %1: الملف غير موجود").arg(book.file));
            QCOMPARE(boxes[0].icon, int(QMessageBox::Critical));
            QCOMPARE(boxes[0].title, QApplication::applicationDisplayName());
            QCOMPARE(viewer_->windowTitle(), all[0].caption);
            QCOMPARE(viewer_->Memo1->toPlainText(), QStringLiteral("نص القانون"));
            QCOMPARE(summary_->summary(), joined(all[0].summaryLines, QLatin1Char('\r')));
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
        const ViewerState state = runBook("N13", watcher);
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
            QVERIFY(runBook("N6", watcher).shown);
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
        const ViewerState state = runBook("N13", watcher);
        if (!error.isEmpty()) {
            QVERIFY(!state.shown);
            QCOMPARE(watcher.messageBoxes().size(), 1);
            QVERIFY2(watcher.messageBoxes()[0].text.startsWith(error), qPrintable(watcher.messageBoxes()[0].text));
            QCOMPARE(viewer_->windowTitle(), QStringLiteral("نص القانون السوداني"));
            QCOMPARE(viewer_->Memo1->toPlainText(), QStringLiteral("نص سابق"));
            QCOMPARE(summary_->summary().section(QLatin1Char('\r'), 0, 0), QStringLiteral("نص القانون السوداني"));
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
    // starts: a named pipe or a huge file under its name is refused at once
    // and leaves the text area empty.
    void introductionFileKinds()
    {
        using K = testing::FileKind;
        for (K kind : {K::Missing, K::Folder, K::Pipe, K::TooLarge, K::Empty, K::LongLine, K::WrongEncoding}) {
            WorkingFolder folder;
            TfmIntroduc introduction;
            const QString file = folder.path(QStringLiteral("introduc.txt"));
            QVERIFY(testing::makeFileOfKind(file, kind, ui::kTextFileLimit));
            const bool refused = kind == K::Missing || kind == K::Folder || kind == K::Pipe || kind == K::TooLarge;
            try {
                introduction.FormCreate();
                QVERIFY2(!refused, testing::kindName(kind));
                QFile read(file);
                QVERIFY(read.open(QIODevice::ReadOnly));
                QCOMPARE(introduction.Memo1->textForShowing(), ui::decodeCp1256(read.readAll()));
            } catch (const ui::UiError& e) {
                QVERIFY2(refused, qPrintable(e.message()));
                QVERIFY(e.message().contains(QStringLiteral("introduc.txt")));
                QVERIFY(introduction.Memo1->textForShowing().isEmpty());
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
            QVERIFY(!viewer_->Memo1->isReadOnly());
            viewer_->Memo1->selectAll();
            QTest::keyClicks(viewer_->Memo1, "edited");
            QCOMPARE(viewer_->Memo1->toPlainText(), QStringLiteral("edited"));
            viewer_->Button3->click();
        });
        command("N13")->trigger();
        const ViewerState again = runBook("N13", watcher);
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
            QPlainTextEdit* memo = viewer_->Memo1;
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
            viewer_->Button3->click();
        });
        command("N6")->trigger();
        QVERIFY(shown);
        QCOMPARE(blocks, lines + 1);
        QVERIFY(atEnd);
        QCOMPARE(lastLine, QStringLiteral("المادة 60000 : يستحق الوارث نصيبه من التركة بعد سداد الديون وتنفيذ الوصية"));
    }

    // The introduction is read while its window is created and never again:
    // "مقدمة" only shows it. A missing file leaves an empty text area.
    void introductionIsReadOnce()
    {
        WorkingFolder folder;
        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("مرحبا\r\nبكم في القسمار"));
        introduction_->FormCreate();
        QCOMPARE(introduction_->Memo1->textForShowing(), QStringLiteral("مرحبا\nبكم في القسمار"));
        QVERIFY(introduction_->Memo1->isReadOnly());

        folder.writeCp1256(QStringLiteral("introduc.txt"), QStringLiteral("نص آخر"));
        ModalWatcher watcher;
        QString shownText;
        watcher.then([&](QWidget* w) {
            QCOMPARE(w, introduction_.get());
            shownText = introduction_->Memo1->toPlainText();
            QCOMPARE(introduction_->Memo1->font().pixelSize(), 16);
            QVERIFY(introduction_->Memo1->font().bold());
            // Escape does what "تم" does.
            QTest::keyClick(introduction_.get(), Qt::Key_Escape);
            QVERIFY(!introduction_->isVisible());
        });
        command("N11")->trigger();
        QCOMPARE(shownText, QStringLiteral("مرحبا\nبكم في القسمار"));
        QVERIFY(!introduction_->isVisible());
    }

    void missingIntroductionRaisesAndKeepsTheText()
    {
        WorkingFolder folder;
        try {
            introduction_->FormCreate();
            QFAIL("a missing introduction must raise");
        } catch (const ui::UiError& e) {
            QCOMPARE(e.message(), QStringLiteral("تعذر فتح الملف introduc.txt: الملف غير موجود"));
        }
        QVERIFY(introduction_->Memo1->textForShowing().isEmpty());
        ModalWatcher watcher;
        command("N11")->trigger();
        QCOMPARE(watcher.seen().size(), 1);
        QCOMPARE(watcher.seen()[0].widget.data(), introduction_.get());
    }

    // The windows' frames and their fixed parts.
    void windowProperties()
    {
        QCOMPARE(introduction_->windowTitle(), QStringLiteral("المقدمة"));
        const Qt::WindowFlags intro = introduction_->windowFlags();
        QVERIFY(!(intro & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                           | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(introduction_->size(), QSize(640, 479));
        QCOMPARE(introduction_->Memo1->size(), QSize(497, 297));
        QCOMPARE(introduction_->Memo1->palette().color(QPalette::Base), QColor(255, 255, 128));

        const Qt::WindowFlags viewer = viewer_->windowFlags();
        QVERIFY(viewer & Qt::WindowStaysOnTopHint);
        QVERIFY(viewer & Qt::WindowMinimizeButtonHint);
        QVERIFY(viewer & Qt::WindowCloseButtonHint);
        QVERIFY(!(viewer & Qt::WindowMaximizeButtonHint));
        QCOMPARE(viewer_->Memo1->palette().color(QPalette::Base), QColor(255, 128, 0));
        // The layout's blue, in a shade that reads on the orange.
        QCOMPARE(viewer_->Memo1->palette().color(QPalette::Text), ui::kTextBlue);
        QCOMPARE(viewer_->Button1->text(), QStringLiteral("نبذة"));
        QCOMPARE(viewer_->Button3->text(), QStringLiteral("تم"));
        // "نبذة" at the top, above the text; "تم" below it.
        viewer_->show();
        QVERIFY(QTest::qWaitForWindowExposed(viewer_.get()));
        // The fonts of the layout, in place once the windows are shown.
        QCOMPARE(viewer_->Memo1->font().pixelSize(), 19);
        QVERIFY(viewer_->Memo1->font().bold());
        QVERIFY(viewer_->Button1->geometry().bottom() < viewer_->Image1->geometry().top());
        QVERIFY(viewer_->Button3->geometry().top() > viewer_->Image1->geometry().bottom());
        viewer_->hide();

        QCOMPARE(summary_->windowTitle(), QStringLiteral("نبذة"));
        QCOMPARE(summary_->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(summary_->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(summary_->StaticText1->width() >= 289 && summary_->StaticText1->height() >= 113);
    }
};

QISMAR_SHELL_TEST_MAIN(TestViewers)
#include "tst_viewers.moc"
