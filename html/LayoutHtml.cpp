#include "html/DrawHtml.h"

#include "base/Convert.h"
#include "html/Layout.h"
#include "html/Markup.h"
#include "html/PictureAccess.h"

#include <string>
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

class HtmlPainter {
public:
    HtmlPainter(Canvas& canvas, int x, int y, int width, TColor background)
        : canvas_(canvas), scale_(canvas.GetScale()), one_(scale_.Px(1)) {
        state_.PenX = x;
        state_.LineTop = y;
        state_.LeftMargin = x;
        state_.RightEdge = Coord{x} + width;
        state_.GluePoint = 0;
        state_.Background = background;
    }

    int Paint(std::string_view text) {
        state_.EmptyLineHeight = canvas_.TextHeight("W");
        Font& font = canvas_.GetFont();
        font.Name = "Tahoma";
        font.SetSize(10);
        font.Color = clBlack;
        canvas_.GetBrush().SetStyle(BrushStyle::Clear);
        MarkupReader reader(text);
        for (Token token = reader.Next(); token.Kind != TokenKind::End; token = reader.Next())
            Place(token);
        FinishLine(state_.PenX);
        return ToCanvas(state_.LineTop);
    }

private:
    void Place(const Token& token) {
        switch (token.Kind) {
        case TokenKind::Word:
            PlaceWord(token.Text);
            break;
        case TokenKind::PlainText:
            DrawPlainText(token.Text);
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

    // Ends the line that runs from LeftMargin to right; a centred or right-aligned line is moved into
    // place by copying its pixels and painting over the strip it leaves.
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
        const IntRect line{ToCanvas(state_.LeftMargin), ToCanvas(top), ToCanvas(right), ToCanvas(bottom)};
        canvas_.CopyRect(line.Translated(ToCanvas(shift), 0), line);
        PaintBackground({line.Left, line.Top, ToCanvas(state_.LeftMargin + shift), line.Bottom});
    }

    void PaintBackground(const IntRect& area) {
        canvas_.GetPen().Color = state_.Background;
        canvas_.GetBrush().SetColor(state_.Background);
        canvas_.GetBrush().SetStyle(BrushStyle::Solid);
        canvas_.Rectangle(area);
        canvas_.GetBrush().SetStyle(BrushStyle::Clear);
    }

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
            const IntRect source{ToCanvas(state_.GluePoint), ToCanvas(state_.LineTop), ToCanvas(state_.PenX),
                                 ToCanvas(state_.LineTop + height)};
            const Coord carried = state_.PenX - state_.GluePoint;
            const IntRect dest{ToCanvas(state_.LeftMargin), ToCanvas(state_.LineTop + height),
                               ToCanvas(state_.LeftMargin + carried), ToCanvas(state_.LineTop + 2 * height)};
            canvas_.CopyRect(dest, source);
            PaintBackground(source);
            next = state_.LeftMargin + carried;
        }
        FinishLine(state_.PenX);
        StartLineAt(next);
    }

    void PlaceWord(const AnsiString& word) {
        const Coord width = canvas_.TextWidth(word);
        if (state_.PenX + width > state_.RightEdge && state_.PenX != state_.LeftMargin)
            WrapBeforeWord();
        if (state_.Shadowed) {
            Font& font = canvas_.GetFont();
            const TColor colour = font.Color;
            font.Color = clBlack;
            canvas_.TextOut(ToCanvas(state_.PenX + one_), ToCanvas(state_.LineTop + one_), word);
            font.Color = colour;
        }
        canvas_.TextOut(ToCanvas(state_.PenX), ToCanvas(state_.LineTop), word);
        state_.PenX += width;
        if (Contains(word, ' '))
            state_.GluePoint = state_.PenX - one_;
        state_.LineHeight = std::max<Coord>(state_.LineHeight, canvas_.TextHeight(word));
    }

    void DrawPlainText(const AnsiString& text) {
        canvas_.TextOut(ToCanvas(state_.PenX), ToCanvas(state_.LineTop), text);
        state_.PenX += canvas_.TextWidth(text);
    }

    // The longest start of pending that fits on the line, broken after a space when there is one. At the
    // start of a line at least one character is taken, however narrow the room, so the run always ends.
    AnsiString FinalPiece(const AnsiString& pending) {
        AnsiString piece = pending.substr(0, LongestFinalPiece);
        while (!piece.empty() && state_.PenX + canvas_.TextWidth(piece) > state_.RightEdge)
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
            canvas_.TextOut(ToCanvas(state_.PenX), ToCanvas(state_.LineTop), piece);
            state_.PenX += canvas_.TextWidth(piece);
            state_.LineHeight = std::max<Coord>(state_.LineHeight, canvas_.TextHeight(piece));
            pending = TrimSpaces(pending);
            if (!pending.empty()) {
                FinishLine(state_.PenX);
                state_.PenX = state_.LeftMargin;
            }
        }
    }

    void PushFont() {
        const Font& font = canvas_.GetFont();
        fontStack_.push_back({font.Name, font.Height(), font.Color, font.Style});
    }

    void PopFont() {
        if (fontStack_.empty())
            return;
        const SavedFont& saved = fontStack_.back();
        Font& font = canvas_.GetFont();
        font.Name = saved.Name;
        font.SetHeight(saved.Height);
        font.Color = saved.Color;
        font.Style = saved.Style;
        fontStack_.pop_back();
    }

    void ApplyFont(const FontAttributes& attributes) {
        PushFont();
        Font& font = canvas_.GetFont();
        if (attributes.Color)
            font.Color = *attributes.Color;
        if (attributes.Face)
            font.Name = *attributes.Face;
        if (attributes.Size)
            font.SetSize(UsableFontSize(*attributes.Size));
    }

    void ApplyAnchor(bool hasHref) {
        PushFont();
        if (hasHref) {
            canvas_.GetFont().Color = clBlue;
            canvas_.GetFont().Style.Underline = true;
        }
    }

    void ApplyHeading(std::int32_t size) {
        PushFont();
        canvas_.GetFont().SetSize(size);
        canvas_.GetFont().Style = FontStyles{true, false, false};
    }

    // Bold glyphs may come out a pixel shorter; the size then grows a point to keep the line's height.
    void BoldOn() {
        Font& font = canvas_.GetFont();
        if (font.Style.Bold)
            return;
        const int height = canvas_.TextHeight("W");
        font.Style.Bold = true;
        if (canvas_.TextHeight("W") < height)
            font.SetSize(font.Size() + 1);
        state_.PenX += one_;
    }

    void BoldOff() {
        Font& font = canvas_.GetFont();
        if (!font.Style.Bold)
            return;
        const int height = canvas_.TextHeight("W");
        font.Style.Bold = false;
        if (canvas_.TextHeight("W") > height)
            font.SetSize(font.Size() - 1);
    }

    void SetItalic(bool italic) {
        Font& font = canvas_.GetFont();
        if (font.Style.Italic == italic)
            return;
        font.Style.Italic = italic;
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
        state_.LeftMargin += direction * (canvas_.GetFont().PixelsPerInch / 3);
        StartLineAt(state_.LeftMargin);
    }

    void Rule() {
        state_.PenX = state_.LeftMargin;
        const Coord step = state_.LineStep();
        state_.LineTop += step;
        canvas_.GetPen().Color = clBlack;
        for (int row = 0; row < scale_.Line(); ++row) {
            canvas_.MoveTo(ToCanvas(state_.LeftMargin), ToCanvas(state_.LineTop + row));
            canvas_.LineTo(ToCanvas(state_.RightEdge), ToCanvas(state_.LineTop + row));
        }
        state_.GluePoint = state_.LeftMargin;
        state_.LineTop += step;
        state_.LineHeight = 0;
    }

    void Picture(const ImageAttributes& image) {
        if (!PictureFileExists(image.Source))
            return;
        const MarkupPicture picture = OpenPicture(image.Source);
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
        PaintPicture(canvas_,
                     {ToCanvas(state_.PenX), ToCanvas(state_.LineTop), ToCanvas(right),
                      ToCanvas(state_.LineTop + height)},
                     picture);
        state_.LineHeight = std::max(state_.LineHeight, height);
        state_.PenX = right + scale_.Px(PictureGap);
    }

    // An unrecognised tag shows its characters, the outer ones plain and the rest bold italic, broken
    // between characters at the right edge.
    void DrawTagAsText(const AnsiString& tag) {
        Font& font = canvas_.GetFont();
        const TColor colour = font.Color;
        const FontStyles style = font.Style;
        font.Style = {};
        font.Color = clBlack;
        for (std::size_t i = 0; i < tag.size(); ++i) {
            if (i + 1 == tag.size())
                font.Style = {};
            const std::string_view character(&tag[i], 1);
            const Coord width = canvas_.TextWidth(character);
            if (state_.PenX + width > state_.RightEdge) {
                FinishLine(state_.PenX);
                StartLineAt(state_.LeftMargin);
            }
            canvas_.TextOut(ToCanvas(state_.PenX), ToCanvas(state_.LineTop), character);
            state_.PenX += width;
            if (i == 0)
                font.Style = FontStyles{true, true, false};
        }
        font.Color = colour;
        font.Style = style;
    }

    void ApplyTag(const Tag& tag) {
        Font& font = canvas_.GetFont();
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
            font.Style.Underline = true;
            break;
        case TagKind::UnderlineOff:
            font.Style.Underline = false;
            state_.PenX += one_;
            break;
        case TagKind::ShadowOn:
        case TagKind::ShadowOff:
            state_.Shadowed = tag.Kind == TagKind::ShadowOn;
            break;
        case TagKind::HighlightOn:
            canvas_.GetBrush().SetColor(tag.Highlight);
            break;
        case TagKind::HighlightOff:
            canvas_.GetBrush().SetStyle(BrushStyle::Clear);
            break;
        case TagKind::TextArea:
            PlaceTextArea(canvas_, state_, tag.TextArea);
            break;
        case TagKind::Input:
            PlaceInput(canvas_, state_, tag.Input);
            break;
        case TagKind::AsText:
            DrawTagAsText(tag.Text);
            break;
        }
    }

    Canvas& canvas_;
    // The canvas's scale: the renderer's own lengths (gaps, pen moves, rules, pictures) are 96-dpi ones.
    const Scale scale_;
    const int one_;
    LayoutState state_;
    std::vector<SavedFont> fontStack_;
};

} // namespace

int DrawHtml(Canvas& canvas, int x, int y, int width, std::string_view text, TColor background) {
    // Restores font, brush and pen on every way out, a conversion error included.
    CanvasStateSaver saved(canvas);
    HtmlPainter painter(canvas, x, y, width, background);
    return painter.Paint(text);
}

} // namespace vendora
