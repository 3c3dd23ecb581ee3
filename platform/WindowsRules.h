#pragma once
// The rules Windows applies to names, paths, wildcards and command lines, written once for every platform,
// the tools and the archive: letter case folding of Windows-1252 names, the names Windows cannot hold,
// full-path resolution against a current folder, wildcard matching, and the splitting of a command line
// into arguments. Pure text work, no file system access.

#include "base/Text.h"
#include "platform/FileResult.h"

#include <optional>
#include <string_view>
#include <vector>

namespace vendora {

// The capital that Windows compares a Windows-1252 character as: ASCII letters, the Latin-1 small letters
// à..þ (but not ÷), and š, œ, ž, ÿ. ß and µ have no capital in Windows-1252 and stay as they are.
char FoldCase(char c);
// The whole name folded: two names are one file on Windows when their folded forms are equal.
AnsiString FoldedName(std::string_view name);
bool SameNameNoCase(std::string_view a, std::string_view b);
// Orders names as NTFS lists them: by their folded characters, then by bytes.
bool NameLessNoCase(std::string_view a, std::string_view b);

// What keeps Windows from holding a file of a name directly in a folder.
enum class NameFault {
    None,
    LeavesFolder,       // a folder separator or a drive colon, or the name "." or ".."
    ForbiddenCharacter, // a control character, or one of < > " | ? *
    DeviceName,         // CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with or without an extension
    TrailingDotOrBlank, // Windows drops it, and the file would take another name than the one asked for
};
// The characters Windows refuses in a name: codes below 32 and < > : " / \ | ? *.
bool IsForbiddenInName(char c);
// The first fault of a bare file name, in the order of the enumeration. The empty name has none here: it
// names the folder itself, which the callers refuse their own way.
NameFault FileNameFault(std::string_view name);

// '*' (any run) and '?' (one character), compared without regard to letter case; '[' and every other
// character stand for themselves. A pattern ending with ".*" also matches the names without that extension
// ("*.*" every name, "LISEZMOI.*" the file LISEZMOI), as it has since DOS.
bool MatchesWildcard(std::string_view pattern, std::string_view name);
bool HasWildcard(std::string_view text);

// An absolute, normalised Windows path: drive letter (capital) and its components below the drive root.
struct WinPath {
    char Drive = 'C';
    std::vector<AnsiString> Parts;

    bool IsDriveRoot() const { return Parts.empty(); }
    // "C:\" for a drive root, else "C:\A\B".
    AnsiString ToString() const;
    WinPath Parent() const;
    friend bool operator==(const WinPath&, const WinPath&) = default;
};

// GetFullPathName with the current folder: '/' as separator too, repeated separators, "." and "..",
// "X:" relative to the current folder on the current drive (else to the drive root), "\foo" on the current
// drive, trailing dots and blanks of a component dropped. Wildcards are accepted in the last component only
// when allowWildcards. A failure's code: 3 (empty path), 53 (a network path, which the emulated machine
// does not have), 123 (a character Windows refuses in names), 206 (a component longer than 255).
FileResult<WinPath> FullPath(std::string_view path, const WinPath& current, bool allowWildcards = false);

// Every argument of a Windows command line, split as the installer's runtime splits its own (and the
// programs it starts, built with the same runtime, split theirs). Arguments are separated by blanks and
// control characters (every code up to 32) lying outside double quotes; the quotes themselves are dropped
// and a backslash is an ordinary character, so a quoted folder ending with '\' stays whole. A pair of double
// quotes at the start of an argument is skipped, so "" never makes an empty argument. The list stops at the
// first argument that comes out empty (a lone quote at the end), as ParamCount does.
std::vector<AnsiString> SplitCommandLine(std::string_view commandLine);
// Argument index of the command line (0: the program itself); empty when there is no such argument.
AnsiString ParamStr(std::string_view commandLine, std::size_t index);
// The command line Windows would hand a program started with these arguments (the first one being the
// program): an argument that holds a blank or a control character, or is empty, is put in double quotes.
// Splitting the result gives the arguments back as long as none is empty or holds a double quote: Windows
// programs cannot receive those either.
AnsiString JoinCommandLine(const std::vector<AnsiString>& arguments);

} // namespace vendora
