#include "archive/StagedEntries.h"

#include "base/Errors.h"

#include <algorithm>
#include <optional>

namespace vendora {

namespace {

// Files move in pieces no larger than a single Write of a handle can carry.
constexpr std::size_t FileChunk = std::size_t{1} << 24;

// The I/O error of a file system call that failed; a file system that keeps no code is refused access.
EInOutError FailureOf(const FileSystem& files) {
    return EInOutError(files.LastError() != 0 ? files.LastError() : WinError::AccessDenied);
}

// Writes bytes whole through file, in pieces no larger than one Write can carry, starting the write-back
// of each piece at once. Nothing on success, else the system's error code (0 for a write that stopped
// short without one).
std::optional<int> WriteWhole(FileHandle& file, std::span<const std::uint8_t> bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const auto want = static_cast<std::uint32_t>(std::min(bytes.size() - done, FileChunk));
        std::uint32_t put = 0;
        if (!file.Write(bytes.data() + done, want, put))
            return file.LastError();
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
        // A file system that keeps no error code cannot tell; creating the file will.
        if (!files_.DeleteFile(TemporarySibling(target)) && files_.LastError() != 0 &&
            files_.LastError() != WinError::FileNotFound)
            throw FailureOf(files_);
    }
}

bool StagedEntries::TryWrite(std::size_t index, std::span<const std::uint8_t> content) {
    const AnsiString temporary = Temporary(index);
    int error = 0;
    // A new file, never one found under the name: nothing is written through what a link planted there
    // leads to.
    auto file = files_.CreateFile(temporary, FileAccess::GenericWrite, FileShare::None,
                                  Disposition::CreateNew, error);
    if (!file && error == WinError::FileExists)
        return false;
    if (!file)
        throw EInOutError(error);
    written_ = index + 1;
    if (const auto failure = WriteWhole(*file, content)) {
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
        if (!files_.FlushFile(Temporary(i)))
            throw FailureOf(files_);
}

void StagedEntries::Rename() {
    for (; first_ < written_; ++first_)
        if (!files_.MoveFileReplaceUnflushed(Temporary(first_), Target(first_)))
            throw FailureOf(files_);
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
