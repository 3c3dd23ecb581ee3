#include "base/Cp1252.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/ShellLinkFile.h"
#include "tests/e2e/Machine.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace vendora;
using namespace vendora::e2e;

namespace {

// What the demo archive holds.
const std::vector<std::string> DemoEntries = {
    "Articles.QXF", "Caisse.QXF",       "Clients.QXF", "Colonnes.qxc",   "Etiquettes.LP",
    "Fond.bmp",     "Fournisseurs.QXF", "Logo.BMP",    "Règlements.QXF", "StarMath.ttf",
    "Tickets.LP",   "Vendora.jpg",      "Ventes.QXF",  "vendora.exe"};

const std::string InstallTitle = "message title=\"Installation de Vendora.exe © morvanel\"";
const std::string UpdateTitle = "message title=\"Mise à jour de Vendora.exe © morvanel\"";
const std::string UpdateDoneTitle = "message title=\"Mise à jour Vendora.exe © morvanel\"";
const std::string FontTitle = "message title=\"C:\\\\Vendora\\\\Starmath.ttf\"";
const std::string Shortcut = "drive_c/Users/vendora/Desktop/Vendora © Morvanel.lnk";
constexpr std::uint64_t FixedTicks = (std::uint64_t{0x01CB0262} << 32) | 0x925859B0;

std::vector<std::string> With(std::vector<std::string> names, const std::vector<std::string>& more) {
    names.insert(names.end(), more.begin(), more.end());
    std::sort(names.begin(), names.end());
    return names;
}

// Titles of the messages a run showed, in order, as their transcript records begin.
std::vector<std::string> MessageTitles(const RunResult& run) {
    std::vector<std::string> titles;
    for (const std::string& record : Records(run, "message "))
        titles.push_back(record.substr(0, record.find("\" ") + 1));
    return titles;
}

struct Times {
    std::uint64_t Creation = 0, LastAccess = 0, LastWrite = 0;
};

Times TimesOf(const Machine& machine, const AnsiString& path) {
    LinuxPlatform platform({machine.Root().string(), "vendora", ""});
    auto file = platform.Files()
                    .CreateFile(path, FileAccess::GenericRead, FileShare::Read | FileShare::Write,
                                Disposition::OpenExisting)
                    .ValueOr(nullptr);
    if (!file)
        throw std::runtime_error("cannot open " + AnsiToUtf8(path));
    FileTime c, a, w;
    file->GetTimes(&c, &a, &w);
    return {c.Ticks(), a.Ticks(), w.Ticks()};
}

void ExpectStamped(const Machine& machine) {
    const Times times = TimesOf(machine, "C:\\Vendora\\Vendora.EXE");
    EXPECT_EQ(times.Creation, FixedTicks);
    EXPECT_EQ(times.LastAccess, FixedTicks);
    EXPECT_EQ(times.LastWrite, FixedTicks);
}

std::string DemoExecutable() {
    return ReadFile(BinFolder() / "vendora_demo_app");
}

} // namespace

TEST(Install, FirstInstallPutsEverythingInPlace) {
    Machine machine;
    const RunResult run = machine.Run();
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_EQ(MessageTitles(run), (std::vector<std::string>{InstallTitle, InstallTitle}));
    EXPECT_EQ(Records(run, "answer").size(), 2u);
    EXPECT_EQ(FilesBelow(machine.Host("drive_c/Vendora")), With(DemoEntries, {"Vendora.FCC", "install.exe"}));
    EXPECT_TRUE(ReadFile(machine.Host("drive_c/Vendora/install.exe")) == ReadFile(BinFolder() / "INSTALL"));
    EXPECT_TRUE(ReadFile(machine.Host("drive_c/Windows/Fonts/Starmath.ttf")) ==
                ReadFile(machine.Host("drive_c/Vendora/StarMath.ttf")));
    EXPECT_TRUE(fs::exists(machine.Host(Shortcut)));
    // The progress window named the intermediate file and went through every entry.
    EXPECT_EQ(Records(run, "progress caption"),
              (std::vector<std::string>{
                  "progress caption text=\"Déconcaténation de C:\\\\Vendora\\\\Vendora.CTN\""}));
    EXPECT_EQ(Records(run, "progress position").back(), "progress position value=100");
    EXPECT_TRUE(Records(run, "attente").empty());
    // No manual in the demo archive: only the application is started, without argument.
    ASSERT_EQ(run.ShellLog.size(), 1u);
    EXPECT_EQ(run.ShellLog[0].substr(0, run.ShellLog[0].rfind('\t')),
              "c:\\Vendora\\Vendora.EXE\t\tc:\\Vendora");
    // The extracted program must run as a Windows .EXE would; the shell log's last field is the result.
    EXPECT_NE(machine.WaitForOutput("Vendora started").find("Vendora started without argument"),
              std::string::npos)
        << "shell log: " << run.ShellLog[0];
}

TEST(Install, ExecutableGetsTheFixedTimes) {
    Machine machine;
    ASSERT_EQ(machine.Run({}, {"key Return", "char n"}).ExitCode, 0);
    ExpectStamped(machine);
}

TEST(Install, UpdateKeepsTheOldExecutableAndReplacesIt) {
    Machine machine;
    ASSERT_EQ(machine.Run({}, {"key Return", "key Escape"}).ExitCode, 0);
    const std::string old = "old executable";
    WriteFile(machine.Host("drive_c/Vendora/vendora.exe"), old);
    const RunResult run = machine.Run({}, {"key Return", "char n"});
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_EQ(MessageTitles(run), (std::vector<std::string>{UpdateTitle, UpdateDoneTitle}));
    EXPECT_EQ(FilesBelow(machine.Host("drive_c/Vendora/MAJ")), With(DemoEntries, {"Vendora.FCC"}));
    ExpectStamped(machine); // before reading it changes its access time
    EXPECT_EQ(ReadFile(machine.Host("drive_c/Vendora/ex_Vendora.EXE")), old);
    // The replacement keeps the name the file already had on disk.
    EXPECT_TRUE(ReadFile(machine.Host("drive_c/Vendora/vendora.exe")) == DemoExecutable());
    // The application was free: no waiting window.
    EXPECT_TRUE(Records(run, "attente").empty());
    EXPECT_TRUE(run.ShellLog.empty());
}

TEST(Install, RefusingTheFirstQuestionWritesNothing) {
    for (const std::string answer : {"char n", "click B2", "key Escape", "close"}) {
        Machine machine;
        const auto before = FilesBelow(machine.Root());
        const RunResult run = machine.Run({}, {answer});
        EXPECT_EQ(run.ExitCode, 0) << answer;
        EXPECT_EQ(MessageTitles(run), (std::vector<std::string>{InstallTitle})) << answer;
        EXPECT_FALSE(fs::exists(machine.Host("drive_c/Vendora"))) << answer;
        EXPECT_FALSE(fs::exists(machine.Host(Shortcut))) << answer;
        EXPECT_TRUE(run.ShellLog.empty()) << answer;
    }
    // The update question refused: the installed files stay as they were.
    Machine machine;
    ASSERT_EQ(machine.Run({}, {"key Return", "char N"}).ExitCode, 0);
    const auto installed = FilesBelow(machine.Root());
    const RunResult run = machine.Run({}, {"char x", "char n"});
    EXPECT_EQ(MessageTitles(run), (std::vector<std::string>{UpdateTitle}));
    EXPECT_EQ(Records(run, "ignored"), (std::vector<std::string>{"ignored event=\"char x\" line=1"}));
    EXPECT_EQ(FilesBelow(machine.Root()), installed);
}

TEST(Install, FolderWithoutExecutableTakesUpdateModeAfterTheInstallQuestion) {
    Machine machine;
    fs::create_directories(machine.Host("drive_c/Vendora"));
    const RunResult run = machine.Run({}, {"key Return", "key Return", "char n"});
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    // The font source is C:\Vendora\Starmath.ttf, but update mode extracted it into MAJ: the copy fails.
    EXPECT_EQ(MessageTitles(run), (std::vector<std::string>{InstallTitle, FontTitle, UpdateDoneTitle}));
    EXPECT_EQ(FilesBelow(machine.Host("drive_c/Vendora")), With({"Vendora.EXE", "install.exe"}, [] {
                  std::vector<std::string> maj;
                  for (const std::string& entry : With(DemoEntries, {"Vendora.FCC"}))
                      maj.push_back("MAJ/" + entry);
                  return maj;
              }()));
    // The wait ended at its 499th attempt without a window; there was nothing to back up.
    EXPECT_TRUE(Records(run, "attente").empty());
    EXPECT_FALSE(fs::exists(machine.Host("drive_c/Vendora/ex_Vendora.EXE")));
    ExpectStamped(machine);
    EXPECT_TRUE(ReadFile(machine.Host("drive_c/Vendora/Vendora.EXE")) == DemoExecutable());
    EXPECT_TRUE(run.ShellLog.empty()); // "Non" to starting it
}

TEST(Install, TargetFromTheArgumentTakesOnlyTheArchive) {
    Machine machine;
    fs::create_directories(machine.Host("drive_d"));
    fs::create_directories(machine.Host("drive_c/Vendora"));
    WriteFile(machine.Host("drive_c/Windows/Fonts/Starmath.ttf"), "font");
    const RunResult run = machine.Run({"D:\\Caisse"});
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_EQ(MessageTitles(run), (std::vector<std::string>{InstallTitle, InstallTitle}));
    EXPECT_EQ(FilesBelow(machine.Host("drive_d/Caisse")), With(DemoEntries, {"Vendora.FCC"}));
    // Everything else keeps its fixed place: the stamp creates an empty executable in C:\Vendora.
    EXPECT_EQ(FilesBelow(machine.Host("drive_c/Vendora")),
              (std::vector<std::string>{"Vendora.EXE", "install.exe"}));
    EXPECT_EQ(fs::file_size(machine.Host("drive_c/Vendora/Vendora.EXE")), 0u);
    ExpectStamped(machine);
    EXPECT_TRUE(fs::exists(machine.Host(Shortcut)));
    ASSERT_EQ(run.ShellLog.size(), 1u);
    EXPECT_EQ(run.ShellLog[0].substr(0, run.ShellLog[0].rfind('\t')),
              "c:\\Vendora\\Vendora.EXE\tD:\\Caisse\tc:\\Vendora");
}

TEST(Install, TargetElsewhereOnAFreshMachineEndsWhenStartingFails) {
    Machine machine;
    fs::create_directories(machine.Host("drive_d"));
    WriteFile(machine.Host("drive_c/Windows/Fonts/Starmath.ttf"), "font");
    const RunResult run = machine.Run({"D:\\Caisse"});
    // C:\Vendora does not exist, so it cannot become the current folder: the error box ends the run.
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Transcript.back(),
              "error title=\"Erreur d'application\" text=\"Nom de fichier incorrect\"");
    EXPECT_EQ(FilesBelow(machine.Host("drive_d/Caisse")), With(DemoEntries, {"Vendora.FCC"}));
    EXPECT_TRUE(run.ShellLog.empty());
}

TEST(Install, QuotedArgumentWithBlanksReachesTheApplication) {
    Machine machine;
    ASSERT_EQ(machine.Run({}, {"key Return", "char n"}).ExitCode, 0);
    fs::create_directories(machine.Host("drive_d"));
    WriteFile(machine.Host("drive_c/Windows/Fonts/Starmath.ttf"), "font");
    // An existing executable asks the update question, but the new folder is created: install mode there.
    const RunResult run = machine.Run({"D:\\Ma Caisse"});
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_EQ(MessageTitles(run), (std::vector<std::string>{UpdateTitle, InstallTitle}));
    EXPECT_EQ(FilesBelow(machine.Host("drive_d/Ma Caisse")), With(DemoEntries, {"Vendora.FCC"}));
    ASSERT_EQ(run.ShellLog.size(), 1u);
    EXPECT_EQ(run.ShellLog[0].substr(0, run.ShellLog[0].rfind('\t')),
              "c:\\Vendora\\Vendora.EXE\tD:\\Ma Caisse\tc:\\Vendora");
    // The parameter string goes over without quotes, so the application splits it at the blank, as a
    // Windows program does with an unquoted command line.
    EXPECT_NE(machine.WaitForOutput("Vendora started").find("Vendora started with argument \"D:\\Ma\""),
              std::string::npos)
        << "shell log: " << run.ShellLog[0];
}

TEST(Install, FontAlreadyThereIsLeftAloneAndAFailedCopyIsReported) {
    Machine machine;
    WriteFile(machine.Host("drive_c/Windows/Fonts/STARMATH.TTF"), "mine");
    RunResult run = machine.Run({}, {"key Return", "char n"});
    EXPECT_EQ(MessageTitles(run), (std::vector<std::string>{InstallTitle, InstallTitle}));
    EXPECT_EQ(FilesBelow(machine.Host("drive_c/Windows")), (std::vector<std::string>{"Fonts/STARMATH.TTF"}));
    EXPECT_EQ(ReadFile(machine.Host("drive_c/Windows/Fonts/STARMATH.TTF")), "mine");

    // A fonts "folder" that is a file makes the copy fail.
    Machine noFonts;
    fs::remove_all(noFonts.Host("drive_c/Windows/Fonts"));
    WriteFile(noFonts.Host("drive_c/Windows/Fonts"), "not a folder");
    run = noFonts.Run({}, {"key Return", "key Return", "char n"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(MessageTitles(run), (std::vector<std::string>{InstallTitle, FontTitle, InstallTitle}));
    ASSERT_EQ(Records(run, FontTitle).size(), 1u);
    EXPECT_EQ(Records(run, FontTitle)[0],
              FontTitle + " text=\"La police C:\\\\Vendora\\\\Starmath.ttf n'a pas pu être copiée<P><P>Vous "
                          "devrez le faire \\\"à la main\\\"<P><P><I>Cela n'empêchera pas le logiciel de "
                          "fonctionner</I>\" buttons=\"Ok\" colour=0");
    // The run went on after the report.
    EXPECT_TRUE(fs::exists(noFonts.Host(Shortcut)));
    EXPECT_TRUE(fs::exists(noFonts.Host("drive_c/Vendora/install.exe")));
}

TEST(Install, ManualIsOpenedWhenPresent) {
    Machine machine;
    fs::create_directories(machine.Host("drive_d"));
    WriteFile(machine.Host("drive_c/Windows/Fonts/Starmath.ttf"), "font");
    WriteFile(machine.Host("drive_c/Vendora/vendora.pdf"), "%PDF-1.4\n");
    const RunResult run = machine.Run({"D:\\Caisse"}, {"key Return", "char n"});
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    ASSERT_EQ(run.ShellLog.size(), 1u);
    EXPECT_EQ(run.ShellLog[0].substr(0, run.ShellLog[0].rfind('\t')),
              "c:\\Vendora\\Vendora.PDF\t\tc:\\Vendora");
    // Absent (the first install above has none): only the application is started.
}

TEST(Install, ShortcutReadsBack) {
    Machine machine;
    ASSERT_EQ(machine.Run({}, {"key Return", "char n"}).ExitCode, 0);
    std::string error;
    const auto link = ReadShellLinkFile(machine.Host(Shortcut).string(), &error);
    ASSERT_TRUE(link) << error;
    EXPECT_EQ(link->Link.Path, "c:\\Vendora\\Vendora.EXE");
    EXPECT_EQ(link->Link.WorkingDirectory, "c:\\Vendora");
    EXPECT_EQ(link->Link.Description, Ansi("Vendora est une application réalisée avec Quillbox © Morvanel"));
    EXPECT_EQ(link->Link.IconLocation, "c:\\Vendora\\Vendora.EXE");
    EXPECT_EQ(link->Link.IconIndex, 0);
    EXPECT_EQ(link->Link.ShowCmd, 9);
    EXPECT_EQ(link->Link.HotKey, 0);
    EXPECT_EQ(link->Link.Arguments, "");
}

TEST(Install, DamagedPayloadEndsWithTheErrorBox) {
    Machine machine;
    const RunResult run = machine.Run({}, {}, "INSTALL-damaged");
    EXPECT_EQ(run.ExitCode, 1);
    ASSERT_FALSE(run.Transcript.empty());
    EXPECT_EQ(run.Transcript.back(),
              "error title=\"Erreur d'application\" text=\"Error in compression routine: -3\"");
    EXPECT_NE(run.Stderr.find("Error in compression routine: -3"), std::string::npos);
    // The archive is checked before anything is written: not even the archive file is.
    EXPECT_FALSE(fs::exists(machine.Host("drive_c/Vendora")));
    EXPECT_FALSE(fs::exists(machine.Host(Shortcut)));
    EXPECT_TRUE(FilesBelow(machine.Host("drive_c/Windows")).empty());
    EXPECT_TRUE(run.ShellLog.empty());
}

TEST(Install, UpdateWaitsWhileTheExecutableIsHeldOpen) {
    Machine machine;
    ASSERT_EQ(machine.Run({}, {"key Return", "char n"}).ExitCode, 0);
    Holder holder(machine.Host("drive_c/Vendora/vendora.exe"));
    machine.Start({}, {"key Return", "char n"});
    // The window comes up at the 499th attempt and the wait goes on while the file is held.
    const bool shown = machine.WaitForRecord("attente show", std::chrono::seconds(240));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const bool extractedWhileHeld = machine.WaitForRecord("progress", std::chrono::seconds(0));
    holder.Release();
    const RunResult run = machine.Finish();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(extractedWhileHeld);
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_EQ(
        Records(run, "attente"),
        (std::vector<std::string>{"attente show caption=\"Installateur de Vendora.EXE © Morvanel\" "
                                  "label1=\"\\rINSTALL.EXE a décelé que Vendora.EXE est en cours "
                                  "d'execution. Pour poursuivre l'installation vous devez arrêter "
                                  "Vendora.EXE\\rSi ce n'était pas le cas interrompez \\\"INSTALL.EXE\\\" "
                                  "en pressant <Ctrl><Alt><Suppr>\"",
                                  "attente hide"}));
    // The window went before the extraction began.
    const auto at = [&](const std::string& prefix) {
        return std::find_if(run.Transcript.begin(), run.Transcript.end(),
                            [&](const std::string& line) { return line.rfind(prefix, 0) == 0; }) -
               run.Transcript.begin();
    };
    EXPECT_LT(at("attente hide"), at("progress create"));
    EXPECT_TRUE(fs::exists(machine.Host("drive_c/Vendora/ex_Vendora.EXE")));
    EXPECT_EQ(FilesBelow(machine.Host("drive_c/Vendora/MAJ")), With(DemoEntries, {"Vendora.FCC"}));
}

// Unattended: no window at all (no transcript), every entry logged, exit code 0; then an update while the
// application runs gives up after /WAIT= with its own code, and nothing has changed.
TEST(Install, SilentInstallThenSilentUpdateWhileTheApplicationRuns) {
    Machine machine;
    const RunResult run = machine.Run({"/S", "/LOG=C:\\deploy.log"});
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_TRUE(run.Transcript.empty());
    EXPECT_TRUE(run.ShellLog.empty()) << "nothing started";
    const std::string log = ReadFile(machine.Host("drive_c/deploy.log"));
    for (const std::string& entry : DemoEntries)
        EXPECT_NE(log.find("Fichier écrit : C:\\Vendora\\" + entry + " ("), std::string::npos) << entry;
    EXPECT_TRUE(fs::exists(machine.Host(Shortcut)));

    const auto before = FilesBelow(machine.Root());
    Holder holder(machine.Host("drive_c/Vendora/vendora.exe"));
    const RunResult update = machine.Run({"/S", "/WAIT=1", "/LOG=C:\\deploy.log"});
    EXPECT_EQ(update.ExitCode, 5) << update.Stderr;
    EXPECT_EQ(FilesBelow(machine.Root()), before);
    EXPECT_NE(ReadFile(machine.Host("drive_c/deploy.log")).find("Fin : code de sortie 5"), std::string::npos);
}
