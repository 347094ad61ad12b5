// The heir detail dialogs: layout, count edits, the totals written back,
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

TEST_F(HeirDialogs, AreLaidOutAsDesigned)
{
    struct Layout {
        QDialog* dialog;
        QString caption;
        QSize layoutSize;
        std::vector<std::pair<const char*, QRect>> controls;
    };
    const Layout layouts[] = {
        {fmSon, QStringLiteral("أبناء  "), {170, 158},
         {{"Edit1", {40, 24, 41, 21}}, {"Edit2", {40, 48, 41, 21}}, {"Button1", {64, 80, 33, 25}}}},
        {fmSonOfSon, QStringLiteral("أحفاد"), {398, 232},
         {{"GroupBox1", {200, 48, 137, 89}}, {"GroupBox2", {48, 48, 145, 89}}, {"Edit1", {224, 72, 41, 21}},
          {"Edit2", {224, 96, 41, 21}}, {"Button1", {176, 152, 41, 25}}, {"Edit3", {88, 72, 41, 21}},
          {"Edit4", {88, 96, 41, 21}}}},
        {fmBrothers, QStringLiteral("إخوة"), {209, 234},
         {{"Edit1", {32, 56, 33, 21}}, {"Edit2", {80, 56, 33, 21}}, {"Edit3", {80, 88, 33, 21}},
          {"Edit4", {32, 88, 33, 21}}, {"Edit5", {32, 120, 33, 21}}, {"Edit6", {80, 120, 33, 21}},
          {"Button1", {72, 152, 57, 25}}}},
        {fmSonOfBrother, QStringLiteral("أبناء الإخوة"), {228, 220},
         {{"Edit2", {80, 80, 33, 21}}, {"Edit3", {80, 112, 33, 21}}, {"Button1", {88, 144, 49, 25}}}},
        {fmUncle, QStringLiteral("الأعمام"), {188, 163},
         {{"Edit1", {48, 24, 41, 21}}, {"Edit2", {48, 48, 41, 21}}, {"Button1", {72, 80, 33, 25}}}},
        {fmSonOfUncle, QStringLiteral("أبناء العم"), {190, 164},
         {{"Edit1", {48, 32, 41, 21}}, {"Edit2", {48, 56, 41, 21}}, {"Button1", {72, 88, 33, 25}}}},
        {fmGrandMother, QStringLiteral("الجدة"), {382, 263},
         {{"Panel1", {192, 64, 129, 97}}, {"Panel2", {48, 64, 129, 97}}, {"CheckBox1", {240, 80, 49, 25}},
          {"CheckBox2", {232, 112, 57, 25}}, {"Button1", {160, 176, 49, 25}}, {"CheckBox3", {56, 72, 97, 33}},
          {"CheckBox4", {56, 104, 97, 17}}, {"CheckBox5", {56, 128, 97, 17}}, {"RadioButton1", {208, 40, 113, 17}},
          {"RadioButton2", {64, 40, 113, 17}}}},
        {fmJd, QStringLiteral("جد"), {149, 170},
         {{"RadioButton1", {40, 40, 73, 17}}, {"RadioButton2", {32, 64, 81, 17}}, {"Button1", {56, 96, 33, 25}}}},
    };
    for (const Layout& l : layouts) {
        SCOPED_TRACE(l.caption.toStdString());
        EXPECT_EQ(l.dialog->windowTitle(), l.caption);
        EXPECT_EQ(l.dialog->size() + QSize(8, 30), l.layoutSize);
        EXPECT_EQ(l.dialog->layoutDirection(), Qt::RightToLeft);
        EXPECT_FALSE(l.dialog->windowFlags() & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint));
        for (const auto& [name, rect] : l.controls) {
            auto* w = l.dialog->findChild<QWidget*>(QString::fromLatin1(name));
            ASSERT_NE(w, nullptr) << name;
            EXPECT_EQ(w->geometry(), rect) << name;
        }
        auto* picture = l.dialog->findChild<QWidget*>(QStringLiteral("Image1"));
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->geometry(), l.dialog->rect());
    }
    // The grandfather's dialog opens at a fixed place of the screen.
    EXPECT_EQ(fmJd->pos(), QPoint(393, 182));
    EXPECT_EQ(fmSonOfBrother->findChild<QLabel*>(QStringLiteral("Label5"))->text(),
              QStringLiteral("ملحوظة: ابن الأخ لأم لا يرث"));
    EXPECT_EQ(fmSonOfBrother->findChild<QLabel*>(QStringLiteral("Label3"))->text(),
              QStringLiteral("ملحوظة: بنت الأخ لا ترث"));
}

TEST_F(HeirDialogs, CountEditsTakeOnlyDigitsAndLeadingZerosGo)
{
    ModalScript script;
    script.on<TfmSon>([](TfmSon* dialog) {
        // The first count has the focus, its "0" selected.
        EXPECT_EQ(dialog->focusWidget(), dialog->Edit1);
        EXPECT_EQ(dialog->Edit1->selectedText(), QStringLiteral("0"));
        typeOver(dialog->Edit1, QStringLiteral("3"));
        dialog->Edit1->end(false);
        QTest::keyClick(dialog->Edit1, Qt::Key_Backspace);
        EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("0"));
        QTest::keyClicks(dialog->Edit1, QStringLiteral("a -."));
        EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("0"));
        typeOver(dialog->Edit2, QStringLiteral("007"));
        EXPECT_EQ(dialog->Edit2->text(), QStringLiteral("7"));
        // Enter presses "تم".
        QTest::keyClick(dialog->Edit2, Qt::Key_Return);
        EXPECT_FALSE(dialog->isVisible());
    });
    click(fmMain->chkSons);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(fmMain->Edit9->text(), QStringLiteral("7"));
    EXPECT_TRUE(fmMain->chkSons->isChecked());
}

TEST_F(HeirDialogs, EscapeAndACloseRequestDoWhatDoneDoes)
{
    for (const bool byEscape : {true, false}) {
        SCOPED_TRACE(byEscape ? "Escape" : "close request");
        ModalScript script;
        script.on<TfmUncle>([byEscape](TfmUncle* dialog) {
            typeOver(dialog->Edit2, QStringLiteral("2"));
            if (byEscape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                dialog->close();
            EXPECT_FALSE(dialog->isVisible());
        });
        click(fmMain->chkAm);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_EQ(fmMain->Edit5->text(), QStringLiteral("2"));
        EXPECT_TRUE(fmMain->chkAm->isChecked());
        click(fmMain->chkAm);
        EXPECT_FALSE(fmMain->chkAm->isChecked());
    }
    // The grandfather's dialog: closed without a choice, the box goes.
    ModalScript script;
    script.on<TfmJd>([](TfmJd* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    click(fmMain->chkjd);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_FALSE(fmMain->chkjd->isChecked());
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
        script.on<TfmBrothers>([&c](TfmBrothers* dialog) {
            typeOver(dialog->Edit2, QStringLiteral("1"));
            pasteOver(dialog->Edit5, c.pasted);
            EXPECT_EQ(dialog->Edit5->text(), c.kept);
            click(dialog->Button1);
        });
        if (c.reported)
            script.messageBox();
        click(fmMain->chkAk);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_FALSE(fmBrothers->isVisible());
        if (c.reported) {
            ASSERT_EQ(script.boxes().size(), 1u);
            EXPECT_EQ(script.boxes()[0].icon, QMessageBox::Critical);
            EXPECT_TRUE(script.boxes()[0].text.startsWith(QStringLiteral("عدد الأخوات لأم أكبر من أن يكون عدداً من الأشخاص")))
                << script.boxes()[0].text;
            // The box is not a word longer for a longer paste.
            EXPECT_LT(script.boxes()[0].text.size(), 100);
            // The count edit keeps its previous text, and the box follows it.
            EXPECT_EQ(fmMain->Edit11->text(), QStringLiteral("0"));
            EXPECT_FALSE(fmMain->chkAk->isChecked());
        } else {
            EXPECT_TRUE(fmMain->chkAk->isChecked());
            click(fmMain->chkAk);
        }
    }
}

TEST_F(HeirDialogs, TotalsOfManyAddUpExactlyWhateverTheDigits)
{
    ModalScript script;
    script.on<TfmBrothers>([](TfmBrothers* dialog) {
        const char* counts[] = {"1000000", "2000000", "3", "4", "5"};
        QLineEdit* edits[] = {dialog->Edit1, dialog->Edit2, dialog->Edit3, dialog->Edit4, dialog->Edit5};
        for (int i = 0; i < 5; ++i)
            typeOver(edits[i], QString::fromLatin1(counts[i]));
        // A count pasted in Arabic-Indic digits counts as well.
        pasteOver(dialog->Edit6, QStringLiteral("٦"));
        click(dialog->Button1);
    });
    click(fmMain->chkAk);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(fmMain->Edit11->text(), QStringLiteral("3000018"));
}

TEST_F(HeirDialogs, NearAndFarGrandmothersAreNeverTickedTogether)
{
    ModalScript script;
    script.on<TfmGrandMother>([](TfmGrandMother* dialog) {
        EXPECT_TRUE(dialog->RadioButton1->isChecked());
        EXPECT_FALSE(dialog->CheckBox3->isEnabled());
        click(dialog->CheckBox1);
        EXPECT_TRUE(dialog->CheckBox1->isChecked());
        click(dialog->RadioButton2);
        EXPECT_FALSE(dialog->CheckBox1->isChecked());
        EXPECT_FALSE(dialog->CheckBox1->isEnabled());
        EXPECT_TRUE(dialog->CheckBox3->isEnabled());
        click(dialog->CheckBox4);
        click(dialog->RadioButton1);
        EXPECT_FALSE(dialog->CheckBox4->isChecked());
        for (QCheckBox* box : dialog->boxes())
            EXPECT_FALSE(box->isChecked()) << box->objectName();
        click(dialog->Button1);
    });
    click(fmMain->chkjadh);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(fmMain->Edit3->text(), QStringLiteral("0"));
    EXPECT_FALSE(fmMain->chkjadh->isChecked());
}

TEST_F(HeirDialogs, GrandmothersTickedAreCountedAndUntickingClearsThem)
{
    ModalScript script;
    script.on<TfmGrandMother>([](TfmGrandMother* dialog) {
        click(dialog->CheckBox1);
        click(dialog->CheckBox2);
        click(dialog->Button1);
    });
    click(fmMain->chkjadh);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_TRUE(fmMain->chkjadh->isChecked());
    EXPECT_EQ(fmMain->Edit3->text(), QStringLiteral("2"));

    // Unticking clears the boxes and the count, but keeps the group chosen.
    fmGrandMother->RadioButton2->setChecked(true);
    fmGrandMother->CheckBox3->setChecked(true);
    ModalScript none;
    none.forbidUnexpected();
    click(fmMain->chkjadh);
    EXPECT_SCRIPT_DONE(none);
    for (QCheckBox* box : fmGrandMother->boxes())
        EXPECT_FALSE(box->isChecked()) << box->objectName();
    EXPECT_EQ(fmMain->Edit3->text(), QStringLiteral("0"));
    EXPECT_TRUE(fmGrandMother->RadioButton2->isChecked());
}

TEST_F(HeirDialogs, SameGrandmotherNoticeShowsOnceBothFarBoxesAreTickedAndStays)
{
    ModalScript script;
    script.on<TfmGrandMother>([](TfmGrandMother* dialog) {
        click(dialog->RadioButton2);
        click(dialog->CheckBox3);
        moveMouseOver(dialog->Image1, QPoint(10, 10));
        EXPECT_EQ(dialog->toolTip(), QString()) << "one far box is not yet the case";
        click(dialog->CheckBox5);
        moveMouseOver(dialog->Panel2, QPoint(5, 90));
        EXPECT_EQ(dialog->toolTip(), TfmGrandMother::sameGrandmotherNotice());
        // Resting anywhere over the dialog shows it, also over a box.
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), dialog->CheckBox4->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(dialog->CheckBox4, &help);
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_EQ(QToolTip::text(), TfmGrandMother::sameGrandmotherNotice());
        QToolTip::hideText();
        click(dialog->CheckBox5);
        moveMouseOver(dialog->Image1, QPoint(10, 10));
        EXPECT_EQ(dialog->toolTip(), TfmGrandMother::sameGrandmotherNotice());
        click(dialog->Button1);
    });
    click(fmMain->chkjadh);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(fmMain->Edit3->text(), QStringLiteral("1"));
}

TEST_F(HeirDialogs, GrandfatherStaysOnlyWhenOneIsChosen)
{
    {
        ModalScript script;
        script.on<TfmJd>([](TfmJd* dialog) { click(dialog->Button1); });
        click(fmMain->chkjd);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_FALSE(fmMain->chkjd->isChecked());
    }
    {
        ModalScript script;
        script.on<TfmJd>([](TfmJd* dialog) {
            click(dialog->RadioButton2);
            click(dialog->Button1);
        });
        click(fmMain->chkjd);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_TRUE(fmMain->chkjd->isChecked());
        EXPECT_TRUE(fmJd->RadioButton2->isChecked());
    }
    // Unticking clears the choice.
    click(fmMain->chkjd);
    EXPECT_FALSE(fmJd->RadioButton1->isChecked());
    EXPECT_FALSE(fmJd->RadioButton2->isChecked());
}

TEST_F(HeirDialogs, GrandchildrenPictureWritesItsNoticeIntoTheGuidanceText)
{
    moveMouseOver(fmMain->GroupBox2, QPoint(4, 4));  // navy guidance
    ModalScript script;
    script.on<TfmSonOfSon>([](TfmSonOfSon* dialog) {
        moveMouseOver(dialog->Image1, QPoint(10, 200));
        click(dialog->Button1);
    });
    click(fmMain->chkEbnEbn);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_EQ(fmMain->St1->text(), QStringLiteral("أبناء وبنات البنت لا يرثون\nأبناء وبنات بنت الابن لا يرثون"));
    EXPECT_EQ(fmMain->St1->palette().color(QPalette::WindowText), QColor(0, 0, 128));
}

}  // namespace
}  // namespace qismar::testing
