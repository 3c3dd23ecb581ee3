#include "archive/ArchiveWriter.h"

#include "archive/ArchiveFormat.h"
#include "base/Convert.h"
#include "base/Cp1252.h"
#include "platform/Platform.h"

#include <limits>
#include <stdexcept>
#include <zlib.h>

namespace vendora {

namespace {

void AppendLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    unsigned char field[4];
    WriteLe32(field, value);
    out.insert(out.end(), field, field + 4);
}

constexpr std::size_t MaxContent = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

} // namespace

std::vector<std::uint8_t> BuildInflatedArchive(const std::vector<PackedEntry>& entries, int nameWidth) {
    if (nameWidth < 0 || nameWidth > 255 || entries.size() > MaxContent)
        throw std::invalid_argument("archive: bad name width or entry count");
    std::vector<std::uint8_t> out;
    AppendLe32(out, static_cast<std::uint32_t>(entries.size()));
    out.push_back(static_cast<std::uint8_t>(nameWidth));
    for (const PackedEntry& entry : entries) {
        if (nameWidth == 0 ? !entry.Name.empty()
                           : entry.Name.size() > static_cast<std::size_t>(nameWidth - 1))
            throw std::invalid_argument("archive: name longer than its field: " + AnsiToUtf8(entry.Name));
        if (entry.Content.size() > MaxContent)
            throw std::invalid_argument("archive: entry of 2 GiB or more: " + AnsiToUtf8(entry.Name));
        std::vector<std::uint8_t> field(static_cast<std::size_t>(nameWidth), 0);
        if (nameWidth > 0) {
            field[0] = static_cast<std::uint8_t>(entry.Name.size());
            std::copy(entry.Name.begin(), entry.Name.end(), field.begin() + 1);
        }
        out.insert(out.end(), field.begin(), field.end());
        AppendLe32(out, static_cast<std::uint32_t>(entry.Content.size()));
    }
    for (const PackedEntry& entry : entries)
        out.insert(out.end(), entry.Content.begin(), entry.Content.end());
    return out;
}

std::vector<std::uint8_t> CompressEnvelope(std::span<const std::uint8_t> inflated, int level) {
    if (inflated.size() > MaxContent)
        throw std::invalid_argument("archive: 2 GiB or more once inflated");
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::invalid_argument("archive: compression level " + std::to_string(level));
    std::vector<std::uint8_t> out(4 + deflateBound(&stream, static_cast<uLong>(inflated.size())));
    WriteLe32(out.data(), static_cast<std::uint32_t>(inflated.size()));
    stream.next_in = const_cast<Bytef*>(inflated.data());
    stream.avail_in = static_cast<uInt>(inflated.size());
    stream.next_out = out.data() + 4;
    stream.avail_out = static_cast<uInt>(out.size() - 4);
    const int result = deflate(&stream, Z_FINISH);
    const std::size_t written = 4 + stream.total_out;
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        throw ECompressionError(result);
    out.resize(written);
    return out;
}

AnsiString CheckPackableName(const AnsiString& name, int nameWidth) {
    if (name.empty())
        return Ansi("nom vide");
    if (nameWidth < 1 || name.size() > static_cast<std::size_t>(nameWidth - 1))
        return Ansi("nom de plus de ") + IntToStr(nameWidth - 1) + Ansi(" caractères");
    return EntryNameReason(name);
}

} // namespace vendora
