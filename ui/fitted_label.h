// Qismar: a static text that always fits its box.
#pragma once

#include <QFont>
#include <QLabel>

namespace qismar::ui {

// A static text whose lines are wrapped at its width and drawn in its font,
// made smaller (down to 9 pixels) as far as needed for the whole text to
// fit its box: no line and no word of it is ever cut off.
class FittedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    // The font the text is drawn in now (the label's font, or smaller).
    QFont fittedFont() const;
protected:
    void paintEvent(QPaintEvent* event) override;
private:
    QRect textArea() const;
    int flags() const;
};

}  // namespace qismar::ui
