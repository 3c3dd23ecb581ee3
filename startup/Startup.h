#pragma once
// Start-up and shut-down of the shared units, around the installer's sequence:
//
//   start-up   1. the application object, owner of the windows made for the whole run
//              2. COM on the main thread (the shortcut support)
//              3. the picture cache, empty
//              4. the message window (and the progress window's interface), owned by the application
//   shut-down  1. the cached pictures are released
//              2. COM is uninitialised, when start-up initialised it
//              3. the application object goes, and with it the windows it owns

#include "archive/ExtractionUi.h"
#include "base/Installed.h"
#include "base/Text.h"
#include "dialogs/DialogBackend.h"
#include "html/pictures/Pictures.h"

#include <functional>
#include <memory>

namespace vendora {

// The windows start-up puts in place: the message window (with the waiting window and the message pump)
// and the interface the extraction shows its progress through.
struct RunWindows {
    std::unique_ptr<DialogBackend> Dialogs;
    std::unique_ptr<ExtractionUi> Progress;
};
using WindowFactory = std::function<RunWindows()>;

// The shared units' state for the lifetime of the object: the constructor runs start-up, the destructor
// shut-down; the picture cache, the dialog windows and the progress window are installed in between. A
// platform must be installed (Install<Platform>) before, and stay until after. The program chooses its
// windows: start-up makes them with createWindows at their place in the order.
class SharedUnits {
public:
    explicit SharedUnits(const WindowFactory& createWindows);
    ~SharedUnits();
    SharedUnits(const SharedUnits&) = delete;
    SharedUnits& operator=(const SharedUnits&) = delete;

private:
    bool comOwed_; // one CoUninitialize, for the CoInitialize that succeeded
    PictureCache pictures_;
    Install<PictureCache> picturesInstalled_;
    RunWindows windows_;
    Install<DialogBackend> dialogsInstalled_;
    Install<ExtractionUi> progressInstalled_;
};

// Runs the sequence the way the program's entry does and gives the process's exit code: 0 after the
// sequence, however it ended; 1 after an error it did not catch, which is first shown in the error box
// "Erreur d'application" with the error's text. A fault of the window back end's input source
// (InputSourceError: a faulty ui script) is not the program's and is raised to the caller.
int RunSequence(const std::function<void()>& sequence);

} // namespace vendora
