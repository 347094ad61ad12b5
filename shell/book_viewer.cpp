// The text viewer of the laws and works.
#include "shell/book_viewer.h"

#include "shell/book_summary.h"
#include "ui/picture.h"
#include "ui/text_area.h"
#include "ui/ui_common.h"

#include <QBoxLayout>
#include <QPushButton>

namespace qismar {

Tbook_1* book_1 = nullptr;

Tbook_1::Tbook_1(QWidget* parent) : QDialog(parent)
{
    book_1 = this;
    setObjectName(QStringLiteral("book_1"));
    setWindowTitle(QStringLiteral("كتاب المهذب"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setLayoutDirection(Qt::RightToLeft);
    resize(620, 450);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 6);
    layout->setSpacing(4);

    // The top row: "نبذة" at the side where reading starts.
    auto* top = new QHBoxLayout;
    Button1 = ui::pushButton(QStringLiteral("نبذة"), "Button1", this);
    Button1->setMinimumWidth(75);
    top->addWidget(Button1);
    top->addStretch();
    layout->addLayout(top);

    // The picture below the top row, with the text area lying on it.
    ui::centreOnFirstShow(this);
    Image1 = new ui::Picture(QStringLiteral(":/pictures/viewer.svg"), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setMinimumSize(200, 150);
    auto* onPicture = new QVBoxLayout(Image1);
    onPicture->setContentsMargins(41, 26, 42, 26);
    Memo1 = ui::TextArea::reading(Image1, QColor(255, 128, 0), ui::kTextBlue, ui::layoutFont(QStringLiteral("Mudir MT"), 19, true));
    Memo1->setAccessibleName(QStringLiteral("النص"));
    onPicture->addWidget(Memo1);
    layout->addWidget(Image1, 1);

    auto* bottom = new QHBoxLayout;
    Button3 = ui::pushButton(QStringLiteral("تم"), "Button3", this);
    Button3->setMinimumWidth(75);
    Button3->setDefault(true);
    bottom->addStretch();
    bottom->addWidget(Button3);
    bottom->addStretch();
    layout->addLayout(bottom);

    connect(Button1, &QPushButton::clicked, this, &Tbook_1::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &Tbook_1::Button3Click);
}

Tbook_1::~Tbook_1()
{
    if (book_1 == this)
        book_1 = nullptr;
}

void Tbook_1::Button1Click()
{
    ui::guarded([] { ui::showModal(About_book1); }, this);
}

void Tbook_1::Button3Click()
{
    done(QDialog::Accepted);
}

}  // namespace qismar
