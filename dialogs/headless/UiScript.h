#pragma once
// The input script of a headless run: what the user does, one event a line, read in order as windows
// ask for input. UTF-8. Empty lines and lines starting with "#" are skipped.
//
//   key NAME     a key pressed, by its X keysym name: "key Return", "key Escape" (other keys are read too)
//   char C       one typed character: "char o"
//   click BN     a click on the button named BN of the window: "click B2"
//   close        the window closed from its title bar
//
// The reader checks every line when the script is loaded, so a mistyped script fails before the run.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vendora {

class UiScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct UiEvent {
    std::string Verb;     // "key", "char", "click", "close"
    std::string Argument; // UTF-8; empty for "close"
    int Line = 0;
    // The event as written, "key Return".
    std::string Text() const { return Argument.empty() ? Verb : Verb + " " + Argument; }
};

class UiScript {
public:
    UiScript() = default;
    // The events of a script text; name appears in error messages.
    static UiScript Parse(std::string_view utf8, const std::string& name = "script");
    // The events of a script file (a host path). Throws UiScriptError when it cannot be read.
    static UiScript Load(const std::string& hostPath);

    // The next event, or nothing when the script is used up.
    std::optional<UiEvent> Next();
    bool AtEnd() const { return next_ >= events_.size(); }
    // "name:line", for messages about an event.
    std::string Where(const UiEvent& event) const;

    // The button number of "click BN"; throws UiScriptError for another argument.
    static int ClickedButton(const UiEvent& event);

private:
    std::string name_ = "script";
    std::vector<UiEvent> events_;
    std::size_t next_ = 0;
};

} // namespace vendora
