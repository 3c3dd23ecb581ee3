// The Windows shell and the shortcut format of the Linux platform agree: the shell loads a shortcut that
// EncodeShellLink wrote, and DecodeShellLink reads one that the shell saved. Runs on Windows and under Wine.

#include "base/Cp1252.h"
#include "platform/linux/ShellLinkFile.h"

#include "platform/win32/WindowsApi.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <string>

using namespace vendora;

namespace {

class ShellObject {
public:
    ShellObject() {
        ::CoInitialize(nullptr);
        if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         reinterpret_cast<void**>(&link_))))
            link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file_));
    }
    ~ShellObject() {
        if (file_ != nullptr)
            file_->Release();
        if (link_ != nullptr)
            link_->Release();
        ::CoUninitialize();
    }
    IShellLinkA* Link() const { return link_; }
    IPersistFile* File() const { return file_; }

private:
    IShellLinkA* link_ = nullptr;
    IPersistFile* file_ = nullptr;
};

bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

} // namespace

TEST(WindowsShell, LoadsTheShortcutsThatLinuxWrites) {
    ShellLinkData link;
    link.Path = "c:\\Vendora\\Vendora.EXE";
    link.WorkingDirectory = "c:\\Vendora";
    link.Arguments = Ansi("\"D:\\Ma Caisse\" été");
    link.Description = Ansi("Vendora est une application réalisée avec Quillbox © Morvanel");
    link.IconLocation = "c:\\Vendora\\Vendora.EXE";
    link.IconIndex = 4;
    link.ShowCmd = 3;
    link.HotKey = 0x0641;
    const std::vector<std::uint8_t> bytes = EncodeShellLink(link, ShellLinkTarget{});
    const std::wstring path = TempFile(L"vendora-linux.lnk");
    {
        std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    ShellObject shell;
    ASSERT_NE(shell.File(), nullptr);
    ASSERT_EQ(shell.File()->Load(path.c_str(), STGM_READ), S_OK);
    char text[1024];
    WIN32_FIND_DATAA found{};
    ASSERT_TRUE(SUCCEEDED(shell.Link()->GetPath(text, sizeof text, &found, SLGP_RAWPATH)));
    EXPECT_STREQ(text, link.Path.c_str());
    ASSERT_EQ(shell.Link()->GetWorkingDirectory(text, sizeof text), S_OK);
    EXPECT_STREQ(text, link.WorkingDirectory.c_str());
    ASSERT_EQ(shell.Link()->GetArguments(text, sizeof text), S_OK);
    EXPECT_STREQ(text, link.Arguments.c_str());
    ASSERT_EQ(shell.Link()->GetDescription(text, sizeof text), S_OK);
    EXPECT_STREQ(text, link.Description.c_str());
    int icon = -1;
    ASSERT_EQ(shell.Link()->GetIconLocation(text, sizeof text, &icon), S_OK);
    EXPECT_STREQ(text, link.IconLocation.c_str());
    EXPECT_EQ(icon, 4);
    int show = 0;
    ASSERT_EQ(shell.Link()->GetShowCmd(&show), S_OK);
    // Wine's shell link answers SW_SHOWNORMAL whatever the file holds, for its own shortcuts too.
    if (!RunningUnderWine()) {
        EXPECT_EQ(show, 3);
    }
    WORD hotKey = 0;
    ASSERT_EQ(shell.Link()->GetHotkey(&hotKey), S_OK);
    EXPECT_EQ(hotKey, 0x0641);
    ::DeleteFileW(path.c_str());
}

TEST(WindowsShell, ShortcutsThatTheShellSavesAreRead) {
    const std::wstring path = TempFile(L"vendora-shell.lnk");
    {
        ShellObject shell;
        ASSERT_NE(shell.File(), nullptr);
        shell.Link()->SetPath("C:\\windows\\notepad.exe");
        shell.Link()->SetWorkingDirectory("C:\\windows");
        shell.Link()->SetArguments(Ansi("\"a b\" é").c_str());
        shell.Link()->SetDescription(Ansi("Bloc-notes ©").c_str());
        shell.Link()->SetShowCmd(7);
        shell.Link()->SetHotkey(0x0642);
        shell.Link()->SetIconLocation("C:\\windows\\notepad.exe", 1);
        ASSERT_EQ(shell.File()->Save(path.c_str(), TRUE), S_OK);
    }
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    std::string error;
    auto read = DecodeShellLink(bytes, &error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(UpperAscii(read->Link.Path), "C:\\WINDOWS\\NOTEPAD.EXE");
    EXPECT_EQ(read->Link.WorkingDirectory, "C:\\windows");
    EXPECT_EQ(read->Link.Arguments, Ansi("\"a b\" é"));
    EXPECT_EQ(read->Link.Description, Ansi("Bloc-notes ©"));
    EXPECT_EQ(read->Link.ShowCmd, 7);
    EXPECT_EQ(read->Link.HotKey, 0x0642);
    EXPECT_EQ(read->Link.IconIndex, 1);
    EXPECT_EQ(read->Link.IconLocation, "C:\\windows\\notepad.exe");
    in.close();
    ::DeleteFileW(path.c_str());
}
