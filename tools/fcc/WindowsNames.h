#pragma once
// Names as Windows takes them. An archive entry becomes a file on a Windows disk: a name that Windows
// cannot create, or one that Windows takes for another entry's, would fail the installation or silently
// overwrite a file there, so the tool refuses such archives before anyone ships them.

#include "base/Text.h"

#include <string>

namespace vendora::fcc {

// Why Windows cannot hold a file of this name (a reserved device name with or without an extension, a
// character Windows forbids, a trailing dot or blank), in English for the tool's messages; empty when it
// can.
std::string WhyWindowsCannotHold(const AnsiString& name);

// The name in capitals as Windows compares names, letter by letter over the whole of Windows-1252
// ("été.txt" and "ÉTÉ.TXT" give the same key).
AnsiString WindowsNameKey(const AnsiString& name);

} // namespace vendora::fcc
