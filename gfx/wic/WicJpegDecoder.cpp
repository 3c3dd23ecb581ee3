#include "gfx/wic/WicJpegDecoder.h"

#include "base/Cp1252.h"

#include "platform/win32/WindowsApi.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <limits>
#include <new>
#include <string>

namespace vendora {

namespace {

using Microsoft::WRL::ComPtr;

// Eight upper-case hexadecimal digits.
std::string Hex8(std::uint32_t value) {
    std::string digits(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4)
        digits[i] = "0123456789ABCDEF"[value & 15];
    return digits;
}

// Windows' imaging component is loaded when the first picture is decoded, not with the program: most runs
// decode none, the program starts sooner without it, and a Windows without it still installs. COM finds
// the same library for the factory; this converts with it.
using ConvertBitmapSource = HRESULT(WINAPI*)(REFWICPixelFormatGUID, IWICBitmapSource*, IWICBitmapSource**);

ConvertBitmapSource ImagingComponent() {
    static ConvertBitmapSource convert = nullptr;
    if (convert != nullptr)
        return convert;
    convert = LookupCall<ConvertBitmapSource>(::LoadLibraryA("windowscodecs.dll"), "WICConvertBitmapSource");
    if (convert == nullptr)
        throw Exception(Ansi("Le composant d'imagerie de Windows (windowscodecs.dll) est introuvable : "
                             "les images JPEG ne peuvent pas être affichées."));
    return convert;
}

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
    return std::string(what) + " (WIC error 0x" + Hex8(static_cast<std::uint32_t>(result)) + ")";
}

void Check(HRESULT result) {
    if (FAILED(result))
        Raise(Describe(result));
}

// The first frame of a JPEG file held in memory. The stream reads the caller's bytes in place.
struct Source {
    ComPtr<IWICStream> Stream;
    ComPtr<IWICBitmapDecoder> Decoder;
    ComPtr<IWICBitmapFrameDecode> Frame;
    int Width = 0;
    int Height = 0;

    Source(IWICImagingFactory& factory, std::span<const std::uint8_t> bytes);
};

Source::Source(IWICImagingFactory& factory, std::span<const std::uint8_t> bytes) {
    Check(factory.CreateStream(&Stream));
    Check(Stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
    Check(factory.CreateDecoderFromStream(Stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &Decoder));
    // WIC reads every format it knows; this decoder stands for libjpeg and reads JPEG files only.
    GUID format = {};
    Check(Decoder->GetContainerFormat(&format));
    if (format != GUID_ContainerFormatJpeg)
        Raise("not a JPEG file");
    Check(Decoder->GetFrame(0, &Frame));
    UINT width = 0;
    UINT height = 0;
    Check(Frame->GetSize(&width, &height));
    if (width == 0 || height == 0)
        Raise("picture without pixels");
    Width = static_cast<int>(width);
    Height = static_cast<int>(height);
}

void CheckSize(std::span<const std::uint8_t> bytes) {
    if (bytes.empty())
        Raise("empty file");
    if (bytes.size() > std::numeric_limits<DWORD>::max())
        Raise("file too large");
}

} // namespace

struct WicJpegDecoder::Imaging {
    ComPtr<IWICImagingFactory> Factory;
};

WicJpegDecoder::WicJpegDecoder() = default;
WicJpegDecoder::~WicJpegDecoder() = default;

IWICImagingFactory& WicJpegDecoder::Factory() const {
    if (imaging_)
        return *imaging_->Factory.Get();
    // Not bad bytes but a start-up fault (no imaging component, COM not initialised): not EInvalidGraphic,
    // which would only draw the missing-picture placeholder.
    ImagingComponent();
    auto imaging = std::make_unique<Imaging>();
    const HRESULT created = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IWICImagingFactory, &imaging->Factory);
    if (FAILED(created))
        throw Exception(Ansi("Le composant d'imagerie de Windows ne démarre pas : ") + Describe(created));
    imaging_ = std::move(imaging);
    return *imaging_->Factory.Get();
}

PictureHeader WicJpegDecoder::ReadHeader(std::span<const std::uint8_t> bytes) const {
    CheckSize(bytes);
    const Source source(Factory(), bytes);
    return {source.Width, source.Height};
}

Bitmap WicJpegDecoder::Decode(std::span<const std::uint8_t> bytes) const {
    CheckSize(bytes);
    const Source source(Factory(), bytes);
    if (static_cast<long long>(source.Width) * source.Height > MaxPixels) {
        Raise("picture of " + std::to_string(source.Width) + " x " + std::to_string(source.Height) +
              " pixels is too large");
    }
    ComPtr<IWICBitmapSource> converted;
    Check(ImagingComponent()(GUID_WICPixelFormat32bppBGR, source.Frame.Get(), &converted));
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

} // namespace vendora
