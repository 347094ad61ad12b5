// Qismar: the multi-line text area of the reading and information windows.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QPlainTextEdit>
#include <QString>

namespace qismar::ui {

// The longest line the text areas lay out as one paragraph. Laying out one
// paragraph costs more than in proportion to its length, so a longer line
// is shown as several paragraphs, cut after a blank where there is one.
inline constexpr qsizetype kLongestShownLine = 2000;

// The text with every line longer than `longest` characters cut into lines
// of at most that length: after the last blank of the piece when it has
// one near its end, otherwise at the length itself. Shorter lines and the
// line ends are left alone.
QString breakLongLines(const QString& text, qsizetype longest = kLongestShownLine);

// A plain-text area (it stays fast on texts of many megabytes) that takes
// its font, and a text given before it was ever shown, when it is first
// shown: laying text out loads fonts and shapes the text, work that the
// program's start need not wait for. Very long lines are broken
// (breakLongLines) so that no text makes it freeze.
class TextArea : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextArea(const QFont& font, QWidget* parent = nullptr);
    // A text area of the reading windows ("textArea"): the given colours and
    // font, right to left, a vertical scroll bar, lines wrapped at the edge.
    static TextArea* reading(QWidget* parent, const QColor& background, const QColor& text, const QFont& font);

    // The text that the area shows: set now if it was shown already,
    // otherwise when it is first shown.
    void setTextForShowing(const QString& text);
    // The same for Windows-1256 bytes, decoded only when the text is first
    // needed: a large text read while the program starts costs the start
    // no more than the reading.
    void setCp1256ForShowing(QByteArray bytes);
    // The text it shows, or will show once shown.
    QString textForShowing() const;
    // The font it shows its text in.
    const QFont& textFont() const { return font_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QFont font_;
    QString pendingText() const;

    QString pending_;
    QByteArray pendingBytes_;
    bool hasPending_ = false;
    bool pendingIsBytes_ = false;
    bool shown_ = false;
};

}  // namespace qismar::ui
