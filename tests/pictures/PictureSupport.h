// Helpers of the picture tests: loading with the programs' own decoders and
// comparing pixels with JPEG's tolerance.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>

#include "PanelStyle.h"
#include "core/Jpeg.h"

namespace picturetest {

// A JPEG file or resource decoded with libjpeg; a null image when it fails.
inline QImage LoadJpeg(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    platform::JpegImage decoded;
    if (!platform::DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.constData()),
                              static_cast<size_t>(bytes.size()), decoded)) {
        return {};
    }
    QImage image(decoded.Width, decoded.Height, QImage::Format_RGB888);
    for (int y = 0; y < decoded.Height; ++y) {
        std::copy_n(decoded.Pixels.data() + y * decoded.RowBytes(), decoded.RowBytes(),
                    image.scanLine(y));
    }
    return image;
}

// A BMP or PNG read with Qt's reader, with the reader's format name.
inline QImage LoadWithQt(const QString& path, QByteArray* format = nullptr) {
    QImageReader reader(path);
    if (format != nullptr) {
        *format = reader.format();
    }
    return reader.read();
}

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Largest difference of one channel between a pixel and a colour.
inline int Distance(QRgb pixel, PanelStyle::Rgb colour) {
    return std::max({std::abs(qRed(pixel) - colour.R), std::abs(qGreen(pixel) - colour.G),
                     std::abs(qBlue(pixel) - colour.B)});
}

inline int Distance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// The JPEG's frame is baseline (SOF0) with every component at full resolution
// (sampling 1x1: no chroma subsampling).
inline bool IsBaselineWithoutSubsampling(const QByteArray& jpeg) {
    const auto* b = reinterpret_cast<const uchar*>(jpeg.constData());
    qsizetype i = 2; // after SOI
    while (i + 4 <= jpeg.size() && b[i] == 0xFF) {
        const int marker = b[i + 1];
        const int length = (b[i + 2] << 8) | b[i + 3];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            if (marker != 0xC0 || i + 10 > jpeg.size()) {
                return false;
            }
            const int components = b[i + 9];
            for (int c = 0; c < components; ++c) {
                if (i + 11 + 3 * c >= jpeg.size() || b[i + 11 + 3 * c] != 0x11) {
                    return false;
                }
            }
            return true;
        }
        i += 2 + length;
    }
    return false;
}

inline std::string Describe(QRgb pixel) {
    return "RGB(" + std::to_string(qRed(pixel)) + ", " + std::to_string(qGreen(pixel)) + ", " +
           std::to_string(qBlue(pixel)) + ")";
}

// The pixel nearest to a point given in fractional coordinates.
inline QRgb PixelAt(const QImage& image, double x, double y) {
    return image.pixel(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

inline QString DataFile(std::string_view name) {
    return QString(KESTROVA_DATA_DIR) + '/' +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

inline QString Resource(std::string_view name) {
    return QStringLiteral(":/pictures/") +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace picturetest
