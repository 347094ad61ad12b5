// Qismar: "وفاة وارث قبل القسمة": the heads of the case who died after the
// deceased and before the division, each with the heirs of his own problem.
#pragma once

#include <QDialog>
#include <map>
#include <string>
#include <vector>

#include "engine/estate_case.h"
#include "engine/later_deaths.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace qismar {

// The problems of the case ("المسألة الأولى" is the case of the entry
// window; each later death opens the next, up to kMaxProblems), and for the
// problem chosen: which head died (the problem and the class that held him,
// among the classes with heads left), his own heirs (a box or a count for
// every relative of the heir table) and "هم أنفسهم": for each class of his
// heirs, the class of the earlier problem whose persons they are, or none.
// A new death starts with the heirs and links that follow from his relation
// (later_death_relations.h); the user changes them where the family differs.
// "تم" keeps the deaths; "إلغاء", Escape and the close box leave them as
// they were.
class LaterDeathsDialog : public QDialog {
    Q_OBJECT
public:
    explicit LaterDeathsDialog(QWidget* parent = nullptr);

    QListWidget* problemsList = nullptr;   // "المسألة الأولى", "المسألة الثانية" ...
    QPushButton* addButton = nullptr;      // "إضافة وفاة وارث"
    QPushButton* removeButton = nullptr;   // "حذف هذه الوفاة"
    QLabel* firstProblemText = nullptr;    // what the first problem is, while it is chosen
    QGroupBox* deathFrame = nullptr;       // "من مات قبل القسمة"
    QComboBox* problemChoice = nullptr;    // the earlier problem that held him
    QComboBox* heirChoice = nullptr;       // the class that held him
    QGroupBox* heirsFrame = nullptr;       // "ورثته"
    QGroupBox* linksFrame = nullptr;       // "هم أنفسهم"
    QScrollArea* linksArea = nullptr;
    QPushButton* doneButton = nullptr;     // "تم"
    QPushButton* cancelButton = nullptr;   // "إلغاء"

    // Shows the deaths of a case and lets the user edit them; true, with
    // `later` changed, when "تم" took them. With no death yet, one is added
    // at once: the dialog opens on the question which head died.
    bool edit(const EstateCase& first, std::vector<LaterDeath>& later);
    // Fills the dialog with a case and its deaths, the last one chosen.
    void showDeaths(const EstateCase& first, const std::vector<LaterDeath>& later);
    // The deaths as the dialog holds them.
    const std::vector<LaterDeath>& deaths() const noexcept { return later_; }

    // "إضافة وفاة وارث": a death of the first class with heads left in the
    // problem chosen (the first problem when it is chosen), with the heirs
    // and links that follow; false, with a warning, when none is left or
    // the case has kMaxProblems problems.
    bool addDeath();
    // "حذف هذه الوفاة": the death of the problem chosen goes, with the
    // deaths of heads of his problem and of theirs.
    void removeDeath();
    // Chooses a problem (1 = the first case).
    void selectProblem(int problem);
    int selectedProblem() const;

    // The controls of the dead head's heirs and links, by field ("sons",
    // "mother", "wives" or "spouse" ...); null for a field not shown.
    QSpinBox* countEdit(const std::string& json) const;
    QCheckBox* boxOf(const std::string& json) const;
    QComboBox* linkChoice(const std::string& json) const;

private:
    void createHeirs();
    void showProblems();
    void showSelected();
    void showHeirChoices(const LaterDeath& d, int index);
    void showOwnHeirs(const LaterDeath& d);
    void showLinks(const LaterDeath& d);
    void problemChosen();
    void heirChosen();
    void ownHeirsEdited();
    void linkChosen();
    LaterDeath* selectedDeath();

    EstateCase first_;
    std::vector<LaterDeath> later_;
    bool showing_ = false;  // the controls are being filled: their signals change nothing
    // The controls of the heirs, by field; the spouse's count stands for
    // the wives of a man and the husband of a woman.
    std::map<std::string, QSpinBox*> counts_;
    std::map<std::string, QCheckBox*> boxes_;
    QLabel* spouseLabel_ = nullptr;
    QSpinBox* spouseCount_ = nullptr;
    std::map<std::string, QComboBox*> links_;
};

}  // namespace qismar
