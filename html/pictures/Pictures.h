#pragma once
// The pictures that markup names. A PictureCache turns a file name into a picture and keeps it for the rest
// of the run, so that every repaint finds the same object without reading the file again; a missing file
// gives a drawn placeholder. DrawPicture scales a picture into a rectangle.
//
// The JPEG pixels come from the decoder the cache is handed (libjpeg's on the host, WIC on Windows). Main
// thread only.

#include "base/Text.h"
#include "gfx/Bitmap.h"
#include "gfx/Canvas.h"
#include "gfx/Geometry.h"
#include "gfx/PictureDecoder.h"
#include "gfx/TextEngine.h"
#include "platform/Platform.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace vendora {

// A picture: a JPEG file whose header is read on loading and whose pixels are decoded when it is first
// drawn, or a bitmap it took over. A picture that failed to load is 0 x 0 and draws nothing.
class TJPEGImage {
public:
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }

    // Reads the whole file and its header. The file is named in errors. Raises EFOpenError when the file
    // cannot be opened, EReadError when it cannot be read, EInvalidGraphic when the header is not JPEG. An
    // empty file gives 0 x 0 without an error.
    void LoadFromFile(FileSystem& files, const AnsiString& path, const PictureDecoder& decoder);
    // Takes over a copy of bitmap; the picture is then that size and needs no decoding.
    void Assign(const Bitmap& bitmap);

    // The pixels, decoded on the first call. Damaged image data raises EInvalidGraphic, on that call and
    // on every later one, without decoding again.
    const Bitmap& Pixels();
    // The whole picture scaled into rect (right and bottom excluded), each direction on its own, nearest
    // pixel. The canvas's pen, brush and font stay as they are.
    void Draw(Canvas& canvas, const IntRect& rect);

private:
    AnsiString path_;
    std::vector<std::uint8_t> data_;
    const PictureDecoder* decoder_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::optional<Bitmap> pixels_;
    std::optional<AnsiString> decodeError_;
};

// What the cache reads files with, draws placeholders with and decodes with.
struct PictureServices {
    FileSystem& Files;
    TextEngine& Text;
    // Needed only when a picture file is loaded, as a missing picture's placeholder needs none: a file met
    // without one is a fault of the program's set-up (std::logic_error).
    const PictureDecoder* Decoder = nullptr;
};

// Entries in the order their names were first asked for; only ever appended until Release.
class PictureCache {
public:
    // The picture of name. The name is cut to 255 characters and a "~" alias resolved; the resolved name is
    // the cache key, compared exactly (letter case counts). A name seen before returns its picture and
    // touches no file. Otherwise an entry is appended, then the file is loaded, or the placeholder drawn
    // when no such file exists. Loading errors propagate; the entry stays (0 x 0) and the file is not read
    // again. The result belongs to the cache.
    TJPEGImage* Load(const AnsiString& name, const PictureServices& services);
    // Frees every picture and empties the cache.
    void Release() { entries_.clear(); }
    std::size_t Count() const { return entries_.size(); }
    const AnsiString& NameAt(std::size_t index) const { return entries_.at(index).Name; }

private:
    struct Entry {
        AnsiString Name;
        std::unique_ptr<TJPEGImage> Picture;
    };
    std::vector<Entry> entries_;
};

// A name holding "~" (a short alias) becomes its folder part, cut to 79 characters, followed by the long
// name of the first entry matching it, the whole cut to 255. A name without "~", or matching nothing,
// stays as it is.
AnsiString ResolveShortName(FileSystem& files, const AnsiString& name);

// The 300 x 200 picture shown for a missing file: a black outline on columns 1 and 299 and rows 1 and
// 199, a red diagonal-cross hatch on white, and name and "introuvable !" in white bold Tahoma 14 on red,
// centred at y 60 and 120.
Bitmap DrawMissingPicture(TextEngine& text, const AnsiString& name);
inline constexpr int MissingPictureWidth = 300;
inline constexpr int MissingPictureHeight = 200;

// picture scaled into rect; nothing for a null picture. Decoding errors propagate.
void DrawPicture(Canvas& canvas, const IntRect& rect, TJPEGImage* picture);

} // namespace vendora
