#pragma once
// The installer's windows on the form framework, behind the seams the installer and the extraction talk
// to: the message window (TFMB), the waiting window and the message pump as a DialogBackend, and the
// progress window (TProgression) as the extraction's ExtractionUi.
//
// With a transcript, every call is also written there (see Transcript.h). FrameworkDialogs listens to the
// window back end: a back end whose input comes from a script tells which events ended or did not end a
// message (answer, ignored), which came outside one (input), and what its windows did (window records).

#include "archive/ExtractionUi.h"
#include "dialogs/DialogBackend.h"
#include "dialogs/forms/Progression.h"
#include "dialogs/forms/Transcript.h"
#include "gui/Application.h"
#include "html/HtmlHost.h"

#include <memory>
#include <optional>

namespace vendora {

class TFMB;

class FrameworkDialogs : public DialogBackend, private BackendObserver {
public:
    // Where the box of an uncaught error goes: on screen as a message window (and to stderr), or, when no
    // one could see a window, only to the transcript and stderr.
    enum class ErrorBox { Window, RecordOnly };

    // The windows of app; the message window renders its messages with host. transcript may be null (no
    // records). Listens to app's window back end until destroyed.
    FrameworkDialogs(Application& app, const HtmlHost& host, std::unique_ptr<Transcript> transcript,
                     ErrorBox errorBox = ErrorBox::Window);
    // Shut-down of the framework: the application object's windows go, the message window among them.
    ~FrameworkDialogs() override;

    int ShowHtmlMessage(const AnsiString& title, const AnsiString& text, const AnsiString& buttons,
                        TColor colour) override;
    std::unique_ptr<TAttente> CreateAttente() override;
    // One pumping of the pending messages; the queue then reads empty.
    bool ProcessOneMessage() override;
    void WaitForMessage(int milliseconds) override;
    void ShowErrorBox(const AnsiString& title, const AnsiString& text) override;

    Transcript* Log() { return transcript_.get(); }
    Application& GetApplication() const { return app_; }
    // The message window, made the first time it is needed.
    TFMB& MessageWindow();

private:
    // An event the window back end delivered; see BackendObserver.
    struct Event {
        std::string Text;
        int Line = 0;
    };
    void InputDelivered(const std::string& event, int line, Form* target) override;
    void WindowChanged(const WindowRecord& record) override;
    void Write(const std::string& kind, std::initializer_list<TranscriptField> fields = {});

    Application& app_;
    HtmlHost host_;
    std::unique_ptr<Transcript> transcript_;
    ErrorBox errorBox_;
    bool inMessage_ = false;
    std::optional<Event> last_;
};

class FrameworkExtractionUi : public ExtractionUi {
public:
    // The progress window of the dialogs' application, timed by clock (the platform's), writing to their
    // transcript; the interruption report is their message window's.
    FrameworkExtractionUi(FrameworkDialogs& dialogs, TProgression::Clock clock);
    ~FrameworkExtractionUi() override;

    void Begin(const AnsiString& archive) override;
    void Entry(const AnsiString& name) override;
    bool InterruptionAsked() override;
    void SetPosition(int position) override;
    void End() override;
    int ShowHtmlMessage(const AnsiString& title, const AnsiString& text, const AnsiString& buttons,
                        TColor colour) override;

    TProgression* Window() { return window_.get(); }

private:
    void Write(const std::string& kind, std::initializer_list<TranscriptField> fields = {});
    TProgression& Progress();
    void SetCaption(const AnsiString& text);
    void SetLabel1(const AnsiString& text);
    void SetLabel6(const AnsiString& text);
    void SetLabel2(const AnsiString& text);

    FrameworkDialogs& dialogs_;
    Transcript* transcript_;
    TProgression::Clock clock_;
    std::unique_ptr<TProgression> window_;
    // The window's tree goes to the transcript once its first move after showing has set its texts.
    bool treeWritten_ = false;
};

} // namespace vendora
