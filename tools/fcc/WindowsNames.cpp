#include "tools/fcc/WindowsNames.h"

#include <array>
#include <string_view>

namespace vendora::fcc {

namespace {

constexpr std::string_view ForbiddenCharacters = "<>:\"/\\|?*";

// Windows also reads the superscript digits 1, 2 and 3 of Windows-1252 as port numbers.
bool IsPortDigit(char c) {
    const auto code = static_cast<unsigned char>(c);
    return (c >= '1' && c <= '9') || code == 0xB9 || code == 0xB2 || code == 0xB3;
}

bool IsDeviceName(const AnsiString& name) {
    // The device is named by what comes before the first dot, blanks at its end left out.
    std::string_view base(name);
    base = base.substr(0, base.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    const AnsiString upper = UpperAscii(base);
    for (const char* device : {"CON", "PRN", "AUX", "NUL"})
        if (upper == device)
            return true;
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
           IsPortDigit(upper[3]);
}

char UpperWindowsChar(char c) {
    const auto code = static_cast<unsigned char>(c);
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(code - 0x20);
    // à to þ over À to Þ, except the division sign, which sits where a letter would.
    if (code >= 0xE0 && code <= 0xFE && code != 0xF7)
        return static_cast<char>(code - 0x20);
    switch (code) {
    case 0x9A: // š
        return static_cast<char>(0x8A);
    case 0x9C: // œ
        return static_cast<char>(0x8C);
    case 0x9E: // ž
        return static_cast<char>(0x8E);
    case 0xFF: // ÿ
        return static_cast<char>(0x9F);
    default:
        return c;
    }
}

} // namespace

std::string WhyWindowsCannotHold(const AnsiString& name) {
    if (IsDeviceName(name))
        return "a device name on Windows";
    for (const char c : name) {
        if (ForbiddenCharacters.find(c) != std::string_view::npos)
            return std::string("the character ") + c + " is forbidden in Windows names";
        if (static_cast<unsigned char>(c) < 32)
            return "a control character is forbidden in Windows names";
    }
    if (!name.empty() && (name.back() == '.' || name.back() == ' '))
        return "Windows drops a trailing dot or blank";
    return {};
}

AnsiString WindowsNameKey(const AnsiString& name) {
    AnsiString key = name;
    for (char& c : key)
        c = UpperWindowsChar(c);
    return key;
}

} // namespace vendora::fcc
