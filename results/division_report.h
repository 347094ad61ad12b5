// Qismar: the report of a division, to print, to save as PDF and to copy.
//
// The report is built once, from the case, the division's result and its
// explanation (with the estate's preparation when there was one), as a
// document model of sections, paragraphs and tables; printing, the PDF and
// the clipboard all render that one model.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QImage>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "casefile/case_details.h"
#include "engine/division.h"
#include "engine/estate_case.h"
#include "engine/explanation.h"
#include "engine/uncertain_heir.h"
#include "results/payout.h"

class QMimeData;
class QPagedPaintDevice;

namespace qismar::results {

class GlyphTexts;

struct ReportCell {
    QString text;   // as shown and printed (amounts grouped, amounts to pay rounded to the unit)
    QString exact;  // as copied (the engine's text; the same as `text` for words)
    // An amount to pay: the rounded amount as a plain number ("83333.33"),
    // copied beside the exact one; empty for every other cell.
    QString paid;
    // Said under the amount: "ويزاد 2 منهم 0.01".
    QString note;
};
using ReportRow = std::vector<ReportCell>;

struct ReportTable {
    QStringList header;
    std::vector<ReportRow> rows;
    // How many of the last rows sum the table up (the total, the remainder).
    int footerRows = 0;
    bool empty() const noexcept { return rows.empty(); }
};

struct ReportSection {
    QString title;
    QStringList paragraphs;  // before the table
    ReportTable table;
    QStringList notes;  // after the table
    // Whether the printed report shows the table ("بيان المسألة" keeps the
    // table of the problem for its window; the report prints its sentences).
    bool tablePrinted = true;
};

// One line of the results: what a present relative (a class of heirs:
// the wives together, the uterine brothers and sisters together) receives.
struct ResultLine {
    Heir heir{};
    HeadCount heads;
    // The line's caption: the relative's name for one head ("الزوجة"), "لكل
    // ..." for several ("لكل زوجة").
    QString caption;
    // "لا شيء له" by the relative's gender and number ("لا شيء لها", "لا
    // شيء لهما", "لا شيء لهم", "لا شيء لهن").
    QString nothingText;
    // The fixed share ("النصف") or how the relative inherits ("تعصيب
    // بالنفس"), from the explanation.
    QString share;
    // Present but receiving nothing (excluded, or nothing left): the amounts
    // below are then absent, and `reason` says why.
    bool nothing = false;
    QString reason;
    Currency perHead;                     // the amount of each head
    std::optional<Currency> classTotal;   // perHead x heads, when it stays in the money range
    std::optional<Currency> percent;      // of each head, of the estate divided
    // Each head's shares (sihām) in the corrected problem, when known.
    std::optional<std::int64_t> shares;
    // The amounts to pay, in the currency's unit (see payout.h): the class's
    // total, each head's base amount and how many heads receive one unit more.
    Currency paidTotal;
    Currency paidPerHead;
    std::int64_t headsWithOneUnitMore = 0;
};

// The amounts of a division, computed once for the results window and the
// report: a line per present relative in the order of the result rows, the
// heirs' total, and what the rows leave undistributed.
struct ResultsTable {
    std::vector<ResultLine> lines;
    HeadCount heads;           // the heads of every line
    Currency heirsTotal;       // the class totals added up
    Currency heirsPercent;     // of the estate divided: 100 less the undistributed percentage
    std::optional<Currency> undistributed;
    std::optional<Currency> undistributedPercent;
    // With an heir not yet known: what is held back until his state is
    // known (the lines then hold what is paid now), and its percentage.
    std::optional<Currency> reserve;
    std::optional<Currency> reservePercent;
    Currency divided;          // the estate divided: the net estate when it was prepared
    std::optional<PreparedEstate> preparation;  // how the estate entered was prepared, when it was

    // The amounts to pay with `decimals` decimals: the heirs' total and the
    // remainder, which add up exactly to the estate divided, rounded.
    int decimals = kDefaultDecimals;
    Currency paidHeirsTotal;
    std::optional<Currency> paidUndistributed;
    std::optional<Currency> paidReserve;
    Currency paidDivided;
    // One sentence on an 'awl or a radd ("عالت المسألة من 6 إلى 8، ..."),
    // empty when there was neither.
    QString problemLine;
};

// The results table of a division that ended in Outcome::Divided, its
// amounts to pay with `decimals` decimals.
ResultsTable buildResultsTable(const EstateCase& estateCase, const DivisionResult& result,
                               const Explanation& explanation, int decimals = kDefaultDecimals);

// An amount to pay with `decimals` decimals, plain ("83333.33"), and as
// shown ("83,333.33").
QString paidText(Currency amount, int decimals);
QString paidShown(Currency amount, int decimals);
// "ويزاد 2 منهم 0.01": the heads that receive one unit more.
QString oneUnitMoreText(std::int64_t heads, int decimals);
// The line under the results: the amounts are rounded to the unit.
QString roundingNote(int decimals);
// A percentage as it reads in Arabic text and in a spreadsheet: "12.5%".
QString percentShown(Currency percent);

struct DivisionReport {
    QString programName;     // "القسمار"
    QString title;           // "بيان قسمة تركة", and the deceased's name when the case gives it
    QString law;             // the law the division follows
    QString gregorianDate;   // "16 مارس 2025م"
    QString hijriDate;       // "16 رمضان 1446هـ"
    ReportSection theCase;   // the deceased, the estate, every relative with the count
    std::optional<ReportSection> preparation;  // the estate before its division
    std::optional<ReportSection> results;      // the amounts (none when nothing was divided)
    std::optional<ResultsTable> amounts;       // the same amounts as numbers, for the results window
    // Sections after the results: each later problem and the combined table
    // of a case with heirs who died before the division.
    std::vector<ReportSection> further;
    // With an heir not yet known: what is held back and how it is settled,
    // and one section per outcome (each head's amount in it and what he
    // still receives).
    std::optional<ReportSection> reserve;
    std::vector<ReportSection> outcomes;
    std::optional<ReportSection> problem;      // the sentences and the table of the problem
    // The lines to sign at the end: "أعدّه" and "اعتمده".
    QStringList signatures;
    QString closing;         // the program's credit, in small type

    // The sections in the order of the report.
    std::vector<const ReportSection*> sections() const;
};

// Builds the report of a case that was divided (or whose estate the costs
// and debts consumed). `date` is the day the report bears.
// The case's details (the deceased's name, the date and place of death, the
// heirs' names ...) are shown with the case when given.
DivisionReport buildDivisionReport(const EstateCase& estateCase, const DivisionResult& result,
                                   const Explanation& explanation, QDate date, const CaseDetails& details = {},
                                   int decimals = kDefaultDecimals);

// The report of a case with one heir not yet known, divided by
// DivideUncertainExplained (an outcome of Outcome::Divided): "results" holds
// what is paid now with the reserve, then the reserve's section, one section
// per outcome and the problem of every outcome.
DivisionReport buildUncertainReport(const EstateCase& estateCase, const UncertainHeir& heir,
                                    const UncertainDivision& division, const UncertainFractions& fractions,
                                    QDate date, const CaseDetails& details = {}, int decimals = kDefaultDecimals);

// The uncertain heir as the windows name him: "حمل (ولد للمتوفى)",
// "مفقود من الأبناء", "خنثى مشكل من الأولاد".
QString uncertainHeirText(const UncertainHeir& heir);
// The caption of the reserve's line.
QString reserveCaption();

// The date of a day in the Gregorian and in the Hijri (Islamic civil)
// calendar, in Arabic with Western digits.
QString gregorianDateText(QDate date);
QString hijriDateText(QDate date);

// How a relative inherits, as the table of the problem names it ("فرض",
// "تعصيب بالنفس", "محجوب", ...).
QString statusText(HeirStatus status);
// A fixed share by its Arabic name ("النصف"), or as a fraction when it has none.
QString shareText(const Rational& share);

// ---------------------------------------------------------------- rendering

// The report as a right-to-left HTML page: with the amounts grouped for
// printing, or with the engine's exact texts for the clipboard.
enum class Amounts { Grouped, Exact };
QString reportHtml(const DivisionReport& report, Amounts amounts = Amounts::Grouped);
// Sections alone, as reportHtml writes them (for a window that shows them).
QString sectionsHtml(const std::vector<ReportSection>& sections);
// One section of the report as the printed report lays it out (its title,
// paragraphs, table and notes), for a window that shows it as rich text.
QString reportSectionHtml(const ReportSection& section);
// The report as plain text, cells separated by tabs, exact amounts.
QString reportPlainText(const DivisionReport& report);
// The clipboard's content: the plain text and the HTML table.
QMimeData* reportMimeData(const DivisionReport& report);

// The one renderer of the report: laid out once on the PDF's page (A4, at
// 300 dots an inch, margins of 15 mm) with "صفحة n من m" at the foot of
// every page; the PDF, the printer and the print preview all draw these
// pages, so that the preview shows exactly what the PDF and the printer get.
class ReportRendering {
public:
    explicit ReportRendering(const DivisionReport& report);
    ~ReportRendering();
    ReportRendering(const ReportRendering&) = delete;
    ReportRendering& operator=(const ReportRendering&) = delete;

    int pageCount() const noexcept;
    // The whole sheet of page `page` (from 0), margins included, at
    // `dotsPerInch`, on white.
    QImage pageImage(int page, qreal dotsPerInch) const;
    // Draws the pages on `device`, scaled to its printable area. Returns the
    // number of pages.
    int print(QPagedPaintDevice& device) const;

private:
    friend QByteArray reportPdfAsDrawn(const DivisionReport& report, GlyphTexts* texts);
    struct Layout;
    std::unique_ptr<Layout> layout_;
};

// Draws the report on the pages of `device` (ReportRendering::print).
// Returns the number of pages.
int paintReport(const DivisionReport& report, QPagedPaintDevice& device);

// The report as an A4 PDF, with its fonts embedded, whose text reads back
// as it was typeset (see pdf_glyph_text.h).
QByteArray reportPdf(const DivisionReport& report);
// The same pages as the PDF writer draws them, with the text maps it makes
// (a ligature, a form of lam or alef reads back as nothing); what each glyph
// stands for in `texts` when given.
QByteArray reportPdfAsDrawn(const DivisionReport& report, GlyphTexts* texts = nullptr);

// Writes the report as an A4 PDF file, whole or not at all, by the rule of
// every file the program writes (writeWholeFile in casefile/file_writer.h):
// a link is followed to the file it names, a folder, a device or a pipe
// under the name is refused, and a failure leaves what was there as it was.
// On failure returns false with an Arabic message in `error` and an English
// one in `englishError`, each naming the file and the reason.
bool writeReportPdf(const DivisionReport& report, const QString& path, QString* error,
                    QString* englishError = nullptr);

}  // namespace qismar::results
