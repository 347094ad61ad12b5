// Qismar: the summary of the text in the viewer.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace qismar {

namespace ui {
class Picture;
}  // namespace ui

// The summary of the work shown in the viewer ("نبذة").
class BookSummary : public QDialog {
    Q_OBJECT
public:
    explicit BookSummary(QWidget* parent = nullptr);
    ~BookSummary() override;

    // The summary: several lines joined by a carriage return, shown one
    // under the other.
    void setSummary(const QString& summary);
    const QString& summary() const { return summary_; }

    QLabel* summaryLabel() const { return summaryLabel_; }
    QPushButton* doneButton() const { return doneButton_; }

private:
    QString summary_;
    ui::Picture* picture_;
    QLabel* summaryLabel_;
    QPushButton* doneButton_;
};

}  // namespace qismar
