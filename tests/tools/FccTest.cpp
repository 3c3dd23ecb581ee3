// The fcc tool as its users run it: round trips, the bytes it writes, and its answers to bad input.
#include "../archive/ArchiveFixtures.h"

#include "archive/ArchiveWriter.h"
#include "archive/ZCompress.h"
#include "base/Cp1252.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <zlib.h>

namespace vendora {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::ReadHostFile;
using testing::TempFolder;
using testing::WriteHostFile;

struct Result {
    int Exit = -1;
    std::string Out, Err;
};

std::string Quote(const std::string& arg) {
    std::string out = "'";
    for (char c : arg)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string Slurp(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Fcc : public ::testing::Test {
protected:
    Result Run(const std::vector<std::string>& args) {
        std::string command = Quote(FCC_PATH);
        for (const auto& arg : args)
            command += " " + Quote(arg);
        command += " >" + Quote(dir.Host(".out").string()) + " 2>" + Quote(dir.Host(".err").string());
        const int status = std::system(command.c_str());
        Result result;
        result.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.Out = Slurp(dir.Host(".out"));
        result.Err = Slurp(dir.Host(".err"));
        fs::remove(dir.Host(".out"));
        fs::remove(dir.Host(".err"));
        return result;
    }
    std::string P(const std::string& name) const { return dir.Host(name).string(); }
    // A folder of files named in UTF-8.
    void Fill(const std::string& folder, const std::vector<std::pair<std::string, Bytes>>& files) {
        fs::create_directories(dir.Host(folder));
        for (const auto& [name, content] : files)
            WriteHostFile(dir.Host(folder) / name, content);
    }
    void ExpectFailure(const std::vector<std::string>& args, int exitCode, const std::string& inMessage) {
        const Result result = Run(args);
        EXPECT_EQ(result.Exit, exitCode) << result.Err;
        EXPECT_NE(result.Err.find(inMessage), std::string::npos) << result.Err;
    }

    TempFolder dir;
};

const std::vector<std::pair<std::string, Bytes>> Sample = {
    {"vendora.exe", testing::SomeBytes(150000, 1)},
    {"StarMath.ttf", testing::SomeBytes(30000, 2)},
    {"Récapitulatif.QXF", testing::SomeBytes(500, 3)},
    {"vide.LP", {}},
};

TEST_F(Fcc, PackListVerifyAndExtractRoundTrip) {
    Fill("in", Sample);
    ASSERT_EQ(Run({"pack", P("in"), "-o", P("Vendora.FCC")}).Exit, 0);

    const Bytes archive = ReadHostFile(dir.Host("Vendora.FCC"));
    ASSERT_GT(archive.size(), 6u);
    EXPECT_EQ(archive[4], 0x78);
    EXPECT_EQ(archive[5], 0x01);

    const Result list = Run({"list", P("Vendora.FCC")});
    EXPECT_EQ(list.Exit, 0);
    EXPECT_NE(list.Out.find("150000\tvendora.exe\n"), std::string::npos) << list.Out;
    EXPECT_NE(list.Out.find("500\tRécapitulatif.QXF\n"), std::string::npos) << list.Out;
    EXPECT_NE(list.Out.find("0\tvide.LP\n"), std::string::npos) << list.Out;
    EXPECT_NE(list.Out.find("4 entries, 180500 bytes"), std::string::npos) << list.Out;

    const Result verify = Run({"verify", P("Vendora.FCC")});
    EXPECT_EQ(verify.Exit, 0) << verify.Err;
    EXPECT_EQ(verify.Err, "") << "both entries the installer needs are there";

    WriteHostFile(dir.Host("out") / "vendora.exe", Bytes(10, 1)); // overwritten
    ASSERT_EQ(Run({"extract", P("Vendora.FCC"), "-C", P("out")}).Exit, 0);
    for (const auto& [name, content] : Sample)
        EXPECT_EQ(ReadHostFile(dir.Host("out") / name), content) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Host("out")), fs::directory_iterator()), 4)
        << "no intermediate file";
}

TEST_F(Fcc, TheSameFolderGivesTheSameBytes) {
    Fill("a", Sample);
    // The same files written in another order, at other times.
    Fill("b", {Sample.rbegin(), Sample.rend()});
    ASSERT_EQ(Run({"pack", P("a"), "-o", P("a.FCC")}).Exit, 0);
    ASSERT_EQ(Run({"pack", P("b"), "-o", P("b.FCC")}).Exit, 0);
    EXPECT_EQ(ReadHostFile(dir.Host("a.FCC")), ReadHostFile(dir.Host("b.FCC")));

    // The names in byte order of their Windows-1252 text, fields of 34 bytes with zeros after the name.
    std::vector<PackedEntry> expected;
    for (const char* name : {"Récapitulatif.QXF", "StarMath.ttf", "vendora.exe", "vide.LP"})
        for (const auto& [utf8, content] : Sample)
            if (utf8 == name)
                expected.push_back({Ansi(name), content});
    EXPECT_EQ(ReadHostFile(dir.Host("a.FCC")), CompressEnvelope(BuildInflatedArchive(expected), 1));

    // Packing into the folder itself leaves the archive out.
    ASSERT_EQ(Run({"pack", P("a"), "-o", P("a/self.FCC")}).Exit, 0);
    ASSERT_EQ(Run({"pack", P("a"), "-o", P("a/self.FCC")}).Exit, 0);
    EXPECT_EQ(ReadHostFile(dir.Host("a/self.FCC")), ReadHostFile(dir.Host("a.FCC")));
}

// The sample's entries as the packer orders them: by their Windows-1252 names.
std::vector<PackedEntry> SampleEntries() {
    std::vector<PackedEntry> entries;
    for (const auto& [utf8, content] : Sample)
        entries.push_back({Ansi(utf8), content});
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.Name < b.Name; });
    return entries;
}

TEST_F(Fcc, EveryZlibLevelWritesWhatZlibWritesAtThatLevel) {
    Fill("in", Sample);
    const Bytes inflated = BuildInflatedArchive(SampleEntries());
    for (int level = 1; level <= 9; ++level) {
        const std::string file = P(std::to_string(level) + ".FCC");
        ASSERT_EQ(Run({"pack", P("in"), "-o", file, "--level", std::to_string(level)}).Exit, 0) << level;
        const Bytes archive = ReadHostFile(file);
        EXPECT_EQ(archive, CompressEnvelope(inflated, level)) << level;
        // zlib's header: a 32 KiB window, and the level's class in the second byte.
        ASSERT_GT(archive.size(), 6u);
        EXPECT_EQ(archive[4], 0x78) << level;
        const int levelClass = level == 1 ? 0 : level <= 5 ? 1 : level == 6 ? 2 : 3;
        EXPECT_EQ(archive[5] >> 6, levelClass) << level;
        EXPECT_EQ(Run({"verify", file}).Exit, 0) << level;
    }
    EXPECT_EQ(ReadHostFile(dir.Host("1.FCC")), [&] {
        EXPECT_EQ(Run({"pack", P("in"), "-o", P("default.FCC")}).Exit, 0);
        return ReadHostFile(dir.Host("default.FCC"));
    }()) << "level 1 is the default";

    for (const char* wrong : {"0", "10", "12", "x", ""})
        ExpectFailure({"pack", P("in"), "-o", P("x.FCC"), "--level", wrong}, 2, "--level");
    ExpectFailure({"pack", P("in"), "-o", P("x.FCC"), "--level", "9", "--best"}, 2, "--best");
    ExpectFailure({"list", P("1.FCC"), "--best"}, 2, "belong to pack");
    EXPECT_FALSE(fs::exists(dir.Host("x.FCC")));
}

TEST_F(Fcc, BestIsSmallerAndTheInstallersReaderAndZlibBothInflateIt) {
    Fill("in", Sample);
    ASSERT_EQ(Run({"pack", P("in"), "-o", P("9.FCC"), "--level", "9"}).Exit, 0);
    const Result packed = Run({"pack", P("in"), "-o", P("best.FCC"), "--best"});
    ASSERT_EQ(packed.Exit, 0) << packed.Err;
    const Bytes best = ReadHostFile(dir.Host("best.FCC"));
    EXPECT_LT(best.size(), ReadHostFile(dir.Host("9.FCC")).size());
    const Bytes inflated = BuildInflatedArchive(SampleEntries());

    // The installer's own reader.
    MemoryStream input;
    input.Write(best.data(), static_cast<std::uint32_t>(best.size()));
    input.Seek(0);
    MemoryStream output;
    TZCompress().DecompressStream(input, output);
    EXPECT_TRUE(std::ranges::equal(output.Bytes(), inflated));

    // zlib itself, on the stream after the 4-byte size, which must be the inflated size.
    ASSERT_GT(best.size(), 6u);
    EXPECT_EQ(best[4], 0x78) << "a 32 KiB window";
    const std::uint32_t announced =
        best[0] | best[1] << 8 | best[2] << 16 | static_cast<std::uint32_t>(best[3]) << 24;
    EXPECT_EQ(announced, inflated.size());
    Bytes plain(inflated.size() + 1);
    uLongf plainSize = static_cast<uLongf>(plain.size());
    ASSERT_EQ(uncompress(plain.data(), &plainSize, best.data() + 4, static_cast<uLong>(best.size() - 4)),
              Z_OK);
    plain.resize(plainSize);
    EXPECT_EQ(plain, inflated);

    EXPECT_EQ(Run({"verify", P("best.FCC")}).Exit, 0);
    ASSERT_EQ(Run({"extract", P("best.FCC"), "-C", P("out")}).Exit, 0);
    for (const auto& [name, content] : Sample)
        EXPECT_EQ(ReadHostFile(dir.Host("out") / name), content) << name;
    ASSERT_EQ(Run({"pack", P("in"), "-o", P("again.FCC"), "--best"}).Exit, 0);
    EXPECT_EQ(ReadHostFile(dir.Host("again.FCC")), best) << "the same folder, the same bytes";
}

TEST_F(Fcc, NamesThatCannotBePackedAreRefused) {
    Fill("long", {{std::string(34, 'n'), {1}}});
    ExpectFailure({"pack", P("long"), "-o", P("x.FCC")}, 1, "33");
    Fill("ok33", {{std::string(33, 'n'), {1}}});
    EXPECT_EQ(Run({"pack", P("ok33"), "-o", P("x.FCC")}).Exit, 0);
    Fill("cjk", {{"日本.txt", {1}}});
    ExpectFailure({"pack", P("cjk"), "-o", P("x.FCC")}, 1, "Windows-1252");
    Fill("case", {{"a.txt", {1}}, {"A.TXT", {2}}});
    ExpectFailure({"pack", P("case"), "-o", P("x.FCC")}, 1, "A.TXT");
    Fill("colon", {{"a:b", {1}}});
    ExpectFailure({"pack", P("colon"), "-o", P("x.FCC")}, 1, "a:b");
    Fill("french", {{"été.txt", {1}}, {"ÉTÉ.TXT", {2}}});
    const Result french = Run({"pack", P("french"), "-o", P("x.FCC")});
    EXPECT_EQ(french.Exit, 1);
    EXPECT_NE(french.Err.find("\"ÉTÉ.TXT\" and \"été.txt\""), std::string::npos) << french.Err;
    Fill("sub", {{"a.txt", {1}}});
    fs::create_directories(dir.Host("sub/inner"));
    ExpectFailure({"pack", P("sub"), "-o", P("x.FCC")}, 1, "inner");
    ExpectFailure({"pack", P("absent"), "-o", P("x.FCC")}, 1, "absent");
    EXPECT_FALSE(fs::exists(dir.Host("x.FCC.part")));
}

// Names that Windows cannot create, or takes for another file's, refused by pack and by verify with the
// name in the message; the names next to them are fine.
TEST_F(Fcc, NamesThatWindowsCannotHoldAreRefused) {
    const std::vector<std::string> refused = {"CON",      "con.txt",  "Prn.log",   "AUX",      "nul.tar.gz",
                                              "COM1",     "com9.dat", "LPT1",      "lpt9.txt", "COM².txt",
                                              "NUL .txt", "a<b",      "a>b",       "a\"b",     "a|b",
                                              "a?b",      "a*b",      "trailing.", "trailing "};
    const std::vector<std::string> accepted = {"CONSOLE.txt", "COM0",    "COM10", "LPT",
                                               "xCON",        "con_txt", "NULL",  ".hidden",
                                               "a.b.c",       "é è.txt", "AUX1"};
    for (const std::string& name : refused) {
        SCOPED_TRACE(name);
        fs::remove_all(dir.Host("in"));
        Fill("in", {{name, {1}}, {"vendora.exe", {2}}});
        ExpectFailure({"pack", P("in"), "-o", P("x.FCC")}, 1, "\"" + name + "\"");
        EXPECT_FALSE(fs::exists(dir.Host("x.FCC")));
        WriteHostFile(dir.Host("t.FCC"), CompressEnvelope(BuildInflatedArchive({{Ansi(name), {1}}})));
        ExpectFailure({"verify", P("t.FCC")}, 1, "\"" + name + "\"");
    }
    fs::remove_all(dir.Host("in"));
    std::vector<std::pair<std::string, Bytes>> files;
    for (const std::string& name : accepted)
        files.push_back({name, {1}});
    Fill("in", files);
    const Result packed = Run({"pack", P("in"), "-o", P("ok.FCC")});
    EXPECT_EQ(packed.Exit, 0) << packed.Err;
    EXPECT_EQ(Run({"verify", P("ok.FCC")}).Exit, 0);

    // Equal to Windows over the whole of Windows-1252, not only in ASCII letters.
    const std::vector<std::pair<std::string, std::string>> twins = {
        {"été.txt", "ÉTÉ.TXT"}, {"œuvre", "ŒUVRE"}, {"šum", "ŠUM"}, {"ÿ", "Ÿ"}, {"žena", "ŽENA"}, {"þ", "Þ"}};
    for (const auto& [lower, upper] : twins) {
        SCOPED_TRACE(lower);
        WriteHostFile(dir.Host("t.FCC"),
                      CompressEnvelope(BuildInflatedArchive({{Ansi(lower), {1}}, {Ansi(upper), {2}}})));
        ExpectFailure({"verify", P("t.FCC")}, 1, "\"" + upper + "\"");
    }
    // Not letters of one another: the division and multiplication signs, and ß, which has no capital.
    WriteHostFile(dir.Host("t.FCC"), CompressEnvelope(BuildInflatedArchive({{Ansi("a÷"), {1}},
                                                                            {Ansi("a×"), {2}},
                                                                            {Ansi("ß"), {3}},
                                                                            {Ansi("vendora.exe"), {4}},
                                                                            {Ansi("StarMath.ttf"), {5}}})));
    const Result distinct = Run({"verify", P("t.FCC")});
    EXPECT_EQ(distinct.Exit, 0) << distinct.Err;
}

TEST_F(Fcc, VerifyAcceptsOnlyWellFormedArchives) {
    const std::vector<PackedEntry> entries = {{"vendora.exe", {1, 2}}, {"StarMath.ttf", {3}}};
    const Bytes inflated = BuildInflatedArchive(entries);
    const auto check = [&](const Bytes& archive, int exitCode, const std::string& message) {
        WriteHostFile(dir.Host("t.FCC"), archive);
        ExpectFailure({"verify", P("t.FCC")}, exitCode, message);
    };
    check(CompressEnvelope(inflated), 0, "");

    Bytes trailing = CompressEnvelope(inflated);
    trailing.push_back(0);
    check(trailing, 1, "after the zlib stream");
    Bytes extra = inflated;
    extra.push_back(0);
    check(CompressEnvelope(extra), 1, "after the last entry");
    check(CompressEnvelope(Bytes(inflated.begin(), inflated.end() - 1)), 1,
          "Lecture au-delà de la fin de fichier");
    Bytes wrongSize = CompressEnvelope(inflated);
    wrongSize[0] += 1;
    check(wrongSize, 1, "Error in compression routine: -3");
    check(CompressEnvelope(BuildInflatedArchive({{"..", {1}}})), 1, "Archive refusée");
    check(CompressEnvelope(BuildInflatedArchive({{"", {1}}})), 1, "empty name");
    check(CompressEnvelope(BuildInflatedArchive({{"a", {1}}, {"A", {2}}})), 1, "two entries named");
    check({1, 2}, 1, "Error in compression routine");
    // A table of thousands of faulty rows: the first ones are named, the rest counted.
    const std::vector<PackedEntry> empties(5000, PackedEntry{"", {}});
    WriteHostFile(dir.Host("t.FCC"), CompressEnvelope(BuildInflatedArchive(empties)));
    const Result many = Run({"verify", P("t.FCC")});
    EXPECT_EQ(many.Exit, 1);
    EXPECT_EQ(std::count(many.Err.begin(), many.Err.end(), '\n'), 101) << many.Err.substr(0, 300);
    EXPECT_NE(many.Err.find("and 4900 more defect(s)"), std::string::npos) << many.Err.substr(0, 300);
    // Well formed, but without what the installer needs: a warning only.
    check(CompressEnvelope(BuildInflatedArchive({{"a", {1}}})), 0, "warning: no entry VENDORA.EXE");
}

TEST_F(Fcc, ExtractRefusesBadArchivesWithoutWritingEntries) {
    WriteHostFile(dir.Host("bad.FCC"),
                  CompressEnvelope(BuildInflatedArchive({{"ok", {1}}, {"../evil", {2}}})));
    ExpectFailure({"extract", P("bad.FCC"), "-C", P("out")}, 1, "Archive refusée");
    EXPECT_FALSE(fs::exists(dir.Host("out/ok")));
    EXPECT_FALSE(fs::exists(dir.Host("evil")));
    ExpectFailure({"extract", P("absent.FCC"), "-C", P("out")}, 1, "absent.FCC");
}

// A link planted at an entry's name, or at the intermediate file's, never sends a write elsewhere: the
// file outside keeps its content and mode, nothing appears beside it, and no intermediate file stays.
TEST_F(Fcc, ExtractNeverWritesThroughALinkAtAnEntrysName) {
    Fill("in", Sample);
    ASSERT_EQ(Run({"pack", P("in"), "-o", P("Vendora.FCC")}).Exit, 0);
    fs::create_directories(dir.Host("outside"));
    const Bytes guarded = {'g', 'a', 'r', 'd', 'e'};
    WriteHostFile(dir.Host("outside/sentinel"), guarded);
    fs::permissions(dir.Host("outside/sentinel"), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_directories(dir.Host("out"));
    fs::create_symlink(dir.Host("outside/sentinel"), dir.Host("out/vendora.exe"));
    fs::create_symlink(dir.Host("outside/created"), dir.Host("out/StarMath.ttf"));
    const auto expectOutsideUntouched = [&] {
        EXPECT_EQ(ReadHostFile(dir.Host("outside/sentinel")), guarded);
        EXPECT_EQ(fs::status(dir.Host("outside/sentinel")).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_FALSE(fs::exists(dir.Host("outside/created")));
        EXPECT_FALSE(fs::exists(fs::symlink_status(dir.Host("out/Vendora.CTN"))));
    };

    const Result result = Run({"extract", P("Vendora.FCC"), "-C", P("out")});
    expectOutsideUntouched();
    // Either the entry replaced the link, or the extraction stopped at it; never a write through it.
    for (const char* name : {"vendora.exe", "StarMath.ttf"}) {
        const fs::path entry = dir.Host("out") / name;
        if (fs::is_symlink(entry)) {
            EXPECT_EQ(result.Exit, 1) << name;
            EXPECT_NE(result.Err.find("Accès au fichier refusé"), std::string::npos) << result.Err;
        } else {
            const auto expected = std::find_if(Sample.begin(), Sample.end(),
                                               [&](const auto& file) { return file.first == name; });
            EXPECT_EQ(ReadHostFile(entry), expected->second) << name;
        }
    }

    // The name older versions gave their intermediate file, removed as their leftover.
    fs::create_symlink(dir.Host("outside/sentinel"), dir.Host("out/Vendora.CTN"));
    Run({"extract", P("Vendora.FCC"), "-C", P("out")});
    expectOutsideUntouched();
}

TEST_F(Fcc, AFailedExtractionLeavesNoIntermediateFile) {
    // The table announces more content than there is: the split fails after the inflation.
    Bytes inflated = BuildInflatedArchive(
        {{"premier.txt", testing::SomeBytes(5000, 4)}, {"second.txt", testing::SomeBytes(5000, 5)}});
    inflated.resize(inflated.size() - 100);
    WriteHostFile(dir.Host("court.FCC"), CompressEnvelope(inflated));
    fs::create_directories(dir.Host("out"));
    const Result result = Run({"extract", P("court.FCC"), "-C", P("out")});
    EXPECT_EQ(result.Exit, 1);
    EXPECT_FALSE(result.Err.empty());
    EXPECT_FALSE(fs::exists(dir.Host("out/court.CTN")));
    for (const auto& entry : fs::directory_iterator(dir.Host("out")))
        EXPECT_NE(entry.path().extension(), ".CTN") << entry.path();
}

TEST_F(Fcc, CommandLine) {
    const Result help = Run({"--help"});
    EXPECT_EQ(help.Exit, 0);
    EXPECT_NE(help.Out.find("fcc pack FOLDER -o FILE"), std::string::npos);
    ExpectFailure({}, 2, "usage");
    ExpectFailure({"unpack", "x"}, 2, "unknown command");
    ExpectFailure({"list"}, 2, "fcc list FILE");
    ExpectFailure({"list", "a", "b"}, 2, "fcc list FILE");
    ExpectFailure({"extract", "a"}, 2, "-C FOLDER");
    ExpectFailure({"pack", "in"}, 2, "-o FILE");
    ExpectFailure({"verify", "a", "-x"}, 2, "unknown option -x");
    ExpectFailure({"list", P("absent.FCC")}, 1, "Impossible d'ouvrir");
}

} // namespace
} // namespace vendora
