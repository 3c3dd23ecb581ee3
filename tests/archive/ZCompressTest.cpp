// The envelope's decompressor: valid streams of every kind, and every way a stream or its size field can be
// wrong.
#include "ArchiveFixtures.h"

#include "archive/ZCompress.h"

#include <gtest/gtest.h>

namespace vendora {
namespace {

using testing::Bytes;
using testing::SomeBytes;
using testing::ZlibEnvelope;

MemoryStream StreamOf(const Bytes& bytes) {
    MemoryStream stream;
    stream.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    stream.Seek(0);
    return stream;
}

Bytes Inflate(const Bytes& envelope) {
    MemoryStream input = StreamOf(envelope);
    MemoryStream output;
    TZCompress().DecompressStream(input, output);
    return {output.Bytes().begin(), output.Bytes().end()};
}

// The zlib code of the error a damaged envelope raises.
int FailureCode(const Bytes& envelope, std::string* message = nullptr) {
    try {
        Inflate(envelope);
    } catch (const ECompressionError& error) {
        if (message != nullptr)
            *message = error.Message();
        return error.Code();
    }
    return 0;
}

TEST(ZCompress, InflatesEveryValidStreamWithA32KiBWindow) {
    const Bytes data = SomeBytes(300000);
    // Level 1 writes the header 0x78 0x01 of the shipped archive.
    const Bytes fast = ZlibEnvelope(data, 1);
    EXPECT_EQ(fast[4], 0x78);
    EXPECT_EQ(fast[5], 0x01);
    EXPECT_EQ(Inflate(fast), data);
    for (int level : {0, 6, 9})
        EXPECT_EQ(Inflate(ZlibEnvelope(data, level)), data) << "level " << level;
    for (int strategy : {Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED})
        EXPECT_EQ(Inflate(ZlibEnvelope(data, 6, 15, strategy)), data) << "strategy " << strategy;
    for (int windowBits : {9, 12})
        EXPECT_EQ(Inflate(ZlibEnvelope(data, 6, windowBits)), data) << "window bits " << windowBits;
    EXPECT_EQ(Inflate(ZlibEnvelope({}, 1)), Bytes{});
    // Exactly one and two buffers' worth.
    for (std::size_t size : {std::size_t{TZCompress::BufferSize}, std::size_t{2 * TZCompress::BufferSize}}) {
        const Bytes exact = SomeBytes(size, 7);
        EXPECT_EQ(Inflate(ZlibEnvelope(exact, 0)), exact);
        EXPECT_EQ(Inflate(ZlibEnvelope(exact, 9)), exact);
    }
}

TEST(ZCompress, AppendsAtTheOutputPositionAndReportsProgress) {
    const Bytes data = SomeBytes(200000, 3);
    Bytes envelope = {0xAA, 0xBB};
    const Bytes stream = ZlibEnvelope(data);
    envelope.insert(envelope.end(), stream.begin(), stream.end());
    MemoryStream input = StreamOf(envelope);
    input.Seek(2);
    MemoryStream output = StreamOf({1, 2, 3});
    output.Seek(3);
    int calls = 0;
    uLong lastTotal = 0;
    TZCompress().DecompressStream(input, output, [&](TZCompress&, const z_stream& z) {
        ++calls;
        EXPECT_GE(z.total_out, lastTotal);
        lastTotal = z.total_out;
    });
    ASSERT_EQ(output.Size(), 3 + static_cast<std::int64_t>(data.size()));
    EXPECT_EQ(Bytes(output.Bytes().begin(), output.Bytes().begin() + 3), (Bytes{1, 2, 3}));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), output.Bytes().begin() + 3));
    // Four output buffers at least, plus the final call.
    EXPECT_GE(calls, 5);
    EXPECT_EQ(lastTotal, data.size());
}

TEST(ZCompress, DamagedStreamsRaiseZlibsCode) {
    const Bytes data = SomeBytes(100000, 4);
    const Bytes good = ZlibEnvelope(data);

    Bytes badHeader = good;
    badHeader[5] ^= 0x01;
    std::string message;
    EXPECT_EQ(FailureCode(badHeader, &message), Z_DATA_ERROR);
    EXPECT_EQ(message, "Error in compression routine: -3");

    Bytes badChecksum = good;
    badChecksum.back() ^= 0xFF;
    EXPECT_EQ(FailureCode(badChecksum, &message), Z_DATA_ERROR);
    EXPECT_EQ(message, "Error in compression routine: -3");

    Bytes badBlock = good;
    badBlock[6] = 0xFF; // block type 3 does not exist
    EXPECT_EQ(FailureCode(badBlock), Z_DATA_ERROR);

    for (std::size_t cut : {good.size() - 1, good.size() - 4, good.size() / 2, std::size_t{1000}}) {
        const Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_EQ(FailureCode(truncated), Z_BUF_ERROR) << "cut at " << cut;
    }
    EXPECT_EQ(FailureCode(Bytes(good.begin(), good.begin() + 3)), Z_BUF_ERROR) << "no full size field";
    // Cut right after the header, the size announced is beyond what two bytes can inflate to.
    EXPECT_EQ(FailureCode(Bytes(good.begin(), good.begin() + 6)), Z_DATA_ERROR);

    // Bytes after the stream are not read.
    Bytes trailing = good;
    trailing.insert(trailing.end(), {1, 2, 3, 4, 5});
    EXPECT_EQ(Inflate(trailing), data);
}

TEST(ZCompress, ASizeFieldThatDisagreesWithTheStreamIsAnError) {
    const Bytes data = SomeBytes(150000, 5);
    std::string message;
    // Larger: the stream ends first; this used to loop for ever.
    for (std::uint32_t announced : {data.size() + 1, data.size() + 100000}) {
        EXPECT_EQ(FailureCode(ZlibEnvelope(data, 1, 15, Z_DEFAULT_STRATEGY, announced), &message),
                  Z_DATA_ERROR)
            << announced;
        EXPECT_EQ(message.rfind("Error in compression routine: -3 (", 0), 0u) << message;
    }
    // Smaller: bytes would be left behind, inside the last buffer or beyond it.
    for (std::uint32_t announced : {data.size() - 1, data.size() - 70000, std::size_t{0}})
        EXPECT_EQ(FailureCode(ZlibEnvelope(data, 1, 15, Z_DEFAULT_STRATEGY, announced)), Z_BUF_ERROR)
            << announced;
}

TEST(ZCompress, ImpossibleSizesAreRefusedBeforeAnythingIsAllocated) {
    const Bytes data = SomeBytes(1000, 6);
    for (std::uint32_t announced : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu}) {
        MemoryStream input = StreamOf(ZlibEnvelope(data, 1, 15, Z_DEFAULT_STRATEGY, announced));
        MemoryStream output;
        EXPECT_THROW(TZCompress().DecompressStream(input, output), ECompressionError) << announced;
        EXPECT_EQ(output.Size(), 0) << "the output was sized for " << announced;
    }
    // Within reach of the ratio deflate allows: a long run of zeros.
    const Bytes zeros(5000000, 0);
    EXPECT_EQ(Inflate(ZlibEnvelope(zeros, 9)), zeros);
}

} // namespace
} // namespace vendora
