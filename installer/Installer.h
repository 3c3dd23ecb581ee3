#pragma once
// The installer's run: install or update Vendora from the archive the program carries.

#include "base/Text.h"

namespace vendora {

// Runs the sequence once, from the opening question to the start of the application. The first argument
// of the command line, when it contains ":", is the target folder; it is always handed to the started
// application. Returns however the user ends the run; errors it does not catch (archive file, extraction,
// shortcut, current folder) are raised to the caller.
void RunInstaller(const AnsiString& commandLine);

} // namespace vendora
