#pragma once
// What a screen reader is told about a window. Our windows paint their own text and buttons, so no system
// can see what they show: each form describes itself as a flat tree (the window, then its elements in
// reading order), which the Windows back end serves to readers (IAccessible) and the transcript writes one
// line per element. Nothing here knows a platform.

#include "base/Text.h"
#include "gfx/Geometry.h"

#include <string>
#include <string_view>
#include <vector>

namespace vendora {

class Control;

enum class AccessibleRole {
    Window,
    Dialog, // a question that waits for its answer
    Alert,  // a report the user must acknowledge before the work goes on
    StaticText,
    PushButton,
    Link,
    ProgressBar,
    CheckBox,
    RadioButton,
    EditableText,
    Graphic,
};

// The role as the transcript writes it ("push button").
std::string RoleName(AccessibleRole role);

namespace AccessibleState {
inline constexpr unsigned Default = 1;      // the button Enter presses when no other has the focus
inline constexpr unsigned Focused = 2;      // has the keyboard focus
inline constexpr unsigned Focusable = 4;    // can take the keyboard focus
inline constexpr unsigned Checked = 8;      // a ticked box, a chosen radio button
inline constexpr unsigned ReadOnly = 16;    // shows a value nobody can change (the markup's form pictures)
inline constexpr unsigned Protected = 32;   // a password field: its value is not read out
inline constexpr unsigned Unavailable = 64; // disabled
inline constexpr unsigned Pressed = 128;    // a button held down
} // namespace AccessibleState

// The states as the transcript writes them ("default focused focusable"), empty when none.
std::string StateNames(unsigned states);

struct AccessibleElement {
    AccessibleRole Role = AccessibleRole::StaticText;
    AnsiString Name;
    AnsiString Value;    // a field's text, a progress bar's "42 %"
    AnsiString Shortcut; // the hot-key letter of a button ("O" for "&Oui")
    unsigned States = 0;
    IntRect Bounds; // in the form's client area, device pixels
    // What the element's default action presses; null when it has none.
    Control* Target = nullptr;
};

struct AccessibleTree {
    AccessibleRole Role = AccessibleRole::Window;
    AnsiString Name; // the caption
    // In reading order. A reader's child id is the index here plus one; 0 is the window itself.
    std::vector<AccessibleElement> Children;
};

// What a window tells a screen reader happened, on the window (child 0) or one of its elements.
enum class AccessibleEvent {
    DialogStart, // a question came up
    Alert,       // a report came up
    Focus,       // the element took the keyboard focus
    ValueChange, // a progress bar moved
    NameChange,  // a text changed
};

// A text as a reader speaks it: blanks and line breaks one space, none at the ends.
AnsiString SpokenText(std::string_view text);
// The caption of a control without its hot-key marks, as read out ("&Oui" gives "Oui"), and its letter.
AnsiString AccessibleName(const AnsiString& caption);
AnsiString AccessibleShortcut(const AnsiString& caption);

} // namespace vendora
