#pragma once
// The box the framework shows for an error that nothing caught, before the process ends with exit code 1.

#include "base/Text.h"

namespace vendora {

class DialogBackend;

// "Erreur d'application"
AnsiString ApplicationErrorTitle();

// Shows the error's text under the title above, in the dialogs' error box.
void ShowApplicationError(DialogBackend& dialogs, const AnsiString& text);

} // namespace vendora
