// The Win32 file system: CreateFileW and its sharing rules, folders, crash-safe copies and moves, file
// times to the 100 ns, FindFirstFileW and the current folder, all on the real disk; Windows-1252 names on
// the disk as they are whatever the system's code page, and folders that Windows-1252 cannot name.

#include "platform/win32/Win32Files.h"
#include "base/Cp1252.h"
#include "tests/platform/win32/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vendora;
using vendora::test::NamesIn;
using vendora::test::RunningUnderWine;
using vendora::test::TempFolder;

namespace {

constexpr std::uint32_t ReadWrite = FileAccess::GenericRead | FileAccess::GenericWrite;
constexpr std::uint32_t ShareAll = FileShare::Read | FileShare::Write | FileShare::Delete;

class Win32Files : public ::testing::Test {
protected:
    void WriteFile(const AnsiString& path, const std::string& content) {
        int error = -1;
        auto file = files_.CreateFile(path, FileAccess::GenericWrite, FileShare::None,
                                      Disposition::CreateAlways, error);
        ASSERT_TRUE(file) << "error " << error;
        std::uint32_t done = 0;
        ASSERT_TRUE(file->Write(content.data(), static_cast<std::uint32_t>(content.size()), done));
        ASSERT_EQ(done, content.size());
    }

    std::string ReadFile(const AnsiString& path) {
        int error = -1;
        auto file = files_.CreateFile(path, FileAccess::GenericRead, FileShare::Read,
                                      Disposition::OpenExisting, error);
        if (!file)
            return "<error " + std::to_string(error) + ">";
        std::string content(static_cast<std::size_t>(file->Size()), '\0');
        std::uint32_t done = 0;
        file->Read(content.data(), static_cast<std::uint32_t>(content.size()), done);
        content.resize(done);
        return content;
    }

    FileTime LastWrite(const AnsiString& path) {
        int error = -1;
        auto file =
            files_.CreateFile(path, FileAccess::GenericRead, ShareAll, Disposition::OpenExisting, error);
        FileTime time;
        if (file)
            file->GetTimes(nullptr, nullptr, &time);
        return time;
    }

    // The temporary files a copy or a move may leave: "~" and seven hex digits, ".TMP".
    std::optional<AnsiString> LeftOver() { return files_.FindFirst(folder_ / "~*.TMP"); }

    TempFolder folder_;
    Win32FileSystem files_;
};

// 2010-06-02 14:47:49.5505328 UTC, the installer's own stamp, with its 100 ns digits.
FileTime Stamp() {
    SYSTEMTIME utc{};
    utc.wYear = 2010;
    utc.wMonth = 6;
    utc.wDay = 2;
    utc.wHour = 14;
    utc.wMinute = 47;
    utc.wSecond = 49;
    FILETIME whole{};
    ::SystemTimeToFileTime(&utc, &whole);
    const std::uint64_t ticks =
        ((static_cast<std::uint64_t>(whole.dwHighDateTime) << 32) | whole.dwLowDateTime) + 5505328u;
    return FileTime{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

FileTime Later(const FileTime& time, std::uint64_t ticks) {
    const std::uint64_t value = time.Ticks() + ticks;
    return FileTime{static_cast<std::uint32_t>(value), static_cast<std::uint32_t>(value >> 32)};
}

} // namespace

TEST_F(Win32Files, CreateFileWritesReadsSeeksAndReportsWindowsCodes) {
    const AnsiString path = folder_ / "caisse.dat";
    int error = -1;
    auto file = files_.CreateFile(path, ReadWrite, FileShare::None, Disposition::CreateNew, error);
    ASSERT_TRUE(file);
    EXPECT_EQ(error, 0);
    std::uint32_t done = 0;
    ASSERT_TRUE(file->Write("0123456789", 10, done));
    EXPECT_EQ(done, 10u);
    EXPECT_EQ(file->Size(), 10);
    ASSERT_TRUE(file->Seek(4));
    char buffer[16] = {};
    ASSERT_TRUE(file->Read(buffer, sizeof buffer, done));
    EXPECT_EQ(std::string(buffer, done), "456789");
    ASSERT_TRUE(file->Read(buffer, sizeof buffer, done));
    EXPECT_EQ(done, 0u); // the end
    EXPECT_FALSE(file->Seek(-1));
    EXPECT_EQ(file->LastError(), 131); // ERROR_NEGATIVE_SEEK
    file.reset();

    EXPECT_FALSE(files_.CreateFile(path, ReadWrite, FileShare::None, Disposition::CreateNew, error));
    EXPECT_EQ(error, 80);
    EXPECT_FALSE(files_.CreateFile(folder_ / "absent.dat", FileAccess::GenericRead, FileShare::Read,
                                   Disposition::OpenExisting, error));
    EXPECT_EQ(error, 2);
    EXPECT_FALSE(files_.CreateFile(folder_ / "absent\\caisse.dat", FileAccess::GenericRead, FileShare::Read,
                                   Disposition::OpenExisting, error));
    EXPECT_EQ(error, 3);
    EXPECT_FALSE(files_.CreateFile(folder_.Path(), FileAccess::GenericRead, FileShare::Read,
                                   Disposition::OpenExisting, error));
    EXPECT_EQ(error, 5); // a folder is no file

    ASSERT_TRUE(file = files_.CreateFile(path, FileAccess::GenericWrite, FileShare::None,
                                         Disposition::TruncateExisting, error));
    EXPECT_EQ(file->Size(), 0);
    file.reset();
    EXPECT_TRUE(files_.FileExists(path));
    EXPECT_FALSE(files_.DirectoryExists(path));
    EXPECT_TRUE(files_.DeleteFile(path));
    EXPECT_FALSE(files_.FileExists(path));
    EXPECT_FALSE(files_.DeleteFile(path));
    EXPECT_EQ(files_.LastError(), 2);
}

TEST_F(Win32Files, AFileHeldWithoutSharingIsRefusedWith32) {
    const AnsiString path = folder_ / "Vendora.EXE";
    WriteFile(path, "MZ");
    int error = -1;
    // The running application holds its executable: nobody may open it for reading and writing.
    auto held =
        files_.CreateFile(path, FileAccess::GenericRead, FileShare::Read, Disposition::OpenExisting, error);
    ASSERT_TRUE(held);
    EXPECT_FALSE(files_.CreateFile(path, ReadWrite, FileShare::None, Disposition::OpenExisting, error));
    EXPECT_EQ(error, 32);
    EXPECT_TRUE(files_.CreateFile(path, FileAccess::GenericRead, ShareAll, Disposition::OpenExisting, error));
    EXPECT_FALSE(files_.DeleteFile(path));
    EXPECT_EQ(files_.LastError(), 32);
    held.reset();

    auto exclusive = files_.CreateFile(path, ReadWrite, FileShare::None, Disposition::OpenExisting, error);
    ASSERT_TRUE(exclusive);
    EXPECT_FALSE(
        files_.CreateFile(path, FileAccess::GenericRead, ShareAll, Disposition::OpenExisting, error));
    EXPECT_EQ(error, 32);
    exclusive.reset();
    EXPECT_TRUE(files_.CreateFile(path, ReadWrite, FileShare::None, Disposition::OpenExisting, error));
}

TEST_F(Win32Files, CreateDirectoryAnswersTheCodeThatDecidesTheMode) {
    const AnsiString folder = folder_ / "Vendora";
    EXPECT_EQ(files_.CreateDirectory(folder), 0); // install
    EXPECT_TRUE(files_.DirectoryExists(folder));
    EXPECT_FALSE(files_.FileExists(folder));
    EXPECT_EQ(files_.CreateDirectory(folder), 183); // update
    EXPECT_EQ(files_.CreateDirectory(folder_ / "absent\\MAJ"), 3);
    EXPECT_EQ(files_.CreateDirectory(folder + "\\MAJ"), 0);
}

TEST_F(Win32Files, CopyFileKeepsContentAndLastWriteTimeAndLeavesNoTemporaryFile) {
    const AnsiString from = folder_ / "Vendora.EXE";
    const AnsiString to = folder_ / "ex_Vendora.EXE";
    WriteFile(from, std::string("new\0executable", 14));
    {
        int error = -1;
        auto file = files_.CreateFile(from, FileAccess::GenericWrite, FileShare::None,
                                      Disposition::OpenExisting, error);
        ASSERT_TRUE(file);
        const FileTime stamp = Stamp();
        ASSERT_TRUE(file->SetTimes(nullptr, nullptr, &stamp));
    }
    ASSERT_TRUE(files_.CopyFile(from, to, false));
    EXPECT_EQ(ReadFile(to), std::string("new\0executable", 14));
    EXPECT_EQ(LastWrite(to), Stamp());
    EXPECT_EQ(ReadFile(from), std::string("new\0executable", 14));
    EXPECT_FALSE(LeftOver());

    // An existing destination is replaced whole.
    WriteFile(to, "old executable, longer than the new one");
    ASSERT_TRUE(files_.CopyFile(from, to, false));
    EXPECT_EQ(ReadFile(to), std::string("new\0executable", 14));
    EXPECT_FALSE(LeftOver());
}

TEST_F(Win32Files, AFailedCopyLeavesTheOldDestinationAndNoTemporaryFile) {
    const AnsiString from = folder_ / "install.exe";
    const AnsiString to = folder_ / "copie.exe";
    WriteFile(from, "new");
    WriteFile(to, "old");

    EXPECT_FALSE(files_.CopyFile(from, to, true));
    EXPECT_EQ(files_.LastError(), 80); // ERROR_FILE_EXISTS, as CopyFileA
    EXPECT_EQ(ReadFile(to), "old");
    EXPECT_FALSE(LeftOver());

    EXPECT_FALSE(files_.CopyFile(folder_ / "absent.exe", to, false));
    EXPECT_EQ(files_.LastError(), 2);
    EXPECT_EQ(ReadFile(to), "old");
    EXPECT_FALSE(LeftOver());

    EXPECT_FALSE(files_.CopyFile(from, folder_ / "absent\\copie.exe", false));
    EXPECT_EQ(files_.LastError(), 3);

    EXPECT_TRUE(files_.CopyFile(from, folder_ / "nouveau.exe", true));
    EXPECT_EQ(ReadFile(folder_ / "nouveau.exe"), "new");

    // A destination held open by the running application.
    int error = -1;
    auto held =
        files_.CreateFile(to, FileAccess::GenericRead, FileShare::Read, Disposition::OpenExisting, error);
    ASSERT_TRUE(held);
    EXPECT_FALSE(files_.CopyFile(from, to, false));
    EXPECT_NE(files_.LastError(), 0);
    held.reset();
    EXPECT_EQ(ReadFile(to), "old");
    EXPECT_FALSE(LeftOver());
}

TEST_F(Win32Files, AReadOnlyTemporaryCopyIsRemovedAndOneLeftByACrashIsReplaced) {
    const AnsiString from = folder_ / "Starmath.ttf";
    WriteFile(from, "font");
    ASSERT_TRUE(::SetFileAttributesW(Wide(from).c_str(), FILE_ATTRIBUTE_READONLY));
    // A folder cannot be replaced by a file: the read-only copy made on the way must still go.
    ASSERT_EQ(files_.CreateDirectory(folder_ / "Fonts"), 0);
    EXPECT_FALSE(files_.CopyFile(from, folder_ / "Fonts", false));
    EXPECT_EQ(files_.LastError(), 5);
    EXPECT_TRUE(files_.DirectoryExists(folder_ / "Fonts"));
    EXPECT_FALSE(LeftOver());

    // What a crash left under the temporary name, read-only even, is overwritten by the next copy.
    const AnsiString to = folder_ / "Fonts\\Starmath.ttf";
    const AnsiString temporary = TemporarySibling(to);
    WriteFile(temporary, "half a fo");
    ASSERT_TRUE(::SetFileAttributesW(Wide(temporary).c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(files_.CopyFile(from, to, false));
    EXPECT_EQ(ReadFile(to), "font");
    EXPECT_FALSE(files_.FileExists(temporary));
}

TEST_F(Win32Files, MoveFileReplaceSwapsWholeFilesOnly) {
    const AnsiString from = folder_ / "~NEW.TMP";
    const AnsiString to = folder_ / "Vendora.EXE";
    WriteFile(from, "new");
    WriteFile(to, "old");
    ASSERT_TRUE(files_.MoveFileReplace(from, to));
    EXPECT_EQ(ReadFile(to), "new");
    EXPECT_FALSE(files_.FileExists(from));
    ASSERT_TRUE(files_.MoveFileReplace(to, folder_ / "Vendora2.EXE")); // no destination yet
    EXPECT_EQ(ReadFile(folder_ / "Vendora2.EXE"), "new");
    // Without write-through: the same swap, folders still refused.
    WriteFile(from, "newer");
    ASSERT_TRUE(files_.MoveFileReplaceUnflushed(from, folder_ / "Vendora2.EXE"));
    EXPECT_EQ(ReadFile(folder_ / "Vendora2.EXE"), "newer");
    EXPECT_FALSE(files_.FileExists(from));
    WriteFile(folder_ / "Vendora2.EXE", "new");

    EXPECT_FALSE(files_.MoveFileReplace(folder_ / "absent", to));
    EXPECT_EQ(files_.LastError(), 2);
    ASSERT_EQ(files_.CreateDirectory(folder_ / "MAJ"), 0);
    EXPECT_FALSE(files_.MoveFileReplace(folder_ / "MAJ", folder_ / "MAJ2"));
    EXPECT_EQ(files_.LastError(), 5);
    EXPECT_FALSE(files_.MoveFileReplaceUnflushed(folder_ / "MAJ", folder_ / "MAJ2"));
    EXPECT_EQ(files_.LastError(), 5);
    EXPECT_TRUE(files_.DirectoryExists(folder_ / "MAJ"));
    EXPECT_FALSE(files_.MoveFileReplace(folder_ / "Vendora2.EXE", folder_ / "MAJ"));
    EXPECT_TRUE(files_.DirectoryExists(folder_ / "MAJ"));
    EXPECT_EQ(ReadFile(folder_ / "Vendora2.EXE"), "new");

    // A destination held open by the running application stays, and so does the new file.
    WriteFile(to, "running");
    int error = -1;
    auto held =
        files_.CreateFile(to, FileAccess::GenericRead, FileShare::Read, Disposition::OpenExisting, error);
    ASSERT_TRUE(held);
    EXPECT_FALSE(files_.MoveFileReplace(folder_ / "Vendora2.EXE", to));
    EXPECT_NE(files_.LastError(), 0);
    held.reset();
    EXPECT_EQ(ReadFile(to), "running");
    EXPECT_EQ(ReadFile(folder_ / "Vendora2.EXE"), "new");
}

TEST_F(Win32Files, FlushesReachAWrittenFileAndAFolder) {
    const AnsiString path = folder_ / "~1234567.TMP";
    WriteFile(path, "entry");
    EXPECT_TRUE(files_.FlushFile(path));
    EXPECT_EQ(ReadFile(path), "entry");
    EXPECT_FALSE(files_.FlushFile(folder_ / "absent"));
    EXPECT_EQ(files_.LastError(), 2);
    EXPECT_FALSE(files_.FlushFile(folder_.Path())) << "a folder is no file";
    EXPECT_EQ(files_.LastError(), 5);
    EXPECT_TRUE(files_.FlushFolder(folder_.Path())) << files_.LastError();
    EXPECT_FALSE(files_.FlushFolder(folder_ / "absent"));
    EXPECT_EQ(files_.LastError(), 2);
}

TEST_F(Win32Files, FileTimesKeepTheir100Nanoseconds) {
    const AnsiString path = folder_ / "Vendora.EXE";
    WriteFile(path, "exe");
    int error = -1;
    auto file = files_.CreateFile(path, ReadWrite, FileShare::None, Disposition::OpenExisting, error);
    ASSERT_TRUE(file);
    FileTime creation;
    FileTime access;
    FileTime write;
    ASSERT_TRUE(file->GetTimes(&creation, &access, &write));
    EXPECT_NE(write, Stamp());

    // Three different instants, each with its 100 ns digits.
    const FileTime stamp = Stamp();
    const FileTime accessed = Later(stamp, 10000001);
    const FileTime written = Later(stamp, 20000003);
    ASSERT_TRUE(file->SetTimes(&stamp, &accessed, &written));
    file.reset();
    file =
        files_.CreateFile(path, FileAccess::GenericRead, FileShare::Read, Disposition::OpenExisting, error);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->GetTimes(&creation, &access, &write));
    EXPECT_EQ(write.Ticks(), written.Ticks());
    EXPECT_EQ(access.Ticks(), accessed.Ticks());
    // Wine keeps no creation time of its own: it reports the last-write time.
    EXPECT_EQ(creation.Ticks(), RunningUnderWine() ? written.Ticks() : stamp.Ticks());

    // A null time stays as it is.
    file.reset();
    file =
        files_.CreateFile(path, FileAccess::GenericWrite, FileShare::None, Disposition::OpenExisting, error);
    const FileTime later = Later(stamp, 864000000000ull);
    ASSERT_TRUE(file->SetTimes(nullptr, nullptr, &later));
    ASSERT_TRUE(file->GetTimes(&creation, &access, &write));
    EXPECT_EQ(write, later);
    EXPECT_EQ(access, accessed);
    EXPECT_EQ(creation, RunningUnderWine() ? later : stamp);
}

TEST_F(Win32Files, FindFirstAnswersTheStoredLongName) {
    WriteFile(folder_ / Ansi("Vendora Caisse été.PDF"), "pdf");
    EXPECT_EQ(files_.FindFirst(folder_ / "*.pdf"), AnsiString("Vendora Caisse \xE9t\xE9.PDF"));
    EXPECT_EQ(files_.FindFirst(folder_ / "VENDORA CAISSE \xC9T\xC9.PDF"),
              AnsiString("Vendora Caisse \xE9t\xE9.PDF"));
    EXPECT_FALSE(files_.FindFirst(folder_ / "*.exe"));
    EXPECT_EQ(files_.LastError(), 2);
    EXPECT_FALSE(files_.FindFirst(folder_ / "absent\\*"));
    EXPECT_EQ(files_.LastError(), 3);
}

TEST_F(Win32Files, TheCurrentFolderIsSetAndRead) {
    const AnsiString before = files_.GetCurrentDirectory();
    ASSERT_FALSE(before.empty());
    const AnsiString folder = folder_ / "dossier \xE9t\xE9";
    ASSERT_EQ(files_.CreateDirectory(folder), 0);
    ASSERT_TRUE(files_.SetCurrentDirectory(folder));
    EXPECT_EQ(UpperAscii(files_.GetCurrentDirectory()), UpperAscii(folder));
    // Relative names now land in that folder.
    WriteFile("relatif.txt", "ici");
    EXPECT_TRUE(files_.FileExists(folder + "\\relatif.txt"));
    EXPECT_FALSE(files_.SetCurrentDirectory(folder_ / "absent"));
    EXPECT_EQ(files_.LastError(), 2);
    ASSERT_TRUE(files_.SetCurrentDirectory(before));
    EXPECT_EQ(files_.GetCurrentDirectory(), before);
}

TEST_F(Win32Files, Windows1252NamesReachTheDiskAsTheyAreWhateverTheCodePage) {
    const AnsiString folder = folder_ / Ansi("Données");
    ASSERT_EQ(files_.CreateDirectory(folder), 0);
    WriteFile(folder + Ansi("\\Règlements.QXF"), "forme");
    ASSERT_TRUE(files_.CopyFile(folder + Ansi("\\Règlements.QXF"), folder + Ansi("\\Œuvre € ÿ.QXF"), false));
    ASSERT_TRUE(files_.MoveFileReplace(folder + Ansi("\\Œuvre € ÿ.QXF"), folder + Ansi("\\Déplacé.QXF")));
    EXPECT_EQ(NamesIn(folder_.WidePath()), std::vector<std::wstring>{L"Donn\u00E9es"});
    EXPECT_EQ(NamesIn(folder_.WidePath() + L"\\Donn\u00E9es"),
              (std::vector<std::wstring>{L"D\u00E9plac\u00E9.QXF", L"R\u00E8glements.QXF"}));
    EXPECT_EQ(ReadFile(folder + Ansi("\\Déplacé.QXF")), "forme");
    EXPECT_EQ(files_.FindFirst(folder + "\\R*"), Ansi("Règlements.QXF"));
    EXPECT_TRUE(files_.DeleteFile(folder + Ansi("\\Règlements.QXF")));
    EXPECT_EQ(NamesIn(folder_.WidePath() + L"\\Donn\u00E9es"),
              std::vector<std::wstring>{L"D\u00E9plac\u00E9.QXF"});
}

TEST_F(Win32Files, AFolderThatWindows1252CannotNameIsReachedByTheNameTheSystemGave) {
    // A user's folder on a Russian Windows, given by the system as the current folder.
    const std::wstring foreign = folder_.WidePath() + L"\\\u0418\u0432\u0430\u043D";
    ASSERT_TRUE(::CreateDirectoryW(foreign.c_str(), nullptr));
    const AnsiString before = files_.GetCurrentDirectory();
    ASSERT_TRUE(::SetCurrentDirectoryW(foreign.c_str()));
    const AnsiString seen = files_.GetCurrentDirectory();
    ASSERT_TRUE(files_.SetCurrentDirectory(before));
    EXPECT_EQ(seen, folder_ / "????");

    WriteFile(seen + Ansi("\\Règlements.QXF"), "forme");
    ASSERT_TRUE(files_.CopyFile(seen + Ansi("\\Règlements.QXF"), seen + "\\Copie.QXF", false));
    EXPECT_EQ(NamesIn(foreign), (std::vector<std::wstring>{L"Copie.QXF", L"R\u00E8glements.QXF"}));
    EXPECT_TRUE(files_.DirectoryExists(seen));
    ASSERT_TRUE(files_.SetCurrentDirectory(seen));
    ASSERT_TRUE(files_.SetCurrentDirectory(before));

    // A name found there that Windows-1252 cannot hold opens again after its folder.
    ASSERT_TRUE(
        ::CloseHandle(::CreateFileW((foreign + L"\\\u041E\u0442\u0447\u0451\u0442.txt").c_str(),
                                    GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
    const std::optional<AnsiString> found = files_.FindFirst(seen + "\\*.txt");
    ASSERT_EQ(found, AnsiString("?????.txt"));
    EXPECT_TRUE(files_.FileExists(seen + "\\" + *found));

    // A '?' that no name of the system accounts for is refused as Windows refuses it, and writes nothing.
    int error = -1;
    EXPECT_FALSE(files_.CreateFile(folder_ / "?.QXF", FileAccess::GenericWrite, FileShare::None,
                                   Disposition::CreateNew, error));
    EXPECT_EQ(error, 123); // ERROR_INVALID_NAME
    EXPECT_EQ(NamesIn(folder_.WidePath()), std::vector<std::wstring>{L"\u0418\u0432\u0430\u043D"});
}
