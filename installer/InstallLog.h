#pragma once
// The log of a run (/LOG=FILE, or the temporary folder's Vendora-install.log for a silent run): UTF-8,
// one line per step, each with its local time. A log that fails while the run goes on stops quietly: it
// never makes a run fail that would have succeeded without it.

#include "base/Text.h"
#include "platform/Platform.h"

#include <memory>

namespace vendora {

class InstallLog {
public:
    // A log that writes nothing until opened.
    InstallLog() = default;
    InstallLog(const InstallLog&) = delete;
    InstallLog& operator=(const InstallLog&) = delete;

    // Creates or empties the file at path on machine's disk; fails with the Windows error code when it
    // cannot be written. Its lines then take their time from machine's clock.
    FileStatus Open(Platform& machine, const AnsiString& path);
    bool Active() const { return file_ != nullptr; }
    const AnsiString& Path() const { return path_; }

    // One line of Windows-1252 text, written at once after the time.
    void Line(const AnsiString& text);

private:
    bool Write(const std::string& utf8);

    std::unique_ptr<FileHandle> file_;
    AnsiString path_;
    Platform* machine_ = nullptr;
};

// " (code Windows N)", as the log follows a failure with its system error code.
AnsiString WindowsCodeText(int code);

// "YYYY-MM-DD HH:MM:SS" of a local instant in days since 1899-12-30.
AnsiString FormatLogTime(double day);

// The file a silent run logs to without /LOG=: Vendora-install.log in the machine's temporary folder.
AnsiString DefaultLogPath(Platform& machine);

} // namespace vendora
