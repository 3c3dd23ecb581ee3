#include "archive/Concatene.h"

#include "archive/ArchiveFormat.h"
#include "archive/MemoryStream.h"
#include "archive/StagedEntries.h"
#include "archive/ZCompress.h"
#include "base/Cp1252.h"
#include "base/Errors.h"

#include <span>

namespace vendora {

namespace {

std::size_t LastDelimiter(const AnsiString& path) {
    return path.find_last_of("\\:");
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

// Earlier versions wrote the inflated archive to a file of this name and deleted it at the end; one that a
// killed run left is of no use to anybody. Removing it may fail (a folder of that name): it is only litter.
void RemoveOldInflatedFile(FileSystem& files, const AnsiString& inflatedName) {
    for (const AnsiString& name : {inflatedName, TemporarySibling(inflatedName)})
        if (files.FileExists(name))
            files.DeleteFile(name);
}

void ReportInterruption(ExtractionUi& ui) {
    ui.ShowHtmlMessage(
        Ansi("Interruption Interdite"),
        Ansi("<BLOCKQUOTE><FONT COLOR=#FF0000><B>L'Interruption est Interdite</FONT></BLOCKQUOTE>"
             "<P><FONT COLOR=#FF SIZE=12>Le traitement va être maintenu</FONT>"),
        "Ok", TColor(0));
}

} // namespace

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

void SplitInflated(std::span<const std::uint8_t> inflated, const AnsiString& rawName, FileSystem& files,
                   ExtractionUi& ui) {
    const AnsiString inflatedName = CutTo(rawName, Capacity::Path);
    const ArchiveTable table = ReadArchiveTable(inflated);
    const std::span<const std::uint8_t> contents =
        inflated.subspan(static_cast<std::size_t>(table.ContentOffset));
    // Each entry is written under its temporary name; all are put in place together after the last one.
    StagedEntries staged(files, FolderOf(inflatedName), table.Entries);
    staged.Prepare();
    RemoveOldInflatedFile(files, inflatedName);
    ui.Begin(inflatedName);
    const std::int32_t count = table.Count;
    std::size_t offset = 0;
    for (std::int32_t i = 1; i <= count; ++i) {
        const auto index = static_cast<std::size_t>(i - 1);
        ui.Entry(table.Entries[index].Name);
        if (ui.InterruptionAsked())
            ReportInterruption(ui);
        ui.SetPosition(ProgressPosition(i, count));
        const auto size = static_cast<std::size_t>(table.Entries.SizeAt(index));
        staged.Write(index, contents.subspan(offset, size));
        offset += size;
    }
    staged.PutInPlace();
    ui.End();
}

void ExtractArchive(const AnsiString& rawPath, const ExtractionContext& context) {
    AnsiString path = CutTo(rawPath, Capacity::Path);
    if (!context.Files.FileExists(path))
        Delay(1000, context.TickCount);
    if (FolderOf(path).empty())
        path = CutTo(context.Files.GetCurrentDirectory() + "\\" + path, Capacity::Path);
    ExtractArchiveInto(path, IntermediatePath(path), context.Files, context.Ui);
}

// The inflated bytes stay in memory from the inflate to the end of the split: the entries are written from
// them, and nothing is written twice or read back from the disk.
void ExtractArchiveInto(const AnsiString& path, const AnsiString& inflatedName, FileSystem& files,
                        ExtractionUi& ui) {
    const MemoryStream inflated = Inflate(files, path);
    SplitInflated(inflated.Bytes(), inflatedName, files, ui);
}

} // namespace vendora
