// Signal generators: shapes, rounding, clamping, per-sample state.
#include "d2xx/sim/Sim.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

using sim::Generator;

struct PointCase {
    const char* Name;
    Generator Signal;
    double T;
    int Expected;
};

TEST(Generators, ValuesAtGivenTimes) {
    const PointCase cases[] = {
        {"dc rounds half to even (down)", Generator::Dc(512.5), 0, 512},
        {"dc rounds half to even (up)", Generator::Dc(511.5), 0, 512},
        {"dc rounds to nearest", Generator::Dc(300.49), 0, 300},
        {"dc clamps below", Generator::Dc(-3), 0, 0},
        {"dc clamps above", Generator::Dc(2000), 0, 1023},
        {"raw16 not clamped", Generator::Raw16(65535), 0, 65535},
        {"raw16 1024", Generator::Raw16(1024), 0, 1024},
        {"sine crest", Generator::Sine(512, 300, 50, 0), 0.005, 812},
        {"sine trough", Generator::Sine(512, 300, 50, 0), 0.015, 212},
        {"sine 90 degrees starts at its crest", Generator::Sine(512, 200, 50, 90), 0, 712},
        {"square high part", Generator::Square(100, 900, 10, 0.25), 0.01, 900},
        {"square low part", Generator::Square(100, 900, 10, 0.25), 0.03, 100},
        {"square phase", Generator::Square(100, 900, 10, 0.25, 180), 0.01, 100},
        {"triangle rising", Generator::Triangle(0, 1000, 10), 0.025, 500},
        {"triangle top", Generator::Triangle(0, 1000, 10), 0.05, 1000},
        {"triangle falling", Generator::Triangle(0, 1000, 10), 0.0751, 498},
        {"function of time", Generator::OfTime([](double t) { return t * 1000; }), 0.25, 250},
    };
    for (auto c : cases)
        EXPECT_EQ(c.Signal.Sample(c.T), c.Expected) << c.Name;
}

TEST(Generators, SequenceGivesOneValuePerSampleThenHolds) {
    Generator g = Generator::Sequence({520, 510, 500, 2000});
    EXPECT_EQ(g.Sample(0), 520);
    EXPECT_EQ(g.Sample(9), 510); // time does not matter
    EXPECT_EQ(g.Sample(0), 500);
    EXPECT_EQ(g.Sample(0), 1023);
    EXPECT_EQ(g.Sample(0), 1023);
    EXPECT_EQ(g.SamplesTaken(), 5);
    g.Restart();
    EXPECT_EQ(g.Sample(0), 520);
    EXPECT_EQ(Generator::Sequence({}).Sample(0), 0);
}

TEST(Generators, IndexedCountsSamplesFromOne) {
    Generator g = Generator::Indexed([](int64_t n) { return 1000.0 - static_cast<double>(n); });
    EXPECT_EQ(g.Sample(0), 999);
    EXPECT_EQ(g.Sample(0), 998);
    EXPECT_EQ(g.Sample(0), 997);
}

TEST(Generators, NoiseIsDeterministicAndBounded) {
    Generator a = Generator::Dc(512).WithNoise(20, 7);
    Generator b = Generator::Dc(512).WithNoise(20, 7);
    Generator c = Generator::Dc(512).WithNoise(20, 8);
    std::set<int> seen;
    bool differs = false;
    for (int i = 0; i < 500; ++i) {
        int va = a.Sample(0);
        EXPECT_EQ(va, b.Sample(0));
        differs = differs || va != c.Sample(0);
        EXPECT_LE(std::abs(va - 512), 20);
        seen.insert(va);
    }
    EXPECT_TRUE(differs);
    EXPECT_GT(seen.size(), 20u);
    // Noise on its own is centred on 0 and clamped there.
    Generator pure = Generator::Noise(5, 3);
    for (int i = 0; i < 50; ++i)
        EXPECT_LE(pure.Sample(0), 5);
}

} // namespace
