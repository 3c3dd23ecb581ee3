#pragma once
// The inflated archive: an entry count, a name field width, the table of names and sizes, then the entries'
// contents concatenated in table order.

#include "base/Errors.h"
#include "base/Text.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>

namespace vendora {

struct ArchiveEntry {
    // The name field read into a short string of capacity 255: the length byte may announce more characters
    // than the field holds, and those read as zero bytes.
    AnsiString Name;
    std::int32_t Size = 0;
};

// The table's rows as they lie in the archive, each entry made when it is asked for. A table can announce
// hundreds of millions of rows; a copy of each as a string would hold many times the archive itself.
class ArchiveRows {
public:
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = ArchiveEntry;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = ArchiveEntry;

        Iterator(const ArchiveRows* rows, std::size_t index) : rows_(rows), index_(index) {}
        ArchiveEntry operator*() const { return (*rows_)[index_]; }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++index_;
            return before;
        }
        friend bool operator==(const Iterator& a, const Iterator& b) { return a.index_ == b.index_; }

    private:
        const ArchiveRows* rows_;
        std::size_t index_;
    };

    ArchiveRows() = default;
    // The rows in bytes that the caller keeps alive.
    ArchiveRows(std::span<const std::uint8_t> bytes, std::uint8_t width);

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    ArchiveEntry operator[](std::size_t index) const;
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, count_}; }

    // The same without building the entry.
    std::int32_t SizeAt(std::size_t index) const;
    // The name field: its length byte, then the bytes the field holds (at most width - 1).
    std::uint8_t NameLengthAt(std::size_t index) const { return Row(index)[0]; }
    std::span<const std::uint8_t> NameFieldAt(std::size_t index) const;

private:
    const std::uint8_t* Row(std::size_t index) const { return bytes_.data() + index * (width_ + 4u); }

    std::span<const std::uint8_t> bytes_;
    std::uint8_t width_ = 0;
    std::size_t count_ = 0;
};

struct ArchiveTable {
    std::int32_t Count = 0;
    std::uint8_t NameWidth = 0;
    ArchiveRows Entries;
    // Where the first entry's content starts: 5 + Count * (NameWidth + 4).
    std::int64_t ContentOffset = 0;
    // The sum of the sizes.
    std::int64_t ContentSize = 0;
};

// An entry name that Windows cannot hold as a file in the output folder (one that would leave it, a
// forbidden character, a device, a trailing dot or blank: FileNameFault), or that is a name of the
// installer's temporary files. Raised before any entry is written.
class EArchiveNameError : public Exception {
public:
    // reason completes "le nom d'entrée "name" ...".
    EArchiveNameError(const AnsiString& name, const AnsiString& reason);
};

// Why a name cannot be an entry's, in the words of EArchiveNameError; empty when it can. The empty name
// passes: creating its file fails later, as it must.
AnsiString EntryNameReason(std::string_view name);

// A table that no writer makes: rows announced with a name field of width 0, which cannot even hold the
// name's length byte. Raised before any entry is written.
class EArchiveTableError : public Exception {
public:
    explicit EArchiveTableError(const AnsiString& reason);
};

// Reads the count, the width and the table of the inflated archive in memory. A negative count raises
// ERangeError; rows with a name width of 0 raise EArchiveTableError; a table or contents that the bytes are
// too short for raise the end-of-file I/O error (100) before anything of that size is touched; a negative
// size raises ERangeError; a name with an EntryNameReason raises EArchiveNameError. The rows stay where they
// are, so the bytes must outlive the table.
ArchiveTable ReadArchiveTable(std::span<const std::uint8_t> inflated);

// The progress bar's position after entry i of n (1-based): i * 100 / n, halves to the even neighbour.
int ProgressPosition(std::int64_t i, std::int64_t n);

} // namespace vendora
