// Qismar: a push button whose picture and caption stand together.
#pragma once

#include <QPushButton>

namespace qismar::ui {

// A push button with a picture and a caption drawn side by side in the
// middle of the button, the picture first in the reading order (on the
// right, right to left). Qt's own push button, right to left, pushes the
// caption against the left edge and leaves the picture in the middle.
class IconButton : public QPushButton {
    Q_OBJECT
public:
    IconButton(const QIcon& icon, const QString& caption, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The caption as drawn: without the blanks that once made room.
    QString shownCaption() const { return text().trimmed(); }
    static constexpr int kGap = 6;
};

}  // namespace qismar::ui
