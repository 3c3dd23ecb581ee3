#include "platform/win32/Win32Platform.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <string>
#include <vector>

namespace vendora {

namespace {

// 1899-12-30, the framework's day 0, counted in days from 1601-01-01, FILETIME's origin.
constexpr double FileTimeOriginInDays = 109205.0;
constexpr double TicksPerDay = 864000000000.0;

// RegCloseKey on every path out.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_ != nullptr)
            ::RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* Receive() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::optional<AnsiString> QueryString(HKEY key, const AnsiString& value) {
    const std::wstring name = Wide(value);
    DWORD type = 0;
    DWORD size = 0;
    LONG result = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    std::vector<wchar_t> data;
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return std::nullopt;
        // Sizes count bytes; an odd one still gets room for its last unit.
        data.resize(size / sizeof(wchar_t) + 2);
        size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        result = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                    &size);
        if (result == ERROR_SUCCESS)
            break;
    }
    if (result != ERROR_SUCCESS)
        return std::nullopt;
    // A stored string need not end with its terminator, and may carry more than one.
    std::wstring_view text(data.data(), size / sizeof(wchar_t));
    return Narrow(text.substr(0, text.find(L'\0')));
}

} // namespace

std::unique_ptr<Win32Platform> Win32Platform::Create() {
    return std::make_unique<Win32Platform>();
}

AnsiString Win32Platform::CommandLine() {
    return Narrow(::GetCommandLineW());
}

AnsiString Win32Platform::ModuleFileName() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return AnsiString();
        // A full buffer means the name was cut.
        if (length < buffer.size())
            return Narrow(std::wstring_view(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::span<const std::uint8_t>> Win32Platform::FindResource(std::string_view type, int id) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), Wide(type).c_str());
    if (found == nullptr)
        return std::nullopt;
    HGLOBAL loaded = ::LoadResource(module, found);
    if (loaded == nullptr)
        return std::nullopt;
    const void* bytes = ::LockResource(loaded);
    const DWORD size = ::SizeofResource(module, found);
    if (bytes == nullptr)
        return std::nullopt;
    return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(bytes), size);
}

std::uint64_t Win32Platform::TickCount() {
    // GetTickCount64: GetTickCount's value without its wrap after 49.7 days.
    return ::GetTickCount64();
}

double Win32Platform::Now() {
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    // The wall-clock fields as a FILETIME only to count days: no time zone is applied.
    FILETIME asTicks{};
    if (!::SystemTimeToFileTime(&local, &asTicks))
        return 0;
    const double ticks = static_cast<double>((static_cast<std::uint64_t>(asTicks.dwHighDateTime) << 32) |
                                             asTicks.dwLowDateTime);
    return ticks / TicksPerDay - FileTimeOriginInDays;
}

std::intptr_t Win32Platform::ShellExecute(const AnsiString& file, const AnsiString& parameters,
                                          const AnsiString& directory, int showCmd) {
    HINSTANCE result = ::ShellExecuteW(nullptr, nullptr, Wide(file).c_str(), Wide(parameters).c_str(),
                                       Wide(directory).c_str(), showCmd);
    return reinterpret_cast<std::intptr_t>(result);
}

std::optional<AnsiString> Win32Platform::ReadUserRegistryString(const AnsiString& key,
                                                                const AnsiString& value) {
    const std::size_t split = key.find_last_of('\\');
    const AnsiString parent = split == AnsiString::npos ? key : key.substr(0, split);
    const AnsiString leaf = split == AnsiString::npos ? AnsiString() : key.substr(split + 1);
    RegistryKey opened;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(parent).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, opened.Receive(), nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    if (leaf.empty())
        return QueryString(opened.Get(), value);
    RegistryKey child;
    if (::RegOpenKeyExW(opened.Get(), Wide(leaf).c_str(), 0, KEY_QUERY_VALUE, child.Receive()) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return QueryString(child.Get(), value);
}

bool Win32Platform::CoInitialize() {
    return SUCCEEDED(::CoInitialize(nullptr));
}

void Win32Platform::CoUninitialize() {
    ::CoUninitialize();
}

TColor Win32Platform::GetSysColor(int index) {
    // A COLORREF keeps red in the low byte, as TColor does.
    return TColor(static_cast<std::uint32_t>(::GetSysColor(index)));
}

void Win32Platform::Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

bool Win32Platform::RunsAsSystem() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<std::uint8_t> buffer(size);
    const bool read =
        size != 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size) != FALSE;
    ::CloseHandle(token);
    if (!read)
        return false;
    const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
    return ::IsWellKnownSid(user->User.Sid, WinLocalSystemSid) != FALSE;
}

AnsiString Win32Platform::AllUsersDesktop() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(
            ::SHGetFolderPathW(nullptr, CSIDL_COMMON_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return AnsiString();
    return Narrow(folder);
}

AnsiString Win32Platform::TempFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return AnsiString();
    std::wstring_view path(folder, length);
    if (path.size() > 3 && path.back() == L'\\')
        path.remove_suffix(1);
    return Narrow(path);
}

} // namespace vendora
