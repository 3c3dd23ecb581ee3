#include "platform/posix/PosixFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vendora {

namespace {

// 1601-01-01 to 1970-01-01 in 100 ns ticks.
constexpr std::int64_t UnixEpochTicks = 116444736000000000LL;
constexpr std::int64_t TicksPerSecond = 10000000LL;

bool ParentFolderExists(const std::string& hostPath) {
    const auto slash = hostPath.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    const std::string parent = slash == 0 ? "/" : hostPath.substr(0, slash);
    struct stat info {};
    return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int OpenFlags(std::uint32_t access, Disposition disposition) {
    const bool read = (access & FileAccess::GenericRead) != 0;
    const bool write = (access & FileAccess::GenericWrite) != 0;
    int flags = O_CLOEXEC;
    flags |= read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    switch (disposition) {
    case Disposition::CreateNew:
        return flags | O_CREAT | O_EXCL;
    case Disposition::CreateAlways:
        return flags | O_CREAT | O_TRUNC;
    case Disposition::OpenExisting:
        return flags;
    case Disposition::OpenAlways:
        return flags | O_CREAT;
    case Disposition::TruncateExisting:
        return flags | O_TRUNC;
    }
    return flags;
}

} // namespace

int WindowsErrorFromErrno(int err, WinCall call) {
    switch (err) {
    case 0:
        return 0;
    case ENOENT:
        return call == WinCall::CreateDirectory ? WinError::PathNotFound : WinError::FileNotFound;
    case ENOTDIR:
        return WinError::PathNotFound;
    case EMFILE:
    case ENFILE:
        return WinError::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return WinError::AccessDenied;
    case EEXIST:
        return call == WinCall::CreateDirectory ? WinError::AlreadyExists : WinError::FileExists;
    case ENOSPC:
    case EDQUOT:
        return WinError::DiskFull;
    case ENAMETOOLONG:
        return WinError::FilenameTooLong;
    case EBUSY:
    case ETXTBSY:
        return WinError::SharingViolation;
    case EINVAL:
        return WinError::InvalidParameter;
    case ENOTEMPTY:
        return WinError::DirNotEmpty;
    default:
        return WinError::GenFailure;
    }
}

int WindowsErrorAt(const std::string& hostPath, int err, WinCall call) {
    return err == ENOENT && !ParentFolderExists(hostPath) ? WinError::PathNotFound
                                                          : WindowsErrorFromErrno(err, call);
}

FileTime FileTimeFromTimespec(const std::timespec& time) {
    const std::int64_t ticks =
        static_cast<std::int64_t>(time.tv_sec) * TicksPerSecond + time.tv_nsec / 100 + UnixEpochTicks;
    const auto value = static_cast<std::uint64_t>(ticks < 0 ? 0 : ticks);
    return FileTime{static_cast<std::uint32_t>(value), static_cast<std::uint32_t>(value >> 32)};
}

std::timespec TimespecFromFileTime(FileTime time) {
    const std::int64_t sinceUnix = static_cast<std::int64_t>(time.Ticks()) - UnixEpochTicks;
    // Floor division, so that instants before 1970 keep a nanosecond part in [0, 1e9).
    std::int64_t seconds = sinceUnix / TicksPerSecond;
    std::int64_t rest = sinceUnix % TicksPerSecond;
    if (rest < 0) {
        rest += TicksPerSecond;
        --seconds;
    }
    std::timespec result{};
    result.tv_sec = static_cast<std::time_t>(seconds);
    result.tv_nsec = static_cast<long>(rest * 100);
    return result;
}

PosixFileHandle::PosixFileHandle(int fd, std::string hostPath) : fd_(fd), hostPath_(std::move(hostPath)) {}

PosixFileHandle::~PosixFileHandle() {
    if (fd_ >= 0)
        ::close(fd_);
}

FileResult<std::unique_ptr<PosixFileHandle>>
PosixFileHandle::Open(const std::string& hostPath, std::uint32_t access, Disposition disposition) {
    const auto opener = [&hostPath](int flags, mode_t mode) { return ::open(hostPath.c_str(), flags, mode); };
    return OpenWith(opener, hostPath, access, disposition);
}

FileResult<std::unique_ptr<PosixFileHandle>> PosixFileHandle::OpenWith(const Opener& opener,
                                                                       const std::string& hostPath,
                                                                       std::uint32_t access,
                                                                       Disposition disposition) {
    if (disposition == Disposition::TruncateExisting && (access & FileAccess::GenericWrite) == 0)
        return FileError{WinError::InvalidParameter};
    const int fd = opener(OpenFlags(access, disposition), 0666);
    if (fd < 0)
        return FileError{WindowsErrorAt(hostPath, errno, WinCall::CreateFile)};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return FileError{WinError::AccessDenied};
    }
    return std::make_unique<PosixFileHandle>(fd, hostPath);
}

FileError PosixFileHandle::Fail(int err) {
    return {WindowsErrorFromErrno(err)};
}

FileStatus PosixFileHandle::Read(void* buffer, std::uint32_t size, std::uint32_t& done) {
    done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size) {
        const ssize_t got = ::read(fd_, out + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Fail(errno);
        if (got == 0)
            break;
        done += static_cast<std::uint32_t>(got);
    }
    return {};
}

FileStatus PosixFileHandle::Write(const void* buffer, std::uint32_t size, std::uint32_t& done) {
    done = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (done < size) {
        const ssize_t put = ::write(fd_, in + done, size - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return Fail(errno);
        if (put == 0)
            return Fail(ENOSPC);
        done += static_cast<std::uint32_t>(put);
    }
    return {};
}

void PosixFileHandle::StartWriteBack() {
    // A hint: whatever it answers, the flush that follows is what counts.
    ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
}

FileStatus PosixFileHandle::Seek(std::int64_t position) {
    if (position < 0)
        return FileError{WinError::NegativeSeek};
    if (::lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0)
        return Fail(errno);
    return {};
}

std::int64_t PosixFileHandle::Size() {
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        return -1;
    return static_cast<std::int64_t>(info.st_size);
}

FileStatus PosixFileHandle::SetTimes(const FileTime* /*creation*/, const FileTime* lastAccess,
                                     const FileTime* lastWrite) {
    std::timespec times[2]{};
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_nsec = UTIME_OMIT;
    if (lastAccess != nullptr)
        times[0] = TimespecFromFileTime(*lastAccess);
    if (lastWrite != nullptr)
        times[1] = TimespecFromFileTime(*lastWrite);
    if (::futimens(fd_, times) != 0)
        return Fail(errno);
    return {};
}

FileStatus PosixFileHandle::GetTimes(FileTime* creation, FileTime* lastAccess, FileTime* lastWrite) {
    struct statx info {};
    if (::statx(fd_, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &info) != 0)
        return Fail(errno);
    const auto convert = [](const struct statx_timestamp& t) {
        std::timespec ts{};
        ts.tv_sec = static_cast<std::time_t>(t.tv_sec);
        ts.tv_nsec = static_cast<long>(t.tv_nsec);
        return FileTimeFromTimespec(ts);
    };
    if (creation != nullptr)
        *creation = convert((info.stx_mask & STATX_BTIME) != 0 ? info.stx_btime : info.stx_ctime);
    if (lastAccess != nullptr)
        *lastAccess = convert(info.stx_atime);
    if (lastWrite != nullptr)
        *lastWrite = convert(info.stx_mtime);
    return {};
}

} // namespace vendora
