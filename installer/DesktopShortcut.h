#pragma once
// The application's shortcut on the current user's desktop.

#include "base/Text.h"
#include "platform/Platform.h"

#include <cstdint>

namespace vendora {

// Puts a shortcut on the desktop, reading the machine's registry and saving through its shell. Every text is
// cut to 79 characters, and so is every path built from them. A name without "\" goes into the desktop folder
// (the registry's "Desktop" value, empty when absent); a name without "." gets ".lnk"; a target without "."
// gets ".exe"; an empty working folder is the target's folder and an empty icon location the target. hotKey 0
// means none. The link starts normally (show command 9). Errors of the link (EShortcutError) reach the
// caller. Returns the shortcut file written.
AnsiString CreateDesktopShortcut(Platform& machine, const AnsiString& name, const AnsiString& target,
                                 const AnsiString& workingDir, const AnsiString& description,
                                 const AnsiString& arguments, const AnsiString& iconLocation,
                                 std::uint16_t iconNumber, char hotKey);

// The folder part of a path without its final backslash, except for a root such as "C:\" (ExtractFileDir).
AnsiString ExtractFileDir(const AnsiString& path);

} // namespace vendora
