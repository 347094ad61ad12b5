#include "tests/entry/gui_test_support.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include "ui/data_files.h"
#include "ui/ui_common.h"

namespace qismar::testing {

namespace {
constexpr int kPollMs = 2;
constexpr qint64 kStepTimeoutMs = 10000;
qint64 now() { return QDateTime::currentMSecsSinceEpoch(); }
}  // namespace

ModalScript::ModalScript() : context_(std::make_unique<QObject>()) {}

ModalScript::~ModalScript()
{
    context_.reset();  // pending polls die with it
}

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
    start();
    return *this;
}

QString ModalScript::failures() const
{
    QStringList all = failures_;
    for (const Step& step : steps_)
        all.append(QStringLiteral("never shown: ") + step.what);
    return all.join(QStringLiteral("; "));
}

void ModalScript::start()
{
    deadline_ = now() + kStepTimeoutMs;
    if (polling_)
        return;
    polling_ = true;
    QTimer::singleShot(kPollMs, context_.get(), [this] { poll(); });
}

void ModalScript::poll()
{
    // The next poll is due whatever this one does, so that the steps of
    // windows opened from inside an action are answered too.
    QTimer::singleShot(kPollMs, context_.get(), [this] { poll(); });

    QWidget* modal = QApplication::activeModalWidget();
    if (lastActed_ && !lastActed_->isVisible())
        lastActed_ = nullptr;
    if (modal && modal->isVisible() && modal != lastActed_) {
        if (!steps_.empty() && steps_.front().match(modal)) {
            Step step = std::move(steps_.front());
            steps_.pop_front();
            deadline_ = now() + kStepTimeoutMs;
            lastActed_ = modal;
            step.act(modal);
            return;
        }
        if (strict_ || now() > deadline_) {
            giveUp(QStringLiteral("unexpected modal window %1 \"%2\"")
                       .arg(QString::fromLatin1(modal->metaObject()->className()), modal->windowTitle()));
            return;
        }
    }
    if (!steps_.empty() && now() > deadline_)
        giveUp(QStringLiteral("timed out waiting for ") + steps_.front().what);
}

void ModalScript::giveUp(const QString& why)
{
    failures_.append(why);
    steps_.clear();
    // Close whatever modal window is left, so that the test goes on.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->done(0);
        else
            modal->hide();
        if (QApplication::activeModalWidget() == modal)
            break;
    }
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

    createEntryWindows();
    fmMain->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fmMain));
}

void EntryWindows::TearDown()
{
    if (HowInheritsMode())
        EndHowInheritsMode();
    delete fmJd;
    delete report;
    delete fmUncle;
    delete fmSonOfBrother;
    delete fmGrandMother;
    delete fmDivision;
    delete fmSonOfSon;
    delete fmBrothers;
    delete fmSon;
    delete fmSonOfUncle;
    delete fmMain;
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
