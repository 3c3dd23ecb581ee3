#include "TempRoot.h"

#include "platform/linux/UserRegistry.h"

using namespace vendora;
using vendora::test::TempRoot;

namespace {

class Registry : public TempRoot {};

const AnsiString ShellFolders = "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

} // namespace

TEST_F(Registry, DesktopValueNamesTheUsersExistingDesktop) {
    auto desktop = Os().ReadUserRegistryString(ShellFolders, "Desktop");
    ASSERT_TRUE(desktop);
    EXPECT_EQ(*desktop, "C:\\Users\\tester\\Desktop");
    EXPECT_TRUE(Files().DirectoryExists(*desktop));
    // Key and value names compare without regard to case, as in the registry.
    EXPECT_EQ(Os().ReadUserRegistryString(
                  "software\\microsoft\\windows\\currentversion\\explorer\\SHELL FOLDERS", "DESKTOP"),
              desktop);
    EXPECT_FALSE(Os().ReadUserRegistryString(ShellFolders, "Personal"));
    EXPECT_FALSE(Os().ReadUserRegistryString("Software\\Other", "Desktop"));
    // The file is readable text.
    EXPECT_NE(
        ReadHostFile(root_ + "/registry/HKCU.reg").find("\"Desktop\"=\"C:\\\\Users\\\\tester\\\\Desktop\""),
        std::string::npos);
}

TEST_F(Registry, RemovingTheFileOrTheValueLeavesTheMachineWithoutDesktop) {
    ASSERT_TRUE(Os().Registry().DeleteValue(ShellFolders, "desktop"));
    EXPECT_FALSE(Os().ReadUserRegistryString(ShellFolders, "Desktop"));
    EXPECT_FALSE(Os().Registry().DeleteValue(ShellFolders, "desktop"));

    std::filesystem::remove(root_ + "/registry/HKCU.reg");
    EXPECT_FALSE(Os().ReadUserRegistryString(ShellFolders, "Desktop"));
    // A second platform on the same root keeps the machine as it is: the value stays missing.
    LinuxPlatformOptions options;
    options.Root = root_;
    options.User = "tester";
    LinuxPlatform again(options);
    EXPECT_FALSE(again.ReadUserRegistryString(ShellFolders, "Desktop"));
}

TEST_F(Registry, ValuesWithQuotesBackslashesAndAccentsRoundTrip) {
    const UserRegistry registry = Os().Registry();
    const AnsiString data = Ansi("D:\\Bureau \"partagé\" ©\\");
    ASSERT_TRUE(registry.WriteString("Software\\Vendora", Ansi("Dossier élu"), data));
    ASSERT_TRUE(registry.WriteString("\\SOFTWARE\\vendora\\", "@", "x"));
    ASSERT_TRUE(registry.WriteString("Software\\Vendora", "", "default"));
    EXPECT_EQ(registry.ReadString("software\\vendora", Ansi("DOSSIER ÉLU")), data);
    EXPECT_EQ(registry.ReadString("Software\\Vendora", ""), "default");
    EXPECT_EQ(registry.ReadString("Software\\Vendora", "@"), "x");
    // Overwriting keeps one value; the other keys are untouched.
    ASSERT_TRUE(registry.WriteString("Software\\Vendora", Ansi("dossier élu"), "E:\\"));
    EXPECT_EQ(registry.ReadString("Software\\Vendora", Ansi("Dossier élu")), "E:\\");
    EXPECT_EQ(Os().ReadUserRegistryString(ShellFolders, "Desktop"), "C:\\Users\\tester\\Desktop");
    // The file holds UTF-8.
    EXPECT_NE(ReadHostFile(registry.File()).find("Dossier élu"), std::string::npos);
}

TEST_F(Registry, HandEditedFilesAreRead) {
    WriteHostFile(root_ + "/registry/HKCU.reg",
                  "; edited by hand\r\n"
                  "[Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\r\n"
                  "garbage line\r\n"
                  "\"Desktop\"=\"D:\\\\Bureau de Zoé\"\r\n");
    EXPECT_EQ(Os().ReadUserRegistryString(ShellFolders, "Desktop"), Ansi("D:\\Bureau de Zoé"));
}
