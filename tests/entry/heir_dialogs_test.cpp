// The heir detail dialogs: the case field of each count, count edits, the totals,
// failed counts, the grandmothers and the grandfather.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>

#include "tests/entry/gui_test_support.h"

namespace qismar::testing {
namespace {

using HeirDialogs = EntryWindows;

TEST_F(HeirDialogs, EachCountFieldEditsItsOwnFieldOfTheCaseAndNamesIt)
{
    for (int g = 0; g < kHeirGroupCount; ++g) {
        const HeirGroup group = static_cast<HeirGroup>(g);
        const CountingGroup& table = countingGroup(group);
        CountingDialog& shown = dialog(group);
        SCOPED_TRACE(table.objectName);
        // The picture follows the dialog's client area.
        EXPECT_EQ(shown.background->geometry(), shown.rect());
        QStringList names;
        for (const CountField& field : table.fields) {
            QLineEdit* edit = shown.countEdit(field.count());
            ASSERT_NE(edit, nullptr) << field.objectName().toStdString();
            names << edit->accessibleName();
            // Seven of this kind alone: the case holds seven there and
            // nothing in the class's other fields.
            ModalScript script;
            script.on<CountingDialog>(fillCounts({{field.count(), QStringLiteral("7")}}));
            click(entry().box(group));
            EXPECT_SCRIPT_DONE(script);
            EstateCase expected;
            expected.*(field.count()) = HeadCount(7);
            expected.deriveEntryWindowState();
            EXPECT_EQ(entry().estateCase(), expected) << edit->accessibleName();
            EXPECT_EQ(entry().countEdit(group)->text(), QStringLiteral("7"));
            click(entry().box(group));
            ASSERT_EQ(entry().estateCase(), EstateCase{});
        }
        // Every field says what it counts, each something else.
        names.removeDuplicates();
        EXPECT_EQ(names.size(), qsizetype(table.fields.size())) << names.join(QLatin1Char(' '));
        for (const QString& name : names)
            EXPECT_TRUE(name.startsWith(QStringLiteral("عدد "))) << name;
    }
    // The grandfather's dialog opens at a fixed place of the screen, beside
    // the entry window's grandfather box.
    EXPECT_EQ(grandfatherDialog().pos(), QPoint(393, 182));
}

TEST_F(HeirDialogs, CountEditsTakeOnlyDigitsAndLeadingZerosGo)
{
    ModalScript script;
    script.on<CountingDialog>([](CountingDialog* dialog) {
        QLineEdit* sons = dialog->countEdit(&EstateCase::sons);
        QLineEdit* daughters = dialog->countEdit(&EstateCase::daughters);
        // The first count has the focus, its "0" selected.
        EXPECT_EQ(dialog->focusWidget(), sons);
        EXPECT_EQ(sons->selectedText(), QStringLiteral("0"));
        typeOver(sons, QStringLiteral("3"));
        sons->end(false);
        QTest::keyClick(sons, Qt::Key_Backspace);
        EXPECT_EQ(sons->text(), QStringLiteral("0"));
        QTest::keyClicks(sons, QStringLiteral("a -."));
        EXPECT_EQ(sons->text(), QStringLiteral("0"));
        typeOver(daughters, QStringLiteral("007"));
        EXPECT_EQ(daughters->text(), QStringLiteral("7"));
        // Enter presses "تم".
        QTest::keyClick(daughters, Qt::Key_Return);
        EXPECT_FALSE(dialog->isVisible());
    });
    click(entry().childrenBox);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(entry().childrenCount->text(), QStringLiteral("7"));
    EXPECT_TRUE(entry().childrenBox->isChecked());
    EXPECT_EQ(entry().estateCase().daughters, HeadCount(7));
    EXPECT_TRUE(entry().estateCase().sons.isZero());
}

TEST_F(HeirDialogs, EscapeAndACloseRequestDoWhatDoneDoes)
{
    for (const bool byEscape : {true, false}) {
        SCOPED_TRACE(byEscape ? "Escape" : "close request");
        ModalScript script;
        script.on<CountingDialog>([byEscape](CountingDialog* dialog) {
            typeOver(dialog->countEdit(&EstateCase::paternalUncles), QStringLiteral("2"));
            if (byEscape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                dialog->close();
            EXPECT_FALSE(dialog->isVisible());
        });
        click(entry().unclesBox);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_EQ(entry().unclesCount->text(), QStringLiteral("2"));
        EXPECT_EQ(entry().estateCase().paternalUncles, HeadCount(2));
        EXPECT_TRUE(entry().unclesBox->isChecked());
        click(entry().unclesBox);
        EXPECT_FALSE(entry().unclesBox->isChecked());
    }
    // The grandfather's dialog: closed without a choice, the box goes.
    ModalScript script;
    script.on<GrandfatherDialog>([](GrandfatherDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    click(entry().grandfatherBox);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_FALSE(entry().grandfatherBox->isChecked());
}

TEST_F(HeirDialogs, PastedTextIsRefusedUnlessItIsACountAndTooLargeACountIsReported)
{
    struct Case {
        QString pasted;
        QString kept;    // what the count edit holds after the paste
        bool reported;   // "تم" reports the count and the dialog still closes
    };
    const QString billion = QStringLiteral("1000000000");
    const Case cases[] = {
        {QStringLiteral("ثلاثة"), QStringLiteral("0"), false},
        {QStringLiteral("-1"), QStringLiteral("0"), false},
        {QStringLiteral("0.5"), QStringLiteral("0"), false},
        {QStringLiteral("2 "), QStringLiteral("0"), false},
        {billion, billion, false},
        {QStringLiteral("1000000001"), QStringLiteral("1000000001"), true},
        {QStringLiteral("99999999999999999999"), QStringLiteral("99999999999999999999"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pasted.toStdString());
        ModalScript script;
        script.on<CountingDialog>([&c](CountingDialog* dialog) {
            typeOver(dialog->countEdit(&EstateCase::fullBrothers), QStringLiteral("1"));
            QLineEdit* uterineSisters = dialog->countEdit(&EstateCase::uterineSisters);
            pasteOver(uterineSisters, c.pasted);
            EXPECT_EQ(uterineSisters->text(), c.kept);
            click(dialog->doneButton);
        });
        if (c.reported)
            script.messageBox();
        click(entry().siblingsBox);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_FALSE(dialog(HeirGroup::Siblings).isVisible());
        if (c.reported) {
            ASSERT_EQ(script.boxes().size(), 1u);
            EXPECT_EQ(script.boxes()[0].icon, QMessageBox::Critical);
            EXPECT_TRUE(script.boxes()[0].text.startsWith(QStringLiteral("عدد الأخوات لأم أكبر من أن يكون عدداً من الأشخاص")))
                << script.boxes()[0].text;
            // The box is not a word longer for a longer paste.
            EXPECT_LT(script.boxes()[0].text.size(), 100);
            // The case keeps its previous counts, and the box and the count show them.
            EXPECT_EQ(entry().estateCase(), EstateCase{});
            EXPECT_EQ(entry().siblingsCount->text(), QStringLiteral("0"));
            EXPECT_FALSE(entry().siblingsBox->isChecked());
        } else {
            EXPECT_TRUE(entry().siblingsBox->isChecked());
            click(entry().siblingsBox);
        }
    }
}

TEST_F(HeirDialogs, TotalsOfManyAddUpExactlyWhateverTheDigits)
{
    ModalScript script;
    script.on<CountingDialog>([](CountingDialog* dialog) {
        const char* counts[] = {"1000000", "2000000", "3", "4", "5"};
        for (int i = 0; i < 5; ++i)
            typeOver(dialog->countEdits()[std::size_t(i)], QString::fromLatin1(counts[i]));
        // A count pasted in Arabic-Indic digits counts as well.
        pasteOver(dialog->countEdits()[5], QStringLiteral("٦"));
        click(dialog->doneButton);
    });
    click(entry().siblingsBox);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(entry().siblingsCount->text(), QStringLiteral("3000018"));
    EXPECT_EQ(entry().estateCase().siblingTotal, HeadCount(3000018));
    EXPECT_EQ(entry().estateCase().uterineBrothers, HeadCount(6));
}

TEST_F(HeirDialogs, NearAndFarGrandmothersAreNeverTickedTogether)
{
    ModalScript script;
    script.on<GrandmothersDialog>([](GrandmothersDialog* dialog) {
        EXPECT_TRUE(dialog->nearChoice->isChecked());
        EXPECT_FALSE(dialog->mothersMothersMother->isEnabled());
        click(dialog->mothersMother);
        EXPECT_TRUE(dialog->mothersMother->isChecked());
        click(dialog->farChoice);
        EXPECT_FALSE(dialog->mothersMother->isChecked());
        EXPECT_FALSE(dialog->mothersMother->isEnabled());
        EXPECT_TRUE(dialog->mothersMothersMother->isEnabled());
        click(dialog->fathersMothersMother);
        click(dialog->nearChoice);
        EXPECT_FALSE(dialog->fathersMothersMother->isChecked());
        for (QCheckBox* box : dialog->boxes())
            EXPECT_FALSE(box->isChecked()) << box->objectName();
        click(dialog->doneButton);
    });
    click(entry().grandmothersBox);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(entry().grandmothersCount->text(), QStringLiteral("0"));
    EXPECT_FALSE(entry().grandmothersBox->isChecked());
}

TEST_F(HeirDialogs, GrandmothersTickedAreCountedAndUntickingClearsThem)
{
    ModalScript script;
    script.on<GrandmothersDialog>([](GrandmothersDialog* dialog) {
        click(dialog->mothersMother);
        click(dialog->fathersMother);
        click(dialog->doneButton);
    });
    click(entry().grandmothersBox);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_TRUE(entry().grandmothersBox->isChecked());
    EXPECT_EQ(entry().grandmothersCount->text(), QStringLiteral("2"));
    EXPECT_TRUE(entry().estateCase().mothersMother && entry().estateCase().fathersMother);

    // Unticking clears the grandmothers and the count, but keeps the group
    // last chosen in the dialog.
    grandmothersDialog().farChoice->setChecked(true);
    ModalScript none;
    click(entry().grandmothersBox);
    EXPECT_SCRIPT_DONE(none);
    for (QCheckBox* box : grandmothersDialog().boxes())
        EXPECT_FALSE(box->isChecked()) << box->objectName();
    EXPECT_EQ(entry().grandmothersCount->text(), QStringLiteral("0"));
    EXPECT_EQ(entry().estateCase(), EstateCase{});
    EXPECT_TRUE(grandmothersDialog().farChoice->isChecked());
}

TEST_F(HeirDialogs, SameGrandmotherNoticeShowsOnceBothFarBoxesAreTickedAndStays)
{
    ModalScript script;
    script.on<GrandmothersDialog>([](GrandmothersDialog* dialog) {
        click(dialog->farChoice);
        click(dialog->mothersMothersMother);
        moveMouseOver(dialog->background, QPoint(10, 10));
        EXPECT_EQ(dialog->toolTip(), QString()) << "one far box is not yet the case";
        click(dialog->fathersFathersMother);
        moveMouseOver(dialog->farPanel, QPoint(5, 90));
        EXPECT_EQ(dialog->toolTip(), GrandmothersDialog::sameGrandmotherNotice());
        // Resting anywhere over the dialog shows it, also over a box.
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), dialog->fathersMothersMother->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(dialog->fathersMothersMother, &help);
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_EQ(QToolTip::text(), GrandmothersDialog::sameGrandmotherNotice());
        QToolTip::hideText();
        click(dialog->fathersFathersMother);
        moveMouseOver(dialog->background, QPoint(10, 10));
        EXPECT_EQ(dialog->toolTip(), GrandmothersDialog::sameGrandmotherNotice());
        click(dialog->doneButton);
    });
    click(entry().grandmothersBox);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(entry().grandmothersCount->text(), QStringLiteral("1"));
}

TEST_F(HeirDialogs, GrandfatherStaysOnlyWhenOneIsChosen)
{
    {
        ModalScript script;
        script.on<GrandfatherDialog>([](GrandfatherDialog* dialog) { click(dialog->doneButton); });
        click(entry().grandfatherBox);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_FALSE(entry().grandfatherBox->isChecked());
    }
    {
        ModalScript script;
        script.on<GrandfatherDialog>([](GrandfatherDialog* dialog) {
            click(dialog->fathersFathersFather);
            click(dialog->doneButton);
        });
        click(entry().grandfatherBox);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_TRUE(entry().grandfatherBox->isChecked());
        EXPECT_TRUE(entry().estateCase().grandfather);
        EXPECT_TRUE(grandfatherDialog().fathersFathersFather->isChecked());
    }
    // Unticking clears the choice.
    click(entry().grandfatherBox);
    EXPECT_FALSE(entry().estateCase().grandfather);
    EXPECT_FALSE(grandfatherDialog().fathersFather->isChecked());
    EXPECT_FALSE(grandfatherDialog().fathersFathersFather->isChecked());
}

TEST_F(HeirDialogs, GrandchildrenPictureWritesItsNoticeIntoTheGuidanceText)
{
    moveMouseOver(entry().deceasedFrame, QPoint(4, 4));  // navy guidance
    ModalScript script;
    script.on<CountingDialog>([](CountingDialog* dialog) {
        moveMouseOver(dialog->background, QPoint(10, 200));
        click(dialog->doneButton);
    });
    click(entry().grandchildrenBox);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(entry().guidance->text(), QStringLiteral("أبناء وبنات البنت لا يرثون\nأبناء وبنات بنت الابن لا يرثون"));
    EXPECT_EQ(entry().guidance->palette().color(QPalette::WindowText), QColor(0, 0, 128));
}

}  // namespace
}  // namespace qismar::testing
