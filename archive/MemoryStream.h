#pragma once
// A stream held whole in memory, as the decompressor works on: a size, a position, and reads and writes at
// the position that grow the stream as needed.

#include "base/Text.h"
#include "platform/Platform.h"

#include <cstdint>
#include <vector>

namespace vendora {

class MemoryStream {
public:
    std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }
    std::int64_t Position() const { return position_; }
    void Seek(std::int64_t position) { position_ = position < 0 ? 0 : position; }
    // New bytes are zero; the position stays where it is.
    void SetSize(std::int64_t size);

    // Up to count bytes from the position; the number read (0 at the end).
    std::uint32_t Read(void* buffer, std::uint32_t count);
    // Writes at the position, growing the stream past its end.
    std::uint32_t Write(const void* buffer, std::uint32_t count);

    // The whole file replaces the content, position 0. A file that cannot be opened raises EFOpenError, one
    // that cannot be read whole EReadError.
    void LoadFromFile(FileSystem& files, const AnsiString& path);
    // The whole content into a file created or truncated. EFCreateError or EWriteError.
    void SaveToFile(FileSystem& files, const AnsiString& path) const;

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::int64_t position_ = 0;
};

} // namespace vendora
