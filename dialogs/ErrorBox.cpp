#include "dialogs/ErrorBox.h"

#include "dialogs/DialogBackend.h"

namespace vendora {

AnsiString ApplicationErrorTitle() {
    return "Erreur d'application";
}

void ShowApplicationError(const AnsiString& text) {
    Dialogs().ShowErrorBox(ApplicationErrorTitle(), text);
}

} // namespace vendora
