// Qismar: the text behind every glyph of the PDF report.
//
// A PDF reader turns the glyphs of a page back into text through each
// font's ToUnicode map. The PDF writer builds that map from the font's
// character map alone, so a glyph that the map does not lead to gets no
// text: the forms of lam and alef that join as lam-alef, any ligature, any
// other form the shaper chose. Text copied or searched in the report then
// loses them ("الأم" reads "ا م").
//
// GlyphTexts learns from the very layouts that were drawn which characters
// each glyph stands for; withGlyphTexts then gives those texts to the
// glyphs of the fonts embedded in the PDF, in a module beside the program
// (it reads and writes the PDF with qpdf, whose libraries starting the
// program does not need).
//
// Some fonts draw lam-alef as a lam and an alef of no width laid over it.
// A reader cannot put two characters drawn at one place in order, so such a
// pair is one unit of text: the glyph that only that pair uses carries the
// whole ligature (as its Unicode presentation form, one character, which
// the readers place whole), with the width of the pair, and the other
// carries no text and no width. The widths in the font only tell readers
// how much room a glyph's text takes: each glyph of the report is placed by
// its own position, so the page is drawn exactly as before.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QRawFont>
#include <QString>
#include <map>
#include <vector>

class QTextLayout;

namespace qismar::results {

class GlyphTexts {
public:
    // Learns what every glyph of every line of a laid-out text stands for.
    // `text` is the text laid out (the layout of a block of a document
    // does not hold it: it is the block's).
    void learn(const QTextLayout& layout, const QString& text);

    using Votes = QHash<QString, int>;  // texts, and how often each was seen
    // What was learned of one face of a family.
    struct Font {
        QRawFont raw;  // the face the layouts drew with
        // Glyphs that drew a unit of text alone, and its text.
        std::map<quint32, Votes> alone;
        // Units drawn by several glyphs (a letter and a mark drawn apart, a
        // letter drawn over the one before it): their glyphs in reading
        // order, and their text.
        std::map<std::vector<quint32>, Votes> together;
        // Each glyph's own characters (the first glyph of a cluster carries
        // the cluster's), for a unit that cannot be given to one glyph.
        std::map<quint32, Votes> own;
    };
    // The face of a family and style, or null when no glyph of it was drawn.
    const Font* font(const QString& family, const QString& style) const
    {
        const auto found = fonts_.constFind(key(family, style));
        return found == fonts_.cend() ? nullptr : &*found;
    }

private:
    static QString key(const QString& family, const QString& style) { return family + QLatin1Char('\n') + style; }
    QHash<QString, Font> fonts_;
};

// The PDF with the ToUnicode map (and, for the units above, the widths) of
// every embedded font that `texts` knows giving each of its glyphs the text
// it stood for; a glyph it does not know keeps what the writer gave it.
// What is drawn does not change. A PDF that cannot be read, or a module that
// cannot be loaded, gives the PDF back as it was (with a warning).
QByteArray withGlyphTexts(const QByteArray& pdf, const GlyphTexts& texts);

// The module beside the program and the function it exports, which
// replaces the PDF by the completed one.
inline constexpr const char* kPdfTextModule = "qismar_pdftext";
inline constexpr const char* kPdfTextFunction = "qismar_complete_pdf_text";
using CompletePdfText = void (*)(QByteArray* pdf, const GlyphTexts* texts);

}  // namespace qismar::results
