#pragma once
// A platform that has files and nothing else, for the tools, tests, benchmarks and fuzz targets that read
// files or resolve colours but never start programs, read the registry or write shortcuts. Every other
// service answers as it would on a machine where it is missing; the Windows XP colours are the system's.

#include "platform/Platform.h"

namespace vendora {

class FilesOnlyPlatform : public Platform {
public:
    AnsiString ModuleFileName() override { return "INSTALL.EXE"; }
    std::optional<std::span<const std::uint8_t>> FindResource(std::string_view, int) override { return {}; }
    std::uint64_t TickCount() override { return 0; }
    double Now() override { return 0; }
    // 2: "file not found", as ShellExecuteA reports it.
    std::intptr_t ShellExecute(const AnsiString&, const AnsiString&, const AnsiString&, int) override {
        return 2;
    }
    std::optional<AnsiString> ReadUserRegistryString(const AnsiString&, const AnsiString&) override {
        return {};
    }
    bool CoInitialize() override { return false; }
    void CoUninitialize() override {}
    bool SaveShellLink(const ShellLinkData&, const AnsiString&) override { return false; }
    TColor GetSysColor(int index) override { return XpSysColor(index); }
    void Sleep(std::uint32_t) override {}
    bool RunsAsSystem() override { return false; }
    AnsiString AllUsersDesktop() override { return {}; }
    AnsiString TempFolder() override { return {}; }
};

} // namespace vendora
