#include "html/label/HtmlLabel.h"

#include "gui/Form.h"
#include "html/DrawHtml.h"
#include "html/label/MarkupReading.h"

namespace vendora {
namespace {
constexpr int MinimumWidth = 50;
}

THTMLLabel::THTMLLabel(Component* owner, const HtmlHost& host) : Control(owner), host_(host) {}

void THTMLLabel::SetCaption(const AnsiString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    const int minimum = Parent() != nullptr ? Parent()->GetScale().Px(MinimumWidth) : MinimumWidth;
    if (Width() < minimum)
        SetWidth(minimum);
    Invalidate();
}

void THTMLLabel::Paint() {
    Canvas& canvas = GetCanvas();
    const int inset = canvas.GetScale().Px(1);
    int bottom = DrawHtml(canvas, host_, inset, inset, Width(), caption_, clWhite);
    // Setting the height repaints once more; the second paint measures the same and stops there.
    if (autoSize_ && bottom != Height())
        SetHeight(bottom);
}

void THTMLLabel::Describe(std::vector<AccessibleElement>& into) const {
    for (AccessibleElement& element : ReadMarkup(caption_)) {
        element.Bounds = BoundsRect();
        into.push_back(std::move(element));
    }
}

} // namespace vendora
