// Colours and fonts shared by the controls and the canvas.
// Colours are 32-bit values $00BBGGRR (low byte red), as the options files
// and the window code keep them.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace vcl {

using TColor = uint32_t;

constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(TColor c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(TColor c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
// The system colours of the controls (fixed values: the programs look the
// same on every desktop theme).
constexpr TColor clBtnFace = 0xF0F0F0;
constexpr TColor clWindow = 0xFFFFFF;
constexpr TColor clWindowText = 0x000000;

// $00BBGGRR <-> QColor (the top byte is ignored; the QColor is opaque).
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor& color);

enum TFontStyle : unsigned {
    fsBold = 1u << 0,
    fsItalic = 1u << 1,
    fsUnderline = 1u << 2,
    fsStrikeOut = 1u << 3
};

// A font as the windows set it. Height follows the GDI rule: positive, the
// character cell height in pixels (ascent + descent); negative, the character
// height without internal leading (the em size) in pixels. Size is in points
// at 96 pixels per inch and is only used when Height is 0.
struct TFont {
    std::string Name = "Tahoma";
    int Height = -11;
    int Size = 0;
    TColor Color = clWindowText;
    unsigned Style = 0; // TFontStyle bits
    bool Bold() const { return (Style & fsBold) != 0; }
    bool operator==(const TFont&) const = default;
};

// The QFont for font: family (with the program's substitutions), pixel size
// chosen so that the cell height is font.Height when it is positive, weight,
// italic, underline, strike-out; full hinting (text widths are whole pixels).
QFont ToQFont(const TFont& font);
// Sets qfont's pixel size to the largest one whose cell (ascent + descent)
// on device (nullptr: the screen) is at most cellHeight pixels: Qt rounds
// ascent and descent up separately, so not every cell height exists.
void FitFontToCell(QFont& qfont, int cellHeight, const QPaintDevice* device = nullptr);
// The text cell height of font in pixels (font.Height when it is positive)
// and the baseline's distance from the top of the cell.
int FontCellHeight(const TFont& font);
int FontBaseline(const TFont& font);

// A picture file that could not be loaded; what() is the French message that
// the standard error box shows:
//   Impossible d'ouvrir le fichier "<full path>". <reason>
//   Image bitmap incorrecte
//   Erreur JPEG #<n>
class EInvalidGraphic : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Loads a picture: JPEG (".jpg", ".jpeg", any case) through the program's
// JPEG decoder, anything else (BMP) through Qt. Throws EInvalidGraphic.
QImage LoadPictureFile(const std::string& path);
// The same from JPEG bytes held in memory (pictures stored with a window).
QImage DecodeJpegPicture(const uint8_t* data, size_t size);

} // namespace vcl
