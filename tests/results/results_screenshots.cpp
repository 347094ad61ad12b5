// Takes the screenshots of the results window, of "بيان المسألة" and of the
// print preview for an 'awl, a radd, an exclusion, a prepared estate and
// the largest case, as PNG files in the folder given as the first argument,
// and with a second argument writes the report of each case as a PDF in
// that folder (report-<case>.pdf). Run it under a display, for example Xvfb
// at the screen size the shots are for.
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <optional>

#include "results/division_report.h"
#include "results/division_window.h"
#include "engine/preparation.h"
#include "results/problem_window.h"
#include "results/successive_report.h"
#include "tests/results/result_cases.h"
#include "ui/ui_common.h"

using namespace qismar;

namespace {

QDir out;
int failures = 0;

void shoot(QWidget* window, const QString& name)
{
    const QPixmap picture = window->grab();
    const QString path = out.filePath(name);
    if (picture.isNull() || !picture.save(path)) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
        ++failures;
    } else {
        std::printf("%s %dx%d\n", qPrintable(path), picture.width(), picture.height());
    }
}

// The particulars of the 'awl case, as a clerk gives them.
CaseDetails awlDetails()
{
    CaseDetails d;
    d.name = "فاطمة أحمد علي";
    d.dateOfDeath = "2025-01-20";
    d.place = "أم درمان";
    d.reference = "م ش/123/2025";
    d.heirNames[std::size_t(index(Heir::FullSisters))] = {"زينب", "مريم"};
    return d;
}

// Shows the division of a case, shoots the window, opens "بيان المسألة" and
// shoots it, opens the print preview and shoots it, then ends the window
// with "تم".
void shootShown(DivisionWindow& window, const QString& name)
{
    QTimer::singleShot(0, &window, [&window, name] {
        QApplication::processEvents();
        shoot(&window, QStringLiteral("results-%1.png").arg(name));
        QTimer::singleShot(0, &window, [&window, name] {
            QApplication::processEvents();
            shoot(window.problemWindow(), QStringLiteral("problem-%1.png").arg(name));
            window.problemWindow()->accept();
        });
        window.showProblem();
        QTimer::singleShot(0, &window, [name] {
            QApplication::processEvents();
            if (QWidget* preview = QApplication::activeModalWidget()) {
                shoot(preview, QStringLiteral("preview-%1.png").arg(name));
                preview->close();
            }
        });
        window.printReport();
        window.doneButton->click();
    });
    window.exec();
}

void shootCase(DivisionWindow& window, const EstateCase& estateCase, const QString& name,
               const CaseDetails& details = {})
{
    Explanation explanation;
    const DivisionResult result = DivideEstate(estateCase, &explanation);
    window.showDivision(estateCase, result, explanation, details);
    shootShown(window, name);
}

// The same for a case with an heir not yet known.
void shootUncertain(DivisionWindow& window, const EstateCase& c, const UncertainHeir& heir, const QString& name)
{
    UncertainFractions fractions;
    const UncertainDivision division = DivideUncertainExplained(c, heir, fractions);
    window.showUncertainDivision(c, heir, division, fractions);
    QTimer::singleShot(0, &window, [&window, name] {
        QApplication::processEvents();
        shoot(&window, QStringLiteral("results-%1.png").arg(name));
        QTimer::singleShot(0, &window, [&window, name] {
            QApplication::processEvents();
            shoot(window.problemWindow(), QStringLiteral("problem-%1.png").arg(name));
            window.problemWindow()->accept();
        });
        window.showProblem();
        window.doneButton->click();
    });
    window.exec();
}

void writeUncertainReport(const EstateCase& c, const UncertainHeir& heir, const QString& path)
{
    UncertainFractions fractions;
    const UncertainDivision division = DivideUncertainExplained(c, heir, fractions);
    QString error;
    if (!results::writeReportPdf(results::buildUncertainReport(c, heir, division, fractions, QDate(2025, 3, 16)), path,
                                 &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        ++failures;
    }
}

void writeReport(const EstateCase& c, const QString& path, const CaseDetails& details = {})
{
    Explanation explanation;
    const DivisionResult result = DivideEstate(c, &explanation);
    QString error;
    if (!results::writeReportPdf(results::buildDivisionReport(c, result, explanation, QDate(2025, 3, 16), details),
                                 path, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        ++failures;
    }
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

    DivisionWindow window;
    shootCase(window, testing::awlCase(), QStringLiteral("awl"), awlDetails());
    shootCase(window, testing::raddCase(), QStringLiteral("radd"));
    shootCase(window, testing::exclusionCase(), QStringLiteral("exclusion"));
    shootCase(window, testing::preparedCase(), QStringLiteral("prepared"));
    shootCase(window, testing::largestCase(), QStringLiteral("largest"));
    const EstateCase first = testing::deadSonCase();
    const std::vector<LaterDeath> later = testing::deadSon();
    window.showSuccessiveDivision(later, DivideSuccessive(first, later));
    shootShown(window, QStringLiteral("later-death"));
    shootUncertain(window, testing::unbornCase(), testing::unbornChild(), QStringLiteral("unborn"));

    // With a second argument: the report of each case as a PDF file in that
    // folder, whose pages the README shows.
    if (argc > 2) {
        const QDir reports(QString::fromLocal8Bit(argv[2]));
        reports.mkpath(QStringLiteral("."));
        writeReport(testing::awlCase(), reports.filePath(QStringLiteral("report-awl.pdf")), awlDetails());
        writeReport(testing::raddCase(), reports.filePath(QStringLiteral("report-radd.pdf")));
        writeReport(testing::exclusionCase(), reports.filePath(QStringLiteral("report-exclusion.pdf")));
        writeReport(testing::preparedCase(), reports.filePath(QStringLiteral("report-prepared.pdf")));
        writeReport(testing::largestCase(), reports.filePath(QStringLiteral("report-largest.pdf")));
        QString error;
        if (!results::writeReportPdf(results::buildSuccessiveReport(later, DivideSuccessive(first, later), QDate(2025, 3, 16)),
                                     reports.filePath(QStringLiteral("report-later-death.pdf")), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            ++failures;
        }
        writeUncertainReport(testing::unbornCase(), testing::unbornChild(),
                             reports.filePath(QStringLiteral("report-unborn.pdf")));
    }
    return failures == 0 ? 0 : 1;
}
