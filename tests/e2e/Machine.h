#pragma once
// End-to-end runs of the built INSTALL program: each test gets a fresh emulated Windows machine (a temporary
// VENDORA_ROOT), runs the program there with a ui script, and looks at the disk, the transcript, the shell
// log and the program's output afterwards. WineMachine.h is the same for INSTALL.EXE under Wine.

#include "tests/e2e/Scenario.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vendora::e2e {

namespace fs = std::filesystem;

struct RunResult {
    int ExitCode = -1;
    std::string Stdout, Stderr;
    std::vector<std::string> Transcript; // one record a line
    std::vector<std::string> ShellLog;   // file TAB parameters TAB directory TAB result
    std::chrono::milliseconds Duration{0};
};

class Machine {
public:
    // A new root holding drive C: with C:\Windows\Fonts, as a Windows machine has.
    Machine();
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    const fs::path& Root() const { return root_; }
    // The screen's density for the program's windows (VENDORA_UI_DPI).
    void SetScreenDpi(int dpi) { dpi_ = dpi; }
    // The host path of a place below the root, "drive_c/Vendora/Vendora.EXE".
    fs::path Host(const std::string& relative) const { return root_ / fs::u8path(relative); }

    // Runs a program of the build's bin folder (INSTALL by default) with these arguments (after the
    // program's own name) and ui script lines; waits for it to end.
    RunResult Run(const std::vector<std::string>& arguments = {}, const std::vector<std::string>& script = {},
                  const std::string& program = "INSTALL");
    // The same in two halves, for a test that acts while the program runs.
    void Start(const std::vector<std::string>& arguments = {}, const std::vector<std::string>& script = {},
               const std::string& program = "INSTALL");
    RunResult Finish();
    // Plays a scenario (see Scenario.h) and takes its pictures, through snapshots of the headless windows.
    RunResult Play(const Scenario& scenario, Pictures& pictures,
                   const std::vector<std::string>& arguments = {}, const std::string& program = "INSTALL");
    // Waits for a transcript record starting with prefix; false when none came by the time the program
    // ended or timeout ran out.
    bool WaitForRecord(const std::string& prefix, std::chrono::seconds timeout);

    // Waits up to a few seconds for the output file of the last run to hold text (started programs write
    // to it after the installer has ended) and returns the whole output.
    std::string WaitForOutput(const std::string& text);

private:
    void Launch(const std::vector<std::string>& arguments, const std::vector<std::string>& script,
                const std::string& program, bool snapshots);

    fs::path root_;
    fs::path work_;
    int dpi_ = 96;
    int pid_ = 0;
    std::chrono::steady_clock::time_point started_;
};

// A program of the host that holds a file open, as a running application holds its executable, until the
// test lets it go (Release, or its end).
class Holder {
public:
    explicit Holder(const fs::path& file);
    ~Holder();
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
    void Release();

private:
    fs::path release_;
    int pid_ = 0;
};

// Files below a folder, relative, with '/' separators, sorted.
std::vector<std::string> FilesBelow(const fs::path& folder);
std::string ReadFile(const fs::path& file);
std::vector<std::string> Lines(const std::string& text);
void WriteFile(const fs::path& file, const std::string& bytes);
// Transcript records starting with prefix.
std::vector<std::string> Records(const RunResult& run, const std::string& prefix);
// The build's bin folder.
fs::path BinFolder();
// The test's own environment without the VENDORA_ settings of an outer run (the source and build folders
// stay), for a program started on a machine of its own.
std::vector<std::string> BaseEnvironment();
// Starts arguments[0] with that environment, reading nothing, its output to the files given (both to out
// when err is empty), in folder (the test's own when empty); the process id. Raises when it cannot start.
int SpawnProgram(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                 const fs::path& out, const fs::path& err = {}, const fs::path& folder = {});
// Waits for the process to end; its raw wait status, and its exit code from that.
int WaitForExit(int pid);
int ExitCodeOf(int status);
// Whether the process has not ended yet; it stays to be waited for.
bool Running(int pid);
// The environment with name set to value, replacing what it had.
void SetVariable(std::vector<std::string>& environment, const std::string& name, const std::string& value);

} // namespace vendora::e2e
