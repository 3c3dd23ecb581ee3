// The installer as a hostile user and a careless command line would have it: symbolic links planted in the
// machine never make it write outside the root, and a target folder too long for the archive's path is
// refused before anything is written.

#include "base/Cp1252.h"
#include "platform/Platform.h"
#include "tests/e2e/Machine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

using namespace vendora::e2e;

namespace {

const std::vector<std::string> Answers = {"key Return", "char n"};
const std::string AccessError = "error title=\"Erreur d'application\" text=\"Accès au fichier refusé\"";

struct Outside {
    std::string Content;
    mode_t Mode = 0;
    std::vector<std::string> Files;
    friend bool operator==(const Outside&, const Outside&) = default;
};

// A machine with Vendora installed, an old executable to update, and a folder outside its root holding a
// sentinel file that no run may change.
class PlantedLinks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(machine.Run({}, Answers).ExitCode, 0);
        WriteFile(machine.Host("drive_c/Vendora/vendora.exe"), OldExecutable);
        outside_ = machine.Root().parent_path() / "outside";
        WriteFile(outside_ / "sentinel", "outside the machine");
        ::chmod((outside_ / "sentinel").c_str(), 0640);
        before_ = Look();
    }
    Outside Look() const {
        struct stat info {};
        ::stat((outside_ / "sentinel").c_str(), &info);
        return {ReadFile(outside_ / "sentinel"), info.st_mode, FilesBelow(outside_)};
    }
    void ExpectOutsideUntouched() const {
        const Outside now = Look();
        EXPECT_EQ(now.Content, before_.Content);
        EXPECT_EQ(now.Mode, before_.Mode);
        EXPECT_EQ(now.Files, before_.Files);
    }
    void Plant(const std::string& below, const fs::path& target) {
        fs::remove_all(machine.Host(below));
        fs::create_symlink(target, machine.Host(below));
    }
    std::string Executable() const { return ReadFile(machine.Host("drive_c/Vendora/vendora.exe")); }

    const std::string OldExecutable = "the old executable";
    Machine machine;
    fs::path outside_;
    Outside before_;
};

TEST_F(PlantedLinks, TheUpdateFolderLinkedOutsideReceivesNothing) {
    Plant("drive_c/Vendora/MAJ", outside_);
    const RunResult run = machine.Run({}, Answers);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(Records(run, "error "), std::vector<std::string>{AccessError});
    ExpectOutsideUntouched();
    EXPECT_EQ(Executable(), OldExecutable);
    EXPECT_TRUE(FilesBelow(outside_) == std::vector<std::string>{"sentinel"});
}

TEST_F(PlantedLinks, AnEntryLinkedOutsideIsNotWrittenThrough) {
    fs::create_directories(machine.Host("drive_c/Vendora/MAJ"));
    Plant("drive_c/Vendora/MAJ/Caisse.QXF", outside_ / "sentinel");
    const RunResult run = machine.Run({}, Answers);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(Records(run, "error "), std::vector<std::string>{AccessError});
    ExpectOutsideUntouched();
    EXPECT_EQ(Executable(), OldExecutable);
}

TEST_F(PlantedLinks, ABackupLinkedOutsideFailsTheBackupAndKeepsTheExecutable) {
    Plant("drive_c/Vendora/ex_Vendora.EXE", outside_ / "sentinel");
    const RunResult run = machine.Run({}, Answers);
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    const auto reports = Records(run, "message title=\"Mise à jour Vendora.exe © morvanel\"");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("La copie de sauvegarde à échoué"), std::string::npos);
    ExpectOutsideUntouched();
    EXPECT_EQ(Executable(), OldExecutable);
}

TEST_F(PlantedLinks, TheInstallerCopyLinkedOutsideIsSkippedAndTheUpdateCompletes) {
    Plant("drive_c/Vendora/install.exe", outside_ / "sentinel");
    const RunResult run = machine.Run({}, Answers);
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    ExpectOutsideUntouched();
    EXPECT_TRUE(fs::is_symlink(machine.Host("drive_c/Vendora/install.exe")));
    EXPECT_EQ(ReadFile(machine.Host("drive_c/Vendora/ex_Vendora.EXE")), OldExecutable);
    EXPECT_TRUE(Executable() == ReadFile(BinFolder() / "vendora_demo_app"));
}

// Links outside at the names a run's files are staged under, in the folder of each file.
void PlantAtTemporaryNames(const Machine& machine, const fs::path& target,
                           const std::vector<const char*>& files) {
    for (const char* file : files) {
        std::string host = vendora::AnsiToUtf8(vendora::TemporarySibling(file)).substr(3);
        std::replace(host.begin(), host.end(), '\\', '/');
        if (!fs::is_symlink(machine.Host("drive_c/" + host)))
            fs::create_symlink(target, machine.Host("drive_c/" + host));
    }
}

TEST_F(PlantedLinks, LinksAtTheInstallersTemporaryNamesAreRemovedNotFollowed) {
    fs::create_directories(machine.Host("drive_c/Vendora/MAJ"));
    PlantAtTemporaryNames(machine, outside_ / "sentinel",
                          {"C:\\Vendora\\Vendora.EXE", "C:\\Vendora\\ex_Vendora.EXE",
                           "C:\\Vendora\\install.exe", "C:\\Vendora\\MAJ\\Vendora.FCC"});
    const RunResult run = machine.Run({}, Answers);
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    ExpectOutsideUntouched();
    EXPECT_TRUE(Executable() == ReadFile(BinFolder() / "vendora_demo_app"));
}

TEST_F(PlantedLinks, LinksAtTheExtractionsTemporaryNamesLeadNowhere) {
    fs::create_directories(machine.Host("drive_c/Vendora/MAJ"));
    PlantAtTemporaryNames(
        machine, outside_ / "sentinel",
        {"C:\\Vendora\\MAJ\\Vendora.CTN", "C:\\Vendora\\MAJ\\vendora.exe", "C:\\Vendora\\MAJ\\Caisse.QXF"});
    const RunResult run = machine.Run({}, Answers);
    ExpectOutsideUntouched();
    // Either the extraction stepped over the links or it stopped at them; the executable is whole.
    const std::string executable = Executable();
    EXPECT_TRUE(executable == OldExecutable || executable == ReadFile(BinFolder() / "vendora_demo_app"))
        << "exit " << run.ExitCode;
}

// A target whose archive path would be longer than a path can be: refused with the French error, nothing
// written anywhere.
TEST(LongTarget, IsRefusedBeforeAnythingIsWritten) {
    Machine machine;
    const std::string folder(241, 'A'); // "C:\" + 241 + "\Vendora.FCC" = 256 characters
    const auto before = FilesBelow(machine.Host("drive_c"));
    const RunResult run = machine.Run({"C:\\" + folder}, Answers);
    EXPECT_EQ(run.ExitCode, 1);
    ASSERT_FALSE(run.Transcript.empty());
    EXPECT_NE(run.Transcript.back().find("Le dossier d'installation est trop long"), std::string::npos)
        << run.Transcript.back();
    EXPECT_NE(run.Transcript.back().find("dépasse 255 caractères"), std::string::npos);
    EXPECT_TRUE(Records(run, "message").empty()) << "asked a question it could not carry out";
    EXPECT_EQ(FilesBelow(machine.Host("drive_c")), before);
    EXPECT_FALSE(fs::exists(machine.Host("drive_c/" + folder)));
    EXPECT_FALSE(fs::exists(machine.Host("drive_c/Vendora")));
}

TEST(LongTarget, AnUpdateWhoseArchivePathDoesNotFitIsRefusedToo) {
    Machine machine;
    // 240 characters: the install's archive path would fit (252), the update's in MAJ would not (256).
    const std::string folder(237, 'B');
    fs::create_directories(machine.Host("drive_c/" + folder));
    const auto before = FilesBelow(machine.Host("drive_c"));
    const RunResult run = machine.Run({"C:\\" + folder}, Answers);
    EXPECT_EQ(run.ExitCode, 1);
    ASSERT_FALSE(run.Transcript.empty());
    EXPECT_NE(run.Transcript.back().find("trop long"), std::string::npos) << run.Transcript.back();
    EXPECT_EQ(FilesBelow(machine.Host("drive_c")), before);
    EXPECT_FALSE(fs::exists(machine.Host("drive_c/" + folder + "/MAJ")));
}

TEST(LongTarget, TheLongestTargetThatFitsInstallsThere) {
    Machine machine;
    const std::string folder(240, 'C'); // exactly 255 characters of archive path
    // The font report comes too: its source lies in C:\Vendora, which this machine does not have.
    const RunResult run = machine.Run({"C:\\" + folder}, {"key Return", "key Return", "char n"});
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    const auto files = FilesBelow(machine.Host("drive_c/" + folder));
    EXPECT_EQ(files.size(), 15u);
    EXPECT_TRUE(std::count(files.begin(), files.end(), "Vendora.FCC") == 1);
    EXPECT_TRUE(std::count(files.begin(), files.end(), "Fournisseurs.QXF") == 1);
}

} // namespace
