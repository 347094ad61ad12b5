#include "entry/later_deaths_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "entry/later_death_relations.h"
#include "ui/ui_common.h"

namespace qismar {

namespace {

QString fromUtf8(std::string_view t) { return QString::fromUtf8(t.data(), qsizetype(t.size())); }

// A field's caption in the grid of heirs: its Arabic name without "عدد".
QString heirCaption(const CaseField& f)
{
    QString caption = fromUtf8(f.label);
    if (caption.startsWith(QStringLiteral("عدد ")))
        caption = caption.mid(4);
    return caption;
}

QString problemName(int problem) { return QStringLiteral("المسألة ") + QString::fromStdString(problemOrdinal(problem)); }

// The most heads the grid takes in one count.
constexpr int kMostHeads = 999999;

}  // namespace

LaterDeathsDialog::LaterDeathsDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("laterDeathsDialog"));
    setWindowTitle(QStringLiteral("وفاة وارث قبل القسمة"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setLayoutDirection(Qt::RightToLeft);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    layout->addLayout(top);

    // The problems, and the buttons that add and remove a death.
    auto* problems = new QVBoxLayout;
    top->addLayout(problems);
    problemsList = ui::named(new QListWidget(this), "problemsList");
    problemsList->setAccessibleName(QStringLiteral("مسائل القسمة"));
    problemsList->setFixedSize(330, 100);
    problems->addWidget(problemsList);
    auto* buttons = new QHBoxLayout;
    problems->addLayout(buttons);
    addButton = ui::named(new QPushButton(QStringLiteral("إضافة وفاة وارث"), this), "addDeath");
    addButton->setAccessibleName(QStringLiteral("إضافة وفاة وارث"));
    addButton->setToolTip(QStringLiteral("وارث من المسألة المختارة مات قبل القسمة: تُفتح مسألته"));
    removeButton = ui::named(new QPushButton(QStringLiteral("حذف هذه الوفاة"), this), "removeDeath");
    removeButton->setAccessibleName(QStringLiteral("حذف هذه الوفاة"));
    removeButton->setToolTip(QStringLiteral("تحذف مسألة هذا الميت، ومسائل من مات من ورثته"));
    buttons->addWidget(addButton);
    buttons->addWidget(removeButton);

    // Who died, and what the first problem is.
    auto* right = new QVBoxLayout;
    top->addLayout(right, 1);
    deathFrame = ui::named(new QGroupBox(QStringLiteral("من مات قبل القسمة"), this), "deathFrame");
    auto* death = new QGridLayout(deathFrame);
    problemChoice = ui::named(new QComboBox(deathFrame), "problemChoice");
    problemChoice->setAccessibleName(QStringLiteral("المسألة التي كان من ورثتها"));
    heirChoice = ui::named(new QComboBox(deathFrame), "heirChoice");
    heirChoice->setAccessibleName(QStringLiteral("من مات"));
    heirChoice->setMinimumWidth(180);
    death->addWidget(new QLabel(QStringLiteral("من ورثة:"), deathFrame), 0, 0);
    death->addWidget(problemChoice, 0, 1);
    death->addWidget(new QLabel(QStringLiteral("مات:"), deathFrame), 1, 0);
    death->addWidget(heirChoice, 1, 1);
    death->setColumnStretch(2, 1);
    right->addWidget(deathFrame);
    firstProblemText = ui::named(new QLabel(this), "firstProblemText");
    firstProblemText->setWordWrap(true);
    firstProblemText->setMinimumHeight(2 * firstProblemText->fontMetrics().height() + 6);
    right->addWidget(firstProblemText);

    createHeirs();
    layout->addWidget(heirsFrame);

    linksFrame = ui::named(new QGroupBox(QStringLiteral("هم أنفسهم"), this), "linksFrame");
    auto* links = new QVBoxLayout(linksFrame);
    linksArea = ui::named(new QScrollArea(linksFrame), "linksArea");
    linksArea->setWidgetResizable(true);
    linksArea->setMinimumHeight(72);
    links->addWidget(linksArea);
    layout->addWidget(linksFrame, 1);

    auto* closing = new QHBoxLayout;
    closing->addStretch();
    doneButton = ui::named(new QPushButton(QStringLiteral("تم"), this), "laterDeathsDone");
    cancelButton = ui::named(new QPushButton(QStringLiteral("إلغاء"), this), "laterDeathsCancel");
    doneButton->setDefault(true);
    closing->addWidget(doneButton);
    closing->addWidget(cancelButton);
    layout->addLayout(closing);

    connect(doneButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(addButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { addDeath(); }, this); });
    connect(removeButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { removeDeath(); }, this); });
    connect(problemsList, &QListWidget::currentRowChanged, this, [this] {
        if (!showing_)
            showSelected();
    });
    connect(problemChoice, &QComboBox::currentIndexChanged, this, [this] {
        if (!showing_)
            problemChosen();
    });
    connect(heirChoice, &QComboBox::currentIndexChanged, this, [this] {
        if (!showing_)
            heirChosen();
    });
    resize(940, 500);
    // The controls have their places before the dialog is first shown.
    layout->activate();
    for (QWidget* frame : std::initializer_list<QWidget*>{deathFrame, heirsFrame, linksFrame})
        frame->layout()->activate();
}

void LaterDeathsDialog::createHeirs()
{
    heirsFrame = ui::named(new QGroupBox(QStringLiteral("ورثته"), this), "ownHeirsFrame");
    auto* grid = new QGridLayout(heirsFrame);
    grid->setVerticalSpacing(2);
    constexpr int kPerRow = 4;
    int slot = 0;
    auto place = [&](QWidget* caption, QWidget* control) {
        const int row = slot / kPerRow, column = 2 * (slot % kPerRow);
        if (caption) {
            grid->addWidget(caption, row, column);
            grid->addWidget(control, row, column + 1);
        } else {
            grid->addWidget(control, row, column, 1, 2);
        }
        ++slot;
    };
    auto count = [this](const QString& accessible) {
        auto* spin = new QSpinBox(heirsFrame);
        spin->setRange(0, kMostHeads);
        // The digits of the entry window's counts.
        spin->setLocale(QLocale::c());
        spin->setAccessibleName(accessible);
        spin->setMinimumWidth(72);
        connect(spin, &QSpinBox::valueChanged, this, [this] {
            if (!showing_)
                ownHeirsEdited();
        });
        return spin;
    };
    for (const HeirInfo& info : kHeirs) {
        if (info.heir == Heir::Husband)
            continue;
        if (info.heir == Heir::Wives) {
            // The wives of a man who died, or the husband of a woman.
            spouseLabel_ = new QLabel(QStringLiteral("الزوجات"), heirsFrame);
            spouseLabel_->setObjectName(QStringLiteral("spouseCaption"));
            spouseCount_ = ui::named(count(QStringLiteral("عدد الزوجات")), "own-spouse");
            place(spouseLabel_, spouseCount_);
            continue;
        }
        for (const CaseField& f : info.caseFields()) {
            const QString caption = heirCaption(f);
            if (f.isCount()) {
                QSpinBox* spin = count(fromUtf8(f.label));
                spin->setObjectName(QStringLiteral("own-") + fromUtf8(f.json));
                counts_[std::string(f.json)] = spin;
                place(new QLabel(caption, heirsFrame), spin);
            } else {
                auto* tick = new QCheckBox(caption, heirsFrame);
                tick->setObjectName(QStringLiteral("own-") + fromUtf8(f.json));
                tick->setAccessibleName(caption);
                connect(tick, &QCheckBox::toggled, this, [this] {
                    if (!showing_)
                        ownHeirsEdited();
                });
                boxes_[std::string(f.json)] = tick;
                place(nullptr, tick);
            }
        }
    }
    for (int c = 0; c < 2 * kPerRow; c += 2)
        grid->setColumnStretch(c, 1);
}

// ---------------------------------------------------------------- the deaths

bool LaterDeathsDialog::edit(const EstateCase& first, std::vector<LaterDeath>& later)
{
    showDeaths(first, later);
    if (later_.empty()) {
        selectProblem(1);
        if (!addDeath())
            return false;
    }
    heirChoice->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    later = later_;
    return true;
}

void LaterDeathsDialog::showDeaths(const EstateCase& first, const std::vector<LaterDeath>& later)
{
    first_ = first;
    later_ = later;
    showProblems();
    selectProblem(int(later_.size()) + 1);
}

void LaterDeathsDialog::showProblems()
{
    const QSignalBlocker blocker(problemsList);
    const int row = problemsList->currentRow();
    problemsList->clear();
    problemsList->addItem(problemName(1) + QStringLiteral(": ") +
                          (first_.isWoman() ? QStringLiteral("المتوفاة") : QStringLiteral("المتوفى")));
    for (std::size_t i = 0; i < later_.size(); ++i) {
        const LaterDeath& d = later_[i];
        const std::optional<PersonField> dead = personField(problemCase(first_, later_, d.problem), d.heir);
        const QString who = dead ? QString::fromStdString(headName(*dead)) : QString::fromStdString(d.heir);
        problemsList->addItem(problemName(int(i) + 2) + QStringLiteral(": ") + who + QStringLiteral(" من ") +
                              problemName(d.problem));
    }
    problemsList->setCurrentRow(std::clamp(row, 0, problemsList->count() - 1));
}

void LaterDeathsDialog::selectProblem(int problem)
{
    problemsList->setCurrentRow(std::clamp(problem - 1, 0, problemsList->count() - 1));
    showSelected();
}

int LaterDeathsDialog::selectedProblem() const { return std::max(problemsList->currentRow(), 0) + 1; }

LaterDeath* LaterDeathsDialog::selectedDeath()
{
    const int problem = selectedProblem();
    return problem >= 2 && problem - 2 < int(later_.size()) ? &later_[std::size_t(problem - 2)] : nullptr;
}

void LaterDeathsDialog::showSelected()
{
    const LaterDeath* d = selectedDeath();
    for (QWidget* w : std::initializer_list<QWidget*>{deathFrame, heirsFrame, linksFrame})
        w->setEnabled(d != nullptr);
    removeButton->setEnabled(d != nullptr);
    addButton->setEnabled(later_.size() + 1 < kMaxProblems);
    if (!d) {
        firstProblemText->setText(
            QStringLiteral("المسألة الأولى هي مسألة الميت كما أُدخلت في نافذة الورثة. "
                           "اختر مسألة تالية، أو أضف وفاة وارث مات بعد الميت وقبل القسمة."));
        const LaterDeath none;
        showing_ = true;
        problemChoice->clear();
        heirChoice->clear();
        showing_ = false;
        showOwnHeirs(none);
        showLinks(none);
        return;
    }
    firstProblemText->setText(QStringLiteral("تُقسم ما ورثه على ورثته المدخلين هنا، وتجمع مسألته مع ما قبلها في الجامعة."));
    const int index = selectedProblem() - 2;
    showHeirChoices(*d, index);
    showOwnHeirs(*d);
    showLinks(*d);
}

void LaterDeathsDialog::showHeirChoices(const LaterDeath& d, int index)
{
    showing_ = true;
    const std::vector<LaterDeath> before(later_.begin(), later_.begin() + index);
    problemChoice->clear();
    for (int p = 1; p <= index + 1; ++p)
        problemChoice->addItem(problemName(p), p);
    problemChoice->setCurrentIndex(std::clamp(d.problem - 1, 0, index));
    heirChoice->clear();
    const EstateCase earlier = problemCase(first_, before, d.problem);
    bool listed = false;
    for (const PersonField& f : personFields(earlier)) {
        const std::int64_t left = headsLeft(first_, before, d.problem, f.json);
        if (left <= 0 && f.json != d.heir)
            continue;
        QString text = QString::fromStdString(headName(f));
        // A death whose class is no longer in its problem stays in view:
        // dividing names it.
        if (left <= 0)
            text += QStringLiteral(" (لم يبق منهم أحد في المسألة)");
        heirChoice->addItem(text, QString::fromStdString(f.json));
        listed = listed || f.json == d.heir;
    }
    if (!listed)
        heirChoice->addItem(QString::fromStdString(d.heir) + QStringLiteral(" (ليس في المسألة)"),
                            QString::fromStdString(d.heir));
    heirChoice->setCurrentIndex(heirChoice->findData(QString::fromStdString(d.heir)));
    showing_ = false;
}

void LaterDeathsDialog::showOwnHeirs(const LaterDeath& d)
{
    showing_ = true;
    const EstateCase& c = d.ownCase;
    const bool woman = selectedDeath() != nullptr && [&] {
        const std::optional<PersonField> dead = personField(problemCase(first_, later_, d.problem), d.heir);
        return dead && dead->female;
    }();
    spouseLabel_->setText(woman ? QStringLiteral("الزوج") : QStringLiteral("الزوجات"));
    spouseCount_->setAccessibleName(woman ? QStringLiteral("الزوج") : QStringLiteral("عدد الزوجات"));
    spouseCount_->setRange(0, woman ? 1 : 4);
    spouseCount_->setValue(c.spouse ? (woman ? 1 : int(c.wives.persons())) : 0);
    for (const auto& [json, spin] : counts_)
        if (const std::optional<PersonField> f = personField(c, json))
            spin->setValue(int(std::min<std::int64_t>(f->heads, kMostHeads)));
    for (const auto& [json, tick] : boxes_)
        if (const std::optional<PersonField> f = personField(c, json))
            tick->setChecked(f->heads > 0);
    showing_ = false;
}

void LaterDeathsDialog::showLinks(const LaterDeath& d)
{
    links_.clear();
    auto* list = new QWidget;
    auto* grid = new QGridLayout(list);
    grid->setVerticalSpacing(2);
    const int index = selectedProblem() - 2;
    if (selectedDeath() != nullptr) {
        const std::vector<LaterDeath> before(later_.begin(), later_.begin() + index);
        const EstateCase earlier = problemCase(first_, before, d.problem);
        EstateCase own = d.ownCase;
        own.deceased = problemCase(first_, later_, index + 2).deceased;
        int slot = 0;
        for (const PersonField& f : personFields(own)) {
            if (f.heads <= 0)
                continue;
            auto* choice = new QComboBox(list);
            choice->setObjectName(QStringLiteral("link-") + QString::fromStdString(f.json));
            choice->setAccessibleName(QStringLiteral("%1: هم أنفسهم").arg(QString::fromStdString(className(f))));
            choice->addItem(QStringLiteral("غيرهم"), QString());
            for (const PersonField& e : personFields(earlier))
                if (e.heads > 0 && e.female == f.female) {
                    const std::string name = e.heads == 1 ? headName(e) : className(e);
                    choice->addItem(QStringLiteral("%1 في %2").arg(QString::fromStdString(name), problemName(d.problem)),
                                    QString::fromStdString(e.json));
                }
            const auto link = std::find_if(d.same.begin(), d.same.end(), [&f](const auto& s) { return s.first == f.json; });
            if (link != d.same.end()) {
                int at = choice->findData(QString::fromStdString(link->second));
                if (at < 0) {
                    // A link to a class no longer in the earlier problem stays
                    // in view: dividing names it.
                    choice->addItem(QString::fromStdString(link->second) + QStringLiteral(" (ليس في المسألة)"),
                                    QString::fromStdString(link->second));
                    at = choice->count() - 1;
                }
                choice->setCurrentIndex(at);
            }
            connect(choice, &QComboBox::currentIndexChanged, this, [this] {
                if (!showing_)
                    linkChosen();
            });
            const int row = slot / 2, column = 2 * (slot % 2);
            grid->addWidget(new QLabel(QString::fromStdString(className(f)) + QStringLiteral(":"), list), row, column);
            grid->addWidget(choice, row, column + 1);
            links_[f.json] = choice;
            ++slot;
        }
        if (slot == 0)
            grid->addWidget(new QLabel(QStringLiteral("لم يُدخل له ورثة بعد."), list), 0, 0);
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
    }
    grid->setRowStretch(grid->rowCount(), 1);
    linksArea->setWidget(list);
}

void LaterDeathsDialog::problemChosen()
{
    LaterDeath* d = selectedDeath();
    if (!d)
        return;
    const int index = selectedProblem() - 2;
    const std::vector<LaterDeath> before(later_.begin(), later_.begin() + index);
    const int problem = problemChoice->currentData().toInt();
    // The first class of that problem with heads left.
    std::string heir;
    for (const PersonField& f : personFields(problemCase(first_, before, problem)))
        if (headsLeft(first_, before, problem, f.json) > 0) {
            heir = f.json;
            break;
        }
    if (heir.empty()) {
        ui::showWarningBox(QStringLiteral("لم يبق في %1 أحد من الورثة").arg(problemName(problem)), this);
        showSelected();
        return;
    }
    *d = proposeLaterDeath(first_, before, problem, heir);
    showProblems();
    showSelected();
}

void LaterDeathsDialog::heirChosen()
{
    LaterDeath* d = selectedDeath();
    if (!d || heirChoice->currentIndex() < 0)
        return;
    const int index = selectedProblem() - 2;
    const std::vector<LaterDeath> before(later_.begin(), later_.begin() + index);
    *d = proposeLaterDeath(first_, before, d->problem, heirChoice->currentData().toString().toStdString());
    showProblems();
    showSelected();
}

void LaterDeathsDialog::ownHeirsEdited()
{
    LaterDeath* d = selectedDeath();
    if (!d)
        return;
    EstateCase& c = d->ownCase;
    c.deceased = problemCase(first_, later_, selectedProblem()).deceased;
    setHeads(c, c.isWoman() ? "spouse" : "wives", spouseCount_->value());
    for (const auto& [json, spin] : counts_)
        setHeads(c, json, spin->value());
    for (const auto& [json, tick] : boxes_)
        setHeads(c, json, tick->isChecked() ? 1 : 0);
    keepAsCaseFilesDo(c);
    // A link goes with the heirs it linked.
    std::erase_if(d->same, [&c](const auto& s) {
        const std::optional<PersonField> f = personField(c, s.first);
        return !f || f->heads <= 0;
    });
    showLinks(*d);
}

void LaterDeathsDialog::linkChosen()
{
    LaterDeath* d = selectedDeath();
    if (!d)
        return;
    d->same.clear();
    EstateCase own = d->ownCase;
    own.deceased = problemCase(first_, later_, selectedProblem()).deceased;
    for (const PersonField& f : personFields(own))
        if (const auto at = links_.find(f.json); at != links_.end()) {
            const QString theirs = at->second->currentData().toString();
            if (!theirs.isEmpty())
                d->same.emplace_back(f.json, theirs.toStdString());
        }
}

bool LaterDeathsDialog::addDeath()
{
    if (later_.size() + 1 >= kMaxProblems) {
        ui::showWarningBox(QStringLiteral("لا تزيد مسائل القسمة على %1 مسائل").arg(kMaxProblems), this);
        return false;
    }
    // A head of the problem chosen, else of the first one that has heads left.
    std::vector<int> problems{selectedProblem()};
    for (int p = 1; p <= int(later_.size()) + 1; ++p)
        problems.push_back(p);
    for (int problem : problems)
        for (const PersonField& f : personFields(problemCase(first_, later_, problem)))
            if (headsLeft(first_, later_, problem, f.json) > 0) {
                later_.push_back(proposeLaterDeath(first_, later_, problem, f.json));
                showProblems();
                selectProblem(int(later_.size()) + 1);
                return true;
            }
    ui::showWarningBox(QStringLiteral("اختر ورثة الميت أولاً: لا أحد في المسألة يمكن أن يكون قد مات قبل القسمة"), this);
    return false;
}

void LaterDeathsDialog::removeDeath()
{
    const int removed = selectedProblem();
    if (removed < 2)
        return;
    // The deaths of heads of a removed problem go with it; the others are
    // numbered again.
    std::set<int> gone{removed};
    std::vector<LaterDeath> kept;
    for (std::size_t i = 0; i < later_.size(); ++i) {
        const int problem = int(i) + 2;
        LaterDeath d = later_[i];
        if (gone.count(problem) || gone.count(d.problem)) {
            gone.insert(problem);
            continue;
        }
        d.problem -= int(std::count_if(gone.begin(), gone.end(), [&d](int g) { return g < d.problem; }));
        kept.push_back(std::move(d));
    }
    later_ = std::move(kept);
    showProblems();
    selectProblem(std::min(removed - 1, int(later_.size()) + 1));
}

QSpinBox* LaterDeathsDialog::countEdit(const std::string& json) const
{
    if (json == "wives" || json == "spouse")
        return spouseCount_;
    const auto at = counts_.find(json);
    return at == counts_.end() ? nullptr : at->second;
}

QCheckBox* LaterDeathsDialog::boxOf(const std::string& json) const
{
    const auto at = boxes_.find(json);
    return at == boxes_.end() ? nullptr : at->second;
}

QComboBox* LaterDeathsDialog::linkChoice(const std::string& json) const
{
    const auto at = links_.find(json);
    return at == links_.end() ? nullptr : at->second;
}

}  // namespace qismar
