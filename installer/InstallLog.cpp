#include "installer/InstallLog.h"

#include "base/Cp1252.h"

#include <cmath>
#include <cstdint>
#include <utility>

namespace vendora {

namespace {

// The byte order mark tells Windows' own tools (Notepad, PowerShell 5) that the file is UTF-8.
constexpr char Utf8Mark[] = "\xEF\xBB\xBF";

// Days since 1970-01-01 as a civil date (Howard Hinnant's days_from_civil, inverted).
void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<std::uint32_t>(days - era * 146097);
    const std::uint32_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::uint32_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::uint32_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0));
}

// The number with leading zeros up to width digits; no formatting library in the Windows program.
AnsiString Digits(std::int64_t value, std::size_t width) {
    const AnsiString digits = IntToStr(value);
    return digits.size() < width ? AnsiString(width - digits.size(), '0') + digits : digits;
}

} // namespace

AnsiString WindowsCodeText(int code) {
    return " (code Windows " + IntToStr(code) + ")";
}

AnsiString FormatLogTime(double day) {
    // 1899-12-30 is 25569 days before 1970-01-01.
    constexpr double UnixEpochInDays = 25569.0;
    const auto seconds = static_cast<std::int64_t>(std::floor((day - UnixEpochInDays) * 86400.0 + 0.0005));
    const std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const std::int64_t inDay = seconds - days * 86400;
    int year = 0;
    int month = 0;
    int date = 0;
    CivilFromDays(days, year, month, date);
    return Digits(year, 4) + "-" + Digits(month, 2) + "-" + Digits(date, 2) + " " + Digits(inDay / 3600, 2) +
           ":" + Digits(inDay / 60 % 60, 2) + ":" + Digits(inDay % 60, 2);
}

AnsiString DefaultLogPath(Platform& machine) {
    const AnsiString folder = machine.TempFolder();
    return (folder.empty() ? AnsiString("C:\\Windows\\Temp") : folder) + "\\Vendora-install.log";
}

FileStatus InstallLog::Open(Platform& machine, const AnsiString& path) {
    OpenedFile opened = machine.Files().CreateFile(path, FileAccess::GenericWrite, FileShare::Read,
                                                   Disposition::CreateAlways);
    path_ = path;
    machine_ = &machine;
    // A log that cannot be opened holds no file, whatever it held before.
    const int openError = opened.Error();
    file_ = std::move(opened).ValueOr(nullptr);
    if (file_ == nullptr)
        return FileError{openError};
    std::uint32_t done = 0;
    const FileStatus written = file_->Write(Utf8Mark, 3, done);
    if (written && done == 3)
        return {};
    file_.reset();
    return FileError{written.Error() != 0 ? written.Error() : WinError::DiskFull};
}

void InstallLog::Line(const AnsiString& text) {
    if (file_ != nullptr)
        Write(AnsiToUtf8(FormatLogTime(machine_->Now()) + "  " + text) + "\r\n");
}

bool InstallLog::Write(const std::string& utf8) {
    std::uint32_t done = 0;
    if (file_->Write(utf8.data(), static_cast<std::uint32_t>(utf8.size()), done) && done == utf8.size())
        return true;
    file_.reset();
    return false;
}

} // namespace vendora
