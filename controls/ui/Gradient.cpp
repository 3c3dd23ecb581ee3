#include "controls/ui/Gradient.h"

#include "gui/Form.h"

#include <algorithm>

namespace vendora {
namespace {

int ClampPercent(int value) {
    return std::clamp(value, GradientPercentMin, GradientPercentMax);
}

} // namespace

TGradient::TGradient(Component* owner, SystemColors& colors) : Control(owner), colors_(colors) {
    SetOpaque(true);
    SetBounds(0, 0, 100, 100);
    UpdatePattern();
}

void TGradient::SetColorBegin(TColor color) {
    if (color != colorBegin_) {
        colorBegin_ = color;
        useSysColors_ = false;
        UpdatePattern();
    }
}

void TGradient::SetColorEnd(TColor color) {
    if (color != colorEnd_) {
        colorEnd_ = color;
        useSysColors_ = false;
        UpdatePattern();
    }
}

void TGradient::SetStyle(TGradientStyle style) {
    if (style != style_) {
        style_ = style;
        UpdatePattern();
    }
}

void TGradient::SetShift(int shift) {
    shift = ClampPercent(shift);
    if (shift != shift_) {
        shift_ = shift;
        UpdatePattern();
    }
}

void TGradient::SetRotation(int rotation) {
    rotation = ClampPercent(rotation);
    if (rotation != rotation_) {
        rotation_ = rotation;
        UpdatePattern();
    }
}

void TGradient::SetReverse(bool reverse) {
    if (reverse != reverse_) {
        reverse_ = reverse;
        UpdatePattern();
    }
}

void TGradient::SetUseSysColors(bool value) {
    if (value != useSysColors_) {
        useSysColors_ = value;
        if (value)
            UpdateSysColors();
    }
}

void TGradient::EndUpdate() {
    --updateCount_;
    if (updateCount_ == 0 && outOfDate_)
        UpdatePattern();
}

void TGradient::Loaded() {
    Control::Loaded();
    UpdatePattern();
}

void TGradient::UpdatePattern() {
    outOfDate_ = true;
    if (Loading() || updateCount_ != 0)
        return;
    outOfDate_ = false;
    const TColor begin = RgbOf(colorBegin_, colors_);
    const TColor end = RgbOf(colorEnd_, colors_);
    TGradientColors ramp = BuildGradientRamp(begin, end, shift_, rotation_, reverse_);
    building_ = true;
    try {
        if (style_ != TGradientStyle::gsCustom) {
            BuildGradientPattern(style_, ramp, pattern_);
        } else if (OnCustom) {
            OnCustom(*this, ramp, pattern_);
        } else {
            BuildCheckerPattern(OrderedGradientEnds(begin, end, reverse_), pattern_);
        }
    } catch (...) {
        building_ = false;
        throw;
    }
    building_ = false;
    ++builds_;
    if (Parent() != nullptr && Parent()->Native() != nullptr) {
        Parent()->Invalidate(BoundsRect(), false);
    } else {
        Invalidate();
    }
}

void TGradient::UpdateSysColors() {
    BeginUpdate();
    try {
        SetColorBegin(RgbOf(clActiveCaption, colors_));
        try {
            SetColorEnd(RgbOf(clGradientActiveCaption, colors_));
            useSysColors_ = true;
        } catch (...) {
            SetColorEnd(colorBegin_);
            useSysColors_ = false;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TGradient::SettingsChanged() {
    if (useSysColors_)
        UpdateSysColors();
}

void TGradient::Paint() {
    if (building_ || pattern_.Empty())
        return;
    GetCanvas().StretchDraw(ClientRect(), pattern_);
}

} // namespace vendora
