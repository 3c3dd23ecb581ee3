#include "startup/Startup.h"

#include "base/Errors.h"
#include "dialogs/ErrorBox.h"
#include "gui/Backend.h"
#include "installer/ApplicationWait.h"
#include "platform/Platform.h"

#include <cstdio>

namespace vendora {

SharedUnits::SharedUnits(const WindowFactory& createWindows)
    : comOwed_(Os().CoInitialize()), picturesInstalled_(pictures_), windows_(createWindows()),
      dialogsInstalled_(*windows_.Dialogs), progressInstalled_(*windows_.Progress) {}

// The windows go last, with the members, once the installations of their interfaces are undone.
SharedUnits::~SharedUnits() {
    pictures_.Release();
    if (comOwed_)
        Os().CoUninitialize();
    ReleaseWaitingWindow();
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
