// Compares a window's picture from the native build with the same window under Wine, pixel by pixel,
// telling differences in text from differences elsewhere:
//
//   vendora-pixel-diff NATIVE.png WINE.png [--picture DIFF.png] [--text-colour RRGGBB]... [--bottom N]
//
// Text is drawn without antialiasing in both builds, so every pixel of a glyph has exactly the colour of
// its text. A pixel counts as text in a picture when it has one of the text colours (black, and the
// markup's blue and red unless --text-colour names others) and lies in a connected patch of that colour
// (8 neighbours) no more than 40 pixels high: a letter, letters that touch, or an underline with the
// letters it touches, however wide; the largest text of these windows is about 20 pixels high. The
// frames and buttons are drawn in other colours (the button's edges are shadow and highlight colours),
// and a taller patch never counts as text. A differing pixel is a text difference when it is text in
// either picture: GDI and FreeType place and shape glyphs differently, and wider text moves the words
// after it. Every other differing pixel is a fault.
//
// A window whose height follows its text (the message window) is taller on the side whose text wraps
// into more lines. With --bottom N its last N rows (the buttons) are compared aligned on the windows'
// bottoms and the rows above aligned on their tops, so that the frame and the buttons are still compared
// pixel for pixel; the rows the taller side has beyond are its text's, and the widths must be equal.
//
// Prints the share of differing pixels, how many are text, the first differing pixel outside text, and
// how many text pixels each picture holds (text missing on one side shows there). --picture writes the
// Wine picture greyed with text differences in yellow and the others in red. Exit code 0 when the sizes
// are the same and every pixel outside text is identical, 1 otherwise, 2 for bad arguments or unreadable
// pictures.

#include "gfx/png/Png.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

using namespace vendora;

namespace {

struct Options {
    std::string Native, Wine, Picture;
    std::vector<TColor> TextColours;
    int Bottom = -1; // rows compared aligned on the bottoms when the heights differ; -1: none
};

constexpr int TextMaxHeight = 40;

bool ParseColour(const std::string& text, TColor& colour) {
    if (text.size() != 6)
        return false;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 16);
    if (*end != '\0')
        return false;
    colour = TColor::Rgb(static_cast<int>(value >> 16), static_cast<int>((value >> 8) & 0xFF),
                         static_cast<int>(value & 0xFF));
    return true;
}

bool Parse(int argc, char** argv, Options& options) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--picture" && i + 1 < argc) {
            options.Picture = argv[++i];
        } else if (arg == "--bottom" && i + 1 < argc) {
            char* end = nullptr;
            const long rows = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || rows < 0 || rows > 10000)
                return false;
            options.Bottom = static_cast<int>(rows);
        } else if (arg == "--text-colour" && i + 1 < argc) {
            TColor colour;
            if (!ParseColour(argv[++i], colour))
                return false;
            options.TextColours.push_back(colour);
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2)
        return false;
    options.Native = files[0];
    options.Wine = files[1];
    if (options.TextColours.empty())
        options.TextColours = {TColor::Rgb(0, 0, 0), TColor::Rgb(0, 0, 255), TColor::Rgb(255, 0, 0)};
    return true;
}

bool IsTextColour(const Options& options, TColor colour) {
    for (const TColor text : options.TextColours)
        if (text.Value == colour.Value)
            return true;
    return false;
}

// One flag a pixel: part of a patch of a text colour no taller than a line of text.
std::vector<bool> TextMask(const Bitmap& picture, const Options& options) {
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

Counts Compare(const Bitmap& native, const Bitmap& wine, const Options& options, Bitmap* picture) {
    const std::vector<bool> nativeText = TextMask(native, options), wineText = TextMask(wine, options);
    Counts counts;
    for (int y = 0; y < native.Height(); ++y) {
        for (int x = 0; x < native.Width(); ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * native.Width() + x;
            counts.NativeText += nativeText[i] ? 1 : 0;
            counts.WineText += wineText[i] ? 1 : 0;
            const TColor a = native.Pixel(x, y), b = wine.Pixel(x, y);
            if (picture != nullptr) {
                const int grey = 160 + (b.Red() + b.Green() + b.Blue()) / 9;
                picture->SetPixel(x, y, TColor::Rgb(grey, grey, grey));
            }
            if (a.Value == b.Value)
                continue;
            ++counts.Differing;
            const bool text = nativeText[i] || wineText[i];
            if (text) {
                ++counts.Text;
            } else if (counts.Outside++ == 0) {
                counts.FirstOutside = {x, y};
            }
            if (picture != nullptr)
                picture->SetPixel(x, y, text ? TColor::Rgb(255, 200, 0) : TColor::Rgb(255, 0, 0));
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

int Run(const Options& options) {
    Bitmap native = LoadPng(options.Native), wine = LoadPng(options.Wine);
    // Pictures of different sizes are a fault of their own; their common part is still compared, to show
    // where the layouts part.
    const bool sameSize = native.Width() == wine.Width() && native.Height() == wine.Height();
    const int width = std::min(native.Width(), wine.Width()),
              height = std::min(native.Height(), wine.Height());
    // Heights that differ by the text's lines alone, the buttons' rows compared on the bottoms.
    const bool textGrowth =
        !sameSize && native.Width() == wine.Width() && options.Bottom >= 0 && options.Bottom <= height;
    if (textGrowth) {
        std::printf(
            "heights differ by the text's lines: native %d, wine %d; comparing the top %d rows on the "
            "tops and the last %d on the bottoms\n",
            native.Height(), wine.Height(), height - options.Bottom, options.Bottom);
        native = Crop(native, width, height, options.Bottom);
        wine = Crop(wine, width, height, options.Bottom);
    } else if (!sameSize) {
        std::printf("sizes differ: native %dx%d, wine %dx%d; comparing the top left %dx%d\n", native.Width(),
                    native.Height(), wine.Width(), wine.Height(), width, height);
        native = Crop(native, width, height);
        wine = Crop(wine, width, height);
    }
    Bitmap picture(native.Width(), native.Height());
    const Counts counts = Compare(native, wine, options, options.Picture.empty() ? nullptr : &picture);
    const long total = static_cast<long>(native.Width()) * native.Height();
    std::printf("size %dx%d; differing %ld of %ld pixels (%.2f %%): text %ld (%.2f %%), outside text %ld "
                "(%.2f %%); text pixels: native %ld, wine %ld\n",
                native.Width(), native.Height(), counts.Differing, total, Percent(counts.Differing, total),
                counts.Text, Percent(counts.Text, total), counts.Outside, Percent(counts.Outside, total),
                counts.NativeText, counts.WineText);
    if (counts.Outside > 0) {
        const IntPoint p = counts.FirstOutside;
        std::printf("first difference outside text at (%d, %d): native %s, wine %s\n", p.X, p.Y,
                    Hex(native.Pixel(p.X, p.Y)).c_str(), Hex(wine.Pixel(p.X, p.Y)).c_str());
    }
    if (!options.Picture.empty())
        SavePng(picture, options.Picture);
    return (sameSize || textGrowth) && counts.Outside == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: vendora-pixel-diff NATIVE.png WINE.png [--picture DIFF.png] "
                             "[--text-colour RRGGBB]... [--bottom N]\n");
        return 2;
    }
    try {
        return Run(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vendora-pixel-diff: %s\n", error.what());
        return 2;
    }
}
