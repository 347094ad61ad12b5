// The heir-entry window: the sex of the deceased, the estate, the heir boxes
// with their counts, the guidance texts and the buttons "  قسم", "كيف يرث؟"
// and "عودة".
#include <QCheckBox>
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
#include "engine/preparation.h"
#include "entry/preparation_dialog.h"
#include "entry/entry_windows.h"
#include "ui/digit_edit.h"
#include "ui/fitted_label.h"
#include "ui/frame.h"
#include "ui/picture.h"
#include "ui/toggles.h"
#include "ui/ui_common.h"

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
    // The layout's 640 x 461 and a row for the case files below the heirs.
    ui::setLayoutSize(this, 640, 511);
    ui::centreOnScreen(this);

    Image1 = ui::named(new ui::Picture(QStringLiteral(":/pictures/entry.svg"), this), "Image1");
    Image1->setGeometry(0, 0, 632, 481);

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

    // The estate's frame holds the gross estate and, below it, the button of
    // its preparation with a line on what remains after it.
    GroupBox3 = frame("GroupBox3", QStringLiteral("قيمة التركة"), 438, 133, 136, 121);
    edttarikh = ui::named(new ui::DigitEdit(QStringLiteral("0"), QStringLiteral("0"), this), "edttarikh");
    edttarikh->setGeometry(458, 171, 106, 24);
    edttarikh->setToolTip(QStringLiteral("قيمة التركة بالعملة "));
    edttarikh->setAccessibleName(QStringLiteral("قيمة التركة"));
    BitBtn6 = ui::named(new QPushButton(QStringLiteral("تجهيز التركة"), this), "BitBtn6");
    BitBtn6->setGeometry(458, 201, 106, 28);
    BitBtn6->setToolTip(QStringLiteral("نفقات التجهيز والدفن والديون والوصايا: تُخرج من التركة قبل قسمتها"));
    BitBtn6->setAccessibleName(QStringLiteral("تجهيز التركة"));
    // It stays pressed while anything is entered in its dialog.
    BitBtn6->setCheckable(true);
    BitBtn6->setStyleSheet(QStringLiteral("QPushButton:checked { background-color: #cfe0ff; border: 2px solid #1f4e9c;"
                                          " border-radius: 3px; }"));
    Label1 = ui::named(new QLabel(this), "Label1");
    Label1->setGeometry(442, 231, 128, 18);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 11));
    ui::setTextColor(Label1, kNavy);
    Label1->setAccessibleName(QStringLiteral("التركة بعد التجهيز"));

    auto button = [this](const char* name, const QString& caption, const char* icon, const QString& accessible, int y) {
        auto* b = ui::named(new QPushButton(QIcon(QString::fromLatin1(icon)), caption, this), name);
        b->setGeometry(464, y, 89, 41);
        b->setIconSize(QSize(24, 24));
        b->setAccessibleName(accessible);
        return b;
    };
    BitBtn2 = button("BitBtn2", QStringLiteral("  قسم"), ":/icons/divide.svg", QStringLiteral("قسم"), 266);
    BitBtn3 = button("BitBtn3", QStringLiteral("كيف يرث؟"), ":/icons/how.svg", QStringLiteral("كيف يرث؟"), 314);
    BitBtn1 = button("BitBtn1", QStringLiteral("عودة"), ":/icons/back.svg", QStringLiteral("عودة"), 362);
    // The case files, in a row below the heirs.
    BitBtn4 = button("BitBtn4", QStringLiteral("فتح مسألة"), ":/icons/open.svg", QStringLiteral("فتح مسألة"), 400);
    BitBtn4->setGeometry(242, 400, 140, 36);
    BitBtn4->setToolTip(QStringLiteral("فتح مسألة محفوظة في ملف (Ctrl+O)"));
    BitBtn5 = button("BitBtn5", QStringLiteral("حفظ المسألة"), ":/icons/save.svg", QStringLiteral("حفظ المسألة"), 400);
    BitBtn5->setGeometry(82, 400, 140, 36);
    BitBtn5->setToolTip(QStringLiteral("حفظ المسألة كما أُدخلت في ملف (Ctrl+S)"));
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
                        RadioButton1, RadioButton2, GroupBox2, edttarikh, BitBtn6, GroupBox3, BitBtn2, BitBtn3,
                        BitBtn4, BitBtn5, BitBtn1};
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
                       static_cast<QWidget*>(BitBtn2), static_cast<QWidget*>(BitBtn1),
                       static_cast<QWidget*>(BitBtn4), static_cast<QWidget*>(BitBtn5),
                       static_cast<QWidget*>(BitBtn6)})
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
    connect(BitBtn4, &QPushButton::clicked, this, [this] { ui::guarded([this] { BitBtn4Click(); }, this); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { ui::guarded([this] { BitBtn5Click(); }, this); });
    connect(BitBtn6, &QPushButton::clicked, this, [this] { ui::guarded([this] { BitBtn6Click(); }, this); });
    // The shortcuts of the case files run the buttons' behaviour at once.
    auto* openKey = new QShortcut(QKeySequence::Open, this);
    connect(openKey, &QShortcut::activated, this, [this] { ui::guarded([this] { BitBtn4Click(); }, this); });
    auto* saveKey = new QShortcut(QKeySequence::Save, this);
    connect(saveKey, &QShortcut::activated, this, [this] { ui::guarded([this] { BitBtn5Click(); }, this); });
    connect(edttarikh, &QLineEdit::textChanged, this, [this] { preparationChanged(); });

    // Guidance texts follow the mouse.
    for (QWidget* w : {static_cast<QWidget*>(GroupBox1), static_cast<QWidget*>(GroupBox2),
                       static_cast<QWidget*>(GroupBox3), static_cast<QWidget*>(BitBtn6),
                       static_cast<QWidget*>(chkEbnEbn),
                       static_cast<QWidget*>(chkEbnAk), static_cast<QWidget*>(chkAm), static_cast<QWidget*>(chkEbnAm),
                       static_cast<QWidget*>(chkjd)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }

    caseFolder_ = QDir::currentPath();
    chkAb->setFocus();
    fmMain = this;
    // The preparation dialog belongs to this window: it reads the estate
    // from here and lives as long as this window does.
    preparation_ = new TfmPreparation();
    preparationChanged();
}

TfmMain::~TfmMain()
{
    delete preparation_;
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
    std::vector<Heir> rows;
    if (box == chkSons) {
        dialog = &require(fmSon, "fmSon");
        countEdit = Edit9;
    } else if (box == chkEbnEbn) {
        dialog = &require(fmSonOfSon, "fmSonOfSon");
        countEdit = Edit10;
        rows = {Heir::SonsSons, Heir::SonsDaughters, Heir::SonsSonsDaughters, Heir::SonsSonsSons};
    } else if (box == chkAk) {
        dialog = &require(fmBrothers, "fmBrothers");
        countEdit = Edit11;
        rows = {Heir::PaternalSisters, Heir::FullBrothers, Heir::FullSisters, Heir::UterineSiblings, Heir::PaternalBrothers};
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
        fmDivision->clearRows({father ? Heir::Father : Heir::Mother});
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
                fmDivision->clearRows({Heir::Wives});
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

void TfmMain::readEstate(EstateCase& c) const
{
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
}

void TfmMain::readHeirs(EstateCase& c) const
{
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
}

void TfmMain::readPreparation(EstateCase& c) const
{
    const TfmPreparation::Reading r = preparation_->read();
    if (r.refuse)
        throw ui::UiError(QStringLiteral("تجهيز التركة: %1").arg(r.problem));
    c.funeral = r.preparation.funeral;
    c.debts = r.preparation.debts;
    c.bequests = r.preparation.bequests;
    c.heirsConsent = r.preparation.heirsConsent;
}

EstateCase TfmMain::readCase() const
{
    EstateCase c;
    readEstate(c);
    // An estate of zero is refused before anything else is read.
    if (c.estate.isZero())
        return c;
    readHeirs(c);
    readPreparation(c);
    return c;
}

EstateCase TfmMain::wholeCase() const
{
    EstateCase c;
    readEstate(c);
    readHeirs(c);
    readPreparation(c);
    return c;
}

void TfmMain::BitBtn2Click()
{
    TfmDivision& results = require(fmDivision, "fmDivision");
    const EstateCase estateCase = readCase();
    Explanation explanation;
    const DivisionResult result = DivideEstate(estateCase, &explanation);
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

QString TfmMain::askForCaseFile(bool saving)
{
    // The program's own dialog, so that it speaks Arabic on every desktop.
    QFileDialog dialog(this, saving ? QStringLiteral("حفظ المسألة") : QStringLiteral("فتح مسألة"), caseFolder_);
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
        if (!caseFile_.isEmpty())
            dialog.selectFile(caseFile_);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    // Right to left, a small button with a picture draws its Arabic caption
    // partly outside itself: the buttons (made for the mode chosen) go
    // without their pictures.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        for (QAbstractButton* button : buttons->buttons())
            button->setIcon(QIcon());
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.front();
}

void TfmMain::BitBtn4Click()
{
    const QString path = askForCaseFile(false);
    if (!path.isEmpty())
        openCaseFile(path);
}

void TfmMain::BitBtn5Click()
{
    const QString path = askForCaseFile(true);
    if (!path.isEmpty())
        saveCaseFile(path);
}

void TfmMain::BitBtn6Click()
{
    preparation_->exec();
    preparationChanged();
}

namespace {

// A file as the messages name it: its name, or the path when it has none.
QString shownName(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

QString amountText(Currency v) { return QString::fromStdString(formatAmount(v)); }

// Ticks or unticks a box without running its behaviour: for the boxes whose
// dialog has already been filled.
void setQuietly(QCheckBox* box, bool ticked)
{
    const QSignalBlocker blocker(box);
    box->setChecked(ticked);
}

}  // namespace

bool TfmMain::openCaseFile(const QString& path)
{
    EstateCase c;
    CaseError error;
    QString problem;
    if (!readCaseFile(QFile::encodeName(path).toStdString(), c, error))
        problem = QString::fromStdString(CaseErrorArabic(error));
    else
        problem = whyNotShown(c);
    if (problem.isEmpty()) {
        try {
            showCase(c);
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
    caseFolder_ = file.absolutePath();
    fileGuidance(QStringLiteral("فُتحت المسألة من الملف «%1»").arg(shownName(path)));
    return true;
}

bool TfmMain::saveCaseFile(const QString& path)
{
    QString problem;
    try {
        const EstateCase c = wholeCase();
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
    caseFolder_ = file.absolutePath();
    fileGuidance(QStringLiteral("حُفظت المسألة في الملف «%1»").arg(shownName(path)));
    return true;
}

QString TfmMain::whyNotShown(const EstateCase& c)
{
    // The grandmothers' dialog holds either near or far grandmothers.
    const bool near = c.mothersMother || c.fathersMother;
    const bool far = c.mothersMothersMother || c.fathersMothersMother || c.fathersFathersMother;
    if (near && far)
        return QStringLiteral("في المسألة جدات قريبات وجدات بعيدات معاً، ونافذة الجدة لا تجمع بينهن");
    return QString();
}

void TfmMain::showCase(const EstateCase& c)
{
    if (const QString why = whyNotShown(c); !why.isEmpty())
        throw ui::UiError(why);
    TfmSon& son = require(fmSon, "fmSon");
    TfmSonOfSon& sonOfSon = require(fmSonOfSon, "fmSonOfSon");
    TfmBrothers& brothers = require(fmBrothers, "fmBrothers");
    TfmSonOfBrother& sonOfBrother = require(fmSonOfBrother, "fmSonOfBrother");
    TfmUncle& uncle = require(fmUncle, "fmUncle");
    TfmSonOfUncle& sonOfUncle = require(fmSonOfUncle, "fmSonOfUncle");
    TfmGrandMother& grandMother = require(fmGrandMother, "fmGrandMother");
    TfmJd& grandfather = require(fmJd, "fmJd");

    if (HowInheritsMode())
        EndHowInheritsMode();
    // The case is cleared as the results window's "تم" clears it: its rows,
    // then every box, count and dialog here.
    if (fmDivision)
        fmDivision->Button1Click();
    clearCase();

    // Then the case goes in as a user types it: the deceased (the radio
    // button's behaviour sets the spouse's caption and the wives count), the
    // estate, the boxes without a dialog through their own behaviour, and
    // each dialog filled as its "تم" would leave it, with its box.
    const LookupsSuppressed quiet;
    (c.isWoman() ? RadioButton2 : RadioButton1)->setChecked(true);
    edttarikh->setText(amountText(c.estate));
    setTicked(chkAb, c.father);
    setTicked(chkOm, c.mother);
    setTicked(chkZoj, c.spouse);
    if (c.spouse && c.isMan())
        Edit1->setText(QString::number(c.wives.persons()));

    const auto fill = [](QCheckBox* box, QLineEdit* countEdit,
                         std::initializer_list<std::pair<QLineEdit*, HeadCount>> counts) {
        HeadCount total;
        for (const auto& [edit, value] : counts) {
            edit->setText(QString::number(value.persons()));
            total = total + value;
        }
        countEdit->setText(QString::number(total.persons()));
        setQuietly(box, !total.isZero());
    };
    fill(chkSons, Edit9, {{son.Edit1, c.sons}, {son.Edit2, c.daughters}});
    fill(chkEbnEbn, Edit10,
         {{sonOfSon.Edit1, c.sonsSons},
          {sonOfSon.Edit2, c.sonsDaughters},
          {sonOfSon.Edit3, c.sonsSonsSons},
          {sonOfSon.Edit4, c.sonsSonsDaughters}});
    fill(chkAk, Edit11,
         {{brothers.Edit1, c.fullSisters},
          {brothers.Edit2, c.fullBrothers},
          {brothers.Edit3, c.paternalBrothers},
          {brothers.Edit4, c.paternalSisters},
          {brothers.Edit5, c.uterineSisters},
          {brothers.Edit6, c.uterineBrothers}});
    fill(chkEbnAk, Edit2, {{sonOfBrother.Edit2, c.fullBrothersSons}, {sonOfBrother.Edit3, c.paternalBrothersSons}});
    fill(chkAm, Edit5, {{uncle.Edit1, c.fullUncles}, {uncle.Edit2, c.paternalUncles}});
    fill(chkEbnAm, Edit4, {{sonOfUncle.Edit1, c.fullUnclesSons}, {sonOfUncle.Edit2, c.paternalUnclesSons}});

    if (c.grandfather) {
        // The case does not say which grandfather: the father's father.
        grandfather.RadioButton1->setChecked(true);
        setQuietly(chkjd, true);
    }
    const bool near = c.mothersMother || c.fathersMother;
    const bool far = c.mothersMothersMother || c.fathersMothersMother || c.fathersFathersMother;
    if (near || far) {
        // Choosing the group runs its behaviour: the other group is greyed.
        (near ? grandMother.RadioButton1 : grandMother.RadioButton2)->setChecked(true);
        const bool ticked[] = {c.mothersMother, c.fathersMother, c.mothersMothersMother, c.fathersMothersMother,
                               c.fathersFathersMother};
        int grandmothers = 0;
        for (std::size_t i = 0; i < std::size(ticked); ++i) {
            grandMother.boxes()[i]->setChecked(ticked[i]);
            grandmothers += ticked[i] ? 1 : 0;
        }
        Edit3->setText(QString::number(grandmothers));
        setQuietly(chkjadh, true);
    }
    preparation_->setPreparation(c);
    caseChanged();
    preparationChanged();
}

void TfmMain::fileGuidance(const QString& text)
{
    ui::setTextColor(St1, kNavy);
    // The name of the case stays in view below it.
    setGuidance(isUmariyya() ? text + QLatin1Char('\n') + umariyyaGuidance() : text);
}

void TfmMain::preparationChanged()
{
    if (!preparation_)
        return;
    const QString summary = preparationSummary(preparation_->read());
    Label1->setText(summary);
    Label1->setAccessibleDescription(summary);
    // The button stays pressed while anything is entered in the dialog.
    BitBtn6->setChecked(!preparation_->isEmpty());
    BitBtn6->setAccessibleDescription(summary);
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
    } else if (const QString below = QLatin1Char('\n') + umariyyaGuidance(); St1->text().endsWith(below)) {
        // A message that named the case above the name: the name goes.
        setGuidance(St1->text().chopped(below.size()));
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
    else if (watched == BitBtn6)
        show(kNavy, QStringLiteral("توجيه\nإن كان على التركة نفقات تجهيز ودفن أو ديون أو وصايا فاضغط «تجهيز التركة»:"
                                   "\nتُخرج منها قبل القسمة، ويُقسم الباقي على الورثة"));
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
