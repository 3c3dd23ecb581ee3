#include "archive/MemoryStream.h"

#include "base/Errors.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vendora {

namespace {
// Files move in pieces no larger than a single Read or Write of a handle can carry.
constexpr std::uint32_t FileChunk = 1u << 24;
} // namespace

void MemoryStream::SetSize(std::int64_t size) {
    bytes_.resize(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)));
}

std::uint32_t MemoryStream::Read(void* buffer, std::uint32_t count) {
    if (position_ >= Size())
        return 0;
    const auto available = static_cast<std::uint64_t>(Size() - position_);
    const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, available));
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

std::uint32_t MemoryStream::Write(const void* buffer, std::uint32_t count) {
    if (count == 0)
        return 0;
    const std::int64_t end = position_ + count;
    if (end > Size())
        bytes_.resize(static_cast<std::size_t>(end));
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ = end;
    return count;
}

void MemoryStream::LoadFromFile(FileSystem& files, const AnsiString& path) {
    int error = 0;
    auto file =
        files.CreateFile(path, FileAccess::GenericRead, FileShare::Read, Disposition::OpenExisting, error);
    if (!file)
        throw EFOpenError(path, error);
    const std::int64_t size = file->Size();
    if (size < 0 || static_cast<std::uint64_t>(size) > std::numeric_limits<std::size_t>::max())
        throw EReadError();
    bytes_.assign(static_cast<std::size_t>(size), 0);
    position_ = 0;
    for (std::int64_t done = 0; done < size;) {
        const auto want = static_cast<std::uint32_t>(std::min<std::int64_t>(size - done, FileChunk));
        std::uint32_t got = 0;
        if (!file->Read(bytes_.data() + done, want, got) || got != want)
            throw EReadError();
        done += got;
    }
}

void MemoryStream::SaveToFile(FileSystem& files, const AnsiString& path) const {
    int error = 0;
    auto file = files.CreateFile(path, FileAccess::GenericRead | FileAccess::GenericWrite, FileShare::None,
                                 Disposition::CreateAlways, error);
    if (!file)
        throw EFCreateError(path, error);
    for (std::int64_t done = 0; done < Size();) {
        const auto want = static_cast<std::uint32_t>(std::min<std::int64_t>(Size() - done, FileChunk));
        std::uint32_t put = 0;
        if (!file->Write(bytes_.data() + done, want, put) || put != want)
            throw EWriteError();
        done += put;
    }
}

} // namespace vendora
