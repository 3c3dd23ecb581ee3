#pragma once
// Extraction of the payload archive: inflate the archive file in memory and write its entries, one file
// each, next to it. The inflated archive keeps the name the progress window gives it (".CTN"), but it
// never becomes a file: the entries are written straight from the inflated bytes.

#include "archive/ExtractionUi.h"
#include "base/Text.h"
#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <span>

namespace vendora {

// Where extraction reaches the outside world, handed to it by whoever extracts: the files it reads and
// writes, the progress window it reports to, and the clock of its wait for a missing archive file.
struct ExtractionContext {
    FileSystem& Files;
    ExtractionUi& Ui;
    // Milliseconds from an arbitrary start, for Delay.
    std::function<std::uint64_t()> TickCount;
};

// Every entry of the archive file into the archive's folder. A missing archive file gets one second to
// appear. Failures raise.
void ExtractArchive(const AnsiString& path, const ExtractionContext& context);

// The same into the folder of inflatedName, the name the progress window shows for the inflated archive
// (IntermediatePath of the archive as it would lie there). Failures raise.
void ExtractArchiveInto(const AnsiString& path, const AnsiString& inflatedName, FileSystem& files,
                        ExtractionUi& ui);

// An archive already inflated (table and contents) split into the folder of inflatedName, with the
// progress window. The table is checked whole before the window appears and before any file is written.
void SplitInflated(std::span<const std::uint8_t> inflated, const AnsiString& inflatedName, FileSystem& files,
                   ExtractionUi& ui);

// Returns once the given time has passed, busy, handling no window message.
void Delay(std::uint32_t milliseconds, const std::function<std::uint64_t()>& tickCount);

// The inflated archive's name for an archive path (".CTN", or ".TMP" for a ".CTN" archive), and the folder
// a path names its file in (without the closing '\', except for a root).
AnsiString IntermediatePath(const AnsiString& archivePath);
AnsiString FolderOf(const AnsiString& path);

} // namespace vendora
