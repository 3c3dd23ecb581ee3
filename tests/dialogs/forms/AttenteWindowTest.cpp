// The waiting window: its stored layout, the wait's texts reaching the real form, the records of a
// headless run, and closing by hand only hiding it.
#include "dialogs/forms/AttenteWindow.h"
#include "base/Cp1252.h"
#include "dialogs/Attente.h"
#include "dialogs/forms/FrameworkDialogs.h"
#include "gui/Label.h"
#include "tests/support/Pixels.h"
#include "tests/support/WindowTest.h"

#include <sstream>

namespace vendora::test {
namespace {

using AttenteWindowTest = WindowTest;

TEST_F(AttenteWindowTest, StoredLayout) {
    TAttenteWindow window(App(), nullptr);
    EXPECT_EQ(window.ClientWidth(), 502);
    EXPECT_EQ(window.ClientHeight(), 304);
    EXPECT_EQ(window.Width(), 518);
    EXPECT_EQ(window.Height(), 340);
    EXPECT_EQ(window.Color(), TColor::Rgb(255, 187, 192));
    EXPECT_EQ(window.Caption(), "Attente");
    EXPECT_EQ(window.Label1->BoundsRect(), (IntRect{0, 0, 502, 288}));
    EXPECT_EQ(window.Label2->BoundsRect(), (IntRect{0, 288, 502, 304}));
    EXPECT_TRUE(window.Label1->WordWrap());
    EXPECT_TRUE(window.Label1->RightToLeftReading());
    EXPECT_EQ(window.Label2->Caption(), "");
    window.Show();
    EXPECT_EQ(window.Left(), (1024 - 518) / 2);
    EXPECT_EQ(window.Top(), (768 - 340) / 2);
    // The label keeps filling the area above the strip when the window is resized.
    window.SetClientSize(602, 404);
    EXPECT_EQ(window.Label1->BoundsRect(), (IntRect{0, 0, 602, 388}));
    EXPECT_EQ(window.Label2->BoundsRect(), (IntRect{0, 388, 602, 404}));
}

TEST_F(AttenteWindowTest, TheWaitsTextsReachTheFormAndShowAndHideAreRecorded) {
    UseScript("wait Installateur\nclose\n");
    std::ostringstream out;
    {
        FrameworkDialogs dialogs(App(), MessageHost(), std::make_unique<Transcript>(out));
        std::unique_ptr<TAttente> attente = dialogs.CreateAttente();
        attente->SetCaption(Ansi("Installateur de Vendora.EXE © Morvanel"));
        attente->SetLabel1(AnsiString("\rINSTALL.EXE a d") + "\rSi");
        attente->Show();
        TAttenteWindow* form = nullptr;
        for (Form* f : App().Forms()) {
            form = dynamic_cast<TAttenteWindow*>(f) != nullptr ? dynamic_cast<TAttenteWindow*>(f) : form;
        }
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(form->Visible());
        EXPECT_EQ(form->Label1->Caption(), AnsiString("\rINSTALL.EXE a d") + "\rSi");
        EXPECT_EQ(form->Caption(), Ansi("Installateur de Vendora.EXE © Morvanel"));
        dialogs.ProcessOneMessage(); // the wait, then the close
        dialogs.ProcessOneMessage();
        EXPECT_FALSE(form->Visible());
        EXPECT_TRUE(attente->Visible()); // the wait still thinks it shows; it hides it at its end
        attente->Hide();
        attente->Hide();
    }
    std::string text = out.str();
    EXPECT_NE(
        text.find("attente show caption=\"Installateur de Vendora.EXE © Morvanel\" label1=\"\\rINSTALL.EXE a "
                  "d\\rSi\"\n"),
        std::string::npos);
    EXPECT_NE(text.find("input event=\"close\" line=2\n"), std::string::npos);
    EXPECT_EQ(text.find("attente hide"), text.rfind("attente hide"));
}

TEST_F(AttenteWindowTest, CentredRightToLeftTextKeepsItsWordsAndMovesTheEndPunctuation) {
    TAttenteWindow window(App(), nullptr);
    window.Label1->SetCaption("abc.");
    window.Label1->GetFont().Color = clBlack;
    window.Show();
    App().PaintAll();
    const Bitmap& s = window.Surface();
    // Four characters centred in 502 pixels, in the middle of 288 rows; the block of "." comes first.
    int x = (502 - 4 * TextShape::Blocks.Advance) / 2;
    int y = (288 - 13) / 2;
    EXPECT_EQ(s.Pixel(x + 1, y + 1), clBlack);
    EXPECT_EQ(CountPixels(s, {0, 0, 502, 288}, clBlack), 4 * 4 * 9);
}

} // namespace
} // namespace vendora::test
