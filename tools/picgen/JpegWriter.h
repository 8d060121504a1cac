// JPEG encoding of the generated pictures through libjpeg: baseline, quality
// 92, every component at full resolution (no chroma subsampling) so that thin
// coloured lines stay sharp. Same picture, same bytes.
#pragma once

#include <QByteArray>
#include <QImage>

namespace picgen {

inline constexpr int JpegQuality = 92;

// The JPEG bytes of the picture; empty when libjpeg fails.
QByteArray EncodeJpeg(const QImage& picture);

} // namespace picgen
