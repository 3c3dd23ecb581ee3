#include "startup/Startup.h"

#include "base/Errors.h"
#include "dialogs/ErrorBox.h"
#include "gui/Backend.h"
#include "installer/ApplicationWait.h"
#include "platform/Platform.h"
#include "startup/PictureCache.h"

#include <cstdio>

namespace vendora {

namespace {

// The shortcut support initialises COM once, however often start-up runs.
bool comInitialised = false;

void InitialiseCom() {
    if (comInitialised)
        return;
    Os().CoInitialize();
    comInitialised = true;
}

void UninitialiseCom() {
    if (!comInitialised)
        return;
    Os().CoUninitialize();
    comInitialised = false;
}

} // namespace

SharedUnits::SharedUnits(const WindowFactory& createWindows) {
    InitialiseCom();
    StartPictureCache();
    windows_ = createWindows();
    SetDialogBackend(windows_.Dialogs.get());
    SetExtractionUi(windows_.Progress.get());
}

SharedUnits::~SharedUnits() {
    ReleasePictureCache();
    UninitialiseCom();
    // The application object's windows, the waiting window among them, go last.
    ReleaseWaitingWindow();
    SetExtractionUi(nullptr);
    SetDialogBackend(nullptr);
    windows_.Progress.reset();
    windows_.Dialogs.reset();
}

int RunSequence(const std::function<void()>& sequence) {
    try {
        sequence();
        return 0;
    } catch (const InputSourceError&) {
        throw;
    } catch (const std::exception& error) {
        // Exception::what() is the Windows-1252 text, like Message().
        try {
            ShowApplicationError(error.what());
        } catch (const std::exception&) {
            // Piece by piece: nothing to allocate, and no formatting code in the Windows program.
            std::fputs(ApplicationErrorTitle().c_str(), stderr);
            std::fputs(": ", stderr);
            std::fputs(error.what(), stderr);
            std::fputc('\n', stderr);
        }
        return 1;
    }
}

} // namespace vendora
