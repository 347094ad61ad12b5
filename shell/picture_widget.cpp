#include "picture_widget.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace qismar::shell {

PictureWidget::PictureWidget(QString path, QWidget* parent)
    : QWidget(parent), path_(std::move(path))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

PictureWidget::~PictureWidget() = default;

void PictureWidget::load() const
{
    if (loaded_)
        return;
    loaded_ = true;
    if (!QFile::exists(path_))
        return;
    auto renderer = std::make_unique<QSvgRenderer>(path_);
    renderer->setAspectRatioMode(Qt::IgnoreAspectRatio);
    if (renderer->isValid())
        renderer_ = std::move(renderer);
}

bool PictureWidget::hasPicture() const
{
    load();
    return renderer_ != nullptr;
}

void PictureWidget::paintEvent(QPaintEvent*)
{
    load();
    if (!renderer_ || width() <= 0 || height() <= 0)
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
        renderer_->render(&painter, QRectF(QPointF(0, 0), QSizeF(size())));
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, cache_);
}

}  // namespace qismar::shell
