#pragma once
// TGradient (unit Gradient): a windowless, opaque control that fills its area with a colour gradient. A
// 256-step ramp and a small pattern bitmap are built once per change of its properties; painting only
// stretches the pattern over the control, pixel for pixel without smoothing.

#include "base/Color.h"
#include "base/SystemColors.h"
#include "controls/GradientPatterns.h"
#include "controls/GradientRamp.h"
#include "gfx/Bitmap.h"
#include "gui/Control.h"

#include <functional>

namespace vendora {

class TGradient;
using TCustomGradientEvent =
    std::function<void(TGradient& sender, const TGradientColors& colors, Bitmap& pattern)>;

class TGradient : public Control {
public:
    // colors: those of the machine the gradient is shown on, which its pattern is built with from the first
    // build on, before it is placed on a form; they outlive it.
    TGradient(Component* owner, SystemColors& colors);

    TColor ColorBegin() const { return colorBegin_; }
    TColor ColorEnd() const { return colorEnd_; }
    // A new colour switches UseSysColors off.
    void SetColorBegin(TColor color);
    void SetColorEnd(TColor color);
    TGradientStyle Style() const { return style_; }
    void SetStyle(TGradientStyle style);
    int Shift() const { return shift_; }
    // Clamped to -100..100.
    void SetShift(int shift);
    int Rotation() const { return rotation_; }
    void SetRotation(int rotation);
    bool Reverse() const { return reverse_; }
    void SetReverse(bool reverse);
    bool UseSysColors() const { return useSysColors_; }
    // Turning it on takes the title bar's colours now and at every settings change; turning it off keeps
    // the colours as they are.
    void SetUseSysColors(bool value);
    TCustomGradientEvent OnCustom;

    // Nested: the pattern is built once, at the last EndUpdate, when something asked for it meanwhile.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    void Loaded() override;
    virtual void UpdatePattern();
    virtual void UpdateSysColors();
    // The system's settings changed (the title bar's colours among them).
    void SettingsChanged() override;

    const Bitmap& Pattern() const { return pattern_; }
    // How many times the pattern was drawn since the control was made.
    int PatternBuilds() const { return builds_; }

protected:
    void Paint() override;

private:
    SystemColors& colors_;
    TColor colorBegin_ = clWhite;
    TColor colorEnd_ = clBtnFace;
    TGradientStyle style_ = TGradientStyle::gsRadialC;
    int shift_ = 0;
    int rotation_ = 0;
    bool reverse_ = false;
    bool useSysColors_ = false;
    Bitmap pattern_;
    int updateCount_ = 0;
    bool outOfDate_ = false;
    bool building_ = false;
    int builds_ = 0;
};

} // namespace vendora
