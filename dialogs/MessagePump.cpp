#include "dialogs/MessagePump.h"

#include "dialogs/DialogBackend.h"

namespace vendora {

bool ProcessOneMessage(DialogBackend& dialogs) {
    return dialogs.ProcessOneMessage();
}

void WaitForMessage(DialogBackend& dialogs, int milliseconds) {
    dialogs.WaitForMessage(milliseconds);
}

void ProcessMessages(DialogBackend& dialogs) {
    while (ProcessOneMessage(dialogs)) {
    }
}

} // namespace vendora
