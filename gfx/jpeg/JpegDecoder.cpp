#include "gfx/jpeg/JpegDecoder.h"

#include "base/Cp1252.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace vendora {

namespace {

struct ErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
};

// What one pass over the bytes asks for and answers. Plain data only: the pass runs in a frame that
// longjmp may leave, so nothing in it may need a destructor.
struct Job {
    const std::uint8_t* Data = nullptr;
    unsigned long Size = 0;
    bool WantPixels = false;
    int Width = 0;
    int Height = 0;
    Bitmap* Target = nullptr;
    char Message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void FailJpeg(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->Jump, 1);
}

// libjpeg reports cut or garbled image data as warnings and carries on with grey; a picture that is not
// what its file holds is damaged, so these stop the decoding. Harmless notes (an unknown JFIF revision,
// stray bytes between segments) do not.
bool IsDamage(int code) {
    return code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE ||
           code == JWRN_MUST_RESYNC || code == JWRN_NOT_SEQUENTIAL;
}

void EmitJpegMessage(j_common_ptr info, int level) {
    if (level < 0 && IsDamage(info->err->msg_code))
        FailJpeg(info);
}

// Bitmap::SetSize may throw; the pass must not be left by an exception, so it gets a flag instead.
bool SizeTarget(Bitmap& target, int width, int height) noexcept {
    try {
        target.SetSize(width, height);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::uint32_t Pack(int r, int g, int b) {
    return PixelOf(TColor::Rgb(r, g, b));
}

void StoreRow(const jpeg_decompress_struct& info, const JSAMPLE* in, std::uint32_t* out) {
    const auto width = static_cast<int>(info.output_width);
    if (info.out_color_space == JCS_CMYK) {
        // Adobe writes CMYK inverted (0 is full ink); others write it plain.
        const bool inverted = info.saw_Adobe_marker;
        for (int x = 0; x < width; ++x, in += 4) {
            const int c = inverted ? in[0] : 255 - in[0];
            const int m = inverted ? in[1] : 255 - in[1];
            const int y = inverted ? in[2] : 255 - in[2];
            const int k = inverted ? in[3] : 255 - in[3];
            out[x] = Pack(c * k / 255, m * k / 255, y * k / 255);
        }
        return;
    }
    for (int x = 0; x < width; ++x, in += 3)
        out[x] = Pack(in[0], in[1], in[2]);
}

bool DecodePixels(jpeg_decompress_struct& info, Job& job) {
    const long long pixels = static_cast<long long>(info.image_width) * info.image_height;
    if (pixels > JpegDecoder::MaxPixels) {
        std::snprintf(job.Message, sizeof job.Message, "picture of %u x %u pixels is too large",
                      info.image_width, info.image_height);
        return false;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    if (!SizeTarget(*job.Target, static_cast<int>(info.output_width), static_cast<int>(info.output_height))) {
        std::snprintf(job.Message, sizeof job.Message, "not enough memory for the picture");
        return false;
    }
    const JDIMENSION stride = info.output_width * static_cast<JDIMENSION>(info.output_components);
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, stride, 1);
    while (info.output_scanline < info.output_height) {
        const auto y = static_cast<int>(info.output_scanline);
        jpeg_read_scanlines(&info, row, 1);
        StoreRow(info, row[0], job.Target->Row(y));
    }
    jpeg_finish_decompress(&info);
    return true;
}

bool RunJob(Job& job) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = FailJpeg;
    errors.Base.emit_message = EmitJpegMessage;
    if (setjmp(errors.Jump) != 0) {
        (*errors.Base.format_message)(reinterpret_cast<j_common_ptr>(&info), job.Message);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, job.Data, job.Size);
    jpeg_read_header(&info, TRUE);
    job.Width = static_cast<int>(info.image_width);
    job.Height = static_cast<int>(info.image_height);
    const bool done = !job.WantPixels || DecodePixels(info, job);
    jpeg_destroy_decompress(&info);
    return done;
}

[[noreturn]] void Raise(const Job& job) {
    throw EInvalidGraphic(Ansi("Image JPEG incorrecte : ") + job.Message);
}

Job MakeJob(std::span<const std::uint8_t> bytes) {
    Job job;
    job.Data = bytes.data();
    job.Size = static_cast<unsigned long>(bytes.size());
    if (bytes.empty())
        std::snprintf(job.Message, sizeof job.Message, "empty file");
    return job;
}

} // namespace

PictureHeader JpegDecoder::ReadHeader(std::span<const std::uint8_t> bytes) const {
    Job job = MakeJob(bytes);
    if (bytes.empty() || !RunJob(job))
        Raise(job);
    return {job.Width, job.Height};
}

Bitmap JpegDecoder::Decode(std::span<const std::uint8_t> bytes) const {
    Bitmap result;
    Job job = MakeJob(bytes);
    job.WantPixels = true;
    job.Target = &result;
    if (bytes.empty() || !RunJob(job))
        Raise(job);
    return result;
}

JpegDecoder& TheJpegDecoder() {
    static JpegDecoder decoder;
    return decoder;
}

} // namespace vendora
