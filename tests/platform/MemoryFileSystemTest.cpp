// The memory disk of the tests against the contract every file system keeps.
#include "tests/support/MemoryFileSystem.h"
#include "tests/platform/FileSystemContract.h"

#include <algorithm>

namespace vendora::test {
namespace {

struct MemoryDisk {
    MemoryFileSystem Disk;

    FileSystem& Files() { return Disk; }
    AnsiString Folder() {
        Disk.AddFolder("C:\\Essai");
        return "C:\\Essai";
    }
    std::vector<std::string> NamesIn(const AnsiString& folder) const {
        std::vector<std::string> names;
        for (const AnsiString& name : Disk.NamesIn(folder))
            names.push_back(AnsiToUtf8(name));
        std::sort(names.begin(), names.end());
        return names;
    }
    // The disk full once that many more bytes are written, until the result goes.
    std::shared_ptr<void> LimitWrites(std::uint64_t bytes) {
        Disk.FreeBytes = bytes;
        return std::shared_ptr<void>(nullptr, [this](void*) { Disk.FreeBytes.reset(); });
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, FileSystemContract, MemoryDisk);
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, CaseBlindNames, MemoryDisk);
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, FullDisk, MemoryDisk);

} // namespace
} // namespace vendora::test
