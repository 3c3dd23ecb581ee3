#pragma once
// The installer's fixed paths, in the letter case each step uses: Windows finds a file whatever the case
// of its name, but the case shows in the files and folders a run creates, and in the shortcut.

namespace vendora::paths {

// The installed application, as the sequence replaces and stamps it.
inline constexpr char Executable[] = "C:\\Vendora\\Vendora.EXE";
// The same file as the running application holds it: the wait, the shortcut and the start name it so.
inline constexpr char RunningExecutable[] = "c:\\Vendora\\Vendora.EXE";
inline constexpr char Backup[] = "C:\\Vendora\\ex_Vendora.EXE";
inline constexpr char FontSource[] = "C:\\Vendora\\Starmath.ttf";
inline constexpr char FontDestination[] = "C:\\Windows\\fonts\\Starmath.ttf";
inline constexpr char InstallerCopy[] = "c:\\Vendora\\install.exe";
inline constexpr char Manual[] = "c:\\Vendora\\Vendora.PDF";
inline constexpr char ApplicationFolder[] = "c:\\Vendora";
inline constexpr char DefaultTarget[] = "C:\\Vendora";
inline constexpr char ArchiveFileName[] = "Vendora.FCC";

} // namespace vendora::paths
