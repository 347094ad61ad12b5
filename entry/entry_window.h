// Qismar: the heir-entry window.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "casefile/case_details.h"
#include "casefile/case_file.h"
#include "engine/estate_case.h"
#include "engine/uncertain_heir.h"
#include "entry/counting_groups.h"
#include "entry/preparation_dialog.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QEvent;

namespace qismar {

class CountingDialog;
class DivisionWindow;
class CaseDetailsDialog;
class GrandfatherDialog;
class GrandmothersDialog;
class HowInheritsMode;
class UncertainHeirDialog;
class LaterDeathsDialog;

// "القسمار": the heir-entry window. It owns one case (EstateCase): its
// controls show that case and write every change into it, its dialogs
// (made the first time they open) each edit their part of it, and
// dividing, saving and opening a case file go through it. "  قسم" divides
// the case and shows the results window, whose "تم" clears the heirs for
// the next case.
class EntryWindow : public QDialog {
    Q_OBJECT
public:
    EntryWindow();
    ~EntryWindow() override;

    // The controls; each one's object name is its member's name.
    QWidget* background = nullptr;
    QGroupBox* heirsFrame = nullptr;     // "الورثة"
    QGroupBox* deceasedFrame = nullptr;  // "المتوفى"
    QGroupBox* estateFrame = nullptr;    // "قيمة التركة"
    QLabel* guidance = nullptr;          // the guidance texts
    QRadioButton* manButton = nullptr;   // "رجل"
    QRadioButton* womanButton = nullptr; // "امرأة"
    QLineEdit* estateEdit = nullptr;
    QPushButton* divideButton = nullptr;       // "  قسم"
    QPushButton* howInheritsButton = nullptr;  // "كيف يرث؟"
    QPushButton* backButton = nullptr;         // "عودة"
    QPushButton* openButton = nullptr;         // "فتح مسألة" (Ctrl+O)
    QPushButton* saveButton = nullptr;         // "حفظ المسألة" (Ctrl+S)
    QPushButton* detailsButton = nullptr;      // "بيانات المسألة": the deceased and the heirs' names, for the report
    QPushButton* preparationButton = nullptr;  // "تجهيز التركة", in the estate's frame
    QLabel* netEstateLine = nullptr;           // under it: what remains after the preparation
    // "حمل/مفقود/خنثى": the heir not yet known, one at most; pressed while
    // the case has one.
    QPushButton* uncertainButton = nullptr;
    QPushButton* laterDeathsButton = nullptr;  // "وفاة وارث قبل القسمة": pressed while the case has any

    // The heir boxes, each with the count beside it.
    QCheckBox* fatherBox = nullptr;
    QCheckBox* motherBox = nullptr;
    QCheckBox* spouseBox = nullptr;        // "زوجات" or "زوج"
    QCheckBox* childrenBox = nullptr;
    QCheckBox* grandchildrenBox = nullptr;
    QCheckBox* siblingsBox = nullptr;
    QCheckBox* nephewsBox = nullptr;
    QCheckBox* unclesBox = nullptr;
    QCheckBox* grandfatherBox = nullptr;
    QCheckBox* grandmothersBox = nullptr;
    QCheckBox* cousinsBox = nullptr;
    QLineEdit* fatherCount = nullptr;
    QLineEdit* motherCount = nullptr;
    QLineEdit* wivesCount = nullptr;       // typed, 1 to 4, for a deceased man with wives
    QLineEdit* childrenCount = nullptr;
    QLineEdit* grandchildrenCount = nullptr;
    QLineEdit* siblingsCount = nullptr;
    QLineEdit* nephewsCount = nullptr;
    QLineEdit* unclesCount = nullptr;
    QLineEdit* grandfatherCount = nullptr;
    QLineEdit* grandmothersCount = nullptr;
    QLineEdit* cousinsCount = nullptr;

    // The eleven heir boxes, in the order of the layout's two columns.
    std::array<QCheckBox*, 11> heirBoxes() const;
    // The box of a class counted in a dialog.
    QCheckBox* box(HeirGroup group) const;
    QLineEdit* countEdit(HeirGroup group) const;

    // The case as the window holds it (with the preparation).
    const EstateCase& estateCase() const noexcept { return case_; }
    // The heir of the case not yet known (an unborn child, a missing heir,
    // an heir of undetermined sex), when there is one.
    const std::optional<UncertainHeir>& uncertainHeir() const noexcept { return uncertain_; }
    // Makes `heir` the case's uncertain heir (none clears it).
    void setUncertainHeir(const std::optional<UncertainHeir>& heir);
    // The case to divide: refuses (throws) an estate field that holds no
    // amount, and, unless the estate is zero, a preparation amount that its
    // dialog refuses.
    EstateCase caseToDivide() const;
    // The case to save: refuses what caseToDivide refuses, whatever the estate.
    EstateCase caseToSave() const;
    // The details of the case (case_details.h) as the report and a saved
    // file take them: the names of each relative only as far as the case
    // has heads for them. The names typed for heads that were taken away
    // stay in the window, and come back if the heads do.
    CaseDetails caseDetails() const;
    // Sets the details as typed (from a case file or the details dialog).
    void setCaseDetails(const CaseDetails& details);

    // Ticks or unticks a box from code. When the state actually changes the
    // box's behaviour runs, exactly as after a click; errors propagate to the
    // caller.
    void setTicked(QCheckBox* box, bool ticked);

    // The buttons.
    void divide();                // "  قسم"
    void toggleHowInherits();     // "كيف يرث؟"
    void goBack();                // "عودة"
    void askAndOpenCaseFile();    // "فتح مسألة": asks for a case file and opens it
    // "حفظ المسألة": asks for a file name and saves the case; true when it
    // was saved. An empty case (no relative chosen) is not saved: a
    // warning says there is nothing to save.
    bool askAndSaveCaseFile();
    void showPreparation();       // "تجهيز التركة": shows the preparation dialog
    void editCaseDetails();       // "بيانات المسألة": shows the details dialog
    void editUncertainHeir();     // "حمل/مفقود/خنثى": shows the dialog of the heir not yet known
    // "وفاة وارث قبل القسمة" (here and in the results window): the dialog of
    // the heads who died before the division; true when its "تم" changed
    // them. "  قسم" then divides the problems together (DivideSuccessive).
    bool editLaterDeaths();
    // The heads of the case who died before the division, as saved, opened,
    // cleared and restored with the case.
    const std::vector<LaterDeath>& laterDeaths() const noexcept { return laterDeaths_; }

    // Clears the heirs after the results window's "تم": every relative and
    // count goes, and the grandfather's choice, the heir not yet known and
    // the case's details with them. The sex of the deceased, the estate and its preparation stay.
    void clearCase();

    // Opens a case file: the window and its dialogs then show that case. A
    // file that is refused is reported in one error box that names the file
    // and the problem, and nothing changes. Returns whether it was opened.
    bool openCaseFile(const QString& path);
    // Saves the case; a failure is reported in one error box and the file
    // that was there stays as it was. Returns whether it was saved.
    bool saveCaseFile(const QString& path);
    // The name the save dialog suggests: the deceased's name when given and
    // today's date, in the folder of the last case file opened or saved
    // (kept between runs), else in the user's documents.
    QString suggestedCaseFileName() const;

    // "استعادة المسألة السابقة" (Ctrl+Z): brings back the case that the
    // results' "تم" cleared, once, as long as nothing was typed since.
    // Returns whether there was one.
    bool restorePreviousCase();
    // No relative is chosen, and no heir not yet known.
    bool isEmptyCase() const;
    // The case differs from the one last opened or saved, and is not empty.
    bool hasUnsavedCase() const;
    // Before the program quits: with an unsaved case, asks whether to save
    // it, discard it or stay. True when the program may go on quitting.
    bool confirmLeavingCase();
    // Makes `c` the case of the window, ending the "كيف يرث؟" mode. Refuses
    // (UiError, before any change) a case that the dialogs cannot show.
    // The heir not yet known stays as it is (setUncertainHeir).
    void showCase(const EstateCase& c);
    // Why the dialogs cannot show a case (empty when they can).
    static QString whyNotShown(const EstateCase& c);

    // The dialogs and windows this window owns, each made the first time it
    // is asked for.
    CountingDialog& countingDialog(HeirGroup group);
    GrandfatherDialog& grandfatherDialog();
    GrandmothersDialog& grandmothersDialog();
    PreparationDialog& preparationDialog() noexcept { return *preparation_; }
    CaseDetailsDialog& caseDetailsDialog();
    UncertainHeirDialog& uncertainHeirDialog();
    DivisionWindow& divisionWindow();
    LaterDeathsDialog& laterDeathsDialog();
    HowInheritsMode& howInherits() noexcept { return *howInherits_; }

    // Writes a guidance text (its colour unchanged).
    void setGuidance(const QString& text);
    // Father, mother and spouse, and neither children nor grandchildren.
    bool isUmariyya() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape and close requests of the window system do what "عودة" does.
    void reject() override;

private:
    void createFrames();
    void createGuidance();
    void createDeceasedChoice();
    void createEstateFrame();
    void createButtons();
    void createHeirBoxes();
    void orderTabs();
    void markForTheHowInheritsMode();
    void connectBehaviours();
    void watchForGuidance();

    // What a change of each control does to the case.
    void boxChanged(QCheckBox* box);
    void parentBoxChanged(QCheckBox* box);
    void spouseBoxChanged();
    void countingBoxChanged(HeirGroup group);
    void grandfatherBoxChanged();
    void grandmothersBoxChanged();
    void deceasedChosen(Deceased deceased);
    void showSpouseCaption();
    void wivesTyped();
    void estateTyped();
    void preparationEdited();
    // After any change of the case: the messages that spoke of it as it
    // was go, and a cleared case can no longer be brought back.
    void caseChanged();
    CaseRecord record() const;
    void showLaterDeaths();
    // Why a case cannot have an heir not yet known and later deaths together.
    static QString laterDeathsBesideUncertain();
    static QString restoreHint();
    void rememberCaseFolder(const QString& folder);

    // After a change of the heirs: the derived counts follow, the controls
    // show the case, and the guidance names it.
    void heirsChanged();
    // The controls show the case.
    void showCaseInControls();
    // The button of the heir not yet known shows him.
    void showUncertainHeir();
    // Divides a case with an heir not yet known.
    void divideUncertain(const EstateCase& estateCase);
    // The guidance that names the case follows it.
    void nameTheCase();
    void howInheritsModeChanged(bool on);
    void guidanceOnMouseMove(QObject* watched);
    // Shows the name of a case file in the guidance after it was opened or saved.
    void fileGuidance(const QString& text);
    // Asks for a case file in the program's own (Arabic) file dialog; an
    // empty text when the user cancels.
    QString askForCaseFile(bool saving);
    // Refuses (throws) an estate field that holds no amount.
    void checkEstate() const;

    EstateCase case_;
    CaseDetails details_;            // as typed: see caseDetails()
    std::optional<UncertainHeir> uncertain_;  // the heir not yet known
    EstateField estate_;             // the estate field as typed
    QString preparationProblem_;     // why the preparation dialog refuses an amount it holds
    std::unique_ptr<HowInheritsMode> howInherits_;
    std::unique_ptr<PreparationDialog> preparation_;
    std::unique_ptr<CaseDetailsDialog> detailsDialog_;
    std::unique_ptr<UncertainHeirDialog> uncertainDialog_;
    std::array<std::unique_ptr<CountingDialog>, kHeirGroupCount> counting_;
    std::unique_ptr<GrandfatherDialog> grandfather_;
    std::unique_ptr<GrandmothersDialog> grandmothers_;
    std::unique_ptr<DivisionWindow> results_;
    std::vector<LaterDeath> laterDeaths_;
    std::unique_ptr<LaterDeathsDialog> laterDeathsDialog_;
    bool laterDeathAsked_ = false;  // the results window asked for a later death
    QString caseFolder_;  // where the file dialogs start
    QString caseFile_;    // the file last opened or saved
    CaseRecord lastSaved_;          // the case as last opened or saved
    QString fileMessage_;           // the guidance's message about a file, while it holds
    CaseRecord fileMessageCase_;    // the case it speaks of
    // The case that "تم" cleared, while it can be brought back: the case
    // before and right after the clearing, and the estate field then.
    struct ClearedCase {
        CaseRecord before;
        CaseRecord after;
        QString estateText;
    };
    std::optional<ClearedCase> cleared_;
};

}  // namespace qismar
