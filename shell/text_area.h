// Qismar: the multi-line text area of the reading windows.
#pragma once

#include <QFont>
#include <QPlainTextEdit>
#include <QString>

namespace qismar::shell {

// A plain-text area (it stays fast on texts of many megabytes) that takes
// its font, and a text given before it was ever shown, when it is first
// shown. Laying text out loads fonts and shapes the text, work that the
// program's start need not wait for.
class TextArea : public QPlainTextEdit {
    Q_OBJECT
public:
    TextArea(const QFont& font, QWidget* parent = nullptr);

    // The text that the area shows: set now if it was shown already,
    // otherwise when it is first shown.
    void setTextForShowing(const QString& text);
    // The text it shows, or will show once shown.
    QString textForShowing() const { return hasPending_ ? pending_ : toPlainText(); }
    // The font it shows its text in.
    const QFont& textFont() const { return font_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QFont font_;
    QString pending_;
    bool hasPending_ = false;
    bool shown_ = false;
};

}  // namespace qismar::shell
