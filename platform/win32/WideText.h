#pragma once
// The edge between the system's UTF-16 and the Windows-1252 that the program works in. Every call of this
// folder takes and gives UTF-16 (the wide functions), converted here by the fixed Windows-1252 table of
// base/Cp1252.h, never through the system's ANSI code page, which is 1251 on a Russian Windows, 1250 on a
// Polish one and 65001 where UTF-8 is ticked, and would give other names to the same bytes.
//
// A text that the system gives (a path, the command line) may hold characters that Windows-1252 lacks, as
// C:\Users\Иван\Desktop does. The program sees it with one '?' for each such UTF-16 unit, so that its
// length, its separators and every cut the program makes at 79 or 255 characters stay what they would be
// with the real characters; the text itself is kept here, and a text handed back to the system that was
// made from it (the desktop folder, a backslash and a name; an argument of the command line, passed on)
// gets its characters back, at its start or where one of its arguments begins. A '?' that no kept text
// accounts for, or that two kept texts would fill differently, stays a '?', which no Windows name may
// hold: the system refuses the name rather than write under a wrong one.

#include "base/Text.h"

#include <string>
#include <string_view>
#include <vector>

namespace vendora {

class SystemTexts {
public:
    // The text as the program sees it; kept when Windows-1252 lacks one of its characters.
    AnsiString FromSystem(std::wstring_view text);
    // The text for the system: Windows-1252 by the table, the '?' of a kept text filled again.
    std::wstring ToSystem(std::string_view text) const;

private:
    struct Fill {
        std::size_t Length = 0;
        std::wstring_view Original;
    };
    Fill FillFrom(std::string_view text, std::size_t start) const;

    struct Kept {
        std::wstring Original;
        AnsiString Seen;
    };
    std::vector<Kept> kept_;
};

// The process's texts, shared by its file system and platform: the command line, its own path, its
// current folder and the desktop folder are the process's, whichever object asked for them.
SystemTexts& ProcessTexts();

// ProcessTexts().ToSystem and FromSystem, for the calls.
std::wstring Wide(std::string_view text);
AnsiString Narrow(std::wstring_view text);

} // namespace vendora
