#pragma once
// The switches of an unattended run, as deployment tools pass them: /S, /D=FOLDER, /LOG=FILE, /WAIT=SECONDS
// and /?. They are recognised in any position and letter case and never reach the started application; the
// first other argument keeps its meaning (the target when it holds ':', always handed to the application).

#include "base/Text.h"

#include <optional>
#include <string_view>

namespace vendora {

// How long a silent update waits for a running Vendora by default, and at most.
inline constexpr int DefaultWaitSeconds = 60;
inline constexpr int MaxWaitSeconds = 86400;

struct InstallerSwitches {
    bool Silent = false; // /S: no window, every question accepted, the application not started
    bool Help = false;   // /?: the usage, nothing else
    // /D=FOLDER: the target folder. Unquoted, it runs up to the next argument starting with '/', so that a
    // folder with blanks may be the last argument, as deployment tools write it.
    std::optional<AnsiString> Folder;
    // /LOG=FILE, or an empty path for /LOG alone (the log in the temporary folder).
    std::optional<AnsiString> Log;
    int WaitSeconds = DefaultWaitSeconds;
    bool WaitGiven = false;
    // The first argument that is no switch (empty when none).
    AnsiString Argument;
    // What is wrong with the switches, in French; empty when nothing.
    AnsiString Fault;
};

// The switches of a whole command line (program name first, as Windows keeps it).
InstallerSwitches ReadSwitches(std::string_view commandLine);

// The target folder: /D=, else the argument when it holds ':', else "C:\Vendora".
AnsiString TargetFolder(const InstallerSwitches& switches);

} // namespace vendora
