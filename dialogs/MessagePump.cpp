#include "dialogs/MessagePump.h"

#include "dialogs/DialogBackend.h"

namespace vendora {

bool ProcessOneMessage() {
    return Dialogs().ProcessOneMessage();
}

void WaitForMessage(int milliseconds) {
    Dialogs().WaitForMessage(milliseconds);
}

void ProcessMessages() {
    while (ProcessOneMessage()) {
    }
}

} // namespace vendora
