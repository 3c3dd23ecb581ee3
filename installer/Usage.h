#pragma once
// The usage that /? shows.

#include "installer/InstallerTexts.h"

namespace vendora {

// The switches, the default wait and the exit codes, in French, as a message with the button "Ok".
MessageTexts UsageMessage();

} // namespace vendora
