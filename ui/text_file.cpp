#include "ui/text_file.h"

#include "ui/data_files.h"
#include "ui/ui_common.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qismar::ui {

namespace {

FileStamp stampFrom(const struct stat& info)
{
    FileStamp stamp;
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    stamp.size = qint64(info.st_size);
    stamp.modifiedNs = qint64(info.st_mtim.tv_sec) * 1'000'000'000 + qint64(info.st_mtim.tv_nsec);
    return stamp;
}

QString cannotOpen(const QString& name, const QString& why)
{
    return QStringLiteral("تعذر فتح الملف %1: %2").arg(name, why);
}

QString openFailure(const QString& name, int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return cannotOpen(name, QStringLiteral("الملف غير موجود"));
    case EACCES:
    case EPERM:
        return cannotOpen(name, QStringLiteral("لا توجد صلاحية لقراءته"));
    case ELOOP:
        return cannotOpen(name, QStringLiteral("الاسم رابط يشير إلى نفسه"));
    case EISDIR:
        return cannotOpen(name, QStringLiteral("هذا الاسم لمجلد وليس لملف"));
    default:
        return cannotOpen(name, QStringLiteral("خطأ في نظام الملفات (رمزه %1)").arg(error));
    }
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

}  // namespace

FileStamp stampOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return stampFrom(info);
}

QString textTooLargeMessage(const QString& name)
{
    return QStringLiteral("النص في الملف %1 يتجاوز سعة مربع النص: لا يُقرأ ملف أكبر من %2 ميغابايت")
        .arg(name)
        .arg(kTextFileLimit / (1024 * 1024));
}

FileBytes readDataFile(const QString& name, qint64 limit)
{
    const QByteArray path = QFile::encodeName(dataFilePath(name));
    // Opened without waiting: opening a named pipe would otherwise block
    // until something writes to it. What it is is checked before reading.
    Descriptor file;
    do
        file.fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    while (file.fd < 0 && errno == EINTR);
    if (file.fd < 0)
        throw UiError(openFailure(name, errno));

    struct stat info {};
    if (::fstat(file.fd, &info) != 0)
        throw UiError(openFailure(name, errno));
    if (S_ISDIR(info.st_mode))
        throw UiError(cannotOpen(name, QStringLiteral("هذا الاسم لمجلد وليس لملف")));
    if (!S_ISREG(info.st_mode))
        throw UiError(cannotOpen(name, QStringLiteral("ليس ملفاً عادياً، بل أنبوب أو جهاز أو ما شابههما")));
    if (qint64(info.st_size) > limit)
        throw UiError(textTooLargeMessage(name));

    FileBytes result;
    result.stamp = stampFrom(info);
    // The size may change while the file is read (or be unknown, as for
    // the files of /proc): reading stops one byte past the limit.
    QByteArray bytes(qsizetype(qMin<qint64>(qMax<qint64>(info.st_size, 0), limit) + 1), Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > limit)
                throw UiError(textTooLargeMessage(name));
            bytes.resize(qsizetype(qMin<qint64>(qint64(bytes.size()) * 2, limit + 1)));
        }
        const ssize_t got = ::read(file.fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw UiError(QStringLiteral("تعذرت قراءة الملف %1 (رمز الخطأ %2)").arg(name).arg(errno));
        }
        if (got == 0)
            break;
        filled += got;
    }
    if (filled > limit)
        throw UiError(textTooLargeMessage(name));
    bytes.truncate(filled);
    result.bytes = std::move(bytes);
    return result;
}

QString readTextFile(const QString& name)
{
    return decodeCp1256(readDataFile(name).bytes);
}

}  // namespace qismar::ui
