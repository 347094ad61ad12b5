#include "ui/program_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include "ui/ui_common.h"

namespace qismar::ui {

void* moduleFactory(const char* name, const char* symbol, const QString& failure)
{
    // A QLibrary that goes out of scope leaves its library loaded.
    QLibrary module(QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(name)));
    if (QFunctionPointer factory = module.resolve(symbol))
        return reinterpret_cast<void*>(factory);
    throw UiError(QStringLiteral("%1: %2").arg(failure, module.errorString()));
}

}  // namespace qismar::ui
