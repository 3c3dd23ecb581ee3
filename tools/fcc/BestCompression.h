#pragma once
// The smallest payload the installer's zlib reader still takes: the archive's envelope (the inflated size,
// then one zlib stream with a 32 KiB window) written by libdeflate at its highest level. Slower to pack
// than zlib, never slower to read.

#include <cstdint>
#include <span>
#include <vector>

namespace vendora::fcc {

inline constexpr int BestCompressionLevel = 12;

// The same envelope as CompressEnvelope, compressed with libdeflate at level 12.
std::vector<std::uint8_t> CompressEnvelopeBest(std::span<const std::uint8_t> inflated);

} // namespace vendora::fcc
