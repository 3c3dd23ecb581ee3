#include "platform/Platform.h"

#include "platform/WindowsRules.h"

#include <algorithm>
#include <array>
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

TColor XpSysColor(int index) {
    // Windows XP "Luna" defaults, indexes 0 to 30 of GetSysColor, as RGB.
    static constexpr std::array<TColor, 31> table = {
        TColor::Rgb(212, 208, 200), // 0 scroll bar
        TColor::Rgb(0, 78, 152),    // 1 background
        TColor::Rgb(0, 84, 227),    // 2 active caption
        TColor::Rgb(122, 150, 223), // 3 inactive caption
        TColor::Rgb(255, 255, 255), // 4 menu
        TColor::Rgb(255, 255, 255), // 5 window
        TColor::Rgb(0, 0, 0),       // 6 window frame
        TColor::Rgb(0, 0, 0),       // 7 menu text
        TColor::Rgb(0, 0, 0),       // 8 window text
        TColor::Rgb(255, 255, 255), // 9 caption text
        TColor::Rgb(212, 208, 200), // 10 active border
        TColor::Rgb(212, 208, 200), // 11 inactive border
        TColor::Rgb(128, 128, 128), // 12 application workspace
        TColor::Rgb(49, 106, 197),  // 13 highlight
        TColor::Rgb(255, 255, 255), // 14 highlight text
        TColor::Rgb(236, 233, 216), // 15 button face
        TColor::Rgb(172, 168, 153), // 16 button shadow
        TColor::Rgb(172, 168, 153), // 17 grey text
        TColor::Rgb(0, 0, 0),       // 18 button text
        TColor::Rgb(216, 228, 248), // 19 inactive caption text
        TColor::Rgb(255, 255, 255), // 20 button highlight
        TColor::Rgb(113, 111, 100), // 21 3D dark shadow
        TColor::Rgb(241, 239, 226), // 22 3D light
        TColor::Rgb(0, 0, 0),       // 23 info text
        TColor::Rgb(255, 255, 225), // 24 info background
        TColor::Rgb(181, 181, 181), // 25 (unused)
        TColor::Rgb(0, 0, 128),     // 26 hot light
        TColor::Rgb(61, 149, 255),  // 27 gradient active caption
        TColor::Rgb(157, 185, 235), // 28 gradient inactive caption
        TColor::Rgb(49, 106, 197),  // 29 menu highlight
        TColor::Rgb(236, 233, 216), // 30 menu bar
    };
    if (index < 0 || index >= static_cast<int>(table.size()))
        return TColor(0);
    return table[static_cast<std::size_t>(index)];
}

TColor ResolveColor(TColor color) {
    if (!color.IsSystem())
        return color;
    return Os().GetSysColor(color.SystemIndex());
}

std::unique_ptr<FileHandle> OpenForReading(FileSystem& files, const AnsiString& path) {
    return OrRaise(
        files.CreateFile(path, FileAccess::GenericRead, FileShare::Read, Disposition::OpenExisting),
        FileErrorAs::Open, path);
}

} // namespace vendora
