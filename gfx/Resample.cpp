#include "gfx/Resample.h"

#include <algorithm>
#include <cmath>

namespace vendora {

std::vector<std::vector<AreaWeight>> AreaWeights(int count, int size, int first, int last) {
    std::vector<std::vector<AreaWeight>> weights;
    if (count <= 0 || size <= 0)
        return weights;
    const double step = static_cast<double>(size) / count;
    for (int i = first; i < last; ++i) {
        std::vector<AreaWeight> row;
        const double from = i * step;
        const double to = from + step;
        for (int s = static_cast<int>(std::floor(from)); s < size && s < to; ++s) {
            const double covered = std::min<double>(to, s + 1) - std::max<double>(from, s);
            if (covered > 1e-9)
                row.push_back({s, covered / step});
        }
        weights.push_back(std::move(row));
    }
    return weights;
}

std::uint32_t AreaAverage(const Bitmap& source, const std::vector<AreaWeight>& xs,
                          const std::vector<AreaWeight>& ys, std::optional<std::uint32_t> key) {
    double sum[3] = {0, 0, 0};
    double opaque = 0;
    for (const AreaWeight& wy : ys) {
        const std::uint32_t* row = source.Row(wy.Source);
        for (const AreaWeight& wx : xs) {
            const std::uint32_t word = row[wx.Source];
            if (key && word == *key)
                continue;
            const double weight = wx.Weight * wy.Weight;
            opaque += weight;
            for (int c = 0; c < 3; ++c)
                sum[c] += weight * static_cast<double>((word >> (8 * c)) & 0xFF);
        }
    }
    if (key && opaque <= 0.5)
        return *key;
    std::uint32_t word = 0;
    for (int c = 0; c < 3; ++c) {
        const long channel = opaque > 0 ? std::lround(sum[c] / opaque) : 0;
        word |= static_cast<std::uint32_t>(std::clamp(channel, 0L, 255L)) << (8 * c);
    }
    return key && word == *key ? word ^ 1u : word;
}

namespace {

Bitmap Resample(const Bitmap& source, int width, int height, std::optional<std::uint32_t> key) {
    Bitmap out(std::max(width, 0), std::max(height, 0));
    if (source.Empty() || out.Empty())
        return out;
    const auto xs = AreaWeights(width, source.Width(), 0, width);
    const auto ys = AreaWeights(height, source.Height(), 0, height);
    for (int j = 0; j < height; ++j) {
        std::uint32_t* row = out.Row(j);
        for (int i = 0; i < width; ++i)
            row[i] =
                AreaAverage(source, xs[static_cast<std::size_t>(i)], ys[static_cast<std::size_t>(j)], key);
    }
    return out;
}

} // namespace

Bitmap Resampled(const Bitmap& source, int width, int height) {
    return Resample(source, width, height, std::nullopt);
}

Bitmap Resampled(const Bitmap& source, int width, int height, TColor key) {
    return Resample(source, width, height, PixelOf(key));
}

void ScaledGlyph::Set(const Bitmap& design) {
    design_ = design;
    scaled_ = design;
    scaledFor_ = Scale();
}

const Bitmap& ScaledGlyph::At(const Scale& scale) {
    if (!(scale == scaledFor_)) {
        const TColor key = design_.Pixel(0, corner_ == KeyCorner::TopLeft ? 0 : design_.Height() - 1);
        scaled_ = scale.IsDesign()
                      ? design_
                      : Resampled(design_, scale.Px(design_.Width()), scale.Px(design_.Height()), key);
        scaledFor_ = scale;
    }
    return scaled_;
}

} // namespace vendora
