#include "gui/Label.h"

#include "gui/Application.h"
#include "gui/Form.h"

namespace vendora {

Label::Label(Component* owner) : Control(owner) {
    SetBounds(0, 0, 65, 13);
}

void Label::SetAutoSize(bool value) {
    if (value != autoSize_) {
        autoSize_ = value;
        AdjustBounds();
    }
}

void Label::SetAlignment(TextAlignment value) {
    if (value != alignment_) {
        alignment_ = value;
        Invalidate();
    }
}

void Label::SetLayout(TextLayoutKind value) {
    if (value != layout_) {
        layout_ = value;
        Invalidate();
    }
}

void Label::SetWordWrap(bool value) {
    if (value != wordWrap_) {
        wordWrap_ = value;
        Changed();
    }
}

void Label::SetTransparent(bool value) {
    if (value != transparent_) {
        transparent_ = value;
        Invalidate();
    }
}

void Label::SetRightToLeftReading(bool value) {
    if (value != rightToLeft_) {
        rightToLeft_ = value;
        Invalidate();
    }
}

void Label::FontChanged() {
    Changed();
}
void Label::CaptionChanged() {
    Changed();
}

void Label::Changed() {
    AdjustBounds();
    Invalidate();
}

TextEngine& Label::Engine() const {
    return Parent()->GetApplication().Engine();
}

std::vector<TextLine> Label::Lines(int width) const {
    // An empty caption still measures as one line, so that an auto-sized label keeps a height.
    AnsiString text = Caption().empty() ? AnsiString(" ") : Caption();
    LayoutOptions options{wordWrap_, width, true, rightToLeft_};
    return LayoutText(Engine(), GetFont().Request(), text, options);
}

void Label::AdjustBounds() {
    // Text is measured with the engine of the form the label is on; placed on one, it is sized there.
    if (!autoSize_ || Loading() || Parent() == nullptr)
        return;
    std::vector<TextLine> lines = Lines(Width());
    int lineHeight = Engine().Metrics(GetFont().Request()).CellHeight();
    int width = wordWrap_ ? Width() : LinesWidth(Engine(), GetFont().Request(), lines);
    int height = lineHeight * static_cast<int>(lines.size());
    int left = Left();
    if (alignment_ == TextAlignment::Right)
        left += Width() - width;
    SetBounds(left, Top(), width, height);
}

void Label::Paint() {
    Canvas& canvas = GetCanvas();
    CanvasStateSaver saved(canvas);
    if (!transparent_) {
        canvas.GetBrush().SetColor(Color());
        canvas.FillRect(ClientRect());
    }
    canvas.GetBrush().SetStyle(BrushStyle::Clear);
    canvas.GetFont() = GetFont();
    std::vector<TextLine> lines = Lines(Width());
    int lineHeight = Engine().Metrics(GetFont().Request()).CellHeight();
    int textHeight = lineHeight * static_cast<int>(lines.size());
    int y = 0;
    if (layout_ == TextLayoutKind::Center) {
        y = (Height() - textHeight) / 2;
    } else if (layout_ == TextLayoutKind::Bottom) {
        y = Height() - textHeight;
    }
    for (const TextLine& line : lines) {
        int width = canvas.TextWidth(line.Text);
        int x = 0;
        if (alignment_ == TextAlignment::Right) {
            x = Width() - width;
        } else if (alignment_ == TextAlignment::Center) {
            x = (Width() - width) / 2;
        }
        DrawTextLine(canvas, x, y, line);
        y += lineHeight;
    }
}

void Label::Describe(std::vector<AccessibleElement>& into) const {
    if (!Caption().empty())
        into.push_back(Element(AccessibleRole::StaticText));
}

} // namespace vendora
