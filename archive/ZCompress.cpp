#include "archive/ZCompress.h"

#include "base/Convert.h"
#include "base/Cp1252.h"
#include "base/Errors.h"

#include <memory>

namespace vendora {

namespace {

constexpr int WindowBits = 15;

// Ends the inflation whatever happens after a successful initialisation; the buffers are freed first,
// being declared later. An error of the end itself only surfaces when nothing else is already on its way.
class InflateGuard {
public:
    explicit InflateGuard(z_stream& stream) : stream_(stream) {}
    InflateGuard(const InflateGuard&) = delete;
    InflateGuard& operator=(const InflateGuard&) = delete;
    ~InflateGuard() noexcept(false) {
        const int result = inflateEnd(&stream_);
        if (result != Z_OK && std::uncaught_exceptions() == pending_)
            throw ECompressionError(result);
    }

private:
    z_stream& stream_;
    int pending_ = std::uncaught_exceptions();
};

std::int32_t ReadExpectedSize(MemoryStream& input) {
    unsigned char field[4];
    if (input.Read(field, 4) != 4)
        throw ECompressionError(Z_BUF_ERROR, Ansi("archive plus courte que son en-tête"));
    const std::int32_t expected = ReadLe32(field);
    if (expected < 0)
        throw ECompressionError(Z_DATA_ERROR, Ansi("taille annoncée négative"));
    const auto compressed = static_cast<std::uint64_t>(input.Size() - input.Position());
    if (static_cast<std::uint64_t>(expected) > compressed * TZCompress::MaxInflateRatio)
        throw ECompressionError(Z_DATA_ERROR, Ansi("taille annoncée hors de portée des données"));
    return expected;
}

void WriteAll(MemoryStream& output, const unsigned char* data, std::uint32_t count) {
    if (output.Write(data, count) != count)
        throw EWriteError();
}

} // namespace

void TZCompress::CheckInit(int result) {
    if (result != Z_OK)
        throw ECompressionError(result);
}

void TZCompress::CheckInflate(int result) {
    if (result != Z_OK && result != Z_STREAM_END)
        throw ECompressionError(result);
}

void TZCompress::CheckEnd(int result) {
    if (result != Z_STREAM_END)
        throw ECompressionError(result);
}

void TZCompress::DecompressStream(MemoryStream& input, MemoryStream& output,
                                  const ProgressEvent& onProgress) {
    z_stream stream{};
    stream.zalloc = Z_NULL;
    stream.zfree = Z_NULL;
    stream.opaque = Z_NULL;
    CheckInit(inflateInit2(&stream, WindowBits));
    InflateGuard guard(stream);
    auto inBuffer = std::make_unique<unsigned char[]>(BufferSize);
    auto outBuffer = std::make_unique<unsigned char[]>(BufferSize);

    const std::int32_t expected = ReadExpectedSize(input);
    output.SetSize(output.Position() + expected);

    stream.next_out = outBuffer.get();
    stream.avail_out = BufferSize;
    stream.next_in = inBuffer.get();
    stream.avail_in = input.Read(inBuffer.get(), BufferSize);

    while (static_cast<std::int64_t>(stream.total_out) < expected) {
        const int result = inflate(&stream, Z_NO_FLUSH);
        CheckInflate(result);
        if (onProgress)
            onProgress(*this, stream);
        // A stream that ends early would leave the loop waiting for bytes that never come.
        if (result == Z_STREAM_END && static_cast<std::int64_t>(stream.total_out) < expected)
            throw ECompressionError(Z_DATA_ERROR, Ansi("flux terminé avant la taille annoncée"));
        if (stream.avail_in == 0) {
            stream.next_in = inBuffer.get();
            stream.avail_in = input.Read(inBuffer.get(), BufferSize);
        }
        if (stream.avail_out == 0) {
            WriteAll(output, outBuffer.get(), BufferSize);
            stream.next_out = outBuffer.get();
            stream.avail_out = BufferSize;
        }
    }
    // Bytes beyond the announced size would be dropped silently: a short size field is an error too.
    if (static_cast<std::int64_t>(stream.total_out) > expected)
        throw ECompressionError(Z_BUF_ERROR, Ansi("flux plus long que la taille annoncée"));
    WriteAll(output, outBuffer.get(), BufferSize - stream.avail_out);

    stream.next_out = outBuffer.get();
    stream.avail_out = BufferSize;
    const int result = inflate(&stream, Z_FINISH);
    if (onProgress)
        onProgress(*this, stream);
    if (result == Z_STREAM_END && static_cast<std::int64_t>(stream.total_out) != expected)
        throw ECompressionError(Z_BUF_ERROR, Ansi("flux plus long que la taille annoncée"));
    CheckEnd(result);
}

} // namespace vendora
