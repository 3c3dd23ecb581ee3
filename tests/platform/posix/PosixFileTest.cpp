// The host's disk in Win32 terms: the contract of every file system, and what only this disk does: errno
// as Windows codes, FILETIME against timespec, the path syntax, permissions and links.
#include "tests/archive/TempFolder.h"

#include "platform/posix/HostFileSystem.h"
#include "platform/posix/PosixFile.h"
#include "tests/platform/FileSystemContract.h"
#include "tests/support/FileSizeLimit.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>

namespace vendora {
namespace {

using test::ReadWrite;
using testing::TempFolder;

struct HostDisk {
    TempFolder Folder_;
    HostFileSystem Disk;

    FileSystem& Files() { return Disk; }
    AnsiString Folder() const { return Folder_.Win(); }
    std::vector<std::string> NamesIn(const AnsiString& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(HostPath(folder)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::shared_ptr<test::FileSizeLimit> LimitWrites(std::uint64_t bytes) {
        return std::make_shared<test::FileSizeLimit>(bytes);
    }
};

TEST(PosixFile, ErrnoBecomesTheWindowsCodeOfTheCall) {
    EXPECT_EQ(WindowsErrorFromErrno(ENOENT), 2);
    EXPECT_EQ(WindowsErrorFromErrno(ENOTDIR), 3);
    EXPECT_EQ(WindowsErrorFromErrno(EMFILE), 4);
    EXPECT_EQ(WindowsErrorFromErrno(EACCES), 5);
    EXPECT_EQ(WindowsErrorFromErrno(EPERM), 5);
    EXPECT_EQ(WindowsErrorFromErrno(EROFS), 5);
    EXPECT_EQ(WindowsErrorFromErrno(ENOSPC), 112);
    EXPECT_EQ(WindowsErrorFromErrno(EEXIST, WinCall::CreateFile), 80);
    EXPECT_EQ(WindowsErrorFromErrno(EEXIST, WinCall::CreateDirectory), 183);
    EXPECT_EQ(WindowsErrorFromErrno(ENOENT, WinCall::CreateDirectory), 3);
}

// O_TRUNC empties a file even opened for reading only; CreateFile refuses the pair, and so does the handle
// that both the host's disk and the emulated machine open files with.
TEST(PosixFile, TruncatingWantsWriteAccessAndEmptiesNothingWithout) {
    TempFolder dir;
    testing::WriteHostFile(dir.Host("data.bin"), {1, 2, 3});
    EXPECT_EQ(
        PosixFileHandle::Open(dir.Host("data.bin"), FileAccess::GenericRead, Disposition::TruncateExisting)
            .Error(),
        WinError::InvalidParameter);
    EXPECT_EQ(testing::ReadHostFile(dir.Host("data.bin")), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_TRUE(
        PosixFileHandle::Open(dir.Host("data.bin"), FileAccess::GenericWrite, Disposition::TruncateExisting));
    EXPECT_TRUE(testing::ReadHostFile(dir.Host("data.bin")).empty());
}

TEST(PosixFile, FileTimesAndTimespecsConvertWithTheirHundredNanoseconds) {
    // 2010-06-02 14:47:49.5505328 UTC, and an instant before 1970.
    const FileTime stamp{0x8F8B5AF0u, 0x01CB0262u};
    const std::timespec back = TimespecFromFileTime(stamp);
    EXPECT_EQ(back.tv_nsec % 100, 0);
    EXPECT_EQ(FileTimeFromTimespec(back), stamp);
    const FileTime old{0x12345678u, 0x01000000u};
    EXPECT_GE(TimespecFromFileTime(old).tv_nsec, 0);
    EXPECT_EQ(FileTimeFromTimespec(TimespecFromFileTime(old)), old);
}

TEST(HostFileSystem, PathsTravelInWindowsSyntaxAndWindows1252) {
    EXPECT_EQ(HostPath(Ansi("dir\\Déconcaténation.txt")), "dir/Déconcaténation.txt");
    EXPECT_EQ(FromHostPath("/tmp/é/x"), Ansi("\\tmp\\é\\x"));

    TempFolder dir;
    HostFileSystem files;
    ASSERT_NE(
        files.CreateFile(dir.Win("coché.jpg"), ReadWrite, 0, Disposition::CreateAlways).ValueOr(nullptr),
        nullptr);
    EXPECT_TRUE(std::filesystem::exists(dir.Host("coché.jpg")));
    // Of several matches the first in byte order, whatever the folder's own order.
    testing::WriteHostFile(dir.Host("LISEZMOI"), {});
    EXPECT_EQ(files.FindFirst(dir.Win("*.*")), "LISEZMOI");
    EXPECT_EQ(files.FindFirst(dir.Win("*")), "LISEZMOI");
}

// A copy keeps the source's permissions (a program stays executable), and a link at the destination is
// replaced, not written through.
TEST(HostFileSystem, ACopyKeepsPermissionsAndReplacesALink) {
    TempFolder dir;
    HostFileSystem files;
    testing::WriteHostFile(dir.Host("new.bin"), {1, 2, 3});
    ::chmod(dir.Host("new.bin").c_str(), 0750);
    ASSERT_TRUE(files.CopyFile(dir.Win("new.bin"), dir.Win("old.bin"), false));
    struct stat info {};
    ASSERT_EQ(::stat(dir.Host("old.bin").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0750u);
    testing::WriteHostFile(dir.Host("target"), {9});
    std::filesystem::create_symlink(dir.Host("target"), dir.Host("lien"));
    ASSERT_TRUE(files.CopyFile(dir.Win("old.bin"), dir.Win("lien"), false));
    EXPECT_FALSE(std::filesystem::is_symlink(dir.Host("lien")));
    EXPECT_EQ(testing::ReadHostFile(dir.Host("lien")), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(testing::ReadHostFile(dir.Host("target")), std::vector<unsigned char>{9});
}

} // namespace
} // namespace vendora

namespace vendora::test {
INSTANTIATE_TYPED_TEST_SUITE_P(Host, FileSystemContract, HostDisk);
INSTANTIATE_TYPED_TEST_SUITE_P(Host, TemporaryCopies, HostDisk);
INSTANTIATE_TYPED_TEST_SUITE_P(Host, FullDisk, HostDisk);
} // namespace vendora::test
