// The eight heir dialogs: six that count the members of a class of heirs,
// the grandmothers and the grandfather.
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "entry_windows.h"
#include "digit_edit.h"
#include "frame.h"
#include "picture.h"
#include "toggles.h"
#include "ui_common.h"

namespace qismar {

TfmSonOfUncle* fmSonOfUncle = nullptr;
TfmSon* fmSon = nullptr;
TfmBrothers* fmBrothers = nullptr;
TfmSonOfSon* fmSonOfSon = nullptr;
TfmGrandMother* fmGrandMother = nullptr;
TfmSonOfBrother* fmSonOfBrother = nullptr;
TfmUncle* fmUncle = nullptr;
TfmJd* fmJd = nullptr;

namespace {

const QColor& kRed = ui::kTextRed;
const QColor& kYellow = ui::kTextYellow;
constexpr int kLayoutLabelHeight = 13;

// The entry window, which every dialog writes back into.
TfmMain& entryWindow()
{
    if (!fmMain)
        throw ui::UiError(QStringLiteral("نافذة إدخال الورثة غير موجودة"));
    return *fmMain;
}

template <class W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox* addCheckBox(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* box = named(new ui::CheckBox(caption, parent), name);
    box->setGeometry(x, y, w, h);
    return box;
}

QRadioButton* addRadioButton(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* button = named(new ui::RadioButton(caption, parent), name);
    button->setGeometry(x, y, w, h);
    return button;
}

QPushButton* addButton(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* button = named(new QPushButton(caption, parent), name);
    button->setGeometry(x, y, w, h);
    return button;
}

QGroupBox* addFrame(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* frame = named(new ui::Frame(caption, parent), name);
    frame->setGeometry(x, y, w, h);
    ui::setTextColor(frame, kYellow);
    frame->setAccessibleName(caption);
    return frame;
}

}  // namespace

// ---------------------------------------------------------------------------

THeirDialog::THeirDialog(const QString& caption, int layoutWidth, int layoutHeight)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(caption);
    setLayoutDirection(Qt::RightToLeft);
    setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 11));
    ui::setLayoutSize(this, layoutWidth, layoutHeight);
    ui::centreOnScreen(this);
    Image1 = named(ui::Picture::background(QStringLiteral(":/pictures/dialog.svg"), this), "Image1");
    // The picture takes part in the mouse movements of the guidance notices.
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents, false);
}

void THeirDialog::reject()
{
    // Escape and a close request of the window system do what "تم" does:
    // it is the dialog's way out.
    ui::guarded([this] { Button1Click(); }, this);
}

void THeirDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The first field takes the focus, its content selected, so that the
    // dialog can be filled from the keyboard at once.
    if (QWidget* first = firstField())
        first->setFocus(Qt::TabFocusReason);
}

void THeirDialog::closeDialog()
{
    if (isVisible())
        done(QDialog::Accepted);
}

// ---------------------------------------------------------------------------

TCountingDialog::TCountingDialog(const QString& caption, int layoutWidth, int layoutHeight)
    : THeirDialog(caption, layoutWidth, layoutHeight)
{
    // The dialog's surface shows the help cursor in the "كيف يرث؟" mode.
    markForHelpCursor(this);
}

QWidget* TCountingDialog::firstField() const
{
    return counts_.empty() ? nullptr : counts_.front();
}

QLineEdit* TCountingDialog::addCountEdit(const char* name, int x, int y, int w, int h,
                                         const QString& accessibleName, const char* beginKey,
                                         const char* endKey)
{
    auto* edit = named(new ui::DigitEdit(QStringLiteral("0"), QStringLiteral("0"), this), name);
    edit->setGeometry(x, y, w, h);
    edit->setAccessibleName(accessibleName);
    showExcerptOnClick(edit, QString::fromLatin1(beginKey), QString::fromLatin1(endKey));
    markForHelpCursor(edit);
    counts_.push_back(edit);
    return edit;
}

QPushButton* TCountingDialog::addDoneButton(int x, int y, int w, int h, bool redCaption)
{
    Button1 = addButton(this, "Button1", QStringLiteral("تم"), x, y, w, h);
    Button1->setCursor(Qt::ArrowCursor);
    if (redCaption)
        ui::setTextColor(Button1, kRed);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { ui::guarded([this] { Button1Click(); }); });
    return Button1;
}

QLabel* TCountingDialog::addLabel(const char* name, const QString& text, int x, int y)
{
    auto* label = named(new QLabel(text, this), name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->adjustSize();
    // The layout places a label 13 pixels high; the substitute face is
    // taller, so the label is centred where the layout's text stands.
    label->move(x, y + (kLayoutLabelHeight - label->height()) / 2);
    label->setCursor(Qt::ArrowCursor);
    return label;
}

void TCountingDialog::resetCounts()
{
    for (QLineEdit* edit : counts_)
        edit->setText(QStringLiteral("0"));
}

void TCountingDialog::Button1Click()
{
    // The dialog closes even when a count cannot be read.
    closeDialog();
    Currency total;
    for (QLineEdit* edit : counts_)
        total = addExact(total, ui::readCount(edit, edit->accessibleName()));
    totalEdit()->setText(QString::fromStdString(formatAmount(total)));
}

// ---------------------------------------------------------------------------

TfmSon::TfmSon() : TCountingDialog(QStringLiteral("أبناء  "), 170, 158)
{
    setObjectName(QStringLiteral("fmSon"));
    Edit1 = addCountEdit("Edit1", 40, 24, 41, 21, QStringLiteral("عدد الأبناء الذكور"), "asbh_b", "asbh_e");
    Edit2 = addCountEdit("Edit2", 40, 48, 41, 21, QStringLiteral("عدد البنات"), "bent_b", "bent_e");
    addDoneButton(64, 80, 33, 25, true);
    Label1 = addLabel("Label1", QStringLiteral("ذكور"), 104, 33);
    Label2 = addLabel("Label2", QStringLiteral("إناث"), 104, 56);
    showExcerptOnClick(Label2, QStringLiteral("bent_b"), QStringLiteral("bent_e"));
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button1);
    fmSon = this;
}

TfmSon::~TfmSon()
{
    if (fmSon == this)
        fmSon = nullptr;
}

QLineEdit* TfmSon::totalEdit() const { return entryWindow().Edit9; }

// ---------------------------------------------------------------------------

TfmSonOfSon::TfmSonOfSon() : TCountingDialog(QStringLiteral("أحفاد"), 398, 232)
{
    setObjectName(QStringLiteral("fmSonOfSon"));
    GroupBox1 = addFrame(this, "GroupBox1", QStringLiteral("أبناء الأبناء"), 200, 48, 137, 89);
    GroupBox2 = addFrame(this, "GroupBox2", QStringLiteral("أبناء أبناء الأبناء"), 48, 48, 145, 89);
    for (QGroupBox* frame : {GroupBox1, GroupBox2})
        frame->setCursor(Qt::ArrowCursor);
    Edit1 = addCountEdit("Edit1", 224, 72, 41, 21, QStringLiteral("عدد أبناء الابن"), "asbh_b", "asbh_e");
    Edit2 = addCountEdit("Edit2", 224, 96, 41, 21, QStringLiteral("عدد بنات الابن"), "bentebn_b", "bentebn_e");
    addDoneButton(176, 152, 41, 25, false);
    addLabel("StaticText1", QStringLiteral("ذكور"), 288, 72);
    addLabel("StaticText2", QStringLiteral("إناث"), 288, 96);
    Edit3 = addCountEdit("Edit3", 88, 72, 41, 21, QStringLiteral("عدد أبناء ابن الابن"), "asbh_b", "asbh_e");
    Edit4 = addCountEdit("Edit4", 88, 96, 41, 21, QStringLiteral("عدد بنات ابن الابن"), "bentebn_b", "bentebn_e");
    addLabel("StaticText3", QStringLiteral("ذكور"), 144, 72);
    addLabel("StaticText4", QStringLiteral("إناث"), 144, 96);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button1);
    setTabOrder(Button1, Edit3);
    setTabOrder(Edit3, Edit4);

    // Moving over the picture writes a notice into the entry window's guidance text.
    Image1->setMouseTracking(true);
    Image1->installEventFilter(this);
    fmSonOfSon = this;
}

TfmSonOfSon::~TfmSonOfSon()
{
    if (fmSonOfSon == this)
        fmSonOfSon = nullptr;
}

QLineEdit* TfmSonOfSon::totalEdit() const { return entryWindow().Edit10; }

bool TfmSonOfSon::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image1 && event->type() == QEvent::MouseMove && fmMain)
        fmMain->setGuidance(QStringLiteral("أبناء وبنات البنت لا يرثون\nأبناء وبنات بنت الابن لا يرثون"));
    return TCountingDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------

TfmBrothers::TfmBrothers() : TCountingDialog(QStringLiteral("إخوة"), 209, 234)
{
    setObjectName(QStringLiteral("fmBrothers"));
    Edit1 = addCountEdit("Edit1", 32, 56, 33, 21, QStringLiteral("عدد الأخوات الشقيقات"), "oktsh_b", "oktsh_e");
    Edit2 = addCountEdit("Edit2", 80, 56, 33, 21, QStringLiteral("عدد الإخوة الأشقاء"), "asbh_b", "asbh_e");
    Edit3 = addCountEdit("Edit3", 80, 88, 33, 21, QStringLiteral("عدد الإخوة لأب"), "asbh_b", "asbh_e");
    Edit4 = addCountEdit("Edit4", 32, 88, 33, 21, QStringLiteral("عدد الأخوات لأب"), "oktliab_b", "oktliab_e");
    Edit5 = addCountEdit("Edit5", 32, 120, 33, 21, QStringLiteral("عدد الأخوات لأم"), "ebnom_b", "ebnom_e");
    Edit6 = addCountEdit("Edit6", 80, 120, 33, 21, QStringLiteral("عدد الإخوة لأم"), "ebnom_b", "ebnom_e");
    addDoneButton(72, 152, 57, 25, false);
    // The grid's headings: sex above the columns, line of kinship beside the rows.
    addLabel("Label1", QStringLiteral("ذكور"), 89, 32);
    addLabel("Label2", QStringLiteral("إناث"), 44, 32);
    addLabel("Label3", QStringLiteral("أشقاء"), 139, 58);
    addLabel("Label4", QStringLiteral("لأب"), 153, 90);
    addLabel("Label5", QStringLiteral("لأم"), 155, 122);
    QWidget* order[] = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Button1};
    for (int i = 0; i + 1 < 7; ++i)
        setTabOrder(order[i], order[i + 1]);
    fmBrothers = this;
}

TfmBrothers::~TfmBrothers()
{
    if (fmBrothers == this)
        fmBrothers = nullptr;
}

QLineEdit* TfmBrothers::totalEdit() const { return entryWindow().Edit11; }

// ---------------------------------------------------------------------------

TfmSonOfBrother::TfmSonOfBrother() : TCountingDialog(QStringLiteral("أبناء الإخوة"), 228, 220)
{
    setObjectName(QStringLiteral("fmSonOfBrother"));
    QLabel* note1 = addLabel("Label5", QStringLiteral("ملحوظة: ابن الأخ لأم لا يرث"), 44, 32);
    QLabel* note2 = addLabel("Label3", QStringLiteral("ملحوظة: بنت الأخ لا ترث"), 69, 56);
    for (QLabel* note : {note1, note2}) {
        ui::setTextColor(note, kRed);
        // Centred across the dialog, where the layout's two lines stood.
        note->setGeometry(8, note->y(), width() - 16, note->height());
        note->setAlignment(Qt::AlignCenter);
    }
    Edit2 = addCountEdit("Edit2", 80, 80, 33, 21, QStringLiteral("عدد أبناء الإخوة الأشقاء"), "asbh_b", "asbh_e");
    addLabel("Label1", QStringLiteral("شقيق"), 120, 88);
    Edit3 = addCountEdit("Edit3", 80, 112, 33, 21, QStringLiteral("عدد أبناء الإخوة لأب"), "asbh_b", "asbh_e");
    addLabel("Label2", QStringLiteral("لأب"), 128, 120);
    addDoneButton(88, 144, 49, 25, false);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Button1);
    fmSonOfBrother = this;
}

TfmSonOfBrother::~TfmSonOfBrother()
{
    if (fmSonOfBrother == this)
        fmSonOfBrother = nullptr;
}

QLineEdit* TfmSonOfBrother::totalEdit() const { return entryWindow().Edit2; }

// ---------------------------------------------------------------------------

TfmUncle::TfmUncle() : TCountingDialog(QStringLiteral("الأعمام"), 188, 163)
{
    setObjectName(QStringLiteral("fmUncle"));
    Edit1 = addCountEdit("Edit1", 48, 24, 41, 21, QStringLiteral("عدد الأعمام الأشقاء"), "asbh_b", "asbh_e");
    addLabel("Label1", QStringLiteral("شقيق"), 112, 33);
    Edit2 = addCountEdit("Edit2", 48, 48, 41, 21, QStringLiteral("عدد الأعمام لأب"), "asbh_b", "asbh_e");
    addLabel("Label2", QStringLiteral("لأب"), 112, 56);
    addDoneButton(72, 80, 33, 25, true);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button1);
    fmUncle = this;
}

TfmUncle::~TfmUncle()
{
    if (fmUncle == this)
        fmUncle = nullptr;
}

QLineEdit* TfmUncle::totalEdit() const { return entryWindow().Edit5; }

// ---------------------------------------------------------------------------

TfmSonOfUncle::TfmSonOfUncle() : TCountingDialog(QStringLiteral("أبناء العم"), 190, 164)
{
    setObjectName(QStringLiteral("fmSonOfUncle"));
    Edit1 = addCountEdit("Edit1", 48, 32, 41, 21, QStringLiteral("عدد أبناء الأعمام الأشقاء"), "asbh_b", "asbh_e");
    addLabel("Label1", QStringLiteral("شقيق"), 112, 41);
    Edit2 = addCountEdit("Edit2", 48, 56, 41, 21, QStringLiteral("عدد أبناء الأعمام لأب"), "asbh_b", "asbh_e");
    addLabel("Label2", QStringLiteral("لأب"), 112, 64);
    addDoneButton(72, 88, 33, 25, true);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button1);
    fmSonOfUncle = this;
}

TfmSonOfUncle::~TfmSonOfUncle()
{
    if (fmSonOfUncle == this)
        fmSonOfUncle = nullptr;
}

QLineEdit* TfmSonOfUncle::totalEdit() const { return entryWindow().Edit4; }

// ---------------------------------------------------------------------------

TfmGrandMother::TfmGrandMother() : THeirDialog(QStringLiteral("الجدة"), 382, 263)
{
    setObjectName(QStringLiteral("fmGrandMother"));
    Panel1 = named(new QFrame(this), "Panel1");
    Panel2 = named(new QFrame(this), "Panel2");
    Panel1->setGeometry(192, 64, 129, 97);
    Panel2->setGeometry(48, 64, 129, 97);
    for (QFrame* panel : {Panel1, Panel2}) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setLineWidth(1);
        panel->setAutoFillBackground(true);
    }
    CheckBox1 = addCheckBox(this, "CheckBox1", QStringLiteral("أم الأم"), 240, 80, 49, 25);
    CheckBox2 = addCheckBox(this, "CheckBox2", QStringLiteral("أم الأب"), 232, 112, 57, 25);
    Button1 = addButton(this, "Button1", QStringLiteral("تم"), 160, 176, 49, 25);
    CheckBox3 = addCheckBox(this, "CheckBox3", QStringLiteral("أم أم الأم"), 56, 72, 97, 33);
    CheckBox4 = addCheckBox(this, "CheckBox4", QStringLiteral("أم أم الأب"), 56, 104, 97, 17);
    CheckBox5 = addCheckBox(this, "CheckBox5", QStringLiteral("أم أبي الأب"), 56, 128, 97, 17);
    RadioButton1 = addRadioButton(this, "RadioButton1", QStringLiteral("جدة قريبة"), 208, 40, 113, 17);
    RadioButton2 = addRadioButton(this, "RadioButton2", QStringLiteral("جدة بعيدة"), 64, 40, 113, 17);
    RadioButton1->setChecked(true);
    for (QCheckBox* far : {CheckBox3, CheckBox4, CheckBox5})
        far->setEnabled(false);
    QWidget* order[] = {CheckBox1, CheckBox2, Button1, CheckBox3, CheckBox4, CheckBox5, RadioButton1, RadioButton2};
    for (int i = 0; i + 1 < 8; ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            ui::guarded([this] { RadioButton1Click(); });
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            ui::guarded([this] { RadioButton2Click(); });
    });
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { ui::guarded([this] { Button1Click(); }); });

    // The notice about a far grandmother entered twice appears on a mouse
    // movement over the dialog, its picture or the far grandmothers' panel.
    setMouseTracking(true);
    for (QWidget* surface : {Image1, static_cast<QWidget*>(Panel2)}) {
        surface->setMouseTracking(true);
        surface->installEventFilter(this);
    }
    fmGrandMother = this;
}

TfmGrandMother::~TfmGrandMother()
{
    if (fmGrandMother == this)
        fmGrandMother = nullptr;
}

QString TfmGrandMother::sameGrandmotherNotice()
{
    return QStringLiteral("تنبيه:\nإذا كانت أم أم الأم هي نفسها أم أبي الأب فيجب إدخالها بصفة واحدة فقط:\nهي أم أم الأم");
}

void TfmGrandMother::RadioButton1Click()
{
    CheckBox1->setEnabled(true);
    CheckBox2->setEnabled(true);
    for (QCheckBox* far : {CheckBox3, CheckBox4, CheckBox5}) {
        far->setEnabled(false);
        far->setChecked(false);
    }
}

void TfmGrandMother::RadioButton2Click()
{
    for (QCheckBox* far : {CheckBox3, CheckBox4, CheckBox5})
        far->setEnabled(true);
    for (QCheckBox* near : {CheckBox1, CheckBox2}) {
        near->setEnabled(false);
        near->setChecked(false);
    }
}

void TfmGrandMother::Button1Click()
{
    closeDialog();
    int count = 0;
    for (QCheckBox* box : boxes())
        count += box->isChecked() ? 1 : 0;
    TfmMain& entry = entryWindow();
    entry.Edit3->setText(QString::number(count));
    if (count == 0)
        entry.setTicked(entry.chkjadh, false);
}

void TfmGrandMother::noticeOnMouseMove()
{
    // Once shown, the notice stays for the rest of the run.
    if (CheckBox3->isChecked() && CheckBox5->isChecked())
        setToolTip(sameGrandmotherNotice());
}

bool TfmGrandMother::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && (watched == Image1 || watched == Panel2))
        noticeOnMouseMove();
    return THeirDialog::eventFilter(watched, event);
}

void TfmGrandMother::mouseMoveEvent(QMouseEvent* event)
{
    noticeOnMouseMove();
    THeirDialog::mouseMoveEvent(event);
}

// ---------------------------------------------------------------------------

TfmJd::TfmJd() : THeirDialog(QStringLiteral("جد"), 149, 170)
{
    setObjectName(QStringLiteral("fmJd"));
    move(393, 182);
    RadioButton1 = addRadioButton(this, "RadioButton1", QStringLiteral("أبو الأب"), 40, 40, 73, 17);
    RadioButton2 = addRadioButton(this, "RadioButton2", QStringLiteral("أبو أبي الأب"), 32, 64, 81, 17);
    Button1 = addButton(this, "Button1", QStringLiteral("تم"), 56, 96, 33, 25);
    Button1->setDefault(true);
    setTabOrder(RadioButton1, RadioButton2);
    setTabOrder(RadioButton2, Button1);
    connect(Button1, &QPushButton::clicked, this, [this] { ui::guarded([this] { Button1Click(); }); });
    fmJd = this;
}

TfmJd::~TfmJd()
{
    if (fmJd == this)
        fmJd = nullptr;
}

void TfmJd::Button1Click()
{
    if (!RadioButton1->isChecked() && !RadioButton2->isChecked()) {
        TfmMain& entry = entryWindow();
        entry.setTicked(entry.chkjd, false);
    }
    closeDialog();
}

void TfmJd::clearChoice()
{
    ui::clearRadioButtons(RadioButton1, RadioButton2);
}

}  // namespace qismar
