#pragma once
// What a screen reader finds in a form's window on Windows. Our windows paint their own text and buttons,
// so the system sees only an empty client area: the window answers WM_GETOBJECT for it with an MSAA
// IAccessible object of its own over the form's accessible tree (Form::Describe), the window its role and
// caption, the elements simple children (ids 1..N in reading order). oleacc.dll is loaded only when a
// reader first asks: most runs meet none, and the program starts without it.
//
// No Windows header here, as in Win32Backend.h: handles are void*, message parameters plain integers.

#include "gui/Accessible.h"

#include <cstdint>

namespace vendora {

class Form;
class FormAccessible;

// The private message by which a reader's default action comes back to the window (WM_APP + 0x41): the
// object answers the reader at once and the button is pressed when the window takes its messages, so that
// no reader waits on what the press starts (a modal window, the end of the run). wParam is the child id.
inline constexpr unsigned DefaultActionMessage = 0x8000u + 0x41u;

// The accessible side of one native window, which owns it. The object it hands out lives as long as the
// readers hold it; the form does not: once the window goes, every call on the object fails
// (RPC_E_DISCONNECTED) and readers in other processes are cut off (CoDisconnectObject).
class AccessibleServer {
public:
    AccessibleServer(Form& form, void* hwnd) : form_(form), hwnd_(hwnd) {}
    ~AccessibleServer();
    AccessibleServer(const AccessibleServer&) = delete;
    AccessibleServer& operator=(const AccessibleServer&) = delete;

    // The answer to WM_GETOBJECT when it asks for the client area (OBJID_CLIENT): true with the result
    // LresultFromObject made. False for any other object, or without oleacc: the system answers then.
    bool Answer(std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t& result);

private:
    Form& form_;
    void* hwnd_;
    FormAccessible* object_ = nullptr;
};

// Tells the readers what happened to the window (child 0) or one of its elements (NotifyWinEvent on the
// client area).
void AnnounceToReaders(void* hwnd, AccessibleEvent event, int child);

} // namespace vendora
