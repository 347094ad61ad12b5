#include "widgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QPushButton>
#include <QSvgRenderer>

#include "entry_windows.h"

namespace qismar::widgets {

void setLayoutSize(QWidget* window, int layoutWidth, int layoutHeight)
{
    window->resize(layoutWidth - kFrameWidth, layoutHeight - kFrameHeight);
}

void centreOnScreen(QWidget* window)
{
    QScreen* screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize outer(window->width() + kFrameWidth, window->height() + kFrameHeight);
    window->move(area.x() + (area.width() - outer.width()) / 2,
                 area.y() + (area.height() - outer.height()) / 2);
}

QChar asciiDigit(QChar c) noexcept
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return c;
    if (u >= 0x0660 && u <= 0x0669)  // Arabic-Indic digits
        return QChar(u'0' + (u - 0x0660));
    if (u >= 0x06F0 && u <= 0x06F9)  // extended Arabic-Indic digits
        return QChar(u'0' + (u - 0x06F0));
    return QChar();
}

DigitEdit::DigitEdit(const QString& text, const QString& refill, QWidget* parent)
    : QLineEdit(text, parent)
{
    setLayoutDirection(Qt::LeftToRight);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (!refill.isEmpty()) {
        connect(this, &QLineEdit::textChanged, this, [this, refill](const QString&) {
            if (this->text().isEmpty())
                setText(refill);
        });
    }
}

void DigitEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Backspace) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString typed = event->text();
    if (typed.isEmpty()) {
        // Keys that type nothing (arrows, Home, End, Delete, Tab) keep their
        // usual meaning.
        QLineEdit::keyPressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const QChar digit = typed.size() == 1 ? asciiDigit(typed.front()) : QChar();
    if (digit.isNull() || (event->modifiers() & commands)) {
        event->accept();  // discarded
        return;
    }
    if (digit != typed.front()) {
        insert(QString(digit));
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DigitEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    QString digits;
    for (QChar c : commit) {
        const QChar d = asciiDigit(c);
        if (d.isNull()) {
            event->accept();  // a composed text that is not all digits is discarded
            return;
        }
        digits.append(d);
    }
    if (digits == commit) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent replaced(event->preeditString(), event->attributes());
    replaced.setCommitString(digits, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&replaced);
}

QString withAsciiDigits(const QString& text)
{
    QString ascii = text;
    for (QChar& c : ascii) {
        const QChar digit = asciiDigit(c);
        if (!digit.isNull())
            c = digit;
    }
    return ascii;
}

void setTextColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, color);
        palette.setColor(group, QPalette::Text, color);
        palette.setColor(group, QPalette::ButtonText, color);
    }
    widget->setPalette(palette);
}

void clearRadioButtons(QRadioButton* a, QRadioButton* b)
{
    // An exclusive radio button cannot be unchecked on its own.
    for (QRadioButton* button : {a, b})
        button->setAutoExclusive(false);
    a->setChecked(false);
    b->setChecked(false);
    for (QRadioButton* button : {a, b})
        button->setAutoExclusive(true);
}

void showWarningBox(const QString& message)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), message,
                    QMessageBox::Ok, QApplication::activeModalWidget());
    box.setAccessibleName(message);
    box.exec();
}

QString errorMessage(const std::exception& error)
{
    if (auto* engine = dynamic_cast<const EngineError*>(&error))
        return QString::fromUtf8(engine->arabic());
    if (auto* ui = dynamic_cast<const ui::UiError*>(&error))
        return ui->message();
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return QStringLiteral("\u0644\u0627 \u062A\u0643\u0641\u064A \u0627\u0644\u0630\u0627\u0643\u0631\u0629");  // لا تكفي الذاكرة
    return QString::fromLocal8Bit(error.what());
}

Currency readCount(const QLineEdit* edit, const QString& what)
{
    const QString text = edit->text();
    // "%1 يجب أن يكون عدداً صحيحاً من الأشخاص، والمكتوب «%2»"
    const QString notACount =
        QStringLiteral("%1 \u064A\u062C\u0628 \u0623\u0646 \u064A\u0643\u0648\u0646 \u0639\u062F\u062F\u0627\u064B "
                       "\u0635\u062D\u064A\u062D\u0627\u064B \u0645\u0646 \u0627\u0644\u0623\u0634\u062E\u0627\u0635\u060C "
                       "\u0648\u0627\u0644\u0645\u0643\u062A\u0648\u0628 \u00AB%2\u00BB");
    Currency count;
    try {
        count = parseAmount(withAsciiDigits(text).toStdString());
    } catch (const EngineError& error) {
        if (error.code() == ErrorCode::OutOfRange)
            // "%1 أكبر من أن يُحسب"
            throw ui::UiError(QStringLiteral("%1 \u0623\u0643\u0628\u0631 \u0645\u0646 \u0623\u0646 \u064A\u064F\u062D\u0633\u0628").arg(what));
        throw ui::UiError(notACount.arg(what, text));
    }
    if (count.raw() < 0 || !count.isWhole())
        throw ui::UiError(notACount.arg(what, text));
    return count;
}

}  // namespace qismar::widgets

namespace qismar::widgets {

bool handleDialogKeys(QWidget* window, QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QAbstractButton*>(window->focusWidget());
            button && button->isEnabled() && !button->isCheckable())
            button->click();
        event->accept();
        return true;
    case Qt::Key_Escape:
        event->accept();
        return true;
    default:
        return false;
    }
}

}  // namespace qismar::widgets


namespace qismar::widgets {

namespace {

class ExcerptOnClick : public QObject {
public:
    ExcerptOnClick(QWidget* control, QString beginLine, QString endLine)
        : QObject(control), beginLine_(std::move(beginLine)), endLine_(std::move(endLine)) {}
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto* control = static_cast<QWidget*>(watched);
            if (mouse->button() == Qt::LeftButton && control->rect().contains(mouse->position().toPoint()))
                guarded([&] { ShowLawExcerpt(beginLine_, endLine_); });
        }
        return false;
    }
private:
    QString beginLine_, endLine_;
};

}  // namespace

void showExcerptOnClick(QWidget* control, const QString& beginLine, const QString& endLine)
{
    control->installEventFilter(new ExcerptOnClick(control, beginLine, endLine));
}

void plainButton(QAbstractButton* button)
{
    if (auto* push = qobject_cast<QPushButton*>(button)) {
        push->setAutoDefault(false);
        push->setDefault(false);
    }
}

}  // namespace qismar::widgets

namespace qismar::widgets {

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
    // The caption, with a thin dark edge so that a light colour stays legible
    // over the picture.
    painter.setLayoutDirection(layoutDirection());
    painter.setFont(font());
    const QColor colour = palette().color(QPalette::WindowText);
    if (qGray(colour.rgb()) > 160) {
        painter.setPen(QColor(90, 70, 0));
        painter.drawText(QPoint(captionLeft + 1, baseline + 1), caption);
    }
    painter.setPen(colour);
    painter.drawText(QPoint(captionLeft, baseline), caption);
}

}  // namespace qismar::widgets

namespace qismar::widgets {

void GuidanceText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(2, 2, -2, -2);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    painter.setFont(font());
    painter.setLayoutDirection(layoutDirection());
    const QColor colour = palette().color(QPalette::WindowText);
    if (qGray(colour.rgb()) > 160) {
        painter.setPen(QColor(90, 70, 0));
        painter.drawText(area.translated(1, 1), flags, text());
    }
    painter.setPen(colour);
    painter.drawText(area, flags, text());
}

}  // namespace qismar::widgets
