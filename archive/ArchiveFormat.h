#pragma once
// The inflated archive: an entry count, a name field width, the table of names and sizes, then the entries'
// contents concatenated in table order.

#include "base/Errors.h"
#include "base/Text.h"

#include <cstdint>
#include <vector>

namespace vendora {

struct ArchiveEntry {
    // The name field read into a short string of capacity 255: the length byte may announce more characters
    // than the field holds, and those read as zero bytes.
    AnsiString Name;
    std::int32_t Size = 0;
};

struct ArchiveTable {
    std::int32_t Count = 0;
    std::uint8_t NameWidth = 0;
    std::vector<ArchiveEntry> Entries;
    // Where the first entry's content starts: 5 + Count * (NameWidth + 4).
    std::int64_t ContentOffset = 0;
    // The sum of the sizes.
    std::int64_t ContentSize = 0;
};

// Where the table is read from. Read returns the number of bytes read (fewer only at the end) and raises
// for a failure of the medium.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint32_t Read(void* buffer, std::uint32_t count) = 0;
};

// An entry name that would leave the output folder: a folder separator, a drive colon, a control character,
// "." or "..". Raised before any entry is written.
// Also raised for an entry that would overwrite the intermediate file being read.
class EArchiveNameError : public Exception {
public:
    explicit EArchiveNameError(const AnsiString& name);
    EArchiveNameError(const AnsiString& name, const AnsiString& reason);
};

// Reads the count, the width and the table from a source holding sourceSize bytes in all, position 0. A
// negative count raises ERangeError; a table or contents that the source is too short for raise the
// end-of-file I/O error (100) before anything of that size is allocated; a negative size raises ERangeError;
// a name that is not a bare file name raises EArchiveNameError. The empty name passes: creating its file
// fails later, as it must.
ArchiveTable ReadArchiveTable(ByteSource& source, std::int64_t sourceSize);

// True for a name that names a file directly in the output folder (the empty name excepted, see above).
bool IsSafeEntryName(const AnsiString& name);

// The progress bar's position after entry i of n (1-based): i * 100 / n, halves to the even neighbour.
int ProgressPosition(std::int64_t i, std::int64_t n);

} // namespace vendora
