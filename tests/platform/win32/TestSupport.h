#pragma once
// What the Win32 platform tests share: a fresh folder under the user's temporary folder for each test,
// removed with everything in it afterwards, the names a folder holds as the disk has them, and whether the
// program runs under Wine. All through the wide calls, as the tests also run under other code pages.

#include "base/Text.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vendora::test {

// Wine differs from Windows in a few answers, which the tests name where they meet them.
inline bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The names in a folder, in UTF-16 as the disk holds them, sorted; "." and ".." left out.
inline std::vector<std::wstring> NamesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

inline void RemoveTree(const std::wstring& folder) {
    for (const std::wstring& name : NamesIn(folder)) {
        const std::wstring path = folder + L"\\" + name;
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            RemoveTree(path);
        else
            ::DeleteFileW(path.c_str());
    }
    ::RemoveDirectoryW(folder.c_str());
}

class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH];
        ::GetTempPathW(MAX_PATH, base);
        for (unsigned attempt = 0;; ++attempt) {
            wide_ = std::wstring(base) + L"vendora-win32-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                    std::to_wstring(attempt);
            if (::CreateDirectoryW(wide_.c_str(), nullptr))
                break;
        }
        path_ = Narrow(wide_);
    }
    ~TempFolder() { RemoveTree(wide_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const AnsiString& Path() const { return path_; }
    const std::wstring& WidePath() const { return wide_; }
    AnsiString operator/(const AnsiString& name) const { return path_ + "\\" + name; }

private:
    std::wstring wide_;
    AnsiString path_;
};

} // namespace vendora::test
