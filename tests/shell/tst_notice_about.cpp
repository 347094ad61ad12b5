// The notice and the animated About window.
#include "shell/program.h"
#include "tests/shell/shell_test_support.h"
#include "shell/about_window.h"
#include "shell/main_window.h"
#include "shell/notice_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <functional>

using namespace qismar;
using qismar::test::ModalWatcher;

namespace {

const QString kTitle = QStringLiteral("حول برنامج القسمار");
const QString kPrefix = QStringLiteral("برمجة: ");

// Delivers one tick of a timer to whatever it is connected to, as the
// event loop would when its interval has passed.
void tick(QTimer* timer)
{
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
}

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

}  // namespace

class TestNoticeAbout : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Program> program_;
    AboutWindow* about_ = nullptr;
    NoticeWindow* note_ = nullptr;

    MainWindow& main() { return program_->mainWindow(); }

    // The idle state: what every opening expects to start from.
    void verifyIdle()
    {
        QVERIFY(about_->creditLine()->text().isEmpty());
        QVERIFY(about_->teamLine()->isHidden());
        QVERIFY(about_->editionLine()->isHidden());
        QVERIFY(about_->placeLine()->isHidden());
        QCOMPARE(about_->captionBuffer(), blanks(40));
        QVERIFY(!about_->slideTimer()->isActive());
        QVERIFY(!about_->typingTimer()->isActive());
        QVERIFY(!about_->revealTimer()->isActive());
        QCOMPARE(about_->revealStep(), 0);
    }

    void runTitleSlide()
    {
        for (int tick = 0; tick < 549; ++tick)
            about_->slideTitle();
    }

private slots:
    void init()
    {
        program_ = std::make_unique<Program>();
        main().marqueeTimer()->stop();
        about_ = &program_->about();
        note_ = &program_->notice();
    }

    void cleanup()
    {
        program_.reset();
    }

    void noticeShowsItsLinesInOrder()
    {
        QCOMPARE(note_->windowTitle(), QStringLiteral("تنبيه"));
        QCOMPARE(note_->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(note_->size(), QSize(530, 218));
        ModalWatcher watcher;
        QList<QLabel*> fromTop;
        watcher.then([&](QWidget* w) {
            QCOMPARE(w, note_);
            fromTop = QList<QLabel*>(note_->lines().begin(), note_->lines().end());
            std::sort(fromTop.begin(), fromTop.end(), [](QLabel* a, QLabel* b) { return a->y() < b->y(); });
            for (QLabel* label : fromTop)
                QVERIFY(label->isVisible());
            note_->doneButton()->click();
        });
        main().noticeAction()->trigger();
        QCOMPARE(fromTop.size(), 3);
        QCOMPARE(fromTop[0]->text(), QStringLiteral("هذا البرنامج يعمل وفق ترجيحات القانون السوداني"));
        QCOMPARE(fromTop[1]->text(), QStringLiteral("وهو مصمم على أساس أن المستخدم ليس لديه أي إلمام بعلم الفرائض"));
        QCOMPARE(fromTop[2]->text(), QStringLiteral("ومن شاء عرف كيف قُسمت المسألة من «بيان المسألة»"));
        QVERIFY(!note_->isVisible());
    }

    // Stage 1: letter k enters at position 39, moves one place per tick and
    // stops at position k (40 - k ticks); 549 ticks in all, then the timer
    // stops with the title at the start of the caption.
    void titleSlidesLetterByLetter()
    {
        verifyIdle();
        about_->startAnimation();
        QVERIFY(about_->slideTimer()->isActive());
        QVERIFY(about_->typingTimer()->isActive());
        QCOMPARE(about_->letterIndex(), 1);
        QCOMPARE(about_->slideCounter(), 0);

        about_->slideTitle();
        QCOMPARE(about_->captionBuffer(), blanks(38) + kTitle.at(0) + blanks(1));
        // The caption shows the buffer without its trailing blanks.
        QCOMPARE(about_->windowTitle(), blanks(38) + kTitle.at(0));
        about_->slideTitle();
        QCOMPARE(about_->captionBuffer(), blanks(37) + kTitle.at(0) + blanks(2));

        // Count the ticks of each letter; when a letter has arrived, the
        // buffer holds the title up to it and blanks after it.
        QList<int> ticksOfLetter(19, 0);
        ticksOfLetter[1] = 2;
        int ticks = 2;
        while (about_->slideTimer()->isActive()) {
            about_->slideTitle();
            ++ticks;
            QVERIFY(ticks <= 549);
            const int letter = about_->letterIndex();
            ++ticksOfLetter[letter];
            QCOMPARE(about_->captionBuffer().size(), 40);
            if (about_->slideCounter() == 40 - letter)
                QCOMPARE(about_->captionBuffer(), kTitle.left(letter) + blanks(40 - letter));
            else
                QCOMPARE(about_->captionBuffer().at(39 - about_->slideCounter()), kTitle.at(letter - 1));
        }
        for (int k = 1; k <= 18; ++k)
            QCOMPARE(ticksOfLetter[k], 40 - k);
        QCOMPARE(ticks, 549);
        QVERIFY(!about_->slideTimer()->isActive());
        QCOMPARE(about_->windowTitle(), kTitle);
        // A late tick changes nothing.
        about_->slideTitle();
        QCOMPARE(about_->captionBuffer(), kTitle + blanks(22));
    }

    // Stage 2 types one character every tick; the eighth starts stage 3,
    // which shows the three lines one per tick and stops at its fourth.
    void typingThenReveal()
    {
        about_->startAnimation();
        for (int n = 1; n <= kPrefix.size(); ++n) {
            QVERIFY(about_->typingTimer()->isActive());
            QVERIFY(!about_->revealTimer()->isActive());
            about_->typeCredit();
            QCOMPARE(about_->creditLine()->text(), kPrefix.left(n));
            QCOMPARE(about_->typedCount(), n);
        }
        QVERIFY(!about_->typingTimer()->isActive());
        QVERIFY(about_->revealTimer()->isActive());
        QCOMPARE(about_->typingTimer()->interval(), 500);
        QCOMPARE(about_->revealTimer()->interval(), 1500);

        const QList<QLabel*> lines = {about_->teamLine(), about_->editionLine(), about_->placeLine()};
        for (int step = 1; step <= 3; ++step) {
            about_->revealNextLine();
            for (int i = 0; i < 3; ++i)
                QCOMPARE(!lines[i]->isHidden(), i < step);
            QVERIFY(about_->revealTimer()->isActive());
        }
        about_->revealNextLine();
        QVERIFY(!about_->revealTimer()->isActive());
        about_->revealNextLine();
        QCOMPARE(about_->revealStep(), 5);
        for (QLabel* line : lines)
            QVERIFY(!line->isHidden());
        QCOMPARE(about_->creditLine()->text(), kPrefix);
        QCOMPARE(about_->editionLine()->text(), QStringLiteral("الإصدار الأول"));
        QVERIFY(!about_->teamLine()->text().isEmpty());
        QVERIFY(!about_->placeLine()->text().isEmpty());
    }

    // "تم" in the middle of any stage resets the window; the next opening
    // replays everything from the first stage.
    void doneResetsAtAnyStage_data()
    {
        QTest::addColumn<int>("slideTicks");
        QTest::addColumn<int>("typeTicks");
        QTest::addColumn<int>("revealTicks");
        QTest::newRow("during the slide") << 100 << 1 << 0;
        QTest::newRow("slide over, typing") << 549 << 5 << 0;
        QTest::newRow("during the reveal") << 549 << 8 << 2;
        QTest::newRow("after the end") << 549 << 8 << 4;
    }

    void doneResetsAtAnyStage()
    {
        QFETCH(int, slideTicks);
        QFETCH(int, typeTicks);
        QFETCH(int, revealTicks);
        about_->startAnimation();
        for (int i = 0; i < slideTicks; ++i)
            about_->slideTitle();
        for (int i = 0; i < typeTicks; ++i)
            about_->typeCredit();
        for (int i = 0; i < revealTicks; ++i)
            about_->revealNextLine();
        about_->doneButton()->click();
        verifyIdle();

        // Replaying from the start reaches the same end.
        about_->startAnimation();
        QCOMPARE(about_->letterIndex(), 1);
        QCOMPARE(about_->slideCounter(), 0);
        QCOMPARE(about_->typedCount(), 0);
        about_->slideTitle();
        QCOMPARE(about_->captionBuffer(), blanks(38) + kTitle.at(0) + blanks(1));
        for (int i = 1; i < 549; ++i)
            about_->slideTitle();
        QCOMPARE(about_->captionBuffer(), kTitle + blanks(22));
        for (int i = 0; i < kPrefix.size(); ++i)
            about_->typeCredit();
        QCOMPARE(about_->creditLine()->text(), kPrefix);
        about_->revealNextLine();
        QVERIFY(!about_->teamLine()->isHidden());
        QVERIFY(about_->editionLine()->isHidden());
    }

    // Opened from the menu, the animation runs on its own timers (their ticks
    // are delivered here by hand, so that no time has to pass); Enter
    // presses "تم", which closes the window with OK and resets it.
    void openedFromTheMenuAndClosedWithEnter()
    {
        ModalWatcher watcher;
        QString captionAfterSlide;
        bool typingStarted = false;
        watcher.then([&](QWidget* w) {
            QCOMPARE(w, about_);
            QVERIFY(about_->doneButton()->isDefault());
            QVERIFY(about_->slideTimer()->isActive());
            QVERIFY(about_->typingTimer()->isActive());
            // The slide takes 549 ticks in all (a few may have come from the
            // event loop already).
            int ticks = 0;
            while (about_->slideTimer()->isActive() && ticks < 1000) {
                tick(about_->slideTimer());
                ++ticks;
            }
            QVERIFY(ticks <= 549);
            QVERIFY(!about_->slideTimer()->isActive());
            captionAfterSlide = about_->windowTitle();
            const int typed = about_->typedCount();
            tick(about_->typingTimer());
            typingStarted = about_->creditLine()->text() == kPrefix.left(typed + 1);
            QTest::keyClick(about_, Qt::Key_Return);
        });
        main().aboutAction()->trigger();
        QCOMPARE(watcher.seen().size(), 1);
        QCOMPARE(captionAfterSlide, kTitle);
        QVERIFY(typingStarted);
        QVERIFY(!about_->isVisible());
        QCOMPARE(about_->result(), int(QDialog::Accepted));
        verifyIdle();
    }

    // Closing by the close box resets the window too.
    void closeBoxResets()
    {
        ModalWatcher watcher;
        watcher.then([&](QWidget*) {
            tick(about_->typingTimer());
            QVERIFY(!about_->creditLine()->text().isEmpty());
            about_->close();
        });
        main().aboutAction()->trigger();
        verifyIdle();
    }

    void aboutWindowFrame()
    {
        QVERIFY(about_->windowTitle().isEmpty());
        QCOMPARE(about_->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(about_->windowFlags() & Qt::WindowStaysOnTopHint);
        // Wider than the layout's 277, so that the title fits its caption.
        QVERIFY(about_->width() >= 277);
        QCOMPARE(about_->height(), 221);
        QCOMPARE(about_->slideTimer()->interval(), 1);
    }
};

QISMAR_SHELL_TEST_MAIN(TestNoticeAbout)
#include "tst_notice_about.moc"
