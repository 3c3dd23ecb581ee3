#include "html/label/HtmlLabel.h"

#include "html/DrawHtml.h"

namespace vendora {
namespace {
constexpr int MinimumWidth = 50;
}

THTMLLabel::THTMLLabel(Component* owner) : Control(owner) {}

void THTMLLabel::SetCaption(const AnsiString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    if (Width() < MinimumWidth)
        SetWidth(MinimumWidth);
    Invalidate();
}

void THTMLLabel::Paint() {
    int bottom = DrawHtml(GetCanvas(), 1, 1, Width(), caption_, clWhite);
    // Setting the height repaints once more; the second paint measures the same and stops there.
    if (autoSize_ && bottom != Height())
        SetHeight(bottom);
}

} // namespace vendora
