// Qismar: printing the report of a division.
//
// Printing needs Qt Print Support, which brings the print system's libraries
// with it; it lives in a module beside the program that is loaded the first
// time a report is printed, so that starting the program does not load it.
#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <memory>

class QPagedPaintDevice;
class QWidget;

namespace qismar::results {

class ReportPrinting {
public:
    virtual ~ReportPrinting() = default;
    // Shows the print preview of a report over `parent`: the `pages` sheets
    // as `pageImage(page, dotsPerInch)` draws them (the pages of the PDF),
    // and "طباعة", which opens the print dialog and has `print` draw the same
    // pages on the printer. Returns when the preview is closed.
    virtual void preview(QWidget* parent, const QString& title, int pages,
                         const std::function<QImage(int page, qreal dotsPerInch)>& pageImage,
                         const std::function<void(QPagedPaintDevice&)>& print) = 0;
};

// The name of the module beside the program, and the function it exports,
// which returns a new ReportPrinting.
inline constexpr const char* kPrintingModule = "qismar_printing";
inline constexpr const char* kPrintingFactory = "qismar_create_report_printing";
using ReportPrintingFactory = ReportPrinting* (*)();

// Loads the module (once) and makes its printing. Throws ui::UiError when the
// module cannot be loaded.
std::unique_ptr<ReportPrinting> loadReportPrinting();

}  // namespace qismar::results
