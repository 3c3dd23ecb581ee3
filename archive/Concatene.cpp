#include "archive/Concatene.h"

#include "archive/ArchiveFormat.h"
#include "archive/MemoryStream.h"
#include "archive/ZCompress.h"
#include "base/Cp1252.h"
#include "base/Errors.h"

#include <memory>
#include <vector>

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

void WriteEntry(FileSystem& files, FileSource& source, const AnsiString& target, std::int32_t size) {
    int error = 0;
    auto file = files.CreateFile(target, FileAccess::GenericRead | FileAccess::GenericWrite, FileShare::None,
                                 Disposition::CreateAlways, error);
    if (!file)
        throw EInOutError(error);
    std::vector<unsigned char> buffer(static_cast<std::size_t>(size));
    const auto count = static_cast<std::uint32_t>(size);
    if (source.Read(buffer.data(), count) != count)
        throw EInOutError(IoCode::ReadBeyondEnd);
    std::uint32_t done = 0;
    const bool written = file->Write(buffer.data(), count, done);
    if (!written && file->LastError() != 112)
        throw EInOutError(file->LastError());
    if (done != count)
        throw EInOutError(IoCode::DiskFull);
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
    MemoryStream input;
    MemoryStream output;
    TZCompress compressor;
    input.LoadFromFile(files, CutTo(source, Capacity::Path));
    input.Seek(0);
    compressor.DecompressStream(input, output);
    output.SaveToFile(files, CutTo(destination, Capacity::Path));
    return true;
}

void SplitArchive(const AnsiString& path) {
    SplitArchive(path, Os().Files(), CurrentExtractionUi());
}

void SplitArchive(const AnsiString& rawPath, FileSystem& files, ExtractionUi& ui) {
    const AnsiString path = CutTo(rawPath, Capacity::Path);
    const AnsiString folder = FolderOf(path);
    auto file = OpenIntermediate(files, path);
    FileSource source(*file);
    const ArchiveTable table = ReadArchiveTable(source, file->Size());
    RefuseEntryOverIntermediate(table, path);

    ShowProgressWindow(ui, path);
    const std::int32_t count = table.Count;
    for (std::int32_t i = 1; i <= count; ++i) {
        const ArchiveEntry& entry = table.Entries[static_cast<std::size_t>(i - 1)];
        ui.SetLabel6(Ansi("Extraction de ") + entry.Name);
        if (ui.Label2() == "interrompu")
            ReportInterruption(ui);
        ui.SetLabel2(Ansi("Réalisé"));
        ui.SetPosition(ProgressPosition(i, count));
        WriteEntry(files, source, folder + "\\" + entry.Name, entry.Size);
    }
    ui.SetLabel2(Ansi("Réalisé"));
    ui.HideProgress();
    ui.DestroyProgress();
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
    const AnsiString intermediate = IntermediatePath(path);
    DecompressFile(path, intermediate, context.Files);
    SplitArchive(intermediate, context.Files, context.Ui);
    context.Files.DeleteFile(intermediate);
}

} // namespace vendora
