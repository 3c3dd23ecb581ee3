#pragma once
// TFMB (unit UBM): the modal HTML message window. One window object serves every call of the run: start-up
// creates it, owned by the application object, and each ShowHtmlMessageWindow call sets its caption,
// message and colour, creates one speed button per caption (named B1, B2...), shows it modally and frees
// the buttons again.

#include "base/Color.h"
#include "base/Text.h"
#include "gfx/Geometry.h"
#include "gfx/Scale.h"
#include "gui/Form.h"
#include "html/HtmlHost.h"

#include <functional>

namespace vendora {

// Where the message window puts its buttons, in 96-dpi pixels: rows of ButtonWidth x ButtonHeight,
// ButtonStep apart from FirstButtonX, the first row ButtonGap below the message, the next row RowStep
// below; the client area ends BottomMargin below the last row's top.
namespace MessageLayout {
inline constexpr int DesignClientWidth = 481;
inline constexpr int DesignClientHeight = 528;
inline constexpr int ButtonWidth = 135;
inline constexpr int ButtonHeight = 27;
inline constexpr int ButtonStep = 140;
inline constexpr int ButtonGap = 15;
inline constexpr int RowStep = 30;
inline constexpr int FirstButtonX = 20;
inline constexpr int BottomMargin = 37;
// The device rectangle of the button in row row and column column (from 0) whose row's top is at top.
inline IntRect ButtonAt(const Scale& scale, int column, int top) {
    const IntRect r = scale.Box(FirstButtonX + ButtonStep * column, 0, ButtonWidth, ButtonHeight);
    return r.Translated(0, top);
}
// Button number (from 1) of a message whose buttons fit one row, in a client area clientHeight device
// pixels high, at scale.
inline IntRect OneRowButton(int number, int clientHeight, const Scale& scale = {}) {
    return ButtonAt(scale, number - 1, clientHeight - scale.Px(BottomMargin));
}
} // namespace MessageLayout

class TGradient;
class THTMLLabel;
class Control;

class TFMB : public Form {
public:
    // host: what the messages' pictures come from, for as long as the window lives.
    TFMB(Application& app, const HtmlHost& host);
    ~TFMB() override;

    TGradient* Gradient1 = nullptr;
    THTMLLabel* LeMessage = nullptr;

    // The value the current call returns, and one hot-key letter per button of the call.
    int Result() const { return result_; }
    const AnsiString& HotKeys() const { return hotKeys_; }

    // Handlers, bound by the form description.
    void LesSpeedButtonsClick(Control& sender);
    void FormKeyDown(int& key);
    void FormKeyPress(char& key);
    void FormShow();
    void FormActivate() { Invalidate(); }
    void FormResize() { Invalidate(); }
    void FormPaint() {}
    void FormCreate();
    void Gradient1MouseDown(int x, int y);
    void MouseMove(int x, int y);
    void MouseUp();

    int Run(const AnsiString& title, const AnsiString& text, const AnsiString& buttons, TColor colour);

    // A report the work waits on (the interruption report) rather than a question: screen readers hear it
    // as an alert. Set by whoever shows such a report, for that call.
    bool AsAlert = false;
    // The window waits for its answer; told what a screen reader finds in it.
    std::function<void(const AccessibleTree& tree)> OnWaiting;

    // A dialog (or an alert): the message's text, links and form pictures, then the buttons.
    AccessibleTree Describe() const override;

protected:
    // A call in progress is laid out again at the new scale: message, buttons and height.
    void ScaleChanged() override;

private:
    // The form description at the form's scale: size, font, grip and message area.
    void LayOutDesign();
    void ApplyFont();
    // Measures the message at the form's scale and sizes its area.
    void MeasureMessage();
    void CreateButtons(AnsiString list);
    // Places the call's buttons below the message and sets the client height.
    void PlaceButtons();
    void FreeButtons();

    int dragX_ = 0;
    int dragY_ = 0;
    int result_ = 0;
    AnsiString hotKeys_;
    bool inCall_ = false;
    HtmlHost host_;
};

// The process's message window (null until created).
TFMB* FMB();
// Start-up: creates the message window of app, owned by it, which renders its messages with host.
TFMB& CreateMessageWindow(Application& app, const HtmlHost& host);
// Forgets the window without freeing it (its owner frees it).
void ForgetMessageWindow();

// Shows title, the markup text and the buttons listed in buttons (captions separated by "#13") in the
// message window start-up created and returns the number of the chosen button, counted from 1; Enter gives 1,
// Escape and closing the window 0. A non-zero colour is the window's background for this call only.
int ShowHtmlMessageWindow(const AnsiString& title, const AnsiString& text, const AnsiString& buttons,
                          TColor colour);

} // namespace vendora
