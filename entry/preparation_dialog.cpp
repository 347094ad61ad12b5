// The estate's preparation dialog: funeral and burial costs, debts, bequests
// and the heirs' consent, with what remains for the heirs shown as they are
// typed.
#include "entry/preparation_dialog.h"

#include "results/amount_text.h"

#include "ui/digit_edit.h"
#include "entry/entry_window.h"
#include "ui/fitted_label.h"
#include "ui/toggles.h"
#include "ui/ui_common.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace qismar {

TfmPreparation* fmPreparation = nullptr;

namespace {

QString arabic(const std::string& utf8) { return QString::fromStdString(utf8); }
QString amountText(Currency v) { return QString::fromStdString(formatAmount(v)); }
// An amount as the program shows amounts for reading: grouped in threes.
QString shownAmount(Currency v) { return results::groupedAmount(amountText(v)); }

const QString kLargestAmount = QStringLiteral("922337203685477");

// The green of what remains, dark enough to read on the window face.
const QColor kRemainsGreen{0, 112, 0};

// An amount typed as digits; on failure says why, naming the field.
std::optional<Currency> readAmount(const QLineEdit* edit, const QString& name, QString& problem)
{
    const QString text = edit->text();
    try {
        return parseDigits(ui::withAsciiDigits(text).toStdString());
    } catch (const EngineError& error) {
        if (error.code() == ErrorCode::OutOfRange)
            problem = QStringLiteral("مبلغ %1 أكبر من أكبر مبلغ يقبله البرنامج (%2)").arg(name, kLargestAmount);
        else
            problem = QStringLiteral("%1 يُكتب مبلغاً بالأرقام من 0 إلى 9، والمكتوب «%2»").arg(name, ui::quoted(text));
        return std::nullopt;
    }
}

// The calculation, one short line a step, in the order of the law.
QString calculation(const PreparedEstate& p)
{
    QStringList lines;
    lines << QStringLiteral("التركة كلها: %1").arg(shownAmount(p.gross));
    lines << QStringLiteral("تُخرج نفقات التجهيز والدفن: %1").arg(shownAmount(p.funeral));
    lines << QStringLiteral("ثم الديون: %1").arg(shownAmount(p.debts));
    if (p.consumedByDebts) {
        lines << results::withGroupedNumbers(arabic(ConsumedMessage(p)));
        return lines.join(QLatin1Char('\n'));
    }
    QString bequests = QStringLiteral("ثم الوصايا: %1").arg(shownAmount(p.bequestsCarriedOut));
    if (p.bequestsLimitedToThird)
        bequests += QStringLiteral(" من %1، في حدود ثلث الباقي بعد الديون لأن الورثة لم يجيزوا ما زاد")
                        .arg(shownAmount(p.bequests));
    else if (p.bequestsCarriedOut < p.bequests)
        bequests += QStringLiteral(" من %1 بإجازة الورثة، وهو كل ما بقي بعد الديون").arg(shownAmount(p.bequests));
    else if (p.bequests > p.third)
        bequests += QStringLiteral("، كاملة بإجازة الورثة ما زاد على الثلث");
    else if (!p.bequests.isZero())
        bequests += QStringLiteral("، لا تزيد على ثلث الباقي بعد الديون (%1)").arg(shownAmount(p.third));
    lines << bequests;
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

TfmPreparation::TfmPreparation() : THeirDialog(QStringLiteral("تجهيز التركة"), 490, 480)
{
    setObjectName(QStringLiteral("fmPreparation"));
    setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 13));
    // The fields and the texts stand on plain panels over the picture, so
    // that they read easily.
    Panel1 = ui::named(new QFrame(this), "Panel1");
    Panel1->setGeometry(10, 8, 462, 186);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setAutoFillBackground(true);

    Label1 = ui::named(new QLabel(QStringLiteral("يُخرج من التركة أولاً نفقات تجهيز المتوفى ودفنه، ثم ديونه، ثم وصاياه "
                                                 "في حدود ثلث الباقي، وما بقي فللورثة. اكتب المبالغ بالأرقام، واتركها "
                                                 "صفراً إن لم توجد."),
                                  this),
                       "Label1");
    Label1->setGeometry(18, 12, 446, 48);
    Label1->setWordWrap(true);
    Label1->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 12));
    ui::setTextColor(Label1, ui::kTextNavy);

    auto label = [this](const char* name, const QString& text, int y) {
        auto* l = ui::named(new QLabel(text, this), name);
        l->setGeometry(262, y, 202, 24);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ui::setTextColor(l, ui::kTextRed);
        return l;
    };
    Label2 = label("Label2", QStringLiteral("نفقات التجهيز والدفن"), 64);
    Edit1 = addAmountEdit("Edit1", 64, QStringLiteral("نفقات التجهيز والدفن"),
                          QStringLiteral("ما أُنفق على تجهيز المتوفى ودفنه، بالعملة"));
    Label3 = label("Label3", QStringLiteral("الديون"), 96);
    Edit2 = addAmountEdit("Edit2", 96, QStringLiteral("الديون"), QStringLiteral("ديون المتوفى التي عليه للناس، بالعملة"));
    Label4 = label("Label4", QStringLiteral("الوصايا"), 128);
    Edit3 = addAmountEdit("Edit3", 128, QStringLiteral("الوصايا"),
                          QStringLiteral("ما أوصى به المتوفى من ماله، بالعملة"));
    Label2->setBuddy(Edit1);
    Label3->setBuddy(Edit2);
    Label4->setBuddy(Edit3);

    CheckBox1 = addCheckBox("CheckBox1", QStringLiteral("أجاز الورثة ما زاد من الوصايا على الثلث"), 18, 162, 446, 24);
    CheckBox1->setToolTip(QStringLiteral("إذا أجاز الورثة نُفذت الوصايا كلها ما دام يبقى شيء بعد الديون،\n"
                                         "وإلا نُفذت في حدود ثلث الباقي بعد الديون"));
    CheckBox1->setAccessibleName(QStringLiteral("إجازة الورثة ما زاد على الثلث"));
    ui::setTextColor(CheckBox1, ui::kTextRed);

    // The frame stops short of the window's right border, so that its
    // caption stands clear of the border's ornaments.
    GroupBox1 = addFrame("GroupBox1", QStringLiteral("الحساب"), 10, 198, 440, 206);
    St1 = ui::named(new ui::FittedLabel(QString(), this), "St1");
    St1->setGeometry(18, 222, 424, 144);
    St1->setWordWrap(true);
    St1->setAlignment(Qt::AlignRight | Qt::AlignTop);
    St1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    St1->setMargin(2);
    St1->setAutoFillBackground(true);
    St1->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 12));
    St1->setAccessibleName(QStringLiteral("حساب التركة"));
    Label5 = ui::named(new QLabel(this), "Label5");
    Label5->setGeometry(18, 370, 424, 28);
    Label5->setAlignment(Qt::AlignCenter);
    Label5->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label5->setAutoFillBackground(true);
    Label5->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 15, true));
    Label5->setAccessibleName(QStringLiteral("الباقي للورثة"));

    Button1 = addButton("Button1", QStringLiteral("تم"), 256, 412, 80, 30);
    Button1->setDefault(true);
    Button1->setAccessibleName(QStringLiteral("تم"));
    Button2 = addButton("Button2", QStringLiteral("مسح"), 146, 412, 80, 30);
    Button2->setToolTip(QStringLiteral("يجعل المبالغ كلها صفراً ويلغي الإجازة"));
    Button2->setAccessibleName(QStringLiteral("مسح"));
    connect(Button1, &QPushButton::clicked, this, [this] { ui::guarded([this] { Button1Click(); }, this); });
    connect(Button2, &QPushButton::clicked, this, [this] { ui::guarded([this] { Button2Click(); }, this); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { refresh(); });

    QWidget* order[] = {Edit1, Edit2, Edit3, CheckBox1, Button1, Button2};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    refresh();
    fmPreparation = this;
}

TfmPreparation::~TfmPreparation()
{
    if (fmPreparation == this)
        fmPreparation = nullptr;
}

QLineEdit* TfmPreparation::addAmountEdit(const char* name, int y, const QString& accessibleName, const QString& tip)
{
    auto* edit = ui::named(new ui::DigitEdit(QStringLiteral("0"), QStringLiteral("0"), this), name);
    edit->setGeometry(76, y, 178, 24);
    edit->setAccessibleName(accessibleName);
    edit->setToolTip(tip);
    connect(edit, &QLineEdit::textChanged, this, [this] { refresh(); });
    return edit;
}

QWidget* TfmPreparation::firstField() const { return Edit1; }

TfmPreparation::Reading TfmPreparation::read() const
{
    Reading r;
    EstateCase& c = r.preparation;
    const struct {
        QLineEdit* edit;
        Currency EstateCase::*value;
    } fields[] = {{Edit1, &EstateCase::funeral}, {Edit2, &EstateCase::debts}, {Edit3, &EstateCase::bequests}};
    for (const auto& f : fields) {
        const std::optional<Currency> v = readAmount(f.edit, QStringLiteral("«%1»").arg(f.edit->accessibleName()), r.problem);
        if (!v) {
            r.problemField = f.edit;
            r.refuse = true;
            return r;
        }
        c.*(f.value) = *v;
    }
    c.heirsConsent = CheckBox1->isChecked();
    if (fmMain) {
        const std::optional<Currency> gross = readAmount(fmMain->edttarikh, QStringLiteral("«قيمة التركة»"), r.problem);
        if (!gross)
            return r;
        c.estate = *gross;
    }
    try {
        r.prepared = PrepareEstate(c);
    } catch (const EngineError&) {
        r.problem = QStringLiteral("مجموع نفقات التجهيز والديون أكبر من أكبر مبلغ يقبله البرنامج (%1)").arg(kLargestAmount);
        r.problemField = Edit2;
        r.refuse = true;
    }
    return r;
}

bool TfmPreparation::isEmpty() const
{
    for (const QLineEdit* edit : {Edit1, Edit2, Edit3}) {
        QString problem;
        const std::optional<Currency> v = readAmount(edit, QString(), problem);
        if (!v || !v->isZero())
            return false;
    }
    return !CheckBox1->isChecked();
}

void TfmPreparation::setPreparation(const EstateCase& c)
{
    Edit1->setText(amountText(c.funeral));
    Edit2->setText(amountText(c.debts));
    Edit3->setText(amountText(c.bequests));
    CheckBox1->setChecked(c.heirsConsent);
    refresh();
}

void TfmPreparation::clearFields() { setPreparation(EstateCase{}); }

void TfmPreparation::refresh()
{
    const Reading r = read();
    QString steps;
    QString remains;
    QColor stepsColour = ui::kTextNavy;
    QColor remainsColour = kRemainsGreen;
    if (!r.problem.isEmpty()) {
        steps = r.problem;
        stepsColour = ui::kTextRed;
        remains = QStringLiteral("الباقي للورثة: —");
        remainsColour = ui::kTextRed;
    } else if (r.preparation.estate.isZero()) {
        steps = QStringLiteral("اكتب قيمة التركة كلها أولاً في نافذة إدخال الورثة: منها تُخرج هذه المبالغ.");
        remains = QStringLiteral("الباقي للورثة: —");
        remainsColour = ui::kTextNavy;
    } else {
        steps = calculation(*r.prepared);
        if (r.prepared->consumedByDebts || r.prepared->net.isZero()) {
            remains = QStringLiteral("لا يبقى للورثة شيء، فلا قسمة");
            remainsColour = ui::kTextRed;
        } else {
            remains = QStringLiteral("الباقي للورثة: %1").arg(shownAmount(r.prepared->net));
        }
    }
    St1->setText(steps);
    St1->setAccessibleDescription(steps);
    ui::setTextColor(St1, stepsColour);
    Label5->setText(remains);
    Label5->setAccessibleDescription(remains);
    ui::setTextColor(Label5, remainsColour);
    if (fmMain)
        fmMain->preparationChanged();
}

void TfmPreparation::Button1Click()
{
    const Reading r = read();
    if (r.refuse) {
        // The amount stays as typed, for the user to correct.
        ui::showWarningBox(r.problem, this);
        if (r.problemField) {
            r.problemField->setFocus(Qt::OtherFocusReason);
            r.problemField->selectAll();
        }
        return;
    }
    closeDialog();
}

void TfmPreparation::Button2Click()
{
    clearFields();
    Edit1->setFocus(Qt::OtherFocusReason);
    Edit1->selectAll();
}

void TfmPreparation::showEvent(QShowEvent* event)
{
    // The estate may have changed since the dialog was last open.
    refresh();
    THeirDialog::showEvent(event);
}

QString preparationSummary(const TfmPreparation::Reading& r)
{
    if (!r.problem.isEmpty())
        return r.refuse ? QStringLiteral("في تجهيز التركة مبلغ لا يُقبل") : QString();
    if (!r.prepared || r.preparation.estate.isZero() || !HasPreparation(r.preparation))
        return QString();
    if (r.prepared->consumedByDebts || r.prepared->net.isZero())
        return QStringLiteral("لا يبقى للورثة شيء");
    return QStringLiteral("للقسمة بعد التجهيز: %1").arg(shownAmount(r.prepared->net));
}

}  // namespace qismar
