// jpeg.cpp: JPEG pictures of the window layout decoded with libjpeg, baseline or progressive.
#include <csetjmp>
#include <cstdio>

#include "win/ui/gdi.h"

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace setup::win::ui {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// libjpeg's default ends the process; here a broken picture only stays empty.
void OnError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(err->jump, 1);
}
// Warnings about damaged data are counted, as libjpeg's own manager does; nothing is shown.
void OnEmit(j_common_ptr info, int level) {
    if (level < 0) ++info->err->num_warnings;
}
void OnMessage(j_common_ptr) {}
void OnFormat(j_common_ptr, char* buffer) { buffer[0] = '\0'; }
void OnReset(j_common_ptr info) {
    info->err->num_warnings = 0;
    info->err->msg_code = 0;
}

// Filled here rather than by jpeg_std_error: that one brings libjpeg's message table and
// printf-style formatting into the program, for messages nobody sees.
void InitErrors(ErrorManager& err) {
    err.pub = jpeg_error_mgr{};
    err.pub.error_exit = OnError;
    err.pub.emit_message = OnEmit;
    err.pub.output_message = OnMessage;
    err.pub.format_message = OnFormat;
    err.pub.reset_error_mgr = OnReset;
}

// Decodes into `image`, which the caller owns: only trivially destructible objects live in
// this frame between setjmp and a possible longjmp, so the jump skips no destructor.
bool DecodeRaw(const uint8_t* data, unsigned long size, setup::Image* image) {
    jpeg_decompress_struct info;
    ErrorManager err;
    InitErrors(err);
    info.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;  // the byte order of a Pixel
    jpeg_start_decompress(&info);
    const int w = static_cast<int>(info.output_width), h = static_cast<int>(info.output_height);
    if (w > kMaxBitmapSide || h > kMaxBitmapSide) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    *image = setup::Image(w, h);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(&image->at(0, static_cast<int>(info.output_scanline)));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    for (Pixel& p : image->pixels) p &= kRgbMask;  // libjpeg writes 0xFF in the fourth byte
    return true;
}

}  // namespace

std::optional<setup::Image> DecodeJpeg(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return std::nullopt;
    setup::Image image;
    if (!DecodeRaw(bytes.data(), static_cast<unsigned long>(bytes.size()), &image)) return std::nullopt;
    return image;
}

}  // namespace setup::win::ui
