#include "JpegFiles.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <jpeglib.h>

namespace vendora::testing {

namespace {

std::vector<std::uint8_t> Compress(int width, int height, int components, J_COLOR_SPACE space,
                                   const std::vector<JSAMPLE>& samples, int quality) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    for (int i = 0; i < info.num_components; ++i) {
        info.comp_info[i].h_samp_factor = 1;
        info.comp_info[i].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    const std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(samples.data()) + info.next_scanline * stride;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

} // namespace

std::vector<std::uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality) {
    std::vector<JSAMPLE> samples;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const TColor c = bitmap.Pixel(x, y);
            samples.push_back(static_cast<JSAMPLE>(c.Red()));
            samples.push_back(static_cast<JSAMPLE>(c.Green()));
            samples.push_back(static_cast<JSAMPLE>(c.Blue()));
        }
    return Compress(bitmap.Width(), bitmap.Height(), 3, JCS_RGB, samples, quality);
}

std::vector<std::uint8_t> EncodeCmykJpeg(int width, int height, int c, int m, int y, int k) {
    std::vector<JSAMPLE> samples;
    for (int i = 0; i < width * height; ++i)
        for (int ink : {c, m, y, k})
            samples.push_back(static_cast<JSAMPLE>(255 - ink));
    return Compress(width, height, 4, JCS_CMYK, samples, 100);
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
