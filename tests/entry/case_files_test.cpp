// Case files in the entry window: a case saved and opened again holds every
// control exactly as typing it did and divides the same; the file dialogs,
// the buttons and their shortcuts; every kind of file that is refused gives
// one error box and changes nothing.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

#include <sys/stat.h>

#include "results/amount_cell.h"
#include "results/amount_text.h"
#include "casefile/case_file.h"
#include "entry/case_details_dialog.h"
#include "results/division_report.h"
#include "results/division_window.h"
#include "tests/entry/gui_test_support.h"
#include "engine/preparation.h"
#include "ui/ui_common.h"

namespace qismar::testing {
namespace {

QString amount(Currency v) { return results::amountText(v); }

EstateCase caseOf(const char* text)
{
    EstateCase c;
    std::string error;
    EXPECT_TRUE(readCaseObject(text, c, error)) << text << ": " << error;
    return c;
}

class CaseFilesInTheEntryWindow : public EntryWindows {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Everything a user sees of a case: every edit, box and radio button of
    // the entry window and of its dialogs (text, ticked, enabled), the
    // caption of the spouse box and the preparation's line.
    QStringList controlsState()
    {
        QStringList state;
        std::vector<QWidget*> windows{&entry()};
        for (int i = 0; i < kHeirGroupCount; ++i)
            windows.push_back(&dialog(static_cast<HeirGroup>(i)));
        for (QWidget* w : std::initializer_list<QWidget*>{&grandmothersDialog(), &grandfatherDialog(), &preparation()})
            windows.push_back(w);
        for (QWidget* window : windows) {
            for (QWidget* w : window->findChildren<QWidget*>()) {
                const QString name = window->objectName() + QLatin1Char('.') + w->objectName();
                const QString enabled = w->isEnabled() ? QStringLiteral("") : QStringLiteral(" (greyed)");
                if (auto* edit = qobject_cast<QLineEdit*>(w))
                    state << name + QStringLiteral(" = ") + edit->text() + enabled;
                else if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isCheckable())
                    state << name + QStringLiteral(" [") + button->text() + QStringLiteral("] ") +
                                 (button->isChecked() ? QStringLiteral("on") : QStringLiteral("off")) + enabled;
            }
        }
        state << QStringLiteral("netEstateLine = ") + entry().netEstateLine->text();
        return state;
    }

    // Types a case into the windows as a user does, from a cleared case:
    // the deceased, the estate, a click on each relative with its dialog
    // filled, and the preparation dialog when anything is to be entered in it.
    void typeCase(const EstateCase& c)
    {
        click(c.isWoman() ? entry().womanButton : entry().manButton);
        typeOver(entry().estateEdit, amount(c.estate));
        if (c.father)
            click(entry().fatherBox);
        if (c.mother)
            click(entry().motherBox);
        if (c.spouse) {
            click(entry().spouseBox);
            if (c.isMan())
                typeOver(entry().wivesCount, QString::number(c.wives.persons()));
        }
        for (int i = 0; i < kHeirGroupCount; ++i) {
            const HeirGroup group = static_cast<HeirGroup>(i);
            std::vector<TypedCount> counts;
            for (const CountField& f : countingGroup(group).fields)
                if (!(c.*(f.count())).isZero())
                    counts.push_back({f.count(), QString::number((c.*(f.count())).persons())});
            if (counts.empty())
                continue;
            ModalScript script;
            CountingDialog* expected = &dialog(group);
            script.on<CountingDialog>([expected, fill = fillCounts(counts)](CountingDialog* shown) {
                EXPECT_EQ(shown, expected);
                fill(shown);
            });
            click(entry().box(group));
            EXPECT_SCRIPT_DONE(script);
        }
        if (c.grandfather) {
            ModalScript script;
            script.on<GrandfatherDialog>([](GrandfatherDialog* dialog) {
                click(dialog->fathersFather);
                click(dialog->doneButton);
            });
            click(entry().grandfatherBox);
            EXPECT_SCRIPT_DONE(script);
        }
        const bool ticked[] = {c.mothersMother, c.fathersMother, c.mothersMothersMother, c.fathersMothersMother,
                               c.fathersFathersMother};
        if (std::any_of(std::begin(ticked), std::end(ticked), [](bool t) { return t; })) {
            ModalScript script;
            script.on<GrandmothersDialog>([&ticked](GrandmothersDialog* dialog) {
                click(ticked[0] || ticked[1] ? dialog->nearChoice : dialog->farChoice);
                for (std::size_t i = 0; i < 5; ++i)
                    if (ticked[i])
                        click(dialog->boxes()[i]);
                click(dialog->doneButton);
            });
            click(entry().grandmothersBox);
            EXPECT_SCRIPT_DONE(script);
        }
        if (HasPreparation(c) || !preparation().isEmpty()) {
            ModalScript script;
            script.on<PreparationDialog>([&c](PreparationDialog* dialog) {
                typeOver(dialog->funeralEdit, amount(c.funeral));
                typeOver(dialog->debtsEdit, amount(c.debts));
                typeOver(dialog->bequestsEdit, amount(c.bequests));
                if (dialog->consentBox->isChecked() != c.heirsConsent)
                    click(dialog->consentBox);
                click(dialog->doneButton);
            });
            click(entry().preparationButton);
            EXPECT_SCRIPT_DONE(script);
        }
    }

    // The heirs cleared as the results window's "تم" clears them.
    void clearCase() { entry().clearCase(); }
};

// Varied cases: each sex, every dialog, both kinds of grandmother, the
// preparation with and without consent, an estate consumed by debts, and a
// case without an estate.
const char* const kCases[] = {
    R"({"deceased": "woman", "estate": "28000", "spouse": true, "fullSisters": 2})",
    R"({"estate": "90000", "spouse": true, "wives": 3, "father": true, "mother": true, "sons": 2, "daughters": 1})",
    R"({"estate": "120000", "grandfather": true, "fullBrothers": 1, "paternalSisters": 2, "uterineBrothers": 1,)"
    R"( "mothersMother": true, "fathersMother": true})",
    R"({"deceased": "woman", "estate": "5000", "mothersMothersMother": true, "fathersFathersMother": true,)"
    R"( "sonsSons": 1, "sonsDaughters": 2, "sonsSonsSons": 1, "sonsSonsDaughters": 3})",
    R"({"estate": "90000", "sons": 1, "funeral": "3000", "debts": "27000", "bequests": "30000"})",
    R"({"estate": "60000", "daughters": 2, "fullUncles": 1, "paternalUncles": 2, "fullUnclesSons": 1,)"
    R"( "paternalUnclesSons": 4, "fullBrothersSons": 2, "paternalBrothersSons": 1, "bequests": "50000",)"
    R"( "heirsConsent": true})",
    R"({"estate": "1000", "mother": true, "debts": "1500"})",
    R"({"estate": "0", "father": true, "daughters": 1})",
    R"({"deceased": "woman", "estate": "24000", "spouse": true, "mother": true, "fullSisters": 2})",
};

// Typed over each case before a file is opened: something in every window.
const char* const kOtherCase =
    R"({"estate": "777", "father": true, "spouse": true, "wives": 2, "sons": 4, "uterineSisters": 1,)"
    R"( "fullUncles": 3, "grandfather": true, "funeral": "7"})";

TEST_F(CaseFilesInTheEntryWindow, OpeningASavedCaseRestoresEveryControlAsTypedAndDividesTheSame)
{
    for (const char* text : kCases) {
        const EstateCase wanted = caseOf(text);
        clearCase();
        typeCase(wanted);
        const QStringList typed = controlsState();
        const EstateCase typedCase = entry().caseToSave();
        // The windows hold the case that was typed.
        EXPECT_EQ(typedCase, wanted) << text;
        const DivisionResult typedResult = DivideEstate(entry().caseToDivide());

        ASSERT_TRUE(entry().saveCaseFile(path(QStringLiteral("case.qismar")))) << text;
        EXPECT_EQ(readFile(path(QStringLiteral("case.qismar"))), QByteArray::fromStdString(writeCaseObject(wanted) + "\n"))
            << text;

        clearCase();
        typeCase(caseOf(kOtherCase));
        ASSERT_NE(controlsState(), typed) << text;
        ASSERT_TRUE(entry().openCaseFile(path(QStringLiteral("case.qismar")))) << text;

        const QStringList opened = controlsState();
        EXPECT_EQ(opened.size(), typed.size()) << text;
        for (qsizetype i = 0; i < std::min(opened.size(), typed.size()); ++i)
            EXPECT_EQ(opened[i], typed[i]) << text;
        EXPECT_EQ(entry().caseToSave(), typedCase) << text;
        const DivisionResult openedResult = DivideEstate(entry().caseToDivide());
        EXPECT_EQ(openedResult.outcome, typedResult.outcome) << text;
        EXPECT_TRUE(openedResult.rows == typedResult.rows) << text;
        EXPECT_EQ(openedResult.percentages, typedResult.percentages) << text;
        EXPECT_EQ(openedResult.preparation.has_value(), typedResult.preparation.has_value()) << text;
        EXPECT_EQ(entry().guidance->text(), QStringLiteral("فُتحت المسألة من الملف «\u2068case.qismar\u2069»")) << text;
    }
}

TEST_F(CaseFilesInTheEntryWindow, DividingAnOpenedCaseShowsTheResultsOfTheTypedOne)
{
    // Husband, mother and two full sisters: the 'awl case, through "  قسم".
    const auto resultsOf = [this](QStringList& shown) {
        ModalScript script;
        script.on<DivisionWindow>([&shown](DivisionWindow* window) {
            for (int i = 0; i < kHeirCount; ++i)
                if (window->amounts[std::size_t(i)]->isVisible())
                    shown << window->captions[std::size_t(i)]->text() + QLatin1Char('=') +
                                 window->amounts[std::size_t(i)]->text() + QLatin1Char(' ') +
                                 window->percentages[std::size_t(i)]->text();
            click(window->doneButton);
        });
        click(entry().divideButton);
        EXPECT_SCRIPT_DONE(script);
    };
    const EstateCase c = caseOf(kCases[8]);
    typeCase(c);
    ASSERT_TRUE(entry().saveCaseFile(path(QStringLiteral("awl.qismar"))));
    QStringList typed, opened;
    resultsOf(typed);
    // The results' "تم" cleared the heirs; the file brings them back.
    EXPECT_FALSE(entry().spouseBox->isChecked());
    ASSERT_TRUE(entry().openCaseFile(path(QStringLiteral("awl.qismar"))));
    resultsOf(opened);
    EXPECT_EQ(typed.size(), 3);
    EXPECT_EQ(opened, typed);
}

TEST_F(CaseFilesInTheEntryWindow, TheButtonsAndTheirShortcutsAskForTheFileInArabic)
{
    const EstateCase c = caseOf(kCases[1]);
    typeCase(c);
    const QStringList typed = controlsState();
    const QString target = path(QStringLiteral("family"));  // the ending is added
    const QString saved = target + QStringLiteral(".qismar");
    // A shortcut of the window works while it is the active window.
    const auto press = [this](Qt::Key key) {
        entry().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&entry()));
        QTest::keyClick(&entry(), key, Qt::ControlModifier);
    };
    // Each script lives in a block of its own: a strict script still alive
    // would close the windows that the next one waits for.
    {
        // "حفظ المسألة": the program's own file dialog, right to left, in Arabic.
        ModalScript save;
        save.on<QFileDialog>([&](QFileDialog* dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("حفظ المسألة"));
            EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
            EXPECT_EQ(dialog->layoutDirection(), Qt::RightToLeft);
            EXPECT_EQ(QDir(dialog->directory()), QDir(dir_.path()));
            EXPECT_TRUE(dialog->nameFilters().value(0).contains(QStringLiteral("*.qismar")));
            // It fits the smaller screen the windows are made for.
            EXPECT_LE(dialog->width() + ui::kFrameWidth, 1024);
            EXPECT_LE(dialog->height() + ui::kFrameHeight, 600);
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            for (QAbstractButton* b : buttons->buttons()) {
                EXPECT_TRUE(b->text().contains(QRegularExpression(QStringLiteral("[\u0600-\u06FF]")))) << b->text();
                // A keyboard mark would cut the joins of the letters.
                EXPECT_FALSE(b->text().contains(QLatin1Char('&'))) << b->text();
            }
            EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("إلغاء"));
            // By name only: the columns of size, kind and date are not Arabic.
            EXPECT_EQ(dialog->viewMode(), QFileDialog::List);
            dialog->selectFile(target);
            pressAccept(dialog);
        });
        click(entry().saveButton);
        EXPECT_SCRIPT_DONE(save);
        EXPECT_EQ(readFile(saved), QByteArray::fromStdString(writeCaseObject(c) + "\n"));
        EXPECT_EQ(entry().guidance->text(), QStringLiteral("حُفظت المسألة في الملف «\u2068family.qismar\u2069»"));
    }
    {
        // Ctrl+S again: the dialog proposes the same file, and replacing it is asked first.
        ModalScript again;
        again.on<QFileDialog>([&](QFileDialog* dialog) {
            EXPECT_EQ(dialog->selectedFiles().value(0), saved);
            pressAccept(dialog);
        });
        QString question;
        again.on<QMessageBox>([&question](QMessageBox* box) {
            question = box->text();
            click(box->button(QMessageBox::Yes));
        });
        press(Qt::Key_S);
        EXPECT_SCRIPT_DONE(again);
        EXPECT_TRUE(question.contains(QStringLiteral("family.qismar"))) << question;
    }
    {
        // The name typed without its ending: the dialog adds ".qismar" before
        // it asks, so replacing the file is asked first, and "لا" keeps it.
        ModalScript typed;
        typed.on<QFileDialog>([&](QFileDialog* dialog) {
            typeFileName(dialog, QStringLiteral("family"));
            pressAccept(dialog);
            // Still open after "لا", for another name.
            EXPECT_TRUE(dialog->isVisible());
            static_cast<QDialog*>(dialog)->reject();
        });
        QString question;
        typed.on<QMessageBox>([&question](QMessageBox* box) {
            question = box->text();
            click(box->button(QMessageBox::No));
        });
        // Other bytes in the file, to see that it is left alone.
        const QByteArray before = readFile(saved);
        writeFile(saved, "kept");
        press(Qt::Key_S);
        EXPECT_SCRIPT_DONE(typed);
        EXPECT_TRUE(question.contains(QStringLiteral("family.qismar"))) << question;
        EXPECT_EQ(readFile(saved), QByteArray("kept"));
        EXPECT_FALSE(QFileInfo::exists(target));
        writeFile(saved, before);
    }
    clearCase();
    typeCase(caseOf(kOtherCase));
    const QStringList other = controlsState();
    {
        // "فتح مسألة" cancelled changes nothing.
        ModalScript cancel;
        cancel.on<QFileDialog>([](QFileDialog* dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("فتح مسألة"));
            EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
            static_cast<QDialog*>(dialog)->reject();
        });
        click(entry().openButton);
        EXPECT_SCRIPT_DONE(cancel);
        EXPECT_EQ(controlsState(), other);
    }
    {
        // Ctrl+O with the file opens it.
        ModalScript open;
        open.on<QFileDialog>([&](QFileDialog* dialog) {
            dialog->selectFile(saved);
            pressAccept(dialog);
        });
        press(Qt::Key_O);
        EXPECT_SCRIPT_DONE(open);
        EXPECT_EQ(controlsState(), typed);
        EXPECT_EQ(entry().guidance->text(), QStringLiteral("فُتحت المسألة من الملف «\u2068family.qismar\u2069»"));
    }
}

TEST_F(CaseFilesInTheEntryWindow, TheOpenedFileIsNamedAboveTheNameOfTheCase)
{
    // Father, mother and wife without descendants: the case has a name, and
    // it follows the case as before.
    writeFile(path(QStringLiteral("umariyya.qismar")), R"({"estate": "1200", "father": true, "mother": true, "spouse": true})");
    ASSERT_TRUE(entry().openCaseFile(path(QStringLiteral("umariyya.qismar"))));
    EXPECT_EQ(entry().guidance->text(), QStringLiteral("فُتحت المسألة من الملف «\u2068umariyya.qismar\u2069»\nهذه المسألة تسمى العمرية"));
    ModalScript sons;
    sons.on<CountingDialog>(fillCounts({{&EstateCase::sons, QStringLiteral("1")}}));
    click(entry().childrenBox);
    EXPECT_SCRIPT_DONE(sons);
    // The case is no longer the one opened: the message about the file
    // goes with the name.
    EXPECT_EQ(entry().guidance->text(), QString());
}

TEST_F(CaseFilesInTheEntryWindow, ARefusedFileGivesOneErrorBoxNamingItAndChangesNothing)
{
    typeCase(caseOf(kCases[4]));
    const QStringList before = controlsState();
    const EstateCase beforeCase = entry().caseToSave();
    struct Bad {
        const char* name;
        std::function<void(const QString&)> make;
        QString problem;  // a part of the box's text
    };
    const auto bytes = [](QByteArray b) { return [b](const QString& p) { writeFile(p, b); }; };
    const Bad bad[] = {
        {"bad-json.qismar", bytes("{\"sons\": 1,\n \"daughters\": }"), QStringLiteral("ليس نص JSON صحيحاً (السطر 2")},
        {"unknown.qismar", bytes(R"({"sons": 1, "nephews": 2})"), QStringLiteral("حقل لا يعرفه البرنامج: «nephews»")},
        {"wrong-type.qismar", bytes(R"({"father": "yes"})"), QStringLiteral("قيمة «الأب» يجب أن تكون true أو false")},
        {"five-wives.qismar", bytes(R"({"spouse": true, "wives": 5})"), QStringLiteral("عدد الزوجات يجب أن يكون")},
        {"too-many.qismar", bytes(R"({"daughters": 1000000001})"), QStringLiteral("«عدد البنات» أكبر من أكبر عدد")},
        {"future.qismar", bytes(R"({"format": 2, "sons": 1})"), QStringLiteral("بصيغة غير الصيغة 1")},
        {"empty.qismar", bytes(""), QStringLiteral("الملف فارغ")},
        {"binary.qismar", bytes(QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0", 10)), QStringLiteral("الملف ثنائي")},
        {"cp1256.qismar", bytes("{\"deceased\": \"\xD1\xCC\xE1\"}"), QStringLiteral("ليس نصاً بترميز UTF-8")},
        {"huge.qismar", [](const QString& p) {
             QFile file(p);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             ASSERT_TRUE(file.resize(qint64(1) << 30));
         }, QStringLiteral("حجم الملف أكبر من 64 كيلوبايت")},
        {"folder.qismar", [](const QString& p) { ASSERT_TRUE(QDir().mkdir(p)); }, QStringLiteral("الاسم لمجلد")},
        {"pipe.qismar", [](const QString& p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0600), 0); },
         QStringLiteral("ليس ملفاً عادياً")},
        {"missing.qismar", [](const QString&) {}, QStringLiteral("الملف غير موجود")},
        {"grandmothers.qismar", bytes(R"({"estate": "100", "mothersMother": true, "fathersFathersMother": true})"),
         QStringLiteral("جدات قريبات وجدات بعيدات معاً")},
    };
    for (const Bad& b : bad) {
        const QString file = path(QString::fromLatin1(b.name));
        b.make(file);
        ModalScript script;
        script.messageBox();
        EXPECT_FALSE(entry().openCaseFile(file)) << b.name;
        EXPECT_SCRIPT_DONE(script);
        ASSERT_EQ(script.boxes().size(), 1u) << b.name;
        const auto& box = script.boxes()[0];
        EXPECT_EQ(box.icon, QMessageBox::Critical) << b.name;
        EXPECT_TRUE(box.text.startsWith(QStringLiteral("تعذر فتح المسألة من الملف «\u2068%1\u2069»:\n").arg(QString::fromLatin1(b.name))))
            << b.name << ": " << box.text;
        EXPECT_TRUE(box.text.contains(b.problem)) << b.name << ": " << box.text;
        EXPECT_EQ(controlsState(), before) << b.name;
        EXPECT_EQ(entry().caseToSave(), beforeCase) << b.name;
    }
}

TEST_F(CaseFilesInTheEntryWindow, AFailedSaveSaysWhyAndLeavesTheFileThatWasThere)
{
    typeCase(caseOf(kCases[0]));
    const QString existing = path(QStringLiteral("old.qismar"));
    const QByteArray old = "{\"sons\": 1}\n";
    writeFile(existing, old);
    struct Case {
        QString target;
        QString problem;
    };
    ASSERT_TRUE(QDir().mkdir(path(QStringLiteral("folder.qismar"))));
    const Case cases[] = {
        {path(QStringLiteral("folder.qismar")), QStringLiteral("الاسم لمجلد")},
        {path(QStringLiteral("nowhere/new.qismar")), QStringLiteral("المجلد غير موجود")},
        {QStringLiteral("/dev/null"), QStringLiteral("ليس ملفاً عادياً")},
    };
    for (const Case& k : cases) {
        ModalScript script;
        script.messageBox();
        EXPECT_FALSE(entry().saveCaseFile(k.target)) << k.target;
        EXPECT_SCRIPT_DONE(script);
        ASSERT_EQ(script.boxes().size(), 1u);
        EXPECT_TRUE(script.boxes()[0].text.startsWith(QStringLiteral("تعذر حفظ المسألة في الملف «")))
            << script.boxes()[0].text;
        EXPECT_TRUE(script.boxes()[0].text.contains(k.problem)) << script.boxes()[0].text;
    }
    // An amount the preparation cannot hold is refused before anything is written.
    preparation().debtsEdit->setText(QStringLiteral("99999999999999999999"));
    ModalScript script;
    script.messageBox();
    EXPECT_FALSE(entry().saveCaseFile(existing));
    EXPECT_SCRIPT_DONE(script);
    ASSERT_EQ(script.boxes().size(), 1u);
    EXPECT_TRUE(script.boxes()[0].text.contains(QStringLiteral("مبلغ «الديون» أكبر من أكبر مبلغ"))) << script.boxes()[0].text;
    EXPECT_EQ(readFile(existing), old);
    // No file was left half written beside it.
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("old.qismar"), QStringLiteral("qanoon.txt")}));
}

}  // namespace
}  // namespace qismar::testing

namespace qismar::testing {
namespace {

// "بيانات المسألة": typed in its dialog, saved and opened with the case,
// shown in the report, cleared with the heirs by the results' "تم".
TEST_F(CaseFilesInTheEntryWindow, TheCaseDetailsAreTypedSavedOpenedAndReported)
{
    typeCase(caseOf(kCases[1]));  // a man: 3 wives, father, mother, 2 sons, a daughter
    {
        ModalScript script;
        // A third son's name is refused: the case has two sons.
        script.on<CaseDetailsDialog>([](CaseDetailsDialog* d) {
            EXPECT_TRUE(layoutFaults(d).isEmpty()) << layoutFaults(d).join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(d->namesEdit(Heir::FullBrothers), nullptr);
            ASSERT_NE(d->namesEdit(Heir::Sons), nullptr);
            typeOver(d->nameEdit, QStringLiteral("عبد الله"));
            typeOver(d->dateEdit, QStringLiteral("2024-02-29"));
            EXPECT_TRUE(d->hijriDate->text().contains(QStringLiteral("1445هـ"))) << d->hijriDate->text().toStdString();
            typeOver(d->namesEdit(Heir::Sons), QStringLiteral("محمد، أحمد، علي"));
            typeOver(d->namesEdit(Heir::Mother), QStringLiteral("زينب"));
            click(d->doneButton);
            typeOver(d->namesEdit(Heir::Sons), QStringLiteral("محمد ,أحمد"));
            click(d->doneButton);
        });
        script.messageBox();
        click(entry().detailsButton);
        EXPECT_SCRIPT_DONE(script);
        ASSERT_EQ(script.boxes().size(), 1u);
        EXPECT_TRUE(script.boxes()[0].text.contains(QStringLiteral("«أسماء الأبناء» فيها 3"))) << script.boxes()[0].text.toStdString();
    }
    CaseDetails wanted;
    wanted.name = "عبد الله";
    wanted.dateOfDeath = "2024-02-29";
    wanted.heirNames[std::size_t(index(Heir::Mother))] = {"زينب"};
    wanted.heirNames[std::size_t(index(Heir::Sons))] = {"محمد", "أحمد"};
    EXPECT_EQ(entry().caseDetails(), wanted);

    // Saved with the case, and opened back over another case.
    const QString file = path(QStringLiteral("named.qismar"));
    ASSERT_TRUE(entry().saveCaseFile(file));
    CaseRecord saved;
    CaseError error;
    ASSERT_TRUE(readCaseFile(QFile::encodeName(file).toStdString(), saved, error)) << error.message;
    EXPECT_EQ(saved.details, wanted);
    clearCase();
    typeCase(caseOf(kOtherCase));
    EXPECT_TRUE(entry().caseDetails().empty());
    ASSERT_TRUE(entry().openCaseFile(file));
    EXPECT_EQ(entry().caseDetails(), wanted);

    // Cancelling the dialog changes nothing.
    {
        ModalScript script;
        script.on<CaseDetailsDialog>([](CaseDetailsDialog* d) {
            EXPECT_EQ(d->nameEdit->text(), QStringLiteral("عبد الله"));
            EXPECT_EQ(d->namesEdit(Heir::Sons)->text(), QStringLiteral("محمد، أحمد"));
            typeOver(d->nameEdit, QStringLiteral("غيره"));
            click(d->cancelButton);
        });
        click(entry().detailsButton);
        EXPECT_SCRIPT_DONE(script);
    }
    EXPECT_EQ(entry().caseDetails(), wanted);

    // One son fewer: the report and a saved file name one son; the name
    // typed for the second comes back with him.
    EstateCase fewer = entry().estateCase();
    fewer.sons = HeadCount(1);
    entry().showCase(fewer);
    EXPECT_EQ(entry().caseDetails().heirNames[std::size_t(index(Heir::Sons))], std::vector<std::string>{"محمد"});
    fewer.sons = HeadCount(2);
    entry().showCase(fewer);
    EXPECT_EQ(entry().caseDetails(), wanted);

    // The report of the division carries the details; "تم" clears them
    // with the heirs.
    ModalScript results;
    results.on<DivisionWindow>([](DivisionWindow* window) {
        EXPECT_EQ(window->report().title, QStringLiteral("بيان قسمة تركة عبد الله"));
        EXPECT_TRUE(results::reportPlainText(window->report()).contains(QStringLiteral("محمد، أحمد")));
        click(window->doneButton);
    });
    click(entry().divideButton);
    EXPECT_SCRIPT_DONE(results);
    EXPECT_TRUE(entry().caseDetails().empty());
}

}  // namespace
}  // namespace qismar::testing

namespace qismar::testing {
namespace {

// Hints belong to the case they speak of; an empty case is not saved; the
// save dialog suggests a name from the deceased's name and the day.
TEST_F(CaseFilesInTheEntryWindow, NothingToSaveIsSaidAndTheSuggestedNameFollowsTheCase)
{
    clearCase();
    {
        ModalScript script;
        script.messageBox();
        click(entry().saveButton);
        EXPECT_SCRIPT_DONE(script);
        ASSERT_EQ(script.boxes().size(), 1u);
        EXPECT_EQ(script.boxes()[0].text, QStringLiteral("لا شيء يُحفظ: لم يُختر أي وارث بعد"));
    }
    typeCase(caseOf(kCases[1]));
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    EXPECT_EQ(QFileInfo(entry().suggestedCaseFileName()).fileName(), QStringLiteral("مسألة %1.qismar").arg(today));
    CaseDetails named;
    named.name = "أحمد/علي";  // a sign no file name holds goes
    entry().setCaseDetails(named);
    EXPECT_EQ(QFileInfo(entry().suggestedCaseFileName()).fileName(), QStringLiteral("مسألة أحمدعلي %1.qismar").arg(today));

    // The message of a save goes once the case is no longer the one saved.
    ASSERT_TRUE(entry().saveCaseFile(path(QStringLiteral("saved.qismar"))));
    EXPECT_TRUE(entry().guidance->text().startsWith(QStringLiteral("حُفظت المسألة")));
    EXPECT_FALSE(entry().hasUnsavedCase());
    click(entry().motherBox);
    EXPECT_FALSE(entry().guidance->text().contains(QStringLiteral("حُفظت المسألة"))) << entry().guidance->text().toStdString();
    EXPECT_TRUE(entry().hasUnsavedCase());
}

}  // namespace
}  // namespace qismar::testing
