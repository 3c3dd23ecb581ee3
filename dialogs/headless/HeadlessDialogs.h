#pragma once
// The dialog back end of a run without windows: each message window is written to the transcript and
// answered from the ui script; when the script is used up, or there is none, every window is answered
// with Enter. There is no window system, so no window message is ever pending.
//
// The environment of the process chooses the files: VENDORA_UI_SCRIPT names the script (none: Enter
// everywhere) and VENDORA_UI_TRANSCRIPT the transcript (unset: stderr). Both are UTF-8.

#include "dialogs/Attente.h"
#include "dialogs/DialogBackend.h"
#include "dialogs/MessageBox.h"
#include "dialogs/headless/Transcript.h"
#include "dialogs/headless/UiScript.h"

#include <memory>
#include <optional>
#include <vector>

namespace vendora {

class HeadlessDialogs : public DialogBackend {
public:
    HeadlessDialogs(UiScript script, std::unique_ptr<Transcript> transcript);
    // Script and transcript from VENDORA_UI_SCRIPT and VENDORA_UI_TRANSCRIPT. Throws UiScriptError for a
    // script that cannot be read or holds a wrong line.
    static std::unique_ptr<HeadlessDialogs> FromEnvironment();

    int ShowHtmlMessage(const AnsiString& title, const AnsiString& text, const AnsiString& buttons,
                        TColor colour) override;
    std::unique_ptr<TAttente> CreateAttente() override;
    bool ProcessOneMessage() override { return false; }
    // Written to the transcript, and to stderr as well when the transcript goes elsewhere.
    void ShowErrorBox(const AnsiString& title, const AnsiString& text) override;

    Transcript& Log() { return *transcript_; }
    UiScript& Script() { return script_; }

private:
    // Reads events until one ends the window; throws UiScriptError for a click on a missing button.
    int Answer(const std::vector<MessageButton>& buttons);
    std::optional<int> Outcome(const UiEvent& event, const std::vector<MessageButton>& buttons) const;

    UiScript script_;
    std::unique_ptr<Transcript> transcript_;
};

} // namespace vendora
