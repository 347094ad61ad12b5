#include "entry/counting_dialog.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "entry/law_excerpts.h"
#include "ui/digit_edit.h"
#include "ui/ui_common.h"

namespace qismar {

namespace {

// The layout places a label 13 pixels high.
constexpr int kLayoutLabelHeight = 13;

QString fromUtf8(const char* text) { return QString::fromUtf8(text); }

// The keys of the lines that open and close an article in the law file.
QString articleBegin(const char* key) { return QString::fromLatin1(key) + QStringLiteral("_b"); }
QString articleEnd(const char* key) { return QString::fromLatin1(key) + QStringLiteral("_e"); }

}  // namespace

CountingDialog::CountingDialog(const CountingGroup& group, HowInheritsMode& mode)
    : HeirDialog(fromUtf8(group.caption), group.layoutSize.width(), group.layoutSize.height()), group_(group)
{
    setObjectName(QString::fromLatin1(group.objectName));
    // The dialog's surface shows the help cursor in the "كيف يرث؟" mode.
    mode.markForHelpCursor(this);
    createFrames();
    createFields(mode);
    const QRect done = group.doneButton;
    doneButton = addDoneButton(done.x(), done.y(), done.width(), done.height());
    doneButton->setCursor(Qt::ArrowCursor);
    if (group.redDoneCaption)
        ui::setTextColor(doneButton, ui::kTextRed);
    createLabels(mode);
    orderTabs();
    if (group.pictureNotice) {
        // Moving over the picture writes a notice into the entry window's guidance.
        background->setMouseTracking(true);
        background->installEventFilter(this);
    }
}

void CountingDialog::createFrames()
{
    for (const DialogFrame& f : group_.frames) {
        QGroupBox* frame = addFrame(f.objectName, fromUtf8(f.caption), f.place.x(), f.place.y(), f.place.width(),
                                    f.place.height());
        frame->setCursor(Qt::ArrowCursor);
    }
}

void CountingDialog::createFields(HowInheritsMode& mode)
{
    for (const CountField& f : group_.fields) {
        auto* edit = new ui::DigitEdit(QStringLiteral("0"), QStringLiteral("0"), this);
        edit->setObjectName(f.objectName());
        edit->setGeometry(f.place);
        const std::string_view label = f.caseField().label;
        edit->setAccessibleName(QString::fromUtf8(label.data(), qsizetype(label.size())));
        mode.showExcerptOnClick(edit, articleBegin(f.article), articleEnd(f.article));
        mode.markForHelpCursor(edit);
        counts_.push_back(edit);
    }
}

void CountingDialog::createLabels(HowInheritsMode& mode)
{
    for (const DialogLabel& l : group_.labels) {
        auto* label = ui::named(new QLabel(fromUtf8(l.text), this), l.objectName);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // As tall as a line of its face: the captions of two rows of fields
        // stand one above the other without covering each other.
        label->adjustSize();
        label->resize(label->width(), label->fontMetrics().height());
        // The layout places a label 13 pixels high; the substitute face is
        // taller, so the label is centred where the layout's text stands.
        label->move(l.place.x(), l.place.y() + (kLayoutLabelHeight - label->height()) / 2);
        label->setCursor(Qt::ArrowCursor);
        if (l.note) {
            // A note in red, centred across the dialog where the layout's line stood.
            ui::setTextColor(label, ui::kTextRed);
            label->setGeometry(8, label->y(), width() - 16, label->height());
            label->setAlignment(Qt::AlignCenter);
        }
        if (l.article)
            mode.showExcerptOnClick(label, articleBegin(l.article), articleEnd(l.article));
        labels_.push_back(label);
    }
}

void CountingDialog::orderTabs()
{
    std::vector<QWidget*> order(counts_.begin(), counts_.end());
    order.insert(order.begin() + std::min<std::ptrdiff_t>(group_.doneButtonAfter, std::ptrdiff_t(order.size())),
                 doneButton);
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

QLineEdit* CountingDialog::countEdit(HeadCount EstateCase::*field) const
{
    for (std::size_t i = 0; i < counts_.size(); ++i)
        if (group_.fields[i].count() == field)
            return counts_[i];
    return nullptr;
}

QWidget* CountingDialog::firstField() const
{
    return counts_.empty() ? nullptr : counts_.front();
}

void CountingDialog::showCounts(const EstateCase& c)
{
    for (std::size_t i = 0; i < counts_.size(); ++i)
        counts_[i]->setText(QString::number((c.*(group_.fields[i].count())).persons()));
}

bool CountingDialog::edit(EstateCase& c)
{
    showCounts(c);
    taken_.reset();
    exec();
    if (!taken_)
        return false;
    for (std::size_t i = 0; i < counts_.size(); ++i)
        c.*(group_.fields[i].count()) = (*taken_)[i];
    taken_.reset();
    return true;
}

void CountingDialog::finish()
{
    // The dialog closes even when a count cannot be read.
    closeDialog();
    std::vector<HeadCount> counts;
    for (QLineEdit* edit : counts_)
        counts.push_back(ui::readCount(edit, edit->accessibleName()));
    taken_ = std::move(counts);
}

bool CountingDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == background && event->type() == QEvent::MouseMove && group_.pictureNotice)
        emit notice(fromUtf8(group_.pictureNotice));
    return HeirDialog::eventFilter(watched, event);
}

}  // namespace qismar
