#pragma once
// The current user's registry hive (HKEY_CURRENT_USER) of the emulated machine: a small UTF-8 text file in
// the layout of a .reg export, which a person can read and edit:
//
//   [Software\MicroSoft\Windows\CurrentVersion\Explorer\Shell Folders]
//   "Desktop"="C:\\Users\\vendora\\Desktop"
//
// Key and value names compare without regard to letter case, as in the Windows registry. In the quoted
// names and data, '\' and '"' are written "\\" and "\""; "@" names the key's default value. Lines starting
// with ';' are comments.

#include "base/Text.h"

#include <optional>
#include <string>

namespace vendora {

inline constexpr std::string_view ShellFoldersKey =
    "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class UserRegistry {
public:
    explicit UserRegistry(std::string file) : file_(std::move(file)) {}

    // Nothing when the file, the key or the value is absent.
    std::optional<AnsiString> ReadString(std::string_view key, std::string_view value) const;
    // Creates the file and the key when needed; false when the file cannot be written.
    bool WriteString(std::string_view key, std::string_view value, std::string_view data) const;
    // True when the value existed and is gone.
    bool DeleteValue(std::string_view key, std::string_view value) const;

    const std::string& File() const { return file_; }

private:
    std::string file_;
};

} // namespace vendora
