#pragma once
// The installer's windows on the form framework, behind the seams the installer and the extraction talk
// to: the message window (TFMB), the waiting window and the message pump as a DialogBackend, and the
// progress window (TProgression) as the extraction's ExtractionUi.
//
// With a transcript, every call is also written there in the records of a headless run (message, answer,
// ignored, attente, progress, error; see dialogs/headless/Transcript.h), the answers and ignored events
// taken from the headless back end's script; script events taken outside a message are written as
//   input event="click Interrompre" line=4

#include "archive/ExtractionUi.h"
#include "dialogs/DialogBackend.h"
#include "dialogs/headless/Transcript.h"
#include "dialogs/windows/Progression.h"
#include "gui/headless/HeadlessBackend.h"

#include <memory>
#include <optional>

namespace vendora {

class FrameworkDialogs : public DialogBackend {
public:
    // transcript may be null (no records); headless is the installed back end when it is the headless one.
    FrameworkDialogs(std::unique_ptr<Transcript> transcript, HeadlessBackend* headless);
    // Shut-down of the framework: the application object's windows go, the message window among them.
    ~FrameworkDialogs() override;

    int ShowHtmlMessage(const AnsiString& title, const AnsiString& text, const AnsiString& buttons,
                        TColor colour) override;
    std::unique_ptr<TAttente> CreateAttente() override;
    // One pumping of the pending messages; the queue then reads empty.
    bool ProcessOneMessage() override;
    void ShowErrorBox(const AnsiString& title, const AnsiString& text) override;

    Transcript* Log() { return transcript_.get(); }

private:
    void Input(const InputEvent& event);
    void Write(const std::string& kind, std::initializer_list<TranscriptField> fields = {});

    std::unique_ptr<Transcript> transcript_;
    HeadlessBackend* headless_;
    bool inMessage_ = false;
    std::optional<InputEvent> last_;
};

class FrameworkExtractionUi : public ExtractionUi {
public:
    // transcript may be null; clock is the progress window's (the platform's when empty).
    explicit FrameworkExtractionUi(Transcript* transcript, TProgression::Clock clock = {});
    ~FrameworkExtractionUi() override;

    void CreateProgress() override;
    void ShowProgress() override;
    void HideProgress() override;
    void DestroyProgress() override;
    void SetCaption(const AnsiString& text) override;
    void SetLabel1(const AnsiString& text) override;
    void SetLabel6(const AnsiString& text) override;
    void SetLabel2(const AnsiString& text) override;
    AnsiString Label2() override;
    void SetPosition(int position) override;
    int ShowHtmlMessage(const AnsiString& title, const AnsiString& text, const AnsiString& buttons,
                        TColor colour) override;

    TProgression* Window() { return window_.get(); }

private:
    void Write(const std::string& kind, std::initializer_list<TranscriptField> fields = {});
    TProgression& Progress();

    Transcript* transcript_;
    TProgression::Clock clock_;
    std::unique_ptr<TProgression> window_;
};

} // namespace vendora
