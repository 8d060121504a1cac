// The simulated interface on the real clock, as people run it: a loop that
// polls the receive queue "without pause" must sleep between the device's
// bytes, as it would on a real device's driver, instead of spinning a core.
#include "d2xx/sim/Sim.h"
#include "d2xx/sim/fixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>

namespace {

using Wall = std::chrono::steady_clock;

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

double MsSince(Wall::time_point start) {
    return std::chrono::duration<double, std::milli>(Wall::now() - start).count();
}

class RealClockPolls : public ::testing::Test {
protected:
    void SetUp() override {
        Bus.AddDevice().Plug(0, sim::FixtureA);
        std::string description = sim::DefaultDescription;
        ASSERT_EQ(Driver.OpenEx(description.data(), FT_OPEN_BY_DESCRIPTION, &Handle), FT_OK);
    }
    DWORD Poll() {
        DWORD count = 0;
        EXPECT_EQ(Driver.GetQueueStatus(Handle, &count), FT_OK);
        return count;
    }

    sim::SimBus Bus;
    sim::SimD2xx Driver{Bus};
    FT_HANDLE Handle = nullptr;
};

TEST_F(RealClockPolls, PollsWithNothingArrivingSleepOneUsbLatencyEach) {
    constexpr int Polls = 20;
    const double cpuStart = ThreadCpuMs();
    const Wall::time_point start = Wall::now();
    for (int i = 0; i < Polls; ++i)
        EXPECT_EQ(Poll(), 0u);
    const double wall = MsSince(start);
    // Every poll after the first waits one latency.
    EXPECT_GE(wall, (Polls - 1) * sim::SimD2xx::EmptyPollWaitUs / 1000.0);
    EXPECT_LT(ThreadCpuMs() - cpuStart, wall / 4);
}

TEST_F(RealClockPolls, AnAnswerIsSeenWhenItIsDueAfterAFewSleepingPolls) {
    uint8_t frame[] = {0x01, 0xE1, 0xE0};
    DWORD written = 0;
    ASSERT_EQ(Driver.Write(Handle, frame, sizeof frame, &written), FT_OK);
    const Wall::time_point start = Wall::now();
    int polls = 0;
    DWORD count = 0;
    while (count < 2 && MsSince(start) < 1000) {
        count = Poll();
        ++polls;
    }
    EXPECT_EQ(count, 2u);
    // The presence answer is due 2.1 ms after the frame.
    EXPECT_GE(MsSince(start), 2.0);
    // A spinning loop would poll thousands of times meanwhile.
    EXPECT_LE(polls, 5);
}

} // namespace
