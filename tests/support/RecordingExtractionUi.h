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
    enum class Call { Begin, Entry, Position, End, Message };
    struct Event {
        Call What;
        AnsiString Text; // the archive or entry named, or the message's title
        int Number = 0;  // the position
        friend bool operator==(const Event&, const Event&) = default;
    };

    void Begin(const AnsiString& archive) override {
        Record(Call::Begin, archive);
        SetPosition(0);
    }
    void Entry(const AnsiString& name) override { Record(Call::Entry, name); }
    bool InterruptionAsked() override { return interruption_; }
    void SetPosition(int position) override {
        interruption_ = false;
        Record(Call::Position, {}, position);
        const int call = positionCalls_++;
        if (OnSetPosition)
            OnSetPosition(*this, call);
    }
    void End() override { Record(Call::End); }
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
    // may, for example, press "Interrompre".
    std::function<void(RecordingExtractionUi& ui, int call)> OnSetPosition;
    void PressInterrupt() { interruption_ = true; }
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
        interruption_ = false;
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
    bool interruption_ = false;
    int positionCalls_ = 0;
    std::size_t unrecorded_ = 0;
};

} // namespace vendora::test
