// The heir not yet known in the entry window: chosen in his own dialog, one
// at most, divided into what is paid now and the reserve, refused with the
// reason, kept in case files with the rest of the case, cleared by the
// results' "تم" and brought back by Ctrl+Z.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "results/amount_cell.h"
#include "results/division_report.h"
#include "tests/entry/gui_test_support.h"
#include "tests/results/result_cases.h"

namespace qismar::testing {
namespace {

class UncertainHeirInTheEntryWindow : public EntryWindows {
protected:
    // Chooses `heir` (none: "لا أحد") in the dialog as a user does: the
    // button, a choice, an item of its list, "تم".
    void choose(const std::optional<UncertainHeir>& heir)
    {
        ModalScript script;
        script.on<UncertainHeirDialog>([heir](UncertainHeirDialog* d) {
            auto pick = [](QComboBox* list, int value) {
                const int at = list->findData(value);
                ASSERT_GE(at, 0) << list->objectName();
                list->setCurrentIndex(at);
            };
            if (!heir) {
                click(d->noneButton);
            } else if (heir->kind == UncertainKind::Unborn) {
                click(d->unbornButton);
                pick(d->unbornLine, int(heir->line));
            } else if (heir->kind == UncertainKind::Missing) {
                click(d->missingButton);
                pick(d->missingHeir, int(heir->missing));
            } else {
                click(d->undeterminedButton);
                pick(d->undeterminedLine, int(heir->line));
            }
            click(d->doneButton);
        });
        click(entry().uncertainButton);
        EXPECT_SCRIPT_DONE(script);
    }

    // Presses "  قسم" and reads the results window, which "تم" then closes:
    // each line as "caption count=amount", the reserve and the outcomes' text.
    struct Shown {
        QStringList lines;
        QString reserve;
        QString outcomes;
    };
    Shown divide()
    {
        Shown shown;
        ModalScript script;
        script.on<DivisionWindow>([&shown](DivisionWindow* w) {
            for (Heir row : w->shownRows())
                shown.lines << QStringLiteral("%1 %2=%3").arg(w->caption(row)->text(), w->count(row)->text(),
                                                              w->amount(row)->exact());
            shown.reserve = w->reserveAmount->isVisible() ? w->reserveAmount->exact() : QString();
            shown.outcomes = w->outcomesText->isVisible() ? w->outcomesText->accessibleDescription() : QString();
            click(w->doneButton);
        });
        click(entry().divideButton);
        EXPECT_SCRIPT_DONE(script);
        return shown;
    }
};

TEST_F(UncertainHeirInTheEntryWindow, EachKindChosenAndDividedShowsWhatIsPaidNowAndTheReserve)
{
    // Worked by hand. The unborn child: the least of each heir over a
    // stillbirth (wife 1/8, daughter 1/2, mother 1/6, father 1/6 and the
    // rest), a boy (the son and the daughter share the rest of 11 700) and
    // a girl (1/8 + 2/3 + 1/6 + 1/6 raised to 27, 800 a share); 12 700 paid.
    // The missing son: his brother takes the half of the rest (17 000) he
    // would share with him, and that half waits. The child of undetermined
    // sex takes the lesser of 8 000 (a son) and 4 000 (a daughter): the
    // division as a daughter, where the brother takes the third left.
    const struct {
        const char* name;
        EstateCase estateCase;
        UncertainHeir heir;
        QStringList lines;
        QString reserve;
        QStringList outcomes;
    } cases[] = {
        {"unborn child", unbornCase(), unbornChild(),
         {QStringLiteral("الزوجة 1=2400"), QStringLiteral("الأب 1=3200"), QStringLiteral("الأم 1=3200"),
          QStringLiteral("البنت 1=3900")},
         QStringLiteral("8900"),
         {QStringLiteral("إن وُلد الحمل ميتاً"), QStringLiteral("إن وُلد ذكراً"), QStringLiteral("إن وُلدت أنثى")}},
        {"missing son", missingCase(), missingSon(),
         {QStringLiteral("الزوجة 1=3000"), QStringLiteral("الأم 1=4000"), QStringLiteral("الابن 1=8500")},
         QStringLiteral("8500"), {QStringLiteral("إن ظهر المفقود حياً"), QStringLiteral("إن حُكم بموت المفقود")}},
        {"child of undetermined sex", undeterminedCase(), undeterminedChild(),
         {QStringLiteral("لكل بنت 2=4000"), QStringLiteral("الأخ الشقيق 1=4000")}, QString(),
         {QStringLiteral("على تقدير الخنثى ذكراً"), QStringLiteral("على تقدير الخنثى أنثى")}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        entry().showCase(k.estateCase);
        choose(k.heir);
        ASSERT_EQ(entry().uncertainHeir(), k.heir);
        EXPECT_TRUE(entry().uncertainButton->isChecked());
        EXPECT_EQ(entry().guidance->text(), QStringLiteral("في المسألة ") + results::uncertainHeirText(k.heir));
        const Shown shown = divide();
        EXPECT_EQ(shown.lines, k.lines);
        EXPECT_EQ(shown.reserve, k.reserve);
        for (const QString& title : k.outcomes)
            EXPECT_TRUE(shown.outcomes.contains(title)) << title << "\n" << shown.outcomes;
        // "تم" took the heir not yet known away with the rest of the case.
        EXPECT_EQ(entry().uncertainHeir(), std::nullopt);
        EXPECT_FALSE(entry().uncertainButton->isChecked());
    }
}

TEST_F(UncertainHeirInTheEntryWindow, ARefusedHeirIsSaidInArabicAndNothingIsDivided)
{
    EstateCase withFather = unbornCase();
    EstateCase woman;
    woman.deceased = Deceased::Woman;
    woman.estate = Currency::fromWhole(6000);
    woman.spouse = true;
    woman.mother = true;
    const struct {
        const char* name;
        EstateCase estateCase;
        UncertainHeir heir;
        // Done after the choice, before dividing.
        std::function<void(EntryWindow&)> then;
        QString reason;
    } cases[] = {
        {"an unborn full brother while the father lives", withFather,
         {UncertainKind::Unborn, KinLine::FullSibling, Heir::Sons}, nullptr,
         QStringLiteral("لا يكون الحمل أخاً شقيقاً أو لأب والأب حي")},
        {"an unborn child of a deceased woman", woman, unbornChild(), nullptr,
         QStringLiteral("لا يكون للمتوفاة حمل بعد وفاتها")},
        {"a missing son whose class was taken out", missingCase(), missingSon(),
         [](EntryWindow& w) { w.setTicked(w.childrenBox, false); },
         QStringLiteral("المفقود ليس من الورثة المدخلين: الأبناء")},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        entry().showCase(k.estateCase);
        choose(k.heir);
        if (k.then)
            k.then(entry());
        else
            EXPECT_EQ(entry().guidance->text(), k.reason);  // said at once, in the guidance
        ModalScript script;
        script.messageBox();
        click(entry().divideButton);
        EXPECT_SCRIPT_DONE(script);
        ASSERT_EQ(script.boxes().size(), 1u);
        EXPECT_EQ(script.boxes()[0].icon, QMessageBox::Warning);
        EXPECT_EQ(script.boxes()[0].text, k.reason);
        EXPECT_FALSE(results().holdsDivision());
        // The case stays as it was entered, to be corrected.
        EXPECT_EQ(entry().uncertainHeir(), k.heir);
        entry().setUncertainHeir(std::nullopt);
    }
}

TEST_F(UncertainHeirInTheEntryWindow, TheDialogHoldsOneHeirAtMostAndOnlyTheRelativesEntered)
{
    UncertainHeirDialog& d = entry().uncertainHeirDialog();
    // With no relative entered there is nobody to be missing.
    {
        ModalScript script;
        script.on<UncertainHeirDialog>([](UncertainHeirDialog* shown) {
            EXPECT_TRUE(shown->note->text().contains(QStringLiteral("وارث واحد")));
            EXPECT_TRUE(shown->noneButton->isChecked());
            EXPECT_FALSE(shown->missingButton->isEnabled());
            // One choice at a time: choosing another takes the first away.
            click(shown->unbornButton);
            click(shown->undeterminedButton);
            EXPECT_FALSE(shown->unbornButton->isChecked());
            EXPECT_TRUE(shown->undeterminedLine->isEnabled());
            EXPECT_FALSE(shown->unbornLine->isEnabled());
            // "إلغاء" leaves the case as it was.
            click(shown->cancelButton);
        });
        click(entry().uncertainButton);
        EXPECT_SCRIPT_DONE(script);
    }
    EXPECT_EQ(entry().uncertainHeir(), std::nullopt);
    EXPECT_FALSE(entry().uncertainButton->isChecked());

    // The missing heir is one head of a relative entered, named with the number.
    EstateCase c = missingCase();
    c.father = true;
    entry().showCase(c);
    choose(missingSon());
    QStringList items;
    for (int i = 0; i < d.missingHeir->count(); ++i)
        items << d.missingHeir->itemText(i);
    EXPECT_EQ(items, (QStringList{QStringLiteral("الزوجة"), QStringLiteral("الأب"), QStringLiteral("الأم"),
                                  QStringLiteral("واحد من الأبناء (2)")}));
    // The mouse over the button names him.
    moveMouseOver(entry().uncertainButton);
    EXPECT_EQ(entry().guidance->text(), QStringLiteral("في المسألة مفقود من الأبناء"));
    // Another kind replaces him, and "لا أحد" leaves none.
    choose(unbornChild());
    EXPECT_EQ(entry().uncertainHeir(), unbornChild());
    choose(std::nullopt);
    EXPECT_EQ(entry().uncertainHeir(), std::nullopt);
    EXPECT_FALSE(entry().uncertainButton->isChecked());
    moveMouseOver(entry().uncertainButton);
    EXPECT_TRUE(entry().guidance->text().contains(QStringLiteral("حمل أو مفقود أو خنثى مشكل")));
}

TEST_F(UncertainHeirInTheEntryWindow, KeptInTheCaseFileClearedByDoneAndBroughtBackByCtrlZ)
{
    const QString file = QDir(QDir::currentPath()).filePath(QStringLiteral("unborn.qismar"));
    entry().showCase(unbornCase());
    ASSERT_TRUE(entry().saveCaseFile(file));
    EXPECT_FALSE(entry().hasUnsavedCase());
    // The heir not yet known is part of the case: choosing him is a change.
    choose(unbornChild());
    EXPECT_TRUE(entry().hasUnsavedCase());
    ASSERT_TRUE(entry().saveCaseFile(file));
    EXPECT_FALSE(entry().hasUnsavedCase());
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("\"unborn\": \"child\"")) << file;

    // Opening the file brings him back with the case.
    choose(std::nullopt);
    EXPECT_TRUE(entry().hasUnsavedCase());
    ASSERT_TRUE(entry().openCaseFile(file));
    EXPECT_EQ(entry().uncertainHeir(), unbornChild());
    EXPECT_TRUE(entry().uncertainButton->isChecked());
    EXPECT_FALSE(entry().hasUnsavedCase());

    // "تم" clears him with the heirs; Ctrl+Z brings the whole case back.
    const EstateCase typed = entry().estateCase();
    divide();
    EXPECT_EQ(entry().uncertainHeir(), std::nullopt);
    EXPECT_FALSE(entry().uncertainButton->isChecked());
    entry().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry()));
    QTest::keyClick(&entry(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(entry().estateCase(), typed);
    EXPECT_EQ(entry().uncertainHeir(), unbornChild());
    EXPECT_TRUE(entry().uncertainButton->isChecked());

    // An unborn child alone is a case to save, and to clear.
    entry().clearCase();
    EXPECT_TRUE(entry().isEmptyCase());
    entry().setUncertainHeir(unbornChild());
    EXPECT_FALSE(entry().isEmptyCase());
}

}  // namespace
}  // namespace qismar::testing
