#pragma once
// The application object: owner of the windows created for the whole run, keeper of the window back end,
// and the only place where window messages are handled. There is no main loop: messages are handled in a
// modal loop (ShowModal), and wherever the program pumps pending messages (ProcessMessages).

#include "gui/Backend.h"
#include "gui/Component.h"

#include <memory>
#include <vector>

namespace vendora {

class Form;

class Application : public Component {
public:
    Application();
    ~Application() override;

    // The installed back end (Install<WindowBackend>): a window cannot be measured, shown or asked for
    // input without one.
    WindowBackend& Backend() { return Installed<WindowBackend>::Get(); }
    bool HasBackend() const { return Installed<WindowBackend>::Has(); }
    // Another back end, or none, is installed: every form's window goes (it belongs to the back end that
    // made it), and the shown forms get new ones from the next back end.
    void BackendReplaced();
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
    void AddForm(Form& form);
    void RemoveForm(Form& form);
    // The form that receives keys: the modal one when there is one, else the last one activated that is
    // still visible.
    Form* ActiveForm() const;
    void SetActiveForm(Form* form) { active_ = form; }

private:
    std::vector<Form*> forms_;
    Form* active_ = nullptr;
};

// The process's application object, created on first use.
Application& App();

} // namespace vendora
