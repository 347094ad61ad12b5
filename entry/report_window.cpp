// The information window that shows a law excerpt.
#include "entry/report_window.h"

#include "ui/picture.h"
#include "ui/ui_common.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextOption>

namespace qismar {

Treport* report = nullptr;

Treport::Treport()
{
    setObjectName(QStringLiteral("report"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("معلومات"));
    setWindowIcon(ui::programIcon());
    setLayoutDirection(Qt::RightToLeft);
    setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 11));
    ui::setLayoutSize(this, 622, 410);
    ui::centreOnScreen(this);

    Image1 = ui::Picture::background(QStringLiteral(":/pictures/report.svg"), this);
    Image1->setObjectName(QStringLiteral("Image1"));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(64, 48, 489, 257);
    Memo1->setReadOnly(true);
    Memo1->setLayoutDirection(Qt::RightToLeft);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(ui::layoutFont(QStringLiteral("Traditional Arabic Backslanted"), 19, true));
    QTextOption option = Memo1->document()->defaultTextOption();
    option.setTextDirection(Qt::RightToLeft);
    option.setAlignment(Qt::AlignRight);
    option.setWrapMode(QTextOption::WordWrap);
    Memo1->document()->setDefaultTextOption(option);
    QPalette palette = Memo1->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, Qt::white);
        palette.setColor(group, QPalette::Text, ui::kTextRed);
    }
    Memo1->setPalette(palette);
    Memo1->setAccessibleName(QStringLiteral("نص المادة من القانون"));

    Button1 = new QPushButton(QStringLiteral("إغلاق"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(264, 312, 75, 25);
    // Enter, Escape and the close box all close the window, as "إغلاق" does.
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { accept(); });

    report = this;
}

Treport::~Treport()
{
    if (report == this)
        report = nullptr;
}

}  // namespace qismar
