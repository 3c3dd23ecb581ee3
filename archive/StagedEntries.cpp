#include "archive/StagedEntries.h"

#include "base/Errors.h"

#include <algorithm>
#include <optional>

namespace vendora {

namespace {

// Files move in pieces no larger than a single Write of a handle can carry.
constexpr std::size_t FileChunk = std::size_t{1} << 24;

// A file system call that must succeed; a failure without a code is a refused access.
void Require(FileStatus status) {
    OrRaise(status, FileErrorAs::InOut, {}, WinError::AccessDenied);
}

// Writes bytes whole through file, in pieces no larger than one Write can carry, starting the write-back
// of each piece at once. Nothing on success, else the system's error code (0 for a write that stopped
// short without one).
std::optional<int> WriteWhole(FileHandle& file, std::span<const std::uint8_t> bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const auto want = static_cast<std::uint32_t>(std::min(bytes.size() - done, FileChunk));
        std::uint32_t put = 0;
        if (const FileStatus written = file.Write(bytes.data() + done, want, put); !written)
            return written.Error();
        if (put != want)
            return 0;
        file.StartWriteBack();
        done += put;
    }
    return std::nullopt;
}

} // namespace

StagedEntries::StagedEntries(FileSystem& files, const AnsiString& folder, const ArchiveRows& rows)
    : files_(files), folder_(folder), rows_(rows) {}

StagedEntries::~StagedEntries() {
    for (std::size_t i = first_; i < written_; ++i)
        files_.DeleteFile(Temporary(i));
}

AnsiString StagedEntries::Target(std::size_t index) const {
    return folder_ + "\\" + rows_[index].Name;
}

AnsiString StagedEntries::Temporary(std::size_t index) const {
    return TemporarySibling(Target(index));
}

void StagedEntries::Prepare() {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const AnsiString target = Target(i);
        if (files_.DirectoryExists(target))
            throw EInOutError(WinError::AccessDenied);
        // A failure without a code cannot tell; creating the file will.
        const FileStatus removed = files_.DeleteFile(TemporarySibling(target));
        if (!removed && removed.Error() != 0 && removed.Error() != WinError::FileNotFound)
            throw EInOutError(removed.Error());
    }
}

bool StagedEntries::TryWrite(std::size_t index, std::span<const std::uint8_t> content) {
    const AnsiString temporary = Temporary(index);
    // A new file, never one found under the name: nothing is written through what a link planted there
    // leads to.
    auto file =
        files_.CreateFile(temporary, FileAccess::GenericWrite, FileShare::None, Disposition::CreateNew);
    if (!file && file.Error() == WinError::FileExists)
        return false;
    const std::unique_ptr<FileHandle> handle = OrRaise(std::move(file), FileErrorAs::InOut);
    written_ = index + 1;
    if (const auto failure = WriteWhole(*handle, content)) {
        const bool full = *failure == 0 || *failure == WinError::DiskFull;
        throw EInOutError(full ? IoCode::DiskFull : *failure);
    }
    return true;
}

void StagedEntries::Write(std::size_t index, std::span<const std::uint8_t> content) {
    if (TryWrite(index, content))
        return;
    // The name is held by an entry of this run that waits for its rename: that one goes first.
    if (first_ < written_) {
        PutInPlace();
        if (TryWrite(index, content))
            return;
    }
    throw EInOutError(WinError::FileExists);
}

void StagedEntries::Flush() {
    for (std::size_t i = first_; i < written_; ++i)
        Require(files_.FlushFile(Temporary(i)));
}

void StagedEntries::Rename() {
    for (; first_ < written_; ++first_)
        Require(files_.MoveFileReplaceUnflushed(Temporary(first_), Target(first_)));
}

void StagedEntries::PutInPlace() {
    if (first_ == written_)
        return;
    Flush();
    Rename();
    // The renames are in place whatever the answer: a folder that cannot be flushed is left to the file
    // system's own journal.
    files_.FlushFolder(folder_);
}

} // namespace vendora
