// The notice on the program's legal basis.
#include "shell/notice_window.h"

#include "ui/picture.h"
#include "ui/ui_common.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace qismar {

TfmNote* fmNote = nullptr;

namespace {

constexpr int kMargin = 16;

}  // namespace

TfmNote::TfmNote(QWidget* parent) : QDialog(parent)
{
    fmNote = this;
    setObjectName(QStringLiteral("fmNote"));
    setWindowTitle(QStringLiteral("تنبيه"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setLayoutDirection(Qt::RightToLeft);
    setFixedSize(530, 218);
    // Opens at its designed place, not centred.
    move(248, 186);

    Image1 = ui::Picture::background(QStringLiteral(":/pictures/note.svg"), this);
    Image1->setObjectName(QStringLiteral("Image1"));

    const QStringList lines = {QStringLiteral("هذا البرنامج يعمل وفق ترجيحات القانون السوداني"),
                               QStringLiteral("وهو مصمم على أساس أن المستخدم ليس لديه أي إلمام بعلم الفرائض"),
                               QStringLiteral("ولذا فإنه لا يوضح أيًّا من التفاصيل الشرعية لقسمة المسائل")};
    const QFont font = ui::layoutFont(QStringLiteral("Mudir MT"), 16, true);
    Label3 = ui::plainLabel("Label3", lines[0], font, Qt::black, this);
    Label1 = ui::plainLabel("Label1", lines[1], font, Qt::black, this);
    Label2 = ui::plainLabel("Label2", lines[2], font, Qt::black, this);

    Button1 = new QPushButton(QStringLiteral("تم"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setMinimumWidth(75);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TfmNote::Button1Click);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, 18, kMargin, 16);
    layout->setSpacing(6);
    layout->addStretch(1);
    layout->addWidget(Label3);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addStretch(2);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
}

TfmNote::~TfmNote()
{
    if (fmNote == this)
        fmNote = nullptr;
}

void TfmNote::Button1Click()
{
    done(QDialog::Accepted);
}

void TfmNote::setVisible(bool visible)
{
    // Fitted when the window is first shown, not while the program starts:
    // measuring text loads fonts.
    if (visible && !fitted_) {
        fitted_ = true;
        fitLines();
    }
    QDialog::setVisible(visible);
}

void TfmNote::fitLines()
{
    // The face that stands in for the layout's narrow display face may be
    // wider: it is made smaller, in proportion, until every line fits
    // across the window.
    const int room = width() - 2 * kMargin - 32;
    QFont font = Label1->font();
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QLabel* label : {Label3, Label1, Label2})
            widest = std::max(widest, metrics.horizontalAdvance(label->text()));
        if (widest <= room || font.pixelSize() <= 11)
            break;
        font.setPixelSize(std::max(11, std::min(font.pixelSize() - 1, font.pixelSize() * room / widest)));
    }
    for (QLabel* label : {Label3, Label1, Label2})
        label->setFont(font);
}

}  // namespace qismar
