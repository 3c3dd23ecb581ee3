#pragma once
// THTMLLabel (unit UHTMLLabel): a windowless label whose caption is markup. It lays out nothing itself:
// each paint hands the caption to DrawHtml one pixel in from its corner, wrapped to its width, and under
// AutoSize takes the height the renderer reports. It paints no background of its own.

#include "base/Text.h"
#include "gui/Control.h"
#include "html/HtmlHost.h"

namespace vendora {

class THTMLLabel : public Control {
public:
    // host: what the caption's pictures come from, for as long as the label lives.
    THTMLLabel(Component* owner, const HtmlHost& host);

    // The label's own caption (not the framework's control text).
    const AnsiString& Caption() const { return caption_; }
    // An unchanged text does nothing; otherwise the text is stored, a label narrower than 50 pixels is
    // widened to 50, and the label is repainted.
    virtual void SetCaption(const AnsiString& caption);
    AnsiString DisplayText() const override { return caption_; }

    bool AutoSize() const { return autoSize_; }
    // Only stores the flag; it takes effect at the next paint.
    void SetAutoSize(bool value) { autoSize_ = value; }

    // The message as a screen reader reads it (MarkupReading.h), every element over the label's area.
    void Describe(std::vector<AccessibleElement>& into) const override;

protected:
    void Paint() override;

private:
    HtmlHost host_;
    AnsiString caption_;
    bool autoSize_ = false;
};

} // namespace vendora
