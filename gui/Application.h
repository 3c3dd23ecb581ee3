#pragma once
// The application object: owner of the windows created for the whole run, and what every window is handed
// to reach the world: the text engine its text is measured and drawn with, the system colours it resolves,
// and the window back end that shows it. It is the only place where window messages are handled. There is no
// main loop: messages are handled in a modal loop (ShowModal), and wherever the program pumps pending
// messages (ProcessMessages). The program's entry makes the one application of a run and hands it to the
// windows it makes.

#include "gui/Backend.h"
#include "gui/Component.h"

#include "base/SystemColors.h"
#include "gfx/TextEngine.h"

#include <memory>
#include <vector>

namespace vendora {

class Form;

class Application : public Component {
public:
    // The engine and the colours (the machine's) outlive the application.
    Application(TextEngine& text, SystemColors& colors);
    ~Application() override;

    TextEngine& Engine() const { return *text_; }
    SystemColors& Colors() const { return *colors_; }
    // Another engine for the windows made from now on (a test's own); it outlives the application.
    void SetEngine(TextEngine& text) { text_ = &text; }

    // The back end the windows are shown by (see UsedBackend): a window cannot be measured, shown or asked
    // for input without one; asking for it then is a fault of the program's start-up (std::logic_error).
    WindowBackend& Backend() const;
    bool HasBackend() const { return backend_ != nullptr; }
    // Another back end, or none: every form's window goes (it belongs to the back end that made it), and
    // the shown forms get new ones from the next back end.
    void SetBackend(WindowBackend* backend);
    // Frees the owned windows, and the windows of forms that outlive it; shut-down.
    void Shutdown();

    // Handles the messages that are waiting (at most one scripted event in the headless back end), then
    // paints what needs painting. Never blocks.
    void ProcessMessages();
    // Waits for one message, handles it and paints. False when no input can come any more.
    bool HandleMessage();
    // Paints every visible form's invalid area, repeating while painting invalidates more.
    void PaintAll();

    // Every form that exists, in creation order, whoever owns it.
    const std::vector<Form*>& Forms() const { return forms_; }
    // Whether form still exists: handling an event can destroy the form that was about to get the next.
    bool HasForm(const Form* form) const;
    void AddForm(Form& form);
    void RemoveForm(Form& form);
    // The form that receives keys: the modal one when there is one, else the last one activated that is
    // still visible.
    Form* ActiveForm() const;
    void SetActiveForm(Form* form) { active_ = form; }

private:
    TextEngine* text_;
    SystemColors* colors_;
    WindowBackend* backend_ = nullptr;
    std::vector<Form*> forms_;
    Form* active_ = nullptr;
};

// The back end an application's windows use for the lifetime of the object; the one before comes back when
// it goes, also when an exception ends its scope, so that no window is left with a back end that is gone.
class [[nodiscard]] UsedBackend {
public:
    UsedBackend(Application& app, WindowBackend& backend);
    ~UsedBackend();
    UsedBackend(const UsedBackend&) = delete;
    UsedBackend& operator=(const UsedBackend&) = delete;

private:
    Application& app_;
    WindowBackend* previous_;
};

} // namespace vendora
