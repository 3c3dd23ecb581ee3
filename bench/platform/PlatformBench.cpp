// What the emulated drives cost where the installer leans on them: the update wait opens the executable
// without pause (each write open scans /proc for programs using the file), extraction overwrites files in
// an existing folder, and every path component is matched without regard to case.

#include "base/Cp1252.h"
#include "platform/linux/LinuxPlatform.h"

#include <benchmark/benchmark.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace vendora;

namespace {

class Machine {
public:
    Machine() {
        std::string pattern = "/tmp/vendora-bench-XXXXXX";
        base_ = ::mkdtemp(pattern.data());
        LinuxPlatformOptions options;
        options.Root = base_ + "/root";
        options.User = "bench";
        platform_ = std::make_unique<LinuxPlatform>(options);
        std::filesystem::create_directories(base_ + "/root/drive_c/Vendora/MAJ");
        std::ofstream(base_ + "/root/drive_c/Vendora/Vendora.EXE") << "exe";
        for (int i = 0; i < 1000; ++i)
            std::ofstream(base_ + "/root/drive_c/Vendora/MAJ/File" + std::to_string(i) + ".dat") << i;
    }
    ~Machine() {
        platform_.reset();
        std::filesystem::remove_all(base_);
    }
    EmulatedFileSystem& Files() { return platform_->Files(); }

private:
    std::string base_;
    std::unique_ptr<LinuxPlatform> platform_;
};

// One attempt of the update wait on a present executable: open for reading and writing, then close.
void BM_WaitAttemptPresent(benchmark::State& state) {
    Machine machine;
    for (auto _ : state) {
        auto file =
            machine.Files()
                .CreateFile("c:\\Vendora\\Vendora.EXE", FileAccess::GenericRead | FileAccess::GenericWrite,
                            FileShare::Read | FileShare::Write, Disposition::OpenExisting)
                .ValueOr(nullptr);
        benchmark::DoNotOptimize(file);
    }
}
BENCHMARK(BM_WaitAttemptPresent)->Unit(benchmark::kMicrosecond);

// The attempts while the application runs: another process holds the executable open.
void BM_WaitAttemptWhileHeld(benchmark::State& state) {
    Machine machine;
    const AnsiString exe = "c:\\Vendora\\Vendora.EXE";
    const std::string host = *machine.Files().HostPathOf(exe);
    int ready[2];
    if (::pipe(ready) != 0)
        return;
    const pid_t holder = ::fork();
    if (holder == 0) {
        const int fd = ::open(host.c_str(), O_RDONLY);
        [[maybe_unused]] const ssize_t told = ::write(ready[1], "r", 1);
        ::pause();
        ::close(fd);
        ::_exit(0);
    }
    char c;
    [[maybe_unused]] const ssize_t heard = ::read(ready[0], &c, 1);
    for (auto _ : state) {
        auto file = machine.Files()
                        .CreateFile(exe, FileAccess::GenericRead | FileAccess::GenericWrite,
                                    FileShare::Read | FileShare::Write, Disposition::OpenExisting)
                        .ValueOr(nullptr);
        if (file)
            state.SkipWithError("the held executable was opened for writing");
    }
    ::kill(holder, SIGTERM);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
}
BENCHMARK(BM_WaitAttemptWhileHeld)->Unit(benchmark::kMicrosecond);

// The same attempt on a missing executable (the 499 attempts before the wait gives up).
void BM_WaitAttemptMissing(benchmark::State& state) {
    Machine machine;
    for (auto _ : state) {
        auto file =
            machine.Files()
                .CreateFile("c:\\Vendora\\Absent.EXE", FileAccess::GenericRead | FileAccess::GenericWrite,
                            FileShare::Read | FileShare::Write, Disposition::OpenExisting)
                .ValueOr(nullptr);
        benchmark::DoNotOptimize(file);
    }
}
BENCHMARK(BM_WaitAttemptMissing)->Unit(benchmark::kMicrosecond);

// A component spelled as on disk, and one that needs the folder read (1000 entries).
void BM_ResolveExactCase(benchmark::State& state) {
    Machine machine;
    for (auto _ : state)
        benchmark::DoNotOptimize(machine.Files().FileExists("C:\\Vendora\\MAJ\\File500.dat"));
}
BENCHMARK(BM_ResolveExactCase)->Unit(benchmark::kMicrosecond);

void BM_ResolveOtherCase(benchmark::State& state) {
    Machine machine;
    for (auto _ : state)
        benchmark::DoNotOptimize(machine.Files().FileExists("c:\\vendora\\maj\\FILE500.DAT"));
}
BENCHMARK(BM_ResolveOtherCase)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
