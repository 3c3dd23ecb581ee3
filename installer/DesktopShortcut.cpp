#include "installer/DesktopShortcut.h"

#include "installer/ShortcutLink.h"

namespace vendora {

namespace {

AnsiString Cut(const AnsiString& text) {
    return CutTo(text, Capacity::Shortcut);
}

AnsiString DesktopFolder(Platform& machine) {
    const std::optional<AnsiString> folder = machine.ReadUserRegistryString(
        "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Desktop");
    return Cut(folder.value_or(""));
}

} // namespace

AnsiString ExtractFileDir(const AnsiString& path) {
    const std::size_t last = path.find_last_of("\\:");
    if (last == AnsiString::npos)
        return "";
    std::size_t end = last + 1;
    // Drop the separator, but keep the one of a root ("C:\", "\").
    if (path[last] == '\\' && last > 0 && path[last - 1] != ':' && path[last - 1] != '\\')
        end = last;
    return path.substr(0, end);
}

AnsiString CreateDesktopShortcut(Platform& machine, const AnsiString& name, const AnsiString& target,
                                 const AnsiString& workingDir, const AnsiString& description,
                                 const AnsiString& arguments, const AnsiString& iconLocation,
                                 std::uint16_t iconNumber, char hotKey) {
    const AnsiString shortName = Cut(name);
    AnsiString linkTarget = Cut(target);
    AnsiString folder = Cut(workingDir);
    AnsiString icon = Cut(iconLocation);

    const AnsiString desktop = DesktopFolder(machine);
    TShortcutLink link;
    AnsiString file = shortName;
    if (!Contains(shortName, '\\'))
        file = Cut(desktop + "\\" + shortName);
    if (!Contains(shortName, '.'))
        file = Cut(file + ".lnk");
    link.ShortcutFile = file;

    if (!Contains(linkTarget, '.'))
        linkTarget = Cut(linkTarget + ".exe");
    link.Target = linkTarget;
    if (folder.empty())
        folder = Cut(ExtractFileDir(linkTarget));
    link.WorkingDir = folder;
    link.Arguments = Cut(arguments);
    link.Description = Cut(description);
    if (icon.empty())
        icon = linkTarget;
    link.IconLocation = icon;
    link.IconNumber = iconNumber;
    link.SetHotKey(hotKey != '\0' ? AnsiString(1, hotKey) : AnsiString());
    link.SetShowCmd(TShowCmd::scShowNormal);
    link.WriteLink(machine);
    return file;
}

} // namespace vendora
