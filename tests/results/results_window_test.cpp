// The results window and whole divisions entered through the windows: tick
// the relatives, fill the dialogs, press "  قسم", read the lines, press "تم".
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "gui_test_support.h"

namespace qismar::testing {
namespace {

// How the window spells the engine's marker of an excluded relative.
QString nothingForHim() { return QStringLiteral("لا شيء له"); }

struct Line {
    Row row;
    QString caption, amount, percentage;
    int labelTop, editTop;
};

// The lines the results window shows, top to bottom.
std::vector<Line> visibleLines(const TfmDivision* window)
{
    std::vector<Line> lines;
    for (int i = 0; i < kRowCount; ++i) {
        const Row row = rowAt(i);
        QLineEdit* amount = window->amount(row);
        QLabel* caption = window->caption(row);
        QLabel* percentage = window->percentage(row);
        EXPECT_EQ(amount->isVisible(), caption->isVisible()) << rowInfo(row).control;
        EXPECT_EQ(amount->isVisible(), percentage->isVisible()) << rowInfo(row).control;
        if (amount->isVisible())
            lines.push_back({row, caption->text(), amount->text(), percentage->text(), caption->y(), amount->y()});
    }
    std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) { return a.editTop < b.editTop; });
    return lines;
}

class Division : public EntryWindows {
protected:
    // Ticks a counting box and fills its dialog.
    template <class Dialog>
    void tick(QCheckBox* box, std::vector<std::pair<QLineEdit* Dialog::*, QString>> counts)
    {
        ModalScript script;
        script.on<Dialog>(fill<Dialog>(std::move(counts)));
        click(box);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_TRUE(box->isChecked());
    }
    void estate(const QString& value) { typeOver(fmMain->edttarikh, value); }

    // Presses "  قسم"; `read` looks at the results window, which is then closed with "تم".
    void divide(const std::function<void(TfmDivision*)>& read)
    {
        ModalScript script;
        script.on<TfmDivision>([&read](TfmDivision* window) {
            read(window);
            if (window->isVisible())
                click(window->Button1);
        });
        click(fmMain->BitBtn2);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_FALSE(fmDivision->isVisible());
    }
    // Presses "  قسم" where a message box answers; returns its text.
    QMessageBox::Icon divideExpectingMessage(QString* text)
    {
        ModalScript script;
        script.messageBox();
        click(fmMain->BitBtn2);
        EXPECT_SCRIPT_DONE(script);
        if (script.boxes().size() != 1)
            return QMessageBox::NoIcon;
        *text = script.boxes()[0].text;
        return script.boxes()[0].icon;
    }
    void expectEmptyCase()
    {
        for (QCheckBox* box : fmMain->heirBoxes())
            EXPECT_FALSE(box->isChecked()) << box->objectName();
        for (QCheckBox* box : fmGrandMother->boxes())
            EXPECT_FALSE(box->isChecked()) << box->objectName();
        for (TCountingDialog* dialog : std::initializer_list<TCountingDialog*>{fmSon, fmSonOfSon, fmBrothers,
                                                                              fmSonOfBrother, fmUncle, fmSonOfUncle})
            for (QLineEdit* count : dialog->countEdits())
                EXPECT_EQ(count->text(), QStringLiteral("0")) << dialog->objectName() << "." << count->objectName();
        // (The grandmothers' count shows the layout's "1" until the box first changes.)
        for (QLineEdit* count : {fmMain->Edit9, fmMain->Edit10, fmMain->Edit11, fmMain->Edit2, fmMain->Edit5,
                                 fmMain->Edit4})
            EXPECT_EQ(count->text(), QStringLiteral("0")) << count->objectName();
        EXPECT_EQ(fmMain->Edit1->text(), QStringLiteral("1"));
        EXPECT_FALSE(fmJd->RadioButton1->isChecked() || fmJd->RadioButton2->isChecked());
        for (int i = 0; i < kRowCount; ++i) {
            EXPECT_TRUE(fmDivision->amounts[std::size_t(i)]->text().isEmpty()) << rowInfo(rowAt(i)).control;
            EXPECT_EQ(fmDivision->percentages[std::size_t(i)]->text(), QString(19, QLatin1Char(' ')));
            EXPECT_TRUE(fmDivision->amounts[std::size_t(i)]->isHidden());
            EXPECT_TRUE(fmDivision->captions[std::size_t(i)]->isHidden());
            EXPECT_TRUE(fmDivision->percentages[std::size_t(i)]->isHidden());
        }
    }
    // The percentage text that the engine gives a row for the case as entered.
    QString enginePercentage(Row row)
    {
        const DivisionResult expected = Divide(fmMain->readCase());
        const auto& p = expected.percentages[std::size_t(index(row))];
        return p ? QStringLiteral("%") + QString::fromStdString(formatAmount(*p)) : QString();
    }
};

TEST_F(Division, HusbandAndTwoFullSistersThenASecondDivisionFromAnEmptyCase)
{
    click(fmMain->RadioButton2);
    click(fmMain->chkZoj);
    tick<TfmBrothers>(fmMain->chkAk, {{&TfmBrothers::Edit1, QStringLiteral("2")}});
    estate(QStringLiteral("28000"));
    const QString husbandShare = enginePercentage(Row::n1);
    const QString sisterShare = enginePercentage(Row::n10);
    ASSERT_FALSE(husbandShare.isEmpty());

    divide([&](TfmDivision* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].row, Row::n1);
        EXPECT_EQ(lines[0].caption, QStringLiteral("الزوج"));
        EXPECT_EQ(lines[0].amount, QStringLiteral("12000"));
        EXPECT_EQ(lines[0].percentage, husbandShare);
        EXPECT_EQ(lines[1].row, Row::n10);
        EXPECT_EQ(lines[1].caption, QStringLiteral("لكل أخت شقيقة"));
        EXPECT_EQ(lines[1].amount, QStringLiteral("8000"));
        EXPECT_EQ(lines[1].percentage, sisterShare);
        // Stacked from the top: labels at 48 and 72, edits at 44 and 68.
        EXPECT_EQ(lines[0].labelTop, 48);
        EXPECT_EQ(lines[0].editTop, 44);
        EXPECT_EQ(lines[1].labelTop, 72);
        EXPECT_EQ(lines[1].editTop, 68);
        EXPECT_EQ(window->Button1->y(), 100);
        EXPECT_EQ(window->layoutHeight(), 180);
        EXPECT_EQ(window->windowTitle(), QStringLiteral("قسمة الأنصبة"));
        // A screen reader reads the whole line.
        EXPECT_EQ(window->amount(Row::n1)->accessibleDescription(),
                  QStringLiteral("الزوج: 12000، ") + husbandShare);
        // Escape does what "تم" does: it closes the window and clears the case.
        QTest::keyClick(window, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
    });
    expectEmptyCase();
    EXPECT_TRUE(fmMain->RadioButton2->isChecked());
    EXPECT_EQ(fmMain->edttarikh->text(), QStringLiteral("28000"));

    // A man with one wife and one daughter: the wife keeps an eighth.
    click(fmMain->RadioButton1);
    click(fmMain->chkZoj);
    tick<TfmSon>(fmMain->chkSons, {{&TfmSon::Edit2, QStringLiteral("1")}});
    estate(QStringLiteral("24000"));
    divide([](TfmDivision* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].caption, QStringLiteral("لكل زوجة"));
        EXPECT_EQ(lines[0].amount, QStringLiteral("3000"));
        EXPECT_EQ(lines[1].caption, QStringLiteral("لكل بنت"));
        EXPECT_EQ(lines[1].amount, QStringLiteral("21000"));
    });
    expectEmptyCase();
}

TEST_F(Division, ExcludedRelativeIsShownWithNothingForHim)
{
    click(fmMain->chkAb);
    tick<TfmBrothers>(fmMain->chkAk, {{&TfmBrothers::Edit2, QStringLiteral("1")}});
    estate(QStringLiteral("1000"));
    divide([](TfmDivision* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].caption, QStringLiteral("الأب"));
        EXPECT_EQ(lines[0].amount, QStringLiteral("1000"));
        EXPECT_EQ(lines[1].caption, QStringLiteral("لكل أخ شقيق "));
        EXPECT_EQ(lines[1].amount, nothingForHim());
        EXPECT_EQ(lines[1].percentage.trimmed(), QString());
    });
}

TEST_F(Division, WhatTheRowsLeaveIsShownAsTheLastLineAndClearedWithTheCase)
{
    // A husband alone keeps his half; the other half is not divided here.
    click(fmMain->RadioButton2);
    click(fmMain->chkZoj);
    estate(QStringLiteral("24000"));
    divide([](TfmDivision* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].amount, QStringLiteral("12000"));
        ASSERT_TRUE(window->undistributedAmount->isVisible());
        EXPECT_EQ(window->undistributedCaption->text(), QStringLiteral("الباقي دون توزيع"));
        EXPECT_EQ(window->undistributedAmount->text(), QStringLiteral("12000"));
        EXPECT_EQ(window->undistributedPercentage->text(), QStringLiteral("%50"));
        EXPECT_TRUE(window->undistributedCaption->toolTip().contains(QStringLiteral("ذوي الأرحام")));
        // The remainder is the last line, below the husband's.
        EXPECT_GT(window->undistributedAmount->y(), window->amount(Row::n1)->y());
        EXPECT_GT(window->Button1->y(), window->undistributedAmount->y());
    });
    EXPECT_TRUE(fmDivision->undistributedAmount->text().isEmpty());

    // A case that the heirs take whole shows no such line.
    tick<TfmSon>(fmMain->chkSons, {{&TfmSon::Edit1, QStringLiteral("1")}});
    estate(QStringLiteral("100"));
    divide([](TfmDivision* window) { EXPECT_FALSE(window->undistributedAmount->isVisible()); });
}

TEST_F(Division, AnEstateTooSmallForItsHeirsIsRefusedInArabic)
{
    tick<TfmSon>(fmMain->chkSons, {{&TfmSon::Edit1, QStringLiteral("20000")}});
    estate(QStringLiteral("100"));
    QString text;
    EXPECT_EQ(divideExpectingMessage(&text), QMessageBox::Critical);
    EXPECT_EQ(text, QStringLiteral("التركة أصغر من أن تُقسم على هذا العدد من الورثة"));
    EXPECT_FALSE(fmDivision->isVisible());
}

TEST_F(Division, OneHeirMakesTheSmallestWindow)
{
    tick<TfmSon>(fmMain->chkSons, {{&TfmSon::Edit1, QStringLiteral("3")}});
    estate(QStringLiteral("900"));
    divide([](TfmDivision* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].caption, QStringLiteral("لكل ابن "));
        EXPECT_EQ(lines[0].amount, QStringLiteral("300"));
        EXPECT_EQ(lines[0].labelTop, 48);
        EXPECT_EQ(window->Button1->y(), 76);
        EXPECT_EQ(window->layoutHeight(), 156);
    });
}

TEST_F(Division, ChoiceOfGrandfatherDoesNotChangeTheDivision)
{
    auto withGrandfather = [this](QRadioButton* TfmJd::*choice) {
        ModalScript script;
        script.on<TfmJd>([choice](TfmJd* dialog) {
            click(dialog->*choice);
            click(dialog->Button1);
        });
        click(fmMain->chkjd);
        EXPECT_SCRIPT_DONE(script);
        click(fmMain->chkOm);
        tick<TfmBrothers>(fmMain->chkAk, {{&TfmBrothers::Edit2, QStringLiteral("2")}});
        estate(QStringLiteral("36000"));
        std::vector<std::pair<QString, QString>> shown;
        divide([&shown](TfmDivision* window) {
            for (const Line& line : visibleLines(window))
                shown.emplace_back(line.caption, line.amount);
        });
        return shown;
    };
    const auto near = withGrandfather(&TfmJd::RadioButton1);
    const auto far = withGrandfather(&TfmJd::RadioButton2);
    EXPECT_EQ(near.size(), 3u);
    EXPECT_EQ(near, far);
}

TEST_F(Division, EstateOfZeroAndACaseWithoutHeirsAreRefusedWithAWarning)
{
    click(fmMain->chkAb);
    QString text;
    {
        ModalScript script;
        script.messageBox();
        click(fmMain->BitBtn2);
        EXPECT_SCRIPT_DONE(script);
        ASSERT_EQ(script.boxes().size(), 1u);
        EXPECT_EQ(script.boxes()[0].icon, QMessageBox::Warning);
        EXPECT_EQ(script.boxes()[0].text, QStringLiteral("من فضلك أدخل قيمة التركة"));
        // The standard button speaks Arabic too.
        EXPECT_NE(script.boxes()[0].okText, QStringLiteral("OK"));
        EXPECT_FALSE(script.boxes()[0].okText.isEmpty());
    }
    for (QLineEdit* amount : fmDivision->amounts)
        EXPECT_TRUE(amount->text().isEmpty());
    click(fmMain->chkAb);

    estate(QStringLiteral("1000"));
    EXPECT_EQ(divideExpectingMessage(&text), QMessageBox::Warning);
    EXPECT_EQ(text, QStringLiteral("من فضلك حدد الورثة"));
    EXPECT_FALSE(fmDivision->isVisible());

    // The next division with heirs sets the spouse's share aside again.
    click(fmMain->chkZoj);
    tick<TfmSon>(fmMain->chkSons, {{&TfmSon::Edit2, QStringLiteral("1")}});
    estate(QStringLiteral("24000"));
    divide([](TfmDivision* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].amount, QStringLiteral("3000"));
        EXPECT_EQ(lines[1].amount, QStringLiteral("21000"));
    });
}

TEST_F(Division, TextsThatAreNotAnEstateOrACountAreReportedAndChangeNothing)
{
    click(fmMain->chkAb);
    struct Case {
        const char* name;
        std::function<void()> enter;
        QString inMessage;
    };
    // A user cannot type or paste anything but digits (the fields refuse
    // it); these texts are put there from code, to show that the division
    // still refuses them.
    const Case cases[] = {
        {"estate beyond the money range", [] { pasteOver(fmMain->edttarikh, QStringLiteral("99999999999999999999")); },
         QString()},
        {"estate that is not a number", [] { fmMain->edttarikh->setText(QStringLiteral("ألف")); },
         QStringLiteral("قيمة التركة")},
        {"negative estate", [] { fmMain->edttarikh->setText(QStringLiteral("-500")); }, QStringLiteral("قيمة التركة")},
        {"count that is not a number",
         [] {
             typeOver(fmMain->edttarikh, QStringLiteral("1000"));
             fmSon->Edit2->setText(QStringLiteral("٢ بنات"));
         },
         QStringLiteral("عدد البنات")},
        {"count above a thousand million",
         [] {
             fmSon->Edit2->setText(QStringLiteral("0"));
             pasteOver(fmSonOfUncle->Edit1, QStringLiteral("1000000001"));
         },
         QStringLiteral("عدد أبناء الأعمام الأشقاء أكبر من أن يكون عدداً من الأشخاص")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.enter();
        QString text;
        EXPECT_EQ(divideExpectingMessage(&text), QMessageBox::Critical);
        EXPECT_FALSE(text.isEmpty());
        if (!c.inMessage.isEmpty()) {
            EXPECT_TRUE(text.contains(c.inMessage)) << text;
        }
        for (QLineEdit* amount : fmDivision->amounts)
            EXPECT_TRUE(amount->text().isEmpty());
        for (QLabel* percentage : fmDivision->percentages)
            EXPECT_EQ(percentage->text(), QString(19, QLatin1Char(' ')));
        EXPECT_TRUE(fmMain->chkAb->isChecked());
    }
}

TEST_F(Division, DoneClearsABigCaseButKeepsTheSexAndTheEstate)
{
    click(fmMain->RadioButton1);
    click(fmMain->chkAb);
    click(fmMain->chkOm);
    click(fmMain->chkZoj);
    typeOver(fmMain->Edit1, QStringLiteral("3"));
    tick<TfmSon>(fmMain->chkSons, {{&TfmSon::Edit1, QStringLiteral("2")}, {&TfmSon::Edit2, QStringLiteral("1")}});
    tick<TfmSonOfSon>(fmMain->chkEbnEbn, {{&TfmSonOfSon::Edit1, QStringLiteral("1")}, {&TfmSonOfSon::Edit4, QStringLiteral("2")}});
    tick<TfmBrothers>(fmMain->chkAk, {{&TfmBrothers::Edit1, QStringLiteral("1")}, {&TfmBrothers::Edit6, QStringLiteral("1")}});
    tick<TfmSonOfBrother>(fmMain->chkEbnAk, {{&TfmSonOfBrother::Edit2, QStringLiteral("1")}});
    tick<TfmUncle>(fmMain->chkAm, {{&TfmUncle::Edit2, QStringLiteral("2")}});
    tick<TfmSonOfUncle>(fmMain->chkEbnAm, {{&TfmSonOfUncle::Edit1, QStringLiteral("1")}});
    {
        ModalScript script;
        script.on<TfmGrandMother>([](TfmGrandMother* dialog) {
            click(dialog->CheckBox2);
            click(dialog->Button1);
        });
        click(fmMain->chkjadh);
        EXPECT_SCRIPT_DONE(script);
    }
    estate(QStringLiteral("120000"));
    divide([](TfmDivision* window) {
        const std::vector<Line> lines = visibleLines(window);
        EXPECT_GE(lines.size(), 10u);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].labelTop, 48 + 24 * int(i));
            EXPECT_EQ(lines[i].editTop, 44 + 24 * int(i));
            EXPECT_FALSE(lines[i].amount.isEmpty());
        }
        EXPECT_EQ(window->layoutHeight(), 44 + 24 * int(lines.size()) + 88);
    });
    expectEmptyCase();
    EXPECT_EQ(fmMain->Edit3->text(), QStringLiteral("0"));
    EXPECT_TRUE(fmMain->RadioButton1->isChecked());
    EXPECT_EQ(fmMain->edttarikh->text(), QStringLiteral("120000"));
}

TEST_F(Division, DoneShowsNoLawExcerptEvenInTheHowInheritsMode)
{
    click(fmMain->chkAb);
    click(fmMain->chkZoj);
    estate(QStringLiteral("600"));
    click(fmMain->BitBtn3);
    ASSERT_TRUE(HowInheritsMode());
    ModalScript script;
    script.on<TfmDivision>([](TfmDivision* window) { click(window->Button1); });
    script.forbidUnexpected();
    click(fmMain->BitBtn2);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_FALSE(fmMain->chkAb->isChecked());
    EXPECT_FALSE(fmMain->chkZoj->isChecked());
    // The mode is still on for the next click on an heir.
    EXPECT_TRUE(HowInheritsMode());
}

TEST_F(Division, ShowingTurnsZeroIntoNothingForHimAndSkipsEmptyLines)
{
    fmDivision->amount(Row::n3)->setText(QStringLiteral("0"));
    fmDivision->amount(Row::n12)->setText(QStringLiteral("250.5"));
    fmDivision->amount(Row::n28)->setText(QStringLiteral("0"));
    ModalScript script;
    script.on<TfmDivision>([](TfmDivision* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0].row, Row::n3);
        EXPECT_EQ(lines[0].amount, nothingForHim());
        EXPECT_EQ(lines[1].row, Row::n12);
        EXPECT_EQ(lines[1].amount, QStringLiteral("250.5"));
        EXPECT_EQ(lines[1].editTop, 68);
        EXPECT_EQ(lines[2].row, Row::n28);
        EXPECT_EQ(lines[2].amount, nothingForHim());
        EXPECT_EQ(lines[2].labelTop, 96);
        click(window->Button1);
    });
    fmDivision->exec();
    EXPECT_SCRIPT_DONE(script);
    EXPECT_TRUE(fmDivision->amount(Row::n3)->text().isEmpty());
}

}  // namespace
}  // namespace qismar::testing
