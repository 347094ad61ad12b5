// The kinds of file a user may leave where the program reads its data
// files, made on disk for the tests of every reader.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <sys/stat.h>

namespace qismar::testing {

enum class FileKind {
    Missing,        // nothing of that name
    Empty,          // a file of no bytes
    Folder,         // a folder of that name
    Pipe,           // a named pipe nobody writes to (opening it could wait for ever)
    TooLarge,       // one byte above the limit (sparse, so it costs no disk)
    LongLine,       // one line of a megabyte, with no line end
    Binary,         // bytes that are no text at all, NUL bytes included
    WrongEncoding,  // UTF-8 text where Windows-1256 is expected
};

inline const char* kindName(FileKind kind)
{
    switch (kind) {
    case FileKind::Missing: return "missing";
    case FileKind::Empty: return "empty";
    case FileKind::Folder: return "folder";
    case FileKind::Pipe: return "named pipe";
    case FileKind::TooLarge: return "too large";
    case FileKind::LongLine: return "one long line";
    case FileKind::Binary: return "binary";
    case FileKind::WrongEncoding: return "wrong encoding";
    }
    return "?";
}

// The long line's text: words of Arabic letters (Windows-1256 0xC7 0xE1
// 0xCA, "الت") and blanks, one mebibyte in all.
inline QByteArray longLineBytes()
{
    QByteArray line;
    line.reserve(1 << 20);
    while (line.size() < (1 << 20))
        line.append("\xC7\xE1\xCA\xC7\xE1\xCA ", 7);
    line.truncate(1 << 20);
    return line;
}

inline QByteArray binaryBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i)
        bytes.append(char((i * 37 + 11) % 256));
    return bytes;
}

// Puts a file of the given kind at `path` (removing whatever was there).
// Returns false when the kind cannot be made here.
inline bool makeFileOfKind(const QString& path, FileKind kind, qint64 limit)
{
    QFile::remove(path);
    QDir(path).removeRecursively();
    auto write = [&](const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    switch (kind) {
    case FileKind::Missing: return true;
    case FileKind::Empty: return write(QByteArray());
    case FileKind::Folder: return QDir().mkdir(path);
    case FileKind::Pipe: return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    case FileKind::TooLarge: {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.resize(limit + 1);
    }
    case FileKind::LongLine: return write(longLineBytes());
    case FileKind::Binary: return write(binaryBytes());
    case FileKind::WrongEncoding: return write(QStringLiteral("نص بترميز آخر").toUtf8());
    }
    return false;
}

}  // namespace qismar::testing
