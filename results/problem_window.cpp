#include "results/problem_window.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "results/division_report.h"
#include "ui/picture.h"
#include "ui/ui_common.h"
#include "results/window_border.h"

namespace qismar {

namespace {
// The widest the column of reasons grows before its sentences wrap, and the
// narrowest it is made to keep the table within a small screen.
constexpr int kReasonWidth = 300;
constexpr int kNarrowestReason = 160;
}  // namespace

ProblemWindow::ProblemWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("problemWindow"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("بيان المسألة"));
    setWindowIcon(ui::programIcon());
    setLayoutDirection(Qt::RightToLeft);
    setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 11));
    ui::Picture::background(QStringLiteral(":/pictures/results.svg"), this)->setObjectName(QStringLiteral("background"));

    auto* layout = new QVBoxLayout(this);
    // Inside the ornaments of the picture's border.
    layout->setContentsMargins(34, 24, 34, 22);
    layout->setSpacing(8);

    sentences = new QLabel(this);
    sentences->setObjectName(QStringLiteral("sentences"));
    sentences->setWordWrap(true);
    // Laid out as a document, so that long sentences of mixed Arabic and
    // numbers wrap within the box.
    sentences->setTextFormat(Qt::RichText);
    sentences->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignTop);
    sentences->setAccessibleName(QStringLiteral("بيان المسألة: أصلها وعولها أو ردها وتصحيحها"));
    layout->addWidget(sentences);

    table = new QTableWidget(this);
    table->setObjectName(QStringLiteral("problemTable"));
    table->setAccessibleName(QStringLiteral("جدول المسألة"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(true);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    // Columns as narrow as their texts, so that the reasons keep room on a
    // small screen.
    table->horizontalHeader()->setMinimumSectionSize(24);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(table, 1);

    doneButton = new QPushButton(QStringLiteral("تم"), this);
    doneButton->setObjectName(QStringLiteral("doneButton"));
    doneButton->setAccessibleName(QStringLiteral("تم، إغلاق بيان المسألة"));
    doneButton->setDefault(true);
    connect(doneButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(doneButton);
    buttons->addStretch();
    layout->addLayout(buttons);
}

void ProblemWindow::showReport(const results::DivisionReport& report)
{
    QStringList text;
    if (report.preparation)
        text << report.preparation->notes;
    const results::ReportSection* problem = report.problem ? &*report.problem : nullptr;
    if (problem)
        text << problem->paragraphs;
    QString html;
    for (const QString& sentence : text)
        html += QStringLiteral("<p dir=\"rtl\" style=\"margin: 0 0 4px 0\">") + sentence.toHtmlEscaped() +
                QStringLiteral("</p>");
    sentences->setText(html);

    table->clear();
    const results::ReportTable empty;
    const results::ReportTable& t = problem ? problem->table : empty;
    table->setColumnCount(int(t.header.size()));
    table->setRowCount(int(t.rows.size()));
    // A long column name on two lines, so that the columns stay narrow
    // enough for the reasons on a small screen.
    QStringList header;
    for (const QString& name : t.header) {
        const qsizetype middle = name.size() / 2;
        const qsizetype before = name.lastIndexOf(QLatin1Char(' '), middle);
        const qsizetype after = name.indexOf(QLatin1Char(' '), middle);
        qsizetype cut = before < 0 ? after : (after < 0 || middle - before <= after - middle ? before : after);
        header << (name.size() > 9 && cut > 0 ? name.left(cut) + QLatin1Char('\n') + name.mid(cut + 1) : name);
    }
    table->setHorizontalHeaderLabels(header);
    for (int c = 0; c < table->columnCount(); ++c)
        if (QTableWidgetItem* item = table->horizontalHeaderItem(c))
            item->setData(Qt::AccessibleTextRole, t.header[c]);
    for (int r = 0; r < int(t.rows.size()); ++r) {
        const results::ReportRow& row = t.rows[std::size_t(r)];
        for (int c = 0; c < int(row.size()); ++c) {
            auto* item = new QTableWidgetItem(row[std::size_t(c)].text);
            item->setData(Qt::AccessibleTextRole, row[std::size_t(c)].exact);
            // Words read from the right; the numbers and fractions stand in the middle.
            const QString& cell = row[std::size_t(c)].text;
            const bool number = !cell.isEmpty() && (cell.front().isDigit() || cell.front() == QChar(0x2014));
            item->setTextAlignment(number ? Qt::AlignCenter : (Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter));
            item->setToolTip(row.back().text);
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
    const int last = table->columnCount() - 1;
    // A little air on each side of the numbers.
    for (int c = 0; c < last; ++c)
        table->setColumnWidth(c, table->columnWidth(c) + 10);
    if (last >= 0 && table->columnWidth(last) > kReasonWidth)
        table->setColumnWidth(last, kReasonWidth);
    table->resizeRowsToContents();

    // As wide as the table, as tall as its rows, within the screen.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    auto tableWidthNow = [this] {
        int w = table->frameWidth() * 2 + table->verticalScrollBar()->sizeHint().width();
        for (int c = 0; c < table->columnCount(); ++c)
            w += table->columnWidth(c);
        return w;
    };
    int tableWidth = tableWidthNow();
    const int width = std::min(results::windowWidthFor(std::max(tableWidth, 420)), available.width() - ui::kFrameWidth);
    const int side = results::sideMarginFor(width);
    QMargins m = layout()->contentsMargins();
    m.setLeft(side);
    m.setRight(side);
    layout()->setContentsMargins(m);
    const int inner = width - m.left() - m.right();
    if (tableWidth > inner && last >= 0) {
        // The reasons wrap into more lines before the table needs scrolling sideways.
        table->setColumnWidth(last, std::max(kNarrowestReason, table->columnWidth(last) - (tableWidth - inner)));
        tableWidth = tableWidthNow();
    }
    table->resizeRowsToContents();
    int tableHeight = table->frameWidth() * 2 + table->horizontalHeader()->sizeHint().height();
    for (int r = 0; r < table->rowCount(); ++r)
        tableHeight += table->rowHeight(r);
    if (tableWidth > inner)
        tableHeight += table->horizontalScrollBar()->sizeHint().height();
    sentences->setFixedWidth(inner);
    sentences->setMinimumHeight(0);
    sentences->setMaximumHeight(QWIDGETSIZE_MAX);
    const int sentencesHeight = sentences->heightForWidth(inner);
    sentences->setFixedHeight(sentencesHeight);
    const int fixed = m.top() + m.bottom() + sentencesHeight + doneButton->sizeHint().height() + 2 * layout()->spacing();
    const int height = std::min(fixed + tableHeight, available.height() - ui::kFrameHeight);
    table->setMinimumHeight(std::min(tableHeight, std::max(80, height - fixed)));
    table->setMinimumWidth(std::min(tableWidth, inner));
    resize(width, height);
    ui::centreOnScreen(this);
}

}  // namespace qismar
