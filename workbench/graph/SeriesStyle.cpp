#include "SeriesStyle.h"

namespace workbench {

namespace {

// "+": one more while below high; "-": one less while above the least value.
// A value already beyond the bound stays.
int32_t Step(int32_t value, int32_t high, bool up) {
    if (up)
        return value < high ? value + 1 : value;
    return value > StyleValueMin ? value - 1 : value;
}

} // namespace

void StepSeriesStyle(GraphStyle& style, int series, StyleStep what, bool up) {
    if (series < 1 || series > MaxSeries)
        return;
    const int s = series - 1;
    for (int c = 0; c < ChannelCount; ++c) {
        const CurveSwitch& sw = style.Switches[s][c];
        TPointStyle& point = style.PointStyle[s][c];
        switch (what) {
        case StyleStep::CurveWidth:
            if (sw.Line)
                style.CurveWidth[s][c] = Step(style.CurveWidth[s][c], CurveWidthMax, up);
            break;
        case StyleStep::PointSize:
            if (sw.Points) {
                point.HalfHeight = Step(point.HalfHeight, PointHalfSizeMax, up);
                point.HalfWidth = Step(point.HalfWidth, PointHalfSizeMax, up);
            }
            break;
        case StyleStep::OutlineWidth:
            if (sw.Points)
                point.OutlineWidth = Step(point.OutlineWidth, OutlineWidthMax, up);
            break;
        }
    }
}

} // namespace workbench
