#include "results/pdf_glyph_text.h"

#include <QGlyphRun>
#include <QHash>
#include <QTextLayout>
#include <QtDebug>
#include <algorithm>
#include <vector>

#include "ui/program_module.h"
#include "ui/ui_common.h"

namespace qismar::results {

namespace {

// One glyph as drawn: the same glyph at the same place in a line is one
// glyph, whichever of its characters it was asked for.
struct Drawn {
    QString font;
    quint32 glyph;
    qint64 x, y;  // in 1/64 of a unit of the layout
    bool operator==(const Drawn&) const = default;
};

size_t qHash(const Drawn& d, size_t seed = 0) { return qHashMulti(seed, d.font, d.glyph, d.x, d.y); }

// A union of sets of characters, for the clusters of a line.
int root(std::vector<int>& parent, int i)
{
    while (parent[std::size_t(i)] != i)
        i = parent[std::size_t(i)] = parent[std::size_t(parent[std::size_t(i)])];
    return i;
}

bool isMark(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

// Whether the character before `at` (marks passed over) joins the one at `at`,
// and whether the one at `last` joins the character after it.
bool joinsBefore(const QString& text, int at)
{
    for (int i = at - 1; i >= 0; --i) {
        const QChar::JoiningType j = text.at(i).joiningType();
        if (j == QChar::Joining_Transparent)
            continue;
        return j == QChar::Joining_Dual || j == QChar::Joining_Causing;
    }
    return false;
}

bool joinsAfter(const QString& text, int last)
{
    const QChar::JoiningType self = text.at(last).joiningType();
    if (self != QChar::Joining_Dual && self != QChar::Joining_Causing)
        return false;
    for (int i = last + 1; i < text.size(); ++i) {
        const QChar::JoiningType j = text.at(i).joiningType();
        if (j == QChar::Joining_Transparent)
            continue;
        return j == QChar::Joining_Dual || j == QChar::Joining_Right || j == QChar::Joining_Causing;
    }
    return false;
}

// The Unicode presentation form of several characters joined as one (the
// lam-alef ligatures, "ﻷ" for "لأ"), in the form their neighbours give them,
// or the characters themselves when Unicode has none.
QString presentationForm(const QString& characters, QChar::Decomposition form)
{
    if (characters.size() < 2)
        return characters;
    static const QHash<QString, std::vector<std::pair<QChar::Decomposition, char32_t>>> forms = [] {
        QHash<QString, std::vector<std::pair<QChar::Decomposition, char32_t>>> all;
        for (const auto& [first, last] : {std::pair<char32_t, char32_t>{0xFB50, 0xFDFF}, {0xFE70, 0xFEFF}})
            for (char32_t u = first; u <= last; ++u) {
                const QChar::Decomposition tag = QChar::decompositionTag(u);
                if (tag == QChar::Initial || tag == QChar::Medial || tag == QChar::Final || tag == QChar::Isolated)
                    all[QChar::decomposition(u)].emplace_back(tag, u);
            }
        return all;
    }();
    const auto found = forms.constFind(characters);
    if (found == forms.cend())
        return characters;
    for (const QChar::Decomposition wanted : {form, QChar::Isolated})
        for (const auto& [tag, u] : *found)
            if (tag == wanted)
                return QString::fromUcs4(&u, 1);
    return QString::fromUcs4(&found->front().second, 1);
}

}  // namespace

void GlyphTexts::learn(const QTextLayout& layout, const QString& text)
{
    QHash<QPair<QString, quint32>, bool> takesRoom;
    const auto hasAdvance = [&](const Drawn& d) {
        const auto glyph = qMakePair(d.font, d.glyph);
        auto found = takesRoom.constFind(glyph);
        if (found == takesRoom.cend()) {
            const QList<QPointF> advances = fonts_[d.font].raw.advancesForGlyphIndexes(QList<quint32>{d.glyph});
            found = takesRoom.insert(glyph, !advances.isEmpty() && advances.front().x() != 0);
        }
        return *found;
    };

    for (int l = 0; l < layout.lineCount(); ++l) {
        const QTextLine line = layout.lineAt(l);
        // A line may count a separator after the text of its block.
        const int start = line.textStart();
        const int length = std::min(line.textLength(), int(text.size()) - start);
        if (length <= 0)
            continue;
        // The glyphs drawn for each character; characters that share a
        // glyph make one cluster (a ligature and its characters).
        std::vector<std::vector<Drawn>> glyphsOf(static_cast<std::size_t>(length));
        std::vector<int> parent(static_cast<std::size_t>(length));
        for (int i = 0; i < length; ++i)
            parent[std::size_t(i)] = i;
        QHash<Drawn, int> firstCharacter;
        for (int i = 0; i < length; ++i) {
            // Digits, punctuation, blanks and Latin letters are drawn by
            // the glyphs the fonts' character maps give them, which the
            // writer maps back already: only the other scripts are learned
            // (asking a line for the glyphs of one character is slow).
            const QChar::Script script = text.at(start + i).script();
            if (script == QChar::Script_Common || script == QChar::Script_Latin)
                continue;
            for (const QGlyphRun& run : line.glyphRuns(start + i, 1)) {
                const QRawFont raw = run.rawFont();
                const QString face = key(raw.familyName(), raw.styleName());
                if (!fonts_.contains(face))
                    fonts_[face].raw = raw;
                const QList<quint32> glyphs = run.glyphIndexes();
                const QList<QPointF> positions = run.positions();
                for (qsizetype k = 0; k < glyphs.size(); ++k) {
                    const Drawn d{face, glyphs[k], qRound64(positions[k].x() * 64), qRound64(positions[k].y() * 64)};
                    glyphsOf[std::size_t(i)].push_back(d);
                    const auto seen = firstCharacter.constFind(d);
                    if (seen == firstCharacter.cend())
                        firstCharacter.insert(d, i);
                    else
                        parent[std::size_t(root(parent, i))] = root(parent, *seen);
                }
            }
        }

        // The clusters in reading order, cut into pieces: a glyph and the
        // character it draws, where a cluster draws each character by a
        // glyph of its own (a letter and its mark), else the cluster whole.
        struct Piece {
            int first = 0, last = 0;  // characters in the block's text
            std::vector<Drawn> glyphs;
        };
        std::vector<Piece> pieces;
        for (int i = 0; i < length; ++i) {
            if (root(parent, i) != i)
                continue;
            std::vector<int> characters;
            std::vector<Drawn> glyphs;
            for (int j = i; j < length; ++j) {
                if (root(parent, j) != i)
                    continue;
                characters.push_back(start + j);
                for (const Drawn& d : glyphsOf[std::size_t(j)])
                    if (std::find(glyphs.begin(), glyphs.end(), d) == glyphs.end())
                        glyphs.push_back(d);
            }
            if (glyphs.empty())
                continue;
            // Marks go to the glyphs that take no room, the other
            // characters to those that do, each in order; or, as many
            // glyphs as characters, each glyph to its character in order.
            std::vector<int> marks, letters;
            for (int c : characters)
                (isMark(text.at(c)) ? marks : letters).push_back(c);
            std::vector<Drawn> still, moving;
            for (const Drawn& d : glyphs)
                (hasAdvance(d) ? moving : still).push_back(d);
            std::vector<Piece> split;
            if (glyphs.size() > 1 && marks.size() == still.size() && letters.size() == moving.size()) {
                for (std::size_t k = 0; k < letters.size(); ++k)
                    split.push_back({letters[k], letters[k], {moving[k]}});
                for (std::size_t k = 0; k < marks.size(); ++k)
                    split.push_back({marks[k], marks[k], {still[k]}});
                std::sort(split.begin(), split.end(), [](const Piece& x, const Piece& y) { return x.first < y.first; });
            } else if (glyphs.size() > 1 && glyphs.size() == characters.size()) {
                for (std::size_t k = 0; k < glyphs.size(); ++k)
                    split.push_back({characters[k], characters[k], {glyphs[k]}});
            }
            if (!split.empty()) {
                pieces.insert(pieces.end(), split.begin(), split.end());
            } else {
                pieces.push_back({characters.front(), characters.back(), std::move(glyphs)});
            }
        }
        // Each glyph's own characters: the first glyph of a piece carries them.
        for (const Piece& piece : pieces) {
            const QString characters = text.mid(piece.first, piece.last - piece.first + 1);
            ++fonts_[piece.glyphs.front().font].own[piece.glyphs.front().glyph][characters];
            for (std::size_t k = 1; k < piece.glyphs.size(); ++k)
                ++fonts_[piece.glyphs[k].font].own[piece.glyphs[k].glyph][QString()];
        }

        // The pieces gathered into units: a piece that takes no room and is
        // no mark (a letter drawn over the one before it) belongs to the
        // unit before it.
        std::vector<Piece> units;
        for (Piece& piece : pieces) {
            const QString characters = text.mid(piece.first, piece.last - piece.first + 1);
            const bool noRoom = std::none_of(piece.glyphs.begin(), piece.glyphs.end(), hasAdvance);
            const bool marksOnly = std::all_of(characters.cbegin(), characters.cend(), isMark);
            if (noRoom && !marksOnly && !units.empty() && units.back().glyphs.back().font == piece.glyphs.front().font &&
                units.back().last + 1 == piece.first) {
                units.back().last = piece.last;
                units.back().glyphs.insert(units.back().glyphs.end(), piece.glyphs.begin(), piece.glyphs.end());
            } else {
                units.push_back(std::move(piece));
            }
        }
        for (const Piece& u : units) {
            const QString characters = text.mid(u.first, u.last - u.first + 1);
            const bool before = joinsBefore(text, u.first);
            const bool after = joinsAfter(text, u.last);
            const QChar::Decomposition form = before && after ? QChar::Medial
                                              : before        ? QChar::Final
                                              : after         ? QChar::Initial
                                                              : QChar::Isolated;
            const QString unitText = presentationForm(characters, form);
            Font& font = fonts_[u.glyphs.front().font];
            if (u.glyphs.size() == 1) {
                ++font.alone[u.glyphs.front().glyph][unitText];
                continue;
            }
            std::vector<quint32> glyphs;
            for (const Drawn& d : u.glyphs)
                glyphs.push_back(d.glyph);
            ++font.together[glyphs][unitText];
        }
    }
}

QByteArray withGlyphTexts(const QByteArray& pdf, const GlyphTexts& texts)
{
    // The module that reads and writes PDF files, loaded the first time a
    // report is saved (its libraries are not needed to start the program).
    static CompletePdfText complete = nullptr;
    if (!complete) {
        try {
            complete = reinterpret_cast<CompletePdfText>(
                ui::moduleFactory(kPdfTextModule, kPdfTextFunction, QStringLiteral("تعذر تحميل وحدة نص التقرير")));
        } catch (const ui::UiError& e) {
            // The pages are whole without it; only their text reads back
            // as the writer mapped it.
            qWarning("%s", qPrintable(e.message()));
            return pdf;
        }
    }
    QByteArray completed = pdf;
    complete(&completed, &texts);
    return completed;
}

}  // namespace qismar::results
