#pragma once
// The installer's run: install or update Vendora from the archive the program carries.

#include "installer/InstallerHost.h"
#include "installer/Switches.h"

namespace vendora {

// How a run ended without an error it did not catch.
enum class RunEnd {
    Completed,         // installed or updated (and the application started when asked to)
    Declined,          // a question answered other than "Oui"
    StillRunning,      // a silent update gave up waiting for Vendora.EXE before anything was written
    BackupFailed,      // the backup of the old executable failed (reported)
    ReplacementFailed, // the copy of the new executable failed (reported)
};
struct RunOutcome {
    RunEnd End = RunEnd::Completed;
    int SystemCode = 0; // the Windows error code of a failed copy
};

// Runs the sequence once, from the opening question to the start of the application, into the target of
// the switches (TargetFolder); the first argument that is no switch is handed to the started application.
// Everything it reaches is the host's: each step goes to its log, each question to its dialogs, the
// extraction's progress to its progress window, every file, clock, shell, registry and shortcut call to its
// machine. A silent run (/S) asks its questions of the host's dialogs (which accept them) but opens no
// manual and starts nothing at the end, and an update waits for a running Vendora before anything is
// written, no longer than /WAIT=. The archive the program carries is checked whole before
// anything is written (EDamagedPayload). Errors it does not catch (archive file, extraction, shortcut,
// current folder) are raised to the caller.
RunOutcome RunInstaller(const InstallerSwitches& switches, const InstallerHost& host);

} // namespace vendora
