#include "DisplayRange.h"

#include <cmath>

namespace workbench {

double ScaleStep(double range) {
    const double tenths = std::nearbyint(range * 10.0);
    if (!(tenths >= 1.0)) // also NaN
        return 0.0;
    if (tenths <= 5.0)
        return 0.025;
    if (tenths <= 10.0)
        return 0.05;
    if (tenths <= 100.0)
        return 0.1;
    if (tenths <= 500.0)
        return 0.5;
    if (tenths <= 1000.0)
        return 1.0;
    if (tenths <= 5000.0)
        return 5.0;
    if (tenths <= 10000.0)
        return 10.0;
    if (tenths <= 100000.0)
        return 50.0;
    return 0.0;
}

namespace {

float Stored(double value) {
    return static_cast<float>(value);
}

// A top for the inward move: the candidate when it stays above the bottom,
// else one step above the bottom when that still lies below the old top,
// else the old top.
float InwardTop(float candidate, float oldTop, float bottom, double step) {
    if (candidate > bottom)
        return candidate;
    const float above = Stored(double(bottom) + step);
    return above > bottom && above < oldTop ? above : oldTop;
}

float InwardBottom(float candidate, float oldBottom, float top, double step) {
    if (candidate < top)
        return candidate;
    const float below = Stored(double(top) - step);
    return below < top && below > oldBottom ? below : oldBottom;
}

} // namespace

bool MoveDisplayRange(MeasurementSet& record, int series, int channel, bool xy, RangeMove move) {
    if (series < 1 || series > MaxSeries || channel < 0 || channel >= ChannelCount)
        return false;
    const int s = series - 1;
    float& top = record.DisplayMax[s][channel];
    float& bottom = record.DisplayMin[s][channel];
    const float sensorTop = record.SensorMax[s][channel];
    const float sensorBottom = record.SensorMin[s][channel];
    const double step = ScaleStep(double(sensorTop) - double(sensorBottom));
    const bool valid = top > bottom; // a range already empty is left alone

    switch (move) {
    case RangeMove::LowerTop: {
        double next = top;
        if (!xy) {
            if (double(bottom) + step < double(top)) {
                next = double(top) - step;
                if (next <= double(bottom))
                    next = double(bottom) + step;
            }
        } else if (top > 0) {
            next = double(top) - step;
            if (next <= 0)
                next = step;
        }
        if (valid)
            top = InwardTop(Stored(next), top, bottom, step);
        return true;
    }
    case RangeMove::RaiseTop:
        if (!(top < sensorTop))
            return false;
        if (double(top) + step > double(sensorTop))
            top = sensorTop;
        else
            top = Stored(double(top) + step);
        return true;
    case RangeMove::LowerBottom:
        if (!(bottom > sensorBottom))
            return false;
        if (double(bottom) - step < double(sensorBottom))
            bottom = sensorBottom;
        else
            bottom = Stored(double(bottom) - step);
        return true;
    case RangeMove::RaiseBottom: {
        double next = bottom;
        if (!xy) {
            if (bottom < top) {
                next = double(bottom) + step;
                if (next >= double(top))
                    next = double(top) - step;
            }
        } else if (bottom < 0) {
            next = double(bottom) + step;
            if (next > 0)
                next = 0;
        }
        if (valid)
            bottom = InwardBottom(Stored(next), bottom, top, step);
        return true;
    }
    }
    return false;
}

} // namespace workbench
