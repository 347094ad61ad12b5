#include "ui/picture.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPointer>
#include <QSvgRenderer>
#include <QSemaphore>
#include <QThreadPool>

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
        QImage drawing(pixels, QImage::Format_ARGB32_Premultiplied);
        drawing.setDevicePixelRatio(ratio);
        const QSizeF logical = size();
        const auto draw = [&] {
            drawing.fill(Qt::transparent);
            QPainter painter(&drawing);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            svg->render(&painter, QRectF(QPointF(0, 0), logical));
        };
        // Qt's drawing hands each fill of many lines to the threads of the
        // global thread pool, unless it already runs on one of them. For a
        // picture of hundreds of small shapes the hand-offs cost more than
        // they save, and on a busy machine every one of them waits for a
        // thread: the picture is drawn in one piece on a thread of the
        // pool while this one waits (on this one when the pool has no
        // thread free). The drawing is the same either way.
        QSemaphore done;
        if (QThreadPool::globalInstance()->tryStart([&] {
                draw();
                done.release();
            }))
            done.acquire();
        else
            draw();
        cache_ = std::move(drawing);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, cache_);
}

}  // namespace qismar::ui
