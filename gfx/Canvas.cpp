#include "gfx/Canvas.h"

#include "base/Convert.h"
#include "gfx/Resample.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace vendora {

int Font::Size() const {
    return -MulDiv(height_, 72, PixelsPerInch);
}

Font Font::Scaled(const Scale& scale) const {
    Font font = *this;
    font.height_ = scale.Px(height_);
    font.PixelsPerInch = scale.Dpi();
    return font;
}

void Font::SetSize(int points) {
    height_ = -MulDiv(points, PixelsPerInch, 72);
}

void Brush::SetColor(TColor color) {
    color_ = color;
    if (style_ == BrushStyle::Clear)
        style_ = BrushStyle::Solid;
}

namespace {

// The framework's diagonal-cross hatch: an 8 x 8 cell whose two diagonals carry the brush colour, laid from
// the surface's own top-left corner so that neighbouring fills join up.
bool OnHatch(int x, int y) {
    return ((x - y) & 7) == 0 || ((x + y) & 7) == 7;
}

// Normalised like the system's own rectangle calls: a rectangle given right-to-left or bottom-to-top is the
// same rectangle.
IntRect Ordered(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

} // namespace

Canvas::Canvas(Bitmap& surface, TextEngine& text, SystemColors& colors, Scale scale)
    : surface_(surface), text_(text), colors_(colors), scale_(scale), font_(Font().Scaled(scale)) {}

void Canvas::SetClip(const IntRect& clip) {
    clip_ = clip;
    clipped_ = true;
}

void Canvas::ResetClip() {
    clipped_ = false;
}

IntRect Canvas::DeviceClip() const {
    const IntRect bounds = surface_.Bounds();
    return clipped_ ? clip_.Translated(origin_.X, origin_.Y).Intersected(bounds) : bounds;
}

IntRect Canvas::Clip() const {
    return DeviceClip().Translated(-origin_.X, -origin_.Y);
}

bool Canvas::RectVisible(const IntRect& rect) const {
    return !rect.Translated(origin_.X, origin_.Y).Intersected(DeviceClip()).IsEmpty();
}

// ---------------------------------------------------------------------------------------------------------
// Device-level painting: coordinates on the surface, already clipped.

void Canvas::FillDevice(const IntRect& area, TColor color, BrushStyle style) {
    if (style == BrushStyle::Clear)
        return;
    const IntRect r = area.Intersected(DeviceClip());
    if (r.IsEmpty())
        return;
    const std::uint32_t value = Stored(color);
    for (int y = r.Top; y < r.Bottom; ++y) {
        std::uint32_t* row = surface_.Row(y);
        if (style == BrushStyle::Solid) {
            std::fill(row + r.Left, row + r.Right, value);
            continue;
        }
        for (int x = r.Left; x < r.Right; ++x)
            if (OnHatch(x, y))
                row[x] = value;
    }
}

void Canvas::DrawFocusRect(const IntRect& r) {
    const IntRect outer = r.Translated(origin_.X, origin_.Y);
    const int t = scale_.Line();
    const IntRect inner{outer.Left + t, outer.Top + t, outer.Right - t, outer.Bottom - t};
    const IntRect area = outer.Intersected(DeviceClip());
    // Dots of t x t pixels counted along each band from the rectangle's corner, so that every band is
    // dotted alike at any scale; at one pixel they fall where Windows' pattern puts them.
    auto inverted = [&](int x, int y) {
        const bool across = y < inner.Top || y >= inner.Bottom;
        const int band =
            across ? (y < inner.Top ? outer.Top : inner.Bottom) : (x < inner.Left ? outer.Left : inner.Right);
        const int dot =
            across ? (x - outer.Left) / t + outer.Left + band : (y - outer.Top) / t + outer.Top + band;
        return dot % 2 == 0;
    };
    for (int y = area.Top; y < area.Bottom; ++y) {
        std::uint32_t* row = surface_.Row(y);
        for (int x = area.Left; x < area.Right; ++x) {
            if (!inner.Contains(x, y) && inverted(x, y))
                row[x] ^= 0xFFFFFFu;
        }
    }
}

void Canvas::PlotDevice(int x, int y, std::uint32_t value, const IntRect& clip) {
    const int width = std::max(pen_.Width, 1);
    if (width == 1) {
        if (clip.Contains(x, y))
            surface_.Row(y)[x] = value;
        return;
    }
    // A wide pen stamps a square centred on the thin line's pixel.
    const int from = -(width / 2);
    const IntRect square = IntRect{x + from, y + from, x + from + width, y + from + width}.Intersected(clip);
    if (square.IsEmpty())
        return; // a square just past the clip's left or top would otherwise fill backwards
    for (int sy = square.Top; sy < square.Bottom; ++sy)
        std::fill(surface_.Row(sy) + square.Left, surface_.Row(sy) + square.Right, value);
}

namespace {

// The steps i in [0, count) of a walk from 'start' in direction 'step' (+1 or -1) whose coordinate
// start + step * i lies in [low, high): only those can land a pixel, so a walk that reaches far beyond the
// clip costs no more than one that stays inside it.
std::pair<std::int64_t, std::int64_t> StepsWithin(std::int64_t start, int step, std::int64_t count,
                                                  std::int64_t low, std::int64_t high) {
    const std::int64_t first = step > 0 ? low - start : start - (high - 1);
    const std::int64_t last = step > 0 ? high - start : start - low + 1;
    return {std::max<std::int64_t>(first, 0), std::min(last, count)};
}

} // namespace

// Bresenham's walk from (x0, y0) towards (x1, y1), which it does not reach. Along the major axis every step
// colours one pixel; the minor coordinate is the exact one rounded to nearest, ties toward the start.
void Canvas::LineDevice(int x0, int y0, int x1, int y1) {
    if (pen_.Style == PenStyle::Clear)
        return;
    const IntRect clip = DeviceClip();
    if (clip.IsEmpty())
        return;
    const std::uint32_t value = Stored(pen_.Color);
    if (y0 == y1 && pen_.Width <= 1) {
        // The common case of bands and rules: one span.
        const IntRect span =
            IntRect{std::min(x0, x1 + 1), y0, std::max(x0 + 1, x1), y0 + 1}.Intersected(clip);
        if (!span.IsEmpty() && x0 != x1)
            std::fill(surface_.Row(y0) + span.Left, surface_.Row(y0) + span.Right, value);
        return;
    }
    const std::int64_t dx = std::llabs(std::int64_t{x1} - x0);
    const std::int64_t dy = std::llabs(std::int64_t{y1} - y0);
    const int sx = x1 >= x0 ? 1 : -1;
    const int sy = y1 >= y0 ? 1 : -1;
    const bool xMajor = dx >= dy;
    const std::int64_t major = xMajor ? dx : dy;
    const std::int64_t minor = xMajor ? dy : dx;
    // A wide pen's square reaches no further than its width from the pixel it is centred on.
    const std::int64_t reach = std::max(pen_.Width, 1);
    const auto [from, to] = xMajor ? StepsWithin(x0, sx, major, clip.Left - reach, clip.Right + reach)
                                   : StepsWithin(y0, sy, major, clip.Top - reach, clip.Bottom + reach);
    const std::int64_t acrossLow = (xMajor ? clip.Top : clip.Left) - reach;
    const std::int64_t acrossHigh = (xMajor ? clip.Bottom : clip.Right) + reach;
    for (std::int64_t i = from; i < to; ++i) {
        const std::int64_t off = (2 * i * minor + major - 1) / (2 * major);
        const std::int64_t x = x0 + sx * (xMajor ? i : off);
        const std::int64_t y = y0 + sy * (xMajor ? off : i);
        const std::int64_t across = xMajor ? y : x;
        if (across < acrossLow || across >= acrossHigh)
            continue;
        PlotDevice(static_cast<int>(x), static_cast<int>(y), value, clip);
    }
}

// ---------------------------------------------------------------------------------------------------------

void Canvas::MoveTo(int x, int y) {
    penPos_ = {x, y};
}

void Canvas::LineTo(int x, int y) {
    LineDevice(penPos_.X + origin_.X, penPos_.Y + origin_.Y, x + origin_.X, y + origin_.Y);
    penPos_ = {x, y};
}

// As on the system: with a pen the frame takes the outermost ring (left to right - 1, top to bottom - 1) and
// the brush the inside; with a clear pen the brush alone covers left to right - 2 and top to bottom - 2,
// one pixel less each way than the framed rectangle.
void Canvas::Rectangle(int left, int top, int right, int bottom) {
    const IntRect r = Ordered(left, top, right, bottom).Translated(origin_.X, origin_.Y);
    if (r.IsEmpty())
        return;
    if (pen_.Style == PenStyle::Clear) {
        FillDevice({r.Left, r.Top, r.Right - 1, r.Bottom - 1}, brush_.Color(), brush_.Style());
        return;
    }
    FillDevice({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, brush_.Color(), brush_.Style());
    const IntRect clip = DeviceClip();
    const std::uint32_t value = Stored(pen_.Color);
    // Only the part of each edge within the pen's reach of the clip is walked.
    const std::int64_t reach = std::max(pen_.Width, 1);
    const int fromX = static_cast<int>(std::max<std::int64_t>(r.Left, clip.Left - reach));
    const int toX = static_cast<int>(std::min<std::int64_t>(r.Right, clip.Right + reach));
    for (int x = fromX; x < toX; ++x) {
        PlotDevice(x, r.Top, value, clip);
        PlotDevice(x, r.Bottom - 1, value, clip);
    }
    const int fromY = static_cast<int>(std::max<std::int64_t>(r.Top + 1, clip.Top - reach));
    const int toY = static_cast<int>(std::min<std::int64_t>(r.Bottom - 1, clip.Bottom + reach));
    for (int y = fromY; y < toY; ++y) {
        PlotDevice(r.Left, y, value, clip);
        PlotDevice(r.Right - 1, y, value, clip);
    }
}

void Canvas::FillRect(const IntRect& r) {
    FillDevice(Ordered(r.Left, r.Top, r.Right, r.Bottom).Translated(origin_.X, origin_.Y), brush_.Color(),
               brush_.Style());
}

// ---------------------------------------------------------------------------------------------------------
// Text

void Canvas::TextOut(int x, int y, std::string_view text) {
    const FontRequest request = font_.Request();
    const int width = text_.TextWidth(request, text);
    const int dx = x + origin_.X;
    const int dy = y + origin_.Y;
    // Only a solid brush paints the text background; a hatch, like a clear brush, leaves it showing.
    if (brush_.Style() == BrushStyle::Solid)
        FillDevice(IntRect::FromSize(dx, dy, width, text_.Metrics(request).CellHeight()), brush_.Color(),
                   BrushStyle::Solid);
    const IntRect clip = DeviceClip();
    if (!clip.IsEmpty() && !text.empty())
        text_.DrawText(surface_, clip, dx, dy, request, text, Resolve(font_.Color));
    // The framework leaves the pen position just after the text.
    penPos_ = {x + width, y};
}

int Canvas::TextWidth(std::string_view text) {
    return text_.TextWidth(font_.Request(), text);
}

// The cell height of the font, whatever the characters, as the system's text extent reports it.
int Canvas::TextHeight(std::string_view) {
    return text_.Metrics(font_.Request()).CellHeight();
}

// ---------------------------------------------------------------------------------------------------------
// Pixels

// Reads the surface whatever the clipping; outside the surface reads black.
TColor Canvas::Pixel(int x, int y) const {
    return surface_.Pixel(x + origin_.X, y + origin_.Y);
}

void Canvas::SetPixel(int x, int y, TColor color) {
    const int dx = x + origin_.X;
    const int dy = y + origin_.Y;
    if (DeviceClip().Contains(dx, dy))
        surface_.Row(dy)[dx] = Stored(color);
}

// Nearest pixel, each axis on its own: destination pixel i of n takes source pixel
// floor((2i + 1) * size / 2n), the one under its centre.
namespace {

std::vector<int> SourceIndexes(int destSize, int sourceSize, int from, int to) {
    std::vector<int> map;
    map.reserve(static_cast<std::size_t>(std::max(to - from, 0)));
    for (int i = from; i < to; ++i)
        map.push_back(
            static_cast<int>((2 * std::int64_t{i} + 1) * sourceSize / (2 * std::int64_t{destSize})));
    return map;
}

} // namespace

void Canvas::BlitDevice(const IntRect& dest, const Bitmap& source, const IntRect& from) {
    if (dest.IsEmpty() || from.IsEmpty())
        return;
    const IntRect visible = dest.Intersected(DeviceClip());
    if (visible.IsEmpty())
        return;
    const std::vector<int> xs =
        SourceIndexes(dest.Width(), from.Width(), visible.Left - dest.Left, visible.Right - dest.Left);
    const std::vector<int> ys =
        SourceIndexes(dest.Height(), from.Height(), visible.Top - dest.Top, visible.Bottom - dest.Top);
    for (int j = 0; j < visible.Height(); ++j) {
        const int sy = from.Top + ys[static_cast<std::size_t>(j)];
        if (sy < 0 || sy >= source.Height())
            continue; // nothing to copy from outside the source
        const std::uint32_t* src = source.Row(sy);
        std::uint32_t* dst = surface_.Row(visible.Top + j);
        for (int i = 0; i < visible.Width(); ++i) {
            const int sx = from.Left + xs[static_cast<std::size_t>(i)];
            if (sx >= 0 && sx < source.Width())
                dst[visible.Left + i] = src[sx];
        }
    }
}

void Canvas::StretchDraw(const IntRect& dest, const Bitmap& bitmap) {
    if (bitmap.Empty())
        return;
    BlitDevice(dest.Translated(origin_.X, origin_.Y), bitmap, bitmap.Bounds());
}

void Canvas::SmoothStretchDraw(const IntRect& dest, const Bitmap& bitmap) {
    const IntRect to = dest.Translated(origin_.X, origin_.Y);
    const IntRect visible = to.Intersected(DeviceClip());
    if (bitmap.Empty() || visible.IsEmpty())
        return;
    const auto xs = AreaWeights(to.Width(), bitmap.Width(), visible.Left - to.Left, visible.Right - to.Left);
    const auto ys = AreaWeights(to.Height(), bitmap.Height(), visible.Top - to.Top, visible.Bottom - to.Top);
    for (int j = 0; j < visible.Height(); ++j) {
        std::uint32_t* dst = surface_.Row(visible.Top + j) + visible.Left;
        for (int i = 0; i < visible.Width(); ++i)
            dst[i] = AreaAverage(bitmap, xs[static_cast<std::size_t>(i)], ys[static_cast<std::size_t>(j)]);
    }
}

// A copy between rectangles of one size: rows move with memmove, bottom-up when the destination lies below
// the source, so that every row is read before it is overwritten.
void Canvas::ShiftDevice(const IntRect& dest, int dx, int dy) {
    const IntRect to = dest.Intersected(DeviceClip()).Intersected(surface_.Bounds().Translated(dx, dy));
    if (to.IsEmpty())
        return;
    const auto bytes = static_cast<std::size_t>(to.Width()) * sizeof(std::uint32_t);
    const auto move = [&](int y) {
        std::memmove(surface_.Row(y) + to.Left, surface_.Row(y - dy) + (to.Left - dx), bytes);
    };
    if (dy > 0)
        for (int y = to.Bottom - 1; y >= to.Top; --y)
            move(y);
    else
        for (int y = to.Top; y < to.Bottom; ++y)
            move(y);
}

// The source is read in full before anything is written, so overlapping rectangles copy as if through a
// separate buffer, in either direction. Rectangles of different sizes stretch like StretchDraw.
void Canvas::CopyRect(const IntRect& dest, const IntRect& source) {
    if (dest.Width() == source.Width() && dest.Height() == source.Height()) {
        ShiftDevice(dest.Translated(origin_.X, origin_.Y), dest.Left - source.Left, dest.Top - source.Top);
        return;
    }
    const IntRect from = source.Translated(origin_.X, origin_.Y);
    const IntRect readable = from.Intersected(surface_.Bounds());
    if (readable.IsEmpty() || dest.IsEmpty() || from.IsEmpty())
        return;
    Bitmap copy(readable.Width(), readable.Height());
    for (int y = readable.Top; y < readable.Bottom; ++y)
        std::copy(surface_.Row(y) + readable.Left, surface_.Row(y) + readable.Right,
                  copy.Row(y - readable.Top));
    // Pixels whose source lies off the surface keep their colour.
    BlitDevice(dest.Translated(origin_.X, origin_.Y), copy, from.Translated(-readable.Left, -readable.Top));
}

} // namespace vendora
