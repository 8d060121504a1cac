// JPEG pictures decoded whole with libjpeg, from memory or from a file, into
// 8-bit RGB or RGBA pixels. A damaged, truncated or unreadable picture is a
// failure reported to the caller; the library never ends the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class JpegFormat {
    Rgb,  // 3 bytes a pixel: red, green, blue
    Rgba, // 4 bytes a pixel: red, green, blue, 255
};

struct JpegImage {
    int Width = 0;
    int Height = 0;
    int BytesPerPixel = 0; // 3 (Rgb) or 4 (Rgba)
    // Rows top to bottom, each Width * BytesPerPixel bytes, no padding.
    std::vector<uint8_t> Pixels;

    size_t RowBytes() const { return static_cast<size_t>(Width) * BytesPerPixel; }
};

// Pictures wider or higher than JpegMaxSide, or of more than JpegMaxPixels
// pixels, are refused from their header, before the decoder allocates
// anything for them. Our largest picture is 801 x 385.
constexpr uint32_t JpegMaxSide = 4096;
constexpr uint64_t JpegMaxPixels = 4ull * 1024 * 1024;

// true and image filled on success; the first sign of corrupt data ends the
// decoding as a failure. On failure image is left untouched and
// error (when given) says why, in English, for logs.
bool DecodeJpeg(const uint8_t* data, size_t size, JpegImage& image,
                JpegFormat format = JpegFormat::Rgb, std::string* error = nullptr);
bool DecodeJpegFile(const std::string& path, JpegImage& image, JpegFormat format = JpegFormat::Rgb,
                    std::string* error = nullptr);

} // namespace platform
