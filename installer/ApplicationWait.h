#pragma once
// The wait of an update for the running application to let go of its executable.

#include <cstdint>
#include <optional>

namespace vendora {

class DialogBackend;
class Platform;
class TAttente;

// Tries, handling pending window messages before each attempt, to open "c:\Vendora\Vendora.EXE" for
// reading and writing. Returns once it could (closing it again), or when the file is missing at the 499th
// attempt. The first 499 attempts follow one another without pause; at the 499th, if the file exists, the
// waiting window comes up (created once per process) and stays until the open succeeds, and from then on
// the back end's wait for input (at most about 100 ms) separates the attempts. The window is hidden when the
// wait ends. With a limit (a silent update's /WAIT=), the wait gives up once that many milliseconds have
// passed since it began and an attempt has failed, and answers false; else it answers true. The file and
// the clock are the machine's, the window, the messages and the back end's wait the dialogs'.
bool WaitForApplicationExit(Platform& machine, DialogBackend& dialogs,
                            std::optional<std::uint32_t> limitMilliseconds = std::nullopt);

// The waiting window of the process, or null before a wait has needed it.
TAttente* WaitingWindow();
// Destroys the waiting window; shut-down does this when the process ends.
void ReleaseWaitingWindow();

} // namespace vendora
