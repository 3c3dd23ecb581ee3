#include "controls/ShadedShapes.h"

#include "base/Convert.h"
#include "controls/ColorOps.h"

#include <cstdint>

namespace vendora {

namespace {

std::int64_t Part(TColor color, std::int64_t mask) {
    return static_cast<std::int64_t>(color.Value) & mask;
}

// Each product is rounded on its own, then the sum capped; red can only overflow its byte by carrying, so
// it is capped, while green and blue are also masked because the rounding can leave low bits set.
TColor BandRowColor(TColor first, TColor last, double t1, double t2) {
    auto blend = [&](std::int64_t mask) {
        return RoundHalfEven(t1 * static_cast<double>(Part(first, mask))) +
               RoundHalfEven(t2 * static_cast<double>(Part(last, mask)));
    };
    std::int64_t red = blend(0xFF);
    if (red > 0xFF)
        red = 0xFF;
    std::int64_t green = blend(0xFF00);
    green = green > 0xFF00 ? 0xFF00 : green & 0xFF00;
    std::int64_t blue = blend(0xFF0000);
    blue = blue > 0xFF0000 ? 0xFF0000 : blue & 0xFF0000;
    return TColor(static_cast<std::uint32_t>(red + green + blue));
}

void Line(Canvas& canvas, int x1, int y1, int x2, int y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

} // namespace

void FillGradientBand(Canvas& canvas, int x, int y, int w, int h, TColor first, TColor last) {
    first = canvas.Resolve(first);
    last = canvas.Resolve(last);
    if (h <= 0)
        return;
    for (int i = y; i <= y + h; ++i) {
        if (!canvas.RectVisible({x, i, x + w, i + 1}))
            continue;
        const double t1 = static_cast<double>(y + h - i) / h;
        const double t2 = static_cast<double>(i - y) / h;
        canvas.GetPen().Color = BandRowColor(first, last, t1, t2);
        Line(canvas, x, i, x + w, i);
    }
}

void DrawShadedBox(Canvas& canvas, int x, int y, int w, int h, TColor face, TColor step, bool sunken) {
    face = canvas.Resolve(face);
    step = canvas.Resolve(step);
    if (w < 2)
        return;

    // The frame is a 96-dpi pixel thick at the canvas's scale: t lines side by side, each side's lines
    // ending where the one-pixel frame's do, t pixels in from the corners.
    const int t = canvas.GetScale().Line();
    Pen& pen = canvas.GetPen();
    pen.Color = sunken ? FrameDark : FrameLight;
    for (int k = 0; k < t; ++k) {
        Line(canvas, x, y + k, x + w + 1 - 2 * t, y + k);
        Line(canvas, x + k, y, x + k, y + h + 1 - 2 * t);
    }
    pen.Color = sunken ? FrameLight : FrameDark;
    for (int k = 0; k < t; ++k) {
        Line(canvas, x + w - k, y + h, x + w - k, y + t - 1);
        Line(canvas, x + w, y + h - k, x + t - 1, y + h - k);
    }

    const TColor light = AddColors(face, step);
    const TColor dark = SubtractColors(face, step);
    const TColor upper = sunken ? dark : light;
    const TColor lower = sunken ? light : dark;

    // q3 comes from h / 5, not from q2 + q1: the lower band starts where three fifths truncate to, and
    // being painted last it covers the end of the gradient.
    const int q2 = (2 * h) / 5;
    const int q1 = h / 5;
    const int q3 = 3 * (h / 5);
    FillGradientBand(canvas, x + t, y + t, w + 1 - 2 * t, q2 - t, upper, upper);
    FillGradientBand(canvas, x + t, y + q2, w + 1 - 2 * t, q1, upper, lower);
    FillGradientBand(canvas, x + t, y + q3, w + 1 - 2 * t, h - q3 - t, lower, lower);
}

void DarkenRect(Canvas& canvas, int x1, int y1, int x2, int y2, TColor color) {
    color = canvas.Resolve(color);
    // Only pixels inside the clipping region can change, so a huge rectangle costs no more than the canvas.
    const IntRect area = IntRect{x1, y1, x2 + 1, y2 + 1}.Intersected(canvas.Clip());
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            canvas.SetPixel(x, y, SubtractColors(canvas.Pixel(x, y), color));
}

} // namespace vendora
