#include "results/report_printing.h"

#include "ui/program_module.h"

namespace qismar::results {

std::unique_ptr<ReportPrinting> loadReportPrinting()
{
    static ReportPrintingFactory factory = nullptr;
    if (!factory)
        factory = reinterpret_cast<ReportPrintingFactory>(
            ui::moduleFactory(kPrintingModule, kPrintingFactory, QStringLiteral("تعذر تحميل وحدة الطباعة")));
    return std::unique_ptr<ReportPrinting>(factory());
}

}  // namespace qismar::results
