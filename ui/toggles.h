// Qismar: a check box and a radio button that a click anywhere on them
// toggles, blank space beside a short caption included.
#pragma once

#include <QCheckBox>
#include <QRadioButton>

namespace qismar::ui {

class CheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;
protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

class RadioButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;
protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

}  // namespace qismar::ui
