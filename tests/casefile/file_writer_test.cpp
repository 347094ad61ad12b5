// Every file the program writes is written whole or not at all: what stands
// under the name decides what is written (links followed, never replaced;
// folders, pipes and sockets refused), and a disk that fails at any step
// leaves the old file as it was and nothing beside it.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "casefile/file_writer.h"

namespace qismar {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Bytes enough for several writes, none of them alike.
std::string largeContent()
{
    std::string bytes(200 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 131 + i / 251) % 256);
    return bytes;
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

class WholeFiles : public ::testing::Test {
public:
    fs::path at(const std::string& name) const { return dir_ / name; }

protected:
    void SetUp() override
    {
        dir_ = fs::path(::testing::TempDir()) /
               ("qismar_writer_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
                std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    // Every name under the folder, its sub-folders included.
    std::vector<std::string> names() const
    {
        std::vector<std::string> all;
        for (const auto& entry : fs::recursive_directory_iterator(dir_))
            all.push_back(entry.path().lexically_relative(dir_).string());
        std::sort(all.begin(), all.end());
        return all;
    }
    fs::path dir_;
};

TEST_F(WholeFiles, WhatStandsUnderTheNameDecidesWhatIsWritten)
{
    const std::string content = "the new content\n";
    const mode_t newFileMode = 0666 & ~currentUmask();
    struct Case {
        const char* what;
        std::function<void(const WholeFiles&)> make;
        std::string name;                  // what is written to
        FileWriteProblem problem;          // None: written
        int systemError;                   // for CannotWrite
        std::string writtenAt;             // where the content lands (written)
        mode_t mode;                       // its permissions then
        std::vector<std::string> after;    // every name in the folder afterwards
        std::string arabic;                // a part of the Arabic reason (refused)
    };
    const auto link = [](const char* to, const char* from) {
        return [=](const WholeFiles& t) { fs::create_symlink(to, t.at(from)); };
    };
    const Case cases[] = {
        {"nothing there", [](const WholeFiles&) {}, "new.bin", FileWriteProblem::None, 0, "new.bin", newFileMode,
         {"new.bin"}, ""},
        {"a file: replaced, its permissions kept",
         [](const WholeFiles& t) {
             writeBytes(t.at("old.bin"), "old");
             fs::permissions(t.at("old.bin"), fs::perms(0640));
         },
         "old.bin", FileWriteProblem::None, 0, "old.bin", 0640, {"old.bin"}, ""},
        {"a link to a file: the file replaced, the link kept",
         [](const WholeFiles& t) {
             fs::create_directory(t.at("real"));
             writeBytes(t.at("real/target.bin"), "old");
             fs::permissions(t.at("real/target.bin"), fs::perms(0600));
             fs::create_symlink("real/target.bin", t.at("link.bin"));
         },
         "link.bin", FileWriteProblem::None, 0, "real/target.bin", 0600, {"link.bin", "real", "real/target.bin"}, ""},
        {"a link that names nothing yet: the file made, the link kept", link("made.bin", "link.bin"), "link.bin",
         FileWriteProblem::None, 0, "made.bin", newFileMode, {"link.bin", "made.bin"}, ""},
        {"a chain of relative links through other folders",
         [](const WholeFiles& t) {
             fs::create_directories(t.at("a"));
             fs::create_directories(t.at("b/c"));
             fs::create_symlink("../b/second", t.at("a/first"));
             fs::create_symlink("c/end.bin", t.at("b/second"));
         },
         "a/first", FileWriteProblem::None, 0, "b/c/end.bin", newFileMode,
         {"a", "a/first", "b", "b/c", "b/c/end.bin", "b/second"}, ""},
        {"a link into a folder that is not there", link("missing/x.bin", "link.bin"), "link.bin",
         FileWriteProblem::CannotWrite, ENOENT, "", 0, {"link.bin"}, "المجلد غير موجود"},
        {"a folder that is not there", [](const WholeFiles&) {}, "nowhere/x.bin", FileWriteProblem::CannotWrite,
         ENOENT, "", 0, {}, "المجلد غير موجود"},
        {"a folder", [](const WholeFiles& t) { fs::create_directory(t.at("folder")); }, "folder",
         FileWriteProblem::Folder, 0, "", 0, {"folder"}, "الاسم لمجلد"},
        {"a link to a folder",
         [](const WholeFiles& t) {
             fs::create_directory(t.at("folder"));
             fs::create_directory_symlink("folder", t.at("link"));
         },
         "link", FileWriteProblem::Folder, 0, "", 0, {"folder", "link"}, "الاسم لمجلد"},
        {"a named pipe", [](const WholeFiles& t) { ASSERT_EQ(::mkfifo(t.at("pipe").c_str(), 0600), 0); }, "pipe",
         FileWriteProblem::NotAFile, 0, "", 0, {"pipe"}, "ليس لملف عادي"},
        {"a link to a named pipe",
         [](const WholeFiles& t) {
             ASSERT_EQ(::mkfifo(t.at("pipe").c_str(), 0600), 0);
             fs::create_symlink("pipe", t.at("link"));
         },
         "link", FileWriteProblem::NotAFile, 0, "", 0, {"link", "pipe"}, "ليس لملف عادي"},
        {"a socket",
         [](const WholeFiles& t) {
             const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
             ASSERT_GE(s, 0);
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             const std::string path = t.at("socket").string();
             ASSERT_LT(path.size(), sizeof address.sun_path);
             std::strcpy(address.sun_path, path.c_str());
             ASSERT_EQ(::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
             ::close(s);
         },
         "socket", FileWriteProblem::NotAFile, 0, "", 0, {"socket"}, "ليس لملف عادي"},
        {"links that name each other",
         [](const WholeFiles& t) {
             fs::create_symlink("two", t.at("one"));
             fs::create_symlink("one", t.at("two"));
         },
         "one", FileWriteProblem::CannotWrite, ELOOP, "", 0, {"one", "two"}, "الروابط الرمزية"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        k.make(*this);
        std::vector<std::pair<std::string, fs::path>> links;
        for (const auto& entry : fs::recursive_directory_iterator(dir_))
            if (entry.is_symlink())
                links.emplace_back(entry.path().string(), fs::read_symlink(entry.path()));

        FileWriteError error;
        const bool written = writeWholeFile(at(k.name).string(), content, error);
        EXPECT_EQ(written, k.problem == FileWriteProblem::None) << error.message;
        EXPECT_EQ(error.problem, k.problem) << error.message;
        if (written) {
            EXPECT_EQ(readAll(at(k.writtenAt)), content);
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(at(k.writtenAt))));
            EXPECT_EQ(fs::status(at(k.writtenAt)).permissions() & fs::perms::all, fs::perms(k.mode));
        } else {
            EXPECT_EQ(error.systemError, k.systemError) << error.message;
            const std::string arabic = fileWriteErrorArabic(error);
            EXPECT_NE(arabic.find(k.arabic), std::string::npos) << arabic;
        }
        // Links stay the links they were, and nothing else is left.
        for (const auto& [path, to] : links) {
            EXPECT_TRUE(fs::is_symlink(path)) << path;
            EXPECT_EQ(fs::read_symlink(path), to) << path;
        }
        EXPECT_EQ(names(), k.after);
        if (k.name == "pipe") {
            EXPECT_TRUE(fs::is_fifo(fs::symlink_status(at("pipe"))));
        }
    }
}

TEST_F(WholeFiles, AFailingDiskLeavesTheOldFileAsItWasAndNothingBesideIt)
{
    const std::string content = largeContent();
    const std::string old = "the old file";
    int writes = 0;
    std::size_t writtenSoFar = 0;
    const auto passOn = [&](int fd, const void* data, std::size_t size) {
        ++writes;
        const ssize_t n = ::write(fd, data, size);
        if (n > 0)
            writtenSoFar += std::size_t(n);
        return n;
    };
    const auto failWith = [](int code) {
        return [code](auto&&...) {
            errno = code;
            return -1;
        };
    };
    struct Case {
        const char* what;
        FileSystemCalls calls;
        int systemError;  // 0: written whole
        std::string arabic;
    };
    const Case cases[] = {
        {"no room left at the last of several writes",
         {[&](int fd, const void* data, std::size_t size) -> ssize_t {
              if (writtenSoFar + size == content.size()) {
                  ++writes;
                  errno = ENOSPC;
                  return -1;
              }
              return passOn(fd, data, size);
          }},
         ENOSPC, "لا توجد مساحة كافية على القرص"},
        {"a file size limit reached part way", {[&](int fd, const void* data, std::size_t size) -> ssize_t {
              if (writtenSoFar > 0) {
                  errno = EFBIG;
                  return -1;
              }
              return passOn(fd, data, size);
          }},
         EFBIG, "حجم الملف أكبر"},
        {"the sync to the disk fails", {{}, failWith(EIO)}, EIO, "خطأ في القراءة أو الكتابة على القرص"},
        {"the new file cannot take the old one's name", {{}, {}, failWith(EACCES)}, EACCES,
         "لا يسمح النظام بذلك"},
        {"a write that makes no progress", {[&](int, const void*, std::size_t) -> ssize_t { return 0; }}, EIO,
         "خطأ في القراءة أو الكتابة"},
        // Writes that do part of their work, or are interrupted, go on.
        {"writes of a few bytes at a time", {[&](int fd, const void* data, std::size_t size) -> ssize_t {
              return passOn(fd, data, std::min<std::size_t>(size, 4093));
          }},
         0, ""},
        {"an interrupted write", {[&, interrupted = false](int fd, const void* data, std::size_t size) mutable -> ssize_t {
              if (!interrupted) {
                  interrupted = true;
                  errno = EINTR;
                  return -1;
              }
              return passOn(fd, data, size);
          }},
         0, ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        writeBytes(at("old.bin"), old);
        writes = 0;
        writtenSoFar = 0;
        FileWriteError error;
        bool written = false;
        {
            const ReplacedFileSystemCalls failing(k.calls);
            written = writeWholeFile(at("old.bin").string(), content, error);
        }
        if (k.systemError == 0) {
            EXPECT_TRUE(written) << error.message;
            EXPECT_EQ(readAll(at("old.bin")), content);
        } else {
            EXPECT_FALSE(written);
            EXPECT_EQ(error.problem, FileWriteProblem::CannotWrite);
            EXPECT_EQ(error.systemError, k.systemError) << error.message;
            EXPECT_NE(error.message.find(std::strerror(k.systemError)), std::string::npos) << error.message;
            const std::string arabic = fileWriteErrorArabic(error);
            EXPECT_NE(arabic.find(k.arabic), std::string::npos) << arabic;
            EXPECT_EQ(readAll(at("old.bin")), old);
        }
        EXPECT_EQ(names(), std::vector<std::string>{"old.bin"});
    }
    // The first case failed the last of several writes, not the only one.
    {
        const ReplacedFileSystemCalls counting({passOn});
        writes = 0;
        FileWriteError error;
        ASSERT_TRUE(writeWholeFile(at("old.bin").string(), content, error)) << error.message;
        EXPECT_GE(writes, 3);
    }
    // And the system's own calls are back once a replacement is gone.
    writes = 0;
    FileWriteError error;
    ASSERT_TRUE(writeWholeFile(at("old.bin").string(), old, error)) << error.message;
    EXPECT_EQ(readAll(at("old.bin")), old);
    EXPECT_EQ(writes, 0);
}

}  // namespace
}  // namespace qismar
