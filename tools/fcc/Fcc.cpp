#include "tools/fcc/Fcc.h"

#include "archive/ArchiveFormat.h"
#include "archive/ArchiveWriter.h"
#include "archive/Concatene.h"
#include "archive/ExtractionUi.h"
#include "archive/ZCompress.h"
#include "base/Cp1252.h"
#include "platform/WindowsRules.h"
#include "platform/posix/HostFileSystem.h"
#include "tools/fcc/BestCompression.h"
#include "tools/fcc/ExtractFolder.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>

namespace vendora::fcc {

namespace fs = std::filesystem;

namespace {

constexpr const char* HelpText =
    "usage: fcc COMMAND ...\n"
    "Writes and inspects Vendora payload archives (Vendora.FCC).\n"
    "\n"
    "  fcc pack FOLDER -o FILE [--level N | --best]\n"
    "      Packs every file of FOLDER (no subfolders) into FILE, in byte order of the names. Names are\n"
    "      stored in Windows-1252 in a 34-byte field: at most 33 characters, bare file names that Windows\n"
    "      can hold (no device name such as CON or LPT1, none of < > : \" / \\ | ? *, no trailing dot or\n"
    "      blank), no two of them equal to Windows, which ignores letter case.\n"
    "      N is the zlib level, 1 to 9 (default 1, header bytes 0x78 0x01); --best compresses with\n"
    "      libdeflate at level 12, smaller and slower to pack, read by the same installer. The same\n"
    "      folder always gives the same bytes.\n"
    "  fcc list FILE\n"
    "      Names and sizes of the entries, and the totals.\n"
    "  fcc extract FILE -C FOLDER\n"
    "      Writes every entry into FOLDER (created if missing) as the installer does: inflates in memory,\n"
    "      writes every entry under a temporary name, then puts them all in place. Existing files are\n"
    "      overwritten.\n"
    "  fcc verify FILE\n"
    "      Exit status 0 only for a well-formed archive: size field equal to the stream's length, one\n"
    "      zlib stream and nothing after it, a table that fits, bare names that Windows can hold and takes\n"
    "      for distinct files, and contents that end exactly where the stream does. Bytes after the last\n"
    "      entry, which readers ignore, make the archive ill-formed.\n"
    "\n"
    "Exit status: 0 success, 1 bad archive or file error, 2 bad command line.\n";

class UsageError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};
class ToolError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

AnsiString WinPath(const std::string& hostPath) {
    return FromHostPath(fs::absolute(hostPath).lexically_normal());
}

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ToolError("cannot read " + path.string());
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw ToolError("cannot read " + path.string());
    return bytes;
}

void WriteFileAtomically(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    const fs::path temporary = path.string() + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw ToolError("cannot write " + path.string());
        }
    }
    fs::rename(temporary, path);
}

struct Inflated {
    MemoryStream Bytes;
    std::int64_t CompressedSize = 0;
    std::int64_t StreamEnd = 0; // offset in the file just after the zlib stream
};

Inflated InflateArchive(const std::string& archive) {
    HostFileSystem files;
    MemoryStream input;
    input.LoadFromFile(files, WinPath(archive));
    input.Seek(0);
    Inflated result;
    result.CompressedSize = input.Size();
    uLong consumed = 0;
    TZCompress().DecompressStream(input, result.Bytes, [&consumed](TZCompress&, const z_stream& stream) {
        consumed = stream.total_in;
    });
    result.StreamEnd = 4 + static_cast<std::int64_t>(consumed);
    result.Bytes.Seek(0);
    return result;
}

// The table read in place in the inflated bytes, which outlive it.
ArchiveTable TableOf(Inflated& inflated) {
    return ReadArchiveTable(inflated.Bytes.Bytes());
}

std::vector<PackedEntry> CollectEntries(const PackOptions& options) {
    const fs::path folder(options.Folder);
    if (!fs::is_directory(folder))
        throw ToolError("not a folder: " + options.Folder);
    std::error_code ignored;
    const fs::path output = fs::weakly_canonical(options.Output, ignored);
    std::map<AnsiString, std::string> byName; // Windows-1252 name to its UTF-8
    std::map<AnsiString, std::string> folded; // the same names as Windows compares them, to their UTF-8
    for (const auto& item : fs::directory_iterator(folder)) {
        const std::string utf8 = item.path().filename().string();
        if (fs::weakly_canonical(item.path(), ignored) == output)
            continue;
        if (!item.is_regular_file())
            throw ToolError("not a plain file (the archive holds no folders): " + item.path().string());
        if (!IsAnsiRepresentable(utf8))
            throw ToolError("name not representable in Windows-1252: " + utf8);
        const AnsiString name = Utf8ToAnsi(utf8);
        const AnsiString why = CheckPackableName(name);
        if (!why.empty())
            throw ToolError("cannot pack \"" + utf8 + "\": " + AnsiToUtf8(why));
        byName.emplace(name, utf8);
    }
    // In the archive's order, so that the message names the same pair whatever order the folder lists.
    for (const auto& [name, utf8] : byName) {
        const auto [other, added] = folded.emplace(FoldedName(name), utf8);
        if (!added)
            throw ToolError("names that Windows takes for one: \"" + other->second + "\" and \"" + utf8 +
                            "\"");
    }
    std::vector<PackedEntry> entries;
    for (const auto& [name, utf8] : byName)
        entries.push_back({name, ReadFile(folder / utf8)});
    return entries;
}

std::string Utf8(const AnsiString& text) {
    return AnsiToUtf8(text);
}

// What makes a readable archive ill-formed; empty when it is well formed.
constexpr std::size_t MostDefectsTold = 100;

std::vector<std::string> Defects(const Inflated& inflated, const ArchiveTable& table) {
    std::vector<std::string> defects;
    if (inflated.StreamEnd != inflated.CompressedSize)
        defects.push_back(std::to_string(inflated.CompressedSize - inflated.StreamEnd) +
                          " byte(s) after the zlib stream");
    const std::int64_t end = table.ContentOffset + table.ContentSize;
    if (end != inflated.Bytes.Size())
        defects.push_back(std::to_string(inflated.Bytes.Size() - end) +
                          " byte(s) after the last entry (readers ignore them)");
    // A damaged table may hold millions of faulty rows: the report names the first ones and counts the
    // rest, so that its memory stays bounded whatever the archive.
    std::size_t untold = 0;
    const auto report = [&](const std::function<std::string()>& text) {
        if (defects.size() < MostDefectsTold)
            defects.push_back(text());
        else
            ++untold;
    };
    std::map<AnsiString, AnsiString> seen; // as Windows compares names, to the first entry's name
    for (const ArchiveEntry& entry : table.Entries) {
        if (entry.Name.empty()) {
            report([] { return std::string("an entry has an empty name"); });
            continue;
        }
        const auto placed = seen.emplace(FoldedName(entry.Name), entry.Name);
        if (!placed.second)
            report([&] {
                return "two entries named \"" + Utf8(placed.first->second) + "\" and \"" + Utf8(entry.Name) +
                       "\" for Windows (the second overwrites the first)";
            });
    }
    if (untold > 0)
        defects.push_back("and " + std::to_string(untold) + " more defect(s) of the entries");
    return defects;
}

// Warnings only: the installer relies on these two entries, but the archive is still well formed without.
void WarnAboutMissingEntries(const ArchiveTable& table, std::ostream& err) {
    for (const char* needed : {"VENDORA.EXE", "STARMATH.TTF"}) {
        const bool found =
            std::any_of(table.Entries.begin(), table.Entries.end(),
                        [needed](const ArchiveEntry& e) { return UpperAscii(e.Name) == needed; });
        if (!found)
            err << "fcc: warning: no entry " << needed << " (the installer expects one)\n";
    }
}

int Fail(std::ostream& err, const std::string& what) {
    err << "fcc: " << what << "\n";
    return Exit::Failed;
}

template <class Command> int Guarded(std::ostream& err, Command command) {
    try {
        return command();
    } catch (const Exception& error) {
        return Fail(err, Utf8(error.Message()));
    } catch (const ToolError& error) {
        return Fail(err, error.what());
    } catch (const std::exception& error) {
        return Fail(err, error.what());
    }
}

} // namespace

int Pack(const PackOptions& options, std::ostream& out, std::ostream& err) {
    return Guarded(err, [&] {
        const auto entries = CollectEntries(options);
        const auto inflated = BuildInflatedArchive(entries);
        const auto archive =
            options.Best ? CompressEnvelopeBest(inflated) : CompressEnvelope(inflated, options.Level);
        WriteFileAtomically(options.Output, archive);
        out << "packed " << entries.size() << " entries, " << inflated.size() << " bytes, into "
            << options.Output << " (" << archive.size() << " bytes)\n";
        return Exit::Ok;
    });
}

int List(const std::string& archive, std::ostream& out, std::ostream& err) {
    return Guarded(err, [&] {
        Inflated inflated = InflateArchive(archive);
        const ArchiveTable table = TableOf(inflated);
        for (const ArchiveEntry& entry : table.Entries)
            out << std::to_string(entry.Size) << "\t" << Utf8(entry.Name) << "\n";
        out << table.Count << " entries, " << table.ContentSize << " bytes; " << inflated.Bytes.Size()
            << " bytes inflated, " << inflated.CompressedSize << " bytes compressed\n";
        return Exit::Ok;
    });
}

int Extract(const std::string& archive, const std::string& folder, std::ostream& out, std::ostream& err) {
    return Guarded(err, [&] {
        if (!fs::is_regular_file(archive))
            throw ToolError("no archive file " + archive);
        fs::create_directories(folder);
        ExtractFolderFiles files(folder);
        SilentExtractionUi ui;
        ExtractArchiveInto(
            WinPath(archive),
            IntermediatePath(WinPath((fs::path(folder) / fs::path(archive).filename()).string())), files, ui);
        out << "extracted " << ui.Positions() - 1 << " entries into " << folder << "\n";
        return Exit::Ok;
    });
}

int Verify(const std::string& archive, std::ostream& out, std::ostream& err) {
    return Guarded(err, [&] {
        Inflated inflated = InflateArchive(archive);
        const ArchiveTable table = TableOf(inflated);
        const auto defects = Defects(inflated, table);
        for (const std::string& defect : defects)
            err << "fcc: " << archive << ": " << defect << "\n";
        if (!defects.empty())
            return Exit::Failed;
        WarnAboutMissingEntries(table, err);
        out << archive << ": well formed, " << table.Count << " entries, " << inflated.Bytes.Size()
            << " bytes inflated\n";
        return Exit::Ok;
    });
}

namespace {

struct Parsed {
    std::vector<std::string> Positional;
    std::optional<std::string> Output;
    std::optional<std::string> Folder;
    std::optional<int> Level;
    bool Best = false;
};

int ParseLevel(const std::string& text) {
    if (text.size() != 1 || text[0] < '1' || text[0] > '9')
        throw UsageError("--level takes a number from 1 to 9, not \"" + text + "\"");
    return text[0] - '0';
}

Parsed Parse(const std::vector<std::string>& args) {
    Parsed parsed;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw UsageError(arg + " needs a value");
            return args[++i];
        };
        if (arg == "-o")
            parsed.Output = value();
        else if (arg == "-C")
            parsed.Folder = value();
        else if (arg == "--level")
            parsed.Level = ParseLevel(value());
        else if (arg == "--best")
            parsed.Best = true;
        else if (arg.size() > 1 && arg[0] == '-')
            throw UsageError("unknown option " + arg);
        else
            parsed.Positional.push_back(arg);
    }
    return parsed;
}

void Expect(bool condition, const std::string& usage) {
    if (!condition)
        throw UsageError("usage: " + usage);
}

int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string& command = args[0];
    const Parsed p = Parse(args);
    const bool onlyOne = p.Positional.size() == 1;
    if (command == "pack") {
        Expect(onlyOne && p.Output && !p.Folder && !(p.Level && p.Best),
               "fcc pack FOLDER -o FILE [--level N | --best]");
        return Pack({p.Positional[0], *p.Output, p.Level.value_or(DefaultCompressionLevel), p.Best}, out,
                    err);
    }
    Expect(!p.Level && !p.Best, "--level and --best belong to pack");
    if (command == "list") {
        Expect(onlyOne && !p.Output && !p.Folder, "fcc list FILE");
        return List(p.Positional[0], out, err);
    }
    if (command == "extract") {
        Expect(onlyOne && p.Folder && !p.Output, "fcc extract FILE -C FOLDER");
        return Extract(p.Positional[0], *p.Folder, out, err);
    }
    if (command == "verify") {
        Expect(onlyOne && !p.Output && !p.Folder, "fcc verify FILE");
        return Verify(p.Positional[0], out, err);
    }
    throw UsageError("unknown command \"" + command + "\" (fcc --help lists them)");
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << HelpText;
        return Exit::Usage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << HelpText;
        return Exit::Ok;
    }
    try {
        return Dispatch(args, out, err);
    } catch (const UsageError& error) {
        err << "fcc: " << error.what() << "\n";
        return Exit::Usage;
    }
}

} // namespace vendora::fcc
