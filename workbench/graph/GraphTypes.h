// What the graph drawing reads and writes besides the measurement record: the
// graph colours and styles, the display switches of every series and channel,
// and the main window's graph state (its inputs, the geometry every frame
// sets, and the working positions the curves leave behind).
//
// The window owns one GraphStyle and one GraphState and passes them to
// DrawFrame, DrawGraph and the rest (Graph.h). Series are numbered 1 to 4 and
// channels 0 ("Y1") and 1 ("Y2"); the arrays below are indexed from 0, so
// series s, channel c is [s - 1][c].
#pragma once

#include "gui/Graphics.h"
#include "model/MeasurementSet.h"

#include <cstdint>
#include <string>

namespace workbench {

using namespace vcl;

// One point marker. Shape: 0 rectangle, 1 ellipse, 2 plus, 3 cross, 4 bar,
// anything else nothing. Sizes in pixels before the size factor, width
// before LineScale.
struct TPointStyle {
    int32_t Shape = 1;
    int32_t HalfWidth = 2;
    int32_t HalfHeight = 2;
    TColor FillColor = 0x00FFFF80;
    TColor OutlineColor = 0x000000AA;
    int32_t OutlineWidth = 1;
    friend bool operator==(const TPointStyle&, const TPointStyle&) = default;
};

// The default marker of a channel: a dark red ellipse on channel 0, a green
// plus on channel 1.
constexpr TPointStyle DefaultPointStyle(int c) {
    TPointStyle style;
    style.Shape = c == 0 ? 1 : 2;
    style.OutlineColor = c == 0 ? 0x000000AA : 0x0000AA00;
    return style;
}

// The three display check boxes of one series and channel: pale (g), line (L)
// and points (p).
struct CurveSwitch {
    bool Pale = false;
    bool Line = true;
    bool Points = false;
};

// The graph colours and styles, with the defaults an absent options file
// gives. Pen widths are multiplied by LineScale when drawn.
struct GraphStyle {
    TColor BackgroundColor = 0x00FFFFFF;
    TColor AxisColor[ChannelCount] = {0x00000000, 0x00000000};
    TColor GridColor[ChannelCount] = {0x00CCAAAA, 0x00CCAACC};
    uint8_t GridOn[ChannelCount] = {1, 1};
    int32_t AxisWidth = 2;
    int32_t GridWidth = 1;
    TColor TimeLabelColor = 0x00000000;
    TColor CurveColor[MaxSeries][ChannelCount] = {{0x00CCAACC, 0x00CCAACC},
                                                  {0x00CCAACC, 0x00CCAACC},
                                                  {0x00CCAACC, 0x00CCAACC},
                                                  {0x00CCAACC, 0x00CCAACC}};
    int32_t CurveWidth[MaxSeries][ChannelCount] = {{2, 2}, {2, 2}, {2, 2}, {2, 2}};
    TPointStyle PointStyle[MaxSeries][ChannelCount] = {
        {DefaultPointStyle(0), DefaultPointStyle(1)},
        {DefaultPointStyle(0), DefaultPointStyle(1)},
        {DefaultPointStyle(0), DefaultPointStyle(1)},
        {DefaultPointStyle(0), DefaultPointStyle(1)}};
    // The display check boxes (owned by the series controls; the graph reads them).
    CurveSwitch Switches[MaxSeries][ChannelCount];
};

// The manual line of a series: two points in channel units (X on channel 1,
// across; Y on channel 0, up), drawn with its label when Valid.
struct SeriesLine {
    float X1 = 0;
    float X2 = 0;
    float Y1 = 0;
    float Y2 = 0;
    uint8_t Valid = 0;
    std::string Label; // UTF-8
};

// The main window's graph state. Positions are pixels relative to the graph's
// rectangle unless said otherwise; all signed (an origin or a point may lie
// left of or above the rectangle).
struct GraphState {
    // --- read by the frame and the curves (set by the window) ---
    int32_t AcqMode = 0;        // 0 "Y1", 1 "Y2", 2 "YY", 3 "XY", 4 "man."
    uint8_t AcqState = 0;       // 7 while the manual XY loop runs
    int32_t SelectedSeries = 1; // 1..4: its display range, unit and name are shown
    int32_t LineScale = 1;      // multiplier of every pen width, at least 1
    double CursorT1 = 0;        // period cursors, ms
    double CursorT2 = 0;
    uint8_t CursorPending1 = 1; // 1 while the cursor is not placed
    uint8_t CursorPending2 = 1;
    SeriesLine SeriesLines[MaxSeries];

    // --- set by every frame ---
    int32_t PlotWidth = 0; // W: size of the graph rectangle
    int32_t PlotHeight = 0;
    int32_t MarginLeft = 40;                // ML: left and right margin of the plot area
    int32_t MarginBottom = 24;              // MB: bottom and top margin
    int32_t OriginX = 0;                    // x of time 0 (XY: of X = 0)
    int32_t OriginY[ChannelCount] = {0, 0}; // y of the value 0 of each channel
    double ScaleX = 0;                      // pixels per ms (XY: per unit of channel 1)
    double ScaleY[ChannelCount] = {0, 0};   // pixels per unit of each channel
    std::string XAxisLabel;                 // UTF-8
    std::string YAxisLabel[ChannelCount];
    uint8_t TimeInSeconds = 0; // 1 when the time axis is labelled in seconds
    // false when the last frame had no valid scale (only its background was
    // drawn): the curves, cursors and readouts then have nothing to map.
    bool FrameValid = false;

    // --- left by the curves ---
    int32_t CurX = 0;
    int32_t PrevX = 0;
    int32_t CurY[ChannelCount] = {0, 0};
    int32_t PrevY[ChannelCount] = {0, 0};
    uint8_t FirstPoint[ChannelCount] = {0, 0}; // 1: the next inside point is joined
    int32_t CursorX1 = 0;                      // drawn x of the period cursors, corner x0 included
    int32_t CursorX2 = 0;
};

} // namespace workbench
