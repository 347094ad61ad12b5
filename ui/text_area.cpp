#include "ui/text_area.h"

#include "ui/ui_common.h"

namespace qismar::ui {

namespace {

// How far back from the end of a piece a blank is looked for.
constexpr qsizetype kBlankSearch = 200;

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c.isSpace(); }

}  // namespace

QString breakLongLines(const QString& text, qsizetype longest)
{
    // Most texts have no long line: they are returned untouched.
    bool anyLong = false;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        if (end - start > longest) {
            anyLong = true;
            break;
        }
        start = end + 1;
    }
    if (!anyLong)
        return text;

    QString broken;
    broken.reserve(text.size() + text.size() / longest + 1);
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        const bool last = end < 0;
        if (last)
            end = text.size();
        qsizetype from = start;
        while (end - from > longest) {
            qsizetype cut = from + longest;
            for (qsizetype i = cut; i > from + longest - kBlankSearch && i > from; --i) {
                if (isBlank(text.at(i - 1))) {
                    cut = i;
                    break;
                }
            }
            // Never between the two halves of a surrogate pair.
            if (cut < end && text.at(cut).isLowSurrogate())
                --cut;
            broken.append(QStringView(text).mid(from, cut - from));
            broken.append(QLatin1Char('\n'));
            from = cut;
        }
        broken.append(QStringView(text).mid(from, end - from));
        if (last)
            break;
        broken.append(QLatin1Char('\n'));
        start = end + 1;
    }
    return broken;
}

TextArea::TextArea(const QFont& font, QWidget* parent) : QPlainTextEdit(parent), font_(font) {}

TextArea* TextArea::reading(QWidget* parent, const QColor& background, const QColor& text, const QFont& font)
{
    auto* memo = new TextArea(font, parent);
    memo->setObjectName(QStringLiteral("textArea"));
    memo->setLayoutDirection(Qt::RightToLeft);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, text);
    memo->setPalette(palette);
    return memo;
}

void TextArea::setTextForShowing(const QString& text)
{
    if (shown_) {
        setPlainText(breakLongLines(text));
    } else {
        pending_ = text;
        pendingBytes_.clear();
        hasPending_ = true;
        pendingIsBytes_ = false;
    }
}

void TextArea::setCp1256ForShowing(QByteArray bytes)
{
    if (shown_) {
        setPlainText(breakLongLines(decodeCp1256(bytes)));
    } else {
        pending_.clear();
        pendingBytes_ = std::move(bytes);
        hasPending_ = true;
        pendingIsBytes_ = true;
    }
}

QString TextArea::pendingText() const
{
    return pendingIsBytes_ ? decodeCp1256(pendingBytes_) : pending_;
}

QString TextArea::textForShowing() const
{
    return hasPending_ ? pendingText() : toPlainText();
}

void TextArea::showEvent(QShowEvent* event)
{
    if (!shown_) {
        shown_ = true;
        setFont(font_);
        if (hasPending_) {
            setPlainText(breakLongLines(pendingText()));
            pending_.clear();
            pendingBytes_.clear();
            hasPending_ = false;
        }
    }
    QPlainTextEdit::showEvent(event);
}

}  // namespace qismar::ui
