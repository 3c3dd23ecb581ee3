// The Win32 file system on the real disk: the contract of every file system, and what only Windows does:
// read-only copies, the creation time (which Wine keeps as the last-write time), and folders that
// Windows-1252 cannot name. The whole program runs again under other code pages, where names must still
// reach the disk as they are.

#include "platform/win32/Win32Files.h"
#include "base/Cp1252.h"
#include "tests/platform/FileSystemContract.h"
#include "tests/platform/win32/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vendora::test {
namespace {

// UTF-16 as the disk holds it, in UTF-8 to compare with the other disks' names.
std::string Utf8Of(const std::wstring& wide) {
    std::string utf8;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        std::uint32_t c = static_cast<std::uint16_t>(wide[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<std::uint16_t>(wide[++i]) - 0xDC00);
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (c >> 12));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (c >> 18));
            utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

struct Win32Disk {
    TempFolder Temp;
    Win32FileSystem Disk;

    FileSystem& Files() { return Disk; }
    AnsiString Folder() const { return Temp.Path(); }
    std::vector<std::string> NamesIn(const AnsiString& folder) const {
        std::vector<std::string> names;
        for (const std::wstring& name : test::NamesIn(Wide(folder)))
            names.push_back(Utf8Of(name));
        std::sort(names.begin(), names.end());
        return names;
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemContract, Win32Disk);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, TemporaryCopies, Win32Disk);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, CaseBlindNames, Win32Disk);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, SharingModes, Win32Disk);

using Win32Files = FileSystemTest<Win32Disk>;

TEST_F(Win32Files, AReadOnlyTemporaryCopyIsRemovedAndOneLeftByACrashIsReplaced) {
    const AnsiString from = At("Starmath.ttf");
    WriteFile(from, "font");
    ASSERT_TRUE(::SetFileAttributesW(Wide(from).c_str(), FILE_ATTRIBUTE_READONLY));
    // A folder cannot be replaced by a file: the read-only copy made on the way must still go.
    ASSERT_EQ(Files().CreateDirectory(At("Fonts")).Error(), 0);
    EXPECT_EQ(Files().CopyFile(from, At("Fonts"), false).Error(), WinError::AccessDenied);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Fonts", "Starmath.ttf"}));

    // What a crash left under the temporary name, read-only even, is overwritten by the next copy.
    const AnsiString to = At("Fonts\\Starmath.ttf");
    const AnsiString temporary = TemporarySibling(to);
    WriteFile(temporary, "half a fo");
    ASSERT_TRUE(::SetFileAttributesW(Wide(temporary).c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(Files().CopyFile(from, to, false));
    EXPECT_EQ(ReadFile(to), "font");
    EXPECT_EQ(Names("Fonts"), std::vector<std::string>{"Starmath.ttf"});
}

// Wine keeps no creation time of its own: it reports the last-write time.
TEST_F(Win32Files, TheCreationTimeIsSetAndReadWithIts100Nanoseconds) {
    const AnsiString path = At("Vendora.EXE");
    WriteFile(path, "exe");
    auto file =
        Files().CreateFile(path, ReadWrite, FileShare::None, Disposition::OpenExisting).ValueOr(nullptr);
    ASSERT_TRUE(file);
    const FileTime written = Later(Stamp, 20000003);
    ASSERT_TRUE(file->SetTimes(&Stamp, nullptr, &written));
    FileTime creation;
    ASSERT_TRUE(file->GetTimes(&creation, nullptr, nullptr));
    EXPECT_EQ(creation, RunningUnderWine() ? written : Stamp);
    const FileTime later = Later(Stamp, 864000000000ull);
    ASSERT_TRUE(file->SetTimes(nullptr, nullptr, &later));
    ASSERT_TRUE(file->GetTimes(&creation, nullptr, nullptr));
    EXPECT_EQ(creation, RunningUnderWine() ? later : Stamp);
}

TEST_F(Win32Files, AFolderThatWindows1252CannotNameIsReachedByTheNameTheSystemGave) {
    FileSystem& files = Files();
    // A user's folder on a Russian Windows, given by the system as the current folder.
    const std::wstring foreign = disk_.Temp.WidePath() + L"\\\u0418\u0432\u0430\u043D";
    ASSERT_TRUE(::CreateDirectoryW(foreign.c_str(), nullptr));
    const AnsiString before = files.GetCurrentDirectory();
    ASSERT_TRUE(::SetCurrentDirectoryW(foreign.c_str()));
    const AnsiString seen = files.GetCurrentDirectory();
    ASSERT_TRUE(files.SetCurrentDirectory(before));
    EXPECT_EQ(seen, At("????"));

    WriteFile(seen + Ansi("\\Règlements.QXF"), "forme");
    ASSERT_TRUE(files.CopyFile(seen + Ansi("\\Règlements.QXF"), seen + "\\Copie.QXF", false));
    EXPECT_EQ(NamesIn(foreign), (std::vector<std::wstring>{L"Copie.QXF", L"R\u00E8glements.QXF"}));
    EXPECT_TRUE(files.DirectoryExists(seen));
    ASSERT_TRUE(files.SetCurrentDirectory(seen));
    ASSERT_TRUE(files.SetCurrentDirectory(before));

    // A name found there that Windows-1252 cannot hold opens again after its folder.
    ASSERT_TRUE(
        ::CloseHandle(::CreateFileW((foreign + L"\\\u041E\u0442\u0447\u0451\u0442.txt").c_str(),
                                    GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
    const FileResult<AnsiString> found = files.FindFirst(seen + "\\*.txt");
    ASSERT_EQ(found, AnsiString("?????.txt"));
    EXPECT_TRUE(files.FileExists(seen + "\\" + *found));

    // A '?' that no name of the system accounts for is refused as Windows refuses it, and writes nothing.
    EXPECT_EQ(files.CreateFile(At("?.QXF"), FileAccess::GenericWrite, FileShare::None, Disposition::CreateNew)
                  .Error(),
              WinError::InvalidName);
    EXPECT_EQ(NamesIn(disk_.Temp.WidePath()), std::vector<std::wstring>{L"\u0418\u0432\u0430\u043D"});
}

} // namespace
} // namespace vendora::test
