// Feeds arbitrary bytes to the archive reader. The first byte picks the layer: even, the bytes after it are
// an envelope to inflate and then split; odd, they are an inflated archive to split directly (random bytes
// rarely make a valid zlib stream, so the table needs its own way in). Every failure must be one of the
// system's errors; anything else, a crash, a leak or a hang, is a fault.
#include "archive/ArchiveFormat.h"
#include "archive/Concatene.h"
#include "archive/ZCompress.h"
#include "platform/posix/HostFileSystem.h"
#include "tests/support/RecordingExtractionUi.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace vendora;

const fs::path& WorkFolder() {
    static const fs::path folder = [] {
        fs::path path = fs::temp_directory_path() / ("vendora-fuzz-archive-" + std::to_string(::getpid()));
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

void Clear(const fs::path& folder) {
    std::error_code ignored;
    for (const auto& item : fs::directory_iterator(folder, ignored))
        fs::remove_all(item.path(), ignored);
}

void Split(HostFileSystem& files, const MemoryStream& inflated) {
    test::RecordingExtractionUi ui;
    SplitInflated(inflated.Bytes(), FromHostPath((WorkFolder() / "fuzz.CTN").string()), files, ui);
}

} // namespace

// The work folder goes at exit; registered once the folder exists, so that it is removed before the path is.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    WorkFolder();
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(WorkFolder(), ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    HostFileSystem files;
    MemoryStream input;
    input.Write(data + 1, static_cast<std::uint32_t>(size - 1));
    input.Seek(0);
    try {
        if ((data[0] & 1) != 0) {
            Split(files, input);
        } else {
            MemoryStream output;
            TZCompress().DecompressStream(input, output);
            Split(files, output);
        }
    } catch (const Exception&) {
        // The system's own errors are the expected outcome of damaged input.
    }
    Clear(WorkFolder());
    return 0;
}
