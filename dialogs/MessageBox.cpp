#include "dialogs/MessageBox.h"

#include "dialogs/DialogBackend.h"

namespace vendora {

namespace {
constexpr char CR = '\r';
constexpr std::size_t CaptionCapacity = 255;
} // namespace

int ShowHtmlMessage(DialogBackend& dialogs, const AnsiString& title, const AnsiString& text,
                    const AnsiString& buttons, TColor colour) {
    return dialogs.ShowHtmlMessage(title, text, buttons, colour);
}

std::vector<MessageButton> SplitButtonList(const AnsiString& buttons) {
    AnsiString list = buttons;
    ReplaceAll("#13", AnsiString(1, CR), list, true);
    if (list.empty() || list.back() != CR)
        list += CR;
    std::vector<MessageButton> result;
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = list.find(CR, start);
        AnsiString caption =
            TrimSpaces(CutTo(std::string_view(list).substr(start, end - start), CaptionCapacity));
        start = end + 1;
        if (caption.empty())
            continue;
        MessageButton button{};
        const std::size_t amp = caption.find('&');
        if (amp == AnsiString::npos) {
            button.HotKey = UpperAsciiChar(caption[0]);
            caption = CutTo("&" + caption, CaptionCapacity);
        } else {
            button.HotKey = amp + 1 < caption.size() ? UpperAsciiChar(caption[amp + 1]) : '\0';
        }
        button.Caption = caption;
        button.Number = static_cast<int>(result.size()) + 1;
        result.push_back(button);
    }
    return result;
}

int HotKeyButton(const std::vector<MessageButton>& buttons, char typed) {
    const char key = UpperAsciiChar(typed);
    if (key == '\0')
        return 0;
    for (const MessageButton& button : buttons)
        if (button.HotKey == key)
            return button.Number;
    return 0;
}

AnsiString MessageMarkup(const AnsiString& text) {
    AnsiString markup = text;
    ReplaceAll("#13", AnsiString(1, CR), markup, true);
    ReplaceAll(AnsiString(1, CR), "<P>", markup, true);
    return markup;
}

} // namespace vendora
