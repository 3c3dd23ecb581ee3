// pe-resource: reads a resource out of a Windows program file as the loader finds it, so that the release
// test can compare what INSTALL.EXE carries with what was packed. Host tool for tests.
//   pe-resource FILE fcc OUT   writes the bytes of the resource "FCC"/1 (its first language) to OUT
//   pe-resource FILE version   prints the file version of its version resource as X.Y.Z.W
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

class BadFile : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::uint32_t Le(const Bytes& b, std::size_t at, int size) {
    if (at > b.size() || b.size() - at < static_cast<std::size_t>(size))
        throw BadFile("offset " + std::to_string(at) + " beyond the end of the file");
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | b[at + static_cast<std::size_t>(i)];
    return value;
}

struct Section {
    std::uint32_t Address = 0, Size = 0, FileOffset = 0, FileSize = 0;
};

class PeFile {
public:
    explicit PeFile(Bytes bytes) : b_(std::move(bytes)) {
        if (Le(b_, 0, 2) != 0x5A4D)
            throw BadFile("no MZ header");
        const std::size_t pe = Le(b_, 0x3C, 4);
        if (Le(b_, pe, 4) != 0x00004550)
            throw BadFile("no PE header");
        const std::size_t coff = pe + 4;
        const std::uint32_t sections = Le(b_, coff + 2, 2);
        const std::size_t optional = coff + 20;
        const std::size_t optionalSize = Le(b_, coff + 16, 2);
        const std::uint32_t magic = Le(b_, optional, 2);
        if (magic != 0x10B && magic != 0x20B)
            throw BadFile("unknown optional header");
        const std::size_t directories = optional + (magic == 0x10B ? 96 : 112);
        const std::uint32_t count = Le(b_, directories - 4, 4);
        if (count < 3)
            throw BadFile("no resource directory");
        resources_ = Le(b_, directories + 2 * 8, 4);
        for (std::size_t i = 0, at = optional + optionalSize; i < sections; ++i, at += 40)
            sections_.push_back(
                {Le(b_, at + 12, 4), Le(b_, at + 8, 4), Le(b_, at + 20, 4), Le(b_, at + 16, 4)});
        root_ = Offset(resources_);
    }

    // The bytes of the resource of that type and id (the first language); nothing when there is none.
    std::optional<Bytes> Resource(const std::u16string& typeName, std::uint32_t typeId, std::uint32_t id) {
        const auto type = Find(root_, typeName, typeId);
        if (!type)
            return std::nullopt;
        const auto name = Find(root_ + *type, u"", id);
        if (!name)
            return std::nullopt;
        const std::size_t languages = root_ + *name;
        if (Le(b_, languages + 12, 2) + Le(b_, languages + 14, 2) == 0)
            return std::nullopt;
        const std::uint32_t entry = Le(b_, languages + 16 + 4, 4);
        if (entry & 0x80000000u)
            throw BadFile("a language entry that is a directory");
        const std::size_t data = root_ + entry;
        const std::size_t at = Offset(Le(b_, data, 4));
        const std::size_t size = Le(b_, data + 4, 4);
        if (at > b_.size() || b_.size() - at < size)
            throw BadFile("resource data beyond the end of the file");
        return Bytes(b_.begin() + static_cast<std::ptrdiff_t>(at),
                     b_.begin() + static_cast<std::ptrdiff_t>(at + size));
    }

private:
    std::size_t Offset(std::uint32_t address) const {
        for (const Section& s : sections_) {
            const std::uint32_t span = std::max(s.Size, s.FileSize);
            if (address >= s.Address && address - s.Address < span && address - s.Address < s.FileSize)
                return s.FileOffset + (address - s.Address);
        }
        throw BadFile("address " + std::to_string(address) + " in no section");
    }

    // The subdirectory offset (from the resource root) of the entry named name, or of id when name is empty.
    std::optional<std::size_t> Find(std::size_t directory, const std::u16string& name, std::uint32_t id) {
        const std::uint32_t named = Le(b_, directory + 12, 2);
        const std::uint32_t total = named + Le(b_, directory + 14, 2);
        for (std::uint32_t i = 0; i < total; ++i) {
            const std::size_t entry = directory + 16 + 8 * static_cast<std::size_t>(i);
            const std::uint32_t key = Le(b_, entry, 4);
            const std::uint32_t target = Le(b_, entry + 4, 4);
            const bool matches = (key & 0x80000000u)
                                     ? !name.empty() && NameAt(root_ + (key & 0x7FFFFFFFu)) == name
                                     : name.empty() && key == id;
            if (matches && (target & 0x80000000u))
                return target & 0x7FFFFFFFu;
        }
        return std::nullopt;
    }

    // Resource names are stored in capitals by the resource compiler; compared as they are.
    std::u16string NameAt(std::size_t at) const {
        std::u16string name;
        const std::uint32_t length = Le(b_, at, 2);
        for (std::uint32_t i = 0; i < length; ++i)
            name += static_cast<char16_t>(Le(b_, at + 2 + 2 * static_cast<std::size_t>(i), 2));
        return name;
    }

    Bytes b_;
    std::vector<Section> sections_;
    std::uint32_t resources_ = 0;
    std::size_t root_ = 0;
};

std::string FileVersion(const Bytes& info) {
    // VS_FIXEDFILEINFO starts with its signature; the file version follows the structure version.
    for (std::size_t at = 0; at + 16 <= info.size(); at += 4) {
        if (Le(info, at, 4) == 0xFEEF04BDu) {
            const std::uint32_t high = Le(info, at + 8, 4), low = Le(info, at + 12, 4);
            return std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." +
                   std::to_string(low >> 16) + "." + std::to_string(low & 0xFFFF);
        }
    }
    throw BadFile("a version resource without its fixed part");
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw BadFile("cannot read " + path);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int Run(const std::vector<std::string>& args) {
    if (args.size() == 3 && args[1] == "fcc") {
        const auto fcc = PeFile(ReadAll(args[0])).Resource(u"FCC", 0, 1);
        if (!fcc)
            throw BadFile("no resource FCC/1");
        std::ofstream out(args[2], std::ios::binary);
        out.write(reinterpret_cast<const char*>(fcc->data()), static_cast<std::streamsize>(fcc->size()));
        return out ? 0 : 1;
    }
    if (args.size() == 2 && args[1] == "version") {
        constexpr std::uint32_t RtVersion = 16;
        const auto info = PeFile(ReadAll(args[0])).Resource(u"", RtVersion, 1);
        if (!info)
            throw BadFile("no version resource");
        std::cout << FileVersion(*info) << "\n";
        return 0;
    }
    std::cerr << "usage: pe-resource FILE fcc OUT | pe-resource FILE version\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const BadFile& error) {
        std::cerr << "pe-resource: " << error.what() << "\n";
        return 1;
    }
}
