#pragma once
// Where the dialog windows come from. The installer talks to its windows through the back end it is
// handed (and the functions of MessageBox.h, Attente.h, MessagePump.h and ErrorBox.h on it): the windows
// of the form framework (dialogs/forms, FrameworkDialogs) in the program, SilentDialogs in a silent run,
// a back end of their own in tests.

#include "base/Color.h"
#include "base/Text.h"

#include <memory>

namespace vendora {

class TAttente;

class DialogBackend {
public:
    virtual ~DialogBackend() = default;
    // The modal message window; see ShowHtmlMessage.
    virtual int ShowHtmlMessage(const AnsiString& title, const AnsiString& text, const AnsiString& buttons,
                                TColor colour) = 0;
    // A new waiting window, hidden.
    virtual std::unique_ptr<TAttente> CreateAttente() = 0;
    // Removes one pending window message of the thread, translates and dispatches it; false when none
    // was waiting.
    virtual bool ProcessOneMessage() = 0;
    // Sleeps until a window message is waiting or about milliseconds have passed, whichever comes first;
    // handles nothing. A back end without a message queue has nothing to wait for.
    virtual void WaitForMessage(int milliseconds) { (void)milliseconds; }
    // The framework's box for an error nothing caught.
    virtual void ShowErrorBox(const AnsiString& title, const AnsiString& text) = 0;
};

} // namespace vendora
