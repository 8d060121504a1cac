// The rules of the series style buttons: the marker shape's cycle and the
// three "-"/"+" pairs of the "Tracé" panel, which act on the ticked channels
// of one series and keep each width or size within its bounds.
#pragma once

#include "GraphTypes.h"

#include <cstdint>

namespace workbench {

// Bounds that the buttons keep; values loaded from an options file may lie
// outside them and are moved one step at a time.
constexpr int32_t CurveWidthMax = 5;
constexpr int32_t PointHalfSizeMax = 4;
constexpr int32_t OutlineWidthMax = 3;
constexpr int32_t StyleValueMin = 1;

// 0, 1, 2, 3, 4, 0, ...: any value of 4 or more goes to 0, a negative one
// counts up.
constexpr int32_t NextPointShape(int32_t shape) {
    return shape < 4 ? shape + 1 : 0;
}

// The three pairs of buttons: line width (channels whose line box is
// ticked), marker half sizes and marker outline width (channels whose points
// box is ticked).
enum class StyleStep { CurveWidth, PointSize, OutlineWidth };

// One click of a pair on series (1..4), "+" when up, reading the display
// switches of the series in style. Channels whose box is not ticked keep
// their values.
void StepSeriesStyle(GraphStyle& style, int series, StyleStep what, bool up);

} // namespace workbench
