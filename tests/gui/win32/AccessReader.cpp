// What a screen reader finds in a window, read from another process as readers do: the top-level window
// of that exact title (looked for during a few seconds), its client area's object
// (AccessibleObjectFromWindow, OBJID_CLIENT), and the whole tree read back through MSAA alone, printed as
// the transcript writes a window's tree (AccessibleRecords: UTF-8, one line a record). With --press N, child
// N's default action is then asked for.
//
//   vendora-access-reader TITLE [--press N]
//
// Exit code 0; 1 when no such window came, 2 when it gave no object or a read failed, 3 when the press was
// refused, 4 on a usage error. What failed goes to stderr with its HRESULT.
#include "base/Cp1252.h"
#include "dialogs/forms/Transcript.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

// Last: the API's macros must not rename the project's declarations above.
#include "platform/win32/WindowsApi.h"
#include <fcntl.h>
#include <io.h>
#include <oleacc.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;
using namespace vendora;

namespace {

struct ReadError {
    std::string What;
    HRESULT Result;
};

void Check(HRESULT result, const std::string& what) {
    if (FAILED(result))
        throw ReadError{what, result};
}

VARIANT Child(long id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A text read through one of IAccessible's BSTR getters; none (S_FALSE) is empty.
template <typename Getter> AnsiString Text(IAccessible& object, Getter getter, long id, const char* what) {
    BSTR text = nullptr;
    Check((object.*getter)(Child(id), &text), what);
    const std::u16string wide(reinterpret_cast<const char16_t*>(text),
                              text != nullptr ? SysStringLen(text) : 0);
    SysFreeString(text);
    return Utf16ToAnsi(wide);
}

long Number(IAccessible& object, HRESULT (STDMETHODCALLTYPE IAccessible::*getter)(VARIANT, VARIANT*), long id,
            const char* what) {
    VARIANT value;
    VariantInit(&value);
    Check((object.*getter)(Child(id), &value), what);
    if (value.vt != VT_I4)
        throw ReadError{std::string(what) + " is not a number", E_UNEXPECTED};
    return value.lVal;
}

// A reader knows MSAA's roles and states, not the program's: its own tables.
AccessibleRole RoleOf(long role) {
    static constexpr std::pair<long, AccessibleRole> Roles[] = {
        {ROLE_SYSTEM_CLIENT, AccessibleRole::Window},
        {ROLE_SYSTEM_WINDOW, AccessibleRole::Window},
        {ROLE_SYSTEM_DIALOG, AccessibleRole::Dialog},
        {ROLE_SYSTEM_ALERT, AccessibleRole::Alert},
        {ROLE_SYSTEM_STATICTEXT, AccessibleRole::StaticText},
        {ROLE_SYSTEM_PUSHBUTTON, AccessibleRole::PushButton},
        {ROLE_SYSTEM_LINK, AccessibleRole::Link},
        {ROLE_SYSTEM_PROGRESSBAR, AccessibleRole::ProgressBar},
        {ROLE_SYSTEM_CHECKBUTTON, AccessibleRole::CheckBox},
        {ROLE_SYSTEM_RADIOBUTTON, AccessibleRole::RadioButton},
        {ROLE_SYSTEM_TEXT, AccessibleRole::EditableText},
        {ROLE_SYSTEM_GRAPHIC, AccessibleRole::Graphic},
    };
    for (const auto& [msaa, ours] : Roles) {
        if (msaa == role)
            return ours;
    }
    throw ReadError{"unknown role " + std::to_string(role), E_UNEXPECTED};
}

unsigned StatesOf(long bits) {
    static constexpr std::pair<long, unsigned> States[] = {
        {STATE_SYSTEM_DEFAULT, AccessibleState::Default},
        {STATE_SYSTEM_FOCUSED, AccessibleState::Focused},
        {STATE_SYSTEM_FOCUSABLE, AccessibleState::Focusable},
        {STATE_SYSTEM_CHECKED, AccessibleState::Checked},
        {STATE_SYSTEM_READONLY, AccessibleState::ReadOnly},
        {STATE_SYSTEM_PROTECTED, AccessibleState::Protected},
        {STATE_SYSTEM_UNAVAILABLE, AccessibleState::Unavailable},
        {STATE_SYSTEM_PRESSED, AccessibleState::Pressed},
    };
    unsigned states = 0;
    for (const auto& [msaa, ours] : States) {
        if ((bits & msaa) != 0)
            states |= ours;
    }
    return states;
}

AccessibleTree ReadTree(IAccessible& window) {
    AccessibleTree tree;
    tree.Role = RoleOf(Number(window, &IAccessible::get_accRole, CHILDID_SELF, "the window's role"));
    tree.Name = Text(window, &IAccessible::get_accName, CHILDID_SELF, "the window's name");
    long count = 0;
    Check(window.get_accChildCount(&count), "the number of children");
    for (long id = 1; id <= count; ++id) {
        AccessibleElement element;
        element.Role = RoleOf(Number(window, &IAccessible::get_accRole, id, "a child's role"));
        element.Name = Text(window, &IAccessible::get_accName, id, "a child's name");
        element.Value = Text(window, &IAccessible::get_accValue, id, "a child's value");
        element.States = StatesOf(Number(window, &IAccessible::get_accState, id, "a child's state"));
        element.Shortcut = Text(window, &IAccessible::get_accKeyboardShortcut, id, "a child's shortcut");
        tree.Children.push_back(element);
    }
    return tree;
}

HWND FindTitled(const std::wstring& title) {
    for (int tries = 0; tries < 100; ++tries) {
        if (HWND found = FindWindowW(nullptr, title.c_str()))
            return found;
        Sleep(100);
    }
    return nullptr;
}

int Run(const std::wstring& title, long press) {
    HWND window = FindTitled(title);
    if (window == nullptr) {
        std::fprintf(stderr, "no window titled so\n");
        return 1;
    }
    try {
        ComPtr<IAccessible> object;
        Check(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                         reinterpret_cast<void**>(object.GetAddressOf())),
              "AccessibleObjectFromWindow");
        if (!object)
            throw ReadError{"AccessibleObjectFromWindow gave no object", E_UNEXPECTED};
        for (const std::string& line : AccessibleRecords(ReadTree(*object.Get())))
            std::fputs((line + "\n").c_str(), stdout);
        std::fflush(stdout);
        if (press > 0 && object->accDoDefaultAction(Child(press)) != S_OK) {
            std::fprintf(stderr, "child %ld refused its default action\n", press);
            return 3;
        }
    } catch (const ReadError& error) {
        std::fprintf(stderr, "%s failed: HRESULT 0x%08lx\n", error.What.c_str(),
                     static_cast<unsigned long>(error.Result));
        return 2;
    }
    return 0;
}

} // namespace

int main() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    long press = 0;
    if (arguments == nullptr || (count != 2 && count != 4) ||
        (count == 4 && (std::wstring(arguments[2]) != L"--press" ||
                        (press = std::wcstol(arguments[3], nullptr, 10)) <= 0))) {
        std::fprintf(stderr, "usage: vendora-access-reader TITLE [--press N]\n");
        return 4;
    }
    // Lines as the transcript has them, without the C runtime's CR.
    _setmode(_fileno(stdout), _O_BINARY);
    CoInitialize(nullptr);
    const int code = Run(arguments[1], press);
    CoUninitialize();
    LocalFree(arguments);
    return code;
}
