#pragma once
// The framework's label: a caption in the control's font, aligned left, right or centred, laid out at the
// top or in the middle of its area, on one line or word-wrapped, on its colour or transparent. Under
// AutoSize it takes the size of its text; a right-aligned label keeps its right edge when it does.

#include "gui/Control.h"
#include "gui/TextLayout.h"

namespace vendora {

enum class TextAlignment { Left, Right, Center };
enum class TextLayoutKind { Top, Center, Bottom };

class Label : public Control {
public:
    explicit Label(Component* owner);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    TextAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TextAlignment value);
    TextLayoutKind Layout() const { return layout_; }
    void SetLayout(TextLayoutKind value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    // Right-to-left reading order for a text written left to right (neutral characters at the ends swap).
    bool RightToLeftReading() const { return rightToLeft_; }
    void SetRightToLeftReading(bool value);

    // Resizes to the text when AutoSize is on.
    void AdjustBounds();

    // Static text; a label with no text says nothing.
    void Describe(std::vector<AccessibleElement>& into) const override;

protected:
    void Paint() override;
    void FontChanged() override;
    void CaptionChanged() override;

    void Placed() override { AdjustBounds(); }

private:
    TextEngine& Engine() const;
    std::vector<TextLine> Lines(int width) const;
    void Changed();

    bool autoSize_ = true;
    TextAlignment alignment_ = TextAlignment::Left;
    TextLayoutKind layout_ = TextLayoutKind::Top;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool rightToLeft_ = false;
};

} // namespace vendora
