#include "installer/FileStamp.h"

namespace vendora {

OpenedFile StampFileTime(const AnsiString& path) {
    return Os().Files().CreateFile(CutTo(path, Capacity::Path),
                                   FileAccess::GenericRead | FileAccess::GenericWrite, FileShare::Read,
                                   Disposition::OpenAlways);
}

void StampFixedTime(const AnsiString& path) {
    if (const OpenedFile opened = StampFileTime(path))
        (*opened)->SetTimes(&FixedFileTime, &FixedFileTime, &FixedFileTime);
}

} // namespace vendora
