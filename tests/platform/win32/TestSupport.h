#pragma once
// What the Win32 platform tests share: a fresh folder under the user's temporary folder for each test,
// removed with everything in it afterwards, and whether the program runs under Wine.

#include "base/Text.h"
#include "platform/win32/WindowsApi.h"

#include <string>

namespace vendora::test {

// Wine differs from Windows in a few answers, which the tests name where they meet them.
inline bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

inline void RemoveTree(const AnsiString& folder) {
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const AnsiString path = folder + "\\" + name;
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                RemoveTree(path);
            else
                ::DeleteFileA(path.c_str());
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(folder.c_str());
}

class TempFolder {
public:
    TempFolder() {
        char base[MAX_PATH];
        ::GetTempPathA(MAX_PATH, base);
        for (unsigned attempt = 0;; ++attempt) {
            path_ = AnsiString(base) + "vendora-win32-" + std::to_string(::GetCurrentProcessId()) + "-" +
                    std::to_string(attempt);
            if (::CreateDirectoryA(path_.c_str(), nullptr))
                break;
        }
    }
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const AnsiString& Path() const { return path_; }
    AnsiString operator/(const AnsiString& name) const { return path_ + "\\" + name; }

private:
    AnsiString path_;
};

} // namespace vendora::test
