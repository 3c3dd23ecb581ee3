#pragma once
// The window tests' machine is the memory one: a clock the test sets, and glyph bitmaps looked up by
// relative name in its current folder. Here: the bitmaps they put there.

#include "tests/support/MemoryPlatform.h"

#include <vector>

namespace vendora::test {

// A 24-bit .BMP of the given size, filled with one colour.
inline std::vector<std::uint8_t> SolidBmp(int width, int height, TColor color) {
    int stride = (width * 3 + 3) & ~3;
    std::uint32_t size = 54 + static_cast<std::uint32_t>(stride * height);
    std::vector<std::uint8_t> b(size, 0);
    auto le32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    le32(2, size);
    le32(10, 54);
    le32(14, 40);
    le32(18, static_cast<std::uint32_t>(width));
    le32(22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::size_t at = 54 + static_cast<std::size_t>(y * stride + x * 3);
            b[at] = static_cast<std::uint8_t>(color.Blue());
            b[at + 1] = static_cast<std::uint8_t>(color.Green());
            b[at + 2] = static_cast<std::uint8_t>(color.Red());
        }
    }
    return b;
}

} // namespace vendora::test
