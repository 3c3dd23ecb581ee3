#include "html/pictures/Pictures.h"

#include "base/Cp1252.h"
#include "base/Errors.h"

#include <stdexcept>
#include <utility>

namespace vendora {

namespace {

std::vector<std::uint8_t> ReadWholeFile(FileHandle& file) {
    std::vector<std::uint8_t> bytes;
    const std::int64_t size = file.Size();
    if (size > 0)
        bytes.reserve(static_cast<std::size_t>(size));
    std::uint8_t chunk[64 * 1024];
    for (;;) {
        std::uint32_t done = 0;
        if (!file.Read(chunk, sizeof chunk, done))
            throw EReadError();
        if (done == 0)
            return bytes;
        bytes.insert(bytes.end(), chunk, chunk + done);
    }
}

// The decoder's reason, with the file it was reading.
AnsiString WithFile(const Exception& error, const AnsiString& path) {
    return error.Message() + " (" + path + ")";
}

} // namespace

void TJPEGImage::LoadFromFile(FileSystem& files, const AnsiString& path, const PictureDecoder& decoder) {
    *this = TJPEGImage();
    path_ = path;
    decoder_ = &decoder;
    const std::unique_ptr<FileHandle> file = OpenForReading(files, path);
    std::vector<std::uint8_t> bytes = ReadWholeFile(*file);
    if (bytes.empty())
        return;
    PictureHeader header;
    try {
        header = decoder.ReadHeader(bytes);
    } catch (const EInvalidGraphic& invalid) {
        throw EInvalidGraphic(WithFile(invalid, path));
    }
    data_ = std::move(bytes);
    width_ = header.Width;
    height_ = header.Height;
}

void TJPEGImage::Assign(const Bitmap& bitmap) {
    *this = TJPEGImage();
    pixels_ = bitmap;
    width_ = bitmap.Width();
    height_ = bitmap.Height();
}

const Bitmap& TJPEGImage::Pixels() {
    if (pixels_)
        return *pixels_;
    if (decodeError_)
        throw EInvalidGraphic(*decodeError_);
    if (Empty() || decoder_ == nullptr) {
        pixels_.emplace();
        return *pixels_;
    }
    try {
        pixels_ = decoder_->Decode(data_);
    } catch (const EInvalidGraphic& invalid) {
        // Remembered, so that every repaint reports the same fault without decoding the file again.
        decodeError_ = WithFile(invalid, path_);
        data_.clear();
        throw EInvalidGraphic(*decodeError_);
    }
    data_.clear();
    data_.shrink_to_fit();
    return *pixels_;
}

void TJPEGImage::Draw(Canvas& canvas, const IntRect& rect) {
    if (Empty())
        return;
    // At 96 dpi a picture is stretched pixel for pixel, as ever; on a denser screen it is enlarged
    // smoothly.
    if (canvas.GetScale().IsDesign()) {
        canvas.StretchDraw(rect, Pixels());
    } else {
        canvas.SmoothStretchDraw(rect, Pixels());
    }
}

TJPEGImage* PictureCache::Load(const AnsiString& requested, const PictureServices& services) {
    const AnsiString name = ResolveShortName(services.Files, CutTo(requested, Capacity::Path));
    for (const Entry& entry : entries_)
        if (entry.Name == name)
            return entry.Picture.get();

    const bool exists = services.Files.FileExists(name);
    entries_.push_back({name, std::make_unique<TJPEGImage>()});
    TJPEGImage* picture = entries_.back().Picture.get();
    // The entry stays even when loading fails, so that a bad file is read once and later requests get its
    // empty picture.
    if (exists && services.Decoder == nullptr)
        throw std::logic_error("no picture decoder (PictureServices)");
    if (exists)
        picture->LoadFromFile(services.Files, name, *services.Decoder);
    else
        picture->Assign(DrawMissingPicture(services.Text, name));
    return picture;
}

AnsiString ResolveShortName(FileSystem& files, const AnsiString& name) {
    if (!Contains(name, '~'))
        return name;
    const FileResult<AnsiString> found = files.FindFirst(name);
    if (!found)
        return name;
    const std::size_t separator = name.find_last_of("\\/:");
    const AnsiString folder = separator == AnsiString::npos
                                  ? AnsiString()
                                  : CutTo(name.substr(0, separator + 1), Capacity::Shortcut);
    return CutTo(folder + *found, Capacity::Path);
}

Bitmap DrawMissingPicture(TextEngine& text, const AnsiString& name) {
    Bitmap bitmap(MissingPictureWidth, MissingPictureHeight, clWhite);
    // Every colour of the placeholder is fixed, so no machine's system colours are needed: any set will do.
    XpSystemColors colors;
    Canvas canvas(bitmap, text, colors);
    canvas.GetPen() = Pen{clBlack, PenStyle::Solid, 1};
    canvas.GetBrush().SetColor(clRed);
    canvas.GetBrush().SetStyle(BrushStyle::DiagCross);
    canvas.Rectangle(1, 1, MissingPictureWidth, MissingPictureHeight);

    canvas.GetBrush().SetStyle(BrushStyle::Solid);
    Font& font = canvas.GetFont();
    font.Name = "Tahoma";
    font.SetSize(14);
    font.Style = FontStyles{.Bold = true};
    font.Color = clWhite;
    // A name wider than the picture starts left of its edge and is cut on both sides.
    auto centred = [&](const AnsiString& line, int y) {
        canvas.TextOut((MissingPictureWidth - canvas.TextWidth(line)) / 2, y, line);
    };
    centred(name, 60);
    centred("introuvable !", 120);
    return bitmap;
}

void DrawPicture(Canvas& canvas, const IntRect& rect, TJPEGImage* picture) {
    if (picture != nullptr)
        picture->Draw(canvas, rect);
}

} // namespace vendora
