#include "controls/GradientRamp.h"

#include "base/Convert.h"
#include "base/SystemColors.h"

#include <algorithm>

namespace vendora {

namespace {

struct Channels {
    int Red;
    int Green;
    int Blue;
};

Channels Split(TColor color) {
    return {color.Red(), color.Green(), color.Blue()};
}

void ApplyShift(int& channel1, int& channel2, int shift) {
    if (shift > 0)
        channel1 += MulDiv(channel2 - channel1, shift, 100);
    else if (shift < 0)
        channel2 += MulDiv(channel2 - channel1, shift, 100);
}

// One channel of the ramp; divisions truncate toward zero, as the integer arithmetic it mirrors does.
void FillChannel(TGradientColors& ramp, std::uint8_t RampEntry::*member, int channel1, int channel2, int g) {
    const int d = channel2 - channel1;
    auto set = [&](int i, int value) {
        ramp[static_cast<std::size_t>(i)].*member = static_cast<std::uint8_t>(value);
    };
    if (g == 0) {
        for (int i = 0; i <= 255; ++i)
            set(i, channel1 + i * d / 255);
    } else if (g > 0) {
        const int p = 255 - g;
        for (int i = 0; i < p; ++i)
            set(i, channel1 + i * d / p);
        for (int i = p; i <= 255; ++i)
            set(i, channel1 + (255 - i) * d / (255 - p));
    } else {
        const int p = -g;
        for (int i = 0; i <= p; ++i)
            set(i, channel2 - i * d / p);
        for (int i = p + 1; i <= 255; ++i)
            set(i, channel2 - (255 - i) * d / (255 - p));
    }
}

} // namespace

GradientEnds OrderedGradientEnds(TColor begin, TColor end, bool reverse) {
    begin = CheckedRgb(begin);
    end = CheckedRgb(end);
    return reverse ? GradientEnds{end, begin} : GradientEnds{begin, end};
}

TGradientColors BuildGradientRamp(TColor begin, TColor end, int shift, int rotation, bool reverse) {
    shift = std::clamp(shift, GradientPercentMin, GradientPercentMax);
    rotation = std::clamp(rotation, GradientPercentMin, GradientPercentMax);
    const GradientEnds ends = OrderedGradientEnds(begin, end, reverse);
    Channels c1 = Split(ends.Color1);
    Channels c2 = Split(ends.Color2);
    ApplyShift(c1.Red, c2.Red, shift);
    ApplyShift(c1.Green, c2.Green, shift);
    ApplyShift(c1.Blue, c2.Blue, shift);

    const int g = MulDiv(255, rotation, 100);
    TGradientColors ramp{};
    FillChannel(ramp, &RampEntry::Red, c1.Red, c2.Red, g);
    FillChannel(ramp, &RampEntry::Green, c1.Green, c2.Green, g);
    FillChannel(ramp, &RampEntry::Blue, c1.Blue, c2.Blue, g);
    return ramp;
}

} // namespace vendora
