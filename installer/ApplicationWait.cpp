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

void ShowWaitingWindow(DialogBackend& dialogs) {
    if (!attente)
        attente = CreateAttente(dialogs);
    attente->SetCaption(WaitingCaption());
    attente->SetLabel1(WaitingLabelText());
    attente->Show();
}

} // namespace

bool WaitForApplicationExit(Platform& machine, DialogBackend& dialogs,
                            std::optional<std::uint32_t> limitMilliseconds) {
    FileSystem& files = machine.Files();
    const std::uint64_t start = machine.TickCount();
    bool released = true;
    int counter = 1;
    std::unique_ptr<FileHandle> handle;
    for (;;) {
        ProcessMessages(dialogs);
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
            ShowWaitingWindow(dialogs);
        }
        if (handle)
            break;
        if (limitMilliseconds && machine.TickCount() - start >= *limitMilliseconds) {
            released = false;
            break;
        }
        // Once the window is up the user may take hours: between attempts the loop sleeps until a window
        // message comes or a tenth of a second has passed. The silent attempts before it stay back to back.
        if (counter >= DecisiveCount)
            WaitForMessage(dialogs, PauseMilliseconds);
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
