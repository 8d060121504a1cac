// PC-side time of one round of the workbench's block loop at "0,5 ms": from
// the moment the block's answer has been read to the moment the next block
// is asked (storing the block, redrawing the graph into its bitmap, copying
// it onto the screen, processing the window's messages), against the 47 ms
// that the interface takes to sample a block. The main window at its initial
// size, the simulated interface on the real clock; medians over the rounds
// of a few seconds of measurement in each mode, and the share of one core the
// program used while the loop ran.
#include "CpuUse.h"
#include "EmbeddedPictures.h"
#include "core/Desktop.h"
#include "d2xx/sim/Sim.h"
#include "d2xx/sim/fixtures.h"
#include "graph/Graph.h"
#include "gui/Canvas.h"
#include "kvel1.h"
#include "model/TimeBase.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace kvel1;

namespace {

constexpr uint32_t RunMs = 3000;

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Rounds {
    std::vector<double> PcMs;     // answer read -> next block asked
    std::vector<double> PeriodMs; // block asked -> next block asked
};

// Reads the driver calls of the device since fromIndex: the time of each
// block frame written and of each complete block answer read.
Rounds RoundsFromLog(sim::SimLog& log, size_t fromIndex) {
    std::vector<int64_t> asked;
    std::vector<int64_t> answered;
    const std::vector<sim::ApiRecord>& calls = log.Api();
    for (size_t i = fromIndex; i < calls.size(); ++i) {
        const sim::ApiRecord& call = calls[i];
        if (call.Call == sim::ApiCall::Write && call.Text.rfind("08 C0", 0) == 0)
            asked.push_back(call.TimeUs);
        else if (call.Call == sim::ApiCall::Read && call.Bytes == 381)
            answered.push_back(call.TimeUs);
    }
    Rounds rounds;
    for (size_t i = 0; i + 1 < asked.size(); ++i) {
        rounds.PeriodMs.push_back(static_cast<double>(asked[i + 1] - asked[i]) / 1000.0);
        // The last answer read before the next block was asked.
        int64_t read = -1;
        for (int64_t t : answered)
            if (t > asked[i] && t < asked[i + 1])
                read = t;
        if (read >= 0)
            rounds.PcMs.push_back(static_cast<double>(asked[i + 1] - read) / 1000.0);
    }
    return rounds;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitApplication();
    InitEmbeddedPictures();
    platform::RecordingDesktop desktop; // no screen-saver change from a benchmark

    sim::SimBus bus;
    sim::SimDevice& device = bus.AddDevice(sim::DefaultDescription);
    device.Plug(0, sim::FixtureA);
    device.SetGenerator(0, sim::Generator::Sine(512, 300, 50, 0));
    device.Plug(1, sim::FixtureA);
    device.SetGenerator(1, sim::Generator::Sine(512, 200, 50, 90));
    sim::SimD2xx driver(bus);
    d2xx::SetDriver(&driver);

    TForm1* form = TForm::Create<TForm1>();
    form->ShowForm();
    ProcessMessages();
    // Lines and points of both channels of series 1, as a user shows them.
    for (int c = 0; c < 2; ++c)
        for (int k = 1; k < 3; ++k)
            form->CurveBoxes[0][c][k]->SetChecked(true);

    std::printf("window %d x %d, graph %d x %d, %u ms of measurement per mode\n", form->Width(),
                form->Height(), form->GraphBitmap->Width(), form->GraphBitmap->Height(), RunMs);
    const double blockMs = 95 * workbench::TimeBaseMs[0];
    for (const char* mode : {"Y1", "YY", "XY"}) {
        form->RGVoie->SetItemIndex(form->RGVoie->Items.IndexOf(mode));
        form->CBdelta_t->CloseUp(0); // "0,5 ms"
        form->CBmonoCoup->SetChecked(false);
        MeasurementRecord.SeriesCount = 0;
        const size_t from = device.Log().Api().size();
        TTimer stop;
        stop.SetInterval(RunMs);
        stop.OnTimer = [&] {
            stop.SetEnabled(false);
            form->ActionFinMesures->Execute();
        };
        stop.SetEnabled(true);
        CpuUse use;
        form->ActionNouvelleMesure->Execute();
        const double cpu = use.Percent();
        const Rounds rounds = RoundsFromLog(device.Log(), from);
        // The redraw alone, on the series the loop left.
        std::vector<double> draws;
        form->AcqState = 1; // drawn as during the loop
        form->SyncGraphState();
        for (int i = 0; i < 50; ++i) {
            const auto start = std::chrono::steady_clock::now();
            workbench::DrawGraph(form->GraphBitmap->Canvas(), 0, 0, form->GraphBitmap->Width(),
                                 form->GraphBitmap->Height(), form->Graph, form->Style,
                                 MeasurementRecord);
            form->GraphBitmap->Image(); // the painter ends as before a copy
            draws.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        form->AcqState = 0;
        const double pc = Median(rounds.PcMs);
        std::printf("%-3s %3zu rounds: PC side %6.3f ms (median; %5.2f %% of the %.1f ms block), "
                    "round %6.2f ms; redraw alone %6.3f ms; CPU %5.1f %% of one core\n",
                    mode, rounds.PcMs.size(), pc, 100.0 * pc / blockMs, blockMs,
                    Median(rounds.PeriodMs), Median(draws), cpu);
    }
    delete form;
    d2xx::SetDriver(nullptr);
    return 0;
}
