#include "tests/entry/gui_test_support.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

#include "ui/data_files.h"
#include "ui/fitted_label.h"
#include "ui/picture.h"
#include "ui/ui_common.h"

namespace qismar::testing {

// Watches the windows that are shown and hidden while any script lives, and
// hands each modal window, once, to the scripts.
class ModalWatcher : public QObject {
public:
    static ModalWatcher& instance()
    {
        static ModalWatcher watcher;
        return watcher;
    }
    void add(ModalScript* script)
    {
        if (scripts_.empty())
            qApp->installEventFilter(this);
        scripts_.push_back(script);
    }
    void remove(ModalScript* script)
    {
        std::erase(scripts_, script);
        if (scripts_.empty())
            qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Show || type == QEvent::Hide) && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->isWindow()) {
            if (type == QEvent::Hide)
                std::erase_if(handled_, [watched](const QPointer<QWidget>& w) { return w.isNull() || w == watched; });
            // Looked at from the event loop that runs next: the loop of the
            // modal window just shown, or of the one under it again.
            if (!pending_) {
                pending_ = true;
                QMetaObject::invokeMethod(this, [this] { dispatch(); }, Qt::QueuedConnection);
            }
        }
        return false;
    }

private:
    void dispatch()
    {
        pending_ = false;
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || scripts_.empty())
            return;
        if (std::any_of(handled_.begin(), handled_.end(), [modal](const QPointer<QWidget>& w) { return w == modal; }))
            return;
        handled_.push_back(modal);
        // The newest script first: a script made inside a step answers the
        // windows its own actions open.
        const std::vector<ModalScript*> scripts = scripts_;
        for (auto it = scripts.rbegin(); it != scripts.rend(); ++it)
            if ((*it)->take(modal))
                return;
        scripts.back()->refuse(modal);
    }

    std::vector<ModalScript*> scripts_;
    std::vector<QPointer<QWidget>> handled_;
    bool pending_ = false;
};

ModalScript::ModalScript() { ModalWatcher::instance().add(this); }

ModalScript::~ModalScript() { ModalWatcher::instance().remove(this); }

ModalScript& ModalScript::messageBox()
{
    steps_.push_back({[](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
                      [this](QWidget* w) {
                          auto* box = qobject_cast<QMessageBox*>(w);
                          QAbstractButton* ok = box->button(QMessageBox::Ok);
                          boxes_.push_back({box->icon(), box->text(), box->windowTitle(), ok ? ok->text() : QString()});
                          if (!ok) {
                              failures_.append(QStringLiteral("message box without an OK button: ") + box->text());
                              box->done(0);
                              return;
                          }
                          if (box->buttons().size() != 1)
                              failures_.append(QStringLiteral("message box with more than one button"));
                          click(ok);
                      },
                      QStringLiteral("message box")});
    return *this;
}

QString ModalScript::failures() const
{
    QStringList all = failures_;
    for (const Step& step : steps_)
        all.append(QStringLiteral("never shown: ") + step.what);
    return all.join(QStringLiteral("; "));
}

bool ModalScript::take(QWidget* modal)
{
    if (steps_.empty() || !steps_.front().match(modal))
        return false;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    step.act(modal);
    return true;
}

void ModalScript::refuse(QWidget* modal)
{
    QString text = modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        text += QStringLiteral(": ") + box->text();
    failures_.append(QStringLiteral("unexpected modal window %1 \"%2\"")
                         .arg(QString::fromLatin1(modal->metaObject()->className()), text));
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->done(0);
    else
        modal->hide();
}

void click(QWidget* widget)
{
    EXPECT_TRUE(widget->isVisible()) << widget->objectName().toStdString() << " is not visible";
    EXPECT_TRUE(widget->isEnabled()) << widget->objectName().toStdString() << " is not enabled";
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void typeKeys(QWidget* widget, const QString& keys)
{
    for (QChar c : keys) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            // A key of a non-Latin keyboard: its key code is its character.
            const auto key = Qt::Key(c.unicode());
            QTest::sendKeyEvent(QTest::Press, widget, key, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, key, QString(c), Qt::NoModifier);
        }
    }
}

void typeOver(QLineEdit* edit, const QString& keys)
{
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    typeKeys(edit, keys);
}

void typeFileName(QFileDialog* dialog, const QString& name)
{
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr) << "the file dialog has no name box";
    typeOver(edit, name);
}

void pressAccept(QFileDialog* dialog)
{
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    for (QAbstractButton* b : buttons->buttons())
        if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole) {
            click(b);
            return;
        }
    ADD_FAILURE() << "no accepting button";
}

void pasteOver(QLineEdit* edit, const QString& text)
{
    QApplication::clipboard()->setText(text);
    ASSERT_EQ(QApplication::clipboard()->text(), text) << "the clipboard does not work here";
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    edit->paste();
}

void moveMouseOver(QWidget* widget, QPoint at)
{
    if (at == QPoint(-1, -1))
        at = QPoint(widget->width() / 2, widget->height() / 2);
    // Delivered to the widget itself: the platform's own pointer would go to
    // whichever window the headless screen finds first under that point.
    for (QPoint p : {at + QPoint(1, 1), at}) {
        QMouseEvent move(QEvent::MouseMove, p, widget->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }
}

std::function<void(CountingDialog*)> fillCounts(std::vector<TypedCount> counts)
{
    return [counts = std::move(counts)](CountingDialog* dialog) {
        for (const auto& [field, text] : counts) {
            QLineEdit* edit = dialog->countEdit(field);
            EXPECT_NE(edit, nullptr) << dialog->objectName();
            if (edit)
                typeOver(edit, text);
        }
        click(dialog->doneButton);
    };
}

namespace {

QString nameOf(const QWidget* w)
{
    return QStringLiteral("%1 (%2)").arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()));
}

// A frame or a plain panel, which stands around other controls.
bool isContainer(const QWidget* w)
{
    return qobject_cast<const QGroupBox*>(w) || qobject_cast<const QScrollArea*>(w)
           || w->metaObject() == &QFrame::staticMetaObject || w->metaObject() == &QWidget::staticMetaObject;
}

// The controls laid out on a widget: its visible children, without the
// background picture and Qt's own parts.
std::vector<QWidget*> controlsOn(QWidget* parent, QWidget* window)
{
    std::vector<QWidget*> out;
    for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow() || !w->isVisibleTo(window) || dynamic_cast<ui::Picture*>(w)
            || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        out.push_back(w);
    }
    return out;
}

// How much wider a control's text is than the room the control gives it
// (0 when it fits).
int overflow(QWidget* w)
{
    const QFontMetrics metrics(w->font());
    QStyle* style = w->style();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.rect = button->rect();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        int needed = metrics.horizontalAdvance(button->text());
        if (qobject_cast<QCheckBox*>(button))
            contents = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<QRadioButton*>(button))
            contents = QStyle::SE_RadioButtonContents;
        else if (!button->icon().isNull())
            needed += button->iconSize().width() + 4;
        return std::max(0, needed - style->subElementRect(contents, &option, button).width());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.rect = edit->rect();
        option.lineWidth = edit->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        const QRect contents = style->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                                   .marginsRemoved(edit->textMargins());
        // The edit keeps two pixels on each side of its text.
        return std::max(0, metrics.horizontalAdvance(edit->displayText()) - (contents.width() - 4));
    }
    if (auto* frame = qobject_cast<QGroupBox*>(w))
        return std::max(0, metrics.horizontalAdvance(frame->title()) + 16 - frame->width());
    if (auto* fitted = qobject_cast<ui::FittedLabel*>(w)) {
        // Its text is made smaller until it fits, but never below a size
        // that still reads.
        const QRect area = fitted->contentsRect().adjusted(2, 2, -2, -2);
        const QRect needed = QFontMetrics(fitted->fittedFont())
                                 .boundingRect(area, int(fitted->alignment()) | Qt::TextWordWrap, fitted->text());
        return std::max({0, needed.width() - area.width(), needed.height() - area.height()});
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        // A document lays itself out.
        if (label->textFormat() == Qt::RichText || label->text().isEmpty())
            return 0;
        const QRect room = label->contentsRect().marginsRemoved(
            QMargins(label->margin(), label->margin(), label->margin(), label->margin()));
        if (label->wordWrap())
            return std::max(0, label->heightForWidth(label->width()) - label->height());
        // The lines side by side must fit the width, and their ink the height.
        const QStringList lines = label->text().split(QLatin1Char('\n'));
        int widest = 0;
        int inkHeight = 0;
        for (const QString& line : lines) {
            widest = std::max(widest, metrics.horizontalAdvance(line));
            inkHeight = std::max(inkHeight, metrics.tightBoundingRect(line).height());
        }
        const int tall = int(lines.size() - 1) * metrics.lineSpacing() + inkHeight;
        return std::max({0, widest - room.width(), tall - room.height()});
    }
    return 0;
}

void collectFaults(QWidget* parent, QWidget* window, QStringList& faults)
{
    const std::vector<QWidget*> controls = controlsOn(parent, window);
    // A scroll area's content may be larger than the area: it scrolls.
    const bool scrolled = parent->objectName() == QLatin1String("qt_scrollarea_viewport");
    for (QWidget* w : controls) {
        if (!scrolled && !parent->rect().contains(w->geometry()))
            faults << QStringLiteral("%1 stands outside %2: %3,%4 %5x%6 in %7x%8")
                          .arg(nameOf(w), nameOf(parent))
                          .arg(w->x())
                          .arg(w->y())
                          .arg(w->width())
                          .arg(w->height())
                          .arg(parent->width())
                          .arg(parent->height());
        if (const int more = overflow(w); more > 0)
            faults << QStringLiteral("the text of %1 is cut: %2 pixels too wide or too tall for it").arg(nameOf(w)).arg(more);
    }
    for (std::size_t i = 0; i < controls.size(); ++i)
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            QWidget* a = controls[i];
            QWidget* b = controls[j];
            if (!a->geometry().intersects(b->geometry()))
                continue;
            const bool aAround = isContainer(a) && a->geometry().contains(b->geometry());
            const bool bAround = isContainer(b) && b->geometry().contains(a->geometry());
            if (!aAround && !bAround)
                faults << QStringLiteral("%1 and %2 overlap").arg(nameOf(a), nameOf(b));
        }
    for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!w->isWindow() && w->isVisibleTo(window))
            collectFaults(w, window, faults);
}

}  // namespace

QStringList layoutFaults(QWidget* window, QSize screen)
{
    QStringList faults;
    const QSize outer = window->size() + QSize(ui::kFrameWidth, ui::kFrameHeight);
    if (outer.width() > screen.width() || outer.height() > screen.height())
        faults << QStringLiteral("%1 is %2x%3 with its frame, larger than a screen of %4x%5")
                      .arg(nameOf(window))
                      .arg(outer.width())
                      .arg(outer.height())
                      .arg(screen.width())
                      .arg(screen.height());
    collectFaults(window, window, faults);
    return faults;
}

QByteArray lawExcerptFile(const QStringList& lines)
{
    return ui::encodeCp1256(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

QStringList defaultLawLines()
{
    QStringList lines{QStringLiteral("ملف مواد القانون للاختبار")};
    for (const char* key : {"ab", "om", "zoj", "jd", "jdh", "asbh", "bent", "bentebn", "oktsh", "oktliab", "ebnom"}) {
        lines << QString::fromLatin1(key) + QStringLiteral("_b") << defaultExcerpt(key)
              << QString::fromLatin1(key) + QStringLiteral("_e");
    }
    return lines;
}

QString defaultExcerpt(const char* key)
{
    return QStringLiteral("نص المادة: ") + QString::fromLatin1(key);
}

void EntryWindows::SetUp()
{
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(programDir_.isValid());
    previousDir_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    ui::setProgramFolder(programDir_.path());
    writeLawFile(defaultLawLines());

    entry_ = std::make_unique<EntryWindow>();
    entry_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(entry_.get()));
}

void EntryWindows::TearDown()
{
    entry_.reset();
    QDir::setCurrent(previousDir_);
    ui::setProgramFolder(QString());
}

void EntryWindows::writeLawFile(const QStringList& lines)
{
    writeLawFileBytes(lawExcerptFile(lines));
}

void EntryWindows::writeLawFileBytes(const QByteArray& bytes)
{
    QFile file(QString::fromLatin1(kLawExcerptFile));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void EntryWindows::removeLawFile()
{
    QFile::remove(QString::fromLatin1(kLawExcerptFile));
}

}  // namespace qismar::testing
