#include "platform/Platform.h"

#include "platform/WindowsRules.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace vendora {

namespace {

// FNV-1a over the folded name, as Windows finds "VENDORA.EXE" and "Vendora.EXE" to be one file.
std::uint32_t NameHash(std::string_view name, std::uint32_t salt) {
    std::uint32_t hash = 2166136261u ^ salt;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(FoldCase(c));
        hash *= 16777619u;
    }
    return hash;
}

AnsiString TemporaryName(std::uint32_t hash) {
    static constexpr char digits[] = "0123456789ABCDEF";
    AnsiString name = "~";
    for (int shift = 24; shift >= 0; shift -= 4)
        name += digits[(hash >> shift) & 0xF];
    return name + ".TMP";
}

} // namespace

AnsiString TemporarySibling(const AnsiString& path) {
    std::size_t start = path.find_last_of("\\/");
    start = start != AnsiString::npos ? start + 1 : (path.size() >= 2 && path[1] == ':') ? 2 : 0;
    const std::string_view name = std::string_view(path).substr(start);
    // "~" and seven hex digits never spell a name of the installer's; a file that happens to carry its own
    // temporary name gets another one.
    AnsiString temporary = TemporaryName(NameHash(name, 0));
    for (std::uint32_t salt = 1; SameNameNoCase(temporary, name); ++salt)
        temporary = TemporaryName(NameHash(name, salt));
    return path.substr(0, start) + temporary;
}

bool IsTemporaryName(std::string_view name) {
    const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    return name.size() == 12 && name[0] == '~' && std::all_of(name.begin() + 1, name.begin() + 8, hex) &&
           SameNameNoCase(name.substr(8), ".TMP");
}

std::unique_ptr<FileHandle> OpenForReading(FileSystem& files, const AnsiString& path) {
    return OrRaise(
        files.CreateFile(path, FileAccess::GenericRead, FileShare::Read, Disposition::OpenExisting),
        FileErrorAs::Open, path);
}

} // namespace vendora
