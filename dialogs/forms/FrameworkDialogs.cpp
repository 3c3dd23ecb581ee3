#include "dialogs/forms/FrameworkDialogs.h"

#include "base/Cp1252.h"
#include "dialogs/Attente.h"
#include "dialogs/MessageBox.h"
#include "dialogs/forms/AttenteWindow.h"
#include "dialogs/forms/Ubm.h"
#include "gui/Application.h"
#include "gui/Label.h"

#include <cstdio>

namespace vendora {

namespace {

// The waiting window behind the wait's interface: every setting goes to the real form as well.
class WindowAttente : public TAttente {
public:
    WindowAttente(Application& app, Transcript* transcript)
        : transcript_(transcript), window_(std::make_unique<TAttenteWindow>(app, nullptr)) {}
    void SetCaption(const AnsiString& caption) override {
        TAttente::SetCaption(caption);
        window_->SetCaption(caption);
    }
    void SetLabel1(const AnsiString& text) override {
        TAttente::SetLabel1(text);
        window_->Label1->SetCaption(text);
    }
    void Show() override {
        if (!Visible() && transcript_ != nullptr) {
            transcript_->Write("attente show", {{"caption", Caption()}, {"label1", Label1()}});
        }
        const bool appearing = !Visible();
        TAttente::Show();
        window_->Show();
        if (appearing && transcript_ != nullptr)
            transcript_->WriteTree(window_->Describe());
    }
    void Hide() override {
        if (Visible() && transcript_ != nullptr)
            transcript_->Write("attente hide");
        TAttente::Hide();
        window_->Hide();
    }

private:
    Transcript* transcript_;
    std::unique_ptr<TAttenteWindow> window_;
};

} // namespace

FrameworkDialogs::FrameworkDialogs(Application& app, const HtmlHost& host,
                                   std::unique_ptr<Transcript> transcript, ErrorBox errorBox)
    : app_(app), host_(host), transcript_(std::move(transcript)), errorBox_(errorBox) {
    app_.Backend().SetObserver(this);
}

FrameworkDialogs::~FrameworkDialogs() {
    if (app_.HasBackend() && app_.Backend().Observer() == this)
        app_.Backend().SetObserver(nullptr);
    ForgetMessageWindow();
    app_.Shutdown();
}

TFMB& FrameworkDialogs::MessageWindow() {
    return FMB() != nullptr ? *FMB() : CreateMessageWindow(app_, host_);
}

void FrameworkDialogs::Write(const std::string& kind, std::initializer_list<TranscriptField> fields) {
    if (transcript_)
        transcript_->Write(kind, fields);
}

void FrameworkDialogs::WindowChanged(const WindowRecord& record) {
    if (!transcript_)
        return;
    std::vector<TranscriptField> fields;
    for (const auto& [name, value] : record.Fields)
        fields.emplace_back(name, value);
    transcript_->Write(record.Kind, fields);
}

void FrameworkDialogs::InputDelivered(const std::string& event, int line, Form*) {
    if (!inMessage_) {
        Write("input", {TranscriptField::Utf8("event", event), {"line", line}});
        return;
    }
    // The event before this one did not end the message.
    if (last_) {
        Write("ignored", {TranscriptField::Utf8("event", last_->Text), {"line", last_->Line}});
    }
    last_ = Event{event, line};
}

int FrameworkDialogs::ShowHtmlMessage(const AnsiString& title, const AnsiString& text,
                                      const AnsiString& buttons, TColor colour) {
    Write("message", {{"title", title},
                      {"text", text},
                      {"buttons", buttons},
                      {"colour", static_cast<long long>(colour.Value)}});
    inMessage_ = true;
    last_.reset();
    TFMB& window = MessageWindow();
    window.OnWaiting = [this](const AccessibleTree& tree) {
        if (transcript_)
            transcript_->WriteTree(tree);
    };
    int result = 0;
    try {
        result = window.Run(title, text, buttons, colour);
    } catch (...) {
        inMessage_ = false;
        throw;
    }
    inMessage_ = false;
    if (last_) {
        Write("answer",
              {{"result", result}, TranscriptField::Utf8("event", last_->Text), {"line", last_->Line}});
    } else {
        Write("answer", {{"result", result}, TranscriptField::Utf8("event", "window"), {"line", 0}});
    }
    last_.reset();
    return result;
}

std::unique_ptr<TAttente> FrameworkDialogs::CreateAttente() {
    return std::make_unique<WindowAttente>(app_, transcript_.get());
}

bool FrameworkDialogs::ProcessOneMessage() {
    app_.ProcessMessages();
    return false;
}

void FrameworkDialogs::WaitForMessage(int milliseconds) {
    app_.Backend().WaitForInput(milliseconds);
}

void FrameworkDialogs::ShowErrorBox(const AnsiString& title, const AnsiString& text) {
    if (errorBox_ == ErrorBox::Window)
        MessageWindow().Run(title, text, "OK", TColor(0));
    Write("error", {{"title", title}, {"text", text}});
    if (!transcript_ || !transcript_->ToStderr()) {
        // One line, without formatting code in the Windows program.
        const std::string line = AnsiToUtf8(title) + ": " + AnsiToUtf8(text) + "\n";
        std::fputs(line.c_str(), stderr);
    }
}

FrameworkExtractionUi::FrameworkExtractionUi(FrameworkDialogs& dialogs, TProgression::Clock clock)
    : dialogs_(dialogs), transcript_(dialogs.Log()), clock_(std::move(clock)) {}

FrameworkExtractionUi::~FrameworkExtractionUi() = default;

void FrameworkExtractionUi::Write(const std::string& kind, std::initializer_list<TranscriptField> fields) {
    if (transcript_ != nullptr)
        transcript_->Write(kind, fields);
}

TProgression& FrameworkExtractionUi::Progress() {
    if (!window_) {
        Write("progress create");
        window_ = std::make_unique<TProgression>(dialogs_.GetApplication(), nullptr, clock_);
    }
    return *window_;
}

// The window tells the person which archive is split, with the status "Réalisé" and the bar at 0, before it
// appears.
void FrameworkExtractionUi::Begin(const AnsiString& archive) {
    Progress();
    SetCaption(Ansi("Déconcaténation de ") + archive);
    SetLabel1(Ansi("Extraction des fichiers de l'archive ") + archive);
    SetLabel6("");
    SetPosition(0);
    Write("progress show");
    Progress().Show();
    treeWritten_ = false;
}

void FrameworkExtractionUi::Entry(const AnsiString& name) {
    SetLabel6(Ansi("Extraction de ") + name);
}

// The window's "Interrompre" button and its closing write "interrompu" into the status label.
bool FrameworkExtractionUi::InterruptionAsked() {
    return Progress().Label2->Caption() == "interrompu";
}

// The status goes back to "Réalisé" as the bar moves: an interruption is reported once.
void FrameworkExtractionUi::SetPosition(int position) {
    SetLabel2(Ansi("Réalisé"));
    Write("progress position", {{"value", position}});
    Progress().SetPosition(position);
    if (!treeWritten_ && Progress().Visible() && transcript_ != nullptr) {
        treeWritten_ = true;
        transcript_->WriteTree(Progress().Describe());
    }
}

void FrameworkExtractionUi::End() {
    SetLabel2(Ansi("Réalisé"));
    Write("progress hide");
    Progress().Hide();
    Write("progress destroy");
    window_.reset();
}

void FrameworkExtractionUi::SetCaption(const AnsiString& text) {
    Write("progress caption", {{"text", text}});
    Progress().SetCaption(text);
}

void FrameworkExtractionUi::SetLabel1(const AnsiString& text) {
    Write("progress label1", {{"text", text}});
    Progress().Label1->SetCaption(text);
}

void FrameworkExtractionUi::SetLabel6(const AnsiString& text) {
    Write("progress label6", {{"text", text}});
    Progress().Label6->SetCaption(text);
}

void FrameworkExtractionUi::SetLabel2(const AnsiString& text) {
    Write("progress label2", {{"text", text}});
    Progress().Label2->SetCaption(text);
}

int FrameworkExtractionUi::ShowHtmlMessage(const AnsiString& title, const AnsiString& text,
                                           const AnsiString& buttons, TColor colour) {
    // The extraction's only message is the interruption report: the work waits on it, so readers hear an
    // alert.
    TFMB& window = dialogs_.MessageWindow();
    struct AlertScope {
        TFMB& window;
        ~AlertScope() { window.AsAlert = false; }
    } scope{window};
    window.AsAlert = true;
    return dialogs_.ShowHtmlMessage(title, text, buttons, colour);
}

} // namespace vendora
