#pragma once
// Files and folders on Windows: the wide calls of kernel32, each path converted from Windows-1252 at the
// edge (WideText.h), so that names are the same whatever the system's ANSI code page. Error codes are
// GetLastError's.

#include "platform/DiskFileSystem.h"

namespace vendora {

class Win32FileHandle : public FileHandle {
public:
    // Takes ownership of a handle that CreateFileW returned (a HANDLE).
    explicit Win32FileHandle(void* handle);
    ~Win32FileHandle() override;
    Win32FileHandle(const Win32FileHandle&) = delete;
    Win32FileHandle& operator=(const Win32FileHandle&) = delete;

    FileStatus Read(void* buffer, std::uint32_t size, std::uint32_t& done) override;
    FileStatus Write(const void* buffer, std::uint32_t size, std::uint32_t& done) override;
    FileStatus Seek(std::int64_t position) override;
    std::int64_t Size() override;
    FileStatus SetTimes(const FileTime* creation, const FileTime* lastAccess,
                        const FileTime* lastWrite) override;
    FileStatus GetTimes(FileTime* creation, FileTime* lastAccess, FileTime* lastWrite) override;

    void* Handle() const { return handle_; }

private:
    void* handle_;
};

class Win32FileSystem : public DiskFileSystem {
public:
    OpenedFile CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                          Disposition disposition) override;
    FileStatus CreateDirectory(const AnsiString& path) override;
    FileStatus DeleteFile(const AnsiString& path) override;
    // The folder as the system names it: one that Windows-1252 cannot name is kept (WideText.h).
    AnsiString GetCurrentDirectory() override;
    FileStatus SetCurrentDirectory(const AnsiString& path) override;
    // The name found, kept with the pattern's folder when Windows-1252 cannot name it (WideText.h).
    FileResult<AnsiString> FindFirst(const AnsiString& path) override;

protected:
    EntryKind KindOf(const AnsiString& path) override;
    // MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING), with MOVEFILE_WRITE_THROUGH when flush; a folder is
    // refused (5).
    FileStatus Replace(const AnsiString& from, const AnsiString& to, bool flush) override;
    // CreateFileW for writing, then FlushFileBuffers; a folder is opened with FILE_FLAG_BACKUP_SEMANTICS,
    // and NTFS then writes out its index with the names in it.
    FileStatus Flush(const AnsiString& path, bool folder) override;
    // CopyFileW to the temporary name, then MoveFileExW over the destination with write-through (and
    // without replacing when failIfExists); a temporary copy that came out read-only loses the attribute to
    // be deleted.
    FileStatus WriteCopy(const AnsiString& from, const AnsiString& temporary, const AnsiString& to,
                         bool failIfExists) override;
    FileStatus PutCopyInPlace(const AnsiString& temporary, const AnsiString& to, bool failIfExists) override;
    void RemoveTemporary(const AnsiString& temporary) override;
};

} // namespace vendora
