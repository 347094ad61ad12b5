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

#include "entry/later_deaths_dialog.h"
#include "results/amount_cell.h"
#include "tests/entry/gui_test_support.h"
#include "ui/digit_edit.h"
#include "ui/ui_common.h"

namespace qismar::testing {
namespace {

using TheEntryWindow = EntryWindows;

// The entry window and every dialog and window it owns.
std::vector<QWidget*> allWindows(EntryWindow& entry)
{
    std::vector<QWidget*> windows{&entry};
    for (int i = 0; i < kHeirGroupCount; ++i)
        windows.push_back(&entry.countingDialog(static_cast<HeirGroup>(i)));
    windows.push_back(&entry.grandfatherDialog());
    windows.push_back(&entry.grandmothersDialog());
    windows.push_back(&entry.preparationDialog());
    windows.push_back(&entry.howInherits().excerptWindow());
    windows.push_back(&entry.uncertainHeirDialog());
    windows.push_back(&entry.laterDeathsDialog());
    return windows;
}

// The same, with the results window (laid out only once it shows a division).
std::vector<QWidget*> allWindowsAndResults(EntryWindow& entry)
{
    std::vector<QWidget*> windows = allWindows(entry);
    windows.push_back(&entry.divisionWindow());
    return windows;
}

TEST_F(TheEntryWindow, NoControlStandsOutsideItsWindowOrOverAnotherAndNoTextIsCut)
{
    // The windows as they stand, then with the longest texts a case puts in
    // them: the longest guidance, the spouse's other caption, counts of
    // several digits and the preparation's longest lines.
    for (QWidget* window : allWindows(entry())) {
        const QStringList faults = layoutFaults(window);
        EXPECT_TRUE(faults.isEmpty()) << window->objectName() << ":\n" << faults.join(QLatin1Char('\n'));
    }
    EstateCase big;
    big.deceased = Deceased::Woman;
    big.estate = Currency::fromWhole(99999999999);
    big.spouse = true;
    big.sons = HeadCount(999);
    big.sonsDaughters = HeadCount(999);
    big.fullSisters = HeadCount(999);
    big.fullBrothersSons = HeadCount(999);
    big.paternalUncles = HeadCount(999);
    big.fullUnclesSons = HeadCount(999);
    big.fathersMothersMother = true;
    big.fathersFathersMother = true;
    big.debts = Currency::fromWhole(123456789);
    big.bequests = Currency::fromWhole(300000000);
    entry().showCase(big);
    moveMouseOver(entry().nephewsBox);
    for (QWidget* window : allWindows(entry())) {
        const QStringList faults = layoutFaults(window);
        EXPECT_TRUE(faults.isEmpty()) << window->objectName() << ":\n" << faults.join(QLatin1Char('\n'));
    }
    // Every window keeps a title bar without buttons, but for the
    // information window and the results, which may be closed from it.
    for (QWidget* window : allWindowsAndResults(entry())) {
        EXPECT_EQ(window->layoutDirection(), Qt::RightToLeft) << window->objectName();
        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_TRUE(flags & Qt::CustomizeWindowHint) << window->objectName();
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint) << window->objectName();
        if (window != &excerptWindow() && window != &results()) {
            EXPECT_FALSE(flags & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint))
                << window->objectName();
        }
    }
}

TEST_F(TheEntryWindow, TheLayoutCheckFindsControlsMovedOverEachOtherOutOfTheWindowOrTooNarrow)
{
    struct Fault {
        const char* what;
        std::function<void(EntryWindow&)> make;
        QString found;  // a part of the fault it reports
    };
    const Fault faults[] = {
        {"a box over its count", [](EntryWindow& w) { w.nephewsBox->move(w.nephewsCount->pos()); },
         QStringLiteral("nephewsBox (QCheckBox) and nephewsCount (qismar::ui::DigitEdit) overlap")},
        {"a button below the window", [](EntryWindow& w) { w.saveButton->move(82, 470); },
         QStringLiteral("saveButton (qismar::ui::IconButton) stands outside entryWindow")},
        {"a caption too long for its box", [](EntryWindow& w) { w.fatherBox->setText(QStringLiteral("أبو الميت لأمه وأبيه")); },
         QStringLiteral("the text of fatherBox")},
        {"a button too narrow for its caption", [](EntryWindow& w) { w.howInheritsButton->resize(40, 41); },
         QStringLiteral("the text of howInheritsButton")},
        {"a window larger than the screen", [](EntryWindow& w) { w.resize(1100, 481); },
         QStringLiteral("larger than a screen of 1024x600")},
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.what);
        EntryWindow window;
        f.make(window);
        const QString found = layoutFaults(&window).join(QLatin1Char('\n'));
        EXPECT_TRUE(found.contains(f.found)) << found;
    }
}

TEST_F(TheEntryWindow, StartsWithTheEmptyCaseOfAMan)
{
    EXPECT_EQ(entry().estateCase(), EstateCase{});
    EXPECT_TRUE(entry().manButton->isChecked());
    EXPECT_EQ(entry().estateEdit->text(), QStringLiteral("0"));
    for (QCheckBox* box : entry().heirBoxes())
        EXPECT_FALSE(box->isChecked()) << box->objectName();
    for (QLineEdit* count : {entry().wivesCount, entry().nephewsCount, entry().grandmothersCount, entry().cousinsCount,
                             entry().unclesCount, entry().grandfatherCount, entry().fatherCount, entry().motherCount,
                             entry().childrenCount, entry().grandchildrenCount, entry().siblingsCount})
        EXPECT_FALSE(count->isEnabled()) << count->objectName();
    EXPECT_EQ(entry().guidance->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_FALSE(entry().preparationButton->isChecked());
    EXPECT_TRUE(entry().netEstateLine->text().isEmpty());
}

TEST_F(TheEntryWindow, TabMovesThroughTheControlsInTheLayoutOrder)
{
    // Only controls that can take the focus are reached: the disabled count
    // edits, the frames and the guidance text are passed over.
    entry().wivesCount->setEnabled(true);  // as once a man's spouse is ticked
    const std::vector<QWidget*> expected = {
        entry().fatherBox,    entry().motherBox,         entry().spouseBox,      entry().childrenBox,
        entry().grandchildrenBox, entry().siblingsBox,   entry().nephewsBox,     entry().unclesBox,
        entry().grandfatherBox, entry().grandmothersBox, entry().cousinsBox,     entry().uncertainButton,
        entry().wivesCount,
        entry().manButton,    entry().estateEdit,        entry().preparationButton, entry().divideButton,
        entry().howInheritsButton, entry().openButton,   entry().saveButton,     entry().detailsButton,
        entry().laterDeathsButton, entry().backButton,
    };
    entry().activateWindow();
    entry().fatherBox->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry()));
    std::vector<QWidget*> reached{QApplication::focusWidget()};
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.push_back(QApplication::focusWidget());
    }
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(reached[i], expected[i]) << "step " << i << ": " << (reached[i] ? reached[i]->objectName() : QString());
}

// One counting box, the counts typed into its dialog and the total it shows.
struct CountingBox {
    HeirGroup group;
    std::vector<TypedCount> counts;
    QString total;
};

const CountingBox kCountingBoxes[] = {
    {HeirGroup::Children, {{&EstateCase::sons, "2"}, {&EstateCase::daughters, "3"}}, "5"},
    {HeirGroup::Grandchildren,
     {{&EstateCase::sonsSons, "1"}, {&EstateCase::sonsSonsSons, "2"}, {&EstateCase::sonsSonsDaughters, "1"}}, "4"},
    {HeirGroup::Siblings, {{&EstateCase::fullBrothers, "1"}, {&EstateCase::uterineSisters, "2"}}, "3"},
    {HeirGroup::Nephews, {{&EstateCase::fullBrothersSons, "2"}, {&EstateCase::paternalBrothersSons, "1"}}, "3"},
    {HeirGroup::Uncles, {{&EstateCase::fullUncles, "1"}, {&EstateCase::paternalUncles, "1"}}, "2"},
    {HeirGroup::Cousins, {{&EstateCase::paternalUnclesSons, "12"}}, "12"},
};

TEST_F(TheEntryWindow, CountingBoxStaysTickedOnlyWithANonZeroTotalAndTheCaseHoldsTheCounts)
{
    for (const CountingBox& c : kCountingBoxes) {
        const CountingGroup& group = countingGroup(c.group);
        SCOPED_TRACE(group.objectName);
        QCheckBox* box = entry().box(c.group);
        QLineEdit* countEdit = entry().countEdit(c.group);
        CountingDialog* dialog = &this->dialog(c.group);

        // Ticked with nothing entered: the box ends unticked, the count at "0".
        {
            ModalScript script;
            script.on<CountingDialog>([dialog](CountingDialog* shown) {
                EXPECT_EQ(shown, dialog);
                for (QLineEdit* edit : shown->countEdits())
                    EXPECT_EQ(edit->text(), QStringLiteral("0"));
                click(shown->doneButton);
            });
            click(box);
            EXPECT_SCRIPT_DONE(script);
            EXPECT_FALSE(box->isChecked());
            EXPECT_EQ(countEdit->text(), QStringLiteral("0"));
            EXPECT_FALSE(dialog->isVisible());
            EXPECT_EQ(entry().estateCase(), EstateCase{});
        }
        // Ticked with counts: the case holds each, the window their total.
        {
            ModalScript script;
            script.on<CountingDialog>(fillCounts(c.counts));
            click(box);
            EXPECT_SCRIPT_DONE(script);
            EXPECT_TRUE(box->isChecked());
            EXPECT_EQ(countEdit->text(), c.total);
            EstateCase expected;
            for (const auto& [field, text] : c.counts)
                expected.*field = HeadCount(text.toLongLong());
            expected.deriveEntryWindowState();
            EXPECT_EQ(entry().estateCase(), expected);
            for (const auto& [field, text] : c.counts)
                EXPECT_EQ(dialog->countEdit(field)->text(), text);
        }
        // Unticked: the case loses the class, the dialog and the count show
        // "0", and no dialog opens.
        {
            ModalScript script;
            click(box);
            EXPECT_SCRIPT_DONE(script);
            EXPECT_FALSE(box->isChecked());
            EXPECT_EQ(countEdit->text(), QStringLiteral("0"));
            for (QLineEdit* count : dialog->countEdits())
                EXPECT_EQ(count->text(), QStringLiteral("0"));
            EXPECT_EQ(entry().estateCase(), EstateCase{});
        }
        (void)group;
    }
}

TEST_F(TheEntryWindow, UntickingABoxTakesItsRelativesAndOnlyThemOutOfTheCase)
{
    // Every relative the window holds, then one box unticked at a time.
    EstateCase all;
    all.estate = Currency::fromWhole(1000);
    all.father = all.mother = all.spouse = all.grandfather = true;
    all.wives = HeadCount(3);
    for (int i = 0; i < kHeirGroupCount; ++i)
        for (const CountField& f : countingGroup(static_cast<HeirGroup>(i)).fields)
            all.*(f.count()) = HeadCount(2);
    all.mothersMother = all.fathersMother = true;
    all.funeral = Currency::fromWhole(10);
    all.deriveEntryWindowState();

    struct Case {
        QCheckBox* EntryWindow::*box;
        std::function<void(EstateCase&)> without;
    };
    const auto clearing = [](HeirGroup g) { return [g](EstateCase& c) { clearGroup(countingGroup(g), c); }; };
    const Case cases[] = {
        {&EntryWindow::fatherBox, [](EstateCase& c) { c.father = false; }},
        {&EntryWindow::motherBox, [](EstateCase& c) { c.mother = false; }},
        {&EntryWindow::spouseBox, [](EstateCase& c) { c.spouse = false; c.wives = HeadCount(1); }},
        {&EntryWindow::grandfatherBox, [](EstateCase& c) { c.grandfather = false; }},
        {&EntryWindow::grandmothersBox, [](EstateCase& c) { c.mothersMother = c.fathersMother = false; }},
        {&EntryWindow::childrenBox, clearing(HeirGroup::Children)},
        {&EntryWindow::grandchildrenBox, clearing(HeirGroup::Grandchildren)},
        {&EntryWindow::siblingsBox, clearing(HeirGroup::Siblings)},
        {&EntryWindow::nephewsBox, clearing(HeirGroup::Nephews)},
        {&EntryWindow::unclesBox, clearing(HeirGroup::Uncles)},
        {&EntryWindow::cousinsBox, clearing(HeirGroup::Cousins)},
    };
    for (const Case& c : cases) {
        QCheckBox* box = entry().*c.box;
        SCOPED_TRACE(box->objectName().toStdString());
        entry().showCase(all);
        ASSERT_TRUE(box->isChecked());
        EstateCase expected = all;
        c.without(expected);
        expected.deriveEntryWindowState();
        ModalScript script;
        click(box);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_FALSE(box->isChecked());
        EXPECT_EQ(entry().estateCase(), expected);
    }
}

TEST_F(TheEntryWindow, TickingFromCodeRunsTheBehaviourOnlyOnAnActualChange)
{
    // Setting the state a box already has opens nothing.
    {
        ModalScript script;
        entry().childrenBox->setChecked(false);
        entry().setTicked(entry().childrenBox, false);
        EXPECT_SCRIPT_DONE(script);
    }
    // A change from code opens the dialog exactly as a click does.
    {
        ModalScript script;
        script.on<CountingDialog>(fillCounts({{&EstateCase::sons, QStringLiteral("1")}}));
        entry().childrenBox->setChecked(true);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_TRUE(entry().childrenBox->isChecked());
        EXPECT_EQ(entry().childrenCount->text(), QStringLiteral("1"));
        EXPECT_EQ(entry().estateCase().sons, HeadCount(1));
    }
    {
        ModalScript script;
        script.on<CountingDialog>([](CountingDialog* dialog) {
            EXPECT_EQ(dialog->objectName(), QStringLiteral("unclesDialog"));
            click(dialog->doneButton);
        });
        entry().setTicked(entry().unclesBox, true);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_FALSE(entry().unclesBox->isChecked()) << "no uncle was counted";
    }
    // Unticking from code empties the class, and the dialog shows it.
    entry().childrenBox->setChecked(false);
    EXPECT_EQ(dialog(HeirGroup::Children).countEdit(&EstateCase::sons)->text(), QStringLiteral("0"));
    EXPECT_EQ(entry().childrenCount->text(), QStringLiteral("0"));
    EXPECT_TRUE(entry().estateCase().sons.isZero());
}

TEST_F(TheEntryWindow, WivesCountStaysBetweenOneAndFour)
{
    click(entry().spouseBox);
    ASSERT_TRUE(entry().spouseBox->isChecked());
    QLineEdit* wives = entry().wivesCount;
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
    click(entry().spouseBox);
    EXPECT_FALSE(wives->isEnabled());
    EXPECT_EQ(wives->text(), QStringLiteral("1"));
}

TEST_F(TheEntryWindow, NumberFieldsTakeOnlyDigitsHoweverTheTextComesIn)
{
    click(entry().spouseBox);
    QLineEdit* wives = entry().wivesCount;
    QLineEdit* estate = entry().estateEdit;
    struct Case {
        const char* name;
        QLineEdit* edit;
        std::function<void(QLineEdit*)> enter;
        QString result;
    };
    const Case cases[] = {
        {"pasted words are refused", wives, [](QLineEdit* e) { pasteOver(e, QStringLiteral("اثنتان")); }, "1"},
        {"pasted Arabic-Indic digits count", wives, [](QLineEdit* e) { pasteOver(e, QStringLiteral("٣")); }, "3"},
        {"a pasted amount with a point is taken", estate, [](QLineEdit* e) { pasteOver(e, QStringLiteral("12.5")); }, "12.5"},
        {"pasted blanks around digits are refused", estate,
         [](QLineEdit* e) { pasteOver(e, QStringLiteral(" 700 ")); }, "12.5"},
        {"digits typed into the 0 replace it", estate,
         [](QLineEdit* e) {
             e->setText(QStringLiteral("0"));
             e->setFocus(Qt::OtherFocusReason);
             e->end(false);
             QTest::keyClicks(e, QStringLiteral("60000"));
         },
         "60,000"},
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
        c.enter(c.edit);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_EQ(c.edit->text(), c.result);
    }
    // Taking the focus by the keyboard selects the content.
    estate->setText(QStringLiteral("250"));
    entry().divideButton->setFocus();
    estate->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(estate->selectedText(), QStringLiteral("250"));
}

TEST_F(TheEntryWindow, SexOfTheDeceasedSetsTheSpouseCaptionAndTheWivesCount)
{
    click(entry().spouseBox);
    typeOver(entry().wivesCount, QStringLiteral("3"));

    click(entry().womanButton);
    EXPECT_EQ(entry().spouseBox->text(), QStringLiteral("زوج"));
    EXPECT_EQ(entry().spouseBox->toolTip(), QStringLiteral("زوج المتوفاة"));
    EXPECT_EQ(entry().wivesCount->text(), QStringLiteral("1"));
    EXPECT_FALSE(entry().wivesCount->isEnabled());
    EXPECT_TRUE(entry().spouseBox->isChecked());

    // Unticking the husband leaves the count alone for a deceased woman.
    click(entry().spouseBox);
    EXPECT_FALSE(entry().spouseBox->isChecked());

    click(entry().manButton);
    EXPECT_EQ(entry().spouseBox->text(), QStringLiteral("زوجات"));
    EXPECT_EQ(entry().spouseBox->toolTip(), QStringLiteral("زوجات الميت"));
    EXPECT_EQ(entry().wivesCount->text(), QStringLiteral("1"));
    // The number of wives waits until there are wives.
    EXPECT_FALSE(entry().wivesCount->isEnabled());
    EXPECT_FALSE(entry().spouseBox->isChecked());
    click(entry().spouseBox);
    EXPECT_TRUE(entry().wivesCount->isEnabled());
}

TEST_F(TheEntryWindow, EstateTakesAnAmountAsAPersonWritesItAndIsRefilledWithZero)
{
    auto* estate = static_cast<ui::DigitEdit*>(entry().estateEdit);
    // What is taken, and how it is shown; each typed key by key.
    const struct {
        const char* typed;
        const char* shown;
        const char* divided;  // the estate the case holds
    } taken[] = {
        {"1,200,000.75", "1,200,000.75", "1200000.75"},  // grouped as written: not a hundred times the estate
        {"1200000.75", "1,200,000.75", "1200000.75"},    // grouped as it is typed
        {"١٬٢٠٠٬٠٠٠٫٧٥", "1,200,000.75", "1200000.75"},  // Arabic-Indic digits and marks
        {"۱۲۰۰", "1,200", "1200"},                       // Persian digits
        {"12.5", "12.5", "12.5"},
        {"0.0001", "0.0001", "0.0001"},
        {"922337203685477", "922,337,203,685,477", "922337203685477"},  // the largest estate
    };
    for (const auto& t : taken) {
        SCOPED_TRACE(t.typed);
        typeOver(estate, QString::fromUtf8(t.typed));
        EXPECT_EQ(estate->text(), QString::fromUtf8(t.shown));
        EXPECT_EQ(entry().estateCase().estate, parseAmount(t.divided));
    }
    // What is refused as it is typed: the field keeps what it held, and a
    // hint beside it says what is allowed and the largest estate.
    const struct {
        const char* typed;
        const char* kept;
    } refused[] = {
        {"12.34567", "12.3456"},             // a fifth decimal
        {"12.5.", "12.5"},                   // a second point
        {"1e3", "13"},                       // a letter
        {"-5", "5"},                         // a sign
        {"9223372036854770", "922,337,203,685,477"},  // beyond the largest estate
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed);
        typeOver(estate, QString::fromUtf8(r.typed));
        EXPECT_EQ(estate->text(), QString::fromUtf8(r.kept));
        EXPECT_TRUE(estate->hint().contains(QStringLiteral("922,337,203,685,477"))) << estate->hint().toStdString();
        EXPECT_TRUE(estate->hint().contains(QStringLiteral("أربعة أرقام"))) << estate->hint().toStdString();
    }
    typeOver(estate, QStringLiteral("125"));
    // Ctrl+V pastes, through the same filter.
    QApplication::clipboard()->setText(QStringLiteral("ثلاثة"));
    QTest::keyClick(estate, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(estate->text(), QStringLiteral("125"));
    // The digits of an Arabic keyboard are the same digits.
    typeOver(estate, QStringLiteral("٢٥٠٠"));
    EXPECT_EQ(estate->text(), QStringLiteral("2,500"));
    estate->end(false);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(estate, Qt::Key_Backspace);
    EXPECT_EQ(estate->text(), QStringLiteral("0"));
    estate->selectAll();
    QTest::keyClick(estate, Qt::Key_Delete);
    EXPECT_EQ(estate->text(), QStringLiteral("0"));
}

TEST_F(TheEntryWindow, MouseMovementsWriteTheGuidanceTexts)
{
    // The layout's pure yellow is drawn as an olive that reads on the light face.
    const QColor navy(0, 0, 128), yellow = ui::kTextYellow;
    struct Guidance {
        QWidget* over;
        QColor color;
        QString text;
    };
    const Guidance guidance[] = {
        {entry().deceasedFrame, navy,
         QStringLiteral("توجيه\nإذا كان الميت رجلاً فضع العلامة عليه\nوإذا كانت المتوفاة امرأة فضع العلامة عليها")},
        {entry().estateFrame, navy, QStringLiteral("توجيه\nاكتب قيمة جميع أموال المتوفى التي تركها")},
        {entry().preparationButton, navy,
         QStringLiteral("توجيه\nإن كان على التركة نفقات تجهيز ودفن أو ديون أو وصايا فاضغط «تجهيز التركة»:"
                        "\nتُخرج منها قبل القسمة، ويُقسم الباقي على الورثة")},
        {entry().grandchildrenBox, yellow, QStringLiteral("أبناء وبنات البنت لا يرثون")},
        {entry().nephewsBox, yellow, QStringLiteral("تنبيه:\nبنات الإخوة لا يرثن\nأبناء الأخوات لا يرثون")},
        {entry().unclesBox, yellow, QStringLiteral("تنبيه:\nالعمات لا يرثن\nالعم أخو الأب لأمه لا يرث")},
        {entry().cousinsBox, yellow, QStringLiteral("تنبيه:\nبنات الأعمام لا يرثن\nأبناء العمات لا يرثون")},
        {entry().grandfatherBox, yellow, QStringLiteral("الجد أبو الأم لا يرث")},
    };
    for (const Guidance& g : guidance) {
        // A point of a frame that no other control covers.
        moveMouseOver(g.over, QPoint(4, g.over->height() - 4));
        EXPECT_EQ(entry().guidance->text(), g.text) << g.over->objectName();
        EXPECT_EQ(entry().guidance->palette().color(QPalette::WindowText), g.color) << g.over->objectName();
    }
}

TEST_F(TheEntryWindow, HeirsFrameNamesTheUmariyyaCaseAndOtherwiseEmptiesTheGuidance)
{
    const QPoint bare(8, 30);  // inside the heirs' frame, outside every control over it
    ASSERT_EQ(entry().heirsFrame->childAt(bare), nullptr);
    click(entry().fatherBox);
    click(entry().motherBox);
    click(entry().spouseBox);
    // The name shows as soon as the case is one, and again over the frame.
    EXPECT_EQ(entry().guidance->text(), QStringLiteral("هذه المسألة تسمى العمرية"));
    entry().setGuidance(QString());
    moveMouseOver(entry().heirsFrame, bare);
    EXPECT_EQ(entry().guidance->text(), QStringLiteral("هذه المسألة تسمى العمرية"));
    EXPECT_EQ(entry().guidance->palette().color(QPalette::WindowText), ui::kTextYellow);
    // It follows the case: unticking the mother takes it away, ticking her
    // again brings it back, without a movement of the mouse.
    click(entry().motherBox);
    EXPECT_EQ(entry().guidance->text(), QString());
    click(entry().motherBox);
    EXPECT_EQ(entry().guidance->text(), QStringLiteral("هذه المسألة تسمى العمرية"));

    // With children as well it is no longer that case: the text goes, the colour stays.
    moveMouseOver(entry().estateFrame, QPoint(4, 4));  // navy guidance first
    ModalScript script;
    script.on<CountingDialog>(fillCounts({{&EstateCase::sons, QStringLiteral("1")}}));
    click(entry().childrenBox);
    EXPECT_SCRIPT_DONE(script);
    moveMouseOver(entry().heirsFrame, bare);
    EXPECT_EQ(entry().guidance->text(), QString());
    EXPECT_EQ(entry().guidance->palette().color(QPalette::WindowText), QColor(0, 0, 128));
}

TEST_F(TheEntryWindow, ReturnClosesTheWindowAndReopeningShowsTheSameEntries)
{
    click(entry().womanButton);
    click(entry().fatherBox);
    typeOver(entry().estateEdit, QStringLiteral("9000"));
    ModalScript sons;
    sons.on<CountingDialog>(fillCounts({{&EstateCase::sons, QStringLiteral("2")}}));
    click(entry().childrenBox);
    EXPECT_SCRIPT_DONE(sons);

    // Escape does what "عودة" does, and so does a close request.
    QTest::keyClick(&entry(), Qt::Key_Escape);
    EXPECT_FALSE(entry().isVisible());
    entry().show();
    entry().close();
    EXPECT_FALSE(entry().isVisible());
    entry().show();
    click(entry().backButton);
    EXPECT_FALSE(entry().isVisible());

    // Shown modally again, as the main window's "دخول" does.
    ModalScript reopen;
    reopen.on<EntryWindow>([](EntryWindow* window) {
        EXPECT_TRUE(window->womanButton->isChecked());
        EXPECT_TRUE(window->fatherBox->isChecked());
        EXPECT_TRUE(window->childrenBox->isChecked());
        EXPECT_EQ(window->childrenCount->text(), QStringLiteral("2"));
        EXPECT_EQ(window->estateEdit->text(), QStringLiteral("9,000"));
        click(window->backButton);
    });
    entry().exec();
    EXPECT_SCRIPT_DONE(reopen);
    EXPECT_EQ(dialog(HeirGroup::Children).countEdit(&EstateCase::sons)->text(), QStringLiteral("2"));
    EXPECT_EQ(entry().estateCase().sons, HeadCount(2));
    EXPECT_EQ(entry().estateCase().estate, Currency::fromWhole(9000));
}

TEST_F(TheEntryWindow, EveryControlAUserActsOnOrReadsHasAnArabicAccessibleName)
{
    const std::vector<QWidget*> windows = allWindowsAndResults(entry());
    auto arabic = [](const QString& s) {
        return std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() >= 0x0600 && c.unicode() <= 0x06FF; });
    };
    int checked = 0;
    for (QWidget* window : windows) {
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const bool actsOrReads = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)
                                     || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QGroupBox*>(w)
                                     || (qobject_cast<QLabel*>(w) && !qobject_cast<QLabel*>(w)->text().trimmed().isEmpty())
                                     || w == entry().guidance;
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
    EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog(HeirGroup::Children).countEdit(&EstateCase::sons))
                  ->text(QAccessible::Name),
              QStringLiteral("عدد الأبناء الذكور"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(entry().divideButton)->text(QAccessible::Name), QStringLiteral("قسم"));
}

}  // namespace
}  // namespace qismar::testing

#include "ui/picture.h"

namespace qismar::testing {
namespace {

TEST_F(TheEntryWindow, BackgroundPicturesComeFromTheProgramsResources)
{
    for (QWidget* picture : {entry().background, dialog(HeirGroup::Children).background, grandmothersDialog().background,
                              excerptWindow().background, results().background}) {
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

TEST_F(TheEntryWindow, TextsReadAtAContrastOfAtLeastFourAndAHalf)
{
    const QImage picture = entry().background->grab().toImage();
    struct Case {
        const char* what;
        QColor text;
        QColor background;
    };
    std::vector<Case> cases = {
        {"olive guidance on the guidance box", ui::kTextYellow, entry().guidance->palette().color(QPalette::Window)},
        {"navy guidance on the guidance box", ui::kTextNavy, entry().guidance->palette().color(QPalette::Window)},
        {"red caption on the window face", ui::kTextRed, entry().palette().color(QPalette::Window)},
        {"red excerpt on white", excerptWindow().excerptText->palette().color(QPalette::Text),
         excerptWindow().excerptText->palette().color(QPalette::Base)},
    };
    // The preparation dialog: red captions on its panel, the calculation in
    // navy or red in its box.
    const QColor panel = preparation().panel->palette().color(QPalette::Window);
    const QColor box = preparation().calculation->palette().color(QPalette::Window);
    cases.push_back({"red caption on the preparation panel", preparation().funeralLabel->palette().color(QPalette::WindowText), panel});
    cases.push_back({"navy guidance on the preparation panel", preparation().guidance->palette().color(QPalette::WindowText), panel});
    cases.push_back({"navy calculation", ui::kTextNavy, box});
    cases.push_back({"red problem in the calculation", ui::kTextRed, box});
    entry().estateEdit->setText(QStringLiteral("100"));  // something remains: in green
    cases.push_back({"green remainder", preparation().remains->palette().color(QPalette::WindowText),
                     preparation().remains->palette().color(QPalette::Window)});
    // Captions over the picture, against the picture behind them.
    cases.push_back({"what remains after the preparation, over the picture", entry().netEstateLine->palette().color(QPalette::WindowText),
                     averageColour(picture, entry().netEstateLine->geometry())});
    for (QWidget* caption : std::initializer_list<QWidget*>{entry().heirsFrame, entry().deceasedFrame, entry().estateFrame})
        cases.push_back({"frame caption over the picture", caption->palette().color(QPalette::WindowText),
                         averageColour(picture, QRect(caption->geometry().topLeft(), QSize(caption->width(), 20)))});
    for (QCheckBox* box : entry().heirBoxes())
        cases.push_back({"heir caption over the picture", box->palette().color(QPalette::WindowText),
                         averageColour(picture, box->geometry())});
    for (const Case& c : cases)
        EXPECT_GE(contrast(c.text, c.background), 4.5)
            << c.what << ": " << c.text.name().toStdString() << " on " << c.background.name().toStdString();
    // The layout's own colours did not reach it.
    EXPECT_LT(contrast(QColor(255, 255, 0), entry().guidance->palette().color(QPalette::Window)), 4.5);
    EXPECT_LT(contrast(QColor(255, 0, 0), entry().palette().color(QPalette::Window)), 4.5);
}

TEST_F(TheEntryWindow, WholeCaseWithTheKeyboardAlone)
{
    // Father and children ticked with Space, the children's dialog filled
    // and closed with Enter, the estate typed, Enter to divide, Enter to
    // close the results (which clears the case), Escape to leave.
    entry().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry()));
    entry().fatherBox->setFocus(Qt::TabFocusReason);
    // Keys go where the entry window's focus is, as they do once it is active again.
    auto focus = [this] { return entry().focusWidget(); };
    auto press = [&](Qt::Key key) { QTest::keyClick(focus(), key); };
    press(Qt::Key_Space);
    EXPECT_TRUE(entry().fatherBox->isChecked());
    for (QWidget* next : {static_cast<QWidget*>(entry().motherBox), static_cast<QWidget*>(entry().spouseBox),
                          static_cast<QWidget*>(entry().childrenBox)}) {
        press(Qt::Key_Tab);
        EXPECT_EQ(focus(), next);
    }
    ModalScript sons;
    sons.on<CountingDialog>([](CountingDialog* dialog) {
        QLineEdit* sonsCount = dialog->countEdit(&EstateCase::sons);
        QLineEdit* daughtersCount = dialog->countEdit(&EstateCase::daughters);
        // The dialog's focus, whether or not the window system has made it
        // the active window yet.
        EXPECT_EQ(dialog->focusWidget(), sonsCount);
        QTest::keyClicks(sonsCount, QStringLiteral("2"));
        QTest::keyClick(sonsCount, Qt::Key_Tab);
        EXPECT_EQ(dialog->focusWidget(), daughtersCount);
        typeKeys(daughtersCount, QStringLiteral("١"));  // an Arabic keyboard's digit
        QTest::keyClick(daughtersCount, Qt::Key_Return);
    });
    press(Qt::Key_Space);
    EXPECT_SCRIPT_DONE(sons);
    EXPECT_EQ(entry().childrenCount->text(), QStringLiteral("3"));
    for (int i = 0; i < 30 && focus() != entry().estateEdit; ++i)
        press(Qt::Key_Tab);
    ASSERT_EQ(focus(), entry().estateEdit);
    QTest::keyClicks(entry().estateEdit, QStringLiteral("6000"));
    EXPECT_EQ(entry().estateEdit->text(), QStringLiteral("6,000"));

    QStringList amounts;
    ModalScript script;
    script.on<DivisionWindow>([&amounts](DivisionWindow* window) {
        for (Heir row : window->shownRows())
            amounts << window->amount(row)->exact();
        QTest::keyClick(window, Qt::Key_Return);
    });
    press(Qt::Key_Return);
    EXPECT_SCRIPT_DONE(script);
    // Father a sixth (1000), each son 2000 and the daughter 1000.
    EXPECT_EQ(amounts, (QStringList{QStringLiteral("1000"), QStringLiteral("2000"), QStringLiteral("1000")}));
    EXPECT_FALSE(results().isVisible());
    EXPECT_FALSE(entry().fatherBox->isChecked());
    EXPECT_FALSE(entry().childrenBox->isChecked());
    QTest::keyClick(&entry(), Qt::Key_Escape);
    EXPECT_FALSE(entry().isVisible());
}

}  // namespace
}  // namespace qismar::testing
