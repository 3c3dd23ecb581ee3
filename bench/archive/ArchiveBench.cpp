// Extraction against the plain reference, and the memory that extraction and the archive tool hold.
//
//   bench_archive [--pairs N] [--large-pairs N]
//       In one process, on copies of the same archive, in turn: the project's whole extraction (read the
//       archive, inflate in memory, write the entries), the same without waiting for the disk ("no sync":
//       no flush; the write-back is still started), the extraction as the previous version made it, which
//       also wrote the inflated archive to a .CTN file and deleted it ("with .CTN": the figures before),
//       and the plain reference (read the archive,
//       zlib's uncompress into one buffer, each file written with one write), and the same plain program
//       putting each file in place durably (temporary name, fsync, rename, fsync of the folder: "durable
//       ref"). Medians of wall and processor time and their ratios to the reference, for the shipped shape
//       and for 200 MB, and how long the project's renames take (the only time when old and new entries
//       can mix).
//   bench_archive --memory [--worst-rows N]
//       Peak resident memory (ru_maxrss) of child processes extracting and listing the shipped shape,
//       200 MB and the worst table the format allows, next to the bound compressed + inflated + 16 MB.
//   bench_archive --make ARCHIVE SIZE
//       Writes an archive of the shipped shape inflating to about SIZE bytes.
//   bench_archive --run project|nosync|reference|durable ARCHIVE FOLDER [TIMES]
//       One side alone, for valgrind --tool=callgrind.
#include "archive/ArchiveWriter.h"
#include "archive/Concatene.h"
#include "archive/MemoryStream.h"
#include "archive/ZCompress.h"
#include "base/Convert.h"
#include "base/Cp1252.h"
#include "platform/posix/HostFileSystem.h"
#include "tests/support/RecordingExtractionUi.h"
#include "tools/fcc/Fcc.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace {

namespace fs = std::filesystem;
using namespace vendora;
using Bytes = std::vector<std::uint8_t>;

// Semi-compressible bytes: words from a skewed vocabulary with a little noise, about half their size at
// level 1, as the shipped executable.
Bytes ProgramLikeBytes(std::size_t size, unsigned salt) {
    std::mt19937 random(salt);
    std::vector<Bytes> words(2000);
    for (auto& word : words) {
        word.resize(2 + random() % 11);
        for (auto& byte : word)
            byte = static_cast<std::uint8_t>(random());
    }
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Bytes out;
    out.reserve(size + 16);
    while (out.size() < size) {
        if (unit(random) < 0.02) {
            for (int i = 0; i < 8; ++i)
                out.push_back(static_cast<std::uint8_t>(random()));
        } else {
            const auto& word = words[static_cast<std::size_t>(std::pow(unit(random), 5) * words.size())];
            out.insert(out.end(), word.begin(), word.end());
        }
    }
    out.resize(size);
    return out;
}

// The shipped archive's shape: the program, a font, three pictures and nine small text files, the program
// scaled so that the whole inflates to about totalSize.
std::vector<PackedEntry> ShippedShape(std::size_t totalSize) {
    const std::pair<const char*, std::size_t> others[] = {
        {"StarMath.ttf", 40000},    {"Vendora.jpg", 12000}, {"Fond.bmp", 20000},   {"Logo.BMP", 6000},
        {"Articles.QXF", 1500},     {"Clients.QXF", 1400},  {"Ventes.QXF", 1300},  {"Caisse.QXF", 1200},
        {"Fournisseurs.QXF", 1100}, {"Remises.QXF", 1000},  {"Colonnes.qxc", 900}, {"Tickets.LP", 1500},
        {"Etiquettes.LP", 1400}};
    std::size_t rest = totalSize - 5 - 14 * (DefaultNameWidth + 4);
    std::vector<PackedEntry> entries;
    unsigned salt = 2;
    for (const auto& [name, size] : others) {
        entries.push_back({name, ProgramLikeBytes(size, salt++)});
        rest -= size;
    }
    entries.insert(entries.begin(), PackedEntry{"vendora.exe", ProgramLikeBytes(rest, 1)});
    return entries;
}

// The worst table: the most rows the inflated size allows, each a one-byte name field (the empty name)
// and a zero size. It inflates to 5 + 5 * rows bytes from a few hundred kilobytes.
Bytes WorstTable(std::int32_t rows, std::uint8_t width) {
    Bytes inflated(5 + static_cast<std::size_t>(rows) * (width + 4u), 0);
    WriteLe32(inflated.data(), static_cast<std::uint32_t>(rows));
    inflated[4] = width;
    return inflated;
}

void WriteWhole(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

struct ArchiveFile {
    fs::path Path;
    std::uint64_t Compressed = 0;
    std::uint64_t Inflated = 0;
};

ArchiveFile MakeArchive(const fs::path& folder, const std::string& name, const Bytes& inflated, int level) {
    const Bytes layer1 = CompressEnvelope(inflated, level);
    fs::create_directories(folder);
    ArchiveFile file{folder / name, layer1.size(), inflated.size()};
    WriteWhole(file.Path, layer1);
    return file;
}

void Check(bool ok, const char* what) {
    if (!ok) {
        std::perror(what);
        std::exit(1);
    }
}

// ---- The two sides ------------------------------------------------------------------------------------

// The host's disk where nothing waits for the disk: every file put in place without a flush. What the
// extraction costs apart from making its entries durable.
class NoSyncFiles : public HostFileSystem {
public:
    FileStatus MoveFileReplace(const AnsiString& from, const AnsiString& to) override {
        return MoveFileReplaceUnflushed(from, to);
    }
    FileStatus FlushFile(const AnsiString&) override { return {}; }
    FileStatus FlushFolder(const AnsiString&) override { return {}; }
};

// The host's disk as the project uses it, timing the split's renames: from the start of the first entry's
// rename to the end of the last one, and to the end of the flush of their folder that makes them durable.
class TimedFiles : public HostFileSystem {
public:
    using Clock = std::chrono::steady_clock;

    FileStatus MoveFileReplaceUnflushed(const AnsiString& from, const AnsiString& to) override {
        const Clock::time_point start = Clock::now();
        const FileStatus moved = HostFileSystem::MoveFileReplaceUnflushed(from, to);
        if (!firstRename_)
            firstRename_ = start;
        lastRename_ = Clock::now();
        return moved;
    }
    FileStatus FlushFolder(const AnsiString& path) override {
        const FileStatus flushed = HostFileSystem::FlushFolder(path);
        folderFlushed_ = Clock::now();
        return flushed;
    }
    // Milliseconds of the renames alone, and until their folder is flushed.
    double Renames() const { return Milliseconds(lastRename_); }
    double RenamesFlushed() const { return Milliseconds(folderFlushed_); }

private:
    double Milliseconds(Clock::time_point end) const {
        return std::chrono::duration<double, std::milli>(end - firstRename_.value_or(end)).count();
    }

    std::optional<Clock::time_point> firstRename_;
    Clock::time_point lastRename_, folderFlushed_;
};

// The project's archive file sits in its own folder, where the entries land.
void RunProjectOn(FileSystem& files, const fs::path& archive) {
    SilentExtractionUi ui;
    ExtractArchive(FromHostPath(archive.string()),
                   ExtractionContext{files, ui, [] { return std::uint64_t{0}; }});
}

template <class Files = HostFileSystem> void RunProject(const fs::path& archive) {
    Files files;
    RunProjectOn(files, archive);
}

// The previous version's extraction, for the figures before: the same, but the inflated archive was also
// written whole to the .CTN beside it (under a temporary name, put in place without a flush) before the
// split, and deleted after it. Its bytes were never read back.
void RunWithIntermediateFile(const fs::path& archive) {
    HostFileSystem files;
    SilentExtractionUi ui;
    const AnsiString path = FromHostPath(archive.string());
    MemoryStream inflated;
    {
        MemoryStream input;
        input.LoadFromFile(files, path);
        input.Seek(0);
        TZCompress().DecompressStream(input, inflated);
    }
    const AnsiString ctn = IntermediatePath(path), temporary = TemporarySibling(ctn);
    inflated.SaveToFile(files, temporary);
    Check(static_cast<bool>(files.MoveFileReplaceUnflushed(temporary, ctn)), "rename the .CTN");
    // Named otherwise in the split, which would take the .CTN for an older run's leftover.
    SplitInflated(inflated.Bytes(), FolderOf(ctn) + "\\Vendora.AVANT", files, ui);
    Check(static_cast<bool>(files.DeleteFile(ctn)), "delete the .CTN");
}

// How the plain program puts each entry in place.
enum class Placing {
    Plain,  // one write under the entry's name
    Durable // one write under a temporary name, fsync, rename over the entry's name, fsync of the folder:
            // the least any program must do for a power cut to leave each file old or new
};

// The plain program: read the archive, inflate it in one call, write each entry with one write.
void RunReference(const fs::path& archive, const fs::path& folder, Placing placing = Placing::Plain) {
    const int in = ::open(archive.c_str(), O_RDONLY);
    Check(in >= 0, "open archive");
    struct stat info {};
    Check(::fstat(in, &info) == 0, "stat archive");
    const auto size = static_cast<std::size_t>(info.st_size);
    auto* compressed = static_cast<unsigned char*>(std::malloc(size));
    Check(::read(in, compressed, size) == static_cast<ssize_t>(size), "read archive");
    ::close(in);
    uLongf inflatedSize = ReadLe32(compressed);
    auto* inflated = static_cast<unsigned char*>(std::malloc(inflatedSize));
    Check(uncompress(inflated, &inflatedSize, compressed + 4, static_cast<uLong>(size - 4)) == Z_OK,
          "inflate");
    std::free(compressed);
    const std::int32_t count = ReadLe32(inflated);
    const unsigned width = inflated[4];
    const unsigned char* row = inflated + 5;
    const unsigned char* content = row + static_cast<std::size_t>(count) * (width + 4);
    std::string path = folder.string() + "/";
    const std::size_t folderLength = path.size();
    for (std::int32_t i = 0; i < count; ++i, row += width + 4) {
        path.resize(folderLength);
        path.append(reinterpret_cast<const char*>(row) + 1, row[0]);
        const std::int32_t length = ReadLe32(row + width);
        const std::string written = placing == Placing::Durable ? folder.string() + "/~entry.tmp" : path;
        const int out = ::open(written.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        Check(out >= 0, "create entry");
        Check(::write(out, content, static_cast<std::size_t>(length)) == length, "write entry");
        if (placing == Placing::Durable) {
            Check(::fsync(out) == 0, "fsync entry");
            Check(::rename(written.c_str(), path.c_str()) == 0, "rename entry");
            const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
            Check(dir >= 0 && ::fsync(dir) == 0, "fsync folder");
            ::close(dir);
        }
        ::close(out);
        content += length;
    }
    std::free(inflated);
}

// ---- Speed --------------------------------------------------------------------------------------------

struct Sample {
    double Wall = 0; // milliseconds
    double Cpu = 0;  // user + system, milliseconds
    double Sys = 0;  // system alone
};

std::pair<double, double> CpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return {ms(usage.ru_utime) + ms(usage.ru_stime), ms(usage.ru_stime)};
}

template <class Work> Sample Measure(Work work) {
    const auto [cpu, sys] = CpuMilliseconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto end = std::chrono::steady_clock::now();
    const auto [cpuAfter, sysAfter] = CpuMilliseconds();
    return {std::chrono::duration<double, std::milli>(end - start).count(), cpuAfter - cpu, sysAfter - sys};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 != 0 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The order of the sides in each round, ten rounds over (a Williams square for five sides): each side runs
// twice in each place and twice in the wake of each other side. A side's wake can slow the next one down
// (the disk still busy with what a flush sent it, or trimming the blocks of a file it freed): turning the
// same order round, as this benchmark first did, always put the project in the durable reference's wake.
constexpr int Sides = 5;
constexpr int Rounds = 2 * Sides;
constexpr std::array<std::array<int, Sides>, Rounds> Order = [] {
    constexpr int first[Sides] = {0, 1, 4, 2, 3};
    std::array<std::array<int, Sides>, Rounds> order{};
    for (int row = 0; row < Sides; ++row)
        for (int place = 0; place < Sides; ++place) {
            order[row][place] = (first[place] + row) % Sides;
            order[row + Sides][Sides - 1 - place] = order[row][place];
        }
    return order;
}();

void CompareSpeed(const std::string& label, const fs::path& root, const Bytes& inflated, int pairs) {
    const ArchiveFile project = MakeArchive(root / "project", "Vendora.FCC", inflated, 1);
    const ArchiveFile unsynced = MakeArchive(root / "unsynced", "Vendora.FCC", inflated, 1);
    const ArchiveFile reference = MakeArchive(root / "reference", "Vendora.FCC", inflated, 1);
    const ArchiveFile durable = MakeArchive(root / "durable", "Vendora.FCC", inflated, 1);
    const ArchiveFile before = MakeArchive(root / "before", "Vendora.FCC", inflated, 1);
    constexpr int Reference = 2, DurableReference = 3, Before = 4;
    std::vector<double> renames, renamesFlushed;
    const std::function<void()> sides[Sides] = {
        [&] {
            TimedFiles files;
            RunProjectOn(files, project.Path);
            renames.push_back(files.Renames());
            renamesFlushed.push_back(files.RenamesFlushed());
        },
        [&] { RunProject<NoSyncFiles>(unsynced.Path); },
        [&] { RunReference(reference.Path, root / "reference"); },
        [&] { RunReference(durable.Path, root / "durable", Placing::Durable); },
        [&] { RunWithIntermediateFile(before.Path); }};
    for (const auto& side : sides)
        side(); // all warm: files exist, pages cached
    std::vector<double> wall[Sides], cpu[Sides], sys[Sides], wallRatio, durableRatio, beforeRatio;
    for (int round = 0; round < pairs; ++round) {
        Sample samples[Sides];
        for (const int side : Order[static_cast<std::size_t>(round % Rounds)])
            samples[side] = Measure(sides[side]);
        for (int side = 0; side < Sides; ++side) {
            wall[side].push_back(samples[side].Wall);
            cpu[side].push_back(samples[side].Cpu);
            sys[side].push_back(samples[side].Sys);
        }
        wallRatio.push_back(samples[0].Wall / samples[Reference].Wall);
        durableRatio.push_back(samples[0].Wall / samples[DurableReference].Wall);
        beforeRatio.push_back(samples[Before].Wall / samples[Reference].Wall);
    }
    std::printf("%-14s %8.2f MB inflated, %7.2f MB compressed, %d alternating rounds\n", label.c_str(),
                static_cast<double>(project.Inflated) / 1e6, static_cast<double>(project.Compressed) / 1e6,
                pairs);
    const char* names[Sides] = {"project", "  no sync", "reference", "durable ref", "with .CTN"};
    for (int side = 0; side < Sides; ++side)
        std::printf(
            "  %-11s wall %9.2f ms  cpu %9.2f ms (system %8.2f)  ratio wall %6.3f  cpu %6.3f (medians)\n",
            names[side], Median(wall[side]), Median(cpu[side]), Median(sys[side]),
            Median(wall[side]) / Median(wall[Reference]), Median(cpu[side]) / Median(cpu[Reference]));
    std::printf("  project against no sync: wall %.3f, cpu %.3f\n", Median(wall[0]) / Median(wall[1]),
                Median(cpu[0]) / Median(cpu[1]));
    std::printf("  median of the project's per-round wall ratios: to the reference %.3f, to the durable"
                " reference %.3f\n",
                Median(wallRatio), Median(durableRatio));
    std::printf("  before, with the .CTN: median per-round wall ratio to the reference %.3f\n",
                Median(beforeRatio));
    std::sort(renames.begin(), renames.end());
    std::printf("  the project's renames: median %.3f ms (longest %.3f), %.3f ms with their folder's flush\n",
                Median(renames), renames.back(), Median(renamesFlushed));
    std::fflush(stdout);
}

// ---- Memory -------------------------------------------------------------------------------------------

struct ChildResult {
    long MaxRssKb = 0;
    int Status = 0;
    std::string Output;
};

ChildResult RunChild(const std::vector<std::string>& args) {
    int pipeEnds[2];
    Check(::pipe(pipeEnds) == 0, "pipe");
    const pid_t child = ::fork();
    Check(child >= 0, "fork");
    if (child == 0) {
        ::dup2(pipeEnds[1], 1);
        ::close(pipeEnds[0]);
        std::vector<char*> argv;
        std::string self = "/proc/self/exe";
        argv.push_back(self.data());
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(self.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    ChildResult result;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        result.Output.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    rusage usage{};
    Check(::wait4(child, &result.Status, 0, &usage) == child, "wait4");
    result.MaxRssKb = usage.ru_maxrss;
    return result;
}

// Keeps the first characters written to it and drops the rest, as a terminal showing the errors would
// hold none of them in the process.
class FirstCharacters : public std::streambuf {
public:
    std::string Text;

protected:
    int overflow(int c) override {
        if (c != EOF && Text.size() < 200)
            Text.push_back(static_cast<char>(c));
        return c == EOF ? 0 : c;
    }
};

// What a child process runs: one command on one archive, its outcome on standard output.
int ChildMain(const std::string& command, const std::string& archive) {
    // The listing goes nowhere: a stream that keeps it would hold memory of its own.
    std::ostream out(nullptr);
    FirstCharacters errors;
    std::ostream err(&errors);
    int code = 0;
    if (command == "install") {
        // The installer's extraction, with a progress window that records a bounded number of calls.
        HostFileSystem files;
        test::RecordingExtractionUi ui;
        try {
            ExtractArchive(FromHostPath(archive),
                           ExtractionContext{files, ui, [] { return std::uint64_t{0}; }});
            err << "ok";
        } catch (const Exception& error) {
            err << AnsiToUtf8(error.Message());
            code = 1;
        }
    } else if (command == "fcc-list") {
        code = fcc::List(archive, out, err);
        if (code == 0)
            err << "ok";
    } else if (command == "fcc-verify") {
        code = fcc::Verify(archive, out, err);
        if (code == 0)
            err << "ok";
    } else if (command == "fcc-extract") {
        code = fcc::Extract(archive, fs::path(archive).parent_path() / "out", out, err);
        if (code == 0)
            err << "ok";
    }
    std::string text = errors.Text;
    text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
    std::printf("%s", text.c_str());
    return code;
}

void ReportMemory(const std::string& label, const ArchiveFile& file, const std::vector<std::string>& commands,
                  long idleKb) {
    const double bound = (static_cast<double>(file.Compressed + file.Inflated) + 16e6) / 1e6;
    std::printf("%-26s %9.2f MB compressed %9.2f MB inflated, bound %9.2f MB\n", label.c_str(),
                static_cast<double>(file.Compressed) / 1e6, static_cast<double>(file.Inflated) / 1e6, bound);
    for (const std::string& command : commands) {
        const ChildResult child = RunChild({"--child", command, file.Path.string()});
        const double peak = static_cast<double>(child.MaxRssKb) * 1024 / 1e6;
        std::printf("  %-12s peak %9.2f MB (%8.2f MB above an idle process) %-6s  %s\n", command.c_str(),
                    peak, static_cast<double>(child.MaxRssKb - idleKb) * 1024 / 1e6,
                    peak <= bound ? "within" : "OVER", child.Output.substr(0, 90).c_str());
        std::fflush(stdout);
    }
}

// Every archive is written before the first child starts: a child's peak counts the pages its parent held
// when it forked, so the parent holds no archive in memory by then.
void CompareMemory(const fs::path& root, std::int32_t worstRows) {
    const ArchiveFile shipped =
        MakeArchive(root / "shipped", "Vendora.FCC", BuildInflatedArchive(ShippedShape(4860000)), 1);
    const ArchiveFile large =
        MakeArchive(root / "large", "Vendora.FCC", BuildInflatedArchive(ShippedShape(200000000)), 1);
    const ArchiveFile worst = MakeArchive(root / "worst", "Vendora.FCC", WorstTable(worstRows, 1), 9);
    const ArchiveFile widthZero = MakeArchive(root / "width0", "Vendora.FCC", WorstTable(worstRows, 0), 9);
    const long idleKb = RunChild({"--child", "idle", "-"}).MaxRssKb;
    std::printf("idle process: %.2f MB\n", static_cast<double>(idleKb) * 1024 / 1e6);
    const std::vector<std::string> all = {"install", "fcc-extract", "fcc-list", "fcc-verify"};
    ReportMemory("shipped shape", shipped, all, idleKb);
    ReportMemory("200 MB", large, all, idleKb);
    ReportMemory("worst table (width 1)", worst, all, idleKb);
    ReportMemory("name width 0", widthZero, all, idleKb);
}

// ---- Command line -------------------------------------------------------------------------------------

// The bench's archives and folders (over a gigabyte) in a folder of its own; those of a bench that was
// killed before it could remove them go at the next start.
struct TempRoot {
    static constexpr std::string_view Stem = "vendora-bench-archive-";
    fs::path Path = fs::temp_directory_path() / (std::string(Stem) + std::to_string(::getpid()));
    TempRoot() {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(fs::temp_directory_path(), error)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with(Stem) && ::kill(std::atoi(name.c_str() + Stem.size()), 0) != 0 &&
                errno == ESRCH)
                fs::remove_all(entry.path(), error);
        }
        fs::create_directories(Path);
    }
    ~TempRoot() {
        std::error_code ignored;
        fs::remove_all(Path, ignored);
    }
};

int Usage() {
    std::fprintf(stderr, "usage: bench_archive [--pairs N] [--large-pairs N] | --memory [--worst-rows N] |"
                         " --run project|nosync|reference|durable ARCHIVE FOLDER [TIMES]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "--child")
        return args[1] == "idle" ? 0 : ChildMain(args[1], args[2]);
    if (args.size() == 3 && args[0] == "--make") {
        MakeArchive(fs::path(args[1]).parent_path(), fs::path(args[1]).filename(),
                    BuildInflatedArchive(ShippedShape(std::stoul(args[2]))), 1);
        return 0;
    }
    if (!args.empty() && args[0] == "--run") {
        if (args.size() < 4)
            return Usage();
        const int times = args.size() > 4 ? std::atoi(args[4].c_str()) : 1;
        for (int i = 0; i < times; ++i) {
            if (args[1] == "project")
                RunProject(args[2]);
            else if (args[1] == "nosync")
                RunProject<NoSyncFiles>(args[2]);
            else if (args[1] == "durable")
                RunReference(args[2], args[3], Placing::Durable);
            else
                RunReference(args[2], args[3]);
        }
        return 0;
    }
    int pairs = 31, largePairs = 5;
    std::int32_t worstRows = 20000000;
    bool memory = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--pairs" && hasValue)
            pairs = std::atoi(args[++i].c_str());
        else if (args[i] == "--large-pairs" && hasValue)
            largePairs = std::atoi(args[++i].c_str());
        else if (args[i] == "--worst-rows" && hasValue)
            worstRows = std::atoi(args[++i].c_str());
        else if (args[i] == "--memory")
            memory = true;
        else
            return Usage();
    }
    TempRoot root;
    if (memory) {
        CompareMemory(root.Path, worstRows);
        return 0;
    }
    CompareSpeed("shipped shape", root.Path / "shipped", BuildInflatedArchive(ShippedShape(4860000)), pairs);
    CompareSpeed("200 MB", root.Path / "large", BuildInflatedArchive(ShippedShape(200000000)), largePairs);
    return 0;
}
