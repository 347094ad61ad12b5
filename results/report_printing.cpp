#include "report_printing.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include "ui_common.h"

namespace qismar::results {

std::unique_ptr<ReportPrinting> loadReportPrinting()
{
    static ReportPrintingFactory factory = nullptr;
    if (!factory) {
        // The module stays loaded until the program ends.
        QLibrary module(QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(kPrintingModule)));
        factory = reinterpret_cast<ReportPrintingFactory>(module.resolve(kPrintingFactory));
        if (!factory)
            throw ui::UiError(QStringLiteral("تعذر تحميل وحدة الطباعة: %1").arg(module.errorString()));
    }
    return std::unique_ptr<ReportPrinting>(factory());
}

}  // namespace qismar::results
