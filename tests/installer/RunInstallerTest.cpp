// The install and update sequence run in process against a machine held in memory, one test per way the
// sequence can go wrong or end: what it shows, what it leaves on the disk and what it starts.
#include "installer/Installer.h"

#include "archive/ArchiveWriter.h"
#include "archive/ExtractionUi.h"
#include "base/Errors.h"
#include "dialogs/Attente.h"
#include "installer/FileStamp.h"
#include "installer/InstallerTexts.h"
#include "startup/Startup.h"
#include "tests/support/MemoryPlatform.h"
#include "tests/support/RecordingExtractionUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace vendora::test {
namespace {

using Bytes = MemoryFileSystem::Bytes;

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// The windows of the run: each question is answered from a list (the first button when the list is
// empty would hide a question the test did not expect, so an empty list answers "Non"); every message
// and error box is written down, in a record that outlives the windows.
struct Conversation {
    std::deque<int> Answers;
    std::vector<AnsiString> Titles;
    std::vector<AnsiString> Errors;
};

class AnsweringDialogs : public DialogBackend {
public:
    explicit AnsweringDialogs(Conversation& conversation) : conversation_(conversation) {}
    int ShowHtmlMessage(const AnsiString& title, const AnsiString&, const AnsiString&, TColor) override {
        conversation_.Titles.push_back(title);
        if (conversation_.Answers.empty())
            return 2;
        const int answer = conversation_.Answers.front();
        conversation_.Answers.pop_front();
        return answer;
    }
    std::unique_ptr<TAttente> CreateAttente() override { return std::make_unique<TAttente>(); }
    bool ProcessOneMessage() override { return false; }
    void ShowErrorBox(const AnsiString&, const AnsiString& text) override {
        conversation_.Errors.push_back(text);
    }

private:
    Conversation& conversation_;
};

AnsiString TitleOf(InstallerMessage message) {
    return InstallerMessageTexts(message).Title;
}

class Sequence : public ::testing::Test {
protected:
    static constexpr int Oui = 1;
    static constexpr int Non = 2;

    Sequence() {
        machine.Resources[{"FCC", 1}] = CompressEnvelope(BuildInflatedArchive({
            {"Vendora.EXE", BytesOf("nouvel executable")},
            {"Starmath.ttf", BytesOf("police")},
            {"Lisez-moi.txt", BytesOf("notes de version")},
        }));
        machine.Disk.AddFolder("C:\\Windows\\fonts");
        machine.Disk.AddFolder("C:\\Users\\caisse\\Desktop");
    }

    // An installed Vendora: its executable, its font and an archive of an earlier update.
    void Installed() {
        machine.Disk.AddFile("C:\\Vendora\\Vendora.EXE", BytesOf("ancien executable"));
        machine.Disk.AddFile("C:\\Vendora\\Starmath.ttf", BytesOf("police"));
        machine.Disk.AddFile("C:\\Windows\\fonts\\Starmath.ttf", BytesOf("police"));
        machine.Disk.AddFile("C:\\Vendora\\MAJ\\Vendora.FCC", BytesOf("archive precedente"));
    }

    // The program's run with its windows in place, handed the machine, the windows and a log that writes
    // nothing; its exit code.
    int Run(const AnsiString& commandLine, std::initializer_list<int> answers) {
        said.Answers.assign(answers);
        auto owned = std::make_unique<AnsweringDialogs>(said);
        auto progress = std::make_unique<test::RecordingExtractionUi>();
        SharedUnits units(machine, [&](PictureCache&) {
            return RunWindows{std::move(owned), std::move(progress)};
        });
        InstallLog none;
        const InstallerHost host{machine, units.DialogWindows(), units.ProgressWindow(), none};
        return RunSequence(units.DialogWindows(), [&] { RunInstaller(ReadSwitches(commandLine), host); });
    }

    std::optional<Bytes> Content(const AnsiString& path) const { return machine.Disk.Content(path); }
    bool Exists(const AnsiString& path) const { return Content(path).has_value(); }
    // No file beside the archive but the ones that belong there.
    std::vector<AnsiString> FilesUnder(const AnsiString& folder) const {
        std::vector<AnsiString> found;
        for (const AnsiString& path : machine.Disk.FilePaths())
            if (path.rfind(folder + "\\", 0) == 0)
                found.push_back(path.substr(folder.size() + 1));
        return found;
    }

    MemoryPlatform machine;
    Conversation said;
};

TEST_F(Sequence, AMissingArchiveResourceEndsTheRunWithAnErrorBeforeAnythingIsWritten) {
    machine.Resources.clear();
    EXPECT_EQ(Run("INSTALL.EXE", {Oui}), 1);
    ASSERT_EQ(said.Errors.size(), 1u);
    EXPECT_NE(said.Errors[0].find("ressource FCC 1 absente"), AnsiString::npos);
    EXPECT_EQ(FilesUnder("C:\\VENDORA"), std::vector<AnsiString>{});
    EXPECT_TRUE(machine.Links.empty());
    EXPECT_TRUE(machine.Programs.empty());
}

TEST_F(Sequence, AnArchiveThatCannotBeCreatedEndsTheRunWithTheSystemsError) {
    machine.Disk.OnCreateFile = [](int, const AnsiString& path) {
        return path.rfind("C:\\Vendora\\", 0) == 0 ? WinError::AccessDenied : 0;
    };
    EXPECT_EQ(Run("INSTALL.EXE", {Oui}), 1);
    EXPECT_EQ(said.Errors, std::vector<AnsiString>{EInOutError(WinError::AccessDenied).Message()});
    EXPECT_EQ(FilesUnder("C:\\VENDORA"), std::vector<AnsiString>{});
    EXPECT_TRUE(machine.Links.empty());
}

TEST_F(Sequence, AFullDiskWhileWritingTheArchiveKeepsTheEarlierArchiveWholeAndLeavesNoPart) {
    Installed();
    machine.Disk.FreeBytes = 10;
    EXPECT_EQ(Run("INSTALL.EXE", {Oui}), 1);
    EXPECT_EQ(said.Errors, std::vector<AnsiString>{EInOutError(IoCode::DiskFull).Message()});
    EXPECT_EQ(Content("C:\\Vendora\\MAJ\\Vendora.FCC"), BytesOf("archive precedente"));
    EXPECT_EQ(FilesUnder("C:\\VENDORA\\MAJ"), std::vector<AnsiString>{"VENDORA.FCC"});
    EXPECT_EQ(Content("C:\\Vendora\\Vendora.EXE"), BytesOf("ancien executable"));
}

TEST_F(Sequence, AnExtractionThatFailsBeforeItsRenamesLeavesEveryEarlierFileAndNoTemporaryOne) {
    Installed();
    for (const char* name : {"Vendora.EXE", "Starmath.ttf", "Lisez-moi.txt"})
        machine.Disk.AddFile(AnsiString("C:\\Vendora\\MAJ\\") + name, BytesOf("version precedente"));
    const AnsiString last = TemporarySibling("C:\\Vendora\\MAJ\\Lisez-moi.txt");
    std::vector<std::string> calls;
    machine.Disk.OnChange = [&](const std::string& call, const AnsiString& path, const AnsiString&) {
        calls.push_back(call);
        return call == "flush" && path == last ? WinError::AccessDenied : 0;
    };
    EXPECT_EQ(Run("INSTALL.EXE", {Oui}), 1);
    EXPECT_EQ(said.Errors, std::vector<AnsiString>{EInOutError(WinError::AccessDenied).Message()});
    for (const char* name : {"Vendora.EXE", "Starmath.ttf", "Lisez-moi.txt"})
        EXPECT_EQ(Content(AnsiString("C:\\Vendora\\MAJ\\") + name), BytesOf("version precedente")) << name;
    EXPECT_EQ(FilesUnder("C:\\VENDORA\\MAJ"),
              (std::vector<AnsiString>{"LISEZ-MOI.TXT", "STARMATH.TTF", "VENDORA.EXE", "VENDORA.FCC"}));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "flush"), 3)
        << "the entries are flushed before any rename";
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "move unflushed"), 0) << "no entry renamed";
    EXPECT_EQ(Content("C:\\Vendora\\Vendora.EXE"), BytesOf("ancien executable"));
}

TEST_F(Sequence, AFailedBackupIsReportedAndEndsTheRunWithTheOldExecutableInPlace) {
    Installed();
    machine.Disk.OnChange = [](const std::string& call, const AnsiString&, const AnsiString& to) {
        return call == "copy" && to == "C:\\Vendora\\ex_Vendora.EXE" ? WinError::AccessDenied : 0;
    };
    EXPECT_EQ(Run("INSTALL.EXE", {Oui}), 0);
    EXPECT_EQ(said.Titles, (std::vector<AnsiString>{TitleOf(InstallerMessage::UpdatePrompt),
                                                    TitleOf(InstallerMessage::BackupFailureReport)}));
    EXPECT_EQ(Content("C:\\Vendora\\Vendora.EXE"), BytesOf("ancien executable"));
    EXPECT_EQ(Content("C:\\Vendora\\MAJ\\Vendora.EXE"), BytesOf("nouvel executable"));
    EXPECT_TRUE(machine.Programs.empty());
    EXPECT_TRUE(said.Errors.empty());
}

TEST_F(Sequence, AFailedReplacementIsReportedAndEndsTheRunAfterTheBackup) {
    Installed();
    machine.Disk.OnChange = [](const std::string& call, const AnsiString&, const AnsiString& to) {
        return call == "copy" && to == "C:\\Vendora\\Vendora.EXE" ? WinError::SharingViolation : 0;
    };
    EXPECT_EQ(Run("INSTALL.EXE", {Oui}), 0);
    EXPECT_EQ(said.Titles, (std::vector<AnsiString>{TitleOf(InstallerMessage::UpdatePrompt),
                                                    TitleOf(InstallerMessage::CopyFailureReport)}));
    EXPECT_EQ(Content("C:\\Vendora\\ex_Vendora.EXE"), BytesOf("ancien executable"));
    EXPECT_EQ(Content("C:\\Vendora\\Vendora.EXE"), BytesOf("ancien executable"));
    EXPECT_TRUE(machine.Programs.empty());
}

TEST_F(Sequence, AnUpdateAnsweredOuiReplacesTheExecutableStampsItAndStartsTheApplication) {
    Installed();
    EXPECT_EQ(Run("INSTALL.EXE", {Oui, Oui}), 0);
    EXPECT_EQ(said.Titles, (std::vector<AnsiString>{TitleOf(InstallerMessage::UpdatePrompt),
                                                    TitleOf(InstallerMessage::UpdateCompletePrompt)}));
    EXPECT_EQ(Content("C:\\Vendora\\Vendora.EXE"), BytesOf("nouvel executable"));
    EXPECT_EQ(Content("C:\\Vendora\\ex_Vendora.EXE"), BytesOf("ancien executable"));
    EXPECT_EQ(FilesUnder("C:\\VENDORA\\MAJ"),
              (std::vector<AnsiString>{"LISEZ-MOI.TXT", "STARMATH.TTF", "VENDORA.EXE", "VENDORA.FCC"}));
    const auto times = machine.Disk.TimesOf("C:\\Vendora\\Vendora.EXE");
    ASSERT_TRUE(times.has_value());
    EXPECT_EQ(times->Creation, FixedFileTime);
    EXPECT_EQ(times->LastWrite, FixedFileTime);
    EXPECT_EQ(machine.Programs,
              (std::vector<MemoryPlatform::Started>{{"c:\\Vendora\\Vendora.EXE", "", "c:\\Vendora", 1}}));
    EXPECT_EQ(machine.Disk.GetCurrentDirectory(), "c:\\Vendora");
}

TEST_F(Sequence, AnArgumentWithoutAColonInstallsIntoTheDefaultFolderAndReachesTheApplication) {
    machine.Disk.AddFile(machine.Module, BytesOf("programme d'installation"));
    EXPECT_EQ(Run("INSTALL.EXE caisse2", {Oui, Oui}), 0);
    EXPECT_EQ(said.Titles, (std::vector<AnsiString>{TitleOf(InstallerMessage::InstallPrompt),
                                                    TitleOf(InstallerMessage::InstallCompletePrompt)}));
    EXPECT_EQ(Content("C:\\Vendora\\Vendora.EXE"), BytesOf("nouvel executable"));
    EXPECT_EQ(Content("C:\\Windows\\fonts\\Starmath.ttf"), BytesOf("police"));
    EXPECT_FALSE(Exists("C:\\Vendora\\MAJ\\Vendora.FCC"));
    EXPECT_EQ(Content("c:\\Vendora\\install.exe"), BytesOf("programme d'installation"));
    ASSERT_EQ(machine.Links.size(), 1u);
    EXPECT_EQ(machine.Links[0].first.Path, "c:\\Vendora\\Vendora.EXE");
    EXPECT_EQ(machine.Programs, (std::vector<MemoryPlatform::Started>{
                                    {"c:\\Vendora\\Vendora.EXE", "caisse2", "c:\\Vendora", 1}}));
}

TEST_F(Sequence, AFailedCopyOfTheInstallerItselfIsIgnored) {
    machine.Disk.OnChange = [](const std::string& call, const AnsiString&, const AnsiString& to) {
        return call == "copy" && to == "c:\\Vendora\\install.exe" ? WinError::SharingViolation : 0;
    };
    machine.Disk.AddFile(machine.Module, BytesOf("programme d'installation"));
    EXPECT_EQ(Run("INSTALL.EXE", {Oui, Oui}), 0);
    EXPECT_FALSE(Exists("c:\\Vendora\\install.exe"));
    EXPECT_EQ(said.Titles, (std::vector<AnsiString>{TitleOf(InstallerMessage::InstallPrompt),
                                                    TitleOf(InstallerMessage::InstallCompletePrompt)}));
    EXPECT_EQ(machine.Programs.size(), 1u);
    EXPECT_TRUE(said.Errors.empty());
}

TEST_F(Sequence, ARefusedQuestionEndsTheRunBeforeAnythingIsWritten) {
    Installed();
    const std::vector<AnsiString> before = machine.Disk.FilePaths();
    EXPECT_EQ(Run("INSTALL.EXE", {Non}), 0);
    EXPECT_EQ(said.Titles, std::vector<AnsiString>{TitleOf(InstallerMessage::UpdatePrompt)});
    EXPECT_EQ(machine.Disk.FilePaths(), before);
    EXPECT_EQ(Content("C:\\Vendora\\MAJ\\Vendora.FCC"), BytesOf("archive precedente"));
}

} // namespace
} // namespace vendora::test
