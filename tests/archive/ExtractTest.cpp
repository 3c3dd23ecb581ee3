// Extraction on the host's disk: the files written (and no intermediate file), the progress window's calls
// in order, and every failure of a damaged archive or of the disk.
#include "AllocationCounter.h"
#include "ArchiveFixtures.h"

#include "archive/ArchiveFormat.h"
#include "archive/Concatene.h"
#include "base/Cp1252.h"
#include "tests/support/RecordingExtractionUi.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace vendora {
namespace {

using testing::Bytes;
using testing::ReadHostFile;
using testing::TempFolder;
using testing::WriteHostFile;
using Call = test::RecordingExtractionUi::Call;

// The host's disk with the faults of a failing medium on demand, and a log of what is created, replaced,
// flushed and deleted (names without their folder), to see how each file reaches its name.
class FaultyFiles : public HostFileSystem {
public:
    // A flush or a move, as the log writes it, that fails with 5 (access denied).
    std::string Refuse;
    // Writes to a file of this name stop halfway: with the full disk's code 112, or, for a crash, by an
    // exception that no code of the system catches, the process dying in the middle of the write.
    std::string FullDiskAt;
    std::string CrashAt;
    struct Crash {};
    // Every read returns half of what is asked.
    bool ShortReads = false;
    std::vector<std::string> Log;

    OpenedFile CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                          Disposition disposition) override {
        OpenedFile inner = HostFileSystem::CreateFile(path, access, share, disposition);
        if (disposition != Disposition::OpenExisting)
            Log.push_back("create " + NameOf(path));
        if (!inner)
            return inner;
        return std::unique_ptr<FileHandle>(std::make_unique<Handle>(*this, NameOf(path), std::move(*inner)));
    }
    FileStatus MoveFileReplace(const AnsiString& from, const AnsiString& to) override {
        return Logged("move " + NameOf(from) + " " + NameOf(to),
                      [&] { return HostFileSystem::MoveFileReplace(from, to); });
    }
    FileStatus MoveFileReplaceUnflushed(const AnsiString& from, const AnsiString& to) override {
        return Logged("move unflushed " + NameOf(from) + " " + NameOf(to),
                      [&] { return HostFileSystem::MoveFileReplaceUnflushed(from, to); });
    }
    FileStatus FlushFile(const AnsiString& path) override {
        return Logged("flush " + NameOf(path), [&] { return HostFileSystem::FlushFile(path); });
    }
    FileStatus FlushFolder(const AnsiString& path) override {
        return Logged("flush folder " + NameOf(path), [&] { return HostFileSystem::FlushFolder(path); });
    }
    FileStatus DeleteFile(const AnsiString& path) override {
        Log.push_back("delete " + NameOf(path));
        return HostFileSystem::DeleteFile(path);
    }

private:
    static std::string NameOf(const AnsiString& path) { return path.substr(path.find_last_of('\\') + 1); }
    // The call logged, then refused with 5 when it is the one to refuse, else made.
    template <class Call> FileStatus Logged(const std::string& call, Call&& made) {
        Log.push_back(call);
        if (call == Refuse)
            return FileError{5};
        return made();
    }

    class Handle : public FileHandle {
    public:
        Handle(FaultyFiles& files, std::string name, std::unique_ptr<FileHandle> inner)
            : files_(files), name_(std::move(name)), inner_(std::move(inner)) {}
        FileStatus Read(void* buffer, std::uint32_t size, std::uint32_t& done) override {
            return inner_->Read(buffer, files_.ShortReads ? size / 2 : size, done);
        }
        FileStatus Write(const void* buffer, std::uint32_t size, std::uint32_t& done) override {
            const bool full = name_ == files_.FullDiskAt, crash = name_ == files_.CrashAt;
            if (!full && !crash)
                return inner_->Write(buffer, size, done);
            (void)inner_->Write(buffer, size / 2, done);
            if (crash)
                throw Crash{};
            return FileError{112};
        }
        FileStatus Seek(std::int64_t p) override { return inner_->Seek(p); }
        std::int64_t Size() override { return inner_->Size(); }
        FileStatus SetTimes(const FileTime* c, const FileTime* a, const FileTime* w) override {
            return inner_->SetTimes(c, a, w);
        }
        FileStatus GetTimes(FileTime* c, FileTime* a, FileTime* w) override {
            return inner_->GetTimes(c, a, w);
        }

    private:
        FaultyFiles& files_;
        std::string name_;
        std::unique_ptr<FileHandle> inner_;
    };
};

class Extract : public ::testing::Test {
protected:
    // A clock that moves 10 ms each time it is read, so that Delay ends at once.
    ExtractionContext Context() {
        return ExtractionContext{files, ui, [this] { return ticks += 10; }};
    }
    void WriteArchive(const std::string& name, const Bytes& layer1) { WriteHostFile(dir.Host(name), layer1); }
    // Extracts and returns the error text, or "" when it succeeded.
    template <class Error> AnsiString ExtractFails(const std::string& name = "Vendora.FCC") {
        try {
            ExtractArchive(dir.Win(name), Context());
        } catch (const Error& error) {
            return error.Message();
        }
        ADD_FAILURE() << "no error of the expected kind";
        return {};
    }
    // The names the folder holds, the archive excepted.
    std::vector<std::string> Written(const std::string& archive = "Vendora.FCC") {
        std::vector<std::string> names;
        for (const auto& item : std::filesystem::directory_iterator(dir.Path()))
            if (item.path().filename() != archive)
                names.push_back(item.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<int> Positions() const {
        std::vector<int> out;
        for (const auto& event : ui.Events())
            if (event.What == Call::Position)
                out.push_back(event.Number);
        return out;
    }

    TempFolder dir;
    FaultyFiles files;
    test::RecordingExtractionUi ui;
    std::uint64_t ticks = 0;
};

TEST_F(Extract, WritesEveryEntryStraightFromTheInflatedBytes) {
    const auto entries = testing::FourteenEntries();
    const Bytes archive = testing::Layer1(entries);
    WriteArchive("Vendora.FCC", archive);
    WriteHostFile(dir.Host("Client.QXF"), Bytes(500000, 'x')); // an older, longer file of the same name

    ExtractArchive(dir.Win("Vendora.FCC"), Context());

    for (const PackedEntry& entry : entries)
        EXPECT_EQ(ReadHostFile(dir.Host(entry.Name)), entry.Content) << entry.Name;
    EXPECT_EQ(Written().size(), entries.size());
    EXPECT_EQ(ReadHostFile(dir.Host("Vendora.FCC")), archive) << "the archive stays";
    std::set<std::string> created, staged;
    for (const std::string& call : files.Log)
        if (call.starts_with("create "))
            created.insert(call.substr(7));
    for (const PackedEntry& entry : entries)
        staged.insert(TemporarySibling(entry.Name));
    EXPECT_EQ(created, staged) << "no file is created but the entries under their temporary names";
    EXPECT_EQ(ticks, 0u) << "no wait for an archive that is there";
}

TEST_F(Extract, TheProgressWindowSeesEveryStepInOrder) {
    const auto entries = testing::FourteenEntries();
    WriteArchive("Vendora.FCC", testing::Layer1(entries));
    ExtractArchive(dir.Win("Vendora.FCC"), Context());

    const AnsiString ctn = dir.Win("Vendora.CTN");
    std::vector<test::RecordingExtractionUi::Event> expected = {{Call::Begin, ctn, 0},
                                                                {Call::Position, "", 0}};
    const int positions[] = {7, 14, 21, 29, 36, 43, 50, 57, 64, 71, 79, 86, 93, 100};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        expected.push_back({Call::Entry, entries[i].Name, 0});
        expected.push_back({Call::Position, "", positions[i]});
    }
    expected.push_back({Call::End, "", 0});
    EXPECT_EQ(ui.Events(), expected);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(Extract, InterruptionIsReportedOnceBeforeTheNextEntryAndChangesNothing) {
    const auto entries = testing::FourteenEntries();
    WriteArchive("Vendora.FCC", testing::Layer1(entries));
    const int k = 5; // "Interrompre" pressed while entry 5 is written
    ui.OnSetPosition = [](test::RecordingExtractionUi& self, int call) {
        if (call == k || call == 14) // the last entry's click is never reported
            self.PressInterrupt();
    };
    ExtractArchive(dir.Win("Vendora.FCC"), Context());

    ASSERT_EQ(ui.Messages().size(), 1u);
    const auto& message = ui.Messages()[0];
    EXPECT_EQ(message.Title, "Interruption Interdite");
    EXPECT_EQ(message.Text,
              Ansi("<BLOCKQUOTE><FONT COLOR=#FF0000><B>L'Interruption est Interdite</FONT>"
                   "</BLOCKQUOTE><P><FONT COLOR=#FF SIZE=12>Le traitement va être maintenu</FONT>"));
    EXPECT_EQ(message.Buttons, "Ok");
    EXPECT_EQ(message.Colour, TColor(0));
    // The report comes after entry k + 1 is named and before the bar moves.
    const auto& events = ui.Events();
    const auto at =
        std::find_if(events.begin(), events.end(), [](const auto& e) { return e.What == Call::Message; });
    ASSERT_NE(at, events.end());
    EXPECT_EQ(*(at - 1), (test::RecordingExtractionUi::Event{Call::Entry, entries[k].Name, 0}));
    EXPECT_EQ((at + 1)->What, Call::Position);
    for (const PackedEntry& entry : entries)
        EXPECT_EQ(ReadHostFile(dir.Host(entry.Name)), entry.Content) << entry.Name;
}

TEST_F(Extract, IntermediateNamesFollowTheArchivesExtension) {
    EXPECT_EQ(IntermediatePath("C:\\Vendora\\Vendora.FCC"), "C:\\Vendora\\Vendora.CTN");
    EXPECT_EQ(IntermediatePath("C:\\Vendora\\paquet.ctn"), "C:\\Vendora\\paquet.TMP");
    EXPECT_EQ(IntermediatePath("C:\\Vendora\\paquet.Ctnx"), "C:\\Vendora\\paquet.TMP")
        << "first four characters";
    EXPECT_EQ(IntermediatePath("C:\\Ven.dora\\paquet"), "C:\\Ven.dora\\paquet.CTN");
    EXPECT_EQ(FolderOf("C:\\Vendora\\Vendora.CTN"), "C:\\Vendora");
    EXPECT_EQ(FolderOf("C:\\Vendora.CTN"), "C:\\");
    EXPECT_EQ(FolderOf("Vendora.CTN"), "");

    const auto entries = testing::FourteenEntries();
    WriteArchive("paquet.cTn", testing::Layer1(entries));
    ExtractArchive(dir.Win("paquet.cTn"), Context());
    EXPECT_EQ(ui.Events()[0].Text, dir.Win("paquet.TMP"));
    EXPECT_EQ(Written("paquet.cTn").size(), entries.size());
}

TEST_F(Extract, AnArchiveNamedWithoutFolderIsTakenFromTheCurrentFolder) {
    const auto entries = testing::FourteenEntries();
    WriteArchive("Vendora.FCC", testing::Layer1(entries));
    const AnsiString before = files.GetCurrentDirectory();
    ASSERT_TRUE(files.SetCurrentDirectory(dir.Win()));
    ExtractArchive("Vendora.FCC", Context());
    const AnsiString here = files.GetCurrentDirectory();
    files.SetCurrentDirectory(before);
    EXPECT_EQ(ui.Events()[0].Text, here + "\\Vendora.CTN");
    EXPECT_EQ(Written().size(), entries.size());
}

TEST_F(Extract, NoEntriesNoFiles) {
    WriteArchive("Vendora.FCC", testing::Layer1({}));
    ExtractArchive(dir.Win("Vendora.FCC"), Context());
    EXPECT_TRUE(Written().empty());
    EXPECT_EQ(Positions(), std::vector<int>{0});
}

TEST_F(Extract, BytesAfterTheLastEntryAreIgnored) {
    const std::vector<PackedEntry> entries = {{"a.txt", {1, 2, 3}}, {"b.txt", {4}}};
    Bytes inflated = BuildInflatedArchive(entries);
    inflated.insert(inflated.end(), {9, 9, 9, 9, 9, 9, 9});
    WriteArchive("Vendora.FCC", CompressEnvelope(inflated));
    ExtractArchive(dir.Win("Vendora.FCC"), Context());
    EXPECT_EQ(ReadHostFile(dir.Host("a.txt")), (Bytes{1, 2, 3}));
    EXPECT_EQ(ReadHostFile(dir.Host("b.txt")), (Bytes{4}));
    EXPECT_EQ(Written().size(), 2u);
}

TEST_F(Extract, AMissingArchiveGetsOneSecondThenCannotBeOpened) {
    const AnsiString text = ExtractFails<EFOpenError>();
    EXPECT_EQ(text, Ansi("Impossible d'ouvrir le fichier \"") + dir.Win("Vendora.FCC") +
                        Ansi("\". Le fichier spécifié est introuvable."));
    EXPECT_GE(ticks, 1000u);
    EXPECT_LE(ticks, 1030u);
}

TEST_F(Extract, DamagedEnvelopesRaiseTheCompressionError) {
    const Bytes good = testing::Layer1(testing::FourteenEntries());
    Bytes corrupt = good;
    corrupt[good.size() / 2] ^= 0x55;
    corrupt[good.size() / 2 + 1] ^= 0xAA;
    WriteArchive("Vendora.FCC", corrupt);
    EXPECT_EQ(ExtractFails<ECompressionError>(), "Error in compression routine: -3");

    WriteArchive("Vendora.FCC", Bytes(good.begin(), good.end() - 100));
    EXPECT_EQ(ExtractFails<ECompressionError>(), "Error in compression routine: -5");
    EXPECT_TRUE(Written().empty()) << "nothing written";
    EXPECT_TRUE(ui.Events().empty());
}

// Archives whose inflated table or contents are damaged.
class DamagedTable : public Extract {
protected:
    void Use(const Bytes& inflated) { WriteArchive("Vendora.FCC", CompressEnvelope(inflated)); }
    static Bytes TwoEntries() { return BuildInflatedArchive({{"un.txt", {1, 2, 3}}, {"deux.txt", {4, 5}}}); }
    // The count, or a size, overwritten.
    static Bytes With(Bytes bytes, std::size_t offset, std::uint32_t value) {
        WriteLe32(bytes.data() + offset, value);
        return bytes;
    }
    void ExpectNothingWritten() {
        EXPECT_TRUE(Written().empty()) << "nothing written";
        EXPECT_TRUE(ui.Events().empty()) << "no window for a damaged table";
    }
};

TEST_F(DamagedTable, ShortTablesAndContentsReadBeyondTheEnd) {
    const Bytes full = TwoEntries();
    const std::string beyondEnd = Ansi("Lecture au-delà de la fin de fichier");
    for (std::size_t cut :
         {std::size_t{0}, std::size_t{3}, std::size_t{5}, std::size_t{20}, full.size() - 1}) {
        Use(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut)));
        EXPECT_EQ(ExtractFails<EInOutError>(), beyondEnd) << "cut at " << cut;
        ExpectNothingWritten();
    }
    // Counts and sizes far beyond the file allocate nothing of their size.
    Use(With(full, 0, 0x7FFFFFFF));
    EXPECT_EQ(ExtractFails<EInOutError>(), beyondEnd);
    Use(With(full, 5 + 34, 0x7FFFFFFF));
    EXPECT_EQ(ExtractFails<EInOutError>(), beyondEnd);
    ExpectNothingWritten();
}

TEST_F(DamagedTable, NegativeCountsAndSizesAreRangeErrors) {
    const std::string range = Ansi("Erreur de vérification d'étendue");
    Use(With(TwoEntries(), 0, 0xFFFFFFFF));
    EXPECT_EQ(ExtractFails<ERangeError>(), range);
    Use(With(TwoEntries(), 5 + 38 + 34, 0xFFFFFFFE));
    EXPECT_EQ(ExtractFails<ERangeError>(), range);
    ExpectNothingWritten();
}

// Also the names Windows cannot create: each would otherwise fail only when the entries are put in place,
// after those before it.
TEST_F(DamagedTable, NamesWindowsCannotHoldOrThatLookTemporaryAreRefusedBeforeAnythingIsWritten) {
    const AnsiString unsafe[] = {
        "..\\evil.exe", "sub/evil.exe", "C:evil.exe", "a\tb", ".",       "..",     "C:\\Windows\\evil.dll",
        "~0123aBc.tmp", "a*b",          "a?b",        "CON",  "nul.txt", "point.", "blanc "};
    for (const AnsiString& name : unsafe) {
        Use(BuildInflatedArchive({{"ok.txt", {1}}, {name, {2}}}));
        const AnsiString text = ExtractFails<EArchiveNameError>();
        EXPECT_NE(text.find("Archive refus"), std::string::npos) << text;
        ExpectNothingWritten();
        EXPECT_FALSE(std::filesystem::exists(dir.Path().parent_path() / "evil.exe"));
    }
    // A length byte beyond the field reads zero bytes into the name.
    Bytes longName = TwoEntries();
    longName[5] = 40;
    Use(longName);
    EXPECT_THROW(ExtractArchive(dir.Win("Vendora.FCC"), Context()), EArchiveNameError);
}

TEST_F(DamagedTable, NameWidthZeroIsADamagedTable) {
    // A thousand rows of a size alone: no room for a name's length byte.
    Bytes inflated(5 + 1000 * 4, 0);
    WriteLe32(inflated.data(), 1000);
    Use(inflated);
    EXPECT_EQ(ExtractFails<EArchiveTableError>(),
              Ansi("Archive refusée : la table annonce des noms de largeur nulle"));
    ExpectNothingWritten();
    // Without rows the width names nothing, and the archive is merely empty.
    Use(Bytes{0, 0, 0, 0, 0});
    ExtractArchive(dir.Win("Vendora.FCC"), Context());
    EXPECT_TRUE(Written().empty());
}

TEST_F(DamagedTable, MillionsOfRowsCostNoMemoryOfTheirOwn) {
    // Two million one-byte name fields, the narrowest the format allows: ten megabytes inflated from a few
    // kilobytes. The table is checked whole, then the first (empty) name cannot be created.
    const std::int32_t rows = 2000000;
    Bytes inflated(5 + static_cast<std::size_t>(rows) * 5, 0);
    WriteLe32(inflated.data(), rows);
    inflated[4] = 1;
    Use(inflated);
    const std::size_t before = testing::AllocatedBytes();
    EXPECT_EQ(ExtractFails<EInOutError>(), Ansi("Accès au fichier refusé"));
    EXPECT_LT(testing::AllocatedBytes() - before, std::size_t{1} << 20) << "nothing allocated per row";
}

TEST_F(DamagedTable, TheEmptyNameCannotBeCreated) {
    Use(BuildInflatedArchive({{"avant.txt", {1}}, {"", {2}}}));
    EXPECT_EQ(ExtractFails<EInOutError>(), Ansi("Accès au fichier refusé"));
    ExpectNothingWritten();
}

TEST_F(Extract, DiskFailuresOfTheOutputFiles) {
    const Bytes archive = testing::Layer1({{"plein.bin", Bytes(1000, 7)}, {"dossier", {1}}});
    WriteArchive("Vendora.FCC", archive);
    const Bytes old = {1, 2, 3};
    WriteHostFile(dir.Host("plein.bin"), old);

    // An output file on a full disk, and one that is a folder: the old file stays whole.
    files.FullDiskAt = TemporarySibling("plein.bin");
    EXPECT_EQ(ExtractFails<EInOutError>(), "Disque plein");
    EXPECT_EQ(ReadHostFile(dir.Host("plein.bin")), old);
    files.FullDiskAt.clear();
    std::filesystem::create_directory(dir.Host("dossier"));
    EXPECT_EQ(ExtractFails<EInOutError>(), Ansi("Accès au fichier refusé"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Host("dossier")));
    EXPECT_EQ(Written(), (std::vector<std::string>{"dossier", "plein.bin"}))
        << "no temporary file is left behind";
}

TEST_F(Extract, EntriesAreWrittenThenFlushedThenPutInPlaceTogether) {
    WriteArchive("Vendora.FCC", testing::Layer1({{"un.txt", Bytes(70000, 1)}, {"deux.txt", {2}}}));
    ExtractArchive(dir.Win("Vendora.FCC"), Context());
    const std::string un = TemporarySibling("un.txt"), deux = TemporarySibling("deux.txt");
    EXPECT_EQ(files.Log,
              (std::vector<std::string>{"delete " + un, "delete " + deux, "create " + un, "create " + deux,
                                        "flush " + un, "flush " + deux, "move unflushed " + un + " un.txt",
                                        "move unflushed " + deux + " deux.txt",
                                        "flush folder " + dir.Path().filename().string()}));
    EXPECT_EQ(Written(), (std::vector<std::string>{"deux.txt", "un.txt"}));
}

TEST_F(Extract, AFailureBeforeTheRenamesLeavesEveryOldFileAndNoTemporaryOne) {
    const auto entries = testing::FourteenEntries();
    const Bytes inflated = BuildInflatedArchive(entries);
    WriteArchive("Vendora.FCC", CompressEnvelope(inflated));
    const Bytes old(300000, 'o');
    // The entries as content gives them, and no temporary file beside them.
    const auto expectEveryEntry = [&](const std::function<Bytes(std::size_t)>& content,
                                      const std::string& why) {
        for (std::size_t i = 0; i < entries.size(); ++i)
            EXPECT_EQ(ReadHostFile(dir.Host(entries[i].Name)), content(i)) << entries[i].Name << " " << why;
        EXPECT_EQ(Written().size(), entries.size()) << why;
    };
    for (const PackedEntry& entry : entries)
        WriteHostFile(dir.Host(entry.Name), old);

    // Killed while writing the first entry, the fifth or the last; an entry's flush refused.
    for (const std::string& victim : {entries[0].Name, entries[4].Name, entries[13].Name}) {
        files.CrashAt = TemporarySibling(victim);
        EXPECT_THROW(ExtractArchive(dir.Win("Vendora.FCC"), Context()), FaultyFiles::Crash) << victim;
        expectEveryEntry([&](std::size_t) { return old; }, "after a crash at " + victim);
    }
    files.CrashAt.clear();
    for (const std::string& victim : {entries[0].Name, entries[13].Name}) {
        files.Refuse = "flush " + TemporarySibling(victim);
        EXPECT_EQ(ExtractFails<EInOutError>(), Ansi("Accès au fichier refusé"));
        expectEveryEntry([&](std::size_t) { return old; }, "after a refused " + files.Refuse);
    }

    // A rename refused: the entries before it are new, the rest old; the next run puts them all in place.
    files.Refuse = "move unflushed " + TemporarySibling(entries[4].Name) + " " + entries[4].Name;
    EXPECT_EQ(ExtractFails<EInOutError>(), Ansi("Accès au fichier refusé"));
    expectEveryEntry([&](std::size_t i) { return i < 4 ? entries[i].Content : old; },
                     "after a refused rename");
    files.Refuse.clear();
    ExtractArchive(dir.Win("Vendora.FCC"), Context());
    for (const PackedEntry& entry : entries)
        EXPECT_EQ(ReadHostFile(dir.Host(entry.Name)), entry.Content) << entry.Name;
}

TEST_F(Extract, WhatAKilledRunLeftIsRemovedBeforeAnythingIsWritten) {
    const auto entries = testing::FourteenEntries();
    WriteArchive("Vendora.FCC", testing::Layer1(entries));
    const Bytes old = {1, 2, 3};
    for (const PackedEntry& entry : entries) {
        WriteHostFile(dir.Host(entry.Name), old);
        WriteHostFile(dir.Host(TemporarySibling(entry.Name)), Bytes(10, 9));
    }
    // A leftover that cannot be removed stops the extraction before any entry is written.
    std::filesystem::remove(dir.Host(TemporarySibling(entries[13].Name)));
    std::filesystem::create_directory(dir.Host(TemporarySibling(entries[13].Name)));
    EXPECT_EQ(ExtractFails<EInOutError>(), Ansi("Accès au fichier refusé"));
    for (const PackedEntry& entry : entries)
        EXPECT_EQ(ReadHostFile(dir.Host(entry.Name)), old) << entry.Name;
    EXPECT_TRUE(ui.Events().empty()) << "no window";

    // An older version's intermediate file, whole or killed while it was written, goes too.
    std::filesystem::remove(dir.Host(TemporarySibling(entries[13].Name)));
    WriteHostFile(dir.Host("Vendora.CTN"), Bytes(10, 8));
    WriteHostFile(dir.Host(TemporarySibling("Vendora.CTN")), Bytes(10, 7));
    ExtractArchive(dir.Win("Vendora.FCC"), Context());
    for (const PackedEntry& entry : entries)
        EXPECT_EQ(ReadHostFile(dir.Host(entry.Name)), entry.Content) << entry.Name;
    EXPECT_EQ(Written().size(), entries.size()) << "no temporary file is left";

    // An entry of that name is the archive's own file, written like any other.
    WriteArchive("Vendora.FCC", testing::Layer1({{"vendora.ctn", {2}}}));
    ExtractArchive(dir.Win("Vendora.FCC"), Context());
    EXPECT_EQ(ReadHostFile(dir.Host("vendora.ctn")), Bytes{2});
}

TEST_F(Extract, OfTwoEntriesOfOneNameTheLaterWins) {
    WriteArchive("Vendora.FCC",
                 testing::Layer1({{"un.txt", {1}}, {"deux.txt", {2}}, {"un.txt", {3}}, {"trois.txt", {4}}}));
    ExtractArchive(dir.Win("Vendora.FCC"), Context());
    EXPECT_EQ(ReadHostFile(dir.Host("un.txt")), Bytes{3});
    EXPECT_EQ(ReadHostFile(dir.Host("trois.txt")), Bytes{4});
    EXPECT_EQ(Written(), (std::vector<std::string>{"deux.txt", "trois.txt", "un.txt"}));
}

TEST_F(Extract, AnArchiveThatCannotBeReadWhole) {
    WriteArchive("Vendora.FCC", testing::Layer1(testing::FourteenEntries()));
    files.ShortReads = true;
    EXPECT_EQ(ExtractFails<EReadError>(), "Erreur de lecture du flux");
    EXPECT_TRUE(Written().empty());
}

TEST(RecordingExtractionUi, KeepsABoundedRecordButCountsEveryCall) {
    test::RecordingExtractionUi ui;
    const int calls = static_cast<int>(test::RecordingExtractionUi::RecordLimit) + 1000;
    for (int i = 0; i < calls; ++i) {
        ui.Entry(Ansi("un nom assez long pour ne pas tenir dans la chaîne"));
        ui.SetPosition(i);
    }
    for (int i = 0; i < calls; ++i)
        ui.ShowHtmlMessage("Interruption Interdite", "texte", "Ok", TColor(0));
    EXPECT_EQ(ui.Events().size(), test::RecordingExtractionUi::RecordLimit);
    EXPECT_EQ(ui.Messages().size(), test::RecordingExtractionUi::RecordLimit);
    EXPECT_EQ(ui.Unrecorded(), 4u * calls - 2 * test::RecordingExtractionUi::RecordLimit)
        << "calls and messages";
    EXPECT_EQ(ui.PositionCalls(), calls);
    EXPECT_EQ(ui.Events()[1],
              (test::RecordingExtractionUi::Event{test::RecordingExtractionUi::Call::Position, "", 0}));
}

TEST(ArchiveFormat, ProgressPositionsRoundHalvesToEven) {
    std::vector<int> fourteen;
    for (int i = 1; i <= 14; ++i)
        fourteen.push_back(ProgressPosition(i, 14));
    EXPECT_EQ(fourteen, (std::vector<int>{7, 14, 21, 29, 36, 43, 50, 57, 64, 71, 79, 86, 93, 100}));
    // 12.5, 37.5, 62.5 and 87.5 go to the even neighbour.
    EXPECT_EQ(ProgressPosition(1, 8), 12);
    EXPECT_EQ(ProgressPosition(3, 8), 38);
    EXPECT_EQ(ProgressPosition(5, 8), 62);
    EXPECT_EQ(ProgressPosition(7, 8), 88);
    EXPECT_EQ(ProgressPosition(1, 1), 100);
    EXPECT_EQ(ProgressPosition(2000000000, 2000000000), 100);
}

TEST(ArchiveFormat, BareFileNamesThatWindowsCanHold) {
    const AnsiString accented = Ansi("coché.jpg");
    for (const AnsiString& ok : {AnsiString("vendora.exe"), AnsiString("a"), AnsiString("x..y"), accented,
                                 AnsiString("CONSOLE.txt"), AnsiString()})
        EXPECT_EQ(EntryNameReason(ok), "") << ok;
    for (const char* bad : {".", "..", "...", "a\\b", "a/b", "c:", "\x1f", "a\x7f\x01", "a|b", "AUX.dat"})
        EXPECT_NE(EntryNameReason(bad), "") << bad;
}

} // namespace
} // namespace vendora
