#pragma once
// Who has a file: the handles this process opened through the emulated drives, with the access they
// have and the sharing they allow (as Windows keeps them for CreateFileA), and the other programs of the
// machine.
//
// "The application is running" on Linux: a process whose executable is the file (/proc/<pid>/exe), or one
// that holds it open (/proc/<pid>/fd/<n>), runs the application. Windows refuses to open a running
// program's file for writing; the emulated drives refuse such an open with 32 (sharing violation) too.
// This process counts like any other, except for the descriptors behind its own handles, whose sharing is
// checked through the handle table instead. Processes whose /proc entries cannot be read (other users')
// are not seen; files mapped into memory without an open descriptor are not either.

#include <cstdint>
#include <memory>
#include <mutex>
#include <sys/types.h>
#include <vector>

namespace vendora {

struct FileIdentity {
    dev_t Device = 0;
    ino_t Inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

class OpenFileTable {
public:
    // Access is FileAccess:: bits plus DeleteAccess; share is FileShare:: bits.
    static constexpr std::uint32_t DeleteAccess = 0x00010000u;

    // True when an open of the file with this access and sharing conflicts with an open handle.
    bool Conflicts(FileIdentity file, std::uint32_t access, std::uint32_t share) const;
    // Records an open handle; the result identifies it for Remove.
    std::uint64_t Add(FileIdentity file, std::uint32_t access, std::uint32_t share, int fd);
    void Remove(std::uint64_t id);
    // The descriptors behind this process's handles.
    std::vector<int> Descriptors() const;
    // Held by CreateFile from the check to the registration, so that two threads cannot both pass.
    std::mutex& Lock() const { return lock_; }

private:
    struct Entry {
        std::uint64_t Id;
        FileIdentity File;
        std::uint32_t Access;
        std::uint32_t Share;
        int Fd;
    };
    mutable std::mutex entriesLock_;
    mutable std::mutex lock_;
    std::vector<Entry> entries_;
    std::uint64_t next_ = 1;
};

// What other programs do with a file.
enum class FileUse { None, Executing, HeldOpen };
// ownDescriptors: descriptors of this process that do not count (those behind its own handles).
FileUse FindFileUse(FileIdentity file, const std::vector<int>& ownDescriptors);

} // namespace vendora
