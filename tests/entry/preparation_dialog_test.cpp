// The estate's preparation dialog: what remains for the heirs as the amounts
// are typed, the refusal of amounts beyond the money range, the fields that
// take digits only, and the case the entry window reads with it.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "tests/entry/gui_test_support.h"
#include "engine/preparation.h"
#include "ui/digit_edit.h"
#include "ui/ui_common.h"

namespace qismar::testing {
namespace {

class ThePreparationDialog : public EntryWindows {
protected:
    void SetUp() override
    {
        EntryWindows::SetUp();
        preparation().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&preparation()));
    }
    void TearDown() override
    {
        preparation().hide();
        EntryWindows::TearDown();
    }
    // Types the gross estate in the entry window and the amounts in the dialog.
    void enter(const QString& estate, const QString& funeral, const QString& debts, const QString& bequests,
                      bool consent)
    {
        entry().estateEdit->setText(estate);
        // The fields refuse an amount beyond the largest as it is typed:
        // such amounts come in from code, as from an older window.
        for (auto [edit, text] : {std::pair{preparation().funeralEdit, funeral}, std::pair{preparation().debtsEdit, debts},
                                  std::pair{preparation().bequestsEdit, bequests}}) {
            if (text.size() >= 15)
                edit->setText(text);
            else
                typeOver(edit, text);
        }
        if (preparation().consentBox->isChecked() != consent)
            click(preparation().consentBox);
    }
};

TEST_F(ThePreparationDialog, ShowsWhatRemainsForTheHeirsAsTheAmountsAreTyped)
{
    const QString top = QStringLiteral("922337203685477");
    const QString beyond = QStringLiteral("922337203685478");
    const QString none = QStringLiteral("الباقي للورثة: —");
    const QString nothing = QStringLiteral("لا يبقى للورثة شيء، فلا قسمة");
    struct Case {
        const char* what;
        QString estate, funeral, debts, bequests;
        bool consent;
        QString remains;       // what remains for the heirs, exactly
        QString calculation;   // a part of the calculation
        QString entryLine;     // the line under "تجهيز التركة", exactly
        bool problem = false;  // the calculation in red
    };
    const Case cases[] = {
        {"nothing deducted", "90000", "0", "0", "0", false, "الباقي للورثة: 90,000", "التركة كلها: 90,000", ""},
        {"funeral and debts", "90000", "3000", "27000", "0", false, "الباقي للورثة: 60,000",
         "تُخرج نفقات التجهيز والدفن: 3,000\nثم الديون: 27,000\nثم الوصايا: 0", "للقسمة بعد التجهيز: 60,000"},
        {"a bequest under the third", "90000", "0", "0", "20000", false, "الباقي للورثة: 70,000",
         "ثم الوصايا: 20,000، لا تزيد على ثلث الباقي بعد الديون (30,000)", "للقسمة بعد التجهيز: 70,000"},
        {"a bequest over the third", "90000", "3000", "27000", "30000", false, "الباقي للورثة: 40,000",
         "ثم الوصايا: 20,000 من 30,000، في حدود ثلث الباقي بعد الديون لأن الورثة لم يجيزوا ما زاد",
         "للقسمة بعد التجهيز: 40,000"},
        {"the same with consent", "90000", "3000", "27000", "30000", true, "الباقي للورثة: 30,000",
         "ثم الوصايا: 30,000، كاملة بإجازة الورثة ما زاد على الثلث", "للقسمة بعد التجهيز: 30,000"},
        {"consented bequests beyond what remains", "1000", "0", "400", "5000", true, nothing,
         "ثم الوصايا: 600 من 5,000 بإجازة الورثة، وهو كل ما بقي بعد الديون", "لا يبقى للورثة شيء"},
        {"debts equal to the estate", "1000", "0", "1000", "0", false, nothing,
         "استغرقت نفقات التجهيز والديون التركة كلها", "لا يبقى للورثة شيء"},
        {"costs and debts beyond it", "1000", "200", "1500", "0", false, nothing, "وزادت عليها بمقدار 700",
         "لا يبقى للورثة شيء"},
        {"the top of the money range", top, "0", top, "0", false, nothing, "التركة كلها: 922,337,203,685,477", "لا يبقى للورثة شيء"},
        {"no estate yet", "0", "3000", "0", "0", false, none, "اكتب قيمة التركة كلها أولاً", ""},
        {"funeral beyond the range", "90000", beyond, "0", "0", false, none,
         "مبلغ «نفقات التجهيز والدفن» أكبر من أكبر مبلغ يقبله البرنامج (922337203685477)",
         "في تجهيز التركة مبلغ لا يُقبل", true},
        {"debts beyond the range", "90000", "0", "99999999999999999999", "0", false, none,
         "مبلغ «الديون» أكبر من أكبر مبلغ", "في تجهيز التركة مبلغ لا يُقبل", true},
        {"bequests beyond the range", "90000", "0", "0", beyond, false, none, "مبلغ «الوصايا» أكبر من أكبر مبلغ",
         "في تجهيز التركة مبلغ لا يُقبل", true},
        {"costs and debts adding up beyond the largest amount", "90000", top, top, "0", false, nothing,
         "وزادت عليها بمقدار 1,844,674,407,280,954", "لا يبقى للورثة شيء"},
        {"an estate beyond the range", beyond, "0", "10", "0", false, none, "مبلغ «قيمة التركة» أكبر من أكبر مبلغ", "",
         true},
        // Even the smallest letters would cut the long line off: the words
        // shorten and the amount stays whole.
        {"a net estate of fifteen digits", top, "1", "0", "0", false, "الباقي للورثة: 922,337,203,685,476",
         "التركة كلها: 922,337,203,685,477", "الصافي: 922,337,203,685,476"},
    };
    for (const Case& k : cases) {
        enter(k.estate, k.funeral, k.debts, k.bequests, k.consent);
        EXPECT_EQ(preparation().remains->text(), k.remains) << k.what;
        EXPECT_TRUE(preparation().calculation->text().contains(k.calculation)) << k.what << ": " << preparation().calculation->text();
        EXPECT_EQ(preparation().calculation->palette().color(QPalette::WindowText), k.problem ? ui::kTextRed : ui::kTextNavy)
            << k.what;
        EXPECT_EQ(entry().netEstateLine->text(), k.entryLine) << k.what;
        EXPECT_LE(entry().netEstateLine->fontMetrics().horizontalAdvance(entry().netEstateLine->text()),
                  entry().netEstateLine->width())
            << k.what;
        // A screen reader reads the same.
        EXPECT_EQ(preparation().remains->accessibleDescription(), k.remains) << k.what;
    }
}

TEST_F(ThePreparationDialog, AmountsAreTypedInDigitsOnly)
{
    auto* debts = static_cast<ui::DigitEdit*>(preparation().debtsEdit);
    // Letters and signs are refused as they are typed; the point and the
    // digits after it are taken.
    typeOver(debts, QStringLiteral("12a.5- "));
    EXPECT_EQ(debts->text(), QStringLiteral("12.5"));
    EXPECT_TRUE(debts->hint().contains(QStringLiteral("922,337,203,685,477")));
    typeOver(debts, QStringLiteral("٣٠٠٠"));  // an Arabic keyboard's digits, grouped as typed
    EXPECT_EQ(debts->text(), QStringLiteral("3,000"));
    pasteOver(debts, QStringLiteral("3,000.5"));
    EXPECT_EQ(debts->text(), QStringLiteral("3,000.5"));
    const PreparationDialog::Reading r = preparation().read();
    EXPECT_EQ(r.preparation.debts, Currency::fromRaw(30005000));
    debts->selectAll();
    QTest::keyClick(debts, Qt::Key_Backspace);
    EXPECT_EQ(debts->text(), QStringLiteral("0"));
    for (QLineEdit* edit : {preparation().funeralEdit, preparation().debtsEdit, preparation().bequestsEdit})
        EXPECT_EQ(edit->layoutDirection(), Qt::LeftToRight) << edit->objectName();
}

TEST_F(ThePreparationDialog, DoneRefusesAnAmountBeyondTheRangeAndKeepsItForCorrection)
{
    preparation().hide();
    entry().estateEdit->setText(QStringLiteral("90000"));
    for (QLineEdit* PreparationDialog::*field : {&PreparationDialog::funeralEdit, &PreparationDialog::debtsEdit, &PreparationDialog::bequestsEdit}) {
        const QString tooMuch = QStringLiteral("1000000000000000");
        ModalScript script;
        QStringList warnings;
        script.on<PreparationDialog>([&](PreparationDialog* dialog) {
            QLineEdit* edit = dialog->*field;
            // (Typed, the field refuses it at its last digit; it comes in
            // from code here, which the dialog refuses too.)
            edit->setText(tooMuch);
            ModalScript box;
            box.messageBox();
            click(dialog->doneButton);
            EXPECT_SCRIPT_DONE(box);
            for (const auto& b : box.boxes())
                warnings << b.text;
            // Still open, the amount kept and in focus for the user to correct.
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(edit->text(), tooMuch);
            EXPECT_EQ(dialog->focusWidget(), edit);
            // Escape is refused the same way.
            ModalScript escape;
            escape.messageBox();
            QTest::keyClick(dialog, Qt::Key_Escape);
            EXPECT_SCRIPT_DONE(escape);
            EXPECT_TRUE(dialog->isVisible());
            typeOver(edit, QStringLiteral("1000"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        click(entry().preparationButton);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_FALSE(preparation().isVisible());
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_TRUE(warnings[0].contains(QStringLiteral("«%1» أكبر من أكبر مبلغ يقبله البرنامج")
                                             .arg((preparation().*field)->accessibleName())))
            << warnings[0];
        EXPECT_EQ((preparation().*field)->text(), QStringLiteral("1,000"));
        preparation().clearFields();
    }
}

TEST_F(ThePreparationDialog, LeftEmptyItChangesNothingAndFilledTheCaseDividesTheNetEstate)
{
    preparation().hide();
    ModalScript sons;
    sons.on<CountingDialog>(fillCounts({{&EstateCase::sons, QStringLiteral("2")}, {&EstateCase::daughters, QStringLiteral("1")}}));
    click(entry().childrenBox);
    EXPECT_SCRIPT_DONE(sons);
    click(entry().motherBox);
    typeOver(entry().estateEdit, QStringLiteral("90000"));
    const EstateCase before = entry().caseToDivide();

    // Opened and closed without typing: nothing changes.
    ModalScript untouched;
    untouched.on<PreparationDialog>([](PreparationDialog* dialog) {
        EXPECT_EQ(dialog->focusWidget(), dialog->funeralEdit);
        EXPECT_EQ(dialog->remains->text(), QStringLiteral("الباقي للورثة: 90,000"));
        click(dialog->doneButton);
    });
    click(entry().preparationButton);
    EXPECT_SCRIPT_DONE(untouched);
    EXPECT_EQ(entry().caseToDivide(), before);
    EXPECT_FALSE(entry().preparationButton->isChecked());
    EXPECT_TRUE(entry().netEstateLine->text().isEmpty());
    EXPECT_FALSE(DivideEstate(entry().caseToDivide()).preparation.has_value());

    // Filled: the case carries the amounts, and its rows are those of the
    // net estate typed directly.
    ModalScript filled;
    filled.on<PreparationDialog>([](PreparationDialog* dialog) {
        typeOver(dialog->funeralEdit, QStringLiteral("3000"));
        QTest::keyClick(dialog->funeralEdit, Qt::Key_Tab);
        EXPECT_EQ(dialog->focusWidget(), dialog->debtsEdit);
        QTest::keyClicks(dialog->debtsEdit, QStringLiteral("27000"));
        QTest::keyClick(dialog->debtsEdit, Qt::Key_Tab);
        QTest::keyClicks(dialog->bequestsEdit, QStringLiteral("30000"));
        QTest::keyClick(dialog->bequestsEdit, Qt::Key_Return);
    });
    click(entry().preparationButton);
    EXPECT_SCRIPT_DONE(filled);
    const EstateCase prepared = entry().caseToDivide();
    EXPECT_EQ(prepared.funeral, Currency::fromWhole(3000));
    EXPECT_EQ(prepared.debts, Currency::fromWhole(27000));
    EXPECT_EQ(prepared.bequests, Currency::fromWhole(30000));
    EXPECT_FALSE(prepared.heirsConsent);
    EXPECT_TRUE(entry().preparationButton->isChecked());
    EXPECT_EQ(entry().netEstateLine->text(), QStringLiteral("للقسمة بعد التجهيز: 40,000"));
    const DivisionResult result = DivideEstate(prepared);
    ASSERT_TRUE(result.preparation.has_value());
    EXPECT_EQ(result.preparation->net, Currency::fromWhole(40000));
    EstateCase net = before;
    net.estate = Currency::fromWhole(40000);
    EXPECT_TRUE(result.rows == Divide(net).rows);

    // The estate typed anew: the line follows it.
    typeOver(entry().estateEdit, QStringLiteral("120000"));
    EXPECT_EQ(entry().netEstateLine->text(), QStringLiteral("للقسمة بعد التجهيز: 60,000"));

    // "مسح" empties the dialog, and the case is as it was.
    ModalScript cleared;
    cleared.on<PreparationDialog>([](PreparationDialog* dialog) {
        click(dialog->consentBox);
        click(dialog->clearButton);
        for (QLineEdit* edit : {dialog->funeralEdit, dialog->debtsEdit, dialog->bequestsEdit})
            EXPECT_EQ(edit->text(), QStringLiteral("0"));
        EXPECT_FALSE(dialog->consentBox->isChecked());
        EXPECT_EQ(dialog->focusWidget(), dialog->funeralEdit);
        click(dialog->doneButton);
    });
    click(entry().preparationButton);
    EXPECT_SCRIPT_DONE(cleared);
    EstateCase again = before;
    again.estate = Currency::fromWhole(120000);
    EXPECT_EQ(entry().caseToDivide(), again);
    EXPECT_FALSE(entry().preparationButton->isChecked());
}

TEST_F(ThePreparationDialog, TheConsumedEstateIsReportedWhenDividing)
{
    preparation().hide();
    click(entry().motherBox);
    typeOver(entry().estateEdit, QStringLiteral("1000"));
    preparation().debtsEdit->setText(QStringLiteral("1500"));
    ModalScript script;
        script.messageBox();
    click(entry().divideButton);
    EXPECT_SCRIPT_DONE(script);
    ASSERT_EQ(script.boxes().size(), 1u);
    EXPECT_EQ(script.boxes()[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(script.boxes()[0].text.contains(QStringLiteral("وزادت عليها بمقدار 500"))) << script.boxes()[0].text;
}

}  // namespace
}  // namespace qismar::testing
