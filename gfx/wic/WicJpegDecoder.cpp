#include "gfx/wic/WicJpegDecoder.h"

#include "base/Cp1252.h"

#include <wincodec.h>
#include <windows.h>

#include <cstdio>
#include <limits>
#include <new>
#include <string>

namespace vendora {

namespace {

// Owns one COM interface pointer.
template <typename T> class Com {
public:
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() {
        if (p_ != nullptr)
            p_->Release();
    }
    T** Out() { return &p_; }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }

private:
    T* p_ = nullptr;
};

[[noreturn]] void Raise(const std::string& reason) {
    throw EInvalidGraphic(Ansi("Image JPEG incorrecte : ") + reason);
}

std::string Describe(HRESULT result) {
    const char* what = "error";
    switch (result) {
    case WINCODEC_ERR_UNKNOWNIMAGEFORMAT:
    case WINCODEC_ERR_COMPONENTNOTFOUND:
        what = "not a picture that Windows can read";
        break;
    case WINCODEC_ERR_BADHEADER:
        what = "damaged header";
        break;
    case WINCODEC_ERR_BADIMAGE:
    case WINCODEC_ERR_BADSTREAMDATA:
    case WINCODEC_ERR_STREAMREAD:
        what = "damaged image data";
        break;
    case WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT:
    case WINCODEC_ERR_UNSUPPORTEDOPERATION:
        what = "colour format that cannot become 24-bit colour";
        break;
    case E_OUTOFMEMORY:
        what = "not enough memory for the picture";
        break;
    default:
        break;
    }
    char code[16];
    std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(result));
    return std::string(what) + " (WIC error 0x" + code + ")";
}

void Check(HRESULT result) {
    if (FAILED(result))
        Raise(Describe(result));
}

// The first frame of a JPEG file held in memory. The stream reads the caller's bytes in place.
struct Source {
    Com<IWICImagingFactory> Factory;
    Com<IWICStream> Stream;
    Com<IWICBitmapDecoder> Decoder;
    Com<IWICBitmapFrameDecode> Frame;
    int Width = 0;
    int Height = 0;

    explicit Source(std::span<const std::uint8_t> bytes);
};

Source::Source(std::span<const std::uint8_t> bytes) {
    if (bytes.empty())
        Raise("empty file");
    if (bytes.size() > std::numeric_limits<DWORD>::max())
        Raise("file too large");
    // Not bad bytes but a start-up fault (COM not initialised, no imaging component): not EInvalidGraphic,
    // which would only draw the missing-picture placeholder.
    const HRESULT created = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IWICImagingFactory, reinterpret_cast<void**>(Factory.Out()));
    if (FAILED(created))
        throw Exception("The Windows Imaging Component cannot start: " + Describe(created));
    Check(Factory->CreateStream(Stream.Out()));
    Check(Stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
    Check(Factory->CreateDecoderFromStream(Stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                           Decoder.Out()));
    // WIC reads every format it knows; this decoder stands for libjpeg and reads JPEG files only.
    GUID format = {};
    Check(Decoder->GetContainerFormat(&format));
    if (format != GUID_ContainerFormatJpeg)
        Raise("not a JPEG file");
    Check(Decoder->GetFrame(0, Frame.Out()));
    UINT width = 0;
    UINT height = 0;
    Check(Frame->GetSize(&width, &height));
    if (width == 0 || height == 0)
        Raise("picture without pixels");
    Width = static_cast<int>(width);
    Height = static_cast<int>(height);
}

} // namespace

PictureHeader WicJpegDecoder::ReadHeader(std::span<const std::uint8_t> bytes) const {
    const Source source(bytes);
    return {source.Width, source.Height};
}

Bitmap WicJpegDecoder::Decode(std::span<const std::uint8_t> bytes) const {
    const Source source(bytes);
    if (static_cast<long long>(source.Width) * source.Height > MaxPixels) {
        char message[80];
        std::snprintf(message, sizeof message, "picture of %d x %d pixels is too large", source.Width,
                      source.Height);
        Raise(message);
    }
    Com<IWICBitmapSource> converted;
    Check(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, source.Frame.Get(), converted.Out()));
    Bitmap result;
    try {
        result.SetSize(source.Width, source.Height);
    } catch (const std::bad_alloc&) {
        Raise("not enough memory for the picture");
    }
    // 32bppBGR words are Bitmap's words: the rows go straight in.
    const UINT stride = static_cast<UINT>(source.Width) * 4;
    const UINT size = stride * static_cast<UINT>(source.Height);
    Check(converted->CopyPixels(nullptr, stride, size, reinterpret_cast<BYTE*>(result.Row(0))));
    // The fourth byte of a 32bppBGR word is undefined; Bitmap keeps it zero.
    for (int y = 0; y < result.Height(); ++y) {
        std::uint32_t* row = result.Row(y);
        for (int x = 0; x < result.Width(); ++x)
            row[x] &= 0xFFFFFFu;
    }
    return result;
}

const PictureDecoder& TheWicJpegDecoder() {
    static const WicJpegDecoder decoder;
    return decoder;
}

} // namespace vendora
