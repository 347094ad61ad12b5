// The printing module: the print preview of a report and the print dialog
// of Qt Print Support.
//
// The preview shows the report's own pages, drawn by the renderer that
// draws the PDF (Qt's own preview records the drawing and plays it back,
// which lays Arabic text out again and reverses its brackets); "طباعة"
// opens the print dialog and prints the same pages.
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

#include "results/report_printing.h"

namespace {

// The dots an inch the pages are drawn at on screen: a sheet about as wide
// as it is on paper at a common screen's resolution.
constexpr qreal kPreviewDpi = 90;

class ReportPreview : public QDialog {
public:
    ReportPreview(QWidget* parent, const QString& title, int pages,
                  const std::function<QImage(int, qreal)>& pageImage,
                  const std::function<void(QPagedPaintDevice&)>& print)
        : QDialog(parent), title_(title), print_(print)
    {
        setObjectName(QStringLiteral("reportPreview"));
        setWindowTitle(QStringLiteral("معاينة الطباعة: ") + title);
        setLayoutDirection(Qt::RightToLeft);
        setAccessibleName(QStringLiteral("معاينة طباعة تقرير القسمة"));

        auto* layout = new QVBoxLayout(this);
        // The buttons above the pages, so that they stay in sight on any screen.
        auto* buttons = new QHBoxLayout;
        printButton = new QPushButton(QStringLiteral("طباعة"), this);
        printButton->setObjectName(QStringLiteral("previewPrint"));
        printButton->setAccessibleName(QStringLiteral("طباعة التقرير"));
        printButton->setDefault(true);
        closeButton = new QPushButton(QStringLiteral("إغلاق"), this);
        closeButton->setObjectName(QStringLiteral("previewClose"));
        closeButton->setAccessibleName(QStringLiteral("إغلاق المعاينة"));
        auto* count = new QLabel(QStringLiteral("عدد الصفحات: %1").arg(pages), this);
        count->setObjectName(QStringLiteral("previewPages"));
        buttons->addWidget(printButton);
        buttons->addWidget(closeButton);
        buttons->addSpacing(16);
        buttons->addWidget(count);
        buttons->addStretch();
        layout->addLayout(buttons);
        connect(printButton, &QPushButton::clicked, this, &ReportPreview::printPages);
        connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);

        auto* area = new QScrollArea(this);
        area->setObjectName(QStringLiteral("previewPagesArea"));
        area->setAccessibleName(QStringLiteral("صفحات التقرير"));
        area->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        area->setBackgroundRole(QPalette::Dark);
        auto* sheets = new QWidget;
        auto* column = new QVBoxLayout(sheets);
        column->setSpacing(12);
        int widest = 0;
        for (int p = 0; p < pages; ++p) {
            const QImage image = pageImage(p, kPreviewDpi * devicePixelRatioF());
            QPixmap sheet = QPixmap::fromImage(image);
            sheet.setDevicePixelRatio(devicePixelRatioF());
            auto* label = new QLabel(sheets);
            label->setObjectName(QStringLiteral("previewPage%1").arg(p + 1));
            label->setAccessibleName(QStringLiteral("صفحة %1 من %2").arg(p + 1).arg(pages));
            label->setPixmap(sheet);
            column->addWidget(label, 0, Qt::AlignHCenter);
            widest = std::max(widest, int(image.width() / devicePixelRatioF()));
        }
        // The pages as wide as the view: no bar to scroll sideways.
        area->setWidgetResizable(true);
        area->setWidget(sheets);
        layout->addWidget(area, 1);

        // As tall as the screen allows, as wide as a page.
        const QScreen* screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
        const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 600);
        // The page, the scroll bar and the margins across.
        const int width = widest + 90;
        if (width <= room.width() - 16)
            area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        resize(std::min(room.width() - 16, width), room.height() - 40);
    }

    QPushButton* printButton = nullptr;
    QPushButton* closeButton = nullptr;

private:
    void printPages()
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        printer.setDocName(title_);
        QPrintDialog dialog(&printer, this);
        dialog.setObjectName(QStringLiteral("reportPrintDialog"));
        dialog.setWindowTitle(QStringLiteral("طباعة تقرير القسمة"));
        if (dialog.exec() == QDialog::Accepted)
            print_(printer);
    }

    QString title_;
    std::function<void(QPagedPaintDevice&)> print_;
};

class PreviewPrinting : public qismar::results::ReportPrinting {
public:
    void preview(QWidget* parent, const QString& title, int pages,
                 const std::function<QImage(int, qreal)>& pageImage,
                 const std::function<void(QPagedPaintDevice&)>& print) override
    {
        ReportPreview dialog(parent, title, pages, pageImage, print);
        dialog.exec();
    }
};

}  // namespace

extern "C" Q_DECL_EXPORT qismar::results::ReportPrinting* qismar_create_report_printing()
{
    return new PreviewPrinting;
}
