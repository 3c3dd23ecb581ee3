#include "gui/win32/FormAccessible.h"

#include "base/Cp1252.h"
#include "base/Text.h"
#include "gui/Control.h"
#include "gui/Form.h"

#include <string>
#include <utility>

// Last: the API's macros must not rename the framework's declarations above.
#include "platform/win32/WindowsApi.h"
#include <oleacc.h>

namespace vendora {
namespace {

// The two calls of oleacc.dll the window needs, bound at the first reader's request: the program imports
// only libraries that every start needs anyway.
struct OleaccCalls {
    using LresultCall = LRESULT(STDAPICALLTYPE*)(REFIID, WPARAM, LPUNKNOWN);
    using StandardObjectCall = HRESULT(STDAPICALLTYPE*)(HWND, LONG, REFIID, void**);
    LresultCall LresultFromObject = nullptr;
    StandardObjectCall CreateStdAccessibleObject = nullptr;
};

const OleaccCalls& Oleacc() {
    static const OleaccCalls calls = [] {
        HMODULE module = LoadLibraryW(L"oleacc.dll");
        OleaccCalls found;
        found.LresultFromObject = LookupCall<OleaccCalls::LresultCall>(module, "LresultFromObject");
        found.CreateStdAccessibleObject =
            LookupCall<OleaccCalls::StandardObjectCall>(module, "CreateStdAccessibleObject");
        return found;
    }();
    return calls;
}

long RoleOf(AccessibleRole role) {
    switch (role) {
    case AccessibleRole::Window:
        return ROLE_SYSTEM_CLIENT;
    case AccessibleRole::Dialog:
        return ROLE_SYSTEM_DIALOG;
    case AccessibleRole::Alert:
        return ROLE_SYSTEM_ALERT;
    case AccessibleRole::StaticText:
        return ROLE_SYSTEM_STATICTEXT;
    case AccessibleRole::PushButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::Link:
        return ROLE_SYSTEM_LINK;
    case AccessibleRole::ProgressBar:
        return ROLE_SYSTEM_PROGRESSBAR;
    case AccessibleRole::CheckBox:
        return ROLE_SYSTEM_CHECKBUTTON;
    case AccessibleRole::RadioButton:
        return ROLE_SYSTEM_RADIOBUTTON;
    case AccessibleRole::EditableText:
        return ROLE_SYSTEM_TEXT;
    case AccessibleRole::Graphic:
        return ROLE_SYSTEM_GRAPHIC;
    }
    return ROLE_SYSTEM_CLIENT;
}

// The element's states as MSAA's bits. Focused only while the window has the keyboard: a reader must not
// hear of a focus in a window that has none.
long StatesOf(unsigned states, bool windowFocused) {
    static constexpr std::pair<unsigned, long> Bits[] = {
        {AccessibleState::Default, STATE_SYSTEM_DEFAULT},
        {AccessibleState::Focused, STATE_SYSTEM_FOCUSED},
        {AccessibleState::Focusable, STATE_SYSTEM_FOCUSABLE},
        {AccessibleState::Checked, STATE_SYSTEM_CHECKED},
        {AccessibleState::ReadOnly, STATE_SYSTEM_READONLY},
        {AccessibleState::Protected, STATE_SYSTEM_PROTECTED},
        {AccessibleState::Unavailable, STATE_SYSTEM_UNAVAILABLE},
        {AccessibleState::Pressed, STATE_SYSTEM_PRESSED},
    };
    if (!windowFocused)
        states &= ~AccessibleState::Focused;
    long bits = 0;
    for (const auto& [state, bit] : Bits) {
        if ((states & state) != 0)
            bits |= bit;
    }
    return bits;
}

// What pressing the element does, in the words of a French Windows; empty when it has no action.
AnsiString ActionOf(const AccessibleElement& element) {
    if (element.Target == nullptr)
        return {};
    switch (element.Role) {
    case AccessibleRole::PushButton:
        return "Appuyer";
    case AccessibleRole::Link:
        return "Cliquer";
    case AccessibleRole::CheckBox:
        return (element.States & AccessibleState::Checked) != 0 ? Ansi("Décocher") : Ansi("Cocher");
    case AccessibleRole::RadioButton:
        return Ansi("Sélectionner");
    default:
        return "Appuyer";
    }
}

// A text for the reader, UTF-16 from Windows-1252 by the fixed table; S_FALSE and no text when empty.
HRESULT TextReply(const AnsiString& text, BSTR* out) {
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    const std::u16string wide = AnsiToUtf16(text);
    *out = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()), static_cast<UINT>(wide.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

void ChildOut(VARIANT* out, long child) {
    out->vt = VT_I4;
    out->lVal = child;
}

} // namespace

// The client area's object. Every call runs on the window's thread (a single-threaded apartment: calls
// from other processes come in as messages the window's loop dispatches), so the form is read directly.
class FormAccessible final : public IAccessible {
public:
    FormAccessible(Form& form, HWND hwnd) : form_(&form), hwnd_(hwnd) {}

    void Disconnect() {
        form_ = nullptr;
        CoDisconnectObject(static_cast<IAccessible*>(this), 0);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr)
            return E_POINTER;
        if (iid != __uuidof(IUnknown) && iid != __uuidof(IDispatch) && iid != __uuidof(IAccessible)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const auto left = static_cast<ULONG>(InterlockedDecrement(&refs_));
        if (left == 0)
            delete this;
        return left;
    }

    // No type information: readers call IAccessible's methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (parent == nullptr)
            return E_POINTER;
        *parent = nullptr;
        if (form_ == nullptr)
            return RPC_E_DISCONNECTED;
        // The system's object of the whole window (frame, title bar), whose child the client area is.
        if (Oleacc().CreateStdAccessibleObject == nullptr)
            return S_FALSE;
        return Oleacc().CreateStdAccessibleObject(hwnd_, OBJID_WINDOW, __uuidof(IDispatch),
                                                  reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (count == nullptr)
            return E_POINTER;
        if (form_ == nullptr)
            return RPC_E_DISCONNECTED;
        *count = static_cast<long>(form_->Describe().Children.size());
        return S_OK;
    }
    // The elements are simple children, read through this object with their ids.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        AccessibleTree tree;
        int id = 0;
        if (const HRESULT read = Read(child, tree, id); FAILED(read))
            return read;
        return id == CHILDID_SELF ? E_INVALIDARG : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, [](const AccessibleTree& tree, int id) {
            return id == CHILDID_SELF ? tree.Name : Element(tree, id).Name;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, value, [](const AccessibleTree& tree, int id) {
            return id == CHILDID_SELF ? AnsiString() : Element(tree, id).Value;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return Text(child, description, [](const AccessibleTree&, int) { return AnsiString(); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (role == nullptr)
            return E_POINTER;
        VariantInit(role);
        AccessibleTree tree;
        int id = 0;
        if (const HRESULT read = Read(child, tree, id); FAILED(read))
            return read;
        ChildOut(role, RoleOf(id == CHILDID_SELF ? tree.Role : Element(tree, id).Role));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (state == nullptr)
            return E_POINTER;
        VariantInit(state);
        AccessibleTree tree;
        int id = 0;
        if (const HRESULT read = Read(child, tree, id); FAILED(read))
            return read;
        const bool focused = GetFocus() == hwnd_;
        long bits = 0;
        if (id == CHILDID_SELF) {
            bits = STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0) |
                   (form_->Enabled() ? 0 : STATE_SYSTEM_UNAVAILABLE) |
                   (form_->Visible() ? 0 : STATE_SYSTEM_INVISIBLE);
        } else {
            bits = StatesOf(Element(tree, id).States, focused);
        }
        ChildOut(state, bits);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return Text(child, help, [](const AccessibleTree&, int) { return AnsiString(); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file != nullptr)
            *file = nullptr;
        if (topic != nullptr)
            *topic = -1;
        return form_ == nullptr ? RPC_E_DISCONNECTED : S_FALSE;
    }
    // The letter that presses the element, alone as the message window takes it ("O" for "&Oui").
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Text(child, shortcut, [](const AccessibleTree& tree, int id) {
            return id == CHILDID_SELF ? AnsiString() : Element(tree, id).Shortcut;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr)
            return E_POINTER;
        VariantInit(focus);
        if (form_ == nullptr)
            return RPC_E_DISCONNECTED;
        if (GetFocus() != hwnd_)
            return S_FALSE;
        const Control* control = form_->FocusedControl();
        ChildOut(focus, control != nullptr ? form_->ChildOf(*control) : CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection == nullptr)
            return E_POINTER;
        VariantInit(selection);
        return form_ == nullptr ? RPC_E_DISCONNECTED : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(child, action, [](const AccessibleTree& tree, int id) {
            return id == CHILDID_SELF ? AnsiString() : ActionOf(Element(tree, id));
        });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override {
        return form_ == nullptr ? RPC_E_DISCONNECTED : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
            return E_POINTER;
        *left = *top = *width = *height = 0;
        AccessibleTree tree;
        int id = 0;
        if (const HRESULT read = Read(child, tree, id); FAILED(read))
            return read;
        RECT client{};
        GetClientRect(hwnd_, &client);
        const IntRect box =
            id == CHILDID_SELF ? IntRect{0, 0, client.right, client.bottom} : Element(tree, id).Bounds;
        POINT origin{box.Left, box.Top};
        ClientToScreen(hwnd_, &origin);
        *left = origin.x;
        *top = origin.y;
        *width = box.Width();
        *height = box.Height();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (end == nullptr)
            return E_POINTER;
        VariantInit(end);
        AccessibleTree tree;
        int id = 0;
        if (const HRESULT read = Read(start, tree, id); FAILED(read))
            return read;
        const auto count = static_cast<int>(tree.Children.size());
        int to = 0;
        switch (direction) {
        case NAVDIR_FIRSTCHILD:
        case NAVDIR_LASTCHILD:
            if (id != CHILDID_SELF)
                return E_INVALIDARG;
            to = direction == NAVDIR_FIRSTCHILD ? 1 : count;
            break;
        case NAVDIR_NEXT:
        case NAVDIR_PREVIOUS:
            // The window's own neighbours are the system's to tell.
            if (id == CHILDID_SELF)
                return S_FALSE;
            to = direction == NAVDIR_NEXT ? id + 1 : id - 1;
            break;
        default:
            return E_NOTIMPL;
        }
        if (to < 1 || to > count)
            return S_FALSE;
        ChildOut(end, to);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        if (hit == nullptr)
            return E_POINTER;
        VariantInit(hit);
        if (form_ == nullptr)
            return RPC_E_DISCONNECTED;
        POINT point{x, y};
        RECT client{};
        if (!ScreenToClient(hwnd_, &point) || !GetClientRect(hwnd_, &client) || !PtInRect(&client, point))
            return S_FALSE;
        const AccessibleTree tree = form_->Describe();
        // The last element drawn is the one on top.
        int id = static_cast<int>(tree.Children.size());
        while (id > 0 && !tree.Children[static_cast<std::size_t>(id) - 1].Bounds.Contains(point.x, point.y))
            --id;
        ChildOut(hit, id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        AccessibleTree tree;
        int id = 0;
        if (const HRESULT read = Read(child, tree, id); FAILED(read))
            return read;
        if (id == CHILDID_SELF || ActionOf(Element(tree, id)).empty() ||
            (Element(tree, id).States & AccessibleState::Unavailable) != 0 || !form_->Visible() ||
            !form_->Enabled())
            return DISP_E_MEMBERNOTFOUND;
        return PostMessageW(hwnd_, DefaultActionMessage, static_cast<WPARAM>(id), 0) ? S_OK : E_FAIL;
    }
    // Setting a name or value is no longer part of MSAA.
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~FormAccessible() = default;

    static const AccessibleElement& Element(const AccessibleTree& tree, int id) {
        return tree.Children[static_cast<std::size_t>(id) - 1];
    }

    // The tree as the form describes itself now and the child's id in it; an error once the window has
    // gone, or for a child that is not in it.
    HRESULT Read(const VARIANT& child, AccessibleTree& tree, int& id) const {
        if (form_ == nullptr)
            return RPC_E_DISCONNECTED;
        if (child.vt != VT_I4)
            return E_INVALIDARG;
        tree = form_->Describe();
        if (child.lVal < 0 || child.lVal > static_cast<long>(tree.Children.size()))
            return E_INVALIDARG;
        id = static_cast<int>(child.lVal);
        return S_OK;
    }

    template <typename Pick> HRESULT Text(const VARIANT& child, BSTR* out, Pick pick) const {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        AccessibleTree tree;
        int id = 0;
        if (const HRESULT read = Read(child, tree, id); FAILED(read))
            return read;
        return TextReply(pick(tree, id), out);
    }

    Form* form_;
    HWND hwnd_;
    LONG refs_ = 1;
};

AccessibleServer::~AccessibleServer() {
    if (object_ == nullptr)
        return;
    object_->Disconnect();
    object_->Release();
}

bool AccessibleServer::Answer(std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t& result) {
    // The object id is a 32-bit value, sign-extended or not in a 64-bit lParam.
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT ||
        Oleacc().LresultFromObject == nullptr)
        return false;
    if (object_ == nullptr)
        object_ = new FormAccessible(form_, static_cast<HWND>(hwnd_));
    const LRESULT answer =
        Oleacc().LresultFromObject(__uuidof(IAccessible), static_cast<WPARAM>(wParam), object_);
    // A negative answer is the error of the object's marshalling.
    if (answer < 0)
        return false;
    result = answer;
    return true;
}

void AnnounceToReaders(void* hwnd, AccessibleEvent event, int child) {
    DWORD kind = EVENT_OBJECT_NAMECHANGE;
    switch (event) {
    case AccessibleEvent::DialogStart:
        kind = EVENT_SYSTEM_DIALOGSTART;
        break;
    case AccessibleEvent::Alert:
        kind = EVENT_SYSTEM_ALERT;
        break;
    case AccessibleEvent::Focus:
        kind = EVENT_OBJECT_FOCUS;
        break;
    case AccessibleEvent::ValueChange:
        kind = EVENT_OBJECT_VALUECHANGE;
        break;
    case AccessibleEvent::NameChange:
        kind = EVENT_OBJECT_NAMECHANGE;
        break;
    }
    NotifyWinEvent(kind, static_cast<HWND>(hwnd), OBJID_CLIENT, child);
}

} // namespace vendora
