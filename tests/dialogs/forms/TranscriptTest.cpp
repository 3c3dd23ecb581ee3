// The transcript's record format: fields in order, texts quoted with their escapes, Windows-1252 texts
// written in UTF-8.
#include "dialogs/forms/Transcript.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vendora::test {
namespace {

TEST(TranscriptTest, ControlCharactersAreEscaped) {
    EXPECT_EQ(QuoteTranscriptValue(std::string("a\tb\nc\x01\x7f")), "\"a\\tb\\nc\\x01\\x7F\"");
    EXPECT_EQ(QuoteTranscriptValue("\\\"\r"), "\"\\\\\\\"\\r\"");
}

TEST(TranscriptTest, RecordsAreOneLineEachWithTheirFieldsInOrder) {
    std::ostringstream out;
    Transcript transcript(out);
    transcript.Write("attente hide");
    transcript.Write("message", {{"title", AnsiString("T\xea"
                                                      "te")},
                                 {"colour", 65535},
                                 TranscriptField::Utf8("event", "char \xc3\xa9")});
    transcript.Write("window show", std::vector<TranscriptField>{{"caption", AnsiString("Oui")}, {"B1", 1}});
    EXPECT_EQ(out.str(), "attente hide\n"
                         "message title=\"T\xc3\xaate\" colour=65535 event=\"char \xc3\xa9\"\n"
                         "window show caption=\"Oui\" B1=1\n");
    EXPECT_FALSE(transcript.ToStderr());
}

} // namespace
} // namespace vendora::test
