// The host's disk in Win32 terms: error codes, file times, reads and writes, path syntax.
#include "tests/archive/TempFolder.h"

#include "platform/posix/HostFileSystem.h"
#include "platform/posix/PosixFile.h"
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

using testing::TempFolder;

constexpr std::uint32_t ReadWrite = FileAccess::GenericRead | FileAccess::GenericWrite;

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

TEST(PosixFile, OpenFailuresReportWhatCreateFileWould) {
    TempFolder dir;
    HostFileSystem files;
    int error = 0;
    EXPECT_EQ(files.CreateFile(dir.Win("absent.txt"), ReadWrite, 0, Disposition::OpenExisting, error),
              nullptr);
    EXPECT_EQ(error, 2);
    EXPECT_EQ(files.CreateFile(dir.Win("no\\such.txt"), ReadWrite, 0, Disposition::CreateAlways, error),
              nullptr);
    EXPECT_EQ(error, 3);
    EXPECT_EQ(files.CreateFile(dir.Win(), FileAccess::GenericRead, 0, Disposition::OpenExisting, error),
              nullptr);
    EXPECT_EQ(error, 5) << "a folder is not a file";
    ASSERT_NE(files.CreateFile(dir.Win("a.txt"), ReadWrite, 0, Disposition::CreateNew, error), nullptr);
    EXPECT_EQ(files.CreateFile(dir.Win("a.txt"), ReadWrite, 0, Disposition::CreateNew, error), nullptr);
    EXPECT_EQ(error, 80);
}

TEST(PosixFile, ReadsWritesSeeksAndTruncates) {
    TempFolder dir;
    HostFileSystem files;
    int error = 0;
    auto file = files.CreateFile(dir.Win("data.bin"), ReadWrite, 0, Disposition::CreateAlways, error);
    ASSERT_NE(file, nullptr);
    std::uint32_t done = 0;
    ASSERT_TRUE(file->Write("abcdef", 6, done));
    EXPECT_EQ(done, 6u);
    EXPECT_EQ(file->Size(), 6);
    ASSERT_TRUE(file->Seek(2));
    char buffer[8] = {};
    ASSERT_TRUE(file->Read(buffer, 8, done));
    EXPECT_EQ(done, 4u);
    EXPECT_EQ(std::string(buffer, 4), "cdef");
    ASSERT_TRUE(file->Read(buffer, 8, done));
    EXPECT_EQ(done, 0u) << "the end reads nothing";
    file.reset();

    file = files.CreateFile(dir.Win("data.bin"), ReadWrite, 0, Disposition::OpenAlways, error);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Size(), 6) << "open-always keeps the content";
    file = files.CreateFile(dir.Win("data.bin"), ReadWrite, 0, Disposition::CreateAlways, error);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Size(), 0) << "create-always truncates";
}

TEST(PosixFile, FileTimesKeepTheirHundredNanoseconds) {
    // 2010-06-02 14:47:49.5505328 UTC, and an instant before 1970.
    const FileTime stamp{0x8F8B5AF0u, 0x01CB0262u};
    const std::timespec back = TimespecFromFileTime(stamp);
    EXPECT_EQ(back.tv_nsec % 100, 0);
    EXPECT_EQ(FileTimeFromTimespec(back), stamp);
    const FileTime old{0x12345678u, 0x01000000u};
    EXPECT_GE(TimespecFromFileTime(old).tv_nsec, 0);
    EXPECT_EQ(FileTimeFromTimespec(TimespecFromFileTime(old)), old);

    TempFolder dir;
    HostFileSystem files;
    int error = 0;
    auto file = files.CreateFile(dir.Win("t.bin"), ReadWrite, 0, Disposition::CreateAlways, error);
    ASSERT_NE(file, nullptr);
    const FileTime access{stamp.Low + 10, stamp.High};
    ASSERT_TRUE(file->SetTimes(&stamp, &access, &stamp));
    FileTime gotAccess, gotWrite;
    ASSERT_TRUE(file->GetTimes(nullptr, &gotAccess, &gotWrite));
    EXPECT_EQ(gotAccess, access);
    EXPECT_EQ(gotWrite, stamp);
    ASSERT_TRUE(file->SetTimes(nullptr, nullptr, &access));
    ASSERT_TRUE(file->GetTimes(nullptr, &gotAccess, &gotWrite));
    EXPECT_EQ(gotAccess, access) << "a null time is left as it is";
    EXPECT_EQ(gotWrite, access);
}

TEST(HostFileSystem, PathsTravelInWindowsSyntaxAndWindows1252) {
    EXPECT_EQ(HostPath(Ansi("dir\\Déconcaténation.txt")), "dir/Déconcaténation.txt");
    EXPECT_EQ(FromHostPath("/tmp/é/x"), Ansi("\\tmp\\é\\x"));

    TempFolder dir;
    HostFileSystem files;
    int error = 0;
    ASSERT_NE(files.CreateFile(dir.Win("coché.jpg"), ReadWrite, 0, Disposition::CreateAlways, error),
              nullptr);
    EXPECT_TRUE(std::filesystem::exists(dir.Host("coché.jpg")));
    EXPECT_TRUE(files.FileExists(dir.Win("coché.jpg")));
    EXPECT_FALSE(files.FileExists(dir.Win()));
    EXPECT_TRUE(files.DirectoryExists(dir.Win()));
    EXPECT_EQ(files.FindFirst(dir.Win("COCH*.JPG")), Ansi("coché.jpg"));
    EXPECT_EQ(files.FindFirst(dir.Win("*.png")), std::nullopt);
    // "x.*" also finds a name without a dot, as on Windows; a plain name finds itself.
    testing::WriteHostFile(dir.Host("LISEZMOI"), {});
    EXPECT_EQ(files.FindFirst(dir.Win("lisezmoi.*")), "LISEZMOI");
    EXPECT_EQ(files.FindFirst(dir.Win("*.*")), "LISEZMOI") << "the first in byte order";
    EXPECT_EQ(files.FindFirst(dir.Win("LISEZMOI")), "LISEZMOI");
    EXPECT_EQ(files.FindFirst(dir.Win("absent")), std::nullopt);
}

TEST(HostFileSystem, FoldersCopiesAndDeletion) {
    TempFolder dir;
    HostFileSystem files;
    EXPECT_EQ(files.CreateDirectory(dir.Win("MAJ")), 0);
    EXPECT_EQ(files.CreateDirectory(dir.Win("MAJ")), 183);
    EXPECT_EQ(files.CreateDirectory(dir.Win("a\\b")), 3);
    EXPECT_FALSE(files.DeleteFile(dir.Win("MAJ")));

    testing::WriteHostFile(dir.Host("src"), {1, 2, 3});
    ASSERT_TRUE(files.CopyFile(dir.Win("src"), dir.Win("dst"), true));
    EXPECT_EQ(testing::ReadHostFile(dir.Host("dst")), (std::vector<unsigned char>{1, 2, 3}));
    // The copy carries the source's write time to the 100 ns of a FILETIME.
    const auto drift =
        std::filesystem::last_write_time(dir.Host("src")) - std::filesystem::last_write_time(dir.Host("dst"));
    EXPECT_GE(drift, std::chrono::nanoseconds(0));
    EXPECT_LT(drift, std::chrono::nanoseconds(100));
    EXPECT_FALSE(files.CopyFile(dir.Win("src"), dir.Win("dst"), true)) << "fail-if-exists";
    testing::WriteHostFile(dir.Host("src"), {9});
    EXPECT_TRUE(files.CopyFile(dir.Win("src"), dir.Win("dst"), false));
    EXPECT_EQ(testing::ReadHostFile(dir.Host("dst")), (std::vector<unsigned char>{9}));
    EXPECT_TRUE(files.DeleteFile(dir.Win("dst")));
    EXPECT_FALSE(files.FileExists(dir.Win("dst")));
    EXPECT_FALSE(files.DeleteFile(dir.Win("dst")));
}

TEST(HostFileSystem, CurrentFolder) {
    TempFolder dir;
    HostFileSystem files;
    const AnsiString before = files.GetCurrentDirectory();
    ASSERT_TRUE(files.SetCurrentDirectory(dir.Win()));
    EXPECT_EQ(files.GetCurrentDirectory(), FromHostPath(std::filesystem::canonical(dir.Path()).string()));
    EXPECT_FALSE(files.SetCurrentDirectory(dir.Win("absent")));
    ASSERT_TRUE(files.SetCurrentDirectory(before));
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Copies and replacements in one step, as on the emulated machine: through a temporary name, so that a
// failed copy leaves the old destination whole.
TEST(HostFileSystem, CopiesThroughATemporaryNameAndReplacesInOneStep) {
    HostFileSystem host;
    TempFolder dir;
    const std::string folder = dir.Path().string();
    const AnsiString from = FromHostPath(folder + "/new.bin");
    const AnsiString to = FromHostPath(folder + "/old.bin");
    WriteText(folder + "/new.bin", std::string(200000, 'n'));
    ::chmod((folder + "/new.bin").c_str(), 0750);
    WriteText(folder + "/old.bin", "old");
    {
        test::FileSizeLimit limit(70000);
        EXPECT_FALSE(host.CopyFile(from, to, false));
    }
    EXPECT_NE(host.LastError(), 0);
    EXPECT_EQ(ReadText(folder + "/old.bin"), "old");
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 2);
    ASSERT_TRUE(host.CopyFile(from, to, false));
    EXPECT_EQ(ReadText(folder + "/old.bin"), std::string(200000, 'n'));
    struct stat info {};
    ASSERT_EQ(::stat((folder + "/old.bin").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0750u);
    EXPECT_FALSE(host.CopyFile(from, to, true));
    EXPECT_EQ(host.LastError(), 80);
    // A link at the destination is replaced, not written through.
    std::filesystem::create_symlink(folder + "/new.bin", folder + "/lien");
    ASSERT_TRUE(host.CopyFile(to, FromHostPath(folder + "/lien"), false));
    EXPECT_FALSE(std::filesystem::is_symlink(folder + "/lien"));

    WriteText(folder + "/staged", "staged");
    ASSERT_TRUE(host.MoveFileReplace(FromHostPath(folder + "/staged"), to));
    EXPECT_EQ(ReadText(folder + "/old.bin"), "staged");
    EXPECT_FALSE(host.MoveFileReplace(FromHostPath(folder + "/staged"), to));
    EXPECT_EQ(host.LastError(), 2);
    EXPECT_FALSE(host.MoveFileReplace(to, FromHostPath(folder)));
    EXPECT_EQ(host.LastError(), 5);
}

} // namespace
} // namespace vendora
