#include "entry/case_details_dialog.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QVBoxLayout>

#include "results/division_report.h"
#include "ui/ui_common.h"

namespace qismar {

namespace {

QString fromUtf8(std::string_view t) { return QString::fromUtf8(t.data(), qsizetype(t.size())); }

QLineEdit* textEdit(QWidget* parent, const char* name, const QString& accessible)
{
    auto* edit = ui::named(new QLineEdit(parent), name);
    edit->setMaxLength(int(kMaxDetailCharacters));
    edit->setAccessibleName(accessible);
    return edit;
}

}  // namespace

std::vector<std::string> splitNames(const QString& line)
{
    std::vector<std::string> out;
    static const QRegularExpression separators(QStringLiteral("[,،]"));
    for (const QString& piece : line.split(separators)) {
        const QString name = piece.trimmed();
        if (!name.isEmpty())
            out.push_back(name.toStdString());
    }
    return out;
}

CaseDetailsDialog::CaseDetailsDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("caseDetailsDialog"));
    setWindowTitle(QStringLiteral("بيانات المسألة"));
    setLayoutDirection(Qt::RightToLeft);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("بيانات تظهر في تقرير القسمة، وكلها اختيارية ولا تغير القسمة."), this);
    intro->setObjectName(QStringLiteral("detailsIntroduction"));
    layout->addWidget(intro);

    auto* form = new QFormLayout;
    nameEdit = textEdit(this, "deceasedName", QStringLiteral("اسم المتوفى"));
    form->addRow(QStringLiteral("اسم المتوفى:"), nameEdit);
    dateEdit = textEdit(this, "dateOfDeath", QStringLiteral("تاريخ الوفاة"));
    dateEdit->setPlaceholderText(QStringLiteral("سنة-شهر-يوم، مثل 2024-03-16"));
    dateEdit->setMaxLength(10);
    form->addRow(QStringLiteral("تاريخ الوفاة:"), dateEdit);
    hijriDate = ui::named(new QLabel(this), "dateOfDeathShown");
    form->addRow(QString(), hijriDate);
    placeEdit = textEdit(this, "placeOfDeath", QStringLiteral("مكان الوفاة"));
    form->addRow(QStringLiteral("مكان الوفاة:"), placeEdit);
    referenceEdit = textEdit(this, "reference", QStringLiteral("رقم الملف أو القضية"));
    form->addRow(QStringLiteral("رقم الملف أو القضية:"), referenceEdit);
    currencyEdit = textEdit(this, "currency", QStringLiteral("اسم العملة"));
    currencyEdit->setPlaceholderText(fromUtf8(kDefaultCurrency));
    form->addRow(QStringLiteral("العملة:"), currencyEdit);
    layout->addLayout(form);

    auto* heirsTitle = ui::named(new QLabel(QStringLiteral("أسماء الورثة (تفصل بين الأسماء فاصلة):"), this), "heirNamesTitle");
    // Room for the ink of the parentheses, which reaches beyond the line.
    heirsTitle->setMinimumHeight(heirsTitle->fontMetrics().height() + 6);
    layout->addWidget(heirsTitle);
    heirsArea = ui::named(new QScrollArea(this), "heirNames");
    heirsArea->setWidgetResizable(true);
    heirsArea->setMinimumHeight(120);
    layout->addWidget(heirsArea, 1);

    auto* buttons = new QDialogButtonBox(this);
    doneButton = ui::named(buttons->addButton(QStringLiteral("تم"), QDialogButtonBox::AcceptRole), "detailsDone");
    cancelButton = ui::named(buttons->addButton(QStringLiteral("إلغاء"), QDialogButtonBox::RejectRole), "detailsCancel");
    doneButton->setDefault(true);
    layout->addWidget(buttons);
    connect(doneButton, &QPushButton::clicked, this, [this] { finish(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(dateEdit, &QLineEdit::textChanged, this, [this] { showDate(); });
    resize(560, 480);
}

void CaseDetailsDialog::showHeirs(const EstateCase& estateCase, const CaseDetails& details)
{
    names_.fill(nullptr);
    auto* list = new QWidget;
    auto* form = new QFormLayout(list);
    for (const HeirInfo& heir : kHeirs) {
        if (!RelativePresent(estateCase, heir.heir))
            continue;
        const HeadCount heads = HeadsOf(estateCase, heir.heir);
        const QString caption = heads.persons() > 1 ? QStringLiteral("%1 (%2):").arg(fromUtf8(heir.plural)).arg(heads.persons())
                                                     : fromUtf8(heir.singular) + QLatin1Char(':');
        auto* edit = ui::named(new QLineEdit(list), "names");
        edit->setObjectName(QStringLiteral("names-") + fromUtf8(heir.name));
        edit->setAccessibleName(QStringLiteral("أسماء ") + fromUtf8(heir.plural.empty() ? heir.singular : heir.plural));
        QStringList shown;
        for (const std::string& n : details.heirNames[static_cast<std::size_t>(index(heir.heir))])
            shown << QString::fromStdString(n);
        edit->setText(shown.join(QStringLiteral("، ")));
        form->addRow(caption, edit);
        names_[static_cast<std::size_t>(index(heir.heir))] = edit;
    }
    if (form->rowCount() == 0)
        form->addRow(new QLabel(QStringLiteral("لم يُختر وارث بعد."), list));
    heirsArea->setWidget(list);
}

void CaseDetailsDialog::showDate()
{
    CivilDate day;
    if (dateEdit->text().isEmpty())
        hijriDate->clear();
    else if (parseDateOfDeath(dateEdit->text().toStdString(), day)) {
        const QDate date(day.year, day.month, day.day);
        hijriDate->setText(QStringLiteral("%1 الموافق %2")
                               .arg(results::gregorianDateText(date), results::hijriDateText(date)));
    } else {
        hijriDate->setText(QStringLiteral("اكتب التاريخ سنة-شهر-يوم، مثل 2024-03-16"));
    }
}

CaseDetails CaseDetailsDialog::read() const
{
    CaseDetails d;
    d.name = nameEdit->text().trimmed().toStdString();
    d.dateOfDeath = dateEdit->text().trimmed().toStdString();
    d.place = placeEdit->text().trimmed().toStdString();
    d.reference = referenceEdit->text().trimmed().toStdString();
    d.currency = currencyEdit->text().trimmed().toStdString();
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (names_[i])
            d.heirNames[i] = splitNames(names_[i]->text());
    return d;
}

void CaseDetailsDialog::finish()
{
    if (const DetailsProblem p = checkCaseDetails(read(), case_)) {
        ui::showWarningBox(QString::fromStdString(p.arabic), this);
        return;
    }
    accept();
}

bool CaseDetailsDialog::edit(const EstateCase& estateCase, CaseDetails& details)
{
    showDetails(estateCase, details);
    if (exec() != QDialog::Accepted)
        return false;
    details = read();
    return true;
}

void CaseDetailsDialog::showDetails(const EstateCase& estateCase, const CaseDetails& details)
{
    case_ = estateCase;
    nameEdit->setText(QString::fromStdString(details.name));
    dateEdit->setText(QString::fromStdString(details.dateOfDeath));
    placeEdit->setText(QString::fromStdString(details.place));
    referenceEdit->setText(QString::fromStdString(details.reference));
    currencyEdit->setText(QString::fromStdString(details.currency));
    showHeirs(estateCase, details);
    showDate();
    nameEdit->setFocus();
}

}  // namespace qismar
