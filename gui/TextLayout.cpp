#include "gui/TextLayout.h"

#include <algorithm>

namespace vendora {
namespace {

bool IsStrongLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c >= 0xC0 ||
           c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F;
}

char Mirrored(char c) {
    switch (c) {
    case '(':
        return ')';
    case ')':
        return '(';
    case '<':
        return '>';
    case '>':
        return '<';
    case '[':
        return ']';
    case ']':
        return '[';
    case '{':
        return '}';
    case '}':
        return '{';
    default:
        return c;
    }
}

AnsiString ReversedMirrored(std::string_view run) {
    AnsiString out(run.rbegin(), run.rend());
    std::transform(out.begin(), out.end(), out.begin(), Mirrored);
    return out;
}

std::vector<std::string_view> SplitParagraphs(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    out.push_back(text.substr(start));
    return out;
}

struct Span {
    std::size_t Start = 0;
    std::size_t Length = 0;
};

void WrapParagraph(TextEngine& engine, const FontRequest& font, std::string_view text, int width,
                   std::vector<Span>& lines) {
    std::size_t pos = 0;
    do {
        std::size_t lineEnd = pos;
        std::size_t scan = pos;
        // Take words while they fit; the first word of a line is taken whatever its width.
        while (scan < text.size()) {
            std::size_t wordEnd = text.find(' ', scan);
            if (wordEnd == std::string_view::npos)
                wordEnd = text.size();
            bool fits = engine.TextWidth(font, text.substr(pos, wordEnd - pos)) <= width;
            if (!fits && lineEnd > pos)
                break;
            lineEnd = wordEnd;
            scan = wordEnd;
            while (scan < text.size() && text[scan] == ' ')
                ++scan;
            if (!fits)
                break;
        }
        lines.push_back({pos, lineEnd - pos});
        pos = scan;
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
    } while (pos < text.size());
}

} // namespace

HotKeyText StripHotKey(std::string_view caption) {
    HotKeyText out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != '&' && out.Underline < 0)
                out.Underline = static_cast<int>(out.Text.size());
        }
        out.Text += caption[i];
    }
    return out;
}

std::vector<TextLine> LayoutText(TextEngine& engine, const FontRequest& font, std::string_view text,
                                 const LayoutOptions& options) {
    HotKeyText stripped = options.HotKey ? StripHotKey(text) : HotKeyText{AnsiString(text), -1};
    std::vector<TextLine> out;
    std::vector<std::string_view> paragraphs = SplitParagraphs(stripped.Text);
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        std::string_view paragraph = paragraphs[p];
        std::size_t offset = static_cast<std::size_t>(paragraph.data() - stripped.Text.data());
        std::vector<Span> lines;
        if (options.WordWrap && !paragraph.empty()) {
            WrapParagraph(engine, font, paragraph, options.Width, lines);
        } else {
            lines.push_back({0, paragraph.size()});
        }
        for (std::size_t l = 0; l < lines.size(); ++l) {
            TextLine line{AnsiString(paragraph.substr(lines[l].Start, lines[l].Length)), -1};
            int lineStart = static_cast<int>(offset + lines[l].Start);
            if (stripped.Underline >= lineStart &&
                stripped.Underline < lineStart + static_cast<int>(lines[l].Length)) {
                line.Underline = stripped.Underline - lineStart;
            }
            if (options.RightToLeftReading) {
                line.Text = RightToLeftVisual(line.Text, l == 0, l + 1 == lines.size());
                line.Underline = -1;
            }
            out.push_back(std::move(line));
        }
    }
    return out;
}

int LinesWidth(TextEngine& engine, const FontRequest& font, const std::vector<TextLine>& lines) {
    int width = 0;
    for (const TextLine& line : lines)
        width = std::max(width, engine.TextWidth(font, line.Text));
    return width;
}

void DrawTextLine(Canvas& canvas, int x, int y, const TextLine& line) {
    canvas.TextOut(x, y, line.Text);
    if (line.Underline < 0 || line.Underline >= static_cast<int>(line.Text.size()))
        return;
    std::string_view text = line.Text;
    int from = x + canvas.TextWidth(text.substr(0, static_cast<std::size_t>(line.Underline)));
    int to = from + canvas.TextWidth(text.substr(static_cast<std::size_t>(line.Underline), 1));
    FontMetrics metrics = canvas.Engine().Metrics(canvas.GetFont().Request());
    const Scale& scale = canvas.GetScale();
    int underlineY = y + metrics.Ascent + scale.Px(1);
    CanvasStateSaver saved(canvas);
    canvas.GetPen().Color = canvas.GetFont().Color;
    canvas.GetPen().Style = PenStyle::Solid;
    for (int row = 0; row < scale.Line(); ++row) {
        canvas.MoveTo(from, underlineY + row);
        canvas.LineTo(to, underlineY + row);
    }
}

AnsiString RightToLeftVisual(std::string_view paragraph, bool first, bool last) {
    auto strong = [](char c) { return IsStrongLetter(static_cast<unsigned char>(c)); };
    auto firstStrong = std::find_if(paragraph.begin(), paragraph.end(), strong);
    if (firstStrong == paragraph.end()) {
        // Nothing left to right at all: the whole line reads right to left.
        return (first || last) ? ReversedMirrored(paragraph) : AnsiString(paragraph);
    }
    auto lastStrong = std::find_if(paragraph.rbegin(), paragraph.rend(), strong).base();
    std::size_t lead = first ? static_cast<std::size_t>(firstStrong - paragraph.begin()) : 0;
    std::size_t tail = last ? static_cast<std::size_t>(paragraph.end() - lastStrong) : 0;
    std::string_view middle = paragraph.substr(lead, paragraph.size() - lead - tail);
    return ReversedMirrored(paragraph.substr(paragraph.size() - tail)) + AnsiString(middle) +
           ReversedMirrored(paragraph.substr(0, lead));
}

} // namespace vendora
