// The block loops and the manual XY loop: what they store, the frames the
// interface sees, how the user stops them, and what happens when the
// interface does not deliver.
#include "AcquisitionFixture.h"
#include "core/Waits.h"
#include "graph/Graph.h"

#include <QTimer>

using namespace tampon;
using namespace kvel1;

namespace acqtest {
namespace {

using platform::ModalResult;

constexpr const char* SilentMessage = "L'interface de mesure ne répond plus.";

// ------------------------------------------------------------- "arrêt auto"

struct OneBlockCase {
    const char* Name;
    int Row;
    float LastTime; // point 95, ms
    const char* Duration;
};
void PrintTo(const OneBlockCase& c, std::ostream* os) {
    *os << c.Name;
}

class OneBlockTest : public AcquisitionTest, public ::testing::WithParamInterface<OneBlockCase> {};

TEST_P(OneBlockTest, ArretAutoStoresExactlyOneBlock) {
    const OneBlockCase& c = GetParam();
    StartWithSensors(&sim::FixtureA, nullptr);
    ChooseInterval(c.Row);
    EXPECT_EQ(Form1->LabelDuree->Caption(), c.Duration);
    Form1->CBmonoCoup->SetChecked(true);
    Rig.SetGenerator(0, sim::Generator::Indexed([](int64_t n) { return 5.0 * n; }));
    const int64_t start = Rig.NowUs();

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    // One block asked, with the row's timing bytes, untriggered.
    const std::vector<sim::FrameRecord> blocks = BlockFrames(start);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(CodesOf(blocks[0]), CodesOfRow(c.Row));
    const auto request = Rig.Log().LastBlockRequest();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->Level, 0);
    EXPECT_EQ(request->TriggerChannel, 0);

    const workbench::MeasurementSet& record = MeasurementRecord;
    EXPECT_EQ(record.SeriesCount, 1);
    EXPECT_EQ(Form1->MeasuredSeries, 1);
    ASSERT_EQ(record.PointCount[0], 95);
    EXPECT_EQ(record.DeltaTIndex, c.Row);
    EXPECT_EQ(record.PointTime[0][0], 0.0f);
    EXPECT_EQ(record.PointTime[0][1], static_cast<float>(workbench::TimeBaseMs[c.Row]));
    EXPECT_EQ(record.PointTime[0][94], c.LastTime);
    for (int k = 1; k <= 95; k += 47)
        EXPECT_EQ(record.PointValue[0][0][k - 1], ConvertRawCount(0, 5 * k)) << "point " << k;

    ExpectWindowGivenBack();
    EXPECT_TRUE(Form1->Timer->Enabled()); // the live tick is back
    EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, OneBlockTest,
                         ::testing::Values(OneBlockCase{"HalfMs", 0, 47.0f, "0 h 0 min 0,047 s"},
                                           OneBlockCase{"FiveMs", 3, 470.0f, "0 h 0 min 0,470 s"},
                                           OneBlockCase{"TwentyMs", 5, 1880.0f,
                                                        "0 h 0 min 1,880 s"}),
                         [](const auto& info) { return std::string(info.param.Name); });

// A block refused because another exchange is under way (here: the loop
// started from inside that exchange's wait) is asked again after a short
// pause, not at once: the program's clock moves on between the requests.
TEST_F(AcquisitionTest, RefusedBlockIsAskedAgainAfterAPause) {
    StartWithSensors(&sim::FixtureA, nullptr);
    // A round is one pass through the loop's message processing, whether
    // the clock moved or not.
    int round = 0;
    int64_t firstRoundUs = 0;
    int64_t lastRoundUs = 0;
    QTimer rounds;
    rounds.setInterval(0);
    QObject::connect(&rounds, &QTimer::timeout, [&] {
        ++round;
        if (round == 1)
            firstRoundUs = Rig.NowUs();
        if (round == 21) {
            lastRoundUs = Rig.NowUs();
            Run(Form1->ActionFinMesures);
        }
    });
    rounds.start();
    bool started = false;
    int64_t blocksFrom = 0;
    {
        platform::ScopedWaitHandler outer([&] {
            if (!started) {
                started = true;
                blocksFrom = Rig.NowUs();
                Run(Form1->ActionNouvelleMesure);
            }
            return false;
        });
        RawPair raw{};
        EXPECT_EQ(ReadRawPair(raw), LinkResult::Answered);
    }
    rounds.stop();
    ASSERT_TRUE(started);
    ASSERT_GE(round, 21);
    EXPECT_GE(lastRoundUs - firstRoundUs, 20 * sim::Ms(10)) << "20 refused requests";
    EXPECT_TRUE(BlockFrames(blocksFrom).empty()) << "nothing sent while refused";
    EXPECT_EQ(Form1->Acquiring, 0);
}

// "Arrêt auto" ends the measurement on the first block that comes: while the
// trigger never comes the loop keeps asking, and only "Fin" ends it.
TEST_F(AcquisitionTest, ArretAutoWaitsForATriggerThatNeverComesUntilFin) {
    StartWithSensors(&sim::FixtureA, nullptr);
    Form1->CBmonoCoup->SetChecked(true);
    Form1->CBDec->SetChecked(true);
    Form1->TriggerLevel = 600;
    Rig.SetGenerator(0, sim::Generator::Dc(100)); // never crosses the level
    const int64_t start = Rig.NowUs();
    bool stillMeasuring = false;
    AtDuringWait(5000, [&] {
        stillMeasuring = Form1->Acquiring != 0;
        Run(Form1->ActionFinMesures);
    });

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    EXPECT_TRUE(stillMeasuring);
    EXPECT_GE(BlockFrames(start).size(), 2u) << "asked again after a block that did not come";
    EXPECT_EQ(MeasurementRecord.PointCount[0], 0);
    ExpectWindowGivenBack();
    EXPECT_TRUE(Messages().empty());
}

TEST_F(AcquisitionTest, WithoutArretAutoBlocksReplaceTheSameSeriesUntilTheEnd) {
    StartWithSensors(&sim::FixtureA, nullptr);
    Rig.SetGenerator(0, sim::Generator::Indexed([](int64_t n) { return n % 1000; }));
    const int64_t start = Rig.NowUs();
    At(400, [this] { Run(Form1->ActionFinMesures); });

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    // About 48 ms a block: several blocks, each one replacing the last.
    const size_t blocks = BlockFrames(start).size();
    EXPECT_GE(blocks, 7u);
    EXPECT_LE(blocks, 10u);
    EXPECT_EQ(MeasurementRecord.SeriesCount, 1);
    EXPECT_EQ(MeasurementRecord.PointCount[0], 95);
    const int lastFirstSample = static_cast<int>(95 * (blocks - 1) + 1);
    EXPECT_EQ(MeasurementRecord.PointValue[0][0][0], ConvertRawCount(0, lastFirstSample % 1000));
    ExpectWindowGivenBack();
    // Ended within one block of the user's click.
    EXPECT_LT(Rig.NowMs() - start / 1000.0, 400 + 60);
}

TEST_F(AcquisitionTest, TwoChannelLoopTakesTheRangeOfTheSeriesBeforeAtEveryBlock) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    ChooseMode("YY");
    Form1->CBmonoCoup->SetChecked(true);
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure)); // series 1
    Form1->CBmonoCoup->SetChecked(false);
    float changed = 0;
    float atNextBlock = 0;
    At(100, [&] {
        // The user narrows the range of the series being measured.
        MeasurementRecord.DisplayMax[1][0] = 3;
        changed = MeasurementRecord.DisplayMax[1][0];
    });
    At(200, [&] {
        atNextBlock = MeasurementRecord.DisplayMax[1][0];
        Run(Form1->ActionFinMesures);
    });
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure)); // series 2
    EXPECT_EQ(changed, 3.0f);
    EXPECT_EQ(atNextBlock, MeasurementRecord.DisplayMax[0][0]);
    EXPECT_EQ(atNextBlock, 10.0f);
    EXPECT_EQ(MeasurementRecord.SeriesCount, 2);
    EXPECT_EQ(MeasurementRecord.PointCount[1], 95);
}

// ------------------------------------------------- interval change while running

TEST_F(AcquisitionTest, IntervalChangeEndsTheLoopAndRedoesWithTheNewRow) {
    StartWithSensors(&sim::FixtureA, nullptr);
    Rig.SetGenerator(0, sim::Generator::Dc(300));
    int64_t changedUs = 0;
    At(200, [&] {
        changedUs = Rig.NowUs();
        ChooseInterval(3); // "5 ms"
    });
    At(1500, [this] { Run(Form1->ActionFinMesures); });
    const int64_t start = Rig.NowUs();

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    ASSERT_GT(changedUs, 0);
    const std::vector<sim::FrameRecord> before = BlockFrames(start);
    std::vector<BlockCodes> codes;
    for (const sim::FrameRecord& frame : before)
        codes.push_back(CodesOf(frame));
    // Row 0 until the change, row 3 after it, never row 0 again.
    size_t first3 = 0;
    while (first3 < codes.size() && codes[first3] == CodesOfRow(0))
        ++first3;
    EXPECT_GE(first3, 3u);
    ASSERT_LT(first3, codes.size());
    EXPECT_GE(before[first3].TimeUs, changedUs);
    for (size_t i = first3; i < codes.size(); ++i)
        EXPECT_EQ(codes[i], CodesOfRow(3)) << "block " << i;
    EXPECT_GE(codes.size() - first3, 2u);

    // The redo measured the same series with the new interval.
    EXPECT_EQ(MeasurementRecord.SeriesCount, 1);
    EXPECT_EQ(MeasurementRecord.DeltaTIndex, 3);
    EXPECT_EQ(MeasurementRecord.PointTime[0][94], 470.0f);
    EXPECT_EQ(Form1->TimeBaseIndex, 3);
    ExpectWindowGivenBack();
    EXPECT_TRUE(Form1->Timer->Enabled());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(AcquisitionTest, IntervalChangeToATimedIntervalLeavesTheWindowToIt) {
    StartWithSensors(&sim::FixtureA, nullptr);
    Form1->CBmonoCoup->SetChecked(true); // would end a block loop after its block
    int64_t changedUs = 0;
    EveryRound([&](int round) {
        if (round == 1) {
            changedUs = Rig.NowUs();
            ChooseInterval(6); // "50 ms": a timed series
        }
    });
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    ASSERT_GT(changedUs, 0);
    EXPECT_TRUE(BlockFrames(changedUs).empty());
    EXPECT_EQ(Form1->TimeBaseIndex, 6);
    EXPECT_EQ(Form1->FastTimeBase, 0);
    // The block loop that was interrupted did not end the new measurement.
    EXPECT_TRUE(Form1->ActionFinMesures->Enabled());
    EXPECT_FALSE(Form1->ActionQuitter->Enabled());
    Run(Form1->ActionFinMesures);
    ExpectWindowGivenBack();
}

// ------------------------------------------------------------------ manual XY

TEST_F(AcquisitionTest, SpaceValidatesTheMeansShown) {
    // Raw counts as values: the means are exact.
    StartWithSensors(&sim::FixtureU, &sim::FixtureU);
    ChooseMode("man.");
    EXPECT_FALSE(Form1->GroupBoxTemps->Visible());
    EXPECT_FALSE(Form1->CBmonoCoup->Visible());
    Rig.SetGenerator(0, sim::Generator::Indexed([](int64_t n) { return n; }));
    Rig.SetGenerator(1, sim::Generator::Indexed([](int64_t n) { return 2 * n; }));
    // Block b (from 1) holds samples 95(b - 1) + 1 ... 95b; its means are
    // those of samples 1, 11, ... 91: 46, 141, 236 on channel 0. Round r
    // processes the user's keys once block r came, while block r - 1's means
    // are shown.
    std::vector<std::vector<std::string>> shown;
    EveryRound([&](int round) {
        shown.push_back({Form1->PanelY0->Caption(), Form1->PanelY1->Caption()});
        switch (round) {
        case 2:
            EXPECT_TRUE(Form1->ActionValiderXY->Visible());
            PressSpace();
            break;
        case 3:
            PressSpace(Qt::ShiftModifier);
            break;
        case 4:
            PressSpace(Qt::ControlModifier);   // replaces point 2
            QTest::keyClick(Form1, Qt::Key_A); // ignored
            Run(Form1->ActionFinMesures);
            break;
        }
    });

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    // Each panel: the mean, a blank and the unit (none for raw counts).
    EXPECT_EQ(shown, (std::vector<std::vector<std::string>>{
                         {"", ""}, {"46 ", "92 "}, {"141 ", "282 "}, {"236 ", "472 "}}));
    const workbench::MeasurementSet& record = MeasurementRecord;
    ASSERT_EQ(record.XYPointCount[0], 2);
    EXPECT_EQ(record.ManualY1[0][0], 46.0f);
    EXPECT_EQ(record.ManualY2[0][0], 92.0f);
    EXPECT_EQ(record.ManualY1[0][1], 236.0f);
    EXPECT_EQ(record.ManualY2[0][1], 472.0f);
    EXPECT_EQ(record.PointCount[0], 95); // the last block read
    // One block and a 500 ms pause a round, the row of "0,5 ms".
    const std::vector<sim::FrameRecord> blocks = BlockFrames();
    EXPECT_EQ(blocks.size(), 4u);
    for (const sim::FrameRecord& frame : blocks)
        EXPECT_EQ(CodesOf(frame), CodesOfRow(0));
    // Each request follows the block before it (47.5 ms) and the pause.
    for (size_t i = 1; i < blocks.size(); ++i) {
        const int64_t gap = blocks[i].TimeUs - blocks[i - 1].TimeUs;
        EXPECT_GE(gap, sim::Ms(500) + 47'500) << "block " << i;
        EXPECT_LT(gap, sim::Ms(600)) << "block " << i;
    }
    ExpectWindowGivenBack();
    EXPECT_FALSE(Form1->ActionValiderXY->Visible());
    EXPECT_TRUE(Messages().empty());
}

// The loop spends most of its time waiting: for a block, then 500 ms between
// blocks. Space and Ctrl+Space pressed inside these waits act at once on the
// means shown, whichever control of the window has the focus.
TEST_F(AcquisitionTest, SpaceDuringTheWaitsValidatesTheMeansShown) {
    StartWithSensors(&sim::FixtureU, &sim::FixtureU);
    ChooseMode("man.");
    Rig.SetGenerator(0, sim::Generator::Indexed([](int64_t n) { return n; }));
    Rig.SetGenerator(1, sim::Generator::Indexed([](int64_t n) { return 2 * n; }));
    // Block 1 comes at 47.5 ms, its means 46 and 92 are shown during the
    // pause up to about 550 ms; block 2 (141 and 282) during the next one.
    std::vector<std::vector<float>> points;
    auto keep = [&] {
        const workbench::MeasurementSet& record = MeasurementRecord;
        std::vector<float> now;
        for (int i = 0; i < record.XYPointCount[0]; ++i) {
            now.push_back(record.ManualY1[0][i]);
            now.push_back(record.ManualY2[0][i]);
        }
        points.push_back(now);
    };
    AtDuringWait(300, [&] {
        EXPECT_TRUE(Form1->PanelY0->Caption() == "46 ");
        PressSpace();
        keep();
    });
    AtDuringWait(400, [&] {
        QTest::keyClick(Form1->PaintBox1, Qt::Key_Space);
        keep();
    });
    AtDuringWait(900, [&] {
        EXPECT_TRUE(Form1->PanelY0->Caption() == "141 ");
        PressSpace(Qt::ControlModifier);   // replaces point 2
        QTest::keyClick(Form1, Qt::Key_A); // ignored
        keep();
    });
    AtDuringWait(1000, [&] { Run(Form1->ActionFinMesures); });

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    EXPECT_EQ(points,
              (std::vector<std::vector<float>>{{46, 92}, {46, 92, 46, 92}, {46, 92, 141, 282}}));
    ExpectWindowGivenBack();
    EXPECT_TRUE(Messages().empty());
}

// "Tableau" stays usable during a measurement, also when it is clicked while
// the loop waits for a block or pauses between blocks.
struct TableauCase {
    const char* Mode;
    uint32_t ClickMs; // inside a wait of the loop
};

class TableauDuringLoopTest : public AcquisitionTest,
                              public ::testing::WithParamInterface<TableauCase> {};

TEST_P(TableauDuringLoopTest, TableauShowsTheTable) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureA);
    ChooseMode(GetParam().Mode);
    bool shown = false;
    AtDuringWait(GetParam().ClickMs, [&] {
        EXPECT_TRUE(ExchangeUnderWay() || Form1->AcqState == workbench::AcqManualXY);
        QTest::mouseClick(Form1->ActionToolBar1->ButtonFor(Form1->ActionTable), Qt::LeftButton);
        shown = Form1->Table->Visible();
    });
    AtDuringWait(GetParam().ClickMs + 100, [&] { Run(Form1->ActionFinMesures); });

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    EXPECT_TRUE(shown);
    EXPECT_TRUE(Form1->Table->Visible());
    EXPECT_TRUE(Form1->ActionTable->Checked());
    ExpectWindowGivenBack();
}

INSTANTIATE_TEST_SUITE_P(Loops, TableauDuringLoopTest,
                         ::testing::Values(TableauCase{"Y1", 20}, TableauCase{"man.", 300}),
                         [](const auto& info) {
                             return std::string(info.param.Mode == std::string("Y1") ? "Block"
                                                                                     : "Manual");
                         });

TEST_F(AcquisitionTest, OutOfRangeMeanIsShownWholeInTheSmallestWindow) {
    StartWithSensors(&sim::FixtureB, &sim::FixtureB);
    Form1->SetBounds(Form1->Left(), Form1->Top(), 712, 550);
    ProcessMessages();
    const int layoutHeight = Form1->PanelY0->Font().Height;
    ChooseMode("man.");
    Rig.SetGenerator(0, sim::Generator::Dc(981)); // one count above the range
    Rig.SetGenerator(1, sim::Generator::Dc(270));
    std::vector<std::string> captions;
    std::vector<int> cut;
    EveryRound([&](int round) {
        if (round < 2)
            return;
        for (TPanel* panel : {Form1->PanelY0, Form1->PanelY1}) {
            const int width = QFontMetrics(ToQFont(panel->Font()))
                                  .horizontalAdvance(QString::fromStdString(panel->Caption()));
            captions.push_back(panel->Caption());
            cut.push_back(width - (panel->Width() - 8));
        }
        Run(Form1->ActionFinMesures);
    });

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[0], "3,0000003E12 °C"); // ten over-range values summed in single precision
    EXPECT_EQ(captions[1], "21,3 °C");
    for (size_t i = 0; i < 2; ++i)
        EXPECT_LE(cut[i], 0) << captions[i];
    EXPECT_LT(Form1->PanelY0->Font().Height, layoutHeight);
    EXPECT_EQ(Form1->PanelY1->Font().Height, Form1->PanelY0->Font().Height);
}

TEST_F(AcquisitionTest, ManualModeAfterSixtySecondsSendsTheLastRow) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    ChooseInterval(19); // "60 s"
    ChooseMode("man.");
    At(20, [this] { Run(Form1->ActionFinMesures); }); // runs once the first block came
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    const std::vector<sim::FrameRecord> blocks = BlockFrames();
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(CodesOf(blocks[0]), CodesOfRow(18));
    // The manual mode set its own number of measurements; the interval stays.
    EXPECT_EQ(Form1->TimeBaseIndex, 19);
    EXPECT_EQ(Form1->NbMesures->Value(), 95);
}

// --------------------------------------------------- blocks that do not come

struct SilenceCase {
    const char* Name;
    const char* Mode;
    std::function<void(sim::SimRig&)> Fail;
};
void PrintTo(const SilenceCase& c, std::ostream* os) {
    *os << c.Name;
}

class SilenceTest : public AcquisitionTest, public ::testing::WithParamInterface<SilenceCase> {};

TEST_P(SilenceTest, OneMessageAndTheWindowGivenBack) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    ChooseMode(GetParam().Mode);
    Guard.Dialogs.Answer(ModalResult::Ok, SilentMessage);
    double failedMs = 0;
    At(300, [&] {
        failedMs = Rig.NowMs();
        GetParam().Fail(Rig);
    });

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    const std::vector<platform::MessageRequest> boxes = Messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, SilentMessage);
    EXPECT_EQ(boxes[0].Type, platform::MsgType::Information);
    ExpectWindowGivenBack();
    // The wait is bounded: what was under way (at most a block and the
    // manual pause), then one block's time and the link's limit, and the
    // link's presence tries that find the interface silent (330 ms).
    ASSERT_GT(failedMs, 0);
    EXPECT_LT(Rig.NowMs() - failedMs, 550 + 50 + 1100 + 330);
    // Nothing more is asked of the user while the interface stays silent.
    RunFor(5000);
    EXPECT_EQ(Messages().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SilenceTest,
    ::testing::Values(
        SilenceCase{"BlocksUnanswered", "YY",
                    [](sim::SimRig& rig) { rig.Faults().NoAnswer(sim::Command::Any); }},
        SilenceCase{"DeviceUnplugged", "YY", [](sim::SimRig& rig) { rig.Device().Disconnect(); }},
        SilenceCase{"ManualBlocksUnanswered", "man.",
                    [](sim::SimRig& rig) { rig.Faults().NoAnswer(sim::Command::Any); }}),
    [](const auto& info) { return std::string(info.param.Name); });

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int Count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++Count;
        return false;
    }
};

struct EndCase {
    const char* Name;
    std::function<void(TForm1&)> End;
};
void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.Name;
}

class TriggerWaitTest : public AcquisitionTest, public ::testing::WithParamInterface<EndCase> {};

// A trigger that never comes: the link waits 95 intervals + 2 s per block.
// Inside that wait the window is repainted, only the trigger settings and
// "Fin" act, and "Fin" ends the measurement at once.
TEST_P(TriggerWaitTest, TheWindowLivesAndFinEndsTheWaitAtOnce) {
    StartWithSensors(&sim::FixtureA, nullptr);
    Form1->CBDec->SetChecked(true);
    Form1->TriggerLevel = 600;
    Rig.SetGenerator(0, sim::Generator::Dc(100)); // never crosses the level
    PaintCounter paints(Form1->PaintBox1);
    const int64_t start = Rig.NowUs();
    int paintsBeforeResize = 0;
    AtDuringWait(1000, [&] {
        EXPECT_TRUE(ExchangeUnderWay()) << "inside the wait";
        paintsBeforeResize = paints.Count;
        Form1->SetBounds(0, 0, Form1->Width() + 120, Form1->Height() + 80);
        // Other input is dropped: the settings panel stays as it is, the
        // level goes up by the trigger settings' own button.
        QTest::mouseClick(Form1->ActionToolBar2->ButtonFor(Form1->ActionPanneauReglages),
                          Qt::LeftButton);
        QTest::mouseClick(Form1->SBnivdec->childAt(Form1->SBnivdec->width() / 2, 3),
                          Qt::LeftButton);
    });
    int paintsAfterResize = 0;
    bool settingsShown = false;
    AtDuringWait(1200, [&] {
        paintsAfterResize = paints.Count;
        settingsShown = Form1->PanelBoutons->Visible();
    });
    int64_t endUs = 0;
    AtDuringWait(1500, [&] {
        EXPECT_TRUE(ExchangeUnderWay());
        endUs = Rig.NowUs();
        GetParam().End(*Form1);
    });

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    EXPECT_GT(paintsAfterResize, paintsBeforeResize) << "repainted inside the wait";
    EXPECT_TRUE(settingsShown);
    EXPECT_LE(Rig.NowMs() - endUs / 1000.0, 100) << "ended within 100 ms";
    EXPECT_EQ(BlockFrames(start).size(), 1u) << "the first wait was the one ended";
    EXPECT_FALSE(InterfaceSilent());
    EXPECT_EQ(MeasurementRecord.PointCount[0], 0);
    ExpectWindowGivenBack();
    EXPECT_TRUE(Messages().empty());
    // The next measurement sends the level the user set during the wait.
    At(500, [this] { Run(Form1->ActionFinMesures); });
    Run(Form1->ActionRefaireMesure);
    const auto request = Rig.Log().LastBlockRequest();
    ASSERT_TRUE(request.has_value());
    EXPECT_NE(request->Level, 600);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, TriggerWaitTest,
    ::testing::Values(EndCase{"FinButton",
                              [](TForm1& form) {
                                  QTest::mouseClick(
                                      form.ActionToolBar2->ButtonFor(form.ActionFinMesures),
                                      Qt::LeftButton);
                              }},
                      EndCase{"Escape",
                              [](TForm1& form) { QTest::keyClick(&form, Qt::Key_Escape); }},
                      EndCase{"EscapeInTheNumberField",
                              [](TForm1& form) {
                                  form.NbMesures->setFocus();
                                  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                              }},
                      EndCase{"WindowClosed", [](TForm1& form) { form.close(); }}),
    [](const auto& info) { return std::string(info.param.Name); });

// -------------------------------------------------------------- graph pixels

TEST_F(AcquisitionTest, BlockDrawnAsALineAtItsValue) {
    StartWithSensors(&sim::FixtureA, nullptr);
    Form1->Style.CurveColor[0][0] = clRed;
    Form1->CBmonoCoup->SetChecked(true);
    // First half of the block at one level, second half at another.
    Rig.SetGenerator(0, sim::Generator::Indexed([](int64_t n) { return n <= 47 ? 767 : 256; }));
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    // The new series comes in points only: the user asks for its line alone.
    Form1->cbs1L1->SetChecked(true);
    Form1->cbs1p1->SetChecked(false);
    ProcessMessages();

    const workbench::GraphState& g = Form1->Graph;
    ASSERT_TRUE(g.FrameValid);
    const QImage bitmap = Form1->GraphBitmap->Image();
    const QImage& screen = Form1->PaintBox1->Surface();
    const int yHigh = workbench::ValueToY(g, 0, ConvertRawCount(0, 767)); // 5 V
    const int yLow = workbench::ValueToY(g, 0, ConvertRawCount(0, 256));  // -5 V
    ASSERT_LT(yHigh + 10, yLow);
    auto red = [](const QImage& image, int x, int y) {
        return RgbToColor(image.pixel(x, y)) == clRed;
    };
    for (double t : {2.0, 10.0, 20.0}) { // points 5, 21, 41
        const int x = workbench::TimeToX(g, t);
        EXPECT_TRUE(red(bitmap, x, yHigh)) << t;
        EXPECT_FALSE(red(bitmap, x, yLow)) << t;
        EXPECT_FALSE(red(bitmap, x, yHigh - 5)) << t;
        EXPECT_TRUE(red(screen, x + Form1->GraphMargin, yHigh + Form1->GraphMargin)) << t;
    }
    for (double t : {26.0, 40.0, 46.0}) {
        const int x = workbench::TimeToX(g, t);
        EXPECT_TRUE(red(bitmap, x, yLow)) << t;
        EXPECT_FALSE(red(bitmap, x, yHigh)) << t;
    }
    // The step between points 47 and 48 is joined by a stroke.
    const int xStep = (workbench::TimeToX(g, 23.0) + workbench::TimeToX(g, 23.5)) / 2;
    bool joined = false;
    for (int dx = -1; dx <= 1; ++dx)
        joined = joined || red(bitmap, xStep + dx, (yHigh + yLow) / 2);
    EXPECT_TRUE(joined);
    // Nothing beyond the last point (47 ms).
    EXPECT_FALSE(red(bitmap, workbench::TimeToX(g, 47.0) + 3, yLow));
}

TEST_F(AcquisitionTest, XYBlockDrawnAsMarkersAtBothValues) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureA);
    ChooseMode("XY");
    workbench::TPointStyle& style = Form1->Style.PointStyle[0][0];
    style.Shape = 0;
    style.HalfWidth = style.HalfHeight = 3;
    style.FillColor = clRed;
    style.OutlineColor = clRed;
    Form1->cbs1p1->SetChecked(true);
    Form1->CBmonoCoup->SetChecked(true);
    Rig.SetGenerator(0, sim::Generator::Dc(767)); // vertical: 5 V
    Rig.SetGenerator(1, sim::Generator::Dc(256)); // horizontal: -5 V
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    ProcessMessages();

    const workbench::GraphState& g = Form1->Graph;
    const QImage& screen = Form1->PaintBox1->Surface();
    const int x = workbench::XYValueToX(g, ConvertRawCount(1, 256));
    const int y = workbench::ValueToY(g, 0, ConvertRawCount(0, 767));
    EXPECT_LT(x, g.OriginX);
    EXPECT_LT(y, g.OriginY[0]);
    EXPECT_EQ(RgbToColor(screen.pixel(x, y)), clRed);
    EXPECT_EQ(RgbToColor(screen.pixel(x - 2, y + 2)), clRed);
    EXPECT_NE(RgbToColor(screen.pixel(x + 6, y)), clRed);
    EXPECT_NE(RgbToColor(screen.pixel(x, y - 6)), clRed);
}

} // namespace
} // namespace acqtest
