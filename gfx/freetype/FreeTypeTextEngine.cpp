#include "gfx/freetype/FreeTypeTextEngine.h"

#include "base/Cp1252.h"
#include "base/Errors.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#ifndef VENDORA_FONTS_CONF_DEFAULT
#define VENDORA_FONTS_CONF_DEFAULT ""
#endif

namespace vendora {

namespace fs = std::filesystem;

std::string FindFontsConf() {
    std::error_code ec;
    if (const char* env = std::getenv("VENDORA_FONTS_CONF"); env != nullptr && *env != '\0')
        return fs::is_regular_file(env, ec) ? std::string(env) : std::string();
    if (fs::is_regular_file(VENDORA_FONTS_CONF_DEFAULT, ec))
        return VENDORA_FONTS_CONF_DEFAULT;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        for (const fs::path& candidate : {exe.parent_path() / "fonts" / "fonts.conf",
                                          exe.parent_path().parent_path() / "fonts" / "fonts.conf"})
            if (fs::is_regular_file(candidate, ec))
                return candidate.string();
    return {};
}

namespace {

// Windows draws the styles a family lacks from its regular face: bold smeared one pixel to the right,
// italic slanted. The slant moves a row 13/64 of a pixel (about 11.5 degrees) per row above the baseline.
constexpr int SlantPer64 = 13;
// Beyond any size a window shows; keeps a damaged size from asking FreeType for gigantic glyphs.
constexpr int MaxPixelsPerEm = 1000;
// What a font of height 0 gets, as the system's default font size.
constexpr int DefaultPixelsPerEm = 16;

constexpr const char* WineFonts = "/usr/share/wine/fonts";

// Unicode code points of the 256 Windows-1252 characters.
const std::array<char32_t, 256>& CodePoints() {
    static const std::array<char32_t, 256> table = [] {
        std::array<char32_t, 256> t{};
        for (int c = 0; c < 256; ++c) {
            const std::string u = AnsiToUtf8(std::string(1, static_cast<char>(c)));
            const auto b = [&](std::size_t i) {
                return static_cast<char32_t>(static_cast<unsigned char>(u[i]));
            };
            if (u.size() == 1)
                t[c] = b(0);
            else if (u.size() == 2)
                t[c] = ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
            else
                t[c] = ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
        }
        return t;
    }();
    return table;
}

int RoundDiv(std::int64_t a, std::int64_t b) {
    return static_cast<int>(a >= 0 ? (2 * a + b) / (2 * b) : -((-2 * a + b) / (2 * b)));
}

struct Glyph {
    int Advance = 0;
    int Left = 0; // from the pen position to the bitmap's first column
    int Top = 0;  // from the baseline up to the bitmap's first row
    int Width = 0;
    int Rows = 0;
    std::vector<std::uint8_t> Coverage; // 0 to 255 per pixel, row by row
};

// The match fontconfig gives for a family, weight and slant.
struct Match {
    std::string File;
    int Index = 0;
    std::string Family;
    bool Bold = false;
    bool Italic = false;
};

// One font at one size: the face, its Windows metrics and the glyphs of the 256 characters.
struct Instance {
    FT_Face Face = nullptr;
    std::string File;
    std::string Family;
    int PixelsPerEm = 0;
    int Ascent = 0;
    int Descent = 0;
    int UnderlineTop = 0;
    int UnderlineThickness = 1;
    bool SimulatedBold = false;
    bool SimulatedItalic = false;
    std::array<std::optional<Glyph>, 256> Glyphs;

    Instance() = default;
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    ~Instance() {
        if (Face != nullptr)
            FT_Done_Face(Face);
    }
};

using InstanceKey = std::tuple<std::string, int, bool, bool>;

// Simulated bold as Windows draws it: the glyph again one pixel to the right, and one pixel more of advance.
Glyph Smeared(const Glyph& glyph) {
    Glyph bold = glyph;
    bold.Advance = glyph.Advance + 1;
    if (glyph.Width == 0)
        return bold;
    bold.Width = glyph.Width + 1;
    bold.Coverage.assign(static_cast<std::size_t>(bold.Width) * bold.Rows, 0);
    for (int y = 0; y < glyph.Rows; ++y)
        for (int x = 0; x < glyph.Width; ++x) {
            const std::uint8_t v = glyph.Coverage[static_cast<std::size_t>(y) * glyph.Width + x];
            std::uint8_t* out = &bold.Coverage[static_cast<std::size_t>(y) * bold.Width + x];
            out[0] = std::max(out[0], v);
            out[1] = std::max(out[1], v);
        }
    return bold;
}

int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Simulated italic: each row moves right by its height above the baseline times the slant; the advance
// stays, so that slanted text measures like upright text, as on Windows.
Glyph Slanted(const Glyph& glyph) {
    if (glyph.Width == 0 || glyph.Rows == 0)
        return glyph;
    const auto shift = [&](int row) { return FloorDiv((glyph.Top - row) * SlantPer64, 64); };
    const int low = std::min(shift(0), shift(glyph.Rows - 1));
    const int high = std::max(shift(0), shift(glyph.Rows - 1));
    Glyph out = glyph;
    out.Left = glyph.Left + low;
    out.Width = glyph.Width + high - low;
    out.Coverage.assign(static_cast<std::size_t>(out.Width) * out.Rows, 0);
    for (int y = 0; y < glyph.Rows; ++y) {
        const int dx = shift(y) - low;
        std::copy_n(glyph.Coverage.data() + static_cast<std::size_t>(y) * glyph.Width, glyph.Width,
                    out.Coverage.data() + static_cast<std::size_t>(y) * out.Width + dx);
    }
    return out;
}

} // namespace

struct FreeTypeTextEngine::Impl {
    FT_Library Library = nullptr;
    FcConfig* Config = nullptr;
    std::string ConfigFile;
    bool Antialias = false;
    std::map<std::tuple<std::string, bool, bool>, Match> Matches;
    std::map<std::string, std::vector<FT_Byte>> Files;
    std::map<InstanceKey, std::unique_ptr<Instance>> Instances;
    // The last font asked for: the renderer measures word after word in the same font.
    FontRequest LastSpec;
    Instance* Last = nullptr;

    explicit Impl(const Options& options);
    ~Impl();
    FcConfig* LoadConfig(const std::string& requested);
    const Match& FindMatch(const std::string& name, bool bold, bool italic);
    const std::vector<FT_Byte>& FileBytes(const std::string& path);
    Instance& Get(const FontRequest& request);
    std::unique_ptr<Instance> Open(const FontRequest& request);
    std::unique_ptr<Instance> OpenFace(const Match& match, const FontRequest& request);
    const Glyph& GlyphOf(Instance& font, unsigned char c);
    Glyph Render(Instance& font, unsigned char c);
};

FreeTypeTextEngine::Impl::Impl(const Options& options) : Antialias(options.Antialias) {
    if (FT_Init_FreeType(&Library) != 0)
        throw Exception("FreeType cannot start");
    Config = LoadConfig(options.FontsConf);
}

FreeTypeTextEngine::Impl::~Impl() {
    Instances.clear();
    FT_Done_FreeType(Library);
    if (Config != nullptr)
        FcConfigDestroy(Config);
}

FcConfig* FreeTypeTextEngine::Impl::LoadConfig(const std::string& requested) {
    const std::string file = requested.empty()  ? FindFontsConf()
                             : requested == "-" ? std::string()
                                                : requested;
    if (!file.empty()) {
        FcConfig* config = FcConfigCreate();
        if (config != nullptr &&
            FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(file.c_str()), FcTrue) &&
            FcConfigBuildFonts(config)) {
            ConfigFile = file;
            return config;
        }
        if (config != nullptr)
            FcConfigDestroy(config);
    }
    // The machine's own configuration, with Wine's fonts added so that Tahoma and MS Sans Serif are found.
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr)
        throw Exception("fontconfig cannot start");
    FcConfigAppFontAddDir(config, reinterpret_cast<const FcChar8*>(WineFonts));
    return config;
}

const Match& FreeTypeTextEngine::Impl::FindMatch(const std::string& name, bool bold, bool italic) {
    const auto key = std::make_tuple(name, bold, italic);
    if (const auto it = Matches.find(key); it != Matches.end())
        return it->second;
    FcPattern* pattern = FcPatternCreate();
    const std::string family = AnsiToUtf8(name);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(Config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(Config, pattern, &result);
    Match match;
    if (found != nullptr) {
        FcChar8* text = nullptr;
        if (FcPatternGetString(found, FC_FILE, 0, &text) == FcResultMatch)
            match.File = reinterpret_cast<const char*>(text);
        if (FcPatternGetString(found, FC_FAMILY, 0, &text) == FcResultMatch)
            match.Family = reinterpret_cast<const char*>(text);
        FcPatternGetInteger(found, FC_INDEX, 0, &match.Index);
        int weight = FC_WEIGHT_REGULAR;
        int slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(found, FC_SLANT, 0, &slant);
        match.Bold = weight >= FC_WEIGHT_DEMIBOLD;
        match.Italic = slant != FC_SLANT_ROMAN;
        FcPatternDestroy(found);
    }
    FcPatternDestroy(pattern);
    return Matches.emplace(key, std::move(match)).first->second;
}

const std::vector<FT_Byte>& FreeTypeTextEngine::Impl::FileBytes(const std::string& path) {
    if (const auto it = Files.find(path); it != Files.end())
        return it->second;
    std::ifstream in(path, std::ios::binary);
    std::vector<FT_Byte> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Files.emplace(path, std::move(bytes)).first->second;
}

namespace {

// The underline from the post table: its top (negative below the baseline) and thickness, in font units.
// Values beyond the em square are damaged (Wine's MS Sans Serif has some); a one-pixel line just under the
// baseline stands in for them.
void SetUnderline(Instance& font, int ppem) {
    FT_Face face = font.Face;
    const int units = std::max<int>(face->units_per_EM, 1);
    int position = -units / 16;
    int thickness = units / 20;
    if (const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
        post != nullptr && post->underlinePosition < 0 && -post->underlinePosition < units &&
        post->underlineThickness > 0 && post->underlineThickness < units / 4) {
        position = post->underlinePosition;
        thickness = post->underlineThickness;
    }
    font.UnderlineThickness = std::max(1, RoundDiv(std::int64_t{thickness} * ppem, units));
    const int below = std::max(1, RoundDiv(-std::int64_t{position} * ppem, units));
    // The first row under the baseline is row Ascent; the whole line stays inside the cell.
    const int cell = font.Ascent + font.Descent;
    font.UnderlineThickness = std::min(font.UnderlineThickness, std::max(font.Descent, 1));
    font.UnderlineTop = std::clamp(font.Ascent + below - 1, std::min(font.Ascent, cell - 1),
                                   std::max(cell - font.UnderlineThickness, 0));
}

// Windows' sizes for an outline font: a negative height asks for that em size, a positive one for that cell
// height (the font's Windows ascent plus descent); ascent and descent are the OS/2 Windows values, scaled
// and rounded.
void SetOutlineSize(Instance& font, int height) {
    FT_Face face = font.Face;
    const int units = std::max<int>(face->units_per_EM, 1);
    int winAscent = face->ascender;
    int winDescent = -face->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        winAscent = os2->usWinAscent;
        winDescent = os2->usWinDescent;
    }
    const int total = std::max(winAscent + winDescent, 1);
    if (height > 0) {
        const int cell = std::min(height, MaxPixelsPerEm * 2);
        font.PixelsPerEm = std::clamp(RoundDiv(std::int64_t{cell} * units, total), 1, MaxPixelsPerEm);
        font.Ascent = RoundDiv(std::int64_t{cell} * winAscent, total);
        font.Descent = cell - font.Ascent;
    } else {
        font.PixelsPerEm = height == 0 ? DefaultPixelsPerEm : std::min(-height, MaxPixelsPerEm);
        font.Ascent = RoundDiv(std::int64_t{font.PixelsPerEm} * winAscent, units);
        font.Descent = RoundDiv(std::int64_t{font.PixelsPerEm} * winDescent, units);
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font.PixelsPerEm));
    SetUnderline(font, font.PixelsPerEm);
}

// A font of fixed sizes only (Wine's MS Sans Serif), chosen as Windows chooses among a raster font's sizes:
// the largest whose character height (cell height without internal leading, here the ascent) or, for a
// positive height, whose cell height fits the request; the smallest when none fits.
void SetStrikeSize(Instance& font, int height) {
    FT_Face face = font.Face;
    int chosen = -1;
    int chosenSize = 0;
    int smallest = -1;
    int smallestSize = 0;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        if (FT_Select_Size(face, i) != 0)
            continue;
        const int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
        const int cell = ascent + static_cast<int>(-face->size->metrics.descender >> 6);
        const int size = height > 0 ? cell : ascent;
        const int wanted = height == 0 ? DefaultPixelsPerEm : std::abs(height);
        if (size <= wanted && (chosen < 0 || size > chosenSize))
            chosen = i, chosenSize = size;
        if (smallest < 0 || size < smallestSize)
            smallest = i, smallestSize = size;
    }
    FT_Select_Size(face, chosen >= 0 ? chosen : std::max(smallest, 0));
    font.Ascent = static_cast<int>(face->size->metrics.ascender >> 6);
    font.Descent = static_cast<int>(-face->size->metrics.descender >> 6);
    font.PixelsPerEm = static_cast<int>(face->size->metrics.y_ppem);
    SetUnderline(font, font.PixelsPerEm);
}

// Whether the face holds a bitmap strike for its current size.
bool HasStrike(FT_Face face, int ppem) {
    for (int i = 0; i < face->num_fixed_sizes; ++i)
        if ((face->available_sizes[i].y_ppem + 32) >> 6 == ppem)
            return true;
    return false;
}

// The mono image of a character, for comparing two faces.
std::vector<std::uint8_t> Probe(FT_Face face, char32_t c) {
    std::vector<std::uint8_t> image;
    if (FT_Load_Char(face, c, FT_LOAD_TARGET_MONO | FT_LOAD_RENDER) != 0)
        return image;
    const FT_Bitmap& b = face->glyph->bitmap;
    image.push_back(static_cast<std::uint8_t>(b.width));
    for (unsigned y = 0; y < b.rows; ++y)
        image.insert(image.end(), b.buffer + y * b.pitch, b.buffer + y * b.pitch + (b.width + 7) / 8);
    return image;
}

} // namespace

std::unique_ptr<Instance> FreeTypeTextEngine::Impl::OpenFace(const Match& match, const FontRequest& request) {
    auto font = std::make_unique<Instance>();
    const Match* use = &match;
    const auto open = [&](const Match& m) {
        if (m.File.empty())
            return false;
        const std::vector<FT_Byte>& bytes = FileBytes(m.File);
        return FT_New_Memory_Face(Library, bytes.data(), static_cast<FT_Long>(bytes.size()), m.Index,
                                  &font->Face) == 0;
    };
    if (!open(match)) {
        // A font that fontconfig names but FreeType cannot read: take the fallback face.
        use = &FindMatch("Liberation Sans", request.Bold, request.Italic);
        if (!open(*use))
            throw Exception("no usable font for " + request.Name);
    }
    font->File = use->File;
    font->Family = use->Family;
    font->SimulatedBold = request.Bold && !use->Bold;
    font->SimulatedItalic = request.Italic && !use->Italic;
    if (FT_IS_SCALABLE(font->Face))
        SetOutlineSize(*font, request.Height);
    else
        SetStrikeSize(*font, request.Height);
    return font;
}

std::unique_ptr<Instance> FreeTypeTextEngine::Impl::Open(const FontRequest& request) {
    const Match& match = FindMatch(request.Name, request.Bold, request.Italic);
    std::unique_ptr<Instance> font = OpenFace(match, request);
    if (!request.Bold || font->SimulatedBold || !HasStrike(font->Face, font->PixelsPerEm))
        return font;
    // Wine's Tahoma Bold carries the regular glyphs in some of its bitmap sizes (13 and 16 pixels). Where
    // the bold face's bitmaps are the regular face's, the regular face drawn in simulated bold is closer to
    // the real thing.
    const Match& regular = FindMatch(request.Name, false, request.Italic);
    if (regular.File == match.File)
        return font;
    std::unique_ptr<Instance> plain = OpenFace(regular, request);
    if (plain->SimulatedBold && plain->PixelsPerEm == font->PixelsPerEm &&
        HasStrike(plain->Face, plain->PixelsPerEm) && Probe(plain->Face, U'n') == Probe(font->Face, U'n') &&
        Probe(plain->Face, U'H') == Probe(font->Face, U'H'))
        return plain;
    return font;
}

Instance& FreeTypeTextEngine::Impl::Get(const FontRequest& request) {
    if (Last != nullptr && request.Height == LastSpec.Height && request.Bold == LastSpec.Bold &&
        request.Italic == LastSpec.Italic && request.Name == LastSpec.Name)
        return *Last;
    const InstanceKey key(request.Name, request.Height, request.Bold, request.Italic);
    auto it = Instances.find(key);
    if (it == Instances.end())
        it = Instances.emplace(key, Open(request)).first;
    LastSpec = request;
    Last = it->second.get();
    return *Last;
}

Glyph FreeTypeTextEngine::Impl::Render(Instance& font, unsigned char c) {
    Glyph glyph;
    FT_Face face = font.Face;
    const FT_UInt index = FT_Get_Char_Index(face, CodePoints()[c]);
    const FT_Int32 flags = Antialias ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
    if (FT_Load_Glyph(face, index, flags) != 0 && FT_Load_Glyph(face, index, flags | FT_LOAD_NO_BITMAP) != 0)
        return glyph;
    FT_GlyphSlot slot = face->glyph;
    glyph.Advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Render_Glyph(slot, Antialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
        return glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.Left = slot->bitmap_left;
    glyph.Top = slot->bitmap_top;
    glyph.Width = static_cast<int>(bitmap.width);
    glyph.Rows = static_cast<int>(bitmap.rows);
    glyph.Coverage.assign(static_cast<std::size_t>(glyph.Width) * glyph.Rows, 0);
    FT_Bitmap grey;
    FT_Bitmap_Init(&grey);
    const FT_Bitmap* source = &bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) {
        FT_Bitmap_Convert(Library, &bitmap, &grey, 1);
        source = &grey;
    }
    const int levels = source->pixel_mode == FT_PIXEL_MODE_GRAY ? std::max<int>(source->num_grays - 1, 1) : 1;
    for (int y = 0; y < glyph.Rows; ++y) {
        const unsigned char* row = source->buffer + static_cast<std::ptrdiff_t>(y) * source->pitch;
        for (int x = 0; x < glyph.Width; ++x) {
            const int value =
                source->pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1) : row[x];
            glyph.Coverage[static_cast<std::size_t>(y) * glyph.Width + x] =
                static_cast<std::uint8_t>(value * 255 / levels);
        }
    }
    FT_Bitmap_Done(Library, &grey);
    if (font.SimulatedBold)
        glyph = Smeared(glyph);
    if (font.SimulatedItalic)
        glyph = Slanted(glyph);
    return glyph;
}

const Glyph& FreeTypeTextEngine::Impl::GlyphOf(Instance& font, unsigned char c) {
    std::optional<Glyph>& slot = font.Glyphs[c];
    if (!slot)
        slot = Render(font, c);
    return *slot;
}

// ---------------------------------------------------------------------------------------------------------

FreeTypeTextEngine::FreeTypeTextEngine() : FreeTypeTextEngine(Options{}) {}

FreeTypeTextEngine::FreeTypeTextEngine(const Options& options) : impl_(std::make_unique<Impl>(options)) {}

FreeTypeTextEngine::~FreeTypeTextEngine() = default;

const std::string& FreeTypeTextEngine::ConfigFile() const {
    return impl_->ConfigFile;
}

FontMetrics FreeTypeTextEngine::Metrics(const FontRequest& font) {
    const Instance& f = impl_->Get(font);
    return {f.Ascent, f.Descent};
}

int FreeTypeTextEngine::TextWidth(const FontRequest& font, std::string_view text) {
    Instance& f = impl_->Get(font);
    int width = 0;
    for (const char c : text)
        width += impl_->GlyphOf(f, static_cast<unsigned char>(c)).Advance;
    return width;
}

namespace {

std::uint32_t Blend(std::uint32_t under, std::uint32_t over, unsigned coverage) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned a = (under >> shift) & 0xFF;
        const unsigned b = (over >> shift) & 0xFF;
        out |= ((a * (255 - coverage) + b * coverage + 127) / 255) << shift;
    }
    return out;
}

} // namespace

void FreeTypeTextEngine::DrawText(Bitmap& target, const IntRect& clip, int x, int y, const FontRequest& font,
                                  std::string_view text, TColor color) {
    const IntRect area = clip.Intersected(target.Bounds());
    if (area.IsEmpty())
        return;
    Instance& f = impl_->Get(font);
    const std::uint32_t ink = PixelOf(color);
    const int baseline = y + f.Ascent;
    int pen = x;
    for (const char c : text) {
        const Glyph& g = impl_->GlyphOf(f, static_cast<unsigned char>(c));
        const int left = pen + g.Left;
        const int top = baseline - g.Top;
        pen += g.Advance;
        const IntRect box = IntRect::FromSize(left, top, g.Width, g.Rows).Intersected(area);
        for (int py = box.Top; py < box.Bottom; ++py) {
            std::uint32_t* row = target.Row(py);
            const std::uint8_t* cover = g.Coverage.data() + static_cast<std::size_t>(py - top) * g.Width;
            for (int px = box.Left; px < box.Right; ++px) {
                const unsigned v = cover[px - left];
                if (v == 255)
                    row[px] = ink;
                else if (v != 0)
                    row[px] = Blend(row[px], ink, v);
            }
        }
    }
    if (font.Underline) {
        const IntRect line =
            IntRect{x, y + f.UnderlineTop, pen, y + f.UnderlineTop + f.UnderlineThickness}.Intersected(area);
        for (int py = line.Top; py < line.Bottom; ++py)
            std::fill(target.Row(py) + line.Left, target.Row(py) + line.Right, ink);
    }
}

FreeTypeTextEngine::Face FreeTypeTextEngine::Resolve(const FontRequest& font) {
    const Instance& f = impl_->Get(font);
    return {f.File,
            f.Family,
            f.PixelsPerEm,
            f.SimulatedBold,
            f.SimulatedItalic,
            f.UnderlineTop,
            f.UnderlineThickness};
}

FreeTypeTextEngine& TheFreeTypeTextEngine() {
    static FreeTypeTextEngine engine;
    return engine;
}

} // namespace vendora
