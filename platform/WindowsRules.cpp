#include "platform/WindowsRules.h"

#include "platform/Platform.h"

#include <algorithm>

namespace vendora {

namespace {

constexpr std::size_t MaxComponent = 255;

unsigned char Byte(char c) {
    return static_cast<unsigned char>(c);
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsWildcard(char c) {
    return c == '*' || c == '?';
}

// Windows also reads the superscript digits 1, 2 and 3 of Windows-1252 as port numbers.
bool IsPortDigit(char c) {
    return (c >= '1' && c <= '9') || Byte(c) == 0xB9 || Byte(c) == 0xB2 || Byte(c) == 0xB3;
}

bool SameAsciiNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return UpperAsciiChar(x) == UpperAsciiChar(y);
           });
}

bool IsDeviceName(std::string_view name) {
    // The device is named by what comes before the first dot, blanks at its end left out.
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL"})
        if (SameAsciiNoCase(base, device))
            return true;
    return base.size() == 4 &&
           (SameAsciiNoCase(base.substr(0, 3), "COM") || SameAsciiNoCase(base.substr(0, 3), "LPT")) &&
           IsPortDigit(base[3]);
}

// Windows drops trailing dots and blanks from names ("foo. " is "foo").
AnsiString WithoutTrailingDotsAndBlanks(std::string_view name) {
    std::size_t end = name.size();
    while (end > 0 && (name[end - 1] == '.' || name[end - 1] == ' '))
        --end;
    return AnsiString(name.substr(0, end));
}

std::vector<std::string_view> SplitComponents(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && IsSeparator(path[i]))
            ++i;
        std::size_t j = i;
        while (j < path.size() && !IsSeparator(path[j]))
            ++j;
        if (j > i)
            parts.push_back(path.substr(i, j - i));
        i = j;
    }
    return parts;
}

// Adds one component to an absolute path; false with error set when the name is refused.
bool Append(WinPath& full, std::string_view part, bool last, bool allowWildcards, int& error) {
    if (part == ".")
        return true;
    if (part == "..") {
        if (!full.Parts.empty())
            full.Parts.pop_back();
        return true;
    }
    for (char c : part) {
        if (IsForbiddenInName(c) && !(IsWildcard(c) && last && allowWildcards)) {
            error = WinError::InvalidName;
            return false;
        }
    }
    AnsiString name = WithoutTrailingDotsAndBlanks(part);
    if (name.size() > MaxComponent) {
        error = WinError::FilenameTooLong;
        return false;
    }
    if (!name.empty())
        full.Parts.push_back(std::move(name));
    return true;
}

bool MatchFrom(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool SeparatesArguments(char c) {
    return Byte(c) <= ' ';
}

// Reads one argument from position at; false when nothing but separators and empty quotes is left.
bool NextArgument(std::string_view line, std::size_t& at, AnsiString& argument) {
    argument.clear();
    for (;;) {
        while (at < line.size() && SeparatesArguments(line[at]))
            ++at;
        if (at + 1 < line.size() && line[at] == '"' && line[at + 1] == '"')
            at += 2;
        else
            break;
    }
    if (at >= line.size())
        return false;
    while (at < line.size() && !SeparatesArguments(line[at])) {
        if (line[at] != '"') {
            argument += line[at++];
            continue;
        }
        ++at;
        while (at < line.size() && line[at] != '"')
            argument += line[at++];
        if (at < line.size())
            ++at;
    }
    return true;
}

} // namespace

char FoldCase(char c) {
    const unsigned char b = Byte(c);
    if (b >= 'a' && b <= 'z')
        return static_cast<char>(b - 32);
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
        return static_cast<char>(b - 32);
    switch (b) {
    case 0x9A: // š
    case 0x9C: // œ
    case 0x9E: // ž
        return static_cast<char>(b - 0x10);
    case 0xFF: // ÿ
        return static_cast<char>(0x9F);
    default:
        return c;
    }
}

AnsiString FoldedName(std::string_view name) {
    AnsiString folded(name);
    for (char& c : folded)
        c = FoldCase(c);
    return folded;
}

bool SameNameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

bool NameLessNoCase(std::string_view a, std::string_view b) {
    const auto folded = [](char x, char y) { return Byte(FoldCase(x)) < Byte(FoldCase(y)); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded))
        return false;
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Byte(x) < Byte(y); });
}

bool IsForbiddenInName(char c) {
    return Byte(c) < 32 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
}

NameFault FileNameFault(std::string_view name) {
    if (name == "." || name == ".." || name.find_first_of("\\/:") != std::string_view::npos)
        return NameFault::LeavesFolder;
    if (std::any_of(name.begin(), name.end(), IsForbiddenInName))
        return NameFault::ForbiddenCharacter;
    if (IsDeviceName(name))
        return NameFault::DeviceName;
    if (!name.empty() && (name.back() == '.' || name.back() == ' '))
        return NameFault::TrailingDotOrBlank;
    return NameFault::None;
}

bool HasWildcard(std::string_view text) {
    return std::any_of(text.begin(), text.end(), IsWildcard);
}

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
    // ".*" at the end matches a dot and what follows, or nothing at all.
    if (pattern.ends_with(".*") && MatchFrom(pattern.substr(0, pattern.size() - 2), name))
        return true;
    return MatchFrom(pattern, name);
}

AnsiString WinPath::ToString() const {
    AnsiString text{Drive, ':'};
    if (Parts.empty())
        return text + "\\";
    for (const AnsiString& part : Parts)
        text += "\\" + part;
    return text;
}

WinPath WinPath::Parent() const {
    WinPath parent = *this;
    if (!parent.Parts.empty())
        parent.Parts.pop_back();
    return parent;
}

FileResult<WinPath> FullPath(std::string_view path, const WinPath& current, bool allowWildcards) {
    if (path.empty())
        return FileError{WinError::PathNotFound};
    // "\\?\C:\..." is the long-path form of "C:\..."; any other "\\" path names another machine or a
    // device, which the emulated machine does not have.
    if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] == '?' &&
        IsSeparator(path[3])) {
        path.remove_prefix(4);
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        return FileError{WinError::BadNetPath};
    }

    WinPath full;
    if (path.size() >= 2 && path[1] == ':' && IsDriveLetter(path[0])) {
        full.Drive = UpperAsciiChar(path[0]);
        path.remove_prefix(2);
        if (path.empty() || !IsSeparator(path[0])) {
            // "D:name": relative to the current folder when it is on that drive.
            if (full.Drive == current.Drive)
                full.Parts = current.Parts;
        }
    } else if (IsSeparator(path[0])) {
        full.Drive = current.Drive;
    } else {
        full = current;
    }

    const std::vector<std::string_view> parts = SplitComponents(path);
    int error = 0;
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (!Append(full, parts[i], i + 1 == parts.size(), allowWildcards, error))
            return FileError{error};
    return full;
}

std::vector<AnsiString> SplitCommandLine(std::string_view commandLine) {
    std::vector<AnsiString> arguments;
    std::size_t at = 0;
    AnsiString argument;
    while (NextArgument(commandLine, at, argument) && !argument.empty())
        arguments.push_back(argument);
    return arguments;
}

AnsiString ParamStr(std::string_view commandLine, std::size_t index) {
    const std::vector<AnsiString> arguments = SplitCommandLine(commandLine);
    return index < arguments.size() ? arguments[index] : AnsiString();
}

AnsiString JoinCommandLine(const std::vector<AnsiString>& arguments) {
    AnsiString line;
    for (const AnsiString& argument : arguments) {
        if (!line.empty())
            line += ' ';
        const bool quote =
            argument.empty() || std::any_of(argument.begin(), argument.end(), SeparatesArguments);
        line += quote ? '"' + argument + '"' : argument;
    }
    return line;
}

} // namespace vendora
