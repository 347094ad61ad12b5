#include "ui/fitted_label.h"

#include <QPainter>

namespace qismar::ui {

namespace {
constexpr int kSmallestPixels = 9;
}

QRect FittedLabel::textArea() const
{
    return contentsRect().adjusted(2, 2, -2, -2);
}

int FittedLabel::flags() const
{
    return int(alignment()) | Qt::TextWordWrap;
}

QFont FittedLabel::fittedFont() const
{
    QFont font = this->font();
    const QRect area = textArea();
    int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    for (; pixels > kSmallestPixels; --pixels) {
        font.setPixelSize(pixels);
        const QRect needed = QFontMetrics(font).boundingRect(area, flags(), text());
        if (needed.height() <= area.height() && needed.width() <= area.width())
            break;
    }
    font.setPixelSize(pixels);
    return font;
}

void FittedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    painter.setFont(fittedFont());
    painter.setLayoutDirection(layoutDirection());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(textArea(), flags(), text());
}

}  // namespace qismar::ui
