#include "html/Markup.h"

#include "base/Convert.h"
#include "base/Errors.h"

#include <array>
#include <span>

namespace vendora {

namespace {

constexpr std::size_t MaxTagLength = Capacity::Path;
constexpr std::size_t MaxWordLength = Capacity::Path;
constexpr std::size_t TextAreaLookahead = 500;

// The named references of Latin-1, codes 160 to 255 in order.
constexpr std::array<std::string_view, 96> LatinEntityNames = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",
    "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12",
    "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde",
    "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",
    "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",
    "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.starts_with(prefix);
}

// The attribute text of a tag, read from the front.
class AttributeText {
public:
    explicit AttributeText(AnsiString text) : rest_(TrimSpaces(text)) {}

    bool Empty() const { return rest_.empty(); }

    // The index of the name the text starts with (compared after UpperNoAccents), which is removed.
    std::optional<std::size_t> TakeName(std::span<const std::string_view> names) {
        const AnsiString upper = UpperNoAccents(rest_);
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (StartsWith(upper, names[i])) {
                rest_.erase(0, names[i].size());
                return i;
            }
        }
        return std::nullopt;
    }

    AnsiString Word() {
        const std::size_t space = rest_.find(' ');
        AnsiString value = rest_.substr(0, space);
        rest_.erase(0, space == AnsiString::npos ? AnsiString::npos : space + 1);
        return value;
    }

    AnsiString Quoted() { return ReadQuotedValue(rest_); }

    // The text of a number: quotes are put around a bare value first.
    AnsiString NumberText() {
        if (rest_.empty() || rest_[0] != '"') {
            const std::size_t space = std::min(rest_.find(' '), rest_.size());
            AnsiString quoted;
            quoted.reserve(rest_.size() + 2);
            quoted.push_back('"');
            quoted.append(rest_, 0, space);
            quoted.push_back('"');
            quoted.append(rest_, space);
            rest_ = std::move(quoted);
        }
        return Quoted();
    }

    std::int32_t Number() { return StrToInt(NumberText()); }

    // Peeks only: the value stays, and the next step skips it like an unknown attribute.
    AnsiString Kind() const { return LowerAscii(rest_.substr(0, rest_.find(' '))); }

    void SkipUnknown() {
        const std::size_t space = rest_.find(' ');
        rest_.erase(0, space);
    }

    void Trim() { rest_ = TrimSpaces(rest_); }

private:
    AnsiString rest_;
};

// The attributes of tag, which begins with its name (as "<FONT"): the name cut off, the closing ">" a
// blank, and no blanks around "=".
AnsiString PrepareAttributes(AnsiString tag, std::string_view name) {
    tag.erase(0, name.size());
    for (char& c : tag) {
        if (c == '>')
            c = ' ';
    }
    while (ReplaceAll(" =", "=", tag, true) + ReplaceAll("= ", "=", tag, true) > 0) {
    }
    return TrimSpaces(tag);
}

// Reads attribute after attribute; read(index, text) reads the value of the name found.
template <typename Reader>
void ReadAttributes(AnsiString prepared, std::span<const std::string_view> names, Reader read) {
    AttributeText text(std::move(prepared));
    while (!text.Empty()) {
        if (const auto index = text.TakeName(names))
            read(*index, text);
        else
            text.SkipUnknown();
        text.Trim();
    }
}

std::int32_t WrapToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(value);
}

FontAttributes ReadFontAttributes(const AnsiString& tag) {
    static constexpr std::array<std::string_view, 4> names = {"COLOR=", "FACE=", "NAME=", "SIZE="};
    FontAttributes font;
    ReadAttributes(PrepareAttributes(tag, "<FONT"), names, [&](std::size_t index, AttributeText& text) {
        switch (index) {
        case 0: {
            const AnsiString value = text.Word();
            if (StartsWith(value, "#"))
                font.Color = MarkupColor(StrToInt(AnsiString(1, '$').append(value, 1)));
            break;
        }
        case 1:
        case 2:
            font.Face = text.Quoted();
            break;
        default: {
            const std::int32_t n = text.Number();
            font.Size = n < 8 ? WrapToInt32(4LL * n) : n;
            break;
        }
        }
    });
    return font;
}

bool ReadHref(const AnsiString& tag) {
    static constexpr std::array<std::string_view, 1> names = {"HREF="};
    bool href = false;
    ReadAttributes(PrepareAttributes(tag, "<A"), names, [&](std::size_t, AttributeText& text) {
        text.Quoted();
        href = true;
    });
    return href;
}

AnsiString AsJpegName(const AnsiString& source) {
    return source.substr(0, source.size() >= 4 ? source.size() - 4 : 0) + ".jpg";
}

ImageAttributes ReadImageAttributes(const AnsiString& tag) {
    static constexpr std::array<std::string_view, 2> names = {"SRC=", "WIDTH="};
    ImageAttributes image;
    ReadAttributes(PrepareAttributes(tag, "<IMG"), names, [&](std::size_t index, AttributeText& text) {
        if (index == 0) {
            image.Source = AsJpegName(text.Quoted());
            return;
        }
        AnsiString value = text.NumberText();
        if (Contains(value, '%')) {
            ReplaceAll("%", "", value, true);
            image.WidthKind = PictureWidth::Percent;
        } else {
            image.WidthKind = PictureWidth::Pixels;
        }
        image.Width = StrToInt(value);
    });
    return image;
}

TextAreaAttributes ReadTextAreaAttributes(const AnsiString& tag) {
    static constexpr std::array<std::string_view, 4> names = {"ROWS=", "COLS=", "NAME=", "VALUE="};
    TextAreaAttributes area;
    ReadAttributes(PrepareAttributes(tag, "<TEXTAREA"), names, [&](std::size_t index, AttributeText& text) {
        if (index == 0)
            area.Rows = text.Number();
        else if (index == 1)
            area.Cols = text.Number();
        else
            text.Quoted();
    });
    return area;
}

std::optional<FieldType> FieldTypeNamed(std::string_view kind) {
    static constexpr std::array<std::string_view, 12> kinds = {"hidden",   "text",  "int",      "float",
                                                               "date",     "file",  "password", "image",
                                                               "checkbox", "radio", "reset",    "submit"};
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (kinds[i] == kind)
            return static_cast<FieldType>(i);
    }
    return std::nullopt;
}

InputAttributes ReadInputAttributes(AnsiString tag) {
    static constexpr std::array<std::string_view, 6> names = {
        "NAME=", "VALUE=", "SRC=", "TYPE=", "SIZE=", "MAXLENGTH="};
    InputAttributes input;
    static constexpr std::string_view checked = "CHECKED";
    if (const std::size_t at = tag.find(checked); at != AnsiString::npos) {
        tag.erase(at, checked.size());
        input.Checked = true;
    }
    ReadAttributes(PrepareAttributes(tag, "<INPUT"), names, [&](std::size_t index, AttributeText& text) {
        switch (index) {
        case 0:
            input.Name = text.Quoted();
            break;
        case 1:
            input.Value = text.Quoted();
            break;
        case 2:
            input.Source = text.Quoted();
            break;
        case 3:
            input.KindText = text.Kind();
            if (const auto type = FieldTypeNamed(input.KindText))
                input.Type = *type;
            break;
        case 4:
            input.Size = text.Number();
            break;
        default:
            text.Number();
            break;
        }
    });
    return input;
}

// The highlight of "<S...>": the text after the tag's first two characters up to its first '>'.
std::optional<TColor> ReadHighlight(const AnsiString& tag) {
    const std::size_t close = tag.find('>');
    AnsiString value =
        TrimSpaces(tag.substr(std::min<std::size_t>(2, tag.size()),
                              close == AnsiString::npos || close < 2 ? AnsiString::npos : close - 2));
    if (value.empty())
        return TColor::Rgb(255, 255, 153);
    ReplaceAll("#", "$", value, true);
    if (const auto n = TryStrToInt(value))
        return MarkupColor(*n);
    return std::nullopt;
}

std::optional<Alignment> AlignmentWords(const AnsiString& upper) {
    std::optional<Alignment> align;
    if (Contains(upper, "CENTER"))
        align = Alignment::Center;
    if (Contains(upper, "LEFT"))
        align = Alignment::Left;
    if (Contains(upper, "RIGHT"))
        align = Alignment::Right;
    return align;
}

bool IsExactly(const AnsiString& tag, std::string_view upper, std::string_view lower) {
    return tag == upper || tag == lower;
}

// The rows of the "is exactly" tests, 12 to 19 and 21.
std::optional<TagKind> ExactTag(const AnsiString& tag) {
    struct Row {
        std::string_view Upper, Lower;
        TagKind Kind;
    };
    static constexpr std::array<Row, 8> rows = {{
        {"<B>", "<b>", TagKind::BoldOn},
        {"</B>", "</b>", TagKind::BoldOff},
        {"<I>", "<i>", TagKind::ItalicOn},
        {"</I>", "</i>", TagKind::ItalicOff},
        {"<U>", "<u>", TagKind::UnderlineOn},
        {"</U>", "</u>", TagKind::UnderlineOff},
        {"<O>", "<o>", TagKind::ShadowOn},
        {"</O>", "</o>", TagKind::ShadowOff},
    }};
    for (const Row& row : rows) {
        if (IsExactly(tag, row.Upper, row.Lower))
            return row.Kind;
    }
    return std::nullopt;
}

bool IsHighlightTag(const AnsiString& tag) {
    return Contains(tag, "<S>") || Contains(tag, "<s>") || Contains(tag, "<S#") || Contains(tag, "<s#");
}

// Rows 1 to 11.
std::optional<TagKind> LeadingTag(const AnsiString& upper) {
    if (StartsWith(upper, "<FONT"))
        return TagKind::Font;
    if (StartsWith(upper, "</FONT"))
        return TagKind::FontEnd;
    if (StartsWith(upper, "<A"))
        return TagKind::Anchor;
    if (StartsWith(upper, "</A"))
        return TagKind::AnchorEnd;
    if (StartsWith(upper, "<IMG"))
        return TagKind::Image;
    if (StartsWith(upper, "<HR"))
        return TagKind::Rule;
    if (StartsWith(upper, "<H"))
        return StartsWith(upper, "<HTML") || StartsWith(upper, "<HEAD") ? TagKind::Ignored : TagKind::Heading;
    if (StartsWith(upper, "</H"))
        return StartsWith(upper, "</HTML") || StartsWith(upper, "</HEAD") ? TagKind::Ignored
                                                                          : TagKind::HeadingEnd;
    if (StartsWith(upper, "<BLOCKQUOTE") || StartsWith(upper, "<DIR"))
        return TagKind::Indent;
    if (StartsWith(upper, "</BLOCKQUOTE") || StartsWith(upper, "</DIR"))
        return TagKind::Outdent;
    if (StartsWith(upper, "<P") || StartsWith(upper, "<BR"))
        return TagKind::Paragraph;
    return std::nullopt;
}

TagKind Classify(const AnsiString& tag, const AnsiString& upper) {
    if (const auto kind = LeadingTag(upper))
        return *kind;
    if (const auto kind = ExactTag(tag))
        return *kind;
    if (IsHighlightTag(tag))
        return TagKind::HighlightOn;
    if (IsExactly(tag, "</S>", "</s>"))
        return TagKind::HighlightOff;
    if (StartsWith(upper, "<TEXTAREA"))
        return TagKind::TextArea;
    if (StartsWith(upper, "<INPUT"))
        return TagKind::Input;
    return TagKind::AsText;
}

} // namespace

TColor MarkupColor(std::int32_t n) {
    const auto low = static_cast<std::uint32_t>(n & 0xFF);
    const auto middle = static_cast<std::uint32_t>(n & 0xFF00);
    const auto high = static_cast<std::uint32_t>((n / 65536) & 0xFF);
    return TColor(low * 65536 + middle + high);
}

void DecodeEntities(AnsiString& word) {
    if (!Contains(word, '&'))
        return;
    ReplaceAll("&quot;", "\"", word, true);
    ReplaceAll("&amp;", "&", word, true);
    for (std::size_t i = 0; i < LatinEntityNames.size(); ++i) {
        AnsiString name(1, '&');
        name.append(LatinEntityNames[i]).push_back(';');
        ReplaceAll(name, AnsiString(1, static_cast<char>(160 + i)), word, true);
    }
    ReplaceAll("&lt;", "<", word, true);
    ReplaceAll("&gt;", ">", word, true);
    for (std::size_t start = word.find("&#"); start != AnsiString::npos; start = word.find("&#")) {
        const std::size_t semicolon = word.find(';', start);
        if (semicolon == AnsiString::npos)
            break; // not a reference: no ';' closes it, so it stays as written
        const AnsiString reference = word.substr(start, semicolon - start);
        const std::int32_t code = StrToInt(reference.substr(2));
        ReplaceAll(reference + ";", AnsiString(1, static_cast<char>(code & 0xFF)), word, true);
    }
}

AnsiString ReadQuotedValue(AnsiString& attributes) {
    std::size_t taken = 0;
    int quotes = 0;
    while (taken < attributes.size() && quotes < 2) {
        if (attributes[taken] == '"')
            ++quotes;
        ++taken;
    }
    AnsiString value = taken >= 2 ? attributes.substr(1, taken - 2) : AnsiString();
    attributes.erase(0, taken);
    return value;
}

bool IsTextKind(FieldType type) {
    return type <= FieldType::Password;
}

bool IsPictureKind(FieldType type) {
    return type >= FieldType::Image && type <= FieldType::Radio;
}

AnsiString NormalizeTag(std::string_view tag) {
    AnsiString text(tag);
    while (ReplaceAll("< ", "<", text, true) + ReplaceAll(" >", ">", text, true) > 0) {
    }
    return text;
}

Tag RecognizeTag(const AnsiString& text) {
    Tag tag;
    tag.Text = text;
    const AnsiString upper = UpperNoAccents(text);
    tag.Kind = Classify(text, upper);
    switch (tag.Kind) {
    case TagKind::Font:
        tag.Font = ReadFontAttributes(text);
        break;
    case TagKind::Anchor:
        tag.HasHref = ReadHref(text);
        break;
    case TagKind::Image:
        tag.Image = ReadImageAttributes(text);
        break;
    case TagKind::Heading:
        tag.HeadingSize =
            WrapToInt32((5LL - StrToInt(text.substr(std::min<std::size_t>(2, text.size()), 1))) * 4);
        break;
    case TagKind::Paragraph:
        tag.Align = AlignmentWords(upper);
        break;
    case TagKind::HighlightOn:
        if (const auto colour = ReadHighlight(text))
            tag.Highlight = *colour;
        else
            tag.Kind = TagKind::Ignored;
        break;
    case TagKind::TextArea:
        tag.TextArea = ReadTextAreaAttributes(text);
        break;
    case TagKind::Input:
        tag.Input = ReadInputAttributes(text);
        break;
    default:
        break;
    }
    return tag;
}

Token MarkupReader::Next() {
    while (queue_.empty() && !ended_)
        ReadUpToNextTag();
    if (queue_.empty())
        return {};
    Piece piece = std::move(queue_.front());
    queue_.pop_front();
    Token token;
    token.Kind = piece.Kind;
    switch (piece.Kind) {
    case TokenKind::Word:
        DecodeEntities(piece.Text);
        token.Text = std::move(piece.Text);
        break;
    case TokenKind::TagToken:
        token.Markup = RecognizeTag(piece.Text);
        if (token.Markup.Kind == TagKind::TextArea)
            token.Markup.TextArea.Content = TakeTextAreaContent();
        break;
    default:
        token.Text = std::move(piece.Text);
        break;
    }
    return token;
}

void MarkupReader::ReadUpToNextTag() {
    const std::string_view text = text_;
    const std::size_t open = text.find('<', pos_);
    pendingText_.append(
        text.substr(pos_, open == std::string_view::npos ? std::string_view::npos : open - pos_));
    if (open == std::string_view::npos) {
        pos_ = text_.size();
        if (!pendingText_.empty())
            queue_.push_back({TokenKind::FinalRun, std::move(pendingText_)});
        pendingText_.clear();
        ended_ = true;
        return;
    }
    QueueInnerRun();
    const std::size_t close = text_.find('>', open);
    if (close == std::string_view::npos) {
        // An unclosed '<' at the end opens nothing: what follows it is shown as it was written.
        queue_.push_back({TokenKind::FinalRun, AnsiString(text.substr(open))});
        pos_ = text_.size();
        ended_ = true;
        return;
    }
    AnsiString tag = CutTo(text.substr(open, close - open + 1), MaxTagLength);
    pos_ = close + 1;
    if (const std::size_t second = tag.find('<', 1); second != AnsiString::npos) {
        queue_.push_back({TokenKind::PlainText, tag.substr(0, second)});
        tag.erase(0, second);
    }
    queue_.push_back({TokenKind::TagToken, NormalizeTag(tag)});
}

void MarkupReader::QueueInnerRun() {
    std::string_view run = pendingText_;
    while (!run.empty()) {
        const std::size_t space = run.find(' ');
        const std::size_t length = space == std::string_view::npos ? run.size() : space + 1;
        queue_.push_back({TokenKind::Word, CutTo(run.substr(0, length), MaxWordLength)});
        run.remove_prefix(length);
    }
    pendingText_.clear();
}

AnsiString MarkupReader::TakeTextAreaContent() {
    const std::string_view ahead = std::string_view(text_).substr(pos_, TextAreaLookahead);
    const std::size_t end = UpperNoAccents(ahead).find("</TEXTAREA>");
    AnsiString content(ahead.substr(0, end));
    pos_ += content.size();
    return content;
}

} // namespace vendora
