#include "platform/linux/OpenFiles.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vendora {

namespace {

bool Reads(std::uint32_t access) {
    return (access & FileAccess::GenericRead) != 0;
}
bool Writes(std::uint32_t access) {
    return (access & FileAccess::GenericWrite) != 0;
}
bool Deletes(std::uint32_t access) {
    return (access & OpenFileTable::DeleteAccess) != 0;
}

// Windows' rule: each side's access must be allowed by the other side's sharing.
bool Compatible(std::uint32_t access, std::uint32_t share, std::uint32_t otherAccess,
                std::uint32_t otherShare) {
    const auto allows = [](std::uint32_t wanted, std::uint32_t sharing) {
        return (!Reads(wanted) || (sharing & FileShare::Read) != 0) &&
               (!Writes(wanted) || (sharing & FileShare::Write) != 0) &&
               (!Deletes(wanted) || (sharing & FileShare::Delete) != 0);
    };
    return allows(access, otherShare) && allows(otherAccess, share);
}

bool Is(const std::string& path, FileIdentity file) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && info.st_dev == file.Device && info.st_ino == file.Inode;
}

bool IsNumber(const char* name) {
    if (*name == '\0')
        return false;
    for (; *name != '\0'; ++name)
        if (*name < '0' || *name > '9')
            return false;
    return true;
}

bool HoldsOpen(const std::string& process, FileIdentity file, const std::vector<int>* skipped) {
    const std::string folder = process + "/fd";
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return false;
    const int own = ::dirfd(dir);
    bool held = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsNumber(entry->d_name))
            continue;
        const int fd = std::atoi(entry->d_name);
        if (skipped != nullptr &&
            (fd == own || std::find(skipped->begin(), skipped->end(), fd) != skipped->end()))
            continue;
        if (Is(folder + "/" + entry->d_name, file)) {
            held = true;
            break;
        }
    }
    ::closedir(dir);
    return held;
}

} // namespace

bool OpenFileTable::Conflicts(FileIdentity file, std::uint32_t access, std::uint32_t share) const {
    std::lock_guard guard(entriesLock_);
    return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.File == file && !Compatible(access, share, e.Access, e.Share);
    });
}

std::uint64_t OpenFileTable::Add(FileIdentity file, std::uint32_t access, std::uint32_t share, int fd) {
    std::lock_guard guard(entriesLock_);
    entries_.push_back(Entry{next_, file, access, share, fd});
    return next_++;
}

void OpenFileTable::Remove(std::uint64_t id) {
    std::lock_guard guard(entriesLock_);
    std::erase_if(entries_, [id](const Entry& e) { return e.Id == id; });
}

std::vector<int> OpenFileTable::Descriptors() const {
    std::lock_guard guard(entriesLock_);
    std::vector<int> fds;
    for (const Entry& e : entries_)
        fds.push_back(e.Fd);
    return fds;
}

FileUse FindFileUse(FileIdentity file, const std::vector<int>& ownDescriptors) {
    const std::string self = std::to_string(::getpid());
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr)
        return FileUse::None;
    FileUse use = FileUse::None;
    while (use == FileUse::None) {
        const dirent* entry = ::readdir(proc);
        if (entry == nullptr)
            break;
        if (!IsNumber(entry->d_name))
            continue;
        const std::string process = std::string("/proc/") + entry->d_name;
        if (Is(process + "/exe", file))
            use = FileUse::Executing;
        else if (HoldsOpen(process, file, entry->d_name == self ? &ownDescriptors : nullptr))
            use = FileUse::HeldOpen;
    }
    ::closedir(proc);
    return use;
}

} // namespace vendora
