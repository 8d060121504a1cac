#include "core/Jpeg.h"

#include "TestFiles.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <jpeglib.h>

using platform::DecodeJpeg;
using platform::DecodeJpegFile;
using platform::JpegFormat;
using platform::JpegImage;

namespace {

// Compresses pixels (RGB, or grey with components 1) with libjpeg.
std::vector<uint8_t> Compress(const std::vector<uint8_t>& pixels, int width, int height,
                              int components) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(pixels.data()) +
                       static_cast<size_t>(info.next_scanline) * width * components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> data(out, out + size);
    std::free(out);
    return data;
}

// 32 x 16: red on the left half, blue on the right half.
constexpr int Width = 32;
constexpr int Height = 16;
std::vector<uint8_t> TwoColourPicture() {
    std::vector<uint8_t> pixels(static_cast<size_t>(Width) * Height * 3);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            uint8_t* p = &pixels[(static_cast<size_t>(y) * Width + x) * 3];
            p[0] = x < Width / 2 ? 220 : 10;
            p[1] = 20;
            p[2] = x < Width / 2 ? 10 : 230;
        }
    return Compress(pixels, Width, Height, 3);
}

void ExpectNear(const uint8_t* pixel, int r, int g, int b) {
    EXPECT_NEAR(pixel[0], r, 12);
    EXPECT_NEAR(pixel[1], g, 12);
    EXPECT_NEAR(pixel[2], b, 12);
}

TEST(Jpeg, DecodesAWholePictureToRgbAndRgba) {
    const std::vector<uint8_t> data = TwoColourPicture();

    JpegImage rgb;
    std::string error;
    ASSERT_TRUE(DecodeJpeg(data.data(), data.size(), rgb, JpegFormat::Rgb, &error)) << error;
    EXPECT_EQ(rgb.Width, Width);
    EXPECT_EQ(rgb.Height, Height);
    EXPECT_EQ(rgb.BytesPerPixel, 3);
    ASSERT_EQ(rgb.Pixels.size(), rgb.RowBytes() * Height);
    // Away from the colour edge, where the compression blurs.
    ExpectNear(&rgb.Pixels[(3 * Width + 2) * 3], 220, 20, 10);
    ExpectNear(&rgb.Pixels[(12 * Width + 29) * 3], 10, 20, 230);

    JpegImage rgba;
    ASSERT_TRUE(DecodeJpeg(data.data(), data.size(), rgba, JpegFormat::Rgba));
    EXPECT_EQ(rgba.BytesPerPixel, 4);
    ASSERT_EQ(rgba.Pixels.size(), static_cast<size_t>(Width) * Height * 4);
    for (size_t i = 0; i < static_cast<size_t>(Width) * Height; ++i) {
        ASSERT_EQ(rgba.Pixels[i * 4 + 3], 255);
        ASSERT_EQ(rgba.Pixels[i * 4], rgb.Pixels[i * 3]);
        ASSERT_EQ(rgba.Pixels[i * 4 + 2], rgb.Pixels[i * 3 + 2]);
    }
}

TEST(Jpeg, GreyPictureComesOutAsRgb) {
    std::vector<uint8_t> grey(8 * 8, 128);
    const std::vector<uint8_t> data = Compress(grey, 8, 8, 1);
    JpegImage image;
    ASSERT_TRUE(DecodeJpeg(data.data(), data.size(), image));
    ASSERT_EQ(image.Pixels.size(), 8u * 8 * 3);
    ExpectNear(&image.Pixels[0], 128, 128, 128);
}

TEST(Jpeg, DecodesFromAFile) {
    testfiles::ScratchDir dir;
    const std::vector<uint8_t> data = TwoColourPicture();
    const std::string path = dir.File("bt01v.jpg");
    testfiles::WriteBytes(path, std::string(data.begin(), data.end()));
    JpegImage image;
    ASSERT_TRUE(DecodeJpegFile(path, image));
    EXPECT_EQ(image.Width, Width);
    EXPECT_EQ(image.Height, Height);

    std::string error;
    EXPECT_FALSE(DecodeJpegFile(dir.File("absent.jpg"), image, JpegFormat::Rgb, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(DecodeJpegFile(dir.Path, image)); // a folder
    EXPECT_EQ(image.Width, Width);                 // untouched by the failures
}

TEST(Jpeg, DamagedDataFailsAndLeavesTheImageUntouched) {
    const std::vector<uint8_t> good = TwoColourPicture();

    // Dimensions far beyond what any picture of ours has, written into the
    // SOF0 header: refused from the header, before any pixel is allocated.
    auto claiming = [&good](int width, int height) {
        std::vector<uint8_t> data = good;
        for (size_t i = 0; i + 8 < data.size(); ++i)
            if (data[i] == 0xFF && data[i + 1] == 0xC0) {
                data[i + 5] = static_cast<uint8_t>(height >> 8);
                data[i + 6] = static_cast<uint8_t>(height);
                data[i + 7] = static_cast<uint8_t>(width >> 8);
                data[i + 8] = static_cast<uint8_t>(width);
                break;
            }
        return data;
    };

    // Scan data replaced by restart markers that do not belong there.
    std::vector<uint8_t> scrambled = good;
    for (size_t i = good.size() / 2; i + 2 < good.size(); i += 7) {
        scrambled[i] = 0xFF;
        scrambled[i + 1] = 0xD5;
    }

    struct Case {
        const char* Name;
        std::vector<uint8_t> Data;
        const char* Error = nullptr; // when set, the reason given
    };
    const Case cases[] = {
        {"empty", {}},
        {"not a picture", {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8}},
        {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
        {"truncated in the scan", std::vector<uint8_t>(good.begin(), good.end() - good.size() / 3)},
        {"missing its end marker", std::vector<uint8_t>(good.begin(), good.end() - 2)},
        {"65000 x 65000", claiming(65000, 65000), "picture too large"},
        {"8000 x 8000", claiming(8000, 8000), "picture too large"},
        {"4097 x 16", claiming(4097, 16), "picture too large"},
        {"2100 x 2100", claiming(2100, 2100), "picture too large"},
        {"scrambled scan", scrambled},
    };
    for (const Case& c : cases) {
        JpegImage image;
        image.Width = 7;
        std::string error;
        EXPECT_FALSE(DecodeJpeg(c.Data.data(), c.Data.size(), image, JpegFormat::Rgb, &error))
            << c.Name;
        EXPECT_FALSE(error.empty()) << c.Name;
        if (c.Error) {
            EXPECT_EQ(error, c.Error) << c.Name;
        }
        EXPECT_EQ(image.Width, 7) << c.Name;
        EXPECT_TRUE(image.Pixels.empty()) << c.Name;
    }
}

} // namespace
