#pragma once
// Writes archives: the release tool packs with it, and tests, benchmarks and the fuzzer's corpus build
// theirs with it. It writes exactly what it is given; checking names is the packer's business
// (CheckPackableName), so that damaged archives can be built on purpose.

#include "base/Errors.h"
#include "base/Text.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vendora {

struct PackedEntry {
    AnsiString Name;
    std::vector<std::uint8_t> Content;
};

inline constexpr int DefaultNameWidth = 34;
// Level 1 with the default window writes the header bytes 0x78 0x01.
inline constexpr int DefaultCompressionLevel = 1;

// The inflated archive: count, width, table, contents. Unused name bytes are zero, so the same entries
// always give the same bytes. A name longer than width - 1 or a content of 2 GiB or more raises
// std::invalid_argument.
std::vector<std::uint8_t> BuildInflatedArchive(const std::vector<PackedEntry>& entries,
                                               int nameWidth = DefaultNameWidth);

// The envelope around inflated bytes: their size, then one zlib stream (window bits 15) at the level given
// (0 to 9).
std::vector<std::uint8_t> CompressEnvelope(std::span<const std::uint8_t> inflated,
                                           int level = DefaultCompressionLevel);

// Why a name cannot be packed (empty, too long for the field, or an EntryNameReason); empty when it can.
AnsiString CheckPackableName(const AnsiString& name, int nameWidth = DefaultNameWidth);

} // namespace vendora
