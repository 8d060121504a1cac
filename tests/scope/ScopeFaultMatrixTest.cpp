// Every fault the simulated interface can inject, on every exchange of the
// sweeps: the screen never shows a block that is stale or cut from two
// answers, no message is shown twice, and the loop either goes on or ends
// with the one message that says why.
#include "ScopeFixture.h"

#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

using namespace trevalume;

namespace {

// Answers every box as a user would (OK, and Cancel to the question for a
// sensor, which would otherwise come back) and counts each text.
class AnsweringDialogs final : public platform::DialogService {
public:
    explicit AnsweringDialogs(platform::DialogService& inner) : Inner(inner) {
        platform::SetDialogs(this);
    }
    ~AnsweringDialogs() override { platform::SetDialogs(&Inner); }
    AnsweringDialogs(const AnsweringDialogs&) = delete;
    AnsweringDialogs& operator=(const AnsweringDialogs&) = delete;

    platform::ModalResult ShowMessage(const platform::MessageRequest& request) override {
        ++Shown[request.Text];
        return request.Text.rfind("Aucun capteur", 0) == 0 ? platform::ModalResult::Cancel
                                                           : platform::ModalResult::Ok;
    }
    void Beep() override {}
    bool OpenFile(const platform::FileDialogRequest&, std::string&) override { return false; }
    bool SaveFile(const platform::FileDialogRequest&, std::string&) override { return false; }
    bool ChooseColor(uint32_t&) override { return false; }
    bool PrintSetup() override { return false; }

    std::map<std::string, int> Shown;

private:
    platform::DialogService& Inner;
};

struct FaultCase {
    const char* Name;
    std::function<void(sim::FaultPlan&, sim::Command, int64_t nowUs)> Arm;
    bool DeviceLevel; // the command kind plays no part
};

const FaultCase Faults[] = {
    {"NoAnswer", [](auto& f, auto kind, auto) { f.NoAnswer(kind); }, false},
    {"LateAnswer", [](auto& f, auto kind, auto) { f.LateAnswer(1040, kind); }, false},
    {"OneLateAnswer",
     [](auto& f, auto kind, auto) { f.LateAnswer(1100, kind, sim::Scope::Next()); }, false},
    {"GarbageStatus", [](auto& f, auto kind, auto) { f.GarbageStatus(0x00, kind); }, false},
    {"TruncatedAnswer", [](auto& f, auto kind, auto) { f.TruncatedAnswer(1, kind); }, false},
    {"ExtraBytes", [](auto& f, auto kind, auto) { f.ExtraBytes(3, kind); }, false},
    {"ShortWrite", [](auto& f, auto kind, auto) { f.ShortWrite(1, kind); }, false},
    {"WriteFails", [](auto& f, auto kind, auto) { f.WriteFails(kind); }, false},
    {"ReadFails", [](auto& f, auto kind, auto) { f.ReadFails(kind); }, false},
    {"PollFails", [](auto& f, auto kind, auto) { f.PollFails(kind); }, false},
    {"PresenceByte", [](auto& f, auto kind, auto) { f.PresenceByte(2, kind); }, false},
    {"DeviceGone", [](auto& f, auto, auto now) { f.DeviceGone(now + 5000); }, true},
    {"DeviceGoneAndBack",
     [](auto& f, auto, auto now) {
         f.DeviceGone(now + 5000);
         f.DeviceBack(now + 3'000'000);
     },
     true},
    {"SlowTx", [](auto& f, auto, auto) { f.SlowTx(30); }, true},
    {"PurgeFails", [](auto& f, auto, auto) { f.PurgeFails(); }, true},
    {"StrayBytes",
     [](auto& f, auto, auto now) {
         for (int ms = 1; ms < 4000; ms += 37)
             f.StrayByte(now + ms * 1000);
     },
     true},
};

// Each fault of a frame on each exchange of the sweeps (and of the sensor
// detection), each fault of the device once.
std::vector<std::tuple<int, sim::Command>> Cases() {
    std::vector<std::tuple<int, sim::Command>> cases;
    for (int f = 0; f < static_cast<int>(std::size(Faults)); ++f)
        for (sim::Command kind : {sim::Command::E1, sim::Command::E5, sim::Command::EE,
                                  sim::Command::C0, sim::Command::Any})
            if (!Faults[f].DeviceLevel || kind == sim::Command::Any)
                cases.emplace_back(f, kind);
    return cases;
}

class ScopeFaultMatrix : public ScopeTest,
                         public ::testing::WithParamInterface<std::tuple<int, sim::Command>> {};

TEST_P(ScopeFaultMatrix, NoStaleBlockAndNoMessageTwice) {
    const FaultCase& fault = Faults[std::get<0>(GetParam())];
    const sim::Command kind = std::get<1>(GetParam());
    // Raw counts: channel a gives 1, 2, 3, ... for its successive samples and
    // channel b 1000 minus channel a's, so that an old block or one cut from
    // two answers shows.
    PlugBoth(sim::Generator::Indexed([](int64_t n) { return static_cast<double>(n); }),
             sim::Generator::Indexed([](int64_t n) { return 1000.0 - static_cast<double>(n); }));
    Rig.Replace(0, sim::FixtureU);
    Rig.Replace(1, sim::FixtureU);
    Create();
    Click(Form->synchroauto, QPoint(8, 12)); // untriggered blocks
    AnsweringDialogs dialogs(Guard.Dialogs);

    std::vector<std::string> wrong;
    float lastShown = 0;
    SampleBlock shown{};
    Sweep(8, [&](int n) {
        if (n == 1)
            fault.Arm(Rig.Faults(), kind, Rig.NowUs());
        if (Form->HeldBlock == shown)
            return;
        shown = Form->HeldBlock;
        for (int k = 0; k < BlockSampleCount; ++k)
            if (shown[0][k] + shown[1][k] != 1000.0f ||
                (k > 0 && shown[0][k] != shown[0][k - 1] + 1))
                wrong.push_back("sweep " + std::to_string(n) + ": mixed block");
        if (shown[0][0] <= lastShown)
            wrong.push_back("sweep " + std::to_string(n) + ": stale block");
        lastShown = shown[0][BlockSampleCount - 1];
    });

    EXPECT_TRUE(wrong.empty()) << wrong.front();
    EXPECT_FALSE(Form->Acquiring);
    for (const auto& [text, count] : dialogs.Shown)
        EXPECT_EQ(count, 1) << text;
    if (Form->SweepCount < 8) {
        // Ended by itself: one message says why.
        EXPECT_EQ(dialogs.Shown.count(InterfaceSilentText) + dialogs.Shown.count(NoSensorPrompt),
                  1u);
    }
    // Nothing more afterwards, while idle.
    const auto before = dialogs.Shown;
    RunFor(10'000);
    for (const auto& [text, count] : dialogs.Shown)
        EXPECT_LE(count, 1) << text;
    EXPECT_LE(dialogs.Shown.size(), before.size() + 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, ScopeFaultMatrix, ::testing::ValuesIn(Cases()),
                         [](const auto& info) {
                             std::string kind = sim::CommandName(std::get<1>(info.param));
                             std::erase(kind, '/');
                             return std::string(Faults[std::get<0>(info.param)].Name) + "_" + kind;
                         });

} // namespace
