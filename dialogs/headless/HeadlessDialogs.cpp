#include "dialogs/headless/HeadlessDialogs.h"

#include "base/Cp1252.h"

#include <cstdlib>
#include <iostream>

namespace vendora {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The waiting window of a headless run: what it would show goes to the transcript.
class HeadlessAttente : public TAttente {
public:
    explicit HeadlessAttente(Transcript& transcript) : transcript_(transcript) {}
    void Show() override {
        if (!Visible())
            transcript_.Write("attente show", {{"caption", Caption()}, {"label1", Label1()}});
        TAttente::Show();
    }
    void Hide() override {
        if (Visible())
            transcript_.Write("attente hide");
        TAttente::Hide();
    }

private:
    Transcript& transcript_;
};

} // namespace

HeadlessDialogs::HeadlessDialogs(UiScript script, std::unique_ptr<Transcript> transcript)
    : script_(std::move(script)), transcript_(std::move(transcript)) {}

std::unique_ptr<HeadlessDialogs> HeadlessDialogs::FromEnvironment() {
    const std::string scriptPath = Environment("VENDORA_UI_SCRIPT");
    UiScript script = scriptPath.empty() ? UiScript() : UiScript::Load(scriptPath);
    return std::make_unique<HeadlessDialogs>(std::move(script),
                                             Transcript::Open(Environment("VENDORA_UI_TRANSCRIPT")));
}

int HeadlessDialogs::ShowHtmlMessage(const AnsiString& title, const AnsiString& text,
                                     const AnsiString& buttons, TColor colour) {
    transcript_->Write("message", {{"title", title},
                                   {"text", text},
                                   {"buttons", buttons},
                                   {"colour", static_cast<long long>(colour.Value)}});
    return Answer(SplitButtonList(buttons));
}

// What an event does to a message window: the result that ends it, or nothing when the window ignores the
// event (a key other than Enter and Escape, a character that is no hot key).
std::optional<int> HeadlessDialogs::Outcome(const UiEvent& event,
                                            const std::vector<MessageButton>& buttons) const {
    if (event.Verb == "key" && event.Argument == "Return")
        return 1;
    if ((event.Verb == "key" && event.Argument == "Escape") || event.Verb == "close")
        return 0;
    if (event.Verb == "char") {
        const AnsiString typed = Utf8ToAnsi(event.Argument);
        const int number = typed.size() == 1 ? HotKeyButton(buttons, typed[0]) : 0;
        return number != 0 ? std::optional<int>(number) : std::nullopt;
    }
    if (event.Verb == "click") {
        const int number = UiScript::ClickedButton(event);
        if (number > static_cast<int>(buttons.size()))
            throw UiScriptError(script_.Where(event) + ": this window has no button B" +
                                std::to_string(number));
        return number;
    }
    return std::nullopt;
}

int HeadlessDialogs::Answer(const std::vector<MessageButton>& buttons) {
    for (;;) {
        const std::optional<UiEvent> event = script_.Next();
        if (!event) {
            transcript_->Write("answer",
                               {{"result", 1}, TranscriptField::Utf8("event", "default"), {"line", 0}});
            return 1;
        }
        const std::optional<int> result = Outcome(*event, buttons);
        if (result) {
            transcript_->Write(
                "answer",
                {{"result", *result}, TranscriptField::Utf8("event", event->Text()), {"line", event->Line}});
            return *result;
        }
        transcript_->Write("ignored", {TranscriptField::Utf8("event", event->Text()), {"line", event->Line}});
    }
}

std::unique_ptr<TAttente> HeadlessDialogs::CreateAttente() {
    return std::make_unique<HeadlessAttente>(*transcript_);
}

void HeadlessDialogs::ShowErrorBox(const AnsiString& title, const AnsiString& text) {
    transcript_->Write("error", {{"title", title}, {"text", text}});
    if (!transcript_->ToStderr())
        std::cerr << AnsiToUtf8(title) << ": " << AnsiToUtf8(text) << std::endl;
}

} // namespace vendora
