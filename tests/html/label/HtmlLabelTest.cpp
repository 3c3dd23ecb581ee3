// The markup label: its caption setter, its paint through the renderer and its automatic height.
#include "html/label/HtmlLabel.h"
#include "html/DrawHtml.h"
#include "tests/support/WindowTest.h"

namespace vendora::test {
namespace {

class HtmlLabelTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        form_ = new Form(App());
        form_->SetClientSize(500, 400);
        form_->Show();
        label_ = new THTMLLabel(form_, host_);
        label_->SetParent(form_);
    }
    // What the renderer gives the caption at that width, from top y 1.
    int Measured(const AnsiString& caption, int width) {
        Bitmap scratch(600, 600);
        Canvas canvas(scratch, engine_, machine_);
        return DrawHtml(canvas, host_, 1, 1, width, caption, clWhite);
    }
    const HtmlHost host_{nullptr, PictureServices{machine_.Files(), engine_}};
    Form* form_ = nullptr;
    THTMLLabel* label_ = nullptr;
};

TEST_F(HtmlLabelTest, TheSameCaptionTwiceRepaintsNothing) {
    label_->SetBounds(10, 10, 200, 20);
    label_->SetCaption("<B>Bonjour</B>");
    EXPECT_TRUE(form_->PaintPending());
    App().PaintAll();
    EXPECT_FALSE(form_->PaintPending());
    label_->SetCaption("<B>Bonjour</B>");
    EXPECT_FALSE(form_->PaintPending());
    label_->SetCaption("<b>Bonjour</b>");
    EXPECT_TRUE(form_->PaintPending());
    EXPECT_EQ(label_->Caption(), "<b>Bonjour</b>");
}

TEST_F(HtmlLabelTest, ANewCaptionWidensANarrowLabelTo50Only) {
    label_->SetBounds(0, 0, 30, 14);
    label_->SetCaption("a");
    EXPECT_EQ(label_->Width(), 50);
    EXPECT_EQ(label_->Height(), 14);
    label_->SetWidth(400);
    label_->SetCaption("b");
    EXPECT_EQ(label_->Width(), 400);
}

TEST_F(HtmlLabelTest, WithoutAutoSizeTheHeightNeverChanges) {
    label_->SetBounds(0, 0, 60, 14);
    label_->SetCaption("un texte assez long pour tenir sur plusieurs lignes");
    App().PaintAll();
    label_->SetWidth(30);
    App().PaintAll();
    EXPECT_EQ(label_->Height(), 14);
}

TEST_F(HtmlLabelTest, AutoSizeTakesTheRenderersHeightAtTheNextPaint) {
    const AnsiString text = "un texte assez long pour tenir sur plusieurs lignes";
    label_->SetBounds(0, 0, 300, 14);
    label_->SetAutoSize(true);
    EXPECT_EQ(label_->Height(), 14);
    label_->SetCaption(text);
    App().PaintAll();
    int wide = label_->Height();
    EXPECT_EQ(wide, Measured(text, 300));
    label_->SetWidth(100);
    App().PaintAll();
    EXPECT_EQ(label_->Height(), Measured(text, 100));
    EXPECT_GT(label_->Height(), wide);
    label_->SetCaption("");
    App().PaintAll();
    EXPECT_EQ(label_->Height(), Measured("", 100));
    EXPECT_GT(label_->Height(), 1);
}

TEST_F(HtmlLabelTest, PaintsOnlyTheTextOverWhatTheFormPainted) {
    form_->SetColor(clYellow);
    label_->SetBounds(10, 10, 300, 40);
    label_->SetCaption("x");
    App().PaintAll();
    const Bitmap& s = form_->Surface();
    // The block engine's glyph starts one pixel into its cell; the text starts one pixel into the label.
    EXPECT_NE(s.Pixel(10 + 1 + 1, 10 + 1 + 5), clYellow);
    EXPECT_EQ(s.Pixel(10 + 200, 10 + 5), clYellow);
    EXPECT_EQ(s.Pixel(10, 10), clYellow);
}

} // namespace
} // namespace vendora::test
