#pragma once
// The process's exit codes, one table for both programs. A run with windows ends as it always has: 0, or 1
// after the error box. A silent run (/S) says with its code why it ended.

#include "base/Errors.h"
#include "base/Text.h"
#include "installer/Installer.h"

#include <exception>
#include <span>

namespace vendora {

enum class ExitCode : int {
    Done = 0,           // installed or updated; with windows: the run ended, however
    Error = 1,          // an error not listed below
    CommandLine = 2,    // a switch with a wrong value; nothing done
    LogNotWritable = 3, // the file of /LOG= cannot be written; nothing done
    DamagedPayload = 4, // the archive the program carries is damaged; nothing written
    StillRunning = 5,   // Vendora still ran when /WAIT= ran out; nothing changed
    DiskFull = 6,
    AccessDenied = 7, // a read-only file, a folder the account may not write, a file another program holds
};

struct ExitCodeRow {
    ExitCode Code;
    const char* Meaning; // UTF-8
};
// Every code with its meaning in French, in order, as the usage and the README list them.
std::span<const ExitCodeRow> ExitCodeTable();

// The Windows error code (GetLastError) behind a failure: the system's code an I/O, file-open or
// file-create error carries, the runtime's own codes as Windows' (101, a full disk, is 112); 0 when the
// failure carries none.
int SystemCodeOf(const std::exception& error);
// The code of a failure with that Windows error code: the full disk, the refused access, else Error.
ExitCode ExitCodeOfSystemError(int systemCode);
// The code of an error that ended a silent run.
ExitCode ExitCodeOf(const std::exception& error);
// The code of a silent run that ended without such an error.
ExitCode ExitCodeOf(const RunOutcome& outcome);

// Raised, before anything is written, when the program's own archive does not inflate whole or its table
// is not one the extraction accepts; the text is the one of the failure found.
class EDamagedPayload : public Exception {
public:
    using Exception::Exception;
};

} // namespace vendora
