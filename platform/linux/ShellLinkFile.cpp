#include "platform/linux/ShellLinkFile.h"

#include "base/Cp1252.h"

#include <array>
#include <fstream>
#include <iterator>

namespace vendora {

namespace {

constexpr std::array<std::uint8_t, 16> ShellLinkClassId = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                           0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::uint32_t LinkInfoHeaderSize = 0x1C;
constexpr std::uint32_t VolumeIdAndLocalBasePath = 0x01;
constexpr std::uint32_t VolumeIdHeaderSize = 0x10;

class Writer {
public:
    void U16(std::uint32_t v) {
        bytes_.push_back(static_cast<std::uint8_t>(v));
        bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Time(FileTime t) {
        U32(t.Low);
        U32(t.High);
    }
    void Bytes(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
    void Zstring(std::string_view text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        bytes_.push_back(0);
    }
    // A counted string of the string data, in UTF-16.
    void Counted(const AnsiString& text) {
        const std::u16string wide = AnsiToUtf16(text);
        U16(static_cast<std::uint32_t>(wide.size()));
        for (char16_t c : wide)
            U16(c);
    }
    std::vector<std::uint8_t>& Result() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool Has(std::size_t count) const { return at_ <= bytes_.size() && bytes_.size() - at_ >= count; }
    std::size_t At() const { return at_; }
    void Seek(std::size_t at) { at_ = at; }
    std::uint32_t U16() {
        const std::uint32_t v = bytes_[at_] | (static_cast<std::uint32_t>(bytes_[at_ + 1]) << 8);
        at_ += 2;
        return v;
    }
    std::uint32_t U32() {
        const std::uint32_t low = U16();
        return low | (U16() << 16);
    }
    FileTime Time() {
        FileTime t;
        t.Low = U32();
        t.High = U32();
        return t;
    }
    // A zero-terminated string at an absolute offset below end.
    std::optional<AnsiString> Zstring(std::size_t from, std::size_t end) const {
        AnsiString text;
        for (std::size_t i = from; i < end && i < bytes_.size(); ++i) {
            if (bytes_[i] == 0)
                return text;
            text += static_cast<char>(bytes_[i]);
        }
        return std::nullopt;
    }
    std::optional<AnsiString> Counted(bool unicode) {
        if (!Has(2))
            return std::nullopt;
        const std::uint32_t count = U16();
        if (!Has(static_cast<std::size_t>(count) * (unicode ? 2 : 1)))
            return std::nullopt;
        AnsiString text;
        if (!unicode) {
            text.assign(reinterpret_cast<const char*>(bytes_.data() + at_), count);
            at_ += count;
        } else {
            std::u16string wide;
            for (std::uint32_t i = 0; i < count; ++i)
                wide.push_back(static_cast<char16_t>(U16()));
            text = Utf16ToAnsi(wide);
        }
        // Some writers (Wine) count a terminating zero that the format does not have.
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        return text;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

std::uint32_t FlagsOf(const ShellLinkData& link) {
    std::uint32_t flags = LinkFlag::IsUnicode;
    if (!link.Path.empty())
        flags |= LinkFlag::HasLinkInfo;
    if (!link.Description.empty())
        flags |= LinkFlag::HasName;
    if (!link.WorkingDirectory.empty())
        flags |= LinkFlag::HasWorkingDir;
    if (!link.Arguments.empty())
        flags |= LinkFlag::HasArguments;
    if (!link.IconLocation.empty())
        flags |= LinkFlag::HasIconLocation;
    return flags;
}

void WriteLinkInfo(Writer& out, const AnsiString& path, const ShellLinkTarget& target) {
    const auto volumeIdSize = static_cast<std::uint32_t>(VolumeIdHeaderSize + target.VolumeLabel.size() + 1);
    const std::uint32_t localBasePathOffset = LinkInfoHeaderSize + volumeIdSize;
    const auto suffixOffset = static_cast<std::uint32_t>(localBasePathOffset + path.size() + 1);
    const std::uint32_t size = suffixOffset + 1;
    out.U32(size);
    out.U32(LinkInfoHeaderSize);
    out.U32(VolumeIdAndLocalBasePath);
    out.U32(LinkInfoHeaderSize); // the volume id follows the header
    out.U32(localBasePathOffset);
    out.U32(0); // no network location
    out.U32(suffixOffset);
    out.U32(volumeIdSize);
    out.U32(target.DriveType);
    out.U32(target.DriveSerial);
    out.U32(VolumeIdHeaderSize); // the label follows the volume id header
    out.Zstring(target.VolumeLabel);
    out.Zstring(path);
    out.Zstring(""); // no common path suffix
}

bool Refuse(std::string* error, const char* reason) {
    if (error != nullptr)
        *error = reason;
    return false;
}

bool ReadLinkInfo(Reader& in, ShellLinkContents& contents, std::string* error) {
    const std::size_t start = in.At();
    if (!in.Has(LinkInfoHeaderSize))
        return Refuse(error, "link info cut short");
    const std::uint32_t size = in.U32();
    const std::uint32_t headerSize = in.U32();
    const std::uint32_t flags = in.U32();
    const std::uint32_t volumeIdOffset = in.U32();
    const std::uint32_t localBasePathOffset = in.U32();
    in.U32(); // network location
    const std::uint32_t suffixOffset = in.U32();
    in.Seek(start);
    if (size < LinkInfoHeaderSize || headerSize < LinkInfoHeaderSize || !in.Has(size))
        return Refuse(error, "link info size out of bounds");
    const std::size_t end = start + size;
    if ((flags & VolumeIdAndLocalBasePath) != 0) {
        if (std::uint64_t{volumeIdOffset} + VolumeIdHeaderSize > size || localBasePathOffset >= size)
            return Refuse(error, "volume id out of bounds");
        in.Seek(start + volumeIdOffset);
        const std::uint32_t volumeIdSize = in.U32();
        contents.Target.DriveType = in.U32();
        contents.Target.DriveSerial = in.U32();
        const std::uint32_t labelOffset = in.U32();
        if (volumeIdSize < VolumeIdHeaderSize || labelOffset >= volumeIdSize ||
            std::uint64_t{volumeIdOffset} + volumeIdSize > size)
            return Refuse(error, "volume label out of bounds");
        auto label = in.Zstring(start + volumeIdOffset + labelOffset, start + volumeIdOffset + volumeIdSize);
        auto path = in.Zstring(start + localBasePathOffset, end);
        auto suffix = suffixOffset < size ? in.Zstring(start + suffixOffset, end) : AnsiString();
        if (!label || !path || !suffix)
            return Refuse(error, "link info string not terminated");
        contents.Target.VolumeLabel = *label;
        contents.Link.Path = *path + *suffix;
    }
    in.Seek(end);
    return true;
}

bool ReadStrings(Reader& in, ShellLinkContents& contents, std::string* error) {
    const bool unicode = (contents.Flags & LinkFlag::IsUnicode) != 0;
    const std::pair<std::uint32_t, AnsiString*> fields[] = {
        {LinkFlag::HasName, &contents.Link.Description},
        {LinkFlag::HasRelativePath, nullptr},
        {LinkFlag::HasWorkingDir, &contents.Link.WorkingDirectory},
        {LinkFlag::HasArguments, &contents.Link.Arguments},
        {LinkFlag::HasIconLocation, &contents.Link.IconLocation},
    };
    for (const auto& [flag, field] : fields) {
        if ((contents.Flags & flag) == 0)
            continue;
        auto text = in.Counted(unicode);
        if (!text)
            return Refuse(error, "string data cut short");
        if (field != nullptr)
            *field = *text;
    }
    return true;
}

// Extra data blocks up to the terminal block (a size below 4).
bool ReadExtraData(Reader& in, std::string* error) {
    for (;;) {
        const std::size_t start = in.At();
        if (!in.Has(4))
            return Refuse(error, "terminal block missing");
        const std::uint32_t size = in.U32();
        if (size < 4)
            return true;
        in.Seek(start);
        if (!in.Has(size))
            return Refuse(error, "extra data block out of bounds");
        in.Seek(start + size);
    }
}

} // namespace

std::vector<std::uint8_t> EncodeShellLink(const ShellLinkData& link, const ShellLinkTarget& target) {
    Writer out;
    const std::uint32_t flags = FlagsOf(link);
    out.U32(LinkHeaderSize);
    out.Bytes(ShellLinkClassId);
    out.U32(flags);
    out.U32(target.Attributes);
    out.Time(target.Creation);
    out.Time(target.LastAccess);
    out.Time(target.LastWrite);
    out.U32(target.Size);
    out.U32(static_cast<std::uint32_t>(link.IconIndex));
    out.U32(static_cast<std::uint32_t>(link.ShowCmd));
    out.U16(link.HotKey);
    out.U16(0);
    out.U32(0);
    out.U32(0);
    if ((flags & LinkFlag::HasLinkInfo) != 0)
        WriteLinkInfo(out, link.Path, target);
    for (const AnsiString* text :
         {&link.Description, &link.WorkingDirectory, &link.Arguments, &link.IconLocation})
        if (!text->empty())
            out.Counted(*text);
    out.U32(0); // terminal block
    return std::move(out.Result());
}

std::optional<ShellLinkContents> DecodeShellLink(std::span<const std::uint8_t> bytes, std::string* error) {
    Reader in(bytes);
    if (!in.Has(LinkHeaderSize) || in.U32() != LinkHeaderSize ||
        !std::equal(ShellLinkClassId.begin(), ShellLinkClassId.end(), bytes.begin() + 4)) {
        Refuse(error, "not a shell link header");
        return std::nullopt;
    }
    ShellLinkContents contents;
    in.Seek(0x14);
    contents.Flags = in.U32();
    contents.Target.Attributes = in.U32();
    contents.Target.Creation = in.Time();
    contents.Target.LastAccess = in.Time();
    contents.Target.LastWrite = in.Time();
    contents.Target.Size = in.U32();
    contents.Link.IconIndex = static_cast<std::int32_t>(in.U32());
    contents.Link.ShowCmd = static_cast<std::int32_t>(in.U32());
    contents.Link.HotKey = static_cast<std::uint16_t>(in.U16());
    in.Seek(LinkHeaderSize);
    if ((contents.Flags & LinkFlag::HasLinkTargetIdList) != 0) {
        if (!in.Has(2)) {
            Refuse(error, "item id list cut short");
            return std::nullopt;
        }
        const std::size_t size = in.U16();
        if (!in.Has(size)) {
            Refuse(error, "item id list out of bounds");
            return std::nullopt;
        }
        in.Seek(in.At() + size);
    }
    if ((contents.Flags & LinkFlag::HasLinkInfo) != 0 && !ReadLinkInfo(in, contents, error))
        return std::nullopt;
    if (!ReadStrings(in, contents, error) || !ReadExtraData(in, error))
        return std::nullopt;
    return contents;
}

std::optional<ShellLinkContents> ReadShellLinkFile(const std::string& hostPath, std::string* error) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) {
        Refuse(error, "cannot open the file");
        return std::nullopt;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    return DecodeShellLink(bytes, error);
}

} // namespace vendora
