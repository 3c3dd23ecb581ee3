#pragma once
// The platform on Linux: a Windows machine emulated under one folder (see EmulatedMachine), with the
// program's payload embedded at build time, the current user's registry in a text file, shortcuts written
// as real .lnk files and ShellExecute starting native programs or xdg-open.
//
// The running program inside the emulated machine: ModuleFileName is the Windows path of the real
// executable (/proc/self/exe). Inside one of the root's drives it is that drive's path; anywhere else it
// is the host path below Z:, which maps the host's "/" as Wine does ("Z:\work\build\bin\INSTALL"), so that
// copying the module file copies the real executable.

#include "platform/Platform.h"
#include "platform/linux/EmulatedFileSystem.h"
#include "platform/linux/EmulatedMachine.h"
#include "platform/linux/ShellLinkFile.h"
#include "platform/linux/UserRegistry.h"

#include <memory>
#include <string>

namespace vendora {

struct LinuxPlatformOptions {
    std::string Root; // host folder of the emulated machine (UTF-8)
    AnsiString User;  // account name under C:\Users
    // When not empty, every ShellExecute call appends one UTF-8 line to this host file:
    // file TAB parameters TAB directory TAB result. Lets a test see what would have been opened.
    std::string ShellLog;

    // VENDORA_ROOT (default ${XDG_DATA_HOME:-$HOME/.local/share}/vendora-install), USER (default
    // "vendora") and VENDORA_SHELL_LOG.
    static LinuxPlatformOptions FromEnvironment();
};

class LinuxPlatform : public Platform {
public:
    // Prepares the machine under options.Root; throws Exception when the root cannot be prepared.
    explicit LinuxPlatform(const LinuxPlatformOptions& options);
    static std::unique_ptr<LinuxPlatform> FromEnvironment();

    EmulatedFileSystem& Files() override { return files_; }
    AnsiString ModuleFileName() override;
    std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type, int id) override;
    std::uint64_t TickCount() override;
    double Now() override;
    // A native program (ELF or "#!" script with the execute permission) is started with the parameter
    // string split into its arguments as the started program would split it (SplitCommandLine), in the given
    // folder (else the current folder); anything else is handed to xdg-open. Above 32 once started; 2 or 3
    // when the file or folder is missing, 31 when nothing can open the document, 5 when the start is refused.
    std::intptr_t ShellExecute(const AnsiString& file, const AnsiString& parameters,
                               const AnsiString& directory, int showCmd) override;
    std::optional<AnsiString> ReadUserRegistryString(const AnsiString& key, const AnsiString& value) override;
    bool CoInitialize() override {
        ++coInitializeCalls_;
        return true;
    }
    void CoUninitialize() override { ++coUninitializeCalls_; }
    // Writes the .lnk file; the target's attributes, times and size are recorded when it exists.
    bool SaveShellLink(const ShellLinkData& link, const AnsiString& shortcutFile) override;
    TColor GetSysColor(int index) override { return XpSysColor(index); }
    void Sleep(std::uint32_t milliseconds) override;
    // The emulated machine's account (USER) named SYSTEM.
    bool RunsAsSystem() override { return machine_.IsSystemAccount(); }
    AnsiString AllUsersDesktop() override { return machine_.AllUsersDesktop(); }
    AnsiString TempFolder() override { return machine_.TempFolder(); }

    // For the tests.
    std::optional<ShellLinkContents> ReadShellLink(const AnsiString& shortcutFile,
                                                   std::string* error = nullptr);
    int CoInitializeCalls() const { return coInitializeCalls_; }
    int CoUninitializeCalls() const { return coUninitializeCalls_; }
    const EmulatedMachine& Machine() const { return machine_; }
    UserRegistry Registry() const { return UserRegistry(machine_.RegistryFile()); }

private:
    std::intptr_t Execute(const AnsiString& file, const AnsiString& parameters, const AnsiString& directory);
    void Log(const AnsiString& file, const AnsiString& parameters, const AnsiString& directory,
             std::intptr_t result) const;

    EmulatedMachine machine_;
    EmulatedFileSystem files_;
    std::string shellLog_;
    int coInitializeCalls_ = 0;
    int coUninitializeCalls_ = 0;
};

} // namespace vendora
