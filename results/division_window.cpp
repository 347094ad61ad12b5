// The results window: one line per present relative with the caption, the
// count, the amount of each head, the class total and the percentage.
#include <memory>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QSettings>
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
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include "results/amount_cell.h"
#include "results/amount_text.h"
#include "results/division_report.h"
#include "results/successive_report.h"
#include "results/division_window.h"
#include "ui/picture.h"
#include "engine/preparation.h"
#include "results/problem_window.h"
#include "results/report_printing.h"
#include "ui/ui_common.h"
#include "results/window_border.h"

namespace qismar {

std::function<QString(QWidget*, const QString&)> DivisionWindow::choosePdfPath = [](QWidget* parent,
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
    ui::arabicFileDialog(dialog);
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

// A line's caption as the window spells it: the heir table's caption of
// the father's father's mother keeps the old spelling, read as the genitive.
QString shownCaption(const QString& caption)
{
    if (caption == QStringLiteral("أم أبو الأب"))
        return QStringLiteral("أم أبي الأب");
    return caption;
}

// Where the decimals of the amounts to pay are kept between runs: the
// program's own settings file (~/.config/qismar/qismar.conf on Linux),
// whatever names the application object carries.
QString decimalsKey() { return QStringLiteral("results/decimals"); }
QSettings programSettings() { return QSettings(QStringLiteral("qismar"), QStringLiteral("qismar")); }

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

using results::amountText;

}  // namespace

DivisionWindow::DivisionWindow()
{
    setObjectName(QStringLiteral("divisionWindow"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("قسمة الأنصبة"));
    setWindowIcon(ui::programIcon());
    setLayoutDirection(Qt::RightToLeft);
    setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 11));

    createFrame();
    createHeader();
    createLines();
    createButtons();

    const int kept = programSettings().value(decimalsKey(), results::kDefaultDecimals).toInt();
    decimals_ = kept >= results::kFewestDecimals && kept <= results::kMostDecimals ? kept : results::kDefaultDecimals;
    decimalsBox->setCurrentIndex(decimals_);
    connect(decimalsBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { ui::guarded([this, index] { setDecimals(index); }, this); });
}

DivisionWindow::~DivisionWindow() = default;

void DivisionWindow::createFrame()
{
    background = ui::Picture::background(QStringLiteral(":/pictures/results.svg"), this);
    background->setObjectName(QStringLiteral("background"));

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

    problemText = new QLabel(this);
    problemText->setObjectName(QStringLiteral("problemText"));
    problemText->setWordWrap(true);
    problemText->setTextFormat(Qt::PlainText);
    problemText->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignTop);
    problemText->setAccessibleName(QStringLiteral("العول أو الرد"));
    QFont boldFont = problemText->font();
    boldFont.setBold(true);
    problemText->setFont(boldFont);
    layout->addWidget(problemText);

    headerBox = new QWidget(this);
    headerBox->setObjectName(QStringLiteral("headerBox"));
    layout->addWidget(headerBox);

    linesArea = new QScrollArea(this);
    linesArea->setObjectName(QStringLiteral("linesArea"));
    linesArea->setFrameShape(QFrame::NoFrame);
    linesArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    linesArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Absolute: the lines keep to the right under their column names, with
    // or without a scroll bar (a plain AlignRight would be mirrored to the
    // left in this right-to-left window).
    linesArea->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignTop);
    linesArea->setWidgetResizable(false);
    linesArea->setAccessibleName(QStringLiteral("أنصبة الورثة"));
    linesArea->viewport()->setAutoFillBackground(false);
    linesBox = new QWidget;
    linesBox->setObjectName(QStringLiteral("linesBox"));
    linesArea->setWidget(linesBox);
    // (setWidget gives the scrolled widget a background; the window's picture shows through instead.)
    linesBox->setAutoFillBackground(false);
    layout->addWidget(linesArea);

    roundingText = new QLabel(this);
    roundingText->setObjectName(QStringLiteral("roundingText"));
    roundingText->setWordWrap(true);
    roundingText->setTextFormat(Qt::PlainText);
    roundingText->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignTop);
    roundingText->setAccessibleName(QStringLiteral("تقريب المبالغ"));
    layout->addWidget(roundingText);

    savedText = new QLabel(this);
    savedText->setObjectName(QStringLiteral("savedText"));
    savedText->setWordWrap(true);
    savedText->setTextFormat(Qt::PlainText);
    savedText->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignTop);
    savedText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    savedText->setAccessibleName(QStringLiteral("مكان التقرير المحفوظ"));
    savedText->hide();
    layout->addWidget(savedText);

    furtherView = new QTextBrowser(this);
    furtherView->setObjectName(QStringLiteral("furtherView"));
    furtherView->setOpenLinks(false);
    furtherView->setFrameShape(QFrame::NoFrame);
    furtherView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    furtherView->viewport()->setAutoFillBackground(false);
    furtherView->setAccessibleName(QStringLiteral("المسائل التالية والجامعة"));
    furtherView->hide();
    // After the lines, before the rounding note and the buttons.
    layout->insertWidget(layout->indexOf(linesArea) + 1, furtherView);
}

void DivisionWindow::createHeader()
{
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
}

void DivisionWindow::createLines()
{
    const QPalette palette = linePalette(this->palette());
    for (int i = 0; i < kHeirCount; ++i) {
        const std::size_t k = std::size_t(i);
        const HeirInfo& info = heirInfo(heirAt(i));
        const QString number = QString::number(info.line);
        const QString captionText =
            shownCaption(QString::fromUtf8(info.rowCaption.data(), qsizetype(info.rowCaption.size()))).trimmed();

        // The object names are those of the lines' old edits (the heir's key
        // n1 ... n28, nd<k>, nc<k>, nt<k>, ns<k>), which accessibility paths name.
        amounts[k] = newCell(linesBox, QString::fromLatin1(info.key.data(), qsizetype(info.key.size())), palette);
        captions[k] = newLabel(linesBox, QStringLiteral("nd") + number, captionText, Qt::AlignRight);
        counts[k] = newLabel(linesBox, QStringLiteral("nc") + number, QString(), Qt::AlignCenter);
        classTotals[k] = newCell(linesBox, QStringLiteral("nt") + number, palette);
        percentages[k] = newCell(linesBox, QStringLiteral("ns") + number, palette);

        amounts[k]->setAccessibleName(captionText + QStringLiteral("، نصيب الفرد"));
        classTotals[k]->setAccessibleName(captionText + QStringLiteral("، نصيب الفئة"));
        percentages[k]->setAccessibleName(captionText + QStringLiteral("، النسبة"));
        counts[k]->setAccessibleName(captionText + QStringLiteral("، العدد"));
        captions[k]->setAccessibleName(captionText);
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

    const QString held = results::reserveCaption();
    reserveCaption = newLabel(linesBox, QStringLiteral("reserveCaption"), held, Qt::AlignRight);
    reserveCaption->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 11, true));
    reserveAmount = newCell(linesBox, QStringLiteral("reserveAmount"), palette);
    reserveAmount->setAccessibleName(held);
    reservePercentage = newCell(linesBox, QStringLiteral("reservePercentage"), palette);
    reservePercentage->setAccessibleName(held + QStringLiteral("، النسبة"));

    outcomesText = new QLabel(linesBox);
    outcomesText->setObjectName(QStringLiteral("outcomesText"));
    outcomesText->setWordWrap(true);
    outcomesText->setTextFormat(Qt::RichText);
    outcomesText->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignTop);
    outcomesText->setAccessibleName(QStringLiteral("أحوال الوارث الذي لم يتبين حاله"));
    outcomesText->hide();
}

void DivisionWindow::createButtons()
{
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch();
    doneButton = new QPushButton(QStringLiteral("تم"), this);
    doneButton->setObjectName(QStringLiteral("doneButton"));
    doneButton->setAccessibleName(QStringLiteral("تم، إنهاء القسمة ومسح المسألة"));
    // Enter presses "تم"; Escape and the close box only close the window,
    // and the case stays as it was entered.
    doneButton->setDefault(true);
    connect(doneButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { endDivision(); }, this); });

    struct Action {
        QPushButton** button;
        const char* name;
        QString caption, accessible;
        QKeySequence keys;
        void (DivisionWindow::*run)();
    };
    const Action actions[] = {
        {&problemButton, "btnProblem", QStringLiteral("بيان المسألة"), QStringLiteral("بيان المسألة: أصلها وسهام الورثة"),
         QKeySequence(Qt::CTRL | Qt::Key_B), &DivisionWindow::showProblem},
        {&printButton, "btnPrint", QStringLiteral("طباعة"), QStringLiteral("طباعة تقرير القسمة"),
         QKeySequence(Qt::CTRL | Qt::Key_P), &DivisionWindow::printReport},
        {&pdfButton, "btnPdf", QStringLiteral("حفظ PDF"), QStringLiteral("حفظ تقرير القسمة في ملف PDF"),
         QKeySequence(Qt::CTRL | Qt::Key_S), &DivisionWindow::saveReportPdf},
        {&copyButton, "btnCopy", QStringLiteral("نسخ"), QStringLiteral("نسخ تقرير القسمة إلى الحافظة"),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &DivisionWindow::copyReport},
        {&saveCaseButton, "btnSaveCase", QStringLiteral("حفظ المسألة"), QStringLiteral("حفظ المسألة كما أُدخلت في ملف"),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &DivisionWindow::requestCaseSave},
    };
    buttons->addWidget(doneButton);
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
    buttons->addSpacing(12);
    decimalsBox = new QComboBox(this);
    decimalsBox->setObjectName(QStringLiteral("decimalsBox"));
    decimalsBox->addItems({QStringLiteral("بلا كسور"), QStringLiteral("منزلة عشرية"), QStringLiteral("منزلتان عشريتان"),
                           QStringLiteral("ثلاث منازل عشرية")});
    decimalsBox->setAccessibleName(QStringLiteral("تقريب المبالغ: عدد المنازل العشرية"));
    decimalsBox->setToolTip(QStringLiteral("تُقرَّب المبالغ المستحقة إلى أصغر وحدة للعملة بهذا العدد من المنازل العشرية"));
    buttons->addWidget(decimalsBox);
    buttons->addStretch();
    static_cast<QVBoxLayout*>(layout())->addLayout(buttons);

    // A row of its own below, so that the row above stays within a small
    // screen.
    auto* more = new QHBoxLayout;
    laterDeathButton = new QPushButton(QStringLiteral("وفاة وارث قبل القسمة"), this);
    laterDeathButton->setObjectName(QStringLiteral("btnLaterDeath"));
    laterDeathButton->setAccessibleName(QStringLiteral("وفاة وارث قبل القسمة: تُفتح مسألته"));
    laterDeathButton->setToolTip(QStringLiteral("وارث مات بعد الميت وقبل القسمة: تُفتح مسألته وتُجمع المسائل (Ctrl+Shift+D)"));
    laterDeathButton->setAutoDefault(true);
    connect(laterDeathButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { requestLaterDeath(); }, this); });
    auto* laterDeathKeys = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D), this);
    laterDeathKeys->setObjectName(QStringLiteral("btnLaterDeathKeys"));
    connect(laterDeathKeys, &QShortcut::activated, laterDeathButton, [this] { laterDeathButton->click(); });
    more->addWidget(laterDeathButton);
    more->addStretch();
    static_cast<QVBoxLayout*>(layout())->addLayout(more);
}

void DivisionWindow::showDivision(const EstateCase& estateCase, const DivisionResult& result,
                                  const Explanation& explanation, const CaseDetails& details)
{
    if (result.outcome != Outcome::Divided)
        throw ui::UiError(QStringLiteral("لا قسمة لتُعرض نتائجها"));
    division_ = Division{estateCase, result, explanation, QDate::currentDate(), details, {}, {}, std::nullopt};
    lastPdf_.clear();
    makeReport();
}

void DivisionWindow::showSuccessiveDivision(const std::vector<LaterDeath>& later, const SuccessiveDivision& division,
                                            const CaseDetails& details)
{
    if (division.refusal || division.problems.empty() || division.problems.front().result.outcome != Outcome::Divided)
        throw ui::UiError(QStringLiteral("لا قسمة لتُعرض نتائجها"));
    const SuccessiveProblem& first = division.problems.front();
    division_ = Division{first.estateCase, first.result, first.explanation, QDate::currentDate(), details, later, division, std::nullopt};
    lastPdf_.clear();
    makeReport();
}

void DivisionWindow::showUncertainDivision(const EstateCase& estateCase, const UncertainHeir& heir,
                                           const UncertainDivision& division, const UncertainFractions& fractions,
                                           const CaseDetails& details)
{
    if (division.outcome != Outcome::Divided || division.outcomes.empty())
        throw ui::UiError(QStringLiteral("لا قسمة لتُعرض نتائجها"));
    division_ = Division{estateCase, {}, {}, QDate::currentDate(), details, {}, {},
                         Division::Uncertain{heir, division, fractions}};
    lastPdf_.clear();
    makeReport();
}

void DivisionWindow::makeReport()
{
    if (!division_)
        return;
    if (division_->successive)
        report_ = results::buildSuccessiveReport(division_->later, *division_->successive, division_->date,
                                                 division_->details, decimals_);
    else if (const auto& u = division_->uncertain)
        report_ = results::buildUncertainReport(division_->estateCase, u->heir, u->division, u->fractions,
                                                division_->date, division_->details, decimals_);
    else
        report_ = results::buildDivisionReport(division_->estateCase, division_->result, division_->explanation,
                                               division_->date, division_->details, decimals_);
}

void DivisionWindow::setDecimals(int decimals)
{
    if (decimals < results::kFewestDecimals || decimals > results::kMostDecimals)
        decimals = results::kDefaultDecimals;
    if (decimalsBox->currentIndex() != decimals)
        decimalsBox->setCurrentIndex(decimals);  // comes back here
    if (decimals == decimals_)
        return;
    decimals_ = decimals;
    programSettings().setValue(decimalsKey(), decimals);
    makeReport();
    if (isVisible() && report_)
        showLines();
}

const results::DivisionReport& DivisionWindow::report() const
{
    if (!report_)
        throw ui::UiError(QStringLiteral("لا قسمة معروضة ليُعد تقريرها"));
    return *report_;
}

std::vector<Heir> DivisionWindow::shownRows() const
{
    std::vector<Heir> out;
    for (int i = 0; i < kHeirCount; ++i)
        if (amounts[std::size_t(i)]->isVisibleTo(linesBox))
            out.push_back(heirAt(i));
    std::sort(out.begin(), out.end(), [this](Heir a, Heir b) { return amount(a)->y() < amount(b)->y(); });
    return out;
}

void DivisionWindow::showLines()
{
    hideAllLines();
    static const results::ResultsTable kNoResults;
    const results::ResultsTable& table = report_ && report_->amounts ? *report_->amounts : kNoResults;
    totalCaption->setText(table.reserve ? QStringLiteral("مجموع ما يُدفع الآن") : QStringLiteral("مجموع الأنصبة"));
    const Columns columns = measureColumns(table);
    // The lines, stacked from the top without gaps, then the heirs' total
    // and what the rows leave.
    int top = 2;
    for (const results::ResultLine& line : table.lines) {
        placeLine(line, columns, top);
        top += kLineStep;
    }
    if (!table.lines.empty()) {
        placeTotal(table, columns, top);
        top += kLineStep;
    }
    if (table.undistributed) {
        placeUndistributed(table, columns, top);
        top += kLineStep;
    }
    if (table.reserve) {
        placeReserve(table, columns, top);
        top += kLineStep;
    }
    top += placeOutcomes(columns, top);
    linesBox->resize(columns.linesWidth, top + 2);
    placeHeader(columns);
    showEstateText();
    problemText->setText(table.problemLine);
    problemText->setVisible(!table.problemLine.isEmpty());
    roundingText->setText(table.lines.empty() ? QString() : results::roundingNote(table.decimals));
    roundingText->setVisible(!table.lines.empty());
    if (lastPdf_.isEmpty())
        savedText->hide();
    const bool further = report_ && !report_->further.empty();
    // The tables a little narrower than the view, whose borders would
    // otherwise pass its width by a pixel.
    furtherView->setHtml(further ? results::sectionsHtml(report_->further)
                                       .replace(QStringLiteral("width=\"100%\""), QStringLiteral("width=\"98%\""))
                                 : QString());
    furtherView->setVisible(further);
    for (QPushButton* b : {problemButton, printButton, pdfButton, copyButton})
        b->setEnabled(holdsDivision());
    layOut();
}

namespace {

// What the per-head cell of a line shows: the base amount to pay, and how
// many heads receive one unit more.
QString perHeadShown(const results::ResultLine& l, int decimals)
{
    QString text = results::paidShown(l.paidPerHead, decimals);
    if (l.headsWithOneUnitMore)
        text += QLatin1Char(' ') + results::oneUnitMoreText(l.headsWithOneUnitMore, decimals);
    return text;
}

}  // namespace

DivisionWindow::Columns DivisionWindow::measureColumns(const results::ResultsTable& table) const
{
    const QFontMetrics metrics(font());
    QFont boldFont = font();
    boldFont.setBold(true);
    const QFontMetrics boldMetrics(boldFont);
    auto widthOf = [&metrics](const QString& text) { return metrics.horizontalAdvance(text); };
    const int d = table.decimals;

    Columns c{};
    c.caption = std::max(kMinCaption, boldMetrics.horizontalAdvance(totalCaption->text()) + 8);
    c.count = std::max(kMinCount, widthOf(QStringLiteral("العدد")) + 12);
    c.amount = std::max(kMinAmount, boldMetrics.horizontalAdvance(QStringLiteral("نصيب الفئة")) + 12);
    int perHead = c.amount;
    c.percent = std::max(kMinPercent, widthOf(QStringLiteral("100.0000%")) + 14);
    auto widen = [&](int& column, const QString& text) { column = std::max(column, widthOf(text) + 14); };
    for (const results::ResultLine& l : table.lines) {
        c.caption = std::max(c.caption, widthOf(l.caption) + 8);
        c.count = std::max(c.count, widthOf(countText(l.heads)) + 12);
        if (!l.nothing) {
            widen(perHead, perHeadShown(l, d));
            if (l.classTotal)
                widen(c.amount, results::paidShown(l.paidTotal, d));
        } else {
            widen(perHead, l.nothingText);
        }
        if (l.percent)
            widen(c.percent, results::percentShown(*l.percent));
    }
    if (!table.lines.empty()) {
        widen(c.amount, results::paidShown(table.paidHeirsTotal, d));
        c.count = std::max(c.count, widthOf(countText(table.heads)) + 12);
    }
    if (table.paidUndistributed)
        widen(c.amount, results::paidShown(*table.paidUndistributed, d));
    c.perHead = std::max(perHead, c.amount);
    c.xCaption = kRightPad;
    c.xCount = c.xCaption + c.caption + kGap;
    c.xAmount = c.xCount + c.count + kGap;
    c.xTotal = c.xAmount + c.perHead + kGap;
    c.xPercent = c.xTotal + c.amount + kGap;
    c.linesWidth = c.xPercent + c.percent + kRightPad;
    return c;
}

void DivisionWindow::placeLine(const results::ResultLine& line, const Columns& c, int top)
{
    const std::size_t k = std::size_t(index(line.heir));
    const int d = report_ ? report_->amounts->decimals : results::kDefaultDecimals;
    const QString count = countText(line.heads);
    captions[k]->setText(line.caption);
    captions[k]->setAccessibleName(line.caption);
    amounts[k]->setAccessibleName(line.caption + QStringLiteral("، نصيب الفرد"));
    classTotals[k]->setAccessibleName(line.caption + QStringLiteral("، نصيب الفئة"));
    percentages[k]->setAccessibleName(line.caption + QStringLiteral("، النسبة"));
    counts[k]->setAccessibleName(line.caption + QStringLiteral("، العدد"));
    placeFromRight(captions[k], c.linesWidth, c.xCaption, c.caption, top);
    placeFromRight(counts[k], c.linesWidth, c.xCount, c.count, top);
    counts[k]->setText(count);
    QString description = line.caption + QStringLiteral(": العدد ") + count;
    if (line.nothing) {
        // "لا شيء له" (by gender and number) across the two amounts, and no
        // percentage box; who or what excludes him in its tip.
        amounts[k]->setExact(line.nothingText);
        placeFromRight(amounts[k], c.linesWidth, c.xAmount, c.perHead + c.amount + kGap, top);
        description += QStringLiteral("، ") + line.nothingText;
        amounts[k]->setToolTip(line.reason);
        captions[k]->setToolTip(line.reason);
        if (!line.reason.isEmpty())
            description += QStringLiteral(" (") + line.reason + QStringLiteral(")");
        amounts[k]->setAccessibleDescription(description);
    } else {
        const QString perHead = amountText(line.perHead);
        amounts[k]->setAmount(perHeadShown(line, d), perHead);
        captions[k]->setToolTip(QString());
        placeFromRight(amounts[k], c.linesWidth, c.xAmount, c.perHead, top);
        description += QStringLiteral("، نصيب الفرد ") + results::paidText(line.paidPerHead, d);
        if (line.headsWithOneUnitMore)
            description += QLatin1Char(' ') + results::oneUnitMoreText(line.headsWithOneUnitMore, d);
        if (line.classTotal) {
            const QString total = amountText(*line.classTotal);
            classTotals[k]->setAmount(results::paidShown(line.paidTotal, d), total);
            placeFromRight(classTotals[k], c.linesWidth, c.xTotal, c.amount, top);
            classTotals[k]->show();
            description += QStringLiteral("، نصيب الفئة ") + results::paidText(line.paidTotal, d);
        }
        if (line.percent) {
            const QString percent = results::percentShown(*line.percent);
            percentages[k]->setExact(percent);
            percentages[k]->setAccessibleDescription(QStringLiteral("النسبة الدقيقة ") + percent);
            placeFromRight(percentages[k], c.linesWidth, c.xPercent, c.percent, top);
            percentages[k]->show();
            description += QStringLiteral("، النسبة ") + percent;
        }
        // A screen reader reads the exact amount from the cell and the whole
        // line from its name.
        amounts[k]->setAccessibleDescription(QStringLiteral("المبلغ الدقيق ") + perHead + QStringLiteral("؛ ") + description);
    }
    for (QWidget* w : {static_cast<QWidget*>(captions[k]), static_cast<QWidget*>(counts[k]),
                       static_cast<QWidget*>(amounts[k])})
        w->show();
}

void DivisionWindow::placeTotal(const results::ResultsTable& table, const Columns& c, int top)
{
    const int d = table.decimals;
    placeFromRight(totalCaption, c.linesWidth, c.xCaption, c.caption, top);
    placeFromRight(totalCount, c.linesWidth, c.xCount, c.count, top);
    totalCount->setText(countText(table.heads));
    placeFromRight(totalAmount, c.linesWidth, c.xTotal, c.amount, top);
    totalAmount->setAmount(results::paidShown(table.paidHeirsTotal, d), amountText(table.heirsTotal));
    placeFromRight(totalPercentage, c.linesWidth, c.xPercent, c.percent, top);
    totalPercentage->setExact(results::percentShown(table.heirsPercent));
    totalPercentage->setAccessibleDescription(QStringLiteral("النسبة الدقيقة ") + totalPercentage->exact());
    totalAmount->setAccessibleDescription(QStringLiteral("المبلغ الدقيق %4؛ مجموع الأنصبة: العدد %1، المبلغ %2، النسبة %3")
                                              .arg(countText(table.heads), results::paidText(table.paidHeirsTotal, d),
                                                   totalPercentage->exact(), totalAmount->exact()));
    for (QWidget* w : {static_cast<QWidget*>(totalCaption), static_cast<QWidget*>(totalCount),
                       static_cast<QWidget*>(totalAmount), static_cast<QWidget*>(totalPercentage)})
        w->show();
}

void DivisionWindow::placeUndistributed(const results::ResultsTable& table, const Columns& c, int top)
{
    const int d = table.decimals;
    placeFromRight(undistributedCaption, c.linesWidth, c.xCaption, c.caption, top);
    placeFromRight(undistributedAmount, c.linesWidth, c.xTotal, c.amount, top);
    undistributedAmount->setAmount(results::paidShown(table.paidUndistributed.value_or(Currency{}), d),
                                   amountText(*table.undistributed));
    undistributedAmount->setToolTip(remainderTip() + QStringLiteral("\nالمبلغ الدقيق: ") + undistributedAmount->exact());
    if (table.undistributedPercent) {
        placeFromRight(undistributedPercentage, c.linesWidth, c.xPercent, c.percent, top);
        undistributedPercentage->setExact(results::percentShown(*table.undistributedPercent));
        undistributedPercentage->setAccessibleDescription(QStringLiteral("النسبة الدقيقة ") +
                                                          undistributedPercentage->exact());
        undistributedPercentage->show();
    }
    undistributedAmount->setAccessibleDescription(QStringLiteral("المبلغ الدقيق ") + undistributedAmount->exact() +
                                                  QStringLiteral("؛ ") + undistributedCaption->text() +
                                                  QStringLiteral(": ") +
                                                  results::paidText(table.paidUndistributed.value_or(Currency{}), d) +
                                                  QStringLiteral("، ") + undistributedPercentage->exact());
    undistributedCaption->show();
    undistributedAmount->show();
}

void DivisionWindow::placeReserve(const results::ResultsTable& table, const Columns& c, int top)
{
    const int d = table.decimals;
    const QString paid = results::paidShown(table.paidReserve.value_or(Currency{}), d);
    placeFromRight(reserveCaption, c.linesWidth, c.xCaption, c.caption + kGap + c.count + kGap + c.perHead, top);
    placeFromRight(reserveAmount, c.linesWidth, c.xTotal, c.amount, top);
    reserveAmount->setAmount(paid, amountText(*table.reserve));
    QString percent;
    if (table.reservePercent) {
        percent = results::percentShown(*table.reservePercent);
        placeFromRight(reservePercentage, c.linesWidth, c.xPercent, c.percent, top);
        reservePercentage->setExact(percent);
        reservePercentage->setAccessibleDescription(QStringLiteral("النسبة الدقيقة ") + percent);
        reservePercentage->show();
    }
    reserveAmount->setAccessibleDescription(QStringLiteral("المبلغ الدقيق %1؛ %2: %3، %4")
                                                .arg(reserveAmount->exact(), reserveCaption->text(),
                                                     results::paidText(table.paidReserve.value_or(Currency{}), d),
                                                     percent));
    reserveCaption->show();
    reserveAmount->show();
}

int DivisionWindow::placeOutcomes(const Columns& c, int top)
{
    if (!report_ || report_->outcomes.empty())
        return 0;
    QString html;
    for (const results::ReportSection& s : report_->outcomes)
        html += results::reportSectionHtml(s);
    outcomesText->setText(html);
    outcomesText->setAccessibleDescription(QTextDocumentFragment::fromHtml(html).toPlainText());
    const int width = c.linesWidth - 2 * kRightPad;
    const int height = outcomesText->heightForWidth(width);
    outcomesText->setGeometry(kRightPad, top + kGap, width, height);
    outcomesText->show();
    return height + kGap;
}

void DivisionWindow::placeHeader(const Columns& c)
{
    // The names of the columns, above the same places.
    const int scrollBar = linesArea->verticalScrollBar()->sizeHint().width();
    const int areaWidth = c.linesWidth + scrollBar;
    headerBox->setFixedSize(areaWidth, kLineHeight);
    const struct {
        const char* name;
        int x, width;
    } columns[] = {{"headCaption", c.xCaption, c.caption}, {"headCount", c.xCount, c.count},
                   {"headAmount", c.xAmount, c.perHead},  {"headTotal", c.xTotal, c.amount},
                   {"headPercent", c.xPercent, c.percent}};
    for (const auto& column : columns)
        placeFromRight(headerBox->findChild<QLabel*>(QString::fromLatin1(column.name)), areaWidth, column.x,
                       column.width, 0);
}

void DivisionWindow::showEstateText()
{
    // The estate divided, and how it came from the estate entered.
    QStringList estate;
    if (report_ && report_->amounts) {
        const results::ResultsTable& table = *report_->amounts;
        if (table.preparation) {
            for (const std::string& s : PreparationSentences(*table.preparation))
                estate << results::withGroupedNumbers(QString::fromStdString(s));
            estate << QStringLiteral("النسب المئوية من صافي التركة المقسومة (%1)، لا من التركة قبل التجهيز")
                          .arg(results::groupedAmount(amountText(table.divided)));
        } else {
            estate << QStringLiteral("التركة المقسومة: ") + results::paidShown(table.paidDivided, table.decimals);
        }
    }
    QStringList paragraphs;
    for (const QString& sentence : estate)
        paragraphs << QStringLiteral("<p dir=\"rtl\" style=\"margin: 0 0 3px 0\">") + sentence.toHtmlEscaped() +
                          QStringLiteral("</p>");
    estateText->setText(paragraphs.join(QString()));
    estateText->setVisible(!estate.isEmpty());
}

void DivisionWindow::layOut()
{
    const int areaWidth = headerBox->width();
    int buttonsWidth = 0;
    for (QPushButton* b : {doneButton, problemButton, printButton, pdfButton, copyButton})
        buttonsWidth += b->sizeHint().width() + 8;
    int contentWidth = std::max(areaWidth, buttonsWidth);
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!furtherView->isHidden()) {
        // The tables of the later problems and the combined table need room
        // for a column per problem, as far as the screen has it.
        const int screenWidth = screen ? screen->availableGeometry().width() : 1280;
        // The widest content whose window, border and frame, fits the screen.
        int widest = 900;
        while (widest > contentWidth && results::windowWidthFor(widest) + 2 * ui::kFrameWidth > screenWidth)
            widest -= 10;
        contentWidth = std::max(contentWidth, widest);
    }
    const int side = results::sideMarginFor(results::windowWidthFor(contentWidth));
    QMargins margins = layout()->contentsMargins();
    margins.setLeft(side);
    margins.setRight(side);
    layout()->setContentsMargins(margins);
    int texts = 0;
    for (QLabel* text : {estateText, problemText, roundingText, savedText}) {
        text->setFixedWidth(contentWidth);
        text->setMinimumHeight(0);
        text->setMaximumHeight(QWIDGETSIZE_MAX);
        if (!text->text().isEmpty())
            text->setFixedHeight(text->heightForWidth(contentWidth));
        if (!text->isHidden())
            texts += text->height() + layout()->spacing();
    }

    // Never taller than the screen: the lines scroll instead.
    const int available = screen ? screen->availableGeometry().height() - ui::kFrameHeight : 10000;
    const int spacing = layout()->spacing();
    int fixed = margins.top() + margins.bottom() + headerBox->height() + spacing * 3 + doneButton->sizeHint().height() +
                laterDeathButton->sizeHint().height();
    fixed += texts;
    if (!furtherView->isHidden()) {
        // As tall as its tables, up to half of what the screen leaves; it
        // scrolls beyond that.
        furtherView->setFixedWidth(contentWidth);
        // Measured on a copy laid out at the view's width less a scroll
        // bar: the view lays its own document out at its width.
        const std::unique_ptr<QTextDocument> probe(furtherView->document()->clone());
        probe->setTextWidth(contentWidth - style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 4);
        const int tables = int(probe->size().height()) + 8;
        // The lines keep room for a few of themselves at least.
        const int lines = std::min(linesBox->height(), 6 * kLineStep);
        const int height = std::min(tables, std::max(6 * kLineStep, available - fixed - lines - spacing));
        furtherView->setFixedHeight(height);
        fixed += height + spacing;
    }
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

void DivisionWindow::hideAllLines()
{
    for (int i = 0; i < kHeirCount; ++i) {
        const std::size_t k = std::size_t(i);
        for (results::AmountCell* cell : {amounts[k], classTotals[k], percentages[k]}) {
            cell->hide();
            cell->clearExact();
        }
        captions[k]->hide();
        counts[k]->hide();
        counts[k]->clear();
    }
    for (results::AmountCell* cell : {totalAmount, totalPercentage, undistributedAmount, undistributedPercentage}) {
        cell->hide();
        cell->clearExact();
    }
    for (results::AmountCell* cell : {reserveAmount, reservePercentage}) {
        cell->hide();
        cell->clearExact();
    }
    for (QLabel* label : {totalCaption, totalCount, undistributedCaption, reserveCaption, outcomesText})
        label->hide();
    outcomesText->clear();
}

void DivisionWindow::endDivision()
{
    hideAllLines();
    if (isVisible())
        done(QDialog::Accepted);
    report_.reset();
    division_.reset();
    lastPdf_.clear();
    // Whoever holds the case clears it: every box, count and dialog.
    emit caseDone();
}

void DivisionWindow::showProblem()
{
    if (!problem_)
        problem_ = new ProblemWindow(this);
    problem_->showReport(report());
    problem_->exec();
}

void DivisionWindow::printReport()
{
    const results::ReportRendering rendering(report());
    std::unique_ptr<results::ReportPrinting> printing = results::loadReportPrinting();
    printing->preview(
        this, report().title, rendering.pageCount(),
        [&rendering](int page, qreal dotsPerInch) { return rendering.pageImage(page, dotsPerInch); },
        [&rendering](QPagedPaintDevice& device) { rendering.print(device); });
}

void DivisionWindow::saveReportPdf()
{
    const results::DivisionReport& r = report();
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
    // Said in the window, the file's name kept whole in a right-to-left line.
    lastPdf_ = path;
    savedText->setText(QStringLiteral("حُفظ التقرير في الملف: ") + QChar(0x2068) + QDir::toNativeSeparators(path) +
                       QChar(0x2069));
    savedText->show();
    layOut();
}

void DivisionWindow::copyReport()
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setMimeData(results::reportMimeData(report()));
}

void DivisionWindow::showEvent(QShowEvent* event)
{
    // Not again when the window comes back from being minimized.
    if (!event->spontaneous()) {
        showLines();
        doneButton->setFocus();
    }
    QDialog::showEvent(event);
}

void DivisionWindow::reject()
{
    // Escape and the close box: the window goes, the case stays.
    hideAllLines();
    report_.reset();
    QDialog::reject();
}

void DivisionWindow::requestCaseSave() { emit saveCaseRequested(); }

void DivisionWindow::requestLaterDeath()
{
    // The case stays as it was entered: the window closes without "تم".
    done(QDialog::Rejected);
    emit laterDeathRequested();
}

}  // namespace qismar
