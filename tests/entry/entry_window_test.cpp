// The heir-entry window: layout, the boxes and their dialogs, the spouse and
// the sex of the deceased, the estate edit, the guidance texts.
#include <QAccessible>
#include <cmath>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "results/amount_cell.h"
#include "tests/entry/gui_test_support.h"
#include "ui/ui_common.h"

namespace qismar::testing {
namespace {

using EntryWindow = EntryWindows;

struct Placement {
    const char* name;
    QRect rect;
};

TEST_F(EntryWindow, PlacesEveryControlWhereTheLayoutSays)
{
    const Placement placements[] = {
        {"GroupBox1", {40, 40, 385, 345}},  {"St1", {69, 264, 332, 105}},     {"GroupBox2", {438, 38, 136, 91}},
        {"RadioButton1", {491, 69, 49, 20}}, {"RadioButton2", {482, 98, 58, 20}}, {"GroupBox3", {438, 133, 136, 121}},
        {"edttarikh", {458, 171, 106, 24}},  {"BitBtn6", {458, 201, 106, 28}},  {"Label1", {442, 231, 128, 18}},
        {"BitBtn2", {464, 266, 89, 41}},     {"BitBtn3", {464, 314, 89, 41}},   {"BitBtn1", {464, 362, 89, 41}},
        {"BitBtn4", {242, 400, 140, 36}},    {"BitBtn5", {82, 400, 140, 36}},   {"Image1", {0, 0, 632, 481}},
        {"chkAb", {309, 85, 84, 21}},        {"Edit7", {270, 75, 30, 24}},      {"chkOm", {309, 114, 84, 21}},
        {"Edit8", {270, 104, 30, 24}},       {"chkZoj", {309, 142, 84, 21}},    {"Edit1", {270, 133, 30, 24}},
        {"chkSons", {309, 171, 84, 21}},     {"Edit9", {270, 162, 30, 24}},     {"chkEbnEbn", {309, 200, 84, 21}},
        {"Edit10", {270, 190, 30, 24}},      {"chkAk", {309, 229, 84, 21}},     {"Edit11", {270, 219, 30, 24}},
        {"chkEbnAk", {107, 85, 94, 21}},     {"Edit2", {78, 75, 30, 24}},       {"chkAm", {117, 114, 84, 21}},
        {"Edit5", {78, 104, 30, 24}},        {"chkjd", {117, 142, 84, 21}},     {"Edit6", {78, 133, 30, 24}},
        {"chkjadh", {117, 171, 84, 21}},     {"Edit3", {78, 162, 30, 24}},      {"chkEbnAm", {107, 200, 94, 21}},
        {"Edit4", {78, 190, 30, 24}},
    };
    for (const Placement& p : placements) {
        auto* w = fmMain->findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->geometry(), p.rect) << p.name;
    }
    // 640 x 511 with its frame (the layout's 461 and the row of the case
    // files): the client area is the picture's 632 x 481.
    EXPECT_EQ(fmMain->size(), QSize(632, 481));
    EXPECT_EQ(fmMain->layoutDirection(), Qt::RightToLeft);
    // A title bar without any buttons.
    const Qt::WindowFlags flags = fmMain->windowFlags();
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_FALSE(flags & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowMaximizeButtonHint));
}

TEST_F(EntryWindow, StartsWithTheCaptionsToolTipsAndValuesOfTheLayout)
{
    struct Text {
        QWidget* widget;
        QString text;  // caption or edit text
        QString tip;
    };
    const Text texts[] = {
        {fmMain->BitBtn2, QStringLiteral("  قسم"), QString()},
        {fmMain->BitBtn3, QStringLiteral("كيف يرث؟"), QString()},
        {fmMain->BitBtn1, QStringLiteral("عودة"), QString()},
        {fmMain->RadioButton1, QStringLiteral("رجل"), QStringLiteral("المتوفى رجل")},
        {fmMain->RadioButton2, QStringLiteral("امرأة"), QStringLiteral(" المتوفى امرأة")},
        {fmMain->edttarikh, QStringLiteral("0"), QStringLiteral("قيمة التركة بالعملة ")},
        {fmMain->St1, QStringLiteral("  "), QStringLiteral("التوجيهات والملاحظات")},
        {fmMain->chkAb, QStringLiteral("أب"), QStringLiteral("أبو الميت")},
        {fmMain->chkOm, QStringLiteral("أم"), QStringLiteral("أم الميت")},
        {fmMain->chkZoj, QStringLiteral("زوجات"), QStringLiteral("زوجات الميت ")},
        {fmMain->chkSons, QStringLiteral("أبناء"), QStringLiteral("أبناء الميت")},
        {fmMain->chkEbnEbn, QStringLiteral("أحفاد"), QStringLiteral("حفدة الميت")},
        {fmMain->chkAk, QStringLiteral("إخوة"), QStringLiteral("إخوة الميت")},
        {fmMain->chkEbnAk, QStringLiteral("أبناء الإخوة"),
         QStringLiteral("أبناء إخوة الميت ... بنات الإخوة وأبناء الأخوات لا يرثون")},
        {fmMain->chkAm, QStringLiteral("أعمام"), QStringLiteral("أعمام الميت ... العمات لا يرثن")},
        {fmMain->chkjd, QStringLiteral("جد"), QStringLiteral("جد الميت لأبيه ... الجد لأم لا يرث")},
        {fmMain->chkjadh, QStringLiteral("جدة"), QStringLiteral("جدة الميت")},
        {fmMain->chkEbnAm, QStringLiteral("أبناء الأعمام"),
         QStringLiteral("أبناء عم الميت ... بنات الأعمام وأبناء العمات لا يرثون")},
        {fmMain->Edit7, QStringLiteral("1"), QString()},
        {fmMain->Edit8, QStringLiteral("1"), QString()},
        {fmMain->Edit1, QStringLiteral("1"), QStringLiteral("عدد الزوجات")},
        {fmMain->Edit9, QStringLiteral("0"), QStringLiteral("عدد الأبناء")},
        {fmMain->Edit10, QStringLiteral("0"), QStringLiteral("عدد الحفدة")},
        {fmMain->Edit11, QStringLiteral("0"), QStringLiteral("عدد الإخوة")},
        {fmMain->Edit2, QStringLiteral("0"), QStringLiteral("عدد أبناء الإخوة")},
        {fmMain->Edit5, QStringLiteral("0"), QStringLiteral("عدد الأعمام")},
        {fmMain->Edit6, QStringLiteral("1"), QString()},
        {fmMain->Edit3, QStringLiteral("1"), QStringLiteral("عدد الجدات")},
        {fmMain->Edit4, QStringLiteral("0"), QStringLiteral("عدد أبناء الأعمام")},
    };
    for (const Text& t : texts) {
        QString text;
        if (auto* button = qobject_cast<QAbstractButton*>(t.widget))
            text = button->text();
        else if (auto* edit = qobject_cast<QLineEdit*>(t.widget))
            text = edit->text();
        else if (auto* label = qobject_cast<QLabel*>(t.widget))
            text = label->text();
        EXPECT_EQ(text, t.text) << t.widget->objectName();
        EXPECT_EQ(t.widget->toolTip(), t.tip) << t.widget->objectName();
    }
    EXPECT_EQ(fmMain->GroupBox1->title(), QStringLiteral("الورثة"));
    EXPECT_EQ(fmMain->GroupBox2->title(), QStringLiteral("المتوفى"));
    EXPECT_EQ(fmMain->GroupBox3->title(), QStringLiteral("قيمة التركة"));
    EXPECT_TRUE(fmMain->RadioButton1->isChecked());
    for (QCheckBox* box : fmMain->heirBoxes())
        EXPECT_FALSE(box->isChecked()) << box->objectName();
    for (QLineEdit* count : {fmMain->Edit1, fmMain->Edit2, fmMain->Edit3, fmMain->Edit4, fmMain->Edit5, fmMain->Edit6,
                             fmMain->Edit7, fmMain->Edit8, fmMain->Edit9, fmMain->Edit10, fmMain->Edit11})
        EXPECT_FALSE(count->isEnabled()) << count->objectName();
    EXPECT_EQ(fmMain->St1->palette().color(QPalette::WindowText), QColor(0, 128, 0));
}

TEST_F(EntryWindow, TabMovesThroughTheControlsInTheLayoutOrder)
{
    // Only controls that can take the focus are reached: the disabled count
    // edits, the frames and the guidance text are passed over.
    fmMain->Edit1->setEnabled(true);  // as once a man's spouse is ticked
    const std::vector<QWidget*> expected = {
        fmMain->chkAb,   fmMain->chkOm,   fmMain->chkZoj,  fmMain->chkSons,      fmMain->chkEbnEbn,
        fmMain->chkAk,   fmMain->chkEbnAk, fmMain->chkAm,  fmMain->chkjd,        fmMain->chkjadh,
        fmMain->chkEbnAm, fmMain->Edit1,   fmMain->RadioButton1, fmMain->edttarikh, fmMain->BitBtn6,
        fmMain->BitBtn2, fmMain->BitBtn3, fmMain->BitBtn4, fmMain->BitBtn5, fmMain->BitBtn1,
    };
    fmMain->activateWindow();
    fmMain->chkAb->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitForWindowActive(fmMain));
    std::vector<QWidget*> reached{QApplication::focusWidget()};
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.push_back(QApplication::focusWidget());
    }
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(reached[i], expected[i]) << "step " << i << ": " << (reached[i] ? reached[i]->objectName() : QString());
}

// One counting box, its dialog and its count edit.
struct CountingBox {
    const char* name;
    QCheckBox* TfmMain::*box;
    QLineEdit* TfmMain::*countEdit;
    TCountingDialog* (*dialog)();
    std::vector<QString> counts;  // what the user types into the dialog's count edits
    QString total;                // what "تم" writes into the count edit
};

const CountingBox kCountingBoxes[] = {
    {"children", &TfmMain::chkSons, &TfmMain::Edit9, []() -> TCountingDialog* { return fmSon; }, {"2", "3"}, "5"},
    {"grandchildren", &TfmMain::chkEbnEbn, &TfmMain::Edit10, []() -> TCountingDialog* { return fmSonOfSon; },
     {"1", "0", "2", "1"}, "4"},
    {"siblings", &TfmMain::chkAk, &TfmMain::Edit11, []() -> TCountingDialog* { return fmBrothers; },
     {"0", "1", "0", "0", "2", "0"}, "3"},
    {"nephews", &TfmMain::chkEbnAk, &TfmMain::Edit2, []() -> TCountingDialog* { return fmSonOfBrother; }, {"2", "1"}, "3"},
    {"uncles", &TfmMain::chkAm, &TfmMain::Edit5, []() -> TCountingDialog* { return fmUncle; }, {"1", "1"}, "2"},
    {"cousins", &TfmMain::chkEbnAm, &TfmMain::Edit4, []() -> TCountingDialog* { return fmSonOfUncle; }, {"0", "12"}, "12"},
};

// Answers a counting dialog: checks that it is the expected one, types the
// counts and presses "تم".
std::function<void(TCountingDialog*)> answer(TCountingDialog* expected, std::vector<QString> counts)
{
    return [expected, counts](TCountingDialog* dialog) {
        EXPECT_EQ(dialog, expected);
        ASSERT_EQ(dialog->countEdits().size(), counts.size());
        for (std::size_t i = 0; i < counts.size(); ++i)
            typeOver(dialog->countEdits()[i], counts[i]);
        click(dialog->Button1);
    };
}

TEST_F(EntryWindow, CountingBoxStaysTickedOnlyWithANonZeroTotalAndUntickingEmptiesItsDialog)
{
    for (const CountingBox& c : kCountingBoxes) {
        SCOPED_TRACE(c.name);
        QCheckBox* box = fmMain->*c.box;
        QLineEdit* countEdit = fmMain->*c.countEdit;
        TCountingDialog* dialog = c.dialog();

        // Ticked with nothing entered: the box ends unticked, the count at "0".
        {
            ModalScript script;
            script.on<TCountingDialog>(answer(dialog, std::vector<QString>(c.counts.size(), QStringLiteral("0"))));
            click(box);
            EXPECT_SCRIPT_DONE(script);
            EXPECT_FALSE(box->isChecked());
            EXPECT_EQ(countEdit->text(), QStringLiteral("0"));
            EXPECT_FALSE(dialog->isVisible());
        }
        // Ticked with counts: the total of every count, and the box stays ticked.
        {
            ModalScript script;
            script.on<TCountingDialog>(answer(dialog, c.counts));
            click(box);
            EXPECT_SCRIPT_DONE(script);
            EXPECT_TRUE(box->isChecked());
            EXPECT_EQ(countEdit->text(), c.total);
            for (std::size_t i = 0; i < c.counts.size(); ++i)
                EXPECT_EQ(dialog->countEdits()[i]->text(), c.counts[i]);
        }
        // Unticked: the dialog's counts and the count edit go back to "0",
        // and no dialog opens.
        {
            ModalScript script;
            script.forbidUnexpected();
            click(box);
            EXPECT_SCRIPT_DONE(script);
            EXPECT_FALSE(box->isChecked());
            EXPECT_EQ(countEdit->text(), QStringLiteral("0"));
            for (QLineEdit* count : dialog->countEdits())
                EXPECT_EQ(count->text(), QStringLiteral("0"));
        }
    }
}

TEST_F(EntryWindow, UntickingABoxEmptiesTheResultFieldsOfTheHeirsItRemoves)
{
    struct Case {
        const char* name;
        QCheckBox* TfmMain::*box;
        std::vector<Heir> emptied;
    };
    const Case cases[] = {
        {"children", &TfmMain::chkSons, {}},
        {"grandchildren", &TfmMain::chkEbnEbn, {Heir::SonsSons, Heir::SonsDaughters, Heir::SonsSonsDaughters, Heir::SonsSonsSons}},
        {"siblings", &TfmMain::chkAk, {Heir::PaternalSisters, Heir::FullBrothers, Heir::FullSisters, Heir::UterineSiblings, Heir::PaternalBrothers}},
        {"nephews", &TfmMain::chkEbnAk, {}},
        {"father", &TfmMain::chkAb, {Heir::Father}},
        {"mother", &TfmMain::chkOm, {Heir::Mother}},
        {"wives", &TfmMain::chkZoj, {Heir::Wives}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResultRows hundreds{};
        hundreds.fill(RowText::of(Currency::fromWhole(100)));
        fmDivision->setRows(hundreds);
        // Ticked from code without its dialog, as a box stands after one.
        QCheckBox* box = fmMain->*c.box;
        {
            const QSignalBlocker blocker(box);
            box->setChecked(true);
        }
        ModalScript script;
        script.forbidUnexpected();
        click(box);
        EXPECT_SCRIPT_DONE(script);
        for (int i = 0; i < kHeirCount; ++i) {
            const bool emptied = std::find(c.emptied.begin(), c.emptied.end(), heirAt(i)) != c.emptied.end();
            EXPECT_EQ(fmDivision->currentRows()[std::size_t(i)],
                      emptied ? RowText::empty() : RowText::of(Currency::fromWhole(100)))
                << heirInfo(heirAt(i)).key;
        }
    }
}

TEST_F(EntryWindow, TickingFromCodeRunsTheBehaviourOnlyOnAnActualChange)
{
    // Setting the state a box already has opens nothing.
    {
        ModalScript script;
        script.forbidUnexpected();
        fmMain->chkSons->setChecked(false);
        fmMain->setTicked(fmMain->chkSons, false);
        EXPECT_SCRIPT_DONE(script);
    }
    // A change from code opens the dialog exactly as a click does.
    {
        ModalScript script;
        script.on<TCountingDialog>(answer(fmSon, {QStringLiteral("1"), QStringLiteral("0")}));
        fmMain->chkSons->setChecked(true);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_TRUE(fmMain->chkSons->isChecked());
        EXPECT_EQ(fmMain->Edit9->text(), QStringLiteral("1"));
    }
    // Unticking from code resets the dialog.
    fmMain->chkSons->setChecked(false);
    EXPECT_EQ(fmSon->Edit1->text(), QStringLiteral("0"));
    EXPECT_EQ(fmMain->Edit9->text(), QStringLiteral("0"));
}

TEST_F(EntryWindow, WivesCountStaysBetweenOneAndFour)
{
    click(fmMain->chkZoj);
    ASSERT_TRUE(fmMain->chkZoj->isChecked());
    QLineEdit* wives = fmMain->Edit1;
    ASSERT_TRUE(wives->isEnabled());
    EXPECT_EQ(wives->text(), QStringLiteral("1"));

    // Typed after the "1", a 5 makes 15: out of range, back to "1".
    wives->setFocus();
    wives->end(false);
    QTest::keyClick(wives, Qt::Key_5);
    EXPECT_EQ(wives->text(), QStringLiteral("1"));
    typeOver(wives, QStringLiteral("5"));
    EXPECT_EQ(wives->text(), QStringLiteral("1"));
    typeOver(wives, QStringLiteral("4"));
    EXPECT_EQ(wives->text(), QStringLiteral("4"));
    typeOver(wives, QStringLiteral("0"));
    EXPECT_EQ(wives->text(), QStringLiteral("1"));
    typeOver(wives, QStringLiteral("3"));
    EXPECT_EQ(wives->text(), QStringLiteral("3"));
    // Deleting the digit refills "1"; a letter is not typed at all.
    wives->end(false);
    QTest::keyClick(wives, Qt::Key_Backspace);
    EXPECT_EQ(wives->text(), QStringLiteral("1"));
    QTest::keyClicks(wives, QStringLiteral("x "));
    EXPECT_EQ(wives->text(), QStringLiteral("1"));

    // Unticking the spouse greys the count and puts it back to "1".
    typeOver(wives, QStringLiteral("2"));
    click(fmMain->chkZoj);
    EXPECT_FALSE(wives->isEnabled());
    EXPECT_EQ(wives->text(), QStringLiteral("1"));
}

TEST_F(EntryWindow, NumberFieldsTakeOnlyDigitsHoweverTheTextComesIn)
{
    click(fmMain->chkZoj);
    QLineEdit* wives = fmMain->Edit1;
    QLineEdit* estate = fmMain->edttarikh;
    struct Case {
        const char* name;
        QLineEdit* edit;
        std::function<void(QLineEdit*)> enter;
        QString result;
    };
    const Case cases[] = {
        {"pasted words are refused", wives, [](QLineEdit* e) { pasteOver(e, QStringLiteral("اثنتان")); }, "1"},
        {"pasted Arabic-Indic digits count", wives, [](QLineEdit* e) { pasteOver(e, QStringLiteral("٣")); }, "3"},
        {"a pasted fraction is refused", estate, [](QLineEdit* e) { pasteOver(e, QStringLiteral("12.5")); }, "0"},
        {"pasted blanks around digits are refused", estate,
         [](QLineEdit* e) { pasteOver(e, QStringLiteral(" 700 ")); }, "0"},
        {"digits typed into the 0 replace it", estate,
         [](QLineEdit* e) {
             e->setText(QStringLiteral("0"));
             e->setFocus(Qt::OtherFocusReason);
             e->end(false);
             QTest::keyClicks(e, QStringLiteral("60000"));
         },
         "60000"},
        {"a digit typed before the 0 replaces it too", estate,
         [](QLineEdit* e) {
             e->setText(QStringLiteral("0"));
             e->home(false);
             QTest::keyClicks(e, QStringLiteral("5"));
         },
         "5"},
        {"Ctrl+A selects all, and typing replaces it", estate,
         [](QLineEdit* e) {
             e->setText(QStringLiteral("1234"));
             e->end(false);
             QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
             QTest::keyClicks(e, QStringLiteral("9"));
         },
         "9"},
        {"an input method's composed text goes through the same filter", estate,
         [](QLineEdit* e) {
             e->selectAll();
             QInputMethodEvent words(QString(), {});
             words.setCommitString(QStringLiteral("سبعة"));
             QApplication::sendEvent(e, &words);
             e->end(false);
             QInputMethodEvent digits(QString(), {});
             digits.setCommitString(QStringLiteral("٤٥"));
             QApplication::sendEvent(e, &digits);
         },
         "945"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModalScript script;
        script.forbidUnexpected();
        c.enter(c.edit);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_EQ(c.edit->text(), c.result);
    }
    // Taking the focus by the keyboard selects the content.
    estate->setText(QStringLiteral("250"));
    fmMain->BitBtn2->setFocus();
    estate->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(estate->selectedText(), QStringLiteral("250"));
}

TEST_F(EntryWindow, SexOfTheDeceasedSetsTheSpouseCaptionAndTheWivesCount)
{
    click(fmMain->chkZoj);
    typeOver(fmMain->Edit1, QStringLiteral("3"));

    click(fmMain->RadioButton2);
    EXPECT_EQ(fmMain->chkZoj->text(), QStringLiteral("زوج"));
    EXPECT_EQ(fmMain->chkZoj->toolTip(), QStringLiteral("زوج المتوفاة"));
    EXPECT_EQ(fmMain->Edit1->text(), QStringLiteral("1"));
    EXPECT_FALSE(fmMain->Edit1->isEnabled());
    EXPECT_TRUE(fmMain->chkZoj->isChecked());

    // Unticking the husband leaves the count alone for a deceased woman.
    click(fmMain->chkZoj);
    EXPECT_FALSE(fmMain->chkZoj->isChecked());

    click(fmMain->RadioButton1);
    EXPECT_EQ(fmMain->chkZoj->text(), QStringLiteral("زوجات"));
    EXPECT_EQ(fmMain->chkZoj->toolTip(), QStringLiteral("زوجات الميت"));
    EXPECT_EQ(fmMain->Edit1->text(), QStringLiteral("1"));
    // The number of wives waits until there are wives.
    EXPECT_FALSE(fmMain->Edit1->isEnabled());
    EXPECT_FALSE(fmMain->chkZoj->isChecked());
    click(fmMain->chkZoj);
    EXPECT_TRUE(fmMain->Edit1->isEnabled());
}

TEST_F(EntryWindow, EstateTakesOnlyDigitsAndIsRefilledWithZero)
{
    QLineEdit* estate = fmMain->edttarikh;
    typeOver(estate, QStringLiteral("12.5"));
    EXPECT_EQ(estate->text(), QStringLiteral("125"));
    QTest::keyClicks(estate, QStringLiteral("-+ e,"));
    EXPECT_EQ(estate->text(), QStringLiteral("125"));
    // Ctrl+V pastes, through the same filter.
    QApplication::clipboard()->setText(QStringLiteral("ثلاثة"));
    QTest::keyClick(estate, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(estate->text(), QStringLiteral("125"));
    // The digits of an Arabic keyboard are the same digits.
    typeOver(estate, QStringLiteral("٢٥٠٠"));
    EXPECT_EQ(estate->text(), QStringLiteral("2500"));
    estate->end(false);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(estate, Qt::Key_Backspace);
    EXPECT_EQ(estate->text(), QStringLiteral("0"));
    estate->selectAll();
    QTest::keyClick(estate, Qt::Key_Delete);
    EXPECT_EQ(estate->text(), QStringLiteral("0"));
}

TEST_F(EntryWindow, MouseMovementsWriteTheGuidanceTexts)
{
    // The layout's pure yellow is drawn as an olive that reads on the light face.
    const QColor navy(0, 0, 128), yellow = ui::kTextYellow;
    struct Guidance {
        QWidget* over;
        QColor color;
        QString text;
    };
    const Guidance guidance[] = {
        {fmMain->GroupBox2, navy,
         QStringLiteral("توجيه\nإذا كان الميت رجلاً فضع العلامة عليه\nوإذا كانت المتوفاة امرأة فضع العلامة عليها")},
        {fmMain->GroupBox3, navy, QStringLiteral("توجيه\nاكتب قيمة جميع أموال المتوفى التي تركها")},
        {fmMain->BitBtn6, navy,
         QStringLiteral("توجيه\nإن كان على التركة نفقات تجهيز ودفن أو ديون أو وصايا فاضغط «تجهيز التركة»:"
                        "\nتُخرج منها قبل القسمة، ويُقسم الباقي على الورثة")},
        {fmMain->chkEbnEbn, yellow, QStringLiteral("أبناء وبنات البنت لا يرثون")},
        {fmMain->chkEbnAk, yellow, QStringLiteral("تنبيه:\nبنات الإخوة لا يرثن\nأبناء الأخوات لا يرثون")},
        {fmMain->chkAm, yellow, QStringLiteral("تنبيه:\nالعمات لا يرثن\nالعم أخو الأب لأمه لا يرث")},
        {fmMain->chkEbnAm, yellow, QStringLiteral("تنبيه:\nبنات الأعمام لا يرثن\nأبناء العمات لا يرثون")},
        {fmMain->chkjd, yellow, QStringLiteral("الجد أبو الأم لا يرث")},
    };
    for (const Guidance& g : guidance) {
        // A point of a frame that no other control covers.
        moveMouseOver(g.over, QPoint(4, g.over->height() - 4));
        EXPECT_EQ(fmMain->St1->text(), g.text) << g.over->objectName();
        EXPECT_EQ(fmMain->St1->palette().color(QPalette::WindowText), g.color) << g.over->objectName();
    }
}

TEST_F(EntryWindow, HeirsFrameNamesTheUmariyyaCaseAndOtherwiseEmptiesTheGuidance)
{
    const QPoint bare(8, 30);  // inside the heirs' frame, outside every control over it
    ASSERT_EQ(fmMain->GroupBox1->childAt(bare), nullptr);
    click(fmMain->chkAb);
    click(fmMain->chkOm);
    click(fmMain->chkZoj);
    // The name shows as soon as the case is one, and again over the frame.
    EXPECT_EQ(fmMain->St1->text(), QStringLiteral("هذه المسألة تسمى العمرية"));
    fmMain->setGuidance(QString());
    moveMouseOver(fmMain->GroupBox1, bare);
    EXPECT_EQ(fmMain->St1->text(), QStringLiteral("هذه المسألة تسمى العمرية"));
    EXPECT_EQ(fmMain->St1->palette().color(QPalette::WindowText), ui::kTextYellow);
    // It follows the case: unticking the mother takes it away, ticking her
    // again brings it back, without a movement of the mouse.
    click(fmMain->chkOm);
    EXPECT_EQ(fmMain->St1->text(), QString());
    click(fmMain->chkOm);
    EXPECT_EQ(fmMain->St1->text(), QStringLiteral("هذه المسألة تسمى العمرية"));

    // With children as well it is no longer that case: the text goes, the colour stays.
    moveMouseOver(fmMain->GroupBox3, QPoint(4, 4));  // navy guidance first
    ModalScript script;
    script.on<TCountingDialog>(answer(fmSon, {QStringLiteral("1"), QStringLiteral("0")}));
    click(fmMain->chkSons);
    EXPECT_SCRIPT_DONE(script);
    moveMouseOver(fmMain->GroupBox1, bare);
    EXPECT_EQ(fmMain->St1->text(), QString());
    EXPECT_EQ(fmMain->St1->palette().color(QPalette::WindowText), QColor(0, 0, 128));
}

TEST_F(EntryWindow, ReturnClosesTheWindowAndReopeningShowsTheSameEntries)
{
    click(fmMain->RadioButton2);
    click(fmMain->chkAb);
    typeOver(fmMain->edttarikh, QStringLiteral("9000"));
    ModalScript sons;
    sons.on<TCountingDialog>(answer(fmSon, {QStringLiteral("2"), QStringLiteral("0")}));
    click(fmMain->chkSons);
    EXPECT_SCRIPT_DONE(sons);

    // Escape does what "عودة" does, and so does a close request.
    QTest::keyClick(fmMain, Qt::Key_Escape);
    EXPECT_FALSE(fmMain->isVisible());
    fmMain->show();
    fmMain->close();
    EXPECT_FALSE(fmMain->isVisible());
    fmMain->show();
    click(fmMain->BitBtn1);
    EXPECT_FALSE(fmMain->isVisible());

    // Shown modally again, as the main window's "دخول" does.
    ModalScript reopen;
    reopen.on<TfmMain>([](TfmMain* window) {
        EXPECT_TRUE(window->RadioButton2->isChecked());
        EXPECT_TRUE(window->chkAb->isChecked());
        EXPECT_TRUE(window->chkSons->isChecked());
        EXPECT_EQ(window->Edit9->text(), QStringLiteral("2"));
        EXPECT_EQ(window->edttarikh->text(), QStringLiteral("9000"));
        click(window->BitBtn1);
    });
    fmMain->exec();
    EXPECT_SCRIPT_DONE(reopen);
    EXPECT_EQ(fmSon->Edit1->text(), QStringLiteral("2"));
}

TEST_F(EntryWindow, EveryControlAUserActsOnOrReadsHasAnArabicAccessibleName)
{
    const QList<QWidget*> windows = {fmMain, fmSon, fmSonOfSon, fmBrothers, fmSonOfBrother, fmUncle,
                                     fmSonOfUncle, fmGrandMother, fmJd, fmDivision, report, fmPreparation};
    auto arabic = [](const QString& s) {
        return std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() >= 0x0600 && c.unicode() <= 0x06FF; });
    };
    // The results window makes its lines when it is first shown.
    fmDivision->FormShow();
    int checked = 0;
    for (QWidget* window : windows) {
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const bool actsOrReads = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)
                                     || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QGroupBox*>(w)
                                     || (qobject_cast<QLabel*>(w) && !qobject_cast<QLabel*>(w)->text().trimmed().isEmpty())
                                     || w == fmMain->St1;
            if (!actsOrReads || w->objectName().startsWith(QLatin1String("qt_")))
                continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            ASSERT_NE(a, nullptr) << w->objectName();
            const QString name = a->text(QAccessible::Name);
            EXPECT_TRUE(arabic(name)) << window->objectName() << "." << w->objectName() << ": \"" << name << "\"";
            ++checked;
        }
    }
    EXPECT_GT(checked, 100);
    // Count edits say what they count.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(fmSon->Edit1)->text(QAccessible::Name),
              QStringLiteral("عدد الأبناء الذكور"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(fmMain->BitBtn2)->text(QAccessible::Name), QStringLiteral("قسم"));
}

}  // namespace
}  // namespace qismar::testing

#include "ui/picture.h"

namespace qismar::testing {
namespace {

TEST_F(EntryWindow, BackgroundPicturesComeFromTheProgramsResources)
{
    for (QWidget* picture : {fmMain->Image1, fmSon->Image1, fmGrandMother->Image1, report->Image1, fmDivision->Image1}) {
        auto* p = dynamic_cast<ui::Picture*>(picture);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(p->hasPicture()) << picture->window()->objectName();
    }
    // A picture that is not there leaves the window working, with an empty background.
    ui::Picture missing(QStringLiteral(":/pictures/not-drawn-yet.svg"), nullptr);
    missing.resize(50, 40);
    EXPECT_FALSE(missing.hasPicture());
    EXPECT_FALSE(missing.grab().isNull());
}

}  // namespace
}  // namespace qismar::testing

namespace qismar::testing {
namespace {

// The contrast ratio of two colours as the web's accessibility guidelines
// define it, from 1 (the same) to 21 (black on white).
double luminance(const QColor& c)
{
    auto channel = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The average colour of a picture over a rectangle: the background a
// caption is read against.
QColor averageColour(const QImage& image, const QRect& area)
{
    double r = 0, g = 0, b = 0;
    int n = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            r += c.redF();
            g += c.greenF();
            b += c.blueF();
            ++n;
        }
    return n ? QColor::fromRgbF(float(r / n), float(g / n), float(b / n)) : QColor();
}

TEST_F(EntryWindow, TextsReadAtAContrastOfAtLeastFourAndAHalf)
{
    const QImage picture = fmMain->Image1->grab().toImage();
    struct Case {
        const char* what;
        QColor text;
        QColor background;
    };
    std::vector<Case> cases = {
        {"olive guidance on the guidance box", ui::kTextYellow, fmMain->St1->palette().color(QPalette::Window)},
        {"navy guidance on the guidance box", ui::kTextNavy, fmMain->St1->palette().color(QPalette::Window)},
        {"red caption on the window face", ui::kTextRed, fmMain->palette().color(QPalette::Window)},
        {"red excerpt on white", report->Memo1->palette().color(QPalette::Text),
         report->Memo1->palette().color(QPalette::Base)},
    };
    // The preparation dialog: red captions on its panel, the calculation in
    // navy or red in its box.
    const QColor panel = fmPreparation->Panel1->palette().color(QPalette::Window);
    const QColor box = fmPreparation->St1->palette().color(QPalette::Window);
    cases.push_back({"red caption on the preparation panel", fmPreparation->Label2->palette().color(QPalette::WindowText), panel});
    cases.push_back({"navy guidance on the preparation panel", fmPreparation->Label1->palette().color(QPalette::WindowText), panel});
    cases.push_back({"navy calculation", ui::kTextNavy, box});
    cases.push_back({"red problem in the calculation", ui::kTextRed, box});
    fmMain->edttarikh->setText(QStringLiteral("100"));  // something remains: in green
    cases.push_back({"green remainder", fmPreparation->Label5->palette().color(QPalette::WindowText),
                     fmPreparation->Label5->palette().color(QPalette::Window)});
    // Captions over the picture, against the picture behind them.
    cases.push_back({"what remains after the preparation, over the picture", fmMain->Label1->palette().color(QPalette::WindowText),
                     averageColour(picture, fmMain->Label1->geometry())});
    for (QWidget* caption : std::initializer_list<QWidget*>{fmMain->GroupBox1, fmMain->GroupBox2, fmMain->GroupBox3})
        cases.push_back({"frame caption over the picture", caption->palette().color(QPalette::WindowText),
                         averageColour(picture, QRect(caption->geometry().topLeft(), QSize(caption->width(), 20)))});
    for (QCheckBox* box : fmMain->heirBoxes())
        cases.push_back({"heir caption over the picture", box->palette().color(QPalette::WindowText),
                         averageColour(picture, box->geometry())});
    for (const Case& c : cases)
        EXPECT_GE(contrast(c.text, c.background), 4.5)
            << c.what << ": " << c.text.name().toStdString() << " on " << c.background.name().toStdString();
    // The layout's own colours did not reach it.
    EXPECT_LT(contrast(QColor(255, 255, 0), fmMain->St1->palette().color(QPalette::Window)), 4.5);
    EXPECT_LT(contrast(QColor(255, 0, 0), fmMain->palette().color(QPalette::Window)), 4.5);
}

TEST_F(EntryWindow, WholeCaseWithTheKeyboardAlone)
{
    // Father and children ticked with Space, the children's dialog filled
    // and closed with Enter, the estate typed, Enter to divide, Enter to
    // close the results (which clears the case), Escape to leave.
    fmMain->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fmMain));
    fmMain->chkAb->setFocus(Qt::TabFocusReason);
    // Keys go where the entry window's focus is, as they do once it is active again.
    auto focus = [] { return fmMain->focusWidget(); };
    auto press = [&](Qt::Key key) { QTest::keyClick(focus(), key); };
    press(Qt::Key_Space);
    EXPECT_TRUE(fmMain->chkAb->isChecked());
    for (QWidget* next : {static_cast<QWidget*>(fmMain->chkOm), static_cast<QWidget*>(fmMain->chkZoj),
                          static_cast<QWidget*>(fmMain->chkSons)}) {
        press(Qt::Key_Tab);
        EXPECT_EQ(focus(), next);
    }
    ModalScript sons;
    sons.on<TfmSon>([](TfmSon* dialog) {
        // The dialog's focus, whether or not the window system has made it
        // the active window yet.
        EXPECT_EQ(dialog->focusWidget(), dialog->Edit1);
        QTest::keyClicks(dialog->Edit1, QStringLiteral("2"));
        QTest::keyClick(dialog->Edit1, Qt::Key_Tab);
        EXPECT_EQ(dialog->focusWidget(), dialog->Edit2);
        typeKeys(dialog->Edit2, QStringLiteral("١"));  // an Arabic keyboard's digit
        QTest::keyClick(dialog->Edit2, Qt::Key_Return);
    });
    press(Qt::Key_Space);
    EXPECT_SCRIPT_DONE(sons);
    EXPECT_EQ(fmMain->Edit9->text(), QStringLiteral("3"));
    for (int i = 0; i < 30 && focus() != fmMain->edttarikh; ++i)
        press(Qt::Key_Tab);
    ASSERT_EQ(focus(), fmMain->edttarikh);
    QTest::keyClicks(fmMain->edttarikh, QStringLiteral("6000"));
    EXPECT_EQ(fmMain->edttarikh->text(), QStringLiteral("6000"));

    QStringList amounts;
    ModalScript results;
    results.on<TfmDivision>([&amounts](TfmDivision* window) {
        for (Heir row : window->shownRows())
            amounts << window->amount(row)->exact();
        QTest::keyClick(window, Qt::Key_Return);
    });
    press(Qt::Key_Return);
    EXPECT_SCRIPT_DONE(results);
    // Father a sixth (1000), each son 2000 and the daughter 1000.
    EXPECT_EQ(amounts, (QStringList{QStringLiteral("1000"), QStringLiteral("2000"), QStringLiteral("1000")}));
    EXPECT_FALSE(fmDivision->isVisible());
    EXPECT_FALSE(fmMain->chkAb->isChecked());
    EXPECT_FALSE(fmMain->chkSons->isChecked());
    QTest::keyClick(fmMain, Qt::Key_Escape);
    EXPECT_FALSE(fmMain->isVisible());
}

}  // namespace
}  // namespace qismar::testing
