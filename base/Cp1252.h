#pragma once
// The one place where the UTF-8 of the sources, scripts, transcripts and Linux file names meets the
// Windows-1252 text the system works in.

#include "base/Text.h"

#include <string>
#include <string_view>

namespace vendora {

// UTF-8 to Windows-1252. A character that Windows-1252 cannot hold becomes '?'; a malformed UTF-8 byte
// is taken as the Windows-1252 character of the same code, so that no input is lost silently.
AnsiString Utf8ToAnsi(std::string_view utf8);

// Windows-1252 to UTF-8. The five codes that Windows-1252 leaves undefined map to the C1 controls of the
// same value, as Windows does.
std::string AnsiToUtf8(std::string_view ansi);

// Windows-1252 to UTF-16 and back: every Windows-1252 character is one UTF-16 unit. A unit that
// Windows-1252 cannot hold (a surrogate included) becomes '?'.
std::u16string AnsiToUtf16(std::string_view ansi);
AnsiString Utf16ToAnsi(std::u16string_view utf16);

// True when every character of the UTF-8 text exists in Windows-1252 (and the UTF-8 is well formed).
bool IsAnsiRepresentable(std::string_view utf8);

// Shorthand for the system's own texts, written in UTF-8 in the sources.
inline AnsiString Ansi(std::string_view utf8) {
    return Utf8ToAnsi(utf8);
}

} // namespace vendora
