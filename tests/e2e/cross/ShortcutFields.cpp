// Prints the system's ANSI code page ("code page: N"), then what the Windows shell reads from each shortcut
// file given: target, working folder, arguments, description, icon, show command and hot key, one
// "file: field: value" a line, in UTF-8. The shell is asked through IShellLinkW, so that every character
// comes back whatever the code page. The cross-check compares the shortcut the native build wrote with
// the one INSTALL.EXE wrote. Exit code 1 when a file cannot be loaded.

#include "platform/win32/WindowsApi.h"

#include <cstdio>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <string>

namespace {

struct ShellLink {
    IShellLinkW* Link = nullptr;
    IPersistFile* File = nullptr;

    ShellLink() {
        if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
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

std::string Utf8(const std::wstring& text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), length, nullptr, nullptr);
    return utf8.c_str();
}

void Field(const std::string& file, const char* name, HRESULT result, const std::string& value) {
    if (SUCCEEDED(result))
        std::printf("%s: %s: %s\n", file.c_str(), name, value.c_str());
    else
        std::printf("%s: %s: (error 0x%08lx)\n", file.c_str(), name, static_cast<unsigned long>(result));
}

bool Print(const wchar_t* wideFile) {
    const std::string file = Utf8(wideFile);
    ShellLink shell;
    if (shell.File == nullptr) {
        std::printf("%s: the shell link object cannot be created\n", file.c_str());
        return false;
    }
    const HRESULT loaded = shell.File->Load(wideFile, STGM_READ);
    if (FAILED(loaded)) {
        std::printf("%s: not loaded (error 0x%08lx)\n", file.c_str(), static_cast<unsigned long>(loaded));
        return false;
    }
    // Each value is read before it is printed: the arguments of one call are evaluated in any order.
    wchar_t text[1024] = L"";
    WIN32_FIND_DATAW found{};
    HRESULT result = shell.Link->GetPath(text, 1024, &found, SLGP_RAWPATH);
    Field(file, "path", result, Utf8(text));
    text[0] = L'\0';
    result = shell.Link->GetWorkingDirectory(text, 1024);
    Field(file, "working folder", result, Utf8(text));
    text[0] = L'\0';
    result = shell.Link->GetArguments(text, 1024);
    Field(file, "arguments", result, Utf8(text));
    text[0] = L'\0';
    result = shell.Link->GetDescription(text, 1024);
    Field(file, "description", result, Utf8(text));
    text[0] = L'\0';
    int icon = -1;
    const HRESULT iconResult = shell.Link->GetIconLocation(text, 1024, &icon);
    Field(file, "icon", iconResult, Utf8(text) + "," + std::to_string(icon));
    int show = -1;
    const HRESULT showResult = shell.Link->GetShowCmd(&show);
    Field(file, "show command", showResult, std::to_string(show));
    WORD hotKey = 0xFFFF;
    const HRESULT hotKeyResult = shell.Link->GetHotkey(&hotKey);
    Field(file, "hot key", hotKeyResult, std::to_string(hotKey));
    return true;
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 2) {
        std::fprintf(stderr, "usage: cross-shortcut-fields FILE.lnk...\n");
        return 2;
    }
    std::printf("code page: %u\n", ::GetACP());
    ::CoInitialize(nullptr);
    bool ok = true;
    for (int i = 1; i < argc; ++i)
        ok = Print(argv[i]) && ok;
    ::CoUninitialize();
    ::LocalFree(argv);
    return ok ? 0 : 1;
}
