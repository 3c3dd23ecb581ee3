// Prints what the Windows shell reads from each shortcut file given: target, working folder, arguments,
// description, icon, show command and hot key, one "file: field: value" a line (Windows-1252 as the shell
// answers). The cross-check compares the shortcut the native build wrote with the one INSTALL.EXE wrote.
// Exit code 1 when a file cannot be loaded.

#include <windows.h>

#include <cstdio>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <string>

namespace {

struct ShellLink {
    IShellLinkA* Link = nullptr;
    IPersistFile* File = nullptr;

    ShellLink() {
        if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         reinterpret_cast<void**>(&Link))))
            Link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&File));
    }
    ~ShellLink() {
        if (File != nullptr)
            File->Release();
        if (Link != nullptr)
            Link->Release();
    }
    ShellLink(const ShellLink&) = delete;
    ShellLink& operator=(const ShellLink&) = delete;
};

std::wstring Wide(const char* text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    return wide;
}

void Field(const char* file, const char* name, HRESULT result, const char* value) {
    if (SUCCEEDED(result))
        std::printf("%s: %s: %s\n", file, name, value);
    else
        std::printf("%s: %s: (error 0x%08lx)\n", file, name, static_cast<unsigned long>(result));
}

bool Print(const char* file) {
    ShellLink shell;
    if (shell.File == nullptr) {
        std::printf("%s: the shell link object cannot be created\n", file);
        return false;
    }
    const HRESULT loaded = shell.File->Load(Wide(file).c_str(), STGM_READ);
    if (FAILED(loaded)) {
        std::printf("%s: not loaded (error 0x%08lx)\n", file, static_cast<unsigned long>(loaded));
        return false;
    }
    char text[1024] = "";
    WIN32_FIND_DATAA found{};
    Field(file, "path", shell.Link->GetPath(text, sizeof text, &found, SLGP_RAWPATH), text);
    text[0] = '\0';
    Field(file, "working folder", shell.Link->GetWorkingDirectory(text, sizeof text), text);
    text[0] = '\0';
    Field(file, "arguments", shell.Link->GetArguments(text, sizeof text), text);
    text[0] = '\0';
    Field(file, "description", shell.Link->GetDescription(text, sizeof text), text);
    text[0] = '\0';
    int icon = -1;
    const HRESULT iconResult = shell.Link->GetIconLocation(text, sizeof text, &icon);
    Field(file, "icon", iconResult, (std::string(text) + "," + std::to_string(icon)).c_str());
    int show = -1;
    const HRESULT showResult = shell.Link->GetShowCmd(&show);
    Field(file, "show command", showResult, std::to_string(show).c_str());
    WORD hotKey = 0xFFFF;
    const HRESULT hotKeyResult = shell.Link->GetHotkey(&hotKey);
    Field(file, "hot key", hotKeyResult, std::to_string(hotKey).c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: cross-shortcut-fields FILE.lnk...\n");
        return 2;
    }
    ::CoInitialize(nullptr);
    bool ok = true;
    for (int i = 1; i < argc; ++i)
        ok = Print(argv[i]) && ok;
    ::CoUninitialize();
    return ok ? 0 : 1;
}
