// Symbolic links planted inside the emulated machine never make it act on a file outside its root, under
// either resolution (openat2, and the O_NOFOLLOW walk of kernels without it).

#include "TempRoot.h"

#include "platform/linux/BoundedPath.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace vendora;
using vendora::test::TempRoot;

namespace {

constexpr int AccessDenied = 5;

struct Snapshot {
    std::string Content;
    mode_t Mode = 0;
    timespec Modified{};
    friend bool operator==(const Snapshot& a, const Snapshot& b) {
        return a.Content == b.Content && a.Mode == b.Mode && a.Modified.tv_sec == b.Modified.tv_sec &&
               a.Modified.tv_nsec == b.Modified.tv_nsec;
    }
};

enum class Resolution { Openat2, NoFollowWalk };

class ContainedFiles : public TempRoot, public ::testing::WithParamInterface<Resolution> {
protected:
    void SetUp() override {
        TempRoot::SetUp();
        UseOpenat2ForResolution(GetParam() == Resolution::Openat2);
        outside_ = base_ + "/outside";
        std::filesystem::create_directories(outside_);
        WriteHostFile(Outside("sentinel"), "outside, never to change");
        ::chmod(Outside("sentinel").c_str(), 0640);
        std::filesystem::create_directories(DriveC("Vendora"));
        WriteHostFile(DriveC("Vendora/new.exe"), "#!/bin/sh\necho new\n");
        ::chmod(DriveC("Vendora/new.exe").c_str(), 0755);
        before_ = Take(Outside("sentinel"));
    }
    void TearDown() override {
        UseOpenat2ForResolution(true);
        TempRoot::TearDown();
    }

    std::string Outside(const std::string& name) const { return outside_ + "/" + name; }
    static Snapshot Take(const std::string& path) {
        Snapshot snapshot{ReadHostFile(path)};
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0) {
            snapshot.Mode = info.st_mode;
            snapshot.Modified = info.st_mtim;
        }
        return snapshot;
    }
    void ExpectOutsideUntouched() {
        EXPECT_TRUE(Take(Outside("sentinel")) == before_) << "the file outside the root changed";
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(outside_))
            ++entries;
        EXPECT_EQ(entries, 1u) << "a file appeared outside the root";
    }

    std::string outside_;
    Snapshot before_;
};

TEST_P(ContainedFiles, AFileLinkLeadingOutCannotBeOpenedStampedCopiedOverOrDeleted) {
    std::filesystem::create_symlink(Outside("sentinel"), DriveC("Vendora/ex_Vendora.EXE"));
    for (const Disposition disposition : {Disposition::CreateAlways, Disposition::OpenAlways,
                                          Disposition::OpenExisting, Disposition::TruncateExisting}) {
        EXPECT_EQ(Files()
                      .CreateFile("C:\\Vendora\\ex_Vendora.EXE", FileAccess::GenericWrite, FileShare::None,
                                  disposition)
                      .Error(),
                  AccessDenied);
    }
    // Reading through it is refused as well: the path lies outside the machine.
    EXPECT_EQ(Files()
                  .CreateFile("C:\\Vendora\\ex_Vendora.EXE", FileAccess::GenericRead, FileShare::Read,
                              Disposition::OpenExisting)
                  .Error(),
              AccessDenied);
    EXPECT_FALSE(Files().FileExists("C:\\Vendora\\ex_Vendora.EXE"));

    EXPECT_EQ(Files().CopyFile("C:\\Vendora\\new.exe", "C:\\Vendora\\ex_Vendora.EXE", false).Error(),
              AccessDenied);
    EXPECT_EQ(Files().CopyFile("C:\\Vendora\\ex_Vendora.EXE", "C:\\Vendora\\copy.exe", false).Error(),
              AccessDenied);
    EXPECT_EQ(Files().MoveFileReplace("C:\\Vendora\\new.exe", "C:\\Vendora\\ex_Vendora.EXE").Error(),
              AccessDenied);
    EXPECT_EQ(Files().MoveFileReplaceUnflushed("C:\\Vendora\\new.exe", "C:\\Vendora\\ex_Vendora.EXE").Error(),
              AccessDenied);
    EXPECT_EQ(Files().FlushFile("C:\\Vendora\\ex_Vendora.EXE").Error(), AccessDenied);
    EXPECT_TRUE(std::filesystem::is_symlink(DriveC("Vendora/ex_Vendora.EXE")));
    EXPECT_EQ(ReadHostFile(DriveC("Vendora/new.exe")), "#!/bin/sh\necho new\n");
    EXPECT_FALSE(std::filesystem::exists(DriveC("Vendora/copy.exe")));
    // Deleting it removes the link itself, as Windows deletes a symbolic link, and not what it points to.
    EXPECT_TRUE(Files().DeleteFile("C:\\Vendora\\ex_Vendora.EXE"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(DriveC("Vendora/ex_Vendora.EXE"))));
    ExpectOutsideUntouched();
}

TEST_P(ContainedFiles, AFolderLinkLeadingOutCannotReceiveFilesOrFolders) {
    std::filesystem::create_directory_symlink(outside_, DriveC("Vendora/MAJ"));
    // The folder exists (as the link), so creating it reports 183 as Windows would.
    EXPECT_EQ(Files().CreateDirectory("C:\\Vendora\\MAJ").Error(), 183);
    EXPECT_EQ(Files().CreateDirectory("C:\\Vendora\\MAJ\\Sous").Error(), AccessDenied);
    EXPECT_EQ(Files()
                  .CreateFile("C:\\Vendora\\MAJ\\Vendora.FCC", FileAccess::GenericWrite, FileShare::None,
                              Disposition::CreateAlways)
                  .Error(),
              AccessDenied);
    EXPECT_EQ(Files()
                  .CreateFile("C:\\Vendora\\MAJ\\sentinel", FileAccess::GenericWrite, FileShare::None,
                              Disposition::OpenExisting)
                  .Error(),
              AccessDenied);
    EXPECT_EQ(Files().CopyFile("C:\\Vendora\\new.exe", "C:\\Vendora\\MAJ\\Vendora.EXE", false).Error(),
              AccessDenied);
    EXPECT_EQ(Files().CopyFile("C:\\Vendora\\MAJ\\sentinel", "C:\\Vendora\\copy", false).Error(),
              AccessDenied);
    EXPECT_EQ(Files().MoveFileReplace("C:\\Vendora\\new.exe", "C:\\Vendora\\MAJ\\sentinel").Error(),
              AccessDenied);
    EXPECT_EQ(Files().MoveFileReplaceUnflushed("C:\\Vendora\\new.exe", "C:\\Vendora\\MAJ\\sentinel").Error(),
              AccessDenied);
    EXPECT_EQ(Files().DeleteFile("C:\\Vendora\\MAJ\\sentinel").Error(), AccessDenied);
    EXPECT_EQ(Files().FlushFile("C:\\Vendora\\MAJ\\sentinel").Error(), AccessDenied);
    EXPECT_EQ(Files().FlushFolder("C:\\Vendora\\MAJ").Error(), AccessDenied);
    EXPECT_FALSE(Files().FileExists("C:\\Vendora\\MAJ\\sentinel"));
    EXPECT_TRUE(std::filesystem::exists(DriveC("Vendora/new.exe")));
    ExpectOutsideUntouched();
}

TEST_P(ContainedFiles, ADanglingLinkLeadingOutIsNotCreatedThrough) {
    std::filesystem::create_symlink(Outside("created"), DriveC("Vendora/install.exe"));
    EXPECT_NE(Files()
                  .CreateFile("C:\\Vendora\\install.exe", FileAccess::GenericWrite, FileShare::None,
                              Disposition::CreateAlways)
                  .Error(),
              0);
    EXPECT_FALSE(Files().CopyFile("C:\\Vendora\\new.exe", "C:\\Vendora\\install.exe", false));
    ExpectOutsideUntouched();
}

TEST_P(ContainedFiles, AStampThroughAHandleStaysOnTheFileInside) {
    // A link planted between the checks cannot redirect a handle already open.
    auto file =
        Files()
            .CreateFile("C:\\Vendora\\Vendora.EXE", FileAccess::GenericRead | FileAccess::GenericWrite,
                        FileShare::Read, Disposition::OpenAlways)
            .ValueOr(nullptr);
    ASSERT_TRUE(file);
    std::filesystem::remove(DriveC("Vendora/Vendora.EXE"));
    std::filesystem::create_symlink(Outside("sentinel"), DriveC("Vendora/Vendora.EXE"));
    const FileTime stamp{0x925859B0u, 0x01CB0262u};
    EXPECT_TRUE(file->SetTimes(&stamp, &stamp, &stamp));
    file.reset();
    EXPECT_EQ(Files()
                  .CreateFile("C:\\Vendora\\Vendora.EXE", FileAccess::GenericRead | FileAccess::GenericWrite,
                              FileShare::Read, Disposition::OpenAlways)
                  .Error(),
              AccessDenied);
    ExpectOutsideUntouched();
}

TEST_P(ContainedFiles, LinksThatStayInsideWorkWithOpenat2AndAreRefusedByTheWalk) {
    std::filesystem::create_directories(DriveC("Data"));
    std::filesystem::create_directory_symlink("../Data", DriveC("Vendora/Lien"));
    const OpenedFile file = Files().CreateFile("C:\\Vendora\\Lien\\a.txt", FileAccess::GenericWrite,
                                               FileShare::None, Disposition::CreateAlways);
    if (GetParam() == Resolution::Openat2) {
        EXPECT_TRUE(file) << file.Error();
        EXPECT_TRUE(std::filesystem::exists(DriveC("Data/a.txt")));
    } else {
        EXPECT_EQ(file.Error(), AccessDenied);
    }
    // An absolute link is refused even when it points inside: the root may be moved.
    std::filesystem::create_directory_symlink(DriveC("Data"), DriveC("Vendora/Absolu"));
    EXPECT_EQ(Files()
                  .CreateFile("C:\\Vendora\\Absolu\\b.txt", FileAccess::GenericWrite, FileShare::None,
                              Disposition::CreateAlways)
                  .Error(),
              AccessDenied);
    ExpectOutsideUntouched();
}

TEST_P(ContainedFiles, DriveZStaysTheWholeHostDisk) {
    // The user names Z: on purpose; links there are the host's business.
    std::filesystem::create_symlink(Outside("sentinel"), base_ + "/lien");
    const AnsiString viaZ = "Z:" + Utf8ToAnsi(base_) + "\\lien";
    AnsiString path = viaZ;
    std::replace(path.begin(), path.end(), '/', '\\');
    EXPECT_TRUE(Files().FileExists(path));
    const FileStatus copied = Files().CopyFile(path, "C:\\Vendora\\copie", false);
    ASSERT_TRUE(copied) << copied.Error();
    EXPECT_EQ(ReadHostFile(DriveC("Vendora/copie")), "outside, never to change");
    ExpectOutsideUntouched();
}

INSTANTIATE_TEST_SUITE_P(BothResolutions, ContainedFiles,
                         ::testing::Values(Resolution::Openat2, Resolution::NoFollowWalk),
                         [](const auto& info) {
                             return info.param == Resolution::Openat2 ? "Openat2" : "NoFollowWalk";
                         });

class Replacement : public TempRoot {};

// The file replaced keeps the name it has on the disk, whatever spelling the call used; a new name is the
// caller's.
TEST_F(Replacement, MoveFileReplaceKeepsTheStoredSpelling) {
    std::filesystem::create_directories(DriveC("Vendora/MAJ"));
    WriteHostFile(DriveC("Vendora/Vendora.EXE"), "old");
    WriteHostFile(DriveC("Vendora/MAJ/vendora.exe"), "new");
    ASSERT_TRUE(Files().MoveFileReplace("C:\\Vendora\\MAJ\\VENDORA.EXE", "c:\\vendora\\vendora.exe"));
    EXPECT_EQ(ReadHostFile(DriveC("Vendora/Vendora.EXE")), "new");
    EXPECT_FALSE(std::filesystem::exists(DriveC("Vendora/MAJ/vendora.exe")));
    WriteHostFile(DriveC("Vendora/a.tmp"), "a");
    ASSERT_TRUE(Files().MoveFileReplaceUnflushed("C:\\Vendora\\A.TMP", "C:\\Vendora\\Nouveau.TXT"));
    EXPECT_EQ(ReadHostFile(DriveC("Vendora/Nouveau.TXT")), "a");
}

} // namespace
