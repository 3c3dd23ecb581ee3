#include "tools/fcc/BestCompression.h"

#include <libdeflate.h>

#include <memory>
#include <stdexcept>

namespace vendora::fcc {

namespace {

// The envelope's size field is a signed 32-bit number.
constexpr std::size_t MaxInflated = 0x7FFFFFFF;

struct CompressorFree {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

} // namespace

std::vector<std::uint8_t> CompressEnvelopeBest(std::span<const std::uint8_t> inflated) {
    if (inflated.size() > MaxInflated)
        throw std::invalid_argument("archive: 2 GiB or more once inflated");
    const std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(
        libdeflate_alloc_compressor(BestCompressionLevel));
    if (!compressor)
        throw std::bad_alloc();
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), inflated.size());
    std::vector<std::uint8_t> out(4 + bound);
    const auto size = static_cast<std::uint32_t>(inflated.size());
    for (int i = 0; i < 4; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
    const std::size_t written =
        libdeflate_zlib_compress(compressor.get(), inflated.data(), inflated.size(), out.data() + 4, bound);
    // The bound is enough by libdeflate's contract; no room would be its fault, not the data's.
    if (written == 0)
        throw std::runtime_error("libdeflate: no room for the compressed stream");
    out.resize(4 + written);
    return out;
}

} // namespace vendora::fcc
