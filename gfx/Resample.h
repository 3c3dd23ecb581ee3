#pragma once
// Smooth resizing of pictures for screens denser than 96 dpi: each device pixel takes the average of the
// picture's pixels under it, weighted by the area they cover ("pixel mixing"). A whole-number enlargement
// repeats every pixel exactly and keeps edges sharp; other factors blend only along the edges.

#include "gfx/Bitmap.h"
#include "gfx/Geometry.h"
#include "gfx/Scale.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vendora {

// How much each source index weighs in each of count destination indexes spread over size source
// indexes, for the destination indexes first..last - 1.
struct AreaWeight {
    int Source = 0;
    double Weight = 0;
};
std::vector<std::vector<AreaWeight>> AreaWeights(int count, int size, int first, int last);

// The average of the pixels of source under one destination pixel, as a pixel word (see PixelOf). With a
// key word, pixels of that word take no part, and a destination pixel more than half covered by them is
// the key word itself; a blend that happens to equal the key is moved off it by one step of blue.
std::uint32_t AreaAverage(const Bitmap& source, const std::vector<AreaWeight>& xs,
                          const std::vector<AreaWeight>& ys, std::optional<std::uint32_t> key = std::nullopt);

// source resized to width x height. With a key colour, pixels of that colour are transparent: they take
// no part in the average, and a destination pixel more than half transparent gets the key colour itself.
Bitmap Resampled(const Bitmap& source, int width, int height);
Bitmap Resampled(const Bitmap& source, int width, int height, TColor key);

// A glyph designed at 96 dpi, and its copy at the scale last asked for, resampled once per scale. The
// glyph's transparent colour is the one of its top-left or bottom-left pixel, and stays transparent.
class ScaledGlyph {
public:
    enum class KeyCorner { TopLeft, BottomLeft };
    explicit ScaledGlyph(KeyCorner corner) : corner_(corner) {}
    const Bitmap& Design() const { return design_; }
    void Set(const Bitmap& design);
    const Bitmap& At(const Scale& scale);

private:
    KeyCorner corner_;
    Bitmap design_;
    Bitmap scaled_;
    Scale scaledFor_;
};

} // namespace vendora
