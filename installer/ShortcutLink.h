#pragma once
// A Windows shell link (.lnk file) built from its values and written in one go by WriteLink.

#include "base/Text.h"
#include "platform/Platform.h"

#include <cstdint>

namespace vendora {

enum class TShowCmd { scShowMaximized, scShowMinimized, scShowNormal };

// The show-command numbers the link stores: SW_SHOWMAXIMIZED, SW_SHOWMINNOACTIVE and SW_RESTORE.
namespace ShowCmdNumber {
inline constexpr int Maximized = 3;
inline constexpr int Minimized = 7;
inline constexpr int Normal = 9;
} // namespace ShowCmdNumber

class TShortcutLink {
public:
    AnsiString ShortcutFile; // full path of the .lnk file to write
    AnsiString Target;
    AnsiString WorkingDir;
    AnsiString Description;
    AnsiString Arguments;
    AnsiString IconLocation;
    std::uint16_t IconNumber = 0;

    // One character, upper-cased (a-z); a blank means no hot key. Reading a never-set hot key gives a blank.
    AnsiString HotKey();
    void SetHotKey(const AnsiString& value);
    TShowCmd ShowCmd() const;
    void SetShowCmd(TShowCmd value);

    // What the link will store: the character code (0 until set) and the show-command number (0 until set).
    std::uint16_t HotKeyCode() const { return hotKey_; }
    int ShowCmdNumber() const { return showCmd_; }

    // Saves the link to ShortcutFile through the machine's shell, replacing an existing file;
    // EShortcutError when it cannot be saved. A hot key above the blank is written with Ctrl and Alt.
    void WriteLink(Platform& machine);

private:
    std::uint16_t hotKey_ = 0;
    int showCmd_ = 0;
};

} // namespace vendora
