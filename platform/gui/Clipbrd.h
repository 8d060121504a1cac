// The clipboard: text and pictures.
#pragma once

#include <QImage>

#include <string>

namespace vcl {

class TBitmap;

class TClipboard {
public:
    // UTF-8 text ("\r\n" kept as it is).
    void SetAsText(const std::string& text);
    std::string AsText() const;
    bool HasText() const;
    void Assign(const QImage& picture);
    void Assign(TBitmap& bitmap);
    bool HasPicture() const;
    QImage Picture() const;
    void Clear();
};

TClipboard* Clipboard();

} // namespace vcl
