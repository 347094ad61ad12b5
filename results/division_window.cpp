// The results window: one line per present relative with the caption, the
// amount (of each member, for a class of several) and the percentage.
#include <QIcon>
#include <QKeyEvent>
#include <QShowEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QCheckBox>

#include "division_window.h"
#include "entry_windows.h"
#include "picture.h"
#include "ui_common.h"

namespace qismar {

TfmDivision* fmDivision = nullptr;

namespace {

// The layout's width of the window; its height follows the lines shown.
constexpr int kLayoutWidth = 336;
constexpr int kClientWidth = kLayoutWidth - ui::kFrameWidth;
// Stacking of the lines: the first caption at 48 and amount at 44, one line every 24 pixels.
constexpr int kFirstLabelTop = 48;
constexpr int kFirstEditTop = 44;
constexpr int kLineStep = 24;
constexpr int kButtonBelowLines = 8;
constexpr int kHeightBelowLines = 88;

const QColor kLineColour(255, 128, 64);

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// The engine's marker of an excluded relative, and how the window spells it.
QString nothingForHim() { return fromUtf8(kNothingForHim); }
QString nothingForHimShown() { return QStringLiteral("لا شيء له"); }

// A line's caption as the window spells it.
QString shownCaption(const QString& caption)
{
    if (caption == QLatin1String("أم أبو الأب"))
        return QStringLiteral("أم أبي الأب");
    return caption;
}

}  // namespace

QString TfmDivision::blankPercentage() { return QString(19, QLatin1Char(' ')); }

TfmDivision::TfmDivision()
{
    setObjectName(QStringLiteral("fmDivision"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint);
    setWindowTitle(QStringLiteral("قسمة الأنصبة"));
    setWindowIcon(ui::programIcon());
    setLayoutDirection(Qt::RightToLeft);
    setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 11));
    ui::setLayoutSize(this, kLayoutWidth, kFirstEditTop + kHeightBelowLines);
    ui::centreOnScreen(this);

    Image1 = ui::Picture::background(QStringLiteral(":/pictures/results.svg"), this);
    Image1->setObjectName(QStringLiteral("Image1"));

    QPalette linePalette = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        linePalette.setColor(group, QPalette::Base, kLineColour);
        linePalette.setColor(group, QPalette::Window, kLineColour);
        linePalette.setColor(group, QPalette::Text, Qt::black);
        linePalette.setColor(group, QPalette::WindowText, Qt::black);
    }

    for (int i = 0; i < kRowCount; ++i) {
        const RowInfo& info = rowInfo(rowAt(i));
        const QString number = QString::number(info.number);
        const QString captionText = shownCaption(QString::fromUtf8(info.caption));

        auto* amountEdit = new QLineEdit(this);
        amountEdit->setObjectName(QString::fromLatin1(info.control));
        amountEdit->setGeometry(92, kFirstEditTop, 85, 21);
        amountEdit->setReadOnly(true);
        amountEdit->setLayoutDirection(Qt::LeftToRight);
        amountEdit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        amountEdit->setPalette(linePalette);
        amountEdit->setAccessibleName(captionText.trimmed());
        amountEdit->hide();

        auto* captionLabel = new QLabel(captionText, this);
        captionLabel->setObjectName(QStringLiteral("nd") + number);
        captionLabel->setGeometry(184, kFirstLabelTop, kClientWidth - 184 - 8, 17);
        captionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        captionLabel->setAccessibleName(captionText.trimmed());
        captionLabel->hide();

        auto* percentText = new QLabel(blankPercentage(), this);
        percentText->setObjectName(QStringLiteral("ns") + number);
        percentText->setGeometry(24, kFirstLabelTop, 61, 17);
        percentText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        percentText->setLayoutDirection(Qt::LeftToRight);
        percentText->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        percentText->setAutoFillBackground(true);
        percentText->setPalette(linePalette);
        percentText->hide();

        amounts[std::size_t(i)] = amountEdit;
        captions[std::size_t(i)] = captionLabel;
        percentages[std::size_t(i)] = percentText;
    }

    // What the rows leave of the estate: it goes to the distant kindred,
    // whom this program does not divide among, and it is not returned to a
    // spouse while any of them exists.
    const QString remainderTip = QStringLiteral(
        "هذا الباقي لذوي الأرحام، وهذا البرنامج لا يقسم بينهم، ولا يُردّ على الزوج أو الزوجة ما دام أحد منهم موجوداً");
    undistributedAmount = new QLineEdit(this);
    undistributedAmount->setObjectName(QStringLiteral("undistributedAmount"));
    undistributedAmount->setGeometry(92, kFirstEditTop, 85, 21);
    undistributedAmount->setReadOnly(true);
    undistributedAmount->setLayoutDirection(Qt::LeftToRight);
    undistributedAmount->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    undistributedAmount->setPalette(linePalette);
    undistributedAmount->setAccessibleName(QStringLiteral("الباقي دون توزيع"));
    undistributedAmount->setToolTip(remainderTip);
    undistributedAmount->hide();
    undistributedCaption = new QLabel(QStringLiteral("الباقي دون توزيع"), this);
    undistributedCaption->setObjectName(QStringLiteral("undistributedCaption"));
    undistributedCaption->setGeometry(184, kFirstLabelTop, kClientWidth - 184 - 8, 17);
    undistributedCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    undistributedCaption->setToolTip(remainderTip);
    undistributedCaption->hide();
    undistributedPercentage = new QLabel(this);
    undistributedPercentage->setObjectName(QStringLiteral("undistributedPercentage"));
    undistributedPercentage->setGeometry(24, kFirstLabelTop, 61, 17);
    undistributedPercentage->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    undistributedPercentage->setLayoutDirection(Qt::LeftToRight);
    undistributedPercentage->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    undistributedPercentage->setAutoFillBackground(true);
    undistributedPercentage->setPalette(linePalette);
    undistributedPercentage->setToolTip(remainderTip);
    undistributedPercentage->hide();

    Button1 = new QPushButton(QStringLiteral("تم"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry((kClientWidth - 75) / 2, kFirstEditTop + kButtonBelowLines, 75, 25);
    // Enter presses "تم"; Escape and the close box do what it does.
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { ui::guarded([this] { Button1Click(); }); });

    fmDivision = this;
}

TfmDivision::~TfmDivision()
{
    if (fmDivision == this)
        fmDivision = nullptr;
}

ResultRows TfmDivision::currentRows() const
{
    ResultRows rows{};
    for (int i = 0; i < kRowCount; ++i) {
        QString text = amounts[std::size_t(i)]->text();
        if (text == nothingForHimShown())
            text = nothingForHim();
        rows[std::size_t(i)] = RowText::parse(text.toStdString());
    }
    return rows;
}

void TfmDivision::applyDivision(const DivisionResult& result)
{
    for (int i = 0; i < kRowCount; ++i) {
        const std::size_t k = std::size_t(i);
        amounts[k]->setText(QString::fromStdString(result.rows[k].text()));
        if (result.percentages[k])
            percentages[k]->setText(QStringLiteral("%") + QString::fromStdString(formatAmount(*result.percentages[k])));
    }
    if (result.undistributed) {
        undistributedAmount->setText(QString::fromStdString(formatAmount(*result.undistributed)));
        undistributedPercentage->setText(QStringLiteral("%") +
                                         QString::fromStdString(formatAmount(*result.undistributedPercent)));
    } else {
        undistributedAmount->clear();
        undistributedPercentage->clear();
    }
}

void TfmDivision::clearRows(const std::vector<Row>& rows)
{
    for (Row row : rows)
        amount(row)->clear();
}

void TfmDivision::FormShow()
{
    for (QLineEdit* edit : amounts)
        if (edit->text() == QLatin1String("0") || edit->text() == nothingForHim())
            edit->setText(nothingForHimShown());

    int labelTop = kFirstLabelTop;
    int editTop = kFirstEditTop;
    for (int i = 0; i < kRowCount; ++i) {
        const std::size_t k = std::size_t(i);
        QLineEdit* edit = amounts[k];
        if (edit->text().isEmpty())
            continue;
        QLabel* label = captions[k];
        QLabel* percent = percentages[k];
        label->move(label->x(), labelTop);
        percent->move(percent->x(), labelTop);
        edit->move(edit->x(), editTop);
        for (QWidget* w : {static_cast<QWidget*>(edit), static_cast<QWidget*>(label), static_cast<QWidget*>(percent)})
            w->show();
        // A screen reader reads the whole line from the amount.
        const QString caption = label->text().trimmed();
        const QString share = percent->text().trimmed();
        edit->setAccessibleDescription(share.isEmpty() ? caption + QStringLiteral(": ") + edit->text()
                                                       : caption + QStringLiteral(": ") + edit->text()
                                                             + QStringLiteral("، ") + share);
        percent->setAccessibleName(caption + QStringLiteral("، النسبة ") + share);
        labelTop += kLineStep;
        editTop += kLineStep;
    }
    if (!undistributedAmount->text().isEmpty()) {
        undistributedCaption->move(undistributedCaption->x(), labelTop);
        undistributedPercentage->move(undistributedPercentage->x(), labelTop);
        undistributedAmount->move(undistributedAmount->x(), editTop);
        for (QWidget* w : {static_cast<QWidget*>(undistributedAmount), static_cast<QWidget*>(undistributedCaption),
                           static_cast<QWidget*>(undistributedPercentage)})
            w->show();
        undistributedAmount->setAccessibleDescription(undistributedCaption->text() + QStringLiteral(": ") +
                                                      undistributedAmount->text() + QStringLiteral("، ") +
                                                      undistributedPercentage->text());
        labelTop += kLineStep;
        editTop += kLineStep;
    }
    Button1->move(Button1->x(), editTop + kButtonBelowLines);
    resize(width(), editTop + kHeightBelowLines - ui::kFrameHeight);
    ui::centreOnScreen(this);
}

int TfmDivision::layoutHeight() const { return height() + ui::kFrameHeight; }

void TfmDivision::HideAllLines()
{
    for (int i = 0; i < kRowCount; ++i) {
        const std::size_t k = std::size_t(i);
        amounts[k]->hide();
        captions[k]->hide();
        percentages[k]->hide();
    }
    undistributedAmount->hide();
    undistributedCaption->hide();
    undistributedPercentage->hide();
}

void TfmDivision::Button1Click()
{
    HideAllLines();
    if (isVisible())
        done(QDialog::Accepted);
    if (fmSon) {
        fmSon->Edit1->setText(QStringLiteral("0"));
        fmSon->Edit2->setText(QStringLiteral("0"));
    }
    amount(Row::edtNebnAmLiAb)->clear();
    for (QLineEdit* edit : amounts)
        edit->clear();
    if (fmMain) {
        // Unticking runs each box's own behaviour, which empties its dialog.
        // No law excerpt is shown while the case is cleared.
        const LookupsSuppressed quiet;
        for (QCheckBox* box : fmMain->heirBoxes())
            fmMain->setTicked(box, false);
    }
    if (fmGrandMother)
        for (QCheckBox* box : fmGrandMother->boxes())
            box->setChecked(false);
    for (QLabel* percent : percentages)
        percent->setText(blankPercentage());
    undistributedAmount->clear();
    undistributedPercentage->clear();
    // Every division starts with the spouses' total still to be set aside.
}

void TfmDivision::showEvent(QShowEvent* event)
{
    // Not again when the window comes back from being minimized.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TfmDivision::reject()
{
    ui::guarded([this] { Button1Click(); }, this);
}

}  // namespace qismar
