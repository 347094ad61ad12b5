// The heir-entry window: the sex of the deceased, the estate, the heir boxes
// with their counts, the guidance texts and the buttons "  قسم", "كيف يرث؟"
// and "عودة"; the case they show, and its files.
#include <algorithm>
#include <utility>

#include <QCheckBox>
#include <QRegularExpression>
#include <QDate>
#include <QStandardPaths>
#include <QSettings>
#include <QMessageBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>

#include "entry/entry_window.h"
#include "casefile/case_file.h"
#include "engine/division.h"
#include "engine/explanation.h"
#include "engine/later_deaths.h"
#include "engine/preparation.h"
#include "entry/case_details_dialog.h"
#include "entry/counting_dialog.h"
#include "entry/grandfather_dialog.h"
#include "entry/grandmothers_dialog.h"
#include "entry/later_deaths_dialog.h"
#include "entry/law_excerpts.h"
#include "entry/uncertain_heir_dialog.h"
#include "results/amount_text.h"
#include "results/division_window.h"
#include "ui/digit_edit.h"
#include "ui/fitted_label.h"
#include "ui/frame.h"
#include "ui/icon_button.h"
#include "ui/picture.h"
#include "ui/toggles.h"
#include "ui/ui_common.h"

namespace qismar {

namespace {

const QColor& kRed = ui::kTextRed;
const QColor& kYellow = ui::kTextYellow;
const QColor& kNavy = ui::kTextNavy;
const QColor& kGreen = ui::kTextGreen;

// The guidance while the "كيف يرث؟" mode is on.
QString howInheritsGuidance()
{
    return QStringLiteral("كيف يرث؟\nانقر الوارث الذي تريد معرفة حكمه،\nأو خانة العدد في نافذته الصغيرة");
}

QString umariyyaGuidance() { return QStringLiteral("هذه المسألة تسمى العمرية"); }

// The size of the line under "تجهيز التركة", and the smallest it is made
// for a long amount.
constexpr int kNetEstatePixels = 11;
constexpr int kSmallestNetEstatePixels = 8;

// A pressed look for the buttons that stay down while their state is on.
QString pressedLook()
{
    return QStringLiteral("QPushButton:checked { background-color: #cfe0ff; border: 2px solid #1f4e9c;"
                          " border-radius: 3px; }");
}

// An heir box and the count beside it, where the layout places them: two
// columns of six rows.
struct HeirBoxPlace {
    QCheckBox* EntryWindow::*box;
    const char* boxName;
    const char* caption;
    const char* tip;
    bool leftColumn;
    bool wide;  // a longer caption: the box reaches further to the left
    int row;
    QLineEdit* EntryWindow::*count;
    const char* countName;
    const char* countText;  // what it shows before anything is entered
    const char* countTip;
    const char* countAccessibleName;
};

using W = EntryWindow;
const HeirBoxPlace kHeirBoxes[] = {
    {&W::fatherBox, "fatherBox", "أب", "أبو الميت", false, false, 0, &W::fatherCount, "fatherCount", "1", "", "عدد الآباء"},
    {&W::motherBox, "motherBox", "أم", "أم الميت", false, false, 1, &W::motherCount, "motherCount", "1", "", "عدد الأمهات"},
    {&W::spouseBox, "spouseBox", "زوجات", "زوجات الميت ", false, false, 2, &W::wivesCount, "wivesCount", "1", "عدد الزوجات",
     "عدد الزوجات"},
    {&W::childrenBox, "childrenBox", "أبناء", "أبناء الميت", false, false, 3, &W::childrenCount, "childrenCount", "0",
     "عدد الأبناء", "عدد الأبناء"},
    {&W::grandchildrenBox, "grandchildrenBox", "أحفاد", "حفدة الميت", false, false, 4, &W::grandchildrenCount, "grandchildrenCount", "0",
     "عدد الحفدة", "عدد الحفدة"},
    {&W::siblingsBox, "siblingsBox", "إخوة", "إخوة الميت", false, false, 5, &W::siblingsCount, "siblingsCount", "0", "عدد الإخوة",
     "عدد الإخوة"},
    {&W::nephewsBox, "nephewsBox", "أبناء الإخوة", "أبناء إخوة الميت ... بنات الإخوة وأبناء الأخوات لا يرثون", true, true, 0,
     &W::nephewsCount, "nephewsCount", "0", "عدد أبناء الإخوة", "عدد أبناء الإخوة"},
    {&W::unclesBox, "unclesBox", "أعمام", "أعمام الميت ... العمات لا يرثن", true, false, 1, &W::unclesCount, "unclesCount", "0",
     "عدد الأعمام", "عدد الأعمام"},
    {&W::grandfatherBox, "grandfatherBox", "جد", "جد الميت لأبيه ... الجد لأم لا يرث", true, false, 2, &W::grandfatherCount,
     "grandfatherCount", "1", "", "عدد الأجداد"},
    {&W::grandmothersBox, "grandmothersBox", "جدة", "جدة الميت", true, false, 3, &W::grandmothersCount, "grandmothersCount", "0",
     "عدد الجدات", "عدد الجدات"},
    {&W::cousinsBox, "cousinsBox", "أبناء الأعمام", "أبناء عم الميت ... بنات الأعمام وأبناء العمات لا يرثون", true, true, 4,
     &W::cousinsCount, "cousinsCount", "0", "عدد أبناء الأعمام", "عدد أبناء الأعمام"},
};

// The box of each class counted in a dialog, in the order of HeirGroup.
constexpr QCheckBox* EntryWindow::*kGroupBoxes[kHeirGroupCount] = {
    &W::childrenBox, &W::grandchildrenBox, &W::siblingsBox, &W::nephewsBox, &W::unclesBox, &W::cousinsBox};
constexpr QLineEdit* EntryWindow::*kGroupCounts[kHeirGroupCount] = {
    &W::childrenCount, &W::grandchildrenCount, &W::siblingsCount, &W::nephewsCount, &W::unclesCount, &W::cousinsCount};

constexpr HeirGroup groupAt(int i) { return static_cast<HeirGroup>(i); }

QString fromUtf8(const char* text) { return QString::fromUtf8(text); }

// A file as the messages name it: its name, or the path when it has none.
QString shownName(const QString& path)
{
    QString name = QFileInfo(path).fileName();
    if (name.isEmpty())
        name = path;
    // Isolated, so that a name of Latin letters, digits and signs keeps its
    // own order inside the Arabic sentence around it.
    return QChar(0x2068) + name + QChar(0x2069);
}

// Sets a box without running its behaviour: the box shows the case.
void showTicked(QCheckBox* box, bool ticked)
{
    const QSignalBlocker blocker(box);
    box->setChecked(ticked);
}

// Sets an edit's text without announcing it: the edit shows the case.
void showText(QLineEdit* edit, const QString& text)
{
    if (edit->text() == text)
        return;
    const QSignalBlocker blocker(edit);
    edit->setText(text);
}

QString countText(HeadCount n) { return QString::number(n.persons()); }

}  // namespace

EntryWindow::EntryWindow()
    : estate_(EstateField::read(QStringLiteral("0"))), howInherits_(std::make_unique<HowInheritsMode>())
{
    setObjectName(QStringLiteral("entryWindow"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("القسمار"));
    setWindowIcon(ui::programIcon());
    setLayoutDirection(Qt::RightToLeft);
    setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 13));
    // The layout's 640 x 461 and a row for the case files below the heirs.
    ui::setLayoutSize(this, 640, 511);
    ui::centreOnScreen(this);

    createFrames();
    createGuidance();
    createDeceasedChoice();
    createEstateFrame();
    createButtons();
    createHeirBoxes();
    orderTabs();
    markForTheHowInheritsMode();
    // The preparation dialog belongs to this window: the line under its
    // button follows what it holds.
    preparation_ = std::make_unique<PreparationDialog>();
    connectBehaviours();
    watchForGuidance();

    caseFolder_ = QDir::currentPath();
    fatherBox->setFocus();
    preparationEdited();
    showLaterDeaths();
    showCaseInControls();
}

EntryWindow::~EntryWindow() = default;

void EntryWindow::createFrames()
{
    background = ui::named(new ui::Picture(QStringLiteral(":/pictures/entry.svg"), this), "background");
    background->setGeometry(0, 0, 632, 481);

    auto frame = [this](const char* name, const QString& caption, int x, int y, int w, int h) {
        auto* box = ui::named(new ui::Frame(caption, this), name);
        box->setGeometry(x, y, w, h);
        box->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 24));
        ui::setTextColor(box, kYellow);
        box->setAccessibleName(caption);
        return box;
    };
    heirsFrame = frame("heirsFrame", QStringLiteral("الورثة"), 40, 40, 385, 345);
    deceasedFrame = frame("deceasedFrame", QStringLiteral("المتوفى"), 438, 38, 136, 91);
    // The estate's frame holds the gross estate and, below it, the button of
    // its preparation with a line on what remains after it.
    estateFrame = frame("estateFrame", QStringLiteral("قيمة التركة"), 438, 133, 136, 121);
}

void EntryWindow::createGuidance()
{
    guidance = ui::named(new ui::FittedLabel(QStringLiteral("  "), this), "St1");
    guidance->setGeometry(69, 264, 332, 105);
    guidance->setToolTip(QStringLiteral("التوجيهات والملاحظات"));
    guidance->setAccessibleName(QStringLiteral("التوجيهات والملاحظات"));
    guidance->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    guidance->setAlignment(Qt::AlignCenter);
    guidance->setWordWrap(true);
    guidance->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 19));
    guidance->setAutoFillBackground(true);
    QPalette palette = guidance->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    guidance->setPalette(palette);
    ui::setTextColor(guidance, kGreen);
}

void EntryWindow::createDeceasedChoice()
{
    auto radio = [this](const char* name, const QString& caption, const QString& tip, int x, int y, int w, int h) {
        auto* button = ui::named(new ui::RadioButton(caption, this), name);
        button->setGeometry(x, y, w, h);
        button->setToolTip(tip);
        ui::setTextColor(button, kRed);
        return button;
    };
    manButton = radio("manButton", QStringLiteral("رجل"), QStringLiteral("المتوفى رجل"), 491, 69, 49, 20);
    womanButton = radio("womanButton", QStringLiteral("امرأة"), QStringLiteral(" المتوفى امرأة"), 482, 98, 58, 20);
    manButton->setChecked(true);
}

void EntryWindow::createEstateFrame()
{
    estateEdit = ui::named(new ui::DigitEdit(QStringLiteral("0"), QStringLiteral("0"), this, ui::DigitEdit::Amount::Money),
                           "estateEdit");
    estateEdit->setGeometry(458, 171, 106, 24);
    estateEdit->setToolTip(QStringLiteral("قيمة التركة بالعملة "));
    estateEdit->setAccessibleName(QStringLiteral("قيمة التركة"));
    preparationButton = ui::named(new QPushButton(QStringLiteral("تجهيز التركة"), this), "preparationButton");
    preparationButton->setGeometry(458, 201, 106, 28);
    preparationButton->setToolTip(QStringLiteral("نفقات التجهيز والدفن والديون والوصايا: تُخرج من التركة قبل قسمتها"));
    preparationButton->setAccessibleName(QStringLiteral("تجهيز التركة"));
    // It stays pressed while anything is entered in its dialog.
    preparationButton->setCheckable(true);
    preparationButton->setStyleSheet(pressedLook());
    netEstateLine = ui::named(new QLabel(this), "netEstateLine");
    netEstateLine->setGeometry(442, 231, 128, 18);
    netEstateLine->setAlignment(Qt::AlignCenter);
    netEstateLine->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), kNetEstatePixels));
    ui::setTextColor(netEstateLine, kNavy);
    netEstateLine->setAccessibleName(QStringLiteral("التركة بعد التجهيز"));
}

void EntryWindow::createButtons()
{
    auto button = [this](const char* name, const QString& caption, const char* icon, const QString& accessible,
                         QRect place) {
        auto* b = ui::named(new ui::IconButton(QIcon(QString::fromLatin1(icon)), caption, this), name);
        b->setGeometry(place);
        b->setIconSize(QSize(24, 24));
        b->setAccessibleName(accessible);
        return b;
    };
    divideButton = button("divideButton", QStringLiteral("  قسم"), ":/icons/divide.svg", QStringLiteral("قسم"),
                          {464, 266, 89, 41});
    howInheritsButton = button("howInheritsButton", QStringLiteral("كيف يرث؟"), ":/icons/how.svg", QStringLiteral("كيف يرث؟"),
                               {464, 314, 89, 41});
    backButton = button("backButton", QStringLiteral("عودة"), ":/icons/back.svg", QStringLiteral("عودة"), {464, 362, 89, 41});
    // The case files, in a row below the heirs.
    openButton = button("openButton", QStringLiteral("فتح مسألة"), ":/icons/open.svg", QStringLiteral("فتح مسألة"),
                        {302, 400, 128, 36});
    openButton->setToolTip(QStringLiteral("فتح مسألة محفوظة في ملف (Ctrl+O)"));
    saveButton = button("saveButton", QStringLiteral("حفظ المسألة"), ":/icons/save.svg", QStringLiteral("حفظ المسألة"),
                        {166, 400, 128, 36});
    saveButton->setToolTip(QStringLiteral("حفظ المسألة كما أُدخلت في ملف (Ctrl+S)"));
    detailsButton = ui::named(new QPushButton(QStringLiteral("بيانات المسألة"), this), "detailsButton");
    detailsButton->setGeometry(38, 400, 120, 36);
    detailsButton->setAccessibleName(QStringLiteral("بيانات المسألة"));
    detailsButton->setToolTip(QStringLiteral("اسم المتوفى وتاريخ الوفاة ومكانها ورقم الملف وأسماء الورثة، للتقرير"));
    // The heir not yet known, in the free row under the left column of heirs.
    uncertainButton = ui::named(new QPushButton(QStringLiteral("حمل/مفقود/خنثى"), this), "uncertainButton");
    uncertainButton->setGeometry(78, 223, 124, 26);
    uncertainButton->setAccessibleName(QStringLiteral("وارث لم يتبين حاله: حمل أو مفقود أو خنثى مشكل"));
    uncertainButton->setToolTip(QStringLiteral("وارث لم يتبين حاله: حمل أو مفقود أو خنثى مشكل (واحد في المسألة)"));
    uncertainButton->setCheckable(true);
    uncertainButton->setStyleSheet(pressedLook());
    // Heads who died after the deceased and before the division, beside
    // the row of the case files.
    laterDeathsButton = ui::named(new QPushButton(QStringLiteral("وفاة وارث قبل القسمة"), this), "laterDeathsButton");
    laterDeathsButton->setGeometry(438, 410, 150, 26);
    laterDeathsButton->setAccessibleName(QStringLiteral("وفاة وارث قبل القسمة"));
    laterDeathsButton->setCheckable(true);
    laterDeathsButton->setStyleSheet(pressedLook());
    // Enter divides (a focused button takes Enter for itself); the mode's
    // button stays pressed while the mode is on.
    divideButton->setDefault(true);
    howInheritsButton->setCheckable(true);
    howInheritsButton->setStyleSheet(pressedLook());
}

void EntryWindow::createHeirBoxes()
{
    // The right column's boxes at 309 (their counts at 270), the left's at
    // 117 (their counts at 78); a longer caption starts its box further left.
    constexpr int boxTops[] = {85, 114, 142, 171, 200, 229};
    constexpr int countTops[] = {75, 104, 133, 162, 190, 219};
    for (const HeirBoxPlace& p : kHeirBoxes) {
        auto* b = ui::named(new ui::CheckBox(fromUtf8(p.caption), this), p.boxName);
        const int boxLeft = p.leftColumn ? (p.wide ? 108 : 117) : 309;
        b->setGeometry(boxLeft, boxTops[p.row], p.leftColumn && p.wide ? 93 : 84, 21);
        b->setToolTip(fromUtf8(p.tip));
        ui::setTextColor(b, kRed);
        this->*p.box = b;

        auto* count = ui::named(new ui::DigitEdit(fromUtf8(p.countText), QString(), this), p.countName);
        count->setGeometry(p.leftColumn ? 78 : 270, countTops[p.row], 30, 24);
        count->setToolTip(fromUtf8(p.countTip));
        count->setAccessibleName(fromUtf8(p.countAccessibleName));
        count->setEnabled(false);
        ui::setTextColor(count, kRed);
        this->*p.count = count;
    }
}

void EntryWindow::orderTabs()
{
    // The tab order of the layout.
    QWidget* order[] = {fatherBox,     motherBox,     spouseBox,         childrenBox,    grandchildrenBox,
                        siblingsBox,   nephewsBox,    unclesBox,         grandfatherBox, grandmothersBox,
                        cousinsBox,    uncertainButton, wivesCount,    nephewsCount,      grandmothersCount, unclesCount,
                        cousinsCount,  grandfatherCount, fatherCount,    motherCount,    childrenCount,
                        siblingsCount, grandchildrenCount, guidance,     heirsFrame,     manButton,
                        womanButton,   deceasedFrame, estateEdit,        preparationButton, estateFrame,
                        divideButton,  howInheritsButton, openButton,    saveButton,     detailsButton,
                        laterDeathsButton, backButton};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void EntryWindow::markForTheHowInheritsMode()
{
    // The mode marks this window, its heirs' frame, the guidance text, the
    // button itself and the eleven heir boxes; the other controls keep
    // their own cursor.
    for (QWidget* w : std::initializer_list<QWidget*>{this, howInheritsButton, heirsFrame, guidance})
        howInherits_->markForHelpCursor(w);
    for (QCheckBox* b : heirBoxes())
        howInherits_->markForHelpCursor(b);
    for (QWidget* w : std::initializer_list<QWidget*>{deceasedFrame, estateFrame, manButton, womanButton, divideButton,
                                                      backButton, openButton, saveButton, detailsButton,
                                                      preparationButton, uncertainButton, laterDeathsButton})
        w->setCursor(Qt::ArrowCursor);
}

void EntryWindow::connectBehaviours()
{
    // A box's behaviour runs on every actual change of its state; whatever
    // it did, the controls then show the case.
    for (QCheckBox* b : heirBoxes())
        connect(b, &QCheckBox::toggled, this, [this, b] {
            ui::guarded([this, b] { boxChanged(b); });
            heirsChanged();
        });
    connect(manButton, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            ui::guarded([this] { deceasedChosen(Deceased::Man); });
    });
    connect(womanButton, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            ui::guarded([this] { deceasedChosen(Deceased::Woman); });
    });
    connect(wivesCount, &QLineEdit::textChanged, this, [this] { ui::guarded([this] { wivesTyped(); }); });
    connect(estateEdit, &QLineEdit::textChanged, this, [this] { estateTyped(); });
    connect(preparation_.get(), &PreparationDialog::changed, this, [this] { preparationEdited(); });
    connect(howInherits_.get(), &HowInheritsMode::changed, this, [this](bool on) { howInheritsModeChanged(on); });

    connect(divideButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { divide(); }); });
    connect(howInheritsButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { toggleHowInherits(); }); });
    connect(backButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { goBack(); }); });
    connect(openButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { askAndOpenCaseFile(); }, this); });
    connect(saveButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { askAndSaveCaseFile(); }, this); });
    connect(preparationButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { showPreparation(); }, this); });
    connect(detailsButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { editCaseDetails(); }, this); });
    connect(uncertainButton, &QPushButton::clicked, this, [this] {
        ui::guarded([this] { editUncertainHeir(); }, this);
        // Pressed exactly while the case has one, whatever the click did.
        showUncertainHeir();
    });
    connect(laterDeathsButton, &QPushButton::clicked, this, [this] {
        ui::guarded([this] { editLaterDeaths(); }, this);
        // It stays pressed exactly while the case has later deaths.
        showLaterDeaths();
    });
    // The shortcuts of the case files run the buttons' behaviour at once.
    auto* openKey = new QShortcut(QKeySequence::Open, this);
    connect(openKey, &QShortcut::activated, this, [this] { ui::guarded([this] { askAndOpenCaseFile(); }, this); });
    auto* restoreKey = new QShortcut(QKeySequence::Undo, this);
    restoreKey->setObjectName(QStringLiteral("restorePreviousCase"));
    connect(restoreKey, &QShortcut::activated, this, [this] { ui::guarded([this] { restorePreviousCase(); }, this); });
    auto* saveKey = new QShortcut(QKeySequence::Save, this);
    connect(saveKey, &QShortcut::activated, this, [this] { ui::guarded([this] { askAndSaveCaseFile(); }, this); });
}

void EntryWindow::watchForGuidance()
{
    // Guidance texts follow the mouse.
    for (QWidget* w : std::initializer_list<QWidget*>{heirsFrame, deceasedFrame, estateFrame, preparationButton,
                                                      grandchildrenBox, nephewsBox, unclesBox, cousinsBox,
                                                      grandfatherBox, uncertainButton}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

std::array<QCheckBox*, 11> EntryWindow::heirBoxes() const
{
    return {fatherBox,  motherBox, spouseBox,      childrenBox,     grandchildrenBox, siblingsBox,
            nephewsBox, unclesBox, grandfatherBox, grandmothersBox, cousinsBox};
}

QCheckBox* EntryWindow::box(HeirGroup group) const
{
    return this->*kGroupBoxes[static_cast<int>(group)];
}

QLineEdit* EntryWindow::countEdit(HeirGroup group) const
{
    return this->*kGroupCounts[static_cast<int>(group)];
}

// ---------------------------------------------------------------- the dialogs

CountingDialog& EntryWindow::countingDialog(HeirGroup group)
{
    std::unique_ptr<CountingDialog>& dialog = counting_[std::size_t(static_cast<int>(group))];
    if (!dialog) {
        dialog = std::make_unique<CountingDialog>(countingGroup(group), *howInherits_);
        dialog->showCounts(case_);
        connect(dialog.get(), &CountingDialog::notice, this, [this](const QString& text) { setGuidance(text); });
    }
    return *dialog;
}

GrandfatherDialog& EntryWindow::grandfatherDialog()
{
    if (!grandfather_) {
        grandfather_ = std::make_unique<GrandfatherDialog>();
        grandfather_->showCase(case_);
    }
    return *grandfather_;
}

GrandmothersDialog& EntryWindow::grandmothersDialog()
{
    if (!grandmothers_) {
        grandmothers_ = std::make_unique<GrandmothersDialog>();
        grandmothers_->showCase(case_);
    }
    return *grandmothers_;
}

DivisionWindow& EntryWindow::divisionWindow()
{
    if (!results_) {
        results_ = std::make_unique<DivisionWindow>();
        // The results window's "تم" hands the clearing of the case back here.
        connect(results_.get(), &DivisionWindow::caseDone, this, [this] { clearCase(); });
        connect(results_.get(), &DivisionWindow::saveCaseRequested, this,
                [this] { ui::guarded([this] { askAndSaveCaseFile(); }, results_.get()); });
        // It has closed, keeping the case: divide() opens the later deaths.
        connect(results_.get(), &DivisionWindow::laterDeathRequested, this, [this] { laterDeathAsked_ = true; });
    }
    return *results_;
}

// ---------------------------------------------------------------- behaviours

void EntryWindow::setTicked(QCheckBox* box, bool ticked)
{
    if (box->isChecked() == ticked)
        return;
    showTicked(box, ticked);
    // The behaviour is run here, not through the signal, so that an error
    // in it abandons the behaviour that changed the box as well; the
    // controls show the case whatever happens.
    try {
        boxChanged(box);
    } catch (...) {
        heirsChanged();
        throw;
    }
    heirsChanged();
}

void EntryWindow::boxChanged(QCheckBox* box)
{
    if (box == fatherBox || box == motherBox)
        parentBoxChanged(box);
    else if (box == spouseBox)
        spouseBoxChanged();
    else if (box == grandfatherBox)
        grandfatherBoxChanged();
    else if (box == grandmothersBox)
        grandmothersBoxChanged();
    else
        for (int i = 0; i < kHeirGroupCount; ++i)
            if (box == this->box(groupAt(i)))
                countingBoxChanged(groupAt(i));
}

void EntryWindow::parentBoxChanged(QCheckBox* box)
{
    const bool father = box == fatherBox;
    // In the "كيف يرث؟" mode a click only asks for the article: the box ends unticked.
    (father ? case_.father : case_.mother) = box->isChecked() && !howInherits_->isOn();
    heirsChanged();
    if (father)
        howInherits_->showExcerpt(QStringLiteral("ab_b"), QStringLiteral("ab_e"));
    else
        howInherits_->showExcerpt(QStringLiteral("om_b"), QStringLiteral("om_e"));
}

void EntryWindow::spouseBoxChanged()
{
    case_.spouse = spouseBox->isChecked() && !howInherits_->isOn();
    // The number of wives starts again from one.
    case_.wives = HeadCount(1);
    heirsChanged();
    howInherits_->showExcerpt(QStringLiteral("zoj_b"), QStringLiteral("zoj_e"));
}

void EntryWindow::countingBoxChanged(HeirGroup group)
{
    if (box(group)->isChecked()) {
        // The dialog writes the counts "تم" takes into the case.
        countingDialog(group).edit(case_);
    } else {
        clearGroup(countingGroup(group), case_);
        if (CountingDialog* dialog = counting_[std::size_t(static_cast<int>(group))].get();
            dialog && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    }
}

void EntryWindow::grandfatherBoxChanged()
{
    howInherits_->showExcerpt(QStringLiteral("jd_b"), QStringLiteral("jd_e"));
    if (grandfatherBox->isChecked()) {
        // Its "تم" without a choice leaves no grandfather.
        grandfatherDialog().edit(case_);
    } else {
        case_.grandfather = false;
        if (grandfather_ && grandfather_->isVisible())
            grandfather_->done(QDialog::Rejected);
    }
}

void EntryWindow::grandmothersBoxChanged()
{
    howInherits_->showExcerpt(QStringLiteral("jdh_b"), QStringLiteral("jdh_e"));
    if (grandmothersBox->isChecked()) {
        grandmothersDialog().edit(case_);
    } else {
        for (bool EstateCase::*grandmother : {&EstateCase::mothersMother, &EstateCase::fathersMother,
                                              &EstateCase::mothersMothersMother, &EstateCase::fathersMothersMother,
                                              &EstateCase::fathersFathersMother})
            case_.*grandmother = false;
        if (grandmothers_ && grandmothers_->isVisible())
            grandmothers_->done(QDialog::Rejected);
    }
}

void EntryWindow::deceasedChosen(Deceased deceased)
{
    case_.deceased = deceased;
    // The number of wives starts again from one, and is asked for only
    // once a man's wives are ticked.
    case_.wives = HeadCount(1);
    case_.deriveEntryWindowState();
    showSpouseCaption();
    showCaseInControls();
    caseChanged();
}

void EntryWindow::showSpouseCaption()
{
    spouseBox->setText(case_.isWoman() ? QStringLiteral("زوج") : QStringLiteral("زوجات"));
    spouseBox->setToolTip(case_.isWoman() ? QStringLiteral("زوج المتوفاة") : QStringLiteral("زوجات الميت"));
}

void EntryWindow::wivesTyped()
{
    // At most four wives: anything else becomes "1" at once.
    if (wivesCount->text().isEmpty())
        wivesCount->setText(QStringLiteral("1"));
    Currency wives;
    try {
        wives = parseAmount(ui::withAsciiDigits(wivesCount->text()).toStdString());
        if (!wives.isWhole())
            throw EngineError(ErrorCode::NotAWholeNumber);
    } catch (const EngineError& error) {
        if (error.code() == ErrorCode::OutOfRange) {
            wivesCount->setText(QStringLiteral("1"));
            return;
        }
        throw ui::UiError(QStringLiteral("عدد الزوجات يجب أن يكون عدداً صحيحاً من 1 إلى 4، والمكتوب «%1»")
                              .arg(ui::quoted(wivesCount->text())));
    }
    if (wives < Currency::fromWhole(1) || wives > Currency::fromWhole(4)) {
        wivesCount->setText(QStringLiteral("1"));
        return;
    }
    if (case_.spouse && case_.isMan())
        case_.wives = HeadCount(wives.whole());
}

void EntryWindow::estateTyped()
{
    estate_ = EstateField::read(estateEdit->text());
    if (estate_.amount)
        case_.estate = *estate_.amount;
    // The preparation dialog deducts from this estate; its line here follows.
    preparation_->setGrossEstate(estate_);
    caseChanged();
}

void EntryWindow::preparationEdited()
{
    const PreparationDialog::Reading r = preparation_->read();
    if (r.refuse) {
        preparationProblem_ = r.problem;
    } else {
        preparationProblem_.clear();
        case_.funeral = r.preparation.funeral;
        case_.debts = r.preparation.debts;
        case_.bequests = r.preparation.bequests;
        case_.heirsConsent = r.preparation.heirsConsent;
    }
    const QString summary = preparationSummary(r);
    netEstateLine->setText(summary);
    netEstateLine->setAccessibleDescription(summary);
    // A long amount is written smaller rather than cut off.
    QFont font = ui::layoutFont(QStringLiteral("MS Sans Serif"), kNetEstatePixels);
    for (int pixels = kNetEstatePixels; pixels > kSmallestNetEstatePixels
                                        && QFontMetrics(font).horizontalAdvance(summary) > netEstateLine->width();
         --pixels)
        font.setPixelSize(pixels - 1);
    netEstateLine->setFont(font);
    // Where even the smallest letters do not hold the whole line, the
    // amount keeps its room and the words shorten; the whole line stays
    // in the tool-tip and for a screen reader.
    if (QFontMetrics(font).horizontalAdvance(summary) > netEstateLine->width() && r.prepared && !r.prepared->net.isZero())
        netEstateLine->setText(QStringLiteral("الصافي: %1").arg(results::groupedAmount(results::amountText(r.prepared->net))));
    netEstateLine->setToolTip(summary);
    // The button stays pressed while anything is entered in the dialog.
    preparationButton->setChecked(!preparation_->isEmpty());
    preparationButton->setAccessibleDescription(summary);
    caseChanged();
}

// ---------------------------------------------------------------- the case shown

void EntryWindow::heirsChanged()
{
    case_.deriveEntryWindowState();
    showCaseInControls();
    nameTheCase();
    caseChanged();
}

CaseRecord EntryWindow::record() const
{
    CaseRecord r;
    r.estate = case_;
    r.details = caseDetails();
    r.uncertain = uncertain_;
    r.laterDeaths = laterDeaths_;
    return r;
}

void EntryWindow::caseChanged()
{
    const CaseRecord now = record();
    // A message about a file speaks of the case as it was opened or saved.
    if (!fileMessage_.isEmpty() && now != fileMessageCase_) {
        if (guidance->text().startsWith(fileMessage_))
            setGuidance(guidance->text().mid(fileMessage_.size()).trimmed());
        fileMessage_.clear();
    }
    // The case cleared by "تم" can be brought back until anything is typed.
    if (cleared_ && (now != cleared_->after || estateEdit->text() != cleared_->estateText)) {
        if (guidance->text() == restoreHint())
            setGuidance(QString());
        cleared_.reset();
    }
}

QString EntryWindow::restoreHint()
{
    return QStringLiteral("مُسحت المسألة. لاستعادتها اضغط Ctrl+Z (استعادة المسألة السابقة)");
}

bool EntryWindow::restorePreviousCase()
{
    if (!cleared_)
        return false;
    const CaseRecord previous = cleared_->before;
    cleared_.reset();
    showCase(previous.estate);
    details_ = previous.details;
    setUncertainHeir(previous.uncertain);
    laterDeaths_ = previous.laterDeaths;
    showLaterDeaths();
    setGuidance(QStringLiteral("استُعيدت المسألة السابقة"));
    return true;
}

bool EntryWindow::isEmptyCase() const
{
    if (uncertain_)
        return false;
    for (const HeirInfo& heir : kHeirs)
        if (RelativePresent(case_, heir.heir))
            return false;
    return true;
}

bool EntryWindow::hasUnsavedCase() const
{
    if (isEmptyCase() && details_.empty())
        return false;
    return record() != lastSaved_;
}

bool EntryWindow::confirmLeavingCase()
{
    if (!hasUnsavedCase())
        return true;
    QMessageBox box(QMessageBox::Question, QStringLiteral("القسمار"),
                    QStringLiteral("لم تُحفظ المسألة المدخلة. أتحفظها قبل الخروج؟"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, isVisible() ? this : nullptr);
    box.setObjectName(QStringLiteral("unsavedCaseQuestion"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return askAndSaveCaseFile();
    case QMessageBox::Discard: return true;
    default: return false;
    }
}

void EntryWindow::showCaseInControls()
{
    // The sex of the deceased, and the spouse's box that follows it.
    if (womanButton->isChecked() != case_.isWoman()) {
        const QSignalBlocker man(manButton), woman(womanButton);
        (case_.isWoman() ? womanButton : manButton)->setChecked(true);
        showSpouseCaption();
    }

    showTicked(fatherBox, case_.father);
    showTicked(motherBox, case_.mother);
    showTicked(spouseBox, case_.spouse);
    showText(wivesCount, countText(case_.wives));
    // The number of wives is asked for only once a man has wives.
    wivesCount->setEnabled(case_.spouse && case_.isMan());
    showTicked(grandfatherBox, case_.grandfather);
    const bool grandmothers[] = {case_.mothersMother, case_.fathersMother, case_.mothersMothersMother,
                                 case_.fathersMothersMother, case_.fathersFathersMother};
    const int grandmotherCount = int(std::count(std::begin(grandmothers), std::end(grandmothers), true));
    showTicked(grandmothersBox, grandmotherCount > 0);
    showText(grandmothersCount, QString::number(grandmotherCount));
    for (int i = 0; i < kHeirGroupCount; ++i) {
        const HeadCount total = groupTotal(countingGroup(groupAt(i)), case_);
        showTicked(box(groupAt(i)), total.positive());
        showText(countEdit(groupAt(i)), countText(total));
        if (CountingDialog* dialog = counting_[std::size_t(i)].get(); dialog && !dialog->isVisible())
            dialog->showCounts(case_);
    }
    if (grandfather_ && !grandfather_->isVisible())
        grandfather_->showCase(case_);
    if (grandmothers_ && !grandmothers_->isVisible())
        grandmothers_->showCase(case_);
}

void EntryWindow::nameTheCase()
{
    // The name of the case follows the case: it shows as soon as the case
    // is one, and goes as soon as it no longer is.
    if (isUmariyya()) {
        if (!howInherits_->isOn()) {
            ui::setTextColor(guidance, kYellow);
            setGuidance(umariyyaGuidance());
        }
    } else if (guidance->text() == umariyyaGuidance()) {
        setGuidance(QString());
    } else if (const QString below = QLatin1Char('\n') + umariyyaGuidance(); guidance->text().endsWith(below)) {
        // A message that named the case above the name: the name goes.
        setGuidance(guidance->text().chopped(below.size()));
    }
}

bool EntryWindow::isUmariyya() const
{
    // Father, mother and spouse with no descendants: the case named al-Umariyya.
    return case_.father && case_.mother && case_.spouse && !case_.children && !case_.grandchildren;
}

void EntryWindow::clearCase()
{
    ClearedCase kept{record(), {}, {}};
    EstateCase cleared;
    cleared.deceased = case_.deceased;
    cleared.estate = case_.estate;
    cleared.funeral = case_.funeral;
    cleared.debts = case_.debts;
    cleared.bequests = case_.bequests;
    cleared.heirsConsent = case_.heirsConsent;
    case_ = cleared;
    details_ = CaseDetails{};
    uncertain_.reset();
    showUncertainHeir();
    laterDeaths_.clear();
    showLaterDeaths();
    cleared_.reset();
    heirsChanged();
    if (kept.before != record()) {
        kept.after = record();
        kept.estateText = estateEdit->text();
        cleared_ = std::move(kept);
        setGuidance(restoreHint());
    }
}

QString EntryWindow::whyNotShown(const EstateCase& c)
{
    // The grandmothers' dialog holds either near or far grandmothers.
    const bool near = c.mothersMother || c.fathersMother;
    const bool far = c.mothersMothersMother || c.fathersMothersMother || c.fathersFathersMother;
    if (near && far)
        return QStringLiteral("في المسألة جدات قريبات وجدات بعيدات معاً، ونافذة الجدة لا تجمع بينهن");
    return QString();
}

void EntryWindow::showCase(const EstateCase& c)
{
    if (const QString why = whyNotShown(c); !why.isEmpty())
        throw ui::UiError(why);
    EstateCase shown = c;
    shown.deriveEntryWindowState();
    if (howInherits_->isOn())
        howInherits_->end();
    // The estate field and the preparation dialog take the case's amounts
    // (announcing each, which brings the estate's line up to date), then
    // the window takes the whole case.
    preparation_->showPreparation(shown);
    estateEdit->setText(results::groupedAmount(results::amountText(shown.estate)));
    case_ = shown;
    // A grandfather in a case file is the father's father.
    if (grandfather_)
        grandfather_->clearChoice();
    heirsChanged();
}

// ---------------------------------------------------------------- the buttons

void EntryWindow::checkEstate() const
{
    if (estate_.amount)
        return;
    if (estate_.tooLarge)
        throw EngineError(ErrorCode::EstateTooLarge);  // names the estate and the largest one
    if (estate_.negative)
        throw ui::UiError(QStringLiteral("قيمة التركة لا يمكن أن تكون سالبة"));
    throw ui::UiError(QStringLiteral("قيمة التركة يجب أن تكون عدداً، والمكتوب «%1»").arg(ui::quoted(estate_.text)));
}

EstateCase EntryWindow::caseToDivide() const
{
    checkEstate();
    // An estate of zero is refused before anything else is looked at.
    if (case_.estate.isZero())
        return case_;
    return caseToSave();
}

EstateCase EntryWindow::caseToSave() const
{
    checkEstate();
    if (!preparationProblem_.isEmpty())
        throw ui::UiError(QStringLiteral("تجهيز التركة: %1").arg(preparationProblem_));
    return case_;
}

namespace {

// Says why nothing was divided, when nothing was; true when it said so.
bool warnedNothingDivided(Outcome outcome, const std::optional<PreparedEstate>& preparation)
{
    switch (outcome) {
    case Outcome::Consumed:
        // The costs, debts and bequests leave nothing to divide.
        ui::showWarningBox(QString::fromStdString(ConsumedMessage(*preparation)));
        return true;
    case Outcome::NoEstate:
        // The engine's message, as the window spells it.
        ui::showWarningBox(QStringLiteral("من فضلك أدخل قيمة التركة"));
        return true;
    case Outcome::NoHeirs:
        ui::showWarningBox(QString::fromUtf8(kChooseHeirsMessage.data(), qsizetype(kChooseHeirsMessage.size())));
        return true;
    case Outcome::Divided: break;
    }
    return false;
}

}  // namespace

void EntryWindow::divideUncertain(const EstateCase& estateCase)
{
    if (const std::optional<UncertainRefusal> refusal = RefuseUncertain(estateCase, *uncertain_)) {
        ui::showWarningBox(QString::fromStdString(refusal->arabic));
        return;
    }
    UncertainFractions fractions;
    const UncertainDivision division = DivideUncertainExplained(estateCase, *uncertain_, fractions);
    if (warnedNothingDivided(division.outcome, division.preparation))
        return;
    DivisionWindow& results = divisionWindow();
    results.showUncertainDivision(estateCase, *uncertain_, division, fractions, caseDetails());
    results.exec();
}

void EntryWindow::divide()
{
    const EstateCase estateCase = caseToDivide();
    if (uncertain_ && !laterDeaths_.empty()) {
        // The engine refuses the two together; its words say why.
        const SuccessiveDivision refused = DivideSuccessive(estateCase, laterDeaths_, &*uncertain_);
        ui::showWarningBox(refused.refusal ? QString::fromStdString(refused.refusal->arabic) : laterDeathsBesideUncertain());
        return;
    }
    if (uncertain_) {
        divideUncertain(estateCase);
        return;
    }
    Explanation explanation;
    const DivisionResult result = DivideEstate(estateCase, &explanation);
    if (warnedNothingDivided(result.outcome, result.preparation))
        return;
    DivisionWindow& results = divisionWindow();
    if (laterDeaths_.empty()) {
        results.showDivision(estateCase, result, explanation, caseDetails());
    } else {
        const SuccessiveDivision successive = DivideSuccessive(estateCase, laterDeaths_);
        if (successive.refusal) {
            ui::showWarningBox(QStringLiteral("لا تُقسم المسألة مع من مات من الورثة قبل القسمة:\n%1")
                                   .arg(QString::fromStdString(successive.refusal->arabic)));
            return;
        }
        results.showSuccessiveDivision(laterDeaths_, successive, caseDetails());
    }
    laterDeathAsked_ = false;
    results.exec();
    // The results' "وفاة وارث قبل القسمة": the dialog, then the
    // division again with the death added.
    if (std::exchange(laterDeathAsked_, false) && editLaterDeaths())
        divide();
}

LaterDeathsDialog& EntryWindow::laterDeathsDialog()
{
    if (!laterDeathsDialog_)
        laterDeathsDialog_ = std::make_unique<LaterDeathsDialog>(this);
    return *laterDeathsDialog_;
}

bool EntryWindow::editLaterDeaths()
{
    // Deaths entered before the heirs were taken out can still be seen and removed.
    if (isEmptyCase() && laterDeaths_.empty()) {
        ui::showWarningBox(QStringLiteral("اختر ورثة الميت أولاً، ثم من مات منهم قبل القسمة"), isVisible() ? this : nullptr);
        return false;
    }
    if (uncertain_ && laterDeaths_.empty()) {
        ui::showWarningBox(laterDeathsBesideUncertain(), isVisible() ? this : nullptr);
        return false;
    }
    std::vector<LaterDeath> later = laterDeaths_;
    if (!laterDeathsDialog().edit(case_, later))
        return false;
    laterDeaths_ = std::move(later);
    showLaterDeaths();
    caseChanged();
    return true;
}

QString EntryWindow::laterDeathsBesideUncertain()
{
    return QStringLiteral("لا تجتمع في مسألة واحدة وارث لم يُعرف حاله (حمل أو مفقود أو خنثى) ووفاة وارث قبل القسمة: "
                          "احذف أحدهما أولاً");
}

void EntryWindow::showLaterDeaths()
{
    laterDeathsButton->setChecked(!laterDeaths_.empty());
    const QString tip = QStringLiteral("وارث مات بعد الميت وقبل قسمة التركة: تُقسم تركته على ورثته وتُجمع المسائل");
    laterDeathsButton->setToolTip(laterDeaths_.empty() ? tip
                                                       : tip + QStringLiteral("\nعدد من مات قبل القسمة: %1")
                                                                   .arg(laterDeaths_.size()));
}

void EntryWindow::toggleHowInherits()
{
    if (howInherits_->isOn())
        howInherits_->end();
    else
        howInherits_->start();
}

void EntryWindow::goBack()
{
    done(QDialog::Accepted);
}

CaseDetails EntryWindow::caseDetails() const
{
    CaseDetails d = details_;
    for (const HeirInfo& heir : kHeirs) {
        std::vector<std::string>& names = d.heirNames[static_cast<std::size_t>(index(heir.heir))];
        const std::int64_t heads = RelativePresent(case_, heir.heir) ? HeadsOf(case_, heir.heir).persons() : 0;
        if (static_cast<std::int64_t>(names.size()) > heads)
            names.resize(static_cast<std::size_t>(std::max<std::int64_t>(heads, 0)));
    }
    return d;
}

void EntryWindow::setCaseDetails(const CaseDetails& details) { details_ = details; }

CaseDetailsDialog& EntryWindow::caseDetailsDialog()
{
    if (!detailsDialog_)
        detailsDialog_ = std::make_unique<CaseDetailsDialog>(this);
    return *detailsDialog_;
}

UncertainHeirDialog& EntryWindow::uncertainHeirDialog()
{
    if (!uncertainDialog_)
        uncertainDialog_ = std::make_unique<UncertainHeirDialog>(this);
    return *uncertainDialog_;
}

void EntryWindow::editUncertainHeir()
{
    std::optional<UncertainHeir> heir = uncertain_;
    if (!uncertainHeirDialog().edit(case_, heir))
        return;
    setUncertainHeir(heir);
    if (uncertain_ && !laterDeaths_.empty()) {
        // Dividing refuses the two together.
        ui::setTextColor(guidance, kRed);
        setGuidance(laterDeathsBesideUncertain());
    } else if (uncertain_) {
        // Said at once when the case as it stands cannot hold him; dividing refuses it too.
        if (const std::optional<UncertainRefusal> refusal = RefuseUncertain(case_, *uncertain_)) {
            ui::setTextColor(guidance, kRed);
            setGuidance(QString::fromStdString(refusal->arabic));
        } else {
            ui::setTextColor(guidance, kNavy);
            setGuidance(QStringLiteral("في المسألة ") + results::uncertainHeirText(*uncertain_));
        }
    }
}

void EntryWindow::setUncertainHeir(const std::optional<UncertainHeir>& heir)
{
    uncertain_ = heir;
    showUncertainHeir();
    caseChanged();
}

void EntryWindow::showUncertainHeir()
{
    uncertainButton->setChecked(uncertain_.has_value());
    uncertainButton->setAccessibleDescription(uncertain_ ? results::uncertainHeirText(*uncertain_) : QString());
}

void EntryWindow::editCaseDetails()
{
    CaseDetails d = caseDetails();
    if (caseDetailsDialog().edit(case_, d)) {
        details_ = d;
        caseChanged();
    }
}

void EntryWindow::showPreparation()
{
    preparation_->exec();
    // The button stays pressed exactly while anything is entered.
    preparationEdited();
}

QString EntryWindow::askForCaseFile(bool saving)
{
    // The program's own dialog, so that it speaks Arabic on every desktop.
    QString folder = caseFolder_;
    if (folder.isEmpty())
        folder = QFileInfo(suggestedCaseFileName()).absolutePath();
    QFileDialog dialog(this, saving ? QStringLiteral("حفظ المسألة") : QStringLiteral("فتح مسألة"), folder);
    dialog.setObjectName(QStringLiteral("caseFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({QStringLiteral("مسائل القسمار (*.qismar)"), QStringLiteral("كل الملفات (*)")});
    // Wide enough for the Arabic captions of its buttons, and within a
    // screen of 1024 x 600.
    dialog.resize(720, 440);
    if (saving) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // A name typed without an ending gets the case files' one.
        dialog.setDefaultSuffix(QStringLiteral("qismar"));
        dialog.selectFile(caseFile_.isEmpty() ? suggestedCaseFileName() : caseFile_);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    // Arabic throughout, once the mode is set.
    ui::arabicFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.front();
}

void EntryWindow::askAndOpenCaseFile()
{
    const QString path = askForCaseFile(false);
    if (!path.isEmpty())
        openCaseFile(path);
}

bool EntryWindow::askAndSaveCaseFile()
{
    if (isEmptyCase()) {
        ui::showWarningBox(QStringLiteral("لا شيء يُحفظ: لم يُختر أي وارث بعد"), isVisible() ? this : nullptr);
        return false;
    }
    const QString path = askForCaseFile(true);
    return !path.isEmpty() && saveCaseFile(path);
}

bool EntryWindow::openCaseFile(const QString& path)
{
    CaseRecord opened;
    const EstateCase& c = opened.estate;
    CaseError error;
    QString problem;
    if (!readCaseFile(QFile::encodeName(path).toStdString(), opened, error))
        problem = QString::fromStdString(CaseErrorArabic(error));
    else
        problem = whyNotShown(c);
    if (problem.isEmpty()) {
        try {
            showCase(c);
            details_ = opened.details;
            setUncertainHeir(opened.uncertain);
            laterDeaths_ = opened.laterDeaths;
            showLaterDeaths();
        } catch (const std::exception& e) {
            problem = ui::errorMessage(e);
        }
    }
    if (!problem.isEmpty()) {
        ui::showErrorBox(QStringLiteral("تعذر فتح المسألة من الملف «%1»:\n%2").arg(shownName(path), problem),
                         isVisible() ? this : nullptr);
        return false;
    }
    const QFileInfo file(path);
    caseFile_ = file.absoluteFilePath();
    rememberCaseFolder(file.absolutePath());
    lastSaved_ = record();
    cleared_.reset();
    fileGuidance(QStringLiteral("فُتحت المسألة من الملف «%1»").arg(shownName(path)));
    return true;
}

bool EntryWindow::saveCaseFile(const QString& path)
{
    QString problem;
    try {
        CaseRecord c;
        c.estate = caseToSave();
        c.details = caseDetails();
        c.uncertain = uncertain_;
        c.laterDeaths = laterDeaths_;
        CaseError error;
        if (!writeCaseFile(QFile::encodeName(path).toStdString(), c, error))
            problem = QString::fromStdString(CaseErrorArabic(error));
    } catch (const std::exception& e) {
        problem = ui::errorMessage(e);
    }
    if (!problem.isEmpty()) {
        ui::showErrorBox(QStringLiteral("تعذر حفظ المسألة في الملف «%1»:\n%2").arg(shownName(path), problem),
                         isVisible() ? this : nullptr);
        return false;
    }
    const QFileInfo file(path);
    caseFile_ = file.absoluteFilePath();
    rememberCaseFolder(file.absolutePath());
    lastSaved_ = record();
    fileGuidance(QStringLiteral("حُفظت المسألة في الملف «%1»").arg(shownName(path)));
    return true;
}

void EntryWindow::reject()
{
    // Escape and a close request of the window system do what "عودة" does.
    ui::guarded([this] { goBack(); });
}

// ---------------------------------------------------------------- guidance

void EntryWindow::fileGuidance(const QString& text)
{
    ui::setTextColor(guidance, kNavy);
    // The name of the case stays in view below it.
    setGuidance(isUmariyya() ? text + QLatin1Char('\n') + umariyyaGuidance() : text);
    // It goes as soon as the case is no longer the one it speaks of.
    fileMessage_ = text;
    fileMessageCase_ = record();
}

void EntryWindow::rememberCaseFolder(const QString& folder)
{
    caseFolder_ = folder;
    QSettings(QStringLiteral("qismar"), QStringLiteral("qismar")).setValue(QStringLiteral("caseFolder"), folder);
}

QString EntryWindow::suggestedCaseFileName() const
{
    QString folder = caseFolder_;
    if (folder.isEmpty())
        folder = QSettings(QStringLiteral("qismar"), QStringLiteral("qismar")).value(QStringLiteral("caseFolder")).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    // "مسألة عبد الله 2024-03-16.qismar": the deceased's name when given,
    // without the signs a file name cannot hold.
    QString name = QString::fromStdString(details_.name).simplified();
    name.remove(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]")));
    const QString date = QDate::currentDate().toString(Qt::ISODate);
    const QString base = name.isEmpty() ? QStringLiteral("مسألة %1").arg(date) : QStringLiteral("مسألة %1 %2").arg(name, date);
    return QDir(folder).filePath(base + QStringLiteral(".qismar"));
}

void EntryWindow::howInheritsModeChanged(bool on)
{
    howInheritsButton->setChecked(on);
    if (on) {
        ui::setTextColor(guidance, kNavy);
        setGuidance(howInheritsGuidance());
    } else if (guidance->text() == howInheritsGuidance()) {
        setGuidance(QString());
        nameTheCase();
    }
}

bool EntryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove)
        guidanceOnMouseMove(watched);
    return QDialog::eventFilter(watched, event);
}

void EntryWindow::guidanceOnMouseMove(QObject* watched)
{
    auto show = [this](const QColor& color, const QString& text) {
        ui::setTextColor(guidance, color);
        setGuidance(text);
    };
    if (watched == deceasedFrame)
        show(kNavy, QStringLiteral("توجيه\nإذا كان الميت رجلاً فضع العلامة عليه\nوإذا كانت المتوفاة امرأة فضع العلامة عليها"));
    else if (watched == estateFrame)
        show(kNavy, QStringLiteral("توجيه\nاكتب قيمة جميع أموال المتوفى التي تركها"));
    else if (watched == preparationButton)
        show(kNavy, QStringLiteral("توجيه\nإن كان على التركة نفقات تجهيز ودفن أو ديون أو وصايا فاضغط «تجهيز التركة»:"
                                   "\nتُخرج منها قبل القسمة، ويُقسم الباقي على الورثة"));
    else if (watched == uncertainButton)
        show(kNavy, uncertain_ ? QStringLiteral("في المسألة ") + results::uncertainHeirText(*uncertain_)
                               : QStringLiteral("توجيه\nإن كان بين الورثة حمل أو مفقود أو خنثى مشكل\n"
                                                "فاضغط «حمل/مفقود/خنثى» واختر واحداً"));
    else if (watched == grandchildrenBox)
        show(kYellow, QStringLiteral("أبناء وبنات البنت لا يرثون"));
    else if (watched == nephewsBox)
        show(kYellow, QStringLiteral("تنبيه:\nبنات الإخوة لا يرثن\nأبناء الأخوات لا يرثون"));
    else if (watched == unclesBox)
        show(kYellow, QStringLiteral("تنبيه:\nالعمات لا يرثن\nالعم أخو الأب لأمه لا يرث"));
    else if (watched == cousinsBox)
        show(kYellow, QStringLiteral("تنبيه:\nبنات الأعمام لا يرثن\nأبناء العمات لا يرثون"));
    else if (watched == grandfatherBox)
        show(kYellow, QStringLiteral("الجد أبو الأم لا يرث"));
    else if (watched == heirsFrame) {
        if (isUmariyya())
            show(kYellow, umariyyaGuidance());
        else
            setGuidance(QString());
    }
}

void EntryWindow::setGuidance(const QString& text)
{
    guidance->setText(text);
    // A screen reader announces the guidance under the name of the text.
    guidance->setAccessibleDescription(text.trimmed());
}

}  // namespace qismar
