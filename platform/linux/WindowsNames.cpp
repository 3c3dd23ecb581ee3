#include "platform/linux/WindowsNames.h"

#include <algorithm>

namespace vendora {

namespace {

constexpr int ErrorPathNotFound = 3;
constexpr int ErrorBadNetPath = 53;
constexpr int ErrorInvalidName = 123;
constexpr int ErrorFilenameTooLong = 206;
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

bool IsRefusedInName(char c) {
    return Byte(c) < 32 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|';
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
        if (IsRefusedInName(c) || ((c == '*' || c == '?') && !(last && allowWildcards))) {
            error = ErrorInvalidName;
            return false;
        }
    }
    AnsiString name = WithoutTrailingDotsAndBlanks(part);
    if (name.size() > MaxComponent) {
        error = ErrorFilenameTooLong;
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

bool HasWildcard(std::string_view text) {
    return Contains(text, '*') || Contains(text, '?');
}

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*")
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

std::optional<WinPath> FullPath(std::string_view path, const WinPath& current, int& error,
                                bool allowWildcards) {
    error = 0;
    if (path.empty()) {
        error = ErrorPathNotFound;
        return std::nullopt;
    }
    // "\\?\C:\..." is the long-path form of "C:\..."; any other "\\" path names another machine or a
    // device, which the emulated machine does not have.
    if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] == '?' &&
        IsSeparator(path[3])) {
        path.remove_prefix(4);
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        error = ErrorBadNetPath;
        return std::nullopt;
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
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (!Append(full, parts[i], i + 1 == parts.size(), allowWildcards, error))
            return std::nullopt;
    return full;
}

std::vector<AnsiString> SplitParameters(std::string_view parameters) {
    std::vector<AnsiString> arguments;
    std::size_t i = 0;
    const auto separates = [](char c) { return Byte(c) <= ' '; };
    for (;;) {
        // Blanks, and pairs of quotes enclosing nothing, lie between arguments.
        for (;;) {
            while (i < parameters.size() && separates(parameters[i]))
                ++i;
            if (i + 1 < parameters.size() && parameters[i] == '"' && parameters[i + 1] == '"')
                i += 2;
            else
                break;
        }
        if (i >= parameters.size())
            return arguments;
        AnsiString argument;
        while (i < parameters.size() && !separates(parameters[i])) {
            if (parameters[i] == '"') {
                ++i;
                while (i < parameters.size() && parameters[i] != '"')
                    argument += parameters[i++];
                if (i < parameters.size())
                    ++i;
            } else {
                argument += parameters[i++];
            }
        }
        arguments.push_back(std::move(argument));
    }
}

} // namespace vendora
