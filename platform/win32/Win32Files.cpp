#include "platform/win32/Win32Files.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <vector>

namespace vendora {

namespace {

FILETIME ToFiletime(const FileTime& time) {
    return FILETIME{time.Low, time.High};
}

FileTime FromFiletime(const FILETIME& time) {
    return FileTime{time.dwLowDateTime, time.dwHighDateTime};
}

// The folder part of a path or search pattern, separator included, as the system gave it.
std::wstring_view FolderPart(std::wstring_view path) {
    const std::size_t end = path.find_last_of(L"\\/:");
    return end == std::wstring_view::npos ? std::wstring_view() : path.substr(0, end + 1);
}

// GetLastError's code, for a call that just failed.
FileError LastSystemError() {
    return FileError{static_cast<int>(::GetLastError())};
}

} // namespace

Win32FileHandle::Win32FileHandle(void* handle) : handle_(handle) {}

Win32FileHandle::~Win32FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr)
        ::CloseHandle(handle_);
}

FileStatus Win32FileHandle::Read(void* buffer, std::uint32_t size, std::uint32_t& done) {
    done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size) {
        DWORD got = 0;
        if (!::ReadFile(handle_, out + done, size - done, &got, nullptr))
            return LastSystemError();
        if (got == 0)
            break;
        done += got;
    }
    return {};
}

FileStatus Win32FileHandle::Write(const void* buffer, std::uint32_t size, std::uint32_t& done) {
    done = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (done < size) {
        DWORD put = 0;
        if (!::WriteFile(handle_, in + done, size - done, &put, nullptr))
            return LastSystemError();
        if (put == 0)
            return FileError{ERROR_DISK_FULL};
        done += put;
    }
    return {};
}

FileStatus Win32FileHandle::Seek(std::int64_t position) {
    LARGE_INTEGER distance{};
    distance.QuadPart = position;
    if (!::SetFilePointerEx(handle_, distance, nullptr, FILE_BEGIN))
        return LastSystemError();
    return {};
}

std::int64_t Win32FileHandle::Size() {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_, &size))
        return -1;
    return size.QuadPart;
}

FileStatus Win32FileHandle::SetTimes(const FileTime* creation, const FileTime* lastAccess,
                                     const FileTime* lastWrite) {
    FILETIME times[3]{};
    const FileTime* given[3] = {creation, lastAccess, lastWrite};
    FILETIME* passed[3] = {nullptr, nullptr, nullptr};
    for (int i = 0; i < 3; ++i) {
        if (given[i] != nullptr) {
            times[i] = ToFiletime(*given[i]);
            passed[i] = &times[i];
        }
    }
    if (!::SetFileTime(handle_, passed[0], passed[1], passed[2]))
        return LastSystemError();
    return {};
}

FileStatus Win32FileHandle::GetTimes(FileTime* creation, FileTime* lastAccess, FileTime* lastWrite) {
    FILETIME times[3]{};
    if (!::GetFileTime(handle_, &times[0], &times[1], &times[2]))
        return LastSystemError();
    if (creation != nullptr)
        *creation = FromFiletime(times[0]);
    if (lastAccess != nullptr)
        *lastAccess = FromFiletime(times[1]);
    if (lastWrite != nullptr)
        *lastWrite = FromFiletime(times[2]);
    return {};
}

OpenedFile Win32FileSystem::CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                                       Disposition disposition) {
    HANDLE handle = ::CreateFileW(Wide(path).c_str(), access, share, nullptr, static_cast<DWORD>(disposition),
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return LastSystemError();
    return std::unique_ptr<FileHandle>(std::make_unique<Win32FileHandle>(handle));
}

DiskFileSystem::EntryKind Win32FileSystem::KindOf(const AnsiString& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return EntryKind::None;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder : EntryKind::File;
}

FileStatus Win32FileSystem::CreateDirectory(const AnsiString& path) {
    if (!::CreateDirectoryW(Wide(path).c_str(), nullptr))
        return LastSystemError();
    return {};
}

FileStatus Win32FileSystem::DeleteFile(const AnsiString& path) {
    if (!::DeleteFileW(Wide(path).c_str()))
        return LastSystemError();
    return {};
}

FileStatus Win32FileSystem::WriteCopy(const AnsiString& from, const AnsiString& temporary, const AnsiString&,
                                      bool) {
    if (!::CopyFileW(Wide(from).c_str(), Wide(temporary).c_str(), FALSE))
        return LastSystemError();
    return {};
}

FileStatus Win32FileSystem::PutCopyInPlace(const AnsiString& temporary, const AnsiString& to,
                                           bool failIfExists) {
    // Without the replace flag the move refuses an existing destination atomically: no moment between a
    // test and the move where a file could appear and be overwritten.
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (failIfExists ? 0 : MOVEFILE_REPLACE_EXISTING);
    if (!::MoveFileExW(Wide(temporary).c_str(), Wide(to).c_str(), flags))
        return LastSystemError();
    return {};
}

void Win32FileSystem::RemoveTemporary(const AnsiString& temporary) {
    // A temporary copy carries the source's attributes; a read-only one must lose them to be deleted.
    const std::wstring wide = Wide(temporary);
    ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(wide.c_str());
}

FileStatus Win32FileSystem::Replace(const AnsiString& from, const AnsiString& to, bool flush) {
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (flush ? MOVEFILE_WRITE_THROUGH : 0);
    // MoveFileExW would rename a folder too; this call is for files only.
    const std::wstring source = Wide(from);
    const DWORD attributes = ::GetFileAttributesW(source.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return FileError{ERROR_ACCESS_DENIED};
    if (!::MoveFileExW(source.c_str(), Wide(to).c_str(), flags))
        return LastSystemError();
    return {};
}

FileStatus Win32FileSystem::Flush(const AnsiString& path, bool folder) {
    const DWORD flags = folder ? FILE_FLAG_BACKUP_SEMANTICS : FILE_ATTRIBUTE_NORMAL;
    // FlushFileBuffers wants a handle open for writing; opening it so changes nothing in the file.
    HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return LastSystemError();
    const bool flushed = ::FlushFileBuffers(handle) != 0;
    const DWORD code = ::GetLastError();
    ::CloseHandle(handle);
    if (!flushed)
        return FileError{static_cast<int>(code)};
    return {};
}

AnsiString Win32FileSystem::GetCurrentDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return AnsiString();
        if (length < buffer.size())
            return Narrow(std::wstring_view(buffer.data(), length));
        buffer.resize(length + 1);
    }
}

FileStatus Win32FileSystem::SetCurrentDirectory(const AnsiString& path) {
    if (!::SetCurrentDirectoryW(Wide(path).c_str()))
        return LastSystemError();
    return {};
}

FileResult<AnsiString> Win32FileSystem::FindFirst(const AnsiString& path) {
    const std::wstring pattern = Wide(path);
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return LastSystemError();
    ::FindClose(search);
    // Kept whole, as the caller puts the name after the same folder.
    const std::wstring_view name = found.cFileName;
    const AnsiString seen = Narrow(std::wstring(FolderPart(pattern)) + std::wstring(name));
    return seen.substr(seen.size() - name.size());
}

} // namespace vendora
