#pragma once
// What the split shows while it works: the progress window and the "Interruption Interdite" report. The
// seam speaks of the extraction (which archive, which entry, how far, whether the person asked to stop);
// the real window turns that into its caption, labels and bar. The tools and the tests bring their own.

#include "base/Color.h"
#include "base/Text.h"

namespace vendora {

class ExtractionUi {
public:
    virtual ~ExtractionUi() = default;

    // The progress window appears for the archive as the person knows it, its bar at 0.
    virtual void Begin(const AnsiString& archive) = 0;
    // The entry about to be written.
    virtual void Entry(const AnsiString& name) = 0;
    // Whether the person asked to interrupt ("Interrompre", or closing the window) since the bar last moved.
    virtual bool InterruptionAsked() = 0;
    // Moves the bar (0 to 100), which takes note of an interruption asked before, repaints the times and
    // handles pending window messages: where a click on "Interrompre" is seen.
    virtual void SetPosition(int position) = 0;
    // Every entry written: the window goes.
    virtual void End() = 0;

    // The modal message window; the number of the chosen button.
    virtual int ShowHtmlMessage(const AnsiString& title, const AnsiString& text, const AnsiString& buttons,
                                TColor colour) = 0;
};

// The split's window where nobody watches (the release tool, the benchmarks): nothing is shown and the
// bar's moves are counted, one before the first entry and one after each. Nobody can ask to interrupt, so
// the report is never asked for.
class SilentExtractionUi : public ExtractionUi {
public:
    void Begin(const AnsiString&) override { SetPosition(0); }
    void Entry(const AnsiString&) override {}
    bool InterruptionAsked() override { return false; }
    void SetPosition(int) override { ++positions_; }
    void End() override {}
    int ShowHtmlMessage(const AnsiString&, const AnsiString&, const AnsiString&, TColor) override {
        return 1;
    }
    int Positions() const { return positions_; }

private:
    int positions_ = 0;
};

} // namespace vendora
