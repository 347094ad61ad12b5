// Qismar: a vector picture stretched over its whole widget.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

class QSvgRenderer;

namespace qismar::ui {

// Paints the SVG picture at `path` (a resource path) stretched over the whole
// widget, ignoring its aspect ratio, with no background of its own. The
// picture is read on the first paint, not when the window is built, and one
// reading serves every window that shows the same picture; the drawing is
// kept as an image of the current size. A picture that is missing or broken
// leaves the widget empty.
class Picture : public QWidget {
public:
    explicit Picture(QString path, QWidget* parent = nullptr);

    // A window's background: the picture fills the whole of `window`, lies
    // beneath its other controls, lets the mouse through to the window, and
    // follows the window's size whenever it changes.
    static Picture* background(const QString& path, QWidget* window);

    const QString& path() const noexcept { return path_; }
    // True when the picture could be read and holds a drawing.
    bool hasPicture() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSvgRenderer* renderer() const;

    QString path_;
    mutable QSvgRenderer* renderer_ = nullptr;  // shared, owned by the application
    mutable bool looked_ = false;
    QImage cache_;
};

}  // namespace qismar::ui
