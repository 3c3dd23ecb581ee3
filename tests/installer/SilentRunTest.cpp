// The unattended run in process on a machine held in memory: the switches as the command line gives them,
// and each exit code of a silent run from the failure that causes it, with what the log and the disk say.
#include "archive/ArchiveWriter.h"
#include "base/Cp1252.h"
#include "installer/ExitCodes.h"
#include "installer/Switches.h"
#include "startup/Startup.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vendora::test {
namespace {

using Bytes = MemoryFileSystem::Bytes;

TEST(Switches, AreFoundInAnyPositionAndCaseAndNeverTakeTheArgumentsPlace) {
    InstallerSwitches read =
        ReadSwitches("INSTALL.EXE caisse2 /s /log=C:\\j.log /Wait=5 /D=C:\\Mes Caisses\\V");
    EXPECT_TRUE(read.Silent);
    EXPECT_EQ(read.Log, AnsiString("C:\\j.log"));
    EXPECT_EQ(read.WaitSeconds, 5);
    EXPECT_EQ(read.Folder, AnsiString("C:\\Mes Caisses\\V")) << "an unquoted last /D= keeps its blanks";
    EXPECT_EQ(read.Argument, "caisse2");
    EXPECT_EQ(TargetFolder(read), "C:\\Mes Caisses\\V");
    EXPECT_TRUE(read.Fault.empty());

    read = ReadSwitches("INSTALL.EXE \"/D=C:\\a b\" /X D:\\Caisse /?");
    EXPECT_EQ(read.Folder, AnsiString("C:\\a b"));
    EXPECT_EQ(read.Argument, "/X") << "an unknown switch is an argument as any other";
    EXPECT_TRUE(read.Help);
    EXPECT_FALSE(read.Silent);
    EXPECT_EQ(ReadSwitches("INSTALL.EXE /S D:\\Caisse").Argument, "D:\\Caisse");
    EXPECT_EQ(TargetFolder(ReadSwitches("INSTALL.EXE /S D:\\Caisse")), "D:\\Caisse");
    EXPECT_EQ(ReadSwitches("INSTALL.EXE /LOG").Log, AnsiString());

    for (const char* wrong : {"/WAIT=abc", "/WAIT=-1", "/WAIT=86401", "/D=Caisse", "/LOG="})
        EXPECT_FALSE(ReadSwitches(AnsiString("INSTALL.EXE /S ") + wrong).Fault.empty()) << wrong;
}

class SilentRun : public ::testing::Test {
protected:
    SilentRun() {
        machine.Resources[{"FCC", 1}] = CompressEnvelope(
            BuildInflatedArchive({{"Vendora.EXE", Of("nouvel executable")}, {"Starmath.ttf", Of("police")}}));
        machine.Disk.AddFolder("C:\\Windows\\fonts");
        machine.Disk.AddFolder("C:\\Users\\caisse\\Desktop");
        machine.Disk.AddFolder(machine.Temp);
    }
    static Bytes Of(std::string_view text) { return Bytes(text.begin(), text.end()); }

    void Installed() {
        machine.Disk.AddFile("C:\\Vendora\\Vendora.EXE", "ancien executable");
        machine.Disk.AddFile("C:\\Vendora\\MAJ\\Vendora.FCC", "archive precedente");
    }

    // The program's run as its entry does it, on this machine or another; a silent run must make no window.
    int Run(const AnsiString& switches) { return Run(machine, switches); }
    static int Run(Platform& on, const AnsiString& switches) {
        ProgramRun run(on, "INSTALL.EXE " + switches);
        if (const std::optional<int> code = run.EarlyExit())
            return *code;
        const SharedUnits units(
            on, run.Windows([](PictureCache&) -> RunWindows { throw std::logic_error("a window"); }));
        return run.Run(units);
    }
    std::string Log(const AnsiString& path = "C:\\Users\\caisse\\AppData\\Local\\Temp\\Vendora-install.log") {
        const auto bytes = machine.Disk.Content(path);
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    }
    bool Logged(std::string_view line) { return Log().find(line) != std::string::npos; }

    MemoryPlatform machine;
};

TEST_F(SilentRun, InstallsWithoutWindowsLogsEveryStepInUtf8AndStartsNothing) {
    // A manual in the archive would open in its own window after an install.
    machine.Resources[{"FCC", 1}] =
        CompressEnvelope(BuildInflatedArchive({{"Vendora.EXE", Of("nouvel executable")},
                                               {"Starmath.ttf", Of("police")},
                                               {"Vendora.PDF", Of("manuel")}}));
    machine.Day = 40000 + (13 * 3600 + 60 + 1) / 86400.0;
    EXPECT_EQ(Run("/S"), 0);
    EXPECT_EQ(machine.Disk.Content("C:\\Vendora\\Vendora.EXE"), Of("nouvel executable"));
    EXPECT_TRUE(machine.Programs.empty()) << "neither the manual nor the application";
    for (const char* line : {"\xEF\xBB\xBF"
                             "2009-07-06 13:01:01  Ligne de commande : INSTALL.EXE /S\r\n",
                             "Fichier écrit : C:\\Vendora\\Vendora.EXE (17 octets)",
                             "Fichier écrit : C:\\Vendora\\Starmath.ttf (6 octets)",
                             "Raccourci créé : C:\\Users\\caisse\\Desktop\\Vendora © Morvanel.lnk",
                             "Police copiée", "Fin : code de sortie 0"})
        EXPECT_TRUE(Logged(line)) << line << "\n" << Log();
}

TEST_F(SilentRun, UnderSystemPutsTheShortcutOnTheAllUsersDesktop) {
    machine.System = true;
    EXPECT_EQ(Run("/S /LOG=C:\\deploy.log"), 0);
    ASSERT_EQ(machine.Links.size(), 1u);
    EXPECT_EQ(machine.Links[0].second, Ansi("C:\\Users\\Public\\Desktop\\Vendora © Morvanel.lnk"));
    EXPECT_NE(Log("C:\\deploy.log").find("Compte SYSTEM"), std::string::npos);
    EXPECT_EQ(Log(), "") << "/LOG= takes the place of the temporary folder's log";
}

TEST_F(SilentRun, EachFailureEndsWithItsOwnCode) {
    struct Case {
        const char* Name;
        std::function<void(MemoryPlatform&)> Cause;
        AnsiString Switches;
        ExitCode Expected;
    };
    const std::vector<Case> cases = {
        {"bad switch", [](MemoryPlatform&) {}, "/S /WAIT=soon", ExitCode::CommandLine},
        {"log", [](MemoryPlatform&) {}, "/S /LOG=C:\\absent\\j.log", ExitCode::LogNotWritable},
        {"damaged",
         [](MemoryPlatform& m) {
             m.Resources[{"FCC", 1}][4] = 0x77;
         },
         "/S", ExitCode::DamagedPayload},
        {"disk full", [](MemoryPlatform& m) { m.Disk.FreeBytes = 10; }, "/S", ExitCode::DiskFull},
        {"access",
         [](MemoryPlatform& m) {
             m.Disk.OnCreateFile = [](int, const AnsiString& path) {
                 return path.rfind("C:\\Vendora\\", 0) == 0 ? WinError::AccessDenied : 0;
             };
         },
         "/S", ExitCode::AccessDenied},
        {"shortcut", [](MemoryPlatform& m) { m.LinksSave = false; }, "/S", ExitCode::Error},
    };
    for (const Case& c : cases) {
        MemoryPlatform fresh;
        fresh.Resources = machine.Resources;
        fresh.Disk.AddFolder(fresh.Temp);
        c.Cause(fresh);
        const std::vector<AnsiString> before = fresh.Disk.FilePaths();
        EXPECT_EQ(Run(fresh, c.Switches), static_cast<int>(c.Expected)) << c.Name;
        std::vector<AnsiString> after = fresh.Disk.FilePaths();
        std::erase(after, "C:\\USERS\\CAISSE\\APPDATA\\LOCAL\\TEMP\\VENDORA-INSTALL.LOG");
        const bool nothingWritten = c.Expected != ExitCode::DiskFull &&
                                    c.Expected != ExitCode::AccessDenied && c.Expected != ExitCode::Error;
        EXPECT_TRUE(!nothingWritten || after == before) << c.Name << ": nothing written but the log";
    }
}

TEST_F(SilentRun, AnUpdateWhoseApplicationRunsOnGivesUpAfterWaitAndChangesNothing) {
    Installed();
    machine.Disk.OnCreateFile = [](int, const AnsiString& path) {
        return path == "c:\\Vendora\\Vendora.EXE" ? WinError::SharingViolation : 0;
    };
    machine.Disk.AddFolder(machine.Temp);
    const std::vector<AnsiString> before = machine.Disk.FilePaths();
    EXPECT_EQ(Run("/S /WAIT=2 /LOG=C:\\Users\\caisse\\AppData\\Local\\Temp\\Vendora-install.log"),
              static_cast<int>(ExitCode::StillRunning));
    std::vector<AnsiString> after = machine.Disk.FilePaths();
    std::erase(after, "C:\\USERS\\CAISSE\\APPDATA\\LOCAL\\TEMP\\VENDORA-INSTALL.LOG");
    EXPECT_EQ(after, before);
    EXPECT_EQ(machine.Disk.Content("C:\\Vendora\\MAJ\\Vendora.FCC"), Of("archive precedente"));
    EXPECT_TRUE(Logged("tourne encore après 2 s : rien n'est changé")) << Log();
    EXPECT_GE(machine.Ticks, 2000u);
}

TEST_F(SilentRun, HelpWritesTheUsageToTheLogAndDoesNothingElse) {
    EXPECT_EQ(Run("/S /?"), 0);
    EXPECT_TRUE(Logged("5 : Vendora.EXE tournait encore à la fin de /WAIT=")) << Log();
    EXPECT_FALSE(machine.Disk.Content("C:\\Vendora\\Vendora.FCC").has_value());
}

} // namespace
} // namespace vendora::test
