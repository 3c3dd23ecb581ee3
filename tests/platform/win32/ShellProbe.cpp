// Started by the ShellExecute tests: writes its arguments and working folder, one a line in UTF-8, to the
// file its first argument names, then signals the event its second argument names. Everything is read
// through the wide calls, so that the record holds the characters given whatever the code page.

#include "platform/win32/WindowsApi.h"

#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
    return utf8.c_str();
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 3)
        return 2;
    FILE* out = ::_wfopen(argv[1], L"wb");
    if (out == nullptr)
        return 1;
    for (int i = 1; i < argc; ++i)
        std::fprintf(out, "%s\n", Utf8(argv[i]).c_str());
    wchar_t folder[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    std::fprintf(out, "%s\n", Utf8(folder).c_str());
    std::fclose(out);
    HANDLE done = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (done == nullptr)
        return 1;
    ::SetEvent(done);
    ::CloseHandle(done);
    return 0;
}
