#include "html/DrawHtml.h"

#include "base/Convert.h"
#include "html/Layout.h"
#include "html/Markup.h"
#include "html/PictureAccess.h"

#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace vendora {

namespace {

constexpr int RightAlignmentGap = 5;
constexpr int PictureGap = 1;
constexpr std::size_t LongestFinalPiece = 255;
// Far beyond any message, and small enough that converting points to pixels cannot overflow.
constexpr std::int32_t LargestFontSize = 32767;

std::int32_t UsableFontSize(std::int32_t points) {
    return std::clamp(points, -LargestFontSize, LargestFontSize);
}

struct SavedFont {
    AnsiString Name;
    int Height = 0;
    TColor Color;
    FontStyles Style;
};

class HtmlLayouter {
public:
    HtmlLayouter(HtmlLayout& result, const HtmlHost& host, TextEngine& engine, const Scale& scale,
                 const Font& font, int x, int y, int width, TColor background)
        : pass_{host, engine, scale, font, {}, result}, state_(pass_.State), font_(pass_.Current),
          scale_(pass_.Screen), one_(scale_.Px(1)) {
        state_.PenX = x;
        state_.LineTop = y;
        state_.LeftMargin = x;
        state_.RightEdge = Coord{x} + width;
        state_.GluePoint = 0;
        state_.Background = background;
    }

    // Fills the layout token by token; a token that raises leaves in it what came before.
    void LayOut(std::string_view text) {
        state_.EmptyLineHeight = pass_.TextHeight(font_);
        font_.Name = "Tahoma";
        font_.SetSize(10);
        font_.Color = clBlack;
        MarkupReader reader(text);
        for (Token token = reader.Next(); token.Kind != TokenKind::End; token = reader.Next())
            Place(token);
        FinishLine(state_.PenX);
        pass_.Result.Bottom = ToCanvas(state_.LineTop);
    }

private:
    void Place(const Token& token) {
        switch (token.Kind) {
        case TokenKind::Word:
            PlaceWord(token.Text);
            break;
        case TokenKind::PlainText:
            PlacePlainText(token.Text);
            break;
        case TokenKind::TagToken:
            ApplyTag(token.Markup);
            break;
        case TokenKind::FinalRun:
            PlaceFinalRun(token.Text);
            break;
        case TokenKind::End:
            break;
        }
    }

    // Ends the line that runs from LeftMargin to right; a centred or right-aligned line is painted from
    // the left margin like any other, then moved into place.
    void FinishLine(Coord right) {
        const Coord top = state_.LineTop;
        state_.LineTop += state_.LineStep();
        state_.LineHeight = 0;
        const Coord bottom = state_.LineTop;
        Coord shift = 0;
        if (state_.Align == Alignment::Right)
            shift = state_.RightEdge - right - scale_.Px(RightAlignmentGap);
        else if (state_.Align == Alignment::Center)
            shift = (state_.RightEdge - right) / 2;
        else
            return;
        pass_.Add(HtmlLineShift{{state_.LeftMargin, top, right, bottom}, shift, state_.Background});
    }

    void AddText(Coord x, Coord y, const AnsiString& text) { pass_.Add(HtmlText{x, y, text, font_}); }

    void StartLineAt(Coord x) {
        state_.PenX = x;
        state_.GluePoint = x;
    }

    // A word that no longer fits goes to a new line, taking with it the part of the word drawn since the
    // last space (the "l'" in front of an underlined word).
    void WrapBeforeWord() {
        Coord next = state_.LeftMargin;
        if (state_.GluePoint > state_.LeftMargin) {
            const Coord height = state_.LineHeight;
            const Coord carried = state_.PenX - state_.GluePoint;
            pass_.Add(HtmlCarry{{state_.GluePoint, state_.LineTop, state_.PenX, state_.LineTop + height},
                                {state_.LeftMargin, state_.LineTop + height, state_.LeftMargin + carried,
                                 state_.LineTop + 2 * height},
                                state_.Background});
            next = state_.LeftMargin + carried;
        }
        FinishLine(state_.PenX);
        StartLineAt(next);
    }

    void PlaceWord(const AnsiString& word) {
        const Coord width = pass_.TextWidth(font_, word);
        if (state_.PenX + width > state_.RightEdge && state_.PenX != state_.LeftMargin)
            WrapBeforeWord();
        if (state_.Shadowed) {
            Font shadow = font_;
            shadow.Color = clBlack;
            pass_.Add(HtmlText{state_.PenX + one_, state_.LineTop + one_, word, std::move(shadow)});
        }
        AddText(state_.PenX, state_.LineTop, word);
        state_.PenX += width;
        if (Contains(word, ' '))
            state_.GluePoint = state_.PenX - one_;
        state_.LineHeight = std::max<Coord>(state_.LineHeight, pass_.TextHeight(font_));
    }

    void PlacePlainText(const AnsiString& text) {
        AddText(state_.PenX, state_.LineTop, text);
        state_.PenX += pass_.TextWidth(font_, text);
    }

    // The longest start of pending that fits on the line, broken after a space when there is one. At the
    // start of a line at least one character is taken, however narrow the room, so the run always ends.
    AnsiString FinalPiece(const AnsiString& pending) {
        AnsiString piece = pending.substr(0, LongestFinalPiece);
        while (!piece.empty() && state_.PenX + pass_.TextWidth(font_, piece) > state_.RightEdge)
            piece.pop_back();
        if (piece.empty() && state_.PenX <= state_.LeftMargin)
            piece = pending.substr(0, 1);
        if (piece != pending && Contains(piece, ' ')) {
            while (piece.back() != ' ')
                piece.pop_back();
        }
        return piece;
    }

    void PlaceFinalRun(AnsiString pending) {
        while (!pending.empty()) {
            const AnsiString piece = FinalPiece(pending);
            pending.erase(0, piece.size());
            AddText(state_.PenX, state_.LineTop, piece);
            state_.PenX += pass_.TextWidth(font_, piece);
            state_.LineHeight = std::max<Coord>(state_.LineHeight, pass_.TextHeight(font_));
            pending = TrimSpaces(pending);
            if (!pending.empty()) {
                FinishLine(state_.PenX);
                state_.PenX = state_.LeftMargin;
            }
        }
    }

    void PushFont() { fontStack_.push_back({font_.Name, font_.Height(), font_.Color, font_.Style}); }

    void PopFont() {
        if (fontStack_.empty())
            return;
        const SavedFont& saved = fontStack_.back();
        font_.Name = saved.Name;
        font_.SetHeight(saved.Height);
        font_.Color = saved.Color;
        font_.Style = saved.Style;
        fontStack_.pop_back();
    }

    void ApplyFont(const FontAttributes& attributes) {
        PushFont();
        if (attributes.Color)
            font_.Color = *attributes.Color;
        if (attributes.Face)
            font_.Name = *attributes.Face;
        if (attributes.Size)
            font_.SetSize(UsableFontSize(*attributes.Size));
    }

    void ApplyAnchor(bool hasHref) {
        PushFont();
        if (hasHref) {
            font_.Color = clBlue;
            font_.Style.Underline = true;
        }
    }

    void ApplyHeading(std::int32_t size) {
        PushFont();
        font_.SetSize(size);
        font_.Style = FontStyles{true, false, false};
    }

    // Bold glyphs may come out a pixel shorter; the size then grows a point to keep the line's height.
    void BoldOn() {
        if (font_.Style.Bold)
            return;
        const int height = pass_.TextHeight(font_);
        font_.Style.Bold = true;
        if (pass_.TextHeight(font_) < height)
            font_.SetSize(font_.Size() + 1);
        state_.PenX += one_;
    }

    void BoldOff() {
        if (!font_.Style.Bold)
            return;
        const int height = pass_.TextHeight(font_);
        font_.Style.Bold = false;
        if (pass_.TextHeight(font_) > height)
            font_.SetSize(font_.Size() - 1);
    }

    void SetItalic(bool italic) {
        if (font_.Style.Italic == italic)
            return;
        font_.Style.Italic = italic;
        state_.PenX += italic ? -one_ : one_;
    }

    void Paragraph(const std::optional<Alignment>& align) {
        FinishLine(state_.PenX);
        StartLineAt(state_.LeftMargin);
        if (align)
            state_.Align = *align;
    }

    void Indent(int direction) {
        if (state_.PenX != state_.LeftMargin)
            FinishLine(state_.PenX);
        state_.LeftMargin += direction * (font_.PixelsPerInch / 3);
        StartLineAt(state_.LeftMargin);
    }

    void Rule() {
        state_.PenX = state_.LeftMargin;
        const Coord step = state_.LineStep();
        state_.LineTop += step;
        pass_.Add(HtmlRule{state_.LeftMargin, state_.RightEdge, state_.LineTop, scale_.Line()});
        state_.GluePoint = state_.LeftMargin;
        state_.LineTop += step;
        state_.LineHeight = 0;
    }

    void Picture(const ImageAttributes& image) {
        if (!PictureFileExists(pass_.Host, image.Source))
            return;
        const MarkupPicture picture = OpenPicture(pass_.Host, image.Source);
        Coord width = picture.Width;
        Coord height = picture.Height;
        if (image.WidthKind == PictureWidth::Percent) {
            width = RoundHalfEven(picture.Width * static_cast<double>(image.Width) / 100.0);
            height = RoundHalfEven(picture.Height * static_cast<double>(image.Width) / 100.0);
        } else if (image.WidthKind == PictureWidth::Pixels) {
            width = image.Width;
            // A picture without width (an empty or unreadable file) keeps no height rather than dividing
            // by zero.
            height = picture.Width == 0
                         ? 0
                         : RoundHalfEven(picture.Height * static_cast<double>(image.Width) / picture.Width);
        }
        // The sizes are the picture's 96-dpi ones; on a denser screen the picture is enlarged with them.
        if (!scale_.IsDesign()) {
            width = scale_.Px(ToCanvas(width));
            height = scale_.Px(ToCanvas(height));
        }
        const Coord right = state_.PenX + width;
        pass_.Add(HtmlPicture{{state_.PenX, state_.LineTop, right, state_.LineTop + height}, picture});
        state_.LineHeight = std::max(state_.LineHeight, height);
        state_.PenX = right + scale_.Px(PictureGap);
    }

    // An unrecognised tag shows its characters, the outer ones plain and the rest bold italic, broken
    // between characters at the right edge.
    void PlaceTagAsText(const AnsiString& tag) {
        const TColor colour = font_.Color;
        const FontStyles style = font_.Style;
        font_.Style = {};
        font_.Color = clBlack;
        for (std::size_t i = 0; i < tag.size(); ++i) {
            if (i + 1 == tag.size())
                font_.Style = {};
            const AnsiString character(1, tag[i]);
            const Coord width = pass_.TextWidth(font_, character);
            if (state_.PenX + width > state_.RightEdge) {
                FinishLine(state_.PenX);
                StartLineAt(state_.LeftMargin);
            }
            AddText(state_.PenX, state_.LineTop, character);
            state_.PenX += width;
            if (i == 0)
                font_.Style = FontStyles{true, true, false};
        }
        font_.Color = colour;
        font_.Style = style;
    }

    void ApplyTag(const Tag& tag) {
        switch (tag.Kind) {
        case TagKind::Font:
            ApplyFont(tag.Font);
            break;
        case TagKind::Anchor:
            ApplyAnchor(tag.HasHref);
            break;
        case TagKind::Heading:
            ApplyHeading(tag.HeadingSize);
            break;
        case TagKind::FontEnd:
        case TagKind::AnchorEnd:
        case TagKind::HeadingEnd:
            PopFont();
            break;
        case TagKind::Image:
            Picture(tag.Image);
            break;
        case TagKind::Rule:
            Rule();
            break;
        case TagKind::Ignored:
            break;
        case TagKind::Indent:
            Indent(1);
            break;
        case TagKind::Outdent:
            Indent(-1);
            break;
        case TagKind::Paragraph:
            Paragraph(tag.Align);
            break;
        case TagKind::BoldOn:
            BoldOn();
            break;
        case TagKind::BoldOff:
            BoldOff();
            break;
        case TagKind::ItalicOn:
            SetItalic(true);
            break;
        case TagKind::ItalicOff:
            SetItalic(false);
            break;
        case TagKind::UnderlineOn:
            font_.Style.Underline = true;
            break;
        case TagKind::UnderlineOff:
            font_.Style.Underline = false;
            state_.PenX += one_;
            break;
        case TagKind::ShadowOn:
        case TagKind::ShadowOff:
            state_.Shadowed = tag.Kind == TagKind::ShadowOn;
            break;
        case TagKind::HighlightOn:
            pass_.Add(HtmlHighlight{tag.Highlight});
            break;
        case TagKind::HighlightOff:
            pass_.Add(HtmlHighlight{});
            break;
        case TagKind::TextArea:
            PlaceTextArea(pass_, tag.TextArea);
            break;
        case TagKind::Input:
            PlaceInput(pass_, tag.Input);
            break;
        case TagKind::AsText:
            PlaceTagAsText(tag.Text);
            break;
        }
    }

    LayoutPass pass_;
    LayoutState& state_;
    Font& font_;
    const Scale& scale_;
    const int one_;
    std::vector<SavedFont> fontStack_;
};

} // namespace

HtmlLayout LayoutHtml(const HtmlHost& host, TextEngine& engine, const Scale& scale, const Font& font, int x,
                      int y, int width, std::string_view text, TColor background) {
    HtmlLayout layout;
    try {
        HtmlLayouter(layout, host, engine, scale, font, x, y, width, background).LayOut(text);
    } catch (...) {
        layout.Error = std::current_exception();
    }
    return layout;
}

} // namespace vendora
