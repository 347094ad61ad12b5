// The report of a division: its content read from the document model, the
// plain text and the HTML of the copy, and the PDF as poppler reads it.
#include <QDate>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "results/amount_text.h"
#include "results/division_report.h"
#include "tests/entry/gui_test_support.h"
#include "engine/preparation.h"
#include "tests/results/result_cases.h"

namespace qismar::testing {
namespace {

using results::DivisionReport;
using results::ReportRow;
using results::ReportSection;

const QDate kDay(2025, 3, 16);

DivisionReport reportOf(const EstateCase& c)
{
    Explanation explanation;
    const DivisionResult result = DivideEstate(c, &explanation);
    return results::buildDivisionReport(c, result, explanation, kDay);
}

// The exact texts of a table's rows.
std::vector<QStringList> exactRows(const ReportSection& s)
{
    std::vector<QStringList> rows;
    for (const ReportRow& row : s.table.rows) {
        QStringList cells;
        for (const results::ReportCell& cell : row)
            cells << cell.exact;
        rows.push_back(cells);
    }
    return rows;
}

QStringList row(std::initializer_list<const char*> cells)
{
    QStringList out;
    for (const char* c : cells)
        out << QString::fromUtf8(c);
    return out;
}

TEST(DivisionReport, AnAwlCaseFromTheTopToTheClosingLine)
{
    const DivisionReport r = reportOf(awlCase());
    EXPECT_EQ(r.programName, QStringLiteral("القسمار"));
    EXPECT_TRUE(r.law.contains(QStringLiteral("قانون الأحوال الشخصية للمسلمين لسنة 1991")));
    EXPECT_EQ(r.gregorianDate, QStringLiteral("16 مارس 2025م"));
    EXPECT_EQ(r.hijriDate, QStringLiteral("16 رمضان 1446هـ"));

    // The case: the deceased, the estate, every relative with the count.
    EXPECT_EQ(r.theCase.paragraphs, (QStringList{QStringLiteral("المتوفى: امرأة"), QStringLiteral("التركة: 80,000")}));
    EXPECT_EQ(exactRows(r.theCase),
              (std::vector<QStringList>{row({"الزوج", "1"}), row({"الأم", "1"}), row({"الأخوات الشقيقات", "2"})}));
    EXPECT_FALSE(r.preparation.has_value());

    // The results: heir, count, share, per head, class total, percentage;
    // the total as its last row.
    ASSERT_TRUE(r.results.has_value());
    EXPECT_EQ(r.results->table.header.size(), 6);
    EXPECT_EQ(exactRows(*r.results), (std::vector<QStringList>{
                                         row({"الزوج", "1", "النصف", "30000", "30000", "%37.5"}),
                                         row({"الأم", "1", "السدس", "10000", "10000", "%12.5"}),
                                         row({"الأخوات الشقيقات", "2", "الثلثان", "20000", "40000", "%25"}),
                                         row({"مجموع الأنصبة", "4", "", "", "80000", "%100"}),
                                     }));
    EXPECT_EQ(r.results->table.footerRows, 1);
    // Printed grouped.
    EXPECT_EQ(r.results->table.rows[2][4].text, QStringLiteral("40,000"));

    // The problem: origin 6 raised to 8, shares 3, 1 and 2 of 8.
    ASSERT_TRUE(r.problem.has_value());
    EXPECT_TRUE(r.problem->paragraphs.join(QLatin1Char(' ')).contains(QStringLiteral("فعالت من 6 إلى 8")));
    const std::vector<QStringList> problem = exactRows(*r.problem);
    ASSERT_EQ(problem.size(), 3u);
    EXPECT_EQ(problem[0].mid(0, 7), row({"الزوج", "1", "1/2", "فرض", "3", "3/8", "3/8"}));
    EXPECT_EQ(problem[2].mid(0, 7), row({"الأخوات الشقيقات", "2", "2/3", "فرض", "2", "1/4", "1/2"}));
    EXPECT_FALSE(problem[1][7].isEmpty());
    EXPECT_TRUE(r.closing.contains(QStringLiteral("1991")));

    const auto sections = r.sections();
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0], &r.theCase);
    EXPECT_EQ(sections[2], &*r.problem);
}

TEST(DivisionReport, RemainderExclusionRaddAndPreparation)
{
    // A husband alone: the half he does not take is the remainder line.
    EstateCase husband;
    husband.deceased = Deceased::Woman;
    husband.spouse = true;
    husband.estate = Currency::fromWhole(24000);
    husband.deriveEntryWindowState();
    {
        const DivisionReport r = reportOf(husband);
        ASSERT_TRUE(r.results);
        EXPECT_EQ(exactRows(*r.results),
                  (std::vector<QStringList>{row({"الزوج", "1", "النصف", "12000", "12000", "%50"}),
                                            row({"مجموع الأنصبة", "1", "", "", "12000", "%50"}),
                                            row({"الباقي دون توزيع", "", "", "", "12000", "%50"})}));
        EXPECT_EQ(r.results->table.footerRows, 2);
        EXPECT_TRUE(r.results->notes.join(QLatin1Char(' ')).contains(QStringLiteral("ذوي الأرحام")));
        EXPECT_TRUE(r.problem->paragraphs.join(QLatin1Char(' ')).contains(QStringLiteral("1/2")));
    }
    // The excluded have nothing and no percentage; the problem says by whom.
    {
        const DivisionReport r = reportOf(exclusionCase());
        const std::vector<QStringList> rows = exactRows(*r.results);
        ASSERT_EQ(rows.size(), 6u);
        EXPECT_EQ(rows[3], row({"الإخوة الأشقاء", "2", "محجوب", "لا شيء له", "لا شيء له", ""}));
        EXPECT_EQ(rows[4], row({"العم لأب", "1", "محجوب", "لا شيء له", "لا شيء له", ""}));
        EXPECT_EQ(rows[5], row({"مجموع الأنصبة", "6", "", "", "120000", "%100"}));
        const std::vector<QStringList> problem = exactRows(*r.problem);
        EXPECT_TRUE(problem[3][7].contains(QStringLiteral("الأب")));
        EXPECT_EQ(problem[3][3], QStringLiteral("محجوب"));
        // Every relative entered is listed, the excluded ones too.
        EXPECT_EQ(r.theCase.table.rows.size(), 5u);
    }
    // A return: mother and two daughters, 6 returned to 5.
    {
        const DivisionReport r = reportOf(raddCase());
        EXPECT_TRUE(r.problem->paragraphs.join(QLatin1Char(' ')).contains(QStringLiteral("بالرد")));
        EXPECT_EQ(exactRows(*r.problem)[1].mid(4, 3), row({"2", "2/5", "4/5"}));
    }
    // The estate before its division: gross, costs, debts, bequests asked
    // and carried out, the net that the rows divide.
    {
        const DivisionReport r = reportOf(preparedCase());
        ASSERT_TRUE(r.preparation.has_value());
        EXPECT_EQ(exactRows(*r.preparation), (std::vector<QStringList>{
                                                 row({"التركة قبل التجهيز", "100000"}),
                                                 row({"نفقات التجهيز والدفن", "5000"}),
                                                 row({"الديون", "15000"}),
                                                 row({"الوصايا المطلوبة", "40000"}),
                                                 row({"الوصايا المنفذة", "26666.6667"}),
                                                 row({"صافي التركة للورثة", "53333.3333"}),
                                             }));
        const QString notes = r.preparation->notes.join(QLatin1Char(' '));
        EXPECT_TRUE(notes.contains(QStringLiteral("لم يجيزوا")));
        EXPECT_TRUE(notes.contains(QStringLiteral("53,333.3333")));
        EXPECT_EQ(r.theCase.paragraphs[1], QStringLiteral("التركة قبل التجهيز: 100,000"));
        EXPECT_EQ(r.results->paragraphs[0], QStringLiteral("التركة المقسومة: 53,333.3333"));
        const auto sections = r.sections();
        ASSERT_EQ(sections.size(), 4u);
        EXPECT_EQ(sections[1], &*r.preparation);
    }
}

TEST(DivisionReport, TheCaseAndTheAmountsNameEachRelativeAlikeWithTheSameHeads)
{
    // Every relative of the amounts stands in the case under the same name
    // and with the same number of heads, and the case lists nobody else.
    for (const EstateCase& c : {awlCase(), raddCase(), exclusionCase(), preparedCase(), largestCase()}) {
        const DivisionReport r = reportOf(c);
        ASSERT_TRUE(r.results.has_value());
        const std::vector<QStringList> amounts = exactRows(*r.results);
        const std::vector<QStringList> relatives = exactRows(r.theCase);
        const std::size_t heirs = amounts.size() - std::size_t(r.results->table.footerRows);
        EXPECT_EQ(relatives.size(), heirs);
        for (std::size_t i = 0; i < heirs; ++i) {
            const QStringList wanted{amounts[i][0], amounts[i][1]};
            EXPECT_NE(std::find(relatives.begin(), relatives.end(), wanted), relatives.end())
                << amounts[i][0] << " " << amounts[i][1];
        }
    }
}

TEST(DivisionReport, AConsumedEstateIsReportedWithoutADivision)
{
    EstateCase c;
    c.estate = Currency::fromWhole(100);
    c.father = true;
    c.funeral = Currency::fromWhole(60);
    c.debts = Currency::fromWhole(50);
    c.deriveEntryWindowState();
    const DivisionReport r = reportOf(c);
    ASSERT_TRUE(r.preparation.has_value());
    ASSERT_TRUE(r.results.has_value());
    EXPECT_TRUE(r.results->table.empty());
    ASSERT_EQ(r.results->paragraphs.size(), 1);
    EXPECT_TRUE(r.results->paragraphs[0].contains(QStringLiteral("استغرقت")));
    EXPECT_FALSE(r.problem.has_value());
}

TEST(DivisionReport, DatesInTheGregorianAndTheHijriCalendars)
{
    struct Case {
        QDate day;
        const char* gregorian;
        const char* hijri;
    };
    // The Hijri dates of the arithmetical (civil) calendar.
    const Case cases[] = {
        {QDate(2025, 3, 16), "16 مارس 2025م", "16 رمضان 1446هـ"},
        {QDate(2024, 7, 8), "8 يوليو 2024م", "1 محرم 1446هـ"},
        {QDate(2024, 6, 17), "17 يونيو 2024م", "10 ذو الحجة 1445هـ"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.day.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(results::gregorianDateText(k.day), QString::fromUtf8(k.gregorian));
        EXPECT_EQ(results::hijriDateText(k.day), QString::fromUtf8(k.hijri));
    }
}

TEST(DivisionReport, GroupingOfAmountsAndOfTheNumbersInSentences)
{
    const struct {
        const char* exact;
        const char* grouped;
    } amounts[] = {{"0", "0"},           {"999", "999"},         {"1000", "1,000"},
                   {"-1234.5", "-1,234.5"}, {"8101851778.7812", "8,101,851,778.7812"},
                   {"922337203685477.5807", "922,337,203,685,477.5807"},
                   {"لا شيء له", "لا شيء له"}, {"12a", "12a"}, {"1000.", "1000."}};
    for (const auto& a : amounts)
        EXPECT_EQ(results::groupedAmount(QString::fromUtf8(a.exact)), QString::fromUtf8(a.grouped)) << a.exact;
    EXPECT_EQ(results::withGroupedNumbers(QStringLiteral("بقي 12345/67890 من 1000000 و 2500.25، أصل 24")),
              QStringLiteral("بقي 12345/67890 من 1,000,000 و 2,500.25، أصل 24"));
}

TEST(DivisionReport, TheCopyIsPlainTextWithTabsAndAnHtmlTableOfExactAmounts)
{
    EstateCase c;
    c.estate = Currency::fromWhole(8101851778);
    c.sons = heads(3);
    c.deriveEntryWindowState();
    const DivisionReport r = reportOf(c);
    const QString text = results::reportPlainText(r);
    EXPECT_TRUE(text.startsWith(QStringLiteral("القسمار\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nالأبناء\t3\tتعصيب بالنفس\t2700617259.3333\t8101851777.9999\t%33.3333\n")))
        << text;
    EXPECT_TRUE(text.contains(QStringLiteral("التاريخ: 16 مارس 2025م الموافق 16 رمضان 1446هـ")));
    EXPECT_TRUE(text.trimmed().endsWith(r.closing));

    const QString printed = results::reportHtml(r, results::Amounts::Grouped);
    EXPECT_TRUE(printed.contains(QStringLiteral(">2,700,617,259.3333<")));
    EXPECT_FALSE(printed.contains(QStringLiteral("2700617259.3333")));
    const std::unique_ptr<QMimeData> copy(results::reportMimeData(r));
    EXPECT_EQ(copy->text(), text);
    EXPECT_TRUE(copy->html().contains(QStringLiteral("<td align=\"center\">2700617259.3333</td>")));
    EXPECT_EQ(copy->html().count(QStringLiteral("<table")), 3);
    EXPECT_TRUE(copy->html().contains(QStringLiteral("dir=\"rtl\"")));
}

// Runs a poppler tool and returns its standard output.
QString poppler(const QString& tool, const QStringList& arguments)
{
    QProcess p;
    p.start(tool, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << tool << " failed (poppler-utils is installed by scripts/install-deps.sh): "
                      << QString::fromUtf8(p.readAllStandardError());
        return QString();
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(DivisionReport, ThePdfIsA4WithTheArabicFaceEmbeddedAndTheAmountsInIt)
{
    const QTemporaryDir dir;
    struct Case {
        const char* name;
        EstateCase estateCase;
        int leastPages;
    };
    const Case cases[] = {{"awl", awlCase(), 1}, {"largest", largestCase(), 2}, {"prepared", preparedCase(), 1}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const QString path = dir.filePath(QString::fromLatin1(k.name) + QStringLiteral(".pdf"));
        const DivisionReport r = reportOf(k.estateCase);
        QString error;
        ASSERT_TRUE(results::writeReportPdf(r, path, &error)) << error;

        const QString info = poppler(QStringLiteral("pdfinfo"), {path});
        EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info;
        const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
        ASSERT_TRUE(pages.hasMatch()) << info;
        const int pageCount = pages.captured(1).toInt();
        EXPECT_GE(pageCount, k.leastPages);

        // An Arabic face, embedded.
        const QString fonts = poppler(QStringLiteral("pdffonts"), {path});
        bool arabicEmbedded = false;
        for (const QString& line : fonts.split(QLatin1Char('\n')))
            if (line.contains(QStringLiteral("Arabic")) && line.contains(QStringLiteral(" yes ")))
                arabicEmbedded = true;
        EXPECT_TRUE(arabicEmbedded) << fonts;

        // Every amount and percentage of the results, as printed.
        const QString text = poppler(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        for (const ReportRow& line : r.results->table.rows) {
            for (std::size_t c = 3; c < line.size(); ++c) {
                if (!line[c].text.isEmpty() && line[c].text.front().isDigit()) {
                    EXPECT_TRUE(text.contains(line[c].text)) << line[c].text;
                }
            }
        }
        // Each page carries its number ("صفحة n من m": the digits survive the extraction).
        EXPECT_EQ(text.count(QLatin1Char('\f')), pageCount);
    }
}

TEST(DivisionReport, APdfThatCannotBeWrittenIsReportedAndLeavesNothing)
{
    const QTemporaryDir dir;
    const DivisionReport r = reportOf(awlCase());
    struct Case {
        const char* name;
        QString path;
    };
    const Case cases[] = {
        {"missing folder", dir.filePath(QStringLiteral("لا يوجد/تقرير.pdf"))},
        {"a folder", dir.path()},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        QString error;
        EXPECT_FALSE(results::writeReportPdf(r, k.path, &error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("تعذر"))) << error;
        EXPECT_TRUE(error.contains(k.path)) << error;
    }
    // A report written over an older file replaces it whole.
    const QString path = dir.filePath(QStringLiteral("old.pdf"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QString error;
    ASSERT_TRUE(results::writeReportPdf(r, path, &error)) << error;
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5).startsWith("%PDF-"));
}

}  // namespace
}  // namespace qismar::testing
