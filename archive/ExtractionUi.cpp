#include "archive/ExtractionUi.h"

namespace vendora {

void HeadlessExtractionUi::SetPosition(int position) {
    Record(Call::Position, {}, position);
    const int call = positionCalls_++;
    if (OnSetPosition)
        OnSetPosition(*this, call);
}

int HeadlessExtractionUi::ShowHtmlMessage(const AnsiString& title, const AnsiString& text,
                                          const AnsiString& buttons, TColor colour) {
    Record(Call::Message, title);
    if (messages_.size() < RecordLimit)
        messages_.push_back({title, text, buttons, colour});
    else
        ++unrecorded_;
    return MessageAnswer;
}

void HeadlessExtractionUi::Clear() {
    events_.clear();
    messages_.clear();
    label2_.clear();
    positionCalls_ = 0;
    unrecorded_ = 0;
}

namespace {
HeadlessExtractionUi fallbackUi;
ExtractionUi* currentUi = nullptr;
} // namespace

ExtractionUi& CurrentExtractionUi() {
    return currentUi != nullptr ? *currentUi : fallbackUi;
}

void SetExtractionUi(ExtractionUi* ui) {
    currentUi = ui;
}

} // namespace vendora
