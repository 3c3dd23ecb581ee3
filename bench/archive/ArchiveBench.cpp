// Extraction of an archive of the shipped shape (14 entries, about 4.4 MB inflated and 2.0 MB at level 1)
// and of a 200 MB one, next to a plain zlib inflate of the same bytes as the reference. Memory is counted
// by a global allocator: peak_MB is the most the benchmark held at once beyond what it started with.
#include "archive/ArchiveWriter.h"
#include "archive/Concatene.h"
#include "archive/ZCompress.h"
#include "platform/posix/HostFileSystem.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <random>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

namespace {
std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};

void* Allocate(std::size_t size) {
    auto* block = static_cast<std::size_t*>(std::malloc(size + 16));
    if (block == nullptr)
        throw std::bad_alloc();
    *block = size;
    const std::size_t now = liveBytes += size;
    std::size_t peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
    return reinterpret_cast<char*>(block) + 16;
}

void Free(void* pointer) {
    if (pointer == nullptr)
        return;
    auto* block = reinterpret_cast<std::size_t*>(static_cast<char*>(pointer) - 16);
    liveBytes -= *block;
    std::free(block);
}
} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* pointer) noexcept {
    Free(pointer);
}
void operator delete[](void* pointer) noexcept {
    Free(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    Free(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    Free(pointer);
}

namespace {

namespace fs = std::filesystem;
using namespace vendora;

// Semi-compressible bytes: words from a skewed vocabulary with a little noise, about 45 % of their size
// at level 1, as the shipped executable.
std::vector<std::uint8_t> ProgramLikeBytes(std::size_t size, unsigned salt) {
    std::mt19937 random(salt);
    std::vector<std::vector<std::uint8_t>> words(2000);
    for (auto& word : words) {
        word.resize(2 + random() % 11);
        for (auto& byte : word)
            byte = static_cast<std::uint8_t>(random());
    }
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<std::uint8_t> out;
    out.reserve(size + 16);
    while (out.size() < size) {
        if (unit(random) < 0.015) {
            for (int i = 0; i < 8; ++i)
                out.push_back(static_cast<std::uint8_t>(random()));
        } else {
            const auto& word = words[static_cast<std::size_t>(std::pow(unit(random), 6) * words.size())];
            out.insert(out.end(), word.begin(), word.end());
        }
    }
    out.resize(size);
    return out;
}

// The shipped archive's shape: the program, a font, three pictures and nine small text files, scaled so
// that the whole inflates to about totalSize.
std::vector<PackedEntry> ShippedShape(std::size_t totalSize) {
    const std::pair<const char*, std::size_t> small[] = {
        {"StarMath.ttf", 40000},    {"Vendora.jpg", 12000}, {"Fond.bmp", 20000},   {"Logo.BMP", 6000},
        {"Articles.QXF", 1500},     {"Clients.QXF", 1400},  {"Ventes.QXF", 1300},  {"Caisse.QXF", 1200},
        {"Fournisseurs.QXF", 1100}, {"Remises.QXF", 1000},  {"Colonnes.qxc", 900}, {"Tickets.LP", 1500},
        {"Etiquettes.LP", 1400}};
    std::size_t rest = totalSize;
    std::vector<PackedEntry> entries;
    unsigned salt = 2;
    for (const auto& [name, size] : small) {
        entries.push_back({name, ProgramLikeBytes(size, salt++)});
        rest -= size;
    }
    entries.insert(entries.begin(), PackedEntry{"vendora.exe", ProgramLikeBytes(rest - 537, 1)});
    return entries;
}

struct Fixture {
    fs::path Folder;
    std::vector<std::uint8_t> Archive; // layer 1
    std::size_t Inflated = 0;
};

const Fixture& ArchiveOf(std::size_t inflatedSize) {
    static std::map<std::size_t, Fixture> cache;
    auto& fixture = cache[inflatedSize];
    if (fixture.Archive.empty()) {
        const auto inflated = BuildInflatedArchive(ShippedShape(inflatedSize));
        fixture.Inflated = inflated.size();
        fixture.Archive = CompressEnvelope(inflated, 1);
        fixture.Folder = fs::temp_directory_path() /
                         ("vendora-bench-" + std::to_string(::getpid()) + "-" + std::to_string(inflatedSize));
        fs::create_directories(fixture.Folder);
        std::ofstream out(fixture.Folder / "Vendora.FCC", std::ios::binary);
        out.write(reinterpret_cast<const char*>(fixture.Archive.data()),
                  static_cast<std::streamsize>(fixture.Archive.size()));
    }
    return fixture;
}

void Report(benchmark::State& state, const Fixture& fixture, std::size_t baseline) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fixture.Inflated));
    state.counters["inflated_MB"] = static_cast<double>(fixture.Inflated) / 1e6;
    state.counters["compressed_MB"] = static_cast<double>(fixture.Archive.size()) / 1e6;
    state.counters["peak_MB"] = static_cast<double>(peakBytes.load() - baseline) / 1e6;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["maxrss_MB"] = static_cast<double>(usage.ru_maxrss) / 1e3;
}

std::size_t ResetPeak() {
    peakBytes = liveBytes.load();
    return liveBytes.load();
}

// The whole extraction as the installer runs it: read the archive, inflate, write the .CTN, split, delete.
void BM_Extract(benchmark::State& state) {
    const Fixture& fixture = ArchiveOf(static_cast<std::size_t>(state.range(0)));
    HostFileSystem files;
    const std::size_t baseline = ResetPeak();
    for (auto _ : state) {
        HeadlessExtractionUi ui;
        ExtractArchive(FromHostPath((fixture.Folder / "Vendora.FCC").string()),
                       ExtractionContext{files, ui, [] { return std::uint64_t{0}; }});
    }
    Report(state, fixture, baseline);
}

// The decompressor alone, memory to memory.
void BM_DecompressStream(benchmark::State& state) {
    const Fixture& fixture = ArchiveOf(static_cast<std::size_t>(state.range(0)));
    const std::size_t baseline = ResetPeak();
    for (auto _ : state) {
        MemoryStream input;
        input.Write(fixture.Archive.data(), static_cast<std::uint32_t>(fixture.Archive.size()));
        input.Seek(0);
        MemoryStream output;
        TZCompress().DecompressStream(input, output);
        benchmark::DoNotOptimize(output.Bytes().data());
    }
    Report(state, fixture, baseline);
}

// The reference: zlib's own one-call inflate of the same stream into a buffer of the right size.
void BM_ZlibUncompress(benchmark::State& state) {
    const Fixture& fixture = ArchiveOf(static_cast<std::size_t>(state.range(0)));
    const std::size_t baseline = ResetPeak();
    for (auto _ : state) {
        std::vector<std::uint8_t> out(fixture.Inflated);
        uLongf size = static_cast<uLongf>(out.size());
        if (uncompress(out.data(), &size, fixture.Archive.data() + 4,
                       static_cast<uLong>(fixture.Archive.size() - 4)) != Z_OK ||
            size != fixture.Inflated)
            state.SkipWithError("zlib refused the stream");
        benchmark::DoNotOptimize(out.data());
    }
    Report(state, fixture, baseline);
}

constexpr std::int64_t Shipped = 4433637;
constexpr std::int64_t Large = 200000000;

BENCHMARK(BM_ZlibUncompress)->Arg(Shipped)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecompressStream)->Arg(Shipped)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Extract)->Arg(Shipped)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibUncompress)->Arg(Large)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DecompressStream)->Arg(Large)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Extract)->Arg(Large)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    for (const auto& item : fs::directory_iterator(fs::temp_directory_path(), ignored))
        if (item.path().filename().string().rfind("vendora-bench-" + std::to_string(::getpid()) + "-", 0) ==
            0)
            fs::remove_all(item.path(), ignored);
    return 0;
}
