#include "TempRoot.h"

#include "base/Errors.h"
#include "platform/linux/EmbeddedResources.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace vendora;
using vendora::test::TempRoot;

namespace {

class LinuxMachine : public TempRoot {};

std::string RunCommand(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 256> buffer{};
        while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
            output += buffer.data();
        ::pclose(pipe);
    }
    return output;
}

} // namespace

TEST_F(LinuxMachine, TheEmbeddedFileIsTheResourceFoundByTypeAndId) {
    const std::string expected = ReadHostFile(VENDORA_TEST_RESOURCE);
    ASSERT_FALSE(expected.empty());
    auto resource = Os().FindResource("FCC", 1);
    ASSERT_TRUE(resource);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(resource->data()), resource->size()), expected);
    EXPECT_TRUE(Os().FindResource("fcc", 1)); // types compare as FindResourceA does
    EXPECT_FALSE(Os().FindResource("FCC", 2));
    EXPECT_FALSE(Os().FindResource("BMP", 1));
}

TEST_F(LinuxMachine, AProgramOutsideTheRootIsOnDriveZAndCanCopyItself) {
    const AnsiString module = Os().ModuleFileName();
    char real[4096];
    const ssize_t size = ::readlink("/proc/self/exe", real, sizeof real - 1);
    ASSERT_GT(size, 0);
    real[size] = '\0';
    AnsiString expected = "Z:" + Utf8ToAnsi(std::string(real, static_cast<std::size_t>(size)));
    std::replace(expected.begin(), expected.end(), '/', '\\');
    EXPECT_EQ(module, expected);
    EXPECT_TRUE(Files().FileExists(module));
    ASSERT_EQ(Files().CreateDirectory("c:\\Vendora").Error(), 0);
    // The self-copy of the installer: the real executable, still executable.
    ASSERT_TRUE(Files().CopyFile(module, "c:\\Vendora\\install.exe", false));
    EXPECT_EQ(std::filesystem::file_size(DriveC("Vendora/install.exe")), std::filesystem::file_size(real));
    EXPECT_EQ(::access(DriveC("Vendora/install.exe").c_str(), X_OK), 0);
}

TEST_F(LinuxMachine, AProgramInsideTheRootHasItsDrivePath) {
    std::filesystem::create_directories(DriveC("Vendora"));
    std::filesystem::copy_file(VENDORA_TEST_HELPER, DriveC("Vendora/install.exe"));
    EXPECT_EQ(RunCommand("'" + DriveC("Vendora/install.exe") + "' module '" + root_ + "'"),
              "C:\\Vendora\\install.exe\n");
}

TEST_F(LinuxMachine, ClockRunsForwardAndNowIsLocalTime) {
    const std::uint64_t first = Os().TickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const std::uint64_t second = Os().TickCount();
    EXPECT_GE(second - first, 20u);

    // Local time between two readings of the system clock, however long the machine takes between them.
    const auto localDays = [](std::time_t at) {
        std::tm local{};
        ::localtime_r(&at, &local);
        return 25569.0 + static_cast<double>(at + local.tm_gmtoff) / 86400.0;
    };
    const std::time_t before = std::time(nullptr);
    const double now = Os().Now();
    const std::time_t after = std::time(nullptr);
    // time() may read a coarser clock that lags by a tick: a second more above.
    EXPECT_GE(now, localDays(before));
    EXPECT_LT(now, localDays(after + 2));
}

TEST_F(LinuxMachine, SystemColoursComInitialisationCounts) {
    EXPECT_EQ(Os().GetSysColor(SysColor::BtnFace), TColor::Rgb(236, 233, 216));
    EXPECT_EQ(Os().GetSysColor(SysColor::WindowText), XpSysColor(SysColor::WindowText));
    EXPECT_EQ(Os().CoInitializeCalls(), 0);
    Os().CoInitialize();
    Os().CoUninitialize();
    Os().CoInitialize();
    EXPECT_EQ(Os().CoInitializeCalls(), 2);
    EXPECT_EQ(Os().CoUninitializeCalls(), 1);
}

TEST_F(LinuxMachine, RootComesFromTheEnvironment) {
    const auto keep = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto restore = [](const char* name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    };
    const auto root = keep("VENDORA_ROOT"), data = keep("XDG_DATA_HOME"), home = keep("HOME"),
               user = keep("USER");
    ::unsetenv("VENDORA_ROOT");
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", (base_ + "/home").c_str(), 1);
    EXPECT_EQ(EmulatedMachine::DefaultRoot(), base_ + "/home/.local/share/vendora-install");
    ::setenv("XDG_DATA_HOME", (base_ + "/data").c_str(), 1);
    EXPECT_EQ(EmulatedMachine::DefaultRoot(), base_ + "/data/vendora-install");
    ::setenv("VENDORA_ROOT", (base_ + "/elsewhere").c_str(), 1);
    ::setenv("USER", "zoe", 1);
    {
        auto platform = LinuxPlatform::FromEnvironment();
        EXPECT_EQ(platform->Machine().Root(), base_ + "/elsewhere");
        EXPECT_TRUE(std::filesystem::is_directory(base_ + "/elsewhere/drive_c/Users/zoe/Desktop"));
    }
    ::setenv("USER", "a/b", 1);
    EXPECT_EQ(EmulatedMachine::DefaultUser(), "vendora");
    restore("VENDORA_ROOT", root);
    restore("XDG_DATA_HOME", data);
    restore("HOME", home);
    restore("USER", user);

    // A root that cannot be made is a clear error.
    WriteHostFile(base_ + "/file", "");
    LinuxPlatformOptions options;
    options.Root = base_ + "/file/root";
    EXPECT_THROW(LinuxPlatform{options}, Exception);
}
