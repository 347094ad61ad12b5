// Qismar: the notice on the legal basis of the program.
#pragma once

#include <QDialog>
#include <array>

class QLabel;
class QPushButton;

namespace qismar {

namespace ui {
class Picture;
}  // namespace ui

// The notice on the legal basis of the program ("تنبيه").
class NoticeWindow : public QDialog {
    Q_OBJECT
public:
    explicit NoticeWindow(QWidget* parent = nullptr);
    ~NoticeWindow() override;

    // The three lines of the notice, from the top.
    const std::array<QLabel*, 3>& lines() const { return lines_; }
    QPushButton* doneButton() const { return doneButton_; }
    ui::Picture* picture() const { return picture_; }

    void setVisible(bool visible) override;

private:
    void fitLines();

    ui::Picture* picture_;
    std::array<QLabel*, 3> lines_{};
    QPushButton* doneButton_;
    bool fitted_ = false;
};

}  // namespace qismar
