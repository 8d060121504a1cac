// Sensor memory images, the channel tables and the identification of a sensor.
#include "tampon.h"
#include "tampon_internal.h"

#include "core/Cp1252.h"
#include "core/Numbers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace tampon {

uint8_t SensorImage[2][SensorMemorySize];

bool SensorOnChannel[2] = {};
bool SensorCalibrated[2] = {};
std::string ChannelLabel[2];
std::string ChannelUnit[2];
int32_t ChannelDecimals[2] = {};
std::string ChannelName[2];
int32_t CalRawLow[2] = {};
TamponReal CalValueLow[2] = {};
TamponReal RangeLow[2] = {};
TamponReal RangeHigh[2] = {};
TamponReal StoredRangeLow[2] = {};
TamponReal StoredRangeHigh[2] = {};
int32_t RangeRawLow[2] = {};
int32_t RangeRawHigh[2] = {};
TamponReal ChannelSlope[2] = {};
TamponReal ChannelOffset[2] = {};
TamponReal StoredSlope[2] = {};
TamponReal StoredOffset[2] = {};

using namespace detail;

namespace {

using Image = std::array<uint8_t, SensorMemorySize>;

// Field positions (1-based) and lengths of the sensor memory.
struct FieldPlace {
    int Position;
    int Length;
};
constexpr FieldPlace LabelField{1, 16};
constexpr FieldPlace UnitField{17, 6};
constexpr FieldPlace RawLowField{23, 4};
constexpr FieldPlace ValueLowField{27, 12};
constexpr FieldPlace RawHighField{39, 4};
constexpr FieldPlace ValueHighField{43, 12};
constexpr FieldPlace RangeLowField{55, 12};
constexpr FieldPlace RangeHighField{67, 12};
constexpr FieldPlace DecimalsField{79, 1};
constexpr FieldPlace NameField{80, 25};
constexpr FieldPlace TagField{115, 12};

constexpr const char* DefaultLabel = "Non étalonné";
constexpr const char* DefaultName = "Convertisseur 10 bits";
constexpr int32_t DefaultRawHigh = 1023;
constexpr long double DefaultValueHigh = 1023.0L;

// Zero adjustments: the offset set and the memory it was set with.
bool Zeroed[2] = {};
TamponReal ZeroOffset[2] = {};
Image ZeroImage[2] = {};

// Memories whose calibration could not be read, already reported.
std::vector<Image> WarnedMemories;

Image CopyImage(int channel) {
    Image image;
    std::memcpy(image.data(), SensorImage[channel], SensorMemorySize);
    return image;
}

void FillImagesWithF() {
    std::memset(SensorImage, 'F', sizeof SensorImage);
}

// Fills both images at program start.
const bool ImagesFilled = (FillImagesWithF(), true);

std::string_view RawField(int channel, FieldPlace field) {
    return {reinterpret_cast<const char*>(SensorImage[channel]) + field.Position - 1,
            static_cast<size_t>(field.Length)};
}

// Fields are read only from a calibrated sensor that is present.
bool Readable(int channel) {
    return ValidChannel(channel) && SensorOnChannel[channel] && SensorCalibrated[channel];
}

// From the first non-blank byte up to a NUL or the end of the field.
std::string_view Trimmed(std::string_view field) {
    const size_t nul = field.find('\0');
    if (nul != std::string_view::npos)
        field = field.substr(0, nul);
    const size_t first = field.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : field.substr(first);
}

std::string TextOf(int channel, FieldPlace field) {
    // A NUL ends the text even among the leading blanks.
    return platform::Cp1252ToUtf8(Trimmed(RawField(channel, field)));
}

int32_t HexOf(int channel, FieldPlace field) {
    int32_t value = 0;
    for (char c : RawField(channel, field)) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            break;
        value = value * 16 + digit;
    }
    return value;
}

bool TryNumberOf(int channel, FieldPlace field, long double& value) {
    return platform::TryParseComma(Trimmed(RawField(channel, field)), value);
}

bool TryDecimalsOf(int channel, int32_t& decimals) {
    const char c = RawField(channel, DecimalsField)[0];
    if (c < '0' || c > '9')
        return false;
    decimals = c - '0';
    return true;
}

long double NumberOr(int channel, FieldPlace field, long double fallback) {
    long double value = fallback;
    if (Readable(channel) && TryNumberOf(channel, field, value))
        return value;
    return fallback;
}

// Truncation toward zero in extended precision (a quotient just below a
// whole number must not round up to it first), saturated to Int32.
int32_t TruncToInt32(long double quotient) {
    const long double whole = std::trunc(quotient);
    if (whole >= static_cast<long double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (whole <= static_cast<long double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(whole);
}

// What an identification writes into the tables of one channel.
struct Calibration {
    std::string Name, Label, Unit;
    int32_t Decimals = 0;
    int32_t RawLow = 0;
    TamponReal ValueLow = 0;
    TamponReal RangeLow = 0, RangeHigh = 0;
    TamponReal Slope = 1, Offset = 0;
    int32_t RawLimitLow = 0, RawLimitHigh = 0;
};

// True when x is a finite number that single precision holds (converted
// values are single precision in both builds).
bool FitsSingle(long double x) {
    return std::isfinite(x) && std::fabs(x) <= std::numeric_limits<float>::max();
}

// The calibration from the channel's fields (their defaults when the channel
// is not readable). False when a readable memory does not give a usable one:
// a number or the decimals digit that cannot be read, equal raw counts, a
// slope of 0, or a number, a result or a converted value that single
// precision cannot hold.
bool ComputeCalibration(int channel, Calibration& cal) {
    const bool readable = Readable(channel);
    long double valueLow = 0, valueHigh = DefaultValueHigh;
    long double rangeLow = 0, rangeHigh = DefaultValueHigh;
    cal.Decimals = 0;
    if (readable) {
        if (!TryNumberOf(channel, ValueLowField, valueLow) ||
            !TryNumberOf(channel, ValueHighField, valueHigh) ||
            !TryNumberOf(channel, RangeLowField, rangeLow) ||
            !TryNumberOf(channel, RangeHighField, rangeHigh) ||
            !TryDecimalsOf(channel, cal.Decimals))
            return false;
    }
    cal.Name = SensorName(channel);
    cal.Label = SensorLabel(channel);
    cal.Unit = SensorUnit(channel);
    const int32_t rawLow = SensorRawLow(channel);
    const int32_t rawHigh = SensorRawHigh(channel);
    cal.RawLow = rawLow;
    cal.ValueLow = static_cast<TamponReal>(valueLow);
    cal.RangeLow = static_cast<TamponReal>(rangeLow);
    cal.RangeHigh = static_cast<TamponReal>(rangeHigh);
    const int32_t rawSpan = rawHigh - rawLow;
    if (rawSpan == 0)
        return false;
    cal.Slope = static_cast<TamponReal>((valueHigh - valueLow) / rawSpan);
    const long double slope = cal.Slope;
    cal.Offset = static_cast<TamponReal>(valueHigh - rawHigh * slope);
    const long double offset = cal.Offset;
    if (cal.Slope == 0 || !FitsSingle(valueLow) || !FitsSingle(valueHigh) ||
        !FitsSingle(rangeLow) || !FitsSingle(rangeHigh) || !FitsSingle(slope) ||
        !FitsSingle(offset))
        return false;
    const long double quotientHigh = (rangeHigh - offset) / slope;
    const long double quotientLow = (rangeLow - offset) / slope;
    if (std::isnan(quotientHigh) || std::isnan(quotientLow))
        return false;
    cal.RawLimitHigh = TruncToInt32(quotientHigh);
    cal.RawLimitLow = TruncToInt32(quotientLow);
    // A negative slope (or a reversed range) gives the limits in reverse
    // order; the range test needs the lower one first.
    if (cal.RawLimitLow > cal.RawLimitHigh)
        std::swap(cal.RawLimitLow, cal.RawLimitHigh);
    // Every count that converts (0 to 65535 as they travel, within the
    // limits) gives a value that single precision holds.
    constexpr int32_t LargestCount = 65535;
    const int32_t first = std::max(cal.RawLimitLow, 0);
    const int32_t last = std::min(cal.RawLimitHigh, LargestCount);
    if (first <= last &&
        (!FitsSingle(first * slope + offset) || !FitsSingle(last * slope + offset)))
        return false;
    return true;
}

void WarnOnce(int channel) {
    const Image image = CopyImage(channel);
    if (std::find(WarnedMemories.begin(), WarnedMemories.end(), image) != WarnedMemories.end())
        return;
    WarnedMemories.push_back(image);
    ShowLinkMessage(std::string("La mémoire du capteur branché sur la voie ") +
                        (channel == 0 ? "1" : "2") +
                        " contient un étalonnage illisible.\r\n"
                        "Ce capteur est utilisé comme un capteur non étalonné "
                        "(valeurs brutes de 0 à 1023).",
                    false, "Attention");
}

// Steps of the identification after the memory read: tag test, texts,
// calibration points, slope, offset and raw limits.
void Calibrate(int channel) {
    SensorCalibrated[channel] = GetSensorSignature(channel) == CalibratedTag;
    Calibration cal;
    if (!ComputeCalibration(channel, cal)) {
        WarnOnce(channel);
        SensorCalibrated[channel] = false;
        cal = Calibration{};
        ComputeCalibration(channel, cal);
    }
    ChannelName[channel] = cal.Name;
    ChannelDecimals[channel] = cal.Decimals;
    ChannelLabel[channel] = cal.Label;
    ChannelUnit[channel] = cal.Unit;
    CalRawLow[channel] = cal.RawLow;
    CalValueLow[channel] = cal.ValueLow;
    RangeLow[channel] = StoredRangeLow[channel] = cal.RangeLow;
    RangeHigh[channel] = StoredRangeHigh[channel] = cal.RangeHigh;
    ChannelSlope[channel] = StoredSlope[channel] = cal.Slope;
    ChannelOffset[channel] = StoredOffset[channel] = cal.Offset;
    RangeRawHigh[channel] = cal.RawLimitHigh;
    RangeRawLow[channel] = cal.RawLimitLow;
    if (!SensorCalibrated[channel])
        ResetCalibration(channel);
}

} // namespace

bool IdentifySensor(int channel, LinkResult* result) {
    auto report = [&](LinkResult r) {
        if (result)
            *result = r;
    };
    if (!ValidChannel(channel)) {
        report(LinkResult::NoAnswer);
        return false;
    }
    ExchangeGuard guard;
    if (guard.Refused()) {
        report(LinkResult::Busy);
        return SensorOnChannel[channel];
    }
    LinkResult outcome = LinkResult::Answered;
    const bool before = SensorOnChannel[channel];
    const uint8_t presence = Presence(channel, outcome);
    if (outcome == LinkResult::Ended) {
        report(outcome);
        return before;
    }
    if (outcome != LinkResult::Answered) {
        // Failed: the query has marked the channel empty. Unknown (a device
        // that may hold frames for an armed trigger): nothing changed.
        report(outcome);
        return SensorOnChannel[channel];
    }
    SensorOnChannel[channel] = presence == 1;
    if (!SensorOnChannel[channel]) {
        ForgetZero(channel);
        report(LinkResult::Answered);
        return false;
    }
    // The presence query was answered: a memory that does not come is no
    // sign of a silent interface.
    bool heard = false;
    outcome = MemoryRead(channel, heard);
    if (outcome == LinkResult::Ended) {
        // Ended by the user before the memory came: nothing changes.
        SensorOnChannel[channel] = before;
        report(outcome);
        return before;
    }
    Calibrate(channel);
    if (SensorOnChannel[channel])
        ApplyZero(channel);
    else
        ForgetZero(channel);
    report(outcome);
    return SensorOnChannel[channel];
}

void ResetCalibration(int channel) {
    if (!ValidChannel(channel))
        return;
    SensorCalibrated[channel] = false;
    ChannelSlope[channel] = 1;
    ChannelOffset[channel] = 0;
    RangeRawHigh[channel] = 1023;
    RangeRawLow[channel] = 0;
    ChannelUnit[channel].clear();
}

std::string GetSensorSignature(int channel) {
    if (!ValidChannel(channel) || !SensorOnChannel[channel])
        return "absent";
    return platform::Cp1252ToUtf8(RawField(channel, TagField));
}

std::string SensorLabel(int channel) {
    return Readable(channel) ? TextOf(channel, LabelField) : DefaultLabel;
}

std::string SensorUnit(int channel) {
    return Readable(channel) ? TextOf(channel, UnitField) : std::string();
}

std::string SensorName(int channel) {
    return Readable(channel) ? TextOf(channel, NameField) : DefaultName;
}

int32_t SensorRawLow(int channel) {
    return Readable(channel) ? HexOf(channel, RawLowField) : 0;
}

int32_t SensorRawHigh(int channel) {
    return Readable(channel) ? HexOf(channel, RawHighField) : DefaultRawHigh;
}

long double SensorValueLow(int channel) {
    return NumberOr(channel, ValueLowField, 0);
}

long double SensorValueHigh(int channel) {
    return NumberOr(channel, ValueHighField, DefaultValueHigh);
}

long double SensorRangeLow(int channel) {
    return NumberOr(channel, RangeLowField, 0);
}

long double SensorRangeHigh(int channel) {
    return NumberOr(channel, RangeHighField, DefaultValueHigh);
}

int32_t SensorDecimals(int channel) {
    int32_t decimals = 0;
    if (Readable(channel) && TryDecimalsOf(channel, decimals))
        return decimals;
    return 0;
}

namespace detail {

void RememberZero(int channel, TamponReal offset) {
    Zeroed[channel] = true;
    ZeroOffset[channel] = offset;
    ZeroImage[channel] = CopyImage(channel);
}

void ForgetZero(int channel) {
    Zeroed[channel] = false;
}

void ApplyZero(int channel) {
    if (Zeroed[channel] && ZeroImage[channel] == CopyImage(channel))
        ChannelOffset[channel] = ZeroOffset[channel];
    else
        Zeroed[channel] = false;
}

void ResetSensorState() {
    FillImagesWithF();
    for (int ch = 0; ch < 2; ++ch) {
        SensorOnChannel[ch] = SensorCalibrated[ch] = false;
        ChannelLabel[ch].clear();
        ChannelUnit[ch].clear();
        ChannelName[ch].clear();
        ChannelDecimals[ch] = CalRawLow[ch] = RangeRawLow[ch] = RangeRawHigh[ch] = 0;
        CalValueLow[ch] = RangeLow[ch] = RangeHigh[ch] = StoredRangeLow[ch] = 0;
        StoredRangeHigh[ch] = ChannelSlope[ch] = ChannelOffset[ch] = 0;
        StoredSlope[ch] = StoredOffset[ch] = 0;
        Zeroed[ch] = false;
        ZeroOffset[ch] = 0;
    }
    WarnedMemories.clear();
}

} // namespace detail

} // namespace tampon
