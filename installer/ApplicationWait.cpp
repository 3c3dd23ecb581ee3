#include "installer/ApplicationWait.h"

#include "dialogs/Attente.h"
#include "dialogs/MessagePump.h"
#include "installer/FixedPaths.h"
#include "installer/InstallerTexts.h"
#include "platform/Platform.h"

#include <memory>

namespace vendora {

namespace {

// The counter starts at 1 and goes up before each attempt: attempt 499 sees 500.
constexpr int DecisiveCount = 500;
constexpr int PauseMilliseconds = 100;

std::unique_ptr<TAttente> attente;

void ShowWaitingWindow() {
    if (!attente)
        attente = CreateAttente();
    attente->SetCaption(WaitingCaption());
    attente->SetLabel1(WaitingLabelText());
    attente->Show();
}

} // namespace

bool WaitForApplicationExit(std::optional<std::uint32_t> limitMilliseconds) {
    FileSystem& files = Os().Files();
    const std::uint64_t start = Os().TickCount();
    bool released = true;
    int counter = 1;
    std::unique_ptr<FileHandle> handle;
    for (;;) {
        ProcessMessages();
        // The count matters only up to the decisive attempt; it stops there so that it never wraps round
        // to it again however long the application keeps running.
        if (counter <= DecisiveCount)
            ++counter;
        handle = files
                     .CreateFile(paths::RunningExecutable, FileAccess::GenericRead | FileAccess::GenericWrite,
                                 FileShare::Read | FileShare::Write, Disposition::OpenExisting)
                     .ValueOr(nullptr);
        if (counter == DecisiveCount) {
            if (!files.FileExists(paths::RunningExecutable)) {
                handle.reset();
                break;
            }
            ShowWaitingWindow();
        }
        if (handle)
            break;
        if (limitMilliseconds && Os().TickCount() - start >= *limitMilliseconds) {
            released = false;
            break;
        }
        // Once the window is up the user may take hours: between attempts the loop sleeps until a window
        // message comes or a tenth of a second has passed. The silent attempts before it stay back to back.
        if (counter >= DecisiveCount)
            WaitForMessage(PauseMilliseconds);
    }
    if (attente && attente->Visible())
        attente->Hide();
    handle.reset();
    return released;
}

TAttente* WaitingWindow() {
    return attente.get();
}

void ReleaseWaitingWindow() {
    attente.reset();
}

} // namespace vendora
