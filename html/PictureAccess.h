#pragma once
// The pictures that markup names, as the layout sees them: a size, and a way to paint them. Internal to
// html/; the one place that talks to the picture cache.

#include "base/Text.h"
#include "gfx/Canvas.h"
#include "gfx/Geometry.h"
#include "html/HtmlHost.h"

namespace vendora {

class TJPEGImage;

struct MarkupPicture {
    TJPEGImage* Image = nullptr; // owned by the picture cache
    int Width = 0;
    int Height = 0;
};

// Whether the picture file of an "<IMG" tag exists; a tag naming a missing file takes no place at all.
bool PictureFileExists(const HtmlHost& host, const AnsiString& name);
// The cached picture of name, or the placeholder that tells the file is missing, its pixels decoded: a
// damaged file raises EInvalidGraphic where the layout meets it, before anything after it is laid out,
// and painting it later cannot fail.
MarkupPicture OpenPicture(const HtmlHost& host, const AnsiString& name);
void PaintPicture(Canvas& canvas, const IntRect& rect, const MarkupPicture& picture);

} // namespace vendora
