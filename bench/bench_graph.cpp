// Time of DrawGraph: four series of 200 points on both channels, lines and
// markers, on the graph area of the workbench window at its initial size and
// on a 300 dpi A4 page. Prints the median of several runs.
#include "graph/Graph.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

using namespace workbench;

namespace {

template <std::size_t N> void SetShort(ShortString<N>& field, const char* text) {
    field.Length = static_cast<uint8_t>(std::strlen(text));
    std::memcpy(field.Text, text, field.Length);
}

std::unique_ptr<MeasurementSet> FullRecord() {
    auto record = std::make_unique<MeasurementSet>();
    std::memset(record.get(), 0, sizeof(MeasurementSet));
    record->SeriesCount = 4;
    record->MeasureCount = 200;
    record->DeltaTIndex = 7; // 100 ms: 20 s in all
    for (int s = 0; s < MaxSeries; ++s) {
        record->PointCount[s] = MaxPoints;
        for (int c = 0; c < ChannelCount; ++c) {
            record->DisplayMax[s][c] = 10;
            record->DisplayMin[s][c] = -10;
            SetShort(record->SeriesUnit[s][c], "V");
            SetShort(record->SeriesLabel[s][c], "tension");
        }
        for (int k = 0; k < MaxPoints; ++k) {
            record->PointTime[s][k] = 100.0f * float(k);
            record->PointValue[s][0][k] = float(9 * std::sin(k / 15.0 + s));
            record->PointValue[s][1][k] = float(7 * std::cos(k / 11.0 + s));
        }
    }
    return record;
}

double MedianMs(int runs, TCanvas& canvas, int w, int h, GraphState& state, const GraphStyle& style,
                const MeasurementSet& record, bool curves) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (curves)
            DrawGraph(canvas, 0, 0, w, h, state, style, record);
        else
            DrawFrame(canvas, 0, 0, w, h, state, style, record);
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    auto record = FullRecord();
    GraphStyle style;
    for (auto& series : style.Switches)
        for (auto& sw : series)
            sw = CurveSwitch{false, true, true};
    style.Switches[1][0].Pale = true;

    struct Target {
        const char* name;
        int w, h, lineScale, runs;
    };
    // The paint box of the 755 x 550 window: the client panel less the
    // settings panel and the right tool bar, the display panels, the status
    // bar and the two range button strips.
    const Target targets[] = {{"window graph 472 x 435", 472, 435, 1, 51},
                              {"A4 page at 300 dpi, 2480 x 3508", 2480, 3508, 2, 11}};
    for (const Target& t : targets) {
        TBitmap bitmap(t.w, t.h);
        bitmap.Canvas().Font.Name = "Arial";
        const char* modeNames[] = {"Y1 (4 x 200 points, channel 0)", "",
                                   "YY (4 x 200 points x 2 channels)", "XY (4 x 200 points)"};
        for (int mode : {2, 0, 3}) {
            GraphState state;
            state.AcqMode = mode;
            state.LineScale = t.lineScale;
            MedianMs(2, bitmap.Canvas(), t.w, t.h, state, style, *record, true); // warm-up
            const double frame =
                MedianMs(t.runs, bitmap.Canvas(), t.w, t.h, state, style, *record, false);
            const double graph =
                MedianMs(t.runs, bitmap.Canvas(), t.w, t.h, state, style, *record, true);
            std::printf("%-32s %-33s frame %7.2f ms, DrawGraph %7.2f ms (median of %d)\n", t.name,
                        modeNames[mode], frame, graph, t.runs);
        }
    }
    return 0;
}
