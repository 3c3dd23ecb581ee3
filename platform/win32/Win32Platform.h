#pragma once
// The platform on Windows: the real kernel32, user32, shell32, registry and COM calls, all wide: paths and
// texts are Windows-1252 in the program and UTF-16 at the calls, converted at the edge (WideText.h) by a
// fixed table, so that they mean the same on a Windows of any ANSI code page.

#include "platform/Platform.h"
#include "platform/win32/Win32Files.h"

#include <memory>

namespace vendora {

class Win32Platform : public Platform {
public:
    static std::unique_ptr<Win32Platform> Create();

    // The whole command line as Windows keeps it (GetCommandLineW), program name included.
    static AnsiString CommandLine();

    Win32FileSystem& Files() override { return files_; }
    // GetModuleFileNameW; a path that Windows-1252 cannot name is kept (WideText.h).
    AnsiString ModuleFileName() override;
    // The running program's own resource, found in its image and used there (the span points into the
    // loaded module, which lives as long as the process).
    std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type, int id) override;
    std::uint64_t TickCount() override;
    double Now() override;
    std::intptr_t ShellExecute(const AnsiString& file, const AnsiString& parameters,
                               const AnsiString& directory, int showCmd) override;
    // The key's parent is opened with full access and created when missing, as the desktop lookup has it;
    // the key itself is only read. REG_SZ and REG_EXPAND_SZ values are strings (not expanded), read with
    // RegQueryValueExW; a value that Windows-1252 cannot hold (a desktop under C:\Users\Иван) is kept
    // (WideText.h).
    std::optional<AnsiString> ReadUserRegistryString(const AnsiString& key, const AnsiString& value) override;
    bool CoInitialize() override;
    void CoUninitialize() override;
    // CLSID_ShellLink through IShellLinkW, saved with IPersistFile::Save(…, TRUE). False when the object,
    // one of its interfaces or the save fails.
    bool SaveShellLink(const ShellLinkData& link, const AnsiString& shortcutFile) override;
    TColor GetSysColor(int index) override;
    void Sleep(std::uint32_t milliseconds) override;
    // The process token's user is the well-known local system SID (S-1-5-18).
    bool RunsAsSystem() override;
    // SHGetFolderPathW(CSIDL_COMMON_DESKTOPDIRECTORY), shell32 being bound at this first call.
    AnsiString AllUsersDesktop() override;
    // GetTempPathW without its closing '\'.
    AnsiString TempFolder() override;

private:
    Win32FileSystem files_;
};

} // namespace vendora
