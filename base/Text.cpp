#include "base/Text.h"

namespace vendora {

AnsiString CutTo(std::string_view text, std::size_t capacity) {
    return AnsiString(text.substr(0, capacity));
}

namespace {

char FoldNoAccent(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - 'a' + 'A');
    switch (c) {
    case 0xE0: // à
    case 0xE2: // â
    case 0xE4: // ä
        return 'A';
    case 0xE7: // ç
        return 'C';
    case 0xE8: // è
    case 0xE9: // é
    case 0xEA: // ê
    case 0xEB: // ë
        return 'E';
    case 0xEE: // î
    case 0xEF: // ï
        return 'I';
    case 0xF4: // ô
    case 0xF6: // ö
        return 'O';
    case 0xF9: // ù
    case 0xFB: // û
    case 0xFC: // ü
        return 'U';
    default:
        return static_cast<char>(c);
    }
}

bool IsSpace(char c) {
    return c == ' ';
}

} // namespace

AnsiString UpperNoAccents(std::string_view text) {
    AnsiString out(text);
    for (char& c : out)
        c = FoldNoAccent(static_cast<unsigned char>(c));
    return out;
}

AnsiString LowerAscii(std::string_view text) {
    AnsiString out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

char UpperAsciiChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

AnsiString UpperAscii(std::string_view text) {
    AnsiString out(text);
    for (char& c : out)
        c = UpperAsciiChar(c);
    return out;
}

AnsiString TrimLeftSpaces(std::string_view text) {
    std::size_t b = 0;
    while (b < text.size() && IsSpace(text[b]))
        ++b;
    return AnsiString(text.substr(b));
}

AnsiString TrimRightSpaces(std::string_view text) {
    std::size_t e = text.size();
    while (e > 0 && IsSpace(text[e - 1]))
        --e;
    return AnsiString(text.substr(0, e));
}

AnsiString TrimSpaces(std::string_view text) {
    return TrimLeftSpaces(TrimRightSpaces(text));
}

int ReplaceAll(std::string_view find, std::string_view replacement, AnsiString& text, bool matchCase) {
    if (find.empty())
        return 0;
    const AnsiString key = matchCase ? AnsiString(find) : UpperNoAccents(find);
    AnsiString out;
    out.reserve(text.size());
    int count = 0;
    std::size_t i = 0;
    // UpperNoAccents keeps the length, so positions in the folded text are positions in the original.
    const AnsiString haystack = matchCase ? text : UpperNoAccents(text);
    while (i < text.size()) {
        const std::size_t hit = haystack.find(key, i);
        if (hit == AnsiString::npos)
            break;
        out.append(text, i, hit - i);
        out.append(replacement);
        i = hit + key.size();
        ++count;
    }
    out.append(text, i, AnsiString::npos);
    text = std::move(out);
    return count;
}

AnsiString IntToStr(long long value) {
    return std::to_string(value);
}

} // namespace vendora
