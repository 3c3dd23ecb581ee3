#include "installer/FileStamp.h"

namespace vendora {

std::unique_ptr<FileHandle> StampFileTime(const AnsiString& path) {
    int error = 0;
    return Os().Files().CreateFile(CutTo(path, Capacity::Path),
                                   FileAccess::GenericRead | FileAccess::GenericWrite, FileShare::Read,
                                   Disposition::OpenAlways, error);
}

void StampFixedTime(const AnsiString& path) {
    const std::unique_ptr<FileHandle> handle = StampFileTime(path);
    if (handle)
        handle->SetTimes(&FixedFileTime, &FixedFileTime, &FixedFileTime);
}

} // namespace vendora
