// Packing a payload of the shipped shape (14 entries, 4.86 MB inflated) with zlib at levels 1 and 9 and
// with libdeflate at level 12 (fcc pack --best): the time to compress and, as counters, the archive's
// size and its share of the inflated size. The installer reads all three alike.
#include "archive/ArchiveWriter.h"
#include "tools/fcc/BestCompression.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <random>

namespace {

using namespace vendora;

constexpr std::size_t ShippedInflated = 4860000;

// Semi-compressible bytes: words from a skewed vocabulary with a little noise, as a program's code and
// data.
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

// The program, a font, three pictures and nine small text files; the program takes what is left.
const std::vector<std::uint8_t>& ShippedArchive() {
    static const std::vector<std::uint8_t> inflated = [] {
        const std::pair<const char*, std::size_t> small[] = {
            {"StarMath.ttf", 40000},    {"Vendora.jpg", 12000}, {"Fond.bmp", 20000},   {"Logo.BMP", 6000},
            {"Articles.QXF", 1500},     {"Clients.QXF", 1400},  {"Ventes.QXF", 1300},  {"Caisse.QXF", 1200},
            {"Fournisseurs.QXF", 1100}, {"Remises.QXF", 1000},  {"Colonnes.qxc", 900}, {"Tickets.LP", 1500},
            {"Etiquettes.LP", 1400}};
        const std::size_t table = 5 + (std::size(small) + 1) * (DefaultNameWidth + 4);
        std::size_t rest = ShippedInflated - table;
        std::vector<PackedEntry> entries;
        unsigned salt = 2;
        for (const auto& [name, size] : small) {
            entries.push_back({name, ProgramLikeBytes(size, salt++)});
            rest -= size;
        }
        entries.insert(entries.begin(), PackedEntry{"vendora.exe", ProgramLikeBytes(rest, 1)});
        return BuildInflatedArchive(entries);
    }();
    return inflated;
}

void Report(benchmark::State& state, std::size_t archiveSize) {
    const auto inflated = static_cast<double>(ShippedArchive().size());
    state.counters["inflated_MB"] = inflated / 1e6;
    state.counters["archive_MB"] = static_cast<double>(archiveSize) / 1e6;
    state.counters["ratio"] = static_cast<double>(archiveSize) / inflated;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(inflated));
}

void BM_PackZlib(benchmark::State& state) {
    const auto& inflated = ShippedArchive();
    std::size_t size = 0;
    for (auto _ : state) {
        const auto archive = CompressEnvelope(inflated, static_cast<int>(state.range(0)));
        size = archive.size();
        benchmark::DoNotOptimize(archive.data());
    }
    Report(state, size);
}

void BM_PackBest(benchmark::State& state) {
    const auto& inflated = ShippedArchive();
    std::size_t size = 0;
    for (auto _ : state) {
        const auto archive = fcc::CompressEnvelopeBest(inflated);
        size = archive.size();
        benchmark::DoNotOptimize(archive.data());
    }
    Report(state, size);
}

} // namespace

BENCHMARK(BM_PackZlib)->ArgName("level")->Arg(1)->Arg(9)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PackBest)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
