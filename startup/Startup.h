#pragma once
// Start-up and shut-down of the shared units, around the installer's sequence:
//
//   start-up   1. the application object, owner of the windows made for the whole run (the program's
//                 entry makes it and hands it to the windows it makes)
//              2. COM on the main thread (the shortcut support)
//              3. the picture cache, empty
//              4. the message window (and the progress window's interface), owned by the application
//   shut-down  1. the cached pictures are released
//              2. COM is uninitialised, when start-up initialised it
//              3. the application object goes, and with it the windows it owns

#include "archive/ExtractionUi.h"
#include "base/Text.h"
#include "dialogs/DialogBackend.h"
#include "html/pictures/Pictures.h"
#include "installer/InstallLog.h"
#include "installer/Switches.h"
#include "platform/Platform.h"

#include <functional>
#include <memory>
#include <optional>

namespace vendora {

// The windows start-up puts in place: the message window (with the waiting window and the message pump)
// and the interface the extraction shows its progress through. They are made with the cache that keeps
// the pictures of the program's messages.
struct RunWindows {
    std::unique_ptr<DialogBackend> Dialogs;
    std::unique_ptr<ExtractionUi> Progress;
};
using WindowFactory = std::function<RunWindows(PictureCache& pictures)>;

// The shared units' state for the lifetime of the object: the constructor runs start-up on the machine
// (COM), the destructor shut-down. In between the units keep the picture cache of the program's messages,
// and the windows, theirs to hand to the run (DialogWindows, ProgressWindow). The machine must outlive the
// object. The program chooses its windows: start-up makes them, with the cache, by createWindows at their
// place in the order.
class SharedUnits {
public:
    SharedUnits(Platform& machine, const WindowFactory& createWindows);
    ~SharedUnits();
    SharedUnits(const SharedUnits&) = delete;
    SharedUnits& operator=(const SharedUnits&) = delete;

    DialogBackend& DialogWindows() const { return *windows_.Dialogs; }
    ExtractionUi& ProgressWindow() const { return *windows_.Progress; }

private:
    Platform& machine_;
    bool comOwed_; // one CoUninitialize, for the CoInitialize that succeeded
    PictureCache pictures_;
    RunWindows windows_;
};

// Runs the sequence the way the program's entry does and gives the process's exit code: 0 after the
// sequence, however it ended; 1 after an error it did not catch, which is first shown in the dialogs' error
// box "Erreur d'application" with the error's text. A fault of the window back end's input source
// (InputSourceError: a faulty ui script) is not the program's and is raised to the caller.
int RunSequence(DialogBackend& dialogs, const std::function<void()>& sequence);

// The errors box of RunSequence for an error nothing caught, in the dialogs; 1, its exit code.
int ShowUncaughtError(DialogBackend& dialogs, const std::exception& error);

// The program's run as its command line asks, in three moments around start-up:
//   1. the constructor reads the switches (Switches.h) and opens the log, before anything else is done;
//      EarlyExit() then says when the run must end there (the file of /LOG= cannot be written);
//   2. start-up makes Windows(): the program's own, or for a silent run (/S) none at all, the dialogs
//      answering as a person accepting the install would (SilentDialogs, SilentExtractionUi);
//   3. Run() shows the usage (/?) or runs the sequence, handing it the machine, the units' windows and the
//      log (InstallerHost), logs how it ended and gives the exit code (ExitCodes.h): with windows 0, or 1
//      after the error box; silent, the code of what ended the run.
// The machine must outlive the object.
class ProgramRun {
public:
    ProgramRun(Platform& machine, const AnsiString& commandLine);
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    std::optional<int> EarlyExit() const { return earlyExit_; }
    bool Silent() const { return switches_.Silent; }
    WindowFactory Windows(const WindowFactory& forPeople) const;
    // After start-up, with its units. A fault of the window back end's input source is raised, as
    // RunSequence does.
    int Run(const SharedUnits& units);

private:
    int End(int code);
    int Refuse(DialogBackend& dialogs, const AnsiString& fault, int silentCode);
    int ShowUsage(DialogBackend& dialogs);
    int Install(const SharedUnits& units);

    Platform& machine_;
    InstallerSwitches switches_;
    InstallLog log_;
    AnsiString logFault_;
    std::optional<int> earlyExit_;
};

} // namespace vendora
