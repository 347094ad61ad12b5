// Qismar: the text viewer of the laws and works.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "shell/book.h"

class QPushButton;

namespace qismar {

namespace ui {
class Picture;
class TextArea;
}  // namespace ui

class BookSummary;

// The text viewer of the laws and works, with "نبذة", which opens the
// summary of the work shown. The summary's window is the viewer's own,
// made the first time "نبذة" is pressed.
class BookViewer : public QDialog {
    Q_OBJECT
public:
    explicit BookViewer(QWidget* parent = nullptr);
    ~BookViewer() override;

    // Shows `text` as the work `book`: its caption, its summary.
    void setBook(const Book& book, const QString& text);
    // The summary of the work shown, as "نبذة" will show it.
    const QString& summary() const { return summary_; }

    // Opens the summary's window modally (what "نبذة" does).
    void showSummary();
    // The summary's window, made by the first call.
    BookSummary& summaryWindow();

    ui::TextArea* textArea() const { return textArea_; }
    QPushButton* summaryButton() const { return summaryButton_; }
    QPushButton* doneButton() const { return doneButton_; }
    ui::Picture* picture() const { return picture_; }

private:
    void createControls();

    QString summary_;
    std::unique_ptr<BookSummary> summaryWindow_;
    QPushButton* summaryButton_ = nullptr;
    ui::Picture* picture_ = nullptr;
    ui::TextArea* textArea_ = nullptr;
    QPushButton* doneButton_ = nullptr;
};

}  // namespace qismar
