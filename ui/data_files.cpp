#include "ui/data_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace qismar::ui {

namespace {

QString& programFolderOverride()
{
    static QString folder;
    return folder;
}

}  // namespace

QString programFolder()
{
    if (!programFolderOverride().isEmpty())
        return programFolderOverride();
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString& folder)
{
    programFolderOverride() = folder;
}

QString dataFilePath(const QString& name)
{
    // Any entry of that name in the current folder wins, even one that is
    // not a regular file: the reader then refuses it with a clear message
    // rather than quietly reading another file.
    const QFileInfo here(name);
    if (here.exists() || here.isSymLink())
        return name;
    const QString folder = programFolder();
    if (!folder.isEmpty()) {
        const QFileInfo beside(QDir(folder).filePath(name));
        if (beside.exists() || beside.isSymLink())
            return beside.filePath();
    }
    return name;
}

}  // namespace qismar::ui
