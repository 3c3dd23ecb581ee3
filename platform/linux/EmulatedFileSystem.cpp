#include "platform/linux/EmulatedFileSystem.h"

#include "base/Cp1252.h"
#include "platform/posix/PosixFile.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace vendora {

namespace {

constexpr std::uint32_t AttributeReadOnly = 0x01;
constexpr std::uint32_t AttributeDirectory = 0x10;
constexpr std::uint32_t AttributeArchive = 0x20;

FileIdentity IdentityOf(const struct stat& info) {
    return FileIdentity{info.st_dev, info.st_ino};
}

void EncodeFileTime(FileTime time, unsigned char (&bytes)[8]) {
    const std::uint64_t ticks = time.Ticks();
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<unsigned char>(ticks >> (8 * i));
}

std::optional<FileTime> DecodeFileTime(const unsigned char (&bytes)[8], ssize_t size) {
    if (size != 8)
        return std::nullopt;
    std::uint64_t ticks = 0;
    for (int i = 7; i >= 0; --i)
        ticks = (ticks << 8) | bytes[i];
    return FileTime{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

std::optional<FileTime> StoredCreationTime(int fd) {
    unsigned char bytes[8];
    return DecodeFileTime(bytes, ::fgetxattr(fd, CreationTimeAttribute, bytes, sizeof bytes));
}

std::optional<FileTime> StoredCreationTime(const std::string& path) {
    unsigned char bytes[8];
    return DecodeFileTime(bytes, ::getxattr(path.c_str(), CreationTimeAttribute, bytes, sizeof bytes));
}

FileTime FromStatx(const struct statx_timestamp& t) {
    std::timespec ts{};
    ts.tv_sec = static_cast<std::time_t>(t.tv_sec);
    ts.tv_nsec = static_cast<long>(t.tv_nsec);
    return FileTimeFromTimespec(ts);
}

// A file of the emulated drives: the host descriptor, registered in the process's table of open handles
// for as long as it is open.
class EmulatedFileHandle : public FileHandle {
public:
    EmulatedFileHandle(std::unique_ptr<PosixFileHandle> file, std::shared_ptr<OpenFileTable> table,
                       std::uint64_t id)
        : file_(std::move(file)), table_(std::move(table)), id_(id) {}
    ~EmulatedFileHandle() override {
        table_->Remove(id_);
        file_.reset();
    }
    EmulatedFileHandle(const EmulatedFileHandle&) = delete;
    EmulatedFileHandle& operator=(const EmulatedFileHandle&) = delete;

    FileStatus Read(void* buffer, std::uint32_t size, std::uint32_t& done) override {
        return file_->Read(buffer, size, done);
    }
    FileStatus Write(const void* buffer, std::uint32_t size, std::uint32_t& done) override {
        return file_->Write(buffer, size, done);
    }
    FileStatus Seek(std::int64_t position) override { return file_->Seek(position); }
    std::int64_t Size() override { return file_->Size(); }

    FileStatus SetTimes(const FileTime* creation, const FileTime* lastAccess,
                        const FileTime* lastWrite) override {
        if (lastAccess != nullptr || lastWrite != nullptr)
            if (FileStatus set = file_->SetTimes(nullptr, lastAccess, lastWrite); !set)
                return set;
        if (creation == nullptr)
            return {};
        unsigned char bytes[8];
        EncodeFileTime(*creation, bytes);
        if (::fsetxattr(Fd(), CreationTimeAttribute, bytes, sizeof bytes, 0) == 0)
            return {};
        // Without user extended attributes the creation time cannot be kept; Windows on FAT loses
        // precision the same quiet way, so the call still succeeds.
        if (errno == ENOTSUP || errno == EOPNOTSUPP)
            return {};
        return FileError{WindowsErrorFromErrno(errno)};
    }

    FileStatus GetTimes(FileTime* creation, FileTime* lastAccess, FileTime* lastWrite) override {
        if (FileStatus got = file_->GetTimes(creation, lastAccess, lastWrite); !got)
            return got;
        if (creation != nullptr)
            if (auto stored = StoredCreationTime(Fd()))
                *creation = *stored;
        return {};
    }

    void StartWriteBack() override { file_->StartWriteBack(); }
    int Fd() const { return file_->Fd(); }

private:
    std::unique_ptr<PosixFileHandle> file_;
    std::shared_ptr<OpenFileTable> table_;
    std::uint64_t id_;
};

FileResult<std::unique_ptr<EmulatedFileHandle>> OpenHandle(const EmulatedFileSystem& files,
                                                           OpenFileTable& table,
                                                           const std::shared_ptr<OpenFileTable>& shared,
                                                           const AnsiString& path, std::uint32_t access,
                                                           std::uint32_t share, Disposition disposition) {
    auto host = files.HostPathOf(path);
    if (!host)
        return FileError{host.Error()};
    const BoundedPath bounded = files.Bounded(*host);
    std::lock_guard guard(table.Lock());
    struct stat info {};
    if (StatBounded(bounded, info)) {
        if (S_ISDIR(info.st_mode))
            return FileError{WinError::AccessDenied};
        if (disposition == Disposition::CreateNew)
            return FileError{WinError::FileExists};
        if (table.Conflicts(IdentityOf(info), access, share) ||
            ((access & FileAccess::GenericWrite) != 0 &&
             FindFileUse(IdentityOf(info), table.Descriptors()) != FileUse::None))
            return FileError{WinError::SharingViolation};
    }
    const auto opener = [&bounded](int flags, mode_t mode) { return OpenBounded(bounded, flags, mode); };
    auto file = PosixFileHandle::OpenWith(opener, *host, access, disposition);
    if (!file)
        return FileError{file.Error()};
    if (::fstat((*file)->Fd(), &info) != 0)
        return FileError{WindowsErrorFromErrno(errno)};
    const std::uint64_t id = table.Add(IdentityOf(info), access, share, (*file)->Fd());
    return std::make_unique<EmulatedFileHandle>(std::move(*file), shared, id);
}

// Why Windows would refuse to remove or rename this file now: 32 while one of this process's handles keeps
// it without sharing deletion or another program holds it open, 5 while it is a running program; else 0.
// Called with the table locked.
int RemovalRefused(OpenFileTable& table, const struct stat& info) {
    if (table.Conflicts(IdentityOf(info), OpenFileTable::DeleteAccess,
                        FileShare::Read | FileShare::Write | FileShare::Delete))
        return WinError::SharingViolation;
    switch (FindFileUse(IdentityOf(info), table.Descriptors())) {
    case FileUse::Executing:
        return WinError::AccessDenied;
    case FileUse::HeldOpen:
        return WinError::SharingViolation;
    case FileUse::None:
        break;
    }
    return 0;
}

// Whether two descriptors name the same file or folder.
bool SameFile(int first, int second) {
    struct stat a {};
    struct stat b {};
    return ::fstat(first, &a) == 0 && ::fstat(second, &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

// fsync of a folder opened as O_PATH, so that a rename in it reaches the disk.
void SyncFolder(int folder) {
    UniqueFd readable(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (readable.Valid())
        ::fsync(readable.Get());
}

std::string BaseName(const std::string& hostPath) {
    return hostPath.substr(hostPath.find_last_of('/') + 1);
}

std::vector<AnsiString> FolderEntries(const std::string& folder, bool withDots) {
    std::vector<AnsiString> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(Utf8ToAnsi(name));
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end(),
              [](const AnsiString& a, const AnsiString& b) { return NameLessNoCase(a, b); });
    if (withDots)
        names.insert(names.begin(), {".", ".."});
    return names;
}

} // namespace

EmulatedFileSystem::EmulatedFileSystem(const EmulatedMachine& machine)
    : machine_(machine), openFiles_(std::make_shared<OpenFileTable>()),
      current_(machine.HostCurrentDirectory().value_or(WinPath{'C', {}})) {}

FileResult<WinPath> EmulatedFileSystem::FullPathOf(const AnsiString& path) const {
    return FullPath(path, current_);
}

FileResult<EmulatedMachine::Location> EmulatedFileSystem::Find(const AnsiString& path) const {
    auto full = FullPath(path, current_);
    if (!full)
        return FileError{full.Error()};
    return machine_.Locate(*full);
}

FileResult<EmulatedMachine::Location> EmulatedFileSystem::FindExisting(const AnsiString& path) const {
    auto location = Find(path);
    if (location && !location->Found)
        return FileError{location->ParentFound ? WinError::FileNotFound : WinError::PathNotFound};
    return location;
}

FileResult<std::string> EmulatedFileSystem::HostPathOf(const AnsiString& path) const {
    auto location = Find(path);
    if (!location)
        return FileError{location.Error()};
    return location->HostPath;
}

BoundedPath EmulatedFileSystem::Bounded(const std::string& hostPath) const {
    const std::string& root = machine_.Root();
    if (hostPath == root)
        return BoundedPath{root, "", true};
    if (hostPath.size() > root.size() && hostPath.compare(0, root.size(), root) == 0 &&
        hostPath[root.size()] == '/')
        return BoundedPath{root, hostPath.substr(root.size() + 1), true};
    return BoundedPath{"/",
                       hostPath.substr(hostPath.find_first_not_of('/') == std::string::npos
                                           ? hostPath.size()
                                           : hostPath.find_first_not_of('/')),
                       false};
}

OpenedFile EmulatedFileSystem::CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                                          Disposition disposition) {
    return OpenHandle(*this, *openFiles_, openFiles_, path, access, share, disposition);
}

DiskFileSystem::EntryKind EmulatedFileSystem::KindOf(const AnsiString& path) {
    auto location = FindExisting(path);
    struct stat info {};
    if (!location || !StatBounded(Bounded(location->HostPath), info))
        return EntryKind::None;
    return S_ISDIR(info.st_mode) ? EntryKind::Folder : EntryKind::File;
}

FileStatus EmulatedFileSystem::CreateDirectory(const AnsiString& path) {
    auto full = FullPath(path, current_);
    if (!full)
        return FileError{full.Error()};
    auto location = machine_.Locate(*full);
    if (!location)
        return FileError{location.Error()};
    if (full->IsDriveRoot())
        return FileError{WinError::AccessDenied};
    if (location->Found)
        return FileError{WinError::AlreadyExists};
    if (!location->ParentFound)
        return FileError{WinError::PathNotFound};
    const BoundedParent parent = OpenBoundedParent(Bounded(location->HostPath));
    if (!parent.Folder.Valid() || ::mkdirat(parent.Folder.Get(), parent.Leaf.c_str(), 0777) != 0)
        return FileError{WindowsErrorFromErrno(errno, WinCall::CreateDirectory)};
    return {};
}

FileStatus EmulatedFileSystem::DeleteFile(const AnsiString& path) {
    auto location = FindExisting(path);
    if (!location)
        return FileError{location.Error()};
    const BoundedPath bounded = Bounded(location->HostPath);
    const BoundedParent parent = OpenBoundedParent(bounded);
    if (!parent.Folder.Valid())
        return FileError{WindowsErrorFromErrno(errno)};
    struct stat info {};
    // A link is removed itself, as Windows deletes a symbolic link and not its target; nothing outside the
    // root is touched even when it points there.
    const bool link = ::fstatat(parent.Folder.Get(), parent.Leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                      S_ISLNK(info.st_mode);
    if (!link) {
        if (!StatBounded(bounded, info))
            return FileError{WindowsErrorFromErrno(errno)};
        if (S_ISDIR(info.st_mode))
            return FileError{WinError::AccessDenied};
    }
    std::lock_guard guard(openFiles_->Lock());
    if (int refused = link ? 0 : RemovalRefused(*openFiles_, info); refused != 0)
        return FileError{refused};
    if (::unlinkat(parent.Folder.Get(), parent.Leaf.c_str(), 0) != 0)
        return FileError{WindowsErrorFromErrno(errno)};
    return {};
}

// Why the file at target cannot be replaced now, as Windows would say it; 0 when it can. Called with the
// table locked.
int EmulatedFileSystem::ReplaceRefused(const EmulatedMachine::Location& target, bool failIfExists) {
    if (!target.ParentFound)
        return WinError::PathNotFound;
    struct stat info {};
    if (!StatBounded(Bounded(target.HostPath), info))
        return errno == ENOENT ? 0 : WindowsErrorFromErrno(errno);
    if (failIfExists)
        return WinError::FileExists;
    if (S_ISDIR(info.st_mode))
        return WinError::AccessDenied;
    // Windows opens the destination for writing without sharing.
    if (openFiles_->Conflicts(IdentityOf(info), FileAccess::GenericWrite, FileShare::None) ||
        FindFileUse(IdentityOf(info), openFiles_->Descriptors()) != FileUse::None)
        return WinError::SharingViolation;
    return 0;
}

// Renames the name from to the name to, flushed to the disk with its folders when flush. Links at either
// name are acted on as names, never followed.
FileStatus EmulatedFileSystem::Rename(const EmulatedMachine::Location& from,
                                      const EmulatedMachine::Location& to, bool noReplace, bool flush) {
    const BoundedParent source = OpenBoundedParent(Bounded(from.HostPath));
    if (!source.Folder.Valid())
        return FileError{WindowsErrorFromErrno(errno)};
    const BoundedParent target = OpenBoundedParent(Bounded(to.HostPath));
    if (!target.Folder.Valid())
        return FileError{WindowsErrorFromErrno(errno)};
    // The content first, or a crash could leave the new name on an empty file. A file that cannot be
    // opened for reading was written by a caller who synced it through its own handle.
    if (flush) {
        if (UniqueFd file(::openat(source.Folder.Get(), source.Leaf.c_str(),
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            file.Valid() && ::fsync(file.Get()) != 0)
            return FileError{WindowsErrorFromErrno(errno)};
    }
    if (::renameat2(source.Folder.Get(), source.Leaf.c_str(), target.Folder.Get(), target.Leaf.c_str(),
                    noReplace ? RENAME_NOREPLACE : 0) != 0)
        return FileError{errno == EXDEV ? WinError::NotSameDevice : WindowsErrorFromErrno(errno)};
    if (!flush)
        return {};
    // The rename itself reaches the disk only with its folders: one flush when both are one folder.
    SyncFolder(target.Folder.Get());
    if (!SameFile(source.Folder.Get(), target.Folder.Get()))
        SyncFolder(source.Folder.Get());
    return {};
}

void EmulatedFileSystem::RemoveName(const std::string& hostPath) {
    const BoundedParent parent = OpenBoundedParent(Bounded(hostPath));
    if (parent.Folder.Valid())
        ::unlinkat(parent.Folder.Get(), parent.Leaf.c_str(), 0);
}

FileStatus EmulatedFileSystem::WriteCopy(const AnsiString& from, const AnsiString& temporary,
                                         const AnsiString& to, bool failIfExists) {
    auto opened = OpenHandle(*this, *openFiles_, openFiles_, from, FileAccess::GenericRead, FileShare::Read,
                             Disposition::OpenExisting);
    if (!opened)
        return FileError{opened.Error()};
    EmulatedFileHandle& source = **opened;
    struct stat sourceInfo {};
    FileTime lastWrite;
    if (::fstat(source.Fd(), &sourceInfo) != 0 || !source.GetTimes(nullptr, nullptr, &lastWrite))
        return FileError{WindowsErrorFromErrno(errno)};
    auto target = Find(to);
    if (!target)
        return FileError{target.Error()};
    {
        std::lock_guard guard(openFiles_->Lock());
        if (const int refused = ReplaceRefused(*target, failIfExists); refused != 0)
            return FileError{refused};
    }
    auto created = OpenHandle(*this, *openFiles_, openFiles_, temporary, FileAccess::GenericWrite,
                              FileShare::None, Disposition::CreateNew);
    if (!created)
        return FileError{created.Error()};
    EmulatedFileHandle& copy = **created;
    if (const FileStatus copied = CopyContent(source, copy); !copied)
        return copied;
    // The copy keeps the source's permissions (a program stays executable) and its last-write time.
    if (::fchmod(copy.Fd(), sourceInfo.st_mode & 07777) != 0)
        return FileError{WindowsErrorFromErrno(errno)};
    if (const FileStatus set = copy.SetTimes(nullptr, nullptr, &lastWrite); !set)
        return set;
    if (::fsync(copy.Fd()) != 0)
        return FileError{WindowsErrorFromErrno(errno)};
    return {};
}

FileStatus EmulatedFileSystem::PutCopyInPlace(const AnsiString& temporary, const AnsiString& to,
                                              bool failIfExists) {
    auto staged = Find(temporary);
    if (!staged)
        return FileError{staged.Error()};
    auto target = Find(to);
    if (!target)
        return FileError{target.Error()};
    return Rename(*staged, *target, failIfExists, true);
}

void EmulatedFileSystem::RemoveTemporary(const AnsiString& temporary) {
    if (auto host = HostPathOf(temporary))
        RemoveName(*host);
}

FileStatus EmulatedFileSystem::Replace(const AnsiString& from, const AnsiString& to, bool flush) {
    auto source = FindExisting(from);
    if (!source)
        return FileError{source.Error()};
    auto target = Find(to);
    if (!target)
        return FileError{target.Error()};
    if (!target->ParentFound)
        return FileError{WinError::PathNotFound};
    struct stat sourceInfo {};
    if (!StatBounded(Bounded(source->HostPath), sourceInfo))
        return FileError{WindowsErrorFromErrno(errno)};
    if (S_ISDIR(sourceInfo.st_mode))
        return FileError{WinError::AccessDenied};
    std::lock_guard guard(openFiles_->Lock());
    if (int refused = RemovalRefused(*openFiles_, sourceInfo); refused != 0)
        return FileError{refused};
    struct stat targetInfo {};
    if (StatBounded(Bounded(target->HostPath), targetInfo)) {
        if (S_ISDIR(targetInfo.st_mode))
            return FileError{WinError::AccessDenied};
        if (int refused = RemovalRefused(*openFiles_, targetInfo); refused != 0)
            return FileError{refused == WinError::SharingViolation ? WinError::AccessDenied : refused};
    } else if (errno != ENOENT) {
        return FileError{WindowsErrorFromErrno(errno)};
    }
    return Rename(*source, *target, false, flush);
}

FileStatus EmulatedFileSystem::Flush(const AnsiString& path, bool folder) {
    auto location = FindExisting(path);
    if (!location)
        return FileError{location.Error()};
    const BoundedPath bounded = Bounded(location->HostPath);
    UniqueFd opened;
    if (folder) {
        opened = UniqueFd(OpenBounded(bounded, O_RDONLY | O_DIRECTORY));
    } else if (const BoundedParent parent = OpenBoundedParent(bounded); parent.Folder.Valid()) {
        // The file itself: a link at its name is refused, not followed, and so is a folder.
        opened = UniqueFd(::openat(parent.Folder.Get(), parent.Leaf.c_str(),
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info {};
        if (!opened.Valid() && errno == ELOOP)
            errno = EACCES;
        else if (opened.Valid() && ::fstat(opened.Get(), &info) == 0 && S_ISDIR(info.st_mode))
            return FileError{WinError::AccessDenied};
    }
    if (!opened.Valid() || ::fsync(opened.Get()) != 0)
        return FileError{WindowsErrorFromErrno(errno)};
    return {};
}

AnsiString EmulatedFileSystem::GetCurrentDirectory() {
    return current_.ToString();
}

FileStatus EmulatedFileSystem::SetCurrentDirectory(const AnsiString& path) {
    auto full = FullPath(path, current_);
    if (!full)
        return FileError{full.Error()};
    auto location = machine_.Locate(*full);
    if (!location)
        return FileError{location.Error()};
    if (!location->Found)
        return FileError{location->ParentFound ? WinError::FileNotFound : WinError::PathNotFound};
    struct stat info {};
    if (::stat(location->HostPath.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return FileError{WinError::Directory};
    current_ = *full;
    return {};
}

FileResult<AnsiString> EmulatedFileSystem::FindFirst(const AnsiString& path) {
    auto full = FullPath(path, current_, true);
    if (!full)
        return FileError{full.Error()};
    if (full->IsDriveRoot())
        return FileError{WinError::FileNotFound};
    const AnsiString pattern = full->Parts.back();
    if (!HasWildcard(pattern)) {
        auto location = machine_.Locate(*full);
        if (!location)
            return FileError{location.Error()};
        if (!location->Found)
            return FileError{location->ParentFound ? WinError::FileNotFound : WinError::PathNotFound};
        return Utf8ToAnsi(BaseName(location->HostPath));
    }
    const WinPath folder = full->Parent();
    auto location = machine_.Locate(folder);
    if (!location || !location->Found)
        return FileError{WinError::PathNotFound};
    for (const AnsiString& name : FolderEntries(location->HostPath, !folder.IsDriveRoot()))
        if (MatchesWildcard(pattern, name))
            return name;
    return FileError{WinError::FileNotFound};
}

std::optional<FileFacts> EmulatedFileSystem::Facts(const AnsiString& path) {
    auto location = FindExisting(path);
    if (!location)
        return std::nullopt;
    struct statx info {};
    if (::statx(AT_FDCWD, location->HostPath.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &info) != 0)
        return std::nullopt;
    FileFacts facts;
    const bool folder = S_ISDIR(info.stx_mode);
    facts.Attributes = folder ? AttributeDirectory : AttributeArchive;
    if ((info.stx_mode & 0222) == 0)
        facts.Attributes |= AttributeReadOnly;
    facts.Size = folder ? 0 : info.stx_size;
    facts.LastAccess = FromStatx(info.stx_atime);
    facts.LastWrite = FromStatx(info.stx_mtime);
    facts.Creation =
        StoredCreationTime(location->HostPath)
            .value_or(FromStatx((info.stx_mask & STATX_BTIME) != 0 ? info.stx_btime : info.stx_ctime));
    return facts;
}

} // namespace vendora
