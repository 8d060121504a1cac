#include "d2xx/sim/Sim.h"

#include <cmath>
#include <numbers>

namespace sim {

namespace {

double Fraction(double x) {
    return x - std::floor(x);
}

// Rounds half to even.
double RoundHalfEven(double v) {
    double low = std::floor(v);
    double diff = v - low;
    if (diff > 0.5)
        return low + 1;
    if (diff < 0.5)
        return low;
    return std::fmod(low, 2.0) == 0 ? low : low + 1;
}

} // namespace

Generator Generator::Dc(double value) {
    Generator g;
    g.Type = Kind::Dc;
    g.P1 = value;
    return g;
}

Generator Generator::Sine(double centre, double amplitude, double freqHz, double phaseDeg) {
    Generator g;
    g.Type = Kind::Sine;
    g.P1 = centre;
    g.P2 = amplitude;
    g.P3 = freqHz;
    g.P4 = phaseDeg;
    return g;
}

Generator Generator::Square(double low, double high, double freqHz, double duty, double phaseDeg) {
    Generator g;
    g.Type = Kind::Square;
    g.P1 = low;
    g.P2 = high;
    g.P3 = freqHz;
    g.P4 = duty;
    g.P5 = phaseDeg;
    return g;
}

Generator Generator::Triangle(double low, double high, double freqHz) {
    Generator g;
    g.Type = Kind::Triangle;
    g.P1 = low;
    g.P2 = high;
    g.P3 = freqHz;
    return g;
}

Generator Generator::Noise(double amplitude, uint32_t seed) {
    return Dc(0).WithNoise(amplitude, seed);
}

Generator Generator::Sequence(std::vector<int> values) {
    Generator g;
    g.Type = Kind::Sequence;
    g.Values = std::move(values);
    return g;
}

Generator Generator::Indexed(std::function<double(int64_t n)> f) {
    Generator g;
    g.Type = Kind::Indexed;
    g.Function = std::move(f);
    return g;
}

Generator Generator::Raw16(uint16_t value) {
    Generator g;
    g.Type = Kind::Raw16;
    g.P1 = value;
    return g;
}

Generator Generator::OfTime(std::function<double(double tSeconds)> f) {
    Generator g;
    g.Type = Kind::OfTime;
    g.TimeFunction = std::move(f);
    return g;
}

Generator Generator::WithNoise(double amplitude, uint32_t seed) const {
    Generator g = *this;
    g.NoiseAmplitude = amplitude;
    g.NoiseSeed = seed;
    g.NoiseState = seed;
    return g;
}

void Generator::Restart() {
    Taken = 0;
    NoiseState = NoiseSeed;
}

uint16_t Generator::Sample(double t) {
    double v = 0;
    switch (Type) {
    case Kind::Dc:
    case Kind::Raw16:
        v = P1;
        break;
    case Kind::Sine:
        v = P1 + P2 * std::sin(2 * std::numbers::pi * P3 * t + P4 * std::numbers::pi / 180);
        break;
    case Kind::Square:
        v = Fraction(P3 * t + P5 / 360) < P4 ? P2 : P1;
        break;
    case Kind::Triangle: {
        double p = Fraction(P3 * t);
        v = p < 0.5 ? P1 + (P2 - P1) * 2 * p : P2 - (P2 - P1) * (2 * p - 1);
        break;
    }
    case Kind::Sequence:
        if (!Values.empty())
            v = Values[static_cast<std::size_t>(
                std::min<int64_t>(Taken, static_cast<int64_t>(Values.size()) - 1))];
        break;
    case Kind::Indexed:
        v = Function ? Function(Taken + 1) : 0;
        break;
    case Kind::OfTime:
        v = TimeFunction ? TimeFunction(t) : 0;
        break;
    }
    ++Taken;
    if (NoiseAmplitude != 0) {
        NoiseState = NoiseState * 1664525u + 1013904223u;
        double unit = static_cast<double>(NoiseState >> 8) / 16777216.0; // [0, 1)
        v += NoiseAmplitude * (2 * unit - 1);
    }
    double top = Type == Kind::Raw16 ? 65535 : 1023;
    v = RoundHalfEven(v);
    if (!(v >= 0)) // NaN as well
        v = 0;
    if (v > top)
        v = top;
    return static_cast<uint16_t>(v);
}

} // namespace sim
