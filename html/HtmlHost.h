#pragma once
// What the markup renderer reaches besides the canvas and its text engine, handed to it by whoever shows a
// message, as a document renderer is handed its container: the cache that keeps the markup's pictures, and
// the files, text engine and decoder it reads, draws placeholders and decodes them with. The renderer asks
// for nothing else.

#include "html/pictures/Pictures.h"

namespace vendora {

struct HtmlHost {
    // None where nothing keeps pictures (a text known to show none): a picture met then is a fault of the
    // program's set-up, raised as std::logic_error.
    PictureCache* Pictures = nullptr;
    PictureServices Services;
};

} // namespace vendora
