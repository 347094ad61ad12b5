// The text viewer of the laws and works.
#include "shell/book_viewer.h"

#include "shell/book_summary.h"
#include "ui/picture.h"
#include "ui/text_area.h"
#include "ui/ui_common.h"

#include <QBoxLayout>
#include <QPushButton>

namespace qismar {

BookViewer::BookViewer(QWidget* parent)
    : QDialog(parent), summary_(QStringLiteral("أرجوزة على المذهب الشافعي"))
{
    setObjectName(QStringLiteral("book_1"));
    setWindowTitle(QStringLiteral("كتاب المهذب"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setLayoutDirection(Qt::RightToLeft);
    resize(620, 450);
    ui::centreOnFirstShow(this);
    createControls();
    connect(summaryButton_, &QPushButton::clicked, this, [this] { ui::guarded([this] { showSummary(); }, this); });
    connect(doneButton_, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
}

BookViewer::~BookViewer() = default;

void BookViewer::createControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 6);
    layout->setSpacing(4);

    // The top row: "نبذة" at the side where reading starts.
    auto* top = new QHBoxLayout;
    summaryButton_ = ui::pushButton(QStringLiteral("نبذة"), "summaryButton", this);
    summaryButton_->setMinimumWidth(75);
    top->addWidget(summaryButton_);
    top->addStretch();
    layout->addLayout(top);

    // The picture below the top row, with the text area lying on it.
    picture_ = new ui::Picture(QStringLiteral(":/pictures/viewer.svg"), this);
    picture_->setObjectName(QStringLiteral("picture"));
    picture_->setMinimumSize(200, 150);
    auto* onPicture = new QVBoxLayout(picture_);
    onPicture->setContentsMargins(41, 26, 42, 26);
    textArea_ = ui::TextArea::reading(picture_, QColor(255, 128, 0), ui::kTextBlue,
                                      ui::layoutFont(QStringLiteral("Mudir MT"), 19, true));
    textArea_->setAccessibleName(QStringLiteral("النص"));
    onPicture->addWidget(textArea_);
    layout->addWidget(picture_, 1);

    auto* bottom = new QHBoxLayout;
    doneButton_ = ui::pushButton(QStringLiteral("تم"), "doneButton", this);
    doneButton_->setMinimumWidth(75);
    doneButton_->setDefault(true);
    bottom->addStretch();
    bottom->addWidget(doneButton_);
    bottom->addStretch();
    layout->addLayout(bottom);
}

void BookViewer::setBook(const Book& book, const QString& text)
{
    textArea_->setTextForShowing(text);
    setWindowTitle(book.caption);
    summary_ = book.summary;
    if (summaryWindow_)
        summaryWindow_->setSummary(summary_);
}

BookSummary& BookViewer::summaryWindow()
{
    if (!summaryWindow_) {
        summaryWindow_ = std::make_unique<BookSummary>();
        summaryWindow_->setSummary(summary_);
    }
    return *summaryWindow_;
}

void BookViewer::showSummary()
{
    ui::showModal(&summaryWindow());
}

}  // namespace qismar
