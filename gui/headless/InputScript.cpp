#include "gui/headless/InputScript.h"

#include "base/Cp1252.h"
#include "gui/Backend.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace vendora {
namespace {

std::string Trim(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && blank(text[b]))
        ++b;
    while (e > b && blank(text[e - 1]))
        --e;
    return std::string(text.substr(b, e - b));
}

bool IsOneCharacter(std::string_view utf8) {
    return !utf8.empty() && Utf8ToAnsi(utf8).size() == 1;
}

bool ParseInt(std::string_view text, int& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseMove(InputEvent& event) {
    std::size_t space = event.Argument.find(' ');
    if (space == std::string::npos)
        return false;
    return ParseInt(std::string_view(event.Argument).substr(0, space), event.X) &&
           ParseInt(Trim(std::string_view(event.Argument).substr(space + 1)), event.Y);
}

// The problem with an event, or empty when it is well formed.
std::string Problem(InputEvent& event) {
    const std::string& verb = event.Verb;
    const bool hasArgument = !event.Argument.empty();
    if (verb == "key")
        return KeyFromName(event.Argument) ? "" : "\"key\" needs a key name, as in \"key Return\"";
    if (verb == "char")
        return IsOneCharacter(event.Argument) ? "" : "\"char\" needs exactly one character, as in \"char o\"";
    if (verb == "click" || verb == "snapshot" || verb == "wait")
        return hasArgument ? "" : "\"" + verb + "\" needs an argument";
    if (verb == "move")
        return ParseMove(event) ? "" : "\"move\" needs two whole numbers, as in \"move 20 30\"";
    if (verb == "close" || verb == "press" || verb == "release")
        return hasArgument ? "\"" + verb + "\" takes no argument" : "";
    return "unknown event \"" + verb + "\"";
}

} // namespace

std::optional<KeyStroke> KeyFromName(std::string_view name) {
    if (name == "Return" || name == "KP_Enter") {
        return KeyStroke{VirtualKey::Return, '\r'};
    }
    if (name == "Escape") {
        return KeyStroke{VirtualKey::Escape, 27};
    }
    if (name == "space") {
        return KeyStroke{VirtualKey::Space, ' '};
    }
    if (name == "Tab") {
        return KeyStroke{VirtualKey::Tab, '\t'};
    }
    // Shift+Tab, as X names it.
    if (name == "ISO_Left_Tab") {
        return KeyStroke{VirtualKey::Tab, '\t', true};
    }
    if (name == "Left" || name == "Up" || name == "Right" || name == "Down") {
        const int key = name == "Left"    ? VirtualKey::Left
                        : name == "Up"    ? VirtualKey::Up
                        : name == "Right" ? VirtualKey::Right
                                          : VirtualKey::Down;
        return KeyStroke{key, 0};
    }
    if (name == "BackSpace") {
        return KeyStroke{VirtualKey::Back, 8};
    }
    if (name.size() == 1) {
        char c = name[0];
        if (c >= 'a' && c <= 'z') {
            return KeyStroke{c - 'a' + 'A', c};
        }
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            return KeyStroke{c, c};
        }
    }
    // Function keys and the like: a key that types nothing.
    if (name.size() >= 2 && name[0] == 'F') {
        int number = 0;
        if (ParseInt(name.substr(1), number) && number >= 1 && number <= 24) {
            return KeyStroke{0x6F + number, 0};
        }
    }
    return std::nullopt;
}

InputScript InputScript::Parse(std::string_view utf8, const std::string& name) {
    InputScript script;
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
        std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        InputEvent event;
        event.Line = lineNumber;
        std::size_t space = trimmed.find(' ');
        event.Verb = trimmed.substr(0, space);
        if (event.Verb == "char") {
            // A typed blank is written "char  ": the argument is taken as it stands.
            std::size_t verbAt = line.find_first_not_of(" \t");
            std::size_t at = line.find(' ', verbAt);
            if (at != std::string_view::npos)
                event.Argument = std::string(line.substr(at + 1));
            if (!IsOneCharacter(event.Argument) && IsOneCharacter(Trim(event.Argument)))
                event.Argument = Trim(event.Argument);
        } else if (space != std::string::npos) {
            event.Argument = Trim(std::string_view(trimmed).substr(space));
        }
        std::string problem = Problem(event);
        if (!problem.empty())
            throw InputScriptError(name + ":" + std::to_string(lineNumber) + ": " + problem);
        script.events_.push_back(std::move(event));
    }
    return script;
}

InputScript InputScript::Load(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in)
        throw InputScriptError("cannot read the ui script " + hostPath);
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str(), hostPath);
}

std::optional<InputEvent> InputScript::Next() {
    if (AtEnd())
        return std::nullopt;
    return events_[next_++];
}

} // namespace vendora
