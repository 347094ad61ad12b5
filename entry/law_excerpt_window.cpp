// The information window that shows an article of the law.
#include "entry/law_excerpt_window.h"

#include "ui/picture.h"
#include "ui/ui_common.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextOption>

namespace qismar {

LawExcerptWindow::LawExcerptWindow()
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

    background = ui::Picture::background(QStringLiteral(":/pictures/report.svg"), this);
    background->setObjectName(QStringLiteral("background"));

    excerptText = new QPlainTextEdit(this);
    excerptText->setObjectName(QStringLiteral("excerptText"));
    excerptText->setGeometry(64, 48, 489, 257);
    excerptText->setReadOnly(true);
    excerptText->setLayoutDirection(Qt::RightToLeft);
    excerptText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    excerptText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    excerptText->setFont(ui::layoutFont(QStringLiteral("Traditional Arabic Backslanted"), 19, true));
    QTextOption option = excerptText->document()->defaultTextOption();
    option.setTextDirection(Qt::RightToLeft);
    option.setAlignment(Qt::AlignRight);
    option.setWrapMode(QTextOption::WordWrap);
    excerptText->document()->setDefaultTextOption(option);
    QPalette palette = excerptText->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, Qt::white);
        palette.setColor(group, QPalette::Text, ui::kTextRed);
    }
    excerptText->setPalette(palette);
    excerptText->setAccessibleName(QStringLiteral("نص المادة من القانون"));

    closeButton = new QPushButton(QStringLiteral("إغلاق"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setGeometry(264, 312, 75, 25);
    // Enter, Escape and the close box all close the window, as "إغلاق" does.
    closeButton->setDefault(true);
    connect(closeButton, &QPushButton::clicked, this, [this] { accept(); });
}

}  // namespace qismar
