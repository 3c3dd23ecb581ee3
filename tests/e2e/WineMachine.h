#pragma once
// INSTALL.EXE and the other Windows programs of a scenario, run under Wine on the private X server of the
// test program (scripts/with-xvfb) and driven as a person would, with keys and clicks (XScreen.h). Each
// WineMachine is a machine of its own: a copy of the base prefix that scripts/wine-prefix --cache keeps in
// the Windows build folder (made anew when Wine changes), its own HOME holding the shell folders of the
// prefix's user, and a scratch folder for what the test puts beside.
//
// The programs start through scripts/wine-run (the loader that fits them, taken from PATH), so a Wine that
// runs nothing makes every scenario fail: nothing waited for comes. INSTALL.EXE writes its transcript when
// started with Start (see dialogs/forms/Transcript.h), which the scenario waits on.
//
// What the Windows build hands over, in the environment: VENDORA_WINE_BIN (its bin folder), VENDORA_PAYLOAD
// (the archive INSTALL.EXE carries), VENDORA_WINE_FIXTURES (test installers and programs),
// VENDORA_WINE_WORK (its build folder: base prefix and pictures) and VENDORA_SOURCE_DIR.

#include "tests/e2e/Machine.h"
#include "tests/e2e/Scenario.h"
#include "tests/e2e/XScreen.h"

#include "gfx/Scale.h"

#include <chrono>
#include <string>
#include <vector>

namespace vendora::e2e {

// A setting of the environment; raises naming it when unset.
std::string Setting(const char* name);
// Where the scenarios leave what they saw (pictures, the cross-checks' lists): VENDORA_WINE_RESULTS when
// set, so that a run meant to fail leaves a real run's results alone, else the build folder.
fs::path ResultsFolder();
fs::path WindowsBin();
fs::path WineFixture(const std::string& name);
fs::path Payload();
// The Windows name of a host path (Wine's Z: is the host's root).
std::string WindowsPath(const fs::path& host);
// The demo payload's entries, as fcc extracted them at build time into the fixtures' demo-entries.
fs::path DemoEntriesFolder();
std::vector<std::string> DemoEntries();
// The file of a folder whose name matches, ignoring letter case as Windows does; empty when none.
fs::path FindNoCase(const fs::path& folder, const std::string& name);

class WineMachine {
public:
    // name: the scenario's, whose pictures go to WORK/wine-snapshots/NAME/ (emptied first).
    explicit WineMachine(const std::string& name);
    ~WineMachine();
    WineMachine(const WineMachine&) = delete;
    WineMachine& operator=(const WineMachine&) = delete;

    // A place of the prefix, "drive_c/Vendora", as Machine::Host names the emulated one.
    fs::path Host(const std::string& relative) const { return prefix_ / fs::u8path(relative); }
    const fs::path& Home() const { return home_; }
    const fs::path& Scratch() const { return run_; }
    // Where the application and the document program say that they started (VENDORA_STANDIN_LOG and
    // VENDORA_RECORDER_LOG of the programs).
    fs::path StandinLog() const { return run_ / "standin.log"; }
    fs::path RecorderLog() const { return run_ / "recorder.log"; }

    // The programs' locale (Wine takes the system's code page from it) and working folder.
    void SetLocale(const std::string& locale) { locale_ = locale; }
    void SetFolder(const fs::path& folder) { folder_ = folder; }
    // Keys of Wine's own registry syntax added to the prefix's system.reg while no program runs.
    void AddMachineKeys(const std::string& keys);
    // The screen's density for the programs (Wine's LogPixels), and the scale buttons are found at.
    void SetScreenDpi(int dpi);
    // Until every program of the prefix has ended and its server with them.
    void WaitForServer();
    // One server for the runs to come, so that each start after the first is as quick as on Windows.
    void KeepServer();

    // INSTALL.EXE, or another installer, from the folder; its exit code once ended.
    void Start(const std::vector<std::string>& arguments = {},
               const fs::path& program = WindowsBin() / "INSTALL.EXE");
    int Finish();
    bool Running() const;
    void Pause();
    void Resume();
    std::string Stderr() const;
    // Waits for the count-th transcript record starting with prefix; false when the program ended or the
    // time ran out first.
    bool WaitForRecord(const std::string& prefix, int count = 1,
                       std::chrono::seconds timeout = std::chrono::seconds(300));
    std::vector<std::string> Records(const std::string& prefix) const;

    // Another Windows program, left running (its pid), or run to its end.
    int Launch(const fs::path& program, const std::vector<std::string>& arguments = {});
    struct Output {
        int ExitCode = -1;
        std::string Out, Err;
    };
    Output RunProgram(const fs::path& program, const std::vector<std::string>& arguments = {});

    // The first shown window whose title starts so; raises when the program ends first or after timeout
    // (Wine's first start on a busy machine is slow), saying what the screen holds.
    WindowId WaitForWindow(const std::string& title,
                           std::chrono::seconds timeout = std::chrono::seconds(180));
    // The number-th message of the run (from 1) once on screen; raises when its title does not start so.
    WindowId WaitForMessage(int number, const std::string& title);
    bool WaitForNoWindow(const std::string& title, std::chrono::seconds timeout = std::chrono::seconds(60));
    // The window's picture once painted (XScreen::Painted), kept as NAME.png among the scenario's pictures.
    Bitmap Picture(WindowId window, const std::string& name, bool live = false);
    void Key(WindowId window, const std::string& name) { XScreen::Get().Key(window, name); }
    void Click(WindowId window, int x, int y) { XScreen::Get().Click(window, x, y); }
    // Button number (from 1) of a message window, whose buttons fit one row.
    void ClickButton(WindowId window, int number);
    const Scale& ScreenScale() const { return scale_; }
    bool Close(WindowId window) { return XScreen::Get().Close(window); }

    // Plays a scenario (Scenario.h) with INSTALL.EXE; its exit code.
    int Play(const Scenario& scenario, Pictures& pictures, const std::vector<std::string>& arguments = {});

private:
    void Prepare(const fs::path& work);
    std::vector<std::string> Environment() const;
    int Spawn(const std::vector<std::string>& command, const fs::path& out, const fs::path& err,
              const std::vector<std::string>& more = {});
    void Server(const std::string& option);

    fs::path run_, prefix_, home_, folder_, pictures_;
    std::string locale_ = "C.UTF-8";
    int installer_ = 0;
    std::vector<int> launched_;
    Scale scale_;
};

} // namespace vendora::e2e
