// What a screen reader reads of a message: words without tags, paragraphs, links, the pictured form
// elements with their roles, and nothing past the place where the painter stops.
#include "html/label/MarkupReading.h"

#include <gtest/gtest.h>

namespace vendora::test {
namespace {

std::vector<std::string> Read(const AnsiString& markup) {
    std::vector<std::string> out;
    for (const AccessibleElement& e : ReadMarkup(markup)) {
        std::string line = RoleName(e.Role) + ":" + e.Name;
        if (!e.Value.empty())
            line += "=" + e.Value;
        if (e.States != 0)
            line += " [" + StateNames(e.States) + "]";
        out.push_back(line);
    }
    return out;
}

TEST(MarkupReadingTest, ParagraphsLinksAndFormElementsInReadingOrder) {
    EXPECT_EQ(Read("  Un <B>mot</B>,\r\nsuite<P><H1>Titre</H1>Lien <A HREF=\"u\">ici</A>.<HR>"),
              (std::vector<std::string>{"static text:Un mot, suite", "static text:Titre", "static text:Lien",
                                        "link:ici", "static text:."}));
    EXPECT_EQ(
        Read("Nom <INPUT NAME=\"nom\" VALUE=\"Dupont\"> <INPUT TYPE=password NAME=\"mdp\" VALUE=\"x\">"
             "<INPUT TYPE=checkbox NAME=\"c\" CHECKED><INPUT TYPE=radio NAME=\"r\">"
             "<INPUT TYPE=hidden NAME=\"h\"><INPUT TYPE=submit VALUE=\"Envoyer\">"
             "<TEXTAREA>ligne</TEXTAREA>fin"),
        (std::vector<std::string>{"static text:Nom", "editable text:nom=Dupont [read-only]",
                                  "editable text:mdp [read-only protected]",
                                  "check box:c [checked read-only]", "radio button:r [read-only]",
                                  "push button:Envoyer [unavailable]", "editable text:=ligne [read-only]",
                                  "static text:</TEXTAREA>fin"})); // the closing tag is shown as text
    // A link without an address is text; an anchor left open ends with the text.
    EXPECT_EQ(Read("a <A NAME=\"n\">b</A> <A HREF=\"x\">c d"),
              (std::vector<std::string>{"static text:a b", "link:c d"}));
}

TEST(MarkupReadingTest, ReadingStopsWhereTheNumberTheMarkupCannotHoldStopsThePainter) {
    EXPECT_EQ(Read("avant <FONT SIZE=9999999999999>après"), (std::vector<std::string>{"static text:avant"}));
}

} // namespace
} // namespace vendora::test
