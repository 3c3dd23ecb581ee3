// The real INSTALL.EXE under Wine, driven as a person would with the mouse and keys, each run in a machine
// of its own; then the prefix's disk is checked. Pictures of the windows in WORK/wine-snapshots/<test>/.

#include "dialogs/forms/Progression.h"
#include "dialogs/forms/Ubm.h"
#include "tests/e2e/WineMachine.h"
#include "tests/support/Pixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <iconv.h>
#include <sys/stat.h>

using namespace vendora;
using namespace vendora::e2e;

namespace {

using namespace vendora::e2e::Titles;

const std::string Shortcut = "Desktop/Vendora © Morvanel.lnk";

std::vector<std::string> With(std::vector<std::string> names, const std::vector<std::string>& more) {
    names.insert(names.end(), more.begin(), more.end());
    std::sort(names.begin(), names.end());
    return names;
}

// The entries of a folder, not below it.
std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool SameBytes(const fs::path& a, const fs::path& b) {
    return fs::exists(a) && fs::exists(b) && ReadFile(a) == ReadFile(b);
}

// Every entry of the demo payload in folder, byte for byte.
void ExpectDemoEntriesIn(const fs::path& folder) {
    for (const std::string& entry : DemoEntries())
        EXPECT_TRUE(SameBytes(DemoEntriesFolder() / entry, folder / entry)) << entry << " in " << folder;
}

// D: of the prefix, a folder of the scratch.
fs::path MapDriveD(const WineMachine& machine) {
    const fs::path drive = machine.Scratch() / "d-drive";
    fs::create_directories(drive);
    fs::remove(machine.Host("dosdevices/d:"));
    fs::create_directory_symlink(drive, machine.Host("dosdevices/d:"));
    return drive;
}

// The drive holds the target folder alone, the target the archive and the entries, byte for byte.
void ExpectInstalledOn(const fs::path& drive, const std::string& target) {
    EXPECT_EQ(Entries(drive), std::vector<std::string>{target});
    EXPECT_EQ(FilesBelow(drive / target), With(DemoEntries(), {"Vendora.FCC"}));
    ExpectDemoEntriesIn(drive / target);
    EXPECT_TRUE(SameBytes(drive / target / "Vendora.FCC", Payload()));
}

// Every file and folder below the folders given with its size and last-write time: two states differ when
// anything was written.
std::vector<std::string> DiskState(const std::vector<fs::path>& folders) {
    std::vector<std::string> state;
    for (const fs::path& folder : folders) {
        for (const auto& entry :
             fs::recursive_directory_iterator(folder, fs::directory_options::skip_permission_denied)) {
            struct stat info {};
            if (::lstat(entry.path().c_str(), &info) != 0)
                continue;
            state.push_back(entry.path().string() + " " + std::to_string(info.st_size) + " " +
                            std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec));
        }
    }
    std::sort(state.begin(), state.end());
    return state;
}

// The stand-in's old release: the same program with bytes of its own after the image, which Windows
// ignores, so that the old and new executables differ.
fs::path OldStandin(const WineMachine& machine) {
    const fs::path old = machine.Scratch() / "old-vendora.exe";
    WriteFile(old, ReadFile(DemoEntriesFolder() / "vendora.exe") + "Vendora, previous release\r\n");
    return old;
}

// A previous install of the demo payload, as the first install leaves it: its entries in C:\Vendora (the
// executable the one given) and the font in the fonts folder.
void PreviousInstall(const WineMachine& machine, const fs::path& executable) {
    fs::create_directories(machine.Host("drive_c/Vendora"));
    for (const std::string& entry : DemoEntries())
        fs::copy_file(DemoEntriesFolder() / entry, machine.Host("drive_c/Vendora") / entry);
    fs::copy_file(executable, machine.Host("drive_c/Vendora/vendora.exe"),
                  fs::copy_options::overwrite_existing);
    fs::copy_file(DemoEntriesFolder() / "StarMath.ttf", machine.Host("drive_c/windows/Fonts/Starmath.ttf"));
}

// The installed application started and holding its executable, as Windows judges; its pid.
int StartApplication(WineMachine& machine) {
    const int application = machine.Launch(machine.Host("drive_c/Vendora/vendora.exe"), {"--stay", "3600"});
    const WineMachine::Output held =
        machine.RunProgram(WineFixture("wait-held.exe"), {"C:\\Vendora\\Vendora.EXE", "120"});
    if (held.ExitCode != 0)
        throw std::runtime_error("the running application does not hold its executable: " + held.Err);
    return application;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return text;
}

// Whether a record holds that whole line (CR LF, as Windows programs write), in any letter case.
bool HasLine(const std::string& record, const std::string& line) {
    return Lower("\n" + record).find(Lower("\n" + line + "\r\n")) != std::string::npos;
}

// The record of the stand-in: started with that argument ("" for none), in c:\Vendora.
void ExpectStandinRecord(const std::string& record, const std::string& argument) {
    const std::string started = argument.empty() ? "Vendora started without argument"
                                                 : "Vendora started with argument \"" + argument + "\"";
    EXPECT_NE(("\n" + record).find("\n" + started + "\r\n"), std::string::npos) << record;
    EXPECT_TRUE(HasLine(record, "Working folder \"c:\\Vendora\"")) << record;
}

// Everything below a folder, files and folders, relative, sorted.
std::vector<std::string> AllBelow(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.push_back(fs::relative(entry.path(), folder).string());
    std::sort(names.begin(), names.end());
    return names;
}

int Count(const std::string& text, const std::string& what) {
    int count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// The fixed time the sequence gives the executable, 2010-06-02 14:47:49.5505328 UTC, as the host sees it:
// write and access time (Wine keeps no creation time; it reports the write time in its place), or the
// write time alone for an executable started since, which moved its access time on.
void ExpectStamped(const fs::path& file, bool accessToo = true) {
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0) << file;
    EXPECT_EQ(info.st_mtim.tv_sec, 1275490069);
    EXPECT_EQ(info.st_mtim.tv_nsec, 550532800);
    if (accessToo) {
        EXPECT_EQ(info.st_atim.tv_sec, 1275490069);
        EXPECT_EQ(info.st_atim.tv_nsec, 550532800);
    }
}

void ExpectShortcutTo(const WineMachine& machine) {
    const std::string link = ReadFile(machine.Home() / Shortcut);
    ASSERT_FALSE(link.empty()) << "no shortcut on the desktop";
    EXPECT_NE(Lower(link).find("c:\\vendora\\vendora.exe"), std::string::npos)
        << "the shortcut names no c:\\Vendora\\Vendora.EXE";
}

} // namespace

TEST(Wine, FirstInstall) {
    WineMachine machine("first-install");
    machine.Start();
    const WindowId opening = machine.WaitForMessage(1, InstallTitle);
    machine.Picture(opening, "1-opening-question");
    machine.ClickButton(opening, 1);
    // The same window and title come back once the install is done.
    const WindowId final = machine.WaitForMessage(2, InstallTitle);
    machine.Picture(final, "2-final-question");
    machine.Key(final, "n");
    ASSERT_EQ(machine.Finish(), 0) << machine.Stderr();

    const fs::path vendora = machine.Host("drive_c/Vendora");
    EXPECT_EQ(FilesBelow(vendora), With(DemoEntries(), {"Vendora.FCC", "install.exe"})); // no .CTN left
    EXPECT_TRUE(SameBytes(vendora / "Vendora.FCC", Payload()));
    EXPECT_TRUE(SameBytes(vendora / "install.exe", WindowsBin() / "INSTALL.EXE"));
    EXPECT_TRUE(SameBytes(FindNoCase(machine.Host("drive_c/windows/Fonts"), "Starmath.ttf"),
                          vendora / "StarMath.ttf"));
    // A shell link (header size 0x4C and the shell link class id) to the application, and nothing else in
    // HOME.
    const std::string header = ReadFile(machine.Home() / Shortcut).substr(0, 20);
    EXPECT_EQ(header, std::string("\x4C\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46", 20));
    ExpectShortcutTo(machine);
    EXPECT_EQ(AllBelow(machine.Home()), (std::vector<std::string>{"Desktop", Shortcut}));
    // The three times read back by a Windows program through GetFileTime: 129199636695505328 in 100 ns
    // since 1601 (Wine's creation time is the write time).
    const WineMachine::Output times =
        machine.RunProgram(WineFixture("file-times.exe"), {"C:\\Vendora\\Vendora.EXE"});
    EXPECT_EQ(times.Out, "129199636695505328 129199636695505328 129199636695505328\r\n") << times.Err;
    // Nothing started after "Non", once every program of the prefix has ended.
    machine.WaitForServer();
    EXPECT_FALSE(fs::exists(machine.StandinLog()));
}

TEST(Wine, DamagedPayloadEndsInTheErrorBox) {
    WineMachine machine("damaged-payload");
    machine.Start({}, WindowsBin() / "INSTALL-damaged.EXE");
    machine.Key(machine.WaitForMessage(1, InstallTitle), "Return");
    const WindowId box = machine.WaitForWindow("Erreur d'application");
    machine.Picture(box, "error-box");
    // The box is the message window hidden and shown again: under Wine without a window manager such a
    // window gets no keys until clicked, so it is clicked first away from its button, as a person would.
    machine.Click(box, 400, 10);
    machine.Key(box, "Return");
    // Enter must end it as it ends every message window; else a click on "OK" ends the run for the rest.
    if (!machine.WaitForNoWindow("Erreur d'application", std::chrono::seconds(30))) {
        ADD_FAILURE() << "Enter did not close the error box";
        machine.Click(box, 60, 50);
    }
    EXPECT_EQ(machine.Finish(), 1);
    EXPECT_NE(machine.Stderr().find("Error in compression routine: -3"), std::string::npos)
        << machine.Stderr();
    EXPECT_EQ(machine.Records("error "),
              (std::vector<std::string>{"error title=\"Erreur d'application\" "
                                        "text=\"Error in compression routine: -3\""}));
    // The archive is checked before anything is written: no archive file, no font, no shortcut.
    EXPECT_FALSE(fs::exists(machine.Host("drive_c/Vendora")));
    EXPECT_TRUE(FindNoCase(machine.Host("drive_c/windows/Fonts"), "Starmath.ttf").empty());
    EXPECT_EQ(AllBelow(machine.Home()), std::vector<std::string>{"Desktop"});
}

TEST(Wine, OuiStartsTheApplication) {
    WineMachine machine("start-application");
    // Without a colon the argument names no target: C:\Vendora stays.
    machine.Start({"caisse-2"});
    machine.Key(machine.WaitForMessage(1, InstallTitle), "Return");
    const WindowId final = machine.WaitForMessage(2, InstallTitle);
    machine.Picture(final, "final-question");
    machine.ClickButton(final, 1);
    ASSERT_EQ(machine.Finish(), 0) << machine.Stderr();
    // The application runs on after the installer, until the prefix's server ends.
    machine.WaitForServer();
    const std::string record = ReadFile(machine.StandinLog());
    ExpectStandinRecord(record, "caisse-2");
    EXPECT_EQ(Count(record, "Vendora started"), 1) << record;
    const fs::path installed = FindNoCase(machine.Host("drive_c/Vendora"), "vendora.exe");
    EXPECT_TRUE(SameBytes(installed, DemoEntriesFolder() / "vendora.exe"));
    ExpectStamped(installed, false);
}

TEST(Wine, UpdateWhileTheApplicationRuns) {
    WineMachine machine("update-while-running");
    const fs::path old = OldStandin(machine), vendora = machine.Host("drive_c/Vendora");
    PreviousInstall(machine, old);
    const int application = StartApplication(machine);

    machine.Start();
    const WindowId question = machine.WaitForMessage(1, Update);
    machine.Picture(question, "1-update-question");
    machine.Key(question, "o");
    ASSERT_TRUE(machine.WaitForRecord("attente show")) << machine.Stderr();
    const WindowId waiting = machine.WaitForWindow(Waiting);
    const Bitmap picture = machine.Picture(waiting, "2-waiting-window");
    // Pink, its text centred across the window and in the middle of its height.
    ASSERT_EQ(picture.Width(), 502);
    ASSERT_EQ(picture.Height(), 304);
    for (const IntPoint corner : {IntPoint{2, 2}, IntPoint{499, 2}, IntPoint{2, 301}, IntPoint{499, 301}})
        EXPECT_EQ(picture.Pixel(corner.X, corner.Y), TColor::Rgb(255, 187, 192))
            << corner.X << "," << corner.Y;
    IntRect ink{502, 304, 0, 0};
    for (int y = 0; y < 304; ++y)
        for (int x = 0; x < 502; ++x)
            if (picture.Pixel(x, y) != picture.Pixel(0, 0))
                ink = {std::min(ink.Left, x), std::min(ink.Top, y), std::max(ink.Right, x + 1),
                       std::max(ink.Bottom, y + 1)};
    EXPECT_LE(std::abs(ink.Left + ink.Right - 502), 2) << "text from x " << ink.Left << " to " << ink.Right;
    EXPECT_GT(ink.Height(), 13) << "no text";
    EXPECT_GE((ink.Top + ink.Bottom) / 2, 120);
    EXPECT_LE((ink.Top + ink.Bottom) / 2, 170);

    // The close button hides the window and nothing else: the installer waits on, nothing is extracted.
    ASSERT_TRUE(machine.Close(waiting)) << "the waiting window does not take the close request";
    EXPECT_TRUE(machine.WaitForNoWindow(Waiting)) << "the close button did not hide the waiting window";
    EXPECT_TRUE(XScreen::Get().Exists(waiting)) << "the close button destroyed the waiting window";
    ASSERT_TRUE(machine.Running()) << machine.Stderr();
    EXPECT_EQ(Entries(vendora / "MAJ"), std::vector<std::string>{"Vendora.FCC"});
    EXPECT_TRUE(SameBytes(FindNoCase(vendora, "vendora.exe"), old));

    // The application ends (a person quits it); the update goes on by itself.
    ::kill(application, SIGTERM);
    const WindowId final = machine.WaitForMessage(2, UpdateDone);
    machine.Picture(final, "3-update-complete");
    EXPECT_EQ(XScreen::Get().FindVisible(Waiting).Id, 0u) << "the waiting window came back";
    machine.Key(final, "Escape");
    ASSERT_EQ(machine.Finish(), 0) << machine.Stderr();

    EXPECT_EQ(FilesBelow(vendora / "MAJ"), With(DemoEntries(), {"Vendora.FCC"}));
    ExpectDemoEntriesIn(vendora / "MAJ");
    EXPECT_TRUE(SameBytes(vendora / "MAJ/Vendora.FCC", Payload()));
    EXPECT_TRUE(SameBytes(FindNoCase(vendora, "ex_Vendora.EXE"), old));
    const fs::path installed = FindNoCase(vendora, "vendora.exe");
    ExpectStamped(installed); // before reading it moves its access time on
    EXPECT_TRUE(SameBytes(installed, DemoEntriesFolder() / "vendora.exe"));
    EXPECT_TRUE(SameBytes(FindNoCase(vendora, "install.exe"), WindowsBin() / "INSTALL.EXE"));
    EXPECT_EQ(Entries(vendora),
              With(DemoEntries(),
                   {"MAJ", "install.exe", FindNoCase(vendora, "ex_Vendora.EXE").filename().string()}));
    // Escape started nothing: the only record is the application's own start.
    machine.WaitForServer();
    EXPECT_EQ(Count(ReadFile(machine.StandinLog()), "Vendora started"), 1);
}

TEST(Wine, RefusalsWriteNothing) {
    WineMachine machine("refusals");
    machine.KeepServer();
    std::vector<std::string> before = DiskState({machine.Host("drive_c"), machine.Home()});
    for (const std::string way : {"n", "Escape", "close"}) {
        machine.Start();
        const WindowId question = machine.WaitForMessage(1, InstallTitle);
        machine.Picture(question, "opening-question-" + way);
        if (way == "close")
            ASSERT_TRUE(machine.Close(question)) << "the window does not take the close request";
        else
            machine.Key(question, way);
        EXPECT_EQ(machine.Finish(), 0) << way << ": " << machine.Stderr();
        EXPECT_EQ(XScreen::Get().FindVisible(InstallTitle).Id, 0u) << way << ": the question is still shown";
        const std::vector<std::string> after = DiskState({machine.Host("drive_c"), machine.Home()});
        EXPECT_EQ(after, before) << way << ": the run wrote";
        before = after;
    }
}

// The opening question without the mouse, and as a screen reader finds it. Tab shows the focus on "Non"
// (the picture changes on its dotted rectangle alone) and Return answers with it. Then
// vendora-access-reader, another process, reads the question back through MSAA as the transcript wrote
// it, and pressing its "Non" answers. Neither run writes anything.
TEST(Wine, KeyboardAndScreenReaderAnswerTheOpeningQuestion) {
    WineMachine machine("access");
    machine.KeepServer();
    const std::vector<std::string> before = DiskState({machine.Host("drive_c"), machine.Home()});
    machine.Start();
    const WindowId question = machine.WaitForMessage(1, InstallTitle);
    const Bitmap plain = machine.Picture(question, "1-opening-question");
    machine.Key(question, "Tab");
    Bitmap focused = plain;
    for (int tries = 0; tries < 100 && focused == plain; ++tries)
        focused = machine.Picture(question, "2-focus-on-non");
    const Scale& scale = machine.ScreenScale();
    const IntRect non = MessageLayout::OneRowButton(2, focused.Height(), scale);
    const IntRect ring{non.Left + scale.Px(3), non.Top + scale.Px(3), non.Right - scale.Px(3),
                       non.Bottom - scale.Px(3)};
    const IntRect inside{ring.Left + scale.Line(), ring.Top + scale.Line(), ring.Right - scale.Line(),
                         ring.Bottom - scale.Line()};
    int onRing = 0, elsewhere = 0;
    for (int y = 0; y < plain.Height(); ++y) {
        for (int x = 0; x < plain.Width(); ++x) {
            if (plain.Pixel(x, y) != focused.Pixel(x, y))
                ++(ring.Contains(x, y) && !inside.Contains(x, y) ? onRing : elsewhere);
        }
    }
    EXPECT_GT(onRing, ring.Width() / 2) << "no dotted rectangle on Non";
    EXPECT_EQ(elsewhere, 0);
    machine.Key(question, "Return");
    EXPECT_EQ(machine.Finish(), 0) << machine.Stderr();
    ASSERT_EQ(machine.Records("answer ").size(), 1u);
    EXPECT_EQ(machine.Records("answer ")[0].rfind("answer result=2 ", 0), 0u)
        << machine.Records("answer ")[0];

    machine.Start();
    machine.WaitForMessage(1, InstallTitle);
    const std::string message = machine.Records("message ")[0], start = "message title=\"";
    const std::string title = message.substr(start.size(), message.find('"', start.size()) - start.size());
    // The tree is written once the window waits, after its "message" record: all of its lines first.
    ASSERT_TRUE(machine.WaitForRecord("access window="));
    const std::string window = machine.Records("access window=")[0];
    const int children = std::stoi(window.substr(window.rfind("children=") + 9));
    ASSERT_TRUE(machine.WaitForRecord("access ", 1 + children));
    const std::vector<std::string> tree = machine.Records("access ");
    const auto named = std::find_if(tree.begin(), tree.end(), [](const std::string& line) {
        return line.find(" name=\"Non\"") != std::string::npos;
    });
    ASSERT_NE(named, tree.end()) << "no Non in the tree the transcript wrote";
    const std::string child = named->substr(13, named->find(' ', 13) - 13); // "access child=N ..."
    const WineMachine::Output read =
        machine.RunProgram(WindowsBin() / "vendora-access-reader.exe", {title, "--press", child});
    EXPECT_EQ(read.ExitCode, 0) << read.Err;
    WriteFile(ResultsFolder() / "wine-snapshots/access/reader.txt", read.Out);
    EXPECT_EQ(Lines(read.Out), tree);
    EXPECT_EQ(machine.Finish(), 0) << machine.Stderr();
    ASSERT_EQ(machine.Records("answer ").size(), 1u);
    EXPECT_EQ(machine.Records("answer ")[0].rfind("answer result=2 ", 0), 0u)
        << machine.Records("answer ")[0];
    EXPECT_EQ(DiskState({machine.Host("drive_c"), machine.Home()}), before) << "a refusal wrote";
}

TEST(Wine, InterruptOnTheProgressWindow) {
    WineMachine machine("interrupt-progress");
    // 314 entries: the progress window stays up while they are written.
    const fs::path entries = WineFixture("many-entries"), vendora = machine.Host("drive_c/Vendora");
    const std::vector<std::string> names = FilesBelow(entries);
    const auto written = [&] {
        int count = 0;
        for (const std::string& name : names)
            count += fs::exists(vendora / name) ? 1 : 0;
        return count;
    };
    machine.Start({}, WineFixture("INSTALL-many.EXE"));
    machine.Key(machine.WaitForMessage(1, InstallTitle), "Return");
    const WindowId progress = machine.WaitForWindow(Progress);
    // Pictured before the pause: a paused program paints nothing.
    machine.Picture(progress, "1-progress", true);
    // Paused, the click cannot come too late to be handled, whatever the machine's speed.
    machine.Pause();
    const int pausedAt = written();
    if (pausedAt >= static_cast<int>(names.size()) - 2) {
        machine.Resume();
        FAIL() << "the split had written " << pausedAt << " of " << names.size()
               << " entries when its window was seen";
    }
    const IntRect interrupt = InterruptButtonBounds;
    machine.Click(progress, interrupt.Left + interrupt.Width() / 2, interrupt.Top + interrupt.Height() / 2);
    machine.Resume();

    // Handled at the next entry, reported before the one after it, once.
    const WindowId report = machine.WaitForMessage(2, Interruption);
    const int reportedAt = written();
    machine.Picture(report, "2-interruption-report");
    machine.Picture(progress, "3-progress-during-report", true);
    EXPECT_GE(reportedAt, pausedAt);
    EXPECT_LE(reportedAt, pausedAt + 2);
    machine.ClickButton(report, 1);
    ASSERT_TRUE(machine.WaitForNoWindow(Interruption)) << "the report stayed after Ok";
    // The next message is the final question, not a second report.
    machine.Key(machine.WaitForMessage(3, InstallTitle), "n");
    ASSERT_EQ(machine.Finish(), 0) << machine.Stderr();

    EXPECT_EQ(FilesBelow(vendora), With(names, {"Vendora.FCC", "install.exe"}));
    for (const std::string& name : names)
        EXPECT_TRUE(SameBytes(entries / name, vendora / name)) << name;
    EXPECT_TRUE(SameBytes(vendora / "Vendora.FCC", WineFixture("many.FCC")));
}

// Every window at the screen's density (Wine's LogPixels): its client size, the opening question's
// capital s times as tall as at 96 dpi, every word inside the message area, the buttons where the scaled
// layout puts them, and a picture of each.
TEST(Wine, EveryWindowAtTheScreensDensity) {
    int capital96 = 0;
    for (const int dpi : {96, 120, 144, 192}) {
        SCOPED_TRACE(dpi);
        const Scale s(dpi);
        WineMachine machine("density-" + std::to_string(dpi));
        machine.SetScreenDpi(dpi);
        machine.Start({}, WineFixture("INSTALL-many.EXE"));
        const WindowId question = machine.WaitForMessage(1, InstallTitle);
        const Bitmap picture = machine.Picture(question, "1-opening-question");
        EXPECT_EQ(picture.Width(), s.Px(481));
        const IntRect oui = MessageLayout::OneRowButton(1, picture.Height(), s);
        const int capital = vendora::test::CapitalInk(picture, s.Px(20));
        if (dpi == 96)
            capital96 = capital;
        EXPECT_NEAR(capital, std::lround(capital96 * dpi / 96.0), 1);
        for (int y = 0; y < oui.Top; ++y)
            for (int x = picture.Width() - s.Px(20); x < picture.Width(); ++x)
                ASSERT_EQ(picture.Pixel(x, y), clWhite) << "ink in the right margin at " << x << "," << y;
        EXPECT_EQ(picture.Pixel(oui.Left, oui.Bottom - 1), clBlack) << "Oui's frame";
        machine.ClickButton(question, 1);

        const WindowId progress = machine.WaitForWindow(Progress);
        const Bitmap bar = machine.Picture(progress, "2-progress", true);
        EXPECT_EQ(bar.Width(), s.Px(606));
        EXPECT_EQ(bar.Height(), s.Px(156));
        machine.Pause();
        const IntRect interrupt = s.Rect(InterruptButtonBounds);
        machine.Click(progress, interrupt.Left + interrupt.Width() / 2,
                      interrupt.Top + interrupt.Height() / 2);
        machine.Resume();
        const WindowId report = machine.WaitForMessage(2, Interruption);
        EXPECT_EQ(machine.Picture(report, "3-interruption-report").Width(), s.Px(481));
        machine.ClickButton(report, 1);
        const WindowId final = machine.WaitForMessage(3, InstallTitle);
        machine.Picture(final, "4-final-question");
        machine.Key(final, "n");
        ASSERT_EQ(machine.Finish(), 0) << machine.Stderr();

        // An update while the application runs: the waiting window.
        fs::copy_file(DemoEntriesFolder() / "vendora.exe", machine.Host("drive_c/Vendora/vendora.exe"),
                      fs::copy_options::overwrite_existing);
        const int application =
            machine.Launch(machine.Host("drive_c/Vendora/vendora.exe"), {"--stay", "600"});
        ASSERT_EQ(
            machine.RunProgram(WineFixture("wait-held.exe"), {"C:\\Vendora\\Vendora.EXE", "120"}).ExitCode,
            0);
        machine.Start();
        machine.Key(machine.WaitForMessage(1, Update), "o");
        const Bitmap waiting = machine.Picture(machine.WaitForWindow(Waiting), "5-waiting-window");
        EXPECT_EQ(waiting.Width(), s.Px(502));
        EXPECT_EQ(waiting.Height(), s.Px(304));
        ::kill(application, SIGTERM);
        machine.Key(machine.WaitForMessage(2, UpdateDone), "n");
        ASSERT_EQ(machine.Finish(), 0) << machine.Stderr();
    }
}

TEST(Wine, TargetOnAnotherDrive) {
    WineMachine machine("other-drive");
    const fs::path old = OldStandin(machine), vendora = machine.Host("drive_c/Vendora");
    PreviousInstall(machine, old);
    const fs::path drive = MapDriveD(machine);
    const std::vector<std::string> fonts = DiskState({machine.Host("drive_c/windows/Fonts")});

    // A previous install: the update question, but D:\Caisse can be created, so the run installs there.
    machine.Start({"D:\\Caisse"});
    const WindowId question = machine.WaitForMessage(1, Update);
    machine.Picture(question, "1-update-question");
    machine.Key(question, "Return");
    const WindowId final = machine.WaitForMessage(2, InstallTitle);
    machine.Picture(final, "2-install-complete");
    machine.Key(final, "o");
    ASSERT_EQ(machine.Finish(), 0) << machine.Stderr();
    machine.WaitForServer();

    // The archive and the entries on D:, no MAJ.
    ExpectInstalledOn(drive, "Caisse");
    // Every fixed path stays on C:: the stamp on the old executable (started since: its write time), the
    // installer's copy, the font untouched, the shortcut.
    const fs::path installed = FindNoCase(vendora, "vendora.exe");
    ExpectStamped(installed, false);
    EXPECT_TRUE(SameBytes(installed, old)) << "only its times should have changed";
    EXPECT_TRUE(SameBytes(FindNoCase(vendora, "install.exe"), WindowsBin() / "INSTALL.EXE"));
    EXPECT_EQ(FilesBelow(vendora), With(DemoEntries(), {"install.exe"}));
    EXPECT_EQ(DiskState({machine.Host("drive_c/windows/Fonts")}), fonts);
    ExpectShortcutTo(machine);
    ExpectStandinRecord(ReadFile(machine.StandinLog()), "D:\\Caisse");
}

TEST(Wine, ManualOpensWithItsDefaultVerb) {
    WineMachine machine("install-manual");
    // .pdf documents open with a recording program through a default verb of their own ("lire", no "open").
    std::string recorder; // its Windows path as Wine's registry files write it, backslashes doubled
    for (char c : WindowsPath(WineFixture("open-recorder.exe")))
        recorder += c == '\\' ? std::string("\\\\") : std::string(1, c);
    machine.AddMachineKeys(
        "[Software\\\\Classes\\\\.pdf] 1700000000\n@=\"VendoraTest.Manuel\"\n\n"
        "[Software\\\\Classes\\\\VendoraTest.Manuel\\\\shell] 1700000000\n@=\"lire\"\n\n"
        "[Software\\\\Classes\\\\VendoraTest.Manuel\\\\shell\\\\lire\\\\command] 1700000000\n"
        "@=\"\\\"" +
        recorder + "\\\" lire \\\"%1\\\"\"\n");
    machine.Start({}, WineFixture("INSTALL-manual.EXE"));
    machine.Key(machine.WaitForMessage(1, InstallTitle), "Return");
    const WindowId final = machine.WaitForMessage(2, InstallTitle);
    machine.Picture(final, "install-complete");
    machine.Key(final, "n");
    ASSERT_EQ(machine.Finish(), 0) << machine.Stderr();
    machine.WaitForServer();

    EXPECT_EQ(ReadFile(FindNoCase(machine.Host("drive_c/Vendora"), "Vendora.PDF")).substr(0, 5), "%PDF-");
    // Opened once, with the default verb, in c:\Vendora, shown normally (SW_SHOWNORMAL).
    const std::string record = ReadFile(machine.RecorderLog());
    EXPECT_EQ(Count(record, "Command line:"), 1) << record;
    const std::string opened = Lower(record.substr(0, record.find("\r\n")));
    EXPECT_EQ(opened.rfind("command line: ", 0), 0u) << record;
    EXPECT_TRUE(opened.ends_with(" lire \"c:\\vendora\\vendora.pdf\"")) << record;
    EXPECT_TRUE(HasLine(record, "Working folder: c:\\Vendora")) << record;
    EXPECT_TRUE(HasLine(record, "Show: 1")) << record;
    EXPECT_FALSE(fs::exists(machine.StandinLog())) << "the application was started after Non";
}

TEST(Wine, GlyphOnTheOuiButton) {
    WineMachine machine("button-glyph");
    // Oui.BMP in the current folder: 16 x 16, a blue 12 x 12 square on white, whose bottom-left white is
    // drawn transparent.
    std::string bmp = std::string("BM\x36\x03", 4) + std::string(10, '\0') +
                      std::string("\x28\0\0\0\x10\0\0\0\x10\0\0\0\x01\0\x18\0", 16) + std::string(24, '\0');
    bmp[10] = 54;
    for (int y = 15; y >= 0; --y)
        for (int x = 0; x < 16; ++x)
            bmp += x >= 2 && x <= 13 && y >= 2 && y <= 13 ? std::string("\xFF\x80\x00", 3)
                                                          : std::string("\xFF\xFF\xFF");
    WriteFile(machine.Scratch() / "cwd/Oui.BMP", bmp);

    machine.Start();
    const WindowId question = machine.WaitForMessage(1, InstallTitle);
    const Bitmap picture = machine.Picture(question, "opening-question");
    const auto blueIn = [&](const IntRect& area) {
        int count = 0;
        for (int y = area.Top; y < area.Bottom; ++y)
            for (int x = area.Left; x < area.Right; ++x)
                count += picture.Pixel(x, y) == TColor::Rgb(0, 128, 255) ? 1 : 0;
        return count;
    };
    const IntRect oui = MessageLayout::OneRowButton(1, picture.Height());
    EXPECT_EQ(blueIn(oui), 144) << "the glyph's square on Oui";
    EXPECT_EQ(blueIn(MessageLayout::OneRowButton(2, picture.Height())), 0) << "no glyph on Non";
    EXPECT_EQ(blueIn(picture.Bounds()), 144) << "the glyph's blue outside the Oui button";
    // Left of the caption: the square's right edge before the first black of "Oui" inside the frame (whose
    // bottom and right lines are black too).
    int squareRight = -1, captionLeft = oui.Right;
    for (int y = oui.Top + 2; y < oui.Bottom - 4; ++y) {
        for (int x = oui.Left + 2; x < oui.Right - 2; ++x) {
            if (picture.Pixel(x, y) == TColor::Rgb(0, 128, 255))
                squareRight = std::max(squareRight, x);
            if (picture.Pixel(x, y) == clBlack)
                captionLeft = std::min(captionLeft, x);
        }
    }
    EXPECT_LT(squareRight, captionLeft);

    machine.Key(question, "Escape");
    EXPECT_EQ(machine.Finish(), 0) << machine.Stderr();
    EXPECT_FALSE(fs::exists(machine.Host("drive_c/Vendora")));
}

TEST(Wine, RussianWindowsWithCyrillicFolders) {
    // Wine takes the system's code page from the locale: 1251. Every name the system hands over or takes
    // back may hold letters Windows-1252 lacks.
    WineMachine machine("foreign-names");
    machine.SetLocale("ru_RU.UTF-8");
    PreviousInstall(machine, DemoEntriesFolder() / "vendora.exe");
    const fs::path drive = MapDriveD(machine), downloads = machine.Scratch() / "Загрузки";
    fs::create_directories(downloads);
    fs::create_directories(machine.Scratch() / "Рабочая папка");
    fs::copy_file(WindowsBin() / "INSTALL.EXE", downloads / "INSTALL.EXE");
    machine.SetFolder(machine.Scratch() / "Рабочая папка");

    machine.Start({"D:\\Касса"}, downloads / "INSTALL.EXE");
    const WindowId question = machine.WaitForMessage(1, Update);
    EXPECT_EQ(XScreen::Get().Describe(question).Title, Update) << "not titled in French";
    machine.Picture(question, "1-update-question");
    machine.Key(question, "Return");
    const WindowId final = machine.WaitForMessage(2, InstallTitle);
    EXPECT_EQ(XScreen::Get().Describe(final).Title, InstallTitle) << "not titled in French";
    machine.Picture(final, "2-final");
    machine.Key(final, "o");
    ASSERT_EQ(machine.Finish(), 0) << machine.Stderr();
    machine.WaitForServer();

    // The entries under their own names ("Règlements.QXF"), the installer's copy of itself.
    ExpectInstalledOn(drive, "Касса");
    EXPECT_TRUE(
        SameBytes(FindNoCase(machine.Host("drive_c/Vendora"), "install.exe"), WindowsBin() / "INSTALL.EXE"));
    EXPECT_TRUE(fs::exists(machine.Home() / Shortcut));
    // The stand-in writes what it got in its code page: the argument holds only where that is 1251.
    std::string record = ReadFile(machine.StandinLog()), utf8(record.size() * 2 + 1, '\0');
    iconv_t convert = ::iconv_open("UTF-8", "CP1251");
    char* in = record.data();
    char* out = utf8.data();
    std::size_t inLeft = record.size(), outLeft = utf8.size();
    ASSERT_NE(::iconv(convert, &in, &inLeft, &out, &outLeft), static_cast<std::size_t>(-1))
        << "not code page 1251";
    ::iconv_close(convert);
    utf8.resize(utf8.size() - outLeft);
    ExpectStandinRecord(utf8, "D:\\Касса");
}

// As a deployment tool runs it: no window on the screen at any moment of the run (every titled window and
// the whole screen looked at until it ends), an end of its own with exit code 0, every entry in the log.
TEST(Wine, SilentInstallShowsNoWindow) {
    WineMachine machine("silent-install");
    machine.Start({"/S", "/LOG=C:\\deploy.log"});
    std::vector<std::string> seen;
    int looks = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(4);
    while (machine.Running() && std::chrono::steady_clock::now() < deadline) {
        for (const ScreenWindow& window : XScreen::Get().Windows())
            if (window.Visible)
                seen.push_back(window.Title);
        const Bitmap screen = XScreen::Get().Whole();
        bool drawn = false;
        for (int y = 0; y < screen.Height(); y += 4)
            for (int x = 0; x < screen.Width(); x += 4)
                drawn = drawn || screen.Pixel(x, y) != screen.Pixel(0, 0);
        if (drawn)
            seen.push_back("something drawn on the screen");
        ++looks;
    }
    EXPECT_GT(looks, 1) << "the run was not watched";
    EXPECT_TRUE(seen.empty()) << seen.size() << " sightings, the first: " << seen.front();
    ASSERT_FALSE(machine.Running()) << "the silent run did not end by itself";
    EXPECT_EQ(machine.Finish(), 0) << machine.Stderr();
    ExpectDemoEntriesIn(machine.Host("drive_c/Vendora"));
    const std::string log = ReadFile(machine.Host("drive_c/deploy.log"));
    for (const std::string& entry : DemoEntries())
        EXPECT_NE(log.find("Fichier écrit : C:\\Vendora\\" + entry + " ("), std::string::npos)
            << entry << log;
    EXPECT_NE(log.find("Fin : code de sortie 0"), std::string::npos) << log;
}

// A silent update while the application runs gives up after /WAIT= with its own code and changes nothing.
TEST(Wine, SilentUpdateGivesUpWhileTheApplicationRuns) {
    WineMachine machine("silent-update-running");
    const fs::path old = OldStandin(machine), vendora = machine.Host("drive_c/Vendora");
    PreviousInstall(machine, old);
    const int application = StartApplication(machine);
    const std::vector<std::string> before = FilesBelow(vendora);

    machine.Start({"/WAIT=3", "/S", "/LOG=C:\\deploy.log"});
    EXPECT_EQ(machine.Finish(), 5) << machine.Stderr();
    EXPECT_EQ(FilesBelow(vendora), before);
    EXPECT_TRUE(SameBytes(FindNoCase(vendora, "vendora.exe"), old));
    EXPECT_EQ(AllBelow(machine.Home()), std::vector<std::string>{"Desktop"}) << "no shortcut";
    const std::string log = ReadFile(machine.Host("drive_c/deploy.log"));
    EXPECT_NE(log.find("tourne encore après 3 s : rien n'est changé"), std::string::npos) << log;
    EXPECT_NE(log.find("Fin : code de sortie 5"), std::string::npos) << log;
    ::kill(application, SIGTERM);
}
