#pragma once
// A picture in memory: 24-bit colour, one 32-bit word per pixel. Every canvas draws into one of these, on
// every build. A bitmap holds RGB only: the colours handed to it (fill, SetPixel) are RGB, a system colour
// having no value without a machine's colours (resolve it first, with Canvas::Resolve or RgbOf); one that
// reaches it unresolved raises std::logic_error.

#include "base/Color.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "gfx/Geometry.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vendora {

// A pixel word holds its colour the way Windows device-independent bitmaps and X11 images do: blue in the low
// byte, then green, then red. GDI can draw straight into the words and both window systems show them as they
// are; TColor (red in the low byte) stays the colour of every drawing call. The swap is its own inverse.
constexpr std::uint32_t PixelOf(TColor rgb) {
    const std::uint32_t v = rgb.Value;
    return ((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu);
}
constexpr TColor ColorOfPixel(std::uint32_t word) {
    return TColor(PixelOf(TColor(word)));
}

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, TColor fill = clWhite);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    IntRect Bounds() const { return {0, 0, width_, height_}; }

    // New size; the pixels that stay keep their colour, new ones are white.
    void SetSize(int width, int height);
    void Fill(TColor color);

    // Pixels outside the bitmap read as black and ignore writes.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // The pixel words of row y (see PixelOf).
    std::uint32_t* Row(int y) {
        return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    }
    const std::uint32_t* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    }

    friend bool operator==(const Bitmap&, const Bitmap&) = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

class FileSystem;

// An uncompressed .BMP (1, 4, 8, 24 or 32 bits per pixel). Anything else raises EInvalidGraphic.
Bitmap DecodeBmp(std::span<const std::uint8_t> bytes);
// The .BMP file at path: EFOpenError when it cannot be opened, EInvalidGraphic as DecodeBmp.
Bitmap LoadBitmapFile(FileSystem& files, const AnsiString& path);

// The framework's graphics error, raised for a picture file that cannot be read as its kind.
class EInvalidGraphic : public Exception {
    using Exception::Exception;
};

} // namespace vendora
