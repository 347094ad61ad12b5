// Takes the screenshots of the results window and of "بيان المسألة" for an
// 'awl, a radd, an exclusion, a prepared estate and the largest case, as PNG
// files in the folder given as the first argument. Run it under a display,
// for example Xvfb at the screen size the shots are for.
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "results/division_report.h"
#include "results/division_window.h"
#include "engine/preparation.h"
#include "results/problem_window.h"
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

// Shows the division of a case, shoots the window, opens "بيان المسألة" and
// shoots it, then ends the window with "تم".
void shootCase(DivisionWindow& window, const EstateCase& estateCase, const QString& name, bool problem)
{
    Explanation explanation;
    const DivisionResult result = DivideEstate(estateCase, &explanation);
    window.showDivision(estateCase, result, explanation);
    QTimer::singleShot(0, &window, [&window, name, problem] {
        QApplication::processEvents();
        shoot(&window, QStringLiteral("results-%1.png").arg(name));
        if (problem) {
            QTimer::singleShot(0, &window, [&window, name] {
                QApplication::processEvents();
                shoot(window.problemWindow(), QStringLiteral("problem-%1.png").arg(name));
                window.problemWindow()->accept();
            });
            window.showProblem();
        }
        window.doneButton->click();
    });
    window.exec();
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
    shootCase(window, testing::awlCase(), QStringLiteral("awl"), true);
    shootCase(window, testing::raddCase(), QStringLiteral("radd"), true);
    shootCase(window, testing::exclusionCase(), QStringLiteral("exclusion"), true);
    shootCase(window, testing::preparedCase(), QStringLiteral("prepared"), true);
    shootCase(window, testing::largestCase(), QStringLiteral("largest"), true);

    // With a second argument: the report of the 'awl case as a PDF file,
    // whose pages the README shows.
    if (argc > 2) {
        const EstateCase c = testing::awlCase();
        Explanation explanation;
        const DivisionResult result = DivideEstate(c, &explanation);
        QString error;
        if (!results::writeReportPdf(results::buildDivisionReport(c, result, explanation, QDate(2025, 3, 16)),
                                     QString::fromLocal8Bit(argv[2]), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
