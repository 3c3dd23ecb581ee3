#pragma once
// A platform of our own for unit tests: files that answer as a test sets them, a registry of one value,
// a shell link that is recorded instead of written, and a log of the calls that matter for ordering.

#include "platform/Platform.h"

#include <functional>
#include <string>
#include <vector>

namespace vendora::testing {

// The times the last SetTimes call gave, null for a time left alone.
struct StampedTimes {
    std::optional<FileTime> Creation, LastAccess, LastWrite;
    int Calls = 0;
};

class FakeFileHandle : public FileHandle {
public:
    explicit FakeFileHandle(StampedTimes& stamped) : stamped_(stamped) {}
    bool Read(void*, std::uint32_t, std::uint32_t& done) override { return done = 0, true; }
    bool Write(const void*, std::uint32_t size, std::uint32_t& done) override { return done = size, true; }
    bool Seek(std::int64_t) override { return true; }
    std::int64_t Size() override { return 0; }
    bool SetTimes(const FileTime* creation, const FileTime* lastAccess, const FileTime* lastWrite) override {
        const auto take = [](const FileTime* time) {
            return time ? std::optional<FileTime>(*time) : std::nullopt;
        };
        stamped_ = {take(creation), take(lastAccess), take(lastWrite), stamped_.Calls + 1};
        return true;
    }
    bool GetTimes(FileTime*, FileTime*, FileTime*) override { return true; }
    int LastError() const override { return 0; }

private:
    StampedTimes& stamped_;
};

class FakeFileSystem : public FileSystem {
public:
    // Decides each CreateFile: the number of the call (from 1) and the path; true opens the file.
    std::function<bool(int call, const AnsiString& path)> Opens = [](int, const AnsiString&) { return true; };
    std::function<bool(const AnsiString& path)> Exists = [](const AnsiString&) { return true; };
    int CreateFileCalls = 0;
    int FileExistsCalls = 0;
    std::vector<AnsiString> OpenedPaths;
    std::uint32_t LastAccess = 0, LastShare = 0;
    Disposition LastDisposition = Disposition::OpenExisting;
    StampedTimes Stamped;

    std::unique_ptr<FileHandle> CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                                           Disposition disposition, int& error) override {
        ++CreateFileCalls;
        OpenedPaths.push_back(path);
        LastAccess = access;
        LastShare = share;
        LastDisposition = disposition;
        if (!Opens(CreateFileCalls, path)) {
            error = 32;
            return nullptr;
        }
        return std::make_unique<FakeFileHandle>(Stamped);
    }
    bool FileExists(const AnsiString& path) override {
        ++FileExistsCalls;
        return Exists(path);
    }
    bool DirectoryExists(const AnsiString&) override { return true; }
    int CreateDirectory(const AnsiString&) override { return 183; }
    bool DeleteFile(const AnsiString&) override { return true; }
    bool CopyFile(const AnsiString&, const AnsiString&, bool) override { return true; }
    bool MoveFileReplace(const AnsiString&, const AnsiString&) override { return true; }
    AnsiString GetCurrentDirectory() override { return "C:\\"; }
    bool SetCurrentDirectory(const AnsiString&) override { return true; }
    std::optional<AnsiString> FindFirst(const AnsiString&) override { return std::nullopt; }
};

class FakePlatform : public Platform {
public:
    FakeFileSystem FakeFiles;
    std::optional<AnsiString> Desktop = AnsiString("C:\\Users\\caisse\\Desktop");
    AnsiString RegistryKeyRead;
    bool SaveSucceeds = true;
    std::vector<std::pair<ShellLinkData, AnsiString>> SavedLinks;
    // "CoInitialize", "CoUninitialize", in call order; tests may add their own entries.
    std::vector<std::string> Log;

    FileSystem& Files() override { return FakeFiles; }
    AnsiString ModuleFileName() override { return "C:\\INSTALL.EXE"; }
    std::optional<std::span<const std::uint8_t>> FindResource(std::string_view, int) override {
        return std::nullopt;
    }
    std::uint64_t TickCount() override { return 0; }
    double Now() override { return 0; }
    std::intptr_t ShellExecute(const AnsiString&, const AnsiString&, const AnsiString&, int) override {
        return 42;
    }
    std::optional<AnsiString> ReadUserRegistryString(const AnsiString& key,
                                                     const AnsiString& value) override {
        RegistryKeyRead = key + "|" + value;
        return Desktop;
    }
    void CoInitialize() override { Log.push_back("CoInitialize"); }
    void CoUninitialize() override { Log.push_back("CoUninitialize"); }
    bool SaveShellLink(const ShellLinkData& link, const AnsiString& shortcutFile) override {
        SavedLinks.emplace_back(link, shortcutFile);
        return SaveSucceeds;
    }
    TColor GetSysColor(int index) override { return XpSysColor(index); }
};

// Installs a platform for the lifetime of the object.
class ScopedPlatform {
public:
    explicit ScopedPlatform(Platform& platform) { SetOs(&platform); }
    ~ScopedPlatform() { SetOs(nullptr); }
};

} // namespace vendora::testing
