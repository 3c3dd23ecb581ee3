#pragma once
// The progress window of the split for the tests, benchmarks and fuzz targets: it shows nothing and
// records every call in order.

#include "archive/ExtractionUi.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace vendora::test {

// Records the calls instead of showing anything. The record keeps the first RecordLimit calls and messages
// only: an archive of millions of entries must not make the recorder hold more than the archive itself.
class RecordingExtractionUi : public ExtractionUi {
public:
    enum class Call { Create, Show, Hide, Destroy, Caption, Label1, Label6, Label2, Position, Message };
    struct Event {
        Call What;
        AnsiString Text; // the text set, or the message's title
        int Number = 0;  // the position
        friend bool operator==(const Event&, const Event&) = default;
    };

    void CreateProgress() override { Record(Call::Create); }
    void ShowProgress() override { Record(Call::Show); }
    void HideProgress() override { Record(Call::Hide); }
    void DestroyProgress() override { Record(Call::Destroy); }
    void SetCaption(const AnsiString& text) override { Record(Call::Caption, text); }
    void SetLabel1(const AnsiString& text) override { Record(Call::Label1, text); }
    void SetLabel6(const AnsiString& text) override { Record(Call::Label6, text); }
    void SetLabel2(const AnsiString& text) override {
        label2_ = text;
        Record(Call::Label2, text);
    }
    AnsiString Label2() override { return label2_; }
    void SetPosition(int position) override {
        Record(Call::Position, {}, position);
        const int call = positionCalls_++;
        if (OnSetPosition)
            OnSetPosition(*this, call);
    }
    int ShowHtmlMessage(const AnsiString& title, const AnsiString& text, const AnsiString& buttons,
                        TColor colour) override {
        Record(Call::Message, title);
        if (messages_.size() < RecordLimit)
            messages_.push_back({title, text, buttons, colour});
        else
            ++unrecorded_;
        return MessageAnswer;
    }

    // Stands for the user: runs after each SetPosition with the number of that call (0 for the first) and
    // may, for example, write "interrompu" into Label2 as the window's "Interrompre" button does.
    std::function<void(RecordingExtractionUi& ui, int call)> OnSetPosition;
    // The answer ShowHtmlMessage gives.
    int MessageAnswer = 1;

    static constexpr std::size_t RecordLimit = 4096;

    const std::vector<Event>& Events() const { return events_; }
    // Calls and messages past the limit, counted only.
    std::size_t Unrecorded() const { return unrecorded_; }
    // Every SetPosition, recorded or not.
    int PositionCalls() const { return positionCalls_; }
    // The full texts of the messages shown: title, text, buttons, colour.
    struct Message {
        AnsiString Title, Text, Buttons;
        TColor Colour;
    };
    const std::vector<Message>& Messages() const { return messages_; }
    void Clear() {
        events_.clear();
        messages_.clear();
        label2_.clear();
        positionCalls_ = 0;
        unrecorded_ = 0;
    }

private:
    void Record(Call what, const AnsiString& text = {}, int number = 0) {
        if (events_.size() < RecordLimit)
            events_.push_back({what, text, number});
        else
            ++unrecorded_;
    }

    std::vector<Event> events_;
    std::vector<Message> messages_;
    AnsiString label2_;
    int positionCalls_ = 0;
    std::size_t unrecorded_ = 0;
};

} // namespace vendora::test
