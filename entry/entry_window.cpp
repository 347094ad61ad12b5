// The heir-entry window: the sex of the deceased, the estate, the heir boxes
// with their counts, the guidance texts and the buttons "  قسم", "كيف يرث؟"
// and "عودة".
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "entry_window.h"
#include "preparation.h"
#include "entry_windows.h"
#include "digit_edit.h"
#include "fitted_label.h"
#include "frame.h"
#include "picture.h"
#include "toggles.h"
#include "ui_common.h"

namespace qismar {

TfmMain* fmMain = nullptr;

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

template <class W>
W& require(W* window, const char* what)
{
    if (!window)
        throw ui::UiError(QStringLiteral("النافذة %1 غير موجودة").arg(QString::fromLatin1(what)));
    return *window;
}

std::string utf8(const QString& text) { return text.toStdString(); }

}  // namespace

TfmMain::TfmMain()
{
    setObjectName(QStringLiteral("fmMain"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("القسمار"));
    setWindowIcon(ui::programIcon());
    setLayoutDirection(Qt::RightToLeft);
    setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 13));
    ui::setLayoutSize(this, 640, 461);
    ui::centreOnScreen(this);

    Image1 = ui::named(new ui::Picture(QStringLiteral(":/pictures/entry.svg"), this), "Image1");
    Image1->setGeometry(0, 0, 632, 431);

    auto frame = [this](const char* name, const QString& caption, int x, int y, int w, int h) {
        auto* box = ui::named(new ui::Frame(caption, this), name);
        box->setGeometry(x, y, w, h);
        box->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 24));
        ui::setTextColor(box, kYellow);
        box->setAccessibleName(caption);
        return box;
    };
    GroupBox1 = frame("GroupBox1", QStringLiteral("الورثة"), 40, 40, 385, 345);

    St1 = ui::named(new ui::FittedLabel(QStringLiteral("  "), this), "St1");
    St1->setGeometry(69, 264, 332, 105);
    St1->setToolTip(QStringLiteral("التوجيهات والملاحظات"));
    St1->setAccessibleName(QStringLiteral("التوجيهات والملاحظات"));
    St1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    St1->setAlignment(Qt::AlignCenter);
    St1->setWordWrap(true);
    St1->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 19));
    St1->setAutoFillBackground(true);
    {
        QPalette palette = St1->palette();
        palette.setColor(QPalette::Window, palette.color(QPalette::Button));
        St1->setPalette(palette);
    }
    ui::setTextColor(St1, kGreen);

    GroupBox2 = frame("GroupBox2", QStringLiteral("المتوفى"), 438, 38, 136, 91);
    auto radio = [this](const char* name, const QString& caption, const QString& tip, int x, int y, int w, int h) {
        auto* button = ui::named(new ui::RadioButton(caption, this), name);
        button->setGeometry(x, y, w, h);
        button->setToolTip(tip);
        ui::setTextColor(button, kRed);
        return button;
    };
    RadioButton1 = radio("RadioButton1", QStringLiteral("رجل"), QStringLiteral("المتوفى رجل"), 491, 69, 49, 20);
    RadioButton2 = radio("RadioButton2", QStringLiteral("امرأة"), QStringLiteral(" المتوفى امرأة"), 482, 98, 58, 20);
    RadioButton1->setChecked(true);

    GroupBox3 = frame("GroupBox3", QStringLiteral("قيمة التركة"), 438, 133, 136, 87);
    edttarikh = ui::named(new ui::DigitEdit(QStringLiteral("0"), QStringLiteral("0"), this), "edttarikh");
    edttarikh->setGeometry(458, 171, 106, 24);
    edttarikh->setToolTip(QStringLiteral("قيمة التركة بالعملة "));
    edttarikh->setAccessibleName(QStringLiteral("قيمة التركة"));

    auto button = [this](const char* name, const QString& caption, const char* icon, const QString& accessible, int y) {
        auto* b = ui::named(new QPushButton(QIcon(QString::fromLatin1(icon)), caption, this), name);
        b->setGeometry(464, y, 89, 41);
        b->setIconSize(QSize(24, 24));
        b->setAccessibleName(accessible);
        return b;
    };
    BitBtn2 = button("BitBtn2", QStringLiteral("  قسم"), ":/icons/divide.svg", QStringLiteral("قسم"), 240);
    BitBtn3 = button("BitBtn3", QStringLiteral("كيف يرث؟"), ":/icons/how.svg", QStringLiteral("كيف يرث؟"), 288);
    BitBtn1 = button("BitBtn1", QStringLiteral("عودة"), ":/icons/back.svg", QStringLiteral("عودة"), 336);
    // Enter divides (a focused button takes Enter for itself); the mode's
    // button stays pressed while the mode is on.
    BitBtn2->setDefault(true);
    BitBtn3->setCheckable(true);
    BitBtn3->setStyleSheet(QStringLiteral("QPushButton:checked { background-color: #cfe0ff; border: 2px solid #1f4e9c;"
                                          " border-radius: 3px; }"));

    // Heir boxes: the right column at 309 (counts at 270), the left at 117 (counts at 78).
    const int boxTops[] = {85, 114, 142, 171, 200, 229};
    const int editTops[] = {75, 104, 133, 162, 190, 219};
    auto box = [this](const char* name, const QString& caption, const QString& tip, int x, int top, int width) {
        auto* b = ui::named(new ui::CheckBox(caption, this), name);
        b->setGeometry(x, top, width, 21);
        b->setToolTip(tip);
        ui::setTextColor(b, kRed);
        return b;
    };
    auto count = [this](const char* name, const QString& text, const QString& tip, const QString& accessible, int x,
                        int top) {
        auto* e = ui::named(new ui::DigitEdit(text, QString(), this), name);
        e->setGeometry(x, top, 30, 24);
        e->setToolTip(tip);
        e->setAccessibleName(accessible);
        e->setEnabled(false);
        ui::setTextColor(e, kRed);
        return e;
    };
    chkAb = box("chkAb", QStringLiteral("أب"), QStringLiteral("أبو الميت"), 309, boxTops[0], 84);
    Edit7 = count("Edit7", QStringLiteral("1"), QString(), QStringLiteral("عدد الآباء"), 270, editTops[0]);
    chkOm = box("chkOm", QStringLiteral("أم"), QStringLiteral("أم الميت"), 309, boxTops[1], 84);
    Edit8 = count("Edit8", QStringLiteral("1"), QString(), QStringLiteral("عدد الأمهات"), 270, editTops[1]);
    chkZoj = box("chkZoj", QStringLiteral("زوجات"), QStringLiteral("زوجات الميت "), 309, boxTops[2], 84);
    Edit1 = count("Edit1", QStringLiteral("1"), QStringLiteral("عدد الزوجات"), QStringLiteral("عدد الزوجات"), 270,
                  editTops[2]);
    chkSons = box("chkSons", QStringLiteral("أبناء"), QStringLiteral("أبناء الميت"), 309, boxTops[3], 84);
    Edit9 = count("Edit9", QStringLiteral("0"), QStringLiteral("عدد الأبناء"), QStringLiteral("عدد الأبناء"), 270,
                  editTops[3]);
    chkEbnEbn = box("chkEbnEbn", QStringLiteral("أحفاد"), QStringLiteral("حفدة الميت"), 309, boxTops[4], 84);
    Edit10 = count("Edit10", QStringLiteral("0"), QStringLiteral("عدد الحفدة"), QStringLiteral("عدد الحفدة"), 270,
                   editTops[4]);
    chkAk = box("chkAk", QStringLiteral("إخوة"), QStringLiteral("إخوة الميت"), 309, boxTops[5], 84);
    Edit11 = count("Edit11", QStringLiteral("0"), QStringLiteral("عدد الإخوة"), QStringLiteral("عدد الإخوة"), 270,
                   editTops[5]);
    chkEbnAk = box("chkEbnAk", QStringLiteral("أبناء الإخوة"),
                   QStringLiteral("أبناء إخوة الميت ... بنات الإخوة وأبناء الأخوات لا يرثون"), 107, boxTops[0], 94);
    Edit2 = count("Edit2", QStringLiteral("0"), QStringLiteral("عدد أبناء الإخوة"), QStringLiteral("عدد أبناء الإخوة"),
                  78, editTops[0]);
    chkAm = box("chkAm", QStringLiteral("أعمام"), QStringLiteral("أعمام الميت ... العمات لا يرثن"), 117, boxTops[1], 84);
    Edit5 = count("Edit5", QStringLiteral("0"), QStringLiteral("عدد الأعمام"), QStringLiteral("عدد الأعمام"), 78,
                  editTops[1]);
    chkjd = box("chkjd", QStringLiteral("جد"), QStringLiteral("جد الميت لأبيه ... الجد لأم لا يرث"), 117, boxTops[2], 84);
    Edit6 = count("Edit6", QStringLiteral("1"), QString(), QStringLiteral("عدد الأجداد"), 78, editTops[2]);
    chkjadh = box("chkjadh", QStringLiteral("جدة"), QStringLiteral("جدة الميت"), 117, boxTops[3], 84);
    Edit3 = count("Edit3", QStringLiteral("1"), QStringLiteral("عدد الجدات"), QStringLiteral("عدد الجدات"), 78,
                  editTops[3]);
    chkEbnAm = box("chkEbnAm", QStringLiteral("أبناء الأعمام"),
                   QStringLiteral("أبناء عم الميت ... بنات الأعمام وأبناء العمات لا يرثون"), 107, boxTops[4], 94);
    Edit4 = count("Edit4", QStringLiteral("0"), QStringLiteral("عدد أبناء الأعمام"), QStringLiteral("عدد أبناء الأعمام"),
                  78, editTops[4]);

    // Tab order of the layout.
    QWidget* order[] = {chkAb,  chkOm,  chkZoj, chkSons, chkEbnEbn,    chkAk,        chkEbnAk,  chkAm,
                        chkjd,  chkjadh, chkEbnAm, Edit1, Edit2,       Edit3,        Edit5,     Edit4,
                        Edit6,  Edit7,  Edit8,  Edit9,   Edit11,       Edit10,       St1,       GroupBox1,
                        RadioButton1, RadioButton2, GroupBox2, edttarikh, GroupBox3, BitBtn2, BitBtn3, BitBtn1};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    // The "كيف يرث؟" mode marks this window, its heirs' frame, the guidance
    // text, the button itself and the eleven heir boxes; the other controls
    // keep their own cursor.
    for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(BitBtn3), static_cast<QWidget*>(GroupBox1),
                       static_cast<QWidget*>(St1)})
        markForHelpCursor(w);
    for (QCheckBox* b : heirBoxes())
        markForHelpCursor(b);
    for (QWidget* w : {static_cast<QWidget*>(GroupBox2), static_cast<QWidget*>(GroupBox3),
                       static_cast<QWidget*>(RadioButton1), static_cast<QWidget*>(RadioButton2),
                       static_cast<QWidget*>(BitBtn2), static_cast<QWidget*>(BitBtn1)})
        w->setCursor(Qt::ArrowCursor);

    // Behaviours. A box's behaviour runs on every actual change of its state.
    for (QCheckBox* b : heirBoxes())
        connect(b, &QCheckBox::toggled, this, [this, b] {
            ui::guarded([this, b] { boxChanged(b); });
            caseChanged();
        });
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            ui::guarded([this] { RadioButton1Click(); });
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            ui::guarded([this] { RadioButton2Click(); });
    });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { ui::guarded([this] { Edit1Change(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { ui::guarded([this] { BitBtn2Click(); }); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { ui::guarded([this] { BitBtn3Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { ui::guarded([this] { BitBtn1Click(); }); });

    // Guidance texts follow the mouse.
    for (QWidget* w : {static_cast<QWidget*>(GroupBox1), static_cast<QWidget*>(GroupBox2),
                       static_cast<QWidget*>(GroupBox3), static_cast<QWidget*>(chkEbnEbn),
                       static_cast<QWidget*>(chkEbnAk), static_cast<QWidget*>(chkAm), static_cast<QWidget*>(chkEbnAm),
                       static_cast<QWidget*>(chkjd)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }

    chkAb->setFocus();
    fmMain = this;
}

TfmMain::~TfmMain()
{
    if (fmMain == this)
        fmMain = nullptr;
}

std::array<QCheckBox*, 11> TfmMain::heirBoxes() const
{
    return {chkAb, chkOm, chkZoj, chkSons, chkjd, chkEbnEbn, chkjadh, chkAk, chkEbnAm, chkEbnAk, chkAm};
}

void TfmMain::setTicked(QCheckBox* box, bool ticked)
{
    if (box->isChecked() == ticked)
        return;
    {
        // The behaviour is run here, not through the signal, so that an error
        // in it abandons the behaviour that changed the box as well.
        const QSignalBlocker blocker(box);
        box->setChecked(ticked);
    }
    boxChanged(box);
}

void TfmMain::boxChanged(QCheckBox* box)
{
    if (box == chkAb || box == chkOm)
        parentBoxChanged(box);
    else if (box == chkZoj)
        spouseBoxChanged();
    else if (box == chkjd)
        grandfatherBoxChanged();
    else if (box == chkjadh)
        grandmotherBoxChanged();
    else
        countingBoxChanged(box);
}

void TfmMain::countingBoxChanged(QCheckBox* box)
{
    // Each counting box: its dialog, its count edit, and the result rows of
    // the heirs it removes when unticked.
    TCountingDialog* dialog = nullptr;
    QLineEdit* countEdit = nullptr;
    std::vector<Row> rows;
    if (box == chkSons) {
        dialog = &require(fmSon, "fmSon");
        countEdit = Edit9;
    } else if (box == chkEbnEbn) {
        dialog = &require(fmSonOfSon, "fmSonOfSon");
        countEdit = Edit10;
        rows = {Row::n7, Row::n8, Row::n27, Row::n28};
    } else if (box == chkAk) {
        dialog = &require(fmBrothers, "fmBrothers");
        countEdit = Edit11;
        rows = {Row::n15, Row::n9, Row::n10, Row::n12, Row::n16};
    } else if (box == chkEbnAk) {
        dialog = &require(fmSonOfBrother, "fmSonOfBrother");
        countEdit = Edit2;
    } else if (box == chkAm) {
        dialog = &require(fmUncle, "fmUncle");
        countEdit = Edit5;
    } else {
        dialog = &require(fmSonOfUncle, "fmSonOfUncle");
        countEdit = Edit4;
    }

    if (box->isChecked()) {
        // The dialog writes its total into the count edit.
        dialog->exec();
    } else {
        dialog->resetCounts();
        countEdit->setText(QStringLiteral("0"));
        if (fmDivision)
            fmDivision->clearRows(rows);
        if (dialog->isVisible())
            dialog->done(QDialog::Accepted);
    }
    // The box stays ticked only for a count that is not zero.
    setTicked(box, CountIsNonZero(utf8(countEdit->text())));
}

void TfmMain::parentBoxChanged(QCheckBox* box)
{
    const bool father = box == chkAb;
    if (!box->isChecked() && fmDivision)
        fmDivision->clearRows({father ? Row::n3 : Row::n4});
    // In the "كيف يرث؟" mode a click only asks for the excerpt: the box ends unticked.
    if (HowInheritsMode())
        setTicked(box, false);
    if (father)
        ShowLawExcerpt(QStringLiteral("ab_b"), QStringLiteral("ab_e"));
    else
        ShowLawExcerpt(QStringLiteral("om_b"), QStringLiteral("om_e"));
}

void TfmMain::spouseBoxChanged()
{
    if (RadioButton1->isChecked()) {
        if (chkZoj->isChecked()) {
            Edit1->setEnabled(true);
        } else {
            if (fmDivision)
                fmDivision->clearRows({Row::n2});
            Edit1->setEnabled(false);
        }
        Edit1->setText(QStringLiteral("1"));
    }
    if (HowInheritsMode())
        setTicked(chkZoj, false);
    ShowLawExcerpt(QStringLiteral("zoj_b"), QStringLiteral("zoj_e"));
}

void TfmMain::grandfatherBoxChanged()
{
    ShowLawExcerpt(QStringLiteral("jd_b"), QStringLiteral("jd_e"));
    TfmJd& dialog = require(fmJd, "fmJd");
    if (chkjd->isChecked())
        dialog.exec();  // its "تم" unticks the box when no grandfather was chosen
    else
        dialog.clearChoice();
}

void TfmMain::grandmotherBoxChanged()
{
    ShowLawExcerpt(QStringLiteral("jdh_b"), QStringLiteral("jdh_e"));
    TfmGrandMother& dialog = require(fmGrandMother, "fmGrandMother");
    if (chkjadh->isChecked()) {
        dialog.exec();  // its "تم" writes the count and unticks the box when none was ticked
    } else {
        for (QCheckBox* b : dialog.boxes())
            b->setChecked(false);
        Edit3->setText(QStringLiteral("0"));
        if (dialog.isVisible())
            dialog.done(QDialog::Accepted);
    }
}

void TfmMain::RadioButton1Click()
{
    chkZoj->setText(QStringLiteral("زوجات"));
    chkZoj->setToolTip(QStringLiteral("زوجات الميت"));
    Edit1->setText(QStringLiteral("1"));
    // The number of wives is asked for only once there are wives.
    Edit1->setEnabled(chkZoj->isChecked());
}

void TfmMain::RadioButton2Click()
{
    chkZoj->setText(QStringLiteral("زوج"));
    chkZoj->setToolTip(QStringLiteral("زوج المتوفاة"));
    Edit1->setText(QStringLiteral("1"));
    Edit1->setEnabled(false);
}

void TfmMain::Edit1Change()
{
    // At most four wives: anything else becomes "1" at once.
    if (Edit1->text().isEmpty())
        Edit1->setText(QStringLiteral("1"));
    Currency wives;
    try {
        wives = parseAmount(utf8(ui::withAsciiDigits(Edit1->text())));
        if (!wives.isWhole())
            throw EngineError(ErrorCode::NotAWholeNumber);
    } catch (const EngineError& error) {
        if (error.code() == ErrorCode::OutOfRange) {
            Edit1->setText(QStringLiteral("1"));
            return;
        }
        throw ui::UiError(QStringLiteral("عدد الزوجات يجب أن يكون عدداً صحيحاً من 1 إلى 4، والمكتوب «%1»")
                              .arg(ui::quoted(Edit1->text())));
    }
    if (wives < Currency::fromWhole(1) || wives > Currency::fromWhole(4))
        Edit1->setText(QStringLiteral("1"));
}

void TfmMain::BitBtn3Click()
{
    if (HowInheritsMode())
        EndHowInheritsMode();
    else
        StartHowInheritsMode();
}

void TfmMain::BitBtn1Click()
{
    done(QDialog::Accepted);
}

EstateCase TfmMain::readCase() const
{
    EstateCase c;
    c.deceased = RadioButton2->isChecked() ? Deceased::Woman : Deceased::Man;
    const QString estateText = edttarikh->text();
    try {
        c.estate = parseAmount(utf8(ui::withAsciiDigits(estateText)));
    } catch (const EngineError& error) {
        if (error.code() == ErrorCode::OutOfRange)
            throw;
        throw ui::UiError(QStringLiteral("قيمة التركة يجب أن تكون عدداً، والمكتوب «%1»").arg(ui::quoted(estateText)));
    }
    if (c.estate.raw() < 0)
        throw ui::UiError(QStringLiteral("قيمة التركة لا يمكن أن تكون سالبة"));
    // An estate of zero is refused before anything else is read.
    if (c.estate.isZero())
        return c;

    c.father = chkAb->isChecked();
    c.mother = chkOm->isChecked();
    c.spouse = chkZoj->isChecked();
    c.grandfather = chkjd->isChecked();
    c.children = chkSons->isChecked();
    c.grandchildren = chkEbnEbn->isChecked();
    c.siblings = chkAk->isChecked();
    c.wives = ui::readCount(Edit1, Edit1->accessibleName());
    c.siblingTotal = ui::readCount(Edit11, Edit11->accessibleName());

    auto count = [](const QLineEdit* edit) { return ui::readCount(edit, edit->accessibleName()); };
    const TfmSon& son = require(fmSon, "fmSon");
    c.sons = count(son.Edit1);
    c.daughters = count(son.Edit2);
    const TfmSonOfSon& sonOfSon = require(fmSonOfSon, "fmSonOfSon");
    c.sonsSons = count(sonOfSon.Edit1);
    c.sonsDaughters = count(sonOfSon.Edit2);
    c.sonsSonsSons = count(sonOfSon.Edit3);
    c.sonsSonsDaughters = count(sonOfSon.Edit4);
    const TfmBrothers& brothers = require(fmBrothers, "fmBrothers");
    c.fullSisters = count(brothers.Edit1);
    c.fullBrothers = count(brothers.Edit2);
    c.paternalBrothers = count(brothers.Edit3);
    c.paternalSisters = count(brothers.Edit4);
    c.uterineSisters = count(brothers.Edit5);
    c.uterineBrothers = count(brothers.Edit6);
    const TfmSonOfBrother& sonOfBrother = require(fmSonOfBrother, "fmSonOfBrother");
    c.fullBrothersSons = count(sonOfBrother.Edit2);
    c.paternalBrothersSons = count(sonOfBrother.Edit3);
    const TfmUncle& uncle = require(fmUncle, "fmUncle");
    c.fullUncles = count(uncle.Edit1);
    c.paternalUncles = count(uncle.Edit2);
    const TfmSonOfUncle& sonOfUncle = require(fmSonOfUncle, "fmSonOfUncle");
    c.fullUnclesSons = count(sonOfUncle.Edit1);
    c.paternalUnclesSons = count(sonOfUncle.Edit2);
    const TfmGrandMother& grandMother = require(fmGrandMother, "fmGrandMother");
    c.mothersMother = grandMother.CheckBox1->isChecked();
    c.fathersMother = grandMother.CheckBox2->isChecked();
    c.mothersMothersMother = grandMother.CheckBox3->isChecked();
    c.fathersMothersMother = grandMother.CheckBox4->isChecked();
    c.fathersFathersMother = grandMother.CheckBox5->isChecked();
    return c;
}

void TfmMain::BitBtn2Click()
{
    TfmDivision& results = require(fmDivision, "fmDivision");
    const EstateCase estateCase = readCase();
    Explanation explanation;
    const DivisionResult result = DivideEstate(estateCase, results.currentRows(), &explanation);
    switch (result.outcome) {
    case Outcome::Consumed:
        // The costs, debts and bequests leave nothing to divide.
        ui::showWarningBox(QString::fromStdString(ConsumedMessage(*result.preparation)));
        return;
    case Outcome::NoEstate:
        // The engine's message, as the window spells it.
        ui::showWarningBox(QStringLiteral("من فضلك أدخل قيمة التركة"));
        return;
    case Outcome::NoHeirs:
        // The marks of the present relatives stay in the rows.
        results.applyDivision(estateCase, result, explanation);
        ui::showWarningBox(QString::fromUtf8(kChooseHeirsMessage.data(), qsizetype(kChooseHeirsMessage.size())));
        return;
    case Outcome::Divided:
        results.applyDivision(estateCase, result, explanation);
        // The results window's "تم" hands the clearing of the case back here.
        connect(&results, &TfmDivision::caseDone, this, &TfmMain::clearCase, Qt::UniqueConnection);
        results.exec();
        return;
    }
}

void TfmMain::clearCase()
{
    if (fmSon) {
        fmSon->Edit1->setText(QStringLiteral("0"));
        fmSon->Edit2->setText(QStringLiteral("0"));
    }
    // No law excerpt is shown while the case is cleared.
    const LookupsSuppressed quiet;
    for (QCheckBox* box : heirBoxes())
        setTicked(box, false);
    if (fmGrandMother)
        for (QCheckBox* box : fmGrandMother->boxes())
            box->setChecked(false);
}

void TfmMain::reject()
{
    // Escape and a close request of the window system do what "عودة" does.
    ui::guarded([this] { BitBtn1Click(); });
}

bool TfmMain::isUmariyya() const
{
    // Father, mother and spouse with no descendants: the case named al-Umariyya.
    return !chkSons->isChecked() && !chkEbnEbn->isChecked() && chkAb->isChecked() && chkOm->isChecked()
           && chkZoj->isChecked();
}

void TfmMain::caseChanged()
{
    // The name of the case follows the case: it shows as soon as the case
    // is one, and goes as soon as it no longer is.
    if (isUmariyya()) {
        if (!HowInheritsMode()) {
            ui::setTextColor(St1, kYellow);
            setGuidance(umariyyaGuidance());
        }
    } else if (St1->text() == umariyyaGuidance()) {
        setGuidance(QString());
    }
}

void TfmMain::howInheritsModeChanged(bool on)
{
    BitBtn3->setChecked(on);
    if (on) {
        ui::setTextColor(St1, kNavy);
        setGuidance(howInheritsGuidance());
    } else if (St1->text() == howInheritsGuidance()) {
        setGuidance(QString());
        caseChanged();
    }
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove)
        guidanceOnMouseMove(watched);
    return QDialog::eventFilter(watched, event);
}

void TfmMain::guidanceOnMouseMove(QObject* watched)
{
    auto show = [this](const QColor& color, const QString& text) {
        ui::setTextColor(St1, color);
        setGuidance(text);
    };
    if (watched == GroupBox2)
        show(kNavy, QStringLiteral("توجيه\nإذا كان الميت رجلاً فضع العلامة عليه\nوإذا كانت المتوفاة امرأة فضع العلامة عليها"));
    else if (watched == GroupBox3)
        show(kNavy, QStringLiteral("توجيه\nاكتب قيمة جميع أموال المتوفى التي تركها"));
    else if (watched == chkEbnEbn)
        show(kYellow, QStringLiteral("أبناء وبنات البنت لا يرثون"));
    else if (watched == chkEbnAk)
        show(kYellow, QStringLiteral("تنبيه:\nبنات الإخوة لا يرثن\nأبناء الأخوات لا يرثون"));
    else if (watched == chkAm)
        show(kYellow, QStringLiteral("تنبيه:\nالعمات لا يرثن\nالعم أخو الأب لأمه لا يرث"));
    else if (watched == chkEbnAm)
        show(kYellow, QStringLiteral("تنبيه:\nبنات الأعمام لا يرثن\nأبناء العمات لا يرثون"));
    else if (watched == chkjd)
        show(kYellow, QStringLiteral("الجد أبو الأم لا يرث"));
    else if (watched == GroupBox1) {
        if (isUmariyya())
            show(kYellow, umariyyaGuidance());
        else
            setGuidance(QString());
    }
}

void TfmMain::setGuidance(const QString& text)
{
    St1->setText(text);
    // A screen reader announces the guidance under the name of the text.
    St1->setAccessibleDescription(text.trimmed());
}


}  // namespace qismar
