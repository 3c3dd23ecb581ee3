#include "platform/linux/WindowsNames.h"
#include "base/Cp1252.h"

#include <gtest/gtest.h>

using namespace vendora;

namespace {

WinPath At(char drive, std::vector<AnsiString> parts) {
    return WinPath{drive, std::move(parts)};
}

AnsiString Full(std::string_view path, const WinPath& current = At('C', {"Vendora", "MAJ"})) {
    int error = 0;
    auto full = FullPath(path, current, error);
    return full ? full->ToString() : "error " + IntToStr(error);
}

} // namespace

TEST(FoldCase, FoldsAsciiAndWindows1252LettersLikeWindows) {
    EXPECT_TRUE(SameNameNoCase("Vendora.EXE", "vendora.exe"));
    EXPECT_TRUE(SameNameNoCase(Ansi("Déjà Vu ÉTÉ"), Ansi("DÉJÀ vu été")));
    EXPECT_TRUE(SameNameNoCase(Ansi("œuvre šž ÿ"), Ansi("ŒUVRE ŠŽ Ÿ")));
    // No capital in Windows-1252 for ß and µ; ÷ and × are not letters.
    EXPECT_FALSE(SameNameNoCase(Ansi("ß"), "SS"));
    EXPECT_EQ(FoldCase(Ansi("÷")[0]), Ansi("÷")[0]);
    EXPECT_FALSE(SameNameNoCase(Ansi("÷"), Ansi("×")));
    EXPECT_FALSE(SameNameNoCase("abc", "abcd"));
    EXPECT_FALSE(SameNameNoCase("e", Ansi("é")));
}

TEST(NameLessNoCase, OrdersByFoldedNameThenBytes) {
    EXPECT_TRUE(NameLessNoCase("apple", "Banana"));
    EXPECT_FALSE(NameLessNoCase("Banana", "apple"));
    EXPECT_TRUE(NameLessNoCase("ABC", "abc"));
    EXPECT_FALSE(NameLessNoCase("abc", "ABC"));
    EXPECT_FALSE(NameLessNoCase("abc", "abc"));
}

TEST(MatchesWildcard, StarQuestionMarkAndTheDosStarDotStar) {
    EXPECT_TRUE(MatchesWildcard("*.exe", "Vendora.EXE"));
    EXPECT_TRUE(MatchesWildcard("v?ndora.*", "Vendora.FCC"));
    EXPECT_FALSE(MatchesWildcard("*.exe", "Vendora.EXE.bak"));
    EXPECT_TRUE(MatchesWildcard("*.*", "README"));
    EXPECT_FALSE(MatchesWildcard("*.", "README.txt"));
    EXPECT_TRUE(MatchesWildcard("*a*b*", "xxaYYbzz"));
    EXPECT_FALSE(MatchesWildcard("?", ""));
    EXPECT_TRUE(MatchesWildcard(Ansi("coch?.jpg"), Ansi("COCHÉ.JPG")));
}

TEST(FullPath, AbsoluteRelativeAndDriveRelativeForms) {
    EXPECT_EQ(Full("C:\\Vendora\\Vendora.EXE"), "C:\\Vendora\\Vendora.EXE");
    EXPECT_EQ(Full("c:/Vendora//Vendora.EXE"), "C:\\Vendora\\Vendora.EXE");
    EXPECT_EQ(Full("Vendora.FCC"), "C:\\Vendora\\MAJ\\Vendora.FCC");
    EXPECT_EQ(Full(".\\a\\..\\b"), "C:\\Vendora\\MAJ\\b");
    EXPECT_EQ(Full("..\\..\\..\\..\\x"), "C:\\x");
    EXPECT_EQ(Full("\\Windows\\fonts"), "C:\\Windows\\fonts");
    EXPECT_EQ(Full("\\Windows", At('D', {"Caisse"})), "D:\\Windows");
    // "X:name" is relative to the current folder only on the current drive.
    EXPECT_EQ(Full("c:x"), "C:\\Vendora\\MAJ\\x");
    EXPECT_EQ(Full("d:x"), "D:\\x");
    EXPECT_EQ(Full("D:"), "D:\\");
    EXPECT_EQ(Full("C:\\"), "C:\\");
    EXPECT_EQ(Full("C:\\Vendora\\"), "C:\\Vendora");
    EXPECT_EQ(Full("\\\\?\\C:\\Vendora"), "C:\\Vendora");
}

TEST(FullPath, TrailingDotsAndBlanksAreDroppedAsWindowsDoes) {
    EXPECT_EQ(Full("C:\\Vendora. \\file.txt."), "C:\\Vendora\\file.txt");
    EXPECT_EQ(Full("C:\\a\\...\\b"), "C:\\a\\b");
}

TEST(FullPath, RefusedNamesNetworkPathsAndEmptyPaths) {
    EXPECT_EQ(Full(""), "error 3");
    EXPECT_EQ(Full("\\\\server\\share\\file"), "error 53");
    EXPECT_EQ(Full("//server/share"), "error 53");
    EXPECT_EQ(Full("C:\\a<b"), "error 123");
    EXPECT_EQ(Full("C:\\a|b"), "error 123");
    EXPECT_EQ(Full("C:\\a\"b"), "error 123");
    EXPECT_EQ(Full("C:\\a:b"), "error 123");
    EXPECT_EQ(Full(std::string("C:\\a\x01") + "b"), "error 123");
    EXPECT_EQ(Full("C:\\*.exe"), "error 123");
    EXPECT_EQ(Full("C:\\" + std::string(256, 'x')), "error 206");
    EXPECT_EQ(Full("C:\\" + std::string(255, 'x')).size(), 258u);

    int error = 0;
    auto pattern = FullPath("C:\\Vendora\\*.exe", At('C', {}), error, true);
    ASSERT_TRUE(pattern);
    EXPECT_EQ(pattern->ToString(), "C:\\Vendora\\*.exe");
    EXPECT_FALSE(FullPath("C:\\V*\\a.exe", At('C', {}), error, true));
    EXPECT_EQ(error, 123);
}

TEST(SplitParameters, BlanksOutsideQuotesSeparateAndQuotesGo) {
    EXPECT_EQ(SplitParameters(""), std::vector<AnsiString>{});
    EXPECT_EQ(SplitParameters("   \t "), std::vector<AnsiString>{});
    EXPECT_EQ(SplitParameters("D:\\Caisse"), std::vector<AnsiString>{"D:\\Caisse"});
    EXPECT_EQ(SplitParameters("\"D:\\Ma Caisse\""), std::vector<AnsiString>{"D:\\Ma Caisse"});
    EXPECT_EQ(SplitParameters("a \"b c\" d"), (std::vector<AnsiString>{"a", "b c", "d"}));
    // A quoted folder ending with a backslash stays whole: no escaping by backslashes.
    EXPECT_EQ(SplitParameters("\"C:\\Mes Documents\\\" x"),
              (std::vector<AnsiString>{"C:\\Mes Documents\\", "x"}));
    // Quotes inside a word join its parts; an unclosed quote runs to the end.
    EXPECT_EQ(SplitParameters("ab\"c d\"e"), std::vector<AnsiString>{"abc de"});
    EXPECT_EQ(SplitParameters("\"open end"), std::vector<AnsiString>{"open end"});
    // Control characters separate too; Windows-1252 letters do not.
    EXPECT_EQ(SplitParameters(Ansi("é\r\nà")), (std::vector<AnsiString>{Ansi("é"), Ansi("à")}));
    // An empty pair of quotes between arguments is no argument.
    EXPECT_EQ(SplitParameters("\"\" a"), std::vector<AnsiString>{"a"});
}
