#include "dialogs/DialogBackend.h"

#include <stdexcept>

namespace vendora {

namespace {
DialogBackend* current = nullptr;
}

DialogBackend& Dialogs() {
    if (current == nullptr)
        throw std::logic_error("no dialog back end installed");
    return *current;
}

void SetDialogBackend(DialogBackend* backend) {
    current = backend;
}

bool HasDialogBackend() {
    return current != nullptr;
}

} // namespace vendora
