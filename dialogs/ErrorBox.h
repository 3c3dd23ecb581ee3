#pragma once
// The box the framework shows for an error that nothing caught, before the process ends with exit code 1.

#include "base/Text.h"

namespace vendora {

// "Erreur d'application"
AnsiString ApplicationErrorTitle();

// Shows the error's text under the title above.
void ShowApplicationError(const AnsiString& text);

} // namespace vendora
