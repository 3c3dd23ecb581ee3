#include "dialogs/headless/UiScript.h"

#include "gui/headless/InputScript.h"

#include <fstream>
#include <sstream>

namespace vendora {

namespace {

bool IsButtonName(std::string_view text) {
    if (text.size() < 2 || text[0] != 'B' || text[1] == '0' || text.size() > 10)
        return false;
    for (char c : text.substr(1))
        if (c < '0' || c > '9')
            return false;
    return true;
}

// What the message box alone understands of the script language: the window back end's script also
// drives the mouse, takes snapshots and waits for windows, which a window without pixels cannot do.
std::string Problem(const InputEvent& event) {
    if (event.Verb == "key" || event.Verb == "char" || event.Verb == "close")
        return "";
    if (event.Verb == "click")
        return IsButtonName(event.Argument) ? "" : "\"click\" needs a button name, as in \"click B2\"";
    return "\"" + event.Verb + "\" needs the windows of the form framework";
}

} // namespace

UiScript UiScript::Parse(std::string_view utf8, const std::string& name) {
    InputScript parsed;
    try {
        parsed = InputScript::Parse(utf8, name);
    } catch (const InputScriptError& error) {
        throw UiScriptError(error.what());
    }
    UiScript script;
    script.name_ = name;
    while (auto event = parsed.Next()) {
        const std::string problem = Problem(*event);
        if (!problem.empty())
            throw UiScriptError(name + ":" + std::to_string(event->Line) + ": " + problem);
        script.events_.push_back(UiEvent{event->Verb, event->Argument, event->Line});
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
