#pragma once
// What the split shows while it works: the progress window (caption, three labels, the bar) and the
// "Interruption Interdite" report. The real windows plug in here; until they exist, and for the tools and
// the tests, a headless implementation records every call in order.

#include "base/Color.h"
#include "base/Text.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace vendora {

class ExtractionUi {
public:
    virtual ~ExtractionUi() = default;

    // The progress window's life: created without owner, shown modeless, hidden, destroyed.
    virtual void CreateProgress() = 0;
    virtual void ShowProgress() = 0;
    virtual void HideProgress() = 0;
    virtual void DestroyProgress() = 0;

    virtual void SetCaption(const AnsiString& text) = 0;
    virtual void SetLabel1(const AnsiString& text) = 0;
    virtual void SetLabel6(const AnsiString& text) = 0;
    virtual void SetLabel2(const AnsiString& text) = 0;
    // The status label: "interrompu" once the user has pressed "Interrompre" or tried to close the window.
    virtual AnsiString Label2() = 0;
    // Moves the bar, repaints the times and handles pending window messages.
    virtual void SetPosition(int position) = 0;

    // The modal message window; the number of the chosen button.
    virtual int ShowHtmlMessage(const AnsiString& title, const AnsiString& text, const AnsiString& buttons,
                                TColor colour) = 0;
};

// Records the calls instead of showing anything. The record keeps the first RecordLimit calls and messages
// only: an archive of millions of entries must not make the recorder hold more than the archive itself.
class HeadlessExtractionUi : public ExtractionUi {
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
    void SetPosition(int position) override;
    int ShowHtmlMessage(const AnsiString& title, const AnsiString& text, const AnsiString& buttons,
                        TColor colour) override;

    // Stands for the user: runs after each SetPosition with the number of that call (0 for the first) and
    // may, for example, write "interrompu" into Label2 as the window's "Interrompre" button does.
    std::function<void(HeadlessExtractionUi& ui, int call)> OnSetPosition;
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
    void Clear();

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

// The interface the split uses when none is given; the headless one until the application installs its
// windows. The pointer is not owned.
ExtractionUi& CurrentExtractionUi();
void SetExtractionUi(ExtractionUi* ui);

} // namespace vendora
