#pragma once
// A platform of our own interface for tests that only need system colours: GetSysColor answers from a
// table the test fills; everything else is out of reach and says so.

#include "platform/Platform.h"

#include <map>
#include <stdexcept>

namespace vendora::testing {

class SysColorPlatform : public Platform {
public:
    std::map<int, TColor> Colors;

    TColor GetSysColor(int index) override {
        auto found = Colors.find(index);
        return found != Colors.end() ? found->second : XpSysColor(index);
    }

    FileSystem& Files() override { throw std::logic_error("no files in this test"); }
    AnsiString ModuleFileName() override { return "INSTALL.EXE"; }
    std::optional<std::span<const std::uint8_t>> FindResource(std::string_view, int) override { return {}; }
    std::uint64_t TickCount() override { return 0; }
    double Now() override { return 0; }
    std::intptr_t ShellExecute(const AnsiString&, const AnsiString&, const AnsiString&, int) override {
        return 2;
    }
    std::optional<AnsiString> ReadUserRegistryString(const AnsiString&, const AnsiString&) override {
        return {};
    }
    void CoInitialize() override {}
    void CoUninitialize() override {}
    bool SaveShellLink(const ShellLinkData&, const AnsiString&) override { return false; }
};

// Installs a platform for the lifetime of the object and removes it again.
class ScopedPlatform {
public:
    explicit ScopedPlatform(Platform& platform) { SetOs(&platform); }
    ~ScopedPlatform() { SetOs(nullptr); }
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;
};

} // namespace vendora::testing
