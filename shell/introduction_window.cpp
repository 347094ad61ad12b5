// The introduction: read once while the program starts, shown by "مقدمة".
#include "shell/introduction_window.h"

#include "ui/picture.h"
#include "ui/text_area.h"
#include "ui/text_file.h"
#include "ui/ui_common.h"

#include <QPushButton>

namespace qismar {

TfmIntroduc* fmIntroduc = nullptr;

TfmIntroduc::TfmIntroduc(QWidget* parent) : QDialog(parent)
{
    fmIntroduc = this;
    setObjectName(QStringLiteral("fmIntroduc"));
    setWindowTitle(QStringLiteral("المقدمة"));
    // A title bar without any buttons: "تم" is the way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setLayoutDirection(Qt::RightToLeft);
    setFixedSize(640, 479);

    ui::centreOnFirstShow(this);
    Image1 = ui::Picture::background(QStringLiteral(":/pictures/introduction.svg"), this);
    Image1->setObjectName(QStringLiteral("Image1"));

    Memo1 = ui::TextArea::reading(this, QColor(255, 255, 128), ui::kTextMaroon, ui::layoutFont(QStringLiteral("Simplified Arabic"), 16, true));
    Memo1->setReadOnly(true);
    Memo1->setGeometry(71, 64, 497, 297);
    Memo1->setAccessibleName(QStringLiteral("المقدمة"));

    Button1 = ui::pushButton(QStringLiteral("تم"), "Button1", this);
    Button1->setGeometry(282, 395, 75, 28);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TfmIntroduc::Button1Click);
}

TfmIntroduc::~TfmIntroduc()
{
    if (fmIntroduc == this)
        fmIntroduc = nullptr;
}

void TfmIntroduc::FormCreate()
{
    // Read now, so that a missing or refused file is reported while the
    // program starts; decoded and laid out when the window is first shown.
    Memo1->setCp1256ForShowing(ui::readDataFile(QStringLiteral("introduc.txt")).bytes);
}

void TfmIntroduc::Button1Click()
{
    done(QDialog::Accepted);
}

}  // namespace qismar
