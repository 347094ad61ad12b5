// The estate's preparation dialog: funeral and burial costs, debts, bequests
// and the heirs' consent, with what remains for the heirs shown as they are
// typed.
#include "entry/preparation_dialog.h"

#include "results/amount_text.h"

#include "ui/amount_validator.h"
#include "ui/digit_edit.h"
#include "ui/fitted_label.h"
#include "ui/toggles.h"
#include "ui/ui_common.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qismar {

namespace {

using results::amountText;

QString arabic(const std::string& utf8) { return QString::fromStdString(utf8); }
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
        const QString plain = ui::AmountValidator::plainAmount(text);
        if (plain.isEmpty())
            throw EngineError(ErrorCode::NotAWholeNumber);
        const Currency amount = parseAmount(plain.toStdString());
        if (amount.raw() < 0)
            throw EngineError(ErrorCode::NotAWholeNumber);
        return amount;
    } catch (const EngineError& error) {
        if (error.code() == ErrorCode::OutOfRange)
            problem = QStringLiteral("مبلغ %1 أكبر من أكبر مبلغ يقبله البرنامج (%2)").arg(name, kLargestAmount);
        else
            problem = QStringLiteral("%1 يُكتب مبلغاً بالأرقام، والمكتوب «%2»").arg(name, ui::quoted(text));
        return std::nullopt;
    }
}

// The calculation, one short line a step, in the order of the law.
QString calculationSteps(const PreparedEstate& p)
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

EstateField EstateField::read(const QString& text)
{
    EstateField field;
    field.text = text;
    try {
        const QString plain = ui::AmountValidator::plainAmount(text);
        const Currency amount = parseAmount((plain.isEmpty() ? ui::withAsciiDigits(text) : plain).toStdString());
        if (amount.raw() < 0)
            field.negative = true;
        else
            field.amount = amount;
    } catch (const EngineError& error) {
        field.tooLarge = error.code() == ErrorCode::OutOfRange;
    }
    return field;
}

PreparationDialog::PreparationDialog() : HeirDialog(QStringLiteral("تجهيز التركة"), 490, 480)
{
    setObjectName(QStringLiteral("preparationDialog"));
    setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 13));
    estate_ = EstateField::read(QStringLiteral("0"));
    createAmounts();
    createCalculation();
    createButtons();
    refresh();
}

void PreparationDialog::createAmounts()
{
    // The fields and the texts stand on plain panels over the picture, so
    // that they read easily.
    panel = ui::named(new QFrame(this), "panel");
    panel->setGeometry(10, 8, 462, 186);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAutoFillBackground(true);

    guidance = ui::named(new QLabel(QStringLiteral("يُخرج من التركة أولاً نفقات تجهيز المتوفى ودفنه، ثم ديونه، ثم وصاياه "
                                                   "في حدود ثلث الباقي، وما بقي فللورثة. اكتب المبالغ بالأرقام، واتركها "
                                                   "صفراً إن لم توجد."),
                                    this),
                         "noteLabel");
    // Three lines of the guidance in full.
    guidance->setGeometry(18, 12, 446, 52);
    guidance->setWordWrap(true);
    guidance->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 12));
    ui::setTextColor(guidance, ui::kTextNavy);

    auto label = [this](const char* name, const QString& text, int y) {
        auto* l = ui::named(new QLabel(text, this), name);
        l->setGeometry(262, y, 202, 24);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ui::setTextColor(l, ui::kTextRed);
        return l;
    };
    funeralLabel = label("funeralLabel", QStringLiteral("نفقات التجهيز والدفن"), 64);
    funeralEdit = addAmountEdit("funeralEdit", 64, QStringLiteral("نفقات التجهيز والدفن"),
                                QStringLiteral("ما أُنفق على تجهيز المتوفى ودفنه، بالعملة"));
    debtsLabel = label("debtsLabel", QStringLiteral("الديون"), 96);
    debtsEdit = addAmountEdit("debtsEdit", 96, QStringLiteral("الديون"), QStringLiteral("ديون المتوفى التي عليه للناس، بالعملة"));
    bequestsLabel = label("bequestsLabel", QStringLiteral("الوصايا"), 128);
    bequestsEdit = addAmountEdit("bequestsEdit", 128, QStringLiteral("الوصايا"),
                                 QStringLiteral("ما أوصى به المتوفى من ماله، بالعملة"));
    funeralLabel->setBuddy(funeralEdit);
    debtsLabel->setBuddy(debtsEdit);
    bequestsLabel->setBuddy(bequestsEdit);

    consentBox = addCheckBox("consentBox", QStringLiteral("أجاز الورثة ما زاد من الوصايا على الثلث"), 18, 162, 446, 24);
    consentBox->setToolTip(QStringLiteral("إذا أجاز الورثة نُفذت الوصايا كلها ما دام يبقى شيء بعد الديون،\n"
                                          "وإلا نُفذت في حدود ثلث الباقي بعد الديون"));
    consentBox->setAccessibleName(QStringLiteral("إجازة الورثة ما زاد على الثلث"));
    ui::setTextColor(consentBox, ui::kTextRed);
    connect(consentBox, &QCheckBox::toggled, this, [this] { refresh(); });
}

void PreparationDialog::createCalculation()
{
    // The frame stops short of the window's right border, so that its
    // caption stands clear of the border's ornaments.
    calculationFrame = addFrame("calculationFrame", QStringLiteral("الحساب"), 10, 198, 440, 206);
    calculation = ui::named(new ui::FittedLabel(QString(), this), "St1");
    calculation->setGeometry(18, 222, 424, 144);
    calculation->setWordWrap(true);
    calculation->setAlignment(Qt::AlignRight | Qt::AlignTop);
    calculation->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    calculation->setMargin(2);
    calculation->setAutoFillBackground(true);
    calculation->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 12));
    calculation->setAccessibleName(QStringLiteral("حساب التركة"));
    remains = ui::named(new QLabel(this), "remains");
    remains->setGeometry(18, 370, 424, 28);
    remains->setAlignment(Qt::AlignCenter);
    remains->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    remains->setAutoFillBackground(true);
    remains->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 15, true));
    remains->setAccessibleName(QStringLiteral("الباقي للورثة"));
}

void PreparationDialog::createButtons()
{
    doneButton = addButton("doneButton", QStringLiteral("تم"), 256, 412, 80, 30);
    doneButton->setDefault(true);
    doneButton->setAccessibleName(QStringLiteral("تم"));
    clearButton = addButton("clearButton", QStringLiteral("مسح"), 146, 412, 80, 30);
    clearButton->setToolTip(QStringLiteral("يجعل المبالغ كلها صفراً ويلغي الإجازة"));
    clearButton->setAccessibleName(QStringLiteral("مسح"));
    connect(doneButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { finish(); }, this); });
    connect(clearButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { clearAmounts(); }, this); });

    QWidget* order[] = {funeralEdit, debtsEdit, bequestsEdit, consentBox, doneButton, clearButton};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

QLineEdit* PreparationDialog::addAmountEdit(const char* name, int y, const QString& accessibleName, const QString& tip)
{
    auto* edit = ui::named(new ui::DigitEdit(QStringLiteral("0"), QStringLiteral("0"), this, ui::DigitEdit::Amount::Money), name);
    edit->setGeometry(76, y, 178, 24);
    edit->setAccessibleName(accessibleName);
    edit->setToolTip(tip);
    connect(edit, &QLineEdit::textChanged, this, [this] { refresh(); });
    return edit;
}

QWidget* PreparationDialog::firstField() const { return funeralEdit; }

PreparationDialog::Reading PreparationDialog::read() const
{
    Reading r;
    EstateCase& c = r.preparation;
    const struct {
        QLineEdit* edit;
        Currency EstateCase::*value;
    } fields[] = {{funeralEdit, &EstateCase::funeral}, {debtsEdit, &EstateCase::debts},
                  {bequestsEdit, &EstateCase::bequests}};
    for (const auto& f : fields) {
        const std::optional<Currency> v = readAmount(f.edit, QStringLiteral("«%1»").arg(f.edit->accessibleName()), r.problem);
        if (!v) {
            r.problemField = f.edit;
            r.refuse = true;
            return r;
        }
        c.*(f.value) = *v;
    }
    c.heirsConsent = consentBox->isChecked();
    if (!estate_.amount) {
        const QString estate = QStringLiteral("«قيمة التركة»");
        r.problem = estate_.tooLarge
                        ? QStringLiteral("مبلغ %1 أكبر من أكبر مبلغ يقبله البرنامج (%2)").arg(estate, kLargestAmount)
                        : QStringLiteral("%1 يُكتب مبلغاً بالأرقام من 0 إلى 9، والمكتوب «%2»")
                              .arg(estate, ui::quoted(estate_.text));
        return r;
    }
    c.estate = *estate_.amount;
    try {
        r.prepared = PrepareEstate(c);
    } catch (const EngineError& error) {
        // Costs and debts of any sum are taken (they consume the estate);
        // only an amount the engine cannot take at all comes here.
        r.problem = ui::errorMessage(error);
        r.problemField = debtsEdit;
        r.refuse = true;
    }
    return r;
}

bool PreparationDialog::isEmpty() const
{
    for (const QLineEdit* edit : {funeralEdit, debtsEdit, bequestsEdit}) {
        QString problem;
        const std::optional<Currency> v = readAmount(edit, QString(), problem);
        if (!v || !v->isZero())
            return false;
    }
    return !consentBox->isChecked();
}

void PreparationDialog::setGrossEstate(const EstateField& estate)
{
    estate_ = estate;
    refresh();
}

void PreparationDialog::showPreparation(const EstateCase& c)
{
    funeralEdit->setText(shownAmount(c.funeral));
    debtsEdit->setText(shownAmount(c.debts));
    bequestsEdit->setText(shownAmount(c.bequests));
    consentBox->setChecked(c.heirsConsent);
    refresh();
}

void PreparationDialog::clearFields() { showPreparation(EstateCase{}); }

void PreparationDialog::refresh()
{
    const Reading r = read();
    QString steps;
    QString remainsText;
    QColor stepsColour = ui::kTextNavy;
    QColor remainsColour = kRemainsGreen;
    if (!r.problem.isEmpty()) {
        steps = r.problem;
        stepsColour = ui::kTextRed;
        remainsText = QStringLiteral("الباقي للورثة: —");
        remainsColour = ui::kTextRed;
    } else if (r.preparation.estate.isZero()) {
        steps = QStringLiteral("اكتب قيمة التركة كلها أولاً في نافذة إدخال الورثة: منها تُخرج هذه المبالغ.");
        remainsText = QStringLiteral("الباقي للورثة: —");
        remainsColour = ui::kTextNavy;
    } else {
        steps = calculationSteps(*r.prepared);
        if (r.prepared->consumedByDebts || r.prepared->net.isZero()) {
            remainsText = QStringLiteral("لا يبقى للورثة شيء، فلا قسمة");
            remainsColour = ui::kTextRed;
        } else {
            remainsText = QStringLiteral("الباقي للورثة: %1").arg(shownAmount(r.prepared->net));
        }
    }
    calculation->setText(steps);
    calculation->setAccessibleDescription(steps);
    ui::setTextColor(calculation, stepsColour);
    remains->setText(remainsText);
    remains->setAccessibleDescription(remainsText);
    ui::setTextColor(remains, remainsColour);
    emit changed();
}

void PreparationDialog::finish()
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

void PreparationDialog::clearAmounts()
{
    clearFields();
    funeralEdit->setFocus(Qt::OtherFocusReason);
    funeralEdit->selectAll();
}

QString preparationSummary(const PreparationDialog::Reading& r)
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
