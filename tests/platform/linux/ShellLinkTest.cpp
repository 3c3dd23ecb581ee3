#include "TempRoot.h"

#include "base/Convert.h"
#include "platform/linux/ShellLinkFile.h"

using namespace vendora;
using vendora::test::TempRoot;

namespace {

class ShellLinks : public TempRoot {};

const FileTime Stamp{0x925859B0u, 0x01CB0262u};

ShellLinkData VendoraLink() {
    ShellLinkData link;
    link.Path = "c:\\Vendora\\Vendora.EXE";
    link.WorkingDirectory = "c:\\Vendora";
    link.Description = Ansi("Vendora est une application réalisée avec Quillbox © Morvanel");
    link.IconLocation = "c:\\Vendora\\Vendora.EXE";
    link.ShowCmd = 9;
    return link;
}

std::uint32_t Le32At(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(ReadLe32(reinterpret_cast<const unsigned char*>(bytes.data() + at)));
}
std::uint32_t Le16At(const std::string& bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8);
}

} // namespace

TEST_F(ShellLinks, TheDesktopShortcutIsARealLnkFile) {
    ASSERT_EQ(Files().CreateDirectory("C:\\Vendora").Error(), 0);
    WriteFile("C:\\Vendora\\Vendora.EXE", "program");
    {
        auto exe = Files()
                       .CreateFile("C:\\Vendora\\Vendora.EXE", FileAccess::GenericWrite, FileShare::Read,
                                   Disposition::OpenExisting)
                       .ValueOr(nullptr);
        ASSERT_TRUE(exe);
        ASSERT_TRUE(exe->SetTimes(&Stamp, &Stamp, &Stamp));
    }
    ShellLinkData link = VendoraLink();
    link.HotKey = 0x0641; // Ctrl+Alt+A
    link.IconIndex = 2;
    const AnsiString shortcut = "C:\\Users\\tester\\Desktop\\" + Ansi("Vendora © Morvanel.lnk");
    ASSERT_TRUE(Os().SaveShellLink(link, shortcut));

    const std::string bytes = ReadHostFile(DriveC("Users/tester/Desktop/Vendora © Morvanel.lnk"));
    ASSERT_GE(bytes.size(), 0x4Cu);
    EXPECT_EQ(Le32At(bytes, 0x00), 0x4Cu);
    EXPECT_EQ(bytes.substr(4, 16),
              std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16));
    EXPECT_EQ(Le32At(bytes, 0x14), 0x02u | 0x04u | 0x10u | 0x40u | 0x80u); // no arguments
    EXPECT_EQ(Le32At(bytes, 0x18), 0x20u);                                 // archive
    EXPECT_EQ(Le32At(bytes, 0x1C), Stamp.Low);
    EXPECT_EQ(Le32At(bytes, 0x20), Stamp.High);
    EXPECT_EQ(Le32At(bytes, 0x2C), Stamp.Low);
    EXPECT_EQ(Le32At(bytes, 0x34), 7u); // file size
    EXPECT_EQ(Le32At(bytes, 0x38), 2u); // icon index
    EXPECT_EQ(Le32At(bytes, 0x3C), 9u); // show command
    EXPECT_EQ(Le16At(bytes, 0x40), 0x0641u);
    EXPECT_EQ(Le32At(bytes, 0x44), 0u);
    // Link info right after the header, with the local path in Windows-1252.
    const std::uint32_t infoSize = Le32At(bytes, 0x4C);
    EXPECT_EQ(Le32At(bytes, 0x4C + 8), 1u); // volume id and local base path
    const std::uint32_t volume = 0x4C + Le32At(bytes, 0x4C + 12);
    EXPECT_EQ(Le32At(bytes, volume + 4), 3u); // fixed drive
    const std::uint32_t localPath = 0x4C + Le32At(bytes, 0x4C + 16);
    EXPECT_EQ(std::string(bytes.c_str() + localPath), "c:\\Vendora\\Vendora.EXE");
    // The description follows in UTF-16: its count, then the characters.
    const std::size_t strings = 0x4C + infoSize;
    EXPECT_EQ(Le16At(bytes, strings), link.Description.size());
    EXPECT_EQ(Le16At(bytes, strings + 2), static_cast<std::uint32_t>('V'));
    EXPECT_EQ(Le32At(bytes, bytes.size() - 4), 0u); // terminal block

    auto read = Os().ReadShellLink("c:\\users\\TESTER\\desktop\\" + Ansi("VENDORA © MORVANEL.LNK"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Link.Path, link.Path);
    EXPECT_EQ(read->Link.WorkingDirectory, link.WorkingDirectory);
    EXPECT_EQ(read->Link.Description, link.Description);
    EXPECT_EQ(read->Link.Arguments, "");
    EXPECT_EQ(read->Link.IconLocation, link.IconLocation);
    EXPECT_EQ(read->Link.IconIndex, 2);
    EXPECT_EQ(read->Link.ShowCmd, 9);
    EXPECT_EQ(read->Link.HotKey, 0x0641);
    EXPECT_EQ(read->Target.LastWrite, Stamp);
    EXPECT_EQ(read->Target.Creation, Stamp);
    EXPECT_EQ(read->Target.Size, 7u);
    EXPECT_EQ(read->Target.DriveType, DriveFixed);
}

TEST_F(ShellLinks, EveryStringAndAnAbsentTargetRoundTrip) {
    ShellLinkData link = VendoraLink();
    link.Path = "Outils\\absent.exe"; // relative: recorded in full
    link.Arguments = Ansi("\"D:\\Ma Caisse\" -été");
    link.ShowCmd = 3;
    link.IconIndex = -1;
    ASSERT_TRUE(Os().SaveShellLink(link, "C:\\Raccourci.lnk"));
    auto read = Os().ReadShellLink("C:\\Raccourci.lnk");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Link.Path, "C:\\Outils\\absent.exe");
    EXPECT_EQ(read->Link.Arguments, link.Arguments);
    EXPECT_EQ(read->Link.ShowCmd, 3);
    EXPECT_EQ(read->Link.IconIndex, -1);
    EXPECT_EQ(read->Link.HotKey, 0);
    EXPECT_EQ(read->Target.Attributes, 0u);
    EXPECT_EQ(read->Target.LastWrite, FileTime{});
    EXPECT_EQ(read->Flags & LinkFlag::HasArguments, LinkFlag::HasArguments);
}

TEST_F(ShellLinks, SavingFailsWhereWindowsCannotWrite) {
    EXPECT_FALSE(Os().SaveShellLink(VendoraLink(), "C:\\Absent\\Vendora.lnk"));
    EXPECT_FALSE(Os().SaveShellLink(VendoraLink(), "\\\\server\\share\\Vendora.lnk"));
    EXPECT_FALSE(Os().SaveShellLink(VendoraLink(), "C:\\Users")); // a folder
    // A shortcut of the same name is overwritten.
    ASSERT_TRUE(Os().SaveShellLink(VendoraLink(), "C:\\V.lnk"));
    ShellLinkData other = VendoraLink();
    other.Description = "autre";
    ASSERT_TRUE(Os().SaveShellLink(other, "c:\\v.LNK"));
    EXPECT_EQ(Os().ReadShellLink("C:\\V.lnk")->Link.Description, "autre");
}

TEST(ShellLinkFile, DamagedFilesAreRefusedWithoutReadingPastTheEnd) {
    ShellLinkData link = VendoraLink();
    link.Arguments = "x";
    ShellLinkTarget target;
    target.VolumeLabel = "DISQUE";
    const std::vector<std::uint8_t> bytes = EncodeShellLink(link, target);
    auto whole = DecodeShellLink(bytes);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->Target.VolumeLabel, "DISQUE");
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::string error;
        EXPECT_FALSE(DecodeShellLink(std::span(bytes.data(), size), &error)) << size;
        EXPECT_FALSE(error.empty());
    }
    std::vector<std::uint8_t> wrongClass = bytes;
    wrongClass[4] ^= 1;
    EXPECT_FALSE(DecodeShellLink(wrongClass));
    std::vector<std::uint8_t> hugeOffset = bytes;
    WriteLe32(&hugeOffset[0x4C + 12], 0xFFFFFFF8u); // volume id offset
    EXPECT_FALSE(DecodeShellLink(hugeOffset));
}

TEST(ShellLinkFile, ReadsAnsiStringsItemIdListsAndExtraBlocksOfOtherWriters) {
    // A header with an item id list and ANSI strings, as older shells wrote them.
    std::vector<std::uint8_t> bytes = EncodeShellLink(ShellLinkData{}, ShellLinkTarget{});
    bytes.resize(0x4C);
    WriteLe32(&bytes[0x14], LinkFlag::HasLinkTargetIdList | LinkFlag::HasName | LinkFlag::HasArguments);
    for (std::uint8_t b : std::initializer_list<std::uint8_t>{
             4, 0, 2, 0, 0, 0}) // id list of 4 bytes: one empty item and the terminator
        bytes.push_back(b);
    for (std::uint8_t b : std::initializer_list<std::uint8_t>{3, 0, 'a', 0xE9, 'b', 1, 0, 'x'})
        bytes.push_back(b);
    for (std::uint8_t b : std::initializer_list<std::uint8_t>{8, 0, 0, 0, 1, 2, 3, 4, 0, 0, 0,
                                                              0}) // one extra block, then the terminal block
        bytes.push_back(b);
    auto read = DecodeShellLink(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Link.Description, Ansi("aéb"));
    EXPECT_EQ(read->Link.Arguments, "x");

    // Strings counted with a terminating zero, as Wine writes them, lose it.
    bytes.resize(0x4C + 6);
    for (std::uint8_t b :
         std::initializer_list<std::uint8_t>{4, 0, 'a', 'b', 'c', 0, 2, 0, 'x', 0, 0, 0, 0, 0})
        bytes.push_back(b);
    read = DecodeShellLink(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Link.Description, "abc");
    EXPECT_EQ(read->Link.Arguments, "x");
    EXPECT_EQ(read->Link.Path, "");
}
