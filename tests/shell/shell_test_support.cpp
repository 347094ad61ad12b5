#include "tests/shell/shell_test_support.h"

#include "ui/data_files.h"
#include "ui/ui_common.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QStringEncoder>
#include <QtEndian>
#include <cmath>

namespace qismar::test {

void useOffscreenPlatformByDefault()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

WorkingFolder::WorkingFolder() : previous_(QDir::currentPath())
{
    QDir::setCurrent(dir_.path());
    ui::setProgramFolder(programDir_.path());
}

WorkingFolder::~WorkingFolder()
{
    QDir::setCurrent(previous_);
    ui::setProgramFolder(QString());
}

QString WorkingFolder::programPath(const QString& name) const
{
    return programDir_.filePath(name);
}

QString WorkingFolder::path(const QString& name) const
{
    return dir_.filePath(name);
}

void WorkingFolder::writeCp1256(const QString& name, const QString& text) const
{
    QStringEncoder encoder("windows-1256");
    writeBytes(name, encoder.encode(text));
}

void WorkingFolder::writeBytes(const QString& name, const QByteArray& bytes) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path(name)));
}

void WorkingFolder::remove(const QString& name) const
{
    QFile::remove(path(name));
}

namespace {

void put16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

}  // namespace

QByteArray riffChunk(const char* id, const QByteArray& body)
{
    QByteArray out(id, 4);
    put32(out, quint32(body.size()));
    out.append(body);
    if (body.size() % 2)
        out.append('\0');
    return out;
}

QByteArray makeWave(const WaveFormat& format)
{
    const int bytesPerSample = format.bitsPerSample / 8;
    const quint16 blockAlign = quint16(format.channels * bytesPerSample);
    QByteArray fmt;
    put16(fmt, format.extensible ? 0xFFFE : format.formatTag);
    put16(fmt, format.channels);
    put32(fmt, format.sampleRate);
    put32(fmt, format.sampleRate * blockAlign);
    put16(fmt, blockAlign);
    put16(fmt, format.bitsPerSample);
    if (format.extensible) {
        put16(fmt, 22);
        put16(fmt, format.bitsPerSample);
        put32(fmt, format.channels == 1 ? 0x4 : 0x3);
        put16(fmt, format.formatTag);
        fmt.append("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    }

    // A quiet 440 Hz tone, so a listener hears that it plays.
    const int frames = int(format.seconds * format.sampleRate);
    QByteArray data;
    data.reserve(frames * blockAlign);
    for (int i = 0; i < frames; ++i) {
        const double v = 0.2 * std::sin(2 * M_PI * 440.0 * i / format.sampleRate);
        for (int c = 0; c < format.channels; ++c) {
            switch (format.formatTag) {
            case 1:
                if (bytesPerSample == 1) {
                    data.append(char(quint8(128 + v * 127)));
                } else {
                    const qint64 full = qint64(v * ((1LL << (format.bitsPerSample - 1)) - 1));
                    for (int b = 0; b < bytesPerSample; ++b)
                        data.append(char((full >> (8 * b)) & 0xFF));
                }
                break;
            case 3:
                if (bytesPerSample == 4) {
                    const float f = float(v);
                    data.append(reinterpret_cast<const char*>(&f), 4);
                } else {
                    const double d = v;
                    data.append(reinterpret_cast<const char*>(&d), 8);
                }
                break;
            default:  // A-law / mu-law: a byte that decodes to a small value
                data.append(char(format.formatTag == 6 ? 0xD5 : 0xFF));
                break;
            }
        }
    }
    QByteArray body("WAVE");
    body.append(riffChunk("fmt ", fmt));
    body.append(riffChunk("data", data));
    return riffChunk("RIFF", body);
}

ModalWatcher::ModalWatcher()
{
    qApp->installEventFilter(this);
}

ModalWatcher::~ModalWatcher()
{
    qApp->removeEventFilter(this);
}

QList<SeenModal> ModalWatcher::messageBoxes() const
{
    QList<SeenModal> boxes;
    for (const SeenModal& s : seen_)
        if (s.messageBox)
            boxes.append(s);
    return boxes;
}

void ModalWatcher::closeModal(QWidget* widget)
{
    if (auto* box = qobject_cast<QMessageBox*>(widget)) {
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->done(0);
    } else if (auto* dialog = qobject_cast<QDialog*>(widget)) {
        dialog->done(QDialog::Rejected);
    } else {
        widget->close();
    }
}

bool ModalWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        // A modal window is modal before it is shown (exec() and showModal
        // set it so); its own loop starts right after the Show.
        if (widget->isWindow() && widget->isModal()) {
            QPointer<QWidget> guard(widget);
            QMetaObject::invokeMethod(
                this, [this, guard] { if (guard) handle(guard); }, Qt::QueuedConnection);
        }
    }
    return false;
}

void ModalWatcher::handle(QWidget* widget)
{
    if (!widget->isVisible())
        return;
    SeenModal seen;
    seen.widget = widget;
    seen.objectName = widget->objectName();
    seen.title = widget->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(widget)) {
        seen.messageBox = true;
        seen.text = box->text();
        seen.icon = box->icon();
    }
    seen_.append(seen);
    QPointer<QWidget> guard(widget);
    if (!actions_.isEmpty())
        actions_.takeFirst()(widget);
    if (guard && guard->isVisible())
        closeModal(guard);
}

}  // namespace qismar::test
