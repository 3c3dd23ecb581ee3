#pragma once
// A platform of our own interface for the window tests: a clock the test sets, and a current folder of
// files held in memory (read-only), enough for glyph bitmaps looked up by relative name.

#include "platform/FilesOnlyPlatform.h"

#include <cstring>
#include <map>
#include <stdexcept>
#include <vector>

namespace vendora::test {

class MemoryFile : public FileHandle {
public:
    explicit MemoryFile(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    bool Read(void* buffer, std::uint32_t size, std::uint32_t& done) override {
        done = static_cast<std::uint32_t>(std::min<std::size_t>(size, bytes_.size() - position_));
        std::memcpy(buffer, bytes_.data() + position_, done);
        position_ += done;
        return true;
    }
    bool Write(const void*, std::uint32_t, std::uint32_t& done) override {
        done = 0;
        return false;
    }
    bool Seek(std::int64_t position) override {
        position_ = static_cast<std::size_t>(position);
        return true;
    }
    std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }
    bool SetTimes(const FileTime*, const FileTime*, const FileTime*) override { return false; }
    bool GetTimes(FileTime*, FileTime*, FileTime*) override { return false; }
    int LastError() const override { return 5; }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t position_ = 0;
};

class MemoryFiles : public FileSystem {
public:
    std::map<AnsiString, std::vector<std::uint8_t>> Files;
    std::unique_ptr<FileHandle> CreateFile(const AnsiString& path, std::uint32_t, std::uint32_t, Disposition,
                                           int& error) override {
        auto found = Files.find(path);
        if (found == Files.end()) {
            error = 2;
            return nullptr;
        }
        return std::make_unique<MemoryFile>(found->second);
    }
    bool FileExists(const AnsiString& path) override { return Files.count(path) != 0; }
    bool DirectoryExists(const AnsiString&) override { return false; }
    int CreateDirectory(const AnsiString&) override { return 5; }
    bool DeleteFile(const AnsiString&) override { return false; }
    bool CopyFile(const AnsiString&, const AnsiString&, bool) override { return false; }
    bool MoveFileReplace(const AnsiString&, const AnsiString&) override { return false; }
    AnsiString GetCurrentDirectory() override { return "C:\\"; }
    bool SetCurrentDirectory(const AnsiString&) override { return false; }
    std::optional<AnsiString> FindFirst(const AnsiString&) override { return {}; }
};

class MemoryPlatform : public FilesOnlyPlatform {
public:
    MemoryFiles Disk;
    double Day = 40000.0; // the instant Now() reports

    FileSystem& Files() override { return Disk; }
    double Now() override { return Day; }
};

// A 24-bit .BMP of the given size, filled with one colour.
inline std::vector<std::uint8_t> SolidBmp(int width, int height, TColor color) {
    int stride = (width * 3 + 3) & ~3;
    std::uint32_t size = 54 + static_cast<std::uint32_t>(stride * height);
    std::vector<std::uint8_t> b(size, 0);
    auto le32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    b[0] = 'B';
    b[1] = 'M';
    le32(2, size);
    le32(10, 54);
    le32(14, 40);
    le32(18, static_cast<std::uint32_t>(width));
    le32(22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::size_t at = 54 + static_cast<std::size_t>(y * stride + x * 3);
            b[at] = static_cast<std::uint8_t>(color.Blue());
            b[at + 1] = static_cast<std::uint8_t>(color.Green());
            b[at + 2] = static_cast<std::uint8_t>(color.Red());
        }
    }
    return b;
}

} // namespace vendora::test
