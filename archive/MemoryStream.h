#pragma once
// A stream held whole in memory, as the decompressor works on: a size, a position, and reads and writes at
// the position that grow the stream as needed.

#include "base/Text.h"
#include "platform/Platform.h"

#include <cstdint>
#include <span>

namespace vendora {

class MemoryStream {
public:
    MemoryStream() = default;
    ~MemoryStream();
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    MemoryStream(MemoryStream&& other) noexcept;
    MemoryStream& operator=(MemoryStream&& other) noexcept;

    std::int64_t Size() const { return static_cast<std::int64_t>(size_); }
    std::int64_t Position() const { return position_; }
    void Seek(std::int64_t position) { position_ = position < 0 ? 0 : position; }
    // New bytes are zero; the position stays where it is. Raises std::bad_alloc when memory runs out.
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

    // The content in place, for work that reads or fills it without a copy.
    std::span<const std::uint8_t> Bytes() const { return {data_, size_}; }
    std::span<std::uint8_t> Bytes() { return {data_, size_}; }

private:
    // Room for at least capacity bytes, the content kept. Fresh room comes from calloc, which large blocks
    // get from the system already zero, so that sizing a stream costs no pass over its bytes.
    void Reserve(std::size_t capacity);
    void Release();

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::int64_t position_ = 0;
};

} // namespace vendora
