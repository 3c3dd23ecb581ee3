// The emulated machine's files: the contract of every file system (under both resolutions of paths
// inside the root), and what only this machine does: its drives and folders on the host, its name rules,
// the current folder it starts in, permissions, and creation times kept beside the files.
#include "TempRoot.h"

#include "platform/linux/BoundedPath.h"
#include "platform/posix/PosixFile.h"
#include "tests/platform/FileSystemContract.h"
#include "tests/support/FileSizeLimit.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace vendora;
using vendora::test::TempRoot;

namespace vendora::test {
namespace {

// A machine of its own for each test, paths resolved inside its root with openat2 or, as on kernels
// without it, by a walk that follows no link.
template <bool Openat2> class EmulatedDisk {
public:
    EmulatedDisk() : base_(NewScratchFolder()), machine_(NewMachine(base_, base_ + "/shell.log")) {
        UseOpenat2ForResolution(Openat2);
        machine_->Files().CreateDirectory("C:\\Essai");
    }
    ~EmulatedDisk() {
        UseOpenat2ForResolution(true);
        machine_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(base_, ignored);
    }
    EmulatedDisk(const EmulatedDisk&) = delete;
    EmulatedDisk& operator=(const EmulatedDisk&) = delete;

    FileSystem& Files() { return machine_->Files(); }
    AnsiString Folder() const { return "C:\\Essai"; }
    std::vector<std::string> NamesIn(const AnsiString& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(*machine_->Files().HostPathOf(folder)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::shared_ptr<FileSizeLimit> LimitWrites(std::uint64_t bytes) {
        return std::make_shared<FileSizeLimit>(bytes);
    }

private:
    std::string base_;
    std::unique_ptr<LinuxPlatform> machine_;
};

using EmulatedDisks = ::testing::Types<EmulatedDisk<true>, EmulatedDisk<false>>;
INSTANTIATE_TYPED_TEST_SUITE_P(Emulated, FileSystemContract, EmulatedDisks);
INSTANTIATE_TYPED_TEST_SUITE_P(Emulated, TemporaryCopies, EmulatedDisks);
INSTANTIATE_TYPED_TEST_SUITE_P(Emulated, CaseBlindNames, EmulatedDisks);
INSTANTIATE_TYPED_TEST_SUITE_P(Emulated, SharingModes, EmulatedDisks);
INSTANTIATE_TYPED_TEST_SUITE_P(Emulated, FullDisk, EmulatedDisks);

} // namespace
} // namespace vendora::test

namespace {

bool HostExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

class EmulatedFiles : public TempRoot {};

} // namespace

TEST_F(EmulatedFiles, NewMachineHasDriveCAndTheUsersDesktop) {
    EXPECT_TRUE(std::filesystem::is_directory(DriveC()));
    EXPECT_TRUE(std::filesystem::is_directory(DriveC("Users/tester/Desktop")));
    EXPECT_TRUE(Files().DirectoryExists("C:\\Users\\tester\\Desktop"));
    EXPECT_EQ(Files().GetCurrentDirectory(), "C:\\");
}

TEST_F(EmulatedFiles, ComponentsResolveWithoutRegardToCaseAndNewNamesKeepTheirs) {
    ASSERT_EQ(Files().CreateDirectory("C:\\Vendora").Error(), 0);
    WriteFile("C:\\Vendora\\Vendora.EXE", "v1");
    EXPECT_TRUE(HostExists(DriveC("Vendora/Vendora.EXE")));
    EXPECT_TRUE(Files().FileExists("C:/vendora/VENDORA.Exe"));
    EXPECT_FALSE(Files().DirectoryExists("c:\\vendora\\vendora.exe"));

    // Folder and file created below an existing folder with another spelling keep their own case.
    ASSERT_EQ(Files().CreateDirectory("c:\\VENDORA\\MAJ").Error(), 0);
    WriteFile("c:\\vendora\\maj\\Lisez-Moi.TXT", "x");
    EXPECT_TRUE(HostExists(DriveC("Vendora/MAJ/Lisez-Moi.TXT")));
    EXPECT_EQ(Files().CreateDirectory("C:\\Vendora\\maj").Error(), 183);
}

TEST_F(EmulatedFiles, AnExactMatchWinsOverOtherSpellingsThatLinuxAllows) {
    std::filesystem::create_directories(DriveC("Data"));
    WriteHostFile(DriveC("Data/readme.txt"), "lower");
    WriteHostFile(DriveC("Data/README.txt"), "upper");
    EXPECT_EQ(Files().HostPathOf("C:\\Data\\README.txt"), DriveC("Data/README.txt"));
    EXPECT_EQ(Files().HostPathOf("C:\\Data\\readme.txt"), DriveC("Data/readme.txt"));
    // Neither spelled as asked: the first in NTFS order (capitals first at equal folding).
    EXPECT_EQ(Files().HostPathOf("C:\\data\\Readme.TXT"), DriveC("Data/README.txt"));
}

TEST_F(EmulatedFiles, ANameMadeOnTheLinuxSideIsFoundInItsWindows1252Form) {
    // Accents folded, as for the names the machine made itself.
    std::filesystem::create_directories(DriveC("Images"));
    WriteHostFile(DriveC("Images/coché.jpg"), "jpeg");
    EXPECT_TRUE(Files().FileExists(Ansi("C:\\images\\COCHÉ.JPG")));
    EXPECT_EQ(Files().FindFirst(Ansi("C:\\Images\\COCH?.jpg")), Ansi("coché.jpg"));
}

TEST_F(EmulatedFiles, RelativePathsFollowTheCurrentFolder) {
    ASSERT_EQ(Files().CreateDirectory("Vendora").Error(), 0); // relative to C:\ at start
    EXPECT_TRUE(HostExists(DriveC("Vendora")));
    ASSERT_TRUE(Files().SetCurrentDirectory("c:\\vendora"));
    EXPECT_EQ(Files().GetCurrentDirectory(), "C:\\vendora");
    WriteFile("Oui.BMP", "bmp");
    EXPECT_TRUE(Files().FileExists("..\\Vendora\\oui.bmp"));
    EXPECT_TRUE(Files().FileExists("c:oui.bmp"));
    // A path without drive starts at the current drive's root.
    EXPECT_TRUE(Files().DirectoryExists("\\Users"));
}

TEST_F(EmulatedFiles, TheHostFolderInsideTheRootGivesTheStartingFolder) {
    std::filesystem::create_directories(DriveC("Vendora/MAJ"));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(DriveC("Vendora/MAJ"));
    EmulatedFileSystem files(Os().Machine());
    std::filesystem::current_path(previous);
    EXPECT_EQ(files.GetCurrentDirectory(), "C:\\Vendora\\MAJ");
}

TEST_F(EmulatedFiles, DriveLettersMapToFoldersAndZIsTheHostRoot) {
    EXPECT_EQ(Files().CreateDirectory("D:\\Caisse").Error(), 3); // no drive D: yet
    EXPECT_FALSE(Files().FileExists("D:\\x"));
    std::filesystem::create_directories(root_ + "/drive_d");
    EXPECT_EQ(Files().CreateDirectory("d:\\Caisse").Error(), 0);
    EXPECT_TRUE(HostExists(root_ + "/drive_d/Caisse"));
    EXPECT_TRUE(Files().DirectoryExists("D:\\"));

    // Z: is the host's "/", found without regard to case as well.
    AnsiString hostRoot = "Z:" + Utf8ToAnsi(root_);
    std::replace(hostRoot.begin(), hostRoot.end(), '/', '\\');
    EXPECT_TRUE(Files().DirectoryExists(hostRoot + "\\DRIVE_D\\caisse"));
    EXPECT_TRUE(Files().DirectoryExists("Z:\\"));

    EXPECT_EQ(
        Files()
            .CreateFile("\\\\server\\share\\a.txt", FileAccess::GenericRead, 0, Disposition::OpenExisting)
            .Error(),
        53);
    EXPECT_EQ(Files().CreateDirectory("\\\\server\\share\\x").Error(), 53);
}

TEST_F(EmulatedFiles, CreateDirectoryResultCodes) {
    EXPECT_EQ(Files().CreateDirectory("C:\\Vendora").Error(), 0);
    EXPECT_EQ(Files().CreateDirectory("c:\\VENDORA\\").Error(), 183);
    WriteFile("C:\\Vendora\\file", "");
    EXPECT_EQ(Files().CreateDirectory("C:\\Vendora\\FILE").Error(), 183); // a file of that name
    EXPECT_EQ(Files().CreateDirectory("C:\\Vendora\\file\\sub").Error(), 3);
    EXPECT_EQ(Files().CreateDirectory("C:\\").Error(), 5);
    EXPECT_EQ(Files().CreateDirectory("C:\\a?b").Error(), 123);
}

TEST_F(EmulatedFiles, CopyFileKeepsTheDestinationsNameAndTheSourcesPermissions) {
    WriteHostFile(DriveC("new.exe"), "#!/bin/sh\necho new\n");
    ::chmod(DriveC("new.exe").c_str(), 0755);
    const FileTime stamp{0x925859B0u, 0x01CB0262u};
    {
        auto source = Files()
                          .CreateFile("C:\\new.exe", FileAccess::GenericWrite, FileShare::Read,
                                      Disposition::OpenExisting)
                          .ValueOr(nullptr);
        ASSERT_TRUE(source);
        ASSERT_TRUE(source->SetTimes(nullptr, nullptr, &stamp));
    }
    WriteFile("C:\\old.exe", "old content, longer than the new one");
    ASSERT_TRUE(Files().CopyFile("c:\\NEW.EXE", "C:\\OLD.exe", false));
    EXPECT_EQ(ReadHostFile(DriveC("old.exe")), "#!/bin/sh\necho new\n");
    EXPECT_FALSE(HostExists(DriveC("OLD.exe")));
    struct stat info {};
    ASSERT_EQ(::stat(DriveC("old.exe").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0755u);
    EXPECT_EQ(FileTimeFromTimespec(info.st_mtim), stamp);
    // A file copied onto itself is refused and kept whole, as Windows does.
    EXPECT_EQ(Files().CopyFile("C:\\new.exe", "c:\\NEW.exe", false).Error(), 32);
    EXPECT_EQ(ReadHostFile(DriveC("new.exe")), "#!/bin/sh\necho new\n");
}

TEST_F(EmulatedFiles, FindFirstMatchesInNtfsOrderWithTheDotEntries) {
    ASSERT_EQ(Files().CreateDirectory("C:\\Vendora").Error(), 0);
    WriteFile("C:\\Vendora\\b.exe", "");
    WriteFile("C:\\Vendora\\A.EXE", "");
    WriteFile("C:\\Vendora\\c.txt", "");
    EXPECT_EQ(Files().FindFirst("C:\\Vendora\\*.exe"), "A.EXE");
    EXPECT_EQ(Files().FindFirst("C:\\Vendora\\*.TXT"), "c.txt");
    EXPECT_EQ(Files().FindFirst("C:\\Vendora\\*"), ".");
    EXPECT_EQ(Files().FindFirst("C:\\*"), "Users"); // no dot entries at a drive root
    EXPECT_EQ(Files().FindFirst("C:\\Vendora\\*.pdf").Error(), 2);
    EXPECT_EQ(Files().FindFirst("C:\\Absent\\*.pdf").Error(), 3);
    EXPECT_EQ(Files().FindFirst("c:\\vendora"), "Vendora");
}

TEST_F(EmulatedFiles, FileTimesRoundTripWithTheirHundredNanoseconds) {
    WriteFile("C:\\Vendora.EXE", "exe");
    const FileTime stamp{0x925859B0u, 0x01CB0262u}; // 2010-06-02 14:47:49.5505328 UTC
    const FileTime created{0x12345677u, 0x01C00000u};
    const FileTime accessed{0x00000001u, 0x01D00000u};
    {
        auto file = Files()
                        .CreateFile("C:\\Vendora.EXE", FileAccess::GenericRead | FileAccess::GenericWrite,
                                    FileShare::Read, Disposition::OpenAlways)
                        .ValueOr(nullptr);
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->SetTimes(&created, &accessed, &stamp));
    }
    struct stat info {};
    ASSERT_EQ(::stat(DriveC("Vendora.EXE").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_nsec, 550532800); // .5505328 s
    EXPECT_EQ(FileTimeFromTimespec(info.st_mtim), stamp);
    EXPECT_EQ(FileTimeFromTimespec(info.st_atim), accessed);

    auto file = Files()
                    .CreateFile("c:\\vendora.exe", FileAccess::GenericRead, FileShare::Read,
                                Disposition::OpenExisting)
                    .ValueOr(nullptr);
    ASSERT_TRUE(file);
    FileTime creation, access, write;
    ASSERT_TRUE(file->GetTimes(&creation, &access, &write));
    EXPECT_EQ(creation, created);
    EXPECT_EQ(access, accessed);
    EXPECT_EQ(write, stamp);
    auto facts = Files().Facts("C:\\VENDORA.EXE");
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->Creation, created);
    EXPECT_EQ(facts->Size, 3u);
    EXPECT_EQ(facts->Attributes, 0x20u);

    // Null pointers leave a time as it is.
    const FileTime later{stamp.Low, stamp.High + 1};
    ASSERT_TRUE(file->SetTimes(nullptr, nullptr, &later));
    ASSERT_TRUE(file->GetTimes(&creation, &access, &write));
    EXPECT_EQ(creation, created);
    EXPECT_EQ(access, accessed);
    EXPECT_EQ(write, later);

    // Without the stored creation time the file's own (birth or change) time stands in.
    ASSERT_EQ(::removexattr(DriveC("Vendora.EXE").c_str(), CreationTimeAttribute), 0);
    ASSERT_TRUE(file->GetTimes(&creation, nullptr, nullptr));
    EXPECT_NE(creation, created);
    EXPECT_GT(creation.Ticks(), later.Ticks());
}
