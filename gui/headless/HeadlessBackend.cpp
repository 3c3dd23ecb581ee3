#include "gui/headless/HeadlessBackend.h"

#include "base/Cp1252.h"
#include "gui/Application.h"
#include "gui/Control.h"
#include "gui/Form.h"
#include "gui/TextLayout.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <thread>

namespace vendora {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool CaptionVisible(const Application& app, const AnsiString& prefix) {
    return std::any_of(app.Forms().begin(), app.Forms().end(), [&](Form* form) {
        return form->Visible() && form->Caption().compare(0, prefix.size(), prefix) == 0;
    });
}

// A file name part from a caption: letters and digits kept, anything else one '_', at most 40 characters.
std::string FileNamePart(const AnsiString& caption) {
    std::string out;
    for (char c : AnsiToUtf8(caption)) {
        bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
        if (keep) {
            out += c;
        } else if (out.empty() || out.back() != '_') {
            out += '_';
        }
        if (out.size() >= 40)
            break;
    }
    while (!out.empty() && out.back() == '_')
        out.pop_back();
    return out.empty() ? "window" : out;
}

class HeadlessWindow : public NativeWindow {
public:
    HeadlessWindow(HeadlessBackend& backend, Form& form) : backend_(backend), form_(form) {}
    void Show() override { backend_.Record(DescribeForm("window show", form_)); }
    void Hide() override { backend_.Record(DescribeForm("window hide", form_)); }
    void GeometryChanged() override {}
    void CaptionChanged() override {}
    void Present(const IntRect&) override {}
    void SetEnabled(bool) override {}

private:
    HeadlessBackend& backend_;
    Form& form_;
};

// The control a click names: by name, else by caption without its "&".
Control* FindControl(Form& form, const AnsiString& name) {
    for (Control* control : form.Controls()) {
        if (control->Visible() && control->Name() == name)
            return control;
    }
    AnsiString wanted = StripHotKey(name).Text;
    for (Control* control : form.Controls()) {
        if (control->Visible() && StripHotKey(control->DisplayText()).Text == wanted)
            return control;
    }
    return nullptr;
}

} // namespace

WindowRecord DescribeForm(const std::string& kind, Form& form) {
    WindowRecord record{kind, {{"caption", form.Caption()}}};
    for (Control* control : form.Controls()) {
        if (control->Visible() && !control->Name().empty() && !control->DisplayText().empty())
            record.Fields.emplace_back(AnsiToUtf8(control->Name()), control->DisplayText());
    }
    return record;
}

HeadlessBackend::HeadlessBackend(InputScript script, Options options)
    : script_(std::move(script)), options_(std::move(options)) {}

std::unique_ptr<HeadlessBackend>
HeadlessBackend::FromEnvironment(std::function<void(const Bitmap&, const std::string&)> savePng) {
    std::string scriptPath = Environment("VENDORA_UI_SCRIPT");
    Options options;
    options.SnapshotFolder = Environment("VENDORA_UI_SNAPSHOTS");
    options.SavePng = std::move(savePng);
    const std::string dpi = Environment("VENDORA_UI_DPI");
    if (!dpi.empty()) {
        const std::optional<int> value = ParseDpi(dpi);
        if (!value) {
            throw std::invalid_argument(
                "VENDORA_UI_DPI=" + dpi + ": a screen density is a whole number of dots " + "per inch from " +
                std::to_string(Scale::MinDpi) + " to " + std::to_string(Scale::MaxDpi));
        }
        options.ScreenScale = Scale(*value);
    }
    if (!options.SnapshotFolder.empty())
        std::filesystem::create_directories(options.SnapshotFolder);
    InputScript script = scriptPath.empty() ? InputScript() : InputScript::Load(scriptPath);
    return std::make_unique<HeadlessBackend>(std::move(script), std::move(options));
}

std::unique_ptr<NativeWindow> HeadlessBackend::CreateNativeWindow(Form& form) {
    return std::make_unique<HeadlessWindow>(*this, form);
}

void HeadlessBackend::Record(const WindowRecord& record) {
    if (Observer() != nullptr)
        Observer()->WindowChanged(record);
}

void HeadlessBackend::Delivered(const InputEvent& event, Form* target) {
    if (Observer() != nullptr)
        Observer()->InputDelivered(event.Text(), event.Line, target);
}

void HeadlessBackend::FormDestroyed(Form& form) {
    Record({"window destroy", {{"caption", form.Caption()}}});
    queued_.erase(std::remove_if(queued_.begin(), queued_.end(), [&](auto& q) { return q.first == &form; }),
                  queued_.end());
    if (defaultedModal_ == &form) {
        defaultedModal_ = nullptr;
    }
}

Form* HeadlessBackend::TargetForm() const {
    return GetApplication().ActiveForm();
}

bool HeadlessBackend::DeliverQueued() {
    while (!queued_.empty()) {
        auto [form, character] = queued_.front();
        queued_.pop_front();
        if (GetApplication().HasForm(form)) {
            form->KeyPress(character);
            return true;
        }
    }
    return false;
}

bool HeadlessBackend::TakeFreeEvents() {
    while (const InputEvent* event = script_.Peek()) {
        if (event->Verb == "snapshot") {
            InputEvent taken = *script_.Next();
            GetApplication().PaintAll();
            TakeSnapshots(taken.Argument);
        } else if (event->Verb == "wait") {
            AnsiString prefix = Utf8ToAnsi(event->Argument);
            if (!CaptionVisible(GetApplication(), prefix))
                return false;
            waitedCaption_ = prefix;
            waited_ = true;
            script_.Next();
        } else {
            return true;
        }
    }
    return true;
}

bool HeadlessBackend::DispatchPending() {
    if (DeliverQueued())
        return true;
    if (!TakeFreeEvents() || script_.AtEnd() || !waited_ || !CaptionVisible(GetApplication(), waitedCaption_))
        return false;
    Deliver(*script_.Next());
    return true;
}

void HeadlessBackend::WaitForInput(int milliseconds) {
    if (!queued_.empty())
        return;
    const bool unblocked = TakeFreeEvents();
    if (script_.AtEnd() || (unblocked && waited_ && CaptionVisible(GetApplication(), waitedCaption_)))
        return;
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool HeadlessBackend::DispatchNext() {
    if (DeliverQueued())
        return true;
    if (!TakeFreeEvents()) {
        const InputEvent& event = *script_.Peek();
        throw InputScriptError(script_.Where(event) + ": \"" + event.Text() +
                               "\" cannot be met while a window waits for an answer");
    }
    if (!script_.AtEnd()) {
        Deliver(*script_.Next());
        return true;
    }
    // The script is used up: the waiting window gets Enter, once.
    Form* target = TargetForm();
    if (target == nullptr || target == defaultedModal_)
        return false;
    defaultedModal_ = target;
    InputEvent enter{"default", "", 0};
    if (!target->DialogKey(VirtualKey::Return)) {
        target->KeyDown(VirtualKey::Return);
        queued_.emplace_back(target, '\r');
    }
    Delivered(enter, target);
    return true;
}

void HeadlessBackend::ModalStarted(Form& form) {
    defaultedModal_ = nullptr;
    (void)form;
    TakeSnapshots("modal");
}

void HeadlessBackend::Deliver(const InputEvent& event) {
    Form* target = TargetForm();
    if (event.Verb == "click") {
        target = nullptr;
        AnsiString name = Utf8ToAnsi(event.Argument);
        Control* control = nullptr;
        // The window that takes input first, then the other visible ones, the newest first.
        std::vector<Form*> order;
        if (Form* active = TargetForm())
            order.push_back(active);
        for (auto it = GetApplication().Forms().rbegin(); it != GetApplication().Forms().rend(); ++it) {
            if ((*it)->Visible() && *it != order.front())
                order.push_back(*it);
        }
        for (Form* form : order) {
            if ((control = FindControl(*form, name)) != nullptr) {
                target = form;
                break;
            }
        }
        if (control == nullptr) {
            throw InputScriptError(script_.Where(event) + ": no visible window has a control \"" +
                                   event.Argument + "\"");
        }
        if (target->Enabled()) {
            int x = control->Left() + control->Width() / 2;
            int y = control->Top() + control->Height() / 2;
            target->MouseDown(MouseButton::Left, x, y);
            if (GetApplication().HasForm(target))
                target->MouseUp(MouseButton::Left, x, y);
        } else {
            target = nullptr; // a disabled window ignores the click
        }
    } else if (target == nullptr) {
        // No window to take the event: it is lost, as input with no window on screen.
    } else if (event.Verb == "key") {
        KeyStroke stroke = *KeyFromName(event.Argument);
        // A key the form uses as a dialog does types nothing.
        if (!target->DialogKey(stroke.VirtualKey, stroke.Shift)) {
            target->KeyDown(stroke.VirtualKey);
            if (stroke.Character != 0 && GetApplication().HasForm(target))
                queued_.emplace_back(target, stroke.Character);
        }
    } else if (event.Verb == "char") {
        target->KeyPress(Utf8ToAnsi(event.Argument)[0]);
    } else if (event.Verb == "close") {
        target->CloseRequest();
    } else if (event.Verb == "move") {
        mouse_ = {event.X, event.Y};
        target->MouseMove(event.X, event.Y);
    } else if (event.Verb == "press") {
        target->MouseDown(MouseButton::Left, mouse_.X, mouse_.Y);
    } else if (event.Verb == "release") {
        target->MouseUp(MouseButton::Left, mouse_.X, mouse_.Y);
    }
    Delivered(event, GetApplication().HasForm(target) ? target : nullptr);
}

void HeadlessBackend::TakeSnapshots(const std::string& why) {
    if (options_.SnapshotFolder.empty() || !options_.SavePng)
        return;
    for (Form* form : GetApplication().Forms()) {
        if (!form->Visible() || form->Surface().Empty())
            continue;
        char number[16];
        std::snprintf(number, sizeof number, "%03d", ++snapshotCount_);
        std::string file = std::string(number) + "-" + FileNamePart(Utf8ToAnsi(why)) + "-" +
                           FileNamePart(form->Caption()) + ".png";
        std::string path = (std::filesystem::path(options_.SnapshotFolder) / file).string();
        options_.SavePng(form->Surface(), path);
        snapshots_.push_back(path);
    }
}

} // namespace vendora
