#pragma once
// An open file of the host's disk behind the platform's FileHandle: a POSIX descriptor that answers in
// Win32 terms (Windows error codes, FILETIME values). The host's own file system and the emulated
// Windows drive both build on it.
//
// Linux cannot set a file's creation time. This handle reads the birth time where the kernel reports it
// and ignores a creation time given to SetTimes; a wrapper that must keep creation times (the emulated
// drive) overrides GetTimes/SetTimes, reaching the file through Fd() and HostPath().

#include "platform/Platform.h"

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>

namespace vendora {

// What a Win32 call reports for errno. An existing file is 80 for CreateFile and 183 for CreateDirectory,
// so the caller says which one it stands for.
enum class WinCall { CreateFile, CreateDirectory, Other };
int WindowsErrorFromErrno(int err, WinCall call = WinCall::Other);
// The same for a call on hostPath: a missing name is 3, "path not found", when its folder is missing too,
// as Windows tells the two apart.
int WindowsErrorAt(const std::string& hostPath, int err, WinCall call = WinCall::Other);

// FILETIME (100 ns since 1601-01-01 UTC) and the host's timespec (since 1970-01-01 UTC).
FileTime FileTimeFromTimespec(const std::timespec& time);
std::timespec TimespecFromFileTime(FileTime time);

class PosixFileHandle : public FileHandle {
public:
    // Takes ownership of fd.
    PosixFileHandle(int fd, std::string hostPath);
    ~PosixFileHandle() override;
    PosixFileHandle(const PosixFileHandle&) = delete;
    PosixFileHandle& operator=(const PosixFileHandle&) = delete;

    // CreateFileA on a host path (UTF-8, '/' separators). Sharing is not enforced here. A folder cannot be
    // opened as a file (5), a missing parent folder gives 3 where a missing file gives 2, and truncating
    // wants write access (87, where POSIX would truncate a file opened for reading), as on Windows.
    static FileResult<std::unique_ptr<PosixFileHandle>> Open(const std::string& hostPath,
                                                             std::uint32_t access, Disposition disposition);
    // The same with the open(2) call made by opener (flags, mode → descriptor, or -1 with errno), for a
    // caller that resolves the path its own way.
    using Opener = std::function<int(int flags, mode_t mode)>;
    static FileResult<std::unique_ptr<PosixFileHandle>> OpenWith(const Opener& opener,
                                                                 const std::string& hostPath,
                                                                 std::uint32_t access,
                                                                 Disposition disposition);

    FileStatus Read(void* buffer, std::uint32_t size, std::uint32_t& done) override;
    FileStatus Write(const void* buffer, std::uint32_t size, std::uint32_t& done) override;
    FileStatus Seek(std::int64_t position) override;
    std::int64_t Size() override;
    // Access and write times; a creation time is accepted and ignored (see above).
    FileStatus SetTimes(const FileTime* creation, const FileTime* lastAccess,
                        const FileTime* lastWrite) override;
    // The creation time is the birth time when the kernel knows it, else the last status change.
    FileStatus GetTimes(FileTime* creation, FileTime* lastAccess, FileTime* lastWrite) override;
    // sync_file_range(SYNC_FILE_RANGE_WRITE) over the whole file.
    void StartWriteBack() override;

    int Fd() const { return fd_; }
    const std::string& HostPath() const { return hostPath_; }

protected:
    // errno as the Windows code of a failing call.
    static FileError Fail(int err);

private:
    int fd_;
    std::string hostPath_;
};

} // namespace vendora
