#pragma once
// JPEG files made by the tests themselves with libjpeg, and a scratch folder for them.

#include "gfx/Bitmap.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vendora::testing {

// bitmap compressed with libjpeg at quality, without chroma subsampling.
std::vector<std::uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality = 100);
// The same picture in CMYK, as Adobe writes it (inverted), every pixel the given ink coverage.
std::vector<std::uint8_t> EncodeCmykJpeg(int width, int height, int c, int m, int y, int k);

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// A fresh folder under the system's temporary folder, removed with its content at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace vendora::testing
