// Renders every picture of the program's resource file to PNG files, at the sizes
// at which the windows show them (stretched pictures also at their extreme sizes),
// so that the drawings can be looked at without starting the program.
//
//   svg_preview OUTPUT_DIR [--controls]
//
// With --controls, the main controls of the window are outlined over the picture
// (at their layout positions where the layouts fix them, elsewhere at a likely
// place), to check that no ornament of weight lies beneath them.
// Any warning QtSvg prints while loading or drawing a picture makes the exit
// code 1: it means the drawing uses something QtSvg does not support.

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSvgRenderer>

#include <cstdio>
#include <vector>

namespace {

int warnings = 0;

void countWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg) {
        ++warnings;
        std::fprintf(stderr, "warning: %s\n", qPrintable(message));
    }
}

struct Shot {
    const char *resource;
    const char *name;
    int width;
    int height;
    std::vector<QRectF> controls; // outlined with --controls
};

// The face colour of dialogs, painted beneath pictures that leave it showing.
const QColor kFace(0xEC, 0xE9, 0xD8);

QImage render(QSvgRenderer &renderer, int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(kFace);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(0, 0, w, h));
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: svg_preview OUTPUT_DIR [--controls]\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const bool controls = argc > 2 && QByteArray(argv[2]) == "--controls";
    QDir().mkpath(outDir);
    qInstallMessageHandler(countWarnings);

    const std::vector<Shot> shots = {
        {":/pictures/entry.svg", "entry", 632, 431,
         {{40, 40, 385, 345}, {69, 264, 332, 105}, {438, 38, 136, 91}, {438, 133, 136, 87},
          {464, 240, 89, 41}, {464, 288, 89, 41}, {464, 336, 89, 41}}},
        {":/pictures/dialog.svg", "dialog-small", 149, 170, {{64, 80, 33, 25}}},
        {":/pictures/dialog.svg", "dialog-mid", 250, 200, {}},
        {":/pictures/dialog.svg", "dialog-wide", 398, 232, {{160, 176, 49, 25}}},
        {":/pictures/report.svg", "report", 622, 410, {{64, 48, 489, 257}, {264, 312, 75, 25}}},
        {":/pictures/report.svg", "report-large", 900, 640, {}},
        {":/pictures/results.svg", "results-short", 300, 156, {}},
        {":/pictures/results.svg", "results-mid", 300, 420, {}},
        {":/pictures/results.svg", "results-tall", 300, 800, {}},
        {":/pictures/interface.svg", "interface-wide", 1600, 860, {}},
        {":/pictures/interface.svg", "interface-4x3", 1024, 740, {}},
        {":/pictures/interface.svg", "interface-square", 796, 796, {}},
        {":/pictures/introduction.svg", "introduction", 640, 479, {{72, 48, 497, 297}}},
        {":/pictures/viewer.svg", "viewer", 612, 373, {{42, 26, 529, 321}}},
        {":/pictures/summary.svg", "summary", 388, 245, {{50, 40, 289, 113}}},
        {":/pictures/note.svg", "note", 530, 218, {}},
        {":/pictures/about.svg", "about", 277, 221, {}},
        {":/pictures/verses.svg", "verses", 499, 501, {}},
        {":/pictures/verses.svg", "verses-window", 481, 451, {{8, 386, 85, 30}, {30, 420, 41, 25}}},
        {":/pictures/verses.svg", "verses-large", 998, 1002, {}},
        {":/icons/qismar.svg", "qismar-48", 48, 48, {}},
        {":/icons/qismar.svg", "qismar-32", 32, 32, {}},
        {":/icons/qismar.svg", "qismar-16", 16, 16, {}},
        {":/icons/divide.svg", "divide-24", 24, 24, {}},
        {":/icons/how.svg", "how-24", 24, 24, {}},
        {":/icons/back.svg", "back-24", 24, 24, {}},
        {":/icons/divide.svg", "divide-16", 16, 16, {}},
        {":/icons/how.svg", "how-16", 16, 16, {}},
        {":/icons/back.svg", "back-16", 16, 16, {}},
    };

    int failures = 0;
    for (const Shot &shot : shots) {
        QSvgRenderer renderer(QString::fromLatin1(shot.resource));
        if (!renderer.isValid()) {
            std::fprintf(stderr, "%s: not a valid picture\n", shot.resource);
            ++failures;
            continue;
        }
        QImage image = render(renderer, shot.width, shot.height);
        if (controls && !shot.controls.empty()) {
            QPainter painter(&image);
            painter.setPen(QPen(QColor(255, 0, 0, 200), 1, Qt::DashLine));
            painter.setBrush(QColor(255, 255, 255, 90));
            for (const QRectF &r : shot.controls)
                painter.drawRect(r);
        }
        const QString file = outDir + QLatin1Char('/') + QLatin1String(shot.name) + QStringLiteral(".png");
        if (!image.save(file)) {
            std::fprintf(stderr, "%s: cannot write\n", qPrintable(file));
            ++failures;
            continue;
        }
        // Small icons are also written eight times enlarged, pixel for pixel.
        if (shot.width <= 32) {
            const QString big = outDir + QLatin1Char('/') + QLatin1String(shot.name) + QStringLiteral("-x8.png");
            image.scaled(shot.width * 8, shot.height * 8, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(big);
        }
    }
    std::printf("%zu pictures rendered, %d failed, %d warnings\n", shots.size(), failures, warnings);
    return failures || warnings ? 1 : 0;
}
