#pragma once
// The stream-to-stream decompressor of the payload archive's envelope: a 4-byte inflated size followed by
// one zlib stream (32 KiB window).

#include "archive/MemoryStream.h"

#include <functional>
#include <zlib.h>

namespace vendora {

class TZCompress {
public:
    // Called after every inflate step and once after the final one, with zlib's own stream state.
    using ProgressEvent = std::function<void(TZCompress& sender, const z_stream& stream)>;

    // Inflation takes its input and gives its output in steps of 0xFFFF bytes, not 64 KiB.
    static constexpr std::uint32_t BufferSize = 0xFFFF;
    // Deflate cannot inflate a byte to more than this many (RFC 1951's longest match in the shortest code).
    static constexpr std::uint64_t MaxInflateRatio = 1032;

    // Reads the envelope from input's position and appends the inflated bytes at output's position. The
    // output is sized to the announced length before inflating, and zlib writes straight into it. Every zlib
    // failure raises ECompressionError with zlib's code; so does an announced size that is negative, beyond
    // what the input could inflate to, or different from the stream's real length (-3 when the stream ends
    // short of it, -5 when the stream holds more).
    void DecompressStream(MemoryStream& input, MemoryStream& output, const ProgressEvent& onProgress = {});

private:
    static void CheckInit(int result);
    static void CheckInflate(int result);
    static void CheckEnd(int result);
};

} // namespace vendora
