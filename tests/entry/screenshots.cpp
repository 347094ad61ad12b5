// Takes the screenshots of the heir-entry window, the eight heir dialogs,
// the estate's preparation dialog, the information window and a results window, as PNG files in the folder
// given as the first argument. Run it from the folder that holds qanoon.txt
// (the program's own folder) under a display, for example Xvfb.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <cstdio>

#include "entry/entry_windows.h"
#include "ui/ui_common.h"

using namespace qismar;

namespace {

QDir out;
int failures = 0;

void shoot(QWidget* window, const QString& name)
{
    window->show();
    window->raise();
    QApplication::processEvents();
    const QPixmap picture = window->grab();
    const QString path = out.filePath(name);
    if (picture.isNull() || !picture.save(path)) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
        ++failures;
    } else {
        std::printf("%s %dx%d\n", qPrintable(path), picture.width(), picture.height());
    }
}

// Ticks a box as it stands after its dialog, without opening the dialog.
void tickQuietly(QCheckBox* box)
{
    const QSignalBlocker blocker(box);
    box->setChecked(true);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ui::installArabic(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    out = QDir(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("."));

    createEntryWindows();

    // A woman leaves her husband, her mother, two full sisters and a half-brother by her mother.
    fmMain->RadioButton2->setChecked(true);
    for (QCheckBox* box : {fmMain->chkZoj, fmMain->chkOm, fmMain->chkAk})
        tickQuietly(box);
    fmBrothers->Edit1->setText(QStringLiteral("2"));
    fmBrothers->Edit6->setText(QStringLiteral("1"));
    fmMain->Edit11->setText(QStringLiteral("3"));
    fmMain->edttarikh->setText(QStringLiteral("90000"));
    // The longest guidance, three lines, as a movement over the nephews writes it.
    QMouseEvent over(QEvent::MouseMove, QPointF(5, 5), fmMain->chkEbnAk->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(fmMain->chkEbnAk, &over);
    fmMain->setWindowTitle(QStringLiteral("القسمار"));
    shoot(fmMain, QStringLiteral("entry.png"));

    // The "كيف يرث؟" mode: its button pressed, the guidance saying what to do.
    fmMain->BitBtn3->click();
    shoot(fmMain, QStringLiteral("entry-how.png"));
    fmMain->BitBtn3->click();

    // The information window with the grandmother's excerpt, shown by the
    // real lookup; the shot is taken while it is open.
    StartHowInheritsMode();
    QTimer::singleShot(50, [] {
        shoot(report, QStringLiteral("report.png"));
        report->accept();
    });
    try {
        ShowLawExcerpt(QStringLiteral("jdh_b"), QStringLiteral("jdh_e"));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "no excerpt: %s\n", error.what());
        ++failures;
    }

    // The results of the case entered above, through the Divide button.
    QTimer::singleShot(50, [] {
        shoot(fmDivision, QStringLiteral("results.png"));
        fmDivision->Button1->click();
    });
    fmMain->BitBtn2Click();

    // Father, mother and husband: the guidance names the case.
    for (QCheckBox* box : {fmMain->chkAb, fmMain->chkOm, fmMain->chkZoj})
        tickQuietly(box);
    QMouseEvent move(QEvent::MouseMove, QPointF(8, 30), fmMain->GroupBox1->mapToGlobal(QPointF(8, 30)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(fmMain->GroupBox1, &move);
    shoot(fmMain, QStringLiteral("entry-umariyya.png"));
    fmMain->hide();

    // The dialogs, filled as a user may have filled them.
    fmSon->Edit1->setText(QStringLiteral("2"));
    fmSon->Edit2->setText(QStringLiteral("3"));
    shoot(fmSon, QStringLiteral("dialog-son.png"));
    fmSonOfSon->Edit1->setText(QStringLiteral("1"));
    shoot(fmSonOfSon, QStringLiteral("dialog-sonofson.png"));
    fmBrothers->Edit1->setText(QStringLiteral("2"));
    fmBrothers->Edit6->setText(QStringLiteral("1"));
    shoot(fmBrothers, QStringLiteral("dialog-brothers.png"));
    fmSonOfBrother->Edit2->setText(QStringLiteral("3"));
    shoot(fmSonOfBrother, QStringLiteral("dialog-sonofbrother.png"));
    fmUncle->Edit1->setText(QStringLiteral("1"));
    shoot(fmUncle, QStringLiteral("dialog-uncle.png"));
    shoot(fmSonOfUncle, QStringLiteral("dialog-sonofuncle.png"));
    fmGrandMother->RadioButton2->setChecked(true);
    fmGrandMother->CheckBox3->setChecked(true);
    shoot(fmGrandMother, QStringLiteral("dialog-grandmother.png"));
    fmJd->RadioButton1->setChecked(true);
    shoot(fmJd, QStringLiteral("dialog-jd.png"));
    for (QWidget* dialog : std::initializer_list<QWidget*>{fmSon, fmSonOfSon, fmBrothers, fmSonOfBrother, fmUncle,
                                                           fmSonOfUncle, fmGrandMother, fmJd})
        dialog->hide();

    // The estate's preparation: costs, debts and a bequest beyond the third,
    // in the dialog as it is typed and in the entry window after it.
    fmPreparation->Edit1->setText(QStringLiteral("3000"));
    fmPreparation->Edit2->setText(QStringLiteral("27000"));
    fmPreparation->Edit3->setText(QStringLiteral("30000"));
    shoot(fmPreparation, QStringLiteral("dialog-preparation.png"));
    fmPreparation->hide();
    fmMain->setWindowTitle(QStringLiteral("القسمار"));
    fmMain->setGuidance(QString());
    shoot(fmMain, QStringLiteral("entry-preparation.png"));
    fmMain->hide();

    return failures == 0 ? 0 : 1;
}
