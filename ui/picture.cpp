#include "ui/picture.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPointer>
#include <QSvgRenderer>

namespace qismar::ui {

namespace {

// One renderer per picture for the whole run; a null entry remembers a
// picture that could not be read.
QSvgRenderer* sharedRenderer(const QString& path)
{
    static QHash<QString, QPointer<QSvgRenderer>> renderers;
    const auto known = renderers.constFind(path);
    if (known != renderers.constEnd())
        return known.value();
    QSvgRenderer* renderer = nullptr;
    if (QFile::exists(path)) {
        renderer = new QSvgRenderer(path, QCoreApplication::instance());
        renderer->setAspectRatioMode(Qt::IgnoreAspectRatio);
        if (!renderer->isValid()) {
            delete renderer;
            renderer = nullptr;
        }
    }
    renderers.insert(path, renderer);
    return renderer;
}

}  // namespace

Picture::Picture(QString path, QWidget* parent) : QWidget(parent), path_(std::move(path)) {}

Picture* Picture::background(const QString& path, QWidget* window)
{
    auto* picture = new Picture(path, window);
    picture->setAttribute(Qt::WA_TransparentForMouseEvents);
    picture->setGeometry(window->rect());
    picture->lower();
    window->installEventFilter(picture);
    return picture;
}

bool Picture::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

QSvgRenderer* Picture::renderer() const
{
    if (!looked_) {
        looked_ = true;
        renderer_ = sharedRenderer(path_);
    }
    return renderer_;
}

bool Picture::hasPicture() const
{
    return renderer() != nullptr;
}

void Picture::paintEvent(QPaintEvent*)
{
    QSvgRenderer* svg = renderer();
    if (!svg || width() <= 0 || height() <= 0)
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (cache_.size() != pixels) {
        cache_ = QPixmap(pixels);
        cache_.setDevicePixelRatio(ratio);
        cache_.fill(Qt::transparent);
        QPainter painter(&cache_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        svg->render(&painter, QRectF(QPointF(0, 0), QSizeF(size())));
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, cache_);
}

}  // namespace qismar::ui
