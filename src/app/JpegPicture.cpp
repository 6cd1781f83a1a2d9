#include "app/JpegPicture.h"

#include <climits>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg reports a fatal error by calling error_exit, which by default ends
// the process; this manager jumps back to the decoder instead.
struct TJpegError {
    jpeg_error_mgr Pub; // first member: libjpeg sees only this part
    std::jmp_buf Jump;
};

extern "C" void JpegErrorExit(j_common_ptr Info)
{
    std::longjmp(reinterpret_cast<TJpegError*>(Info->err)->Jump, 1);
}

// Warnings (corrupt data the library patched over) are counted, never printed.
extern "C" void JpegEmitMessage(j_common_ptr Info, int Level)
{
    if (Level < 0)
        ++Info->err->num_warnings;
}

extern "C" void JpegOutputMessage(j_common_ptr) {}

// Everything the jump may cross lives here, in the caller's frame, so that no
// local of the function holding setjmp is changed between setjmp and longjmp.
struct TDecodeJob {
    jpeg_decompress_struct Info{};
    TJpegError Error{};
    QImage Image;
};

bool Decode(TDecodeJob& Job, const unsigned char* Data, unsigned long Size)
{
    if (setjmp(Job.Error.Jump) != 0)
        return false;
    jpeg_create_decompress(&Job.Info);
    jpeg_mem_src(&Job.Info, Data, Size);
    if (jpeg_read_header(&Job.Info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (Job.Info.image_width == 0 || Job.Info.image_height == 0 || Job.Info.image_width > MaxJpegSide ||
        Job.Info.image_height > MaxJpegSide)
        return false;
    Job.Info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&Job.Info);
    if (Job.Info.output_components != 3)
        return false;
    Job.Image = QImage(static_cast<int>(Job.Info.output_width), static_cast<int>(Job.Info.output_height),
                       QImage::Format_RGB888);
    if (Job.Image.isNull())
        return false;
    while (Job.Info.output_scanline < Job.Info.output_height) {
        JSAMPROW Row = Job.Image.scanLine(static_cast<int>(Job.Info.output_scanline));
        if (jpeg_read_scanlines(&Job.Info, &Row, 1) != 1)
            return false;
    }
    jpeg_finish_decompress(&Job.Info);
    return Job.Error.Pub.num_warnings == 0;
}

} // namespace

QImage DecodeJpeg(std::span<const unsigned char> Data)
{
    if (Data.empty() || Data.size() > ULONG_MAX)
        return QImage();
    TDecodeJob Job;
    Job.Info.err = jpeg_std_error(&Job.Error.Pub);
    Job.Error.Pub.error_exit = JpegErrorExit;
    Job.Error.Pub.emit_message = JpegEmitMessage;
    Job.Error.Pub.output_message = JpegOutputMessage;
    const bool Ok = Decode(Job, Data.data(), static_cast<unsigned long>(Data.size()));
    jpeg_destroy_decompress(&Job.Info);
    return Ok ? Job.Image : QImage();
}
