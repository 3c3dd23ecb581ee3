#include "dialogs/DialogBackend.h"

#include "base/Installed.h"


namespace vendora {

namespace {
Installed<DialogBackend> installed("dialog back end", "SetDialogBackend");
}

DialogBackend& Dialogs() {
    return installed.Get();
}

void SetDialogBackend(DialogBackend* backend) {
    installed.Set(backend);
}

bool HasDialogBackend() {
    return installed.Has();
}

} // namespace vendora
