#include "ui_common.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTranslator>

namespace qismar::ui {

void showErrorBox(const QString& message, QWidget* parent)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), message,
                    QMessageBox::Ok, parent);
    box.setAccessibleName(message);
    box.exec();
}

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

}  // namespace qismar::ui
