#include "LinkFixture.h"

#include <functional>

using namespace tampon;

using platform::ModalResult;
using sim::Command;
using sim::Scope;

namespace {

class LinkExchanges : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        PlugBothSensors();
    }

    // Elapsed virtual ms of action.
    double Timed(const std::function<void()>& action) {
        const double start = NowMs();
        action();
        return NowMs() - start;
    }

    // Brings the interface back to answering (the link then waits its full bounds).
    void Revive() {
        Rig.Faults().Clear();
        RawPair raw{};
        ASSERT_EQ(ReadRawPair(raw), LinkResult::Answered);
        ASSERT_FALSE(InterfaceSilent());
    }
};

TEST_F(LinkExchanges, FramesOnTheWire) {
    Rig.Device().AutoTriggerAfterMs = 1; // triggered blocks answer at once
    SampleBlock block{};
    RawPair raw{};
    struct Case {
        const char* What;
        std::function<void()> Run;
        const char* Frame;
    };
    const Case cases[] = {
        {"presence 1", [] { DetectSensor1(); }, "01 E1 E0"},
        {"presence 2", [] { DetectSensor2(); }, "01 E5 E4"},
        {"memory 1", [] { ReadSensorMemory(0); }, "02 EE 00 EC"},
        {"memory 2", [] { ReadSensorMemory(1); }, "02 EE 01 ED"},
        {"raw pair", [&] { ReadRawPair(raw); }, "01 AA AB"},
        {"write 1", [] { WriteSensorByte(0, 39, '0'); }, "03 E3 27 30 F7"},
        {"write 2", [] { WriteSensorByte(1, 39, '0'); }, "03 E6 27 30 F2"},
        {"block 512", [&] { AcquireBlock(5, 128, 1, 0, 512, 0, block); },
         "08 C0 00 05 80 01 00 02 00 4E"},
        {"trigger channel 2", [&] { AcquireBlock(5, 128, 1, 2, 512, 0, block); },
         "08 C0 00 05 80 01 00 02 00 4E"},
        {"channel 1 falling", [&] { AcquireBlock(5, 128, 1, 1, 512, 1, block); },
         "08 C0 01 05 80 01 00 02 01 4E"},
        {"level 1023", [&] { AcquireBlock(5, 128, 1, 0, 1023, 0, block); },
         "08 C0 00 05 80 01 FF 03 00 B0"},
        {"level 1024", [&] { AcquireBlock(5, 128, 1, 0, 1024, 0, block); },
         "08 C0 00 05 80 01 00 00 00 4C"},
        {"level 65535", [&] { AcquireBlock(6, 160, 8, 0, 65535, 0, block); },
         "08 C0 00 06 A0 08 00 00 00 66"},
    };
    for (const auto& c : cases) {
        const int64_t start = Rig.NowUs();
        c.Run();
        EXPECT_EQ(Rig.Log().ExpectFrames({c.Frame}, start), "") << c.What;
        EXPECT_FALSE(InterfaceSilent()) << c.What;
    }
}

struct PresenceCase {
    int Channel;
    int Tries;
    double Ms;
    const char* Text;
    const char* Frame;
};

class LinkPresenceFailure : public LinkExchanges,
                            public ::testing::WithParamInterface<PresenceCase> {};

TEST_P(LinkPresenceFailure, ErrorBoxAfterTheTryLimitThenRawCounts) {
    const PresenceCase c = GetParam();
    Rig.Faults().NoAnswer(c.Channel == 0 ? Command::E1 : Command::E5);
    Dialogs().Answer(ModalResult::Ok, c.Text);
    const int64_t start = Rig.NowUs();
    LinkResult result = LinkResult::Answered;
    const uint8_t presence = c.Channel == 0 ? DetectSensor1(&result) : DetectSensor2(&result);

    EXPECT_EQ(presence, 0);
    EXPECT_EQ(result, LinkResult::NoAnswer);
    std::vector<std::string> frames(c.Tries, c.Frame);
    frames.push_back(c.Channel == 0 ? "01 E5 E4" : "01 E1 E0");
    EXPECT_EQ(FramesSince(start), frames);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    const auto& box = boxes[0];
    EXPECT_EQ(box.Text, c.Text);
    EXPECT_EQ(box.Caption, "Erreur");
    EXPECT_EQ(box.Type, platform::MsgType::Error);
    EXPECT_EQ(box.Buttons, platform::MbOk);
    // After the tries and one try of the other channel, which answers: the
    // channel fails, not the interface.
    const double boxMs = (Dialogs().Records().back().TimeUs - start) / 1000.0;
    EXPECT_GE(boxMs, c.Ms + 10);
    EXPECT_LT(boxMs, c.Ms + 110);
    EXPECT_FALSE(InterfaceSilent());
    // Channel empty, calibration back to raw counts, texts kept.
    const int ch = c.Channel;
    EXPECT_FALSE(SensorOnChannel[ch]);
    EXPECT_FALSE(SensorCalibrated[ch]);
    EXPECT_EQ(ChannelSlope[ch], 1.0f);
    EXPECT_EQ(ChannelOffset[ch], 0.0f);
    EXPECT_EQ(RangeRawLow[ch], 0);
    EXPECT_EQ(RangeRawHigh[ch], 1023);
    EXPECT_EQ(ChannelUnit[ch], "");
    EXPECT_EQ(ChannelLabel[ch], ch == 0 ? "Tension" : "Température");
    EXPECT_TRUE(SensorOnChannel[1 - ch]);
}

INSTANTIATE_TEST_SUITE_P(
    BothChannels, LinkPresenceFailure,
    ::testing::Values(PresenceCase{0, 15, 1650, "Problème de lecture sur la voie 1", "01 E1 E0"},
                      PresenceCase{1, 10, 1100, "Problème de lecture sur la voie 2", "01 E5 E4"}));

TEST_F(LinkExchanges, PresenceAnswerAfterThePollsIsAnUnansweredTry) {
    // The last answer left 0x55 in the answer buffer; a try whose answer comes
    // too late must not read it as an acknowledgement.
    ASSERT_EQ(DetectSensor1(), 1);
    ASSERT_EQ(AnswerBuffer[0], 0x55);
    Rig.Faults().LateAnswer(150, Command::E1, Scope::Next());
    const int64_t start = Rig.NowUs();
    LinkResult result = LinkResult::NoAnswer;
    EXPECT_EQ(DetectSensor1(&result), 1);
    EXPECT_EQ(result, LinkResult::Answered);
    // One late try; the next try's answer comes right behind the late one
    // (the device answers in order), and two answers are no answer; the
    // third try, right after, is answered.
    EXPECT_EQ(FramesSince(start).size(), 3u);
    EXPECT_GE(Rig.NowUs() - start, sim::Ms(170));
    EXPECT_LT(Rig.NowUs() - start, sim::Ms(200));
    // Unacknowledged answers are unanswered tries too (once the late answer is
    // in, so that the next purge drops it).
    Sleep(100);
    Rig.Faults().GarbageStatus(0x00, Command::E1, Scope::Next(3));
    const int64_t again = Rig.NowUs();
    EXPECT_EQ(DetectSensor1(&result), 1);
    EXPECT_EQ(FramesSince(again).size(), 4u);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LinkExchanges, AcknowledgedAbsenceIsNoFailure) {
    Rig.Unplug(0);
    LinkResult result = LinkResult::NoAnswer;
    EXPECT_EQ(DetectSensor1(&result), 0);
    EXPECT_EQ(result, LinkResult::Answered);
    EXPECT_FALSE(IdentifySensor(0));
    // Any presence byte but 1 means no sensor.
    Rig.Plug(0, sim::FixtureA);
    Rig.Faults().PresenceByte(2, Command::E1);
    EXPECT_EQ(DetectSensor1(), 2);
    EXPECT_FALSE(IdentifySensor(0));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LinkExchanges, MemoryReadTimeOutEmptiesTheChannelAndKeepsTheImage) {
    Rig.Replace(0, sim::FixtureB);
    Rig.Faults().NoAnswer(Command::EE);
    const double ms = Timed([] {
        LinkResult result = LinkResult::Answered;
        EXPECT_FALSE(IdentifySensor(0, &result));
        EXPECT_EQ(result, LinkResult::NoAnswer);
    });
    EXPECT_GE(ms, 1500);
    EXPECT_LT(ms, 1600);
    EXPECT_FALSE(SensorOnChannel[0]);
    EXPECT_TRUE(std::equal(sim::FixtureA.begin(), sim::FixtureA.end(), SensorImage[0]));
    // The tables take the defaults.
    EXPECT_EQ(ChannelName[0], "Convertisseur 10 bits");
    EXPECT_EQ(ChannelSlope[0], 1.0f);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LinkExchanges, MemoryReadTakesItsAnswerAndLeavesJunkAfterIt) {
    Rig.Replace(1, sim::FixtureA);
    Rig.Faults().ExtraBytes(5, Command::EE);
    for (int tick = 0; tick < 3; ++tick) {
        ASSERT_TRUE(IdentifySensor(1));
        EXPECT_EQ(ChannelLabel[1], "Tension");
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LinkExchanges, MemoryReadDropsBytesLeftByTheLastAnswer) {
    // A first identification shows when the memory read begins: its purge of
    // the receive queue, the last one before the memory command is written.
    int64_t start = Rig.NowUs();
    ASSERT_TRUE(IdentifySensor(1));
    int64_t readBeginsAfterUs = -1;
    for (const sim::ApiRecord& call : Rig.Log().Api()) {
        if (call.TimeUs < start)
            continue;
        if (call.Call == sim::ApiCall::Purge && (call.Arg1 & FT_PURGE_RX))
            readBeginsAfterUs = call.TimeUs - start;
        if (call.Call == sim::ApiCall::Write && call.Text.find(" EE ") != std::string::npos)
            break;
    }
    ASSERT_GT(readBeginsAfterUs, 0);

    // The same again, with a byte arriving after the presence answer was
    // read and before the memory is asked for: it must not be taken for part
    // of the memory's answer.
    ResetCalibration(1);
    start = Rig.NowUs();
    Rig.Faults().StrayByte(start + readBeginsAfterUs);
    const int64_t framesFrom = Rig.NowUs();
    ASSERT_TRUE(IdentifySensor(1));
    EXPECT_EQ(ChannelLabel[1], "Température");
    EXPECT_EQ(ChannelSlope[1], 0.125f);
    EXPECT_EQ(FramesSince(framesFrom).size(), 2u) << "one presence query, one memory read";
}

TEST_F(LinkExchanges, RawPairAndMemoryWrite) {
    Rig.SetGenerator(1, sim::Generator::Raw16(65535));
    RawPair raw{};
    EXPECT_EQ(ReadRawPair(raw), LinkResult::Answered);
    EXPECT_EQ(raw, (RawPair{512, 65535}));

    EXPECT_EQ(WriteSensorByte(0, 39, '1'), LinkResult::Answered);
    EXPECT_EQ(Rig.Memory(0)[38], '1');
    EXPECT_EQ(Dialogs().BeepCount(), 0);
    Rig.Faults().WriteProtect(sim::WriteProtectMode::Nak);
    EXPECT_EQ(WriteSensorByte(0, 40, '1'), LinkResult::NotAcknowledged);
    EXPECT_EQ(Rig.Memory(0)[39], '3');
    EXPECT_EQ(Dialogs().BeepCount(), 1);
}

TEST_F(LinkExchanges, ShortWriteBeepsThenWaitsItsBound) {
    Rig.Faults().ShortWrite(1, Command::AA, Scope::Next());
    RawPair raw{7, 7};
    const double rawMs = Timed([&] { EXPECT_EQ(ReadRawPair(raw), LinkResult::NoAnswer); });
    EXPECT_EQ(raw, (RawPair{7, 7})) << "left untouched";
    // The bound, then one presence try that finds the interface answering.
    EXPECT_GE(rawMs, 520);
    EXPECT_LT(rawMs, 525);
    EXPECT_FALSE(InterfaceSilent());
    EXPECT_EQ(Dialogs().BeepCount(), 1);

    Revive();
    Rig.Faults().ShortWrite(4, Command::C0, Scope::Next());
    SampleBlock block{};
    block[1][94] = 42;
    const double blockMs =
        Timed([&] { EXPECT_EQ(AcquireBlock(5, 128, 1, 0, 0, 0, block), LinkResult::NoAnswer); });
    EXPECT_GE(blockMs, 1068);
    EXPECT_LT(blockMs, 1073);
    EXPECT_EQ(block[1][94], 42);
    EXPECT_EQ(Dialogs().BeepCount(), 2);
}

// A mute interface: each exchange waits its whole bound, then presence tries
// find nothing either and the interface counts as silent. A triggered
// block proves nothing (the device may wait for its trigger): no trigger.
TEST_F(LinkExchanges, FirstUnansweredExchangeWaitsItsWholeBound) {
    struct Case {
        const char* What;
        std::function<LinkResult()> Run;
        double Ms;
        LinkResult Result;
        bool Silent;
    };
    SampleBlock block{};
    RawPair raw{};
    // Three presence tries: each 10 ms, then ten polls 10 ms apart; the
    // memory read's own polls each add their call costs.
    constexpr double Probe = 330;
    const Case cases[] = {
        {"raw pair", [&] { return ReadRawPair(raw); }, 500 + Probe, LinkResult::NoAnswer, true},
        {"write", [] { return WriteSensorByte(0, 39, '0'); }, 500 + Probe, LinkResult::NoAnswer,
         true},
        {"memory", [] { return ReadSensorMemory(1); }, 1508 + Probe, LinkResult::NoAnswer, true},
        {"block 0,5 ms", [&] { return AcquireBlock(5, 128, 1, 0, 0, 0, block); }, 1048 + Probe,
         LinkResult::NoAnswer, true},
        {"block 20 ms", [&] { return AcquireBlock(6, 160, 8, 0, 0, 0, block); }, 2900 + Probe,
         LinkResult::NoAnswer, true},
        // 95 x 0.5 + 1 s + 1 s for the trigger.
        {"triggered block", [&] { return AcquireBlock(5, 128, 1, 0, 512, 0, block); }, 2048,
         LinkResult::NoTrigger, false},
    };
    Rig.Bus().SetCallCostUs(50);
    for (const auto& c : cases) {
        Revive();
        Rig.Faults().NoAnswer(Command::Any);
        LinkResult result = LinkResult::Answered;
        const double ms = Timed([&] { result = c.Run(); });
        EXPECT_EQ(result, c.Result) << c.What;
        EXPECT_GE(ms, c.Ms) << c.What;
        EXPECT_LT(ms, c.Ms + 5) << c.What;
        EXPECT_EQ(InterfaceSilent(), c.Silent) << c.What;
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LinkExchanges, AnswerThatComesLateIsOneLostAnswer) {
    // The late answer comes while the presence try that follows the lost
    // exchange waits, ahead of that try's own answer.
    struct Case {
        const char* What;
        Command Kind;
        std::function<LinkResult()> Run;
    };
    RawPair raw{};
    const Case cases[] = {
        {"raw pair", Command::AA, [&] { return ReadRawPair(raw); }},
        {"write", Command::E3, [] { return WriteSensorByte(0, 39, '0'); }},
    };
    for (const auto& c : cases) {
        for (const int lateMs : {520, 600}) {
            Revive();
            Rig.Faults().LateAnswer(lateMs, c.Kind, Scope::Next());
            EXPECT_EQ(c.Run(), LinkResult::NoAnswer) << c.What << " " << lateMs;
            EXPECT_FALSE(InterfaceSilent()) << c.What << " " << lateMs;
            // The next exchange gets its own answer, not the late one.
            raw = {};
            EXPECT_EQ(ReadRawPair(raw), LinkResult::Answered) << c.What << " " << lateMs;
        }
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LinkExchanges, TriggerThatNeverComesIsNotADeadInterface) {
    Rig.Bus().SetCallCostUs(50);
    SampleBlock block{};
    block[0][0] = 42;
    LinkResult result = LinkResult::Answered;
    const double ms = Timed([&] { result = AcquireBlock(5, 128, 1, 0, 512, 0, block); });
    EXPECT_EQ(result, LinkResult::NoTrigger);
    EXPECT_GE(ms, 2048);
    EXPECT_LT(ms, 2100);
    EXPECT_EQ(block[0][0], 42);
    EXPECT_FALSE(InterfaceSilent());
    EXPECT_EQ(AcquireBlock(5, 128, 1, 0, 0, 0, block), LinkResult::Answered);
    EXPECT_EQ(block[0][0], 0.01f);
}

enum class Death { Mute, Unplugged };

class LinkDeadInterface : public LinkExchanges, public ::testing::WithParamInterface<Death> {};

TEST_P(LinkDeadInterface, EveryExchangeGivesUpQuicklyAndSaysSo) {
    if (GetParam() == Death::Mute)
        Rig.Faults().NoAnswer(Command::Any);
    else
        Rig.Faults().DeviceGone(Rig.NowUs());
    RawPair raw{3, 4};
    SampleBlock block{};
    block[0][5] = 42;

    // The bound, then presence tries that find nothing either.
    EXPECT_GE(Timed([&] { EXPECT_EQ(ReadRawPair(raw), LinkResult::NoAnswer); }), 500);
    EXPECT_TRUE(InterfaceSilent());
    EXPECT_TRUE(Boxes().empty());
    struct Case {
        const char* What;
        std::function<LinkResult()> Run;
        double MaxMs;
    };
    const Case cases[] = {
        {"raw pair", [&] { return ReadRawPair(raw); }, 101},
        {"write", [] { return WriteSensorByte(0, 39, '0'); }, 101},
        {"memory", [] { return ReadSensorMemory(1); }, 101},
        {"block", [&] { return AcquireBlock(5, 128, 1, 0, 0, 0, block); }, 149},
        {"triggered block", [&] { return AcquireBlock(6, 160, 8, 1, 512, 1, block); }, 2111},
        {"readings",
         [] {
             ValuePair values{};
             return ReadChannels(values);
         },
         101},
    };
    for (const auto& c : cases) {
        LinkResult result = LinkResult::Answered;
        EXPECT_LE(Timed([&] { result = c.Run(); }), c.MaxMs) << c.What;
        EXPECT_EQ(result, LinkResult::NoAnswer) << c.What;
    }
    EXPECT_EQ(raw, (RawPair{3, 4}));
    EXPECT_EQ(block[0][5], 42);
    // A presence query makes a single try; the silence is the caller's to
    // tell, the link shows nothing.
    LinkResult result = LinkResult::Answered;
    EXPECT_LE(Timed([&] { EXPECT_FALSE(IdentifySensor(0, &result)); }), 111);
    EXPECT_EQ(result, LinkResult::NoAnswer);
    EXPECT_TRUE(InterfaceSilent());
    EXPECT_TRUE(Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Both, LinkDeadInterface, ::testing::Values(Death::Mute, Death::Unplugged));

TEST_F(LinkExchanges, AnAnsweredExchangeRestoresTheFullWaits) {
    Rig.Faults().NoAnswer(Command::Any, Scope::Window(0, Rig.NowUs() + sim::Ms(1000)));
    RawPair raw{};
    EXPECT_EQ(ReadRawPair(raw), LinkResult::NoAnswer);
    EXPECT_TRUE(InterfaceSilent());
    EXPECT_EQ(ReadRawPair(raw), LinkResult::NoAnswer); // quick: ~100 ms
    Sleep(200);
    EXPECT_EQ(ReadRawPair(raw), LinkResult::Answered);
    EXPECT_FALSE(InterfaceSilent());
    Rig.Faults().NoAnswer(Command::AA, Scope::Next());
    const double ms = Timed([&] { EXPECT_EQ(ReadRawPair(raw), LinkResult::NoAnswer); });
    EXPECT_GE(ms, 500);
}

TEST_F(LinkExchanges, TruncatedBlockIsNoAnswerButTheInterfaceStillSpeaks) {
    Rig.Faults().TruncatedAnswer(200, Command::C0, Scope::Next());
    SampleBlock block{};
    block[0][0] = 42;
    EXPECT_EQ(AcquireBlock(5, 128, 1, 0, 0, 0, block), LinkResult::NoAnswer);
    EXPECT_EQ(block[0][0], 42);
    EXPECT_FALSE(InterfaceSilent()) << "bytes came: the next exchange waits its whole bound";
    EXPECT_EQ(AcquireBlock(5, 128, 1, 0, 0, 0, block), LinkResult::Answered);
}

// Runs nested exchanges from inside a modal box, as a timer firing in the
// box's message loop would.
class NestedDialogs final : public platform::DialogService {
public:
    std::function<void()> InsideBox;
    int Shown = 0;
    platform::ModalResult ShowMessage(const platform::MessageRequest&) override {
        ++Shown;
        if (InsideBox)
            InsideBox();
        return platform::ModalResult::Ok;
    }
    void Beep() override {}
    bool OpenFile(const platform::FileDialogRequest&, std::string&) override { return false; }
    bool SaveFile(const platform::FileDialogRequest&, std::string&) override { return false; }
    bool ChooseColor(uint32_t&) override { return false; }
    bool PrintSetup() override { return false; }
};

TEST_F(LinkExchanges, NoExchangeStartsWhileAnotherIsUnderWay) {
    NestedDialogs nested;
    bool ran = false;
    nested.InsideBox = [&] {
        ran = true;
        EXPECT_TRUE(ExchangeUnderWay());
        const int framesBefore = Rig.Log().Count(Command::Any);
        RawPair raw{1, 2};
        EXPECT_EQ(ReadRawPair(raw), LinkResult::Busy);
        EXPECT_EQ(raw, (RawPair{1, 2}));
        ValuePair values{5, 6};
        EXPECT_EQ(ReadChannels(values), LinkResult::Busy);
        EXPECT_EQ(values, (ValuePair{5, 6}));
        SampleBlock block{};
        EXPECT_EQ(AcquireBlock(5, 128, 1, 0, 0, 0, block), LinkResult::Busy);
        EXPECT_EQ(WriteSensorByte(1, 39, '0'), LinkResult::Busy);
        EXPECT_EQ(ReadSensorMemory(1), LinkResult::Busy);
        LinkResult result = LinkResult::Answered;
        EXPECT_TRUE(IdentifySensor(1, &result)) << "the last known presence";
        EXPECT_EQ(result, LinkResult::Busy);
        EXPECT_EQ(DetectSensor2(&result), 1);
        EXPECT_EQ(result, LinkResult::Busy);
        EXPECT_EQ(ZeroChannel(1, &result), ChannelOffset[1]);
        EXPECT_EQ(result, LinkResult::Busy);
        EXPECT_EQ(Rig.Log().Count(Command::Any), framesBefore) << "nothing was sent";
        EXPECT_EQ(ChannelLabel[1], "Température");
    };
    platform::SetDialogs(&nested);
    Rig.Faults().NoAnswer(Command::E1, Scope::Next(15));
    EXPECT_EQ(DetectSensor1(), 0);
    platform::SetDialogs(&Dialogs());
    EXPECT_TRUE(ran);
    EXPECT_EQ(nested.Shown, 1);
    EXPECT_FALSE(ExchangeUnderWay());
    RawPair raw{};
    EXPECT_EQ(ReadRawPair(raw), LinkResult::Answered);
}

} // namespace
