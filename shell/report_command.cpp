#include "shell/report_command.h"

#include <sys/stat.h>

#include <QDate>
#include <QGuiApplication>
#include <QString>
#include <cstdio>
#include <cstring>
#include <string>

#include "casefile/case_file.h"
#include "results/division_report.h"
#include "engine/preparation.h"

namespace qismar {

namespace {

void fail(const QString& arabic, const QString& english)
{
    std::fprintf(stderr, "qismar: %s (%s)\n", arabic.toUtf8().constData(), english.toUtf8().constData());
}

QString utf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

bool asksForReport(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--report") == 0)
            return true;
    return false;
}

int runReportCommand(int argc, char** argv)
{
    const char* casePath = nullptr;
    const char* outputPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        const bool report = std::strcmp(argv[i], "--report") == 0;
        const bool output = std::strcmp(argv[i], "--output") == 0 || std::strcmp(argv[i], "-o") == 0;
        if ((report || output) && i + 1 < argc && argv[i + 1][0] != '\0') {
            (report ? casePath : outputPath) = argv[++i];
        } else {
            fail(QStringLiteral("لم يُفهم الأمر؛ الاستعمال: qismar --report ملف-المسألة --output ملف.pdf"),
                 QStringLiteral("usage: qismar --report CASE.qismar --output FILE.pdf"));
            return 2;
        }
    }
    if (!casePath || !outputPath) {
        fail(QStringLiteral("يلزم ملف المسألة وملف التقرير؛ الاستعمال: qismar --report ملف-المسألة --output ملف.pdf"),
             QStringLiteral("usage: qismar --report CASE.qismar --output FILE.pdf"));
        return 2;
    }

    // A report written over its own case would lose the case: the same file
    // under any name (another spelling, a link, a hard link) is refused.
    if (struct stat caseInfo {}, outputInfo{};
        ::stat(casePath, &caseInfo) == 0 && ::stat(outputPath, &outputInfo) == 0 &&
        caseInfo.st_dev == outputInfo.st_dev && caseInfo.st_ino == outputInfo.st_ino) {
        fail(QStringLiteral("ملف التقرير %1 هو ملف المسألة نفسه، فلا يُكتب التقرير عليه")
                 .arg(QString::fromLocal8Bit(outputPath)),
             QStringLiteral("the output %1 is the case file %2 itself")
                 .arg(QString::fromLocal8Bit(outputPath), QString::fromLocal8Bit(casePath)));
        return 2;
    }

    // The report is drawn, never shown: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication app(qtArgc, qtArgv);

    const QString caseName = QString::fromLocal8Bit(casePath);
    CaseRecord record;
    const EstateCase& estateCase = record.estate;
    CaseError error;
    if (!readCaseFile(casePath, record, error)) {
        fail(QStringLiteral("تعذرت قراءة المسألة من %1: %2").arg(caseName, utf8(CaseErrorArabic(error))),
             QStringLiteral("cannot read the case %1: %2").arg(caseName, utf8(error.message)));
        return 1;
    }
    Explanation explanation;
    DivisionResult result;
    // A case with an heir not yet known is divided once per outcome.
    UncertainDivision uncertain;
    UncertainFractions fractions;
    if (record.uncertain) {
        if (const std::optional<UncertainRefusal> refusal = RefuseUncertain(estateCase, *record.uncertain)) {
            fail(QStringLiteral("لا تقسم المسألة %1: %2").arg(caseName, utf8(refusal->arabic)),
                 QStringLiteral("the case %1 cannot be divided: %2").arg(caseName, utf8(refusal->english)));
            return 1;
        }
    }
    try {
        if (record.uncertain) {
            uncertain = DivideUncertainExplained(estateCase, *record.uncertain, fractions);
            result.outcome = uncertain.outcome;
            result.preparation = uncertain.preparation;
        } else {
            result = DivideEstate(estateCase, &explanation);
        }
    } catch (const EngineError& e) {
        fail(QStringLiteral("لا تقسم المسألة %1: %2").arg(caseName, QString::fromUtf8(e.arabic())),
             QStringLiteral("the case %1 cannot be divided: %2").arg(caseName, QString::fromUtf8(e.what())));
        return 1;
    }
    if (result.outcome == Outcome::NoEstate || result.outcome == Outcome::NoHeirs) {
        const std::string_view arabic =
            result.outcome == Outcome::NoEstate ? kEnterEstateMessage : kChooseHeirsMessage;
        fail(QStringLiteral("لا تقسم المسألة %1: %2").arg(caseName, QString::fromUtf8(arabic.data(), qsizetype(arabic.size()))),
             QStringLiteral("the case %1 cannot be divided: %2")
                 .arg(caseName, result.outcome == Outcome::NoEstate ? QStringLiteral("it has no estate")
                                                                    : QStringLiteral("it has no heirs")));
        return 1;
    }

    const results::DivisionReport report =
        record.uncertain ? results::buildUncertainReport(estateCase, *record.uncertain, uncertain, fractions,
                                                         QDate::currentDate(), record.details)
                         : results::buildDivisionReport(estateCase, result, explanation, QDate::currentDate(),
                                                        record.details);
    const QString outputName = QString::fromLocal8Bit(outputPath);
    QString why, whyInEnglish;
    if (!results::writeReportPdf(report, outputName, &why, &whyInEnglish)) {
        fail(why, whyInEnglish);
        return 1;
    }
    return 0;
}

}  // namespace qismar
