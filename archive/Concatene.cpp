#include "archive/Concatene.h"

#include "archive/ArchiveFormat.h"
#include "archive/MemoryStream.h"
#include "archive/StagedEntries.h"
#include "archive/ZCompress.h"
#include "base/Cp1252.h"
#include "base/Errors.h"

#include <algorithm>
#include <memory>
#include <span>

namespace vendora {

namespace {

// The table and the contents of the intermediate file, read as a file of bytes: a failure of the medium
// is the I/O error of its system code, a short read the end-of-file error.
class FileSource : public ByteSource {
public:
    explicit FileSource(FileHandle& file) : file_(file) {}
    std::uint32_t Read(void* buffer, std::uint32_t count) override {
        std::uint32_t done = 0;
        if (!file_.Read(buffer, count, done))
            throw EInOutError(file_.LastError());
        return done;
    }

private:
    FileHandle& file_;
};

std::size_t LastDelimiter(const AnsiString& path) {
    return path.find_last_of("\\:");
}

std::unique_ptr<FileHandle> OpenIntermediate(FileSystem& files, const AnsiString& path) {
    int error = 0;
    auto file = files.CreateFile(path, FileAccess::GenericRead | FileAccess::GenericWrite, FileShare::None,
                                 Disposition::OpenExisting, error);
    if (!file)
        throw EInOutError(error);
    return file;
}

// Files are read in pieces no larger than a single Read of a handle can carry.
constexpr std::size_t FileChunk = std::size_t{1} << 24;

// The intermediate file, written whole under a temporary name next to it and then put in its place in one
// step, so that a crash leaves it old or new, never a part. It is put in place without waiting for the
// disk: the split deletes it again, and flushing it would only double what the extraction writes. Raises
// the stream's errors, naming the file as the user knows it; a failure removes the temporary file.
void SaveIntermediate(FileSystem& files, const AnsiString& path, std::span<const std::uint8_t> bytes) {
    const AnsiString temporary = TemporarySibling(path);
    int error = 0;
    auto file = files.CreateFile(temporary, FileAccess::GenericRead | FileAccess::GenericWrite,
                                 FileShare::None, Disposition::CreateAlways, error);
    if (!file)
        throw EFCreateError(path, error);
    const bool written = !WriteWhole(*file, bytes);
    file.reset();
    if (!written) {
        files.DeleteFile(temporary);
        throw EWriteError();
    }
    if (!files.MoveFileReplaceUnflushed(temporary, path)) {
        const int code = files.LastError();
        files.DeleteFile(temporary);
        throw EFCreateError(path, code != 0 ? code : WinError::AccessDenied);
    }
}

// The whole archive file inflated into memory; the compressed bytes are freed on return.
MemoryStream Inflate(FileSystem& files, const AnsiString& source) {
    MemoryStream input;
    MemoryStream output;
    TZCompress compressor;
    input.LoadFromFile(files, CutTo(source, Capacity::Path));
    input.Seek(0);
    compressor.DecompressStream(input, output);
    return output;
}

// Writing an entry over the intermediate file would truncate the very file the entries are read from.
void RefuseEntryOverIntermediate(const ArchiveTable& table, const AnsiString& path) {
    const std::size_t at = LastDelimiter(path);
    const AnsiString own = UpperNoAccents(at == AnsiString::npos ? path : path.substr(at + 1));
    for (const ArchiveEntry& entry : table.Entries) {
        if (UpperNoAccents(entry.Name) == own)
            throw EArchiveNameError(entry.Name, Ansi("est celui du fichier intermédiaire"));
    }
}

void ShowProgressWindow(ExtractionUi& ui, const AnsiString& path) {
    ui.CreateProgress();
    ui.SetCaption(Ansi("Déconcaténation de ") + path);
    ui.SetLabel1(Ansi("Extraction des fichiers de l'archive ") + path);
    ui.SetLabel6("");
    ui.SetLabel2(Ansi("Réalisé"));
    ui.SetPosition(0);
    ui.ShowProgress();
}

void ReportInterruption(ExtractionUi& ui) {
    ui.ShowHtmlMessage(
        Ansi("Interruption Interdite"),
        Ansi("<BLOCKQUOTE><FONT COLOR=#FF0000><B>L'Interruption est Interdite</FONT></BLOCKQUOTE>"
             "<P><FONT COLOR=#FF SIZE=12>Le traitement va être maintenu</FONT>"),
        "Ok", TColor(0));
}

// The entries, whose contents follow one another in contents, into the folder of the intermediate file at
// path, with the progress window. Each is written under its temporary name; all are put in place together
// after the last one (StagedEntries).
void SplitEntries(const AnsiString& path, const ArchiveTable& table, std::span<const std::uint8_t> contents,
                  FileSystem& files, ExtractionUi& ui) {
    RefuseEntryOverIntermediate(table, path);
    StagedEntries staged(files, FolderOf(path), table.Entries);
    staged.Prepare();
    ShowProgressWindow(ui, path);
    const std::int32_t count = table.Count;
    std::size_t offset = 0;
    for (std::int32_t i = 1; i <= count; ++i) {
        const auto index = static_cast<std::size_t>(i - 1);
        ui.SetLabel6(Ansi("Extraction de ") + table.Entries[index].Name);
        if (ui.Label2() == "interrompu")
            ReportInterruption(ui);
        ui.SetLabel2(Ansi("Réalisé"));
        ui.SetPosition(ProgressPosition(i, count));
        const auto size = static_cast<std::size_t>(table.Entries.SizeAt(index));
        staged.Write(index, contents.subspan(offset, size));
        offset += size;
    }
    staged.PutInPlace();
    ui.SetLabel2(Ansi("Réalisé"));
    ui.HideProgress();
    ui.DestroyProgress();
}

} // namespace

ExtractionContext DefaultExtractionContext() {
    return ExtractionContext{Os().Files(), CurrentExtractionUi(), [] { return Os().TickCount(); }};
}

void Delay(std::uint32_t milliseconds) {
    Delay(milliseconds, [] { return Os().TickCount(); });
}

void Delay(std::uint32_t milliseconds, const std::function<std::uint64_t()>& tickCount) {
    const std::uint64_t start = tickCount();
    while (tickCount() - start < milliseconds) {
    }
}

AnsiString FolderOf(const AnsiString& path) {
    const std::size_t at = LastDelimiter(path);
    if (at == AnsiString::npos)
        return {};
    // "C:\x" keeps its root "C:\", "\x" its "\"; "C:x" gives "C:".
    if (path[at] == '\\' && at > 0 && path[at - 1] != '\\' && path[at - 1] != ':')
        return path.substr(0, at);
    return path.substr(0, at + 1);
}

AnsiString IntermediatePath(const AnsiString& archivePath) {
    const std::size_t nameStart =
        LastDelimiter(archivePath) == AnsiString::npos ? 0 : LastDelimiter(archivePath) + 1;
    std::size_t dot = archivePath.find_last_of('.');
    if (dot == AnsiString::npos || dot < nameStart)
        dot = archivePath.size();
    const AnsiString extension = archivePath.substr(dot, 4);
    const char* suffix = UpperNoAccents(extension) == ".CTN" ? ".TMP" : ".CTN";
    return CutTo(archivePath.substr(0, dot) + suffix, Capacity::Path);
}

bool DecompressFile(const AnsiString& source, const AnsiString& destination) {
    return DecompressFile(source, destination, Os().Files());
}

bool DecompressFile(const AnsiString& source, const AnsiString& destination, FileSystem& files) {
    const MemoryStream inflated = Inflate(files, source);
    SaveIntermediate(files, CutTo(destination, Capacity::Path), inflated.Bytes());
    return true;
}

void SplitArchive(const AnsiString& path) {
    SplitArchive(path, Os().Files(), CurrentExtractionUi());
}

void SplitArchive(const AnsiString& rawPath, FileSystem& files, ExtractionUi& ui) {
    const AnsiString path = CutTo(rawPath, Capacity::Path);
    auto file = OpenIntermediate(files, path);
    FileSource source(*file);
    const ArchiveTable table = ReadArchiveTable(source, file->Size());
    // The contents in one block, read once the table has shown that the file holds them all.
    const auto size = static_cast<std::size_t>(table.ContentSize);
    const std::unique_ptr<std::uint8_t[]> contents(new std::uint8_t[size]);
    for (std::size_t done = 0; done < size;) {
        const auto want = static_cast<std::uint32_t>(std::min(size - done, FileChunk));
        if (source.Read(contents.get() + done, want) != want)
            throw EInOutError(IoCode::ReadBeyondEnd);
        done += want;
    }
    SplitEntries(path, table, {contents.get(), size}, files, ui);
}

void ExtractArchive(const AnsiString& path) {
    ExtractArchive(path, DefaultExtractionContext());
}

void ExtractArchive(const AnsiString& rawPath, const ExtractionContext& context) {
    AnsiString path = CutTo(rawPath, Capacity::Path);
    if (!context.Files.FileExists(path))
        Delay(1000, context.TickCount);
    if (FolderOf(path).empty())
        path = CutTo(context.Files.GetCurrentDirectory() + "\\" + path, Capacity::Path);
    ExtractArchiveVia(path, IntermediatePath(path), context.Files, context.Ui);
}

// The inflated bytes stay in memory from the inflate to the end of the split: the intermediate file is
// written from them and the entries too, so nothing is read back from the disk.
void ExtractArchiveVia(const AnsiString& path, const AnsiString& intermediate, FileSystem& files,
                       ExtractionUi& ui) {
    {
        const MemoryStream inflated = Inflate(files, path);
        SaveIntermediate(files, intermediate, inflated.Bytes());
        // Held as the split of the file would hold it, so that nobody changes it underneath.
        const auto held = OpenIntermediate(files, intermediate);
        const ArchiveTable table = ReadArchiveTable(inflated.Bytes());
        SplitEntries(intermediate, table,
                     inflated.Bytes().subspan(static_cast<std::size_t>(table.ContentOffset)), files, ui);
    }
    files.DeleteFile(intermediate);
}

} // namespace vendora
