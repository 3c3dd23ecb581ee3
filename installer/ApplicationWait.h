#pragma once
// The wait of an update for the running application to let go of its executable.

namespace vendora {

class TAttente;

// Tries, without pause and handling pending window messages before each attempt, to open
// "c:\Vendora\Vendora.EXE" for reading and writing. Returns once it could (closing it again), or when the
// file is missing at the 499th attempt. At the 499th attempt, if the file exists, the waiting window comes
// up (created once per process) and stays until the open succeeds; it is hidden when the wait ends.
void WaitForApplicationExit();

// The waiting window of the process, or null before a wait has needed it.
TAttente* WaitingWindow();
// Destroys the waiting window; shut-down does this when the process ends.
void ReleaseWaitingWindow();

} // namespace vendora
