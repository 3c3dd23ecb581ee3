#include "gfx/png/Png.h"

#include <png.h>

#include <fstream>
#include <iterator>
#include <limits>

namespace vendora {

std::vector<std::uint8_t> EncodePng(const Bitmap& bitmap) {
    if (bitmap.Empty())
        throw EInvalidGraphic("an empty bitmap has no PNG form");
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(bitmap.Width()) * bitmap.Height() * 3);
    std::size_t at = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const TColor c = ColorOfPixel(bitmap.Row(y)[x]);
            rgb[at++] = static_cast<std::uint8_t>(c.Red());
            rgb[at++] = static_cast<std::uint8_t>(c.Green());
            rgb[at++] = static_cast<std::uint8_t>(c.Blue());
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(bitmap.Width());
    image.height = static_cast<png_uint_32>(bitmap.Height());
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr))
        throw EInvalidGraphic(std::string("PNG encoding failed: ") + image.message);
    std::vector<std::uint8_t> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr))
        throw EInvalidGraphic(std::string("PNG encoding failed: ") + image.message);
    out.resize(size);
    return out;
}

Bitmap DecodePng(std::span<const std::uint8_t> bytes) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        throw EInvalidGraphic(std::string("not a readable PNG: ") + image.message);
    // The same ceiling as for .BMP files: beyond it the header is damaged, not a real picture.
    if (image.width == 0 || image.height == 0 || image.width > 32768 || image.height > 32768) {
        png_image_free(&image);
        throw EInvalidGraphic("PNG of unsupported size");
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        throw EInvalidGraphic(std::string("damaged PNG: ") + image.message);
    Bitmap bitmap(static_cast<int>(image.width), static_cast<int>(image.height));
    std::size_t at = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x, at += 3)
            bitmap.Row(y)[x] = PixelOf(TColor::Rgb(rgb[at], rgb[at + 1], rgb[at + 2]));
    return bitmap;
}

void SavePng(const Bitmap& bitmap, const std::string& path) {
    const std::vector<std::uint8_t> bytes = EncodePng(bitmap);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw Exception("cannot write " + path);
}

Bitmap LoadPng(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Exception("cannot read " + path);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    return DecodePng(bytes);
}

} // namespace vendora
