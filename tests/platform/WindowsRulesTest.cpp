#include "platform/WindowsRules.h"
#include "base/Cp1252.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

using namespace vendora;
using Args = std::vector<AnsiString>;

namespace {

WinPath At(char drive, std::vector<AnsiString> parts) {
    return WinPath{drive, std::move(parts)};
}

AnsiString Full(std::string_view path, const WinPath& current = At('C', {"Vendora", "MAJ"})) {
    auto full = FullPath(path, current);
    return full ? full->ToString() : "error " + IntToStr(full.Error());
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

TEST(FoldCase, FoldedNamesAreEqualExactlyForOneFile) {
    EXPECT_EQ(FoldedName(Ansi("été œuvre.txt")), Ansi("ÉTÉ ŒUVRE.TXT"));
    EXPECT_EQ(FoldedName(Ansi("ß÷")), Ansi("ß÷"));
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
    // A final ".*" also finds the name without an extension; '[' is an ordinary character.
    EXPECT_TRUE(MatchesWildcard("lisezmoi.*", "LISEZMOI"));
    EXPECT_TRUE(MatchesWildcard("lisezmoi.*", "LisezMoi.txt"));
    EXPECT_FALSE(MatchesWildcard("lisezmoi.*", "LISEZMOI2"));
    EXPECT_TRUE(MatchesWildcard("a[1]*", "a[1].txt"));
    EXPECT_FALSE(MatchesWildcard("a[1]*", "a1.txt"));
}

TEST(FileNameFault, WhatWindowsCannotHoldAsAFileInAFolder) {
    for (const char* name : {".", "..", "a\\b", "a/b", "C:b", "c:"})
        EXPECT_EQ(FileNameFault(name), NameFault::LeavesFolder) << name;
    for (const char* name : {"a<b", "a>b", "a\"b", "a|b", "a?b", "a*b", "a\tb", "a\x1f", "\x01"})
        EXPECT_EQ(FileNameFault(name), NameFault::ForbiddenCharacter) << name;
    for (const AnsiString& name :
         {AnsiString("CON"), AnsiString("con.txt"), AnsiString("Prn.log"), AnsiString("nul.tar.gz"),
          AnsiString("COM1"), AnsiString("lpt9.txt"), Ansi("COM².txt"), AnsiString("NUL .txt")})
        EXPECT_EQ(FileNameFault(name), NameFault::DeviceName) << name;
    for (const char* name : {"trailing.", "trailing ", "..."})
        EXPECT_EQ(FileNameFault(name), NameFault::TrailingDotOrBlank) << name;
    for (const AnsiString& name :
         {AnsiString("CONSOLE.txt"), AnsiString("COM0"), AnsiString("COM10"), AnsiString("LPT"),
          AnsiString("xCON"), AnsiString("NULL"), AnsiString(".hidden"), AnsiString("x..y"), Ansi("é è.txt"),
          AnsiString("a\x7f"), AnsiString()})
        EXPECT_EQ(FileNameFault(name), NameFault::None) << name;
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

    auto pattern = FullPath("C:\\Vendora\\*.exe", At('C', {}), true);
    ASSERT_TRUE(pattern);
    EXPECT_EQ(pattern->ToString(), "C:\\Vendora\\*.exe");
    EXPECT_EQ(FullPath("C:\\V*\\a.exe", At('C', {}), true).Error(), 123);
}

TEST(SplitCommandLine, BlanksAndControlCharactersSeparate) {
    EXPECT_EQ(SplitCommandLine("INSTALL.EXE D:\\Caisse"), (Args{"INSTALL.EXE", "D:\\Caisse"}));
    EXPECT_EQ(SplitCommandLine("  INSTALL.EXE   a  b  "), (Args{"INSTALL.EXE", "a", "b"}));
    EXPECT_EQ(SplitCommandLine("INSTALL.EXE\ta\x01"
                               "b\r\nc"),
              (Args{"INSTALL.EXE", "a", "b", "c"}));
    // Every code up to the blank separates; the ones above it, accented letters included, do not.
    EXPECT_EQ(SplitCommandLine("x \x1f"
                               "a\x7f\xe9"),
              (Args{"x", "a\x7f\xe9"}));
    EXPECT_TRUE(SplitCommandLine("").empty());
    EXPECT_TRUE(SplitCommandLine(" \t ").empty());
}

TEST(SplitCommandLine, QuotesGroupAndDisappear) {
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\INSTALL.EXE\" \"D:\\Ma Caisse\""),
              (Args{"C:\\Program Files\\INSTALL.EXE", "D:\\Ma Caisse"}));
    // Quotes may open and close anywhere inside an argument.
    EXPECT_EQ(SplitCommandLine("p D:\\\"Ma Caisse\"\\x\" y\""), (Args{"p", "D:\\Ma Caisse\\x y"}));
    // A quote left open runs to the end of the line, blanks and tabs included.
    EXPECT_EQ(SplitCommandLine("p \"a b\tc"), (Args{"p", "a b\tc"}));
}

TEST(SplitCommandLine, EmptyQuotesMakeNoArgument) {
    EXPECT_EQ(SplitCommandLine("p \"\" a"), (Args{"p", "a"}));
    EXPECT_EQ(SplitCommandLine("p \"\"\"\" a"), (Args{"p", "a"}));
    EXPECT_EQ(SplitCommandLine("p \"\"a"), (Args{"p", "a"}));
    EXPECT_EQ(SplitCommandLine("p a\"\"b"), (Args{"p", "ab"}));
    // A lone quote at the end is an empty argument, and the list stops at it.
    EXPECT_EQ(SplitCommandLine("p a \""), (Args{"p", "a"}));
}

TEST(SplitCommandLine, BackslashesAreOrdinaryCharacters) {
    EXPECT_EQ(SplitCommandLine("p \"C:\\Vendora\\\" next"), (Args{"p", "C:\\Vendora\\", "next"}));
    EXPECT_EQ(SplitCommandLine("p a\\\\\"b c\""), (Args{"p", "a\\\\b c"}));
    EXPECT_EQ(SplitCommandLine("p \\\\server\\share"), (Args{"p", "\\\\server\\share"}));
}

TEST(ParamStr, PicksByIndexAndIsEmptyBeyond) {
    const AnsiString line = "INSTALL.EXE \"D:\\Ma Caisse\" second";
    EXPECT_EQ(ParamStr(line, 0), "INSTALL.EXE");
    EXPECT_EQ(ParamStr(line, 1), "D:\\Ma Caisse");
    EXPECT_EQ(ParamStr(line, 2), "second");
    EXPECT_EQ(ParamStr(line, 3), "");
    EXPECT_EQ(ParamStr("INSTALL.EXE", 1), "");
}

TEST(JoinCommandLine, QuotesWhatSplittingWouldBreakAndRoundTrips) {
    EXPECT_EQ(JoinCommandLine({"/opt/INSTALL", "D:\\Ma Caisse", "x"}), "/opt/INSTALL \"D:\\Ma Caisse\" x");
    EXPECT_EQ(JoinCommandLine({"p", "a\tb"}), "p \"a\tb\"");
    const Args arguments{"/bin/INSTALL", "C:\\Dossier avec blancs\\", "\xe9t\xe9", "D:\\x"};
    EXPECT_EQ(SplitCommandLine(JoinCommandLine(arguments)), arguments);
}

TEST(TemporarySibling, AShortNameInTheSameFolderThatNoInstallerFileCarries) {
    const AnsiString exe = TemporarySibling("C:\\Vendora\\Vendora.EXE");
    EXPECT_EQ(exe.substr(0, 11), "C:\\Vendora\\");
    const AnsiString name = exe.substr(11);
    ASSERT_EQ(name.size(), 12u);
    EXPECT_EQ(name[0], '~');
    EXPECT_EQ(name.substr(8), ".TMP");
    // The same file gives the same name whatever its spelling; another file another name.
    EXPECT_EQ(TemporarySibling("C:\\Vendora\\vendora.exe"), exe);
    EXPECT_NE(TemporarySibling("C:\\Vendora\\Vendora.FCC"), exe);
    EXPECT_EQ(TemporarySibling("C:Vendora.FCC").substr(0, 2), "C:");
    EXPECT_EQ(TemporarySibling("Vendora.FCC").find('\\'), AnsiString::npos);
    EXPECT_EQ(TemporarySibling("out/x.bin").substr(0, 4), "out/");
    // A file that carries its own temporary name is given another one.
    EXPECT_NE(TemporarySibling("C:\\" + name), "C:\\" + name);
    for (const char* own : {"Vendora.FCC", "Vendora.CTN", "Vendora.TMP", "install.exe", "ex_Vendora.EXE"}) {
        EXPECT_NE(name, AnsiString(own));
        EXPECT_FALSE(IsTemporaryName(own)) << own;
    }
    // Every name it gives, and only those, is known for a temporary one, in any letter case.
    EXPECT_TRUE(IsTemporaryName(name));
    EXPECT_TRUE(IsTemporaryName(TemporarySibling("C:\\" + name).substr(3)));
    EXPECT_TRUE(IsTemporaryName("~0a1B2c3.tmp"));
    for (const char* other : {"~0A1B2C.TMP", "~0A1B2C3X.TMP", "~0A1B2G3.TMP", "X0A1B2C3.TMP", "~0A1B2C3.TXT"})
        EXPECT_FALSE(IsTemporaryName(other)) << other;
}
