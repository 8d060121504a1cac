// What the mouse reads on the graph: the status text under the pointer in
// every mode and on the border pixels, the period texts at the frequency
// boundaries, the manual line's values and its slope label.
#include "graph/Readouts.h"
#include "graph/GraphScale.h"
#include "model/Acquisition.h"

#include <gtest/gtest.h>

#include <memory>

using namespace workbench;

namespace {

constexpr int BoxWidth = 400;
constexpr int BoxHeight = 300;

// Time 0 at x = 40, 2 ms per pixel; channel 0: 0 at y = 200, 20 pixels per
// volt; channel 1: 0 at y = 250, 10 pixels per mA (in XY, 4 pixels per mA
// across from x = 40).
GraphState Scales(int mode) {
    GraphState state;
    state.FrameValid = true;
    state.OriginX = 40;
    state.ScaleX = mode == ModeXY || mode == ModeManual ? 4 : 0.5;
    state.OriginY[0] = 200;
    state.ScaleY[0] = 20;
    state.OriginY[1] = 250;
    state.ScaleY[1] = 10;
    return state;
}

std::unique_ptr<MeasurementSet> Headers() {
    auto record = std::make_unique<MeasurementSet>();
    PresetMeasurementSet(*record);
    for (int s = 0; s < MaxSeries; ++s) {
        SetShortString(record->SeriesLabel[s][0], "Tension");
        SetShortString(record->SeriesUnit[s][0], "V");
        record->SeriesDecimals[s][0] = 2;
        SetShortString(record->SeriesLabel[s][1], "Intensité");
        SetShortString(record->SeriesUnit[s][1], "mA");
        record->SeriesDecimals[s][1] = 1;
    }
    SetShortString(record->SeriesLabel[2][0], "Température");
    SetShortString(record->SeriesUnit[2][0], "°C");
    return record;
}

struct ReadoutCase {
    int Mode;
    int Series;
    int X, Y;
    const char* Text;
};

TEST(ReadoutsTest, PointerTextByModeAndPixel) {
    const auto record = Headers();
    for (const ReadoutCase& c : {
             ReadoutCase{ModeY1, 1, 140, 175, "Tension = 1,25 V  ||  durée = 200,0 ms"},
             ReadoutCase{ModeY1, 3, 140, 175, "Température = 1,25 °C  ||  durée = 200,0 ms"},
             ReadoutCase{ModeY1, 1, 39, 201, "Tension = -0,05 V  ||  durée = -2,0 ms"},
             ReadoutCase{ModeY2, 1, 141, 200, "Intensité = 5,0 mA  ||  durée = 202,0 ms"},
             ReadoutCase{ModeYY, 1, 140, 175,
                         "Y1 Tension = 1,25 V || Y2 Intensité = 7,5 mA  ||  durée = 200,0 ms"},
             ReadoutCase{ModeXY, 1, 140, 175, "Tension = 1,25 V  ||  Intensité = 25,0 mA"},
             ReadoutCase{ModeManual, 1, 140, 175, ""},
             // The border pixels of the box, and the first ones inside.
             ReadoutCase{ModeY1, 1, 0, 150, ""},
             ReadoutCase{ModeY1, 1, BoxWidth, 150, ""},
             ReadoutCase{ModeY1, 1, 140, 0, ""},
             ReadoutCase{ModeY1, 1, 140, BoxHeight, ""},
             ReadoutCase{ModeY1, 1, -5, 150, ""},
             ReadoutCase{ModeY1, 1, 1, 1, "Tension = 9,95 V  ||  durée = -78,0 ms"},
             ReadoutCase{ModeY1, 1, BoxWidth - 1, BoxHeight - 1,
                         "Tension = -4,95 V  ||  durée = 718,0 ms"},
             // A selection that names no series shows nothing.
             ReadoutCase{ModeY1, 0, 140, 175, ""},
             ReadoutCase{ModeY1, 5, 140, 175, ""},
         }) {
        EXPECT_EQ(PointerReadoutText(Scales(c.Mode), *record, c.Mode, c.Series, c.X, c.Y, BoxWidth,
                                     BoxHeight, 0),
                  c.Text)
            << "mode " << c.Mode << " at " << c.X << ", " << c.Y;
    }
}

TEST(ReadoutsTest, MarginAndSecondsAxis) {
    const auto record = Headers();
    GraphState state = Scales(ModeY1);
    state.TimeInSeconds = 1;
    EXPECT_EQ(PointerReadoutText(state, *record, ModeY1, 1, 1040, 175, 2000, BoxHeight, 0),
              "Tension = 1,25 V  ||  durée = 2,00 s");
    // With a margin of 5 the graph lies 5 pixels in; the strip is empty.
    EXPECT_EQ(PointerReadoutText(state, *record, ModeY1, 1, 1045, 180, 2000, BoxHeight, 5),
              "Tension = 1,25 V  ||  durée = 2,00 s");
    EXPECT_EQ(PointerReadoutText(state, *record, ModeY1, 1, 5, 180, 2000, BoxHeight, 5), "");
    EXPECT_EQ(
        PointerReadoutText(state, *record, ModeY1, 1, 1045, BoxHeight - 5, 2000, BoxHeight, 5), "");
}

TEST(ReadoutsTest, NoScaleGivesNothing) {
    const auto record = Headers();
    GraphState invalid = Scales(ModeY1);
    invalid.FrameValid = false;
    GraphState flat = Scales(ModeYY);
    flat.ScaleY[1] = 0;
    GraphState still = Scales(ModeY1);
    still.ScaleX = 0;
    EXPECT_EQ(PointerReadoutText(invalid, *record, ModeY1, 1, 140, 175, BoxWidth, BoxHeight, 0),
              "");
    EXPECT_EQ(PointerReadoutText(flat, *record, ModeYY, 1, 140, 175, BoxWidth, BoxHeight, 0), "");
    EXPECT_EQ(PointerReadoutText(still, *record, ModeY1, 1, 140, 175, BoxWidth, BoxHeight, 0), "");
    EXPECT_FALSE(CursorTimeMs(invalid, 100, 0));
    EXPECT_FALSE(CursorPeriodMs(still, 100, 140));
    EXPECT_FALSE(ManualLineFromPixels(invalid, 0, 1, 2, 3, 4));
    GraphState noVertical = Scales(ModeManual);
    noVertical.ScaleY[0] = 0;
    EXPECT_FALSE(ManualLineFromPixels(noVertical, 0, 1, 2, 3, 4));
}

TEST(ReadoutsTest, CursorTimesAndPeriodTexts) {
    const GraphState state = Scales(ModeY1);
    EXPECT_EQ(CursorTimeMs(state, 140, 0), 200.0);
    EXPECT_EQ(CursorTimeMs(state, 145, 5), 200.0);
    EXPECT_EQ(CursorPeriodMs(state, 140, 115), 50.0);
    EXPECT_EQ(CursorPeriodMs(state, 115, 140), 50.0);
    EXPECT_EQ(CursorPeriodMs(state, 140, 140), 0.0);
    // The frequency's decimals change at 20, 5 and 1 Hz, each boundary
    // taking the decimals of the range below it.
    struct Case {
        double PeriodMs;
        bool InSeconds;
        const char* T;
        const char* F;
    };
    for (const Case& c :
         {Case{20, false, "T = 20,0 ms", "f = 50 Hz"},
          Case{49.9, false, "T = 49,9 ms", "f = 20 Hz"},
          Case{50, false, "T = 50,0 ms", "f = 20,0 Hz"},
          Case{200, false, "T = 200,0 ms", "f = 5,00 Hz"},
          Case{250, false, "T = 250,0 ms", "f = 4,00 Hz"},
          Case{1000, false, "T = 1000,0 ms", "f = 1,000 Hz"},
          Case{2000, true, "T = 2,00 s", "f = 0,500 Hz"}, Case{0, false, "T = 0,0 ms", ""}}) {
        EXPECT_EQ(PeriodText(c.PeriodMs, c.InSeconds), c.T);
        EXPECT_EQ(FrequencyText(c.PeriodMs), c.F) << c.PeriodMs;
    }
    EXPECT_EQ(TimeReadoutText(12.5, false), "12,5 ms");
    EXPECT_EQ(TimeReadoutText(12.5, true), "0,01 s");
}

TEST(ReadoutsTest, ManualLineInAxisValues) {
    // From (40, 200) to (80, 180): X from 0 to 10 (channel 1), Y from 0 to 1.
    const std::optional<SeriesLine> line =
        ManualLineFromPixels(Scales(ModeManual), 0, 40, 200, 80, 180);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->X1, 0.0f);
    EXPECT_EQ(line->X2, 10.0f);
    EXPECT_EQ(line->Y1, 0.0f);
    EXPECT_EQ(line->Y2, 1.0f);
    EXPECT_EQ(line->Valid, 1);
    EXPECT_EQ(line->Label, "");
}

struct SlopeCase {
    int Series;
    const char* Unit0; // vertical axis
    const char* Unit1; // horizontal axis
    float X1, Y1, X2, Y2;
    const char* Label;
};

TEST(ReadoutsTest, SlopeLabels) {
    for (const SlopeCase& c : {
             SlopeCase{2, "V", "A", 0, 0, 0.1f, 1, "R2 = 10 ohm"},
             SlopeCase{1, "V", "mA", 0, 0, 20, 2, "R1 = 100 ohm"},
             SlopeCase{1, "mA", "V", 0, 0, 5, 10, "G1 = 0,002 siemens"},
             SlopeCase{4, "A", "V", 0, 0, 2, 1, "G4 = 0,500 siemens"},
             // Drawn right to left: the same slope.
             SlopeCase{1, "V", "mA", 20, 2, 0, 0, "R1 = 100 ohm"},
             SlopeCase{1, "V", "A", 0, 1, 1, -1, "R1 = -2 ohm"},
             // Horizontal lines have a slope of 0; vertical ones none.
             SlopeCase{1, "V", "A", 0, 1, 3, 1, "R1 = 0 ohm"},
             SlopeCase{1, "mA", "V", 0, 1, 3, 1, "G1 = 0,000 siemens"},
             SlopeCase{1, "V", "A", 2, 0, 2, 5, ""},
             // Only "mA" carries a factor; other prefixes are taken as they are.
             SlopeCase{3, "mV", "A", 0, 0, 1, 5, "R3 = 5 ohm"},
             SlopeCase{3, "V", "µA", 0, 0, 1, 5, "R3 = 5 ohm"},
             // Not a voltage and a current.
             SlopeCase{1, "°C", "V", 0, 0, 1, 1, ""},
             SlopeCase{1, "V", "V", 0, 0, 1, 1, ""},
             SlopeCase{1, "", "", 0, 0, 1, 1, ""},
             // Both tests hold: the conductance wins.
             SlopeCase{1, "VA", "VA", 0, 0, 1, 2, "G1 = 2,000 siemens"},
         }) {
        SeriesLine line;
        line.X1 = c.X1;
        line.Y1 = c.Y1;
        line.X2 = c.X2;
        line.Y2 = c.Y2;
        line.Valid = 1;
        EXPECT_EQ(SlopeLabel(c.Series, c.Unit0, c.Unit1, line), c.Label)
            << c.Unit0 << " / " << c.Unit1;
    }
}

} // namespace
