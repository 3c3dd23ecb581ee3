#include "installer/Switches.h"

#include "base/Convert.h"
#include "base/Cp1252.h"
#include "installer/FixedPaths.h"
#include "platform/WindowsRules.h"

#include <vector>

namespace vendora {

namespace {

// The value of "/NAME=value" when argument is that switch in any letter case.
std::optional<AnsiString> ValueOf(const AnsiString& argument, std::string_view name) {
    const AnsiString prefix = "/" + AnsiString(name) + "=";
    if (argument.size() < prefix.size() || UpperAscii(argument.substr(0, prefix.size())) != prefix)
        return std::nullopt;
    return argument.substr(prefix.size());
}

bool Is(const AnsiString& argument, std::string_view name) {
    return UpperAscii(argument) == "/" + AnsiString(name);
}

void Refuse(InstallerSwitches& switches, const AnsiString& fault) {
    if (switches.Fault.empty())
        switches.Fault = fault;
}

void ReadWait(InstallerSwitches& switches, const AnsiString& value) {
    bool digits = !value.empty();
    for (const char c : value)
        digits = digits && c >= '0' && c <= '9';
    const std::optional<std::int32_t> seconds = digits ? TryStrToInt(value) : std::nullopt;
    if (!seconds || *seconds > MaxWaitSeconds) {
        Refuse(switches, Ansi("/WAIT= attend un nombre de secondes de 0 à ") + IntToStr(MaxWaitSeconds) +
                             Ansi(", pas « ") + value + Ansi(" »"));
        return;
    }
    switches.WaitSeconds = *seconds;
    switches.WaitGiven = true;
}

void ReadFolder(InstallerSwitches& switches, const AnsiString& value) {
    if (!Contains(value, ':'))
        Refuse(switches,
               Ansi("/D= attend un dossier complet avec sa lettre de lecteur (C:\\Vendora), pas « ") + value +
                   Ansi(" »"));
    else
        switches.Folder = value;
}

} // namespace

InstallerSwitches ReadSwitches(std::string_view commandLine) {
    const std::vector<AnsiString> arguments = SplitCommandLine(commandLine);
    InstallerSwitches switches;
    bool argumentSeen = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const AnsiString& argument = arguments[i];
        if (Is(argument, "S")) {
            switches.Silent = true;
        } else if (Is(argument, "?")) {
            switches.Help = true;
        } else if (Is(argument, "LOG")) {
            switches.Log = AnsiString();
        } else if (const auto log = ValueOf(argument, "LOG")) {
            if (log->empty())
                Refuse(switches, Ansi("/LOG= attend le nom du fichier journal"));
            switches.Log = *log;
        } else if (const auto wait = ValueOf(argument, "WAIT")) {
            ReadWait(switches, *wait);
        } else if (const auto folder = ValueOf(argument, "D")) {
            AnsiString value = *folder;
            while (i + 1 < arguments.size() && arguments[i + 1][0] != '/')
                value += " " + arguments[++i];
            ReadFolder(switches, value);
        } else if (!argumentSeen) {
            switches.Argument = argument;
            argumentSeen = true;
        }
    }
    return switches;
}

AnsiString TargetFolder(const InstallerSwitches& switches) {
    if (switches.Folder)
        return *switches.Folder;
    return Contains(switches.Argument, ':') ? switches.Argument : AnsiString(paths::DefaultTarget);
}

} // namespace vendora
