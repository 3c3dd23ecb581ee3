#pragma once
// The window back end without a display: windows exist in memory only, the user's input comes from an
// input script, and the back end's observer hears of every event delivered and every window shown, hidden
// or destroyed (the record of the run); what the windows show goes, on request, to PNG pictures. "wait"
// and "snapshot" steer the script and are not input: the observer does not hear of them.
//
// Script events are taken whenever the program handles messages: a modal loop takes them until it ends,
// and each pumping of pending messages (ProcessMessages) takes at most one, so that a script can act on a
// modeless window between two pieces of work. A pumping takes an event only while the window named by the
// last "wait" is visible: scripts written for the modal windows alone keep their events for them.
// "wait" and "snapshot" events are taken on the way and do not count. When the script is used up, a modal
// window gets the Enter key once (recorded as "default").
//
// Snapshots: when a folder is given, every visible window's client area is written there as a PNG each
// time a modal window starts waiting and at each "snapshot" event, named NNN-WHY-CAPTION.png where NNN
// counts the pictures of the run.

#include "base/Text.h"
#include "gui/Backend.h"
#include "gui/headless/InputScript.h"

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vendora {

class HeadlessBackend : public WindowBackend {
public:
    struct Options {
        IntPoint Screen{1024, 768};
        // The screen's density: windows are laid out and pictured at it.
        Scale ScreenScale;
        std::string SnapshotFolder; // host path; empty: no pictures
        // Writes a picture as a PNG file (host path).
        std::function<void(const Bitmap&, const std::string&)> SavePng;
    };

    HeadlessBackend(InputScript script, Options options);
    // Script from VENDORA_UI_SCRIPT (none: no events), snapshots to VENDORA_UI_SNAPSHOTS (created when
    // missing), written with savePng, and the screen's dpi from VENDORA_UI_DPI (96 when unset; a value that
    // is no whole number from 48 to 480 raises std::invalid_argument).
    static std::unique_ptr<HeadlessBackend>
    FromEnvironment(std::function<void(const Bitmap&, const std::string&)> savePng);

    std::unique_ptr<NativeWindow> CreateNativeWindow(Form& form) override;
    IntPoint ScreenSize() override { return options_.Screen; }
    Scale ScreenScale() const override { return options_.ScreenScale; }
    bool DispatchPending() override;
    bool DispatchNext() override;
    // A script event that a pumping would deliver now is input: no wait. Once the script is used up no input
    // can ever come, and a run does not wait for nothing. Otherwise (events held back for a later window)
    // the time passes, as it would for a person who does nothing.
    void WaitForInput(int milliseconds) override;
    void ModalStarted(Form& form) override;
    void FormDestroyed(Form& form) override;

    InputScript& Script() { return script_; }
    // Writes a picture of every visible window now; why names the occasion.
    void TakeSnapshots(const std::string& why);
    // The pictures written so far (host paths).
    const std::vector<std::string>& Snapshots() const { return snapshots_; }
    // Tells the observer about a window (show, hide, destroy, with caption and texts).
    void Record(const WindowRecord& record);

private:
    bool DeliverQueued();
    // Takes "wait" and "snapshot" events that can be taken now; false when an unmet wait blocks the script.
    bool TakeFreeEvents();
    void Deliver(const InputEvent& event);
    // Tells the observer about an event delivered to target (null when no form took it).
    void Delivered(const InputEvent& event, Form* target);
    Form* TargetForm() const;

    InputScript script_;
    Options options_;
    // Characters that keys typed, still to be delivered to the form that got the key.
    std::deque<std::pair<Form*, char>> queued_;
    IntPoint mouse_;
    int snapshotCount_ = 0;
    std::vector<std::string> snapshots_;
    Form* defaultedModal_ = nullptr;
    AnsiString waitedCaption_;
    bool waited_ = false;
};

// The record of a form: its caption and the text of each visible control, by name.
WindowRecord DescribeForm(const std::string& kind, Form& form);

} // namespace vendora
