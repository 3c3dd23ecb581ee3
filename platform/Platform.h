#pragma once
// The platform's services, in Win32 terms: what the system calls on kernel32, user32, shell32, the registry
// and COM. The portable layers reach the operating system only through this interface. There is one
// implementation per target: Linux (a Windows machine emulated under one folder) and Win32.
//
// Paths are Windows-1252 text in Windows syntax ("C:\Vendora\Vendora.EXE"), compared without regard to
// letter case, as Windows does.

#include "base/Color.h"
#include "base/SystemColors.h"
#include "base/Text.h"
#include "platform/FileResult.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace vendora {

// 100-nanosecond intervals since 1601-01-01 UTC, as a Windows FILETIME.
struct FileTime {
    std::uint32_t Low = 0;
    std::uint32_t High = 0;
    std::uint64_t Ticks() const { return (static_cast<std::uint64_t>(High) << 32) | Low; }
    friend bool operator==(const FileTime&, const FileTime&) = default;
};

// CreateFileA's access, sharing and disposition values.
namespace FileAccess {
inline constexpr std::uint32_t GenericRead = 0x80000000u;
inline constexpr std::uint32_t GenericWrite = 0x40000000u;
} // namespace FileAccess
namespace FileShare {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Read = 1;
inline constexpr std::uint32_t Write = 2;
inline constexpr std::uint32_t Delete = 4;
} // namespace FileShare
// The Windows error codes (GetLastError) that the file systems answer with, whatever system they run on,
// and that the installer and the extraction raise as I/O errors.
namespace WinError {
inline constexpr int FileNotFound = 2;
inline constexpr int PathNotFound = 3;
inline constexpr int TooManyOpenFiles = 4;
inline constexpr int AccessDenied = 5;
inline constexpr int NotSameDevice = 17; // a move between volumes
inline constexpr int WriteProtect = 19;
inline constexpr int GenFailure = 31;
inline constexpr int SharingViolation = 32;
inline constexpr int LockViolation = 33;
inline constexpr int HandleEof = 38;
inline constexpr int HandleDiskFull = 39;
inline constexpr int BadNetPath = 53;
inline constexpr int FileExists = 80; // CreateFile (CREATE_NEW) and CopyFile refusing an existing file
inline constexpr int InvalidParameter = 87;
inline constexpr int DiskFull = 112;
inline constexpr int InvalidName = 123;
inline constexpr int NegativeSeek = 131;
inline constexpr int DirNotEmpty = 145;
inline constexpr int AlreadyExists = 183; // CreateDirectory, MoveFileEx without replacing
inline constexpr int FilenameTooLong = 206;
inline constexpr int Directory = 267; // the name is not a folder
} // namespace WinError
enum class Disposition {
    CreateNew = 1,
    CreateAlways = 2,
    OpenExisting = 3,
    OpenAlways = 4,
    TruncateExisting = 5
};

// An open file. Closing is destruction. A failure answers with its Windows error code.
class FileHandle {
public:
    virtual ~FileHandle() = default;
    // Reads up to size bytes at the current position; done receives the count (0 at the end).
    virtual FileStatus Read(void* buffer, std::uint32_t size, std::uint32_t& done) = 0;
    // Writes size bytes at the current position; a full disk writes fewer and fails with 112.
    virtual FileStatus Write(const void* buffer, std::uint32_t size, std::uint32_t& done) = 0;
    virtual FileStatus Seek(std::int64_t position) = 0;
    virtual std::int64_t Size() = 0;
    // SetFileTime: a null pointer leaves that time as it is.
    virtual FileStatus SetTimes(const FileTime* creation, const FileTime* lastAccess,
                                const FileTime* lastWrite) = 0;
    virtual FileStatus GetTimes(FileTime* creation, FileTime* lastAccess, FileTime* lastWrite) = 0;
    // Has the system start writing what was written so far to the disk without waiting for it, so that the
    // disk works while the caller goes on and a later flush finds the work done. Only a hint: a system
    // that cannot be asked does nothing.
    virtual void StartWriteBack() {}
};

using OpenedFile = FileResult<std::unique_ptr<FileHandle>>;

// Files and folders, on their own so that tools can work on the host's disk with the same code. Every call
// that can fail answers with its Windows error code (2, 3, 5, 32, ...).
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // CreateFileA.
    virtual OpenedFile CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                                  Disposition disposition) = 0;
    // True for an existing file (not a folder), as FileExists does.
    virtual bool FileExists(const AnsiString& path) = 0;
    virtual bool DirectoryExists(const AnsiString& path) = 0;
    // One folder level: 183 when it exists, 3 when the parent is missing; the install sequence keeps the
    // code as its update flag.
    virtual FileStatus CreateDirectory(const AnsiString& path) = 0;
    virtual FileStatus DeleteFile(const AnsiString& path) = 0;
    // CopyFileA: copies content and last-write time; an existing destination is overwritten unless
    // failIfExists.
    virtual FileStatus CopyFile(const AnsiString& from, const AnsiString& to, bool failIfExists) = 0;
    // MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH: the file to becomes the file
    // from in one step, on the disk when the call returns, or nothing changes. Both lie on one volume; a
    // folder is neither moved nor replaced.
    virtual FileStatus MoveFileReplace(const AnsiString& from, const AnsiString& to) = 0;
    // The same replacement in one step without waiting for the disk (MoveFileExA without
    // MOVEFILE_WRITE_THROUGH): a crash of the program still leaves the old file or the new one, a power cut
    // may leave an empty one, or the old one back. Only for a file that the run deletes again itself, whose
    // bytes are worth nothing once it has ended, or for files flushed before (FlushFile) whose folder is
    // flushed after (FlushFolder), so that many renames wait for the disk once. A file system that has only
    // the durable replacement uses it.
    virtual FileStatus MoveFileReplaceUnflushed(const AnsiString& from, const AnsiString& to) {
        return MoveFileReplace(from, to);
    }
    // FlushFileBuffers on the file at path: done once its content is on the disk, so that a power cut
    // afterwards leaves it whole under whatever name it then carries.
    virtual FileStatus FlushFile(const AnsiString& path) = 0;
    // The folder's own entries (the names created, renamed or removed in it) made as lasting as the disk
    // allows. A file system that has no way to flush a folder keeps the renames in its own journal and
    // answers a failure; callers treat the answer as advice.
    virtual FileStatus FlushFolder(const AnsiString& path) = 0;
    virtual AnsiString GetCurrentDirectory() = 0;
    virtual FileStatus SetCurrentDirectory(const AnsiString& path) = 0;
    // FindFirstFile: the long name (without folder) of the first entry matching path, whatever its
    // attributes; path may hold wildcards in its last component.
    virtual FileResult<AnsiString> FindFirst(const AnsiString& path) = 0;
};

// The shell link values that the desktop shortcut writes (IShellLinkA's setters).
struct ShellLinkData {
    AnsiString Path;
    AnsiString WorkingDirectory;
    AnsiString Arguments;
    AnsiString Description;
    int ShowCmd = 1;
    std::uint16_t HotKey = 0; // 0: none; else the virtual key in the low byte, modifiers in the high byte
    AnsiString IconLocation;
    int IconIndex = 0;
};

// The machine's system colours are the platform's: the installed one is what windows are painted with.
class Platform : public SystemColors {
public:
    virtual ~Platform() = default;

    virtual FileSystem& Files() = 0;

    // The full path of the running program, as GetModuleFileNameA reports it.
    virtual AnsiString ModuleFileName() = 0;
    // The program's own resource of a named type and an integer id; nothing when absent.
    virtual std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type, int id) = 0;

    // Milliseconds from an arbitrary start, never going back.
    virtual std::uint64_t TickCount() = 0;
    // The current local instant in days since 1899-12-30 (the framework's date-time).
    virtual double Now() = 0;

    // ShellExecuteA with the default verb; the result (above 32 on success) is the caller's to ignore.
    virtual std::intptr_t ShellExecute(const AnsiString& file, const AnsiString& parameters,
                                       const AnsiString& directory, int showCmd) = 0;

    // A string value under HKEY_CURRENT_USER; nothing when the key or the value is absent.
    virtual std::optional<AnsiString> ReadUserRegistryString(const AnsiString& key,
                                                             const AnsiString& value) = 0;

    // COM on the calling thread, and the shell-link object saved to a .lnk file (IPersistFile::Save).
    // CoInitialize answers whether COM is now initialised on the thread (S_OK, or S_FALSE when it was
    // already), in which case one CoUninitialize is owed; not when it failed (RPC_E_CHANGED_MODE: the thread
    // is in another apartment), where uninitialising would undo another's initialisation.
    virtual bool CoInitialize() = 0;
    virtual void CoUninitialize() = 0;
    virtual bool SaveShellLink(const ShellLinkData& link, const AnsiString& shortcutFile) = 0;

    // GetSysColor: the current RGB value of a system colour index.
    TColor GetSysColor(int index) override = 0;

    // Sleep: returns after about milliseconds, without using the processor meanwhile.
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Whether the process runs as the local system account (SYSTEM), as deployment agents start programs:
    // its own desktop is seen by nobody.
    virtual bool RunsAsSystem() = 0;
    // The desktop folder every user of the machine sees (CSIDL_COMMON_DESKTOPDIRECTORY); empty when the
    // system names none.
    virtual AnsiString AllUsersDesktop() = 0;
    // The account's folder for temporary files (GetTempPath, %TEMP%), without closing '\'; empty when the
    // system names none.
    virtual AnsiString TempFolder() = 0;
};

// A name in the folder of path under which a new version of that file is written in full before it
// replaces the file in one step (MoveFileReplace). It is a short 8.3 name, the same for the same file
// name, never the file's own name nor one the installer gives its files, so that a copy left behind by a
// crash is simply overwritten by the next attempt.
AnsiString TemporarySibling(const AnsiString& path);
// True for a name (without folder) of the form TemporarySibling gives, in any letter case.
bool IsTemporaryName(std::string_view name);

// An existing file opened for reading, shared for reading, as a file stream opens it: EFOpenError with the
// path and the system's reason when it cannot be.
std::unique_ptr<FileHandle> OpenForReading(FileSystem& files, const AnsiString& path);

} // namespace vendora
