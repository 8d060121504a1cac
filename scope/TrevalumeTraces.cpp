#include "TrevalumeTraces.h"

#include "blocktable.h"
#include "core/Numbers.h"

#include <algorithm>
#include <cmath>

using namespace tampon;

namespace trevalume {

namespace {

// Rows the oscilloscope may send: the block intervals of the table.
constexpr int ScopeRowCount = tampon::FastTimeBaseCount;

// Drawing coordinates: far enough beyond the bitmap that whatever is drawn
// there stays invisible, near enough for the painter.
constexpr int64_t FarPixel = 1'000'000;

// Scaled values are held within this many pixels before they are rounded:
// far beyond any screen, exact in double precision, and a few of them added
// to an origin stay well within 64 bits.
constexpr double FarOffset = 0x1p52;

// A pixel distance from a scaled value, rounded half to even. The infinities
// of an out-of-range conversion and anything larger are held at FarOffset;
// NaN (no value at all) lies far on the positive side.
int64_t PixelOffset(double scaled) {
    if (std::isnan(scaled))
        return static_cast<int64_t>(FarOffset);
    return platform::RoundHalfEven(std::clamp(scaled, -FarOffset, FarOffset));
}

int ToDrawn(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, -FarPixel, FarPixel));
}

} // namespace

void InitSweepSet(SweepSet& sweep) {
    sweep = SweepSet{};
}

double FillSweep(SweepSet& sweep, const SampleBlock& held, double timeStepMs, bool groundA,
                 bool groundB) {
    double elapsed = 0;
    for (int i = 0; i < BlockSampleCount; ++i) {
        const auto k = static_cast<size_t>(i);
        sweep.PointValue[0][k] = held[0][k];
        sweep.PointValue[1][k] = held[1][k];
        sweep.PointTime[k] = static_cast<float>(elapsed);
        elapsed += timeStepMs;
    }
    for (int c = 0; c < 2; ++c) {
        if (c == 0 ? groundA : groundB) {
            std::fill_n(sweep.PointValue[static_cast<size_t>(c)].begin(), BlockSampleCount, 0.0f);
        }
    }
    sweep.PointCount = BlockSampleCount;
    return elapsed;
}

BlockRow TimeBaseRow(int row) {
    if (row < 0 || row >= ScopeRowCount)
        row = 0;
    const auto k = static_cast<size_t>(row);
    return {tampon::BlockCodeA[k], tampon::BlockCodeB[k], tampon::BlockCodeC[k],
            tampon::TimeBaseMs[k]};
}

int TimeBaseRowForDivision(double msPerDivision) {
    // From 10 ms per division on, one row per position; 1, 2 and 5 ms share
    // the fastest row and differ only in scale.
    constexpr double Divisions[ScopeRowCount] = {1, 10, 20, 50, 100, 200};
    for (int row = ScopeRowCount - 1; row > 0; --row) {
        if (msPerDivision >= Divisions[row])
            return row;
    }
    return 0;
}

double PixelsPerDivisionFor(int plotHeight) {
    return (plotHeight + 60) / 10.0;
}

double TimeScale(int plotWidth, double msPerDivision) {
    return plotWidth / (10 * msPerDivision);
}

double SensitivityScale(double pixelsPerDivision, double unitsPerDivision) {
    return pixelsPerDivision / unitsPerDivision;
}

int64_t TimeColumn(float pointTime, const TraceSettings& settings) {
    return settings.OriginX + settings.XShift + PixelOffset(pointTime * settings.ScaleX);
}

int OriginYFor(int plotHeight, int verticalOffset) {
    return static_cast<int>(platform::RoundHalfEven(plotHeight / 2.0 - verticalOffset));
}

int64_t ValueRow(float value, double scaleY, int originY) {
    return originY - PixelOffset(value * scaleY);
}

PixelPos XYCentre(const TraceSettings& settings) {
    const double h = settings.PlotHeight;
    return {platform::RoundHalfEven(h / 2 + 10 + h / 8) + settings.VerticalOffset[0],
            platform::RoundHalfEven(h / 2 - settings.VerticalOffset[1])};
}

PixelPos XYPosition(float valueA, float valueB, const TraceSettings& settings) {
    const PixelPos centre = XYCentre(settings);
    return {centre.X + PixelOffset(valueA * settings.ScaleY[0]),
            centre.Y - PixelOffset(valueB * settings.ScaleY[1])};
}

bool SegmentDrawn(int64_t y, int64_t yNext) {
    return y > LineTopBound && y < LineBottomBound && yNext > LineTopBound &&
           yNext < LineBottomBound;
}

void DrawSweep(TCanvas& canvas, const SweepSet& sweep, const TraceSettings& settings,
               std::array<int, 2>& originY) {
    const int s = settings.PointHalfSize;
    const int count = std::clamp(sweep.PointCount, 0, SweepCapacity);
    auto square = [&](int64_t x, int64_t y) {
        canvas.Rectangle(ToDrawn(x - s), ToDrawn(y - s), ToDrawn(x + s), ToDrawn(y + s));
    };

    std::array<int, 2> shown{};
    int shownCount = 0;
    switch (settings.AcqMode) {
    case ModeChannelA:
        shown[shownCount++] = 0;
        break;
    case ModeChannelB:
        shown[shownCount++] = 1;
        break;
    case ModeBoth:
        shown[shownCount++] = 0;
        shown[shownCount++] = 1;
        break;
    default:
        break;
    }
    for (int n = 0; n < shownCount; ++n) {
        const auto c = static_cast<size_t>(shown[static_cast<size_t>(n)]);
        originY[c] = OriginYFor(settings.PlotHeight, settings.VerticalOffset[c]);
    }

    for (int i = 1; i <= count; ++i) {
        const auto k = static_cast<size_t>(i - 1);
        const bool hasNext = i < count;
        // The slot after the last sample stays 0 (there is room for 200).
        const size_t kn = std::min<size_t>(k + 1, SweepCapacity - 1);
        if (settings.AcqMode == ModeXY) {
            const PixelPos p = XYPosition(sweep.PointValue[0][k], sweep.PointValue[1][k], settings);
            square(p.X, p.Y);
            continue;
        }
        const int64_t x = TimeColumn(sweep.PointTime[k], settings);
        const int64_t xn = TimeColumn(sweep.PointTime[kn], settings);
        for (int n = 0; n < shownCount; ++n) {
            const auto c = static_cast<size_t>(shown[static_cast<size_t>(n)]);
            const int64_t y = ValueRow(sweep.PointValue[c][k], settings.ScaleY[c], originY[c]);
            const int64_t yn = ValueRow(sweep.PointValue[c][kn], settings.ScaleY[c], originY[c]);
            switch (settings.Type) {
            case TraceType::Points:
                square(x, y);
                break;
            case TraceType::Bars:
                if (hasNext) {
                    canvas.Rectangle(ToDrawn(x - s), ToDrawn(y - s), ToDrawn(xn + s),
                                     ToDrawn(y + s));
                }
                break;
            case TraceType::Lines:
                canvas.MoveTo(ToDrawn(x), ToDrawn(y));
                if (hasNext && SegmentDrawn(y, yn))
                    canvas.LineTo(ToDrawn(xn), ToDrawn(yn));
                else
                    canvas.MoveTo(ToDrawn(xn), ToDrawn(yn));
                break;
            }
        }
    }
}

uint16_t ShiftAfterStep(uint16_t shift, int step) {
    int next = shift;
    if (step > 0 && shift < 200)
        next = shift + step;
    else if (step == -2 && shift > 0)
        next = shift - 2;
    else if (step == -10 && shift >= 10)
        next = shift - 10;
    return static_cast<uint16_t>(next);
}

TColor BrightnessColour(int position) {
    return RGB(0, (position + 20) % 256, 0);
}

} // namespace trevalume
