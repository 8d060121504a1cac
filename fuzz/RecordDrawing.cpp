#include "RecordDrawing.h"

#include "graph/Graph.h"
#include "graph/Readouts.h"

using namespace vcl;

namespace fuzz {

void DrawRecordInEveryMode(const workbench::MeasurementSet& record, InputReader& input) {
    EnsureApplication();
    workbench::GraphStyle style;
    workbench::GraphState state;
    const uint8_t switches = input.Byte();
    for (int s = 0; s < workbench::MaxSeries; ++s)
        for (int c = 0; c < workbench::ChannelCount; ++c) {
            const int bit = 2 * s + c;
            style.Switches[s][c].Points = (switches >> bit) & 1;
            style.PointStyle[s][c].Shape = (switches >> (bit % 5)) & 7;
        }
    state.SelectedSeries = 1 + input.Byte() % workbench::MaxSeries;
    state.LineScale = 1 + input.Byte() % 3;
    state.CursorT1 = input.Float();
    state.CursorT2 = input.Float();
    state.CursorPending1 = state.CursorPending2 = input.Byte() & 1;
    for (workbench::SeriesLine& line : state.SeriesLines) {
        line.Valid = input.Byte() & 1;
        line.X1 = input.Float();
        line.X2 = input.Float();
        line.Y1 = input.Float();
        line.Y2 = input.Float();
        line.Label = "droite";
    }
    TBitmap bitmap(240, 180);
    bitmap.Canvas().Font.Name = "Arial";
    for (int mode = 0; mode <= 4; ++mode) {
        state.AcqMode = mode;
        state.AcqState = mode == 4 ? workbench::AcqManualXY : workbench::AcqIdle;
        workbench::DrawGraph(bitmap.Canvas(), 0, 0, 240, 180, state, style, record);
        // The mouse on that graph: readouts, period cursors, a manual line.
        const int x1 = input.Byte() - 8, y1 = input.Byte() - 8;
        const int x2 = input.Byte(), y2 = input.Byte();
        workbench::PointerReadoutText(state, record, mode, state.SelectedSeries, x1, y1, 256, 196,
                                      8);
        workbench::CursorTimeMs(state, x1, 8);
        workbench::CursorPeriodMs(state, x1, x2);
        if (const auto line = workbench::ManualLineFromPixels(state, 8, x1, y1, x2, y2))
            workbench::SlopeLabel(state.SelectedSeries, "V", "mA", *line);
    }
}

} // namespace fuzz
