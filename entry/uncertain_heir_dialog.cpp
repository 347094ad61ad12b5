#include "entry/uncertain_heir_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "engine/heirs.h"
#include "ui/ui_common.h"

namespace qismar {

namespace {

QString text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

// A relative in the list of the missing heir: his name for one head, "واحد
// من ..." with the number for several.
QString missingItem(const EstateCase& c, Heir heir)
{
    const HeirInfo& info = heirInfo(heir);
    const std::int64_t heads = RelativePresent(c, heir) ? HeadsOf(c, heir).persons() : 0;
    if (heads <= 1 || info.plural.empty())
        return text(info.singular);
    return QStringLiteral("%1 من %2 (%3)")
        .arg(info.gender == Gender::Female ? QStringLiteral("واحدة") : QStringLiteral("واحد"), text(info.plural))
        .arg(heads);
}

void selectData(QComboBox* box, int value)
{
    const int at = box->findData(value);
    box->setCurrentIndex(at >= 0 ? at : 0);
}

}  // namespace

UncertainHeirDialog::UncertainHeirDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("uncertainHeirDialog"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("وارث لم يتبين حاله"));
    setWindowIcon(ui::programIcon());
    setLayoutDirection(Qt::RightToLeft);
    setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 13));

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    note = new QLabel(QStringLiteral("يُدخل في المسألة وارث واحد لم يتبين حاله:\n"
                                     "حمل، أو مفقود، أو خنثى مشكل؛ اختيار أحدها يُلغي الآخر."),
                      this);
    note->setObjectName(QStringLiteral("note"));
    note->setAccessibleName(QStringLiteral("وارث واحد لم يتبين حاله في المسألة"));
    layout->addWidget(note);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    auto* group = new QButtonGroup(this);
    auto radio = [&](const char* name, const QString& caption, const QString& tip, int row) {
        auto* b = new QRadioButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAccessibleName(caption);
        group->addButton(b);
        // As wide as its caption, so that a click on it lands on it.
        grid->addWidget(b, row, 0, Qt::AlignLeading | Qt::AlignVCenter);
        return b;
    };
    auto list = [&](const char* name, const QString& accessible, int row) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setAccessibleName(accessible);
        box->setMinimumWidth(220);
        grid->addWidget(box, row, 1);
        return box;
    };
    noneButton = radio("noneButton", QStringLiteral("لا أحد"), QStringLiteral("كل الورثة معلومو الحال"), 0);
    unbornButton = radio("unbornButton", QStringLiteral("حمل"),
                         QStringLiteral("حمل يرث إن وُلد حياً: تُقسم التركة على أنه ميت وذكر وأنثى"), 1);
    unbornLine = list("unbornLine", QStringLiteral("صلة الحمل بالمتوفى"), 1);
    for (const KinLineName& l : kUnbornLines)
        unbornLine->addItem(text(l.arabic), int(l.line));
    missingButton = radio("missingButton", QStringLiteral("مفقود"),
                          QStringLiteral("وارث معدود في المسألة لا تُعرف حياته من موته"), 2);
    missingHeir = list("missingHeir", QStringLiteral("المفقود من الورثة"), 2);
    undeterminedButton = radio("undeterminedButton", QStringLiteral("خنثى مشكل"),
                               QStringLiteral("وارث لم تتبين ذكورته من أنوثته: تُقسم التركة على التقديرين"), 3);
    undeterminedLine = list("undeterminedLine", QStringLiteral("فئة الخنثى"), 3);
    for (const KinLineName& l : kUndeterminedLines)
        undeterminedLine->addItem(text(l.arabic), int(l.line));
    layout->addLayout(grid);

    refusalText = new QLabel(this);
    refusalText->setObjectName(QStringLiteral("refusalText"));
    refusalText->setWordWrap(true);
    refusalText->setAccessibleName(QStringLiteral("سبب رفض الاختيار"));
    ui::setTextColor(refusalText, ui::kTextRed);
    layout->addWidget(refusalText);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    doneButton = new QPushButton(QStringLiteral("تم"), this);
    doneButton->setObjectName(QStringLiteral("doneButton"));
    doneButton->setAccessibleName(QStringLiteral("تم"));
    doneButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("إلغاء"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setAccessibleName(QStringLiteral("إلغاء"));
    buttons->addWidget(doneButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(doneButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    for (QRadioButton* b : {noneButton, unbornButton, missingButton, undeterminedButton})
        connect(b, &QRadioButton::toggled, this, [this] { choiceChanged(); });
    for (QComboBox* box : {unbornLine, missingHeir, undeterminedLine})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { choiceChanged(); });
    noneButton->setChecked(true);
    layout->activate();
}

void UncertainHeirDialog::showChoice(const EstateCase& c, const std::optional<UncertainHeir>& heir)
{
    case_ = c;
    case_.deriveEntryWindowState();
    {
        const QSignalBlocker blocker(missingHeir);
        missingHeir->clear();
        for (const HeirInfo& info : kHeirs)
            if (RelativePresent(case_, info.heir) || (heir && heir->kind == UncertainKind::Missing && heir->missing == info.heir))
                missingHeir->addItem(missingItem(case_, info.heir), int(info.heir));
    }
    // The missing heir is one of the relatives entered: none, none to choose.
    missingButton->setEnabled(missingHeir->count() > 0);
    missingButton->setToolTip(missingHeir->count() > 0 ? QStringLiteral("وارث معدود في المسألة لا تُعرف حياته من موته")
                                                        : QStringLiteral("أدخل الورثة أولاً: المفقود واحد منهم"));
    const UncertainHeir shown = heir.value_or(UncertainHeir{});
    selectData(unbornLine, int(shown.line));
    selectData(undeterminedLine, int(shown.line));
    selectData(missingHeir, int(shown.missing));
    QRadioButton* chosen = noneButton;
    if (heir)
        switch (heir->kind) {
        case UncertainKind::Unborn: chosen = unbornButton; break;
        case UncertainKind::Missing: chosen = missingButton; break;
        case UncertainKind::UndeterminedSex: chosen = undeterminedButton; break;
        }
    chosen->setChecked(true);
    choiceChanged();
}

std::optional<UncertainHeir> UncertainHeirDialog::choice() const
{
    UncertainHeir h;
    if (unbornButton->isChecked()) {
        h.kind = UncertainKind::Unborn;
        h.line = static_cast<KinLine>(unbornLine->currentData().toInt());
    } else if (missingButton->isChecked() && missingHeir->count() > 0) {
        h.kind = UncertainKind::Missing;
        h.missing = static_cast<Heir>(missingHeir->currentData().toInt());
    } else if (undeterminedButton->isChecked()) {
        h.kind = UncertainKind::UndeterminedSex;
        h.line = static_cast<KinLine>(undeterminedLine->currentData().toInt());
    } else {
        return std::nullopt;
    }
    return h;
}

void UncertainHeirDialog::choiceChanged()
{
    unbornLine->setEnabled(unbornButton->isChecked());
    missingHeir->setEnabled(missingButton->isChecked());
    undeterminedLine->setEnabled(undeterminedButton->isChecked());
    QString refusal;
    if (const std::optional<UncertainHeir> h = choice())
        if (const std::optional<UncertainRefusal> r = RefuseUncertain(case_, *h))
            refusal = QString::fromStdString(r->arabic);
    refusalText->setText(refusal);
    refusalText->setAccessibleDescription(refusal);
    layout()->activate();
}

bool UncertainHeirDialog::edit(const EstateCase& c, std::optional<UncertainHeir>& heir)
{
    showChoice(c, heir);
    if (exec() != QDialog::Accepted)
        return false;
    heir = choice();
    return true;
}

}  // namespace qismar
