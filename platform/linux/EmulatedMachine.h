#pragma once
// The Windows machine that the Linux build emulates under one folder, the root (as Wine keeps a prefix):
//
//   $VENDORA_ROOT/drive_c/...        drive C:, and drive_d/ ... drive_y/ for D: to Y: when they exist
//   $VENDORA_ROOT/registry/HKCU.reg  the current user's registry values (see UserRegistry)
//   Z:\                              the host's "/" (as Wine maps it), so that a program lying outside the
//                                    root still has a Windows path
//
// Names are Windows-1252 inside the system and UTF-8 on the disk. Every path component is matched without
// regard to letter case against what exists; a component that does not exist keeps the letter case the
// caller gave, so a file created as "Vendora.EXE" is stored as Vendora.EXE.
//
// A machine is prepared on first use: the root and drive_c/ are created when missing, and when the root
// has no registry/ folder yet (a new machine) the user's desktop C:\Users\<user>\Desktop and the
// registry file naming it are made too. Removing registry/HKCU.reg afterwards leaves a machine without the
// desktop value; removing the whole registry/ folder makes the next start prepare it again.

#include "platform/WindowsRules.h"

#include <optional>
#include <string>

namespace vendora {

class EmulatedMachine {
public:
    // root: the host folder (UTF-8), created if missing. user: the account name under C:\Users.
    // Throws Exception when the root cannot be prepared.
    EmulatedMachine(const std::string& root, const AnsiString& user);

    // $VENDORA_ROOT, else ${XDG_DATA_HOME:-$HOME/.local/share}/vendora-install.
    static std::string DefaultRoot();
    // $USER when it is a usable folder name, else "vendora".
    static AnsiString DefaultUser();

    const std::string& Root() const { return root_; }
    const AnsiString& User() const { return user_; }
    std::string RegistryFile() const { return root_ + "/registry/HKCU.reg"; }
    // "C:\Users\<user>\Desktop", the value the registry file is created with.
    AnsiString DefaultDesktop() const;
    // The account SYSTEM, as deployment agents start programs: the user named "SYSTEM" in any letter case.
    bool IsSystemAccount() const;
    // "C:\Users\Public\Desktop", and the account's temporary folder: "C:\Windows\Temp" for SYSTEM, else
    // "C:\Users\<user>\AppData\Local\Temp". Each is made when missing, as every Windows machine has them.
    AnsiString AllUsersDesktop() const;
    AnsiString TempFolder() const;

    // The host folder of a drive letter; nothing when the drive does not exist.
    std::optional<std::string> DriveFolder(char drive) const;

    // Where a Windows path lies on the host. Existing components are taken with their letter case on disk;
    // from the first missing one on, the names are the caller's. Nothing, with error 3, when the drive does
    // not exist.
    struct Location {
        std::string HostPath;
        bool ParentFound = false; // every component but the last is an existing folder
        bool Found = false;       // and the last one exists too
    };
    // Fails with 3 for a drive the machine does not have.
    FileResult<Location> Locate(const WinPath& path) const;

    // The Windows path of a host path: inside a drive folder its drive, else below Z:.
    AnsiString WindowsPathOf(const std::string& hostPath) const;
    // The host's current directory as a Windows path when it lies inside one of the root's drives.
    std::optional<WinPath> HostCurrentDirectory() const;

private:
    void Prepare();
    std::optional<WinPath> InsideDrive(const std::string& hostPath) const;

    std::string root_;
    AnsiString user_;
};

} // namespace vendora
