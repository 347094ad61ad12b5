#include "shell/wave_check.h"

#include "ui/data_files.h"
#include "ui/ui_common.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qismar::shell {

namespace {

quint16 le16(const char* p)
{
    return quint16(quint8(p[0]) | (quint8(p[1]) << 8));
}

quint32 le32(const char* p)
{
    return quint32(quint8(p[0])) | (quint32(quint8(p[1])) << 8) | (quint32(quint8(p[2])) << 16)
           | (quint32(quint8(p[3])) << 24);
}

[[noreturn]] void fail(const QString& message)
{
    throw ui::UiError(message);
}

// The tail shared by the sub-format GUIDs of WAVE_FORMAT_EXTENSIBLE.
constexpr unsigned char kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                              0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool formatSupported(quint16 tag, quint16 bits)
{
    switch (tag) {
    case 1: return bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case 3: return bits == 32 || bits == 64;
    case 6:
    case 7: return bits == 8;
    default: return false;
    }
}

}  // namespace

WaveInfo checkWaveFile(const QString& fileName)
{
    const QString path = ui::dataFilePath(fileName);
    // Opened without waiting (a named pipe would block the open) and
    // checked to be a regular file before a byte is read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            fail(QStringLiteral("ملف التلاوة %1 غير موجود في مجلد البرنامج").arg(fileName));
        fail(QStringLiteral("تعذر فتح ملف التلاوة %1 (رمز الخطأ %2)").arg(fileName).arg(errno));
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        fail(QStringLiteral("ملف التلاوة %1 ليس ملفاً عادياً").arg(fileName));

    // Reads `size` bytes at `offset`; false when the file holds fewer.
    auto readAt = [fd](quint64 offset, char* into, qsizetype size) {
        qsizetype done = 0;
        while (done < size) {
            const ssize_t got = ::pread(fd, into + done, size_t(size - done), off_t(offset + quint64(done)));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            done += got;
        }
        return true;
    };

    const QString notWave = QStringLiteral("الملف %1 ليس ملف صوت من نوع WAVE").arg(fileName);
    const QString damaged = QStringLiteral("ملف الصوت %1 تالف: %2");

    char header[12];
    if (!readAt(0, header, 12) || memcmp(header, "RIFF", 4) != 0 || memcmp(header + 8, "WAVE", 4) != 0)
        fail(notWave);

    // The chunks end where the RIFF size says, or where the file does.
    const quint64 end = qMin<quint64>(quint64(status.st_size), 8 + quint64(le32(header + 4)));
    WaveInfo info;
    bool haveFormat = false;
    quint16 blockAlign = 0;
    quint64 offset = 12;
    int chunks = 0;
    while (offset + 8 <= end) {
        // "fmt " and "data" come early in every wave file: a walk that
        // needs more chunks or bytes than these bounds is damage, not a
        // file to read through.
        if (++chunks > kMaxChunksBeforeData || offset > kMaxBytesBeforeData)
            fail(damaged.arg(fileName, QStringLiteral("لم يوجد الصوت في أول الملف")));
        char chunk[8];
        if (!readAt(offset, chunk, 8))
            break;
        if (memcmp(chunk, "\0\0\0\0", 4) == 0)
            fail(damaged.arg(fileName, QStringLiteral("فيه جزء بلا اسم")));
        const quint32 size = le32(chunk + 4);
        const quint64 body = offset + 8;
        if (memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || body + 16 > end)
                fail(damaged.arg(fileName, QStringLiteral("وصف صيغة الصوت ناقص")));
            QByteArray fmt(qsizetype(qMin<quint64>(qMin<quint32>(size, 40), end - body)), '\0');
            if (!readAt(body, fmt.data(), fmt.size()))
                fail(damaged.arg(fileName, QStringLiteral("وصف صيغة الصوت ناقص")));
            fmt.resize(40, '\0');
            const bool extensibleComplete = qMin<quint32>(size, 40) == 40 && body + 40 <= end;
            info.formatTag = le16(fmt.constData());
            info.channels = le16(fmt.constData() + 2);
            info.sampleRate = le32(fmt.constData() + 4);
            blockAlign = le16(fmt.constData() + 12);
            info.bitsPerSample = le16(fmt.constData() + 14);
            if (info.formatTag == 0xFFFE) {
                // WAVE_FORMAT_EXTENSIBLE: the real format is the first two
                // bytes of the sub-format GUID.
                if (!extensibleComplete || le16(fmt.constData() + 16) < 22
                    || memcmp(fmt.constData() + 26, kSubFormatTail, sizeof kSubFormatTail) != 0)
                    fail(damaged.arg(fileName, QStringLiteral("وصف صيغة الصوت الموسع غير صالح")));
                info.formatTag = le16(fmt.constData() + 24);
            }
            haveFormat = true;
        } else if (memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat)
                fail(damaged.arg(fileName, QStringLiteral("لا يسبق الصوت وصف صيغته")));
            // A file cut short still plays what it holds.
            info.dataBytes = qMin<quint64>(size, end - body);
            break;
        }
        offset = body + size + (size & 1);
    }

    if (!haveFormat)
        fail(damaged.arg(fileName, QStringLiteral("لا يحوي وصف صيغة الصوت")));
    if (!formatSupported(info.formatTag, info.bitsPerSample) || info.channels < 1 || info.channels > 8
        || info.sampleRate < 1000 || info.sampleRate > 384000
        || blockAlign != info.channels * (info.bitsPerSample / 8))
        fail(QStringLiteral("صيغة الصوت في الملف %1 غير مدعومة").arg(fileName));
    if (info.dataBytes < blockAlign)
        fail(QStringLiteral("ملف الصوت %1 لا يحوي أي صوت").arg(fileName));
    return info;
}

}  // namespace qismar::shell
