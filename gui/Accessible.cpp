#include "gui/Accessible.h"

#include "base/Text.h"
#include "gui/TextLayout.h"

#include <utility>

namespace vendora {

std::string RoleName(AccessibleRole role) {
    switch (role) {
    case AccessibleRole::Window:
        return "window";
    case AccessibleRole::Dialog:
        return "dialog";
    case AccessibleRole::Alert:
        return "alert";
    case AccessibleRole::StaticText:
        return "static text";
    case AccessibleRole::PushButton:
        return "push button";
    case AccessibleRole::Link:
        return "link";
    case AccessibleRole::ProgressBar:
        return "progress bar";
    case AccessibleRole::CheckBox:
        return "check box";
    case AccessibleRole::RadioButton:
        return "radio button";
    case AccessibleRole::EditableText:
        return "editable text";
    case AccessibleRole::Graphic:
        return "graphic";
    }
    return "window";
}

std::string StateNames(unsigned states) {
    static constexpr std::pair<unsigned, const char*> Names[] = {
        {AccessibleState::Default, "default"},         {AccessibleState::Focused, "focused"},
        {AccessibleState::Focusable, "focusable"},     {AccessibleState::Checked, "checked"},
        {AccessibleState::ReadOnly, "read-only"},      {AccessibleState::Protected, "protected"},
        {AccessibleState::Unavailable, "unavailable"}, {AccessibleState::Pressed, "pressed"},
    };
    std::string names;
    for (const auto& [bit, name] : Names) {
        if ((states & bit) == 0)
            continue;
        if (!names.empty())
            names += ' ';
        names += name;
    }
    return names;
}

AnsiString SpokenText(std::string_view text) {
    AnsiString spoken;
    bool space = false;
    for (char c : text) {
        if (c == ' ' || c == '\r' || c == '\n' || c == '\t') {
            space = !spoken.empty();
            continue;
        }
        if (space)
            spoken += ' ';
        space = false;
        spoken += c;
    }
    return spoken;
}

AnsiString AccessibleName(const AnsiString& caption) {
    return SpokenText(StripHotKey(caption).Text);
}

AnsiString AccessibleShortcut(const AnsiString& caption) {
    const HotKeyText text = StripHotKey(caption);
    if (text.Underline < 0 || text.Underline >= static_cast<int>(text.Text.size()))
        return {};
    return AnsiString(1, UpperAsciiChar(text.Text[static_cast<std::size_t>(text.Underline)]));
}

} // namespace vendora
