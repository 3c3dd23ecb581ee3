#include "platform/DiskFileSystem.h"

#include "platform/WindowsRules.h"

#include <vector>

namespace vendora {

namespace {

std::string_view NameOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

// The name the copy is written under. Removing what lies there must never remove the source.
AnsiString CopyTemporary(const AnsiString& from, const AnsiString& to) {
    const AnsiString temporary = TemporarySibling(to);
    return SameNameNoCase(NameOf(from), NameOf(temporary)) ? TemporarySibling(temporary) : temporary;
}

} // namespace

FileStatus CopyContent(FileHandle& from, FileHandle& to) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        std::uint32_t got = 0;
        if (const FileStatus read = from.Read(buffer.data(), static_cast<std::uint32_t>(buffer.size()), got);
            !read)
            return FileError{read.Error() != 0 ? read.Error() : WinError::GenFailure};
        if (got == 0)
            return {};
        std::uint32_t put = 0;
        const FileStatus written = to.Write(buffer.data(), got, put);
        if (!written || put != got)
            return FileError{written.Error() != 0 ? written.Error() : WinError::DiskFull};
    }
}

FileStatus DiskFileSystem::CopyFile(const AnsiString& from, const AnsiString& to, bool failIfExists) {
    const AnsiString temporary = CopyTemporary(from, to);
    RemoveTemporary(temporary);
    FileStatus copied = WriteCopy(from, temporary, to, failIfExists);
    if (copied)
        copied = PutCopyInPlace(temporary, to, failIfExists);
    if (copied)
        return {};
    // A half-written copy is worth nothing; the destination stays as it was.
    RemoveTemporary(temporary);
    const int code = copied.Error();
    return FileError{failIfExists && code == WinError::AlreadyExists ? WinError::FileExists : code};
}

} // namespace vendora
