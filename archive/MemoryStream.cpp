#include "archive/MemoryStream.h"

#include "base/Errors.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace vendora {

namespace {
// Files move in pieces no larger than a single Read or Write of a handle can carry.
constexpr std::uint32_t FileChunk = 1u << 24;
} // namespace

MemoryStream::~MemoryStream() {
    Release();
}

MemoryStream::MemoryStream(MemoryStream&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)), position_(std::exchange(other.position_, 0)) {}

MemoryStream& MemoryStream::operator=(MemoryStream&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        position_ = std::exchange(other.position_, 0);
    }
    return *this;
}

void MemoryStream::Release() {
    std::free(data_);
    data_ = nullptr;
    size_ = capacity_ = 0;
}

// Bytes from size_ to capacity_ are always zero, so that growing within the room needs no clearing.
void MemoryStream::Reserve(std::size_t capacity) {
    if (capacity <= capacity_)
        return;
    if (data_ == nullptr) {
        data_ = static_cast<std::uint8_t*>(std::calloc(capacity, 1));
        if (data_ == nullptr)
            throw std::bad_alloc();
    } else {
        auto* grown = static_cast<std::uint8_t*>(std::realloc(data_, capacity));
        if (grown == nullptr)
            throw std::bad_alloc();
        data_ = grown;
        std::memset(data_ + capacity_, 0, capacity - capacity_);
    }
    capacity_ = capacity;
}

void MemoryStream::SetSize(std::int64_t size) {
    const auto wanted = static_cast<std::uint64_t>(std::max<std::int64_t>(size, 0));
    if (wanted > std::numeric_limits<std::size_t>::max())
        throw std::bad_alloc();
    const auto n = static_cast<std::size_t>(wanted);
    if (n < size_)
        std::memset(data_ + n, 0, size_ - n);
    Reserve(n);
    size_ = n;
}

std::uint32_t MemoryStream::Read(void* buffer, std::uint32_t count) {
    if (position_ >= Size())
        return 0;
    const auto available = static_cast<std::uint64_t>(Size() - position_);
    const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, available));
    std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
}

std::uint32_t MemoryStream::Write(const void* buffer, std::uint32_t count) {
    if (count == 0)
        return 0;
    const auto end = static_cast<std::size_t>(position_) + count;
    if (end > size_) {
        // Growth by writes doubles the room, so that many small writes copy the content only a few times.
        Reserve(std::max(end, capacity_ * 2));
        size_ = end;
    }
    std::memcpy(data_ + position_, buffer, count);
    position_ = static_cast<std::int64_t>(end);
    return count;
}

void MemoryStream::LoadFromFile(FileSystem& files, const AnsiString& path) {
    const std::unique_ptr<FileHandle> file = OpenForReading(files, path);
    const std::int64_t size = file->Size();
    if (size < 0 || static_cast<std::uint64_t>(size) > std::numeric_limits<std::size_t>::max())
        throw EReadError();
    Release();
    Reserve(static_cast<std::size_t>(size));
    size_ = static_cast<std::size_t>(size);
    position_ = 0;
    for (std::int64_t done = 0; done < size;) {
        const auto want = static_cast<std::uint32_t>(std::min<std::int64_t>(size - done, FileChunk));
        std::uint32_t got = 0;
        if (!file->Read(data_ + done, want, got) || got != want)
            throw EReadError();
        done += got;
    }
}

void MemoryStream::SaveToFile(FileSystem& files, const AnsiString& path) const {
    const std::unique_ptr<FileHandle> file =
        OrRaise(files.CreateFile(path, FileAccess::GenericRead | FileAccess::GenericWrite, FileShare::None,
                                 Disposition::CreateAlways),
                FileErrorAs::Create, path);
    for (std::int64_t done = 0; done < Size();) {
        const auto want = static_cast<std::uint32_t>(std::min<std::int64_t>(Size() - done, FileChunk));
        std::uint32_t put = 0;
        if (!file->Write(data_ + done, want, put) || put != want)
            throw EWriteError();
        done += put;
    }
}

} // namespace vendora
