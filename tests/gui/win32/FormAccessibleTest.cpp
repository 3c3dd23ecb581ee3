// What a screen reader finds in our windows through MSAA, in process (vendora-access-reader reads from
// another process in the Wine scenarios), the keys a dialog takes and the events readers hear.
#include "gui/win32/Win32Backend.h"

#include "base/Cp1252.h"
#include "dialogs/forms/Ubm.h"
#include "gui/SpeedButton.h"
#include "tests/support/WindowTest.h"

#include <algorithm>
#include <string>
#include <vector>

// Last: the API's macros must not rename the framework's declarations above.
#include "platform/win32/WindowsApi.h"
#include <oleacc.h>
#include <wrl/client.h>

namespace vendora::test {
namespace {

using Microsoft::WRL::ComPtr;

VARIANT Child(long id) {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

using Object = ComPtr<IAccessible>;

std::wstring Read(const Object& object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*),
                  long id) {
    BSTR text = nullptr;
    if (FAILED((object.Get()->*get)(Child(id), &text)))
        return L"(failed)";
    std::wstring read = text != nullptr ? std::wstring(text, SysStringLen(text)) : L"";
    SysFreeString(text);
    return read;
}

long Number(const Object& object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long id) {
    VARIANT value{};
    return SUCCEEDED((object.Get()->*get)(Child(id), &value)) && value.vt == VT_I4 ? value.lVal : -1;
}

// The events readers hear, as "event child".
std::vector<std::pair<DWORD, long>> heard;
void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT)
        heard.emplace_back(event, child);
}

// A control whose element is a progress bar of a value the test sets.
class Bar : public Control {
public:
    using Control::Control;
    AnsiString Value;
    void Describe(std::vector<AccessibleElement>& into) const override {
        into.push_back(Element(AccessibleRole::ProgressBar));
        into.back().Value = Value;
    }
};

class FormAccessibleTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        CoInitialize(nullptr);
        win32_.emplace(App(), windows_);
        hook_ = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, Hear, GetCurrentProcessId(), 0,
                                WINEVENT_OUTOFCONTEXT);
        heard.clear();
    }
    void TearDown() override {
        UnhookWinEvent(hook_);
        WindowTest::TearDown();
        CoUninitialize();
    }
    void Drain() {
        while (windows_.DispatchPending()) {
        }
        App().PaintAll();
    }
    static ComPtr<IAccessible> ObjectOf(const Form& form) {
        ComPtr<IAccessible> object;
        EXPECT_EQ(AccessibleObjectFromWindow(static_cast<HWND>(Win32Backend::WindowOf(form)), OBJID_CLIENT,
                                             IID_PPV_ARGS(&object)),
                  S_OK);
        return object;
    }

    Win32Backend windows_;
    std::optional<UsedBackend> win32_;
    HWINEVENTHOOK hook_ = nullptr;
};

TEST_F(FormAccessibleTest, AQuestionReadsAsADialogAndItsButtonAnswersIt) {
    TFMB& window = CreateMessageWindow(App(), MessageHost());
    ComPtr<IAccessible> object;
    long non = 0;
    window.OnWaiting = [&](const AccessibleTree& tree) {
        object = ObjectOf(window);
        ASSERT_TRUE(object);
        EXPECT_EQ(Number(object, &IAccessible::get_accRole, CHILDID_SELF), ROLE_SYSTEM_DIALOG);
        EXPECT_EQ(Read(object, &IAccessible::get_accName, CHILDID_SELF),
                  L"Installation de Vendora \u00A9 \u00E9");
        EXPECT_EQ(Number(object, &IAccessible::get_accState, CHILDID_SELF),
                  STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
        long count = 0;
        EXPECT_EQ(object->get_accChildCount(&count), S_OK);
        ASSERT_EQ(count, static_cast<long>(tree.Children.size()));
        long oui = 1;
        while (oui < count && tree.Children[static_cast<std::size_t>(oui) - 1].Name != "Oui")
            ++oui;
        non = oui + 1;
        EXPECT_EQ(Read(object, &IAccessible::get_accName, non), L"Non");
        EXPECT_EQ(Number(object, &IAccessible::get_accRole, non), ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ(Number(object, &IAccessible::get_accState, oui),
                  STATE_SYSTEM_DEFAULT | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE);
        EXPECT_EQ(Number(object, &IAccessible::get_accState, non), STATE_SYSTEM_FOCUSABLE);
        EXPECT_EQ(Read(object, &IAccessible::get_accKeyboardShortcut, non), L"N");
        EXPECT_EQ(Read(object, &IAccessible::get_accDefaultAction, non), L"Appuyer");
        VARIANT focus{}, hit{};
        EXPECT_EQ(object->get_accFocus(&focus), S_OK);
        EXPECT_EQ(focus.lVal, oui);
        // Where the button is on the screen, and the button found there.
        const IntRect bounds = tree.Children[static_cast<std::size_t>(non) - 1].Bounds;
        POINT origin{bounds.Left, bounds.Top};
        ClientToScreen(static_cast<HWND>(Win32Backend::WindowOf(window)), &origin);
        long box[4] = {};
        EXPECT_EQ(object->accLocation(&box[0], &box[1], &box[2], &box[3], Child(non)), S_OK);
        EXPECT_EQ(std::vector<long>(box, box + 4),
                  (std::vector<long>{origin.x, origin.y, bounds.Width(), bounds.Height()}));
        EXPECT_EQ(object->accHitTest(origin.x + 5, origin.y + 5, &hit), S_OK);
        EXPECT_EQ(hit.lVal, non);
        EXPECT_EQ(object->accDoDefaultAction(Child(non)), S_OK);
    };
    EXPECT_EQ(
        ShowHtmlMessageWindow(Ansi("Installation de Vendora © é"), "Installer ?", "&Oui#13&Non", TColor(0)),
        2);
    EXPECT_NE(std::find(heard.begin(), heard.end(), std::make_pair(DWORD{EVENT_SYSTEM_DIALOGSTART}, 0L)),
              heard.end());
    delete &window; // once gone, the object reaches nothing
    EXPECT_EQ(object->accDoDefaultAction(Child(non)), RPC_E_DISCONNECTED);
}

TEST_F(FormAccessibleTest, DialogKeysMoveTheFocusAndPressWithoutTypingAndReadersHearIt) {
    Form form(App());
    form.SetClientSize(300, 100);
    std::vector<std::string> typed;
    form.OnKeyDown = [&](Form&, int& key) { typed.push_back("down " + std::to_string(key)); };
    form.OnKeyPress = [&](Form&, char& key) { typed.push_back(std::string("char ") + key); };
    int clicks[2] = {};
    for (int i = 0; i < 2; ++i) {
        auto* button = new SpeedButton(&form);
        button->SetParent(&form);
        button->SetCaption(i == 0 ? "&Oui" : "&Non");
        button->SetBounds(10 + 140 * i, 60, 135, 27);
        button->SetTabStop(true);
        button->SetDefault(i == 0);
        button->OnClick = [&clicks, i](Control&) { ++clicks[i]; };
    }
    auto* bar = new Bar(&form);
    bar->SetParent(&form);
    bar->SetBounds(10, 10, 280, 20);
    form.Show();
    Drain();
    HWND hwnd = static_cast<HWND>(Win32Backend::WindowOf(form));
    heard.clear();
    for (WPARAM key : {WPARAM{VK_TAB}, WPARAM{VK_SPACE}, WPARAM{'O'}})
        PostMessageW(hwnd, WM_KEYDOWN, key,
                     static_cast<LPARAM>(1 | MapVirtualKeyW(static_cast<UINT>(key), 0) << 16));
    Drain();
    EXPECT_EQ(typed, (std::vector<std::string>{"down 79", "char o"}));
    EXPECT_EQ(clicks[1], 1);
    ComPtr<IAccessible> object = ObjectOf(form);
    VARIANT focus{};
    EXPECT_EQ(object->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.lVal, 2);
    bar->Value = "42 %";
    form.Announce(AccessibleEvent::ValueChange, 3);
    Drain();
    EXPECT_EQ(Number(object, &IAccessible::get_accRole, 3), ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(Read(object, &IAccessible::get_accValue, 3), L"42 %");
    EXPECT_EQ(heard,
              (std::vector<std::pair<DWORD, long>>{{EVENT_OBJECT_FOCUS, 2}, {EVENT_OBJECT_VALUECHANGE, 3}}));
}

} // namespace
} // namespace vendora::test
