// Qismar: a vector picture stretched to fill its widget.
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <memory>

class QSvgRenderer;

namespace qismar::shell {

// Paints the SVG picture at `path` (a resource path) stretched over the whole
// widget, ignoring its aspect ratio, with no background of its own. A picture
// that does not exist leaves the widget empty. The picture is read on the
// first paint and kept as a pixmap of the current size.
class PictureWidget : public QWidget {
    Q_OBJECT
public:
    explicit PictureWidget(QString path, QWidget* parent = nullptr);
    ~PictureWidget() override;

    const QString& path() const { return path_; }
    // True once the picture was read and holds a drawing.
    bool hasPicture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void load() const;

    QString path_;
    mutable bool loaded_ = false;
    mutable std::unique_ptr<QSvgRenderer> renderer_;
    QPixmap cache_;
};

}  // namespace qismar::shell
