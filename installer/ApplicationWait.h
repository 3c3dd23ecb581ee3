#pragma once
// The wait of an update for the running application to let go of its executable.

namespace vendora {

class TAttente;

// Tries, handling pending window messages before each attempt, to open "c:\Vendora\Vendora.EXE" for
// reading and writing. Returns once it could (closing it again), or when the file is missing at the 499th
// attempt. The first 499 attempts follow one another without pause; at the 499th, if the file exists, the
// waiting window comes up (created once per process) and stays until the open succeeds, and from then on
// the back end's wait for input (at most about 100 ms) separates the attempts. The window is hidden when the
// wait ends.
void WaitForApplicationExit();

// The waiting window of the process, or null before a wait has needed it.
TAttente* WaitingWindow();
// Destroys the waiting window; shut-down does this when the process ends.
void ReleaseWaitingWindow();

} // namespace vendora
