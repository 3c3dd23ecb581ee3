#pragma once
// A text engine of fixed metrics for the canvas tests: every character is a 5 x 8 box (ascent 6, descent 2)
// whose outline is the glyph, so that the pixels text touches are known exactly.

#include "gfx/TextEngine.h"

namespace vendora::test {

class BoxTextEngine : public TextEngine {
public:
    static constexpr int Advance = 5;
    FontMetrics Metrics(const FontRequest&) override { return {6, 2}; }
    int TextWidth(const FontRequest&, std::string_view text) override {
        return Advance * static_cast<int>(text.size());
    }
    // Each glyph is the outline of a 3 x 6 box one pixel in from its cell's top-left corner.
    void DrawText(Bitmap& target, const IntRect& clip, int x, int y, const FontRequest&,
                  std::string_view text, TColor color) override {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const int left = x + static_cast<int>(i) * Advance + 1;
            for (int gy = 0; gy < 6; ++gy)
                for (int gx = 0; gx < 3; ++gx)
                    if ((gy == 0 || gy == 5 || gx == 0 || gx == 2) && clip.Contains(left + gx, y + 1 + gy))
                        target.SetPixel(left + gx, y + 1 + gy, color);
        }
    }
};

} // namespace vendora::test
