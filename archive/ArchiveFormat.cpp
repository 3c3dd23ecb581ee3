#include "archive/ArchiveFormat.h"

#include "base/Convert.h"
#include "base/Cp1252.h"

#include <array>

namespace vendora {

namespace {

// What a user can read of a name in an error text: control characters shown as '?'.
AnsiString Printable(const AnsiString& name) {
    AnsiString out = name;
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 32)
            c = '?';
    }
    return out;
}

void ReadExactly(ByteSource& source, void* buffer, std::uint32_t count) {
    if (source.Read(buffer, count) != count)
        throw EInOutError(IoCode::ReadBeyondEnd);
}

std::int32_t ReadInt32(ByteSource& source) {
    unsigned char field[4];
    ReadExactly(source, field, 4);
    return ReadLe32(field);
}

ArchiveEntry ReadRow(ByteSource& source, std::uint8_t width) {
    std::array<unsigned char, 256> field{};
    ReadExactly(source, field.data(), width);
    ArchiveEntry entry;
    entry.Name.assign(reinterpret_cast<const char*>(field.data()) + 1, field[0]);
    entry.Size = ReadInt32(source);
    return entry;
}

} // namespace

EArchiveNameError::EArchiveNameError(const AnsiString& name)
    : EArchiveNameError(name, Ansi("n'est pas un simple nom de fichier")) {}

EArchiveNameError::EArchiveNameError(const AnsiString& name, const AnsiString& reason)
    : Exception(Ansi("Archive refusée : le nom d'entrée \"") + Printable(name) + "\" " + reason) {}

bool IsSafeEntryName(const AnsiString& name) {
    if (name == "." || name == "..")
        return false;
    for (const char c : name) {
        if (c == '\\' || c == '/' || c == ':' || static_cast<unsigned char>(c) < 32)
            return false;
    }
    return true;
}

ArchiveTable ReadArchiveTable(ByteSource& source, std::int64_t sourceSize) {
    ArchiveTable table;
    table.Count = ReadInt32(source);
    unsigned char width = 0;
    ReadExactly(source, &width, 1);
    table.NameWidth = width;
    if (table.Count < 0)
        throw ERangeError();
    table.ContentOffset = 5 + static_cast<std::int64_t>(table.Count) * (width + 4);
    if (table.ContentOffset > sourceSize)
        throw EInOutError(IoCode::ReadBeyondEnd);
    table.Entries.reserve(static_cast<std::size_t>(table.Count));
    for (std::int32_t i = 0; i < table.Count; ++i)
        table.Entries.push_back(ReadRow(source, width));
    for (const ArchiveEntry& entry : table.Entries) {
        if (entry.Size < 0)
            throw ERangeError();
        if (!IsSafeEntryName(entry.Name))
            throw EArchiveNameError(entry.Name);
        table.ContentSize += entry.Size;
    }
    if (table.ContentOffset + table.ContentSize > sourceSize)
        throw EInOutError(IoCode::ReadBeyondEnd);
    return table;
}

int ProgressPosition(std::int64_t i, std::int64_t n) {
    const std::int64_t scaled = i * 100;
    std::int64_t quotient = scaled / n;
    const std::int64_t twice = (scaled % n) * 2;
    if (twice > n || (twice == n && quotient % 2 != 0))
        ++quotient;
    return static_cast<int>(quotient);
}

} // namespace vendora
