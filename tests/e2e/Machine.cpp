#include "tests/e2e/Machine.h"

#include "gfx/png/Png.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vendora::e2e {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

fs::path BinFolder() {
    const char* binary = std::getenv("VENDORA_BINARY_DIR");
    if (binary == nullptr)
        throw std::runtime_error("VENDORA_BINARY_DIR is not set; run the test through ctest");
    return fs::path(binary) / "bin";
}

Machine::Machine() {
    std::string pattern = (fs::temp_directory_path() / "vendora-e2e.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    work_ = pattern;
    root_ = work_ / "root";
    fs::create_directories(root_ / "drive_c" / "Windows" / "Fonts");
}

Machine::~Machine() {
    std::error_code ignored;
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(work_, ignored);
}

RunResult Machine::Run(const std::vector<std::string>& arguments, const std::vector<std::string>& script,
                       const std::string& program) {
    Start(arguments, script, program);
    return Finish();
}

void Machine::Start(const std::vector<std::string>& arguments, const std::vector<std::string>& script,
                    const std::string& program) {
    Launch(arguments, script, program, false);
}

RunResult Machine::Play(const Scenario& scenario, Pictures& pictures,
                        const std::vector<std::string>& arguments, const std::string& program) {
    std::vector<std::string> script;
    for (const Step& step : scenario) {
        script.push_back("wait " + step.Title);
        if (!step.Picture.empty())
            script.push_back("snapshot " + step.Picture);
        if (!step.Answer.empty())
            script.push_back(step.Answer);
    }
    fs::remove_all(work_ / "snapshots");
    Launch(arguments, script, program, true);
    // A snapshot of the windows shown at a step; each step shows one.
    const auto taken = [&](const Step& step) {
        std::vector<fs::path> files;
        for (const std::string& file : FilesBelow(work_ / "snapshots"))
            if (file.find("-" + step.Picture + "-") == 3)
                files.push_back(work_ / "snapshots" / file);
        return files;
    };
    for (const Step& step : scenario) {
        if (!step.Then)
            continue;
        while (taken(step).empty() && Running(pid_))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        step.Then();
    }
    RunResult run = Finish();
    for (const Step& step : scenario) {
        if (step.Picture.empty())
            continue;
        const std::vector<fs::path> files = taken(step);
        if (files.size() != 1)
            throw std::runtime_error("the native run took " + std::to_string(files.size()) + " pictures at " +
                                     step.Picture + ", expected one: " + run.Stderr);
        pictures[step.Picture] = LoadPng(files[0].string());
    }
    return run;
}

void Machine::Launch(const std::vector<std::string>& arguments, const std::vector<std::string>& script,
                     const std::string& program, bool snapshots) {
    std::string scriptText;
    for (const std::string& line : script)
        scriptText += line + "\n";
    WriteFile(work_ / "script.ui", scriptText);
    for (const char* name : {"transcript.txt", "shell.log", "stdout.txt", "stderr.txt"})
        fs::remove(work_ / name);

    std::vector<std::string> env = BaseEnvironment();
    env.push_back("VENDORA_ROOT=" + root_.string());
    env.push_back("VENDORA_UI_SCRIPT=" + (work_ / "script.ui").string());
    env.push_back("VENDORA_UI_TRANSCRIPT=" + (work_ / "transcript.txt").string());
    env.push_back("VENDORA_SHELL_LOG=" + (work_ / "shell.log").string());
    if (snapshots)
        env.push_back("VENDORA_UI_SNAPSHOTS=" + (work_ / "snapshots").string());
    env.push_back("VENDORA_UI_DPI=" + std::to_string(dpi_));
    std::vector<std::string> args{(BinFolder() / program).string()};
    args.insert(args.end(), arguments.begin(), arguments.end());
    started_ = std::chrono::steady_clock::now();
    pid_ = SpawnProgram(args, env, work_ / "stdout.txt", work_ / "stderr.txt");
}

RunResult Machine::Finish() {
    const int status = WaitForExit(pid_);
    RunResult result;
    result.Duration =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_);
    const std::string out = (work_ / "stdout.txt").string(), err = (work_ / "stderr.txt").string();
    result.ExitCode = ExitCodeOf(status);
    result.Stdout = ReadFile(out);
    result.Stderr = ReadFile(err);
    result.Transcript = Lines(ReadFile(work_ / "transcript.txt"));
    result.ShellLog = Lines(ReadFile(work_ / "shell.log"));
    return result;
}

bool Machine::WaitForRecord(const std::string& prefix, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        // Whether the program has ended, asked before reading so that its last records are read too.
        const bool running = Running(pid_);
        for (const std::string& line : Lines(ReadFile(work_ / "transcript.txt")))
            if (line.rfind(prefix, 0) == 0)
                return true;
        if (!running || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string Machine::WaitForOutput(const std::string& text) {
    // A guard against a program that never writes, far beyond what a loaded machine takes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::string output = ReadFile(work_ / "stdout.txt");
    while (output.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        output = ReadFile(work_ / "stdout.txt");
    }
    return output;
}

Holder::Holder(const fs::path& file) {
    // The signal to let go, outside any machine's disk.
    static int holders = 0;
    release_ = fs::temp_directory_path() /
               ("vendora-holder-" + std::to_string(::getpid()) + "-" + std::to_string(++holders));
    const std::string script = "exec 3<>\"$0\"; while [ ! -e \"$1\" ]; do sleep 0.05; done";
    pid_ = SpawnProgram({"/bin/sh", "-c", script, file.string(), release_.string()}, BaseEnvironment(),
                        "/dev/null");
    // Let it open the file first, however long a loaded machine takes; a holder that ended never will.
    const fs::path fd3 = "/proc/" + std::to_string(pid_) + "/fd/3";
    while (!fs::exists(fd3)) {
        if (!Running(pid_)) {
            WaitForExit(pid_);
            pid_ = 0;
            throw std::runtime_error("the holder ended before it opened the file");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void Holder::Release() {
    if (pid_ == 0)
        return;
    WriteFile(release_, "");
    WaitForExit(pid_);
    pid_ = 0;
    fs::remove(release_);
}

Holder::~Holder() {
    Release();
}

std::vector<std::string> FilesBelow(const fs::path& folder) {
    std::vector<std::string> files;
    if (!fs::exists(folder))
        return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.push_back(fs::relative(entry.path(), folder).generic_string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

std::vector<std::string> Records(const RunResult& run, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : run.Transcript)
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    return found;
}

std::vector<std::string> BaseEnvironment() {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (text.rfind("VENDORA_", 0) != 0 || text.rfind("VENDORA_SOURCE_DIR=", 0) == 0 ||
            text.rfind("VENDORA_BINARY_DIR=", 0) == 0)
            env.push_back(text);
    }
    return env;
}

int SpawnProgram(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                 const fs::path& out, const fs::path& err, const fs::path& folder) {
    std::vector<std::string> args = arguments, env = environment;
    std::vector<char*> argv, envp;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
    if (err.empty())
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    else
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + args[0]);
    return pid;
}

int WaitForExit(int pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

int ExitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool Running(int pid) {
    siginfo_t ended{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           ended.si_pid == 0;
}

void SetVariable(std::vector<std::string>& environment, const std::string& name, const std::string& value) {
    std::erase_if(environment, [&](const std::string& entry) { return entry.rfind(name + "=", 0) == 0; });
    environment.push_back(name + "=" + value);
}

} // namespace vendora::e2e
