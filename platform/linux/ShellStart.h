#pragma once
// Starting programs for ShellExecute: detached from the installer (a new session, reparented to init as
// soon as it runs, so no zombie remains), standard output and error inherited, standard input from
// /dev/null, no other descriptor of ours.

#include <optional>
#include <string>
#include <vector>

namespace vendora {

// Starts program with arguments (argv[1]...) in folder. Returns 0 once the program is executing, else the
// errno of the failed start. Waits only for the exec itself, never for the program.
int StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& folder);

// The full path of an executable found on $PATH.
std::optional<std::string> FindOnPath(const std::string& name);

// True for a file that Linux can run by itself: an ELF image or a "#!" script, whatever its mode bits.
bool IsNativeProgram(const std::string& hostPath);

// Windows runs a program whatever mode bits the emulated drive gave it (an extracted "vendora.exe" is
// created like any other file), so a native program about to be started gets the execute bits that match
// its read bits. False when they cannot be set.
bool MakeRunnable(const std::string& hostPath);

} // namespace vendora
