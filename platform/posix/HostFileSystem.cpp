#include "platform/posix/HostFileSystem.h"

#include "base/Cp1252.h"
#include "platform/WindowsRules.h"
#include "platform/posix/PosixFile.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vendora {

namespace {

bool IsKind(const AnsiString& path, mode_t kind) {
    struct stat info {};
    return ::stat(HostPath(path).c_str(), &info) == 0 && (info.st_mode & S_IFMT) == kind;
}

std::string FolderOf(const std::string& hostPath) {
    const auto slash = hostPath.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : hostPath.substr(0, slash);
}

bool SyncPath(const std::string& hostPath, int flags) {
    const int fd = ::open(hostPath.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

std::string HostPath(const AnsiString& path) {
    std::string host = AnsiToUtf8(path);
    std::replace(host.begin(), host.end(), '\\', '/');
    return host;
}

AnsiString FromHostPath(const std::string& hostPath) {
    AnsiString path = Utf8ToAnsi(hostPath);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

OpenedFile HostFileSystem::CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t /*share*/,
                                      Disposition disposition) {
    return PosixFileHandle::Open(HostPath(path), access, disposition);
}

DiskFileSystem::EntryKind HostFileSystem::KindOf(const AnsiString& path) {
    return IsKind(path, S_IFREG)   ? EntryKind::File
           : IsKind(path, S_IFDIR) ? EntryKind::Folder
                                   : EntryKind::None;
}

FileStatus HostFileSystem::CreateDirectory(const AnsiString& path) {
    if (::mkdir(HostPath(path).c_str(), 0777) == 0)
        return {};
    return FileError{WindowsErrorFromErrno(errno, WinCall::CreateDirectory)};
}

FileStatus HostFileSystem::DeleteFile(const AnsiString& path) {
    if (DirectoryExists(path))
        return FileError{WinError::AccessDenied};
    if (::unlink(HostPath(path).c_str()) != 0)
        return FileError{WindowsErrorAt(HostPath(path), errno)};
    return {};
}

FileStatus HostFileSystem::WriteCopy(const AnsiString& from, const AnsiString& temporary,
                                     const AnsiString& to, bool failIfExists) {
    struct stat info {};
    if (DirectoryExists(to))
        return FileError{WinError::AccessDenied};
    if (failIfExists && ::lstat(HostPath(to).c_str(), &info) == 0)
        return FileError{WinError::FileExists};
    auto source = PosixFileHandle::Open(HostPath(from), FileAccess::GenericRead, Disposition::OpenExisting);
    if (!source)
        return FileError{source.Error()};
    auto target =
        PosixFileHandle::Open(HostPath(temporary), FileAccess::GenericWrite, Disposition::CreateNew);
    if (!target)
        return FileError{target.Error()};
    if (const FileStatus copied = CopyContent(**source, **target); !copied)
        return copied;
    FileTime written;
    if (const FileStatus got = (*source)->GetTimes(nullptr, nullptr, &written); !got)
        return got;
    if (const FileStatus set = (*target)->SetTimes(nullptr, nullptr, &written); !set)
        return set;
    if (::fstat((*source)->Fd(), &info) != 0 || ::fchmod((*target)->Fd(), info.st_mode & 07777) != 0 ||
        ::fsync((*target)->Fd()) != 0)
        return FileError{WindowsErrorFromErrno(errno)};
    return {};
}

FileStatus HostFileSystem::PutCopyInPlace(const AnsiString& temporary, const AnsiString& to,
                                          bool failIfExists) {
    if (::renameat2(AT_FDCWD, HostPath(temporary).c_str(), AT_FDCWD, HostPath(to).c_str(),
                    failIfExists ? RENAME_NOREPLACE : 0) != 0)
        return FileError{WindowsErrorFromErrno(errno)};
    SyncPath(FolderOf(HostPath(to)), O_RDONLY | O_DIRECTORY);
    return {};
}

void HostFileSystem::RemoveTemporary(const AnsiString& temporary) {
    ::unlink(HostPath(temporary).c_str());
}

FileStatus HostFileSystem::Replace(const AnsiString& from, const AnsiString& to, bool flush) {
    const std::string source = HostPath(from);
    const std::string target = HostPath(to);
    struct stat info {};
    if (::lstat(source.c_str(), &info) != 0)
        return FileError{WindowsErrorAt(source, errno)};
    if (S_ISDIR(info.st_mode) || (::stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode)))
        return FileError{WinError::AccessDenied};
    // The content first, or a power cut could leave the new name on an empty file.
    if (flush && !SyncPath(source, O_RDONLY))
        return FileError{WindowsErrorFromErrno(errno)};
    if (::rename(source.c_str(), target.c_str()) != 0)
        return FileError{errno == EXDEV ? WinError::NotSameDevice : WindowsErrorAt(target, errno)};
    if (!flush)
        return {};
    // The rename reaches the disk with its folders: one flush when both names lie in one folder.
    SyncPath(FolderOf(target), O_RDONLY | O_DIRECTORY);
    if (FolderOf(source) != FolderOf(target))
        SyncPath(FolderOf(source), O_RDONLY | O_DIRECTORY);
    return {};
}

FileStatus HostFileSystem::Flush(const AnsiString& path, bool folder) {
    if (!folder && DirectoryExists(path))
        return FileError{WinError::AccessDenied};
    if (!SyncPath(HostPath(path), O_RDONLY | (folder ? O_DIRECTORY : O_NOFOLLOW)))
        return FileError{WindowsErrorAt(HostPath(path), errno)};
    return {};
}

AnsiString HostFileSystem::GetCurrentDirectory() {
    std::vector<char> buffer(4096);
    if (::getcwd(buffer.data(), buffer.size()) == nullptr)
        return {};
    return FromHostPath(buffer.data());
}

FileStatus HostFileSystem::SetCurrentDirectory(const AnsiString& path) {
    if (::chdir(HostPath(path).c_str()) == 0)
        return {};
    // A file there is "not a folder" to Windows.
    return FileError{errno == ENOTDIR && IsKind(path, S_IFREG) ? WinError::Directory
                                                               : WindowsErrorAt(HostPath(path), errno)};
}

FileResult<AnsiString> HostFileSystem::FindFirst(const AnsiString& path) {
    const std::string host = HostPath(path);
    const auto slash = host.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : host.substr(0, slash);
    const AnsiString pattern = Utf8ToAnsi(slash == std::string::npos ? host : host.substr(slash + 1));
    if (!HasWildcard(pattern)) {
        struct stat info {};
        if (::stat(host.c_str(), &info) != 0)
            return FileError{WindowsErrorAt(host, errno)};
        return pattern;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return FileError{WinError::PathNotFound};
    std::optional<AnsiString> first;
    while (const dirent* entry = ::readdir(dir)) {
        const AnsiString name = Utf8ToAnsi(entry->d_name);
        if (name != "." && name != ".." && MatchesWildcard(pattern, name) && (!first || name < *first))
            first = name;
    }
    ::closedir(dir);
    if (!first)
        return FileError{WinError::FileNotFound};
    return *first;
}

} // namespace vendora
