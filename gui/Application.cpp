#include "gui/Application.h"

#include "gui/Form.h"

#include <algorithm>
#include <stdexcept>

namespace vendora {
namespace {

// Painting can make a control resize itself (a label that sizes itself to its text), which asks for one
// more paint; a control that never settles must not hang the program.
constexpr int MaxPaintPasses = 8;

} // namespace

Application::Application(TextEngine& text, SystemColors& colors)
    : Component(nullptr), text_(&text), colors_(&colors) {}

Application::~Application() {
    Shutdown();
    if (backend_ != nullptr)
        backend_->Detach(*this);
}

WindowBackend& Application::Backend() const {
    if (backend_ == nullptr)
        throw std::logic_error("no window back end (UsedBackend)");
    return *backend_;
}

void Application::SetBackend(WindowBackend* backend) {
    for (Form* form : forms_)
        form->DropNative();
    if (backend_ != nullptr)
        backend_->Detach(*this);
    backend_ = backend;
    if (backend_ == nullptr)
        return;
    backend_->Attach(*this);
    for (Form* form : forms_)
        form->RecreateNative();
}

void Application::Shutdown() {
    DestroyComponents();
    // Forms that outlive shut-down (not owned by the application) lose their windows too.
    for (Form* form : forms_)
        form->DropNative();
}

void Application::ProcessMessages() {
    Backend().DispatchPending();
    PaintAll();
}

bool Application::HandleMessage() {
    bool more = Backend().DispatchNext();
    PaintAll();
    return more;
}

void Application::PaintAll() {
    for (int pass = 0; pass < MaxPaintPasses; ++pass) {
        bool painted = false;
        for (Form* form : std::vector<Form*>(forms_))
            if (HasForm(form) && form->Visible() && form->PaintPending()) {
                form->PaintInvalid();
                painted = true;
            }
        if (!painted)
            return;
    }
}

bool Application::HasForm(const Form* form) const {
    return std::find(forms_.begin(), forms_.end(), form) != forms_.end();
}

void Application::AddForm(Form& form) {
    forms_.push_back(&form);
}

void Application::RemoveForm(Form& form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
    if (active_ == &form)
        active_ = nullptr;
}

Form* Application::ActiveForm() const {
    for (Form* form : forms_)
        if (form->Modal() && form->Visible())
            return form;
    if (active_ != nullptr && active_->Visible())
        return active_;
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
        if ((*it)->Visible() && (*it)->Enabled())
            return *it;
    return nullptr;
}

UsedBackend::UsedBackend(Application& app, WindowBackend& backend)
    : app_(app), previous_(app.HasBackend() ? &app.Backend() : nullptr) {
    app.SetBackend(&backend);
}

UsedBackend::~UsedBackend() {
    app_.SetBackend(previous_);
}

} // namespace vendora
