// Conversion of raw counts into physical values, and the zero adjustment.
#include "tampon.h"
#include "tampon_internal.h"

#include "core/Clock.h"
#include "core/Numbers.h"

namespace tampon {

using namespace detail;

float ConvertRawCount(int channel, int32_t raw) {
    if (!ValidChannel(channel))
        return 0;
    if (raw < RangeRawLow[channel])
        return UnderRangeValue;
    if (raw > RangeRawHigh[channel])
        return OverRangeValue;
    const long double exact = raw * static_cast<long double>(ChannelSlope[channel]) +
                              static_cast<long double>(ChannelOffset[channel]);
    const auto value = static_cast<float>(exact);
#ifdef TAMPON_OSCILLOSCOPE
    return value;
#else
    return platform::RoundToDecimals(value, ChannelDecimals[channel], 8);
#endif
}

namespace detail {

void ConvertBlock(const uint8_t* answer, SampleBlock& block) {
    for (int k = 0; k < BlockSampleCount; ++k) {
        for (int c = 0; c < 2; ++c) {
            const uint8_t* sample = answer + 1 + 4 * k + 2 * c;
            block[c][k] = ConvertRawCount(c, sample[0] + 256 * sample[1]);
        }
    }
}

} // namespace detail

#ifndef TAMPON_OSCILLOSCOPE

LinkResult ReadChannels(ValuePair& values) {
    ExchangeGuard guard;
    if (guard.Refused())
        return LinkResult::Busy;
    RawPair raw{};
    const LinkResult result = RawPairExchange(raw);
    if (result != LinkResult::Answered)
        return result;
    values[0] = ConvertRawCount(0, raw[0]);
    values[1] = ConvertRawCount(1, raw[1]);
    return result;
}

float ZeroChannel(int channel, LinkResult* result) {
    auto report = [&](LinkResult r) {
        if (result)
            *result = r;
    };
    if (!ValidChannel(channel)) {
        report(LinkResult::NoAnswer);
        return 0;
    }
    ExchangeGuard guard;
    if (guard.Refused()) {
        report(LinkResult::Busy);
        return ChannelOffset[channel];
    }
    constexpr int Readings = 25;
    float sum = 0;
    for (int i = 0; i < Readings; ++i) {
        RawPair raw{};
        const LinkResult outcome = RawPairExchange(raw);
        if (outcome != LinkResult::Answered) {
            report(outcome);
            return ChannelOffset[channel];
        }
        Sleep(10);
        sum = sum + static_cast<float>(raw[channel]);
    }
    const float mean = sum / static_cast<float>(Readings);
    const float offset = 0.0f - mean * ChannelSlope[channel];
    ChannelOffset[channel] = offset;
    RememberZero(channel, offset);
    report(LinkResult::Answered);
    return offset;
}

#endif

} // namespace tampon
