#pragma once
// What every file system promises the installer, tested once and run on each of them: Windows on the real
// disk (under Wine), the emulated Windows machine of the Linux build, the host's disk of the tools, and the
// memory disk of the tests. A disk type gives the file system, a fresh empty folder in it (an absolute
// Windows path), and the names a folder holds as that disk stores them (UTF-8, sorted). Each platform's test
// program instantiates the suites for its disks; what only some disks do has suites of its own below.

#include "base/Cp1252.h"
#include "platform/Platform.h"
#include "tests/support/WholeFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vendora::test {

inline constexpr std::uint32_t ReadWrite = FileAccess::GenericRead | FileAccess::GenericWrite;
inline constexpr std::uint32_t ShareAll = FileShare::Read | FileShare::Write | FileShare::Delete;

// 2010-06-02 14:47:49.5505328 UTC, the installer's own stamp, with its 100 ns digits.
inline constexpr FileTime Stamp{0x925859B0u, 0x01CB0262u};

inline FileTime Later(FileTime time, std::uint64_t ticks) {
    const std::uint64_t value = time.Ticks() + ticks;
    return FileTime{static_cast<std::uint32_t>(value), static_cast<std::uint32_t>(value >> 32)};
}

template <class Disk> class FileSystemTest : public ::testing::Test {
protected:
    FileSystem& Files() { return disk_.Files(); }
    // A path in the test's folder; names are UTF-8 here, Windows-1252 on the way in.
    AnsiString At(const std::string& name) { return folder_ + "\\" + Ansi(name); }
    std::vector<std::string> Names(const std::string& folder = "") {
        return disk_.NamesIn(folder.empty() ? folder_ : At(folder));
    }

    void WriteFile(const AnsiString& path, const std::string& content) {
        WriteWholeFile(Files(), path, content);
    }
    std::string ReadFile(const AnsiString& path) {
        OpenedFile opened =
            Files().CreateFile(path, FileAccess::GenericRead, FileShare::Read, Disposition::OpenExisting);
        if (!opened)
            return "<error " + std::to_string(opened.Error()) + ">";
        FileHandle& file = **opened;
        std::string content(static_cast<std::size_t>(file.Size()), '\0');
        std::uint32_t done = 0;
        (void)file.Read(content.data(), static_cast<std::uint32_t>(content.size()), done);
        content.resize(done);
        return content;
    }
    void SetLastWrite(const AnsiString& path, FileTime time) {
        OpenedFile file =
            Files().CreateFile(path, FileAccess::GenericWrite, FileShare::None, Disposition::OpenExisting);
        ASSERT_TRUE(file) << "error " << file.Error();
        ASSERT_TRUE((*file)->SetTimes(nullptr, nullptr, &time));
    }
    FileTime LastWrite(const AnsiString& path) {
        auto file = Files()
                        .CreateFile(path, FileAccess::GenericRead, ShareAll, Disposition::OpenExisting)
                        .ValueOr(nullptr);
        FileTime time;
        if (file)
            (void)file->GetTimes(nullptr, nullptr, &time);
        return time;
    }
    // The error a failed CreateFile gives; 0 when it opens.
    int OpenError(const AnsiString& path, std::uint32_t access, Disposition disposition) {
        return Files().CreateFile(path, access, FileShare::Read, disposition).Error();
    }

    Disk disk_;
    AnsiString folder_ = disk_.Folder();
};

template <class Disk> class FileSystemContract : public FileSystemTest<Disk> {};
TYPED_TEST_SUITE_P(FileSystemContract);

TYPED_TEST_P(FileSystemContract, CreateFileWritesReadsSeeksAndAnswersWindowsCodes) {
    const AnsiString path = this->At("caisse.dat");
    auto file =
        this->Files().CreateFile(path, ReadWrite, FileShare::None, Disposition::CreateNew).ValueOr(nullptr);
    ASSERT_TRUE(file);
    std::uint32_t done = 0;
    ASSERT_TRUE(file->Write("0123456789", 10, done));
    EXPECT_EQ(done, 10u);
    EXPECT_EQ(file->Size(), 10);
    ASSERT_TRUE(file->Seek(4));
    char buffer[16] = {};
    ASSERT_TRUE(file->Read(buffer, sizeof buffer, done));
    EXPECT_EQ(std::string(buffer, done), "456789");
    ASSERT_TRUE(file->Read(buffer, sizeof buffer, done));
    EXPECT_EQ(done, 0u) << "the end reads nothing";
    EXPECT_EQ(file->Seek(-1).Error(), WinError::NegativeSeek);
    file.reset();

    EXPECT_EQ(this->OpenError(path, ReadWrite, Disposition::CreateNew), WinError::FileExists);
    EXPECT_EQ(this->OpenError(this->At("absent.dat"), FileAccess::GenericRead, Disposition::OpenExisting),
              WinError::FileNotFound);
    EXPECT_EQ(
        this->OpenError(this->At("absent\\caisse.dat"), FileAccess::GenericWrite, Disposition::CreateAlways),
        WinError::PathNotFound);
    EXPECT_EQ(this->OpenError(this->folder_, FileAccess::GenericRead, Disposition::OpenExisting),
              WinError::AccessDenied)
        << "a folder is no file";

    // OPEN_ALWAYS keeps the content and creates a missing file empty; CREATE_ALWAYS and TRUNCATE_EXISTING
    // empty it.
    ASSERT_TRUE(file = this->Files()
                           .CreateFile(path, ReadWrite, FileShare::None, Disposition::OpenAlways)
                           .ValueOr(nullptr));
    EXPECT_EQ(file->Size(), 10);
    ASSERT_TRUE(file =
                    this->Files()
                        .CreateFile(this->At("made.dat"), ReadWrite, FileShare::None, Disposition::OpenAlways)
                        .ValueOr(nullptr));
    EXPECT_EQ(file->Size(), 0);
    ASSERT_TRUE(file = this->Files()
                           .CreateFile(path, ReadWrite, FileShare::None, Disposition::CreateAlways)
                           .ValueOr(nullptr));
    EXPECT_EQ(file->Size(), 0);
    file.reset();
    this->WriteFile(path, "again");
    ASSERT_TRUE(
        file = this->Files()
                   .CreateFile(path, FileAccess::GenericWrite, FileShare::None, Disposition::TruncateExisting)
                   .ValueOr(nullptr));
    EXPECT_EQ(file->Size(), 0);
    file.reset();
    EXPECT_TRUE(this->Files().FileExists(path));
    EXPECT_FALSE(this->Files().DirectoryExists(path));
    EXPECT_FALSE(this->Files().FileExists(this->folder_));
    EXPECT_TRUE(this->Files().DirectoryExists(this->folder_));
}

TYPED_TEST_P(FileSystemContract, FoldersAndDeletionAnswerTheCodesTheInstallerDecidesOn) {
    FileSystem& files = this->Files();
    const AnsiString folder = this->At("Vendora");
    EXPECT_EQ(files.CreateDirectory(folder).Error(), 0); // install
    EXPECT_TRUE(files.DirectoryExists(folder));
    EXPECT_EQ(files.CreateDirectory(folder).Error(), WinError::AlreadyExists); // update
    EXPECT_EQ(files.CreateDirectory(this->At("absent\\MAJ")).Error(), WinError::PathNotFound);
    EXPECT_EQ(files.CreateDirectory(folder + "\\MAJ").Error(), 0);
    this->WriteFile(this->At("fichier"), "");
    EXPECT_EQ(files.CreateDirectory(this->At("fichier")).Error(), WinError::AlreadyExists);

    EXPECT_TRUE(files.DeleteFile(this->At("fichier")));
    EXPECT_FALSE(files.FileExists(this->At("fichier")));
    EXPECT_EQ(files.DeleteFile(this->At("fichier")).Error(), WinError::FileNotFound);
    EXPECT_EQ(files.DeleteFile(this->At("absent\\fichier")).Error(), WinError::PathNotFound);
    EXPECT_EQ(files.DeleteFile(folder).Error(), WinError::AccessDenied);
    EXPECT_TRUE(files.DirectoryExists(folder));
}

TYPED_TEST_P(FileSystemContract, CopyFileKeepsContentAndLastWriteTimeAndReplacesWhole) {
    const AnsiString from = this->At("Vendora.EXE");
    const AnsiString to = this->At("ex_Vendora.EXE");
    this->WriteFile(from, std::string("new\0executable", 14));
    this->SetLastWrite(from, Stamp);
    ASSERT_TRUE(this->Files().CopyFile(from, to, false));
    EXPECT_EQ(this->ReadFile(to), std::string("new\0executable", 14));
    EXPECT_EQ(this->LastWrite(to), Stamp);
    EXPECT_EQ(this->ReadFile(from), std::string("new\0executable", 14));

    // An existing destination is replaced whole; a new one may be refused to exist.
    this->WriteFile(to, "old executable, longer than the new one");
    ASSERT_TRUE(this->Files().CopyFile(from, to, false));
    EXPECT_EQ(this->ReadFile(to), std::string("new\0executable", 14));
    EXPECT_TRUE(this->Files().CopyFile(from, this->At("nouveau.exe"), true));
    EXPECT_EQ(this->ReadFile(this->At("nouveau.exe")), std::string("new\0executable", 14));
    EXPECT_EQ(this->Names(), (std::vector<std::string>{"Vendora.EXE", "ex_Vendora.EXE", "nouveau.exe"}))
        << "no temporary file is left";
}

TYPED_TEST_P(FileSystemContract, AFailedCopyLeavesTheOldDestinationAndNoTemporaryFile) {
    FileSystem& files = this->Files();
    const AnsiString from = this->At("install.exe");
    const AnsiString to = this->At("copie.exe");
    this->WriteFile(from, "new");
    this->WriteFile(to, "old");
    EXPECT_EQ(files.CopyFile(from, to, true).Error(), WinError::FileExists); // as CopyFileA says it
    EXPECT_EQ(files.CopyFile(this->At("absent.exe"), to, false).Error(), WinError::FileNotFound);
    EXPECT_EQ(files.CopyFile(from, this->At("absent\\copie.exe"), false).Error(), WinError::PathNotFound);
    // A folder cannot be replaced by a file.
    ASSERT_EQ(files.CreateDirectory(this->At("Fonts")).Error(), 0);
    EXPECT_EQ(files.CopyFile(from, this->At("Fonts"), false).Error(), WinError::AccessDenied);
    EXPECT_TRUE(files.DirectoryExists(this->At("Fonts")));
    EXPECT_EQ(this->ReadFile(to), "old");
    EXPECT_EQ(this->Names(), (std::vector<std::string>{"Fonts", "copie.exe", "install.exe"}));
    EXPECT_TRUE(this->Names("Fonts").empty());
}

// A file that carries the name a copy would be written under is itself the source: it is copied, and kept.
TYPED_TEST_P(FileSystemContract, ACopyNeverRemovesItsSource) {
    const AnsiString to = this->At("Vendora.EXE");
    const AnsiString temporary = TemporarySibling(to);
    this->WriteFile(temporary, "a file named like the temporary copy");
    const FileStatus copied = this->Files().CopyFile(temporary, to, false);
    ASSERT_TRUE(copied) << copied.Error();
    EXPECT_EQ(this->ReadFile(to), "a file named like the temporary copy");
    EXPECT_EQ(this->ReadFile(temporary), "a file named like the temporary copy");
    EXPECT_EQ(this->Names(), (std::vector<std::string>{
                                 "Vendora.EXE", AnsiToUtf8(temporary.substr(temporary.rfind('\\') + 1))}));
}

TYPED_TEST_P(FileSystemContract, MoveFileReplaceSwapsWholeFilesOnly) {
    FileSystem& files = this->Files();
    const AnsiString from = this->At("~NEW.TMP");
    const AnsiString to = this->At("Vendora.EXE");
    this->WriteFile(from, "new");
    this->WriteFile(to, "old");
    ASSERT_TRUE(files.MoveFileReplace(from, to));
    EXPECT_EQ(this->ReadFile(to), "new");
    EXPECT_FALSE(files.FileExists(from));
    ASSERT_TRUE(files.MoveFileReplace(to, this->At("Vendora2.EXE"))); // no destination yet
    EXPECT_EQ(this->ReadFile(this->At("Vendora2.EXE")), "new");
    // Without waiting for the disk: the same swap.
    this->WriteFile(from, "newer");
    ASSERT_TRUE(files.MoveFileReplaceUnflushed(from, this->At("Vendora2.EXE")));
    EXPECT_EQ(this->ReadFile(this->At("Vendora2.EXE")), "newer");
    EXPECT_EQ(this->Names(), std::vector<std::string>{"Vendora2.EXE"});

    EXPECT_EQ(files.MoveFileReplace(this->At("absent"), to).Error(), WinError::FileNotFound);
    EXPECT_EQ(files.MoveFileReplace(this->At("Vendora2.EXE"), this->At("absent\\x")).Error(),
              WinError::PathNotFound);
    // Folders are neither moved nor replaced, by either call.
    ASSERT_EQ(files.CreateDirectory(this->At("MAJ")).Error(), 0);
    for (const bool flushed : {true, false}) {
        const auto move = [&](const AnsiString& a, const AnsiString& b) {
            return flushed ? files.MoveFileReplace(a, b) : files.MoveFileReplaceUnflushed(a, b);
        };
        EXPECT_EQ(move(this->At("MAJ"), this->At("MAJ2")).Error(), WinError::AccessDenied);
        EXPECT_EQ(move(this->At("Vendora2.EXE"), this->At("MAJ")).Error(), WinError::AccessDenied);
    }
    EXPECT_EQ(this->Names(), (std::vector<std::string>{"MAJ", "Vendora2.EXE"}));
    EXPECT_EQ(this->ReadFile(this->At("Vendora2.EXE")), "newer");
}

TYPED_TEST_P(FileSystemContract, FlushesReachAWrittenFileAndAFolder) {
    FileSystem& files = this->Files();
    const AnsiString path = this->At("~1234567.TMP");
    this->WriteFile(path, "entry");
    EXPECT_TRUE(files.FlushFile(path));
    EXPECT_EQ(this->ReadFile(path), "entry");
    EXPECT_EQ(files.FlushFile(this->At("absent")).Error(), WinError::FileNotFound);
    EXPECT_EQ(files.FlushFile(this->folder_).Error(), WinError::AccessDenied) << "a folder is no file";
    const FileStatus flushed = files.FlushFolder(this->folder_);
    EXPECT_TRUE(flushed) << flushed.Error();
    EXPECT_EQ(files.FlushFolder(this->At("absent")).Error(), WinError::FileNotFound);
}

TYPED_TEST_P(FileSystemContract, WriteAndAccessTimesKeepTheir100Nanoseconds) {
    const AnsiString path = this->At("Vendora.EXE");
    this->WriteFile(path, "exe");
    auto file = this->Files()
                    .CreateFile(path, ReadWrite, FileShare::None, Disposition::OpenExisting)
                    .ValueOr(nullptr);
    ASSERT_TRUE(file);
    FileTime access;
    FileTime write;
    ASSERT_TRUE(file->GetTimes(nullptr, &access, &write));
    EXPECT_NE(write, Stamp);
    // Two different instants, each with its 100 ns digits.
    const FileTime accessed = Later(Stamp, 10000001);
    const FileTime written = Later(Stamp, 20000003);
    ASSERT_TRUE(file->SetTimes(nullptr, &accessed, &written));
    file.reset();
    ASSERT_TRUE(file =
                    this->Files()
                        .CreateFile(path, FileAccess::GenericRead, FileShare::Read, Disposition::OpenExisting)
                        .ValueOr(nullptr));
    ASSERT_TRUE(file->GetTimes(nullptr, &access, &write));
    EXPECT_EQ(write, written);
    EXPECT_EQ(access, accessed);
    // A null time stays as it is.
    file.reset();
    ASSERT_TRUE(
        file = this->Files()
                   .CreateFile(path, FileAccess::GenericWrite, FileShare::None, Disposition::OpenExisting)
                   .ValueOr(nullptr));
    const FileTime later = Later(Stamp, 864000000000ull);
    ASSERT_TRUE(file->SetTimes(nullptr, nullptr, &later));
    ASSERT_TRUE(file->GetTimes(nullptr, &access, &write));
    EXPECT_EQ(write, later);
    EXPECT_EQ(access, accessed);
}

TYPED_TEST_P(FileSystemContract, FindFirstMatchesAsWindowsDoesAndAnswersTheStoredName) {
    FileSystem& files = this->Files();
    this->WriteFile(this->At("Vendora Caisse été.PDF"), "pdf");
    this->WriteFile(this->At("LISEZMOI"), "");
    this->WriteFile(this->At("a1.txt"), "");
    this->WriteFile(this->At("a[1].txt"), "");
    EXPECT_EQ(files.FindFirst(this->At("*.pdf")), Ansi("Vendora Caisse été.PDF"));
    EXPECT_EQ(files.FindFirst(this->At("v?ndora caisse ÉTÉ.*")), Ansi("Vendora Caisse été.PDF"));
    EXPECT_EQ(files.FindFirst(this->At("Vendora Caisse été.PDF")), Ansi("Vendora Caisse été.PDF"));
    // A final ".*" finds a name without an extension too; '[' stands for itself.
    EXPECT_EQ(files.FindFirst(this->At("lisezmoi.*")), "LISEZMOI");
    EXPECT_EQ(files.FindFirst(this->At("a[1]*")), "a[1].txt");
    EXPECT_EQ(files.FindFirst(this->At("*.exe")).Error(), WinError::FileNotFound);
    EXPECT_EQ(files.FindFirst(this->At("absent.exe")).Error(), WinError::FileNotFound);
    EXPECT_EQ(files.FindFirst(this->At("absent\\*")).Error(), WinError::PathNotFound);
}

TYPED_TEST_P(FileSystemContract, TheCurrentFolderIsSetAndRelativeNamesLandThere) {
    FileSystem& files = this->Files();
    const AnsiString before = files.GetCurrentDirectory();
    ASSERT_FALSE(before.empty());
    const AnsiString folder = this->At("dossier été");
    ASSERT_EQ(files.CreateDirectory(folder).Error(), 0);
    ASSERT_TRUE(files.SetCurrentDirectory(folder));
    this->WriteFile("relatif.txt", "ici");
    const AnsiString current = files.GetCurrentDirectory();
    const bool landed = files.FileExists(folder + "\\relatif.txt");
    const bool named = files.FileExists(current + "\\relatif.txt");
    const int absent = files.SetCurrentDirectory(this->At("absent")).Error();
    const int notFolder = files.SetCurrentDirectory(folder + "\\relatif.txt").Error();
    EXPECT_EQ(files.GetCurrentDirectory(), current);
    ASSERT_TRUE(files.SetCurrentDirectory(before));
    EXPECT_TRUE(landed);
    EXPECT_TRUE(named) << current;
    EXPECT_EQ(absent, WinError::FileNotFound);
    EXPECT_EQ(notFolder, WinError::Directory);
}

TYPED_TEST_P(FileSystemContract, Windows1252NamesReachTheDiskAsTheyAre) {
    FileSystem& files = this->Files();
    const AnsiString folder = this->At("Données");
    ASSERT_EQ(files.CreateDirectory(folder).Error(), 0);
    this->WriteFile(folder + Ansi("\\Règlements.QXF"), "forme");
    ASSERT_TRUE(files.CopyFile(folder + Ansi("\\Règlements.QXF"), folder + Ansi("\\Œuvre € ÿ.QXF"), false));
    ASSERT_TRUE(files.MoveFileReplace(folder + Ansi("\\Œuvre € ÿ.QXF"), folder + Ansi("\\Déplacé.QXF")));
    EXPECT_EQ(this->Names(), std::vector<std::string>{"Données"});
    EXPECT_EQ(this->Names("Données"), (std::vector<std::string>{"Déplacé.QXF", "Règlements.QXF"}));
    EXPECT_EQ(this->ReadFile(folder + Ansi("\\Déplacé.QXF")), "forme");
    EXPECT_EQ(files.FindFirst(folder + "\\R*"), Ansi("Règlements.QXF"));
    EXPECT_TRUE(files.DeleteFile(folder + Ansi("\\Règlements.QXF")));
    EXPECT_EQ(this->Names("Données"), std::vector<std::string>{"Déplacé.QXF"});
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemContract, CreateFileWritesReadsSeeksAndAnswersWindowsCodes,
                            FoldersAndDeletionAnswerTheCodesTheInstallerDecidesOn,
                            CopyFileKeepsContentAndLastWriteTimeAndReplacesWhole,
                            AFailedCopyLeavesTheOldDestinationAndNoTemporaryFile, ACopyNeverRemovesItsSource,
                            MoveFileReplaceSwapsWholeFilesOnly, FlushesReachAWrittenFileAndAFolder,
                            WriteAndAccessTimesKeepTheir100Nanoseconds,
                            FindFirstMatchesAsWindowsDoesAndAnswersTheStoredName,
                            TheCurrentFolderIsSetAndRelativeNamesLandThere,
                            Windows1252NamesReachTheDiskAsTheyAre);

// The disks that write a copy under a temporary name first (all but the memory disk, where no crash can
// leave a part): what a crash left under that name goes with the next copy.
template <class Disk> class TemporaryCopies : public FileSystemTest<Disk> {};
TYPED_TEST_SUITE_P(TemporaryCopies);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(TemporaryCopies);

TYPED_TEST_P(TemporaryCopies, ACopyReplacesWhatACrashLeft) {
    const AnsiString to = this->At("Vendora.EXE");
    this->WriteFile(this->At("new.exe"), "new");
    this->WriteFile(TemporarySibling(to), "half a copy from a crash");
    ASSERT_TRUE(this->Files().CopyFile(this->At("new.exe"), to, false));
    EXPECT_EQ(this->ReadFile(to), "new");
    EXPECT_EQ(this->Names(), (std::vector<std::string>{"Vendora.EXE", "new.exe"}));
    // failIfExists still refuses, and leaves nothing behind.
    this->WriteFile(TemporarySibling(to), "half a copy from a crash");
    EXPECT_EQ(this->Files().CopyFile(this->At("new.exe"), to, true).Error(), WinError::FileExists);
    EXPECT_EQ(this->Names(), (std::vector<std::string>{"Vendora.EXE", "new.exe"}));
}

REGISTER_TYPED_TEST_SUITE_P(TemporaryCopies, ACopyReplacesWhatACrashLeft);

// The disks that compare names without regard to letter case, as Windows does (not the host's disk).
template <class Disk> class CaseBlindNames : public FileSystemTest<Disk> {};
TYPED_TEST_SUITE_P(CaseBlindNames);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CaseBlindNames);

TYPED_TEST_P(CaseBlindNames, EverySpellingReachesTheFileWhichKeepsItsOwn) {
    FileSystem& files = this->Files();
    ASSERT_EQ(files.CreateDirectory(this->At("Vendora")).Error(), 0);
    this->WriteFile(this->At("Vendora\\Vendora.EXE"), "v1");
    EXPECT_TRUE(files.FileExists(this->At("VENDORA\\vendora.exe")));
    EXPECT_TRUE(files.DirectoryExists(this->At("vendora")));
    EXPECT_EQ(files.FindFirst(this->At("vendora\\VENDORA.EXE")), "Vendora.EXE");
    this->WriteFile(this->At("vendora\\vendora.exe"), "v2");
    EXPECT_EQ(this->ReadFile(this->At("Vendora\\Vendora.EXE")), "v2");
    EXPECT_EQ(this->Names("Vendora"), std::vector<std::string>{"Vendora.EXE"});
    EXPECT_EQ(files.CreateDirectory(this->At("VENDORA")).Error(), WinError::AlreadyExists);
    // Over the whole of Windows-1252, accents and ligatures included.
    this->WriteFile(this->At("Œuvre été.PDF"), "pdf");
    EXPECT_TRUE(files.FileExists(this->At("œUVRE ÉTÉ.pdf")));
    EXPECT_EQ(files.FindFirst(this->At("ŒUVRE ÉTÉ.PDF")), Ansi("Œuvre été.PDF"));
    EXPECT_FALSE(files.FileExists(this->At("Oeuvre ete.PDF")));
}

REGISTER_TYPED_TEST_SUITE_P(CaseBlindNames, EverySpellingReachesTheFileWhichKeepsItsOwn);

// The disks that keep Windows' sharing modes between open handles (Windows itself, the emulated machine).
template <class Disk> class SharingModes : public FileSystemTest<Disk> {};
TYPED_TEST_SUITE_P(SharingModes);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SharingModes);

TYPED_TEST_P(SharingModes, AFileHeldWithoutSharingIsRefusedWith32) {
    FileSystem& files = this->Files();
    const AnsiString path = this->At("Vendora.EXE");
    this->WriteFile(path, "MZ");
    // The running application holds its executable: nobody may open it for writing, nor delete it.
    auto held = files.CreateFile(path, FileAccess::GenericRead, FileShare::Read, Disposition::OpenExisting)
                    .ValueOr(nullptr);
    ASSERT_TRUE(held);
    EXPECT_EQ(files.CreateFile(path, ReadWrite, FileShare::Read | FileShare::Write, Disposition::OpenExisting)
                  .Error(),
              WinError::SharingViolation);
    EXPECT_TRUE(files.CreateFile(path, FileAccess::GenericRead, ShareAll, Disposition::OpenExisting));
    // A second reader that does not share reading conflicts with the first.
    EXPECT_EQ(
        files.CreateFile(path, FileAccess::GenericRead, FileShare::None, Disposition::OpenExisting).Error(),
        WinError::SharingViolation);
    // A refused CREATE_ALWAYS leaves the content alone.
    EXPECT_FALSE(
        files.CreateFile(path, FileAccess::GenericWrite, FileShare::Read, Disposition::CreateAlways));
    EXPECT_EQ(files.DeleteFile(path).Error(), WinError::SharingViolation);
    EXPECT_EQ(files.MoveFileReplace(path, this->At("ailleurs.exe")).Error(), WinError::SharingViolation);
    held.reset();
    EXPECT_EQ(this->ReadFile(path), "MZ");

    auto exclusive =
        files.CreateFile(path, ReadWrite, FileShare::None, Disposition::OpenExisting).ValueOr(nullptr);
    ASSERT_TRUE(exclusive);
    EXPECT_EQ(files.CreateFile(path, FileAccess::GenericRead, ShareAll, Disposition::OpenExisting).Error(),
              WinError::SharingViolation);
    exclusive.reset();
    // Closed: the wait's open (reading and writing) now succeeds, and so does the deletion.
    EXPECT_TRUE(
        files.CreateFile(path, ReadWrite, FileShare::Read | FileShare::Write, Disposition::OpenExisting));
    EXPECT_TRUE(files.DeleteFile(path));
}

TYPED_TEST_P(SharingModes, AHeldDestinationIsNeitherCopiedOverNorReplaced) {
    FileSystem& files = this->Files();
    const AnsiString to = this->At("Vendora.EXE");
    this->WriteFile(to, "running");
    this->WriteFile(this->At("new.exe"), "new");
    auto held = files.CreateFile(to, FileAccess::GenericRead, FileShare::Read, Disposition::OpenExisting)
                    .ValueOr(nullptr);
    ASSERT_TRUE(held);
    EXPECT_NE(files.CopyFile(this->At("new.exe"), to, false).Error(), 0);
    EXPECT_NE(files.MoveFileReplace(this->At("new.exe"), to).Error(), 0);
    held.reset();
    EXPECT_EQ(this->ReadFile(to), "running");
    EXPECT_EQ(this->Names(), (std::vector<std::string>{"Vendora.EXE", "new.exe"}));
    EXPECT_TRUE(files.MoveFileReplace(this->At("new.exe"), to));
    EXPECT_EQ(this->ReadFile(to), "new");
}

REGISTER_TYPED_TEST_SUITE_P(SharingModes, AFileHeldWithoutSharingIsRefusedWith32,
                            AHeldDestinationIsNeitherCopiedOverNorReplaced);

// The disks whose space a test can take away (not Windows under Wine): a copy that finds the disk full
// leaves the old destination whole, and succeeds once there is room.
template <class Disk> class FullDisk : public FileSystemTest<Disk> {};
TYPED_TEST_SUITE_P(FullDisk);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FullDisk);

TYPED_TEST_P(FullDisk, AFailedCopyLeavesTheOldDestinationWhole) {
    const std::string big(200000, 'n');
    this->WriteFile(this->At("new.exe"), big);
    this->WriteFile(this->At("Vendora.EXE"), "the old executable");
    {
        const auto limit = this->disk_.LimitWrites(70000);
        EXPECT_NE(this->Files().CopyFile(this->At("new.exe"), this->At("Vendora.EXE"), false).Error(), 0);
    }
    EXPECT_EQ(this->ReadFile(this->At("Vendora.EXE")), "the old executable");
    EXPECT_EQ(this->Names(), (std::vector<std::string>{"Vendora.EXE", "new.exe"}));
    ASSERT_TRUE(this->Files().CopyFile(this->At("new.exe"), this->At("Vendora.EXE"), false));
    EXPECT_EQ(this->ReadFile(this->At("Vendora.EXE")), big);
}

REGISTER_TYPED_TEST_SUITE_P(FullDisk, AFailedCopyLeavesTheOldDestinationWhole);

} // namespace vendora::test
