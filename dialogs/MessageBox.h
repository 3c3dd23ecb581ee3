#pragma once
// The modal HTML message window: every question and report of the installer goes through it.

#include "base/Color.h"
#include "base/Text.h"

#include <vector>

namespace vendora {

class DialogBackend;

// Shows title, the markup text and one button per caption of buttons (captions separated by "#13") and
// returns the number of the chosen button counted from 1; Enter gives 1, Escape or closing the window 0.
// Colour 0 keeps the window white. The message window is the dialogs' back end's.
int ShowHtmlMessage(DialogBackend& dialogs, const AnsiString& title, const AnsiString& text,
                    const AnsiString& buttons, TColor colour);

// One button of a call, as the message window builds it.
struct MessageButton {
    AnsiString Caption; // with the "&" before its hot-key letter
    char HotKey;        // upper-cased a-z; 0 when the caption ends with its "&"
    int Number;         // 1, 2, ...; the button is named "B" + Number
};

// The buttons of a list: "#13" separates captions, each is cut to 255 characters and stripped of blanks at
// both ends; empty captions are skipped and not numbered. A caption without "&" gets one in front of it and
// its first letter as hot key; otherwise the letter after its first "&" is the hot key.
std::vector<MessageButton> SplitButtonList(const AnsiString& buttons);

// The button a typed character chooses: the first button whose hot key is the character upper-cased (a-z
// only); 0 when none.
int HotKeyButton(const std::vector<MessageButton>& buttons, char typed);

// The message text as the window shows it: "#13" and then every carriage return become "<P>".
AnsiString MessageMarkup(const AnsiString& text);

} // namespace vendora
