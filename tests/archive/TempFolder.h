#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end.

#include "base/Cp1252.h"
#include "platform/posix/HostFileSystem.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace vendora::testing {

class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() / ("vendora-arch-" + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The host path of a file inside, given in UTF-8.
    std::filesystem::path Host(const std::string& utf8Name) const { return path_ / utf8Name; }
    // The same in the system's syntax: Windows-1252 with '\'.
    AnsiString Win(const std::string& utf8Name = "") const {
        const std::string host = utf8Name.empty() ? path_.string() : (path_ / utf8Name).string();
        return FromHostPath(host);
    }

private:
    std::filesystem::path path_;
};

inline std::vector<unsigned char> ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteHostFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace vendora::testing
