#pragma once
// The host's own disk and no other service (see FilesOnlyPlatform): for the tools that only read files, such
// as the markup preview, and for their tests.

#include "platform/FilesOnlyPlatform.h"
#include "platform/posix/HostFileSystem.h"

namespace vendora {

class HostDiskPlatform : public FilesOnlyPlatform {
public:
    HostFileSystem Disk;
    FileSystem& Files() override { return Disk; }
};

} // namespace vendora
