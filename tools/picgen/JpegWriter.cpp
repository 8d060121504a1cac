#include "JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace picgen {

namespace {

// libjpeg's error manager, extended with the escape out of a failed encoding
// and the output buffer (kept here so that the escape finds it intact).
struct ErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Escape;
    unsigned char* Buffer = nullptr;
    unsigned long Size = 0;
};

void OnError(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX];
    info->err->format_message(info, message);
    std::fprintf(stderr, "picgen: JPEG: %s\n", message);
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->Escape, 1);
}

void OnMessage(j_common_ptr) {}

} // namespace

QByteArray EncodeJpeg(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);

    jpeg_compress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = OnError;
    errors.Base.output_message = OnMessage;

    if (setjmp(errors.Escape) != 0) {
        jpeg_destroy_compress(&info);
        std::free(errors.Buffer);
        return {};
    }

    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &errors.Buffer, &errors.Size);
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, JpegQuality, TRUE);
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);

    QByteArray bytes(reinterpret_cast<const char*>(errors.Buffer),
                     static_cast<qsizetype>(errors.Size));
    std::free(errors.Buffer);
    return bytes;
}

} // namespace picgen
