#pragma once
// The host's own disk as a FileSystem, for the tools and the tests. Paths are Windows-1252 in Windows
// syntax: they become UTF-8 and '\' becomes '/', so "out\Vendora.FCC" is the host file out/Vendora.FCC.
// Folders come back from the host in the same syntax ('/' turned into '\').

#include "platform/DiskFileSystem.h"

#include <string>

namespace vendora {

// Windows-1252 path with '\' separators to the host's UTF-8 path with '/', and back.
std::string HostPath(const AnsiString& path);
AnsiString FromHostPath(const std::string& hostPath);

class HostFileSystem : public DiskFileSystem {
public:
    OpenedFile CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                          Disposition disposition) override;
    FileStatus CreateDirectory(const AnsiString& path) override;
    FileStatus DeleteFile(const AnsiString& path) override;
    AnsiString GetCurrentDirectory() override;
    FileStatus SetCurrentDirectory(const AnsiString& path) override;
    // Wildcards in the last component, matched as Windows matches them (MatchesWildcard); of several
    // matches the first in byte order, so that the answer does not depend on the directory's order.
    FileResult<AnsiString> FindFirst(const AnsiString& path) override;

protected:
    EntryKind KindOf(const AnsiString& path) override;
    // rename(2), with the file and its folders flushed to the disk when flush.
    FileStatus Replace(const AnsiString& from, const AnsiString& to, bool flush) override;
    // fsync(2) of the file (a link at path is refused, not followed) or of the folder.
    FileStatus Flush(const AnsiString& path, bool folder) override;
    // The copy with the source's permissions, flushed; renamed over to (renameat2, without replacing when
    // failIfExists) with its folder flushed; the temporary name unlinked.
    FileStatus WriteCopy(const AnsiString& from, const AnsiString& temporary, const AnsiString& to,
                         bool failIfExists) override;
    FileStatus PutCopyInPlace(const AnsiString& temporary, const AnsiString& to, bool failIfExists) override;
    void RemoveTemporary(const AnsiString& temporary) override;
};

} // namespace vendora
