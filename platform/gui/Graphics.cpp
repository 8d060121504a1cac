#include "gui/Graphics.h"

#include "core/Jpeg.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QImageReader>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <tuple>
#include <vector>

namespace vcl {

QColor ColorToQColor(TColor color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

TColor QColorToColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return RGB(rgb.red(), rgb.green(), rgb.blue());
}

QFont ToQFont(const TFont& font) {
    using Key = std::tuple<std::string, int, int, unsigned>;
    static std::map<Key, QFont> cache;
    const Key key{font.Name, font.Height, font.Size, font.Style};
    if (auto it = cache.find(key); it != cache.end())
        return it->second;

    QFont result(QString::fromStdString(font.Name));
    result.setBold((font.Style & fsBold) != 0);
    result.setItalic((font.Style & fsItalic) != 0);
    result.setUnderline((font.Style & fsUnderline) != 0);
    result.setStrikeOut((font.Style & fsStrikeOut) != 0);
    result.setHintingPreference(QFont::PreferFullHinting);
    int pixels = 11;
    if (font.Height < 0)
        pixels = -font.Height;
    else if (font.Size > 0 && font.Height == 0)
        pixels = (font.Size * 96 + 36) / 72;
    result.setPixelSize(std::max(pixels, 1));
    if (font.Height > 0)
        FitFontToCell(result, font.Height);
    if (cache.size() > 512)
        cache.clear();
    cache.emplace(key, result);
    return result;
}

void FitFontToCell(QFont& qfont, int cellHeight, const QPaintDevice* device) {
    int px = cellHeight;
    for (; px > 1; --px) {
        qfont.setPixelSize(px);
        if (QFontMetrics(qfont, device).height() <= cellHeight)
            break;
    }
    qfont.setPixelSize(std::max(px, 1));
}

int FontCellHeight(const TFont& font) {
    return font.Height > 0 ? font.Height : QFontMetrics(ToQFont(font)).height();
}

int FontBaseline(const TFont& font) {
    const QFontMetrics metrics(ToQFont(font));
    return metrics.ascent() + (FontCellHeight(font) - metrics.height()) / 2;
}

namespace {

bool IsJpegName(const std::string& path) {
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    return suffix == "jpg" || suffix == "jpeg";
}

// The reason a file cannot be opened, worded as the system says it.
std::string OpenFailureReason(int error) {
    switch (error) {
    case ENOENT:
        return "Le fichier spécifié est introuvable";
    case ENOTDIR:
        return "Le chemin d'accès spécifié est introuvable";
    case EACCES:
    case EPERM:
    case EISDIR:
        return "Accès refusé";
    default:
        return std::strerror(error);
    }
}

[[noreturn]] void ThrowOpenError(const std::string& path, int error) {
    const std::string full =
        QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
    throw EInvalidGraphic("Impossible d'ouvrir le fichier \"" + full + "\". " +
                          OpenFailureReason(error));
}

QImage FromJpeg(const platform::JpegImage& jpeg) {
    QImage image(jpeg.Width, jpeg.Height, QImage::Format_RGB888);
    for (int y = 0; y < jpeg.Height; ++y)
        std::memcpy(image.scanLine(y), jpeg.Pixels.data() + jpeg.RowBytes() * y, jpeg.RowBytes());
    return image.convertToFormat(QImage::Format_RGB32);
}

// The number shown in "Erreur JPEG #n": libjpeg's message code when the
// decoder's text carries one, else the code of a damaged stream.
int JpegErrorNumber(const std::string& error) {
    const auto hash = error.find('#');
    if (hash != std::string::npos) {
        int value = 0;
        bool any = false;
        for (size_t i = hash + 1;
             i < error.size() && std::isdigit(static_cast<unsigned char>(error[i])); ++i) {
            value = value * 10 + (error[i] - '0');
            any = true;
        }
        if (any)
            return value;
    }
    return 42;
}

} // namespace

QImage DecodeJpegPicture(const uint8_t* data, size_t size) {
    platform::JpegImage jpeg;
    std::string error;
    if (!platform::DecodeJpeg(data, size, jpeg, platform::JpegFormat::Rgb, &error))
        throw EInvalidGraphic("Erreur JPEG #" + std::to_string(JpegErrorNumber(error)));
    return FromJpeg(jpeg);
}

QImage LoadPictureFile(const std::string& path) {
    if (QFileInfo(QString::fromStdString(path)).isDir())
        ThrowOpenError(path, EISDIR);
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        ThrowOpenError(path, errno != 0 ? errno : ENOENT);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    if (file.bad())
        ThrowOpenError(path, errno != 0 ? errno : EIO);
    if (IsJpegName(path))
        return DecodeJpegPicture(bytes.data(), bytes.size());
    QImage image;
    if (!image.loadFromData(bytes.data(), static_cast<int>(bytes.size())))
        throw EInvalidGraphic("Image bitmap incorrecte");
    return image;
}

} // namespace vcl
