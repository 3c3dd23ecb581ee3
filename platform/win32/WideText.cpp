#include "platform/win32/WideText.h"

#include "base/Cp1252.h"

#include <algorithm>

namespace vendora {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

std::wstring ByTable(std::string_view text) {
    const std::u16string wide = AnsiToUtf16(text);
    return std::wstring(wide.begin(), wide.end());
}

AnsiString ByTable(std::wstring_view text) {
    return Utf16ToAnsi(std::u16string(text.begin(), text.end()));
}

// Where an argument of a command line begins or ends, as the program splits it: blanks, control
// characters and double quotes.
bool EndsAnArgument(char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == '"';
}

} // namespace

AnsiString SystemTexts::FromSystem(std::wstring_view text) {
    AnsiString seen = ByTable(text);
    if (ByTable(std::string_view(seen)) == text)
        return seen;
    const bool known =
        std::any_of(kept_.begin(), kept_.end(), [&](const Kept& kept) { return kept.Original == text; });
    if (!known)
        kept_.push_back({std::wstring(text), seen});
    return seen;
}

// The kept text the part of text from start on was made from: the part begins with the kept text whole (a
// name was put after it), or cut short, or with one argument of it (a command line), and goes on past it or
// ends with it. Of several, the longest agreement tells which; two that agree as far and would fill the
// text differently fill nothing. Length 0 when none fills a '?'.
SystemTexts::Fill SystemTexts::FillFrom(std::string_view text, std::size_t start) const {
    Fill best;
    bool ambiguous = false;
    for (const Kept& kept : kept_) {
        const std::string_view seen = kept.Seen;
        for (std::size_t offset = 0; offset < seen.size(); ++offset) {
            if (offset > 0 && !EndsAnArgument(seen[offset - 1]))
                continue;
            std::size_t length = 0;
            while (start + length < text.size() && offset + length < seen.size() &&
                   text[start + length] == seen[offset + length])
                ++length;
            const bool madeFromIt = start + length == text.size() || offset + length == seen.size() ||
                                    EndsAnArgument(seen[offset + length]);
            if (!madeFromIt || length < best.Length ||
                seen.substr(offset, length).find('?') == std::string_view::npos)
                continue;
            const std::wstring_view original = std::wstring_view(kept.Original).substr(offset, length);
            if (length > best.Length) {
                best = {length, original};
                ambiguous = false;
            } else if (original != best.Original) {
                ambiguous = true;
            }
        }
    }
    return ambiguous ? Fill{} : best;
}

std::wstring SystemTexts::ToSystem(std::string_view text) const {
    std::wstring wide = ByTable(text);
    if (kept_.empty())
        return wide;
    // Each argument that still holds a '?' may begin a text of the system.
    for (std::size_t start = 0; text.find('?', start) != std::string_view::npos; ++start) {
        if (start > 0 && !EndsAnArgument(text[start - 1]))
            continue;
        const Fill fill = FillFrom(text, start);
        if (fill.Length == 0)
            continue;
        wide.replace(start, fill.Length, fill.Original);
        start += fill.Length - 1;
    }
    return wide;
}

SystemTexts& ProcessTexts() {
    static SystemTexts texts;
    return texts;
}

std::wstring Wide(std::string_view text) {
    return ProcessTexts().ToSystem(text);
}

AnsiString Narrow(std::wstring_view text) {
    return ProcessTexts().FromSystem(text);
}

} // namespace vendora
