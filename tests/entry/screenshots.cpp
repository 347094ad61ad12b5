// Takes the screenshots of the heir-entry window, the heir dialogs, the
// estate's preparation dialog, the information window and a results window,
// as PNG files in the folder given as the first argument. Run it from the
// folder that holds qanoon.txt (the program's own folder) under a display,
// for example Xvfb.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "entry/case_details_dialog.h"
#include "entry/counting_dialog.h"
#include "entry/entry_window.h"
#include "entry/grandfather_dialog.h"
#include "entry/grandmothers_dialog.h"
#include "entry/law_excerpt_window.h"
#include "entry/law_excerpts.h"
#include "entry/later_death_relations.h"
#include "entry/later_deaths_dialog.h"
#include "entry/preparation_dialog.h"
#include "entry/uncertain_heir_dialog.h"
#include "results/division_window.h"
#include "ui/ui_common.h"

using namespace qismar;

namespace {

QDir out;
int failures = 0;

void shoot(QWidget* window, const QString& name)
{
    window->show();
    window->raise();
    QApplication::processEvents();
    const QPixmap picture = window->grab();
    const QString path = out.filePath(name);
    if (picture.isNull() || !picture.save(path)) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
        ++failures;
    } else {
        std::printf("%s %dx%d\n", qPrintable(path), picture.width(), picture.height());
    }
}

// Shoots a modal window once its own event loop runs, then closes it.
void shootWhenShown(QDialog* window, const QString& name)
{
    QTimer::singleShot(0, window, [window, name] {
        shoot(window, name);
        window->done(QDialog::Accepted);
    });
}

void moveMouseOver(QWidget* widget, QPointF at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ui::installArabic(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    out = QDir(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("."));

    EntryWindow entry;

    // A woman leaves her husband, her mother, two full sisters and a half-brother by her mother.
    EstateCase c;
    c.deceased = Deceased::Woman;
    c.estate = Currency::fromWhole(90000);
    c.spouse = true;
    c.mother = true;
    c.fullSisters = HeadCount(2);
    c.uterineBrothers = HeadCount(1);
    entry.showCase(c);
    // The longest guidance, three lines, as a movement over the nephews writes it.
    moveMouseOver(entry.nephewsBox, QPointF(5, 5));
    shoot(&entry, QStringLiteral("entry.png"));

    // The "كيف يرث؟" mode: its button pressed, the guidance saying what to do.
    entry.howInheritsButton->click();
    shoot(&entry, QStringLiteral("entry-how.png"));
    entry.howInheritsButton->click();

    // The information window with the grandmother's excerpt, shown by the
    // real lookup; the shot is taken while it is open.
    HowInheritsMode& mode = entry.howInherits();
    mode.start();
    shootWhenShown(&mode.excerptWindow(), QStringLiteral("report.png"));
    try {
        mode.showExcerpt(QStringLiteral("jdh_b"), QStringLiteral("jdh_e"));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "no excerpt: %s\n", error.what());
        ++failures;
    }

    // The results of the case entered above, through the Divide button.
    QTimer::singleShot(0, &entry, [&entry] {
        shoot(&entry.divisionWindow(), QStringLiteral("results.png"));
        entry.divisionWindow().doneButton->click();
    });
    entry.divide();

    // An unborn child of the deceased: the dialog as it is answered, and the
    // entry window with its button pressed (the results are shot with the
    // results window's cases).
    EstateCase pregnant;
    pregnant.estate = Currency::fromWhole(21600);
    pregnant.spouse = pregnant.father = pregnant.mother = true;
    pregnant.daughters = HeadCount(1);
    entry.showCase(pregnant);
    UncertainHeirDialog& uncertain = entry.uncertainHeirDialog();
    const UncertainHeir unborn{UncertainKind::Unborn, KinLine::Child, Heir::Sons};
    uncertain.showChoice(pregnant, unborn);
    shoot(&uncertain, QStringLiteral("dialog-uncertain.png"));
    uncertain.hide();
    // A choice the case refuses, with its reason.
    uncertain.showChoice(pregnant, UncertainHeir{UncertainKind::Unborn, KinLine::FullSibling, Heir::Sons});
    shoot(&uncertain, QStringLiteral("dialog-uncertain-refused.png"));
    uncertain.hide();
    entry.setUncertainHeir(unborn);
    entry.setGuidance(QString());
    shoot(&entry, QStringLiteral("entry-uncertain.png"));
    entry.setUncertainHeir(std::nullopt);

    // Father, mother and husband: the guidance names the case.
    EstateCase umariyya;
    umariyya.deceased = Deceased::Woman;
    umariyya.estate = Currency::fromWhole(90000);
    umariyya.father = umariyya.mother = umariyya.spouse = true;
    entry.showCase(umariyya);
    moveMouseOver(entry.heirsFrame, QPointF(8, 30));
    shoot(&entry, QStringLiteral("entry-umariyya.png"));
    entry.hide();

    // The dialogs, filled as a user may have filled them.
    EstateCase counted;
    counted.sons = HeadCount(2);
    counted.daughters = HeadCount(3);
    counted.sonsSons = HeadCount(1);
    counted.fullSisters = HeadCount(2);
    counted.uterineBrothers = HeadCount(1);
    counted.fullBrothersSons = HeadCount(3);
    counted.fullUncles = HeadCount(1);
    counted.mothersMothersMother = true;
    counted.grandfather = true;
    const struct {
        HeirGroup group;
        const char* file;
    } dialogs[] = {{HeirGroup::Children, "dialog-son.png"},        {HeirGroup::Grandchildren, "dialog-sonofson.png"},
                   {HeirGroup::Siblings, "dialog-brothers.png"},   {HeirGroup::Nephews, "dialog-sonofbrother.png"},
                   {HeirGroup::Uncles, "dialog-uncle.png"},        {HeirGroup::Cousins, "dialog-sonofuncle.png"}};
    for (const auto& d : dialogs) {
        CountingDialog& dialog = entry.countingDialog(d.group);
        dialog.showCounts(counted);
        shoot(&dialog, QString::fromLatin1(d.file));
        dialog.hide();
    }
    GrandmothersDialog& grandmothers = entry.grandmothersDialog();
    grandmothers.showCase(counted);
    shoot(&grandmothers, QStringLiteral("dialog-grandmother.png"));
    grandmothers.hide();
    GrandfatherDialog& grandfather = entry.grandfatherDialog();
    grandfather.showCase(counted);
    shoot(&grandfather, QStringLiteral("dialog-jd.png"));
    grandfather.hide();

    // The estate's preparation: costs, debts and a bequest beyond the third,
    // in the dialog as it is typed and in the entry window after it.
    PreparationDialog& preparation = entry.preparationDialog();
    preparation.funeralEdit->setText(QStringLiteral("3000"));
    preparation.debtsEdit->setText(QStringLiteral("27000"));
    preparation.bequestsEdit->setText(QStringLiteral("30000"));
    shoot(&preparation, QStringLiteral("dialog-preparation.png"));
    preparation.hide();
    entry.setGuidance(QString());
    shoot(&entry, QStringLiteral("entry-preparation.png"));

    // "بيانات المسألة" for the case on screen, with names typed.
    CaseDetails details;
    details.name = "عبد الله محمد الأمين";
    details.dateOfDeath = "2024-02-29";
    details.place = "أم درمان";
    details.reference = "ق أ ش/123/2024";
    for (const HeirInfo& heir : kHeirs)
        if (RelativePresent(entry.estateCase(), heir.heir) && HeadsOf(entry.estateCase(), heir.heir).persons() == 1)
            details.heirNames[std::size_t(index(heir.heir))] = {std::string(heir.singular == "الأم" ? "زينب" : "محمد")};
    CaseDetailsDialog& detailsDialog = entry.caseDetailsDialog();
    detailsDialog.showDetails(entry.estateCase(), details);
    shoot(&detailsDialog, QStringLiteral("dialog-details.png"));
    detailsDialog.hide();

    // "وفاة وارث قبل القسمة": a man leaves a wife, two sons and a daughter;
    // one son dies before the division, leaving his mother, his brother and
    // his sister, as the relation proposes them.
    EstateCase family;
    family.estate = Currency::fromWhole(24000);
    family.spouse = true;
    family.wives = HeadCount(1);
    family.sons = HeadCount(2);
    family.daughters = HeadCount(1);
    const std::vector<LaterDeath> later{proposeLaterDeath(family, {}, 1, "sons")};
    LaterDeathsDialog& deaths = entry.laterDeathsDialog();
    deaths.showDeaths(family, later);
    shoot(&deaths, QStringLiteral("dialog-later-deaths.png"));
    deaths.hide();

    // The program's file dialog, as "حفظ المسألة" opens it.
    QTemporaryDir folder;
    for (const char* name : {"مسألة 2024-01-07.qismar", "مسألة عبد الله 2024-03-16.qismar", "awl-case.qismar"}) {
        QFile file(QDir(folder.path()).filePath(QString::fromUtf8(name)));
        if (file.open(QIODevice::WriteOnly))
            file.write("{}\n");
    }
    QFileDialog files(&entry, QStringLiteral("حفظ المسألة"), folder.path());
    files.setNameFilters({QStringLiteral("مسائل القسمار (*.qismar)"), QStringLiteral("كل الملفات (*)")});
    files.setAcceptMode(QFileDialog::AcceptSave);
    files.resize(720, 440);
    ui::arabicFileDialog(files);
    files.selectFile(QStringLiteral("مسألة 2024-03-16.qismar"));
    shoot(&files, QStringLiteral("dialog-save-case.png"));
    files.hide();
    entry.hide();

    return failures == 0 ? 0 : 1;
}
