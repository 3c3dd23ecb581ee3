#include "base/Cp1252.h"

#include <array>
#include <cstdint>

namespace vendora {

namespace {

// Unicode code points of 0x80..0x9F in Windows-1252.
constexpr std::array<char32_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t ToUnicode(unsigned char c) {
    if (c >= 0x80 && c <= 0x9F)
        return kHigh[c - 0x80];
    return c;
}

// -1 when the code point has no Windows-1252 character.
int FromUnicode(char32_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<int>(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u)
            return 0x80 + i;
    return -1;
}

// Decodes one UTF-8 sequence at s[i]; returns its length, or 0 when malformed.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& out) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t len = 0;
    char32_t u = 0;
    if (b0 < 0x80) {
        out = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        u = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        u = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        u = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        u = (u << 6) | (b & 0x3F);
    }
    // Overlong forms are malformed.
    if ((len == 2 && u < 0x80) || (len == 3 && u < 0x800) || (len == 4 && u < 0x10000))
        return 0;
    out = u;
    return len;
}

void AppendUtf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

} // namespace

AnsiString Utf8ToAnsi(std::string_view utf8) {
    AnsiString out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t u = 0;
        const std::size_t len = DecodeUtf8(utf8, i, u);
        if (len == 0) {
            out += utf8[i];
            ++i;
            continue;
        }
        const int c = FromUnicode(u);
        out += c < 0 ? '?' : static_cast<char>(c);
        i += len;
    }
    return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 4);
    for (char c : ansi)
        AppendUtf8(out, ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::u16string AnsiToUtf16(std::string_view ansi) {
    std::u16string out;
    out.reserve(ansi.size());
    for (char c : ansi)
        out.push_back(static_cast<char16_t>(ToUnicode(static_cast<unsigned char>(c))));
    return out;
}

AnsiString Utf16ToAnsi(std::u16string_view utf16) {
    AnsiString out;
    out.reserve(utf16.size());
    for (char16_t u : utf16) {
        const int c = FromUnicode(u);
        out += c < 0 ? '?' : static_cast<char>(c);
    }
    return out;
}

bool IsAnsiRepresentable(std::string_view utf8) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t u = 0;
        const std::size_t len = DecodeUtf8(utf8, i, u);
        if (len == 0 || FromUnicode(u) < 0)
            return false;
        i += len;
    }
    return true;
}

} // namespace vendora
