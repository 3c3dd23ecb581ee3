#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsApi.h"

#include <string>

namespace vendora {

namespace {

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
void SetLinkValues(IShellLinkW& shell, const ShellLinkData& link) {
    shell.SetPath(Wide(link.Path).c_str());
    shell.SetWorkingDirectory(Wide(link.WorkingDirectory).c_str());
    shell.SetArguments(Wide(link.Arguments).c_str());
    shell.SetDescription(Wide(link.Description).c_str());
    shell.SetShowCmd(link.ShowCmd);
    if (link.HotKey != 0)
        shell.SetHotkey(link.HotKey);
    shell.SetIconLocation(Wide(link.IconLocation).c_str(), link.IconIndex);
}

} // namespace

bool Win32Platform::SaveShellLink(const ShellLinkData& link, const AnsiString& shortcutFile) {
    ComPointer<IShellLinkW> shell;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  shell.Receive())))
        return false;
    SetLinkValues(*shell.operator->(), link);
    ComPointer<IPersistFile> file;
    if (FAILED(shell->QueryInterface(IID_IPersistFile, file.Receive())))
        return false;
    return SUCCEEDED(file->Save(Wide(shortcutFile).c_str(), TRUE));
}

} // namespace vendora
