// The form framework: geometry, showing and the modal loop, painting through windowless controls, mouse
// routing and anchors.
#include "gui/Control.h"
#include "tests/support/Pixels.h"
#include "tests/support/WindowTest.h"

namespace vendora::test {
namespace {

// A control that fills its whole canvas area generously and counts its paints and clicks.
class Block : public Control {
public:
    explicit Block(Component* owner, TColor color) : Control(owner), color_(color) {}
    int Paints = 0;
    int Clicks = 0;
    void Click() override {
        ++Clicks;
        Control::Click();
    }

protected:
    void Paint() override {
        ++Paints;
        Canvas& canvas = GetCanvas();
        canvas.GetBrush().SetColor(color_);
        canvas.FillRect({-100, -100, 1000, 1000});
    }

private:
    TColor color_;
};

using FormTest = WindowTest;

TEST_F(FormTest, OuterSizeFollowsTheBorderAndCentringHappensOnTheFirstShowOnly) {
    Form form(App());
    form.SetBorderStyle(BorderStyle::Sizeable);
    form.SetClientSize(502, 304);
    EXPECT_EQ(form.Width(), 518);
    EXPECT_EQ(form.Height(), 340);
    form.SetBorderStyle(BorderStyle::Single);
    form.SetWidth(487);
    EXPECT_EQ(form.ClientWidth(), 481);

    form.Position = FormPosition::ScreenCenter;
    form.Show();
    EXPECT_EQ(form.Left(), (1024 - form.Width()) / 2);
    EXPECT_EQ(form.Top(), (768 - form.Height()) / 2);
    form.Hide();
    form.SetTop(106);
    form.SetClientHeight(100);
    form.Show();
    EXPECT_EQ(form.Top(), 106);
    EXPECT_EQ(form.Left(), (1024 - form.Width()) / 2);
}

TEST_F(FormTest, AWindowLargerThanTheScreenIsPlacedAtTheTopLeftCorner) {
    Form form(App());
    form.Position = FormPosition::ScreenCenter;
    form.SetClientSize(2000, 1000);
    form.Show();
    EXPECT_EQ(form.Left(), 0);
    EXPECT_EQ(form.Top(), 0);
}

TEST_F(FormTest, ShowRunsOnShowThenActivateAndRecordsTheWindow) {
    Form form(App());
    form.SetCaption("Titre");
    std::vector<std::string> events;
    form.OnShow = [&](Form& f) { events.push_back(f.Visible() ? "show-visible" : "show"); };
    form.OnActivate = [&](Form&) { events.push_back("activate"); };
    form.Show();
    form.Hide();
    EXPECT_EQ(events, (std::vector<std::string>{"show", "activate"}));
    EXPECT_EQ(RecordKinds(), (std::vector<std::string>{"window show", "window hide"}));
    ASSERT_FALSE(records_.empty());
    EXPECT_EQ(records_[0].Fields.at(0), (std::pair<std::string, AnsiString>{"caption", "Titre"}));
}

TEST_F(FormTest, ModalLoopEndsOnTheResultAHandlerSetsAndReenablesTheOtherWindows) {
    UseScript("char x\nkey Return\n");
    Form other(App());
    other.Show();
    Form modal(App());
    std::vector<int> keys;
    bool otherDisabledMeanwhile = false;
    modal.OnKeyDown = [&](Form& f, int& key) {
        keys.push_back(key);
        otherDisabledMeanwhile = !other.Enabled();
        if (key == VirtualKey::Return)
            f.SetModalResult(ModalResult::Ok);
    };
    std::vector<char> chars;
    modal.OnKeyPress = [&](Form&, char& key) { chars.push_back(key); };
    EXPECT_EQ(modal.ShowModal(), ModalResult::Ok);
    EXPECT_FALSE(modal.Visible());
    EXPECT_TRUE(other.Enabled());
    EXPECT_TRUE(otherDisabledMeanwhile);
    EXPECT_EQ(keys, (std::vector<int>{VirtualKey::Return}));
    EXPECT_EQ(chars, (std::vector<char>{'x'}));
}

TEST_F(FormTest, ClosingAModalWindowGivesTheCancelResultAndRunsOnClose) {
    UseScript("close\n");
    Form modal(App());
    int closes = 0;
    modal.OnClose = [&](Form&, CloseAction& action) {
        ++closes;
        EXPECT_EQ(action, CloseAction::Hide);
    };
    EXPECT_EQ(modal.ShowModal(), ModalResult::Cancel);
    EXPECT_EQ(closes, 1);
}

TEST_F(FormTest, AModalWindowWithoutInputEndsWhenTheScriptIsUsedUp) {
    // Enter comes once by default; a window that ignores it is then closed instead of waiting forever.
    Form modal(App());
    std::vector<int> keys;
    modal.OnKeyDown = [&](Form&, int& key) { keys.push_back(key); };
    EXPECT_EQ(modal.ShowModal(), ModalResult::Cancel);
    EXPECT_EQ(keys, (std::vector<int>{VirtualKey::Return}));
}

TEST_F(FormTest, ClosingAModelessWindowHidesItUnlessOnCloseRefuses) {
    Form form(App());
    form.Show();
    form.OnClose = [](Form&, CloseAction& action) { action = CloseAction::None; };
    form.Close();
    EXPECT_TRUE(form.Visible());
    form.OnClose = nullptr;
    form.Close();
    EXPECT_FALSE(form.Visible());
}

TEST_F(FormTest, PaintingErasesWithTheFormColourAndClipsEachControlToItsBounds) {
    Form form(App());
    form.SetClientSize(100, 80);
    form.SetColor(clYellow);
    auto* block = new Block(&form, clBlue);
    block->SetParent(&form);
    block->SetBounds(10, 20, 30, 15);
    int paints = 0;
    form.OnPaint = [&](Form&) { ++paints; };
    form.Show();
    App().PaintAll();
    const Bitmap& s = form.Surface();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(CountPixels(s, s.Bounds(), clBlue), 30 * 15);
    EXPECT_EQ(s.Pixel(10, 20), clBlue);
    EXPECT_EQ(s.Pixel(39, 34), clBlue);
    EXPECT_EQ(s.Pixel(40, 34), clYellow);
    EXPECT_EQ(s.Pixel(9, 20), clYellow);
}

TEST_F(FormTest, InvalidatingARectanglePaintsOnlyTheControlsItTouches) {
    Form form(App());
    form.SetClientSize(100, 80);
    auto* left = new Block(&form, clBlue);
    left->SetParent(&form);
    left->SetBounds(0, 0, 20, 20);
    auto* right = new Block(&form, clRed);
    right->SetParent(&form);
    right->SetBounds(50, 0, 20, 20);
    form.Show();
    App().PaintAll();
    form.GetCanvas().GetBrush().SetColor(clWhite);
    form.GetCanvas().FillRect(form.ClientRect());
    form.Invalidate({55, 5, 60, 10}, false);
    App().PaintAll();
    EXPECT_EQ(left->Paints, 1);
    EXPECT_EQ(right->Paints, 2);
    // Only the invalid part was painted again.
    EXPECT_EQ(CountPixels(form.Surface(), form.ClientRect(), clRed), 25);
}

TEST_F(FormTest, AHiddenControlIsNotPaintedAndTakesNoMouse) {
    Form form(App());
    form.SetClientSize(100, 80);
    auto* block = new Block(&form, clBlue);
    block->SetParent(&form);
    block->SetBounds(0, 0, 20, 20);
    block->SetVisible(false);
    form.Show();
    App().PaintAll();
    EXPECT_EQ(block->Paints, 0);
    EXPECT_EQ(form.ControlAt(5, 5), nullptr);
}

TEST_F(FormTest, AClickIsALeftReleaseOverTheControlThatTookThePress) {
    Form form(App());
    form.SetClientSize(100, 80);
    auto* block = new Block(&form, clBlue);
    block->SetParent(&form);
    block->SetBounds(10, 10, 20, 20);
    std::vector<IntPoint> formMoves;
    form.OnMouseMove = [&](Form&, int x, int y) { formMoves.push_back({x, y}); };
    std::vector<IntPoint> controlUps;
    block->OnMouseUp = [&](Control&, MouseButton, int x, int y) { controlUps.push_back({x, y}); };

    form.MouseDown(MouseButton::Left, 15, 15);
    form.MouseUp(MouseButton::Left, 29, 29);
    EXPECT_EQ(block->Clicks, 1);
    form.MouseDown(MouseButton::Left, 15, 15);
    form.MouseMove(60, 60); // captured: the control gets it, not the form
    form.MouseUp(MouseButton::Left, 60, 60);
    EXPECT_EQ(block->Clicks, 1);
    form.MouseDown(MouseButton::Right, 15, 15);
    form.MouseUp(MouseButton::Right, 15, 15);
    EXPECT_EQ(block->Clicks, 1);
    form.MouseMove(70, 5);
    EXPECT_EQ(formMoves, (std::vector<IntPoint>{{70, 5}}));
    ASSERT_EQ(controlUps.size(), 3u);
    EXPECT_EQ(controlUps[1], (IntPoint{50, 50}));
}

TEST_F(FormTest, AnchorsMoveOrStretchControlsWhenTheClientAreaChanges) {
    Form form(App());
    form.SetClientSize(200, 100);
    auto* grip = new Block(&form, clBlue);
    grip->SetParent(&form);
    grip->SetBounds(180, 80, 20, 20);
    grip->SetAnchors(Anchor::Right | Anchor::Bottom);
    auto* bar = new Block(&form, clRed);
    bar->SetParent(&form);
    bar->SetBounds(10, 10, 100, 10);
    bar->SetAnchors(Anchor::Left | Anchor::Top | Anchor::Right);
    auto* fixed = new Block(&form, clRed);
    fixed->SetParent(&form);
    fixed->SetBounds(10, 50, 10, 10);
    int resizes = 0;
    form.OnResize = [&](Form&) { ++resizes; };

    form.SetClientSize(250, 130);
    EXPECT_EQ(grip->BoundsRect(), IntRect::FromSize(230, 110, 20, 20));
    EXPECT_EQ(bar->BoundsRect(), IntRect::FromSize(10, 10, 150, 10));
    EXPECT_EQ(fixed->BoundsRect(), IntRect::FromSize(10, 50, 10, 10));
    EXPECT_EQ(resizes, 1);
    form.SetClientSize(250, 130);
    EXPECT_EQ(resizes, 1);
}

TEST_F(FormTest, FreeingTheOwnerFreesItsControlsAndFreeingAControlDetachesIt) {
    auto* form = new Form(App());
    auto* a = new Block(form, clBlue);
    a->SetParent(form);
    auto* b = new Block(form, clRed);
    b->SetParent(form);
    EXPECT_EQ(form->ComponentCount(), 2);
    delete a;
    EXPECT_EQ(form->ComponentCount(), 1);
    EXPECT_EQ(form->Controls().size(), 1u);
    form->Show();
    delete form;
    EXPECT_TRUE(App().Forms().empty());
    EXPECT_EQ(RecordKinds().back(), "window destroy");
}

TEST_F(FormTest, ControlsFollowTheFormColourAndFontUntilTheyGetTheirOwn) {
    Form form(App());
    form.SetColor(clYellow);
    Font tahoma;
    tahoma.Name = "Tahoma";
    form.SetFont(tahoma);
    auto* block = new Block(&form, clBlue);
    block->SetParent(&form);
    EXPECT_EQ(block->Color(), clYellow);
    EXPECT_EQ(block->GetFont().Name, "Tahoma");
    form.SetColor(clWhite);
    EXPECT_EQ(block->Color(), clWhite);
    block->SetColor(clRed);
    form.SetColor(clSilver);
    EXPECT_EQ(block->Color(), clRed);
    EXPECT_FALSE(block->ParentColor());
}

} // namespace
} // namespace vendora::test
