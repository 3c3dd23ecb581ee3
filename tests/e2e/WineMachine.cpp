#include "tests/e2e/WineMachine.h"

#include "dialogs/forms/Ubm.h"
#include "gfx/png/Png.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace vendora::e2e {

namespace {

// Runs a host command to its end with that environment; its exit code, its output in output.
int RunHost(const std::vector<std::string>& command, const std::vector<std::string>& environment,
            const fs::path& output) {
    return ExitCodeOf(WaitForExit(SpawnProgram(command, environment, output)));
}

} // namespace

std::string Setting(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        throw std::runtime_error(std::string(name) + " is not set; run the scenarios through ctest");
    return value;
}

fs::path ResultsFolder() {
    const char* results = std::getenv("VENDORA_WINE_RESULTS");
    return results != nullptr && *results != '\0' ? fs::path(results)
                                                  : fs::path(Setting("VENDORA_WINE_WORK"));
}

fs::path WindowsBin() {
    return Setting("VENDORA_WINE_BIN");
}

fs::path WineFixture(const std::string& name) {
    const fs::path file = fs::path(Setting("VENDORA_WINE_FIXTURES")) / name;
    if (!fs::exists(file))
        throw std::runtime_error("no " + file.string() + ": build the target vendora_wine_scenario_fixtures");
    return file;
}

fs::path Payload() {
    return Setting("VENDORA_PAYLOAD");
}

std::string WindowsPath(const fs::path& host) {
    std::string path = "Z:" + fs::absolute(host).string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

fs::path DemoEntriesFolder() {
    return WineFixture("demo-entries");
}

std::vector<std::string> DemoEntries() {
    return FilesBelow(DemoEntriesFolder());
}

fs::path FindNoCase(const fs::path& folder, const std::string& name) {
    const auto lower = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (lower(entry.path().filename().string()) == lower(name))
            return entry.path();
    return {};
}

WineMachine::WineMachine(const std::string& name) {
    pictures_ = ResultsFolder() / "wine-snapshots" / name;
    fs::remove_all(pictures_);
    fs::create_directories(pictures_);
    // Beside the base prefix, on its file system: the run's prefix shares Wine's libraries with it.
    const fs::path work = Setting("VENDORA_WINE_WORK");
    fs::create_directories(work / "wine-runs");
    std::string pattern = (work / "wine-runs" / "XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a folder in " + (work / "wine-runs").string());
    run_ = pattern;
    prefix_ = run_ / "prefix";
    home_ = run_ / "home";
    folder_ = run_ / "cwd";
    try {
        Prepare(work);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(run_, ignored);
        throw;
    }
}

void WineMachine::Prepare(const fs::path& work) {
    fs::create_directories(folder_);
    const fs::path said = run_ / "wine-prefix.txt";
    if (RunHost({Setting("VENDORA_SOURCE_DIR") + "/scripts/wine-prefix-copy", "--home", home_.string(),
                 (work / "wine-base").string(), prefix_.string()},
                BaseEnvironment(), said) != 0)
        throw std::runtime_error("no Wine prefix for the run: " + ReadFile(said));
}

WineMachine::~WineMachine() {
    for (int pid : launched_) {
        if (e2e::Running(pid))
            ::kill(pid, SIGKILL);
        WaitForExit(pid);
    }
    if (installer_ != 0) {
        ::kill(installer_, SIGCONT);
        ::kill(installer_, SIGKILL);
        WaitForExit(installer_);
    }
    try {
        Server("-k");
        Server("-w");
    } catch (...) {
        // A machine that could not end its server is removed all the same.
    }
    std::error_code ignored;
    fs::remove_all(run_, ignored);
}

std::vector<std::string> WineMachine::Environment() const {
    std::vector<std::string> env = BaseEnvironment();
    SetVariable(env, "WINEPREFIX", prefix_.string());
    SetVariable(env, "HOME", home_.string());
    SetVariable(env, "WINEDEBUG", "-all");
    // No Mono or Gecko prompts, no .desktop files, and a program that crashes ends instead of waiting in
    // the debugger: the test sees it end.
    SetVariable(env, "WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d");
    SetVariable(env, "LANG", locale_);
    SetVariable(env, "LC_ALL", locale_);
    SetVariable(env, "TZ", "UTC");
    SetVariable(env, "VENDORA_STANDIN_LOG", WindowsPath(StandinLog()));
    SetVariable(env, "VENDORA_RECORDER_LOG", WindowsPath(RecorderLog()));
    return env;
}

int WineMachine::Spawn(const std::vector<std::string>& command, const fs::path& out, const fs::path& err,
                       const std::vector<std::string>& more) {
    std::vector<std::string> env = Environment();
    for (const std::string& variable : more)
        env.push_back(variable);
    std::vector<std::string> args{Setting("VENDORA_SOURCE_DIR") + "/scripts/wine-run"};
    args.insert(args.end(), command.begin(), command.end());
    return SpawnProgram(args, env, out, err, folder_);
}

void WineMachine::Server(const std::string& option) {
    RunHost({"wineserver", option}, Environment(), run_ / "wineserver.txt");
}

void WineMachine::WaitForServer() {
    Server("-w");
}

void WineMachine::KeepServer() {
    const int pid = SpawnProgram({"wineserver", "-p"}, Environment(), run_ / "wineserver.txt");
    WaitForExit(pid);
}

void WineMachine::AddMachineKeys(const std::string& keys) {
    WaitForServer();
    std::string registry = ReadFile(Host("system.reg"));
    WriteFile(Host("system.reg"), registry + "\n" + keys);
}

void WineMachine::SetScreenDpi(int dpi) {
    char value[16];
    std::snprintf(value, sizeof value, "%08x", static_cast<unsigned>(dpi));
    AddMachineKeys("[System\\\\CurrentControlSet\\\\Hardware Profiles\\\\Current\\\\Software\\\\Fonts] "
                   "1700000000\n\"LogPixels\"=dword:" +
                   std::string(value) + "\n");
    scale_ = Scale(dpi);
}

void WineMachine::Start(const std::vector<std::string>& arguments, const fs::path& program) {
    if (installer_ != 0)
        throw std::logic_error("an installer runs already");
    fs::remove(run_ / "transcript.txt");
    std::vector<std::string> command{program.string()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    installer_ = Spawn(command, run_ / "installer.out", run_ / "installer.err",
                       {"VENDORA_UI_TRANSCRIPT=" + WindowsPath(run_ / "transcript.txt")});
}

int WineMachine::Finish() {
    const int status = WaitForExit(installer_);
    installer_ = 0;
    return ExitCodeOf(status);
}

bool WineMachine::Running() const {
    return installer_ != 0 && e2e::Running(installer_);
}

void WineMachine::Pause() {
    ::kill(installer_, SIGSTOP);
}

void WineMachine::Resume() {
    ::kill(installer_, SIGCONT);
}

std::string WineMachine::Stderr() const {
    return ReadFile(run_ / "installer.err");
}

std::vector<std::string> WineMachine::Records(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : Lines(ReadFile(run_ / "transcript.txt")))
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    return found;
}

bool WineMachine::WaitForRecord(const std::string& prefix, int count, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        // Asked before reading, so that the last records of a program that ended are read too.
        const bool running = Running();
        if (static_cast<int>(Records(prefix).size()) >= count)
            return true;
        if (!running || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

int WineMachine::Launch(const fs::path& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> command{program.string()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const std::string name = program.filename().string() + "-" + std::to_string(launched_.size());
    launched_.push_back(Spawn(command, run_ / (name + ".out"), run_ / (name + ".err")));
    return launched_.back();
}

WineMachine::Output WineMachine::RunProgram(const fs::path& program,
                                            const std::vector<std::string>& arguments) {
    std::vector<std::string> command{program.string()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const fs::path out = run_ / "program.out", err = run_ / "program.err";
    Output output;
    output.ExitCode = ExitCodeOf(WaitForExit(Spawn(command, out, err)));
    output.Out = ReadFile(out);
    output.Err = ReadFile(err);
    return output;
}

WindowId WineMachine::WaitForWindow(const std::string& title, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    XScreen& screen = XScreen::Get();
    for (;;) {
        const bool running = Running();
        if (const ScreenWindow found = screen.FindVisible(title); found.Id != 0)
            return found.Id;
        if (installer_ != 0 && !running)
            throw std::runtime_error("the program ended without a window titled \"" + title + "\"; " +
                                     Stderr());
        if (std::chrono::steady_clock::now() >= deadline)
            throw std::runtime_error("no window titled \"" + title + "\" within " +
                                     std::to_string(timeout.count()) + " s; " +
                                     screen.Said((pictures_ / "screen-at-failure.png").string()));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

WindowId WineMachine::WaitForMessage(int number, const std::string& title) {
    if (!WaitForRecord("message ", number))
        throw std::runtime_error("no message number " + std::to_string(number) + " (\"" + title + "\"); " +
                                 Stderr());
    const std::string record = Records("message ")[static_cast<std::size_t>(number - 1)];
    if (record.rfind("message title=\"" + title, 0) != 0)
        throw std::runtime_error("message " + std::to_string(number) + " is not titled \"" + title +
                                 "\": " + record);
    return WaitForWindow(title);
}

bool WineMachine::WaitForNoWindow(const std::string& title, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (XScreen::Get().FindVisible(title).Id != 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

Bitmap WineMachine::Picture(WindowId window, const std::string& name, bool live) {
    Bitmap picture = XScreen::Get().Painted(window, live);
    SavePng(picture, (pictures_ / (name + ".png")).string());
    return picture;
}

void WineMachine::ClickButton(WindowId window, int number) {
    const IntRect button =
        MessageLayout::OneRowButton(number, XScreen::Get().Describe(window).Height, scale_);
    Click(window, button.Left + button.Width() / 2, button.Top + button.Height() / 2);
}

int WineMachine::Play(const Scenario& scenario, Pictures& pictures,
                      const std::vector<std::string>& arguments) {
    Start(arguments);
    for (const Step& step : scenario) {
        const WindowId window = WaitForWindow(step.Title);
        if (!step.Picture.empty())
            pictures[step.Picture] = Picture(window, step.Picture);
        if (step.Then)
            step.Then();
        if (step.Answer.empty())
            continue;
        const std::size_t space = step.Answer.find(' ');
        const std::string verb = step.Answer.substr(0, space), key = step.Answer.substr(space + 1);
        if (verb != "key" && verb != "char")
            throw std::logic_error("a scenario under Wine answers with keys, not \"" + step.Answer + "\"");
        // The next step may wait for a window of the same title: this one goes first.
        const int answers = static_cast<int>(Records("answer ").size());
        Key(window, key);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (static_cast<int>(Records("answer ").size()) == answers &&
               XScreen::Get().Describe(window).Visible && Running() &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return Finish();
}

} // namespace vendora::e2e
