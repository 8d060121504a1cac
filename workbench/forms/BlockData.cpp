#include "BlockData.h"

#include "core/Numbers.h"

using namespace tampon;

namespace workbench {

namespace {

bool IsSeries(int series) {
    return series >= 1 && series <= MaxSeries;
}

} // namespace

void StoreBlock(MeasurementSet& record, int series, const SampleBlock& block, double timeStepMs,
                double& elapsed) {
    if (!IsSeries(series))
        return;
    const int s = series - 1;
    elapsed = 0;
    for (int k = 0; k < BlockSampleCount; ++k) {
        record.PointValue[s][0][k] = block[0][static_cast<std::size_t>(k)];
        record.PointValue[s][1][k] = block[1][static_cast<std::size_t>(k)];
        record.PointTime[s][k] = static_cast<float>(elapsed);
        elapsed += timeStepMs;
    }
    record.PointCount[s] = BlockSampleCount;
}

ManualMeans BlockManualMeans(const SampleBlock& block) {
    ManualMeans means;
    for (std::size_t i = 0; i < 10; ++i) {
        means.Y1 += block[0][10 * i];
        means.Y2 += block[1][10 * i];
    }
    means.Y1 /= 10.0f;
    means.Y2 /= 10.0f;
    return means;
}

std::string ManualMeanText(float mean, int decimals, std::string_view unit) {
    std::string text = platform::FormatFixed(mean, 8, decimals);
    text += ' ';
    text += unit;
    return text;
}

bool ValidateManualPoint(MeasurementSet& record, int series, float meanY1, float meanY2) {
    if (!IsSeries(series))
        return false;
    const int s = series - 1;
    const int n = record.XYPointCount[s];
    if (n < 0 || n >= MaxPoints)
        return false;
    record.XYPointCount[s] = n + 1;
    record.ManualY1[s][n] = meanY1;
    record.ManualY2[s][n] = meanY2;
    return true;
}

bool RevalidateManualPoint(MeasurementSet& record, int series, float meanY1, float meanY2) {
    if (!IsSeries(series))
        return false;
    const int s = series - 1;
    const int n = record.XYPointCount[s];
    if (n < 1 || n > MaxPoints)
        return false;
    record.ManualY1[s][n - 1] = meanY1;
    record.ManualY2[s][n - 1] = meanY2;
    return true;
}

} // namespace workbench
