#include "archive/ZCompress.h"

#include "base/Convert.h"
#include "base/Cp1252.h"
#include "base/Errors.h"

#include <algorithm>
#include <memory>

namespace vendora {

namespace {

constexpr int WindowBits = 15;

// Ends the inflation whatever happens after a successful initialisation; the buffer is freed first, being
// declared later. An error of the end itself only surfaces when nothing else is already on its way.
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

// The next piece of input, read in place: at most one buffer's worth from the input stream's position.
void NextInput(MemoryStream& input, z_stream& stream) {
    const std::int64_t left = input.Size() - input.Position();
    const auto count = static_cast<uInt>(std::clamp<std::int64_t>(left, 0, TZCompress::BufferSize));
    stream.next_in = count > 0 ? input.Bytes().data() + input.Position() : stream.next_in;
    stream.avail_in = count;
    input.Seek(input.Position() + count);
}

// The next buffer's worth of output, in place in the output stream: zlib writes where the bytes belong, and
// the stream's position moves past them as the buffer would have been written there. The last piece stops
// at the announced size.
void NextOutput(MemoryStream& output, z_stream& stream, std::int64_t end) {
    const auto count =
        static_cast<uInt>(std::min<std::int64_t>(end - output.Position(), TZCompress::BufferSize));
    stream.next_out = output.Bytes().data() + output.Position();
    stream.avail_out = count;
    output.Seek(output.Position() + count);
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

    const std::int32_t expected = ReadExpectedSize(input);
    const std::int64_t end = output.Position() + expected;
    output.SetSize(end);

    // The buffers' steps stay those of two 65,535-byte buffers; only the copies between them and the
    // streams are gone. The one buffer left takes what the final call may produce beyond the size.
    NextOutput(output, stream, end);
    NextInput(input, stream);

    while (static_cast<std::int64_t>(stream.total_out) < expected) {
        const int result = inflate(&stream, Z_NO_FLUSH);
        CheckInflate(result);
        if (onProgress)
            onProgress(*this, stream);
        // A stream that ends early would leave the loop waiting for bytes that never come.
        if (result == Z_STREAM_END && static_cast<std::int64_t>(stream.total_out) < expected)
            throw ECompressionError(Z_DATA_ERROR, Ansi("flux terminé avant la taille annoncée"));
        if (stream.avail_in == 0)
            NextInput(input, stream);
        if (stream.avail_out == 0)
            NextOutput(output, stream, end);
    }
    // The output position already stands past the bytes written, and the last piece ended at the size.
    output.Seek(end);

    auto overflow = std::make_unique<unsigned char[]>(BufferSize);
    stream.next_out = overflow.get();
    stream.avail_out = BufferSize;
    const int result = inflate(&stream, Z_FINISH);
    if (onProgress)
        onProgress(*this, stream);
    // Bytes beyond the announced size would be dropped silently: a short size field is an error too.
    if (static_cast<std::int64_t>(stream.total_out) != expected && result != Z_DATA_ERROR &&
        result != Z_STREAM_ERROR && result != Z_MEM_ERROR)
        throw ECompressionError(Z_BUF_ERROR, Ansi("flux plus long que la taille annoncée"));
    CheckEnd(result);
}

} // namespace vendora
