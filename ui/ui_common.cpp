#include "ui/ui_common.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QIcon>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QScreen>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTranslator>
#include <new>

namespace qismar::ui {

// ---------------------------------------------------------------- errors

QString errorMessage(const std::exception& error)
{
    if (auto* engine = dynamic_cast<const EngineError*>(&error))
        return QString::fromUtf8(engine->arabic());
    if (auto* ui = dynamic_cast<const UiError*>(&error))
        return ui->message();
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return QStringLiteral("لا تكفي الذاكرة لإتمام هذا الأمر");
    return QString::fromLocal8Bit(error.what());
}

namespace {

QWidget* inFront(QWidget* parent)
{
    if (parent)
        return parent;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

void messageBox(QMessageBox::Icon icon, const QString& message, QWidget* parent)
{
    QMessageBox box(icon, QApplication::applicationDisplayName(), message, QMessageBox::Ok, inFront(parent));
    box.setAccessibleName(message);
    box.exec();
}

}  // namespace

void arabicFileDialog(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::List);
    dialog.setLabelText(QFileDialog::Accept,
                        dialog.acceptMode() == QFileDialog::AcceptSave ? QStringLiteral("حفظ") : QStringLiteral("فتح"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("إلغاء"));
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("المجلد:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("اسم الملف:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("نوع الملف:"));
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        for (QAbstractButton* button : buttons->buttons()) {
            button->setIcon(QIcon());
            button->setText(button->text().remove(QLatin1Char('&')));
        }
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setText(label->text().remove(QLatin1Char('&')));
}

void showErrorBox(const QString& message, QWidget* parent)
{
    messageBox(QMessageBox::Critical, message, parent);
}

void showWarningBox(const QString& message, QWidget* parent)
{
    messageBox(QMessageBox::Warning, message, parent);
}

void reportError(const std::exception& error, QWidget* parent) noexcept
{
    try {
        showErrorBox(errorMessage(error), parent);
    } catch (...) {
    }
}

void reportUnknownError(QWidget* parent) noexcept
{
    try {
        showErrorBox(QStringLiteral("حدث خطأ غير متوقع"), parent);
    } catch (...) {
    }
}

QString quoted(const QString& text, qsizetype longest)
{
    if (text.size() <= longest)
        return text;
    qsizetype cut = longest;
    if (text.at(cut).isLowSurrogate())
        --cut;
    return text.left(cut) + QChar(0x2026);
}

// ---------------------------------------------------------------- text

QString decodeCp1256(const QByteArray& bytes)
{
    QStringDecoder decoder("windows-1256");
    QString text = decoder.decode(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QByteArray encodeCp1256(const QString& text)
{
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QStringEncoder encoder("windows-1256", QStringConverter::Flag::Default);
    QByteArray bytes = encoder.encode(crlf);
    bytes.replace('\x1a', '?');
    return bytes;
}

namespace {

QString firstInstalled(std::initializer_list<const char*> families)
{
    const QStringList installed = QFontDatabase::families();
    for (const char* f : families) {
        const QString name = QString::fromLatin1(f);
        if (installed.contains(name, Qt::CaseInsensitive))
            return name;
    }
    return QString::fromLatin1(*families.begin());
}

}  // namespace

QFont layoutFont(const QString& layoutFamily, int pixelSize, bool bold)
{
    // The layouts name Windows faces; these installed faces share their
    // character: a plain sans for the dialogs, a Naskh for reading texts, a
    // classical Naskh for "Traditional Arabic", a Kufi for the display face.
    QString family;
    const QString f = layoutFamily.toLower();
    if (f.startsWith(QLatin1String("traditional arabic")))
        family = firstInstalled({"Amiri", "Noto Naskh Arabic", "DejaVu Sans"});
    else if (f == QLatin1String("simplified arabic"))
        family = firstInstalled({"Noto Naskh Arabic", "Amiri", "DejaVu Sans"});
    else if (f == QLatin1String("mudir mt"))
        family = firstInstalled({"Noto Kufi Arabic", "Noto Sans Arabic", "DejaVu Sans"});
    else
        family = firstInstalled({"Noto Sans Arabic", "DejaVu Sans"});
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    if (f.endsWith(QLatin1String("backslanted")))
        font.setItalic(true);
    return font;
}

void setTextColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, color);
        palette.setColor(group, QPalette::Text, color);
        palette.setColor(group, QPalette::ButtonText, color);
    }
    widget->setPalette(palette);
}

QPushButton* pushButton(const QString& caption, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QLabel* plainLabel(const char* name, const QString& text, const QFont& font, const QColor& colour, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

const QIcon& programIcon()
{
    static const QIcon icon = [] {
        const QString path = QStringLiteral(":/icons/qismar.svg");
        return QFile::exists(path) ? QIcon(path) : QIcon();
    }();
    return icon;
}

void installArabic(QApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Sudan));
    app.setLayoutDirection(Qt::RightToLeft);
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_ar", "qtmultimedia_ar"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(name), dir))
            app.installTranslator(translator);
        else
            delete translator;
    }
}

// ---------------------------------------------------------------- counts

QChar asciiDigit(QChar c) noexcept
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return c;
    if (u >= 0x0660 && u <= 0x0669)  // Arabic-Indic digits
        return QChar(u'0' + (u - 0x0660));
    if (u >= 0x06F0 && u <= 0x06F9)  // extended Arabic-Indic digits
        return QChar(u'0' + (u - 0x06F0));
    return QChar();
}

QString withAsciiDigits(const QString& text)
{
    QString ascii = text;
    for (QChar& c : ascii) {
        const QChar digit = asciiDigit(c);
        if (!digit.isNull())
            c = digit;
    }
    return ascii;
}

HeadCount readCount(const QLineEdit* edit, const QString& what)
{
    const QString text = edit->text();
    const QString notACount =
        QStringLiteral("%1 يجب أن يكون عدداً صحيحاً من الأشخاص، والمكتوب «%2»").arg(what, quoted(text));
    const QString tooMany = QStringLiteral("%1 أكبر من أن يكون عدداً من الأشخاص: أكبر عدد يُقبل %2")
                                .arg(what, QStringLiteral("1000000000"));
    Currency count;
    try {
        count = parseAmount(withAsciiDigits(text).toStdString());
    } catch (const EngineError& error) {
        if (error.code() == ErrorCode::OutOfRange)
            throw UiError(tooMany);
        throw UiError(notACount);
    }
    if (count.raw() < 0 || !count.isWhole())
        throw UiError(notACount);
    if (count > Currency::fromWhole(kMaxCount))
        throw UiError(tooMany);
    return HeadCount(count.raw() / Currency::kScale);
}

void clearRadioButtons(QRadioButton* a, QRadioButton* b)
{
    // An exclusive radio button cannot be unchecked on its own.
    for (QRadioButton* button : {a, b})
        button->setAutoExclusive(false);
    a->setChecked(false);
    b->setChecked(false);
    for (QRadioButton* button : {a, b})
        button->setAutoExclusive(true);
}

// ---------------------------------------------------------------- windows

void setLayoutSize(QWidget* window, int layoutWidth, int layoutHeight)
{
    window->resize(layoutWidth - kFrameWidth, layoutHeight - kFrameHeight);
}

void centreOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // Before the window is first shown its frame is not known yet: the
    // layouts' frame stands in for it.
    QSize outer = window->frameGeometry().size();
    if (outer == window->size())
        outer += QSize(kFrameWidth, kFrameHeight);
    window->move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

namespace {

class CentreOnFirstShow : public QObject {
public:
    explicit CentreOnFirstShow(QWidget* window) : QObject(window) { window->installEventFilter(this); }
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            centreOnScreen(static_cast<QWidget*>(watched));
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

// Ends a nested loop as soon as the watched window is hidden or destroyed.
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget* window, QEventLoop* loop) : window_(window), loop_(loop) { window->installEventFilter(this); }
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Hide && !event->spontaneous())
            loop_->quit();
        return false;
    }
private:
    QObject* window_;
    QEventLoop* loop_;
};

}  // namespace

void centreOnFirstShow(QWidget* window)
{
    new CentreOnFirstShow(window);
}

void showModal(QWidget* window)
{
    if (!window)
        return;
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->exec();
        return;
    }
    QPointer<QWidget> guard(window);
    const Qt::WindowModality previous = window->windowModality();
    if (window->isVisible())
        window->hide();
    window->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    HideWatcher watcher(window, &loop);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    loop.exec(QEventLoop::DialogExec);
    if (guard) {
        guard->removeEventFilter(&watcher);
        guard->setWindowModality(previous);
    }
}

}  // namespace qismar::ui
