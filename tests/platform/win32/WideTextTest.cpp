// The edge between the system's UTF-16 and the program's Windows-1252: the fixed table, and the texts of
// the system that Windows-1252 cannot hold, seen with '?' and given back whole.

#include "platform/win32/WideText.h"

#include <gtest/gtest.h>

using namespace vendora;

TEST(WideText, TheTableIsWindows1252WhateverTheSystemsCodePage) {
    SystemTexts texts;
    EXPECT_EQ(texts.ToSystem("R\xE8glements \x80 \x8C \x9F \x81.QXF"),
              L"R\u00E8glements \u20AC \u0152 \u0178 \u0081.QXF");
    EXPECT_EQ(texts.FromSystem(L"R\u00E8glements \u20AC \u0152.QXF"), "R\xE8glements \x80 \x8C.QXF");
    // A '?' that no text of the system accounts for stays one, as Windows refuses it in a name.
    EXPECT_EQ(texts.ToSystem("C:\\users\\????\\Desktop"), L"C:\\users\\????\\Desktop");
}

TEST(WideText, ATextOfTheSystemComesBackWhateverIsMadeFromIt) {
    SystemTexts texts;
    // One '?' for each UTF-16 unit: the length and every separator stay, a character beyond the BMP too.
    EXPECT_EQ(texts.FromSystem(L"C:\\Users\\\u0418\u0432\u0430\u043D\\Desktop"), "C:\\Users\\????\\Desktop");
    EXPECT_EQ(texts.FromSystem(L"D:\\\U0001F600"), "D:\\??");
    EXPECT_EQ(texts.ToSystem("C:\\Users\\????\\Desktop\\Vendora \xA9 Morvanel.lnk"),
              L"C:\\Users\\\u0418\u0432\u0430\u043D\\Desktop\\Vendora \u00A9 Morvanel.lnk");
    EXPECT_EQ(texts.ToSystem("C:\\Users\\??"), L"C:\\Users\\\u0418\u0432"); // cut short
    EXPECT_EQ(texts.ToSystem("D:\\??\\x"), L"D:\\\U0001F600\\x");
    // A '?' put after the text where the text has another character is none of its own.
    EXPECT_EQ(texts.ToSystem("C:\\Users\\?.txt"), L"C:\\Users\\?.txt");

    // An argument of the command line, which the program takes out of the whole line.
    EXPECT_EQ(texts.FromSystem(L"\"C:\\i\\INSTALL.EXE\" D:\\\u041A\u0430\u0441\u0441\u0430"),
              "\"C:\\i\\INSTALL.EXE\" D:\\?????");
    EXPECT_EQ(texts.ToSystem("D:\\?????\\MAJ"), L"D:\\\u041A\u0430\u0441\u0441\u0430\\MAJ");
    // Passed on among other arguments, each where it begins.
    EXPECT_EQ(texts.ToSystem("/x \"C:\\Users\\????\\Desktop\" D:\\?????"),
              L"/x \"C:\\Users\\\u0418\u0432\u0430\u043D\\Desktop\" D:\\\u041A\u0430\u0441\u0441\u0430");
}

TEST(WideText, OfTwoTextsTheOneThePathWasMadeFromFillsIt) {
    SystemTexts texts;
    texts.FromSystem(L"C:\\Users\\\u0418\u0432\u0430\u043D\\Desktop");
    texts.FromSystem(L"C:\\Users\\\u041E\u043B\u0435\u0433\\Desktop\\INSTALL.EXE");
    EXPECT_EQ(texts.ToSystem("C:\\Users\\????\\Desktop\\Vendora.lnk"),
              L"C:\\Users\\\u0418\u0432\u0430\u043D\\Desktop\\Vendora.lnk");
    EXPECT_EQ(texts.ToSystem("C:\\Users\\????\\Desktop\\INSTALL.EXE"),
              L"C:\\Users\\\u041E\u043B\u0435\u0433\\Desktop\\INSTALL.EXE");
    // Two texts seen alike and filled differently: the name is left to be refused, never guessed.
    texts.FromSystem(L"C:\\Users\\\u041E\u043B\u0435\u0433\\Desktop");
    EXPECT_EQ(texts.ToSystem("C:\\Users\\????\\Desktop\\Vendora.lnk"),
              L"C:\\Users\\????\\Desktop\\Vendora.lnk");
}
