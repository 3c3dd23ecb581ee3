#pragma once
// A whole machine in memory for in-process runs: the memory disk, the program's own resources, a clock
// that moves a little at every reading (so that waits end without passing real time), a desktop folder in
// the registry, and the programs started and shortcuts saved, written down instead of done.

#include "tests/support/MemoryFileSystem.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vendora::test {

class MemoryPlatform : public Platform {
public:
    struct Started {
        AnsiString File, Parameters, Directory;
        int ShowCmd = 0;
        friend bool operator==(const Started&, const Started&) = default;
    };

    MemoryFileSystem Disk;
    AnsiString Module = "C:\\Temp\\INSTALL.EXE";
    std::map<std::pair<std::string, int>, std::vector<std::uint8_t>> Resources;
    std::optional<AnsiString> Desktop = AnsiString("C:\\Users\\caisse\\Desktop");
    std::uint64_t Ticks = 0;
    std::uint64_t TicksPerReading = 10;
    double Day = 40000.0; // the instant Now() reports
    bool LinksSave = true;
    bool System = false; // the process runs as SYSTEM
    AnsiString PublicDesktop = "C:\\Users\\Public\\Desktop";
    AnsiString Temp = "C:\\Users\\caisse\\AppData\\Local\\Temp";
    bool ComStarts = true; // false: CoInitialize fails, as on a thread in another apartment
    // System colours of this machine's own; the others are the Windows XP defaults.
    std::map<int, TColor> SysColors;
    std::vector<Started> Programs;
    std::vector<std::pair<ShellLinkData, AnsiString>> Links;
    // Every registry read, as key|value.
    std::vector<AnsiString> RegistryReads;
    // "CoInitialize", "CoUninitialize", in call order; tests may add their own entries.
    std::vector<std::string> Log;

    FileSystem& Files() override { return Disk; }
    AnsiString ModuleFileName() override { return Module; }
    std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type, int id) override {
        const auto found = Resources.find({std::string(type), id});
        if (found == Resources.end())
            return std::nullopt;
        return std::span<const std::uint8_t>(found->second);
    }
    std::uint64_t TickCount() override { return Ticks += TicksPerReading; }
    double Now() override { return Day; }
    // Above 32: started, as ShellExecuteA reports it.
    std::intptr_t ShellExecute(const AnsiString& file, const AnsiString& parameters,
                               const AnsiString& directory, int showCmd) override {
        Programs.push_back({file, parameters, directory, showCmd});
        return 42;
    }
    std::optional<AnsiString> ReadUserRegistryString(const AnsiString& key,
                                                     const AnsiString& value) override {
        RegistryReads.push_back(key + "|" + value);
        const bool shellFolders =
            UpperAscii(key) ==
            UpperAscii("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
        return shellFolders && UpperAscii(value) == "DESKTOP" ? Desktop : std::nullopt;
    }
    bool CoInitialize() override {
        Log.push_back("CoInitialize");
        return ComStarts;
    }
    void CoUninitialize() override { Log.push_back("CoUninitialize"); }
    bool SaveShellLink(const ShellLinkData& link, const AnsiString& shortcutFile) override {
        Links.emplace_back(link, shortcutFile);
        return LinksSave;
    }
    TColor GetSysColor(int index) override {
        const auto found = SysColors.find(index);
        return found != SysColors.end() ? found->second : XpSysColor(index);
    }
    // The clock moves by the time slept: a wait ends without passing real time.
    void Sleep(std::uint32_t milliseconds) override { Ticks += milliseconds; }
    bool RunsAsSystem() override { return System; }
    AnsiString AllUsersDesktop() override { return PublicDesktop; }
    AnsiString TempFolder() override { return Temp; }
};

} // namespace vendora::test
