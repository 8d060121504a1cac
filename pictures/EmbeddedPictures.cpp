#include "EmbeddedPictures.h"

#include "gui/Graphics.h"

#include <QFile>
#include <QtCore/qglobal.h>

using namespace vcl;

// Q_INIT_RESOURCE must be used outside any namespace.
void InitEmbeddedPictures() {
    Q_INIT_RESOURCE(embedded_pictures);
}

QImage EmbeddedJpeg(std::string_view name) {
    QFile file(QString::fromLatin1(EmbeddedPicturePrefix) +
               QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    try {
        return DecodeJpegPicture(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                 static_cast<size_t>(bytes.size()));
    } catch (const EInvalidGraphic&) {
        return {};
    }
}
