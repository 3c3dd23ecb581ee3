#include "base/Cp1252.h"
#include "base/Errors.h"
#include "installer/DesktopShortcut.h"
#include "installer/ShortcutLink.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vendora;
using vendora::test::MemoryPlatform;

TEST(TShortcutLink, HotKeyStoresOneUpperCaseCodeAndBlankForNothing) {
    TShortcutLink link;
    EXPECT_EQ(link.HotKeyCode(), 0);
    EXPECT_EQ(link.HotKey(), " "); // reading a never-set hot key stores the blank
    EXPECT_EQ(link.HotKeyCode(), 32);
    link.SetHotKey("abc");
    EXPECT_EQ(link.HotKey(), "A");
    EXPECT_EQ(link.HotKeyCode(), 'A');
    link.SetHotKey("\xe9"); // only a-z are upper-cased
    EXPECT_EQ(link.HotKeyCode(), 0xE9);
    link.SetHotKey("");
    EXPECT_EQ(link.HotKeyCode(), 32);
    link.SetHotKey("\x07");
    EXPECT_EQ(link.HotKeyCode(), 32);
}

TEST(TShortcutLink, ShowCmdStoresThreeSevenNine) {
    TShortcutLink link;
    EXPECT_EQ(link.ShowCmdNumber(), 0);
    EXPECT_EQ(link.ShowCmd(), TShowCmd::scShowNormal);
    link.SetShowCmd(TShowCmd::scShowMaximized);
    EXPECT_EQ(link.ShowCmdNumber(), 3);
    EXPECT_EQ(link.ShowCmd(), TShowCmd::scShowMaximized);
    link.SetShowCmd(TShowCmd::scShowMinimized);
    EXPECT_EQ(link.ShowCmdNumber(), 7);
    EXPECT_EQ(link.ShowCmd(), TShowCmd::scShowMinimized);
    link.SetShowCmd(TShowCmd::scShowNormal);
    EXPECT_EQ(link.ShowCmdNumber(), 9);
    EXPECT_EQ(link.ShowCmd(), TShowCmd::scShowNormal);
}

TEST(TShortcutLink, WriteLinkHandsEveryValueOverAndRaisesWhenSavingFails) {
    MemoryPlatform platform;
    TShortcutLink link;
    link.ShortcutFile = "C:\\d\\x.lnk";
    link.Target = "C:\\a.exe";
    link.WorkingDir = "C:\\w";
    link.Arguments = "-x";
    link.Description = "desc";
    link.IconLocation = "C:\\i.ico";
    link.IconNumber = 4;
    link.SetHotKey("q");
    link.SetShowCmd(TShowCmd::scShowMinimized);
    link.WriteLink(platform);
    ASSERT_EQ(platform.Links.size(), 1u);
    const auto& [data, file] = platform.Links[0];
    EXPECT_EQ(file, "C:\\d\\x.lnk");
    EXPECT_EQ(data.Path, "C:\\a.exe");
    EXPECT_EQ(data.WorkingDirectory, "C:\\w");
    EXPECT_EQ(data.Arguments, "-x");
    EXPECT_EQ(data.Description, "desc");
    EXPECT_EQ(data.IconLocation, "C:\\i.ico");
    EXPECT_EQ(data.IconIndex, 4);
    EXPECT_EQ(data.ShowCmd, 7);
    EXPECT_EQ(data.HotKey, 0x0600 | 'Q');

    platform.LinksSave = false;
    try {
        link.WriteLink(platform);
        FAIL() << "no error";
    } catch (const EShortcutError& error) {
        EXPECT_EQ(error.Message(), "Unable to create .lnk file");
    }
}

class DesktopShortcut : public ::testing::Test {
protected:
    const ShellLinkData& Link() { return platform.Links.at(0).first; }
    const AnsiString& File() { return platform.Links.at(0).second; }
    MemoryPlatform platform;
};

TEST_F(DesktopShortcut, TheInstallersShortcut) {
    CreateDesktopShortcut(platform, Ansi("Vendora © Morvanel"), "c:\\Vendora\\Vendora.EXE", "",
                          Ansi("Vendora est une application réalisée avec Quillbox © Morvanel"), "", "", 0,
                          '\0');
    ASSERT_FALSE(platform.RegistryReads.empty());
    EXPECT_EQ(platform.RegistryReads.back(),
              "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders|Desktop");
    EXPECT_EQ(File(), "C:\\Users\\caisse\\Desktop\\Vendora \xa9 Morvanel.lnk");
    EXPECT_EQ(Link().Path, "c:\\Vendora\\Vendora.EXE");
    EXPECT_EQ(Link().WorkingDirectory, "c:\\Vendora");
    EXPECT_EQ(Link().IconLocation, "c:\\Vendora\\Vendora.EXE");
    EXPECT_EQ(Link().IconIndex, 0);
    EXPECT_EQ(Link().Description, "Vendora est une application r\xe9"
                                  "alis\xe9"
                                  "e avec Quillbox \xa9 Morvanel");
    EXPECT_EQ(Link().Arguments, "");
    EXPECT_EQ(Link().ShowCmd, 9);
    EXPECT_EQ(Link().HotKey, 0);
}

TEST_F(DesktopShortcut, NameAndTargetRules) {
    // A name with a backslash is the full path; a name with a dot keeps its own extension.
    CreateDesktopShortcut(platform, "D:\\Raccourcis\\Caisse", "C:\\prog", "", "", "", "", 2, '\0');
    EXPECT_EQ(File(), "D:\\Raccourcis\\Caisse.lnk");
    EXPECT_EQ(Link().Path, "C:\\prog.exe");
    EXPECT_EQ(Link().WorkingDirectory, "C:\\");
    EXPECT_EQ(Link().IconLocation, "C:\\prog.exe");
    EXPECT_EQ(Link().IconIndex, 2);
    platform.Links.clear();
    CreateDesktopShortcut(platform, "Caisse.url", "C:\\Vendora\\prog.com", "D:\\w", "", "-a", "C:\\i.ico", 1,
                          '\0');
    EXPECT_EQ(File(), "C:\\Users\\caisse\\Desktop\\Caisse.url");
    EXPECT_EQ(Link().Path, "C:\\Vendora\\prog.com");
    EXPECT_EQ(Link().WorkingDirectory, "D:\\w");
    EXPECT_EQ(Link().Arguments, "-a");
    EXPECT_EQ(Link().IconLocation, "C:\\i.ico");
}

TEST_F(DesktopShortcut, MissingDesktopValuePutsTheLinkOnTheRoot) {
    platform.Desktop.reset();
    CreateDesktopShortcut(platform, "Caisse", "C:\\a.exe", "", "", "", "", 0, '\0');
    EXPECT_EQ(File(), "\\Caisse.lnk");
}

TEST_F(DesktopShortcut, LongDesktopFolderCutsTheExtensionFirstThenTheName) {
    const AnsiString name = Ansi("Vendora © Morvanel");
    // The shortcut file for a desktop folder of that length, with the folder's part taken off.
    const auto fileFor = [&](std::size_t desktopLength) {
        platform.Links.clear();
        const AnsiString desktop = "C:\\" + AnsiString(desktopLength - 3, 'd');
        platform.Desktop = desktop;
        CreateDesktopShortcut(platform, name, "c:\\Vendora\\Vendora.EXE", "", "", "", "", 0, '\0');
        EXPECT_EQ(File().size(), std::min<std::size_t>(79, desktopLength + 23));
        EXPECT_EQ(File().substr(0, desktopLength + 1), desktop + "\\");
        return File().substr(desktopLength + 1);
    };
    EXPECT_EQ(fileFor(56), name + ".lnk");
    EXPECT_EQ(fileFor(57), name + ".ln");
    EXPECT_EQ(fileFor(60), name);
    EXPECT_EQ(fileFor(62), name.substr(0, 16));
}

TEST_F(DesktopShortcut, TextsAreCutTo79Characters) {
    const AnsiString longText(100, 'x');
    CreateDesktopShortcut(platform, "C:\\" + longText, "C:\\" + longText, "", longText, longText, "", 0,
                          '\0');
    EXPECT_EQ(File(), "C:\\" + AnsiString(76, 'x'));
    EXPECT_EQ(Link().Path, "C:\\" + AnsiString(76, 'x'));
    EXPECT_EQ(Link().Description, AnsiString(79, 'x'));
    EXPECT_EQ(Link().Arguments, AnsiString(79, 'x'));
}

TEST_F(DesktopShortcut, HotKeyIsWrittenWithCtrlAltOrNotAtAll) {
    CreateDesktopShortcut(platform, "a", "C:\\a.exe", "", "", "", "", 0, 'a');
    EXPECT_EQ(Link().HotKey, 0x0641);
    for (char none : {'\0', '\x1f', ' '}) {
        platform.Links.clear();
        CreateDesktopShortcut(platform, "a", "C:\\a.exe", "", "", "", "", 0, none);
        EXPECT_EQ(Link().HotKey, 0) << int(none);
    }
}

TEST_F(DesktopShortcut, SavingFailureReachesTheCaller) {
    platform.LinksSave = false;
    EXPECT_THROW(CreateDesktopShortcut(platform, "a", "C:\\a.exe", "", "", "", "", 0, '\0'), EShortcutError);
}

TEST(ExtractFileDir, DropsTheLastSeparatorButNotARoot) {
    EXPECT_EQ(ExtractFileDir("c:\\Vendora\\Vendora.EXE"), "c:\\Vendora");
    EXPECT_EQ(ExtractFileDir("C:\\a.exe"), "C:\\");
    EXPECT_EQ(ExtractFileDir("C:a.exe"), "C:");
    EXPECT_EQ(ExtractFileDir("\\a.exe"), "\\");
    EXPECT_EQ(ExtractFileDir("a.exe"), "");
}
