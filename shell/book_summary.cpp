// The summary of the text in the viewer, shown by "نبذة".
#include "shell/book_summary.h"

#include "ui/fitted_label.h"
#include "ui/picture.h"
#include "ui/ui_common.h"

#include <QBoxLayout>
#include <QPushButton>

namespace qismar {

namespace {

const QSize kSummaryBox(320, 140);

}  // namespace

BookSummary::BookSummary(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("About_book1"));
    setWindowTitle(QStringLiteral("نبذة"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::WindowStaysOnTopHint);
    setLayoutDirection(Qt::RightToLeft);
    resize(388, 245);

    ui::centreOnFirstShow(this);
    picture_ = ui::Picture::background(QStringLiteral(":/pictures/summary.svg"), this);
    picture_->setObjectName(QStringLiteral("picture"));

    // The summary box is larger than the layout's 289 x 113, and its font
    // gives way where needed, so that the longest summary shows whole.
    auto* label = new ui::FittedLabel(this);
    summaryLabel_ = label;
    label->setObjectName(QStringLiteral("summaryLabel"));
    label->setFixedSize(kSummaryBox);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(2);
    label->setFont(ui::layoutFont(QStringLiteral("Traditional Arabic"), 16, true));
    label->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ui::kTextMaroon);
    label->setPalette(palette);
    label->setContentsMargins(6, 0, 6, 0);

    doneButton_ = ui::pushButton(QStringLiteral("تم"), "doneButton", this);
    doneButton_->setMinimumWidth(75);
    doneButton_->setDefault(true);
    connect(doneButton_, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 16, 12, 14);
    layout->addStretch();
    layout->addWidget(summaryLabel_, 0, Qt::AlignHCenter);
    layout->addStretch();
    layout->addWidget(doneButton_, 0, Qt::AlignHCenter);
}

BookSummary::~BookSummary() = default;

void BookSummary::setSummary(const QString& summary)
{
    summary_ = summary;
    QString shown = summary;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    summaryLabel_->setText(shown);
    summaryLabel_->setAccessibleName(shown);
}

}  // namespace qismar
