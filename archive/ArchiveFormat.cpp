#include "archive/ArchiveFormat.h"

#include "base/Convert.h"
#include "base/Cp1252.h"
#include "platform/Platform.h"
#include "platform/WindowsRules.h"

#include <algorithm>

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

// The count and the width, checked before anything of the size they announce is touched.
ArchiveTable CheckHeader(std::int32_t count, std::uint8_t width, std::int64_t sourceSize) {
    if (count < 0)
        throw ERangeError();
    if (count > 0 && width == 0)
        throw EArchiveTableError(Ansi("la table annonce des noms de largeur nulle"));
    ArchiveTable table;
    table.Count = count;
    table.NameWidth = width;
    table.ContentOffset = 5 + static_cast<std::int64_t>(count) * (width + 4);
    if (table.ContentOffset > sourceSize)
        throw EInOutError(IoCode::ReadBeyondEnd);
    return table;
}

// Why the name in a field cannot be an entry's, without building a string: characters the field does not
// hold are zero bytes, which no name may carry.
AnsiString FieldReason(std::uint8_t length, std::span<const std::uint8_t> field) {
    if (length > field.size())
        return EntryNameReason(std::string_view("\0", 1));
    return EntryNameReason(std::string_view(reinterpret_cast<const char*>(field.data()), length));
}

// Every row in order: a negative size or a name that leaves the folder stops the reading; then the
// contents must fit in the source.
void CheckRows(ArchiveTable& table, std::int64_t sourceSize) {
    const ArchiveRows& rows = table.Entries;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows.SizeAt(i) < 0)
            throw ERangeError();
        if (const AnsiString reason = FieldReason(rows.NameLengthAt(i), rows.NameFieldAt(i)); !reason.empty())
            throw EArchiveNameError(rows[i].Name, reason);
        table.ContentSize += rows.SizeAt(i);
    }
    if (table.ContentOffset + table.ContentSize > sourceSize)
        throw EInOutError(IoCode::ReadBeyondEnd);
}

} // namespace

EArchiveNameError::EArchiveNameError(const AnsiString& name, const AnsiString& reason)
    : Exception(Ansi("Archive refusée : le nom d'entrée \"") + Printable(name) + "\" " + reason) {}

EArchiveTableError::EArchiveTableError(const AnsiString& reason)
    : Exception(Ansi("Archive refusée : ") + reason) {}

AnsiString EntryNameReason(std::string_view name) {
    switch (FileNameFault(name)) {
    case NameFault::None:
        break;
    case NameFault::LeavesFolder:
        return Ansi("n'est pas un simple nom de fichier");
    case NameFault::ForbiddenCharacter:
        return Ansi("contient un caractère que Windows refuse dans les noms de fichiers");
    case NameFault::DeviceName:
        return Ansi("est le nom d'un périphérique de Windows");
    case NameFault::TrailingDotOrBlank:
        return Ansi("finit par un point ou un blanc, que Windows retire du nom");
    }
    // The split would take such an entry's file, already on the disk, for what a killed run left behind.
    if (IsTemporaryName(name))
        return Ansi("est un nom des fichiers temporaires de l'installation");
    return {};
}

ArchiveRows::ArchiveRows(std::span<const std::uint8_t> bytes, std::uint8_t width)
    : bytes_(bytes), width_(width), count_(bytes.size() / (width + 4u)) {}

std::int32_t ArchiveRows::SizeAt(std::size_t index) const {
    return ReadLe32(Row(index) + width_);
}

std::span<const std::uint8_t> ArchiveRows::NameFieldAt(std::size_t index) const {
    return {Row(index) + 1, width_ > 0 ? width_ - 1u : 0u};
}

ArchiveEntry ArchiveRows::operator[](std::size_t index) const {
    ArchiveEntry entry;
    const auto field = NameFieldAt(index);
    const std::uint8_t length = NameLengthAt(index);
    const std::size_t held = std::min<std::size_t>(length, field.size());
    entry.Name.assign(reinterpret_cast<const char*>(field.data()), held);
    entry.Name.resize(length, '\0');
    entry.Size = SizeAt(index);
    return entry;
}

ArchiveTable ReadArchiveTable(std::span<const std::uint8_t> inflated) {
    const auto size = static_cast<std::int64_t>(inflated.size());
    if (size < 5)
        throw EInOutError(IoCode::ReadBeyondEnd);
    ArchiveTable table = CheckHeader(ReadLe32(inflated.data()), inflated[4], size);
    table.Entries =
        ArchiveRows(inflated.subspan(5, static_cast<std::size_t>(table.ContentOffset - 5)), table.NameWidth);
    CheckRows(table, size);
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
