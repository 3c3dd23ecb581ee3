#pragma once
// Files and folders on Windows: the ANSI calls of kernel32, each taking the Windows-1252 path as it is (the
// ANSI code page of the French Windows the installer runs on is 1252). Error codes are GetLastError's.

#include "platform/Platform.h"

namespace vendora {

class Win32FileHandle : public FileHandle {
public:
    // Takes ownership of a handle that CreateFileA returned (a HANDLE).
    explicit Win32FileHandle(void* handle);
    ~Win32FileHandle() override;
    Win32FileHandle(const Win32FileHandle&) = delete;
    Win32FileHandle& operator=(const Win32FileHandle&) = delete;

    bool Read(void* buffer, std::uint32_t size, std::uint32_t& done) override;
    bool Write(const void* buffer, std::uint32_t size, std::uint32_t& done) override;
    bool Seek(std::int64_t position) override;
    std::int64_t Size() override;
    bool SetTimes(const FileTime* creation, const FileTime* lastAccess, const FileTime* lastWrite) override;
    bool GetTimes(FileTime* creation, FileTime* lastAccess, FileTime* lastWrite) override;
    int LastError() const override { return lastError_; }

    void* Handle() const { return handle_; }

private:
    bool Fail();

    void* handle_;
    int lastError_ = 0;
};

class Win32FileSystem : public FileSystem {
public:
    std::unique_ptr<FileHandle> CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                                           Disposition disposition, int& error) override;
    bool FileExists(const AnsiString& path) override;
    bool DirectoryExists(const AnsiString& path) override;
    int CreateDirectory(const AnsiString& path) override;
    bool DeleteFile(const AnsiString& path) override;
    // CopyFileA to the destination's temporary sibling, then MoveFileExA over the destination, so that a
    // crash leaves the old destination or the new one, never a part; a failure removes the temporary file.
    // With failIfExists an existing destination is refused with 80, as CopyFileA refuses it.
    bool CopyFile(const AnsiString& from, const AnsiString& to, bool failIfExists) override;
    // MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH); a folder is refused (5).
    bool MoveFileReplace(const AnsiString& from, const AnsiString& to) override;
    // The same without MOVEFILE_WRITE_THROUGH.
    bool MoveFileReplaceUnflushed(const AnsiString& from, const AnsiString& to) override;
    // CreateFileA for writing, then FlushFileBuffers; a folder is opened with FILE_FLAG_BACKUP_SEMANTICS,
    // and NTFS then writes out its index with the names in it.
    bool FlushFile(const AnsiString& path) override;
    bool FlushFolder(const AnsiString& path) override;
    AnsiString GetCurrentDirectory() override;
    bool SetCurrentDirectory(const AnsiString& path) override;
    std::optional<AnsiString> FindFirst(const AnsiString& path) override;

    // The Windows error code of the last failing call.
    int LastError() const override { return lastError_; }

private:
    // MoveFileExA with these flags, for files only.
    bool MoveWithFlags(const AnsiString& from, const AnsiString& to, std::uint32_t flags);
    // FlushFileBuffers on path opened with these flags.
    bool Flush(const AnsiString& path, std::uint32_t flags);
    bool Fail();
    bool Fail(int code);

    int lastError_ = 0;
};

} // namespace vendora
