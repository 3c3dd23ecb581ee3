#pragma once
// How the split puts its entries in place: together, as far as a disk allows. Each entry is written whole
// under its temporary name beside its final one (TemporarySibling), its write-back started at once so that
// the disk works while the next entry is written; after the last one, the disk is made to hold them all;
// only then are they renamed into place, in table order, without a flush each, and their folder is flushed
// once. A crash or a power cut before the renames leaves every old file, after them every new one; only
// during the renames (milliseconds) can old and new entries mix, and running the extraction again mends
// that.
//
// A failure before the renames removes every temporary file and leaves every old file as it was; a rename
// that fails leaves the entries before it new and removes the temporary files of the rest. What a killed
// run left under the temporary names is removed before anything is written.
//
// Two entries of one name (or whose temporary names meet) cannot wait side by side: when the second finds
// its temporary name taken, the entries written so far are put in place first, so that the later entry
// wins, as writing them one after the other would have it.

#include "archive/ArchiveFormat.h"
#include "platform/Platform.h"

#include <cstdint>
#include <span>

namespace vendora {

class StagedEntries {
public:
    // The entries of rows, into folder; the rows must outlive this object.
    StagedEntries(FileSystem& files, const AnsiString& folder, const ArchiveRows& rows);
    // Removes the temporary files not yet put in place.
    ~StagedEntries();
    StagedEntries(const StagedEntries&) = delete;
    StagedEntries& operator=(const StagedEntries&) = delete;

    // Before the first entry is written: a folder at an entry's name refuses the archive ("Accès au fichier
    // refusé"), and what a killed run left under each temporary name is removed. Failures raise EInOutError.
    void Prepare();
    // The entry at index, the next in table order, under its temporary name. Failures raise EInOutError, a
    // write that stops short the full disk's.
    void Write(std::size_t index, std::span<const std::uint8_t> content);
    // Every entry written so far in place: flushed, renamed in order, their folder flushed. Failures raise
    // EInOutError.
    void PutInPlace();

private:
    AnsiString Target(std::size_t index) const;
    AnsiString Temporary(std::size_t index) const;
    // Creates the temporary file and writes it; false when its name is taken.
    bool TryWrite(std::size_t index, std::span<const std::uint8_t> content);
    void Flush();
    void Rename();

    FileSystem& files_;
    AnsiString folder_;
    const ArchiveRows& rows_;
    std::size_t first_ = 0;   // the first entry written and not yet in place
    std::size_t written_ = 0; // one past the last entry that has a temporary file
};

} // namespace vendora
