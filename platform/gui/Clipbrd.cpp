#include "gui/Clipbrd.h"

#include "gui/Canvas.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace vcl {

void TClipboard::SetAsText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

std::string TClipboard::AsText() const {
    return QGuiApplication::clipboard()->text().toStdString();
}

bool TClipboard::HasText() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

void TClipboard::Assign(const QImage& picture) {
    QGuiApplication::clipboard()->setImage(picture);
}

void TClipboard::Assign(TBitmap& bitmap) {
    Assign(bitmap.Image());
}

bool TClipboard::HasPicture() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

QImage TClipboard::Picture() const {
    return QGuiApplication::clipboard()->image();
}

void TClipboard::Clear() {
    QGuiApplication::clipboard()->clear();
}

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}

} // namespace vcl
