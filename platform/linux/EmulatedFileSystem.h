#pragma once
// The files and folders of the emulated Windows machine (see EmulatedMachine for the layout and the name
// rules), with Windows' answers: error codes, sharing modes between this process's handles, running
// programs' files locked against writing (see OpenFiles), and the creation time that Linux cannot set kept
// beside the file.
//
// Nothing is reached through a symbolic link that leads out of the machine's root (see BoundedPath): such a
// path fails with 5, "access denied", whatever the operation. Z: is the host's whole disk and follows links.
// A copy is written under a temporary name beside its destination (TemporarySibling) and replaces it in one
// step only when complete, so that a crash leaves the old file or the new one, never a part.
//
// Deleting follows Windows as well: a file that one of this process's handles keeps without sharing
// deletion, or that another program holds open, cannot be deleted (32); a running program's file is
// refused with 5. A copy keeps the source's last-write time and permissions (a program stays executable).
//
// Creation times: SetTimes stores the creation time in the extended attribute user.vendora.creation_time
// (8 bytes, the FILETIME little-endian) and GetTimes reads it back. Without it (a file never stamped, or a
// file system without user extended attributes, where storing is skipped without failing) the creation
// time is the file's birth time, or its last status change where the kernel has no birth time.

#include "platform/DiskFileSystem.h"
#include "platform/linux/BoundedPath.h"
#include "platform/linux/EmulatedMachine.h"
#include "platform/linux/OpenFiles.h"

#include <memory>

namespace vendora {

inline constexpr const char* CreationTimeAttribute = "user.vendora.creation_time";

// The Win32 attributes and times of a file, as FindFirstFile and the shell link report them.
struct FileFacts {
    std::uint32_t Attributes = 0; // FILE_ATTRIBUTE_* bits
    FileTime Creation, LastAccess, LastWrite;
    std::uint64_t Size = 0;
};

class EmulatedFileSystem : public DiskFileSystem {
public:
    explicit EmulatedFileSystem(const EmulatedMachine& machine);

    OpenedFile CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                          Disposition disposition) override;
    FileStatus CreateDirectory(const AnsiString& path) override;
    FileStatus DeleteFile(const AnsiString& path) override;
    AnsiString GetCurrentDirectory() override;
    FileStatus SetCurrentDirectory(const AnsiString& path) override;
    FileResult<AnsiString> FindFirst(const AnsiString& path) override;

    // The absolute Windows path a path stands for (current folder and drive applied).
    FileResult<WinPath> FullPathOf(const AnsiString& path) const;
    // The host path (UTF-8) a Windows path designates, whether it exists or not.
    FileResult<std::string> HostPathOf(const AnsiString& path) const;
    // The host path as the resolution inside the root sees it.
    BoundedPath Bounded(const std::string& hostPath) const;
    std::optional<FileFacts> Facts(const AnsiString& path);

    const EmulatedMachine& Machine() const { return machine_; }

protected:
    EntryKind KindOf(const AnsiString& path) override;
    FileStatus Replace(const AnsiString& from, const AnsiString& to, bool flush) override;
    // fsync(2) of the file (a link at its name is refused, not followed) or of the folder.
    FileStatus Flush(const AnsiString& path, bool folder) override;
    // The source opened as CopyFileA opens it (a file held open without shared reading is refused), the
    // destination refused as Windows would refuse it, then the copy with the source's permissions and
    // last-write time; links at either temporary or destination name are acted on as names.
    FileStatus WriteCopy(const AnsiString& from, const AnsiString& temporary, const AnsiString& to,
                         bool failIfExists) override;
    FileStatus PutCopyInPlace(const AnsiString& temporary, const AnsiString& to, bool failIfExists) override;
    void RemoveTemporary(const AnsiString& temporary) override;

private:
    FileResult<EmulatedMachine::Location> Find(const AnsiString& path) const;
    // The location of a name that must exist: 2 when its folder does, else 3.
    FileResult<EmulatedMachine::Location> FindExisting(const AnsiString& path) const;
    int ReplaceRefused(const EmulatedMachine::Location& target, bool failIfExists);
    FileStatus Rename(const EmulatedMachine::Location& from, const EmulatedMachine::Location& to,
                      bool noReplace, bool flush);
    void RemoveName(const std::string& hostPath);

    const EmulatedMachine& machine_;
    std::shared_ptr<OpenFileTable> openFiles_;
    WinPath current_;
};

} // namespace vendora
