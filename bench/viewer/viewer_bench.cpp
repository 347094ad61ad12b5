// Time from a book command to the viewer shown with a text at the size
// limit (16 MiB, in long lines), and the peak memory of the process.
// Prints one line per run; bench/viewer_large_text.sh runs it.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QAction>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

#include "ui/data_files.h"
#include "shell/program.h"
#include "shell/book_viewer.h"
#include "shell/main_window.h"
#include "ui/text_area.h"
#include "ui/text_file.h"
#include "ui/ui_common.h"

using namespace qismar;
using Clock = std::chrono::steady_clock;

namespace {

// Lines of `lineBytes` bytes (Arabic words and blanks, Windows-1256), CR LF
// ended, up to exactly `total` bytes.
QByteArray bookText(qint64 total, qint64 lineBytes)
{
    QByteArray line;
    while (line.size() < lineBytes - 2)
        line.append("\xC7\xE1\xE3\xC7\xCF\xC9 ", 7);  // "المادة "
    line.truncate(qsizetype(lineBytes - 2));
    line.append("\r\n");
    QByteArray text;
    text.reserve(qsizetype(total));
    while (text.size() + line.size() <= total)
        text.append(line);
    text.append(line.left(qsizetype(total - text.size())));
    return text;
}

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QismarApplication app(argc, argv);
    prepareApplication(app);
    const qint64 lineBytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1 << 20;

    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    ui::setProgramFolder(folder.path());
    {
        QFile file(QStringLiteral("qanoon2.txt"));
        file.open(QIODevice::WriteOnly);
        file.write(bookText(ui::kTextFileLimit, lineBytes));
    }
    const long before = peakKiB();

    Program program;
    program.mainWindow().marqueeTimer()->stop();
    // The viewer is made before the clock starts, as it was made when the
    // program made every window at its start: the figure is the showing.
    BookViewer& viewer = program.bookViewer();
    double shownMs = -1;
    int blocks = 0;
    const auto start = Clock::now();
    // The viewer is modal: measured and closed from its own event loop once
    // it has been shown and painted.
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (!viewer.isVisible())
            return;
        probe.stop();
        viewer.repaint();
        shownMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        blocks = viewer.textArea()->document()->blockCount();
        viewer.doneButton()->click();
    });
    probe.start();
    program.mainWindow().sudaneseLawAction()->trigger();
    std::printf("viewer: %lld bytes in lines of %lld bytes, shown in %.0f ms, %d paragraphs, peak memory %.1f MiB "
                "(%.1f MiB before the windows)\n",
                ui::kTextFileLimit, lineBytes, shownMs, blocks, peakKiB() / 1024.0, before / 1024.0);
    return shownMs >= 0 ? 0 : 1;
}
