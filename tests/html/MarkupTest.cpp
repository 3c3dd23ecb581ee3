// Reading of the markup on its own: runs, words, tags, attributes, references and the error texts.

#include "html/Markup.h"

#include "base/Cp1252.h"
#include "base/Errors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vendora {
namespace {

struct Read {
    TokenKind Kind;
    std::string Text;
    TagKind Tag = TagKind::AsText;
    friend bool operator==(const Read&, const Read&) = default;
};

std::ostream& operator<<(std::ostream& out, const Read& r) {
    return out << "{" << static_cast<int>(r.Kind) << ", \"" << r.Text << "\", " << static_cast<int>(r.Tag)
               << "}";
}

std::vector<Read> ReadAll(std::string_view text) {
    MarkupReader reader(text);
    std::vector<Read> tokens;
    for (Token t = reader.Next(); t.Kind != TokenKind::End; t = reader.Next()) {
        if (t.Kind == TokenKind::TagToken)
            tokens.push_back({t.Kind, t.Markup.Text, t.Markup.Kind});
        else
            tokens.push_back({t.Kind, t.Text});
    }
    return tokens;
}

Read W(std::string text) {
    return {TokenKind::Word, std::move(text)};
}
Read F(std::string text) {
    return {TokenKind::FinalRun, std::move(text)};
}
Read P(std::string text) {
    return {TokenKind::PlainText, std::move(text)};
}
Read T(std::string text, TagKind kind) {
    return {TokenKind::TagToken, std::move(text), kind};
}

Tag Recognized(std::string_view text) {
    return RecognizeTag(NormalizeTag(text));
}

std::string ConversionErrorOf(std::string_view tag) {
    try {
        Recognized(tag);
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "no error";
}

TEST(MarkupReading, InnerRunsAreCutIntoWordsKeepingTheirSpaces) {
    EXPECT_EQ(ReadAll("un  deux trois<P>fin"), (std::vector<Read>{W("un "), W(" "), W("deux "), W("trois"),
                                                                  T("<P>", TagKind::Paragraph), F("fin")}));
}

TEST(MarkupReading, OnlyInnerRunsAreDecoded) {
    EXPECT_EQ(ReadAll("a &amp; b<B>a &amp; b"),
              (std::vector<Read>{W("a "), W("& "), W("b"), T("<B>", TagKind::BoldOn), F("a &amp; b")}));
    // A non-breaking space joins the words on either side of it.
    EXPECT_EQ(ReadAll("a&nbsp;b c<P>"), (std::vector<Read>{W("a\xA0"
                                                             "b "),
                                                           W("c"), T("<P>", TagKind::Paragraph)}));
}

TEST(MarkupReading, WordsAndTagsKeepAtMost255Characters) {
    const std::string longWord(300, 'x');
    const auto words = ReadAll(longWord + " y<P>");
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0], W(std::string(255, 'x'))); // the trailing space is beyond the limit
    EXPECT_EQ(words[1], W("y"));

    const auto tags = ReadAll("<P" + std::string(300, 'z') + ">après");
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags[0], T("<P" + std::string(253, 'z'), TagKind::Paragraph));
    EXPECT_EQ(tags[1], F("après"));
}

TEST(MarkupReading, TextBeforeASecondOpeningBracketIsPlainText) {
    EXPECT_EQ(ReadAll("a <b &amp; <B>c"),
              (std::vector<Read>{W("a "), P("<b &amp; "), T("<B>", TagKind::BoldOn), F("c")}));
    // Only once per tag: the rest keeps its further brackets.
    EXPECT_EQ(ReadAll("<a<b<S>"), (std::vector<Read>{P("<a"), T("<b<S>", TagKind::Ignored)}));
}

TEST(MarkupReading, SpacesJustInsideTheBracketsAreDropped) {
    EXPECT_EQ(ReadAll("<  B  >x"), (std::vector<Read>{T("<B>", TagKind::BoldOn), F("x")}));
    EXPECT_EQ(ReadAll("1 < 2 et 3 > 2"),
              (std::vector<Read>{W("1 "), T("<2 et 3>", TagKind::AsText), F(" 2")}));
}

TEST(MarkupReading, AnOpeningBracketWithoutCloseIsShownAsWritten) {
    EXPECT_EQ(ReadAll("a &amp; <BR"), (std::vector<Read>{W("a "), W("& "), F("<BR")}));
    EXPECT_EQ(ReadAll("<"), (std::vector<Read>{F("<")}));
}

TEST(MarkupReading, ATextAreaTakesTheRawTextUpToItsClosingTag) {
    MarkupReader reader("<TEXTAREA ROWS=2>un <B>&amp;</textarea>fin");
    const Token area = reader.Next();
    ASSERT_EQ(area.Markup.Kind, TagKind::TextArea);
    EXPECT_EQ(area.Markup.TextArea.Content, "un <B>&amp;");
    EXPECT_EQ(area.Markup.TextArea.Rows, 2);
    const Token closing = reader.Next();
    EXPECT_EQ(closing.Markup.Kind, TagKind::AsText);
    EXPECT_EQ(closing.Markup.Text, "</textarea>");
    EXPECT_EQ(reader.Next().Text, "fin");
    EXPECT_EQ(reader.Next().Kind, TokenKind::End);

    // Without a closing tag among the next 500 characters, the content is those 500.
    MarkupReader open("<TEXTAREA>" + std::string(600, 'c') + "<B>");
    EXPECT_EQ(open.Next().Markup.TextArea.Content, std::string(500, 'c'));
    EXPECT_EQ(open.Next().Text, std::string(100, 'c'));
    EXPECT_EQ(open.Next().Markup.Kind, TagKind::BoldOn);
}

TEST(MarkupReading, AConversionErrorComesWithTheTokenThatHoldsIt) {
    MarkupReader reader("avant <FONT SIZE=1x>après");
    EXPECT_EQ(reader.Next().Text, "avant ");
    EXPECT_THROW(reader.Next(), EConvertError);
}

TEST(TagRecognition, RowsAreTestedInOrder) {
    const std::vector<std::pair<std::string, TagKind>> rows = {
        {"<FONT>", TagKind::Font},
        {"<font color=#FF>", TagKind::Font},
        {"</FONT>", TagKind::FontEnd},
        {"<A>", TagKind::Anchor},
        {"<ADDRESS>", TagKind::Anchor},
        {"</a>", TagKind::AnchorEnd},
        {"<IMG>", TagKind::Image},
        {"<hr>", TagKind::Rule},
        {"<H1>", TagKind::Heading},
        {"<HTML>", TagKind::Ignored},
        {"<head>", TagKind::Ignored},
        {"</H1>", TagKind::HeadingEnd},
        {"</HR>", TagKind::HeadingEnd},
        {"</HTML>", TagKind::Ignored},
        {"<BLOCKQUOTE>", TagKind::Indent},
        {"<DIR>", TagKind::Indent},
        {"</blockquote>", TagKind::Outdent},
        {"</DIR>", TagKind::Outdent},
        {"<P>", TagKind::Paragraph},
        {"<PRE>", TagKind::Paragraph},
        {"<Br>", TagKind::Paragraph},
        {"<B>", TagKind::BoldOn},
        {"<b>", TagKind::BoldOn},
        {"</B>", TagKind::BoldOff},
        {"<I>", TagKind::ItalicOn},
        {"</i>", TagKind::ItalicOff},
        {"<u>", TagKind::UnderlineOn},
        {"</U>", TagKind::UnderlineOff},
        {"<O>", TagKind::ShadowOn},
        {"</o>", TagKind::ShadowOff},
        {"<S>", TagKind::HighlightOn},
        {"<s#FF>", TagKind::HighlightOn},
        {"</S>", TagKind::HighlightOff},
        {"<TEXTAREA>", TagKind::TextArea},
        {"<iNPUT>", TagKind::Input},
        {"<F12>", TagKind::AsText},
        {"<Bx>", TagKind::AsText},
        {"<SPAN>", TagKind::AsText},
        {"<DIV>", TagKind::AsText},
    };
    for (const auto& [tag, kind] : rows)
        EXPECT_EQ(Recognized(tag).Kind, kind) << tag;
}

TEST(TagRecognition, ExactTestsKeepTheLetterCaseAsWritten) {
    EXPECT_EQ(Recognized("<B >").Kind, TagKind::BoldOn);
    EXPECT_EQ(Recognized("<I >").Kind, TagKind::ItalicOn);
    // Neither "<B>" nor "<b>" nor a start test.
    EXPECT_EQ(Recognized("<u >x").Kind, TagKind::AsText);
}

TEST(TagRecognition, AlignmentWordsOfAParagraphLastOfTheirOrderWins) {
    EXPECT_EQ(Recognized("<P CENTER>").Align, Alignment::Center);
    EXPECT_EQ(Recognized("<p left>").Align, Alignment::Left);
    EXPECT_EQ(Recognized("<BR RIGHT>").Align, Alignment::Right);
    EXPECT_EQ(Recognized("<P RIGHT CENTER>").Align, Alignment::Right);
    EXPECT_EQ(Recognized("<P CENTER LEFT>").Align, Alignment::Left);
    EXPECT_FALSE(Recognized("<P>").Align.has_value());
}

TEST(TagRecognition, HeadingSizeComesFromTheThirdCharacter) {
    EXPECT_EQ(Recognized("<H1>").HeadingSize, 16);
    EXPECT_EQ(Recognized("<h4>").HeadingSize, 4);
    EXPECT_EQ(Recognized("<H7>").HeadingSize, -8);
    EXPECT_EQ(ConversionErrorOf("<Hx>"), Ansi("'x' n'est pas une valeur entière correcte"));
    EXPECT_EQ(ConversionErrorOf("<H>"), Ansi("'>' n'est pas une valeur entière correcte"));
}

TEST(TagRecognition, HighlightColourIsReadLeniently) {
    EXPECT_EQ(Recognized("<S>").Highlight, TColor::Rgb(255, 255, 153));
    EXPECT_EQ(Recognized("<S#FF>").Highlight, TColor::Rgb(0, 0, 255));
    EXPECT_EQ(Recognized("<s#FF0000>").Highlight, TColor::Rgb(255, 0, 0));
    EXPECT_EQ(Recognized("<S#GG>").Kind, TagKind::Ignored);
    EXPECT_EQ(Recognized("<s #FF>").Kind, TagKind::AsText);
}

TEST(FontAttributes, ColourAndSize) {
    const Tag blue = Recognized("<FONT COLOR=#FF SIZE=15>");
    EXPECT_EQ(blue.Font.Color, TColor::Rgb(0, 0, 255));
    EXPECT_EQ(blue.Font.Size, 15);
    const Tag red = Recognized("<FONT COLOR=#FF0000>");
    EXPECT_EQ(red.Font.Color, TColor::Rgb(255, 0, 0));
    EXPECT_FALSE(red.Font.Size.has_value());
    EXPECT_EQ(Recognized("<FONT SIZE=2>").Font.Size, 8);
    EXPECT_EQ(Recognized("<FONT SIZE=7>").Font.Size, 28);
    EXPECT_EQ(Recognized("<FONT SIZE=8>").Font.Size, 8);
    EXPECT_EQ(Recognized("<FONT SIZE=\"15\">").Font.Size, 15);
    EXPECT_EQ(Recognized("<font size = 3 color= #EE>").Font.Size, 12);
    EXPECT_EQ(Recognized("<font size = 3 color= #EE>").Font.Color, TColor::Rgb(0, 0, 238));
    // Quoted colours and colour names are ignored.
    EXPECT_FALSE(Recognized("<FONT COLOR=\"#FF\">").Font.Color.has_value());
    EXPECT_FALSE(Recognized("<FONT COLOR=red>").Font.Color.has_value());
    // An unknown attribute is skipped.
    EXPECT_EQ(Recognized("<FONT STYLE=x SIZE=9>").Font.Size, 9);
}

TEST(FontAttributes, FaceWithAndWithoutQuotes) {
    const Tag quoted = Recognized("<FONT FACE=\"Times New Roman\" SIZE=3>");
    EXPECT_EQ(quoted.Font.Face, "Times New Roman");
    EXPECT_EQ(quoted.Font.Size, 12);
    const Tag bare = Recognized("<FONT FACE=Arial SIZE=3>");
    EXPECT_EQ(bare.Font.Face, "rial SIZE=");
    EXPECT_FALSE(bare.Font.Size.has_value());
    EXPECT_EQ(Recognized("<FONT NAME=\"Courier\">").Font.Face, "Courier");
}

TEST(FontAttributes, RefusedNumbersNameTheirText) {
    EXPECT_EQ(ConversionErrorOf("<FONT SIZE=12pt>"), Ansi("'12pt' n'est pas une valeur entière correcte"));
    EXPECT_EQ(ConversionErrorOf("<FONT SIZE=\"1 2\">"), Ansi("'1 2' n'est pas une valeur entière correcte"));
    EXPECT_EQ(ConversionErrorOf("<FONT COLOR=#GG>"), Ansi("'$GG' n'est pas une valeur entière correcte"));
    EXPECT_EQ(ConversionErrorOf("<FONT SIZE=>"), Ansi("'' n'est pas une valeur entière correcte"));
}

TEST(OtherAttributes, LinkPictureAndTextArea) {
    EXPECT_TRUE(Recognized("<A HREF=\"http://x\">").HasHref);
    EXPECT_FALSE(Recognized("<A NAME=\"x\">").HasHref);

    const Tag natural = Recognized("<IMG SRC=\"logo.gif\">");
    EXPECT_EQ(natural.Image.Source, "logo.jpg");
    EXPECT_EQ(natural.Image.WidthKind, PictureWidth::Natural);
    EXPECT_EQ(Recognized("<IMG SRC=\"ab\">").Image.Source, ".jpg");
    const Tag percent = Recognized("<IMG WIDTH=50% SRC=\"a.jpg\">");
    EXPECT_EQ(percent.Image.WidthKind, PictureWidth::Percent);
    EXPECT_EQ(percent.Image.Width, 50);
    const Tag pixels = Recognized("<IMG WIDTH=\"120\">");
    EXPECT_EQ(pixels.Image.WidthKind, PictureWidth::Pixels);
    EXPECT_EQ(pixels.Image.Width, 120);
    EXPECT_EQ(ConversionErrorOf("<IMG WIDTH=12px>"), Ansi("'12px' n'est pas une valeur entière correcte"));

    const Tag area = Recognized("<TEXTAREA>");
    EXPECT_EQ(area.TextArea.Rows, 3);
    EXPECT_EQ(area.TextArea.Cols, 40);
    const Tag sized = Recognized("<TEXTAREA NAME=\"n\" ROWS=5 VALUE=\"v\" COLS=\"10\">");
    EXPECT_EQ(sized.TextArea.Rows, 5);
    EXPECT_EQ(sized.TextArea.Cols, 10);
    EXPECT_EQ(ConversionErrorOf("<TEXTAREA ROWS=deux>"),
              Ansi("'deux' n'est pas une valeur entière correcte"));
}

TEST(OtherAttributes, InputFields) {
    const Tag bare = Recognized("<INPUT>");
    EXPECT_EQ(bare.Input.Type, FieldType::Text);
    EXPECT_EQ(bare.Input.KindText, "");
    EXPECT_EQ(bare.Input.Size, 20);
    EXPECT_FALSE(bare.Input.Checked);

    const Tag box = Recognized("<INPUT TYPE=checkbox CHECKED NAME=\"Choix\">");
    EXPECT_EQ(box.Input.Type, FieldType::Checkbox);
    EXPECT_TRUE(box.Input.Checked);
    EXPECT_EQ(box.Input.Name, "Choix");
    EXPECT_FALSE(Recognized("<INPUT TYPE=checkbox checked>").Input.Checked);

    const Tag radio = Recognized("<INPUT TYPE=Radio>");
    EXPECT_EQ(radio.Input.Type, FieldType::Radio);
    EXPECT_EQ(radio.Input.KindText, "radio");
    const Tag unknown = Recognized("<INPUT TYPE=Bouton>");
    EXPECT_EQ(unknown.Input.Type, FieldType::Text);
    EXPECT_EQ(unknown.Input.KindText, "bouton");

    const Tag field =
        Recognized("<INPUT NAME=\"Nom\" VALUE=\"Jean Dupont\" SIZE=10 MAXLENGTH=30 SRC=\"p.jpg\">");
    EXPECT_EQ(field.Input.Name, "Nom");
    EXPECT_EQ(field.Input.Value, "Jean Dupont");
    EXPECT_EQ(field.Input.Size, 10);
    EXPECT_EQ(field.Input.Source, "p.jpg");
    // A bare value loses its first and last characters.
    EXPECT_EQ(Recognized("<INPUT VALUE=Ok>").Input.Value, "");
    EXPECT_EQ(Recognized("<INPUT TYPE=submit VALUE=\"Ok\">").Input.Type, FieldType::Submit);
    EXPECT_EQ(ConversionErrorOf("<INPUT MAXLENGTH=x>"), Ansi("'x' n'est pas une valeur entière correcte"));
}

TEST(AttributeValues, ReadQuotedValueTakesUpToTheSecondQuote) {
    AnsiString text = "\"a b\" c";
    EXPECT_EQ(ReadQuotedValue(text), "a b");
    EXPECT_EQ(text, " c");
    text = "abc def";
    EXPECT_EQ(ReadQuotedValue(text), "bc de");
    EXPECT_EQ(text, "");
    text = "\"x";
    EXPECT_EQ(ReadQuotedValue(text), "");
    text = "";
    EXPECT_EQ(ReadQuotedValue(text), "");
}

TEST(MarkupColours, LowAndHighBytesAreExchanged) {
    EXPECT_EQ(MarkupColor(0xFF), TColor(0xFF0000));
    EXPECT_EQ(MarkupColor(0xFF0000), TColor(0x0000FF));
    EXPECT_EQ(MarkupColor(0x123456), TColor(0x563412));
    // The high byte comes from a signed division.
    EXPECT_EQ(MarkupColor(-1), TColor(0xFFFF00));
    EXPECT_EQ(MarkupColor(-131072), TColor(0x0000FE));
}

std::string Decoded(std::string word) {
    DecodeEntities(word);
    return word;
}

TEST(CharacterReferences, NamedReferencesAreCaseSensitive) {
    EXPECT_EQ(Decoded("&quot;&amp;&lt;&gt;"), "\"&<>");
    EXPECT_EQ(Decoded("&eacute;t&eacute;"), Ansi("été"));
    EXPECT_EQ(Decoded("&Eacute;"), Ansi("É"));
    EXPECT_EQ(Decoded("&EACUTE;"), "&EACUTE;");
    const std::vector<std::pair<std::string, int>> latin = {
        {"nbsp", 160},   {"iexcl", 161}, {"copy", 169},  {"shy", 173},    {"frac34", 190}, {"iquest", 191},
        {"Agrave", 192}, {"times", 215}, {"szlig", 223}, {"agrave", 224}, {"divide", 247}, {"yuml", 255}};
    for (const auto& [name, code] : latin)
        EXPECT_EQ(Decoded("&" + name + ";"), std::string(1, static_cast<char>(code))) << name;
}

TEST(CharacterReferences, StepsRunInOrderOverTheWholeWord) {
    EXPECT_EQ(Decoded("&amp;lt;"), "<");
    EXPECT_EQ(Decoded("&amp;eacute;"), Ansi("é"));
    EXPECT_EQ(Decoded("&amp;amp;"), "&amp;");
    EXPECT_EQ(Decoded("&amp;#65;"), "A");
}

TEST(CharacterReferences, NumericReferences) {
    EXPECT_EQ(Decoded("&#65;&#66;&#65;"), "ABA");
    EXPECT_EQ(Decoded("&#$41;"), "A");
    EXPECT_EQ(Decoded("&#321;"), "A"); // low 8 bits
    EXPECT_EQ(Decoded("&#233;t&#233;"), Ansi("été"));
    try {
        Decoded("&#x41;");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), Ansi("'x41' n'est pas une valeur entière correcte"));
    }
}

TEST(CharacterReferences, ANumericReferenceWithoutSemicolonStaysAsWritten) {
    EXPECT_EQ(Decoded("&#65"), "&#65");
    EXPECT_EQ(Decoded("a&#65;b&#66"), "aAb&#66");
    EXPECT_EQ(Decoded("&#"), "&#");
}

} // namespace
} // namespace vendora
