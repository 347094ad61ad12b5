// Qismar: the one reader of the data files that the windows show.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace qismar::ui {

// The largest text file the program reads: 16 MiB, room for a whole book
// many times over. A larger file is refused before anything is read, so
// that no file can make the program wait or fill its memory.
inline constexpr qint64 kTextFileLimit = qint64(16) * 1024 * 1024;

// What identifies the contents of a file on disk: a rewrite changes the
// modification time or the size, a replacement the inode.
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at `path` now (following a symbolic link), or an
// empty stamp when there is none.
FileStamp stampOf(const QString& path);

struct FileBytes {
    QByteArray bytes;
    FileStamp stamp;  // of the file that was read
};

// Reads the whole of the data file `name` (looked up by dataFilePath) with
// at most `limit` bytes. Refuses, with ui::UiError and an Arabic message
// that names the file, a file that is missing or unreadable, anything that
// is not a regular file (a folder, a named pipe, a device: checked before
// any byte is read, so a pipe cannot make the program wait), and a file
// larger than the limit.
FileBytes readDataFile(const QString& name, qint64 limit = kTextFileLimit);

// Reads a Windows-1256 text file through readDataFile and decodes it; every
// line end (CR LF, a lone CR or a lone LF) becomes "\n".
QString readTextFile(const QString& name);

// The message of a text too large for the text areas.
QString textTooLargeMessage(const QString& name);

}  // namespace qismar::ui
