#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsApi.h"

#include <string>

#include <wrl/client.h>

namespace vendora {

namespace {

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
    Microsoft::WRL::ComPtr<IShellLinkW> shell;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, &shell)))
        return false;
    SetLinkValues(*shell.Get(), link);
    Microsoft::WRL::ComPtr<IPersistFile> file;
    if (FAILED(shell.As(&file)))
        return false;
    return SUCCEEDED(file->Save(Wide(shortcutFile).c_str(), TRUE));
}

} // namespace vendora
