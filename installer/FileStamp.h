#pragma once
// The fixed time stamp of the installed executable.

#include "base/Text.h"
#include "platform/Platform.h"

#include <memory>

namespace vendora {

// 2010-06-02 14:47:49.5505328 UTC.
inline constexpr FileTime FixedFileTime{0x925859B0u, 0x01CB0262u};

// Opens path (cut to 255 characters) on files for reading and writing, shared for reading only, creating
// it empty when missing.
OpenedFile StampFileTime(FileSystem& files, const AnsiString& path);

// The fixed time as creation, last-access and last-write time of path; a file that cannot be opened is
// left alone.
void StampFixedTime(FileSystem& files, const AnsiString& path);

} // namespace vendora
