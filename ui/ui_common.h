// Qismar: small helpers shared by every window of the desktop program.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QIcon>
#include <QString>
#include <exception>

class QApplication;
class QWidget;

namespace qismar::ui {

// An error that abandons the rest of a command and is reported in the
// standard error box with its message.
class UiError : public std::exception {
public:
    explicit UiError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }
private:
    QString message_;
    QByteArray utf8_;
};

// The standard error box: error icon, one OK button, the error's message,
// and the application's title as its title.
void showErrorBox(const QString& message, QWidget* parent = nullptr);

// Decodes Windows-1256 bytes (through Qt's ICU converter). Every line end,
// CR LF, a lone CR or a lone LF, becomes "\n".
QString decodeCp1256(const QByteArray& bytes);
// Encodes text as Windows-1256 with CR LF line ends (characters outside the
// code page become '?'; used by tests and tools that write data files).
QByteArray encodeCp1256(const QString& text);

// The Arabic face that stands in for a font the layouts name ("MS Sans Serif",
// "Simplified Arabic", "Traditional Arabic", "Traditional Arabic
// Backslanted", "Mudir MT", "Tahoma"), at the given pixel size.
QFont layoutFont(const QString& layoutFamily, int pixelSize, bool bold = false);

// The program's icon, read once for every window that carries it (empty when
// the pictures are not linked in).
const QIcon& programIcon();

// Lays the application out right to left and installs Qt's own Arabic
// translations, so that standard buttons and dialogs speak Arabic.
void installArabic(QApplication& app);

}  // namespace qismar::ui
