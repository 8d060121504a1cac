// Colours of the generated pictures, without Qt, so that the picture tests
// check the files against the same values the generator draws with.
#pragma once

namespace PanelStyle {

struct Rgb {
    int R;
    int G;
    int B;
};

// Screen face (the screen bitmap's background picture).
inline constexpr Rgb ScreenBackground{16, 24, 16};
inline constexpr Rgb Graticule{70, 90, 70};
inline constexpr Rgb GraticuleCentre{100, 125, 100};
inline constexpr int TickLength = 5; // ticks every fifth of a division on the centre lines

// Front panel.
inline constexpr Rgb Panel{206, 208, 210};
inline constexpr Rgb Bezel{40, 42, 46};
inline constexpr Rgb PaintBoxFace{8, 12, 8};
inline constexpr Rgb Mark{40, 40, 40};
inline constexpr Rgb ValueLabel{30, 30, 30};
inline constexpr int ValueLabelPixelSize = 9;

// Knobs (radii in pixels from the dial centre).
inline constexpr Rgb KnobBody{60, 62, 66};
inline constexpr Rgb KnobRim{120, 122, 126};
inline constexpr Rgb KnobTick{64, 64, 66};
inline constexpr Rgb Pointer{255, 255, 255};
inline constexpr double KnobRadius = 22;
inline constexpr double TickInnerRadius = 24;
inline constexpr double TickOuterRadius = 28;
inline constexpr double TickWidth = 2;
inline constexpr double PointerLength = 19;
inline constexpr double PointerWidth = 3;
inline constexpr double PointerDotRadius = 2.5;

// Splash picture.
inline constexpr int IntroWidth = 275;
inline constexpr int IntroHeight = 200;
inline constexpr int IntroLabelBandWidth = 170;
inline constexpr int IntroLabelBandHeight = 26;

} // namespace PanelStyle
