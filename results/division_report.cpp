#include "results/division_report.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCalendar>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QLocale>
#include <QMimeData>
#include <QPagedPaintDevice>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTextLayout>

#include <algorithm>

#include "casefile/file_writer.h"
#include "results/amount_text.h"
#include "engine/heirs.h"
#include "results/pdf_glyph_text.h"
#include "engine/preparation.h"

namespace qismar::results {

namespace {

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

ReportCell word(const QString& text) { return {text, text}; }
ReportCell amountCell(const QString& exact) { return {groupedAmount(exact), exact}; }
ReportCell amountCell(Currency value) { return amountCell(amountText(value)); }
// An amount to pay: shown rounded to the unit, with the engine's exact
// amount beside it in the copy.
ReportCell paidCell(Currency paid, Currency exact, int decimals, const QString& note = QString())
{
    ReportCell cell{paidShown(paid, decimals), amountText(exact)};
    cell.paid = paidText(paid, decimals);
    cell.note = note;
    return cell;
}
ReportCell percentCell(Currency value)
{
    const QString text = percentShown(value);
    return {text, text};
}
ReportCell countCell(HeadCount heads) { return word(QString::number(heads.persons())); }

QStringList grouped(const std::vector<std::string>& sentences)
{
    QStringList out;
    for (const std::string& s : sentences)
        out << withGroupedNumbers(fromUtf8(s));
    return out;
}

// The relatives of the case in the order the report lists them: the spouse,
// the ascendants, the descendants, the brothers and sisters, the distant
// residuaries, then the grandmothers. Their names and heads come from the
// heir table.
constexpr Heir kCaseOrder[] = {
    Heir::Husband,          Heir::Wives,            Heir::Father,           Heir::Mother,
    Heir::Grandfather,      Heir::Sons,             Heir::Daughters,        Heir::SonsSons,
    Heir::SonsDaughters,    Heir::SonsSonsSons,     Heir::SonsSonsDaughters, Heir::FullBrothers,
    Heir::FullSisters,      Heir::PaternalBrothers, Heir::PaternalSisters,  Heir::UterineSiblings,
    Heir::FullBrothersSons, Heir::PaternalBrothersSons, Heir::FullUncles,   Heir::PaternalUncles,
    Heir::FullUnclesSons,   Heir::PaternalUnclesSons, Heir::MothersMother,  Heir::FathersMother,
    Heir::MothersMothersMother, Heir::FathersMothersMother, Heir::FathersFathersMother,
};
static_assert(std::size(kCaseOrder) == std::size_t(kHeirCount), "every relative once in the report's case");

QString text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

// A text the user gave (a name, a place, a file number) kept whole in a
// right-to-left line, whatever its letters and digits.
QString isolated(const QString& text) { return QChar(0x2068) + text + QChar(0x2069); }

QString utf8Text(const std::string& t) { return QString::fromUtf8(t.data(), qsizetype(t.size())); }

QString currencyName(const CaseDetails& details)
{
    return utf8Text(details.currency.empty() ? std::string(kDefaultCurrency) : details.currency);
}

// The case once: the deceased, the particulars given, the estate and the
// relatives in one sentence, each with the names given (their amounts are
// in the table of the results).
ReportSection caseSection(const EstateCase& c, const CaseDetails& d, bool prepared)
{
    ReportSection s;
    s.title = QStringLiteral("المسألة");
    // The deceased, then the particulars given on one line.
    const QString sex = c.isMan() ? QStringLiteral("رجل") : QStringLiteral("امرأة");
    s.paragraphs << (d.name.empty() ? QStringLiteral("المتوفى: ") + sex
                                    : QStringLiteral("المتوفى: %1 (%2)").arg(isolated(utf8Text(d.name)), sex));
    QStringList particulars;
    if (CivilDate day; parseDateOfDeath(d.dateOfDeath, day)) {
        const QDate date(day.year, day.month, day.day);
        particulars << QStringLiteral("تاريخ الوفاة: %1 الموافق %2").arg(gregorianDateText(date), hijriDateText(date));
    }
    if (!d.place.empty())
        particulars << QStringLiteral("مكان الوفاة: ") + isolated(utf8Text(d.place));
    if (!d.reference.empty())
        particulars << QStringLiteral("رقم الملف أو القضية: ") + isolated(utf8Text(d.reference));
    if (!particulars.isEmpty())
        s.paragraphs << particulars.join(QStringLiteral("؛ "));
    s.paragraphs << (prepared ? QStringLiteral("التركة قبل التجهيز: ") : QStringLiteral("التركة: "))
                        + groupedAmount(amountText(c.estate)) + QLatin1Char(' ') + currencyName(d);
    QStringList relatives;
    for (Heir heir : kCaseOrder) {
        if (!RelativePresent(c, heir))
            continue;
        const HeirInfo& info = heirInfo(heir);
        const HeadCount heads = HeadsOf(c, heir);
        QString name = heads.persons() > 1 ? QStringLiteral("%1 (%2)").arg(text(info.plural)).arg(heads.persons())
                                           : text(info.singular);
        QStringList names;
        for (const std::string& n : d.heirNames[static_cast<std::size_t>(index(heir))])
            names << utf8Text(n);
        if (!names.isEmpty())
            name += QStringLiteral(" (") + isolated(names.join(QStringLiteral("، "))) + QLatin1Char(')');
        relatives << name;
    }
    if (!relatives.isEmpty())
        s.paragraphs << QStringLiteral("الأقارب الأحياء: ") + relatives.join(QStringLiteral("، "));
    return s;
}

ReportSection preparationSection(const PreparedEstate& p)
{
    ReportSection s;
    s.title = QStringLiteral("تجهيز التركة قبل القسمة");
    // One row of amounts under their names, which keeps a family's report
    // to one page.
    s.table.header << QStringLiteral("البند");
    ReportRow amounts{word(QStringLiteral("المبلغ"))};
    auto item = [&](const QString& what, Currency value) {
        s.table.header << what;
        amounts.push_back(amountCell(value));
    };
    item(QStringLiteral("التركة قبل التجهيز"), p.gross);
    item(QStringLiteral("نفقات التجهيز والدفن"), p.funeral);
    item(QStringLiteral("الديون"), p.debts);
    item(QStringLiteral("الوصايا المطلوبة"), p.bequests);
    item(QStringLiteral("الوصايا المنفذة"), p.bequestsCarriedOut);
    item(QStringLiteral("صافي التركة للورثة"), p.net);
    s.table.rows.push_back(std::move(amounts));
    // Its sentences in one note, which keeps a family's report to one page.
    s.notes << grouped(PreparationSentences(p)).join(QStringLiteral("؛ "));
    if (!p.net.isZero())
        s.notes << QStringLiteral("الأنصبة والنسب المئوية في هذا التقرير من صافي التركة (%1) لا من التركة قبل التجهيز")
                       .arg(groupedAmount(amountText(p.net)));
    return s;
}

const HeirExplanation* explanationOf(const Explanation& e, Heir row)
{
    for (const HeirExplanation& h : e.heirs)
        if (h.row == row)
            return &h;
    return nullptr;
}

// The share of a relative as the tables name it: the 'umariyya's third of
// the remainder, else the fraction of the whole.
QString shareOf(const HeirExplanation& h, bool named)
{
    if (h.status == HeirStatus::Umariyya)
        return QString::fromUtf8(kThirdOfTheRemainder.data(), qsizetype(kThirdOfTheRemainder.size()));
    if (!h.share)
        return named ? statusText(h.status) : QStringLiteral("—");
    return named ? shareText(*h.share) : QString::fromStdString(h.share->text());
}

ReportSection resultsSection(const ResultsTable& t, const Explanation& e, const QString& currency)
{
    ReportSection s;
    s.title = t.reserve ? QStringLiteral("ما يُدفع الآن") : QStringLiteral("الأنصبة");
    const bool shares = e.exact && e.correction;
    s.table.header = {QStringLiteral("الوارث"), QStringLiteral("العدد"), QStringLiteral("الفرض")};
    if (shares)
        s.table.header << QStringLiteral("سهام الفرد من %1").arg(groupedAmount(QString::number(*e.correction)));
    s.table.header << QStringLiteral("نصيب الفرد") << QStringLiteral("نصيب الفئة") << QStringLiteral("نسبة الفرد");
    const ReportCell none = word(QString());
    for (const ResultLine& l : t.lines) {
        ReportRow line;
        line.push_back(word(l.heads.persons() > 1 ? fromUtf8(HeirName(l.heir, true)) : l.caption));
        line.push_back(countCell(l.heads));
        line.push_back(word(l.share));
        if (shares)
            line.push_back(word(l.shares && !l.nothing ? QString::number(*l.shares) : QStringLiteral("—")));
        if (l.nothing) {
            line.push_back(word(l.nothingText));
            line.push_back(word(l.nothingText));
            line.push_back(none);
        } else {
            line.push_back(paidCell(l.paidPerHead, l.perHead, t.decimals,
                                    l.headsWithOneUnitMore ? oneUnitMoreText(l.headsWithOneUnitMore, t.decimals)
                                                           : QString()));
            line.push_back(l.classTotal ? paidCell(l.paidTotal, *l.classTotal, t.decimals) : none);
            line.push_back(l.percent ? percentCell(*l.percent) : none);
        }
        s.table.rows.push_back(std::move(line));
    }
    ReportRow total{word(t.reserve ? QStringLiteral("مجموع ما يُدفع الآن") : QStringLiteral("مجموع الأنصبة")),
                    countCell(t.heads), none};
    if (shares)
        total.push_back(none);
    total.insert(total.end(), {none, paidCell(t.paidHeirsTotal, t.heirsTotal, t.decimals), percentCell(t.heirsPercent)});
    s.table.rows.push_back(std::move(total));
    s.table.footerRows = 1;
    if (t.undistributed) {
        ReportRow rest{word(QStringLiteral("الباقي دون توزيع")), none, none};
        if (shares)
            rest.push_back(none);
        rest.insert(rest.end(), {none, paidCell(t.paidUndistributed.value_or(Currency{}), *t.undistributed, t.decimals),
                                 t.undistributedPercent ? percentCell(*t.undistributedPercent) : none});
        s.table.rows.push_back(std::move(rest));
        s.table.footerRows = 2;
        s.notes << QStringLiteral(
            "الباقي دون توزيع لذوي الأرحام، وهذا البرنامج لا يقسم بينهم، ولا يُردّ على الزوج أو الزوجة ما دام أحد منهم موجوداً");
    }
    if (t.reserve) {
        ReportRow held{word(reserveCaption()), none, none};
        if (shares)
            held.push_back(none);
        held.insert(held.end(), {none, paidCell(t.paidReserve.value_or(Currency{}), *t.reserve, t.decimals),
                                 t.reservePercent ? percentCell(*t.reservePercent) : none});
        s.table.rows.push_back(std::move(held));
        ++s.table.footerRows;
        // What is paid now is the least of several divisions, of no one share.
        s.table.header.removeAt(2);
        for (ReportRow& row : s.table.rows)
            row.erase(row.begin() + 2);
    }
    s.paragraphs << QStringLiteral("التركة المقسومة: ") + paidShown(t.paidDivided, t.decimals) + QLatin1Char(' ') +
                        currency;
    if (!t.problemLine.isEmpty())
        s.paragraphs << t.problemLine;
    s.notes << roundingNote(t.decimals);
    s.notes << QStringLiteral("نسبة الفرد نسبة نصيب كل فرد من التركة المقسومة");
    return s;
}

// The heading of the column of each part's shares: the problem they are
// counted in, and how it came about.
QString problemHeader(const Explanation& e)
{
    const QString problem = groupedAmount(QString::number(TableProblem(e)));
    if (e.raddTable)
        return QStringLiteral("السهام من الجامعة %1").arg(problem);
    if (e.awl)
        return QStringLiteral("السهام من %1 بالعول").arg(problem);
    if (e.radd)
        return QStringLiteral("السهام من %1 بالرد").arg(problem);
    return QStringLiteral("السهام من %1").arg(problem);
}

ReportSection problemSection(const EstateCase& c, const DivisionResult& r, const Explanation& e)
{
    ReportSection s;
    s.title = QStringLiteral("بيان المسألة");
    if (!e.exact) {
        s.paragraphs << QStringLiteral("تعذر بيان المسألة بكسور دقيقة لكبر أعدادها؛ الأنصبة أعلاه صحيحة");
        return s;
    }
    s.paragraphs = grouped(ProblemSentences(e));
    const QString sharesHeader = e.correction
                                     ? QStringLiteral("سهام الفرد من %1").arg(groupedAmount(QString::number(*e.correction)))
                                     : QStringLiteral("سهام الفرد");
    s.table.header = {QStringLiteral("الوارث"),     QStringLiteral("العدد"),      QStringLiteral("الفرض"),
                      QStringLiteral("كيف يرث"),    problemHeader(e),             sharesHeader,
                      QStringLiteral("نصيب الفرد"), QStringLiteral("نصيب الفئة"), QStringLiteral("مبلغ الفرد الدقيق"),
                      QStringLiteral("البيان")};
    for (std::size_t i = 0; i < e.heirs.size(); ++i) {
        const HeirExplanation& h = e.heirs[i];
        const HeadCount n = HeadsOf(c, h.row);
        ReportRow line;
        line.push_back(word(fromUtf8(HeirName(h.row, n.persons() > 1))));
        line.push_back(countCell(n));
        line.push_back(word(shareOf(h, false)));
        line.push_back(word(statusText(h.status)));
        // A part's shares, and on each of its rows the classes it shares
        // them with ("7 مع البنات").
        QString partShares = h.originShares ? QString::number(*h.originShares) : QStringLiteral("—");
        QStringList partners;
        if (!h.fraction.isZero())
            for (const HeirExplanation& other : e.heirs)
                if (&other != &h && other.part == h.part && !other.fraction.isZero())
                    partners << fromUtf8(HeirName(other.row, HeadsOf(c, other.row).persons() > 1));
        if (!partners.isEmpty())
            partShares += QStringLiteral(" مع ") + partners.join(QStringLiteral(" و"));
        line.push_back(word(partShares));
        line.push_back(word(h.shares ? QString::number(*h.shares) : QStringLiteral("—")));
        line.push_back(word(QString::fromStdString(h.fraction.text())));
        line.push_back(word(QString::fromStdString(h.classFraction.text())));
        // The engine's exact amount of each head, as qismar-cli prints it.
        const RowText& amount = r.rows[std::size_t(index(h.row))];
        line.push_back(amount.kind == RowText::Kind::Amount && !amount.amount.isZero() ? amountCell(amount.amount)
                                                                                       : word(QStringLiteral("—")));
        line.push_back(word(fromUtf8(h.reason)));
        s.table.rows.push_back(std::move(line));
    }
    // The printed report has the shares in its table of the results and the
    // sentences here; the table is the window's.
    s.tablePrinted = false;
    return s;
}

QString escaped(const QString& text) { return text.toHtmlEscaped(); }

// The face of the printed report: a Naskh that carries Arabic, embedded in
// the PDF.
QFont reportFont()
{
    for (const char* family : {"Noto Naskh Arabic", "Noto Sans Arabic", "Amiri", "DejaVu Sans"}) {
        const QString name = QString::fromLatin1(family);
        if (QFontDatabase::hasFamily(name)) {
            QFont font(name);
            font.setPointSizeF(10);
            return font;
        }
    }
    QFont font;
    font.setPointSizeF(10);
    return font;
}

}  // namespace

std::vector<const ReportSection*> DivisionReport::sections() const
{
    std::vector<const ReportSection*> out{&theCase};
    for (const std::optional<ReportSection>* s : {&preparation, &results, &reserve})
        if (*s)
            out.push_back(&**s);
    for (const ReportSection& s : outcomes)
        out.push_back(&s);
    for (const ReportSection& s : further)
        out.push_back(&s);
    if (problem)
        out.push_back(&*problem);
    return out;
}

QString statusText(HeirStatus status)
{
    switch (status) {
    case HeirStatus::Fixed: return QStringLiteral("فرض");
    case HeirStatus::Residue: return QStringLiteral("تعصيب بالنفس");
    case HeirStatus::ResidueWith: return QStringLiteral("تعصيب بالغير");
    case HeirStatus::ResidueBeside: return QStringLiteral("تعصيب مع الغير");
    case HeirStatus::FixedAndResidue: return QStringLiteral("فرض وتعصيب");
    case HeirStatus::Umariyya: return QStringLiteral("ثلث الباقي (العمرية)");
    case HeirStatus::SharedThird: return QStringLiteral("الثلث المشترك");
    case HeirStatus::GrandfatherSharing: return QStringLiteral("مقاسمة الجد للإخوة");
    case HeirStatus::Excluded: return QStringLiteral("محجوب");
    case HeirStatus::NothingLeft: return QStringLiteral("لم يبق له شيء");
    }
    return QString();
}

QString shareText(const Rational& share)
{
    struct Known {
        int num, den;
        const char* name;
    };
    static const Known known[] = {{1, 2, "النصف"}, {1, 4, "الربع"},  {1, 8, "الثمن"},
                                  {2, 3, "الثلثان"}, {1, 3, "الثلث"}, {1, 6, "السدس"}};
    for (const Known& k : known)
        if (share.num() == k.num && share.den() == k.den)
            return QString::fromUtf8(k.name);
    return QString::fromStdString(share.text());
}

namespace {

// The caption of a line: the relative's name for one head, "لكل ..." for
// several. One uterine sibling is a brother or a sister.
QString lineCaption(const EstateCase& c, Heir heir, HeadCount heads)
{
    const HeirInfo& info = heirInfo(heir);
    if (heads.persons() != 1)
        return text(info.rowCaption).trimmed();
    if (heir == Heir::UterineSiblings)
        return c.uterineBrothers.persons() == 1 ? QStringLiteral("الأخ لأم") : QStringLiteral("الأخت لأم");
    return text(info.singular);
}

// "لا شيء له" by the gender and the number of the line's heads.
QString nothingFor(const EstateCase& c, Heir heir, HeadCount heads)
{
    const std::int64_t n = heads.persons();
    Gender gender = heirInfo(heir).gender;
    if (heir == Heir::UterineSiblings)
        gender = c.uterineBrothers.isZero() ? Gender::Female : Gender::Male;
    if (n == 2)
        return QStringLiteral("لا شيء لهما");
    if (n > 2)
        return gender == Gender::Female ? QStringLiteral("لا شيء لهن") : QStringLiteral("لا شيء لهم");
    return gender == Gender::Female ? QStringLiteral("لا شيء لها") : QStringLiteral("لا شيء له");
}

// The names of those a radd returns to: the heirs of a fixed share other
// than a spouse, each as many as the case has.
QString raddHeirs(const EstateCase& c, const Explanation& e)
{
    QStringList names;
    for (const HeirExplanation& h : e.heirs) {
        if (h.fraction.isZero() || heirInfo(h.row).heirClass == HeirClass::Spouse)
            continue;
        const QString name = fromUtf8(HeirName(h.row, HeadsOf(c, h.row).persons() > 1));
        if (!names.contains(name))
            names << name;
    }
    if (names.size() <= 1)
        return names.join(QString());
    const QString last = names.takeLast();
    return names.join(QStringLiteral("، ")) + QStringLiteral(" و") + last;
}

// One sentence on the 'awl or the radd of a division, from its explanation.
QString problemLineOf(const EstateCase& c, const Explanation& e)
{
    if (e.awl)
        return QStringLiteral("عالت المسألة من %1 إلى %2، فنقص نصيب كل صاحب فرض بنسبة ذلك").arg(e.origin).arg(*e.awl);
    if (e.radd) {
        QString line = QStringLiteral("رُدّ الباقي على %1 بنسبة فروضهم").arg(raddHeirs(c, e));
        if (e.spouseKeepsShare) {
            const bool husband = c.spouse && !c.isMan();
            line += husband ? QStringLiteral("، ولا يُردّ على الزوج")
                            : (c.wives.persons() > 1 ? QStringLiteral("، ولا يُردّ على الزوجات")
                                                     : QStringLiteral("، ولا يُردّ على الزوجة"));
        }
        return line;
    }
    return QString();
}

QString decimalsOf(int decimals)
{
    decimals = std::clamp(decimals, kFewestDecimals, kMostDecimals);
    return decimals == 0 ? QStringLiteral("1") : QStringLiteral("0.") + QString(decimals - 1, QLatin1Char('0')) +
                                                      QLatin1Char('1');
}

}  // namespace

QString paidText(Currency amount, int decimals)
{
    decimals = std::clamp(decimals, kFewestDecimals, kMostDecimals);
    const std::int64_t raw = roundToUnit(amount, payoutUnit(decimals)).raw();
    const std::int64_t whole = raw / Currency::kScale;
    const std::int64_t fraction = std::abs(raw % Currency::kScale);
    QString out = (raw < 0 && whole == 0 ? QStringLiteral("-") : QString()) + QString::number(whole);
    if (decimals > 0)
        out += QLatin1Char('.') + QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0')).left(decimals);
    return out;
}

QString paidShown(Currency amount, int decimals) { return groupedAmount(paidText(amount, decimals)); }

QString oneUnitMoreText(std::int64_t heads, int decimals)
{
    return QStringLiteral("ويزاد %1 منهم %2").arg(heads).arg(decimalsOf(decimals));
}

QString roundingNote(int decimals)
{
    return QStringLiteral("المبالغ مقرّبة إلى أقرب %1، ومجموعها مع الباقي يساوي التركة المقسومة تماماً")
        .arg(decimalsOf(decimals));
}

QString percentShown(Currency percent) { return amountText(percent) + QLatin1Char('%'); }

ResultsTable buildResultsTable(const EstateCase& c, const DivisionResult& r, const Explanation& e, int decimals)
{
    ResultsTable t;
    t.decimals = std::clamp(decimals, kFewestDecimals, kMostDecimals);
    __int128 total = 0;
    for (int i = 0; i < kHeirCount; ++i) {
        const Heir row = heirAt(i);
        const RowText& text = r.rows[std::size_t(i)];
        if (text.isEmpty())
            continue;
        ResultLine line;
        line.heir = row;
        line.heads = HeadsOf(c, row);
        line.caption = lineCaption(c, row, line.heads);
        line.nothingText = nothingFor(c, row, line.heads);
        t.heads = t.heads + line.heads;
        const HeirExplanation* h = explanationOf(e, row);
        if (h) {
            line.share = shareOf(*h, true);
            if (e.exact)
                line.shares = h->shares;
        }
        // A relative whose amount is zero receives nothing, as one the
        // division marked so.
        line.nothing = text.kind == RowText::Kind::NothingForHim || text.value().isZero();
        if (line.nothing) {
            if (h)
                line.reason = fromUtf8(h->reason);
        } else {
            line.perHead = text.amount;
            line.classTotal = classTotal(text.amount, line.heads);
            if (line.classTotal)
                total += line.classTotal->raw();
            line.percent = r.percentages[std::size_t(i)];
        }
        t.lines.push_back(std::move(line));
    }
    t.heirsTotal = Currency::fromRaw(std::int64_t(total));
    // What the heirs take together, as a share of the estate divided: the
    // whole of it but for what the rows leave undistributed.
    const Currency hundred = Currency::fromWhole(100);
    t.heirsPercent = r.undistributedPercent ? subtractExact(hundred, *r.undistributedPercent) : hundred;
    t.undistributed = r.undistributed;
    t.undistributedPercent = r.undistributedPercent;
    t.divided = r.preparation ? r.preparation->net : c.estate;
    t.preparation = r.preparation;
    t.problemLine = problemLineOf(c, e);

    // The amounts to pay: every class that receives, and the remainder,
    // rounded together to the unit so that they add up to the estate divided.
    std::vector<PayoutItem> items;
    std::vector<ResultLine*> paid;
    for (ResultLine& l : t.lines)
        if (!l.nothing && l.classTotal) {
            items.push_back({*l.classTotal, l.heads.persons()});
            paid.push_back(&l);
        }
    if (t.undistributed)
        items.push_back({*t.undistributed, 1});
    const std::vector<Payout> payouts = roundPayouts(items, t.divided, t.decimals);
    __int128 paidTotal = 0;
    for (std::size_t i = 0; i < paid.size(); ++i) {
        paid[i]->paidTotal = payouts[i].total;
        paid[i]->paidPerHead = payouts[i].perHead;
        paid[i]->headsWithOneUnitMore = payouts[i].headsWithOneUnitMore;
        paidTotal += payouts[i].total.raw();
    }
    t.paidHeirsTotal = Currency::fromRaw(std::int64_t(paidTotal));
    if (t.undistributed)
        t.paidUndistributed = payouts.back().total;
    t.paidDivided = roundToUnit(t.divided, payoutUnit(t.decimals));
    return t;
}

QString gregorianDateText(QDate date)
{
    const QCalendar calendar(QCalendar::System::Gregorian);
    const QCalendar::YearMonthDay d = calendar.partsFromDate(date);
    const QLocale arabic(QLocale::Arabic, QLocale::Sudan);
    return QStringLiteral("%1 %2 %3م").arg(d.day).arg(calendar.monthName(arabic, d.month, d.year)).arg(d.year);
}

QString hijriDateText(QDate date)
{
    const QCalendar calendar(QCalendar::System::IslamicCivil);
    const QCalendar::YearMonthDay d = calendar.partsFromDate(date);
    const QLocale arabic(QLocale::Arabic, QLocale::Sudan);
    return QStringLiteral("%1 %2 %3هـ").arg(d.day).arg(calendar.monthName(arabic, d.month, d.year)).arg(d.year);
}

DivisionReport buildDivisionReport(const EstateCase& c, const DivisionResult& r, const Explanation& e, QDate date,
                                   const CaseDetails& details, int decimals)
{
    DivisionReport report;
    report.programName = QStringLiteral("القسمار");
    report.title = details.name.empty() ? QStringLiteral("بيان قسمة تركة")
                                        : QStringLiteral("بيان قسمة تركة %1").arg(utf8Text(details.name));
    report.law = QStringLiteral("قسمة التركة على الورثة وفق قانون الأحوال الشخصية للمسلمين لسنة 1991م (السودان)");
    report.gregorianDate = gregorianDateText(date);
    report.hijriDate = hijriDateText(date);
    report.theCase = caseSection(c, details, r.preparation.has_value());
    if (r.preparation)
        report.preparation = preparationSection(*r.preparation);
    if (r.outcome == Outcome::Divided) {
        report.amounts = buildResultsTable(c, r, e, decimals);
        report.results = resultsSection(*report.amounts, e, currencyName(details));
        report.problem = problemSection(c, r, e);
    } else if (r.outcome == Outcome::Consumed && r.preparation) {
        ReportSection none;
        none.title = QStringLiteral("القسمة");
        none.paragraphs << withGroupedNumbers(fromUtf8(ConsumedMessage(*r.preparation)));
        report.results = none;
    }
    report.signatures = {QStringLiteral("أعدّه"), QStringLiteral("اعتمده")};
    report.closing = QStringLiteral(
        "أُعدّ هذا البيان ببرنامج القسمار وفق قانون الأحوال الشخصية للمسلمين السوداني لسنة 1991م");
    return report;
}

namespace {

// The name of an outcome as the report's sections are titled.
QString outcomeTitle(std::string_view name)
{
    if (name == "stillborn")
        return QStringLiteral("إن وُلد الحمل ميتاً");
    if (name == "boy")
        return QStringLiteral("إن وُلد ذكراً");
    if (name == "girl")
        return QStringLiteral("إن وُلدت أنثى");
    if (name == "alive")
        return QStringLiteral("إن ظهر المفقود حياً");
    if (name == "dead")
        return QStringLiteral("إن حُكم بموت المفقود");
    if (name == "male")
        return QStringLiteral("على تقدير الخنثى ذكراً");
    if (name == "female")
        return QStringLiteral("على تقدير الخنثى أنثى");
    return text(name);
}

// The uncertain head where an outcome counts him among the heirs.
QString uncertainHeadName(const UncertainHeir& h, std::string_view outcome)
{
    switch (h.kind) {
    case UncertainKind::Unborn:
        return outcome == "girl" ? QStringLiteral("المولودة") : QStringLiteral("المولود");
    case UncertainKind::Missing:
        return heirInfo(h.missing).gender == Gender::Female ? QStringLiteral("المفقودة") : QStringLiteral("المفقود");
    case UncertainKind::UndeterminedSex:
        return QStringLiteral("الخنثى");
    }
    return QString();
}

QString lineName(const auto& lines, KinLine line)
{
    for (const KinLineName& l : lines)
        if (l.line == line)
            return text(l.arabic);
    return QString();
}

// The outcome whose heads go with the amounts paid now: the case as entered
// for the unborn child, the missing heir's death for him (the heirs known
// now), and for the heir of undetermined sex the division that is carried out.
std::size_t nowOutcome(const UncertainHeir& h, const UncertainDivision& d)
{
    if (h.kind == UncertainKind::Missing)
        return 1;
    if (h.kind == UncertainKind::UndeterminedSex && d.outcomes.size() > 1 && d.now == d.outcomes[1].result.rows)
        return 1;
    return 0;
}

// The heirs known now, without the uncertain head, against whom each
// outcome's rows are told apart from the head it adds.
EstateCase knownCase(const EstateCase& c, const UncertainHeir& h, const UncertainDivision& d)
{
    if (h.kind == UncertainKind::Missing && d.outcomes.size() > 1)
        return d.outcomes[1].estateCase;
    EstateCase known = c;
    known.deriveEntryWindowState();
    return known;
}

// The sentence above the lines of the results: who the uncertain heir is
// and what was done with him.
QString uncertainLine(const UncertainHeir& h, const UncertainDivision& d)
{
    switch (h.kind) {
    case UncertainKind::Unborn:
        return QStringLiteral("في المسألة %1: أُعطي كل وارث أقل ما يناله في أحوال الحمل الثلاث، ووُقف الباقي حتى الولادة")
            .arg(uncertainHeirText(h));
    case UncertainKind::Missing:
        return QStringLiteral("في المسألة %1: أُعطي كل وارث أقل نصيبيه على حياته وعلى موته، ووُقف الباقي حتى يظهر "
                              "أو يُحكم بموته")
            .arg(uncertainHeirText(h));
    case UncertainKind::UndeterminedSex:
        if (d.sameEitherWay)
            return QStringLiteral("في المسألة %1: نصيبه ذكراً وأنثى سواء، فقُسمت التركة على تقديره ذكراً، ولا يوقف شيء")
                .arg(uncertainHeirText(h));
        return QStringLiteral("في المسألة %1: أخذ أقل نصيبيه، وهو نصيبه على تقديره %2، وأخذ الباقون أنصباءهم في "
                              "تلك القسمة، ولا يوقف شيء")
            .arg(uncertainHeirText(h),
                 nowOutcome(h, d) == 1 ? QStringLiteral("أنثى") : QStringLiteral("ذكراً"));
    }
    return QString();
}

// What is paid now, as the lines of a results table, with the reserve.
ResultsTable nowTable(const UncertainHeir& h, const UncertainDivision& d, const UncertainFractions& f, int decimals)
{
    const std::size_t base = nowOutcome(h, d);
    const UncertainOutcome& o = d.outcomes[base];
    DivisionResult r;
    r.outcome = Outcome::Divided;
    r.rows = d.now;
    r.percentages = d.nowPercentages;
    r.preparation = d.preparation;
    if (d.reserve) {
        // Rounded with the amounts paid now, so that they add up to the estate divided.
        r.undistributed = d.reserve;
        r.undistributedPercent = d.reservePercent;
    } else {
        r.undistributed = o.result.undistributed;
        r.undistributedPercent = o.result.undistributedPercent;
    }
    // The heir of undetermined sex is divided among as one ordinary
    // division, whose shares the lines name; elsewhere the amounts paid now
    // are the least of several divisions, of no one share.
    static const Explanation kNone;
    const Explanation& e =
        h.kind == UncertainKind::UndeterminedSex && base < f.explanations.size() ? f.explanations[base] : kNone;
    ResultsTable t = buildResultsTable(o.estateCase, r, e, decimals);
    if (d.reserve) {
        t.reserve = t.undistributed;
        t.reservePercent = t.undistributedPercent;
        t.paidReserve = t.paidUndistributed;
        t.undistributed.reset();
        t.undistributedPercent.reset();
        t.paidUndistributed.reset();
        for (ResultLine& l : t.lines)
            if (l.nothing && l.reason.isEmpty())
                l.reason = QStringLiteral("لا يُعطى شيئاً الآن: لا يرث في بعض الأحوال");
    }
    t.problemLine = uncertainLine(h, d);
    return t;
}

// One outcome: each heir's amount in it and, where the reserve is settled
// by it, what each still receives; the uncertain head on a line of his own.
ReportSection outcomeSection(const UncertainHeir& h, const UncertainDivision& d, std::size_t index,
                             const EstateCase& known, int decimals)
{
    const UncertainOutcome& o = d.outcomes[index];
    const std::string_view name(o.name);
    const bool settles = h.kind != UncertainKind::UndeterminedSex;
    ReportSection s;
    s.title = outcomeTitle(name);
    s.table.header = {QStringLiteral("الوارث"), QStringLiteral("العدد"), QStringLiteral("نصيبه في هذه الحال")};
    if (settles)
        s.table.header << QStringLiteral("ما يُعطاه بعدُ");
    if (o.result.outcome != Outcome::Divided) {
        s.paragraphs << QStringLiteral("لا وارث في هذه الحال ممن يقسم بينهم هذا البرنامج");
        return s;
    }
    const QString head = uncertainHeadName(h, name);
    if (name == "stillborn")
        s.paragraphs << QStringLiteral("لا يرث الحمل إن وُلد ميتاً، فيُعطى كل وارث من الموقوف تمام نصيبه في هذه القسمة");
    else if (name == "boy")
        s.paragraphs << QStringLiteral("يأخذ المولود نصيبه كله من الموقوف، ويُعطى كل وارث تمام نصيبه في هذه القسمة");
    else if (name == "girl")
        s.paragraphs << QStringLiteral("تأخذ المولودة نصيبها كله من الموقوف، ويُعطى كل وارث تمام نصيبه في هذه القسمة");
    else if (name == "alive")
        s.paragraphs << (heirInfo(h.missing).gender == Gender::Female
                             ? QStringLiteral("تأخذ المفقودة نصيبها الموقوف، ويُعطى كل وارث تمام نصيبه في هذه القسمة")
                             : QStringLiteral("يأخذ المفقود نصيبه الموقوف، ويُعطى كل وارث تمام نصيبه في هذه القسمة"));
    else if (name == "dead")
        s.paragraphs << QStringLiteral("يُقسم الموقوف على الورثة بهذه القسمة، فيُعطى كل وارث تمام نصيبه فيها");
    else if (index == nowOutcome(h, d))
        s.paragraphs << (d.sameEitherWay ? QStringLiteral("نصيب الخنثى فيها مثل نصيبه في التقدير الآخر، وبها قُسمت التركة")
                                         : QStringLiteral("نصيب الخنثى فيها أقل، فبها قُسمت التركة"));
    else
        s.paragraphs << (d.sameEitherWay ? QStringLiteral("نصيب الخنثى فيها مثل نصيبه في التقدير الآخر")
                                         : QStringLiteral("نصيب الخنثى فيها أكثر، فلم تُقسم التركة بها"));
    const ReportCell none = word(QStringLiteral("—"));
    for (int i = 0; i < kHeirCount; ++i) {
        const RowText& row = o.result.rows[std::size_t(i)];
        if (row.isEmpty())
            continue;
        const Heir heir = heirAt(i);
        const std::int64_t all = HeadsOf(o.estateCase, heir).persons();
        const std::int64_t before = RelativePresent(known, heir) ? std::min(HeadsOf(known, heir).persons(), all) : 0;
        const bool nothing = row.kind != RowText::Kind::Amount || row.amount.isZero();
        auto line = [&](const QString& caption, std::int64_t heads, const std::optional<Currency>& rest) {
            ReportRow r{word(caption), countCell(HeadCount(heads))};
            r.push_back(nothing ? word(nothingFor(o.estateCase, heir, HeadCount(heads)))
                                : paidCell(row.amount, row.amount, decimals));
            if (settles)
                r.push_back(rest ? paidCell(*rest, *rest, decimals) : none);
            s.table.rows.push_back(std::move(r));
        };
        if (before > 0) {
            const QString caption =
                before > 1 ? fromUtf8(HeirName(heir, true)) : lineCaption(known, heir, HeadCount(before));
            std::optional<Currency> rest;
            if (!nothing && index < d.topUps.size())
                rest = d.topUps[index][std::size_t(i)];
            line(caption, before, rest);
        }
        if (all > before) {
            // The uncertain head joins this line: he received nothing yet.
            const QString caption = QStringLiteral("%1 (%2)").arg(head, text(heirInfo(heir).singular));
            line(caption, all - before, nothing ? std::nullopt : std::optional<Currency>(row.amount));
        }
    }
    if (o.result.undistributed) {
        ReportRow rest{word(QStringLiteral("الباقي دون توزيع")), word(QString()),
                       paidCell(*o.result.undistributed, *o.result.undistributed, decimals)};
        if (settles)
            rest.push_back(none);
        s.table.rows.push_back(std::move(rest));
        s.table.footerRows = 1;
    }
    return s;
}

// The reserve: how much, and how it is settled.
ReportSection reserveSection(const UncertainHeir& h, const ResultsTable& t, const QString& currency)
{
    ReportSection s;
    s.title = reserveCaption();
    s.paragraphs << QStringLiteral("يوقف من التركة %1 %2 (%3 من التركة المقسومة) حتى يتبين حال %4")
                        .arg(paidShown(t.paidReserve.value_or(Currency{}), t.decimals), currency,
                             percentShown(t.reservePercent.value_or(Currency{})),
                             h.kind == UncertainKind::Unborn ? QStringLiteral("الحمل") : QStringLiteral("المفقود"));
    if (h.kind == UncertainKind::Unborn)
        s.paragraphs << QStringLiteral("فإذا وُلد قُسم الموقوف بقسمة الحال التي وقعت من الأحوال الآتية: يأخذ المولود "
                                       "نصيبه كله إن وُلد حياً، ويُعطى كل وارث ما بقي له من نصيبه فيها");
    else
        s.paragraphs << QStringLiteral("فإن ظهر المفقود حياً أخذ نصيبه منه، وإن حكمت المحكمة بموته قُسم الموقوف "
                                       "على الورثة بالقسمة الثانية من القسمتين الآتيتين");
    return s;
}

// "بيان المسألة" of the uncertain heir: what was done and why, then each
// outcome's problem; its table holds the rows of every outcome's problem.
ReportSection uncertainProblemSection(const UncertainHeir& h, const UncertainDivision& d,
                                      const UncertainFractions& f, const ResultsTable& t)
{
    ReportSection s;
    s.title = QStringLiteral("بيان المسألة");
    const QString who = uncertainHeirText(h);
    const QString reserve = t.reserve ? paidShown(t.paidReserve.value_or(Currency{}), t.decimals) : QString();
    switch (h.kind) {
    case UncertainKind::Unborn:
        s.paragraphs << QStringLiteral("في المسألة %1، ولا يُعرف أيولد حياً أم لا، ولا أذكر هو أم أنثى؛ فقُسمت التركة "
                                       "ثلاث مرات: على أنه يولد ميتاً، وعلى أنه ذكر، وعلى أنه أنثى")
                            .arg(who);
        s.paragraphs << QStringLiteral("يُعطى كل وارث الآن أقل ما يناله في الأحوال الثلاث، ولا يُعطى شيئاً من لا يرث "
                                       "في إحداها، ويوقف الباقي (%1) حتى الولادة، ثم يُقسم بقسمة الحال التي وقعت")
                            .arg(reserve);
        break;
    case UncertainKind::Missing:
        s.paragraphs << QStringLiteral("في المسألة %1 لا تُعرف حياته من موته؛ فقُسمت التركة مرتين: على أنه حي، وعلى أنه "
                                       "مات قبل المتوفى")
                            .arg(who);
        s.paragraphs << QStringLiteral("يُعطى كل وارث الآن أقل نصيبيه في القسمتين، ويوقف الباقي (%1)، وفيه نصيب المفقود "
                                       "على تقدير حياته؛ فإن ظهر حياً أخذه، وإن حكمت المحكمة بموته قُسم الموقوف "
                                       "على الورثة بالقسمة الثانية")
                            .arg(reserve);
        break;
    case UncertainKind::UndeterminedSex:
        s.paragraphs << QStringLiteral("في المسألة %1 لم تتبين ذكورته من أنوثته؛ فقُسمت التركة مرتين: على تقديره ذكراً، "
                                       "وعلى تقديره أنثى")
                            .arg(who);
        s.paragraphs << (d.sameEitherWay
                             ? QStringLiteral("ونصيبه في التقديرين سواء، فقُسمت التركة على تقديره ذكراً، ولا يوقف شيء")
                             : QStringLiteral("ويأخذ الخنثى أقل النصيبين، وهو نصيبه على تقديره %1، ويأخذ الباقون "
                                              "أنصباءهم في تلك القسمة نفسها، ولا يوقف شيء")
                                   .arg(nowOutcome(h, d) == 1 ? QStringLiteral("أنثى") : QStringLiteral("ذكراً")));
        break;
    }
    bool exact = f.exact;
    for (std::size_t i = 0; i < d.outcomes.size(); ++i) {
        const UncertainOutcome& o = d.outcomes[i];
        const QString title = outcomeTitle(o.name);
        if (o.result.outcome != Outcome::Divided || i >= f.explanations.size()) {
            s.paragraphs << title + QStringLiteral(": لا وارث في هذه الحال ممن يقسم بينهم هذا البرنامج");
            continue;
        }
        const Explanation& e = f.explanations[i];
        if (!e.exact) {
            exact = false;
            continue;
        }
        s.paragraphs << title + QStringLiteral(": ") + grouped(ProblemSentences(e)).join(QStringLiteral(" "));
        const ReportSection one = problemSection(o.estateCase, o.result, e);
        if (s.table.header.isEmpty()) {
            s.table.header = QStringList{QStringLiteral("الحال")} + one.table.header;
            // Each outcome has its own problem, which its sentences name.
            s.table.header[5] = QStringLiteral("السهام من أصل المسألة");
            s.table.header[6] = QStringLiteral("سهام الفرد بعد التصحيح");
        }
        for (const ReportRow& row : one.table.rows) {
            ReportRow r{word(title)};
            r.insert(r.end(), row.begin(), row.end());
            s.table.rows.push_back(std::move(r));
        }
    }
    if (!exact)
        s.paragraphs << QStringLiteral("تعذر بيان بعض الأحوال بكسور دقيقة لكبر أعدادها؛ الأنصبة أعلاه صحيحة");
    s.tablePrinted = false;
    return s;
}

}  // namespace

QString uncertainHeirText(const UncertainHeir& h)
{
    switch (h.kind) {
    case UncertainKind::Unborn:
        return QStringLiteral("حمل (%1)").arg(lineName(kUnbornLines, h.line));
    case UncertainKind::Missing: {
        const HeirInfo& info = heirInfo(h.missing);
        const QString missing = info.gender == Gender::Female ? QStringLiteral("مفقودة") : QStringLiteral("مفقود");
        if (info.plural.empty())
            return QStringLiteral("%1 هو %2").arg(missing, text(info.singular));
        return QStringLiteral("%1 من %2").arg(missing, text(info.plural));
    }
    case UncertainKind::UndeterminedSex:
        return QStringLiteral("خنثى مشكل من %1").arg(lineName(kUndeterminedLines, h.line));
    }
    return QString();
}

QString reserveCaption() { return QStringLiteral("موقوف حتى يتبين الحال"); }

DivisionReport buildUncertainReport(const EstateCase& c, const UncertainHeir& h, const UncertainDivision& d,
                                    const UncertainFractions& f, QDate date, const CaseDetails& details, int decimals)
{
    // The report's frame and the case are those of an ordinary division.
    DivisionResult frame;
    frame.outcome = d.outcome == Outcome::Divided ? Outcome::NoHeirs : d.outcome;
    frame.preparation = d.preparation;
    DivisionReport report = buildDivisionReport(c, frame, Explanation{}, date, details, decimals);
    report.theCase.paragraphs << QStringLiteral("وارث لم يتبين حاله: ") + uncertainHeirText(h);
    if (d.outcome != Outcome::Divided || d.outcomes.empty())
        return report;
    const QString currency = currencyName(details);
    report.amounts = nowTable(h, d, f, decimals);
    const std::size_t base = nowOutcome(h, d);
    static const Explanation kNone;
    const Explanation& e =
        h.kind == UncertainKind::UndeterminedSex && base < f.explanations.size() ? f.explanations[base] : kNone;
    report.results = resultsSection(*report.amounts, e, currency);
    if (report.amounts->reserve)
        report.reserve = reserveSection(h, *report.amounts, currency);
    const EstateCase known = knownCase(c, h, d);
    for (std::size_t i = 0; i < d.outcomes.size(); ++i)
        report.outcomes.push_back(outcomeSection(h, d, i, known, report.amounts->decimals));
    report.problem = uncertainProblemSection(h, d, f, *report.amounts);
    return report;
}

namespace {

// Numbers, fractions and percentages stand in the middle of their cells;
// words read from the right.
bool numeric(const QString& text)
{
    if (text.isEmpty())
        return false;
    const QChar c = text.front();
    return c.isDigit() || c == QLatin1Char('%') || c == QLatin1Char('-') || text == QStringLiteral("—");
}

}  // namespace

namespace {

// The columns of a table that hold amounts to pay: the copy gives each two
// columns, the rounded amount and the engine's exact one.
std::vector<bool> paidColumns(const ReportTable& t)
{
    std::vector<bool> paid(std::size_t(t.header.size()), false);
    for (const ReportRow& row : t.rows)
        for (std::size_t i = 0; i < row.size() && i < paid.size(); ++i)
            if (!row[i].paid.isEmpty())
                paid[i] = true;
    return paid;
}

bool hasNotes(const ReportTable& t)
{
    for (const ReportRow& row : t.rows)
        for (const ReportCell& cell : row)
            if (!cell.note.isEmpty())
                return true;
    return false;
}

// The copy's header and cells: an amount to pay as the rounded and the exact
// number, the notes of a row in a last column.
QStringList copiedHeader(const ReportTable& t)
{
    const std::vector<bool> paid = paidColumns(t);
    QStringList out;
    for (qsizetype i = 0; i < t.header.size(); ++i) {
        if (paid[std::size_t(i)])
            out << t.header[i] << t.header[i] + QStringLiteral(" (دقيق)");
        else
            out << t.header[i];
    }
    if (hasNotes(t))
        out << QStringLiteral("ملاحظة");
    return out;
}

QStringList copiedRow(const ReportTable& t, const ReportRow& row)
{
    const std::vector<bool> paid = paidColumns(t);
    QStringList out, notes;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const ReportCell& cell = row[i];
        if (i < paid.size() && paid[i])
            out << (cell.paid.isEmpty() ? cell.exact : cell.paid) << (cell.paid.isEmpty() ? QString() : cell.exact);
        else
            out << cell.exact;
        if (!cell.note.isEmpty())
            notes << cell.note;
    }
    if (hasNotes(t))
        out << notes.join(QStringLiteral("؛ "));
    return out;
}

// One section: its title, paragraphs, table (printed, or as copied) and notes.
void appendSection(QString& html, const ReportSection* s, bool exact)
{
    html += QStringLiteral("<h2 dir=\"rtl\" style=\"margin: 8px 0 2px 0; font-size: 12pt\">%1</h2>").arg(escaped(s->title));
    for (const QString& p : s->paragraphs)
        html += QStringLiteral("<p dir=\"rtl\" style=\"margin: 0; line-height: 85%\">%1</p>").arg(escaped(p));
    if (!s->table.empty() && (exact || s->tablePrinted)) {
        // A table of two columns (a list of names or amounts) needs no full width.
        const QString width = s->table.header.size() <= 2 ? QStringLiteral("55%") : QStringLiteral("100%");
        // The copy is a right-to-left table in the order of its columns.
        // Printed, the columns are written from the left, the first one
        // last, in a table laid out left to right (layOut): the rich text
        // layout does not order the columns of every table right to left.
        html += QStringLiteral(
                    "<table dir=\"%2\" align=\"right\" border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"%1\" "
                    "style=\"border-collapse: collapse; border-color: #808080; margin-top: 4px\">")
                    .arg(width, exact ? QStringLiteral("rtl") : QStringLiteral("ltr"));
        // The header row repeats at the top of every page the table runs onto.
        html += QStringLiteral("<thead><tr>");
        QStringList header = exact ? copiedHeader(s->table) : s->table.header;
        if (!exact)
            std::reverse(header.begin(), header.end());
        for (const QString& h : header)
            html += QStringLiteral("<th bgcolor=\"#e8e0cc\" align=\"center\"><p dir=\"rtl\" align=\"center\" "
                                   "style=\"margin: 0; line-height: 85%\"><b>%1</b></p></th>")
                        .arg(escaped(h));
        html += QStringLiteral("</tr></thead>");
        const std::size_t firstFooter = s->table.rows.size() - std::size_t(s->table.footerRows);
        for (std::size_t i = 0; i < s->table.rows.size(); ++i) {
            const bool footer = i >= firstFooter;
            html += footer ? QStringLiteral("<tr bgcolor=\"#f3efe4\">") : QStringLiteral("<tr>");
            const ReportRow& row = s->table.rows[i];
            if (exact) {
                for (const QString& text : copiedRow(s->table, row))
                    html += QStringLiteral("<td align=\"%1\">%2</td>")
                                .arg(numeric(text) ? QStringLiteral("center") : QStringLiteral("right"),
                                     escaped(text));
            } else {
                for (auto c = row.rbegin(); c != row.rend(); ++c) {
                    const ReportCell& cell = *c;
                    QString body = footer ? QStringLiteral("<b>%1</b>").arg(escaped(cell.text)) : escaped(cell.text);
                    if (!cell.note.isEmpty())
                        body += QStringLiteral("<br/><span style=\"font-size: small\">%1</span>").arg(escaped(cell.note));
                    // Lines as close as the face allows, so that a family's report keeps to one page.
                    html += QStringLiteral("<td align=\"%1\"><p dir=\"rtl\" align=\"%1\" style=\"margin: 0; "
                                           "line-height: 85%\">%2</p></td>")
                                .arg(numeric(cell.text) ? QStringLiteral("center") : QStringLiteral("right"), body);
                }
            }
            html += QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
    }
    for (const QString& n : s->notes)
        html += QStringLiteral("<p dir=\"rtl\" style=\"margin: 0; font-size: 9pt; line-height: 85%\">%1</p>").arg(escaped(n));
}

}  // namespace

QString reportSectionHtml(const ReportSection& section)
{
    QString html;
    appendSection(html, &section, false);
    return html;
}

QString reportHtml(const DivisionReport& report, Amounts amounts)
{
    const bool exact = amounts == Amounts::Exact;
    QString html;
    html += QStringLiteral("<html dir=\"rtl\"><head><meta charset=\"utf-8\"><title>%1</title></head>"
                           "<body dir=\"rtl\">")
                .arg(escaped(report.title));
    html += QStringLiteral("<h1 align=\"center\" style=\"margin: 0 0 2px 0; font-size: 16pt\">%1</h1>")
                .arg(escaped(report.title));
    html += QStringLiteral("<p align=\"center\" style=\"margin: 0\">%1</p>").arg(escaped(report.law));
    html += QStringLiteral("<p align=\"center\" style=\"margin: 2px 0 6px 0\">التاريخ: %1 الموافق %2</p>")
                .arg(escaped(report.gregorianDate), escaped(report.hijriDate));
    for (const ReportSection* s : report.sections())
        appendSection(html, s, exact);
    // The lines to sign, each one right-to-left paragraph.
    for (const QString& who : report.signatures)
        html += QStringLiteral("<p dir=\"rtl\" style=\"margin: 10px 0 0 0\"><b>%1:</b>&nbsp;&nbsp; الاسم: %2"
                               "&nbsp;&nbsp;&nbsp; التوقيع: %2&nbsp;&nbsp;&nbsp; التاريخ: %2</p>")
                    .arg(escaped(who), QStringLiteral("........................"));
    html += QStringLiteral("<hr/><p dir=\"rtl\" align=\"center\" style=\"margin: 2px 0; font-size: small\">%1</p>")
                .arg(escaped(report.closing));
    html += QStringLiteral("</body></html>");
    return html;
}

QString sectionsHtml(const std::vector<ReportSection>& sections)
{
    QString html = QStringLiteral("<html dir=\"rtl\"><body dir=\"rtl\">");
    for (const ReportSection& s : sections)
        appendSection(html, &s, false);
    html += QStringLiteral("</body></html>");
    return html;
}

QString reportPlainText(const DivisionReport& report)
{
    QString text;
    auto line = [&text](const QString& l) { text += l + QLatin1Char('\n'); };
    line(report.title);
    line(report.law);
    line(QStringLiteral("التاريخ: %1 الموافق %2").arg(report.gregorianDate, report.hijriDate));
    for (const ReportSection* s : report.sections()) {
        line(QString());
        line(s->title);
        for (const QString& p : s->paragraphs)
            line(p);
        if (!s->table.empty()) {
            line(copiedHeader(s->table).join(QLatin1Char('\t')));
            for (const ReportRow& row : s->table.rows)
                line(copiedRow(s->table, row).join(QLatin1Char('\t')));
        }
        for (const QString& n : s->notes)
            line(n);
    }
    line(QString());
    for (const QString& who : report.signatures)
        line(QStringLiteral("%1: الاسم:\tالتوقيع:\tالتاريخ:").arg(who));
    line(report.closing);
    return text;
}

QMimeData* reportMimeData(const DivisionReport& report)
{
    auto* data = new QMimeData;
    data->setText(reportPlainText(report));
    data->setHtml(reportHtml(report, Amounts::Exact));
    return data;
}

namespace {

// The report laid out on the pages of a device: its body, and the line
// under it that carries each page's number.
struct ReportPages {
    QTextDocument document;
    QFont font;
    // The face of the page numbers in the layout device's pixels, so that a
    // painter scaled to another device draws them at their size.
    QFont numberFont;
    QSizeF page;
    QSizeF body;
    qreal footer = 0;
    int count = 0;
};

// The PDF's page: A4 at 300 dots an inch, margins of 15 mm.
void setReportPage(QPdfWriter& writer)
{
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setResolution(300);
}

void layOut(const DivisionReport& report, QPagedPaintDevice& device, ReportPages& pages)
{
    QTextDocument& document = pages.document;
    document.documentLayout()->setPaintDevice(&device);
    pages.font = reportFont();
    document.setDefaultFont(pages.font);
    QTextOption option = document.defaultTextOption();
    option.setTextDirection(Qt::RightToLeft);
    document.setDefaultTextOption(option);
    document.setHtml(reportHtml(report, Amounts::Grouped));
    pages.numberFont = pages.font;
    pages.numberFont.setPixelSize(qRound(pages.font.pointSizeF() * device.logicalDpiY() / 72.0));
    // The body of a page, above the line that carries its number.
    const QFontMetricsF metrics(pages.font, &device);
    pages.footer = metrics.height() * 2;
    pages.page = QSizeF(device.width(), device.height());
    pages.body = QSizeF(pages.page.width(), pages.page.height() - pages.footer);
    document.setPageSize(pages.body);
    document.setDocumentMargin(0);
    pages.count = document.pageCount();
}

QString pageNumberText(int page, int count) { return QStringLiteral("صفحة %1 من %2").arg(page).arg(count); }

// Draws page `p` with its number, the painter's origin at the top left of
// the page's printable area, in the units of the device it was laid out on.
void paintPage(const ReportPages& pages, QPainter& painter, int p)
{
    painter.save();
    painter.setFont(pages.numberFont);
    const QRectF view(0, p * pages.body.height(), pages.body.width(), pages.body.height());
    painter.save();
    painter.translate(0, -view.top());
    painter.setClipRect(view, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = view;
    pages.document.documentLayout()->draw(&painter, context);
    painter.restore();
    const QRectF foot(0, pages.page.height() - pages.footer, pages.page.width(), pages.footer);
    painter.drawText(foot, Qt::AlignCenter, pageNumberText(p + 1, pages.count));
    painter.restore();
}

// What every glyph drawn on the pages stands for: the document's own
// layouts, and each page's number laid out as the painter lays it out.
GlyphTexts glyphTextsOf(const ReportPages& pages, QPaintDevice& device)
{
    GlyphTexts texts;
    for (QTextBlock block = pages.document.begin(); block.isValid(); block = block.next())
        if (const QTextLayout* layout = block.layout())
            texts.learn(*layout, block.text());
    for (int p = 0; p < pages.count; ++p) {
        const QString text = pageNumberText(p + 1, pages.count);
        QTextLayout number(text, pages.numberFont, &device);
        number.beginLayout();
        number.createLine();
        number.endLayout();
        texts.learn(number, text);
    }
    return texts;
}

}  // namespace

// The layout device is a PDF writer of the PDF's page that never draws.
struct ReportRendering::Layout {
    QByteArray nothing;
    QBuffer buffer{&nothing};
    QPdfWriter writer{&buffer};
    ReportPages pages;
    QMarginsF margins;  // of the page, in the writer's dots

    explicit Layout(const DivisionReport& report)
    {
        setReportPage(writer);
        const QPageLayout page = writer.pageLayout();
        const QRectF full = page.fullRectPixels(writer.resolution());
        const QRectF paint = page.paintRectPixels(writer.resolution());
        margins = QMarginsF(paint.left() - full.left(), paint.top() - full.top(), full.right() - paint.right(),
                            full.bottom() - paint.bottom());
        layOut(report, writer, pages);
    }
};

ReportRendering::ReportRendering(const DivisionReport& report) : layout_(std::make_unique<Layout>(report)) {}

ReportRendering::~ReportRendering() = default;

int ReportRendering::pageCount() const noexcept { return layout_->pages.count; }

QImage ReportRendering::pageImage(int page, qreal dotsPerInch) const
{
    const Layout& l = *layout_;
    const qreal scale = dotsPerInch / qreal(l.writer.resolution());
    const QSizeF sheet(l.pages.page.width() + l.margins.left() + l.margins.right(),
                       l.pages.page.height() + l.margins.top() + l.margins.bottom());
    QImage image((sheet * scale).toSize(), QImage::Format_RGB32);
    // Sized in the writer's dots, drawn scaled.
    image.setDotsPerMeterX(qRound(l.writer.resolution() / 0.0254));
    image.setDotsPerMeterY(qRound(l.writer.resolution() / 0.0254));
    image.fill(Qt::white);
    if (page < 0 || page >= l.pages.count)
        return image;
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
    painter.translate(l.margins.left(), l.margins.top());
    paintPage(l.pages, painter, page);
    return image;
}

int ReportRendering::print(QPagedPaintDevice& device) const
{
    const Layout& l = *layout_;
    // The pages as laid out for the PDF, scaled to the device's printable area.
    const qreal scale = std::min(qreal(device.width()) / l.pages.page.width(),
                                 qreal(device.height()) / l.pages.page.height());
    QPainter painter(&device);
    for (int p = 0; p < l.pages.count; ++p) {
        if (p > 0)
            device.newPage();
        painter.save();
        painter.scale(scale, scale);
        paintPage(l.pages, painter, p);
        painter.restore();
    }
    painter.end();
    return l.pages.count;
}

int paintReport(const DivisionReport& report, QPagedPaintDevice& device)
{
    return ReportRendering(report).print(device);
}

QByteArray reportPdfAsDrawn(const DivisionReport& report, GlyphTexts* texts)
{
    const ReportRendering rendering(report);
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        setReportPage(writer);
        writer.setTitle(report.title);
        writer.setCreator(report.programName);
        rendering.print(writer);
        if (texts)
            *texts = glyphTextsOf(rendering.layout_->pages, rendering.layout_->writer);
    }
    return pdf;
}

QByteArray reportPdf(const DivisionReport& report)
{
    GlyphTexts texts;
    const QByteArray drawn = reportPdfAsDrawn(report, &texts);
    // Text copied or searched in the PDF is the text that was typeset.
    return withGlyphTexts(drawn, texts);
}

bool writeReportPdf(const DivisionReport& report, const QString& path, QString* error, QString* englishError)
{
    // Made whole in memory, then written whole or not at all.
    const QByteArray pdf = reportPdf(report);
    FileWriteError written;
    if (writeWholeFile(QFile::encodeName(path).toStdString(), std::string_view(pdf.constData(), std::size_t(pdf.size())),
                       written))
        return true;
    if (error)
        *error = QStringLiteral("تعذر حفظ التقرير في الملف %1: %2").arg(path, fromUtf8(fileWriteErrorArabic(written)));
    if (englishError)
        *englishError = QStringLiteral("cannot write the report to %1: %2").arg(path, fromUtf8(written.message));
    return false;
}

}  // namespace qismar::results
