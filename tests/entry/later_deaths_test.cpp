// Heads who died before the division, in the entry window: the dialog's
// proposals from the relation, the division of the problems together, the
// later deaths saved, opened, cleared and restored with the case, and the
// refusals said in Arabic.
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include "casefile/case_file.h"
#include "engine/uncertain_heir.h"
#include "entry/later_death_relations.h"
#include "entry/later_deaths_dialog.h"
#include "tests/entry/gui_test_support.h"

namespace qismar::testing {
namespace {

using Links = std::vector<std::pair<std::string, std::string>>;

// A man leaves his wives, two sons and a daughter, his mother and his
// father's full brother's son.
EstateCase family(int wives)
{
    EstateCase c;
    c.estate = Currency::fromWhole(24000);
    c.spouse = true;
    c.wives = HeadCount(wives);
    c.sons = HeadCount(2);
    c.daughters = HeadCount(1);
    return c;
}

// The link each shown field's choice holds ("" for "غيرهم").
std::string linkShown(const LaterDeathsDialog& d, const std::string& json)
{
    const QComboBox* choice = d.linkChoice(json);
    return choice ? choice->currentData().toString().toStdString() : std::string("(none)");
}

class LaterDeathsInTheEntryWindow : public EntryWindows {
protected:
    // Opens the dialog with the window's button; `act` acts on it from
    // inside it, then "تم" or "إلغاء" is pressed.
    void editDeaths(const std::function<void(LaterDeathsDialog*)>& act, bool done = true)
    {
        ModalScript script;
        script.on<LaterDeathsDialog>([&](LaterDeathsDialog* d) {
            act(d);
            click(done ? d->doneButton : d->cancelButton);
        });
        click(entry().laterDeathsButton);
        EXPECT_SCRIPT_DONE(script);
    }
    // The wife, two sons and a daughter of 24 000; one son died leaving his
    // mother, his full brother and full sister, the same persons.
    void typeSonsDeath()
    {
        EstateCase c = family(1);
        entry().showCase(c);
        editDeaths([](LaterDeathsDialog* d) { d->heirChoice->setCurrentIndex(d->heirChoice->findData(QStringLiteral("sons"))); });
        ASSERT_EQ(entry().laterDeaths().size(), 1u);
        ASSERT_EQ(entry().laterDeaths()[0].heir, "sons");
    }
};

// ---------------------------------------------------------------- the proposals

TEST(LaterDeathRelations, TheHeirsAndLinksProposedFollowTheRelationAndLeaveTheRestToTheUser)
{
    struct Proposal {
        const char* what;
        EstateCase earlier;
        const char* dead;
        Links same;
        std::vector<std::pair<const char*, std::int64_t>> heads;  // his heirs that follow
    };
    EstateCase withMother = family(1);
    withMother.mother = true;
    withMother.father = false;
    EstateCase twoWives = family(2);
    EstateCase withFather = family(1);
    withFather.father = true;
    EstateCase woman;
    woman.deceased = Deceased::Woman;
    woman.estate = Currency::fromWhole(600);
    woman.spouse = true;
    woman.sons = HeadCount(1);
    woman.daughters = HeadCount(2);
    woman.mother = true;
    const Proposal proposals[] = {
        {"a son of a man with one wife: his mother is the wife, his father's mother the deceased's mother", withMother,
         "sons", {{"mother", "wives"}, {"fullBrothers", "sons"}, {"fullSisters", "daughters"}, {"fathersMother", "mother"}},
         {{"mother", 1}, {"fullBrothers", 1}, {"fullSisters", 1}, {"fathersMother", 1}}},
        {"a son of a man with two wives: no mother is proposed", twoWives, "sons",
         {{"fullBrothers", "sons"}, {"fullSisters", "daughters"}}, {{"mother", 0}, {"fullBrothers", 1}, {"fullSisters", 1}}},
        {"a daughter: her brothers are the sons, her sisters none, her grandfather the father", withFather, "daughters",
         {{"mother", "wives"}, {"fullBrothers", "sons"}, {"grandfather", "father"}},
         {{"mother", 1}, {"fullBrothers", 2}, {"fullSisters", 0}, {"grandfather", 1}}},
        {"the wife, the only one: the deceased's children are hers", family(1), "wives",
         {{"sons", "sons"}, {"daughters", "daughters"}}, {{"sons", 2}, {"daughters", 1}, {"spouse", 0}}},
        {"a son of a woman: his father is her husband, his mother's mother hers", woman, "sons",
         {{"father", "spouse"}, {"fullSisters", "daughters"}, {"mothersMother", "mother"}},
         {{"father", 1}, {"fullSisters", 2}, {"fullBrothers", 0}, {"mothersMother", 1}, {"wives", 0}}},
        {"the husband: her children are his", woman, "spouse", {{"sons", "sons"}, {"daughters", "daughters"}},
         {{"sons", 1}, {"daughters", 2}}},
    };
    for (const Proposal& p : proposals) {
        SCOPED_TRACE(p.what);
        const LaterDeath d = proposeLaterDeath(p.earlier, {}, 1, p.dead);
        EXPECT_EQ(d.problem, 1);
        EXPECT_EQ(d.heir, p.dead);
        EXPECT_EQ(d.same, p.same);
        for (const auto& [field, heads] : p.heads) {
            const std::optional<PersonField> f = personField(problemCase(p.earlier, {d}, 2), field);
            EXPECT_EQ(f ? f->heads : 0, heads) << field;
        }
        // What is proposed divides.
        const SuccessiveDivision s = DivideSuccessive(p.earlier, {d});
        EXPECT_FALSE(s.refusal) << (s.refusal ? s.refusal->english : std::string());
    }
}

TEST(LaterDeathRelations, AThirdDeathNamesAHeadOfTheSecondProblemAndCountsTheDeadInTheFirst)
{
    EstateCase first = family(1);
    first.sons = HeadCount(3);
    std::vector<LaterDeath> later{proposeLaterDeath(first, {}, 1, "sons")};
    // The dead son's mother dies in turn: her own children are his full
    // brothers and sister in the second problem.
    const LaterDeath mother = proposeLaterDeath(first, later, 2, "mother");
    EXPECT_EQ(mother.problem, 2);
    EXPECT_EQ(mother.same, (Links{{"sons", "fullBrothers"}, {"daughters", "fullSisters"}}));
    const EstateCase own = problemCase(first, {later[0], mother}, 3);
    EXPECT_TRUE(own.isWoman());
    EXPECT_EQ(own.sons, HeadCount(2));
    EXPECT_EQ(own.daughters, HeadCount(1));
    // A second son of the first problem dies: one son is left of three, and
    // one full brother in the second problem is that dead son.
    later.push_back(proposeLaterDeath(first, later, 1, "sons"));
    EXPECT_EQ(headsLeft(first, later, 1, "sons"), 1);
    EXPECT_EQ(later[1].same[1], (std::pair<std::string, std::string>{"fullBrothers", "sons"}));
    EXPECT_EQ(problemCase(first, later, 3).fullBrothers, HeadCount(1));
    // A death in the second problem linked to the first counts there too.
    LaterDeath brother = proposeLaterDeath(first, later, 2, "fullBrothers");
    later.push_back(brother);
    EXPECT_EQ(headsLeft(first, later, 2, "fullBrothers"), 1);
    EXPECT_EQ(headsLeft(first, later, 1, "sons"), 0);
}

// ---------------------------------------------------------------- the dialog

TEST_F(LaterDeathsInTheEntryWindow, TheDialogAsksWhoDiedAndProposesTheLinksOfHisRelationWhichTheUserChanges)
{
    entry().showCase(family(2));
    editDeaths([](LaterDeathsDialog* d) {
        EXPECT_TRUE(layoutFaults(d).isEmpty()) << layoutFaults(d).join(QLatin1Char('\n'));
        // It opens on the second problem: the first head with heads left died.
        ASSERT_EQ(d->problemsList->count(), 2);
        EXPECT_EQ(d->problemsList->item(0)->text(), QStringLiteral("المسألة الأولى: المتوفى"));
        EXPECT_EQ(d->selectedProblem(), 2);
        QStringList heads;
        for (int i = 0; i < d->heirChoice->count(); ++i)
            heads << d->heirChoice->itemText(i);
        EXPECT_EQ(heads, (QStringList{QStringLiteral("الزوجة"), QStringLiteral("الابن"), QStringLiteral("البنت")}));
        // A son: two wives, so no mother; his brother and sister are the others.
        d->heirChoice->setCurrentIndex(1);
        EXPECT_EQ(d->problemsList->item(1)->text(), QStringLiteral("المسألة الثانية: الابن من المسألة الأولى"));
        EXPECT_FALSE(d->boxOf("mother")->isChecked());
        EXPECT_EQ(linkShown(*d, "mother"), "(none)");
        EXPECT_EQ(linkShown(*d, "fullBrothers"), "sons");
        EXPECT_EQ(linkShown(*d, "fullSisters"), "daughters");
        // His mother was one of the wives: ticked and linked by the user;
        // his sister is a half-sister by his father: moved, and no longer linked.
        d->boxOf("mother")->setChecked(true);
        QComboBox* mother = d->linkChoice("mother");
        ASSERT_NE(mother, nullptr);
        mother->setCurrentIndex(mother->findData(QStringLiteral("wives")));
        d->countEdit("fullSisters")->setValue(0);
        EXPECT_EQ(d->linkChoice("fullSisters"), nullptr);
        d->countEdit("paternalSisters")->setValue(1);
        QComboBox* sister = d->linkChoice("paternalSisters");
        ASSERT_NE(sister, nullptr);
        sister->setCurrentIndex(sister->findData(QStringLiteral("daughters")));
    });
    ASSERT_EQ(entry().laterDeaths().size(), 1u);
    const LaterDeath& d = entry().laterDeaths()[0];
    EXPECT_EQ(d.heir, "sons");
    EXPECT_EQ(d.same, (Links{{"mother", "wives"}, {"fullBrothers", "sons"}, {"paternalSisters", "daughters"}}));
    EXPECT_TRUE(d.ownCase.mother);
    EXPECT_EQ(d.ownCase.fullSisters, HeadCount(0));
    EXPECT_TRUE(entry().laterDeathsButton->isChecked());
    EXPECT_TRUE(entry().hasUnsavedCase());

    // "إلغاء" leaves them as they were, whatever was changed.
    editDeaths([](LaterDeathsDialog* d) {
        click(d->removeButton);
        EXPECT_EQ(d->problemsList->count(), 1);
    }, false);
    EXPECT_EQ(entry().laterDeaths().size(), 1u);
}

TEST_F(LaterDeathsInTheEntryWindow, AThirdDeathInTheSecondProblemAndRemovingADeathTakesTheDeathsOfItsProblemWithIt)
{
    typeSonsDeath();
    editDeaths([](LaterDeathsDialog* d) {
        // The second problem chosen: a head of it died.
        d->selectProblem(2);
        ASSERT_TRUE(d->addDeath());
        EXPECT_EQ(d->selectedProblem(), 3);
        EXPECT_EQ(d->problemChoice->currentData().toInt(), 2);
        EXPECT_EQ(d->heirChoice->currentData().toString(), QStringLiteral("mother"));
        EXPECT_EQ(d->problemsList->item(2)->text(), QStringLiteral("المسألة الثالثة: الأم من المسألة الثانية"));
        EXPECT_EQ(linkShown(*d, "sons"), "fullBrothers");
        EXPECT_EQ(linkShown(*d, "daughters"), "fullSisters");
        EXPECT_EQ(d->countEdit("wives")->maximum(), 1);  // a woman: her husband
        // The first problem has a son left, whose death then follows.
        d->selectProblem(1);
        ASSERT_TRUE(d->addDeath());
        EXPECT_EQ(d->problemChoice->currentData().toInt(), 1);
        d->heirChoice->setCurrentIndex(d->heirChoice->findData(QStringLiteral("sons")));
        EXPECT_EQ(d->problemsList->count(), 4);
        // Removing the second problem takes the third (a head of it) along;
        // the fourth becomes the third and still names the first problem.
        d->selectProblem(2);
        click(d->removeButton);
        ASSERT_EQ(d->deaths().size(), 1u);
        EXPECT_EQ(d->deaths()[0].problem, 1);
        EXPECT_EQ(d->deaths()[0].heir, "sons");
    });
    EXPECT_EQ(entry().laterDeaths().size(), 1u);
}

TEST_F(LaterDeathsInTheEntryWindow, TheCaseDividesAtMostEightProblems)
{
    EstateCase c = family(1);
    c.sons = HeadCount(9);
    entry().showCase(c);
    editDeaths([&c](LaterDeathsDialog* d) {
        d->heirChoice->setCurrentIndex(d->heirChoice->findData(QStringLiteral("sons")));
        for (int problem = 3; problem <= int(kMaxProblems); ++problem) {
            EXPECT_TRUE(d->addButton->isEnabled()) << problem;
            d->selectProblem(1);
            ASSERT_TRUE(d->addDeath());
            d->heirChoice->setCurrentIndex(d->heirChoice->findData(QStringLiteral("sons")));
            EXPECT_EQ(d->problemsList->count(), problem);
        }
        EXPECT_FALSE(d->addButton->isEnabled());
        // Seven sons died, each leaving the sons still alive as his brothers.
        EXPECT_EQ(headsLeft(c, d->deaths(), 1, "sons"), 2);
        EXPECT_EQ(d->deaths().back().ownCase.fullBrothers, HeadCount(2));
    });
    EXPECT_EQ(entry().laterDeaths().size(), kMaxProblems - 1);
}

// ---------------------------------------------------------------- dividing

TEST_F(LaterDeathsInTheEntryWindow, DividingJoinsTheProblemsIntoTheCombinedTableWorkedByHand)
{
    // The first problem: the wife 1/8, the rest to two sons and a daughter
    // two to one: 40 (wife 5, each son 14, the daughter 7). The dead son's
    // 14 among his mother (1/6: he leaves two siblings), his full brother
    // and sister (5/6, two to one): 18 (3, 10, 5). 14 and 18 share 2: the
    // first problem times 9, his times 7: 360, reduced by 2 to 180: the
    // wife 45 + 21 = 66 → 33, the son 126 + 70 = 196 → 98, the daughter
    // 63 + 35 = 98 → 49. Of 24 000: 4 400, 13 066.666..., 6 533.333...
    typeSonsDeath();
    const SuccessiveDivision* shown = nullptr;
    ModalScript script;
    script.on<DivisionWindow>([&shown](DivisionWindow* window) {
        shown = window->successiveDivision();
        ASSERT_NE(shown, nullptr);
        EXPECT_FALSE(shown->refusal);
        EXPECT_EQ(shown->origin, 180u);
        struct Expected {
            Heir row;
            std::uint64_t shares;
            std::int64_t ten_thousandths;  // the amount, to the last digit kept
        };
        const Expected expected[] = {{Heir::Wives, 33, 44000000}, {Heir::Sons, 98, 130666666}, {Heir::Daughters, 49, 65333333}};
        std::uint64_t total = 0;
        for (const CombinedPersons& p : shown->persons)
            total += p.shares * std::uint64_t(p.heads);
        EXPECT_EQ(total, 180u);
        for (const Expected& e : expected) {
            const auto p = std::find_if(shown->persons.begin(), shown->persons.end(), [&e](const CombinedPersons& c) {
                return c.of.front() == ProblemRow{1, e.row} && c.shares > 0;
            });
            ASSERT_NE(p, shown->persons.end()) << index(e.row);
            EXPECT_EQ(p->shares, e.shares) << index(e.row);
            EXPECT_EQ(p->fraction, Rational::of(std::int64_t(e.shares), 180));
            EXPECT_LE(std::abs(p->amount.raw() - e.ten_thousandths), 1) << index(e.row);
        }
        shown = nullptr;
        click(window->doneButton);
    });
    click(entry().divideButton);
    EXPECT_SCRIPT_DONE(script);
}

TEST_F(LaterDeathsInTheEntryWindow, DoneClearsTheLaterDeathsAndCtrlZBringsThemBack)
{
    typeSonsDeath();
    const std::vector<LaterDeath> typed = entry().laterDeaths();
    ModalScript script;
    script.on<DivisionWindow>([](DivisionWindow* window) { click(window->doneButton); });
    click(entry().divideButton);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_TRUE(entry().laterDeaths().empty());
    EXPECT_FALSE(entry().laterDeathsButton->isChecked());
    entry().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry()));
    QTest::keyClick(&entry(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(entry().laterDeaths(), typed);
    EXPECT_TRUE(entry().laterDeathsButton->isChecked());
    EXPECT_EQ(entry().estateCase().sons, HeadCount(2));
}

TEST_F(LaterDeathsInTheEntryWindow, SavingAndOpeningKeepTheLaterDeaths)
{
    typeSonsDeath();
    EXPECT_TRUE(entry().hasUnsavedCase());
    const QString file = dir_.filePath(QStringLiteral("later.qismar"));
    ASSERT_TRUE(entry().saveCaseFile(file));
    EXPECT_FALSE(entry().hasUnsavedCase());
    const std::vector<LaterDeath> saved = entry().laterDeaths();
    CaseRecord read;
    CaseError error;
    ASSERT_TRUE(readCaseFile(QFile::encodeName(file).toStdString(), read, error)) << error.message;
    EXPECT_EQ(read.laterDeaths, saved);

    // Removed in the window, the case differs from the file; opening it
    // brings them back.
    editDeaths([](LaterDeathsDialog* d) { click(d->removeButton); });
    EXPECT_TRUE(entry().laterDeaths().empty());
    EXPECT_TRUE(entry().hasUnsavedCase());
    ASSERT_TRUE(entry().openCaseFile(file));
    EXPECT_EQ(entry().laterDeaths(), saved);
    EXPECT_TRUE(entry().laterDeathsButton->isChecked());
    EXPECT_FALSE(entry().hasUnsavedCase());
}

TEST_F(LaterDeathsInTheEntryWindow, ADeathWhoseClassLeftTheFirstProblemIsNamedWhenDividing)
{
    typeSonsDeath();
    // The sons are taken out of the first problem after his death was entered.
    EstateCase changed = entry().estateCase();
    changed.sons = HeadCount(0);
    changed.mother = true;
    entry().showCase(changed);
    ASSERT_EQ(entry().laterDeaths().size(), 1u);
    ModalScript script;
    script.messageBox();
    click(entry().divideButton);
    EXPECT_SCRIPT_DONE(script);
    ASSERT_EQ(script.boxes().size(), 1u);
    EXPECT_EQ(script.boxes()[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(script.boxes()[0].text.contains(QStringLiteral("الابن المتوفى بعد المورث"))) << script.boxes()[0].text;
    EXPECT_TRUE(script.boxes()[0].text.contains(QStringLiteral("ليس في المسألة الأولى أحد حي من هذا الصنف")))
        << script.boxes()[0].text;
    // The dialog still shows him, marked.
    editDeaths([](LaterDeathsDialog* d) {
        EXPECT_EQ(d->heirChoice->currentData().toString(), QStringLiteral("sons"));
        EXPECT_TRUE(d->heirChoice->currentText().contains(QStringLiteral("لم يبق منهم أحد")));
    }, false);
    // With every heir taken out, the dialog still opens on him, to remove him.
    EstateCase none;
    none.estate = changed.estate;
    entry().showCase(none);
    ASSERT_TRUE(entry().isEmptyCase());
    editDeaths([](LaterDeathsDialog* d) {
        EXPECT_EQ(d->selectedProblem(), 2);
        click(d->removeButton);
    });
    EXPECT_TRUE(entry().laterDeaths().empty());
}

TEST_F(LaterDeathsInTheEntryWindow, TheResultsWindowsButtonAddsADeathAndDividesAgain)
{
    entry().showCase(family(1));
    ModalScript script;
    script.on<DivisionWindow>([](DivisionWindow* window) {
        EXPECT_EQ(window->successiveDivision(), nullptr);
        click(window->laterDeathButton);
    });
    script.on<LaterDeathsDialog>([](LaterDeathsDialog* d) {
        EXPECT_EQ(d->selectedProblem(), 2);
        d->heirChoice->setCurrentIndex(d->heirChoice->findData(QStringLiteral("sons")));
        click(d->doneButton);
    });
    script.on<DivisionWindow>([](DivisionWindow* window) {
        ASSERT_NE(window->successiveDivision(), nullptr);
        EXPECT_EQ(window->successiveDivision()->origin, 180u);
        click(window->doneButton);
    });
    click(entry().divideButton);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_TRUE(entry().laterDeaths().empty());  // "تم" cleared the case
}

TEST_F(LaterDeathsInTheEntryWindow, AnHeirNotYetKnownAndLaterDeathsTogetherAreRefusedInWords)
{
    const UncertainHeir unborn{UncertainKind::Unborn, KinLine::Child, Heir::Sons};
    // Deaths first, then an unborn child: dividing says why it does not.
    typeSonsDeath();
    entry().setUncertainHeir(unborn);
    ModalScript dividing;
    dividing.messageBox();
    click(entry().divideButton);
    EXPECT_SCRIPT_DONE(dividing);
    ASSERT_EQ(dividing.boxes().size(), 1u);
    EXPECT_EQ(dividing.boxes()[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(dividing.boxes()[0].text.contains(QStringLiteral("لا تجتمع في مسألة واحدة وارث لم يُعرف حاله")))
        << dividing.boxes()[0].text;
    EXPECT_EQ(entry().laterDeaths().size(), 1u);
    EXPECT_TRUE(entry().uncertainHeir().has_value());

    // An unborn child first: no death can be added beside him.
    entry().clearCase();
    entry().showCase(family(1));
    entry().setUncertainHeir(unborn);
    ModalScript adding;
    adding.messageBox();
    click(entry().laterDeathsButton);
    EXPECT_SCRIPT_DONE(adding);
    ASSERT_EQ(adding.boxes().size(), 1u);
    EXPECT_TRUE(adding.boxes()[0].text.contains(QStringLiteral("حمل أو مفقود أو خنثى"))) << adding.boxes()[0].text;
    EXPECT_TRUE(entry().laterDeaths().empty());
    EXPECT_FALSE(entry().laterDeathsButton->isChecked());
}

TEST_F(LaterDeathsInTheEntryWindow, WithoutHeirsThereIsNoOneWhoCouldHaveDied)
{
    ModalScript script;
    script.messageBox();
    click(entry().laterDeathsButton);
    EXPECT_SCRIPT_DONE(script);
    ASSERT_EQ(script.boxes().size(), 1u);
    EXPECT_TRUE(script.boxes()[0].text.contains(QStringLiteral("اختر ورثة الميت أولاً")));
    EXPECT_FALSE(entry().laterDeathsButton->isChecked());
}

}  // namespace
}  // namespace qismar::testing
