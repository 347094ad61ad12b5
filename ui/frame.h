// Qismar: a group frame drawn as the layouts draw theirs.
#pragma once

#include <QGroupBox>

namespace qismar::ui {

// A frame with its caption at the top right, the frame line passing through
// the middle of the caption. It draws no background, so the window's
// picture shows through.
class Frame : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;
protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qismar::ui
