// The "كيف يرث؟" mode, the lookup in qanoon.txt and the information window.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "tests/entry/gui_test_support.h"
#include "tests/file_kinds.h"
#include "ui/text_area.h"
#include "ui/text_file.h"
#include <QDateTime>
#include <QFileInfo>
#include "ui/ui_common.h"

namespace qismar::testing {
namespace {

using LawExcerpts = EntryWindows;

// Reads the information window and closes it with "إغلاق".
std::function<void(Treport*)> readExcerpt(QStringList* shown)
{
    return [shown](Treport* window) {
        shown->append(window->Memo1->toPlainText());
        click(window->Button1);
    };
}

bool helpCursor(QWidget* w) { return w->cursor().shape() == Qt::WhatsThisCursor; }

TEST_F(LawExcerpts, HowButtonTurnsTheModeOnAndOffAndMarksTheHeirControls)
{
    ModalScript script;
    script.forbidUnexpected();
    click(fmMain->BitBtn3);
    EXPECT_TRUE(HowInheritsMode());
    for (QWidget* marked : {static_cast<QWidget*>(fmMain), static_cast<QWidget*>(fmMain->BitBtn3),
                            static_cast<QWidget*>(fmMain->GroupBox1), static_cast<QWidget*>(fmMain->St1),
                            static_cast<QWidget*>(fmMain->chkAb), static_cast<QWidget*>(fmMain->chkEbnAm),
                            static_cast<QWidget*>(fmMain->Image1), static_cast<QWidget*>(fmSon),
                            static_cast<QWidget*>(fmSon->Edit2), static_cast<QWidget*>(fmBrothers->Edit6)})
        EXPECT_TRUE(helpCursor(marked)) << marked->objectName();
    // Controls that are not marked keep their own cursor.
    EXPECT_EQ(fmMain->BitBtn2->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(fmMain->RadioButton1->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(fmMain->edttarikh->cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(fmSon->Button1->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(helpCursor(fmGrandMother));
    EXPECT_FALSE(helpCursor(fmJd));

    click(fmMain->BitBtn3);
    EXPECT_FALSE(HowInheritsMode());
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(fmMain->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(helpCursor(fmMain->chkAb));
    // A count edit gets its text cursor back.
    EXPECT_EQ(fmSon->Edit1->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(LawExcerpts, ParentAndSpouseClickInTheModeShowsTheExcerptOnceAndLeavesTheBoxUnticked)
{
    struct Case {
        QCheckBox* TfmMain::*box;
        const char* key;
    };
    for (const Case& c : {Case{&TfmMain::chkAb, "ab"}, Case{&TfmMain::chkOm, "om"}, Case{&TfmMain::chkZoj, "zoj"}}) {
        QCheckBox* box = fmMain->*c.box;
        for (const bool tickedBefore : {false, true}) {
            SCOPED_TRACE(std::string(c.key) + (tickedBefore ? " ticked" : " unticked"));
            if (box->isChecked() != tickedBefore)
                click(box);
            QStringList shown;
            ModalScript script;
            script.on<Treport>(readExcerpt(&shown));
            click(fmMain->BitBtn3);
            click(box);
            EXPECT_SCRIPT_DONE(script);
            EXPECT_EQ(shown, QStringList{defaultExcerpt(c.key)});
            EXPECT_FALSE(box->isChecked());
            EXPECT_FALSE(HowInheritsMode());
            EXPECT_FALSE(helpCursor(box));
        }
        // The mode has ended: the next click acts normally.
        ModalScript none;
        none.forbidUnexpected();
        click(box);
        EXPECT_SCRIPT_DONE(none);
        EXPECT_TRUE(box->isChecked());
    }
}

TEST_F(LawExcerpts, GrandfatherAndGrandmotherShowTheExcerptAndThenOpenTheirDialogs)
{
    {
        QStringList shown;
        ModalScript script;
        script.on<Treport>(readExcerpt(&shown));
        script.on<TfmJd>([](TfmJd* dialog) {
            click(dialog->RadioButton1);
            click(dialog->Button1);
        });
        click(fmMain->BitBtn3);
        click(fmMain->chkjd);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_EQ(shown, QStringList{defaultExcerpt("jd")});
        EXPECT_TRUE(fmMain->chkjd->isChecked());
    }
    {
        QStringList shown;
        ModalScript script;
        script.on<Treport>(readExcerpt(&shown));
        script.on<TfmGrandMother>([](TfmGrandMother* dialog) {
            click(dialog->CheckBox2);
            click(dialog->Button1);
        });
        click(fmMain->BitBtn3);
        click(fmMain->chkjadh);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_EQ(shown, QStringList{defaultExcerpt("jdh")});
        EXPECT_EQ(fmMain->Edit3->text(), QStringLiteral("1"));
    }
}

TEST_F(LawExcerpts, CountEditsOfTheDialogsAnswerWithTheirArticles)
{
    struct Case {
        QCheckBox* TfmMain::*box;
        std::function<QWidget*()> control;
        const char* key;
    };
    const Case cases[] = {
        {&TfmMain::chkSons, [] { return fmSon->Edit1; }, "asbh"},
        {&TfmMain::chkSons, [] { return fmSon->Edit2; }, "bent"},
        {&TfmMain::chkSons, [] { return fmSon->Label2; }, "bent"},
        {&TfmMain::chkEbnEbn, [] { return fmSonOfSon->Edit1; }, "asbh"},
        {&TfmMain::chkEbnEbn, [] { return fmSonOfSon->Edit2; }, "bentebn"},
        {&TfmMain::chkEbnEbn, [] { return fmSonOfSon->Edit3; }, "asbh"},
        {&TfmMain::chkEbnEbn, [] { return fmSonOfSon->Edit4; }, "bentebn"},
        {&TfmMain::chkAk, [] { return fmBrothers->Edit1; }, "oktsh"},
        {&TfmMain::chkAk, [] { return fmBrothers->Edit2; }, "asbh"},
        {&TfmMain::chkAk, [] { return fmBrothers->Edit3; }, "asbh"},
        {&TfmMain::chkAk, [] { return fmBrothers->Edit4; }, "oktliab"},
        {&TfmMain::chkAk, [] { return fmBrothers->Edit5; }, "ebnom"},
        {&TfmMain::chkAk, [] { return fmBrothers->Edit6; }, "ebnom"},
        {&TfmMain::chkEbnAk, [] { return fmSonOfBrother->Edit2; }, "asbh"},
        {&TfmMain::chkEbnAk, [] { return fmSonOfBrother->Edit3; }, "asbh"},
        {&TfmMain::chkAm, [] { return fmUncle->Edit1; }, "asbh"},
        {&TfmMain::chkAm, [] { return fmUncle->Edit2; }, "asbh"},
        {&TfmMain::chkEbnAm, [] { return fmSonOfUncle->Edit1; }, "asbh"},
        {&TfmMain::chkEbnAm, [] { return fmSonOfUncle->Edit2; }, "asbh"},
    };
    for (const Case& c : cases) {
        QWidget* control = c.control();
        SCOPED_TRACE(control->window()->objectName().toStdString() + "." + control->objectName().toStdString());
        QStringList shown;
        ModalScript script;
        // The mode survives the opening of the dialog.
        script.on<TCountingDialog>([&](TCountingDialog* dialog) {
            EXPECT_TRUE(HowInheritsMode());
            EXPECT_TRUE(helpCursor(dialog));
            click(control);
            EXPECT_FALSE(HowInheritsMode());
            // Out of the mode, a click only places the caret.
            click(control);
            click(dialog->Button1);
        });
        script.on<Treport>(readExcerpt(&shown));
        click(fmMain->BitBtn3);
        click(fmMain->*c.box);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_EQ(shown, QStringList{defaultExcerpt(c.key)});
    }
}

TEST_F(LawExcerpts, ExcerptIsTheWholeLinesBetweenItsExactKeyLines)
{
    struct Case {
        const char* name;
        QByteArray file;
        QString shown;
    };
    const QByteArray arabicLine = ui::encodeCp1256(QStringLiteral("المادة 351: للأب السدس"));
    ASSERT_EQ(arabicLine.at(0), '\xC7');  // Windows-1256, not UTF-8
    const Case cases[] = {
        {"lines kept as they are, empty lines too",
         lawExcerptFile({QStringLiteral("ab_b"), QStringLiteral("الأول"), QString(), QStringLiteral("  الثاني  "),
                         QStringLiteral("ab_e")}),
         QStringLiteral("الأول\n\n  الثاني  ")},
        {"lines that look like other keys are text",
         lawExcerptFile({QStringLiteral("ab_b"), QStringLiteral("om_b"), QStringLiteral("ab_b"), QStringLiteral("om_e"),
                         QStringLiteral("ab_e"), QStringLiteral("om_b"), QStringLiteral("x"), QStringLiteral("om_e")}),
         QStringLiteral("om_b\nab_b\nom_e")},
        {"a key line with a trailing blank or another case is not the key",
         lawExcerptFile({QStringLiteral("ab_b "), QStringLiteral("خطأ"), QStringLiteral("AB_B"), QStringLiteral("خطأ"),
                         QStringLiteral("ab_e"), QStringLiteral("ab_b"), QStringLiteral("صواب"), QStringLiteral("ab_e "),
                         QStringLiteral("ab_e")}),
         QStringLiteral("صواب\nab_e ")},
        {"the first begin line and the first end line after it",
         lawExcerptFile({QStringLiteral("ab_b"), QStringLiteral("أول"), QStringLiteral("ab_e"), QStringLiteral("ab_b"),
                         QStringLiteral("ثان"), QStringLiteral("ab_e")}),
         QStringLiteral("أول")},
        {"no end line: up to the end of the file",
         lawExcerptFile({QStringLiteral("ab_b"), QStringLiteral("سطر"), QStringLiteral("آخر سطر")}),
         QStringLiteral("سطر\nآخر سطر")},
        {"no end line and no line end after the last line",
         QByteArray("ab_b\r\n") + arabicLine, QStringLiteral("المادة 351: للأب السدس")},
        {"line feeds alone and lone carriage returns end lines too",
         QByteArray("ab_b\n") + arabicLine + "\rsecond\nab_e\n", QStringLiteral("المادة 351: للأب السدس\nsecond")},
        {"an empty excerpt", QByteArray("ab_b\r\nab_e\r\n"), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeLawFileBytes(c.file);
        QStringList shown;
        ModalScript script;
        script.on<Treport>(readExcerpt(&shown));
        click(fmMain->BitBtn3);
        click(fmMain->chkAb);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_EQ(shown, QStringList{c.shown});
        EXPECT_FALSE(fmMain->chkAb->isChecked());
    }
}

TEST_F(LawExcerpts, FileBesideTheProgramAnswersWhenTheCurrentFolderHasNone)
{
    removeLawFile();
    {
        QFile beside(QDir(programDir_.path()).filePath(QString::fromLatin1(kLawExcerptFile)));
        ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
        beside.write(lawExcerptFile({QStringLiteral("ab_b"), QStringLiteral("من مجلد البرنامج"), QStringLiteral("ab_e")}));
    }
    QStringList shown;
    ModalScript script;
    script.on<Treport>(readExcerpt(&shown));
    click(fmMain->BitBtn3);
    click(fmMain->chkAb);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(shown, QStringList{QStringLiteral("من مجلد البرنامج")});

    // A file in the current folder wins over the one beside the program.
    writeLawFile({QStringLiteral("ab_b"), QStringLiteral("من المجلد الحالي"), QStringLiteral("ab_e")});
    shown.clear();
    ModalScript again;
    again.on<Treport>(readExcerpt(&shown));
    click(fmMain->BitBtn3);
    click(fmMain->chkAb);
    EXPECT_SCRIPT_DONE(again);
    EXPECT_EQ(shown, QStringList{QStringLiteral("من المجلد الحالي")});
}

TEST_F(LawExcerpts, EveryKindOfFileEndsInTheExcerptOrOneErrorNamingTheFile)
{
    using K = FileKind;
    struct Case {
        K kind;
        QString error;  // the start of the message
    };
    const Case cases[] = {
        {K::Missing, QStringLiteral("تعذر فتح الملف qanoon.txt: الملف غير موجود")},
        {K::Empty, QStringLiteral("لا يوجد في الملف qanoon.txt نص هذه المادة")},
        {K::Folder, QStringLiteral("تعذر فتح الملف qanoon.txt: هذا الاسم لمجلد وليس لملف")},
        {K::Pipe, QStringLiteral("تعذر فتح الملف qanoon.txt: ليس ملفاً عادياً")},
        {K::TooLarge, QStringLiteral("النص في الملف qanoon.txt يتجاوز سعة مربع النص")},
        {K::LongLine, QStringLiteral("لا يوجد في الملف qanoon.txt نص هذه المادة")},
        {K::Binary, QStringLiteral("لا يوجد في الملف qanoon.txt نص هذه المادة")},
        {K::WrongEncoding, QStringLiteral("لا يوجد في الملف qanoon.txt نص هذه المادة")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(kindName(c.kind));
        ASSERT_TRUE(makeFileOfKind(QString::fromLatin1(kLawExcerptFile), c.kind, ui::kTextFileLimit));
        ModalScript script;
        script.messageBox();
        click(fmMain->BitBtn3);
        click(fmMain->chkAb);
        EXPECT_SCRIPT_DONE(script);
        ASSERT_EQ(script.boxes().size(), 1u);
        EXPECT_EQ(script.boxes()[0].icon, QMessageBox::Critical);
        EXPECT_TRUE(script.boxes()[0].text.startsWith(c.error)) << script.boxes()[0].text;
        EXPECT_FALSE(report->isVisible());
        EXPECT_FALSE(HowInheritsMode());
    }
}

TEST_F(LawExcerpts, LongLineOfAnExcerptIsShownWhole)
{
    const QByteArray line = longLineBytes();
    writeLawFileBytes(QByteArray("ab_b\r\n") + line + QByteArray("\r\nab_e\r\n"));
    QStringList shown;
    ModalScript script;
    script.on<Treport>(readExcerpt(&shown));
    click(fmMain->BitBtn3);
    click(fmMain->chkAb);
    EXPECT_SCRIPT_DONE(script);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(QString(shown[0]).remove(QLatin1Char('\n')), ui::decodeCp1256(line));
    for (const QString& piece : shown[0].split(QLatin1Char('\n')))
        EXPECT_LE(piece.size(), ui::kLongestShownLine);
}

TEST_F(LawExcerpts, FileIsReadAgainOnlyWhenItChangesOnDisk)
{
    auto lookUp = [this] {
        QStringList shown;
        ModalScript script;
        script.on<Treport>(readExcerpt(&shown));
        click(fmMain->BitBtn3);
        click(fmMain->chkAb);
        EXPECT_SCRIPT_DONE(script);
        if (fmMain->chkAb->isChecked())
            click(fmMain->chkAb);
        return shown.value(0);
    };
    const QString name = QString::fromLatin1(kLawExcerptFile);
    const QDateTime written = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch() - 60);
    auto stamp = [&](const QDateTime& when) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    };
    writeLawFile({QStringLiteral("ab_b"), QStringLiteral("الأول"), QStringLiteral("ab_e")});
    stamp(written);
    EXPECT_EQ(lookUp(), QStringLiteral("الأول"));

    // The same size and modification time: the file is taken as unchanged
    // and not read again.
    writeLawFile({QStringLiteral("ab_b"), QStringLiteral("الثان"), QStringLiteral("ab_e")});
    stamp(written);
    EXPECT_EQ(lookUp(), QStringLiteral("الأول"));

    // A new modification time, or a new size, brings the new text.
    stamp(written.addSecs(5));
    EXPECT_EQ(lookUp(), QStringLiteral("الثان"));
    writeLawFile({QStringLiteral("ab_b"), QStringLiteral("الثالث الأطول"), QStringLiteral("ab_e")});
    stamp(written.addSecs(5));
    EXPECT_EQ(lookUp(), QStringLiteral("الثالث الأطول"));
    // Removed: the lookup fails instead of answering from memory.
    removeLawFile();
    ModalScript script;
    script.messageBox();
    click(fmMain->BitBtn3);
    click(fmMain->chkAb);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(script.boxes().size(), 1u);
}

TEST_F(LawExcerpts, MissingFileGivesOneErrorNoWindowAndTheCursorsBack)
{
    removeLawFile();
    ModalScript script;
    script.messageBox();
    click(fmMain->BitBtn3);
    click(fmMain->chkjd);  // the grandfather's dialog must not open either
    EXPECT_SCRIPT_DONE(script);
    ASSERT_EQ(script.boxes().size(), 1u);
    EXPECT_EQ(script.boxes()[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(script.boxes()[0].text.contains(QStringLiteral("qanoon.txt"))) << script.boxes()[0].text;
    EXPECT_TRUE(script.boxes()[0].text.contains(QStringLiteral("غير موجود"))) << script.boxes()[0].text;
    EXPECT_FALSE(report->isVisible());
    EXPECT_FALSE(HowInheritsMode());
    EXPECT_FALSE(helpCursor(fmMain));
    EXPECT_FALSE(helpCursor(fmMain->chkjd));
    EXPECT_TRUE(report->Memo1->toPlainText().isEmpty());
}

TEST_F(LawExcerpts, MissingFileInTheModeLeavesTheFatherUnticked)
{
    removeLawFile();
    ModalScript script;
    script.messageBox();
    click(fmMain->BitBtn3);
    click(fmMain->chkAb);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(script.boxes().size(), 1u);
    EXPECT_FALSE(fmMain->chkAb->isChecked());
}

TEST_F(LawExcerpts, ExcerptMissingFromTheFileIsReportedInsteadOfAnEmptyWindow)
{
    writeLawFile({QStringLiteral("om_b"), QStringLiteral("نص"), QStringLiteral("om_e")});
    ModalScript script;
    script.messageBox();
    click(fmMain->BitBtn3);
    click(fmMain->chkAb);
    EXPECT_SCRIPT_DONE(script);
    ASSERT_EQ(script.boxes().size(), 1u);
    EXPECT_TRUE(script.boxes()[0].text.contains(QStringLiteral("ab_b"))) << script.boxes()[0].text;
    EXPECT_FALSE(HowInheritsMode());
}

TEST_F(LawExcerpts, OutsideTheModeNothingIsLookedUp)
{
    removeLawFile();  // not even opened
    ModalScript script;
    script.forbidUnexpected();
    click(fmMain->chkAb);
    click(fmMain->chkOm);
    ShowLawExcerpt(QStringLiteral("ab_b"), QStringLiteral("ab_e"));
    EXPECT_SCRIPT_DONE(script);
    EXPECT_TRUE(fmMain->chkAb->isChecked());
}

TEST_F(LawExcerpts, InformationWindowIsLaidOutAsDesigned)
{
    EXPECT_EQ(report->windowTitle(), QStringLiteral("معلومات"));
    EXPECT_EQ(report->size() + QSize(8, 30), QSize(622, 410));
    EXPECT_TRUE(report->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(report->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(report->Memo1->geometry(), QRect(64, 48, 489, 257));
    EXPECT_EQ(report->Button1->geometry(), QRect(264, 312, 75, 25));
    EXPECT_EQ(report->Button1->text(), QStringLiteral("إغلاق"));
    EXPECT_TRUE(report->Memo1->isReadOnly());
    EXPECT_EQ(report->Memo1->palette().color(QPalette::Text), ui::kTextRed);
    EXPECT_TRUE(report->Memo1->font().bold());
    EXPECT_TRUE(report->Memo1->font().italic());
    // The picture follows the frame; the controls stay where they are.
    report->show();
    report->resize(700, 500);
    EXPECT_EQ(report->Image1->geometry(), QRect(0, 0, 700, 500));
    EXPECT_EQ(report->Memo1->geometry(), QRect(64, 48, 489, 257));
    report->hide();
}

}  // namespace
}  // namespace qismar::testing
