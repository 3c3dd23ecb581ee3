#include "dialogs/ErrorBox.h"

#include "dialogs/DialogBackend.h"

namespace vendora {

AnsiString ApplicationErrorTitle() {
    return "Erreur d'application";
}

void ShowApplicationError(DialogBackend& dialogs, const AnsiString& text) {
    dialogs.ShowErrorBox(ApplicationErrorTitle(), text);
}

} // namespace vendora
