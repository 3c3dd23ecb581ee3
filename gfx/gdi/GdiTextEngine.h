#pragma once
// The Windows build's text engine: the system's own fonts through GDI, drawn without grey edges straight
// into the canvas's pixel words (a 32-bit DIB section has the same word order as Bitmap).

#include "gfx/TextEngine.h"

#include <memory>

namespace vendora {

class GdiTextEngine : public TextEngine {
public:
    GdiTextEngine();
    ~GdiTextEngine() override;
    GdiTextEngine(const GdiTextEngine&) = delete;
    GdiTextEngine& operator=(const GdiTextEngine&) = delete;

    FontMetrics Metrics(const FontRequest& font) override;
    int TextWidth(const FontRequest& font, std::string_view text) override;
    void DrawText(Bitmap& target, const IntRect& clip, int x, int y, const FontRequest& font,
                  std::string_view text, TColor color) override;

    // The face GDI chose for a request, for diagnostics and tests.
    AnsiString FaceName(const FontRequest& font);
    // How many GDI fonts the engine holds: one per distinct request, made the first time it is asked for.
    std::size_t FontCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vendora
