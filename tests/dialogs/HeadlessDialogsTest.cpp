#include "dialogs/headless/HeadlessDialogs.h"
#include "dialogs/Attente.h"
#include "dialogs/ErrorBox.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace vendora;

TEST(UiScript, ReadsEventsSkippingBlankAndCommentLines) {
    UiScript script =
        UiScript::Parse("# answers\n\nkey Return\r\n  char o\nchar  \nclick B12\nclose\nkey Escape");
    std::vector<std::string> seen;
    while (auto event = script.Next())
        seen.push_back(event->Verb + "|" + event->Argument + "|" + std::to_string(event->Line));
    EXPECT_EQ(seen, (std::vector<std::string>{"key|Return|3", "char|o|4", "char| |5", "click|B12|6",
                                              "close||7", "key|Escape|8"}));
    EXPECT_TRUE(script.AtEnd());
}

TEST(UiScript, RejectsMistypedLinesWithTheirPlace) {
    for (const char* bad :
         {"push B1", "key", "char ab", "click 2", "click B0", "close now", "key Return x"}) {
        try {
            UiScript::Parse(std::string("key Return\n") + bad, "s.ui");
            ADD_FAILURE() << bad;
        } catch (const UiScriptError& error) {
            EXPECT_EQ(std::string(error.what()).rfind("s.ui:2: ", 0), 0u) << error.what();
        }
    }
    EXPECT_THROW(UiScript::Load("/nonexistent/s.ui"), UiScriptError);
}

class Headless : public ::testing::Test {
protected:
    void Use(std::string_view script) {
        dialogs =
            std::make_unique<HeadlessDialogs>(UiScript::Parse(script), std::make_unique<Transcript>(out));
    }
    int Ask(const AnsiString& buttons = "Oui#13Non") {
        return dialogs->ShowHtmlMessage("T\xea"
                                        "te",
                                        "a\r\"b\"\\", buttons, TColor(0));
    }
    std::ostringstream out;
    std::unique_ptr<HeadlessDialogs> dialogs;
};

TEST_F(Headless, AnswersFollowTheScriptThenEnter) {
    Use("key Return\nkey Escape\nclose\nchar n\nchar O\nclick B2\nkey Tab\nchar x\nchar \xc3\xa9\nchar o");
    EXPECT_EQ(Ask(), 1);
    EXPECT_EQ(Ask(), 0);
    EXPECT_EQ(Ask(), 0);
    EXPECT_EQ(Ask(), 2);
    EXPECT_EQ(Ask(), 1);
    EXPECT_EQ(Ask(), 2);
    EXPECT_EQ(Ask(), 1); // Tab, x and é choose nothing; o then does
    EXPECT_EQ(Ask(), 1); // the script is used up: Enter
    EXPECT_EQ(Ask(""), 1);
}

TEST_F(Headless, ClickOnAMissingButtonIsAScriptFault) {
    Use("click B2");
    EXPECT_THROW(Ask("Ok"), UiScriptError);
}

TEST_F(Headless, TranscriptRecordsCallsAnswersAndWindows) {
    Use("char x\nclose");
    Ask();
    std::unique_ptr<TAttente> attente = dialogs->CreateAttente();
    attente->SetCaption("Installateur");
    attente->SetLabel1("\rtexte");
    attente->Show();
    attente->Hide();
    attente->Hide();
    dialogs->ShowErrorBox(ApplicationErrorTitle(), "Error in compression routine: -3");
    EXPECT_EQ(out.str(),
              "message title=\"T\xc3\xaate\" text=\"a\\r\\\"b\\\"\\\\\" buttons=\"Oui#13Non\" colour=0\n"
              "ignored event=\"char x\" line=1\n"
              "answer result=0 event=\"close\" line=2\n"
              "attente show caption=\"Installateur\" label1=\"\\rtexte\"\n"
              "attente hide\n"
              "error title=\"Erreur d'application\" text=\"Error in compression routine: -3\"\n");
}

TEST(Transcript, ControlCharactersAreEscaped) {
    EXPECT_EQ(QuoteTranscriptValue(std::string("a\tb\nc\x01\x7f")), "\"a\\tb\\nc\\x01\\x7F\"");
}
