#pragma once
// The shaded shapes draw no text; their canvas still needs an engine.

#include "gfx/TextEngine.h"

namespace vendora::testing {

class NullTextEngine : public TextEngine {
public:
    FontMetrics Metrics(const FontRequest&) override { return {10, 3}; }
    int TextWidth(const FontRequest&, std::string_view text) override {
        return 6 * static_cast<int>(text.size());
    }
    void DrawText(Bitmap&, const IntRect&, int, int, const FontRequest&, std::string_view, TColor) override {}
};

} // namespace vendora::testing
