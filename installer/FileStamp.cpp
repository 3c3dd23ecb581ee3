#include "installer/FileStamp.h"

namespace vendora {

OpenedFile StampFileTime(FileSystem& files, const AnsiString& path) {
    return files.CreateFile(CutTo(path, Capacity::Path), FileAccess::GenericRead | FileAccess::GenericWrite,
                            FileShare::Read, Disposition::OpenAlways);
}

void StampFixedTime(FileSystem& files, const AnsiString& path) {
    if (const OpenedFile opened = StampFileTime(files, path))
        (*opened)->SetTimes(&FixedFileTime, &FixedFileTime, &FixedFileTime);
}

} // namespace vendora
