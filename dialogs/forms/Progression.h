#pragma once
// TProgression (unit UProgression): the modeless progress window of the extraction. Its caller sets the
// completion percentage with SetPosition between pieces of work; SetPosition repaints the strip of the bar
// that changed, writes the status line and the time estimates, and handles the pending window messages,
// which is where "Interrompre" and the close button are seen. Neither stops the work: they only write
// "interrompu" into the status label for the caller to read.

#include "base/Text.h"
#include "gfx/Geometry.h"
#include "gui/Form.h"

#include <functional>

namespace vendora {

class Label;
class TCurvedSpeedButton;

// A span of days as the window writes it: "un an ", "2 mois ", "un jour ", "3h", "07mn", "05s"..., or "0s".
AnsiString FormatDuration(double span);

// The bar's width in pixels at a percentage: p x 550 / 100, halves to the even neighbour.
int ProgressBarWidth(int percent);

// Where the window puts its "Interrompre" button, in its client area at 96 dpi.
inline constexpr IntRect InterruptButtonBounds = IntRect::FromSize(394, 106, 158, 29);

class TProgression : public Form {
public:
    // The instant now, in days: the platform's clock, or a test's own.
    using Clock = std::function<double()>;

    TProgression(Application& app, Component* owner, Clock clock);

    Label* Label1 = nullptr;
    Label* Label2 = nullptr;
    Label* Label3 = nullptr;
    Label* Label4 = nullptr;
    Label* Label5 = nullptr;
    Label* Label6 = nullptr;
    Label* Label7 = nullptr;
    Label* Totale = nullptr;
    Label* Restante = nullptr;
    TCurvedSpeedButton* SpeedButton1 = nullptr;

    int Percent() const { return position_; }
    double StartTime() const { return startTime_; }
    void SetPosition(int n);

    void FormCreate() { SetPosition(1); }
    void FormShow();
    void FormClose(CloseAction& action);
    void FormPaint();
    void SpeedButton1Click();

    // The labels and the button, with the bar as a progress bar whose value is "N %".
    AccessibleTree Describe() const override;

protected:
    void ScaleChanged() override;

private:
    // The form description at the form's scale: size, fonts and every control's place.
    void LayOut();
    Label* NewLabel(const char* name, const AnsiString& caption);
    // The bar's child number in the tree: after the title and the current item.
    int BarChild() const;

    int position_ = 0;
    double startTime_ = 0;
    Clock clock_;
};

// The glyph of "Interrompre": a red diagonal cross with white highlights and dark red shadows on silver.
Bitmap InterruptGlyph();

} // namespace vendora
