#include "dialogs/MessagePump.h"

#include "dialogs/DialogBackend.h"

namespace vendora {

bool ProcessOneMessage() {
    return Dialogs().ProcessOneMessage();
}

void ProcessMessages() {
    while (ProcessOneMessage()) {
    }
}

} // namespace vendora
