#pragma once
// Single-byte Windows-1252 text: the system's own string type and the text helpers shared by every layer.

#include <cstddef>
#include <string>
#include <string_view>

namespace vendora {

// Bytes in Windows-1252. Everything the user sees, every path and every markup text is one.
using AnsiString = std::string;

// Capacities of the fixed-size strings that travel between the parts of the system. A longer text is cut.
namespace Capacity {
inline constexpr std::size_t Path = 255;     // paths, tags, words, duration texts
inline constexpr std::size_t Shortcut = 79;  // every text argument of the desktop shortcut
inline constexpr std::size_t EntryName = 33; // archive entry names (a 34-byte field)
inline constexpr std::size_t ArchiveName = 11;
} // namespace Capacity

// Cuts text to at most capacity characters, as storing it into a fixed-size string does.
AnsiString CutTo(std::string_view text, std::size_t capacity);

// a-z to A-Z, and the French small accented letters to their unaccented capitals; same length.
AnsiString UpperNoAccents(std::string_view text);
// A-Z to a-z; nothing else changes.
AnsiString LowerAscii(std::string_view text);
// a-z to A-Z; nothing else changes.
AnsiString UpperAscii(std::string_view text);
char UpperAsciiChar(char c);

// Leading and trailing blanks (code 32 only).
AnsiString TrimSpaces(std::string_view text);
AnsiString TrimLeftSpaces(std::string_view text);
AnsiString TrimRightSpaces(std::string_view text);

// Replaces every occurrence of find in text, scanning left to right; inserted text is not searched again.
// Without matchCase both sides are compared after UpperNoAccents. Returns the number of replacements.
int ReplaceAll(std::string_view find, std::string_view replacement, AnsiString& text, bool matchCase);

inline bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}
inline bool Contains(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

// Decimal text of a signed number, without grouping.
AnsiString IntToStr(long long value);

} // namespace vendora
