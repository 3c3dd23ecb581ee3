#include "installer/ShortcutLink.h"

#include "base/Errors.h"

namespace vendora {

namespace {
constexpr std::uint16_t Blank = 32;
constexpr std::uint16_t CtrlAlt = 0x0600; // HOTKEYF_CONTROL | HOTKEYF_ALT in the high byte
} // namespace

AnsiString TShortcutLink::HotKey() {
    if (hotKey_ == 0)
        hotKey_ = Blank;
    return AnsiString(1, static_cast<char>(hotKey_));
}

void TShortcutLink::SetHotKey(const AnsiString& value) {
    const char first = value.empty() ? ' ' : UpperAsciiChar(value[0]);
    const auto code = static_cast<std::uint16_t>(static_cast<unsigned char>(first));
    hotKey_ = code < Blank ? Blank : code;
}

TShowCmd TShortcutLink::ShowCmd() const {
    switch (showCmd_) {
    case ShowCmdNumber::Maximized:
        return TShowCmd::scShowMaximized;
    case ShowCmdNumber::Minimized:
        return TShowCmd::scShowMinimized;
    default:
        return TShowCmd::scShowNormal;
    }
}

void TShortcutLink::SetShowCmd(TShowCmd value) {
    switch (value) {
    case TShowCmd::scShowMaximized:
        showCmd_ = ShowCmdNumber::Maximized;
        break;
    case TShowCmd::scShowMinimized:
        showCmd_ = ShowCmdNumber::Minimized;
        break;
    case TShowCmd::scShowNormal:
        showCmd_ = ShowCmdNumber::Normal;
        break;
    }
}

void TShortcutLink::WriteLink(Platform& machine) {
    ShellLinkData link;
    link.Path = Target;
    link.WorkingDirectory = WorkingDir;
    link.Arguments = Arguments;
    link.Description = Description;
    link.ShowCmd = showCmd_;
    link.HotKey = hotKey_ > Blank ? static_cast<std::uint16_t>(hotKey_ | CtrlAlt) : 0;
    link.IconLocation = IconLocation;
    link.IconIndex = IconNumber;
    if (!machine.SaveShellLink(link, ShortcutFile))
        throw EShortcutError();
}

} // namespace vendora
