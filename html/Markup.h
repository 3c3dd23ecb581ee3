#pragma once
// Reading of the markup every message is written in. The reader cuts the text into the words of inner runs,
// the tags (recognised and with their attributes read) and the final run, one token at a time, so that the
// layout applies each piece the moment it is read: a malformed number ends the layout exactly where the
// tag that holds it stands, with everything before it laid out (and DrawHtml paints that much).
//
// Nothing here draws; LayoutHtml places what the reader hands out.

#include "base/Color.h"
#include "base/Text.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>

namespace vendora {

enum class Alignment { Left, Center, Right };

// The markup number n (written like HTML's #RRGGBB) as a framework colour: low and high bytes exchanged,
// with the high byte taken by a signed division, as the messages' authors have always had it.
TColor MarkupColor(std::int32_t n);

// Replaces the character references of a word in place: "&quot;" and "&amp;", the named Latin-1
// references "&nbsp;" to "&yuml;" in code order, "&lt;" and "&gt;", then numeric references "&#n;". Each
// step runs over the whole word before the next, so one step may complete a reference for a later one. A
// malformed number raises EConvertError; a "&#" with no ';' after it is left as written.
void DecodeEntities(AnsiString& word);

// Takes characters from the front of attributes until two double quotes have been taken or nothing is
// left, removes them from attributes, and returns them less their first and last character.
AnsiString ReadQuotedValue(AnsiString& attributes);

// What a recognised tag does; the order follows the recognition rows.
enum class TagKind {
    Font,
    FontEnd,
    Anchor,
    AnchorEnd,
    Image,
    Rule,
    Heading,
    HeadingEnd,
    Ignored, // "<HTML", "<HEAD" and their ends, and a highlight whose colour is not a number
    Indent,
    Outdent,
    Paragraph,
    BoldOn,
    BoldOff,
    ItalicOn,
    ItalicOff,
    UnderlineOn,
    UnderlineOff,
    ShadowOn,
    ShadowOff,
    HighlightOn,
    HighlightOff,
    TextArea,
    Input,
    AsText, // recognised by no row: drawn as the characters of the tag
};

enum class FieldType {
    Hidden,
    Text,
    Int,
    Float,
    Date,
    File,
    Password,
    Image,
    Checkbox,
    Radio,
    Reset,
    Submit
};

bool IsTextKind(FieldType type);
bool IsPictureKind(FieldType type);

struct FontAttributes {
    std::optional<TColor> Color;
    std::optional<AnsiString> Face;
    std::optional<std::int32_t> Size; // points, the small sizes already multiplied by 4
};

enum class PictureWidth { Natural, Percent, Pixels };

struct ImageAttributes {
    AnsiString Source; // the "SRC=" value with its last four characters replaced by ".jpg"
    PictureWidth WidthKind = PictureWidth::Natural;
    std::int32_t Width = 0;
};

struct TextAreaAttributes {
    std::int32_t Rows = 3;
    std::int32_t Cols = 40;
    AnsiString Content; // the raw text that followed the tag
};

struct InputAttributes {
    FieldType Type = FieldType::Text;
    AnsiString KindText; // the "TYPE=" value as written, lower-cased
    AnsiString Name;
    AnsiString Value;
    AnsiString Source;
    bool Checked = false;
    std::int32_t Size = 20;
};

struct Tag {
    TagKind Kind = TagKind::AsText;
    AnsiString Text; // the tag after normalisation
    FontAttributes Font;
    bool HasHref = false;
    std::int32_t HeadingSize = 0;
    std::optional<Alignment> Align; // the alignment words of a paragraph tag
    TColor Highlight;
    ImageAttributes Image;
    TextAreaAttributes TextArea;
    InputAttributes Input;
};

// Every "< " becomes "<" and every " >" becomes ">", until none is left.
AnsiString NormalizeTag(std::string_view tag);

// Recognises a normalised tag and reads its attributes. A refused number raises EConvertError. The
// content of a text area is not read here: it follows the tag in the text.
Tag RecognizeTag(const AnsiString& tag);

enum class TokenKind {
    Word,      // one word of an inner run, references decoded
    PlainText, // the text in front of a second '<' inside a tag
    TagToken,  // a recognised tag
    FinalRun,  // the text after the last tag, as written
    End,
};

struct Token {
    TokenKind Kind = TokenKind::End;
    AnsiString Text; // the word, plain text or final run
    Tag Markup;      // for a tag
};

// Hands out the tokens of a markup text in reading order. Words are decoded and tags recognised only when
// they are handed out, so a conversion error comes out with the token that holds it.
//
// A '<' with no '>' anywhere after it opens no tag: the rest of the text, from that '<' on, is the final
// run and is shown as written.
class MarkupReader {
public:
    explicit MarkupReader(std::string_view text) : text_(text) {}
    MarkupReader(const MarkupReader&) = delete;
    MarkupReader& operator=(const MarkupReader&) = delete;
    Token Next();

private:
    struct Piece {
        TokenKind Kind;
        AnsiString Text;
    };
    void ReadUpToNextTag();
    void QueueInnerRun();
    AnsiString TakeTextAreaContent();

    AnsiString text_;
    std::size_t pos_ = 0;
    AnsiString pendingText_;
    std::deque<Piece> queue_;
    bool ended_ = false;
};

} // namespace vendora
