#include "gfx/Bitmap.h"

#include "platform/Platform.h"
#include "tests/support/MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace vendora {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, unsigned v) {
    b.at(at) = static_cast<std::uint8_t>(v);
    b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

// A .BMP written the way the system's own files are: file header, BITMAPINFOHEADER, palette, rows padded
// to four bytes. value(x, y) gives the palette index (indexed depths) or the colour (true colour) of the
// pixel at (x, y) counted from the top.
struct BmpSpec {
    int Width = 3;
    int Height = 2;
    int Bits = 24;
    bool TopDown = false;
    std::vector<TColor> Palette;
    std::function<std::uint32_t(int, int)> Value;
    int Compression = 0;
};

Bytes MakeBmp(const BmpSpec& s) {
    const std::size_t stride = (static_cast<std::size_t>(s.Width) * s.Bits + 31) / 32 * 4;
    const std::size_t masks = s.Compression == 3 ? 12 : 0;
    const std::size_t offBits = 14 + 40 + masks + 4 * s.Palette.size();
    Bytes b(offBits + stride * s.Height, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, static_cast<std::uint32_t>(offBits));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(s.Width));
    Put32(b, 22, static_cast<std::uint32_t>(s.TopDown ? -s.Height : s.Height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<unsigned>(s.Bits));
    Put32(b, 30, static_cast<std::uint32_t>(s.Compression));
    Put32(b, 46, static_cast<std::uint32_t>(s.Palette.size()));
    if (masks != 0) {
        Put32(b, 54, 0xFF0000);
        Put32(b, 58, 0xFF00);
        Put32(b, 62, 0xFF);
    }
    for (std::size_t i = 0; i < s.Palette.size(); ++i) {
        const std::size_t at = 54 + masks + 4 * i;
        b[at] = static_cast<std::uint8_t>(s.Palette[i].Blue());
        b[at + 1] = static_cast<std::uint8_t>(s.Palette[i].Green());
        b[at + 2] = static_cast<std::uint8_t>(s.Palette[i].Red());
    }
    for (int y = 0; y < s.Height; ++y) {
        const int fileRow = s.TopDown ? y : s.Height - 1 - y;
        std::uint8_t* row = b.data() + offBits + stride * fileRow;
        for (int x = 0; x < s.Width; ++x) {
            const std::uint32_t v = s.Value(x, y);
            switch (s.Bits) {
            case 1:
                row[x / 8] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] |= static_cast<std::uint8_t>((v & 15) << (x % 2 ? 0 : 4));
                break;
            case 8:
                row[x] = static_cast<std::uint8_t>(v);
                break;
            default: {
                std::uint8_t* p = row + x * (s.Bits / 8);
                const TColor c(v);
                p[0] = static_cast<std::uint8_t>(c.Blue());
                p[1] = static_cast<std::uint8_t>(c.Green());
                p[2] = static_cast<std::uint8_t>(c.Red());
            }
            }
        }
    }
    return b;
}

std::vector<TColor> Ramp(int n) {
    std::vector<TColor> p;
    for (int i = 0; i < n; ++i)
        p.push_back(TColor::Rgb(i * 7 % 256, 255 - i % 256, (i * 13) % 256));
    return p;
}

void ExpectPixels(const Bitmap& b, const BmpSpec& s) {
    ASSERT_EQ(b.Width(), s.Width);
    ASSERT_EQ(b.Height(), s.Height);
    for (int y = 0; y < s.Height; ++y)
        for (int x = 0; x < s.Width; ++x) {
            const std::uint32_t v = s.Value(x, y);
            const TColor expected = s.Bits <= 8 ? s.Palette[v] : TColor(v & 0xFFFFFF);
            ASSERT_EQ(b.Pixel(x, y), expected) << s.Bits << " bits, " << x << "," << y;
        }
}

TEST(BmpTest, EveryDepthBottomUpAndTopDown) {
    for (int bits : {1, 4, 8, 24, 32})
        for (bool topDown : {false, true}) {
            BmpSpec s;
            s.Bits = bits;
            s.TopDown = topDown;
            s.Width = 13; // odd widths exercise the row padding and the partial bytes
            s.Height = 5;
            if (bits <= 8) {
                s.Palette = Ramp(1 << bits);
                s.Value = [bits](int x, int y) {
                    return static_cast<std::uint32_t>((x * 3 + y * 5) % (1 << bits));
                };
            } else {
                s.Value = [](int x, int y) { return TColor::Rgb(x * 19, y * 41, x * y + 7).Value; };
            }
            ExpectPixels(DecodeBmp(MakeBmp(s)), s);
        }
}

TEST(BmpTest, ShortPaletteAndIndexesBeyondIt) {
    BmpSpec s;
    s.Bits = 8;
    s.Width = 4;
    s.Height = 1;
    s.Palette = {clRed, clBlue};
    s.Value = [](int x, int) { return static_cast<std::uint32_t>(x); };
    const Bitmap b = DecodeBmp(MakeBmp(s));
    EXPECT_EQ(b.Pixel(0, 0), clRed);
    EXPECT_EQ(b.Pixel(1, 0), clBlue);
    EXPECT_EQ(b.Pixel(2, 0), clBlack);
    EXPECT_EQ(b.Pixel(3, 0), clBlack);
}

TEST(BmpTest, PlainThirtyTwoBitMasksAreAccepted) {
    BmpSpec s;
    s.Bits = 32;
    s.Compression = 3;
    s.Value = [](int x, int y) { return TColor::Rgb(x, y, 200).Value; };
    ExpectPixels(DecodeBmp(MakeBmp(s)), s);
}

TEST(BmpTest, CoreHeaderFilesDecode) {
    // BITMAPCOREHEADER: 16-bit sizes and three-byte palette entries. A 2 x 1 one-bit picture.
    Bytes b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 32, 0,   0,   0,   12,   0, 0, 0,
               2,   0,   1, 0, 1, 0, 1, 0, 0, 0, 0,  255, 255, 255, 0x40, 0, 0, 0};
    const Bitmap bmp = DecodeBmp(b);
    ASSERT_EQ(bmp.Width(), 2);
    EXPECT_EQ(bmp.Pixel(0, 0), clBlack);
    EXPECT_EQ(bmp.Pixel(1, 0), clWhite);
}

TEST(BmpTest, AnythingElseIsAClearError) {
    BmpSpec good;
    good.Value = [](int, int) { return 0u; };
    const Bytes base = MakeBmp(good);
    std::map<std::string, Bytes> cases;
    cases["empty"] = {};
    cases["not BM"] = base;
    cases["not BM"][0] = 'X';
    cases["truncated pixels"] = Bytes(base.begin(), base.end() - 1);
    cases["truncated header"] = Bytes(base.begin(), base.begin() + 30);
    auto with = [&](std::size_t at, std::uint32_t v, int width = 4) {
        Bytes b = base;
        if (width == 2)
            Put16(b, at, v);
        else
            Put32(b, at, v);
        return b;
    };
    cases["RLE8"] = with(30, 1);
    cases["RLE4"] = with(30, 2);
    cases["JPEG inside"] = with(30, 4);
    cases["16 bits"] = with(28, 16, 2);
    cases["2 planes"] = with(26, 2, 2);
    cases["zero width"] = with(18, 0);
    cases["negative width"] = with(18, 0xFFFFFFFF);
    cases["zero height"] = with(22, 0);
    // Absurd sizes with a few bytes of data: refused before anything is allocated for them.
    cases["huge width"] = with(18, 0x7FFFFFFF);
    cases["huge height"] = with(22, 0x80000001);
    cases["wide but short of data"] = with(18, 30000);
    cases["pixels past the end"] = with(10, static_cast<std::uint32_t>(base.size() + 10));
    cases["bitfields on 24 bits"] = with(30, 3);
    cases["info header of 41 bytes"] = with(14, 41 + 1000);
    BmpSpec masks;
    masks.Bits = 32;
    masks.Compression = 3;
    masks.Value = good.Value;
    Bytes odd = MakeBmp(masks);
    Put32(odd, 54, 0x7C00); // 5-5-5 masks
    cases["other masks"] = odd;
    BmpSpec pal;
    pal.Bits = 8;
    pal.Palette = Ramp(256);
    pal.Value = good.Value;
    Bytes shortPalette = MakeBmp(pal);
    shortPalette.resize(54 + 100);
    cases["truncated palette"] = shortPalette;
    for (const auto& [name, bytes] : cases) {
        try {
            DecodeBmp(bytes);
            ADD_FAILURE() << name << " was accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(e.Message().find("L'image bitmap n'est pas valide"), std::string::npos) << name;
        }
    }
}

TEST(BmpTest, LoadsAFileThroughTheFileSystem) {
    BmpSpec s;
    s.Width = 16;
    s.Height = 16;
    s.Value = [](int x, int y) { return TColor::Rgb(x * 16, y * 16, 0).Value; };
    test::MemoryFileSystem files;
    files.AddFile("C:\\OK.BMP", MakeBmp(s));
    files.AddFile("C:\\BAD.BMP", {'B', 'M', 1, 2, 3});
    ExpectPixels(LoadBitmapFile(files, "C:\\OK.BMP"), s);
    EXPECT_THROW(LoadBitmapFile(files, "C:\\BAD.BMP"), EInvalidGraphic);
    EXPECT_THROW(LoadBitmapFile(files, "C:\\NONE.BMP"), EFOpenError);
}

} // namespace
} // namespace vendora
