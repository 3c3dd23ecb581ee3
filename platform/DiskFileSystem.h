#pragma once
// What the file systems on a real disk share (the host's, the emulated machine's, Windows'): the one way
// they copy a file, and the calls that differ only by a flag (GetFileAttributes' two answers, MoveFileEx
// with or without write-through, FlushFileBuffers on a file or a folder), each written once below.

#include "platform/Platform.h"

namespace vendora {

// Copies what is left of from into to, failing with the Windows error code; a write that stops short
// without one is the full disk's.
FileStatus CopyContent(FileHandle& from, FileHandle& to);

class DiskFileSystem : public FileSystem {
public:
    bool FileExists(const AnsiString& path) final { return KindOf(path) == EntryKind::File; }
    bool DirectoryExists(const AnsiString& path) final { return KindOf(path) == EntryKind::Folder; }
    FileStatus MoveFileReplace(const AnsiString& from, const AnsiString& to) override {
        return Replace(from, to, true);
    }
    FileStatus MoveFileReplaceUnflushed(const AnsiString& from, const AnsiString& to) override {
        return Replace(from, to, false);
    }
    FileStatus FlushFile(const AnsiString& path) override { return Flush(path, false); }
    FileStatus FlushFolder(const AnsiString& path) override { return Flush(path, true); }
    // The copy is written in full under a temporary name beside to (TemporarySibling; the next such name
    // when the source itself carries that one, as a copy of a crash's leftover does), then put over to in
    // one step, so that a crash leaves the old destination or the whole copy, never a part. What a crash
    // left under the temporary name is removed first, and the temporary file goes again after any failure.
    // With failIfExists an existing destination is refused with 80, as CopyFileA refuses it.
    FileStatus CopyFile(const AnsiString& from, const AnsiString& to, bool failIfExists) final;

protected:
    enum class EntryKind { None, File, Folder };
    // What lies at path, a link followed as GetFileAttributes follows it.
    virtual EntryKind KindOf(const AnsiString& path) = 0;
    // The file to becomes the file from in one step (a folder is neither moved nor replaced), on the disk
    // with its folders when flush.
    virtual FileStatus Replace(const AnsiString& from, const AnsiString& to, bool flush) = 0;
    // The file's content, or the folder's own entries, on the disk.
    virtual FileStatus Flush(const AnsiString& path, bool folder) = 0;

    // The whole copy of from under temporary: content, last-write time and attributes, on the disk, or the
    // Windows error code why not; a refusal that the system would make for to (a folder there, a file held
    // open, an existing one when failIfExists) may come before anything is written.
    virtual FileStatus WriteCopy(const AnsiString& from, const AnsiString& temporary, const AnsiString& to,
                                 bool failIfExists) = 0;
    // The complete copy put over to in one step, on the disk with its folder when this returns; an
    // existing to is refused when failIfExists.
    virtual FileStatus PutCopyInPlace(const AnsiString& temporary, const AnsiString& to,
                                      bool failIfExists) = 0;
    // Whatever lies under the temporary name goes (a read-only file; a link itself, never what it leads
    // to); nothing happens when there is none.
    virtual void RemoveTemporary(const AnsiString& temporary) = 0;
};

} // namespace vendora
