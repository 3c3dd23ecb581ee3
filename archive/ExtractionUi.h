#pragma once
// What the split shows while it works: the progress window (caption, three labels, the bar) and the
// "Interruption Interdite" report. The real windows plug in here; the tools and the tests bring their own.

#include "base/Color.h"
#include "base/Installed.h"
#include "base/Text.h"

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

// The split's window where nobody watches (the release tool, the benchmarks): nothing is shown and the
// bar's moves are counted, one before the first entry and one after each. The only message the split
// shows, the report of an interruption, cannot be asked for here.
class SilentExtractionUi : public ExtractionUi {
public:
    void CreateProgress() override {}
    void ShowProgress() override {}
    void HideProgress() override {}
    void DestroyProgress() override {}
    void SetCaption(const AnsiString&) override {}
    void SetLabel1(const AnsiString&) override {}
    void SetLabel6(const AnsiString&) override {}
    void SetLabel2(const AnsiString& text) override { label2_ = text; }
    AnsiString Label2() override { return label2_; }
    void SetPosition(int) override { ++positions_; }
    int ShowHtmlMessage(const AnsiString&, const AnsiString&, const AnsiString&, TColor) override {
        return 1;
    }
    int Positions() const { return positions_; }

private:
    AnsiString label2_;
    int positions_ = 0;
};

// The interface the split uses when none is given: the progress window start-up installs
// (Install<ExtractionUi>).
template <> inline constexpr ServiceInfo ServiceOf<ExtractionUi>{"progress window", "ExtractionUi"};
inline ExtractionUi& CurrentExtractionUi() {
    return Installed<ExtractionUi>::Get();
}

} // namespace vendora
