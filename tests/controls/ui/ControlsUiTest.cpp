// The gradient control (properties, clamping, build counting, loading, system colours, paint) and the
// curved button (its pixels up and pressed, caption, glyph, face colour, mouse).
#include "controls/ColorOps.h"
#include "controls/ShadedShapes.h"
#include "controls/ui/CurvedSpeedButton.h"
#include "controls/ui/Gradient.h"
#include "platform/Platform.h"
#include "tests/support/MemoryPlatform.h"
#include "tests/support/Pixels.h"
#include "tests/support/WindowTest.h"

namespace vendora::test {
namespace {

using ControlsUiTest = WhiteFormTest;

TEST_F(ControlsUiTest, GradientStartsWithItsDefaultsAndOneBuild) {
    TGradient gradient(nullptr, machine_);
    EXPECT_EQ(gradient.Width(), 100);
    EXPECT_EQ(gradient.Height(), 100);
    EXPECT_EQ(gradient.ColorBegin(), clWhite);
    EXPECT_EQ(gradient.ColorEnd(), clBtnFace);
    EXPECT_EQ(gradient.Style(), TGradientStyle::gsRadialC);
    EXPECT_TRUE(gradient.Opaque());
    EXPECT_EQ(gradient.PatternBuilds(), 1);
    EXPECT_EQ(gradient.Pattern().Width(), 362);
}

TEST_F(ControlsUiTest, ShiftAndRotationAreClampedAndAnUnchangedValueBuildsNothing) {
    TGradient gradient(nullptr, machine_);
    gradient.SetShift(120);
    EXPECT_EQ(gradient.Shift(), 100);
    EXPECT_EQ(gradient.PatternBuilds(), 2);
    gradient.SetShift(100);
    gradient.SetShift(150);
    EXPECT_EQ(gradient.PatternBuilds(), 2);
    gradient.SetShift(-120);
    EXPECT_EQ(gradient.Shift(), -100);
    gradient.SetRotation(-130);
    EXPECT_EQ(gradient.Rotation(), -100);
    gradient.SetRotation(101);
    EXPECT_EQ(gradient.Rotation(), 100);
    EXPECT_EQ(gradient.PatternBuilds(), 5);
    gradient.SetStyle(TGradientStyle::gsRadialC);
    gradient.SetReverse(false);
    gradient.SetColorBegin(clWhite);
    EXPECT_EQ(gradient.PatternBuilds(), 5);
}

TEST_F(ControlsUiTest, ChangesBetweenBeginAndEndUpdateBuildOnceAtTheLastEnd) {
    TGradient gradient(nullptr, machine_);
    gradient.BeginUpdate();
    gradient.BeginUpdate();
    gradient.SetStyle(TGradientStyle::gsLinearH);
    gradient.SetReverse(true);
    gradient.EndUpdate();
    EXPECT_EQ(gradient.PatternBuilds(), 1);
    gradient.EndUpdate();
    EXPECT_EQ(gradient.PatternBuilds(), 2);
    EXPECT_EQ(gradient.Pattern().Width(), 256);
    // Reverse exchanges the colours: the ramp starts at the end colour.
    EXPECT_EQ(gradient.Pattern().Pixel(0, 0), RgbOf(clBtnFace, machine_));
    gradient.BeginUpdate();
    gradient.EndUpdate();
    EXPECT_EQ(gradient.PatternBuilds(), 2);
}

TEST_F(ControlsUiTest, AFormDescriptionBuildsTheDefaultPatternAndThenTheLoadedOne) {
    auto* grip = new TGradient(form_, machine_);
    grip->BeginLoading();
    grip->SetParent(form_);
    grip->SetBounds(464, 507, 24, 22);
    grip->SetStyle(TGradientStyle::gsDiagonalRF);
    grip->SetColorEnd(clAppWorkSpace);
    EXPECT_EQ(grip->PatternBuilds(), 1);
    grip->Loaded();
    EXPECT_EQ(grip->PatternBuilds(), 2);
    EXPECT_EQ(grip->Pattern().Width(), 256);
    EXPECT_EQ(grip->Pattern().Height(), 256);
}

TEST_F(ControlsUiTest, PaintingStretchesThePatternOverTheControl) {
    auto* grip = new TGradient(form_, machine_);
    grip->SetParent(form_);
    grip->SetBounds(10, 10, 24, 22);
    grip->SetStyle(TGradientStyle::gsDiagonalRF);
    grip->SetColorEnd(clAppWorkSpace);
    const Bitmap& s = Painted();
    // The canvas's own stretching, placed exactly over the control.
    Bitmap expected(24, 22);
    Canvas scratch(expected, engine_, machine_);
    scratch.StretchDraw(expected.Bounds(), grip->Pattern());
    for (int y = 0; y < 22; ++y) {
        for (int x = 0; x < 24; ++x) {
            ASSERT_EQ(s.Pixel(10 + x, 10 + y), expected.Pixel(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(s.Pixel(9, 10), clWhite);
    EXPECT_EQ(s.Pixel(10, 32), clWhite);
    // White along the diagonal from the top-right to the bottom-left corner, the end colour in the others.
    TColor end = RgbOf(clAppWorkSpace, machine_);
    EXPECT_EQ(grip->Pattern().Pixel(255, 0), clWhite);
    EXPECT_EQ(grip->Pattern().Pixel(0, 0), end);
    EXPECT_EQ(grip->Pattern().Pixel(255, 255), end);
}

TEST_F(ControlsUiTest, CustomStyleDrawsTheCheckerboardOrWhatItsHandlerDraws) {
    auto* gradient = new TGradient(form_, machine_);
    gradient->SetParent(form_);
    gradient->SetBounds(0, 0, 10, 10);
    gradient->SetColorBegin(clRed);
    gradient->SetColorEnd(clBlue);
    gradient->SetStyle(TGradientStyle::gsCustom);
    const Bitmap& s = Painted();
    EXPECT_EQ(s.Pixel(0, 0), clRed);
    EXPECT_EQ(s.Pixel(9, 0), clBlue);
    EXPECT_EQ(s.Pixel(0, 9), clBlue);
    EXPECT_EQ(s.Pixel(9, 9), clRed);

    TColor seenFirst;
    gradient->OnCustom = [&](TGradient&, const TGradientColors& colors, Bitmap& pattern) {
        seenFirst = colors[0].Color();
        pattern = Bitmap(1, 1, clYellow);
    };
    gradient->SetShift(0);
    gradient->UpdatePattern();
    App().PaintAll();
    EXPECT_EQ(seenFirst, clRed);
    EXPECT_EQ(CountPixels(s, {0, 0, 10, 10}, clYellow), 100);
}

TEST_F(ControlsUiTest, SystemColoursFollowTheTitleBarUntilAColourIsSet) {
    test::MemoryPlatform platform;
    platform.SysColors[SysColor::ActiveCaption] = TColor(0x123456);
    platform.SysColors[SysColor::GradientActiveCaption] = TColor(0x654321);
    TGradient gradient(nullptr, platform);
    gradient.SetUseSysColors(true);
    EXPECT_TRUE(gradient.UseSysColors());
    EXPECT_EQ(gradient.ColorBegin(), TColor(0x123456));
    EXPECT_EQ(gradient.ColorEnd(), TColor(0x654321));
    EXPECT_EQ(gradient.PatternBuilds(), 2);
    platform.SysColors[SysColor::ActiveCaption] = TColor(0x111111);
    gradient.SettingsChanged();
    EXPECT_EQ(gradient.ColorBegin(), TColor(0x111111));
    gradient.SetColorBegin(clRed);
    EXPECT_FALSE(gradient.UseSysColors());
    platform.SysColors[SysColor::ActiveCaption] = TColor(0x222222);
    gradient.SettingsChanged();
    EXPECT_EQ(gradient.ColorBegin(), clRed);
}

// The progress window's button: 158 x 29, face RGB(236, 233, 216).
class CurvedButtonTest : public ControlsUiTest {
protected:
    TCurvedSpeedButton* NewButton() {
        auto* button = new TCurvedSpeedButton(form_);
        button->SetParent(form_);
        button->SetBounds(0, 0, 158, 29);
        button->SetColor(TColor(14215660));
        button->GetFont().Color = clBlack;
        return button;
    }
    static constexpr TColor Face{14215660};
};

TEST_F(CurvedButtonTest, UpAndPressedPixels) {
    form_->SetColor(clYellow);
    TCurvedSpeedButton* button = NewButton();
    const Bitmap& s = Painted();
    TColor light = AddColors(Face, ButtonShadingStep);
    TColor dark = SubtractColors(Face, ButtonShadingStep);
    EXPECT_EQ(s.Pixel(0, 0), clWhite);
    EXPECT_EQ(s.Pixel(0, 26), clWhite);
    EXPECT_EQ(s.Pixel(157, 10), FrameDark);
    EXPECT_EQ(s.Pixel(10, 28), FrameDark);
    // The softened corners and the frame lines' excluded ends stay the form's.
    EXPECT_EQ(s.Pixel(157, 0), clYellow);
    EXPECT_EQ(s.Pixel(0, 28), clYellow);
    EXPECT_EQ(s.Pixel(0, 27), clYellow);
    EXPECT_EQ(s.Pixel(5, 5), light);
    EXPECT_EQ(s.Pixel(5, 20), dark);

    form_->MouseDown(MouseButton::Left, 5, 5);
    App().PaintAll();
    EXPECT_TRUE(button->Pressed());
    EXPECT_EQ(s.Pixel(0, 0), FrameDark);
    EXPECT_EQ(s.Pixel(157, 10), clWhite);
    EXPECT_EQ(s.Pixel(5, 5), dark);
    EXPECT_EQ(s.Pixel(5, 20), light);
    int clicks = 0;
    button->OnClick = [&](Control&) { ++clicks; };
    form_->MouseUp(MouseButton::Left, 5, 5);
    App().PaintAll();
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(s.Pixel(0, 0), clWhite);
    EXPECT_EQ(clicks, 1);
}

TEST_F(CurvedButtonTest, CaptionIsCentredOverItsHighlightAndMovesWhenPressed) {
    TCurvedSpeedButton* button = NewButton();
    button->SetCaption("Interrompre");
    const Bitmap& s = Painted();
    int tx = (158 - 11 * TextShape::Blocks.Advance) / 2;
    int ty = (29 - 13) / 2;
    TColor highlight = CaptionHighlight(Face, clBlack);
    EXPECT_EQ(s.Pixel(tx + 1, ty + 1), clBlack);
    EXPECT_EQ(s.Pixel(tx + 5, ty + 10), highlight);
    EXPECT_NE(s.Pixel(tx, ty + 1), clBlack);
    form_->MouseDown(MouseButton::Left, 5, 5);
    App().PaintAll();
    EXPECT_EQ(s.Pixel(tx + 2, ty + 2), clBlack);
    EXPECT_EQ(s.Pixel(tx + 6, ty + 11), highlight);
}

TEST_F(CurvedButtonTest, GlyphSitsLeftOfTheCaptionWithoutItsTopLeftColour) {
    TCurvedSpeedButton* button = NewButton();
    button->SetCaption("Interrompre");
    Bitmap glyph(16, 16, clSilver);
    glyph.SetPixel(5, 5, clRed);
    button->SetGlyph(glyph);
    const Bitmap& s = Painted();
    int gx = (158 - 11 * TextShape::Blocks.Advance - 21) / 2;
    int gy = (29 - 16) / 2 + 1;
    EXPECT_EQ(CountPixels(s, button->BoundsRect(), clRed), 1);
    EXPECT_EQ(s.Pixel(gx + 5 - 1, gy + 5 - 1), clRed);
    EXPECT_EQ(CountPixels(s, button->BoundsRect(), clSilver), 0);
    form_->MouseDown(MouseButton::Left, 5, 5);
    App().PaintAll();
    EXPECT_EQ(s.Pixel(gx + 5, gy + 5), clRed);
}

TEST_F(CurvedButtonTest, TransparentFollowsTheFormColourAndParentColourCopiesItOnce) {
    TCurvedSpeedButton* button = NewButton();
    button->SetTransparent(true);
    Painted();
    EXPECT_EQ(button->Color(), clWhite);
    form_->SetColor(clYellow);
    App().PaintAll();
    EXPECT_EQ(button->Color(), clYellow);
    EXPECT_EQ(form_->Surface().Pixel(5, 20), SubtractColors(clYellow, ButtonShadingStep));

    // Painting gave the face a colour of its own: it no longer follows the form.
    EXPECT_FALSE(button->ParentColor());
    button->SetTransparent(false);
    form_->SetColor(clSilver);
    App().PaintAll();
    EXPECT_EQ(button->Color(), clYellow);
}

} // namespace
} // namespace vendora::test
