// Helpers of the shell's tests: a headless application, a temporary working
// folder, generated data and sound files, and a watcher that acts on (and
// closes) the modal windows a command opens.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>

namespace qismar::test {

// Forces the offscreen platform when no platform was chosen, so the tests
// also run where there is no display (and when ctest's environment does
// not apply).
void useOffscreenPlatformByDefault();

// A temporary folder that is the current directory for the lifetime of the
// object, as the program's own folder is when it runs; and a second, empty
// one that stands for the program's folder meanwhile.
class WorkingFolder {
public:
    WorkingFolder();
    ~WorkingFolder();
    QString path(const QString& name) const;
    // A file in the folder that stands for the program's.
    QString programPath(const QString& name) const;
    // Writes text as Windows-1256 with the line ends given in the text.
    void writeCp1256(const QString& name, const QString& text) const;
    void writeBytes(const QString& name, const QByteArray& bytes) const;
    void remove(const QString& name) const;
private:
    QTemporaryDir dir_;
    QTemporaryDir programDir_;
    QString previous_;
};

// A RIFF/WAVE file in memory.
struct WaveFormat {
    quint16 formatTag = 1;
    quint16 channels = 2;
    quint32 sampleRate = 44100;
    quint16 bitsPerSample = 16;
    double seconds = 1.0;
    bool extensible = false;     // wrap the format in WAVE_FORMAT_EXTENSIBLE
};
QByteArray makeWave(const WaveFormat& format);
// A chunk: four-character id, little-endian size, body and pad byte.
QByteArray riffChunk(const char* id, const QByteArray& body);

// What a modal window looked like when the watcher met it.
struct SeenModal {
    QPointer<QWidget> widget;
    QString objectName;
    QString title;
    QString text;          // a message box's text
    bool messageBox = false;
    int icon = 0;          // a message box's icon
};

// Acts on every modal window that is shown while it lives: the next queued
// action if there is one, otherwise it simply closes the window. It learns
// of a modal window from the window's Show event and acts from the window's
// own event loop, at the first event that loop handles, so no time has to
// pass. Actions may open further modal windows; those are handled in turn.
class ModalWatcher : public QObject {
public:
    using Action = std::function<void(QWidget*)>;
    ModalWatcher();
    ~ModalWatcher() override;
    void then(Action action) { actions_.append(std::move(action)); }
    const QList<SeenModal>& seen() const { return seen_; }
    QList<SeenModal> messageBoxes() const;
    // Closes a modal window: OK of a message box, done() of a dialog.
    static void closeModal(QWidget* widget);
protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
private:
    void handle(QWidget* widget);
    QList<Action> actions_;
    QList<SeenModal> seen_;
};

}  // namespace qismar::test

// A Qt Test main that sets the platform before the program's application
// object exists.
#define QISMAR_SHELL_TEST_MAIN(TestClass)                              \
    int main(int argc, char** argv)                                    \
    {                                                                  \
        qismar::test::useOffscreenPlatformByDefault();                 \
        qismar::QismarApplication app(argc, argv);                     \
        qismar::prepareApplication(app);                               \
        TestClass test;                                                \
        return QTest::qExec(&test, argc, argv);                        \
    }
