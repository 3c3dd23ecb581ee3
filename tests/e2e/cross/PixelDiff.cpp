#include "tests/e2e/cross/PixelDiff.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace vendora::e2e {

namespace {

constexpr int TextMaxHeight = 40;

bool IsTextColour(const PixelDiffOptions& options, TColor colour) {
    for (const TColor text : options.TextColours)
        if (text.Value == colour.Value)
            return true;
    return false;
}

// One flag a pixel: part of a patch of a text colour no taller than a line of text.
std::vector<bool> TextMask(const Bitmap& picture, const PixelDiffOptions& options) {
    const int width = picture.Width(), height = picture.Height();
    const auto index = [width](int x, int y) { return static_cast<std::size_t>(y) * width + x; };
    std::vector<bool> mask(static_cast<std::size_t>(width) * height, false);
    std::vector<bool> seen(mask.size(), false);
    std::vector<IntPoint> patch, stack;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const TColor colour = picture.Pixel(x, y);
            if (seen[index(x, y)] || !IsTextColour(options, colour))
                continue;
            patch.clear();
            stack.assign(1, IntPoint{x, y});
            seen[index(x, y)] = true;
            IntRect box{x, y, x + 1, y + 1};
            while (!stack.empty()) {
                const IntPoint p = stack.back();
                stack.pop_back();
                patch.push_back(p);
                box = {std::min(box.Left, p.X), std::min(box.Top, p.Y), std::max(box.Right, p.X + 1),
                       std::max(box.Bottom, p.Y + 1)};
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = p.X + dx, ny = p.Y + dy;
                        if (nx < 0 || ny < 0 || nx >= width || ny >= height || seen[index(nx, ny)] ||
                            picture.Pixel(nx, ny).Value != colour.Value)
                            continue;
                        seen[index(nx, ny)] = true;
                        stack.push_back({nx, ny});
                    }
                }
            }
            if (box.Height() <= TextMaxHeight)
                for (const IntPoint p : patch)
                    mask[index(p.X, p.Y)] = true;
        }
    }
    return mask;
}

std::string Hex(TColor colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colour.Red(), colour.Green(), colour.Blue());
    return text;
}

struct Counts {
    long Differing = 0, Text = 0, Outside = 0, NativeText = 0, WineText = 0;
    IntPoint FirstOutside{-1, -1};
};

Counts Compare(const Bitmap& native, const Bitmap& wine, const PixelDiffOptions& options, Bitmap& picture) {
    const std::vector<bool> nativeText = TextMask(native, options), wineText = TextMask(wine, options);
    Counts counts;
    for (int y = 0; y < native.Height(); ++y) {
        for (int x = 0; x < native.Width(); ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * native.Width() + x;
            counts.NativeText += nativeText[i] ? 1 : 0;
            counts.WineText += wineText[i] ? 1 : 0;
            const TColor a = native.Pixel(x, y), b = wine.Pixel(x, y);
            const int grey = 160 + (b.Red() + b.Green() + b.Blue()) / 9;
            picture.SetPixel(x, y, TColor::Rgb(grey, grey, grey));
            if (a.Value == b.Value)
                continue;
            ++counts.Differing;
            const bool text = nativeText[i] || wineText[i];
            if (text) {
                ++counts.Text;
            } else if (counts.Outside++ == 0) {
                counts.FirstOutside = {x, y};
            }
            picture.SetPixel(x, y, text ? TColor::Rgb(255, 200, 0) : TColor::Rgb(255, 0, 0));
        }
    }
    return counts;
}

// The picture cut to width x height: its top rows, and its last bottom rows below them.
Bitmap Crop(const Bitmap& picture, int width, int height, int bottom = 0) {
    Bitmap part(width, height);
    for (int y = 0; y < height; ++y) {
        const int from = y < height - bottom ? y : picture.Height() - (height - y);
        for (int x = 0; x < width; ++x)
            part.SetPixel(x, y, picture.Pixel(x, from));
    }
    return part;
}

double Percent(long part, long whole) {
    return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

std::string Format(const char* format, auto... values) {
    char text[512];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

} // namespace

PixelDiff ComparePictures(Bitmap native, Bitmap wine, const PixelDiffOptions& options) {
    PixelDiff diff;
    // Pictures of different sizes are a fault of their own; their common part is still compared, to show
    // where the layouts part.
    const bool sameSize = native.Width() == wine.Width() && native.Height() == wine.Height();
    const int width = std::min(native.Width(), wine.Width()),
              height = std::min(native.Height(), wine.Height());
    // Heights that differ by the text's lines alone, the buttons' rows compared on the bottoms.
    const bool textGrowth =
        !sameSize && native.Width() == wine.Width() && options.Bottom >= 0 && options.Bottom <= height;
    if (textGrowth) {
        diff.Report =
            Format("heights differ by the text's lines: native %d, wine %d; comparing the top %d rows "
                   "on the tops and the last %d on the bottoms; ",
                   native.Height(), wine.Height(), height - options.Bottom, options.Bottom);
        native = Crop(native, width, height, options.Bottom);
        wine = Crop(wine, width, height, options.Bottom);
    } else if (!sameSize) {
        diff.Report = Format("sizes differ: native %dx%d, wine %dx%d; comparing the top left %dx%d; ",
                             native.Width(), native.Height(), wine.Width(), wine.Height(), width, height);
        native = Crop(native, width, height);
        wine = Crop(wine, width, height);
    }
    diff.Picture = Bitmap(native.Width(), native.Height());
    const Counts counts = Compare(native, wine, options, diff.Picture);
    const long total = static_cast<long>(native.Width()) * native.Height();
    diff.Report +=
        Format("size %dx%d; differing %ld of %ld pixels (%.2f %%): text %ld (%.2f %%), outside text "
               "%ld (%.2f %%); text pixels: native %ld, wine %ld",
               native.Width(), native.Height(), counts.Differing, total, Percent(counts.Differing, total),
               counts.Text, Percent(counts.Text, total), counts.Outside, Percent(counts.Outside, total),
               counts.NativeText, counts.WineText);
    if (counts.Outside > 0) {
        const IntPoint p = counts.FirstOutside;
        diff.Report += Format("; first difference outside text at (%d, %d): native %s, wine %s", p.X, p.Y,
                              Hex(native.Pixel(p.X, p.Y)).c_str(), Hex(wine.Pixel(p.X, p.Y)).c_str());
    }
    diff.Same = (sameSize || textGrowth) && counts.Outside == 0;
    return diff;
}

} // namespace vendora::e2e
