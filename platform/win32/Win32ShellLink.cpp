#include "base/Cp1252.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsApi.h"

#include <string>

namespace vendora {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

// Release on every path out.
template <typename Interface> class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() {
        if (pointer_ != nullptr)
            pointer_->Release();
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    void** Receive() { return reinterpret_cast<void**>(&pointer_); }
    Interface* operator->() const { return pointer_; }

private:
    Interface* pointer_ = nullptr;
};

// The setters in the order the shortcut component calls them, each result ignored; the hot key only when
// there is one.
void SetLinkValues(IShellLinkA& shell, const ShellLinkData& link) {
    shell.SetPath(link.Path.c_str());
    shell.SetWorkingDirectory(link.WorkingDirectory.c_str());
    shell.SetArguments(link.Arguments.c_str());
    shell.SetDescription(link.Description.c_str());
    shell.SetShowCmd(link.ShowCmd);
    if (link.HotKey != 0)
        shell.SetHotkey(link.HotKey);
    shell.SetIconLocation(link.IconLocation.c_str(), link.IconIndex);
}

} // namespace

bool Win32Platform::SaveShellLink(const ShellLinkData& link, const AnsiString& shortcutFile) {
    ComPointer<IShellLinkA> shell;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  shell.Receive())))
        return false;
    SetLinkValues(*shell.operator->(), link);
    ComPointer<IPersistFile> file;
    if (FAILED(shell->QueryInterface(IID_IPersistFile, file.Receive())))
        return false;
    const std::u16string wide = AnsiToUtf16(shortcutFile);
    return SUCCEEDED(file->Save(reinterpret_cast<const wchar_t*>(wide.c_str()), TRUE));
}

} // namespace vendora
