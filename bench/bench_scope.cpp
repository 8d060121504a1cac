// bench_scope: the oscilloscope's sweep loop on the simulated classroom
// interface (two 50 Hz sines 90 degrees apart, triggered on channel a at
// mid-scale) and the real clock.
//
// For the 1 ms and 5 ms per division positions it prints the sweeps per
// second of the window's loop against the protocol's own limit. Each sweep is
// two presence queries and one block:
//   presence  - the link's pacing: it looks 10 ms after the frame, then every
//               10 ms, so an answer due after (transfer + latency) is seen at
//               the first look after it: 20 ms;
//   block     - transfer, then the trigger search, 94 intervals after the
//               trigger, the ready delay and the answer's USB chunks.
// The trigger fires on a rising crossing of channel a, one per period of the
// signal, so a sweep starts one whole number of periods after the one before:
// the limit is the fixed part of a sweep (everything but the wait for the
// trigger) rounded up to whole periods.
// CPU is the share of one core the program used while the window swept.
// It also measures the same exchanges in a loop without window and drawing,
// and the time of one trace drawing in the lines mode.
//
//   bench_scope [seconds per measurement]   (default 6)
#include "Trevalume.h"

#include "CpuUse.h"
#include "EmbeddedPictures.h"
#include "d2xx/sim/Sim.h"
#include "d2xx/sim/fixtures.h"

#include <QApplication>
#include <QDir>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace tampon;
using namespace trevalume;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double SignalHz = 50;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The fixed part of one sweep in ms, from the device's latencies: all but
// the wait for the trigger.
double SweepFixedMs(const sim::SimDevice& device, double intervalMs) {
    const double tx = device.Latency.TxUs / 1000.0;
    const double presenceDue = tx + device.Latency.PresenceUs / 1000.0;
    const double presence = 10 + 10 * std::ceil(presenceDue / 10);
    const int chunks = (4 * BlockSampleCount + 1 + static_cast<int>(device.ChunkBytes) - 1) /
                       static_cast<int>(device.ChunkBytes);
    const double transfer = (chunks - 1) * static_cast<double>(device.UsbTickMs);
    const double block =
        tx + (BlockSampleCount - 1) * intervalMs + device.Latency.BlockReadyUs / 1000.0 + transfer;
    return 2 * presence + block;
}

// The shortest sweep in ms: the fixed part rounded up to whole periods.
double SweepLimitMs(double fixedMs) {
    const double period = 1000 / SignalHz;
    return period * std::ceil(fixedMs / period);
}

// Sweeps per second of the window's loop during `seconds`; cpu receives the
// percent of one core the program used meanwhile.
double WindowSweepRate(TForm1& form, double seconds, double& cpu) {
    const int first = form.SweepCount;
    Clock::time_point start{};
    bool started = false;
    CpuUse use;
    form.AfterSweep = [&] {
        // Timing starts after the first sweep (the loop's own start aside).
        if (!started) {
            started = true;
            start = Clock::now();
            use.Restart();
            return;
        }
        cpu = use.Percent();
        if (Seconds(start) >= seconds && form.Acquiring)
            form.onoffClick();
    };
    form.onoffClick();
    form.AfterSweep = nullptr;
    return (form.SweepCount - first - 1) / Seconds(start);
}

// The same exchanges without window or drawing.
double LinkSweepRate(const trevalume::BlockRow& row, double seconds) {
    SampleBlock block{};
    int sweeps = 0;
    const Clock::time_point start = Clock::now();
    while (Seconds(start) < seconds) {
        DetectSensor1();
        DetectSensor2();
        AcquireBlock(row.A, row.B, row.C, 0, 512, 0, block);
        ++sweeps;
    }
    return sweeps / Seconds(start);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    InitApplication();
    InitEmbeddedPictures();
    const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 6.0;
    QDir::setCurrent(QStringLiteral(KESTROVA_DATA_DIR));

    // The classroom scenario.
    sim::SimBus bus;
    sim::SimDevice& device = bus.AddDevice();
    device.Plug(0, sim::FixtureA);
    device.Plug(1, sim::FixtureA);
    device.SetGenerator(0, sim::Generator::Sine(512, 300, SignalHz, 0));
    device.SetGenerator(1, sim::Generator::Sine(512, 200, SignalHz, 90));
    sim::SimD2xx driver(bus);
    d2xx::SetDriver(&driver);
    device.Log().MaxRecords = 10000;

    TForm1* form = TForm::Create<TForm1>();
    if (!SensorOnChannel[0]) {
        std::fprintf(stderr, "simulated interface not found\n");
        return 1;
    }
    form->ShowForm();

    std::printf("Sweeps per second on the simulated interface, real clock (%.0f s each)\n",
                seconds);
    std::printf("%-12s %10s %10s %10s %8s %8s %10s %8s\n", "time base", "window", "link only",
                "limit", "win/lim", "win/link", "fixed ms", "CPU");
    struct Position {
        const char* Zone;
        const char* Text;
    };
    for (const Position& p : {Position{"Basetemps1ms", "1 ms/div"}, {"BaseTemps5ms", "5 ms/div"}}) {
        form->Zone(p.Zone)->Click();
        const trevalume::BlockRow row = trevalume::TimeBaseRow(form->SweepSet.DeltaTIndex);
        double cpu = 0;
        const double window = WindowSweepRate(*form, seconds, cpu);
        const double link = LinkSweepRate(row, seconds);
        const double fixed = SweepFixedMs(device, row.TimeStepMs);
        const double limit = 1000 / SweepLimitMs(fixed);
        std::printf("%-12s %10.2f %10.2f %10.2f %7.1f%% %7.1f%% %10.1f %7.1f%%\n", p.Text, window,
                    link, limit, 100 * window / limit, 100 * window / link, fixed, cpu);
    }

    // One trace drawing, lines mode, both channels, into the screen bitmap.
    form->BtYY->Click();
    trevalume::SweepSet sweep;
    trevalume::FillSweep(sweep, form->HeldBlock, 0.5, false, false);
    const trevalume::TraceSettings settings = form->CurrentTraceSettings();
    std::array<int, 2> originY{};
    constexpr int Runs = 2000;
    Clock::time_point start = Clock::now();
    for (int i = 0; i < Runs; ++i)
        trevalume::DrawSweep(form->GraphBitmap.Canvas(), sweep, settings, originY);
    form->GraphBitmap.Canvas().EndPaint();
    const double drawUs = Seconds(start) * 1e6 / Runs;
    // The whole screen update of a sweep: face, traces, copy to the screen.
    start = Clock::now();
    for (int i = 0; i < Runs; ++i) {
        form->GraphBitmap.Canvas().Draw(0, 0, form->ScreenBackground);
        trevalume::DrawSweep(form->GraphBitmap.Canvas(), sweep, settings, originY);
        form->PaintBox1->Canvas()->Draw(2, 2, form->GraphBitmap);
    }
    form->PaintBox1->Canvas()->EndPaint();
    const double updateUs = Seconds(start) * 1e6 / Runs;
    std::printf("Trace drawing (lines, both channels, 95 samples): %.1f us; "
                "with face and copy to the screen: %.1f us\n",
                drawUs, updateUs);

    delete form;
    d2xx::SetDriver(nullptr);
    return 0;
}
