#pragma once
// The host's disk as `fcc extract -C FOLDER` writes it. Every file the extraction creates, replaces or
// removes lies directly in the output folder, reached through the folder's descriptor, and a symbolic link
// found at such a name is never followed: a link at an entry's name cannot send the entry elsewhere on the
// disk. Writing anywhere else is refused with 5, "access denied"; reading (the archive itself) is free.

#include "platform/posix/HostFileSystem.h"

#include <optional>
#include <string>

namespace vendora::fcc {

class ExtractFolderFiles : public HostFileSystem {
public:
    // folder: the output folder, which exists. Throws std::runtime_error when it cannot be opened.
    explicit ExtractFolderFiles(const std::string& folder);
    ~ExtractFolderFiles() override;
    ExtractFolderFiles(const ExtractFolderFiles&) = delete;
    ExtractFolderFiles& operator=(const ExtractFolderFiles&) = delete;

    OpenedFile CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                          Disposition disposition) override;
    FileStatus CreateDirectory(const AnsiString& path) override;
    FileStatus DeleteFile(const AnsiString& path) override;

protected:
    // A copy is made only into the output folder; the host file system writes it to a new temporary file
    // and renames that over the name, following no link.
    FileStatus WriteCopy(const AnsiString& from, const AnsiString& temporary, const AnsiString& to,
                         bool failIfExists) override;
    void RemoveTemporary(const AnsiString& temporary) override;
    // Renames inside the output folder only, following no link.
    FileStatus Replace(const AnsiString& from, const AnsiString& to, bool flush) override;

private:
    // The name of path inside the output folder, or nothing when path lies elsewhere.
    std::optional<std::string> NameInFolder(const AnsiString& path) const;

    std::string folder_; // absolute, normalised host path
    int folderFd_ = -1;
};

} // namespace vendora::fcc
