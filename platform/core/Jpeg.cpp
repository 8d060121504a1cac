#include "Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>

namespace platform {

namespace {

// Everything the decoder touches lives here, outside the function that calls
// setjmp, so that nothing it reads after a long jump is a stale register copy.
struct DecodeState {
    jpeg_decompress_struct Info{};
    jpeg_error_mgr Errors{};
    std::jmp_buf Escape;
    std::string Message;
    std::vector<uint8_t> Pixels;
};

DecodeState& StateOf(j_common_ptr info) {
    return *static_cast<DecodeState*>(info->client_data);
}

[[noreturn]] void ErrorExit(j_common_ptr info) {
    DecodeState& state = StateOf(info);
    char text[JMSG_LENGTH_MAX] = {};
    info->err->format_message(info, text);
    state.Message = text;
    std::longjmp(state.Escape, 1);
}

void EmitMessage(j_common_ptr info, int level) {
    // Level -1: the data are corrupt (a truncated file among them); the
    // library would go on with made-up pixels: the first warning ends the
    // decoding, the picture is refused.
    if (level < 0)
        ErrorExit(info);
}

void OutputMessage(j_common_ptr) {}

// Returns true on success with state.Pixels filled. Holds no object with a
// destructor: a long jump may leave it at any libjpeg call.
bool Decode(DecodeState& state, const uint8_t* data, size_t size, int& width, int& height) {
    jpeg_decompress_struct& info = state.Info;
    info.err = jpeg_std_error(&state.Errors);
    state.Errors.error_exit = ErrorExit;
    state.Errors.emit_message = EmitMessage;
    state.Errors.output_message = OutputMessage;
    info.client_data = &state;

    if (setjmp(state.Escape)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    const uint64_t pixels = static_cast<uint64_t>(info.image_width) * info.image_height;
    if (pixels == 0 || pixels > JpegMaxPixels || info.image_width > JpegMaxSide ||
        info.image_height > JpegMaxSide) {
        state.Message = "picture too large";
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        state.Message = "unexpected number of colour components";
        jpeg_destroy_decompress(&info);
        return false;
    }
    const size_t rowBytes = static_cast<size_t>(info.output_width) * 3;
    try {
        state.Pixels.resize(rowBytes * info.output_height);
    } catch (const std::bad_alloc&) {
        state.Message = "out of memory";
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = state.Pixels.data() + rowBytes * info.output_scanline;
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            break; // only with a suspending source, which this is not
    }
    const bool whole = info.output_scanline == info.output_height;
    jpeg_finish_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    jpeg_destroy_decompress(&info);
    if (!whole && state.Message.empty())
        state.Message = "picture incomplete";
    return whole;
}

} // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, JpegImage& image, JpegFormat format,
                std::string* error) {
    auto fail = [error](std::string message) {
        if (error)
            *error = message.empty() ? std::string("not a JPEG picture") : std::move(message);
        return false;
    };
    if (!data || size == 0)
        return fail("empty data");
    if (size > 0xFFFFFFFFull)
        return fail("data too large");

    DecodeState state;
    int width = 0;
    int height = 0;
    if (!Decode(state, data, size, width, height))
        return fail(state.Message);

    JpegImage decoded;
    decoded.Width = width;
    decoded.Height = height;
    try {
        if (format == JpegFormat::Rgb) {
            decoded.BytesPerPixel = 3;
            decoded.Pixels = std::move(state.Pixels);
        } else {
            decoded.BytesPerPixel = 4;
            const size_t count = static_cast<size_t>(width) * height;
            decoded.Pixels.resize(count * 4);
            for (size_t i = 0; i < count; ++i) {
                decoded.Pixels[i * 4 + 0] = state.Pixels[i * 3 + 0];
                decoded.Pixels[i * 4 + 1] = state.Pixels[i * 3 + 1];
                decoded.Pixels[i * 4 + 2] = state.Pixels[i * 3 + 2];
                decoded.Pixels[i * 4 + 3] = 255;
            }
        }
    } catch (const std::bad_alloc&) {
        return fail("out of memory");
    }
    image = std::move(decoded);
    if (error)
        error->clear();
    return true;
}

bool DecodeJpegFile(const std::string& path, JpegImage& image, JpegFormat format,
                    std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        if (error)
            *error = "cannot open " + path;
        return false;
    }
    std::vector<uint8_t> data;
    bool failed = false;
    try {
        uint8_t buffer[16384];
        size_t count;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            data.insert(data.end(), buffer, buffer + count);
        failed = std::ferror(file) != 0;
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    std::fclose(file);
    if (failed) {
        if (error)
            *error = "cannot read " + path;
        return false;
    }
    return DecodeJpeg(data.data(), data.size(), image, format, error);
}

} // namespace platform
