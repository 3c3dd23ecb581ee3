#pragma once
// The input script of a run without a display: what the user does, one event a line, UTF-8. Empty lines
// and lines starting with "#" are skipped. Every line is checked when the script is read, so a mistyped
// script fails before the run.
//
//   key NAME         a key pressed and released, by its X keysym name: "key Return", "key Escape", "key a",
//                    "key Tab", "key ISO_Left_Tab" (Shift+Tab), "key Left"
//   char C           one typed character: "char o"
//   click NAME       a left click in the middle of a control, found by its name ("B2", "SpeedButton1") or
//                    its caption without "&" ("Interrompre", "Oui")
//   close            the window closed from its title bar
//   snapshot NAME    a picture of every visible window (see VENDORA_UI_SNAPSHOTS)
//   wait CAPTION     taken only once a visible window's caption starts with CAPTION
//   move X Y         the mouse moved to (X, Y) in the client area of the window that takes input
//   press, release   the left mouse button

#include "gui/Backend.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vendora {

// A script that cannot be read, holds a wrong line, or asks for what the windows cannot give.
class InputScriptError : public InputSourceError {
public:
    using InputSourceError::InputSourceError;
};

struct InputEvent {
    std::string Verb;     // "key", "char", "click", "close", "snapshot", "wait", "move", "press", "release"
    std::string Argument; // UTF-8, as written after the verb
    int Line = 0;
    int X = 0; // of "move"
    int Y = 0;
    std::string Text() const { return Argument.empty() ? Verb : Verb + " " + Argument; }
};

class InputScript {
public:
    InputScript() = default;
    // The events of a script text; name appears in error messages.
    static InputScript Parse(std::string_view utf8, const std::string& name = "script");
    // The events of a script file (a host path); InputScriptError when it cannot be read.
    static InputScript Load(const std::string& hostPath);

    const InputEvent* Peek() const { return AtEnd() ? nullptr : &events_[next_]; }
    std::optional<InputEvent> Next();
    bool AtEnd() const { return next_ >= events_.size(); }
    std::string Where(const InputEvent& event) const { return name_ + ":" + std::to_string(event.Line); }

private:
    std::string name_ = "script";
    std::vector<InputEvent> events_;
    std::size_t next_ = 0;
};

// The virtual key of an X keysym name ("Return", "Escape", "a"...) and the character the key types, 0 when
// it types none. Nothing for a name that is not known.
struct KeyStroke {
    int VirtualKey = 0;
    char Character = 0;
    bool Shift = false;
};
std::optional<KeyStroke> KeyFromName(std::string_view name);

} // namespace vendora
