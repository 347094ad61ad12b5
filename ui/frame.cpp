#include "ui/frame.h"

#include <QPainter>

namespace qismar::ui {

void Frame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QString caption = title();
    // The caption's glyphs start at the top; the line runs through their middle.
    const QRect glyphs = metrics.tightBoundingRect(caption);
    const int baseline = 1 - glyphs.top();
    const int lineY = caption.isEmpty() ? 0 : baseline + glyphs.top() + glyphs.height() / 2;
    const int captionWidth = metrics.horizontalAdvance(caption);
    const int margin = 8, gap = 4;
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    const int captionLeft = rightToLeft ? width() - margin - captionWidth : margin;

    // An etched frame: a dark line with a light one beside it.
    const QRect box(0, lineY, width() - 2, height() - lineY - 2);
    for (const auto& [colour, offset] : {std::pair{palette().color(QPalette::Mid), 0},
                                         std::pair{palette().color(QPalette::Light), 1}}) {
        painter.setPen(colour);
        const QRect r = box.translated(offset, offset);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.drawLine(r.topRight(), r.bottomRight());
        if (caption.isEmpty()) {
            painter.drawLine(r.topLeft(), r.topRight());
        } else {
            painter.drawLine(r.topLeft(), QPoint(captionLeft - gap, r.top()));
            painter.drawLine(QPoint(captionLeft + captionWidth + gap, r.top()), r.topRight());
        }
    }
    if (caption.isEmpty())
        return;
    painter.setLayoutDirection(layoutDirection());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QPoint(captionLeft, baseline), caption);
}

}  // namespace qismar::ui
