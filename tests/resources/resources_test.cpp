// The pictures compiled into the program: every path the windows ask for exists,
// loads in QtSvg without a warning (a warning means an unsupported feature that
// would silently be left out), and draws what its window relies on.

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>

#include <vector>

namespace {

QStringList *capturedWarnings = nullptr;

void captureWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (capturedWarnings && type != QtDebugMsg && type != QtInfoMsg)
        capturedWarnings->append(message);
}

// Renders a picture over a fully transparent image of the given size.
QImage renderOnTransparent(QSvgRenderer &renderer, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, width, height));
    return image;
}

double opaqueShare(const QImage &image)
{
    qint64 opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                ++opaque;
    return double(opaque) / (double(image.width()) * image.height());
}

enum class Cover {
    Whole,       // a window background: covers every pixel, at any stretch
    EdgesOnly,   // drawn over the window face: the middle stays see-through
    Icon,        // a small picture on a transparent ground
};

struct Picture {
    const char *path;
    int width;    // a size at which the program shows it
    int height;
    Cover cover;
};

const std::vector<Picture> kPictures = {
    {":/pictures/entry.svg", 632, 431, Cover::Whole},
    {":/pictures/entry.svg", 632, 481, Cover::Whole},
    {":/pictures/dialog.svg", 149, 170, Cover::Whole},
    {":/pictures/dialog.svg", 398, 232, Cover::Whole},
    {":/pictures/dialog.svg", 422, 350, Cover::Whole},
    {":/pictures/report.svg", 622, 410, Cover::Whole},
    {":/pictures/results.svg", 300, 156, Cover::Whole},
    {":/pictures/results.svg", 300, 800, Cover::Whole},
    {":/pictures/interface.svg", 1600, 860, Cover::Whole},
    {":/pictures/introduction.svg", 640, 479, Cover::Whole},
    {":/pictures/viewer.svg", 612, 373, Cover::Whole},
    {":/pictures/summary.svg", 388, 245, Cover::Whole},
    {":/pictures/note.svg", 530, 218, Cover::EdgesOnly},
    {":/pictures/about.svg", 277, 221, Cover::Whole},
    {":/pictures/verses.svg", 481, 451, Cover::Whole},
    {":/icons/qismar.svg", 16, 16, Cover::Icon},
    {":/icons/qismar.svg", 32, 32, Cover::Icon},
    {":/icons/divide.svg", 24, 24, Cover::Icon},
    {":/icons/how.svg", 24, 24, Cover::Icon},
    {":/icons/back.svg", 24, 24, Cover::Icon},
    {":/icons/open.svg", 24, 24, Cover::Icon},
    {":/icons/save.svg", 24, 24, Cover::Icon},
};

TEST(Pictures, EveryPictureLoadsWithoutWarningAndDrawsWhatItsWindowNeeds)
{
    for (const Picture &picture : kPictures) {
        SCOPED_TRACE(std::string(picture.path) + " at " + std::to_string(picture.width) + "x"
                     + std::to_string(picture.height));
        ASSERT_TRUE(QFile::exists(QString::fromLatin1(picture.path)));

        QStringList warnings;
        capturedWarnings = &warnings;
        const QtMessageHandler previous = qInstallMessageHandler(captureWarnings);
        QSvgRenderer renderer(QString::fromLatin1(picture.path));
        const bool valid = renderer.isValid();
        const QImage image = valid ? renderOnTransparent(renderer, picture.width, picture.height) : QImage();
        qInstallMessageHandler(previous);
        capturedWarnings = nullptr;

        ASSERT_TRUE(valid);
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
        EXPECT_FALSE(renderer.viewBoxF().isEmpty());

        const double share = opaqueShare(image);
        switch (picture.cover) {
        case Cover::Whole:
            EXPECT_GT(share, 0.995) << "the window face would show through";
            break;
        case Cover::EdgesOnly:
            EXPECT_GT(share, 0.05) << "nothing is drawn";
            EXPECT_EQ(qAlpha(image.pixel(picture.width / 2, picture.height / 2)), 0)
                << "the middle must let the window face show";
            break;
        case Cover::Icon:
            EXPECT_GT(share, 0.15) << "too little is drawn to be seen at this size";
            break;
        }
    }
}

TEST(Pictures, VersesPageCarriesTheThreeVerseEndsInOrder)
{
    QFile file(QStringLiteral(":/pictures/verses.svg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(file.readAll());
    // U+06DD, the end-of-verse sign, followed by the verse number in Arabic-Indic digits
    const qsizetype v11 = page.indexOf(QString::fromUtf8("\u06DD\u0661\u0661"));
    const qsizetype v12 = page.indexOf(QString::fromUtf8("\u06DD\u0661\u0662"));
    const qsizetype v176 = page.indexOf(QString::fromUtf8("\u06DD\u0661\u0667\u0666"));
    ASSERT_GE(v11, 0);
    EXPECT_LT(v11, v12);
    EXPECT_LT(v12, v176);
    EXPECT_EQ(page.count(QChar(0x06DD)), 3);
}

} // namespace

int main(int argc, char **argv)
{
    // gtest_discover_tests runs this program at build time without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
