#pragma once
// Measures and draws Windows-1252 text in a named font. The host build serves it with FreeType and
// fontconfig; the Windows build with GDI drawing into the canvas's own pixel buffer. Metrics follow the
// Windows definitions so that layouts agree between the builds.

#include "base/Color.h"
#include "base/Text.h"
#include "gfx/Bitmap.h"
#include "gfx/Geometry.h"

#include <string_view>

namespace vendora {

// A font as LOGFONT asks for it: a negative height is the character height in pixels, a positive one the
// cell height (ascent plus descent).
struct FontRequest {
    AnsiString Name;
    int Height = -11;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    friend bool operator==(const FontRequest&, const FontRequest&) = default;
};

struct FontMetrics {
    int Ascent = 0;  // pixels above the baseline, internal leading included
    int Descent = 0; // pixels below the baseline
    int CellHeight() const { return Ascent + Descent; }
};

class TextEngine {
public:
    virtual ~TextEngine() = default;
    virtual FontMetrics Metrics(const FontRequest& font) = 0;
    // Sum of the advances of the characters.
    virtual int TextWidth(const FontRequest& font, std::string_view text) = 0;
    // Draws the glyphs of text (and the underline of an underlined font) with the text cell's top-left
    // corner at (x, y) in colour, touching only the pixels of target inside clip. Nothing else is painted.
    virtual void DrawText(Bitmap& target, const IntRect& clip, int x, int y, const FontRequest& font,
                          std::string_view text, TColor color) = 0;
};

} // namespace vendora
