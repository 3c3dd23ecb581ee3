#include "tools/fcc/ExtractFolder.h"

#include "platform/posix/PosixFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace vendora::fcc {

namespace fs = std::filesystem;

namespace {

bool Writes(std::uint32_t access, Disposition disposition) {
    return (access & FileAccess::GenericWrite) != 0 || disposition != Disposition::OpenExisting;
}

} // namespace

ExtractFolderFiles::ExtractFolderFiles(const std::string& folder)
    : folder_(fs::absolute(folder).lexically_normal().string()) {
    while (folder_.size() > 1 && folder_.back() == '/')
        folder_.pop_back();
    folderFd_ = ::open(folder_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ < 0)
        throw std::runtime_error("cannot open the folder " + folder_);
}

ExtractFolderFiles::~ExtractFolderFiles() {
    ::close(folderFd_);
}

std::optional<std::string> ExtractFolderFiles::NameInFolder(const AnsiString& path) const {
    const std::string host = fs::absolute(HostPath(path)).lexically_normal().string();
    const auto slash = host.find_last_of('/');
    if (slash == std::string::npos)
        return std::nullopt;
    const std::string parent = slash == 0 ? "/" : host.substr(0, slash);
    const std::string name = host.substr(slash + 1);
    if (parent != folder_ || name.empty() || name == "." || name == "..")
        return std::nullopt;
    return name;
}

OpenedFile ExtractFolderFiles::CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                                          Disposition disposition) {
    if (!Writes(access, disposition))
        return HostFileSystem::CreateFile(path, access, share, disposition);
    const auto name = NameInFolder(path);
    if (!name)
        return FileError{WinError::AccessDenied};
    const auto opener = [this, &name](int flags, mode_t mode) {
        const int fd = ::openat(folderFd_, name->c_str(), flags | O_NOFOLLOW, mode);
        // A link at the name: refused, not followed.
        if (fd < 0 && errno == ELOOP)
            errno = EACCES;
        return fd;
    };
    return PosixFileHandle::OpenWith(opener, HostPath(path), access, disposition);
}

FileStatus ExtractFolderFiles::CreateDirectory(const AnsiString&) {
    return FileError{WinError::AccessDenied};
}

FileStatus ExtractFolderFiles::DeleteFile(const AnsiString& path) {
    const auto name = NameInFolder(path);
    if (!name)
        return FileError{WinError::AccessDenied};
    // unlinkat removes a link itself, never what it points to.
    if (::unlinkat(folderFd_, name->c_str(), 0) != 0)
        return FileError{WindowsErrorFromErrno(errno)};
    return {};
}

FileStatus ExtractFolderFiles::WriteCopy(const AnsiString& from, const AnsiString& temporary,
                                         const AnsiString& to, bool failIfExists) {
    if (!NameInFolder(to) || !NameInFolder(temporary))
        return FileError{WinError::AccessDenied};
    return HostFileSystem::WriteCopy(from, temporary, to, failIfExists);
}

void ExtractFolderFiles::RemoveTemporary(const AnsiString& temporary) {
    // unlinkat removes a link itself, never what it points to.
    if (const auto name = NameInFolder(temporary))
        ::unlinkat(folderFd_, name->c_str(), 0);
}

FileStatus ExtractFolderFiles::Replace(const AnsiString& from, const AnsiString& to, bool flush) {
    const auto source = NameInFolder(from);
    const auto target = NameInFolder(to);
    if (!source || !target)
        return FileError{WinError::AccessDenied};
    struct stat info {};
    if (::fstatat(folderFd_, source->c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return FileError{WindowsErrorFromErrno(errno)};
    if (!S_ISREG(info.st_mode))
        return FileError{WinError::AccessDenied};
    if (const int fd = flush ? ::openat(folderFd_, source->c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC) : -1;
        fd >= 0) {
        const bool synced = ::fsync(fd) == 0;
        ::close(fd);
        if (!synced)
            return FileError{WindowsErrorFromErrno(errno)};
    }
    if (::renameat(folderFd_, source->c_str(), folderFd_, target->c_str()) != 0)
        return FileError{WindowsErrorFromErrno(errno)};
    if (const int fd = flush ? ::openat(folderFd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1; fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return {};
}

} // namespace vendora::fcc
