// The notice on the program's legal basis.
#include "shell/notice_window.h"

#include "ui/picture.h"
#include "ui/ui_common.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace qismar {

namespace {

constexpr int kMargin = 16;

}  // namespace

NoticeWindow::NoticeWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("noticeWindow"));
    setWindowTitle(QStringLiteral("تنبيه"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setLayoutDirection(Qt::RightToLeft);
    setFixedSize(530, 218);
    // Opens at its designed place, not centred.
    move(248, 186);

    picture_ = ui::Picture::background(QStringLiteral(":/pictures/note.svg"), this);
    picture_->setObjectName(QStringLiteral("picture"));

    const QFont font = ui::layoutFont(QStringLiteral("Mudir MT"), 16, true);
    lines_ = {ui::plainLabel("lawLine", QStringLiteral("هذا البرنامج يعمل وفق ترجيحات القانون السوداني"), font,
                             Qt::black, this),
              ui::plainLabel("userLine",
                             QStringLiteral("وهو مصمم على أساس أن المستخدم ليس لديه أي إلمام بعلم الفرائض"), font,
                             Qt::black, this),
              ui::plainLabel("explanationLine", QStringLiteral("ومن شاء عرف كيف قُسمت المسألة من «بيان المسألة»"),
                             font, Qt::black, this)};

    doneButton_ = new QPushButton(QStringLiteral("تم"), this);
    doneButton_->setObjectName(QStringLiteral("doneButton"));
    doneButton_->setMinimumWidth(75);
    doneButton_->setDefault(true);
    connect(doneButton_, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, 18, kMargin, 16);
    layout->setSpacing(6);
    layout->addStretch(1);
    for (QLabel* line : lines_)
        layout->addWidget(line);
    layout->addStretch(2);
    layout->addWidget(doneButton_, 0, Qt::AlignHCenter);
}

NoticeWindow::~NoticeWindow() = default;

void NoticeWindow::setVisible(bool visible)
{
    // Fitted when the window is first shown: measuring text loads fonts.
    if (visible && !fitted_) {
        fitted_ = true;
        fitLines();
    }
    QDialog::setVisible(visible);
}

void NoticeWindow::fitLines()
{
    // The face that stands in for the layout's narrow display face may be
    // wider: it is made smaller, in proportion, until every line fits
    // across the window.
    const int room = width() - 2 * kMargin - 32;
    QFont font = lines_[0]->font();
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QLabel* line : lines_)
            widest = std::max(widest, metrics.horizontalAdvance(line->text()));
        if (widest <= room || font.pixelSize() <= 11)
            break;
        font.setPixelSize(std::max(11, std::min(font.pixelSize() - 1, font.pixelSize() * room / widest)));
    }
    for (QLabel* line : lines_)
        line->setFont(font);
}

}  // namespace qismar
