#include "installer/Installer.h"

#include "archive/ArchiveFormat.h"
#include "archive/Concatene.h"
#include "archive/MemoryStream.h"
#include "archive/ZCompress.h"
#include "base/Cp1252.h"
#include "base/Errors.h"
#include "dialogs/MessageBox.h"
#include "installer/ApplicationWait.h"
#include "installer/DesktopShortcut.h"
#include "installer/ExitCodes.h"
#include "installer/FileStamp.h"
#include "installer/FixedPaths.h"
#include "installer/InstallerTexts.h"
#include "platform/Platform.h"
#include "platform/WindowsRules.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace vendora {

namespace {

using namespace paths;

constexpr int SwShowNormal = 1;

using EntryList = std::vector<std::pair<AnsiString, std::int32_t>>;

AnsiString Quoted(const AnsiString& text) {
    return Ansi("« ") + text + Ansi(" »");
}

AnsiString Bytes(std::int64_t size) {
    return IntToStr(size) + " octets";
}

std::span<const std::uint8_t> OwnArchive(Platform& machine) {
    const auto resource = machine.FindResource("FCC", 1);
    if (!resource)
        throw Exception(Ansi("Le programme d'installation ne contient pas l'archive de Vendora "
                             "(ressource FCC 1 absente)"));
    return *resource;
}

// The program's own archive inflated in memory and its table read as the extraction will read it, so that
// a damaged archive is found before anything is written. Its entries' names and sizes, in table order.
EntryList CheckedEntries(std::span<const std::uint8_t> archive) {
    try {
        MemoryStream input;
        MemoryStream inflated;
        input.Write(archive.data(), static_cast<std::uint32_t>(archive.size()));
        input.Seek(0);
        TZCompress().DecompressStream(input, inflated);
        const ArchiveTable table = ReadArchiveTable(inflated.Bytes());
        EntryList entries;
        for (std::size_t i = 0; i < table.Entries.size(); ++i)
            entries.emplace_back(table.Entries[i].Name, table.Entries.SizeAt(i));
        return entries;
    } catch (const Exception& error) {
        throw EDamagedPayload(error.Message());
    }
}

// The program's own archive, byte for byte, written in full under a temporary name beside the archive
// file and then put in its place in one step: a crash leaves the old archive or the new one.
void WriteArchive(FileSystem& files, std::span<const std::uint8_t> resource, const AnsiString& path) {
    const AnsiString temporary = TemporarySibling(path);
    // What a crash left under the temporary name goes first, so that the new file is really new.
    files.DeleteFile(temporary);
    std::unique_ptr<FileHandle> file = OrRaise(
        files.CreateFile(temporary, FileAccess::GenericWrite, FileShare::Read, Disposition::CreateNew),
        FileErrorAs::InOut);
    const auto size = static_cast<std::uint32_t>(resource.size());
    std::uint32_t done = 0;
    const FileStatus written = file->Write(resource.data(), size, done);
    file.reset();
    if (!written || done != size) {
        files.DeleteFile(temporary);
        const int code = written.Error();
        throw EInOutError(code != 0 && code != WinError::DiskFull ? code : IoCode::DiskFull);
    }
    if (const FileStatus moved = files.MoveFileReplace(temporary, path); !moved) {
        files.DeleteFile(temporary);
        RaiseFileError(moved.Error(), FileErrorAs::InOut, {}, WinError::AccessDenied);
    }
}

// A target folder whose archive path would not fit in a path is refused before anything is written: cut
// to 255 characters, the path would name another folder (as far up as the drive's root).
void RefuseLongTarget(const AnsiString& folder) {
    const AnsiString archivePath = folder + "\\" + ArchiveFileName;
    if (archivePath.size() > Capacity::Path)
        throw Exception(TargetTooLongText(archivePath));
}

// One run: the switches, what the host hands it, and the steps in their order.
class Sequence {
public:
    Sequence(const InstallerSwitches& switches, const InstallerHost& host)
        : switches_(switches), machine_(host.Machine), files_(host.Machine.Files()), dialogs_(host.Dialogs),
          progress_(host.Progress), log_(host.Log) {}

    RunOutcome Run();

private:
    bool Ask(InstallerMessage prompt);
    void Report(InstallerMessage report);
    bool Released(std::uint32_t limit);
    void Extract(const AnsiString& archivePath, const AnsiString& folder, const EntryList& entries);
    void CopyFontIfMissing();
    void CreateShortcut();
    void CopyInstaller();
    int Copy(const AnsiString& from, const AnsiString& to, const char* step);
    RunOutcome ReplaceExecutable(const AnsiString& target);
    RunOutcome CompleteInstall();
    RunOutcome Completed(InstallerMessage prompt);
    void Stamp();

    const InstallerSwitches& switches_;
    Platform& machine_;
    FileSystem& files_;
    DialogBackend& dialogs_;
    ExtractionUi& progress_;
    InstallLog& log_;
};

bool Sequence::Ask(InstallerMessage prompt) {
    const MessageTexts texts = InstallerMessageTexts(prompt);
    const int answer = ShowHtmlMessage(dialogs_, texts.Title, texts.Text, texts.Buttons, TColor(0));
    const char* said = answer == 1 ? "Oui" : answer == 2 ? "Non" : "fenêtre fermée";
    log_.Line(Ansi("Question ") + Quoted(texts.Title) + " : " + Ansi(said) +
              (switches_.Silent ? Ansi(" (/S)") : AnsiString()));
    return answer == 1;
}

void Sequence::Report(InstallerMessage report) {
    const MessageTexts texts = InstallerMessageTexts(report);
    log_.Line(Ansi("Message ") + Quoted(texts.Title) + " : " + PlainText(texts.Text));
    ShowHtmlMessage(dialogs_, texts.Title, texts.Text, texts.Buttons, TColor(0));
}

// A silent update's wait, before anything is written.
bool Sequence::Released(std::uint32_t limit) {
    log_.Line(Ansi("Attente de la fermeture de ") + RunningExecutable +
              " (/WAIT=" + IntToStr(switches_.WaitSeconds) + " s)");
    if (WaitForApplicationExit(machine_, dialogs_, limit)) {
        log_.Line(AnsiString(RunningExecutable) + Ansi(" est libre"));
        return true;
    }
    log_.Line(AnsiString(RunningExecutable) + Ansi(" tourne encore après ") +
              IntToStr(switches_.WaitSeconds) + Ansi(" s : rien n'est changé"));
    return false;
}

// Every entry is put in place together at the end of the split, so they are written down once it returns.
void Sequence::Extract(const AnsiString& archivePath, const AnsiString& folder, const EntryList& entries) {
    log_.Line(Ansi("Extraction de ") + archivePath);
    ExtractArchive(archivePath,
                   ExtractionContext{files_, progress_, [this] { return machine_.TickCount(); }});
    for (const auto& [name, size] : entries)
        log_.Line(Ansi("Fichier écrit : ") + folder + "\\" + name + " (" + Bytes(size) + ")");
}

void Sequence::CopyFontIfMissing() {
    if (files_.FileExists(FontDestination)) {
        log_.Line(Ansi("Police déjà présente : ") + FontDestination);
        return;
    }
    const FileStatus copied = files_.CopyFile(FontSource, FontDestination, false);
    if (copied) {
        log_.Line(Ansi("Police copiée : ") + FontDestination);
        return;
    }
    log_.Line(Ansi("La police n'a pas pu être copiée") + WindowsCodeText(copied.Error()));
    Report(InstallerMessage::FontReport);
}

// Under the SYSTEM account, as deployment agents run installers, the shortcut goes to the desktop every user
// sees: SYSTEM's own is seen by nobody.
void Sequence::CreateShortcut() {
    AnsiString name = Ansi("Vendora © Morvanel");
    if (machine_.RunsAsSystem()) {
        const AnsiString common = machine_.AllUsersDesktop();
        log_.Line(Ansi("Compte SYSTEM : le raccourci va sur le bureau de tous les utilisateurs ") + common);
        if (!common.empty())
            name = common + "\\" + name + ".lnk";
    }
    const AnsiString file = CreateDesktopShortcut(
        machine_, name, RunningExecutable, "",
        Ansi("Vendora est une application réalisée avec Quillbox © Morvanel"), "", "", 0, '\0');
    log_.Line(Ansi("Raccourci créé : ") + file);
}

void Sequence::CopyInstaller() {
    const FileStatus copied = files_.CopyFile(machine_.ModuleFileName(), InstallerCopy, false);
    if (copied)
        log_.Line(Ansi("Installateur copié : ") + InstallerCopy);
    else
        log_.Line(Ansi("Installateur non copié vers ") + InstallerCopy + WindowsCodeText(copied.Error()) +
                  Ansi(", sans conséquence"));
}

void Sequence::Stamp() {
    StampFixedTime(files_, Executable);
    log_.Line(Ansi("Date fixe posée sur ") + Executable);
}

// A copy of the update's, logged; 0 when done, else the Windows error code.
int Sequence::Copy(const AnsiString& from, const AnsiString& to, const char* step) {
    const FileStatus copied = files_.CopyFile(from, to, false);
    if (copied) {
        log_.Line(Ansi(step) + " : " + from + " -> " + to);
        return 0;
    }
    const int code = copied.Error();
    log_.Line(Ansi(step) + Ansi(" impossible : ") + from + " -> " + to + WindowsCodeText(code));
    return code;
}

// Backup and replacement of the executable.
RunOutcome Sequence::ReplaceExecutable(const AnsiString& target) {
    const int backup = files_.FileExists(Executable) ? Copy(RunningExecutable, Backup, "Sauvegarde") : 0;
    if (backup != 0) {
        Report(InstallerMessage::BackupFailureReport);
        return {RunEnd::BackupFailed, backup};
    }
    if (const int code = Copy(target + "\\" + "Vendora" + ".EXE", Executable, "Remplacement")) {
        Report(InstallerMessage::CopyFailureReport);
        return {RunEnd::ReplacementFailed, code};
    }
    Stamp();
    return Completed(InstallerMessage::UpdateCompletePrompt);
}

RunOutcome Sequence::CompleteInstall() {
    Stamp();
    if (files_.FileExists(Manual)) {
        // A document opens in a window of its own: a silent run leaves it.
        if (switches_.Silent) {
            log_.Line(Ansi("Manuel non ouvert (/S) : ") + Manual);
        } else {
            machine_.ShellExecute(Manual, "", ApplicationFolder, SwShowNormal);
            log_.Line(Ansi("Manuel ouvert : ") + Manual);
        }
    }
    return Completed(InstallerMessage::InstallCompletePrompt);
}

// The final question, and the start of the application on "Oui"; a silent run starts nothing.
RunOutcome Sequence::Completed(InstallerMessage prompt) {
    if (switches_.Silent) {
        log_.Line(Ansi("Vendora n'est pas lancé (/S)"));
        return {};
    }
    if (!Ask(prompt))
        return {};
    if (!files_.SetCurrentDirectory(ApplicationFolder))
        throw EInOutError(WinError::PathNotFound);
    machine_.ShellExecute(RunningExecutable, switches_.Argument, ApplicationFolder, SwShowNormal);
    log_.Line(Ansi("Lancement : ") + RunningExecutable + " " + switches_.Argument);
    return {};
}

RunOutcome Sequence::Run() {
    AnsiString target = TargetFolder(switches_);
    log_.Line(Ansi("Dossier cible : ") + target);
    RefuseLongTarget(target);
    const bool installed = files_.FileExists(Executable);
    if (installed && !Ask(InstallerMessage::UpdatePrompt))
        return {RunEnd::Declined};
    if (!files_.FileExists(Executable) && !Ask(InstallerMessage::InstallPrompt))
        return {RunEnd::Declined};

    const std::span<const std::uint8_t> archive = OwnArchive(machine_);
    const EntryList entries = CheckedEntries(archive);
    log_.Line(Ansi("Archive vérifiée : ") + IntToStr(static_cast<long long>(entries.size())) +
              Ansi(" entrées"));
    // A silent update changes nothing while the application runs: its wait comes before any write.
    const std::uint32_t limit = static_cast<std::uint32_t>(switches_.WaitSeconds) * 1000u;
    const bool waited = switches_.Silent && installed;
    if (waited && !Released(limit))
        return {RunEnd::StillRunning};

    const bool update = !files_.CreateDirectory(target);
    if (update) {
        target += "\\MAJ";
        RefuseLongTarget(target);
        files_.CreateDirectory(target);
    }
    log_.Line(update ? Ansi("Mode : mise à jour dans ") + target
                     : Ansi("Mode : installation dans ") + target);

    const AnsiString archivePath = target + "\\" + ArchiveFileName;
    WriteArchive(files_, archive, archivePath);
    log_.Line(Ansi("Archive écrite : ") + archivePath + " (" +
              Bytes(static_cast<std::int64_t>(archive.size())) + ")");
    if (update && !switches_.Silent)
        WaitForApplicationExit(machine_, dialogs_);
    else if (update && !waited && !Released(limit))
        return {RunEnd::StillRunning};
    Extract(archivePath, target, entries);

    CopyFontIfMissing();
    CreateShortcut();
    CopyInstaller();
    return update ? ReplaceExecutable(target) : CompleteInstall();
}

} // namespace

RunOutcome RunInstaller(const InstallerSwitches& switches, const InstallerHost& host) {
    return Sequence(switches, host).Run();
}

} // namespace vendora
