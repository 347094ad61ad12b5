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

// The summary of the text shown in the viewer.
class TAbout_book1 : public QDialog {
    Q_OBJECT
public:
    explicit TAbout_book1(QWidget* parent = nullptr);
    ~TAbout_book1() override;

    // The summary: several lines joined by a carriage return, shown one
    // under the other.
    void setSummary(const QString& summary);
    const QString& summary() const { return summary_; }

    ui::Picture* Image1;
    QLabel* StaticText1;
    QPushButton* Button1;

public slots:
    void Button1Click();

private:
    QString summary_;
};

// The program-wide reference to the one TAbout_book1.
extern TAbout_book1* About_book1;

}  // namespace qismar
