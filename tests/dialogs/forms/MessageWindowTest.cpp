// The message window: results for each input, the button layout and naming, hot keys, the height taken
// from the message, the colour of one call, glyph files, the position rule and the buttons' lifetime.
#include "base/Cp1252.h"
#include "controls/ui/Gradient.h"
#include "dialogs/ErrorBox.h"
#include "dialogs/MessageBox.h"
#include "dialogs/forms/FrameworkDialogs.h"
#include "dialogs/forms/Ubm.h"
#include "gui/SpeedButton.h"
#include "html/DrawHtml.h"
#include "html/label/HtmlLabel.h"
#include "tests/support/WindowTest.h"

#include <sstream>

namespace vendora::test {
namespace {

// A 24-bit .BMP of the given size, filled with one colour.
inline std::vector<std::uint8_t> SolidBmp(int width, int height, TColor color) {
    int stride = (width * 3 + 3) & ~3;
    std::uint32_t size = 54 + static_cast<std::uint32_t>(stride * height);
    std::vector<std::uint8_t> b(size, 0);
    auto le32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    le32(2, size);
    le32(10, 54);
    le32(14, 40);
    le32(18, static_cast<std::uint32_t>(width));
    le32(22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::size_t at = 54 + static_cast<std::size_t>(y * stride + x * 3);
            b[at] = static_cast<std::uint8_t>(color.Blue());
            b[at + 1] = static_cast<std::uint8_t>(color.Green());
            b[at + 2] = static_cast<std::uint8_t>(color.Red());
        }
    }
    return b;
}

struct ButtonSeen {
    AnsiString Name;
    AnsiString Caption;
    IntRect Bounds;
    bool HasGlyph = false;
};

// What the window looked like when it came up.
struct Shown {
    std::vector<ButtonSeen> Buttons;
    int ClientHeight = 0;
    int MessageHeight = 0;
    TColor Color;
    int Left = 0;
    int Top = 0;
};

class MessageWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        TFMB& window = CreateMessageWindow(App(), MessageHost());
        Form::NotifyEvent original = window.OnShow;
        window.OnShow = [this, original](Form& form) {
            original(form);
            Shown seen;
            for (Control* control : form.Controls()) {
                if (auto* button = dynamic_cast<SpeedButton*>(control)) {
                    seen.Buttons.push_back(
                        {button->Name(), button->Caption(), button->BoundsRect(), !button->Glyph().Empty()});
                }
            }
            seen.ClientHeight = form.ClientHeight();
            seen.MessageHeight = FMB()->LeMessage->Height();
            seen.Color = form.Color();
            seen.Left = form.Left();
            seen.Top = form.Top();
            shown_.push_back(seen);
        };
    }
    int Ask(const std::string& script, const AnsiString& buttons, TColor colour = TColor(0)) {
        UseScript(script);
        return ShowHtmlMessageWindow("Titre", "Bonjour", buttons, colour);
    }
    std::vector<AnsiString> Captions() const {
        std::vector<AnsiString> out;
        for (const ButtonSeen& b : shown_.back().Buttons)
            out.push_back(b.Name + "=" + b.Caption);
        return out;
    }
    // The height the renderer gives a text in the message area (width 441), from top 0.
    int TextHeight(const AnsiString& text) {
        Bitmap scratch(481, 2000);
        Canvas canvas(scratch, engine_, machine_);
        return DrawHtml(canvas, MessageHost(), 0, 0, 441, text, clWhite);
    }

    std::vector<Shown> shown_;
};

TEST_F(MessageWindowTest, OuiNonGivesTwoButtonsAndEachInputItsResult) {
    const std::vector<std::pair<std::string, int>> cases{
        {"char o\n", 1},         {"char O\n", 1},
        {"char n\n", 2},         {"char N\n", 2},
        {"key Return\n", 1},     {"key Escape\n", 0},
        {"close\n", 0},          {"click B2\n", 2},
        {"click B1\n", 1},       {"char x\nkey Escape\n", 0},
        {"char x\nchar n\n", 2}, {"click Non\n", 2},
        {"key F1\nchar o\n", 1},
    };
    for (const auto& [script, expected] : cases) {
        EXPECT_EQ(Ask(script, "Oui#13Non"), expected) << script;
        EXPECT_FALSE(FMB()->Visible());
    }
    EXPECT_EQ(Captions(), (std::vector<AnsiString>{"B1=&Oui", "B2=&Non"}));
    const Shown& seen = shown_.back();
    EXPECT_EQ(seen.Buttons[0].Bounds, IntRect::FromSize(20, seen.MessageHeight + 15, 135, 27));
    EXPECT_EQ(seen.Buttons[1].Bounds, IntRect::FromSize(160, seen.MessageHeight + 15, 135, 27));
    EXPECT_EQ(FMB()->HotKeys(), "ON");
}

// The keyboard as in a Windows message box: the first button has the focus, Tab and the arrows go round the
// buttons, Space and Enter press the focused one and type nothing after it.
TEST_F(MessageWindowTest, TabAndTheArrowsMoveTheFocusThatSpaceAndEnterPress) {
    const std::vector<std::pair<std::string, int>> cases{
        {"key space\n", 1},
        {"key Tab\nkey Return\n", 2},
        {"key Tab\nkey space\n", 2},
        {"key Tab\nkey Tab\nkey Tab\nkey Return\n", 1},
        {"key ISO_Left_Tab\nkey Return\n", 3},
        {"key Right\nkey Right\nkey Left\nkey Return\n", 2},
        {"key Down\nkey Up\nkey Up\nkey space\n", 3},
        {"key Tab\nchar o\n", 1},
        {"key Tab\nkey Escape\n", 0},
    };
    for (const auto& [script, expected] : cases)
        EXPECT_EQ(Ask(script, "Oui#13Non#13Annuler"), expected) << script;
    // Without buttons there is nothing to focus: Enter still answers 1.
    EXPECT_EQ(Ask("key Tab\nkey Right\nkey Return\n", ""), 1);
}

// The focus is drawn, as on Windows, only once the keyboard moved it: a dotted rectangle inside the focused
// button, and nothing else changes.
TEST_F(MessageWindowTest, TheFocusIsDrawnInsideTheFocusedButtonOnceTheKeyboardMovedIt) {
    std::vector<Bitmap> pictures;
    FMB()->OnModalStart = [&](Form& form) { pictures.push_back(form.Surface()); };
    Ask("key Return\n", "Oui#13Non");
    UseScript("key Escape\n");
    FMB()->OnModalStart = [&](Form& form) {
        pictures.push_back(form.Surface());
        form.DialogKey(VirtualKey::Tab);
        App().PaintAll();
        pictures.push_back(form.Surface());
    };
    ShowHtmlMessageWindow("Titre", "Bonjour", "Oui#13Non", TColor(0));
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_TRUE(pictures[0] == pictures[1]); // a new showing hides the cue again
    const IntRect non = shown_.back().Buttons[1].Bounds;
    const IntRect focus{non.Left + 3, non.Top + 3, non.Right - 3, non.Bottom - 3};
    int changed = 0;
    for (int y = 0; y < pictures[1].Height(); ++y) {
        for (int x = 0; x < pictures[1].Width(); ++x) {
            if (pictures[1].Pixel(x, y) == pictures[2].Pixel(x, y))
                continue;
            ++changed;
            const bool onEdge =
                focus.Contains(x, y) &&
                !IntRect{focus.Left + 1, focus.Top + 1, focus.Right - 1, focus.Bottom - 1}.Contains(x, y);
            EXPECT_TRUE(onEdge && (x + y) % 2 == 0) << x << "," << y;
        }
    }
    EXPECT_EQ(changed, (focus.Width() + focus.Height() - 2)); // every other pixel of the edge
}

TEST_F(MessageWindowTest, AReaderFindsTheTextTheLinksAndTheButtonsInReadingOrder) {
    AccessibleTree tree;
    FMB()->OnModalStart = [&](Form& form) { tree = form.Describe(); };
    UseScript("key Return\n");
    ShowHtmlMessageWindow("Titre", "Lire <B>la</B> notice.<P>Voir <A HREF=\"x\">le site</A> ici", "Oui#13Non",
                          TColor(0));
    std::vector<std::string> lines = AccessibleRecords(tree);
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "access window=\"Titre\" role=\"dialog\" children=6",
                  "access child=1 role=\"static text\" name=\"Lire la notice.\" value=\"\" states=\"\" "
                  "shortcut=\"\"",
                  "access child=2 role=\"static text\" name=\"Voir\" value=\"\" states=\"\" shortcut=\"\"",
                  "access child=3 role=\"link\" name=\"le site\" value=\"\" states=\"\" shortcut=\"\"",
                  "access child=4 role=\"static text\" name=\"ici\" value=\"\" states=\"\" shortcut=\"\"",
                  "access child=5 role=\"push button\" name=\"Oui\" value=\"\" states=\"default focused "
                  "focusable\" shortcut=\"O\"",
                  "access child=6 role=\"push button\" name=\"Non\" value=\"\" states=\"focusable\" "
                  "shortcut=\"N\"",
              }));
    // A reader's default action presses the button, as a click does.
    UseScript("");
    FMB()->OnModalStart = [](Form& form) { EXPECT_TRUE(form.DoDefaultAction(3)); };
    EXPECT_EQ(ShowHtmlMessageWindow("Titre", "Bonjour", "Oui#13Non", TColor(0)), 2);
}

TEST_F(MessageWindowTest, EmptyAndBlankCaptionsAreSkippedWithoutNumbers) {
    EXPECT_EQ(Ask("char n\n", "Oui#13#13Non"), 2);
    EXPECT_EQ(Captions(), (std::vector<AnsiString>{"B1=&Oui", "B2=&Non"}));
    EXPECT_EQ(Ask("click B2\n", "Oui#13   #13Non"), 2);
    EXPECT_EQ(Captions(), (std::vector<AnsiString>{"B1=&Oui", "B2=&Non"}));
    EXPECT_EQ(Ask("char o\n", "  Ok  "), 1);
    EXPECT_EQ(Captions(), (std::vector<AnsiString>{"B1=&Ok"}));
    // A carriage return of the caller's own separates captions as well.
    EXPECT_EQ(Ask("char n\n", "Oui\rNon\r"), 2);
    EXPECT_EQ(Captions(), (std::vector<AnsiString>{"B1=&Oui", "B2=&Non"}));
}

TEST_F(MessageWindowTest, AnAmpersandInsideKeepsTheCaptionAndChoosesTheHotKey) {
    EXPECT_EQ(Ask("char u\n", "Oui#13Ann&uler"), 2);
    EXPECT_EQ(Captions(), (std::vector<AnsiString>{"B1=&Oui", "B2=Ann&uler"}));
    EXPECT_EQ(FMB()->HotKeys(), "OU");
    EXPECT_EQ(Ask("char O\n", "Oui#13Ouvrir"), 1);
    // A caption ending with its "&" has no letter to type.
    EXPECT_EQ(Ask("char k\nkey Escape\n", "Ok&"), 0);
}

TEST_F(MessageWindowTest, FourCaptionsMakeTwoRowsAndTheHeightFollowsTheLastRow) {
    EXPECT_EQ(Ask("char d\n", "Un#13Deux#13Trois#13Quatre"), 2);
    const Shown& seen = shown_.back();
    ASSERT_EQ(seen.Buttons.size(), 4u);
    int firstRow = seen.MessageHeight + 15;
    EXPECT_EQ(seen.Buttons[2].Bounds.Left, 300);
    EXPECT_EQ(seen.Buttons[3].Bounds, IntRect::FromSize(20, firstRow + 30, 135, 27));
    EXPECT_EQ(seen.ClientHeight, firstRow + 30 + 37);
}

TEST_F(MessageWindowTest, AnEmptyListEndsOnlyWithEnterEscapeOrClosing) {
    EXPECT_EQ(Ask("char o\nclick LeMessage\nkey Return\n", ""), 1);
    const Shown& seen = shown_.back();
    EXPECT_TRUE(seen.Buttons.empty());
    EXPECT_EQ(seen.ClientHeight, seen.MessageHeight + 52);
    EXPECT_EQ(Ask("close\n", ""), 0);
    EXPECT_EQ(Ask("key Escape\n", ""), 0);
}

TEST_F(MessageWindowTest, ASecondCallHasOnlyItsOwnHotKeys) {
    EXPECT_EQ(Ask("char o\n", "Oui#13Non"), 1);
    EXPECT_EQ(Ask("char n\n", "Non#13Oui"), 1);
    EXPECT_EQ(FMB()->HotKeys(), "NO");
}

TEST_F(MessageWindowTest, TheMessageHeightSetsTheLabelAndTheClientHeight) {
    const AnsiString text = "<B>Attention</B>#13Une ligne" + AnsiString("\r") + "et une autre";
    AnsiString markup = "<B>Attention</B><P>Une ligne<P>et une autre";
    UseScript("key Return\n");
    ShowHtmlMessageWindow("Titre", text, "Ok", TColor(0));
    const Shown& seen = shown_.back();
    int height = TextHeight(markup);
    EXPECT_EQ(FMB()->LeMessage->Caption(), markup);
    EXPECT_EQ(seen.MessageHeight, 5 + height);
    EXPECT_EQ(seen.ClientHeight, 5 + height + 15 + 37);
    // Once painted, the label measures itself from its own top y 1: four pixels shorter.
    EXPECT_EQ(FMB()->LeMessage->Height(), 1 + height);
    EXPECT_EQ(FMB()->LeMessage->BoundsRect().Left, 20);
    EXPECT_EQ(FMB()->LeMessage->Width(), 441);
}

TEST_F(MessageWindowTest, AColourHoldsForOneCallOnly) {
    std::vector<TColor> colours;
    EXPECT_EQ(Ask("key Return\n", "Ok", TColor(0x00FFFF)), 1);
    EXPECT_EQ(shown_.back().Color, TColor(0x00FFFF));
    EXPECT_EQ(FMB()->Color(), clWhite);
    EXPECT_EQ(Ask("key Return\n", "Ok", TColor(0)), 1);
    EXPECT_EQ(shown_.back().Color, clWhite);
}

TEST_F(MessageWindowTest, CentredTheFirstTimeThenAtTop106WhereTheFirstWas) {
    Ask("key Return\n", "Ok");
    Ask("key Return\n", "Un#13Deux#13Trois#13Quatre");
    ASSERT_EQ(shown_.size(), 2u);
    EXPECT_EQ(shown_[0].Left, (1024 - FMB()->Width()) / 2);
    EXPECT_EQ(shown_[0].Top, (768 - (shown_[0].ClientHeight + 32)) / 2);
    EXPECT_EQ(shown_[1].Left, shown_[0].Left);
    EXPECT_EQ(shown_[1].Top, 106);
}

TEST_F(MessageWindowTest, ButtonsLiveForOneCallAndTheGripStaysHidden) {
    int before = FMB()->ComponentCount();
    EXPECT_EQ(before, 2);
    Ask("key Return\n", "Un#13Deux#13Trois");
    EXPECT_EQ(FMB()->ComponentCount(), before);
    EXPECT_FALSE(FMB()->Gradient1->Visible());
    EXPECT_EQ(FMB()->Gradient1->PatternBuilds(), 2);
    EXPECT_EQ(FMB()->Gradient1->Style(), TGradientStyle::gsDiagonalRF);
}

TEST_F(MessageWindowTest, AGlyphFileOfTheCaptionGivesTheButtonItsPicture) {
    machine_.Disk.AddFile("Oui.BMP", SolidBmp(8, 8, clRed));
    EXPECT_EQ(Ask("key Return\n", "Oui#13Non"), 1);
    ASSERT_EQ(shown_.back().Buttons.size(), 2u);
    EXPECT_TRUE(shown_.back().Buttons[0].HasGlyph);
    EXPECT_FALSE(shown_.back().Buttons[1].HasGlyph);
    machine_.Disk.AddFile("Ann&uler.BMP", SolidBmp(8, 8, clRed));
    machine_.Disk.AddFile("Annuler.BMP", SolidBmp(8, 8, clRed));
    EXPECT_EQ(Ask("key Return\n", "Ann&uler"), 1);
    EXPECT_TRUE(shown_.back().Buttons[0].HasGlyph);
}

TEST_F(MessageWindowTest, AGlyphFileThatIsNoBitmapFailsBeforeTheWindowShows) {
    machine_.Disk.AddFile("Oui.BMP", "not");
    UseScript("key Return\n");
    EXPECT_THROW(ShowHtmlMessageWindow("Titre", "x", "Oui#13Non", TColor(0x00FFFF)), EInvalidGraphic);
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(FMB()->ComponentCount(), 2);
    EXPECT_EQ(FMB()->Color(), clWhite);
}

TEST_F(MessageWindowTest, TheGripResizesTheWindowOnlyWhileADragIsInProgress) {
    TFMB& window = *FMB();
    window.SetClientSize(481, 200);
    int width = window.Width();
    window.MouseMove(100, 100);
    EXPECT_EQ(window.Width(), width);
    window.Gradient1MouseDown(5, 6);
    window.MouseMove(15, 26);
    EXPECT_EQ(window.Width(), width + 10);
    EXPECT_EQ(window.ClientHeight(), 220);
    window.MouseUp();
    window.MouseMove(50, 50);
    EXPECT_EQ(window.Width(), width + 10);
}

TEST_F(MessageWindowTest, TheSeamUsesTheWindowStartUpMadeAndRecordsEachAnswer) {
    TFMB* created = FMB();
    UseScript("char x\nkey F1\nchar n\nclose\nkey Tab\nchar \xc3\xa9\nkey Escape\n");
    std::ostringstream out;
    {
        FrameworkDialogs dialogs(App(), MessageHost(), std::make_unique<Transcript>(out),
                                 FrameworkDialogs::ErrorBox::RecordOnly);
        EXPECT_EQ(ShowHtmlMessage(dialogs, "Question", "Texte#13suite", "Oui#13Non", TColor(0)), 2);
        EXPECT_EQ(ShowHtmlMessage(dialogs, "Question", "Texte", "Ok", TColor(0)), 0);
        // Texts are Windows-1252 in the call and UTF-8 in the record, with their controls escaped.
        EXPECT_EQ(ShowHtmlMessage(dialogs, Ansi("Tête"), "a\r\"b\"\\", "Ok", TColor(0x00FFFF)), 0);
        EXPECT_EQ(ShowHtmlMessage(dialogs, "Question", "Texte", "Ok", TColor(0)), 1); // the script is used up
        ShowApplicationError(dialogs, "Error in compression routine: -3");
        EXPECT_EQ(FMB(), created);
        int windows = 0;
        for (Form* form : App().Forms())
            windows += dynamic_cast<TFMB*>(form) != nullptr ? 1 : 0;
        EXPECT_EQ(windows, 1);
    }
    EXPECT_EQ(FMB(), nullptr); // shut-down freed it with the application's windows
    std::vector<std::string> records;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("window", 0) != 0 && line.rfind("access", 0) != 0)
            records.push_back(line);
    }
    EXPECT_EQ(records, (std::vector<std::string>{
                           "message title=\"Question\" text=\"Texte#13suite\" buttons=\"Oui#13Non\" colour=0",
                           "ignored event=\"char x\" line=1",
                           "ignored event=\"key F1\" line=2",
                           "answer result=2 event=\"char n\" line=3",
                           "message title=\"Question\" text=\"Texte\" buttons=\"Ok\" colour=0",
                           "answer result=0 event=\"close\" line=4",
                           "message title=\"Tête\" text=\"a\\r\\\"b\\\"\\\\\" buttons=\"Ok\" colour=65535",
                           "ignored event=\"key Tab\" line=5",
                           "ignored event=\"char é\" line=6",
                           "answer result=0 event=\"key Escape\" line=7",
                           "message title=\"Question\" text=\"Texte\" buttons=\"Ok\" colour=0",
                           "answer result=1 event=\"default\" line=0",
                           // Without a display the error box is recorded, not shown.
                           "error title=\"Erreur d'application\" text=\"Error in compression routine: -3\"",
                       }));
    EXPECT_NE(out.str().find("window show caption=\"Question\" LeMessage=\"Texte<P>suite\" B1=\"&Oui\" "
                             "B2=\"&Non\"\n"),
              std::string::npos);
}

TEST_F(MessageWindowTest, OnScreenTheErrorBoxIsAMessageWindowWithOk) {
    UseScript("key Return\n");
    std::ostringstream out;
    {
        FrameworkDialogs dialogs(App(), MessageHost(), std::make_unique<Transcript>(out),
                                 FrameworkDialogs::ErrorBox::Window);
        ShowApplicationError(dialogs, "Unable to create .lnk file");
    }
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(Captions(), (std::vector<AnsiString>{"B1=&OK"}));
    const std::string text = out.str();
    const std::size_t window = text.find("window show caption=\"Erreur d'application\" "
                                         "LeMessage=\"Unable to create .lnk file\" B1=\"&OK\"\n");
    const std::size_t record =
        text.find("error title=\"Erreur d'application\" text=\"Unable to create .lnk file\"\n");
    EXPECT_NE(window, std::string::npos) << text;
    EXPECT_NE(record, std::string::npos) << text;
    EXPECT_LT(window, record);
}

TEST_F(MessageWindowTest, AClickOnAButtonTheWindowLacksIsAFaultOfTheScriptNotOfTheProgram) {
    UseScript("click B2\n");
    std::ostringstream out;
    FrameworkDialogs dialogs(App(), MessageHost(), std::make_unique<Transcript>(out));
    EXPECT_THROW(ShowHtmlMessage(dialogs, "Question", "Texte", "Ok", TColor(0)), InputSourceError);
    EXPECT_EQ(FMB()->ComponentCount(), 2); // the call's button is gone with it
}

} // namespace
} // namespace vendora::test
