#include "platform/linux/OpenFiles.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
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

bool Is(int folder, const char* name, FileIdentity file) {
    struct stat info {};
    return ::fstatat(folder, name, &info, 0) == 0 && info.st_dev == file.Device && info.st_ino == file.Inode;
}

bool IsNumber(const char* name) {
    if (*name == '\0')
        return false;
    for (; *name != '\0'; ++name)
        if (*name < '0' || *name > '9')
            return false;
    return true;
}

// Where a program was last seen using a file ("/proc/<pid>/exe" or "/proc/<pid>/fd/<n>"). While the
// application runs, the update wait asks again and again; one look at that entry answers without
// walking every process.
struct Sighting {
    FileIdentity File;
    std::string Entry;
    FileUse Use = FileUse::None;
};

std::mutex& SightingLock() {
    static std::mutex lock;
    return lock;
}

Sighting& LastSighting() {
    static Sighting sighting;
    return sighting;
}

// The descriptor of /proc/<pid>/fd that refers to the file; -1 when none does.
int HeldDescriptor(int process, FileIdentity file, const std::vector<int>* skipped) {
    const int folder = ::openat(process, "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return -1;
    DIR* dir = ::fdopendir(folder);
    if (dir == nullptr) {
        ::close(folder);
        return -1;
    }
    int held = -1;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsNumber(entry->d_name))
            continue;
        const int fd = std::atoi(entry->d_name);
        if (skipped != nullptr &&
            (fd == folder || std::find(skipped->begin(), skipped->end(), fd) != skipped->end()))
            continue;
        if (Is(folder, entry->d_name, file)) {
            held = fd;
            break;
        }
    }
    ::closedir(dir);
    return held;
}

Sighting Scan(FileIdentity file, const std::vector<int>& ownDescriptors) {
    const std::string self = std::to_string(::getpid());
    Sighting found{file, "", FileUse::None};
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr)
        return found;
    const int procFolder = ::dirfd(proc);
    while (found.Use == FileUse::None) {
        const dirent* entry = ::readdir(proc);
        if (entry == nullptr)
            break;
        if (!IsNumber(entry->d_name))
            continue;
        const int process = ::openat(procFolder, entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (process < 0)
            continue;
        const std::string prefix = std::string("/proc/") + entry->d_name;
        if (Is(process, "exe", file)) {
            found = Sighting{file, prefix + "/exe", FileUse::Executing};
        } else {
            const bool own = entry->d_name == self;
            const int fd = HeldDescriptor(process, file, own ? &ownDescriptors : nullptr);
            // Our own descriptors change under us; only other programs' are worth remembering.
            if (fd >= 0)
                found = Sighting{file, own ? "" : prefix + "/fd/" + std::to_string(fd), FileUse::HeldOpen};
        }
        ::close(process);
    }
    ::closedir(proc);
    return found;
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
    {
        std::lock_guard guard(SightingLock());
        const Sighting& last = LastSighting();
        if (last.Use != FileUse::None && last.File == file && Is(AT_FDCWD, last.Entry.c_str(), file))
            return last.Use;
    }
    Sighting found = Scan(file, ownDescriptors);
    std::lock_guard guard(SightingLock());
    if (!found.Entry.empty())
        LastSighting() = found;
    return found.Use;
}

} // namespace vendora
