#include "ui/icon_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace qismar::ui {

IconButton::IconButton(const QIcon& icon, const QString& caption, QWidget* parent) : QPushButton(icon, caption, parent)
{
}

QSize IconButton::sizeHint() const
{
    const QSize base = QPushButton::sizeHint();
    const int content = iconSize().width() + kGap + fontMetrics().horizontalAdvance(shownCaption()) + 16;
    return {std::max(base.width(), content), base.height()};
}

void IconButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The frame and the focus as the style draws them, empty.
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    const QRect inside = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const QString caption = shownCaption();
    const QSize picture = iconSize();
    const int captionWidth = fontMetrics().horizontalAdvance(caption);
    const int width = std::min(inside.width(), picture.width() + kGap + captionWidth);
    const int left = inside.left() + (inside.width() - width) / 2;
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    // Right to left the picture comes first, on the right.
    const QRect pictureRect(rightToLeft ? left + width - picture.width() : left,
                            inside.top() + (inside.height() - picture.height()) / 2, picture.width(), picture.height());
    const QRect captionRect(rightToLeft ? left : left + picture.width() + kGap, inside.top(),
                            width - picture.width() - kGap, inside.height());
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    icon().paint(&painter, pictureRect, Qt::AlignCenter, mode, isChecked() ? QIcon::On : QIcon::Off);
    painter.drawItemText(captionRect, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), caption,
                         QPalette::ButtonText);
}

}  // namespace qismar::ui
