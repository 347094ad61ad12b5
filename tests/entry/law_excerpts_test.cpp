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
std::function<void(LawExcerptWindow*)> readExcerpt(QStringList* shown)
{
    return [shown](LawExcerptWindow* window) {
        shown->append(window->excerptText->toPlainText());
        click(window->closeButton);
    };
}

bool helpCursor(QWidget* w) { return w->cursor().shape() == Qt::WhatsThisCursor; }

TEST_F(LawExcerpts, HowButtonTurnsTheModeOnAndOffAndMarksTheHeirControls)
{
    ModalScript script;
    click(entry().howInheritsButton);
    EXPECT_TRUE(howInheritsOn());
    for (QWidget* marked : {static_cast<QWidget*>(&entry()), static_cast<QWidget*>(entry().howInheritsButton),
                            static_cast<QWidget*>(entry().heirsFrame), static_cast<QWidget*>(entry().guidance),
                            static_cast<QWidget*>(entry().fatherBox), static_cast<QWidget*>(entry().cousinsBox),
                            static_cast<QWidget*>(entry().background), static_cast<QWidget*>(&dialog(HeirGroup::Children)),
                            static_cast<QWidget*>(dialog(HeirGroup::Children).countEdit(&EstateCase::daughters)),
                            static_cast<QWidget*>(dialog(HeirGroup::Siblings).countEdit(&EstateCase::uterineBrothers))})
        EXPECT_TRUE(helpCursor(marked)) << marked->objectName();
    // Controls that are not marked keep their own cursor.
    EXPECT_EQ(entry().divideButton->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(entry().manButton->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(entry().estateEdit->cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(dialog(HeirGroup::Children).doneButton->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(helpCursor(&grandmothersDialog()));
    EXPECT_FALSE(helpCursor(&grandfatherDialog()));
    // A dialog made while the mode is on shows the help cursor at once.
    EXPECT_TRUE(helpCursor(dialog(HeirGroup::Cousins).countEdit(&EstateCase::fullUnclesSons)));

    click(entry().howInheritsButton);
    EXPECT_FALSE(howInheritsOn());
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(entry().cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(helpCursor(entry().fatherBox));
    // A count edit gets its text cursor back.
    EXPECT_EQ(dialog(HeirGroup::Children).countEdit(&EstateCase::sons)->cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(dialog(HeirGroup::Cousins).countEdit(&EstateCase::fullUnclesSons)->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(LawExcerpts, ParentAndSpouseClickInTheModeShowsTheExcerptOnceAndLeavesTheBoxUnticked)
{
    struct Case {
        QCheckBox* EntryWindow::*box;
        const char* key;
    };
    for (const Case& c : {Case{&EntryWindow::fatherBox, "ab"}, Case{&EntryWindow::motherBox, "om"}, Case{&EntryWindow::spouseBox, "zoj"}}) {
        QCheckBox* box = entry().*c.box;
        for (const bool tickedBefore : {false, true}) {
            SCOPED_TRACE(std::string(c.key) + (tickedBefore ? " ticked" : " unticked"));
            if (box->isChecked() != tickedBefore)
                click(box);
            QStringList shown;
            ModalScript script;
            script.on<LawExcerptWindow>(readExcerpt(&shown));
            click(entry().howInheritsButton);
            click(box);
            EXPECT_SCRIPT_DONE(script);
            EXPECT_EQ(shown, QStringList{defaultExcerpt(c.key)});
            EXPECT_FALSE(box->isChecked());
            EXPECT_FALSE(howInheritsOn());
            EXPECT_FALSE(helpCursor(box));
        }
        // The mode has ended: the next click acts normally.
        ModalScript none;
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
        script.on<LawExcerptWindow>(readExcerpt(&shown));
        script.on<GrandfatherDialog>([](GrandfatherDialog* dialog) {
            click(dialog->fathersFather);
            click(dialog->doneButton);
        });
        click(entry().howInheritsButton);
        click(entry().grandfatherBox);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_EQ(shown, QStringList{defaultExcerpt("jd")});
        EXPECT_TRUE(entry().grandfatherBox->isChecked());
    }
    {
        QStringList shown;
        ModalScript script;
        script.on<LawExcerptWindow>(readExcerpt(&shown));
        script.on<GrandmothersDialog>([](GrandmothersDialog* dialog) {
            click(dialog->fathersMother);
            click(dialog->doneButton);
        });
        click(entry().howInheritsButton);
        click(entry().grandmothersBox);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_EQ(shown, QStringList{defaultExcerpt("jdh")});
        EXPECT_EQ(entry().grandmothersCount->text(), QStringLiteral("1"));
    }
}

TEST_F(LawExcerpts, CountEditsOfTheDialogsAnswerWithTheirArticles)
{
    struct Case {
        HeirGroup group;
        HeadCount EstateCase::*field;  // the count field clicked, or none for the label below
        const char* key;
    };
    const Case cases[] = {
        {HeirGroup::Children, &EstateCase::sons, "asbh"},
        {HeirGroup::Children, &EstateCase::daughters, "bent"},
        {HeirGroup::Children, nullptr, "bent"},  // the label "إناث"
        {HeirGroup::Grandchildren, &EstateCase::sonsSons, "asbh"},
        {HeirGroup::Grandchildren, &EstateCase::sonsDaughters, "bentebn"},
        {HeirGroup::Grandchildren, &EstateCase::sonsSonsSons, "asbh"},
        {HeirGroup::Grandchildren, &EstateCase::sonsSonsDaughters, "bentebn"},
        {HeirGroup::Siblings, &EstateCase::fullSisters, "oktsh"},
        {HeirGroup::Siblings, &EstateCase::fullBrothers, "asbh"},
        {HeirGroup::Siblings, &EstateCase::paternalBrothers, "asbh"},
        {HeirGroup::Siblings, &EstateCase::paternalSisters, "oktliab"},
        {HeirGroup::Siblings, &EstateCase::uterineSisters, "ebnom"},
        {HeirGroup::Siblings, &EstateCase::uterineBrothers, "ebnom"},
        {HeirGroup::Nephews, &EstateCase::fullBrothersSons, "asbh"},
        {HeirGroup::Nephews, &EstateCase::paternalBrothersSons, "asbh"},
        {HeirGroup::Uncles, &EstateCase::fullUncles, "asbh"},
        {HeirGroup::Uncles, &EstateCase::paternalUncles, "asbh"},
        {HeirGroup::Cousins, &EstateCase::fullUnclesSons, "asbh"},
        {HeirGroup::Cousins, &EstateCase::paternalUnclesSons, "asbh"},
    };
    for (const Case& c : cases) {
        CountingDialog& counting = dialog(c.group);
        QWidget* control = c.field ? static_cast<QWidget*>(counting.countEdit(c.field)) : counting.labels()[1];
        SCOPED_TRACE(control->window()->objectName().toStdString() + "." + control->objectName().toStdString());
        QStringList shown;
        ModalScript script;
        // The mode survives the opening of the dialog.
        script.on<CountingDialog>([&](CountingDialog* dialog) {
            EXPECT_TRUE(howInheritsOn());
            EXPECT_TRUE(helpCursor(dialog));
            click(control);
            EXPECT_FALSE(howInheritsOn());
            // Out of the mode, a click only places the caret.
            click(control);
            click(dialog->doneButton);
        });
        script.on<LawExcerptWindow>(readExcerpt(&shown));
        click(entry().howInheritsButton);
        click(entry().box(c.group));
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
        script.on<LawExcerptWindow>(readExcerpt(&shown));
        click(entry().howInheritsButton);
        click(entry().fatherBox);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_EQ(shown, QStringList{c.shown});
        EXPECT_FALSE(entry().fatherBox->isChecked());
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
    script.on<LawExcerptWindow>(readExcerpt(&shown));
    click(entry().howInheritsButton);
    click(entry().fatherBox);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(shown, QStringList{QStringLiteral("من مجلد البرنامج")});

    // A file in the current folder wins over the one beside the program.
    writeLawFile({QStringLiteral("ab_b"), QStringLiteral("من المجلد الحالي"), QStringLiteral("ab_e")});
    shown.clear();
    ModalScript again;
    again.on<LawExcerptWindow>(readExcerpt(&shown));
    click(entry().howInheritsButton);
    click(entry().fatherBox);
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
        click(entry().howInheritsButton);
        click(entry().fatherBox);
        EXPECT_SCRIPT_DONE(script);
        ASSERT_EQ(script.boxes().size(), 1u);
        EXPECT_EQ(script.boxes()[0].icon, QMessageBox::Critical);
        EXPECT_TRUE(script.boxes()[0].text.startsWith(c.error)) << script.boxes()[0].text;
        EXPECT_FALSE(excerptWindow().isVisible());
        EXPECT_FALSE(howInheritsOn());
    }
}

TEST_F(LawExcerpts, LongLineOfAnExcerptIsShownWhole)
{
    const QByteArray line = longLineBytes();
    writeLawFileBytes(QByteArray("ab_b\r\n") + line + QByteArray("\r\nab_e\r\n"));
    QStringList shown;
    ModalScript script;
    script.on<LawExcerptWindow>(readExcerpt(&shown));
    click(entry().howInheritsButton);
    click(entry().fatherBox);
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
        script.on<LawExcerptWindow>(readExcerpt(&shown));
        click(entry().howInheritsButton);
        click(entry().fatherBox);
        EXPECT_SCRIPT_DONE(script);
        if (entry().fatherBox->isChecked())
            click(entry().fatherBox);
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
    click(entry().howInheritsButton);
    click(entry().fatherBox);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(script.boxes().size(), 1u);
}

TEST_F(LawExcerpts, MissingFileGivesOneErrorNoWindowAndTheCursorsBack)
{
    removeLawFile();
    ModalScript script;
    script.messageBox();
    click(entry().howInheritsButton);
    click(entry().grandfatherBox);  // the grandfather's dialog must not open either
    EXPECT_SCRIPT_DONE(script);
    ASSERT_EQ(script.boxes().size(), 1u);
    EXPECT_EQ(script.boxes()[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(script.boxes()[0].text.contains(QStringLiteral("qanoon.txt"))) << script.boxes()[0].text;
    EXPECT_TRUE(script.boxes()[0].text.contains(QStringLiteral("غير موجود"))) << script.boxes()[0].text;
    EXPECT_FALSE(excerptWindow().isVisible());
    EXPECT_FALSE(howInheritsOn());
    EXPECT_FALSE(helpCursor(&entry()));
    EXPECT_FALSE(helpCursor(entry().grandfatherBox));
    EXPECT_TRUE(excerptWindow().excerptText->toPlainText().isEmpty());
}

TEST_F(LawExcerpts, MissingFileInTheModeLeavesTheFatherUnticked)
{
    removeLawFile();
    ModalScript script;
    script.messageBox();
    click(entry().howInheritsButton);
    click(entry().fatherBox);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(script.boxes().size(), 1u);
    EXPECT_FALSE(entry().fatherBox->isChecked());
}

TEST_F(LawExcerpts, ExcerptMissingFromTheFileIsReportedInsteadOfAnEmptyWindow)
{
    writeLawFile({QStringLiteral("om_b"), QStringLiteral("نص"), QStringLiteral("om_e")});
    ModalScript script;
    script.messageBox();
    click(entry().howInheritsButton);
    click(entry().fatherBox);
    EXPECT_SCRIPT_DONE(script);
    ASSERT_EQ(script.boxes().size(), 1u);
    EXPECT_TRUE(script.boxes()[0].text.contains(QStringLiteral("ab_b"))) << script.boxes()[0].text;
    EXPECT_FALSE(howInheritsOn());
}

TEST_F(LawExcerpts, OutsideTheModeNothingIsLookedUp)
{
    removeLawFile();  // not even opened
    ModalScript script;
    click(entry().fatherBox);
    click(entry().motherBox);
    entry().howInherits().showExcerpt(QStringLiteral("ab_b"), QStringLiteral("ab_e"));
    EXPECT_SCRIPT_DONE(script);
    EXPECT_TRUE(entry().fatherBox->isChecked());
}

TEST_F(LawExcerpts, InformationWindowStaysOnTopReadsOnlyAndItsPictureFollowsTheFrame)
{
    LawExcerptWindow& window = excerptWindow();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("معلومات"));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(window.excerptText->isReadOnly());
    EXPECT_EQ(window.excerptText->palette().color(QPalette::Text), ui::kTextRed);
    EXPECT_TRUE(window.excerptText->font().bold());
    EXPECT_TRUE(window.excerptText->font().italic());
    // The picture follows the frame; the controls stay where they are.
    window.show();
    const QRect text = window.excerptText->geometry();
    const QRect button = window.closeButton->geometry();
    window.resize(700, 500);
    EXPECT_EQ(window.background->geometry(), QRect(0, 0, 700, 500));
    EXPECT_EQ(window.excerptText->geometry(), text);
    EXPECT_EQ(window.closeButton->geometry(), button);
    window.hide();
}

}  // namespace
}  // namespace qismar::testing
