// The printing module: the print preview and the print dialog of Qt Print
// Support, for the report of a division.
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "results/report_printing.h"

namespace {

class PreviewPrinting : public qismar::results::ReportPrinting {
public:
    void preview(QWidget* parent, const QString& title,
                 const std::function<void(QPagedPaintDevice&)>& paint) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        printer.setDocName(title);
        QPrintPreviewDialog dialog(&printer, parent);
        dialog.setObjectName(QStringLiteral("reportPreview"));
        dialog.setWindowTitle(QStringLiteral("معاينة الطباعة: ") + title);
        dialog.setLayoutDirection(Qt::RightToLeft);
        dialog.setAccessibleName(QStringLiteral("معاينة طباعة تقرير القسمة"));
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&paint](QPrinter* target) { paint(*target); });
        dialog.exec();
    }
};

}  // namespace

extern "C" Q_DECL_EXPORT qismar::results::ReportPrinting* qismar_create_report_printing()
{
    return new PreviewPrinting;
}
