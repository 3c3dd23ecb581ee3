// A power cut or a kill while an update runs: the installer is killed (SIGKILL) on entering one call that
// changes the disk, once for each chosen call of an update in turn (KillAt.cpp, preloaded, counts the calls
// and kills). After each kill every file is the old one or the new one, never a part; the old executable is
// still whole as Vendora.EXE or ex_Vendora.EXE; killed before the split's first rename, every entry of the
// MAJ folder is still the old one; and running the update again completes it and leaves no temporary file.
//
// The kill points: every call that changes the disk (every write, rename, unlink, flush, change of times
// or mode, and every open that creates or truncates), in turn.
#include "platform/linux/ShellLinkFile.h"
#include "tests/e2e/Machine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

using namespace vendora::e2e;

namespace {

const std::vector<std::string> Answers = {"key Return", "char n"};

#if defined(__SANITIZE_ADDRESS__)
// Under the sanitizers every run takes several times as long: one kill point in seven, spread over the
// whole update.
constexpr std::size_t Stride = 7;
#else
constexpr std::size_t Stride = 1;
#endif

struct Call {
    std::size_t Position = 0; // in the log
    std::string Name;
    long Invocation = 0; // 1 for the first call of this name
    unsigned long Flags = 0;
    std::string Path;
    std::string Describe() const { return Name + " #" + std::to_string(Invocation) + " " + Path; }
};

bool KilledBySigkill(int status) {
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// Every file below a folder with its content; the staging names of copies in progress are left out.
std::map<std::string, std::string> Contents(const fs::path& folder) {
    static const std::regex staging(R"((^|/)~[0-9A-F]{7}\.TMP$)");
    std::map<std::string, std::string> files;
    for (const std::string& name : FilesBelow(folder))
        if (!std::regex_search(name, staging))
            files[name] = ReadFile(folder / name);
    return files;
}

std::vector<std::string> StagingFiles(const fs::path& folder) {
    static const std::regex staging(R"((^|/)~[0-9A-F]{7}\.TMP$)");
    std::vector<std::string> found;
    for (const std::string& name : FilesBelow(folder))
        if (std::regex_search(name, staging))
            found.push_back(name);
    return found;
}

// The log of the preloaded library: "name number flags path" a line.
std::vector<Call> ParseLog(const fs::path& log) {
    std::vector<Call> calls;
    std::ifstream in(log);
    for (std::string text; std::getline(in, text);) {
        std::istringstream fields(text);
        Call call;
        call.Position = calls.size();
        fields >> call.Name >> call.Invocation >> std::hex >> call.Flags;
        std::getline(fields >> std::ws, call.Path);
        calls.push_back(call);
    }
    return calls;
}

// Opening changes the disk only with these flags; every other call of the log changes it.
bool Changes(const Call& call) {
    if (call.Name.rfind("open", 0) != 0)
        return true;
    return (call.Flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
}

std::vector<Call> ChooseKillPoints(const std::vector<Call>& calls) {
    std::vector<Call> points;
    std::size_t changing = 0;
    for (const Call& call : calls)
        if (Changes(call) && changing++ % Stride == 0)
            points.push_back(call);
    return points;
}

std::string Folded(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name;
}

// The split's first rename: the first rename to the name of a file it writes. The log names the target
// without its folder where the call takes a folder descriptor.
std::size_t FirstEntryRename(const std::vector<Call>& calls, const std::set<std::string>& entries) {
    for (const Call& call : calls)
        if (call.Name.rfind("rename", 0) == 0 &&
            entries.contains(Folded(call.Path.substr(call.Path.find_last_of('/') + 1))))
            return call.Position;
    throw std::runtime_error("the reference update never renamed an entry into place");
}

void Restore(const fs::path& snapshot, const fs::path& root) {
    fs::remove_all(root);
    fs::copy(snapshot, root, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

class KilledUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(machine_.Run({}, Answers).ExitCode, 0);
        std::string old = "the old executable, ";
        for (int i = 0; i < 12; ++i)
            old += old;
        old_ = old;
        WriteFile(machine_.Host("drive_c/Vendora/vendora.exe"), old_);
        // An earlier update's files in MAJ, each different from what this update brings.
        for (const std::string& name : FilesBelow(machine_.Host("drive_c/Vendora")))
            if (name.find('/') == std::string::npos && name != "Vendora.FCC" && name != "install.exe")
                WriteFile(machine_.Host("drive_c/Vendora/MAJ/" + name), "the old " + name);
        work_ = machine_.Root().parent_path() / "kill";
        fs::create_directories(work_);
        WriteFile(work_ / "script.ui", "key Return\nchar n\n");
        snapshot_ = work_ / "before";
        fs::copy(machine_.Root(), snapshot_, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }

    std::vector<std::string> Environment() const {
        std::vector<std::string> env = BaseEnvironment();
        env.insert(env.end(), {"VENDORA_ROOT=" + machine_.Root().string(),
                               "VENDORA_UI_SCRIPT=" + (work_ / "script.ui").string(),
                               "VENDORA_UI_TRANSCRIPT=" + (work_ / "transcript.txt").string(),
                               "VENDORA_SHELL_LOG=" + (work_ / "shell.log").string()});
        return env;
    }
    // The update with the library preloaded: it logs every call, or kills at the one named.
    int RunPreloaded(const std::string& setting) {
        std::vector<std::string> env = Environment();
        env.push_back("LD_PRELOAD=" + std::string(VENDORA_KILL_LIBRARY));
        // A sanitized program wants its runtime first; the library takes nothing from it.
        env.push_back("ASAN_OPTIONS=verify_asan_link_order=0");
        env.push_back(setting);
        return WaitForExit(SpawnProgram({(BinFolder() / "INSTALL").string()}, env, work_ / "output.txt"));
    }

    // What a kill may leave: every file old or new, the old executable whole somewhere, the shortcut
    // readable.
    void ExpectNothingLost(const std::map<std::string, std::string>& before,
                           const std::map<std::string, std::string>& after, const std::string& point) {
        const fs::path drive = machine_.Host("drive_c");
        for (const auto& [name, content] : Contents(drive)) {
            if (name.ends_with(".lnk")) {
                std::string error;
                EXPECT_TRUE(vendora::ReadShellLinkFile((drive / name).string(), &error))
                    << point << ": " << error;
                continue;
            }
            const auto old = before.find(name);
            const auto now = after.find(name);
            const bool whole = (old != before.end() && old->second == content) ||
                               (now != after.end() && now->second == content);
            EXPECT_TRUE(whole) << point << ": " << name << " is neither the old file nor the new one ("
                               << content.size() << " bytes)";
        }
        const std::string executable = ReadFile(drive / "Vendora/vendora.exe");
        EXPECT_TRUE(executable == old_ || executable == after.at("Vendora/vendora.exe"))
            << point << ": Vendora.EXE is a part (" << executable.size() << " bytes)";
        EXPECT_TRUE(executable == old_ || ReadFile(drive / "Vendora/ex_Vendora.EXE") == old_)
            << point << ": the old executable is lost";
    }

    // The MAJ folder's files that the split writes: all of them still the old ones.
    void ExpectEveryEntryOld(const std::map<std::string, std::string>& before,
                             const std::set<std::string>& entries, const std::string& point) {
        const fs::path folder = machine_.Host("drive_c/Vendora/MAJ");
        for (const std::string& name : FilesBelow(folder)) {
            if (!entries.contains(Folded(name)))
                continue;
            EXPECT_EQ(ReadFile(folder / name), before.at("Vendora/MAJ/" + name))
                << point << ": " << name << " is new before the split's first rename";
        }
    }

    Machine machine_;
    fs::path work_, snapshot_;
    std::string old_;
};

TEST_F(KilledUpdate, NoKillPointLosesAFileAndASecondRunCompletesTheUpdate) {
    // The reference update, logged, tells which calls there are.
    const int reference = RunPreloaded("VENDORA_KILL_LOG=" + (work_ / "calls.txt").string());
    ASSERT_TRUE(WIFEXITED(reference) && WEXITSTATUS(reference) == 0) << ReadFile(work_ / "output.txt");
    const auto before = Contents(snapshot_ / "drive_c");
    const auto after = Contents(machine_.Host("drive_c"));
    ASSERT_NE(after.at("Vendora/vendora.exe"), old_);
    ASSERT_EQ(after.at("Vendora/ex_Vendora.EXE"), old_);

    const std::vector<Call> calls = ParseLog(work_ / "calls.txt");
    for (const Call& call : calls)
        ASSERT_FALSE(Folded(call.Path).ends_with(".ctn")) << "an intermediate file: " << call.Describe();
    const std::vector<Call> points = ChooseKillPoints(calls);
    ASSERT_GE(points.size(), 140u / Stride);
    std::set<std::string> entries;
    for (const auto& [name, content] : after)
        if (name.rfind("Vendora/MAJ/", 0) == 0 && name != "Vendora/MAJ/Vendora.FCC")
            entries.insert(Folded(name.substr(12)));
    ASSERT_GE(entries.size(), 10u);
    ASSERT_TRUE(std::all_of(entries.begin(), entries.end(), [&](const std::string& entry) {
        return std::any_of(before.begin(), before.end(),
                           [&](const auto& file) { return Folded(file.first) == "vendora/maj/" + entry; });
    })) << "every entry has an older file to replace";
    const std::size_t firstRename = FirstEntryRename(calls, entries);
    // The split's own calls begin after the archive's rename, the last one before.
    std::size_t splitStart = 0;
    for (const Call& call : calls)
        if (call.Position < firstRename && call.Name.rfind("rename", 0) == 0)
            splitStart = call.Position;
    int beforeTheRenames = 0, inTheSplit = 0;
    std::map<std::string, int> perCall;
    for (const Call& point : points) {
        Restore(snapshot_, machine_.Root());
        const std::string where = point.Describe();
        const int status =
            RunPreloaded("VENDORA_KILL_AT=" + point.Name + ":" + std::to_string(point.Invocation));
        ASSERT_TRUE(KilledBySigkill(status))
            << where << " was never reached: " << ReadFile(work_ / "output.txt");
        ++perCall[point.Name];
        ExpectNothingLost(before, after, where);
        if (point.Position < firstRename) {
            ExpectEveryEntryOld(before, entries, where);
            ++beforeTheRenames;
            inTheSplit += point.Position > splitStart;
        }

        const RunResult again = machine_.Run({}, Answers);
        EXPECT_EQ(again.ExitCode, 0) << where << ": " << again.Stderr;
        EXPECT_TRUE(ReadFile(machine_.Host("drive_c/Vendora/vendora.exe")) == after.at("Vendora/vendora.exe"))
            << where << ": the second run did not complete the update";
        EXPECT_EQ(StagingFiles(machine_.Host("drive_c")), std::vector<std::string>{}) << where;
        if (HasFailure())
            break;
    }
    // The split's own calls before its renames (each entry's write and flush at least) were among them.
    EXPECT_GE(inTheSplit, static_cast<int>(2 * entries.size() / Stride));
    std::ostringstream summary;
    for (const auto& [name, count] : perCall)
        summary << name << " " << count << "; ";
    const auto changing = std::count_if(calls.begin(), calls.end(), Changes);
    RecordProperty("kill_points", static_cast<int>(points.size()));
    RecordProperty("changing_calls", static_cast<int>(changing));
    std::cout << points.size() << " kill points of " << changing << " calls that change the disk ("
              << beforeTheRenames << " before the split's first rename, " << inTheSplit
              << " of them in the split): " << summary.str() << "\n";
}

} // namespace
