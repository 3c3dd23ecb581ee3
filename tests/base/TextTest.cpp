#include "base/Text.h"
#include "base/Cp1252.h"

#include <gtest/gtest.h>

using namespace vendora;

TEST(UpperNoAccents, FoldsAsciiAndFrenchSmallLettersOnly) {
    EXPECT_EQ(UpperNoAccents(Ansi("àâäçèéêëîïôöùûü")), "AAACEEEEIIOOUUU");
    EXPECT_EQ(UpperNoAccents("abc.ctn XYZ"), "ABC.CTN XYZ");
    // Capital accented letters and other small accented letters pass unchanged.
    EXPECT_EQ(UpperNoAccents(Ansi("ÉÀáñÿ")), Ansi("ÉÀáñÿ"));
    EXPECT_EQ(UpperNoAccents(Ansi("coché")).size(), Ansi("coché").size());
}

TEST(LowerAscii, TouchesCapitalsOnly) {
    EXPECT_EQ(LowerAscii(Ansi("CheckBox ÉTÉ")), Ansi("checkbox ÉtÉ"));
}

TEST(TrimSpaces, RemovesBlanksButNotOtherWhiteSpace) {
    EXPECT_EQ(TrimSpaces("  Ok  "), "Ok");
    EXPECT_EQ(TrimSpaces("\tOk\r"), "\tOk\r");
    EXPECT_EQ(TrimSpaces("    "), "");
    EXPECT_EQ(TrimLeftSpaces("  a "), "a ");
    EXPECT_EQ(TrimRightSpaces("  a "), "  a");
}

TEST(ReplaceAll, ScansLeftToRightWithoutResearchingInsertedText) {
    AnsiString t = "a#13b#13";
    EXPECT_EQ(ReplaceAll("#13", "\r", t, true), 2);
    EXPECT_EQ(t, "a\rb\r");
    AnsiString loop = "aa";
    EXPECT_EQ(ReplaceAll("a", "aa", loop, true), 2);
    EXPECT_EQ(loop, "aaaa");
    AnsiString overlap = "aaa";
    EXPECT_EQ(ReplaceAll("aa", "b", overlap, true), 1);
    EXPECT_EQ(overlap, "ba");
}

TEST(ReplaceAll, IgnoresCaseAndFrenchAccentsUnlessAskedNotTo) {
    AnsiString t = Ansi("<p>élan <P>Élan");
    EXPECT_EQ(ReplaceAll("<P>", "|", t, false), 2);
    EXPECT_EQ(t, Ansi("|élan |Élan"));
    AnsiString u = Ansi("été ETE");
    EXPECT_EQ(ReplaceAll("ETE", "x", u, false), 2);
    AnsiString v = "abc ABC";
    EXPECT_EQ(ReplaceAll("abc", "x", v, true), 1);
    EXPECT_EQ(v, "x ABC");
    AnsiString w = "abc";
    EXPECT_EQ(ReplaceAll("", "x", w, true), 0);
}

TEST(CutTo, KeepsTheCapacity) {
    EXPECT_EQ(CutTo(std::string(300, 'x'), Capacity::Path).size(), 255u);
    EXPECT_EQ(CutTo("Vendora.FCC", Capacity::ArchiveName), "Vendora.FCC");
    EXPECT_EQ(CutTo("abc", 79), "abc");
}

TEST(Cp1252, RoundTripsEveryCharacter) {
    AnsiString all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string utf8 = AnsiToUtf8(all);
    EXPECT_EQ(Utf8ToAnsi(utf8), all);
    EXPECT_TRUE(IsAnsiRepresentable(utf8));
}

TEST(Cp1252, MapsTheSpecialRangeAndRefusesWhatItCannotHold) {
    EXPECT_EQ(Ansi("€"), "\x80");
    EXPECT_EQ(Ansi("©"), "\xA9");
    EXPECT_EQ(AnsiToUtf8("\x9C"), "œ");
    EXPECT_EQ(Ansi("日本"), "??");
    EXPECT_FALSE(IsAnsiRepresentable("日本"));
    // A stray byte that is not UTF-8 is kept as it is.
    EXPECT_EQ(Utf8ToAnsi("a\xE9z"), "a\xE9z");
    EXPECT_FALSE(IsAnsiRepresentable("a\xE9z"));
}

TEST(Cp1252, Utf16IsOneUnitPerCharacterAndRefusesWhatItCannotHold) {
    EXPECT_EQ(AnsiToUtf16(Ansi("é€©")), u"é€©");
    EXPECT_EQ(Utf16ToAnsi(u"Vendora © Morvanel"), Ansi("Vendora © Morvanel"));
    EXPECT_EQ(Utf16ToAnsi(u"\x65E5\xD800"), "??");
    AnsiString all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(all)), all);
}
