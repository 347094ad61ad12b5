// The module that completes the text map of a PDF report: reads the PDF
// with qpdf, gives every glyph of its embedded fonts the text it stood for
// (see results/pdf_glyph_text.h) and writes it again. A module beside the
// program, loaded when a report is first saved, so that starting the program
// does not load qpdf and the libraries it needs.
#include <QByteArray>
#include <QHash>
#include <QLineF>
#include <QPainterPath>
#include <QPolygonF>
#include <QRawFont>
#include <QRectF>
#include <QtDebug>
#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>
#include <set>
#include <string>

#include "results/pdf_glyph_text.h"

using namespace qismar::results;

namespace {

// The text seen most often (the first in order among as many), or a null
// string when none was seen; a glyph that stood for nothing gives "".
QString mostFrequent(const GlyphTexts::Votes& votes)
{
    QString best;
    int most = 0;
    for (auto it = votes.cbegin(); it != votes.cend(); ++it)
        if (it.value() > most || (it.value() == most && it.key() < best)) {
            best = it.key();
            most = it.value();
        }
    return most == 0 ? QString() : best.isNull() ? QString(QLatin1String("")) : best;
}

// ---------------------------------------------------------------- glyphs of the embedded faces

// The embedded faces are rebuilt by the PDF writer (only the glyphs drawn,
// numbered afresh, outlines re-encoded on a grid of 2048 units per em): a
// glyph is found again among the drawn glyphs of like advance and extent by
// points spread evenly along its outline, at this size in pixels per em,
// where the re-encoding moves them by less than the tolerance.
constexpr qreal kPixels = 250;
constexpr qreal kTolerance = 1.5;
constexpr int kPoints = 64;

struct Outline {
    std::vector<QPointF> points;
    qreal advance = 0;
};

// Points spread evenly along an outline, by length: the embedded face draws
// each curve alike but may split it at other points, by other control
// points, so those are not compared.
std::vector<QPointF> pointsAlong(const QPainterPath& path)
{
    const QList<QPolygonF> contours = path.toSubpathPolygons();
    qreal total = 0;
    for (const QPolygonF& contour : contours)
        for (qsizetype i = 1; i < contour.size(); ++i)
            total += QLineF(contour[i - 1], contour[i]).length();
    std::vector<QPointF> points;
    if (total <= 0)
        return points;
    points.reserve(kPoints);
    const qreal step = total / kPoints;
    qreal walked = 0;       // up to the start of the current line
    qreal next = step / 2;  // where the next point lies
    for (const QPolygonF& contour : contours)
        for (qsizetype i = 1; i < contour.size(); ++i) {
            const QLineF line(contour[i - 1], contour[i]);
            const qreal length = line.length();
            while (next <= walked + length && int(points.size()) < kPoints) {
                points.push_back(line.pointAt(length > 0 ? (next - walked) / length : 0));
                next += step;
            }
            walked += length;
        }
    return points;
}

Outline outlineOf(const QRawFont& raw, quint32 glyph)
{
    Outline o;
    o.points = pointsAlong(raw.pathForGlyph(glyph));
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(QList<quint32>{glyph});
    o.advance = advances.isEmpty() ? 0 : advances.front().x();
    return o;
}

// How far apart two outlines are (the mean distance of their points), or
// nothing when they are not drawn alike: advances apart, or more than a few
// points apart (where a contour turns sharply, the even spacing of the
// points can fall on either side of the turn).
std::optional<qreal> distance(const Outline& a, const Outline& b)
{
    if (a.points.size() != b.points.size() || std::abs(a.advance - b.advance) > kTolerance)
        return std::nullopt;
    qreal sum = 0;
    std::size_t apart = 0;
    for (std::size_t i = 0; i < a.points.size(); ++i) {
        const qreal d = std::max(std::abs(a.points[i].x() - b.points[i].x()), std::abs(a.points[i].y() - b.points[i].y()));
        sum += d;
        if (d > kTolerance && ++apart > a.points.size() / 16)
            return std::nullopt;
    }
    return a.points.empty() ? 0 : sum / qreal(a.points.size());
}

int glyphCount(const QRawFont& raw)
{
    const QByteArray maxp = raw.fontTable("maxp");
    if (maxp.size() < 6)
        return 0;
    return (int(quint8(maxp[4])) << 8) | int(quint8(maxp[5]));
}

// For each glyph number of the embedded face, the glyph of the drawn face
// that it is (only the glyphs that were drawn are looked for).
std::map<quint32, quint32> drawnGlyphs(const QRawFont& embedded, const GlyphTexts::Font& font)
{
    QRawFont drawnFace = font.raw;
    drawnFace.setPixelSize(kPixels);
    struct Candidate {
        quint32 glyph;
        qreal advance;
        QRectF box;
        std::optional<Outline> outline;  // made when needed
    };
    std::vector<Candidate> candidates;
    {
        QList<quint32> drawn;
        for (const auto& entry : font.own)
            drawn.push_back(entry.first);
        const QList<QPointF> advances = drawnFace.advancesForGlyphIndexes(drawn);
        for (qsizetype k = 0; k < drawn.size() && k < advances.size(); ++k)
            candidates.push_back({drawn[k], advances[k].x(), drawnFace.boundingRect(drawn[k]), std::nullopt});
    }
    const auto near = [](const QRectF& a, const QRectF& b) {
        return std::abs(a.left() - b.left()) <= kTolerance && std::abs(a.right() - b.right()) <= kTolerance &&
               std::abs(a.top() - b.top()) <= kTolerance && std::abs(a.bottom() - b.bottom()) <= kTolerance;
    };

    std::map<quint32, quint32> found;
    QList<quint32> numbers;
    for (int number = 1; number < glyphCount(embedded); ++number)
        numbers.push_back(quint32(number));
    const QList<QPointF> advances = embedded.advancesForGlyphIndexes(numbers);
    for (qsizetype n = 0; n < numbers.size() && n < advances.size(); ++n) {
        // The drawn glyphs of like advance and extent; the outlines tell
        // whether the glyph is one of them (and not a glyph that was not
        // looked for, as a digit) and which (letters that differ by a dot
        // within them).
        const QRectF box = embedded.boundingRect(numbers[n]);
        std::vector<Candidate*> alike;
        for (Candidate& c : candidates)
            if (std::abs(c.advance - advances[n].x()) <= kTolerance && near(c.box, box))
                alike.push_back(&c);
        if (alike.empty())
            continue;
        const Outline outline = outlineOf(embedded, numbers[n]);
        qreal nearest = 0;
        int nearestCount = 0;
        quint32 glyph = 0;
        for (Candidate* c : alike) {
            if (!c->outline) {
                // The outlines of a face do not change: they are made once.
                thread_local QHash<QString, std::map<quint32, Outline>> made;
                auto& face = made[drawnFace.familyName() + QLatin1Char('\n') + drawnFace.styleName()];
                auto outline = face.find(c->glyph);
                if (outline == face.end())
                    outline = face.emplace(c->glyph, outlineOf(drawnFace, c->glyph)).first;
                c->outline = outline->second;
            }
            const std::optional<qreal> d = distance(outline, *c->outline);
            if (!d)
                continue;
            if (nearestCount == 0 || *d < nearest) {
                nearest = *d;
                nearestCount = 1;
                glyph = c->glyph;
            } else if (*d == nearest) {
                ++nearestCount;
            }
        }
        // Two as near leave the glyph unknown.
        if (nearestCount == 1)
            found[numbers[n]] = glyph;
    }
    return found;
}

// ---------------------------------------------------------------- what each glyph is given

struct Decision {
    QString text;                 // null: keep what the map gave it; "": no text
    std::optional<double> width;  // a new width (in the font's widths), or keep
};

// Decides the text of each drawn glyph, and the widths of the glyphs of
// units drawn by several glyphs. `widthOf` gives a glyph's width as the
// embedded font gives it.
//
// A unit of several glyphs is carried by one of them: one that takes part
// only in units of that one text (the one that takes no room, if there is
// such), never as one of the others, and never draws text alone; the others
// of the unit carry nothing, and take part in no unit that cannot be
// carried. A unit that cannot be carried so keeps each glyph's own
// characters, as do all units that share a glyph with it.
std::map<quint32, Decision> decide(const GlyphTexts::Font& font,
                                   const std::function<std::optional<double>(quint32)>& widthOf)
{
    // The texts of the units a glyph takes part in, the forms of one
    // ligature (isolated, final) taken as one.
    std::map<quint32, std::set<QString>> textsOf;
    for (const auto& [glyphs, votes] : font.together)
        for (quint32 g : glyphs)
            textsOf[g].insert(mostFrequent(votes).normalized(QString::NormalizationForm_KC));
    struct Unit {
        const std::vector<quint32>* glyphs;
        const GlyphTexts::Votes* votes;
        std::optional<quint32> carrier;
    };
    std::vector<Unit> units;
    for (const auto& [glyphs, votes] : font.together) {
        Unit u{&glyphs, &votes, std::nullopt};
        for (quint32 g : glyphs)
            if (!font.alone.count(g) && textsOf[g].size() == 1 && (!u.carrier || widthOf(g).value_or(1) == 0))
                u.carrier = g;
        units.push_back(u);
    }
    // Units that cannot be carried pass their glyphs on to every unit they
    // share, until none changes.
    for (bool changed = true; changed;) {
        changed = false;
        std::set<quint32> blocked;  // glyphs that must keep their own characters
        std::map<quint32, std::set<bool>> roles;
        for (const Unit& u : units) {
            for (quint32 g : *u.glyphs) {
                if (!u.carrier)
                    blocked.insert(g);
                else
                    roles[g].insert(g == *u.carrier);
            }
        }
        for (Unit& u : units) {
            if (!u.carrier)
                continue;
            const bool sound = std::none_of(u.glyphs->begin(), u.glyphs->end(), [&](quint32 g) {
                return blocked.count(g) || roles[g].size() != 1 || (g != *u.carrier && font.alone.count(g));
            });
            if (!sound) {
                u.carrier.reset();
                changed = true;
            }
        }
    }

    std::map<quint32, Decision> decisions;
    for (const auto& [glyph, votes] : font.own)
        decisions[glyph].text = mostFrequent(votes);
    for (const auto& [glyph, votes] : font.alone)
        decisions[glyph].text = mostFrequent(votes);
    // A carrier is given the form of its ligature seen most often, and the
    // width of its widest unit.
    std::map<quint32, std::pair<GlyphTexts::Votes, double>> carried;
    for (const Unit& u : units) {
        if (!u.carrier)
            continue;
        auto& [votes, width] = carried[*u.carrier];
        double unitWidth = 0;
        for (quint32 g : *u.glyphs) {
            unitWidth += widthOf(g).value_or(0);
            if (g != *u.carrier)
                decisions[g] = {QLatin1String(""), 0.0};
        }
        width = std::max(width, unitWidth);
        for (auto it = u.votes->cbegin(); it != u.votes->cend(); ++it)
            votes[it.key()] += it.value();
    }
    for (const auto& [glyph, carrying] : carried)
        decisions[glyph] = {mostFrequent(carrying.first), carrying.second};
    return decisions;
}

// ---------------------------------------------------------------- ToUnicode maps and widths

using GlyphMap = std::map<quint32, std::u16string>;

std::u16string fromHex(const std::string& hex)
{
    std::u16string units;
    for (std::size_t i = 0; i + 4 <= hex.size(); i += 4)
        units.push_back(char16_t(std::stoul(hex.substr(i, 4), nullptr, 16)));
    return units;
}

// The entries of a ToUnicode map as the PDF writer writes them: ranges
// (bfrange, with one first text or a list) and single glyphs (bfchar).
GlyphMap readToUnicode(const std::string& cmap)
{
    GlyphMap map;
    enum class Section { None, Range, Single } section = Section::None;
    struct Token {
        bool list = false;
        std::vector<std::string> hex;
    };
    std::vector<Token> pending;
    std::size_t i = 0;
    const auto word = [&](std::string_view w) { return cmap.compare(i, w.size(), w) == 0; };
    while (i < cmap.size()) {
        if (word("beginbfrange")) {
            section = Section::Range;
            pending.clear();
            i += 12;
        } else if (word("beginbfchar")) {
            section = Section::Single;
            pending.clear();
            i += 11;
        } else if (word("endbfrange") || word("endbfchar")) {
            section = Section::None;
            i += 9;
        } else if (section != Section::None && (cmap[i] == '<' || cmap[i] == '[')) {
            Token t;
            const std::size_t end = cmap.find(cmap[i] == '[' ? ']' : '>', i);
            if (end == std::string::npos)
                break;
            t.list = cmap[i] == '[';
            for (std::size_t k = i; k < end; ++k)
                if (cmap[k] == '<') {
                    const std::size_t close = std::min(cmap.find('>', k), end);
                    t.hex.push_back(cmap.substr(k + 1, close - k - 1));
                    k = close;
                }
            i = end + 1;
            if (t.hex.empty())
                continue;
            pending.push_back(std::move(t));
            if (section == Section::Single && pending.size() == 2) {
                map[quint32(std::stoul(pending[0].hex.front(), nullptr, 16))] = fromHex(pending[1].hex.front());
                pending.clear();
            } else if (section == Section::Range && pending.size() == 3) {
                const quint32 first = quint32(std::stoul(pending[0].hex.front(), nullptr, 16));
                const quint32 last = quint32(std::stoul(pending[1].hex.front(), nullptr, 16));
                for (quint32 g = first; g <= last && g - first < 0x10000; ++g) {
                    const std::size_t k = g - first;
                    if (pending[2].list) {
                        if (k < pending[2].hex.size())
                            map[g] = fromHex(pending[2].hex[k]);
                    } else {
                        std::u16string text = fromHex(pending[2].hex.front());
                        if (!text.empty())
                            text.back() = char16_t(text.back() + k);
                        map[g] = text;
                    }
                }
                pending.clear();
            }
        } else {
            ++i;
        }
    }
    return map;
}

void appendHex(std::string& out, unsigned value)
{
    static const char digits[] = "0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += digits[(value >> shift) & 0xF];
}

std::string writeToUnicode(const GlyphMap& map)
{
    std::string out =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    std::vector<std::pair<quint32, const std::u16string*>> entries;
    for (const auto& [glyph, text] : map)
        if (!text.empty() && glyph <= 0xFFFF)
            entries.emplace_back(glyph, &text);
    // Single entries go in blocks of at most 100.
    for (std::size_t first = 0; first < entries.size(); first += 100) {
        const std::size_t last = std::min(entries.size(), first + 100);
        out += std::to_string(last - first) + " beginbfchar\n";
        for (std::size_t k = first; k < last; ++k) {
            out += '<';
            appendHex(out, entries[k].first);
            out += "> <";
            for (char16_t unit : *entries[k].second)
                appendHex(out, unit);
            out += ">\n";
        }
        out += "endbfchar\n";
    }
    out += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return out;
}

// The widths of a CID font's /W array, by glyph number.
std::map<int, double> readWidths(QPDFObjectHandle w)
{
    std::map<int, double> widths;
    if (!w.isArray())
        return widths;
    const int n = w.getArrayNItems();
    for (int i = 0; i < n;) {
        QPDFObjectHandle first = w.getArrayItem(i);
        if (!first.isInteger() || i + 1 >= n)
            break;
        QPDFObjectHandle next = w.getArrayItem(i + 1);
        if (next.isArray()) {
            for (int k = 0; k < next.getArrayNItems(); ++k)
                if (next.getArrayItem(k).isNumber())
                    widths[first.getIntValueAsInt() + k] = next.getArrayItem(k).getNumericValue();
            i += 2;
        } else if (i + 2 < n && next.isInteger() && w.getArrayItem(i + 2).isNumber()) {
            for (int c = first.getIntValueAsInt(); c <= next.getIntValueAsInt(); ++c)
                widths[c] = w.getArrayItem(i + 2).getNumericValue();
            i += 3;
        } else {
            break;
        }
    }
    return widths;
}

QPDFObjectHandle writeWidths(const std::map<int, double>& widths)
{
    QPDFObjectHandle w = QPDFObjectHandle::newArray();
    QPDFObjectHandle run;
    int expected = -1;
    for (const auto& [cid, width] : widths) {
        if (cid != expected) {
            if (run.isInitialized())
                w.appendItem(run);
            w.appendItem(QPDFObjectHandle::newInteger(cid));
            run = QPDFObjectHandle::newArray();
        }
        run.appendItem(width == std::floor(width) ? QPDFObjectHandle::newInteger(static_cast<long long>(width))
                                                  : QPDFObjectHandle::newReal(width, 3));
        expected = cid + 1;
    }
    if (run.isInitialized())
        w.appendItem(run);
    return w;
}

// Gives the glyphs of one embedded face their texts. Returns whether
// anything changed.
bool mapFont(QPDF& pdf, QPDFObjectHandle type0, const GlyphTexts& texts)
{
    QPDFObjectHandle descendants = type0.getKey("/DescendantFonts");
    if (!descendants.isArray() || descendants.getArrayNItems() != 1)
        return false;
    QPDFObjectHandle cidFont = descendants.getArrayItem(0);
    // Glyphs are drawn by their number in the embedded face.
    if (!cidFont.getKey("/Subtype").isNameAndEquals("/CIDFontType2") ||
        !cidFont.getKey("/CIDToGIDMap").isNameAndEquals("/Identity"))
        return false;
    QPDFObjectHandle fontFile = cidFont.getKey("/FontDescriptor").getKey("/FontFile2");
    if (!fontFile.isStream())
        return false;
    const std::shared_ptr<Buffer> data = fontFile.getStreamData(qpdf_dl_generalized);
    const QRawFont embedded(QByteArray(reinterpret_cast<const char*>(data->getBuffer()), qsizetype(data->getSize())),
                            kPixels, QFont::PreferNoHinting);
    if (!embedded.isValid())
        return false;
    const GlyphTexts::Font* known = texts.font(embedded.familyName(), embedded.styleName());
    if (known == nullptr)
        return false;

    const std::map<quint32, quint32> glyphOf = drawnGlyphs(embedded, *known);
    std::map<quint32, quint32> numberOf;
    for (const auto& [number, glyph] : glyphOf)
        numberOf.emplace(glyph, number);
    std::map<int, double> widths = readWidths(cidFont.getKey("/W"));
    const auto widthOf = [&](quint32 glyph) -> std::optional<double> {
        const auto number = numberOf.find(glyph);
        if (number == numberOf.end())
            return std::nullopt;
        const auto w = widths.find(int(number->second));
        return w == widths.end() ? std::nullopt : std::optional<double>(w->second);
    };
    const std::map<quint32, Decision> decisions = decide(*known, widthOf);

    QPDFObjectHandle toUnicode = type0.getKey("/ToUnicode");
    GlyphMap map;
    if (toUnicode.isStream()) {
        const std::shared_ptr<Buffer> cmap = toUnicode.getStreamData(qpdf_dl_generalized);
        map = readToUnicode(std::string(reinterpret_cast<const char*>(cmap->getBuffer()), cmap->getSize()));
    }
    const GlyphMap mapBefore = map;
    const std::map<int, double> widthsBefore = widths;
    for (const auto& [number, glyph] : glyphOf) {
        const auto d = decisions.find(glyph);
        if (d == decisions.end())
            continue;
        if (!d->second.text.isNull())
            map[number] = d->second.text.toStdU16String();
        if (d->second.width)
            widths[int(number)] = *d->second.width;
    }
    if (map == mapBefore && widths == widthsBefore)
        return false;
    if (map != mapBefore) {
        const std::string written = writeToUnicode(map);
        if (toUnicode.isStream())
            toUnicode.replaceStreamData(written, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
        else
            type0.replaceKey("/ToUnicode", pdf.newStream(written));
    }
    if (widths != widthsBefore)
        cidFont.replaceKey("/W", writeWidths(widths));
    return true;
}


QByteArray completed(const QByteArray& pdf, const GlyphTexts& texts)
{
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        document.processMemoryFile("report", pdf.constData(), std::size_t(pdf.size()));
        bool changed = false;
        for (QPDFObjectHandle& object : document.getAllObjects())
            if (object.isDictionary() && object.getKey("/Type").isNameAndEquals("/Font") &&
                object.getKey("/Subtype").isNameAndEquals("/Type0"))
                changed |= mapFont(document, object, texts);
        if (!changed)
            return pdf;
        QPDFWriter writer(document);
        writer.setOutputMemory();
        // The streams as the PDF writer compressed them; the new maps compressed too.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setCompressStreams(true);
        writer.write();
        const std::shared_ptr<Buffer> out = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char*>(out->getBuffer()), qsizetype(out->getSize()));
    } catch (const std::exception& e) {
        qWarning("The text of the report's glyphs could not be completed: %s", e.what());
        return pdf;
    }
}

}  // namespace

extern "C" Q_DECL_EXPORT void qismar_complete_pdf_text(QByteArray* pdf, const GlyphTexts* texts)
{
    *pdf = completed(*pdf, *texts);
}
