#include "gfx/Bitmap.h"

#include "base/Convert.h"
#include "base/Cp1252.h"
#include "base/SystemColors.h"
#include "platform/Platform.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace vendora {

namespace {

std::uint32_t Stored(TColor color) {
    return PixelOf(CheckedRgb(color));
}

std::size_t PixelCount(int width, int height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

} // namespace

Bitmap::Bitmap(int width, int height, TColor fill) {
    SetSize(width, height);
    Fill(fill);
}

void Bitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_)
        return;
    std::vector<std::uint32_t> pixels(PixelCount(width, height), PixelOf(clWhite));
    const int keepW = std::min(width, width_);
    const int keepH = std::min(height, height_);
    for (int y = 0; y < keepH; ++y)
        std::copy_n(Row(y), keepW, pixels.data() + PixelCount(width, y));
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
}

void Bitmap::Fill(TColor color) {
    std::fill(pixels_.begin(), pixels_.end(), Stored(color));
}

TColor Bitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return clBlack;
    return ColorOfPixel(Row(y)[x]);
}

void Bitmap::SetPixel(int x, int y, TColor color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    Row(y)[x] = Stored(color);
}

// ---------------------------------------------------------------------------------------------------------
// .BMP reading

namespace {

constexpr int BiRgb = 0;
constexpr int BiRle8 = 1;
constexpr int BiRle4 = 2;
constexpr int BiBitfields = 3;

// Wider or taller than any screen the system will ever meet; a header beyond it is damaged.
constexpr std::int64_t MaxSide = 32768;

[[noreturn]] void Invalid(std::string_view why) {
    throw EInvalidGraphic(Ansi("L'image bitmap n'est pas valide (" + std::string(why) + ")"));
}

std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(ReadLe32(p));
}

struct BmpHeader {
    std::int64_t Width = 0;
    std::int64_t Height = 0; // positive: bottom-up
    int Bits = 0;
    int Compression = BiRgb;
    std::int64_t ColorsUsed = 0;
    std::size_t PaletteOffset = 0;
    int PaletteEntrySize = 4;
    std::size_t DataOffset = 0;
};

void CheckMasks(const std::uint8_t* masks) {
    if (Le32(masks) != 0xFF0000u || Le32(masks + 4) != 0xFF00u || Le32(masks + 8) != 0xFFu)
        Invalid("masques de couleur non pris en charge");
}

BmpHeader ReadHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 14 + 12 || bytes[0] != 'B' || bytes[1] != 'M')
        Invalid("en-tête absent");
    const std::uint8_t* info = bytes.data() + 14;
    const std::uint32_t infoSize = Le32(info);
    BmpHeader h;
    if (infoSize == 12) {
        h.Width = Le16(info + 4);
        h.Height = Le16(info + 6);
        if (Le16(info + 8) != 1)
            Invalid("nombre de plans");
        h.Bits = Le16(info + 10);
        h.PaletteEntrySize = 3;
        h.PaletteOffset = 14 + 12;
    } else {
        if (infoSize < 40 || infoSize > 1024 || bytes.size() < 14 + static_cast<std::size_t>(infoSize))
            Invalid("en-tête tronqué ou inconnu");
        h.Width = static_cast<std::int32_t>(Le32(info + 4));
        h.Height = static_cast<std::int32_t>(Le32(info + 8));
        if (Le16(info + 12) != 1)
            Invalid("nombre de plans");
        h.Bits = Le16(info + 14);
        h.Compression = static_cast<int>(Le32(info + 16));
        h.ColorsUsed = Le32(info + 32);
        h.PaletteOffset = 14 + infoSize;
        if (h.Compression == BiBitfields) {
            if (h.Bits != 32)
                Invalid("masques de couleur non pris en charge");
            if (infoSize >= 52) {
                CheckMasks(info + 40);
            } else {
                if (bytes.size() < h.PaletteOffset + 12)
                    Invalid("masques de couleur tronqués");
                CheckMasks(bytes.data() + h.PaletteOffset);
                h.PaletteOffset += 12;
            }
        } else if (h.Compression == BiRle8 || h.Compression == BiRle4) {
            Invalid("compression RLE non prise en charge");
        } else if (h.Compression != BiRgb) {
            Invalid("compression non prise en charge");
        }
    }
    if (h.Bits != 1 && h.Bits != 4 && h.Bits != 8 && h.Bits != 24 && h.Bits != 32)
        Invalid("profondeur de couleur non prise en charge");
    if (h.Width <= 0 || h.Height == 0 || h.Width > MaxSide || h.Height > MaxSide || h.Height < -MaxSide)
        Invalid("dimensions incorrectes");
    if (h.Bits > 8)
        h.ColorsUsed = 0; // a palette beside true colour is only a display hint
    else if (h.ColorsUsed == 0 || h.ColorsUsed > (std::int64_t{1} << h.Bits))
        h.ColorsUsed = std::int64_t{1} << h.Bits;
    const std::size_t paletteEnd =
        h.PaletteOffset + static_cast<std::size_t>(h.ColorsUsed) * h.PaletteEntrySize;
    if (paletteEnd > bytes.size())
        Invalid("palette tronquée");
    const std::uint32_t offBits = Le32(bytes.data() + 10);
    h.DataOffset = offBits == 0 ? paletteEnd : offBits;
    if (h.DataOffset < h.PaletteOffset || h.DataOffset > bytes.size())
        Invalid("position des pixels incorrecte");
    return h;
}

std::vector<std::uint32_t> ReadPalette(std::span<const std::uint8_t> bytes, const BmpHeader& h) {
    std::vector<std::uint32_t> palette(static_cast<std::size_t>(h.ColorsUsed));
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const std::uint8_t* e = bytes.data() + h.PaletteOffset + i * h.PaletteEntrySize;
        palette[i] = PixelOf(TColor::Rgb(e[2], e[1], e[0]));
    }
    return palette;
}

void DecodeRow(const std::uint8_t* src, int bits, int width, const std::vector<std::uint32_t>& palette,
               std::uint32_t* dst) {
    const auto indexed = [&](unsigned index) {
        return index < palette.size() ? palette[index] : PixelOf(clBlack); // beyond the palette: black
    };
    for (int x = 0; x < width; ++x) {
        switch (bits) {
        case 1:
            dst[x] = indexed((src[x >> 3] >> (7 - (x & 7))) & 1u);
            break;
        case 4:
            dst[x] = indexed((x & 1) ? (src[x >> 1] & 0x0Fu) : (src[x >> 1] >> 4));
            break;
        case 8:
            dst[x] = indexed(src[x]);
            break;
        default: {
            const std::uint8_t* p = src + static_cast<std::ptrdiff_t>(x) * (bits / 8);
            dst[x] = PixelOf(TColor::Rgb(p[2], p[1], p[0]));
        }
        }
    }
}

} // namespace

Bitmap DecodeBmp(std::span<const std::uint8_t> bytes) {
    const BmpHeader h = ReadHeader(bytes);
    const bool bottomUp = h.Height > 0;
    const std::int64_t height = bottomUp ? h.Height : -h.Height;
    const std::int64_t stride = (h.Width * h.Bits + 31) / 32 * 4;
    // The pixel data must all be there before anything is allocated for it.
    if (stride * height > static_cast<std::int64_t>(bytes.size() - h.DataOffset))
        Invalid("données tronquées");
    const std::vector<std::uint32_t> palette = ReadPalette(bytes, h);
    Bitmap result(static_cast<int>(h.Width), static_cast<int>(height));
    for (std::int64_t row = 0; row < height; ++row) {
        const std::uint8_t* src = bytes.data() + h.DataOffset + row * stride;
        const int y = static_cast<int>(bottomUp ? height - 1 - row : row);
        DecodeRow(src, h.Bits, static_cast<int>(h.Width), palette, result.Row(y));
    }
    return result;
}

Bitmap LoadBitmapFile(FileSystem& files, const AnsiString& path) {
    const std::unique_ptr<FileHandle> file = OpenForReading(files, path);
    const std::int64_t size = file->Size();
    // A bitmap of the largest size this reader accepts stays far below this.
    if (size < 0 || size > (std::int64_t{1} << 30))
        Invalid("fichier trop grand");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        std::uint32_t done = 0;
        const auto want = static_cast<std::uint32_t>(std::min<std::size_t>(bytes.size() - got, 1u << 20));
        OrRaise(file->Read(bytes.data() + got, want, done), FileErrorAs::InOut);
        if (done == 0)
            break;
        got += done;
    }
    bytes.resize(got);
    return DecodeBmp(bytes);
}

} // namespace vendora
