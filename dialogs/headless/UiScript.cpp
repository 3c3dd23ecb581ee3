#include "dialogs/headless/UiScript.h"

#include <fstream>
#include <sstream>

namespace vendora {

namespace {

std::string Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t b = 0, e = text.size();
    while (b < e && blank(text[b]))
        ++b;
    while (e > b && blank(text[e - 1]))
        --e;
    return std::string(text.substr(b, e - b));
}

// Bytes of the UTF-8 character that starts with lead; 0 for a byte that cannot start one.
std::size_t Utf8Length(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool IsOneCharacter(std::string_view text) {
    return !text.empty() && Utf8Length(static_cast<unsigned char>(text[0])) == text.size();
}

bool IsButtonName(std::string_view text) {
    if (text.size() < 2 || text[0] != 'B' || text[1] == '0' || text.size() > 10)
        return false;
    for (char c : text.substr(1))
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Checks an event's argument; the text of the problem, or empty when the event is well formed.
std::string Problem(const UiEvent& event) {
    if (event.Verb == "key")
        return event.Argument.empty() || event.Argument.find(' ') != std::string::npos
                   ? "\"key\" needs one key name, as in \"key Return\""
                   : "";
    if (event.Verb == "char")
        return IsOneCharacter(event.Argument) ? "" : "\"char\" needs exactly one character, as in \"char o\"";
    if (event.Verb == "click")
        return IsButtonName(event.Argument) ? "" : "\"click\" needs a button name, as in \"click B2\"";
    if (event.Verb == "close")
        return event.Argument.empty() ? "" : "\"close\" takes no argument";
    return "unknown event \"" + event.Verb + "\"";
}

} // namespace

UiScript UiScript::Parse(std::string_view utf8, const std::string& name) {
    UiScript script;
    script.name_ = name;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < utf8.size()) {
        std::size_t end = utf8.find('\n', start);
        if (end == std::string_view::npos)
            end = utf8.size();
        std::string_view line = utf8.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        UiEvent event;
        event.Line = lineNumber;
        const std::size_t space = trimmed.find(' ');
        event.Verb = trimmed.substr(0, space);
        if (event.Verb == "char") {
            // A typed blank is written "char  ": the character argument is taken as it stands.
            const std::size_t verbAt = line.find_first_not_of(" \t");
            const std::size_t at = line.find(' ', verbAt);
            if (at != std::string_view::npos)
                event.Argument = std::string(line.substr(at + 1));
            if (!IsOneCharacter(event.Argument) && IsOneCharacter(Trim(event.Argument)))
                event.Argument = Trim(event.Argument);
        } else if (space != std::string::npos) {
            event.Argument = Trim(std::string_view(trimmed).substr(space));
        }
        const std::string problem = Problem(event);
        if (!problem.empty())
            throw UiScriptError(name + ":" + std::to_string(lineNumber) + ": " + problem);
        script.events_.push_back(std::move(event));
    }
    return script;
}

UiScript UiScript::Load(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in)
        throw UiScriptError("cannot read the ui script " + hostPath);
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str(), hostPath);
}

std::optional<UiEvent> UiScript::Next() {
    if (AtEnd())
        return std::nullopt;
    return events_[next_++];
}

std::string UiScript::Where(const UiEvent& event) const {
    return name_ + ":" + std::to_string(event.Line);
}

int UiScript::ClickedButton(const UiEvent& event) {
    if (event.Verb != "click" || !IsButtonName(event.Argument))
        throw UiScriptError("not a button click: " + event.Text());
    return std::stoi(event.Argument.substr(1));
}

} // namespace vendora
