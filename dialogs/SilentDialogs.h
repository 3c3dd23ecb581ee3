#pragma once
// The dialog windows of a silent run (/S): nothing is shown, no window is made, and every message is
// answered as a person accepting the install or update would, with its first button ("Oui", "Ok").

#include "dialogs/Attente.h"
#include "dialogs/DialogBackend.h"
#include "platform/Platform.h"

namespace vendora {

class SilentDialogs : public DialogBackend {
public:
    // machine sleeps the waits.
    explicit SilentDialogs(Platform& machine) : machine_(machine) {}

    int ShowHtmlMessage(const AnsiString&, const AnsiString&, const AnsiString&, TColor) override {
        return 1;
    }
    // A waiting window that is never painted: showing it changes its state only.
    std::unique_ptr<TAttente> CreateAttente() override { return std::make_unique<TAttente>(); }
    bool ProcessOneMessage() override { return false; }
    // No message can come: the time is simply slept, so that a wait does not keep a processor busy.
    void WaitForMessage(int milliseconds) override;
    // A silent run reports its error in its log and its exit code.
    void ShowErrorBox(const AnsiString&, const AnsiString&) override {}

private:
    Platform& machine_;
};

} // namespace vendora
