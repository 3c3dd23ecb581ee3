// The Win32 platform's other services against the real calls: the program's own resource, the clock, the
// registry value, COM and the shell link read back through IShellLinkA, system colours and ShellExecuteA.

#include "platform/win32/Win32Platform.h"
#include "base/Cp1252.h"
#include "tests/platform/win32/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace vendora;
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
    ~TestKey() { ::RegDeleteTreeA(HKEY_CURRENT_USER, root_.c_str()); }
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;
    const AnsiString& Root() const { return root_; }
    bool Exists(const AnsiString& key) const {
        HKEY opened = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(opened);
        return true;
    }
    // Writes a value; size counts the bytes stored, terminator or not.
    void Set(const AnsiString& key, const char* name, DWORD type, const void* data, DWORD size) const {
        HKEY opened = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &opened, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExA(opened, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        ::RegCloseKey(opened);
    }

private:
    AnsiString root_;
};

// Reads a saved shortcut back through the shell's own object.
class LoadedLink {
public:
    explicit LoadedLink(const AnsiString& file) {
        if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&link_))))
            return;
        IPersistFile* persist = nullptr;
        if (FAILED(link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))))
            return;
        const std::u16string wide = AnsiToUtf16(file);
        loaded_ = persist->Load(reinterpret_cast<const wchar_t*>(wide.c_str()), STGM_READ) == S_OK;
        persist->Release();
    }
    ~LoadedLink() {
        if (link_ != nullptr)
            link_->Release();
    }
    LoadedLink(const LoadedLink&) = delete;
    LoadedLink& operator=(const LoadedLink&) = delete;
    bool Loaded() const { return loaded_; }
    IShellLinkA& Link() const { return *link_; }

private:
    IShellLinkA* link_ = nullptr;
    bool loaded_ = false;
};

class Win32PlatformTest : public ::testing::Test {
protected:
    void SetUp() override { platform_->CoInitialize(); }
    void TearDown() override { platform_->CoUninitialize(); }

    std::unique_ptr<Win32Platform> platform_ = Win32Platform::Create();
    TempFolder folder_;
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
    EXPECT_EQ(where.AllocationBase, static_cast<void*>(::GetModuleHandleA(nullptr)));
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

    const AnsiString desktop = Ansi("C:\\Users\\Zoé\\Bureau");
    key.Set(folders, "Desktop", REG_SZ, desktop.c_str(), static_cast<DWORD>(desktop.size() + 1));
    EXPECT_EQ(platform_->ReadUserRegistryString(folders, "Desktop"), desktop);
    EXPECT_EQ(platform_->ReadUserRegistryString(folders, "DESKTOP"), desktop);
    EXPECT_FALSE(platform_->ReadUserRegistryString(folders, "Personal"));

    // Stored without its terminator, or unexpanded: the text as it is.
    key.Set(folders, "Short", REG_SZ, "abc", 3);
    EXPECT_EQ(platform_->ReadUserRegistryString(folders, "Short"), AnsiString("abc"));
    key.Set(folders, "Expand", REG_EXPAND_SZ, "%USERPROFILE%\\Desktop", 22);
    EXPECT_EQ(platform_->ReadUserRegistryString(folders, "Expand"), AnsiString("%USERPROFILE%\\Desktop"));
    const AnsiString longer(3000, 'x');
    key.Set(folders, "Long", REG_SZ, longer.c_str(), static_cast<DWORD>(longer.size() + 1));
    EXPECT_EQ(platform_->ReadUserRegistryString(folders, "Long"), longer);
    const DWORD number = 7;
    key.Set(folders, "Number", REG_DWORD, &number, sizeof number);
    EXPECT_FALSE(platform_->ReadUserRegistryString(folders, "Number"));
}

TEST_F(Win32PlatformTest, TheDesktopFolderOfTheShellIsInTheRegistry) {
    char desktop[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop),
              S_OK);
    const auto value = platform_->ReadUserRegistryString(
        "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Desktop");
    ASSERT_TRUE(value);
    EXPECT_EQ(UpperAscii(*value), UpperAscii(desktop));
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

TEST_F(Win32PlatformTest, TheShellLinkIsSavedAndReadBackThroughIShellLinkA) {
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
    const std::wstring wide = L"\\Vendora \u00A9 Morvanel.lnk";
    const std::u16string folder = AnsiToUtf16(folder_.Path());
    EXPECT_NE(::GetFileAttributesW((std::wstring(folder.begin(), folder.end()) + wide).c_str()),
              INVALID_FILE_ATTRIBUTES);

    LoadedLink loaded(file);
    ASSERT_TRUE(loaded.Loaded());
    char text[1024];
    WIN32_FIND_DATAA found{};
    ASSERT_TRUE(SUCCEEDED(loaded.Link().GetPath(text, sizeof text, &found, SLGP_RAWPATH)));
    EXPECT_EQ(UpperAscii(text), UpperAscii(data.Path));
    ASSERT_EQ(loaded.Link().GetWorkingDirectory(text, sizeof text), S_OK);
    EXPECT_EQ(AnsiString(text), data.WorkingDirectory);
    ASSERT_EQ(loaded.Link().GetArguments(text, sizeof text), S_OK);
    EXPECT_EQ(AnsiString(text), data.Arguments);
    ASSERT_EQ(loaded.Link().GetDescription(text, sizeof text), S_OK);
    EXPECT_EQ(AnsiString(text), data.Description);
    int icon = -1;
    ASSERT_EQ(loaded.Link().GetIconLocation(text, sizeof text, &icon), S_OK);
    EXPECT_EQ(UpperAscii(text), UpperAscii(data.IconLocation));
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
    char text[256];
    ASSERT_EQ(loaded.Link().GetDescription(text, sizeof text), S_OK);
    EXPECT_STREQ(text, "second");
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
    SetOs(platform_.get());
    const TColor resolved = ResolveColor(TColor::System(element));
    SetOs(nullptr);
    ::SetSysColors(1, &element, &saved);
    EXPECT_EQ(seen, TColor::Rgb(12, 34, 56));
    EXPECT_EQ(resolved, TColor::Rgb(12, 34, 56));
}

TEST_F(Win32PlatformTest, ShellExecuteStartsAProgramWithItsParametersInItsFolder) {
    EXPECT_LE(platform_->ShellExecute(folder_ / "absent.exe", "", folder_.Path(), SW_SHOWNORMAL), 32);
    EXPECT_LE(platform_->ShellExecute(folder_ / "absent.pdf", "", folder_.Path(), SW_SHOWNORMAL), 32);

    const AnsiString probe = FolderOf(platform_->ModuleFileName()) + "\\" + VENDORA_SHELL_PROBE;
    const AnsiString folder = folder_ / Ansi("dossier été");
    ASSERT_EQ(platform_->Files().CreateDirectory(folder), 0);
    const AnsiString record = folder_ / "record.txt";
    const std::string event = "Vendora shell probe " + std::to_string(::GetCurrentProcessId());
    HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    ASSERT_NE(done, nullptr);
    const AnsiString parameters = "\"" + record + "\" \"" + event + "\" " + Ansi("\"D:\\Ma Caisse\"");
    EXPECT_GT(platform_->ShellExecute(probe, parameters, folder, SW_SHOWNORMAL), 32);
    const DWORD waited = ::WaitForSingleObject(done, 120000);
    ::CloseHandle(done);
    ASSERT_EQ(waited, WAIT_OBJECT_0);

    std::ifstream in(record.c_str(), std::ios::binary);
    std::stringstream lines;
    lines << in.rdbuf();
    EXPECT_EQ(lines.str(), record + "\n" + event + "\nD:\\Ma Caisse\n" + folder + "\n");
}
