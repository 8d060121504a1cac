// A sensor memory read from the simulated interface, identified by the
// link's workbench build or oscilloscope build (TAMPON_OSCILLOSCOPE), then
// raw counts converted and drawn as that program draws them. The link's
// tables stay consistent, and no value, however the memory is calibrated,
// makes the drawing misbehave.
#include "FuzzSupport.h"
#include "d2xx/sim/SimRig.h"
#include "tampon.h"

#include <algorithm>
#include <cmath>

#ifdef TAMPON_OSCILLOSCOPE
#include "TrevalumeTraces.h"
#else
#include "RecordDrawing.h"
#include "model/MeasurementSet.h"

#include <memory>
#endif

using namespace tampon;

namespace {

// Counts at the ends of the converter and beyond, then from the input.
void FillCounts(fuzz::InputReader& input, int32_t (&counts)[BlockSampleCount]) {
    constexpr int32_t Fixed[] = {0, 1, 511, 512, 1022, 1023, -1, 1024, 65535};
    for (int i = 0; i < BlockSampleCount; ++i)
        counts[i] = i < static_cast<int>(std::size(Fixed)) ? Fixed[i] : input.Word() % 1100;
}

#ifdef TAMPON_OSCILLOSCOPE
void Draw(const float (&values)[BlockSampleCount], fuzz::InputReader& input) {
    using namespace trevalume;
    fuzz::EnsureApplication();
    SampleBlock block{};
    for (int i = 0; i < BlockSampleCount; ++i)
        block[0][static_cast<size_t>(i)] = block[1][static_cast<size_t>(i)] = values[i];
    SweepSet sweep;
    FillSweep(sweep, block, TimeBaseRow(input.Byte() % 6).TimeStepMs, false, false);
    constexpr double Volts[] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 20};
    TraceSettings settings;
    settings.ScaleX = TimeScale(381, 5);
    const double perDivision = PixelsPerDivisionFor(304);
    settings.ScaleY = {SensitivityScale(perDivision, Volts[input.Byte() % 8]),
                       SensitivityScale(perDivision, Volts[input.Byte() % 8])};
    settings.VerticalOffset = {input.Byte() - 128, input.Byte() - 128};
    settings.XShift = ShiftAfterStep(input.Byte(), 10);
    TBitmap screen(381, 304);
    std::array<int, 2> originY{};
    for (int mode : {ModeChannelA, ModeChannelB, ModeBoth, ModeXY})
        for (TraceType type : {TraceType::Points, TraceType::Bars, TraceType::Lines}) {
            settings.AcqMode = mode;
            settings.Type = type;
            DrawSweep(screen.Canvas(), sweep, settings, originY);
        }
}
#else
void Draw(const float (&values)[BlockSampleCount], fuzz::InputReader& input) {
    using namespace workbench;
    auto record = std::make_unique<MeasurementSet>();
    PresetMeasurementSet(*record);
    InitSeriesHeader(*record, 1, 0, BlockSampleCount, 0);
    CopySensorHeader(*record, 0);
    CopySensorHeader(*record, 1);
    record->SeriesCount = record->ShownSeries = 1;
    record->PointCount[0] = record->XYPointCount[0] = BlockSampleCount;
    for (int i = 0; i < BlockSampleCount; ++i) {
        record->PointTime[0][i] = 0.5f * static_cast<float>(i);
        record->PointValue[0][0][i] = record->PointValue[0][1][i] = values[i];
        record->ManualY1[0][i] = record->ManualY2[0][i] = values[BlockSampleCount - 1 - i];
    }
    fuzz::DrawRecordInEveryMode(*record, input);
}
#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sim::MemoryImage memory;
    memory.fill(0xFF);
    std::copy_n(data, std::min(size, memory.size()), memory.begin());
    fuzz::InputReader input(data + std::min(size, memory.size()),
                            size - std::min(size, memory.size()));

    ResetLinkState();
    {
        sim::SimRig rig;
        rig.Plug(0, memory);
        rig.Plug(1, memory);
        fuzz::Check(OpenFirstInterface() == OpenOutcome::Opened, "the interface did not open");
        LinkResult result = LinkResult::NoAnswer;
        const bool present = IdentifySensor(0, &result);
        fuzz::Check(present && result == LinkResult::Answered, "the sensor was not identified");
        IdentifySensor(1);
        fuzz::Check(RangeRawLow[0] <= RangeRawHigh[0], "raw limits in reverse order");
        fuzz::Check(!SensorCalibrated[0] || GetSensorSignature(0) == CalibratedTag,
                    "calibrated without the maker's tag");
        if (SensorCalibrated[0])
            fuzz::Check(std::isfinite(ChannelSlope[0]) && ChannelSlope[0] != 0 &&
                            std::isfinite(ChannelOffset[0]),
                        "a calibrated channel without a usable slope");
        fuzz::Check(ChannelDecimals[0] >= 0 && ChannelDecimals[0] <= 9, "decimals beyond 0..9");

        int32_t counts[BlockSampleCount];
        FillCounts(input, counts);
        float values[BlockSampleCount];
        for (int i = 0; i < BlockSampleCount; ++i)
            values[i] = ConvertRawCount(0, counts[i]);
        Draw(values, input);
        CloseInterface();
    }
    ResetLinkState();
    return 0;
}
