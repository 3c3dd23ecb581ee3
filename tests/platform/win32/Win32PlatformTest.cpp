// The Win32 platform's other services against the real calls: the program's own resource, the clock, the
// registry value, COM and the shell link read back through IShellLinkW, system colours and ShellExecuteW;
// a desktop folder that Windows-1252 cannot name.

#include "platform/win32/Win32Platform.h"
#include "base/Cp1252.h"
#include "tests/platform/win32/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace vendora;
using vendora::test::NamesIn;
using vendora::test::RunningUnderWine;
using vendora::test::TempFolder;

namespace {

std::string FromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return bytes;
}

AnsiString FolderOf(const AnsiString& path) {
    return path.substr(0, path.find_last_of('\\'));
}

double DaysOf(const FILETIME& time) {
    const auto ticks = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    // To whole milliseconds, as the local time has them; then from 1601-01-01 to 1899-12-30.
    return static_cast<double>(ticks / 10000) / 86400000.0 - 109205.0;
}

double LocalNowInDays() {
    FILETIME utc{};
    ::GetSystemTimeAsFileTime(&utc);
    FILETIME local{};
    ::FileTimeToLocalFileTime(&utc, &local);
    return DaysOf(local);
}

// The test's own registry key under HKEY_CURRENT_USER, removed afterwards.
class TestKey {
public:
    TestKey() : root_("Software\\Vendora tests " + std::to_string(::GetCurrentProcessId())) {}
    ~TestKey() { ::RegDeleteTreeW(HKEY_CURRENT_USER, Wide(root_).c_str()); }
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;
    const AnsiString& Root() const { return root_; }
    bool Exists(const AnsiString& key) const {
        HKEY opened = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(opened);
        return true;
    }
    // Writes a value; size counts the bytes stored, terminator or not.
    void Set(const AnsiString& key, const wchar_t* name, DWORD type, const void* data, DWORD size) const {
        HKEY opened = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &opened, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(opened, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        ::RegCloseKey(opened);
    }
    // A string value of the given characters, with its terminator unless said otherwise.
    void SetText(const AnsiString& key, const wchar_t* name, DWORD type, const std::wstring& text,
                 bool terminated = true) const {
        Set(key, name, type, text.c_str(), static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * 2));
    }

private:
    AnsiString root_;
};

// Reads a saved shortcut back through the shell's own object.
class LoadedLink {
public:
    explicit LoadedLink(const AnsiString& file) {
        if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(&link_))))
            return;
        IPersistFile* persist = nullptr;
        if (FAILED(link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))))
            return;
        loaded_ = persist->Load(Wide(file).c_str(), STGM_READ) == S_OK;
        persist->Release();
    }
    ~LoadedLink() {
        if (link_ != nullptr)
            link_->Release();
    }
    LoadedLink(const LoadedLink&) = delete;
    LoadedLink& operator=(const LoadedLink&) = delete;
    bool Loaded() const { return loaded_; }
    IShellLinkW& Link() const { return *link_; }

private:
    IShellLinkW* link_ = nullptr;
    bool loaded_ = false;
};

// A file's bytes, read through its wide name.
std::string ReadAll(const AnsiString& path) {
    std::string bytes;
    if (FILE* in = ::_wfopen(Wide(path).c_str(), L"rb")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
            bytes.append(buffer, got);
        std::fclose(in);
    }
    return bytes;
}

class Win32PlatformTest : public ::testing::Test {
protected:
    void SetUp() override { platform_->CoInitialize(); }
    void TearDown() override { platform_->CoUninitialize(); }

    // Starts the probe program through ShellExecute in the folder given, the record file and an event
    // before the arguments; waits for it and answers what it recorded (UTF-8), "" when it did not start.
    std::string RunProbe(const AnsiString& arguments, const AnsiString& folder) {
        const AnsiString probe = FolderOf(platform_->ModuleFileName()) + "\\" + VENDORA_SHELL_PROBE;
        HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, Wide(event_).c_str());
        if (done == nullptr)
            return "";
        const AnsiString parameters = "\"" + record_ + "\" \"" + event_ + "\" " + arguments;
        const bool started = platform_->ShellExecute(probe, parameters, folder, SW_SHOWNORMAL) > 32;
        const DWORD waited = started ? ::WaitForSingleObject(done, 120000) : WAIT_FAILED;
        ::CloseHandle(done);
        return waited == WAIT_OBJECT_0 ? ReadAll(record_) : "";
    }

    std::unique_ptr<Win32Platform> platform_ = Win32Platform::Create();
    TempFolder folder_;
    const AnsiString record_ = folder_ / "record.txt";
    const AnsiString event_ = "Vendora shell probe " + std::to_string(::GetCurrentProcessId());
};

} // namespace

TEST_F(Win32PlatformTest, TheOwnResourceIsUsedWhereTheModuleHoldsIt) {
    auto resource = platform_->FindResource("FCC", 1);
    ASSERT_TRUE(resource);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(resource->data()), resource->size()),
              FromHex(VENDORA_TEST_RESOURCE_HEX));
    // Not a copy: the bytes lie in the program's own image.
    MEMORY_BASIC_INFORMATION where{};
    ASSERT_NE(::VirtualQuery(resource->data(), &where, sizeof where), 0u);
    EXPECT_EQ(where.AllocationBase, static_cast<void*>(::GetModuleHandleW(nullptr)));
    EXPECT_TRUE(platform_->FindResource("fcc", 1)); // types compare without regard to case
    EXPECT_FALSE(platform_->FindResource("FCC", 2));
    EXPECT_FALSE(platform_->FindResource("BMP", 1));
}

TEST_F(Win32PlatformTest, TheModuleFileIsTheRunningProgram) {
    const AnsiString module = platform_->ModuleFileName();
    ASSERT_GE(module.size(), 3u);
    EXPECT_EQ(module.substr(1, 2), ":\\");
    EXPECT_EQ(UpperAscii(module.substr(module.find_last_of('\\') + 1)), "TEST_PLATFORM_WIN32.EXE");
    EXPECT_TRUE(platform_->Files().FileExists(module));
}

TEST_F(Win32PlatformTest, TheClocksFollowTheSystem) {
    const std::uint64_t before = ::GetTickCount64();
    const std::uint64_t first = platform_->TickCount();
    const std::uint64_t second = platform_->TickCount();
    const std::uint64_t after = ::GetTickCount64();
    EXPECT_LE(before, first);
    EXPECT_LE(first, second);
    EXPECT_LE(second, after);

    const double earliest = LocalNowInDays();
    const double now = platform_->Now();
    const double latest = LocalNowInDays();
    const double millisecond = 1.0 / 86400000.0;
    EXPECT_GE(now, earliest - millisecond);
    EXPECT_LE(now, latest + millisecond);
    EXPECT_GT(now, 45658.0); // after 2025-01-01
}

TEST_F(Win32PlatformTest, TheRegistryValueIsReadAndOnlyTheParentKeyIsCreated) {
    TestKey key;
    const AnsiString folders = key.Root() + "\\Explorer\\Shell Folders";
    EXPECT_FALSE(platform_->ReadUserRegistryString(folders, "Desktop"));
    EXPECT_TRUE(key.Exists(key.Root() + "\\Explorer")); // opened with full access, created when missing
    EXPECT_FALSE(key.Exists(folders));

    key.SetText(folders, L"Desktop", REG_SZ, L"C:\\Users\\Zo\u00E9 \u0152\\Bureau");
    EXPECT_EQ(platform_->ReadUserRegistryString(folders, "Desktop"), Ansi("C:\\Users\\Zoé Œ\\Bureau"));
    EXPECT_EQ(platform_->ReadUserRegistryString(folders, "DESKTOP"), Ansi("C:\\Users\\Zoé Œ\\Bureau"));
    EXPECT_FALSE(platform_->ReadUserRegistryString(folders, "Personal"));

    // Stored without its terminator, with an odd number of bytes, or unexpanded: the text as it is.
    key.SetText(folders, L"Short", REG_SZ, L"abc", false);
    EXPECT_EQ(platform_->ReadUserRegistryString(folders, "Short"), AnsiString("abc"));
    key.Set(folders, L"Odd", REG_SZ, L"abc", 5);
    EXPECT_EQ(platform_->ReadUserRegistryString(folders, "Odd"), AnsiString("ab"));
    key.SetText(folders, L"Expand", REG_EXPAND_SZ, L"%USERPROFILE%\\Desktop");
    EXPECT_EQ(platform_->ReadUserRegistryString(folders, "Expand"), AnsiString("%USERPROFILE%\\Desktop"));
    key.SetText(folders, L"Long", REG_SZ, std::wstring(3000, L'x'));
    EXPECT_EQ(platform_->ReadUserRegistryString(folders, "Long"), AnsiString(3000, 'x'));
    const DWORD number = 7;
    key.Set(folders, L"Number", REG_DWORD, &number, sizeof number);
    EXPECT_FALSE(platform_->ReadUserRegistryString(folders, "Number"));
}

TEST_F(Win32PlatformTest, TheDesktopFolderOfTheShellIsInTheRegistry) {
    wchar_t desktop[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop),
              S_OK);
    const auto value = platform_->ReadUserRegistryString(
        "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Desktop");
    ASSERT_TRUE(value);
    EXPECT_EQ(UpperAscii(*value), UpperAscii(Narrow(desktop)));
}

// What a run under SYSTEM and a silent run's log need: the account, the all-users desktop and %TEMP%,
// existing folders without a closing '\'. A test program is no SYSTEM process.
TEST_F(Win32PlatformTest, TheAccountTheAllUsersDesktopAndTheTemporaryFolder) {
    EXPECT_FALSE(platform_->RunsAsSystem());
    for (const AnsiString& folder : {platform_->AllUsersDesktop(), platform_->TempFolder()}) {
        EXPECT_TRUE(platform_->Files().DirectoryExists(folder)) << folder;
        EXPECT_FALSE(folder.ends_with('\\')) << folder;
    }
    EXPECT_NE(UpperAscii(platform_->AllUsersDesktop()),
              UpperAscii(*platform_->ReadUserRegistryString(
                  "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Desktop")));
}

TEST_F(Win32PlatformTest, COMIsInitialisedAndUninitialisedOnThisThread) {
    // SetUp initialised COM: another call only counts up (S_FALSE).
    EXPECT_EQ(::CoInitialize(nullptr), S_FALSE);
    ::CoUninitialize();
    platform_->CoUninitialize();
    EXPECT_EQ(::CoInitialize(nullptr), S_OK); // it was really released
    ::CoUninitialize();
    platform_->CoInitialize();
}

TEST_F(Win32PlatformTest, TheShellLinkIsSavedAndReadBackThroughIShellLinkW) {
    ShellLinkData data;
    data.Path = platform_->ModuleFileName();
    data.WorkingDirectory = FolderOf(data.Path);
    data.Arguments = Ansi("\"D:\\Ma Caisse\" été");
    data.Description = Ansi("Vendora est une application réalisée avec Quillbox © Morvanel");
    data.ShowCmd = 9;
    data.HotKey = 0x0641; // Ctrl+Alt+A
    data.IconLocation = data.Path;
    data.IconIndex = 2;
    const AnsiString file = folder_ / Ansi("Vendora © Morvanel.lnk");
    ASSERT_TRUE(platform_->SaveShellLink(data, file));
    // The name reached the disk with its "©" (U+00A9), converted from Windows-1252.
    EXPECT_EQ(NamesIn(folder_.WidePath()), std::vector<std::wstring>{L"Vendora \u00A9 Morvanel.lnk"});

    LoadedLink loaded(file);
    ASSERT_TRUE(loaded.Loaded());
    wchar_t text[1024];
    WIN32_FIND_DATAW found{};
    ASSERT_TRUE(SUCCEEDED(loaded.Link().GetPath(text, 1024, &found, SLGP_RAWPATH)));
    EXPECT_EQ(UpperAscii(Narrow(text)), UpperAscii(data.Path));
    ASSERT_EQ(loaded.Link().GetWorkingDirectory(text, 1024), S_OK);
    EXPECT_EQ(Narrow(text), data.WorkingDirectory);
    ASSERT_EQ(loaded.Link().GetArguments(text, 1024), S_OK);
    EXPECT_EQ(std::wstring(text), L"\"D:\\Ma Caisse\" \u00E9t\u00E9");
    ASSERT_EQ(loaded.Link().GetDescription(text, 1024), S_OK);
    EXPECT_EQ(std::wstring(text),
              L"Vendora est une application r\u00E9alis\u00E9e avec Quillbox \u00A9 Morvanel");
    int icon = -1;
    ASSERT_EQ(loaded.Link().GetIconLocation(text, 1024, &icon), S_OK);
    EXPECT_EQ(UpperAscii(Narrow(text)), UpperAscii(data.IconLocation));
    EXPECT_EQ(icon, 2);
    WORD hotKey = 0;
    ASSERT_EQ(loaded.Link().GetHotkey(&hotKey), S_OK);
    EXPECT_EQ(hotKey, 0x0641);
    int show = 0;
    ASSERT_EQ(loaded.Link().GetShowCmd(&show), S_OK);
    if (!RunningUnderWine()) { // Wine's shell link answers SW_SHOWNORMAL whatever the file holds
        EXPECT_EQ(show, 9);
    }
}

TEST_F(Win32PlatformTest, AShortcutIsOverwrittenHasNoHotKeyUnlessGivenAndFailsInAMissingFolder) {
    ShellLinkData data;
    data.Path = platform_->ModuleFileName();
    data.WorkingDirectory = FolderOf(data.Path);
    data.Description = "first";
    data.HotKey = 0x0642;
    const AnsiString file = folder_ / "Vendora.lnk";
    ASSERT_TRUE(platform_->SaveShellLink(data, file));
    data.Description = "second";
    data.HotKey = 0;
    ASSERT_TRUE(platform_->SaveShellLink(data, file));
    LoadedLink loaded(file);
    ASSERT_TRUE(loaded.Loaded());
    wchar_t text[256];
    ASSERT_EQ(loaded.Link().GetDescription(text, 256), S_OK);
    EXPECT_STREQ(text, L"second");
    WORD hotKey = 0xFFFF;
    ASSERT_EQ(loaded.Link().GetHotkey(&hotKey), S_OK);
    EXPECT_EQ(hotKey, 0);

    EXPECT_FALSE(platform_->SaveShellLink(data, folder_ / "absent\\Vendora.lnk"));
    EXPECT_FALSE(platform_->Files().FileExists(folder_ / "absent\\Vendora.lnk"));
}

TEST_F(Win32PlatformTest, SystemColoursAreTheCurrentOnes) {
    for (int index = 0; index <= 30; ++index) {
        const COLORREF system = ::GetSysColor(index);
        const TColor colour = platform_->GetSysColor(index);
        EXPECT_EQ(colour.Red(), GetRValue(system)) << index;
        EXPECT_EQ(colour.Green(), GetGValue(system)) << index;
        EXPECT_EQ(colour.Blue(), GetBValue(system)) << index;
        EXPECT_FALSE(colour.IsSystem()) << index;
    }
    // A change of the user's colours shows at once (restored afterwards).
    const int element = COLOR_INFOBK;
    const COLORREF saved = ::GetSysColor(element);
    const COLORREF changed = RGB(12, 34, 56);
    ASSERT_TRUE(::SetSysColors(1, &element, &changed));
    const TColor seen = platform_->GetSysColor(element);
    const TColor resolved = RgbOf(TColor::System(element), *platform_);
    ::SetSysColors(1, &element, &saved);
    EXPECT_EQ(seen, TColor::Rgb(12, 34, 56));
    EXPECT_EQ(resolved, TColor::Rgb(12, 34, 56));
}

TEST_F(Win32PlatformTest, ShellExecuteStartsAProgramWithItsParametersInItsFolder) {
    EXPECT_LE(platform_->ShellExecute(folder_ / "absent.exe", "", folder_.Path(), SW_SHOWNORMAL), 32);
    EXPECT_LE(platform_->ShellExecute(folder_ / "absent.pdf", "", folder_.Path(), SW_SHOWNORMAL), 32);

    const AnsiString folder = folder_ / Ansi("dossier été");
    ASSERT_EQ(platform_->Files().CreateDirectory(folder).Error(), 0);
    EXPECT_EQ(RunProbe(Ansi("\"D:\\Ma Caisse\" Règlements"), folder),
              AnsiToUtf8(record_ + "\n" + event_ + Ansi("\nD:\\Ma Caisse\nRèglements\n") + folder + "\n"));
}

TEST_F(Win32PlatformTest, ADesktopThatWindows1252CannotNameGetsTheShortcutAndStartsPrograms) {
    // A desktop on a Russian Windows, as the registry gives it.
    const std::wstring user = folder_.WidePath() + L"\\\u0418\u0432\u0430\u043D";
    const std::wstring foreign =
        user + L"\\\u0420\u0430\u0431\u043E\u0447\u0438\u0439 \u0441\u0442\u043E\u043B";
    ASSERT_TRUE(::CreateDirectoryW(user.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(foreign.c_str(), nullptr));
    TestKey key;
    key.SetText(key.Root() + "\\Shell Folders", L"Desktop", REG_SZ, foreign);
    const auto desktop = platform_->ReadUserRegistryString(key.Root() + "\\Shell Folders", "Desktop");
    ASSERT_EQ(desktop, folder_ / "????\\??????? ????");

    ShellLinkData data;
    data.Path = platform_->ModuleFileName();
    data.WorkingDirectory = *desktop;
    data.Description = Ansi("réalisée avec Quillbox ©");
    const AnsiString file = *desktop + "\\" + Ansi("Vendora © Morvanel.lnk");
    ASSERT_TRUE(platform_->SaveShellLink(data, file));
    EXPECT_EQ(NamesIn(foreign), std::vector<std::wstring>{L"Vendora \u00A9 Morvanel.lnk"});
    LoadedLink loaded(file);
    ASSERT_TRUE(loaded.Loaded());
    wchar_t text[1024];
    ASSERT_EQ(loaded.Link().GetWorkingDirectory(text, 1024), S_OK);
    EXPECT_EQ(std::wstring(text), foreign);
    ASSERT_EQ(loaded.Link().GetDescription(text, 1024), S_OK);
    EXPECT_EQ(std::wstring(text), L"r\u00E9alis\u00E9e avec Quillbox \u00A9");

    // A program started there, given the folder as its argument, gets both with their own letters.
    const std::string named = AnsiToUtf8(folder_.Path()) + "\\Иван\\Рабочий стол";
    EXPECT_EQ(RunProbe("\"" + *desktop + "\"", *desktop),
              AnsiToUtf8(record_ + "\n" + event_ + "\n") + named + "\n" + named + "\n");
}
