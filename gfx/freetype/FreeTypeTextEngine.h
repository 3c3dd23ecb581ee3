#pragma once
// The host's text engine: FreeType glyphs in the fonts that fontconfig finds, with Windows metrics so that
// layouts agree with the Windows build. Fonts are looked up through the project's fonts.conf (see
// FindFontsConf), which maps the Windows font names to Debian's fonts-wine and fonts-liberation.

#include "gfx/TextEngine.h"

#include <memory>
#include <string>

namespace vendora {

// The project's fonts.conf: the file named by the environment variable VENDORA_FONTS_CONF, else
// fonts/fonts.conf in the source tree this program was built from, else fonts/fonts.conf beside or one
// level above the program's folder. Empty when none exists; fontconfig's own configuration then serves.
std::string FindFontsConf();

class FreeTypeTextEngine : public TextEngine {
public:
    struct Options {
        // A fonts.conf to use instead of FindFontsConf's; "-" for fontconfig's own configuration.
        std::string FontsConf;
        // Grey-level edges instead of the classic two-colour glyphs.
        bool Antialias = false;
    };

    FreeTypeTextEngine();
    explicit FreeTypeTextEngine(const Options& options);
    ~FreeTypeTextEngine() override;
    FreeTypeTextEngine(const FreeTypeTextEngine&) = delete;
    FreeTypeTextEngine& operator=(const FreeTypeTextEngine&) = delete;

    FontMetrics Metrics(const FontRequest& font) override;
    int TextWidth(const FontRequest& font, std::string_view text) override;
    void DrawText(Bitmap& target, const IntRect& clip, int x, int y, const FontRequest& font,
                  std::string_view text, TColor color) override;

    // What a font request became, for diagnostics and tests.
    struct Face {
        std::string File;
        std::string Family;
        int PixelsPerEm = 0;
        bool SimulatedBold = false;
        bool SimulatedItalic = false;
        int UnderlineTop = 0; // rows below the cell's top
        int UnderlineThickness = 0;
    };
    Face Resolve(const FontRequest& font);
    // The fonts.conf in use; empty when fontconfig's own configuration serves.
    const std::string& ConfigFile() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// One FreeType engine for the whole process, made on first use: the fonts it opened stay open for every
// later measure.
FreeTypeTextEngine& TheFreeTypeTextEngine();

} // namespace vendora
