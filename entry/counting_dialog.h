// Qismar: the dialog that counts the members of a class of heirs.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "engine/estate_case.h"
#include "entry/counting_groups.h"
#include "entry/heir_dialog.h"

class QEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qismar {

class HowInheritsMode;

// The dialog of one class of heirs (the children, the grandchildren, the
// brothers and sisters, ...), built from the class's entry in the table of
// counting groups: a count field for each kind of relative in the class.
class CountingDialog : public HeirDialog {
    Q_OBJECT
public:
    CountingDialog(const CountingGroup& group, HowInheritsMode& mode);

    const CountingGroup& group() const noexcept { return group_; }
    QPushButton* doneButton = nullptr;  // "تم"
    // The count fields, in the order of the group's fields.
    const std::vector<QLineEdit*>& countEdits() const noexcept { return counts_; }
    // The count field that edits a field of the case.
    QLineEdit* countEdit(HeadCount EstateCase::*field) const;
    // The dialog's captions, in the order of the group's labels.
    const std::vector<QLabel*>& labels() const noexcept { return labels_; }

    // The fields show the counts of `c`.
    void showCounts(const EstateCase& c);
    // Shows the counts of `c` and lets the user change them. Once "تم" has
    // taken them, writes them into `c` and returns true; a count that "تم"
    // refuses (reported in an error box) leaves `c` as it was.
    bool edit(EstateCase& c);

    // "تم": closes the dialog and takes the counts; a field that is not a
    // count throws ui::UiError naming it, after the dialog closed.
    void finish() override;

signals:
    // A notice for the entry window's guidance, as the mouse moves over the picture.
    void notice(const QString& text);

protected:
    QWidget* firstField() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createFrames();
    void createFields(HowInheritsMode& mode);
    void createLabels(HowInheritsMode& mode);
    void orderTabs();

    const CountingGroup& group_;
    std::vector<QLineEdit*> counts_;
    std::vector<QLabel*> labels_;
    // The counts "تم" took, while the dialog is being edited.
    std::optional<std::vector<HeadCount>> taken_;
};

}  // namespace qismar
