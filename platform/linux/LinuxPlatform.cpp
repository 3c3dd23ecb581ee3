#include "platform/linux/LinuxPlatform.h"

#include "base/Cp1252.h"
#include "platform/linux/EmbeddedResources.h"
#include "platform/linux/ShellStart.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vendora {

namespace {

// ShellExecuteA's failure results.
constexpr std::intptr_t ShellFileNotFound = 2;
constexpr std::intptr_t ShellPathNotFound = 3;
constexpr std::intptr_t ShellAccessDenied = 5;
constexpr std::intptr_t ShellOutOfMemory = 8;
constexpr std::intptr_t ShellBadFormat = 11;
constexpr std::intptr_t ShellNoAssociation = 31;
constexpr std::intptr_t ShellStarted = 42;

constexpr double UnixEpochInDays = 25569.0; // 1970-01-01 in days since 1899-12-30

std::intptr_t ShellResultFromErrno(int err) {
    switch (err) {
    case 0:
        return ShellStarted;
    case ENOENT:
        return ShellFileNotFound;
    case ENOTDIR:
        return ShellPathNotFound;
    case EACCES:
    case EPERM:
        return ShellAccessDenied;
    case ENOEXEC:
        return ShellBadFormat;
    default:
        return ShellOutOfMemory;
    }
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFullPathWithDrive(const AnsiString& path) {
    return path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

// A serial number that stays the same for a drive letter, as a real volume's does.
std::uint32_t DriveSerial(char drive) {
    std::uint32_t hash = 2166136261u;
    for (char c : std::string("Vendora drive ") + drive)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

} // namespace

LinuxPlatformOptions LinuxPlatformOptions::FromEnvironment() {
    LinuxPlatformOptions options;
    options.Root = EmulatedMachine::DefaultRoot();
    options.User = EmulatedMachine::DefaultUser();
    if (const char* log = std::getenv("VENDORA_SHELL_LOG"); log != nullptr)
        options.ShellLog = log;
    return options;
}

LinuxPlatform::LinuxPlatform(const LinuxPlatformOptions& options)
    : machine_(options.Root, options.User.empty() ? AnsiString("vendora") : options.User), files_(machine_),
      shellLog_(options.ShellLog) {}

std::unique_ptr<LinuxPlatform> LinuxPlatform::FromEnvironment() {
    return std::make_unique<LinuxPlatform>(LinuxPlatformOptions::FromEnvironment());
}

AnsiString LinuxPlatform::ModuleFileName() {
    char path[PATH_MAX];
    const ssize_t size = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (size <= 0)
        return AnsiString();
    return machine_.WindowsPathOf(std::string(path, static_cast<std::size_t>(size)));
}

std::optional<std::span<const std::uint8_t>> LinuxPlatform::FindResource(std::string_view type, int id) {
    return FindEmbeddedResource(type, id);
}

std::uint64_t LinuxPlatform::TickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void LinuxPlatform::Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

double LinuxPlatform::Now() {
    std::timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    ::localtime_r(&now.tv_sec, &local);
    const double seconds = static_cast<double>(now.tv_sec) + static_cast<double>(local.tm_gmtoff) +
                           static_cast<double>(now.tv_nsec / 1000000) / 1000.0;
    return UnixEpochInDays + seconds / 86400.0;
}

std::intptr_t LinuxPlatform::ShellExecute(const AnsiString& file, const AnsiString& parameters,
                                          const AnsiString& directory, int /*showCmd*/) {
    const std::intptr_t result = Execute(file, parameters, directory);
    Log(file, parameters, directory, result);
    return result;
}

std::intptr_t LinuxPlatform::Execute(const AnsiString& file, const AnsiString& parameters,
                                     const AnsiString& directory) {
    auto target = files_.HostPathOf(file);
    if (!target)
        return target.Error() == WinError::FileNotFound ? ShellFileNotFound : ShellPathNotFound;
    struct stat info {};
    if (::stat(target->c_str(), &info) != 0)
        return ShellResultFromErrno(errno);
    auto folder = files_.HostPathOf(directory.empty() ? files_.GetCurrentDirectory() : directory);
    if (!folder || !IsFolder(*folder))
        return ShellPathNotFound;
    if (IsNativeProgram(*target)) {
        if (!MakeRunnable(*target))
            return ShellAccessDenied;
        std::vector<std::string> arguments;
        for (const AnsiString& argument : SplitCommandLine(parameters))
            arguments.push_back(AnsiToUtf8(argument));
        return ShellResultFromErrno(StartDetached(*target, arguments, *folder));
    }
    auto opener = FindOnPath("xdg-open");
    if (!opener)
        return ShellNoAssociation;
    return ShellResultFromErrno(StartDetached(*opener, {*target}, *folder));
}

void LinuxPlatform::Log(const AnsiString& file, const AnsiString& parameters, const AnsiString& directory,
                        std::intptr_t result) const {
    if (shellLog_.empty())
        return;
    std::ofstream out(shellLog_, std::ios::binary | std::ios::app);
    out << AnsiToUtf8(file) << '\t' << AnsiToUtf8(parameters) << '\t' << AnsiToUtf8(directory) << '\t'
        << result << '\n';
}

std::optional<AnsiString> LinuxPlatform::ReadUserRegistryString(const AnsiString& key,
                                                                const AnsiString& value) {
    return Registry().ReadString(key, value);
}

bool LinuxPlatform::SaveShellLink(const ShellLinkData& link, const AnsiString& shortcutFile) {
    ShellLinkData written = link;
    ShellLinkTarget target;
    if (!link.Path.empty()) {
        auto full = files_.FullPathOf(link.Path);
        if (!full)
            return false;
        // The shell records a full path; one given in full keeps the caller's spelling.
        if (!IsFullPathWithDrive(link.Path))
            written.Path = full->ToString();
        target.DriveSerial = DriveSerial(full->Drive);
        if (auto facts = files_.Facts(full->ToString())) {
            target.Attributes = facts->Attributes;
            target.Creation = facts->Creation;
            target.LastAccess = facts->LastAccess;
            target.LastWrite = facts->LastWrite;
            target.Size = static_cast<std::uint32_t>(facts->Size); // the low 32 bits, as the format keeps
        }
    }
    const std::vector<std::uint8_t> bytes = EncodeShellLink(written, target);
    // Written whole beside the shortcut and then put in its place: a crash leaves the old one or the new.
    const AnsiString temporary = TemporarySibling(shortcutFile);
    files_.DeleteFile(temporary);
    auto file =
        files_.CreateFile(temporary, FileAccess::GenericWrite, FileShare::None, Disposition::CreateNew);
    if (!file)
        return false;
    std::uint32_t done = 0;
    const bool whole =
        (*file)->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()), done) && done == bytes.size();
    file->reset();
    if (whole && files_.MoveFileReplace(temporary, shortcutFile))
        return true;
    files_.DeleteFile(temporary);
    return false;
}

std::optional<ShellLinkContents> LinuxPlatform::ReadShellLink(const AnsiString& shortcutFile,
                                                              std::string* error) {
    auto host = files_.HostPathOf(shortcutFile);
    if (!host) {
        if (error != nullptr)
            *error = "not a path of the emulated machine";
        return std::nullopt;
    }
    return ReadShellLinkFile(*host, error);
}

} // namespace vendora
