#pragma once
// Windows naming rules that the emulated machine follows: letter case folding of Windows-1252 names,
// full-path resolution against a current folder, wildcard matching, and the splitting of a parameter
// string into program arguments. Pure text work, no file system access.

#include "base/Text.h"

#include <optional>
#include <string_view>
#include <vector>

namespace vendora {

// The capital that Windows compares a Windows-1252 character as: ASCII letters, the Latin-1 small letters
// à..þ (but not ÷), and š, œ, ž, ÿ. ß and µ have no capital in Windows-1252 and stay as they are.
char FoldCase(char c);
bool SameNameNoCase(std::string_view a, std::string_view b);
// Orders names as NTFS lists them: by their folded characters, then by bytes.
bool NameLessNoCase(std::string_view a, std::string_view b);

// '*' (any run) and '?' (one character), compared without regard to letter case. "*.*" matches every name,
// dotted or not, as it has done since DOS.
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
// when allowWildcards. Nothing on success; else the Windows error code: 3 (empty path), 53 (a network path,
// which the emulated machine does not have), 123 (a character Windows refuses in names), 206 (a component
// longer than 255).
std::optional<WinPath> FullPath(std::string_view path, const WinPath& current, int& error,
                                bool allowWildcards = false);

// The argument list that a program gets from a parameter string, split as the installer's own runtime
// splits its command line: at blanks and control characters outside double quotes, the quotes removed
// ("a \"b c\"" gives a, b c). The started programs of this system use that same runtime, so a quoted folder
// ending with '\' stays whole.
std::vector<AnsiString> SplitParameters(std::string_view parameters);

} // namespace vendora
