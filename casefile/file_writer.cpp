#include "casefile/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

namespace qismar {

namespace {

// The most bytes handed to one write: a large file is written in several,
// as a buffered stream would write it.
constexpr std::size_t kWriteChunk = std::size_t{64} * 1024;

// The most links followed from the name to the file (as the system's own limit).
constexpr int kMaxLinks = 40;

FileSystemCalls systemCalls()
{
    return {
        [](int fd, const void* data, std::size_t size) { return ::write(fd, data, size); },
        [](int fd) { return ::fsync(fd); },
        [](const char* from, const char* to) { return ::rename(from, to); },
    };
}

FileSystemCalls& currentCalls()
{
    static FileSystemCalls calls = systemCalls();
    return calls;
}

bool fail(FileWriteError& error, FileWriteProblem problem, std::string message)
{
    error.problem = problem;
    error.message = std::move(message);
    return false;
}

bool failSystem(FileWriteError& error, int code)
{
    error.problem = FileWriteProblem::CannotWrite;
    error.systemError = code;
    error.message = std::string("cannot write the file: ") + std::strerror(code);
    return false;
}

// The folder of a path ("." for a bare name).
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The file that a save to `path` replaces or makes: `path` itself, or the
// end of the chain of symbolic links that starts there. `exists` tells
// whether something is there, `info` what (as lstat says). Returns 0, or
// the errno of the failure.
int resolveTarget(const std::string& path, std::string& target, bool& exists, struct stat& info)
{
    target = path;
    for (int links = 0;; ++links) {
        if (::lstat(target.c_str(), &info) != 0) {
            if (errno != ENOENT)
                return errno;
            exists = false;
            return 0;
        }
        if (!S_ISLNK(info.st_mode)) {
            exists = true;
            return 0;
        }
        if (links == kMaxLinks)
            return ELOOP;
        std::string named(PATH_MAX, '\0');
        const ssize_t n = ::readlink(target.c_str(), named.data(), named.size());
        if (n < 0)
            return errno;
        if (static_cast<std::size_t>(n) >= named.size())
            return ENAMETOOLONG;
        named.resize(static_cast<std::size_t>(n));
        if (named.empty())
            return ENOENT;
        // A relative link names a file from the link's own folder.
        if (named.front() != '/') {
            const std::string folder = folderOf(target);
            named = (folder == "/" ? folder : folder + "/") + named;
        }
        target = std::move(named);
    }
}

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) noexcept : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const noexcept { return fd_; }
    void reset(int fd) noexcept
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // Closes now and tells whether closing succeeded.
    bool close() noexcept
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

}  // namespace

const FileSystemCalls& fileSystemCalls() { return currentCalls(); }

ReplacedFileSystemCalls::ReplacedFileSystemCalls(FileSystemCalls calls) : previous_(currentCalls())
{
    const FileSystemCalls system = systemCalls();
    currentCalls() = {calls.write ? std::move(calls.write) : system.write,
                      calls.fsync ? std::move(calls.fsync) : system.fsync,
                      calls.rename ? std::move(calls.rename) : system.rename};
}

ReplacedFileSystemCalls::~ReplacedFileSystemCalls() { currentCalls() = std::move(previous_); }

bool writeWholeFile(const std::string& path, std::string_view content, FileWriteError& error)
{
    error = FileWriteError{};
    const FileSystemCalls& calls = currentCalls();

    std::string target;
    bool exists = false;
    struct stat info {};
    if (const int code = resolveTarget(path, target, exists, info); code != 0)
        return failSystem(error, code);
    mode_t mode = 0666;  // less the umask, as for any new file
    if (exists) {
        if (S_ISDIR(info.st_mode))
            return fail(error, FileWriteProblem::Folder, "a folder of that name is there");
        if (!S_ISREG(info.st_mode))
            return fail(error, FileWriteProblem::NotAFile,
                        "not a regular file (a device, a pipe or a socket), so it is not replaced");
        mode = info.st_mode & 07777;
    }

    // A new file beside the target, under a name no one else uses.
    static std::atomic<unsigned> serial{0};
    const std::string folder = folderOf(target);
    std::string temporary;
    Descriptor file;
    for (int attempt = 0; attempt < 100 && file.get() < 0; ++attempt) {
        temporary = (folder == "/" ? folder : folder + "/") + ".qismar-save-" + std::to_string(::getpid()) + "-" +
                    std::to_string(serial++) + ".tmp";
        file.reset(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (file.get() < 0 && errno != EEXIST)
            return failSystem(error, errno);
    }
    if (file.get() < 0)
        return failSystem(error, EEXIST);
    const auto abandon = [&](int code) {
        file.reset(-1);
        ::unlink(temporary.c_str());
        return failSystem(error, code);
    };
    if (exists && ::fchmod(file.get(), mode) != 0)
        return abandon(errno);
    std::size_t written = 0;
    while (written < content.size()) {
        const std::size_t size = std::min(kWriteChunk, content.size() - written);
        const ssize_t n = calls.write(file.get(), content.data() + written, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return abandon(errno);
        if (n == 0)  // no progress and no reason: never wait for ever
            return abandon(EIO);
        written += static_cast<std::size_t>(n);
    }
    // On the disk before it takes the old file's place: a full disk or a
    // failing device may only say so here.
    if (calls.fsync(file.get()) != 0)
        return abandon(errno);
    if (!file.close())
        return abandon(errno);
    if (calls.rename(temporary.c_str(), target.c_str()) != 0)
        return abandon(errno);
    // The new name on the disk as well, where the folder allows it.
    if (Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); dir.get() >= 0)
        ::fsync(dir.get());
    return true;
}

std::string systemErrorArabic(int code, bool writing)
{
    switch (code) {
    case ENOENT: return writing ? "المجلد غير موجود" : "الملف غير موجود";
    case EACCES:
    case EPERM: return "لا يسمح النظام بذلك";
    case ENOSPC:
    case EDQUOT: return "لا توجد مساحة كافية على القرص";
    case EROFS: return "القرص للقراءة فقط";
    case EISDIR: return "الاسم لمجلد";
    case ENOTDIR: return "جزء من المسار ليس مجلداً";
    case ENAMETOOLONG: return "الاسم أطول مما يقبله النظام";
    case ELOOP: return "الروابط الرمزية في المسار أكثر مما يقبله النظام";
    case EFBIG: return "حجم الملف أكبر مما يسمح به النظام";
    case EIO: return "خطأ في القراءة أو الكتابة على القرص";
    case EXDEV: return "الملف على قرص غير قرص مجلده";
    default: return std::string("خطأ من النظام: ") + std::strerror(code);
    }
}

std::string fileWriteErrorArabic(const FileWriteError& error)
{
    switch (error.problem) {
    case FileWriteProblem::None: return {};
    case FileWriteProblem::Folder: return "الاسم لمجلد، فلا يُكتب عليه";
    case FileWriteProblem::NotAFile: return "الاسم لجهاز أو أنبوب وليس لملف عادي، فلا يُكتب عليه";
    case FileWriteProblem::CannotWrite: return "تعذرت كتابة الملف: " + systemErrorArabic(error.systemError, true);
    }
    return {};
}

}  // namespace qismar
