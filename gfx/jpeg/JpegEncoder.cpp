#include "gfx/jpeg/JpegEncoder.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace vendora {

std::vector<std::uint8_t> EncodeJpeg(const JpegPicture& picture, int quality, bool fullChroma) {
    const int components = picture.Ink == JpegInk::Rgb ? 3 : 4;
    const std::size_t stride = static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(components);
    if (picture.Width <= 0 || picture.Height <= 0 ||
        picture.Samples.size() != stride * static_cast<std::size_t>(picture.Height)) {
        throw std::invalid_argument("EncodeJpeg: the samples do not fill the picture");
    }
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(picture.Width);
    info.image_height = static_cast<JDIMENSION>(picture.Height);
    info.input_components = components;
    info.in_color_space = picture.Ink == JpegInk::Rgb ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (fullChroma) {
        for (int i = 0; i < info.num_components; ++i) {
            info.comp_info[i].h_samp_factor = 1;
            info.comp_info[i].v_samp_factor = 1;
        }
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        // libjpeg reads the rows only; its interface is not const.
        JSAMPROW row = const_cast<JSAMPLE*>(picture.Samples.data()) + info.next_scanline * stride;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

} // namespace vendora
