#include "gfx/gdi/GdiTextEngine.h"

#include "base/Errors.h"

#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <tuple>
#include <vector>

namespace vendora {

namespace {

// The same bounds as the host's engine: beyond any size a window shows, and a damaged size must not make
// GDI render glyphs of gigantic size.
constexpr int LargestEm = 1000;
constexpr int LargestCell = 2000;
// GDI takes 27-bit coordinates; text that starts further away than this cannot reach any bitmap.
constexpr std::int64_t FarAway = 1 << 26;
// GDI is asked for this many characters at a time, well under any limit of its own.
constexpr std::size_t Chunk = 4096;

using FontKey = std::tuple<AnsiString, int, bool, bool, bool>;

FontKey KeyOf(const FontRequest& request) {
    return {request.Name, request.Height, request.Bold, request.Italic, request.Underline};
}

struct GdiFont {
    HFONT Handle = nullptr;
    FontMetrics Metrics;
};

} // namespace

struct GdiTextEngine::Impl {
    HDC Dc = nullptr;
    HGDIOBJ FirstFont = nullptr;
    HGDIOBJ FirstBitmap = nullptr;
    std::map<FontKey, GdiFont> Fonts;
    HFONT Selected = nullptr;
    // The last font asked for: the renderer measures word after word in the same font.
    FontRequest LastRequest;
    GdiFont* Last = nullptr;
    // The drawing surface: a top-down 32-bit DIB section, grown to the largest clip drawn into, blank
    // (every pixel Blank) between two drawings. Blank has its top byte set and its colour differs from the
    // text's, so the glyphs' pixels are told from it whatever GDI does with the top byte.
    HBITMAP Surface = nullptr;
    std::uint32_t* Bits = nullptr;
    int SurfaceWidth = 0;
    int SurfaceHeight = 0;
    std::uint32_t Blank = 0xFFFF00FFu;

    Impl();
    ~Impl();
    GdiFont& Get(const FontRequest& request);
    GdiFont Create(const FontRequest& request);
    void Select(const GdiFont& font);
    void EnsureSurface(int width, int height);
    void BlankApartFrom(std::uint32_t ink);
    void FillSurface();
    IntRect DrawnPart(int width, int height);
    void MoveGlyphs(const IntRect& part, Bitmap& target, const IntRect& area);
};

GdiTextEngine::Impl::Impl() {
    Dc = CreateCompatibleDC(nullptr);
    if (Dc == nullptr)
        throw Exception("GDI cannot make a memory device context");
    // Glyphs only: no background box, the cell's top-left corner at the position given.
    SetBkMode(Dc, TRANSPARENT);
    SetTextAlign(Dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    SetMapMode(Dc, MM_TEXT);
    FirstFont = GetCurrentObject(Dc, OBJ_FONT);
    FirstBitmap = GetCurrentObject(Dc, OBJ_BITMAP);
}

GdiTextEngine::Impl::~Impl() {
    SelectObject(Dc, FirstFont);
    SelectObject(Dc, FirstBitmap);
    for (auto& [key, font] : Fonts)
        DeleteObject(font.Handle);
    if (Surface != nullptr)
        DeleteObject(Surface);
    DeleteDC(Dc);
}

GdiFont GdiTextEngine::Impl::Create(const FontRequest& request) {
    // LOGFONT's own height rule: negative asks for the character height, positive for the cell height.
    const int height = std::clamp(request.Height, -LargestEm, LargestCell);
    char face[LF_FACESIZE] = {};
    std::strncpy(face, request.Name.c_str(), LF_FACESIZE - 1);
    // ANSI_CHARSET: the texts are Windows-1252 whatever the machine's code page, and TextOutA reads them
    // in the code page of the font's character set.
    GdiFont font;
    font.Handle = CreateFontA(height, 0, 0, 0, request.Bold ? FW_BOLD : FW_NORMAL, request.Italic,
                              request.Underline, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    if (font.Handle == nullptr)
        throw Exception("GDI cannot create the font " + request.Name);
    Select(font);
    TEXTMETRICA metrics = {};
    if (!GetTextMetricsA(Dc, &metrics)) {
        Selected = nullptr;
        SelectObject(Dc, FirstFont);
        DeleteObject(font.Handle);
        throw Exception("GDI cannot measure the font " + request.Name);
    }
    font.Metrics = {static_cast<int>(metrics.tmAscent), static_cast<int>(metrics.tmDescent)};
    return font;
}

GdiFont& GdiTextEngine::Impl::Get(const FontRequest& request) {
    if (Last != nullptr && request == LastRequest)
        return *Last;
    const FontKey key = KeyOf(request);
    auto it = Fonts.find(key);
    if (it == Fonts.end())
        it = Fonts.emplace(key, Create(request)).first;
    LastRequest = request;
    Last = &it->second;
    return *Last;
}

void GdiTextEngine::Impl::Select(const GdiFont& font) {
    if (Selected == font.Handle)
        return;
    SelectObject(Dc, font.Handle);
    Selected = font.Handle;
}

void GdiTextEngine::Impl::EnsureSurface(int width, int height) {
    if (width <= SurfaceWidth && height <= SurfaceHeight)
        return;
    const int w = std::max(width, SurfaceWidth);
    const int h = std::max(height, SurfaceHeight);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top-down: row 0 first, as in Bitmap
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP surface = CreateDIBSection(Dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (surface == nullptr || bits == nullptr)
        throw Exception("GDI cannot make a drawing surface");
    SelectObject(Dc, surface);
    if (Surface != nullptr)
        DeleteObject(Surface);
    Surface = surface;
    Bits = static_cast<std::uint32_t*>(bits);
    SurfaceWidth = w;
    SurfaceHeight = h;
    FillSurface();
}

// ink: the text's colour as the surface holds it.
void GdiTextEngine::Impl::BlankApartFrom(std::uint32_t ink) {
    if ((Blank & 0xFFFFFFu) != ink)
        return;
    Blank ^= 1;
    FillSurface();
}

void GdiTextEngine::Impl::FillSurface() {
    std::fill_n(Bits, static_cast<std::size_t>(SurfaceWidth) * static_cast<std::size_t>(SurfaceHeight),
                Blank);
}

// The part of the surface's first width x height pixels that GDI says it drew into since bounds were
// reset; all of them when it cannot say.
IntRect GdiTextEngine::Impl::DrawnPart(int width, int height) {
    RECT drawn = {};
    const UINT bounds = GetBoundsRect(Dc, &drawn, 0);
    SetBoundsRect(Dc, nullptr, DCB_DISABLE);
    const IntRect all{0, 0, width, height};
    if (bounds == 0)
        return all;
    if ((bounds & DCB_ACCUMULATE) == 0)
        return {};
    return all.Intersected({static_cast<int>(drawn.left), static_cast<int>(drawn.top),
                            static_cast<int>(drawn.right), static_cast<int>(drawn.bottom)});
}

// The glyphs' pixels in part of the surface (not antialiased, so exactly the text's colour whatever lies
// below them) go to the same place of area in target, and the surface is left blank again. GDI may leave
// something in the unused top byte; Bitmap keeps it zero.
void GdiTextEngine::Impl::MoveGlyphs(const IntRect& part, Bitmap& target, const IntRect& area) {
    const auto stride = static_cast<std::size_t>(SurfaceWidth);
    for (int row = part.Top; row < part.Bottom; ++row) {
        std::uint32_t* from = Bits + static_cast<std::size_t>(row) * stride;
        std::uint32_t* to = target.Row(area.Top + row) + area.Left;
        for (int column = part.Left; column < part.Right; ++column) {
            if (from[column] == Blank)
                continue;
            to[column] = from[column] & 0xFFFFFFu;
            from[column] = Blank;
        }
    }
}

// ---------------------------------------------------------------------------------------------------------

GdiTextEngine::GdiTextEngine() : impl_(std::make_unique<Impl>()) {}

GdiTextEngine::~GdiTextEngine() = default;

FontMetrics GdiTextEngine::Metrics(const FontRequest& font) {
    return impl_->Get(font).Metrics;
}

int GdiTextEngine::TextWidth(const FontRequest& font, std::string_view text) {
    impl_->Select(impl_->Get(font));
    int width = 0;
    for (std::size_t at = 0; at < text.size(); at += Chunk) {
        const std::string_view part = text.substr(at, Chunk);
        SIZE size = {};
        if (GetTextExtentPoint32A(impl_->Dc, part.data(), static_cast<int>(part.size()), &size))
            width += static_cast<int>(size.cx);
    }
    return width;
}

void GdiTextEngine::DrawText(Bitmap& target, const IntRect& clip, int x, int y, const FontRequest& font,
                             std::string_view text, TColor color) {
    const IntRect area = clip.Intersected(target.Bounds());
    if (area.IsEmpty() || text.empty())
        return;
    const std::int64_t left = std::int64_t{x} - area.Left;
    const std::int64_t top = std::int64_t{y} - area.Top;
    if (left < -FarAway || left > FarAway || top < -FarAway || top > FarAway)
        return;
    Impl& gdi = *impl_;
    gdi.Select(gdi.Get(font));
    const int w = area.Width();
    const int h = area.Height();
    gdi.EnsureSurface(w, h);
    gdi.BlankApartFrom(PixelOf(color));
    SelectClipRgn(gdi.Dc, nullptr);
    IntersectClipRect(gdi.Dc, 0, 0, w, h);
    SetTextColor(gdi.Dc, static_cast<COLORREF>(color.Value & 0xFFFFFFu));
    // The glyphs are drawn on the blank surface, not on a copy of the clip's pixels, and GDI tells which
    // rectangle it drew into: only the pixels it can have changed are read, a few hundred for a word.
    SetBoundsRect(gdi.Dc, nullptr, DCB_RESET | DCB_ENABLE);
    // Each character is placed at the advance GetTextExtentExPointA measures, the very sum TextWidth
    // gives: the layout puts the next word where this one ends, and a GDI whose drawing rounds its advances
    // otherwise than its measuring (Wine's, at other densities than 96 dpi) would run words together.
    int pen = static_cast<int>(left);
    std::vector<INT> ends(std::min(text.size(), Chunk));
    std::vector<INT> advances(ends.size());
    for (std::size_t at = 0; at < text.size(); at += Chunk) {
        const std::string_view part = text.substr(at, Chunk);
        const int count = static_cast<int>(part.size());
        SIZE size = {};
        if (!GetTextExtentExPointA(gdi.Dc, part.data(), count, 0, nullptr, ends.data(), &size)) {
            TextOutA(gdi.Dc, pen, static_cast<int>(top), part.data(), count);
            break;
        }
        for (int i = 0; i < count; ++i)
            advances[static_cast<std::size_t>(i)] =
                ends[static_cast<std::size_t>(i)] - (i > 0 ? ends[static_cast<std::size_t>(i - 1)] : 0);
        ExtTextOutA(gdi.Dc, pen, static_cast<int>(top), 0, nullptr, part.data(), static_cast<UINT>(count),
                    advances.data());
        pen += static_cast<int>(size.cx);
    }
    GdiFlush();
    gdi.MoveGlyphs(gdi.DrawnPart(w, h), target, area);
}

AnsiString GdiTextEngine::FaceName(const FontRequest& font) {
    impl_->Select(impl_->Get(font));
    char name[LF_FACESIZE] = {};
    if (GetTextFaceA(impl_->Dc, LF_FACESIZE, name) == 0)
        return {};
    return AnsiString(name, strnlen(name, LF_FACESIZE));
}

std::size_t GdiTextEngine::FontCount() const {
    return impl_->Fonts.size();
}

} // namespace vendora
