// The verses window: the check of the recitation file, the media control's
// logic and the command "آيات الميراث" over a scripted player, and one smoke
// test of the real player (tst_recitation_module plays every format the
// check lets through).
#include "shell/media_control.h"
#include "shell/program.h"
#include "shell/recitation_player.h"
#include "tests/shell/shell_test_support.h"
#include "tests/file_kinds.h"
#include "ui/text_file.h"
#include "shell/main_window.h"
#include "shell/verses_window.h"
#include "ui/ui_common.h"
#include "shell/wave_check.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include "ui/picture.h"
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace qismar;
using namespace qismar::shell;
using qismar::test::makeWave;
using qismar::test::ModalWatcher;
using qismar::test::riffChunk;
using qismar::test::WaveFormat;
using qismar::test::WorkingFolder;

namespace {

// A player that records the commands it receives and keeps a position that
// moves only when the test says so.
class ScriptedPlayer : public RecitationPlayer {
public:
    QStringList calls;
    qint64 pos = 0;
    bool playing = false;
    void open(const QString& path) override
    {
        calls << QStringLiteral("open ") + QFileInfo(path).fileName();
        opened = path;
        pos = 0;
        playing = false;
    }
    void play() override { calls << QStringLiteral("play"); playing = true; }
    void pause() override { calls << QStringLiteral("pause"); playing = false; }
    void stop() override { calls << QStringLiteral("stop"); playing = false; }
    qint64 position() const override { return pos; }
    void advance(qint64 ms) { if (playing) pos += ms; }
    void reachEnd() { playing = false; onFinished(); }
    void fail(const QString& message) { onFailed(message); }
    QString opened;
};

struct Buttons {
    bool play, pause, stop;
    bool operator==(const Buttons& o) const { return play == o.play && pause == o.pause && stop == o.stop; }
};

Buttons buttons(const MediaControl& control)
{
    return {control.playButton()->isEnabled(), control.pauseButton()->isEnabled(), control.stopButton()->isEnabled()};
}

QByteArray validWave()
{
    return makeWave(WaveFormat{1, 1, 8000, 16, 0.2});
}

QByteArray withoutData(const QByteArray& wave)
{
    // RIFF header and fmt chunk only.
    QByteArray cut = wave.left(12 + 8 + 16);
    return cut;
}

}  // namespace

class TestVerses : public QObject {
    Q_OBJECT
private slots:
    // The file check lets through what the player decodes and refuses the
    // rest with one message that names the file.
    void waveCheck_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");   // empty: accepted

        QTest::newRow("PCM 16-bit stereo") << makeWave(WaveFormat{1, 2, 44100, 16, 0.1}) << QString();
        QTest::newRow("PCM 8-bit mono") << makeWave(WaveFormat{1, 1, 8000, 8, 0.1}) << QString();
        QTest::newRow("PCM 24-bit") << makeWave(WaveFormat{1, 2, 48000, 24, 0.1}) << QString();
        QTest::newRow("float 32-bit") << makeWave(WaveFormat{3, 2, 44100, 32, 0.1}) << QString();
        QTest::newRow("A-law") << makeWave(WaveFormat{6, 1, 8000, 8, 0.1}) << QString();
        QTest::newRow("mu-law") << makeWave(WaveFormat{7, 1, 8000, 8, 0.1}) << QString();
        QTest::newRow("extensible PCM") << makeWave(WaveFormat{1, 2, 44100, 16, 0.1, true}) << QString();
        {
            // A LIST chunk of odd size (padded) before fmt, and a data chunk
            // that claims more bytes than the file holds (a cut-off file).
            QByteArray wave = makeWave(WaveFormat{1, 1, 8000, 16, 0.1});
            QByteArray body = QByteArray("WAVE") + riffChunk("LIST", "INFOx") + wave.mid(12);
            body.chop(100);
            QTest::newRow("odd chunk first, cut short") << riffChunk("RIFF", body) << QString();
        }

        QTest::newRow("empty file") << QByteArray() << QStringLiteral("ليس ملف صوت");
        QTest::newRow("random bytes") << QByteArray(4000, '\x5a') << QStringLiteral("ليس ملف صوت");
        QTest::newRow("not WAVE") << riffChunk("RIFF", "AVI " + QByteArray(100, '\0')) << QStringLiteral("ليس ملف صوت");
        QTest::newRow("truncated header") << validWave().left(16) << QStringLiteral("لا يحوي وصف صيغة الصوت");
        QTest::newRow("no fmt chunk") << riffChunk("RIFF", "WAVE" + riffChunk("data", QByteArray(64, '\0')))
                                      << QStringLiteral("لا يسبق الصوت وصف صيغته");
        QTest::newRow("fmt too short") << riffChunk("RIFF", "WAVE" + riffChunk("fmt ", QByteArray(10, '\1')))
                                       << QStringLiteral("وصف صيغة الصوت ناقص");
        QTest::newRow("header only") << withoutData(validWave()) << QStringLiteral("لا يحوي أي صوت");
        {
            QByteArray wave = validWave();
            wave[40] = 0; wave[41] = 0; wave[42] = 0; wave[43] = 0;   // data size 0
            QTest::newRow("empty data chunk") << wave << QStringLiteral("لا يحوي أي صوت");
        }
        QTest::newRow("ADPCM") << makeWave(WaveFormat{2, 1, 8000, 16, 0.1}) << QStringLiteral("غير مدعومة");
        QTest::newRow("12-bit PCM") << makeWave(WaveFormat{1, 1, 8000, 12, 0.1}) << QStringLiteral("غير مدعومة");
        QTest::newRow("16-bit float") << makeWave(WaveFormat{3, 1, 8000, 16, 0.1}) << QStringLiteral("غير مدعومة");
        {
            QByteArray wave = validWave();
            wave[22] = 0;   // no channels
            QTest::newRow("no channels") << wave << QStringLiteral("غير مدعومة");
        }
        {
            QByteArray wave = validWave();
            wave[32] = 7;   // block align that does not fit the format
            QTest::newRow("bad block align") << wave << QStringLiteral("غير مدعومة");
        }
    }

    void waveCheck()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        WorkingFolder folder;
        folder.writeBytes(QStringLiteral("ayh.wav"), bytes);
        try {
            const WaveInfo info = checkWaveFile(QStringLiteral("ayh.wav"));
            QVERIFY2(error.isEmpty(), "the file should have been refused");
            QVERIFY(info.dataBytes > 0);
        } catch (const ui::UiError& e) {
            QVERIFY2(!error.isEmpty(), qPrintable(e.message()));
            QVERIFY2(e.message().contains(error), qPrintable(e.message()));
            QVERIFY(e.message().contains(QStringLiteral("ayh.wav")));
        }
    }

    // What a user may leave under the recitation's name: each is refused
    // at once with a message naming it; nothing is read from a pipe.
    void waveFileKinds()
    {
        using K = testing::FileKind;
        const QList<QPair<K, QString>> rows = {
            {K::Missing, QStringLiteral("غير موجود")},         {K::Empty, QStringLiteral("ليس ملف صوت")},
            {K::Folder, QStringLiteral("ليس ملفاً عادياً")},     {K::Pipe, QStringLiteral("ليس ملفاً عادياً")},
            {K::TooLarge, QStringLiteral("ليس ملف صوت")},      {K::LongLine, QStringLiteral("ليس ملف صوت")},
            {K::Binary, QStringLiteral("ليس ملف صوت")},        {K::WrongEncoding, QStringLiteral("ليس ملف صوت")},
        };
        for (const auto& [kind, error] : rows) {
            WorkingFolder folder;
            QVERIFY(testing::makeFileOfKind(folder.path(QStringLiteral("ayh.wav")), kind, ui::kTextFileLimit));
            try {
                checkWaveFile(QStringLiteral("ayh.wav"));
                QFAIL(testing::kindName(kind));
            } catch (const ui::UiError& e) {
                QVERIFY2(e.message().contains(error), qPrintable(e.message()));
                QVERIFY(e.message().contains(QStringLiteral("ayh.wav")));
            }
        }
    }

    // Damaged headers end the walk at once: a chunk with an all-zero name
    // (as in a large sparse file), more chunks than any wave file has
    // before its sound, and chunks past the RIFF size.
    void damagedWaveEndsTheWalkAtOnce()
    {
        WorkingFolder folder;
        const QString path = folder.path(QStringLiteral("ayh.wav"));
        auto refused = [&](const QString& expected) {
            try {
                checkWaveFile(QStringLiteral("ayh.wav"));
                return QStringLiteral("accepted");
            } catch (const ui::UiError& e) {
                return e.message().contains(expected) ? QString() : e.message();
            }
        };
        {
            // 2 GiB of zeros after a RIFF/WAVE header, claiming the whole size.
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray header("RIFF\xF8\xFF\xFF\x7FWAVE", 12);
            file.write(header);
            QVERIFY(file.resize(qint64(2) * 1024 * 1024 * 1024));
        }
        QCOMPARE(refused(QStringLiteral("بلا اسم")), QString());
        {
            QByteArray body("WAVE");
            for (int i = 0; i < kMaxChunksBeforeData + 1; ++i)
                body.append(riffChunk("LIST", "ab"));
            body.append(validWave().mid(12));
            folder.writeBytes(QStringLiteral("ayh.wav"), riffChunk("RIFF", body));
        }
        QCOMPARE(refused(QStringLiteral("لم يوجد الصوت في أول الملف")), QString());
        {
            // A whole wave file after a RIFF whose size ends before its fmt chunk.
            QByteArray wave = validWave();
            QByteArray cut = QByteArray("RIFF") + QByteArray("\x04\x00\x00\x00", 4) + QByteArray("WAVE") + wave.mid(12);
            folder.writeBytes(QStringLiteral("ayh.wav"), cut);
        }
        QCOMPARE(refused(QStringLiteral("لا يحوي وصف صيغة الصوت")), QString());
        // Many chunks, but fewer than the bound, still pass.
        {
            QByteArray body("WAVE");
            for (int i = 0; i < kMaxChunksBeforeData - 3; ++i)
                body.append(riffChunk("LIST", "ab"));
            body.append(validWave().mid(12));
            folder.writeBytes(QStringLiteral("ayh.wav"), riffChunk("RIFF", body));
        }
        QCOMPARE(refused(QString()), QStringLiteral("accepted"));
    }

    void missingWave()
    {
        WorkingFolder folder;
        try {
            checkWaveFile(QStringLiteral("ayh.wav"));
            QFAIL("a missing file must be refused");
        } catch (const ui::UiError& e) {
            QCOMPARE(e.message(), QStringLiteral("ملف التلاوة ayh.wav غير موجود في مجلد البرنامج"));
        }
    }

    // The recitation beside the program is opened when the current folder
    // has none.
    void recitationBesideTheProgram()
    {
        WorkingFolder folder;
        {
            QFile file(folder.programPath(QStringLiteral("ayh.wav")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(validWave());
        }
        MediaControl control;
        auto* player = new ScriptedPlayer;
        control.setPlayer(std::unique_ptr<RecitationPlayer>(player));
        control.setFileName(QStringLiteral("ayh.wav"));
        control.open();
        QCOMPARE(player->opened, QFileInfo(folder.programPath(QStringLiteral("ayh.wav"))).absoluteFilePath());
        QCOMPARE(control.mode(), MediaControl::Mode::Stopped);
    }

    // Play, pause, pause again (resume), stop, play again; the end of the
    // sound; which buttons are enabled in each state.
    void controlDrivesThePlayer()
    {
        WorkingFolder folder;
        folder.writeBytes(QStringLiteral("ayh.wav"), validWave());
        MediaControl control;
        auto* player = new ScriptedPlayer;
        control.setPlayer(std::unique_ptr<RecitationPlayer>(player));
        control.setFileName(QStringLiteral("ayh.wav"));
        QCOMPARE(control.mode(), MediaControl::Mode::Closed);
        QVERIFY((buttons(control) == Buttons{false, false, false}));

        control.open();
        QCOMPARE(player->opened, QDir::current().absoluteFilePath(QStringLiteral("ayh.wav")));
        QCOMPARE(control.mode(), MediaControl::Mode::Stopped);
        QVERIFY((buttons(control) == Buttons{true, false, false}));

        control.playButton()->click();
        player->advance(300);
        QCOMPARE(control.mode(), MediaControl::Mode::Playing);
        QVERIFY((buttons(control) == Buttons{false, true, true}));

        control.pauseButton()->click();
        player->advance(300);
        QCOMPARE(control.mode(), MediaControl::Mode::Paused);
        QCOMPARE(player->position(), 300);
        QVERIFY((buttons(control) == Buttons{true, true, true}));

        control.pauseButton()->click();   // the second press resumes
        player->advance(200);
        QCOMPARE(control.mode(), MediaControl::Mode::Playing);
        QCOMPARE(player->position(), 500);

        control.stopButton()->click();
        QCOMPARE(control.mode(), MediaControl::Mode::Stopped);
        QVERIFY((buttons(control) == Buttons{true, false, false}));
        QCOMPARE(player->position(), 500);   // stop keeps the position

        control.playButton()->click();
        player->reachEnd();
        QCOMPARE(control.mode(), MediaControl::Mode::Stopped);
        QVERIFY((buttons(control) == Buttons{true, false, false}));

        QCOMPARE(player->calls, (QStringList{"open ayh.wav", "play", "pause", "play", "stop", "play"}));

        // Opening again goes back to the beginning.
        control.open();
        QCOMPARE(player->position(), 0);
        QCOMPARE(control.mode(), MediaControl::Mode::Stopped);
    }

    // The player's first failure is reported once; the buttons go grey; a
    // later report is not shown again. Opening again makes it usable.
    void playerFailureIsReportedOnce()
    {
        WorkingFolder folder;
        folder.writeBytes(QStringLiteral("ayh.wav"), validWave());
        MediaControl control;
        auto* player = new ScriptedPlayer;
        control.setPlayer(std::unique_ptr<RecitationPlayer>(player));
        control.setFileName(QStringLiteral("ayh.wav"));
        control.open();
        control.play();
        {
            ModalWatcher watcher;
            player->fail(QStringLiteral("Internal data stream error."));
            player->fail(QStringLiteral("Internal data stream error."));
            const auto boxes = watcher.messageBoxes();
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0].icon, int(QMessageBox::Critical));
            QVERIFY(boxes[0].text.contains(QStringLiteral("ayh.wav")));
            QVERIFY(boxes[0].text.contains(QStringLiteral("Internal data stream error.")));
        }
        QCOMPARE(control.mode(), MediaControl::Mode::Closed);
        QVERIFY((buttons(control) == Buttons{false, false, false}));
        control.play();
        QCOMPARE(player->calls.count(QStringLiteral("play")), 1);
        control.open();
        QCOMPARE(control.mode(), MediaControl::Mode::Stopped);
    }

    // "آيات الميراث": without a recitation file the page opens with the
    // control greyed and a line saying where the file goes; an unplayable
    // file gives one error box and no window, and the player never sees
    // it; a good file opens the window,
    // and "تم" stops the sound before closing. Every opening starts from the
    // beginning.
    void versesCommand()
    {
        WorkingFolder folder;
        Program program;
        program.mainWindow().marqueeTimer()->stop();
        VersesWindow& verses = program.verses();
        auto* player = new ScriptedPlayer;
        verses.mediaControl()->setPlayer(std::unique_ptr<RecitationPlayer>(player));
        QAction* command = program.mainWindow().versesAction();

        {
            ModalWatcher watcher;
            bool greyed = false, hinted = false;
            watcher.then([&](QWidget* w) {
                QCOMPARE(w, &verses);
                greyed = verses.mediaControl()->mode() == MediaControl::Mode::Closed
                         && buttons(*verses.mediaControl()) == Buttons{false, false, false};
                hinted = verses.noRecitationLine()->isVisible()
                         && verses.noRecitationLine()->text().contains(QStringLiteral("ayh.wav"));
                verses.doneButton()->click();
            });
            command->trigger();
            QCOMPARE(watcher.seen().size(), 1);
            QVERIFY(watcher.messageBoxes().isEmpty());
            QVERIFY(greyed);
            QVERIFY(hinted);
            QVERIFY(player->calls.isEmpty());
        }
        {
            folder.writeBytes(QStringLiteral("ayh.wav"), QByteArray(1000, '\x11'));
            ModalWatcher watcher;
            command->trigger();
            QCOMPARE(watcher.seen().size(), 1);
            QVERIFY(watcher.seen()[0].messageBox);
            QVERIFY(watcher.seen()[0].text.contains(QStringLiteral("ayh.wav")));
            QVERIFY(player->calls.isEmpty());
        }

        folder.writeBytes(QStringLiteral("ayh.wav"), validWave());
        for (int opening = 1; opening <= 2; ++opening) {
            ModalWatcher watcher;
            qint64 positionAtOpening = -1;
            watcher.then([&](QWidget* w) {
                QCOMPARE(w, &verses);
                positionAtOpening = player->position();
                QCOMPARE(verses.mediaControl()->mode(), MediaControl::Mode::Stopped);
                verses.mediaControl()->playButton()->click();
                player->advance(700);
                verses.doneButton()->click();
            });
            command->trigger();
            QCOMPARE(watcher.seen().size(), 1);
            QCOMPARE(positionAtOpening, 0);
            QVERIFY(!verses.isVisible());
            QCOMPARE(player->calls.mid(player->calls.size() - 3),
                     (QStringList{"open ayh.wav", "play", "stop"}));
            QCOMPARE(verses.mediaControl()->mode(), MediaControl::Mode::Stopped);
        }

        // The close box stops the sound as well.
        ModalWatcher watcher;
        watcher.then([&](QWidget*) {
            verses.mediaControl()->play();
            verses.close();
        });
        command->trigger();
        QCOMPARE(player->calls.last(), QStringLiteral("stop"));
    }

    void versesWindowFrame()
    {
        VersesWindow verses;
        QCOMPARE(verses.windowTitle(), QStringLiteral("آيات الميراث - سورة النساء"));
        QCOMPARE(verses.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        // The page keeps the layout's 481 x 451; the controls stand in a
        // strip below it, clear of the verses and of the page's border.
        QCOMPARE(verses.page()->geometry(), QRect(0, 0, 481, 451));
        QCOMPARE(verses.width(), 481);
        QVERIFY(verses.height() + 30 <= 600);
        QCOMPARE(verses.doneButton()->text(), QStringLiteral("تم"));
        QCOMPARE(verses.doneButton()->size(), QSize(41, 25));
        QCOMPARE(verses.mediaControl()->size(), QSize(85, 30));
        for (QWidget* control : {static_cast<QWidget*>(verses.mediaControl()), static_cast<QWidget*>(verses.doneButton()),
                                 static_cast<QWidget*>(verses.noRecitationLine())}) {
            QVERIFY(control->geometry().top() >= verses.page()->geometry().bottom());
            QVERIFY(verses.rect().contains(control->geometry()));
        }
        // Lower left, above the close button.
        QVERIFY(verses.mediaControl()->geometry().right() < verses.width() / 2);
        QVERIFY(verses.mediaControl()->geometry().bottom() < verses.doneButton()->geometry().top());
        QVERIFY(!verses.mediaControl()->geometry().intersects(verses.noRecitationLine()->geometry()));
    }

    // The real player, headless: it plays into a silent sink. Only events
    // are awaited (the end of the sound, a failure), each with a generous
    // bound; no test here measures time.
    void realPlayerPlaysToTheEndAndOpensAgainAtTheStart()
    {
        WorkingFolder folder;
        folder.writeBytes(QStringLiteral("ayh.wav"), makeWave(WaveFormat{1, 2, 44100, 16, 0.3}));
        const std::unique_ptr<RecitationPlayer> real = createRecitationPlayer();
        RecitationPlayer& player = *real;
        QStringList failures;
        int ends = 0;
        player.onFailed = [&](const QString& message) { failures << message; };
        player.onFinished = [&] { ++ends; };
        player.open(folder.path(QStringLiteral("ayh.wav")));
        player.play();
        QTRY_VERIFY_WITH_TIMEOUT(ends == 1 || !failures.isEmpty(), 10000);
        QCOMPARE(failures, QStringList());
        QVERIFY(player.position() > 0);
        // Opening again starts from the beginning.
        player.open(folder.path(QStringLiteral("ayh.wav")));
        QCOMPARE(player.position(), 0);
    }
};

QISMAR_SHELL_TEST_MAIN(TestVerses)
#include "tst_verses.moc"
