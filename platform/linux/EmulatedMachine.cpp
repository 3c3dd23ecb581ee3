#include "platform/linux/EmulatedMachine.h"

#include "base/Cp1252.h"
#include "base/Errors.h"
#include "platform/Platform.h"
#include "platform/WindowsRules.h"
#include "platform/linux/UserRegistry.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vendora {

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

void MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string partial = path.substr(0, slash);
        if (::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST)
            throw Exception(Ansi("Impossible de créer le dossier ") + Utf8ToAnsi(partial) + " (" +
                            Utf8ToAnsi(std::strerror(errno)) + ")");
        if (slash == std::string::npos)
            return;
    }
}

// The existing entry of folder that name designates without regard to letter case, else name itself.
std::string EntryNoCase(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return name;
    std::string found = name;
    while (const dirent* entry = ::readdir(dir)) {
        if (SameNameNoCase(Utf8ToAnsi(entry->d_name), Utf8ToAnsi(name))) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// Creates the folders of relative below base, reusing those that exist in another letter case.
void MakeFoldersNoCase(std::string base, const std::vector<std::string>& relative) {
    for (const std::string& name : relative) {
        base += "/" + EntryNoCase(base, name);
        MakeFolders(base);
    }
}

std::string Absolute(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr)
        return resolved;
    return path;
}

// The entry of a host folder that a Windows-1252 name designates: the same name if it exists as such,
// else the first entry (in NTFS order) equal to it without regard to letter case.
std::optional<std::string> FindEntry(const std::string& folder, const AnsiString& name) {
    const std::string utf8 = AnsiToUtf8(name);
    if (Exists(folder + "/" + utf8))
        return utf8;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return std::nullopt;
    std::optional<std::string> best;
    AnsiString bestAnsi;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string candidate = entry->d_name;
        const AnsiString ansi = Utf8ToAnsi(candidate);
        if (SameNameNoCase(ansi, name) && (!best || NameLessNoCase(ansi, bestAnsi))) {
            best = candidate;
            bestAnsi = ansi;
        }
    }
    ::closedir(dir);
    return best;
}

bool IsUsableUser(std::string_view user) {
    return !user.empty() && user != "." && user != ".." && !HasWildcard(user) &&
           std::none_of(user.begin(), user.end(), [](char c) {
               return c == '/' || c == '\\' || c == ':' || c == '"' || c == '<' || c == '>' || c == '|' ||
                      static_cast<unsigned char>(c) < 32;
           });
}

} // namespace

EmulatedMachine::EmulatedMachine(const std::string& root, const AnsiString& user) : user_(user) {
    if (root.empty())
        throw Exception(Ansi("Le dossier racine de la machine émulée n'est pas défini"));
    MakeFolders(root);
    root_ = Absolute(root);
    Prepare();
}

std::string EmulatedMachine::DefaultRoot() {
    if (const char* root = std::getenv("VENDORA_ROOT"); root != nullptr && *root != '\0')
        return root;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != '\0')
        return std::string(data) + "/vendora-install";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr && *home != '\0' ? home : ".") + "/.local/share/vendora-install";
}

AnsiString EmulatedMachine::DefaultUser() {
    const char* user = std::getenv("USER");
    if (user != nullptr && IsUsableUser(user))
        return Utf8ToAnsi(user);
    return "vendora";
}

AnsiString EmulatedMachine::DefaultDesktop() const {
    return "C:\\Users\\" + user_ + "\\Desktop";
}

bool EmulatedMachine::IsSystemAccount() const {
    return SameNameNoCase(user_, "SYSTEM");
}

AnsiString EmulatedMachine::AllUsersDesktop() const {
    MakeFoldersNoCase(root_ + "/drive_c", {"Users", "Public", "Desktop"});
    return "C:\\Users\\Public\\Desktop";
}

AnsiString EmulatedMachine::TempFolder() const {
    if (IsSystemAccount()) {
        MakeFoldersNoCase(root_ + "/drive_c", {"windows", "Temp"});
        return "C:\\Windows\\Temp";
    }
    MakeFoldersNoCase(root_ + "/drive_c", {"Users", AnsiToUtf8(user_), "AppData", "Local", "Temp"});
    return "C:\\Users\\" + user_ + "\\AppData\\Local\\Temp";
}

void EmulatedMachine::Prepare() {
    MakeFolders(root_ + "/drive_c");
    const std::string registry = root_ + "/registry";
    if (IsFolder(registry))
        return;
    MakeFolders(root_ + "/drive_c/Users/" + AnsiToUtf8(user_) + "/Desktop");
    // Every Windows machine has its fonts folder; the installer copies its font there.
    MakeFoldersNoCase(root_ + "/drive_c", {"windows", "Fonts"});
    MakeFolders(registry);
    if (!UserRegistry(RegistryFile()).WriteString(ShellFoldersKey, "Desktop", DefaultDesktop()))
        throw Exception(Ansi("Impossible d'écrire le registre ") + Utf8ToAnsi(RegistryFile()));
}

std::optional<std::string> EmulatedMachine::DriveFolder(char drive) const {
    drive = UpperAsciiChar(drive);
    if (drive == 'Z')
        return std::string();
    if (drive < 'A' || drive > 'Z')
        return std::nullopt;
    std::string folder = root_ + "/drive_" + static_cast<char>(drive - 'A' + 'a');
    if (!IsFolder(folder))
        return std::nullopt;
    return folder;
}

FileResult<EmulatedMachine::Location> EmulatedMachine::Locate(const WinPath& path) const {
    auto drive = DriveFolder(path.Drive);
    if (!drive)
        return FileError{WinError::PathNotFound};
    Location location;
    location.HostPath = *drive;
    bool found = true;
    for (std::size_t i = 0; i < path.Parts.size(); ++i) {
        const bool last = i + 1 == path.Parts.size();
        if (last)
            location.ParentFound = found && (location.HostPath.empty() || IsFolder(location.HostPath));
        std::optional<std::string> entry;
        if (found)
            entry = FindEntry(location.HostPath.empty() ? "/" : location.HostPath, path.Parts[i]);
        found = entry.has_value();
        location.HostPath += "/" + (found ? *entry : AnsiToUtf8(path.Parts[i]));
    }
    if (path.Parts.empty()) {
        location.ParentFound = true;
        location.HostPath = drive->empty() ? "/" : *drive;
    }
    location.Found = found;
    return location;
}

std::optional<WinPath> EmulatedMachine::InsideDrive(const std::string& hostPath) const {
    const std::string prefix = root_ + "/drive_";
    if (hostPath.compare(0, prefix.size(), prefix) != 0 || hostPath.size() < prefix.size() + 1)
        return std::nullopt;
    const char letter = hostPath[prefix.size()];
    if (letter < 'a' || letter > 'y')
        return std::nullopt;
    const std::size_t rest = prefix.size() + 1;
    if (hostPath.size() > rest && hostPath[rest] != '/')
        return std::nullopt;
    WinPath path;
    path.Drive = static_cast<char>(letter - 'a' + 'A');
    auto full = FullPath(Utf8ToAnsi(hostPath.substr(rest)), WinPath{path.Drive, {}});
    if (!full)
        return std::nullopt;
    return *full;
}

AnsiString EmulatedMachine::WindowsPathOf(const std::string& hostPath) const {
    if (auto inside = InsideDrive(hostPath))
        return inside->ToString();
    AnsiString path = "Z:" + Utf8ToAnsi(hostPath);
    std::replace(path.begin(), path.end(), '/', '\\');
    if (path == "Z:")
        path += "\\";
    return path;
}

std::optional<WinPath> EmulatedMachine::HostCurrentDirectory() const {
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr)
        return std::nullopt;
    return InsideDrive(Absolute(cwd));
}

} // namespace vendora
