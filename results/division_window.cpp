// The results window: one line per present relative with the caption, the
// count, the amount of each head, the class total and the percentage.
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "results/amount_cell.h"
#include "results/amount_text.h"
#include "results/division_report.h"
#include "results/division_window.h"
#include "engine/invariants.h"
#include "ui/picture.h"
#include "engine/preparation.h"
#include "results/problem_window.h"
#include "results/report_printing.h"
#include "ui/ui_common.h"
#include "results/window_border.h"

namespace qismar {

TfmDivision* fmDivision = nullptr;

std::function<QString(QWidget*, const QString&)> TfmDivision::choosePdfPath = [](QWidget* parent,
                                                                                 const QString& suggested) {
    // The program's own dialog, so that it speaks Arabic on every desktop.
    QFileDialog dialog(parent, QStringLiteral("حفظ تقرير القسمة"));
    dialog.setObjectName(QStringLiteral("pdfFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("ملفات PDF (*.pdf)"), QStringLiteral("كل الملفات (*)")});
    // A name typed without an ending gets ".pdf" here, before the dialog
    // asks whether a file of that name is to be replaced.
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(suggested);
    // Wide enough for the Arabic captions of its buttons, and within a
    // screen of 1024 x 600.
    dialog.resize(720, 440);
    // Right to left, a small button with a picture draws its Arabic caption
    // partly outside itself: the buttons go without their pictures.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        for (QAbstractButton* button : buttons->buttons())
            button->setIcon(QIcon());
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.front();
};

namespace {

using results::AmountCell;

constexpr int kLineHeight = 21;
constexpr int kGap = 6;
constexpr int kRightPad = 4;
constexpr int kMinCaption = 110;
constexpr int kMinCount = 44;
constexpr int kMinAmount = 85;
constexpr int kMinPercent = 70;

const QColor kLineColour(255, 128, 64);

// How the window spells the engine's marker of an excluded relative.
QString nothingForHimShown() { return QStringLiteral("لا شيء له"); }

// A line's caption as the window spells it.
QString shownCaption(const QString& caption)
{
    if (caption == QLatin1String("أم أبو الأب"))
        return QStringLiteral("أم أبي الأب");
    return caption;
}

QString remainderTip()
{
    // What the rows leave of the estate goes to the distant kindred, whom
    // this program does not divide among, and it is not returned to a
    // spouse while any of them exists.
    return QStringLiteral(
        "هذا الباقي لذوي الأرحام، وهذا البرنامج لا يقسم بينهم، ولا يُردّ على الزوج أو الزوجة ما دام أحد منهم موجوداً");
}

QPalette linePalette(const QPalette& base)
{
    QPalette palette = base;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, kLineColour);
        palette.setColor(group, QPalette::Window, kLineColour);
        palette.setColor(group, QPalette::Text, Qt::black);
        palette.setColor(group, QPalette::WindowText, Qt::black);
    }
    return palette;
}

AmountCell* newCell(QWidget* parent, const QString& name, const QPalette& palette)
{
    auto* cell = new AmountCell(parent);
    cell->setObjectName(name);
    cell->setPalette(palette);
    cell->hide();
    return cell;
}

QLabel* newLabel(QWidget* parent, const QString& name, const QString& text, Qt::Alignment alignment)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(alignment | Qt::AlignAbsolute | Qt::AlignVCenter);
    label->hide();
    return label;
}

// Places a widget `right` pixels from the right edge of its parent of width `parentWidth`.
void placeFromRight(QWidget* w, int parentWidth, int right, int width, int top)
{
    w->setGeometry(parentWidth - right - width, top, width, kLineHeight);
}

QString countText(HeadCount heads) { return QString::number(heads.persons()); }

}  // namespace

TfmDivision::TfmDivision()
{
    setObjectName(QStringLiteral("fmDivision"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("قسمة الأنصبة"));
    setWindowIcon(ui::programIcon());
    setLayoutDirection(Qt::RightToLeft);
    setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 11));

    Image1 = ui::Picture::background(QStringLiteral(":/pictures/results.svg"), this);
    Image1->setObjectName(QStringLiteral("Image1"));

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Inside the ornaments of the picture's border.
    layout->setContentsMargins(34, 24, 34, 22);
    layout->setSpacing(6);

    estateText = new QLabel(this);
    estateText->setObjectName(QStringLiteral("estateText"));
    estateText->setWordWrap(true);
    estateText->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignTop);
    // Laid out as a document, so that long sentences of mixed Arabic and
    // numbers wrap within the box.
    estateText->setTextFormat(Qt::RichText);
    estateText->setAccessibleName(QStringLiteral("التركة المقسومة"));
    layout->addWidget(estateText);

    headerBox = new QWidget(this);
    headerBox->setObjectName(QStringLiteral("headerBox"));
    layout->addWidget(headerBox);

    linesArea = new QScrollArea(this);
    linesArea->setObjectName(QStringLiteral("linesArea"));
    linesArea->setFrameShape(QFrame::NoFrame);
    linesArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    linesArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    linesArea->setAlignment(Qt::AlignRight | Qt::AlignTop);
    linesArea->setWidgetResizable(false);
    linesArea->setAccessibleName(QStringLiteral("أنصبة الورثة"));
    linesArea->viewport()->setAutoFillBackground(false);
    linesBox = new QWidget;
    linesBox->setObjectName(QStringLiteral("linesBox"));
    linesBox->setAutoFillBackground(false);
    linesArea->setWidget(linesBox);
    // (setWidget gives the scrolled widget a background; the window's picture shows through instead.)
    linesBox->setAutoFillBackground(false);
    layout->addWidget(linesArea);

    const struct {
        const char* name;
        QString text;
    } headers[] = {{"headCaption", QStringLiteral("الوارث")},     {"headCount", QStringLiteral("العدد")},
                   {"headAmount", QStringLiteral("نصيب الفرد")},  {"headTotal", QStringLiteral("نصيب الفئة")},
                   {"headPercent", QStringLiteral("نسبة الفرد")}};
    QFont bold = font();
    bold.setBold(true);
    for (const auto& h : headers) {
        QLabel* label = newLabel(headerBox, QString::fromLatin1(h.name), h.text, Qt::AlignCenter);
        label->setFont(bold);
        label->show();
    }
    headerBox->findChild<QLabel*>(QStringLiteral("headPercent"))
        ->setToolTip(QStringLiteral("نسبة نصيب كل فرد من التركة المقسومة"));

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch();
    Button1 = new QPushButton(QStringLiteral("تم"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAccessibleName(QStringLiteral("تم، إنهاء القسمة ومسح المسألة"));
    // Enter presses "تم"; Escape and the close box do what it does.
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { ui::guarded([this] { Button1Click(); }, this); });

    struct Action {
        QPushButton** button;
        const char* name;
        QString caption, accessible;
        QKeySequence keys;
        void (TfmDivision::*run)();
    };
    const Action actions[] = {
        {&btnProblem, "btnProblem", QStringLiteral("بيان المسألة"), QStringLiteral("بيان المسألة: أصلها وسهام الورثة"),
         QKeySequence(Qt::CTRL | Qt::Key_B), &TfmDivision::showProblem},
        {&btnPrint, "btnPrint", QStringLiteral("طباعة"), QStringLiteral("طباعة تقرير القسمة"),
         QKeySequence(Qt::CTRL | Qt::Key_P), &TfmDivision::printReport},
        {&btnPdf, "btnPdf", QStringLiteral("حفظ PDF"), QStringLiteral("حفظ تقرير القسمة في ملف PDF"),
         QKeySequence(Qt::CTRL | Qt::Key_S), &TfmDivision::saveReportPdf},
        {&btnCopy, "btnCopy", QStringLiteral("نسخ"), QStringLiteral("نسخ تقرير القسمة إلى الحافظة"),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &TfmDivision::copyReport},
    };
    buttons->addWidget(Button1);
    for (const Action& a : actions) {
        auto* button = new QPushButton(a.caption, this);
        button->setObjectName(QString::fromLatin1(a.name));
        button->setAccessibleName(a.accessible);
        button->setToolTip(a.accessible + QStringLiteral(" (") + a.keys.toString(QKeySequence::NativeText) +
                           QStringLiteral(")"));
        // A focused button takes Enter for itself.
        button->setAutoDefault(true);
        const auto run = a.run;
        connect(button, &QPushButton::clicked, this, [this, run] { ui::guarded([this, run] { (this->*run)(); }, this); });
        // The keys act at once, as the button's own click does (a button's
        // shortcut would first show it pressed for a moment).
        auto* keys = new QShortcut(a.keys, this);
        keys->setObjectName(QString::fromLatin1(a.name) + QStringLiteral("Keys"));
        connect(keys, &QShortcut::activated, button, [button] {
            if (button->isEnabled())
                button->click();
        });
        *a.button = button;
        buttons->addWidget(button);
    }
    buttons->addStretch();
    layout->addLayout(buttons);

    fmDivision = this;
}

TfmDivision::~TfmDivision()
{
    if (fmDivision == this)
        fmDivision = nullptr;
}

void TfmDivision::buildLines()
{
    if (amounts[0])
        return;
    const QPalette palette = linePalette(this->palette());
    for (int i = 0; i < kHeirCount; ++i) {
        const HeirInfo& info = heirInfo(heirAt(i));
        const QString number = QString::number(info.line);
        const QString captionText =
            shownCaption(QString::fromUtf8(info.rowCaption.data(), qsizetype(info.rowCaption.size()))).trimmed();

        amounts[std::size_t(i)] =
            newCell(linesBox, QString::fromLatin1(info.key.data(), qsizetype(info.key.size())), palette);
        captions[std::size_t(i)] = newLabel(linesBox, QStringLiteral("nd") + number, captionText, Qt::AlignRight);
        counts[std::size_t(i)] = newLabel(linesBox, QStringLiteral("nc") + number, QString(), Qt::AlignCenter);
        classTotals[std::size_t(i)] =
            newCell(linesBox, QStringLiteral("nt") + number, palette);
        percentages[std::size_t(i)] =
            newCell(linesBox, QStringLiteral("ns") + number, palette);

        amounts[std::size_t(i)]->setAccessibleName(captionText + QStringLiteral("، نصيب الفرد"));
        classTotals[std::size_t(i)]->setAccessibleName(captionText + QStringLiteral("، نصيب الفئة"));
        percentages[std::size_t(i)]->setAccessibleName(captionText + QStringLiteral("، النسبة"));
        counts[std::size_t(i)]->setAccessibleName(captionText + QStringLiteral("، العدد"));
        captions[std::size_t(i)]->setAccessibleName(captionText);
    }

    totalCaption = newLabel(linesBox, QStringLiteral("totalCaption"), QStringLiteral("مجموع الأنصبة"), Qt::AlignRight);
    totalCaption->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 11, true));
    totalCount = newLabel(linesBox, QStringLiteral("totalCount"), QString(), Qt::AlignCenter);
    totalCount->setAccessibleName(QStringLiteral("مجموع الورثة، العدد"));
    totalAmount = newCell(linesBox, QStringLiteral("totalAmount"), palette);
    totalAmount->setAccessibleName(QStringLiteral("مجموع الأنصبة"));
    totalPercentage = newCell(linesBox, QStringLiteral("totalPercentage"), palette);
    totalPercentage->setAccessibleName(QStringLiteral("مجموع الأنصبة، النسبة"));
    totalPercentage->setToolTip(QStringLiteral("ما أخذه الورثة جميعاً من التركة المقسومة"));

    undistributedCaption =
        newLabel(linesBox, QStringLiteral("undistributedCaption"), QStringLiteral("الباقي دون توزيع"), Qt::AlignRight);
    undistributedCaption->setToolTip(remainderTip());
    undistributedAmount = newCell(linesBox, QStringLiteral("undistributedAmount"), palette);
    undistributedAmount->setAccessibleName(QStringLiteral("الباقي دون توزيع"));
    undistributedAmount->setToolTip(remainderTip());
    undistributedPercentage = newCell(linesBox, QStringLiteral("undistributedPercentage"), palette);
    undistributedPercentage->setAccessibleName(QStringLiteral("الباقي دون توزيع، النسبة"));
    undistributedPercentage->setToolTip(remainderTip());

}

void TfmDivision::setRows(const ResultRows& rows)
{
    rows_ = rows;
    percentages_ = {};
    undistributed_.reset();
    undistributedPercent_.reset();
    divided_ = false;
}

void TfmDivision::applyDivision(const EstateCase& estateCase, const DivisionResult& result,
                                const Explanation& explanation)
{
    rows_ = result.rows;
    percentages_ = result.percentages;
    undistributed_ = result.undistributed;
    undistributedPercent_ = result.undistributedPercent;
    case_ = estateCase;
    result_ = result;
    explanation_ = explanation;
    divided_ = result.outcome == Outcome::Divided;
}

void TfmDivision::clearRows(const std::vector<Heir>& rows)
{
    for (Heir row : rows)
        rows_[std::size_t(index(row))] = RowText::empty();
}

std::vector<Heir> TfmDivision::shownRows() const
{
    std::vector<Heir> out;
    for (int i = 0; i < kHeirCount; ++i)
        if (amounts[std::size_t(i)]->isVisibleTo(linesBox))
            out.push_back(heirAt(i));
    std::sort(out.begin(), out.end(), [this](Heir a, Heir b) { return amount(a)->y() < amount(b)->y(); });
    return out;
}

void TfmDivision::FormShow()
{
    buildLines();
    HideAllLines();
    const QFontMetrics metrics(font());
    QFont boldFont = font();
    boldFont.setBold(true);
    const QFontMetrics boldMetrics(boldFont);
    auto widthOf = [&metrics](const QString& text) { return metrics.horizontalAdvance(text); };

    // What each line shows.
    struct Line {
        int index;
        bool nothing;
        QString perHead, total, percent, count;
    };
    std::vector<Line> lines;
    std::int64_t heads = 0;
    __int128 sum = 0;
    for (int i = 0; i < kHeirCount; ++i) {
        const RowText& row = rows_[std::size_t(i)];
        if (row.isEmpty())
            continue;
        Line line{i, row.kind == RowText::Kind::NothingForHim || row.value().isZero(), {}, {}, {}, {}};
        const HeadCount n = divided_ ? HeadsOf(case_, heirAt(i)) : HeadCount();
        if (divided_) {
            line.count = countText(n);
            heads += n.persons();
        }
        if (!line.nothing) {
            line.perHead = results::amountText(row.amount);
            if (divided_)
                if (const std::optional<Currency> total = results::classTotal(row.amount, n)) {
                    line.total = results::amountText(*total);
                    sum += total->raw();
                }
            if (const auto& p = percentages_[std::size_t(i)])
                line.percent = results::amountText(*p);
        }
        lines.push_back(std::move(line));
    }
    const bool showTotal = divided_ && !lines.empty();
    const Currency heirsTotal = Currency::fromRaw(std::int64_t(sum));
    const Currency hundred = Currency::fromWhole(100);
    const Currency heirsPercent =
        undistributedPercent_ ? subtractExact(hundred, *undistributedPercent_) : hundred;

    // The columns, as wide as their widest text.
    int captionWidth = std::max(kMinCaption, boldMetrics.horizontalAdvance(totalCaption->text()) + 8);
    int countWidth = std::max(kMinCount, widthOf(QStringLiteral("العدد")) + 12);
    int amountWidth = std::max(kMinAmount, boldMetrics.horizontalAdvance(QStringLiteral("نصيب الفئة")) + 12);
    int percentWidth = std::max(kMinPercent, widthOf(QStringLiteral("%100.0000")) + 14);
    auto widen = [&](const QString& amountExact) {
        amountWidth = std::max(amountWidth, widthOf(results::groupedAmount(amountExact)) + 14);
    };
    for (const Line& l : lines) {
        captionWidth = std::max(captionWidth, widthOf(captions[std::size_t(l.index)]->text()) + 8);
        countWidth = std::max(countWidth, widthOf(l.count) + 12);
        widen(l.perHead);
        widen(l.total);
    }
    if (showTotal) {
        widen(results::amountText(heirsTotal));
        countWidth = std::max(countWidth, widthOf(QString::number(heads)) + 12);
    }
    if (undistributed_)
        widen(results::amountText(*undistributed_));
    const int xCaption = kRightPad;
    const int xCount = xCaption + captionWidth + kGap;
    const int xAmount = xCount + countWidth + kGap;
    const int xTotal = xAmount + amountWidth + kGap;
    const int xPercent = xTotal + amountWidth + kGap;
    const int linesWidth = xPercent + percentWidth + kRightPad;

    // The lines, stacked from the top without gaps.
    int top = 2;
    for (const Line& l : lines) {
        const std::size_t k = std::size_t(l.index);
        const QString caption = captions[k]->text();
        placeFromRight(captions[k], linesWidth, xCaption, captionWidth, top);
        placeFromRight(counts[k], linesWidth, xCount, countWidth, top);
        counts[k]->setText(l.count);
        QString description = caption;
        if (!l.count.isEmpty())
            description += QStringLiteral(": العدد ") + l.count;
        if (l.nothing) {
            // "لا شيء له" across the two amounts, and no percentage box.
            amounts[k]->setExact(nothingForHimShown());
            placeFromRight(amounts[k], linesWidth, xAmount, 2 * amountWidth + kGap, top);
            description += QStringLiteral("، ") + nothingForHimShown();
            QString reason;
            for (const HeirExplanation& h : explanation_.heirs)
                if (h.row == heirAt(l.index))
                    reason = QString::fromStdString(h.reason);
            amounts[k]->setToolTip(reason);
            captions[k]->setToolTip(reason);
            if (!reason.isEmpty())
                description += QStringLiteral(" (") + reason + QStringLiteral(")");
        } else {
            amounts[k]->setExact(l.perHead);
            amounts[k]->setToolTip(QString());
            captions[k]->setToolTip(QString());
            placeFromRight(amounts[k], linesWidth, xAmount, amountWidth, top);
            description += QStringLiteral("، نصيب الفرد ") + l.perHead;
            if (!l.total.isEmpty()) {
                classTotals[k]->setExact(l.total);
                placeFromRight(classTotals[k], linesWidth, xTotal, amountWidth, top);
                classTotals[k]->show();
                description += QStringLiteral("، نصيب الفئة ") + l.total;
            }
            if (!l.percent.isEmpty()) {
                percentages[k]->setExact(l.percent, QStringLiteral("%"));
                placeFromRight(percentages[k], linesWidth, xPercent, percentWidth, top);
                percentages[k]->show();
                description += QStringLiteral("، النسبة %") + l.percent;
            }
        }
        // A screen reader reads the whole line from the amount.
        amounts[k]->setAccessibleDescription(description);
        for (QWidget* w : {static_cast<QWidget*>(captions[k]), static_cast<QWidget*>(counts[k]),
                           static_cast<QWidget*>(amounts[k])})
            w->show();
        top += kLineStep;
    }
    if (showTotal) {
        placeFromRight(totalCaption, linesWidth, xCaption, captionWidth, top);
        placeFromRight(totalCount, linesWidth, xCount, countWidth, top);
        totalCount->setText(QString::number(heads));
        placeFromRight(totalAmount, linesWidth, xTotal, amountWidth, top);
        totalAmount->setExact(results::amountText(heirsTotal));
        placeFromRight(totalPercentage, linesWidth, xPercent, percentWidth, top);
        totalPercentage->setExact(results::amountText(heirsPercent), QStringLiteral("%"));
        totalAmount->setAccessibleDescription(QStringLiteral("مجموع الأنصبة: العدد %1، المبلغ %2، النسبة %3")
                                                  .arg(heads)
                                                  .arg(totalAmount->exact(), totalPercentage->exact()));
        for (QWidget* w : {static_cast<QWidget*>(totalCaption), static_cast<QWidget*>(totalCount),
                           static_cast<QWidget*>(totalAmount), static_cast<QWidget*>(totalPercentage)})
            w->show();
        top += kLineStep;
    }
    if (undistributed_) {
        placeFromRight(undistributedCaption, linesWidth, xCaption, captionWidth, top);
        placeFromRight(undistributedAmount, linesWidth, xTotal, amountWidth, top);
        undistributedAmount->setExact(results::amountText(*undistributed_));
        if (undistributedPercent_) {
            placeFromRight(undistributedPercentage, linesWidth, xPercent, percentWidth, top);
            undistributedPercentage->setExact(results::amountText(*undistributedPercent_), QStringLiteral("%"));
            undistributedPercentage->show();
        }
        undistributedAmount->setAccessibleDescription(undistributedCaption->text() + QStringLiteral(": ") +
                                                      undistributedAmount->exact() + QStringLiteral("، ") +
                                                      undistributedPercentage->exact());
        undistributedCaption->show();
        undistributedAmount->show();
        top += kLineStep;
    }
    linesBox->resize(linesWidth, top + 2);

    // The names of the columns, above the same places.
    const int scrollBar = linesArea->verticalScrollBar()->sizeHint().width();
    const int areaWidth = linesWidth + scrollBar;
    headerBox->setFixedSize(areaWidth, kLineHeight);
    const struct {
        const char* name;
        int x, width;
    } columns[] = {{"headCaption", xCaption, captionWidth}, {"headCount", xCount, countWidth},
                   {"headAmount", xAmount, amountWidth},   {"headTotal", xTotal, amountWidth},
                   {"headPercent", xPercent, percentWidth}};
    for (const auto& c : columns)
        placeFromRight(headerBox->findChild<QLabel*>(QString::fromLatin1(c.name)), areaWidth, c.x, c.width, 0);

    // The estate divided, and how it came from the estate entered.
    QStringList estate;
    if (divided_) {
        if (result_.preparation) {
            for (const std::string& s : PreparationSentences(*result_.preparation))
                estate << results::withGroupedNumbers(QString::fromStdString(s));
            estate << QStringLiteral("النسب المئوية من صافي التركة المقسومة (%1)، لا من التركة قبل التجهيز")
                          .arg(results::groupedAmount(results::amountText(result_.preparation->net)));
        } else {
            estate << QStringLiteral("التركة المقسومة: ") + results::groupedAmount(results::amountText(case_.estate));
        }
    }
    QStringList paragraphs;
    for (const QString& sentence : estate)
        paragraphs << QStringLiteral("<p dir=\"rtl\" style=\"margin: 0 0 3px 0\">") + sentence.toHtmlEscaped() +
                          QStringLiteral("</p>");
    estateText->setText(paragraphs.join(QString()));
    estateText->setVisible(!estate.isEmpty());
    for (QPushButton* b : {btnProblem, btnPrint, btnPdf, btnCopy})
        b->setEnabled(divided_);

    layOut();
}

void TfmDivision::layOut()
{
    const int areaWidth = headerBox->width();
    int buttonsWidth = 0;
    for (QPushButton* b : {Button1, btnProblem, btnPrint, btnPdf, btnCopy})
        buttonsWidth += b->sizeHint().width() + 8;
    const int contentWidth = std::max(areaWidth, buttonsWidth);
    const int side = results::sideMarginFor(results::windowWidthFor(contentWidth));
    QMargins margins = layout()->contentsMargins();
    margins.setLeft(side);
    margins.setRight(side);
    layout()->setContentsMargins(margins);
    estateText->setFixedWidth(contentWidth);
    if (!estateText->text().isEmpty()) {
        estateText->setMinimumHeight(0);
        estateText->setMaximumHeight(QWIDGETSIZE_MAX);
        estateText->setFixedHeight(estateText->heightForWidth(contentWidth));
    }

    // Never taller than the screen: the lines scroll instead.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int available = screen ? screen->availableGeometry().height() - ui::kFrameHeight : 10000;
    const int spacing = layout()->spacing();
    int fixed = margins.top() + margins.bottom() + headerBox->height() + spacing * 2 + Button1->sizeHint().height();
    if (estateText->isVisibleTo(this))
        fixed += estateText->height() + spacing;
    const int wanted = linesBox->height();
    const int room = std::max(3 * kLineStep, available - fixed);
    // The bar is there exactly when the lines do not all fit.
    linesArea->setVerticalScrollBarPolicy(wanted > room ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    linesArea->setFixedSize(areaWidth, std::min(wanted, room));
    linesArea->verticalScrollBar()->setValue(0);
    layout()->activate();
    adjustSize();
    ui::centreOnScreen(this);
}

void TfmDivision::HideAllLines()
{
    if (!amounts[0])
        return;
    for (int i = 0; i < kHeirCount; ++i) {
        const std::size_t k = std::size_t(i);
        for (QWidget* w : {static_cast<QWidget*>(amounts[k]), static_cast<QWidget*>(captions[k]),
                           static_cast<QWidget*>(counts[k]), static_cast<QWidget*>(classTotals[k]),
                           static_cast<QWidget*>(percentages[k])})
            w->hide();
    }
    for (QWidget* w : {static_cast<QWidget*>(totalCaption), static_cast<QWidget*>(totalCount),
                       static_cast<QWidget*>(totalAmount), static_cast<QWidget*>(totalPercentage),
                       static_cast<QWidget*>(undistributedCaption), static_cast<QWidget*>(undistributedAmount),
                       static_cast<QWidget*>(undistributedPercentage)})
        w->hide();
}

void TfmDivision::Button1Click()
{
    HideAllLines();
    if (isVisible())
        done(QDialog::Accepted);
    rows_ = {};
    percentages_ = {};
    undistributed_.reset();
    undistributedPercent_.reset();
    for (std::size_t k = 0; amounts[0] && k < std::size_t(kHeirCount); ++k) {
        amounts[k]->clearExact();
        classTotals[k]->clearExact();
        percentages[k]->clearExact();
        counts[k]->clear();
    }
    if (amounts[0]) {
        totalAmount->clearExact();
        totalPercentage->clearExact();
        undistributedAmount->clearExact();
        undistributedPercentage->clearExact();
    }
    divided_ = false;
    explanation_ = Explanation{};
    // The entry window clears the case: every box, count and dialog.
    emit caseDone();
}

results::DivisionReport TfmDivision::report() const
{
    if (!divided_)
        throw ui::UiError(QStringLiteral("لا قسمة معروضة ليُعد تقريرها"));
    return results::buildDivisionReport(case_, result_, explanation_, QDate::currentDate());
}

void TfmDivision::showProblem()
{
    if (!problem_)
        problem_ = new TfmProblem(this);
    problem_->showReport(report());
    problem_->exec();
}

void TfmDivision::printReport()
{
    const results::DivisionReport r = report();
    std::unique_ptr<results::ReportPrinting> printing = results::loadReportPrinting();
    printing->preview(this, QStringLiteral("تقرير القسمة"),
                      [&r](QPagedPaintDevice& device) { results::paintReport(r, device); });
}

void TfmDivision::saveReportPdf()
{
    const results::DivisionReport r = report();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested =
        QDir(folder.isEmpty() ? QDir::homePath() : folder)
            .filePath(QStringLiteral("قسمة-%1.pdf").arg(QDate::currentDate().toString(Qt::ISODate)));
    // The name as the dialog confirmed it (with the ending it added): one
    // added here would name a file whose replacing nobody was asked about.
    const QString path = choosePdfPath ? choosePdfPath(this, suggested) : QString();
    if (path.isEmpty())
        return;
    QString error;
    if (!results::writeReportPdf(r, path, &error))
        throw ui::UiError(error);
}

void TfmDivision::copyReport()
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setMimeData(results::reportMimeData(report()));
}

void TfmDivision::showEvent(QShowEvent* event)
{
    // Not again when the window comes back from being minimized.
    if (!event->spontaneous()) {
        FormShow();
        Button1->setFocus();
    }
    QDialog::showEvent(event);
}

void TfmDivision::reject()
{
    ui::guarded([this] { Button1Click(); }, this);
}

}  // namespace qismar
