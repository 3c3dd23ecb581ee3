// Extraction on the Windows disk itself: every entry reaches its name only once all of them are written
// and flushed, what a killed run left under the temporary names goes first, and a failure before the
// renames leaves every old file as it was and no temporary file.

#include "archive/ArchiveWriter.h"
#include "archive/Concatene.h"
#include "base/Errors.h"
#include "platform/win32/Win32Files.h"
#include "tests/platform/win32/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

using namespace vendora;
using vendora::test::TempFolder;

namespace {

// The Windows disk where one file is held without sharing, as another program may hold it, while it is
// flushed: Windows refuses the flush's open (32, sharing violation). The flushes are counted.
class HoldingFiles : public Win32FileSystem {
public:
    AnsiString HeldAtFlush;
    int Flushes = 0;
    int FolderFlushes = 0;

    FileStatus FlushFile(const AnsiString& path) override {
        ++Flushes;
        const auto held = path == HeldAtFlush ? CreateFile(path, FileAccess::GenericRead, FileShare::None,
                                                           Disposition::OpenExisting)
                                                    .ValueOr(nullptr)
                                              : nullptr;
        return Win32FileSystem::FlushFile(path);
    }
    FileStatus FlushFolder(const AnsiString& path) override {
        ++FolderFlushes;
        return Win32FileSystem::FlushFolder(path);
    }
};

class Win32Extract : public ::testing::Test {
protected:
    void Write(const AnsiString& path, std::span<const std::uint8_t> bytes) {
        OpenedFile file =
            files_.CreateFile(path, FileAccess::GenericWrite, FileShare::None, Disposition::CreateAlways);
        ASSERT_TRUE(file) << "error " << file.Error();
        std::uint32_t done = 0;
        ASSERT_TRUE((*file)->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()), done));
    }
    std::vector<std::uint8_t> Read(const AnsiString& path) {
        auto file =
            files_.CreateFile(path, FileAccess::GenericRead, FileShare::Read, Disposition::OpenExisting)
                .ValueOr(nullptr);
        if (!file)
            return {};
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file->Size()));
        std::uint32_t done = 0;
        file->Read(bytes.data(), static_cast<std::uint32_t>(bytes.size()), done);
        return bytes;
    }
    void Extract() {
        SilentExtractionUi ui;
        ExtractArchive(folder_ / "Vendora.FCC",
                       ExtractionContext{files_, ui, [] { return std::uint64_t{0}; }});
    }

    TempFolder folder_;
    HoldingFiles files_;
};

TEST_F(Win32Extract, EntriesReplaceTheOldFilesTogetherOrNotAtAll) {
    const std::vector<PackedEntry> entries = {{"Vendora.EXE", std::vector<std::uint8_t>(300000, 'e')},
                                              {"Starmath.ttf", {'f', 'o', 'n', 't'}},
                                              {"Lisez-moi.txt", {'l', 'u'}}};
    Write(folder_ / "Vendora.FCC", CompressEnvelope(BuildInflatedArchive(entries)));
    const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
    for (const PackedEntry& entry : entries)
        Write(folder_ / entry.Name, old);
    // What a run killed before its renames left behind.
    Write(TemporarySibling(folder_ / entries[1].Name), old);

    files_.HeldAtFlush = TemporarySibling(folder_ / entries[2].Name);
    try {
        Extract();
        ADD_FAILURE() << "a refused flush went unnoticed";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), 32);
    }
    for (const PackedEntry& entry : entries)
        EXPECT_EQ(Read(folder_ / entry.Name), old) << entry.Name;
    EXPECT_FALSE(files_.FindFirst(folder_ / "~*.TMP")) << "no temporary file is left";

    files_.HeldAtFlush.clear();
    files_.Flushes = 0;
    Extract();
    for (const PackedEntry& entry : entries)
        EXPECT_EQ(Read(folder_ / entry.Name), entry.Content) << entry.Name;
    EXPECT_FALSE(files_.FindFirst(folder_ / "~*.TMP"));
    EXPECT_FALSE(files_.FileExists(folder_ / "Vendora.CTN"));
    EXPECT_EQ(files_.Flushes, 3) << "each entry flushed once";
    EXPECT_EQ(files_.FolderFlushes, 1) << "its folder once, after the renames";
}

} // namespace
