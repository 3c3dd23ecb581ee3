#include "dialogs/headless/TranscriptExtractionUi.h"

#include "dialogs/MessageBox.h"

namespace vendora {

void TranscriptExtractionUi::CreateProgress() {
    HeadlessExtractionUi::CreateProgress();
    transcript_.Write("progress create");
}

void TranscriptExtractionUi::ShowProgress() {
    HeadlessExtractionUi::ShowProgress();
    transcript_.Write("progress show");
}

void TranscriptExtractionUi::HideProgress() {
    HeadlessExtractionUi::HideProgress();
    transcript_.Write("progress hide");
}

void TranscriptExtractionUi::DestroyProgress() {
    HeadlessExtractionUi::DestroyProgress();
    transcript_.Write("progress destroy");
}

void TranscriptExtractionUi::SetCaption(const AnsiString& text) {
    HeadlessExtractionUi::SetCaption(text);
    transcript_.Write("progress caption", {{"text", text}});
}

void TranscriptExtractionUi::SetLabel1(const AnsiString& text) {
    HeadlessExtractionUi::SetLabel1(text);
    transcript_.Write("progress label1", {{"text", text}});
}

void TranscriptExtractionUi::SetLabel6(const AnsiString& text) {
    HeadlessExtractionUi::SetLabel6(text);
    transcript_.Write("progress label6", {{"text", text}});
}

void TranscriptExtractionUi::SetLabel2(const AnsiString& text) {
    HeadlessExtractionUi::SetLabel2(text);
    transcript_.Write("progress label2", {{"text", text}});
}

void TranscriptExtractionUi::SetPosition(int position) {
    HeadlessExtractionUi::SetPosition(position);
    transcript_.Write("progress position", {{"value", position}});
}

int TranscriptExtractionUi::ShowHtmlMessage(const AnsiString& title, const AnsiString& text,
                                            const AnsiString& buttons, TColor colour) {
    HeadlessExtractionUi::ShowHtmlMessage(title, text, buttons, colour);
    return vendora::ShowHtmlMessage(title, text, buttons, colour);
}

} // namespace vendora
