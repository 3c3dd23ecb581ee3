#include "html/FormElements.h"

#include "base/Cp1252.h"
#include "controls/ColorOps.h"
#include "controls/ShadedShapes.h"
#include "html/Layout.h"
#include "html/PictureAccess.h"

namespace vendora {

namespace {

constexpr int WrapMargin = 6;
constexpr std::size_t LongestLine = 255;

constexpr int TextAreaColumnWidth = 8;
constexpr int TextAreaRowHeight = 16;
constexpr int TextAreaExtraWidth = 20;
constexpr int TextAreaExtraHeight = 5;
constexpr int FieldCharacterWidth = 8;
constexpr int FieldExtraWidth = 5;
constexpr int FieldHeight = 21;
constexpr int FieldLineHeight = 23;
constexpr int FieldGap = 4;
constexpr int PictureOffset = 3;
constexpr int PictureGapAfter = 5;
constexpr int ButtonExtraWidth = 20;
constexpr int ButtonGap = 4;
constexpr int HintSize = 6;
constexpr int HintMargin = 3;
constexpr int HintShadow = 3;

constexpr TColor NameLabelText = TColor::Rgb(128, 0, 128);
constexpr TColor NameLabelBackground = TColor::Rgb(255, 255, 225);
constexpr TColor KindLabelText = clWhite;
constexpr TColor KindLabelBackground = TColor::Rgb(255, 0, 0);

void Line(Canvas& canvas, TColor colour, IntPoint from, IntPoint to) {
    canvas.GetPen().Color = colour;
    canvas.MoveTo(from.X, from.Y);
    canvas.LineTo(to.X, to.Y);
}

void Polyline(Canvas& canvas, TColor colour, IntPoint from, IntPoint corner, IntPoint to) {
    Line(canvas, colour, from, corner);
    canvas.LineTo(to.X, to.Y);
}

// A 96-dpi length of markup (which may be huge) in device pixels; at 96 dpi exactly as given.
Coord ScaledLength(const Scale& scale, Coord length) {
    return scale.IsDesign() ? length : scale.Px(ToCanvas(length));
}

void UseFieldFont(Font& font) {
    font.Name = AnsiString(FieldFontName);
    font.Style = {};
    font.Color = clBlack;
    font.SetSize(FieldFontSize);
}

void MoveLastCharacter(AnsiString& line, AnsiString& remains) {
    remains.insert(remains.begin(), line.back());
    line.pop_back();
}

// One paragraph, ending at its carriage return, into lines.
void WrapParagraph(Canvas& canvas, int width, AnsiString paragraph, TableauDeLignes& lines) {
    const int margin = canvas.GetScale().Px(WrapMargin);
    do {
        AnsiString line = std::move(paragraph);
        paragraph.clear();
        while (line.size() > 1 && canvas.TextWidth(line) + margin > width) {
            MoveLastCharacter(line, paragraph);
            if (Contains(line, ' ')) {
                while (line.back() != ' ')
                    MoveLastCharacter(line, paragraph);
            }
        }
        std::erase(line, '\n');
        std::erase(line, '\r');
        lines.push_back(CutTo(line, LongestLine));
    } while (!paragraph.empty());
}

// The lines of a hint's text, cut at carriage returns.
std::vector<AnsiString> HintLines(std::string_view text) {
    AnsiString rest(text);
    ReplaceAll("#13", "\r", rest, true);
    std::vector<AnsiString> lines;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\r');
        lines.push_back(CutTo(rest.substr(0, end), LongestLine));
        rest.erase(0, end == AnsiString::npos ? AnsiString::npos : end + 1);
    }
    return lines;
}

void NewLineForField(LayoutState& state, Coord nextLineHeight) {
    state.PenX = state.LeftMargin;
    state.LineTop += state.LineStep();
    state.LineHeight = nextLineHeight;
}

void PlaceTextField(LayoutPass& pass, const InputAttributes& input) {
    LayoutState& state = pass.State;
    const Scale& s = pass.Screen;
    const Coord width = ScaledLength(s, Coord{FieldCharacterWidth} * input.Size + FieldExtraWidth);
    const Coord lineHeight = s.Px(FieldLineHeight);
    if (state.PenX > state.LeftMargin && state.PenX + width > state.RightEdge)
        NewLineForField(state, lineHeight);
    state.LineHeight = std::max<Coord>(state.LineHeight, lineHeight);
    pass.Add(HtmlFieldBox{{state.PenX, state.LineTop, state.PenX + width, state.LineTop + s.Px(FieldHeight)},
                          input.Value});
    pass.Add(HtmlHint{state.PenX + width - s.Px(7), state.LineTop - s.Px(1), true, NameLabelText,
                      NameLabelBackground, HintSize, input.Name});
    pass.Add(HtmlHint{state.PenX + s.Px(4), state.LineTop - s.Px(3), false, KindLabelText,
                      KindLabelBackground, HintSize, input.KindText});
    state.PenX += width + s.Px(FieldGap);
    if (state.PenX > state.RightEdge)
        NewLineForField(state, 0);
}

AnsiString PictureOfField(const InputAttributes& input) {
    switch (input.Type) {
    case FieldType::Checkbox:
        return Ansi(input.Checked ? "coché.jpg" : "noncoché.jpg");
    case FieldType::Radio:
        return input.Checked ? "checked.jpg" : "unchecked.jpg";
    default:
        return input.Source;
    }
}

void PlacePictureField(LayoutPass& pass, const InputAttributes& input) {
    LayoutState& state = pass.State;
    const Scale& s = pass.Screen;
    const MarkupPicture picture = OpenPicture(pass.Host, PictureOfField(input));
    const Coord left = state.PenX + s.Px(PictureOffset);
    const Coord top =
        input.Type == FieldType::Image ? state.LineTop : state.LineTop + state.LineHeight / 2 - s.Px(6);
    const Coord height = s.Px(picture.Height);
    const Coord right = left + s.Px(picture.Width);
    pass.Add(HtmlPicture{{left, top, right, top + height}, picture});
    state.LineHeight = std::max<Coord>(state.LineHeight, height);
    state.PenX = right + s.Px(PictureGapAfter);
}

void PlaceButton(LayoutPass& pass, const InputAttributes& input) {
    LayoutState& state = pass.State;
    const Scale& s = pass.Screen;
    Font font = pass.Current;
    UseFieldFont(font);
    const Coord width = Coord{pass.TextWidth(font, input.Value)} + s.Px(ButtonExtraWidth);
    pass.Add(HtmlButton{state.PenX, state.LineTop, width, input.Value});
    state.PenX += width + s.Px(ButtonGap);
}

} // namespace

TableauDeLignes WrapFieldText(Canvas& canvas, int width, std::string_view text) {
    TableauDeLignes lines;
    if (text.empty()) {
        lines.emplace_back();
        return lines;
    }
    while (!text.empty()) {
        const std::size_t end = text.find('\r');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        WrapParagraph(canvas, width, AnsiString(text.substr(0, length)), lines);
        text.remove_prefix(length);
    }
    return lines;
}

void DrawFieldBox(Canvas& canvas, const IntRect& box, std::string_view text) {
    const Font saved = canvas.GetFont();
    UseFieldFont(canvas.GetFont());
    const int l = box.Left, t = box.Top, r = box.Right, b = box.Bottom;
    Polyline(canvas, clGray, {l, b}, {l, t}, {r + 1, t});
    Polyline(canvas, clBlack, {l + 1, b - 1}, {l + 1, t + 1}, {r, t + 1});
    Polyline(canvas, clSilver, {l + 1, b}, {r, b}, {r, t});
    canvas.GetPen().Color = clBlack;
    canvas.GetBrush().SetColor(clWhite);
    canvas.GetBrush().SetStyle(BrushStyle::Clear);
    const Scale& s = canvas.GetScale();
    const TableauDeLignes lines = WrapFieldText(canvas, r - l - s.Px(6), text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Coord top =
            Coord{t} + s.Px(FieldTextInset) + Coord{s.Px(FieldLineSpacing)} * static_cast<Coord>(i);
        if (canvas.TextHeight(lines[i]) + top > b)
            break;
        canvas.TextOut(l + s.Px(FieldTextInset), static_cast<int>(top), lines[i]);
    }
    canvas.GetFont() = saved;
}

void DrawHintBox(Canvas& canvas, int x, int y, bool rightAligned, TColor textColor, TColor background,
                 int size, std::string_view text) {
    const Font savedFont = canvas.GetFont();
    const Brush savedBrush = canvas.GetBrush();
    const int savedPenWidth = canvas.GetPen().Width;
    Font& font = canvas.GetFont();
    font.Name = "Tahoma";
    font.Style = {};
    font.SetSize(size);
    font.Color = textColor;
    canvas.GetBrush().SetColor(background);
    canvas.GetBrush().SetStyle(BrushStyle::Solid);
    canvas.GetPen().Width = 0;

    const Scale& s = canvas.GetScale();
    const int margin = s.Px(HintMargin);
    const int shadow = s.Px(HintShadow);
    const std::vector<AnsiString> lines = HintLines(text);
    int h = 2 * margin;
    int m = 0;
    for (const AnsiString& line : lines) {
        const AnsiString trimmed = TrimSpaces(line);
        h += canvas.TextHeight(trimmed);
        m = std::max(m, canvas.TextWidth(trimmed));
    }
    const int w = m + 2 * margin;
    if (rightAligned)
        x -= w;
    DarkenRect(canvas, x + shadow, y + shadow, x + w + shadow, y + h + shadow,
               MixColors(clGray, clBlack, 0.5));
    canvas.Rectangle({x, y, x + w, y + h});
    Line(canvas, clSilver, {x, y}, {x, y + h});
    Line(canvas, clSilver, {x, y}, {x + w, y});
    Polyline(canvas, clBlack, {x, y + h}, {x + w, y + h}, {x + w, y});
    int top = y + margin;
    for (const AnsiString& line : lines) {
        canvas.TextOut(x + margin, top, line);
        top += canvas.TextHeight(line);
    }
    canvas.GetFont() = savedFont;
    canvas.GetBrush() = savedBrush;
    canvas.GetPen().Width = savedPenWidth;
}

void DrawButton(Canvas& canvas, int x, int y, int width, std::string_view caption) {
    const Scale& s = canvas.GetScale();
    const Font saved = canvas.GetFont();
    UseFieldFont(canvas.GetFont());
    const TColor face = canvas.Resolve(clBtnFace);
    canvas.GetPen().Color = face;
    canvas.GetBrush().SetColor(face);
    canvas.Rectangle({x + s.Px(1), y + s.Px(2), x + width - s.Px(2), y + s.Px(22)});
    Polyline(canvas, clGray, {x + s.Px(1), y + s.Px(22)}, {x + width - s.Px(2), y + s.Px(22)},
             {x + width - s.Px(2), y + s.Px(1)});
    Polyline(canvas, clBlack, {x, y + s.Px(23)}, {x + width - s.Px(1), y + s.Px(23)},
             {x + width - s.Px(1), y});
    canvas.GetBrush().SetStyle(BrushStyle::Clear);
    canvas.TextOut(x + s.Px(10), y + s.Px(3), caption);
    canvas.GetFont() = saved;
}

void PlaceTextArea(LayoutPass& pass, const TextAreaAttributes& area) {
    LayoutState& state = pass.State;
    const Scale& s = pass.Screen;
    const Coord width = ScaledLength(s, Coord{TextAreaColumnWidth} * area.Cols + TextAreaExtraWidth);
    const Coord height = ScaledLength(s, Coord{TextAreaRowHeight} * area.Rows + TextAreaExtraHeight);
    state.LineHeight = std::max(state.LineHeight, height);
    pass.Add(
        HtmlFieldBox{{state.PenX, state.LineTop, state.PenX + width, state.LineTop + height}, area.Content});
    state.PenX += width + s.Px(FieldGap);
}

void PlaceInput(LayoutPass& pass, const InputAttributes& input) {
    if (IsTextKind(input.Type))
        PlaceTextField(pass, input);
    else if (IsPictureKind(input.Type))
        PlacePictureField(pass, input);
    else
        PlaceButton(pass, input);
}

} // namespace vendora
