#include "installer/CommandLine.h"

#include <gtest/gtest.h>

using namespace vendora;
using Args = std::vector<AnsiString>;

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
