#include "JpegFiles.h"

#include "gfx/jpeg/JpegEncoder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace vendora::testing {

std::vector<std::uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality) {
    JpegPicture picture{bitmap.Width(), bitmap.Height(), JpegInk::Rgb, {}};
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const TColor c = bitmap.Pixel(x, y);
            picture.Samples.push_back(static_cast<std::uint8_t>(c.Red()));
            picture.Samples.push_back(static_cast<std::uint8_t>(c.Green()));
            picture.Samples.push_back(static_cast<std::uint8_t>(c.Blue()));
        }
    return vendora::EncodeJpeg(picture, quality, true);
}

std::vector<std::uint8_t> EncodeCmykJpeg(int width, int height, int c, int m, int y, int k) {
    JpegPicture picture{width, height, JpegInk::Cmyk, {}};
    for (int i = 0; i < width * height; ++i)
        for (int ink : {c, m, y, k})
            picture.Samples.push_back(static_cast<std::uint8_t>(255 - ink));
    return vendora::EncodeJpeg(picture, 100, true);
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vendora-pictures-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a scratch folder");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace vendora::testing
