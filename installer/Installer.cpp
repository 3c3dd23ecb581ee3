#include "installer/Installer.h"

#include "archive/Concatene.h"
#include "base/Cp1252.h"
#include "base/Errors.h"
#include "dialogs/MessageBox.h"
#include "installer/ApplicationWait.h"
#include "installer/DesktopShortcut.h"
#include "installer/FileStamp.h"
#include "installer/FixedPaths.h"
#include "installer/InstallerTexts.h"
#include "platform/Platform.h"
#include "platform/WindowsRules.h"

namespace vendora {

namespace {

using namespace paths;

constexpr int SwShowNormal = 1;

int Show(InstallerMessage message) {
    const MessageTexts texts = InstallerMessageTexts(message);
    return ShowHtmlMessage(texts.Title, texts.Text, texts.Buttons, TColor(0));
}

bool Agreed(InstallerMessage prompt) {
    return Show(prompt) == 1;
}

// The program's own archive, byte for byte, written in full under a temporary name beside the archive
// file and then put in its place in one step: a crash leaves the old archive or the new one.
void WriteArchive(const AnsiString& path) {
    const auto resource = Os().FindResource("FCC", 1);
    if (!resource)
        throw Exception(Ansi("Le programme d'installation ne contient pas l'archive de Vendora "
                             "(ressource FCC 1 absente)"));
    FileSystem& files = Os().Files();
    const AnsiString temporary = TemporarySibling(path);
    // What a crash left under the temporary name goes first, so that the new file is really new.
    files.DeleteFile(temporary);
    int error = 0;
    std::unique_ptr<FileHandle> file =
        files.CreateFile(temporary, FileAccess::GenericWrite, FileShare::Read, Disposition::CreateNew, error);
    if (!file)
        throw EInOutError(error);
    const auto size = static_cast<std::uint32_t>(resource->size());
    std::uint32_t done = 0;
    const bool written = file->Write(resource->data(), size, done);
    const int writeError = written ? 0 : file->LastError();
    file.reset();
    if (!written || done != size) {
        files.DeleteFile(temporary);
        throw EInOutError(writeError != 0 && writeError != WinError::DiskFull ? writeError
                                                                              : IoCode::DiskFull);
    }
    if (!files.MoveFileReplace(temporary, path)) {
        const int moveError = files.LastError();
        files.DeleteFile(temporary);
        throw EInOutError(moveError != 0 ? moveError : WinError::AccessDenied);
    }
}

// A target folder whose archive path would not fit in a path is refused before anything is written: cut
// to 255 characters, the path would name another folder (as far up as the drive's root).
void RefuseLongTarget(const AnsiString& folder) {
    const AnsiString archivePath = folder + "\\" + ArchiveFileName;
    if (archivePath.size() > Capacity::Path)
        throw Exception(TargetTooLongText(archivePath));
}

void CopyFontIfMissing() {
    FileSystem& files = Os().Files();
    if (files.FileExists(FontDestination))
        return;
    if (!files.CopyFile(FontSource, FontDestination, false))
        Show(InstallerMessage::FontReport);
}

void CreateShortcut() {
    CreateDesktopShortcut(Ansi("Vendora © Morvanel"), RunningExecutable, "",
                          Ansi("Vendora est une application réalisée avec Quillbox © Morvanel"), "", "", 0,
                          '\0');
}

// Backup and replacement of the executable; false when the run must end there.
bool ReplaceExecutable(const AnsiString& target) {
    FileSystem& files = Os().Files();
    if (files.FileExists(Executable) && !files.CopyFile(RunningExecutable, Backup, false)) {
        Show(InstallerMessage::BackupFailureReport);
        return false;
    }
    if (!files.CopyFile(target + "\\" + "Vendora" + ".EXE", Executable, false)) {
        Show(InstallerMessage::CopyFailureReport);
        return false;
    }
    StampFixedTime(Executable);
    return Agreed(InstallerMessage::UpdateCompletePrompt);
}

bool CompleteInstall() {
    StampFixedTime(Executable);
    if (Os().Files().FileExists(Manual))
        Os().ShellExecute(Manual, "", ApplicationFolder, SwShowNormal);
    return Agreed(InstallerMessage::InstallCompletePrompt);
}

void StartApplication(const AnsiString& argument) {
    if (!Os().Files().SetCurrentDirectory(ApplicationFolder))
        throw EInOutError(WinError::PathNotFound);
    Os().ShellExecute(RunningExecutable, argument, ApplicationFolder, SwShowNormal);
}

} // namespace

void RunInstaller(const AnsiString& commandLine) {
    const AnsiString argument = ParamStr(commandLine, 1);
    AnsiString target = Contains(argument, ':') ? argument : AnsiString(DefaultTarget);

    RefuseLongTarget(target);
    FileSystem& files = Os().Files();
    if (files.FileExists(Executable) && !Agreed(InstallerMessage::UpdatePrompt))
        return;
    if (!files.FileExists(Executable) && !Agreed(InstallerMessage::InstallPrompt))
        return;

    const int updateFlag = files.CreateDirectory(target);
    const bool update = updateFlag != 0;
    if (update) {
        target += "\\MAJ";
        RefuseLongTarget(target);
        files.CreateDirectory(target);
    }

    const AnsiString archivePath = target + "\\" + ArchiveFileName;
    WriteArchive(archivePath);
    if (update)
        WaitForApplicationExit();
    ExtractArchive(archivePath);

    CopyFontIfMissing();
    CreateShortcut();
    files.CopyFile(Os().ModuleFileName(), InstallerCopy, false);

    const bool start = update ? ReplaceExecutable(target) : CompleteInstall();
    if (start)
        StartApplication(argument);
}

} // namespace vendora
