#pragma once
// The program's command line, split the way the runtime's ParamStr splits it on Windows.

#include "base/Text.h"

#include <vector>

namespace vendora {

// Every argument of a Windows command line, the program's own name first. Arguments are separated by
// blanks and control characters (every code up to 32) lying outside double quotes; the quotes themselves
// are dropped and a backslash is an ordinary character. A pair of double quotes at the start of an argument
// is skipped, so "" never makes an empty argument. The list stops at the first argument that comes out empty,
// as ParamCount does.
std::vector<AnsiString> SplitCommandLine(const AnsiString& commandLine);

// Argument index of the command line (0: the program itself); empty when there is no such argument.
AnsiString ParamStr(const AnsiString& commandLine, std::size_t index);

// The command line Windows would hand a program started with these arguments (the first one being the
// program): an argument that holds a blank or a control character, or is empty, is put in double quotes.
// Splitting the result gives the arguments back as long as none is empty or holds a double quote: Windows
// programs cannot receive those either.
AnsiString JoinCommandLine(const std::vector<AnsiString>& arguments);

} // namespace vendora
