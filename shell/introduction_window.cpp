// The introduction: read once while the program starts, shown by "مقدمة".
#include "shell/introduction_window.h"

#include "ui/picture.h"
#include "ui/text_area.h"
#include "ui/text_file.h"
#include "ui/ui_common.h"

#include <QPushButton>

namespace qismar {

QString introductionFile()
{
    return QStringLiteral("introduc.txt");
}

QByteArray readIntroduction()
{
    return ui::readDataFile(introductionFile()).bytes;
}

IntroductionWindow::IntroductionWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("introductionWindow"));
    setWindowTitle(QStringLiteral("المقدمة"));
    // A title bar without any buttons: "تم" is the way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setLayoutDirection(Qt::RightToLeft);
    setFixedSize(640, 479);

    ui::centreOnFirstShow(this);
    picture_ = ui::Picture::background(QStringLiteral(":/pictures/introduction.svg"), this);
    picture_->setObjectName(QStringLiteral("picture"));

    textArea_ = ui::TextArea::reading(this, QColor(255, 255, 128), ui::kTextMaroon,
                                      ui::layoutFont(QStringLiteral("Simplified Arabic"), 16, true));
    textArea_->setReadOnly(true);
    textArea_->setGeometry(71, 64, 497, 297);
    textArea_->setAccessibleName(QStringLiteral("المقدمة"));

    doneButton_ = ui::pushButton(QStringLiteral("تم"), "doneButton", this);
    doneButton_->setGeometry(282, 395, 75, 28);
    doneButton_->setDefault(true);
    connect(doneButton_, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
}

IntroductionWindow::~IntroductionWindow() = default;

void IntroductionWindow::setText(const QByteArray& cp1256Text)
{
    textArea_->setCp1256ForShowing(cp1256Text);
}

}  // namespace qismar
