#pragma once
// Extraction of the payload archive: inflate the archive file into an intermediate file, split that into
// one file per entry next to it, delete the intermediate file.

#include "archive/ExtractionUi.h"
#include "base/Text.h"
#include "platform/Platform.h"

#include <cstdint>
#include <functional>

namespace vendora {

// Where extraction reaches the outside world. The defaults are the installed platform's files and clock and
// the current extraction interface.
struct ExtractionContext {
    FileSystem& Files;
    ExtractionUi& Ui;
    // Milliseconds from an arbitrary start, for Delay.
    std::function<std::uint64_t()> TickCount;
};
ExtractionContext DefaultExtractionContext();

// Every entry of the archive file into the archive's folder; the intermediate file (".CTN", or ".TMP" for a
// ".CTN" archive) is deleted afterwards. A missing archive file gets one second to appear. Failures raise.
void ExtractArchive(const AnsiString& path);
void ExtractArchive(const AnsiString& path, const ExtractionContext& context);

// The same with the intermediate file given: the entries go to its folder. Failures raise and leave the
// intermediate file where it is.
void ExtractArchiveVia(const AnsiString& path, const AnsiString& intermediate, FileSystem& files,
                       ExtractionUi& ui);

// The whole archive file inflated into destination (created or truncated). True; failures raise.
bool DecompressFile(const AnsiString& source, const AnsiString& destination);
bool DecompressFile(const AnsiString& source, const AnsiString& destination, FileSystem& files);

// The inflated archive at path split into its folder, with the progress window. The table is checked whole
// before the window appears and before any file is written.
void SplitArchive(const AnsiString& path);
void SplitArchive(const AnsiString& path, FileSystem& files, ExtractionUi& ui);

// Returns once the given time has passed, busy, handling no window message.
void Delay(std::uint32_t milliseconds);
void Delay(std::uint32_t milliseconds, const std::function<std::uint64_t()>& tickCount);

// The intermediate file's path for an archive path, and the folder a path names its file in (without the
// closing '\', except for a root).
AnsiString IntermediatePath(const AnsiString& archivePath);
AnsiString FolderOf(const AnsiString& path);

} // namespace vendora
