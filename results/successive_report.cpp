#include "results/successive_report.h"

#include <QStringList>
#include <cstdint>

#include "engine/heirs.h"
#include "results/amount_text.h"

namespace qismar::results {

namespace {

QString utf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

ReportCell word(const QString& text) { return {text, text, {}, {}}; }

ReportCell numberCell(std::uint64_t value)
{
    const QString exact = QString::number(value);
    return {groupedAmount(exact), exact, {}, {}};
}

ReportCell fractionCell(const Rational& value)
{
    const QString exact = QString::fromStdString(value.text());
    return {exact, exact, {}, {}};
}

// The head who died, as the report names him: "الابن" for one of the sons,
// "الأخت لأم" for a uterine sister.
QString deadName(const LaterDeath& death, const SuccessiveProblem& problem)
{
    if (death.heir == "uterineSisters")
        return QStringLiteral("الأخت لأم");
    if (death.heir == "uterineBrothers")
        return QStringLiteral("الأخ لأم");
    return utf8(heirInfo(problem.deadRow).singular);
}

// The name of a row's relative in a problem: the singular for one head, the
// plural for several.
QString rowName(const SuccessiveProblem& problem, Heir row)
{
    const HeadCount heads = HeadsOf(problem.estateCase, row);
    const HeirInfo& info = heirInfo(row);
    return utf8(heads.persons() > 1 && !info.plural.empty() ? info.plural : info.singular);
}

// "هو", "هي", "هم" or "هن": the relatives of a row, by their sex and number.
QString pronounOf(const SuccessiveProblem& problem, Heir row)
{
    const bool several = HeadsOf(problem.estateCase, row).persons() > 1;
    const bool female = heirInfo(row).female();
    if (several)
        return female ? QStringLiteral("هن") : QStringLiteral("هم");
    return female ? QStringLiteral("هي") : QStringLiteral("هو");
}

// The shares of each head of a row in its problem's corrected table.
std::optional<std::int64_t> sharesOf(const SuccessiveProblem& problem, Heir row)
{
    for (const HeirExplanation& h : problem.explanation.heirs)
        if (h.row == row)
            return h.shares;
    return std::nullopt;
}

QString multiplierText(const Rational& m)
{
    return QString::fromStdString(m.text());
}

}  // namespace

QString problemName(int problem)
{
    static const char* const kNames[] = {"الأولى", "الثانية", "الثالثة", "الرابعة",
                                         "الخامسة", "السادسة", "السابعة", "الثامنة"};
    if (problem < 1 || problem > int(std::size(kNames)))
        return QStringLiteral("المسألة %1").arg(problem);
    return QStringLiteral("المسألة ") + QString::fromUtf8(kNames[problem - 1]);
}

std::vector<Rational> problemMultipliers(const SuccessiveDivision& d)
{
    // Each step multiplies the table so far by its earlier multiplier and
    // the joining problem by its later one, then divides everything by its
    // reduction.
    std::vector<Rational> m(d.problems.size(), Rational{1});
    for (std::size_t step = 0; step < d.steps.size(); ++step) {
        const CombineStep& s = d.steps[step];
        const std::size_t joining = step + 1;  // problem step + 2, from 0
        for (std::size_t p = 0; p < joining && p < m.size(); ++p)
            m[p] = m[p] * Rational(static_cast<std::int64_t>(s.earlierMultiplier));
        if (joining < m.size())
            m[joining] = Rational(static_cast<std::int64_t>(s.laterMultiplier));
        for (std::size_t p = 0; p <= joining && p < m.size(); ++p)
            m[p] = m[p] / Rational(static_cast<std::int64_t>(s.reducedBy));
    }
    return m;
}

DivisionReport buildSuccessiveReport(const std::vector<LaterDeath>& later, const SuccessiveDivision& d, QDate date,
                                     const CaseDetails& details, int decimals)
{
    const SuccessiveProblem& first = d.problems.front();
    DivisionReport report = buildDivisionReport(first.estateCase, first.result, first.explanation, date, details, decimals);
    if (report.results)
        report.results->title = problemName(1) + QStringLiteral(": تركة المتوفى");

    // Each later problem: who died, what he left of this estate, his heirs'
    // table.
    for (std::size_t i = 1; i < d.problems.size(); ++i) {
        const SuccessiveProblem& p = d.problems[i];
        const LaterDeath& death = later[i - 1];
        const QString dead = deadName(death, p);
        ReportSection s;
        ReportSection body = [&] {
            DivisionReport one = buildDivisionReport(p.estateCase, p.result, p.explanation, date, {}, decimals);
            return one.results ? *one.results : ReportSection{};
        }();
        s.title = problemName(int(i) + 1) + QStringLiteral(": تركة ") + dead + QStringLiteral(" من ") +
                  problemName(p.ofProblem);
        s.paragraphs << QStringLiteral("توفي %1 (من ورثة %2) بعد مورّثه وقبل القسمة، فيُقسم نصيبه منها على ورثته: %3")
                            .arg(dead, problemName(p.ofProblem), paidShown(p.estateCase.estate, decimals));
        for (const auto& [theirs, earlier] : death.same) {
            const auto own = heirOfCaseField(theirs, p.estateCase.deceased);
            const auto before = heirOfCaseField(earlier, d.problems[std::size_t(p.ofProblem - 1)].estateCase.deceased);
            if (own && before)
            {
                // "هو من الأبناء" when they are some of that class's heads.
                const SuccessiveProblem& earlier = d.problems[std::size_t(p.ofProblem - 1)];
                const bool some = HeadsOf(earlier.estateCase, *before).persons() > HeadsOf(p.estateCase, *own).persons();
                s.paragraphs << QStringLiteral("%1 في هذه المسألة %2 %3%4 في %5")
                                    .arg(rowName(p, *own), pronounOf(p, *own), some ? QStringLiteral("من ") : QString(),
                                         rowName(earlier, *before), problemName(p.ofProblem));
            }
        }
        s.paragraphs << body.paragraphs;
        s.table = body.table;
        s.notes = body.notes;
        s.notes << QStringLiteral("لا يدخل في هذه القسمة ما كان يملكه %1 من مال غير نصيبه من %2، فذاك يُقسم وحده")
                       .arg(dead, problemName(p.ofProblem));
        report.further.push_back(std::move(s));
    }

    // The combined table.
    // The textbooks' table: each problem's multiplier and the combined
    // origin before any reduction, then the table reduced.
    const std::uint64_t reduced = d.reducedBy > 0 ? d.reducedBy : 1;
    std::vector<Rational> multipliers = problemMultipliers(d);
    for (Rational& m : multipliers)
        m = m * Rational(static_cast<std::int64_t>(reduced));
    ReportSection combined;
    combined.title = QStringLiteral("الجامعة");
    for (const std::string& sentence : d.sentences)
        combined.paragraphs << withGroupedNumbers(QString::fromStdString(sentence));
    combined.paragraphs << QStringLiteral("تصح المسائل كلها من %1، ولكل وارث حي ما له من سهام في كل مسألة مضروباً في مضروبها")
                               .arg(groupedAmount(QString::number(d.origin)));
    combined.table.header << QStringLiteral("الوارث") << QStringLiteral("العدد");
    for (std::size_t p = 0; p < d.problems.size(); ++p) {
        const auto& e = d.problems[p].explanation;
        // Its correction is in its own table above.
        (void)e;
        combined.table.header << problemName(int(p) + 1) + QStringLiteral(" × ") + multiplierText(multipliers[p]);
    }
    combined.table.header << QStringLiteral("الجامعة %1").arg(groupedAmount(QString::number(d.origin * reduced)));
    if (reduced > 1)
        combined.table.header << QStringLiteral("اختُصرت إلى %1").arg(groupedAmount(QString::number(d.origin)));
    combined.table.header << QStringLiteral("الكسر من التركة") << QStringLiteral("نصيب الفرد");
    std::int64_t heads = 0;
    // The amounts of all persons, held exactly (a class may be large).
    __int128 total = 0;
    for (const CombinedPersons& persons : d.persons) {
        ReportRow row;
        // Named as in the first problem he inherits in; who he is in the
        // others said under the name.
        QString name, pronoun;
        QStringList also;
        for (const ProblemRow& r : persons.of) {
            const SuccessiveProblem& p = d.problems[std::size_t(r.problem - 1)];
            if (name.isEmpty()) {
                name = rowName(p, r.row);
                pronoun = pronounOf(p, r.row);
                if (r.problem > 1)
                    name += QStringLiteral(" في ") + problemName(r.problem);
            } else {
                also << rowName(p, r.row) + QStringLiteral(" في ") + problemName(r.problem);
            }
        }
        ReportCell who = word(name);
        if (!also.isEmpty())
            who.note = QStringLiteral("و") + pronoun + QLatin1Char(' ') + also.join(QStringLiteral("، و"));
        row.push_back(who);
        row.push_back(word(QString::number(persons.heads)));
        for (std::size_t p = 0; p < d.problems.size(); ++p) {
            QString text = QStringLiteral("—");
            for (const ProblemRow& r : persons.of)
                if (std::size_t(r.problem - 1) == p)
                    if (const auto shares = sharesOf(d.problems[p], r.row))
                        text = QString::number(*shares);
            row.push_back(word(text));
        }
        row.push_back(numberCell(persons.shares * reduced));
        if (reduced > 1)
            row.push_back(numberCell(persons.shares));
        row.push_back(fractionCell(persons.fraction));
        const QString exact = amountText(persons.amount);
        row.push_back({paidShown(persons.amount, decimals), exact, paidText(persons.amount, decimals), {}});
        heads += persons.heads;
        total += static_cast<__int128>(persons.amount.raw()) * persons.heads;
        combined.table.rows.push_back(std::move(row));
    }
    ReportRow sum{word(QStringLiteral("المجموع")), word(QString::number(heads))};
    for (std::size_t p = 0; p < d.problems.size(); ++p)
        sum.push_back(word(QString()));
    sum.push_back(numberCell(d.origin * reduced));
    if (reduced > 1)
        sum.push_back(numberCell(d.origin));
    sum.push_back(word(QStringLiteral("1")));
    if (total <= INT64_MAX) {
        const Currency all = Currency::fromRaw(static_cast<std::int64_t>(total));
        sum.push_back({paidShown(all, decimals), amountText(all), paidText(all, decimals), {}});
    } else {
        sum.push_back(word(QString()));
    }
    combined.table.rows.push_back(std::move(sum));
    combined.table.footerRows = 1;
    combined.notes << QStringLiteral("السهام في عمود كل مسألة سهام الفرد فيها بعد تصحيحها، ونصيب الفرد مجموع ما ناله من كل مسألة");
    combined.notes << roundingNote(decimals);
    report.further.push_back(std::move(combined));

    if (report.problem)
        for (const std::string& sentence : d.sentences)
            report.problem->paragraphs << withGroupedNumbers(QString::fromStdString(sentence));
    return report;
}

}  // namespace qismar::results
