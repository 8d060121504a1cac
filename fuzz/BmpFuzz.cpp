// BMP pictures as the programs load them (the toolkit's reader behind our
// picture loader): a refused file is an exception of ours, never a crash.
#include "FuzzSupport.h"
#include "gui/Canvas.h"
#include "gui/Graphics.h"

using namespace vcl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::EnsureApplication();
    const auto path = fuzz::WriteScratchFile("image.bmp", data, size);
    try {
        const QImage image = LoadPictureFile(path.string());
        fuzz::Check(!image.isNull(), "an accepted picture is empty");
        TBitmap bitmap(64, 48);
        bitmap.Canvas().Draw(0, 0, image);
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
