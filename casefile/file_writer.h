// Qismar: how every file the program writes (case files, reports) is
// written: whole or not at all.
//
// The content goes into a new file beside the target; every write, the sync
// to the disk and the closing are checked, and only then does the new file
// take the target's name. On any failure the file that was there is left as
// it was and the new file is removed.
//
// One rule for what stands under the name:
// - nothing: the file is made (with the permissions of a new file);
// - a regular file: it is replaced, and the new file keeps its permissions;
// - a symbolic link: it is followed, through every link of a chain, to the
//   file it names, which is replaced (or made, for a link that names
//   nothing yet); the link itself stays a link;
// - a folder, a device, a pipe, a socket (or a link to one): refused, and
//   nothing is changed.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qismar {

enum class FileWriteProblem : std::uint8_t {
    None,
    Folder,       // a folder under the name
    NotAFile,     // a device, a pipe or a socket under the name
    CannotWrite,  // the system refused a step (see systemError); nothing was changed
};

struct FileWriteError {
    FileWriteProblem problem = FileWriteProblem::None;
    // errno of the step that failed, or 0.
    int systemError = 0;
    // In English.
    std::string message;
};

// Writes `content` as the whole of the file at `path`, by the rule above.
// On failure returns false with the problem in `error`.
bool writeWholeFile(const std::string& path, std::string_view content, FileWriteError& error);

// The problem in Arabic, for the windows: one sentence without the file's name.
std::string fileWriteErrorArabic(const FileWriteError& error);

// The reason the system gave (an errno value), in Arabic. `writing` tells a
// missing folder of a file being written from a missing file being read.
std::string systemErrorArabic(int code, bool writing);

// The system calls through which writeWholeFile writes, syncs and renames.
// Each returns as the system call does and sets errno on failure. Tests
// replace them to fail as a full or broken disk would, without one.
struct FileSystemCalls {
    std::function<ssize_t(int fd, const void* data, std::size_t size)> write = {};
    std::function<int(int fd)> fsync = {};
    std::function<int(const char* from, const char* to)> rename = {};
};

// The calls in use: the system's own, unless a test replaced them.
const FileSystemCalls& fileSystemCalls();

// Replaces the calls (any left empty stay the system's own) for as long as
// it lives. For tests; not for use while another thread writes a file.
class ReplacedFileSystemCalls {
public:
    explicit ReplacedFileSystemCalls(FileSystemCalls calls);
    ~ReplacedFileSystemCalls();
    ReplacedFileSystemCalls(const ReplacedFileSystemCalls&) = delete;
    ReplacedFileSystemCalls& operator=(const ReplacedFileSystemCalls&) = delete;

private:
    FileSystemCalls previous_;
};

}  // namespace qismar
