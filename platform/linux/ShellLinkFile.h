#pragma once
// The Windows shortcut file (.lnk, the shell link binary format): written so that Windows and Wine open a
// shortcut that a Linux run made, and read back by the tests.
//
// Layout written: the 76-byte header (class id 00021401-0000-0000-C000-000000000046, flags, the target's
// attributes, times and size, icon index, show command, hot key); the link info with the volume of the
// target's drive (fixed drive, serial, label) and the target's local path in Windows-1252; then the
// strings that are set (description, working folder, arguments, icon location) in UTF-16; and the
// terminal block. No item id list: the local path is enough for the shell to find the target.

#include "platform/Platform.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vendora {

namespace LinkFlag {
inline constexpr std::uint32_t HasLinkTargetIdList = 0x01;
inline constexpr std::uint32_t HasLinkInfo = 0x02;
inline constexpr std::uint32_t HasName = 0x04;
inline constexpr std::uint32_t HasRelativePath = 0x08;
inline constexpr std::uint32_t HasWorkingDir = 0x10;
inline constexpr std::uint32_t HasArguments = 0x20;
inline constexpr std::uint32_t HasIconLocation = 0x40;
inline constexpr std::uint32_t IsUnicode = 0x80;
} // namespace LinkFlag

inline constexpr std::uint32_t LinkHeaderSize = 0x4C;
inline constexpr std::uint32_t DriveFixed = 3;

// What the shortcut records about its target besides the link's own values.
struct ShellLinkTarget {
    std::uint32_t Attributes = 0;
    FileTime Creation, LastAccess, LastWrite;
    std::uint32_t Size = 0;
    std::uint32_t DriveType = DriveFixed;
    std::uint32_t DriveSerial = 0;
    AnsiString VolumeLabel;
};

// A shortcut file's content. Link.Path is the target's local path from the link info.
struct ShellLinkContents {
    ShellLinkData Link;
    ShellLinkTarget Target;
    std::uint32_t Flags = 0;
};

// The bytes of a shortcut. link.Path must be a full path ("C:\..."); an empty one writes no link info.
std::vector<std::uint8_t> EncodeShellLink(const ShellLinkData& link, const ShellLinkTarget& target);

// Reads a shortcut written by EncodeShellLink or by Windows (Unicode or ANSI strings; an item id list and
// extra data blocks are skipped). Nothing, with the reason in error, when the bytes are not a shortcut
// or are cut short.
std::optional<ShellLinkContents> DecodeShellLink(std::span<const std::uint8_t> bytes,
                                                 std::string* error = nullptr);

// Reads a host file (UTF-8 path) and decodes it.
std::optional<ShellLinkContents> ReadShellLinkFile(const std::string& hostPath, std::string* error = nullptr);

} // namespace vendora
