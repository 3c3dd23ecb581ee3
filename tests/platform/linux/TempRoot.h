#pragma once
// A fresh emulated machine for each test, removed afterwards.

#include "base/Cp1252.h"
#include "platform/linux/LinuxPlatform.h"
#include "tests/support/WholeFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

namespace vendora::test {

// A new folder under the temporary folder, for a machine's root and what lies beside it.
inline std::string NewScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/vendora-plat-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("no scratch folder: " + pattern);
    return pattern;
}

// A machine whose root is base + "/root", for the user "tester", logging its shell starts to shellLog.
inline std::unique_ptr<LinuxPlatform> NewMachine(const std::string& base, const std::string& shellLog) {
    LinuxPlatformOptions options;
    options.Root = base + "/root";
    options.User = "tester";
    options.ShellLog = shellLog;
    return std::make_unique<LinuxPlatform>(options);
}

class TempRoot : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = NewScratchFolder();
        root_ = base_ + "/root";
        platform_ = NewMachine(base_, ShellLogPath());
    }
    void TearDown() override {
        platform_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(base_, ignored);
    }

    LinuxPlatform& Os() { return *platform_; }
    EmulatedFileSystem& Files() { return platform_->Files(); }
    // The host path of the C: drive, and of a path below it (UTF-8, '/' separators).
    std::string DriveC(const std::string& below = "") const {
        return root_ + "/drive_c" + (below.empty() ? "" : "/" + below);
    }
    std::string ShellLogPath() const { return base_ + "/shell.log"; }

    static void WriteHostFile(const std::string& path, const std::string& content) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << content;
    }
    static std::string ReadHostFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }
    // Writes a file through the platform.
    void WriteFile(const AnsiString& path, const std::string& content) {
        WriteWholeFile(Files(), path, content);
    }

    std::string base_;
    std::string root_;
    std::unique_ptr<LinuxPlatform> platform_;
};

} // namespace vendora::test
