#include "dialogs/MessageBox.h"

#include <gtest/gtest.h>

using namespace vendora;

namespace {
std::vector<AnsiString> Captions(const std::vector<MessageButton>& buttons) {
    std::vector<AnsiString> captions;
    for (const MessageButton& button : buttons)
        captions.push_back(button.Caption);
    return captions;
}
AnsiString HotKeys(const std::vector<MessageButton>& buttons) {
    AnsiString keys;
    for (const MessageButton& button : buttons)
        keys += button.HotKey;
    return keys;
}
} // namespace

TEST(SplitButtonList, CaptionsNumbersAndHotKeys) {
    const auto yesNo = SplitButtonList("Oui#13Non");
    EXPECT_EQ(Captions(yesNo), (std::vector<AnsiString>{"&Oui", "&Non"}));
    EXPECT_EQ(HotKeys(yesNo), "ON");
    EXPECT_EQ(yesNo[1].Number, 2);
    // Empty and blank captions are skipped and not counted; blanks around a caption go.
    const auto gaps = SplitButtonList("Oui#13#13   #13Non");
    EXPECT_EQ(Captions(gaps), (std::vector<AnsiString>{"&Oui", "&Non"}));
    EXPECT_EQ(gaps[1].Number, 2);
    EXPECT_EQ(Captions(SplitButtonList("  Ok  ")), (std::vector<AnsiString>{"&Ok"}));
    EXPECT_TRUE(SplitButtonList("").empty());
    // A caption with its own "&" keeps it and names its letter; only a-z are upper-cased.
    const auto amp = SplitButtonList("Ann&uler#13\xe9t\xe9#13x&");
    EXPECT_EQ(Captions(amp), (std::vector<AnsiString>{"Ann&uler", "&\xe9t\xe9", "x&"}));
    EXPECT_EQ(HotKeys(amp), AnsiString("U\xe9") + '\0');
    // A caption of 255 characters loses its last one to the "&".
    const auto longCaption = SplitButtonList(AnsiString(300, 'z'));
    EXPECT_EQ(longCaption[0].Caption, "&" + AnsiString(254, 'z'));
}

TEST(HotKeyButton, FirstMatchingButtonOrNone) {
    const auto buttons = SplitButtonList("Oui#13Ouvrir#13Non");
    EXPECT_EQ(HotKeyButton(buttons, 'o'), 1);
    EXPECT_EQ(HotKeyButton(buttons, 'O'), 1);
    EXPECT_EQ(HotKeyButton(buttons, 'n'), 3);
    EXPECT_EQ(HotKeyButton(buttons, 'x'), 0);
    EXPECT_EQ(HotKeyButton(SplitButtonList("Non#13Oui"), 'n'), 1);
    EXPECT_EQ(HotKeyButton(SplitButtonList("x&"), '\0'), 0);
}

TEST(MessageMarkup, HashThirteenAndCarriageReturnsBecomeParagraphs) {
    EXPECT_EQ(MessageMarkup("a#13b\rc\nd"), "a<P>b<P>c\nd");
}
