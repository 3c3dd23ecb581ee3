#include "installer/FileStamp.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

using namespace vendora;
using vendora::test::MemoryFileSystem;
using vendora::test::MemoryPlatform;

namespace {
// Days from 1601-01-01 to a date of the Gregorian calendar.
long long DaysSince1601(int year, int month, int day) {
    long long days = 0;
    for (int y = 1601; y < year; ++y)
        days += (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0)) ? 366 : 365;
    static constexpr int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int m = 1; m < month; ++m)
        days +=
            monthDays[m - 1] + ((m == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 1 : 0);
    return days + day - 1;
}
} // namespace

TEST(FileStamp, FixedTimeIsTheSecondOfJuneTwoThousandTen) {
    const long long seconds = DaysSince1601(2010, 6, 2) * 86400LL + 14 * 3600 + 47 * 60 + 49;
    EXPECT_EQ(FixedFileTime.Ticks(), static_cast<std::uint64_t>(seconds) * 10000000ULL + 5505328ULL);
    EXPECT_EQ(FixedFileTime.High, 0x01CB0262u);
    EXPECT_EQ(FixedFileTime.Low, 0x925859B0u);
}

TEST(FileStamp, OpensForReadWriteSharedForReadCreatingAndStampsAllThreeTimes) {
    MemoryPlatform platform;
    auto& files = platform.Disk;
    files.AddFolder("C:\\Vendora");
    StampFixedTime(files, "C:\\Vendora\\Vendora.EXE");
    EXPECT_EQ(files.OpenedPaths(), (std::vector<AnsiString>{"C:\\Vendora\\Vendora.EXE"}));
    EXPECT_EQ(files.Opens.back().Access, FileAccess::GenericRead | FileAccess::GenericWrite);
    EXPECT_EQ(files.Opens.back().Share, FileShare::Read);
    EXPECT_EQ(files.Opens.back().How, Disposition::OpenAlways);
    EXPECT_EQ(files.SetTimesCalls, 1);
    const auto times = files.TimesOf("C:\\Vendora\\Vendora.EXE");
    ASSERT_TRUE(times.has_value());
    EXPECT_EQ(times->Creation, FixedFileTime);
    EXPECT_EQ(times->LastAccess, FixedFileTime);
    EXPECT_EQ(times->LastWrite, FixedFileTime);

    // A file that cannot be opened is left alone, without an error.
    files.OnCreateFile = [](int, const AnsiString&) { return WinError::SharingViolation; };
    EXPECT_NO_THROW(StampFixedTime(files, "C:\\Vendora\\Vendora.EXE"));
    EXPECT_EQ(files.SetTimesCalls, 1);
    // The path is a 255-character string.
    (void)StampFileTime(files, "C:\\" + AnsiString(300, 'x'));
    EXPECT_EQ(files.OpenedPaths().back().size(), 255u);
}
