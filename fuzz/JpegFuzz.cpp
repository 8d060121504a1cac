// JPEG pictures: a refused picture leaves the image untouched; an accepted
// one has the size its pixels say, within the cap.
#include "FuzzSupport.h"
#include "core/Jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (platform::JpegFormat format : {platform::JpegFormat::Rgb, platform::JpegFormat::Rgba}) {
        platform::JpegImage image;
        image.Width = -1;
        std::string error;
        if (!platform::DecodeJpeg(data, size, image, format, &error)) {
            fuzz::Check(image.Width == -1 && image.Pixels.empty(), "a refused picture changed");
            fuzz::Check(!error.empty(), "a refused picture without a reason");
            continue;
        }
        fuzz::Check(image.Width > 0 && image.Height > 0 &&
                        static_cast<uint32_t>(image.Width) <= platform::JpegMaxSide &&
                        static_cast<uint32_t>(image.Height) <= platform::JpegMaxSide,
                    "a picture beyond the cap");
        fuzz::Check(image.Pixels.size() == image.RowBytes() * static_cast<size_t>(image.Height),
                    "pixels and size disagree");
    }
    return 0;
}
