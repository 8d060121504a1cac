// The sweep loop and the front panel: what each block request carries, where
// the samples land on the screen, run and hold, the XY mode, the click zones,
// the knob pictures, the clipboard copies, and how the loop ends when a
// sensor or the interface goes away.
#include "ScopeFixture.h"

#include "core/Numbers.h"
#include "d2xx/sim/PeopleScenario.h"
#include "gui/Clipbrd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <set>

using namespace trevalume;
using namespace tampon;

namespace {

constexpr TColor Trace = RGB(0, 100, 0);

// Raw counts of the voltage sensor and where they land at 2 V per division:
// 700 -> 3,685 V, 67 px above the centre line; 400 -> -2,180 V, 40 below.
constexpr int RawHigh = 700;
constexpr int RowHigh = 152 - 67;
constexpr int RawLow = 400;
constexpr int RowLow = 152 + 40;

} // namespace

TEST_F(ScopeTest, EachBlockCarriesTheRowAndTriggerSettings) {
    PlugSines();
    Create();
    struct Case {
        const char* action;
        std::function<void()> apply;
        uint8_t a, b, c, channel;
        uint16_t level;
        uint8_t edge;
    };
    const Case cases[] = {
        {"start values", [] {}, 5, 128, 1, 0, 512, 0},
        {"200 ms per division", [&] { ClickInWindow(696, 124); }, 6, 160, 8, 0, 512, 0},
        {"falling edge", [&] { Click(Form->frontdesc, QPoint(6, 12)); }, 6, 160, 8, 0, 512, 1},
        {"channel b", [&] { Click(Form->voiesynchroB, QPoint(5, 5)); }, 6, 160, 8, 1, 512, 1},
        {"10 ms per division", [&] { ClickInWindow(704, 52); }, 5, 128, 2, 1, 512, 1},
        {"Automatique off", [&] { Click(Form->synchroauto, QPoint(8, 12)); }, 5, 128, 2, 1, 0, 1},
        {"level up", [&] { Form->UpDown2->ClickButton(btNext); }, 5, 128, 2, 1, 522, 1},
        {"rising edge", [&] { Click(Form->frontmont, QPoint(6, 12)); }, 5, 128, 2, 1, 522, 0},
        {"1 ms per division", [&] { ClickInWindow(756, 76); }, 5, 128, 1, 1, 522, 0},
        {"channel a", [&] { Click(Form->voiesynchroA, QPoint(5, 5)); }, 5, 128, 1, 0, 522, 0},
    };
    // Settings changed between two sweeps reach the next block.
    int sweep = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        c.apply();
        ProcessMessages();
        const int64_t t = Rig.NowUs();
        Sweep(2);
        const auto request = Rig.Log().LastBlockRequest();
        ASSERT_TRUE(request.has_value());
        EXPECT_GE(request->TimeUs, t);
        EXPECT_EQ(request->A, c.a);
        EXPECT_EQ(request->B, c.b);
        EXPECT_EQ(request->C, c.c);
        EXPECT_EQ(request->TriggerChannel, c.channel);
        EXPECT_EQ(request->Level, c.level);
        EXPECT_EQ(request->Edge, c.edge);
        sweep += 2;
    }
    EXPECT_EQ(Form->SweepCount, sweep);
    // The oscilloscope's link has no raw-pair reading and no memory write.
    EXPECT_EQ(Rig.Log().Count(sim::Command::AA), 0);
    EXPECT_EQ(Rig.Log().Count(sim::Command::E3E6), 0);
    EXPECT_TRUE(Guard.Dialogs.Messages().empty());
}

TEST_F(ScopeTest, EverySweepQueriesPresenceThenRequestsOneBlock) {
    PlugSines();
    Create();
    const int64_t t = Rig.NowUs();
    Sweep(3);
    std::vector<std::string> kinds;
    for (const sim::FrameRecord& f : Rig.Log().FramesSince(t))
        kinds.push_back(sim::CommandName(f.Kind));
    EXPECT_EQ(kinds,
              (std::vector<std::string>{"E1", "E5", "C0", "E1", "E5", "C0", "E1", "E5", "C0"}));
    EXPECT_FALSE(Form->Acquiring);
    EXPECT_FALSE(Form->SweepLoopRunning());
    EXPECT_TRUE(Form->Timer->Enabled()) << "the watch runs again once the loop has ended";
}

TEST_F(ScopeTest, SamplesLandAtTheirRowsWithPositionsAndGroundSwitches) {
    PlugBoth(sim::Generator::Dc(RawHigh), sim::Generator::Dc(RawLow));
    Create();
    Click(Form->synchroauto, QPoint(8, 12)); // untriggered blocks: a constant never crosses
    Click(Form->BtYY);
    Sweep(1);
    EXPECT_EQ(ScreenPixel(100, RowHigh), Trace);
    EXPECT_EQ(ScreenPixel(100, RowLow), Trace);
    EXPECT_NE(ScreenPixel(100, RowHigh - 1), Trace);
    EXPECT_EQ(Form->OriginY[0], 152);
    EXPECT_EQ(Form->SweepSet.PointCount, 95);
    EXPECT_EQ(Form->SweepSet.PointTime[94], 47.0f);

    // Channel a six pixels up and grounded: a flat line at its position.
    ClickInWindow(540, 264); // reglageYaplus5
    ClickInWindow(540, 276); // reglageYaplus1
    Form->RadioGroupYa->SetItemIndex(1);
    Sweep(1);
    EXPECT_EQ(Form->VerticalOffset[0], 6);
    EXPECT_TRUE(Form->GroundA);
    EXPECT_EQ(ScreenPixel(100, 152 - 6), Trace) << "channel a grounded at its position";
    EXPECT_EQ(ScreenPixel(100, RowLow), Trace);
    Form->RadioGroupYa->SetItemIndex(0);
    Form->RadioGroupYb->SetItemIndex(1);
    Sweep(1);
    EXPECT_FALSE(Form->GroundA);
    EXPECT_TRUE(Form->GroundB);
    EXPECT_EQ(ScreenPixel(100, RowHigh - 6), Trace);
    EXPECT_EQ(ScreenPixel(100, 152), Trace);
    // What the sweep drew is on the screen, two pixels in.
    EXPECT_EQ(RgbToColor(LastSurface.pixel(102, 154)), Trace);
}

TEST_F(ScopeTest, XYShowsChannelAAcrossAndChannelBUp) {
    PlugSines();
    Create();
    Click(Form->synchroauto, QPoint(8, 12));
    ASSERT_EQ(Form->TriggerLevel, 0);
    // "XY" while running checks "Automatique" again.
    Sweep(2, [&](int n) {
        if (n == 1)
            Click(Form->BtXY);
    });
    EXPECT_EQ(Form->AcqMode, 3);
    EXPECT_TRUE(Form->synchroauto->Checked());
    EXPECT_EQ(Form->TriggerLevel, 512);
    EXPECT_FALSE(Form->UpDown2->Visible());

    // The ellipse: every sample's square at its XY position, nothing left of
    // x = 200 - 110 or right of 200 + 110 (5,87 V at 18,2 px/V).
    int lit = 0;
    int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
    const QImage image = LastScreen;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (RgbToColor(image.pixel(x, y)) == Trace) {
                ++lit;
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    EXPECT_GT(lit, 95);
    EXPECT_NEAR((minX + maxX) / 2.0, 200, 3);
    EXPECT_NEAR((minY + maxY) / 2.0, 152, 3);
    EXPECT_NEAR(maxX - minX, 2 * 107, 4) << "300 counts of channel a";
    EXPECT_NEAR(maxY - minY, 2 * 71, 4) << "200 counts of channel b";

    // Both grounded: one square at (200, 152) whatever the positions of b;
    // channel a's position moves it right.
    Form->RadioGroupYa->SetItemIndex(1);
    Form->RadioGroupYb->SetItemIndex(1);
    ClickInWindow(540, 296); // reglageYamoins5
    Sweep(1);
    std::set<std::pair<int, int>> squares;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (ScreenPixel(x, y) == Trace)
                squares.insert({x, y});
    EXPECT_EQ(squares,
              (std::set<std::pair<int, int>>{{194, 151}, {195, 151}, {194, 152}, {195, 152}}));
}

TEST_F(ScopeTest, ModeButtonsColourAndResumeOnlyWhileTheLoopRuns) {
    PlugSines();
    Create();
    auto captionColours = [&] {
        std::vector<TColor> colours;
        for (TSpeedButton* button : {Form->BtYa, Form->BtYb, Form->BtYY, Form->BtXY})
            colours.push_back(button->Font().Color);
        return colours;
    };
    const std::vector<TColor> plain(4, clWindowText);

    // Stopped: "XY" only sets the mode; the trigger settings stay as they are.
    Click(Form->synchroauto, QPoint(8, 12));
    Click(Form->SBTstop);
    Click(Form->BtXY);
    EXPECT_EQ(Form->AcqMode, 3);
    EXPECT_FALSE(Form->synchroauto->Checked());
    EXPECT_EQ(Form->TriggerLevel, 0);
    EXPECT_TRUE(Form->UpDown2->Visible());
    EXPECT_TRUE(Form->SBTstop->Down());
    EXPECT_EQ(captionColours(), plain);

    // Running: the clicked button red, the others plain, "run" pressed.
    std::vector<TColor> whileRunning;
    Sweep(2, [&](int n) {
        if (n == 1) {
            Click(Form->SBTstop);
            Click(Form->BtYb);
            whileRunning = captionColours();
            EXPECT_EQ(Form->AcqMode, 1);
            EXPECT_TRUE(Form->SBTrun->Down());
        }
    });
    EXPECT_EQ(whileRunning, (std::vector<TColor>{clWindowText, clRed, clWindowText, clWindowText}));
    EXPECT_EQ(captionColours(), plain) << "the stop puts every caption back";
}

TEST_F(ScopeTest, StopHoldsTheLastBlockAndRedrawsItWithNewSettings) {
    // Channel a rises with time: each block differs from the one before.
    Rig.Plug(0, sim::FixtureA,
             sim::Generator::OfTime([](double t) { return 512 + std::fmod(t * 1000, 100); }));
    Create();
    Click(Form->synchroauto, QPoint(8, 12));
    SampleBlock held{};
    int blocksBefore = 0;
    Sweep(6, [&](int n) {
        if (n == 2) {
            Click(Form->SBTstop);
            held = Form->HeldBlock;
            blocksBefore = Rig.Log().Count(sim::Command::C0);
        }
        if (n == 4)
            ClickInWindow(440, 264); // Ya1V: twice the scale
    });
    EXPECT_EQ(Form->HeldBlock, held) << "stop keeps the block";
    EXPECT_EQ(Rig.Log().Count(sim::Command::C0), blocksBefore + 4) << "blocks still requested";
    EXPECT_DOUBLE_EQ(Form->ScaleY[0], 36.4);
    const float first = held[0][0];
    const int row = static_cast<int>(152 - platform::RoundHalfEven(first * 36.4));
    EXPECT_EQ(ScreenPixel(6, row), Trace) << "the held trace at the new scale";

    // A time-base click resumes the display.
    ClickInWindow(720, 56); // BaseTemps5ms
    EXPECT_TRUE(Form->SBTrun->Down());
}

TEST_F(ScopeTest, StoppingShowsTheEmptyScreen) {
    PlugSines();
    Create();
    Sweep(2);
    // Stopped with "run" pressed: the bitmap holds the empty face, the screen
    // shows the panel under the paint box again.
    EXPECT_EQ(Form->GraphBitmap.Image(), Form->ScreenBackground.Image());
    const QImage panel = Form->ArrierePlan->Picture().copy(16, 28, 385, 308);
    EXPECT_EQ(Form->PaintBox1->Surface().convertToFormat(QImage::Format_RGB32),
              panel.convertToFormat(QImage::Format_RGB32));
    // Stopped with "stop" pressed: the screen shows the empty face.
    Sweep(2, [&](int n) {
        if (n == 1)
            Click(Form->SBTstop);
    });
    EXPECT_EQ(Form->PaintBox1->Surface().copy(2, 2, 381, 304).convertToFormat(QImage::Format_RGB32),
              Form->ScreenBackground.Image().convertToFormat(QImage::Format_RGB32));
}

TEST_F(ScopeTest, EveryClickZoneActsWhereItLies) {
    PlugSines();
    Create();
    for (size_t i = 0; i < PanelLayout::ClickZones.size(); ++i) {
        const PanelLayout::ClickZone& zone = PanelLayout::ClickZones[i];
        SCOPED_TRACE(std::string(zone.Name));
        Form->XShift = 100;
        Form->VerticalOffset = {0, 0};
        ClickInWindow(zone.Bounds.Left + zone.Bounds.Width / 2,
                      zone.Bounds.Top + zone.Bounds.Height / 2);
        switch (zone.Kind) {
        case PanelLayout::ZoneKind::Sensitivity:
            EXPECT_DOUBLE_EQ(Form->ScaleY[static_cast<size_t>(zone.Channel)], 36.4 / zone.Value);
            break;
        case PanelLayout::ZoneKind::TimeBase:
            EXPECT_DOUBLE_EQ(Form->ScaleX, 381 / (10 * zone.Value));
            break;
        case PanelLayout::ZoneKind::VerticalPosition:
            EXPECT_EQ(Form->VerticalOffset[static_cast<size_t>(zone.Channel)], zone.Value);
            break;
        case PanelLayout::ZoneKind::HorizontalShift:
            EXPECT_EQ(Form->XShift, 100 + zone.Value);
            break;
        case PanelLayout::ZoneKind::ShiftReset:
            EXPECT_EQ(Form->XShift, 0);
            break;
        }
    }
    // The knob pictures came from the files: the last Yb file is "bt20V.jpg".
    EXPECT_EQ(Form->FondBtYb->Picture().convertToFormat(QImage::Format_RGB32),
              LoadPictureFile("bt20V.jpg").convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(Form->TimeStepMs, 20);
    EXPECT_EQ(Form->SweepSet.DeltaTIndex, 5);
}

TEST_F(ScopeTest, MissingKnobPictureKeepsThePreviousSetting) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"ecran1.bmp", "bt1V.jpg"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(KESTROVA_DATA_DIR "/") + name,
                                QDir(folder.path()).filePath(name)));
    {
        QFile damaged(QDir(folder.path()).filePath("basetemps50ms.jpg"));
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write("\xFF\xD8\xFF garbage");
    }
    PicturesFrom(folder.path());
    PlugSines();
    Create();
    ClickInWindow(700, 264); // Yb1V
    ASSERT_DOUBLE_EQ(Form->ScaleY[1], 36.4);
    const QImage knob = Form->FondBtYb->Picture();

    const std::string missing = QDir(folder.path()).filePath("bt2V.jpg").toStdString();
    Guard.Dialogs.Answer(platform::ModalResult::Ok, "\"" + missing + "\"");
    ClickInWindow(696, 280); // Yb2V
    EXPECT_DOUBLE_EQ(Form->ScaleY[1], 36.4) << "channel b stays at 1 V per division";
    EXPECT_EQ(Form->FondBtYb->Picture(), knob);
    ASSERT_EQ(Guard.Dialogs.Messages().size(), 1u);
    EXPECT_EQ(Guard.Dialogs.Messages()[0].Type, platform::MsgType::Error);

    // Inside the running loop: the box, then the loop goes on; a damaged
    // picture leaves the time base and "run"/"stop" as they were.
    Guard.Dialogs.Answer(platform::ModalResult::Ok, "Erreur JPEG #");
    Sweep(4, [&](int n) {
        if (n == 1)
            Click(Form->SBTstop);
        if (n == 2)
            ClickInWindow(684, 88); // BaseTemps50ms
    });
    EXPECT_EQ(Form->SweepCount, 4);
    EXPECT_DOUBLE_EQ(Form->ScaleX, 7.62);
    EXPECT_EQ(Form->SweepSet.DeltaTIndex, 0);
    EXPECT_TRUE(Form->SBTstop->Down());
}

TEST_F(ScopeTest, IntensityAndBrightness) {
    PlugSines();
    Create();
    Form->UpDown1->ClickButton(btNext);
    EXPECT_EQ(Form->GraphBitmap.Canvas().Pen.Width, 3) << "lines: the pen width";
    EXPECT_EQ(Form->PointHalfSize, 1);
    Click(Form->modgraph1);
    Form->UpDown1->ClickButton(btNext);
    EXPECT_EQ(Form->PointHalfSize, 4) << "points: the squares' half size";
    EXPECT_EQ(Form->GraphBitmap.Canvas().Pen.Width, 3);
    Form->UpDown3->ClickButton(btNext);
    EXPECT_EQ(Form->GraphBitmap.Canvas().Pen.Color, RGB(0, 130, 0));
    for (int i = 0; i < 20; ++i)
        Form->UpDown3->ClickButton(btNext);
    EXPECT_EQ(Form->GraphBitmap.Canvas().Pen.Color, RGB(0, 240, 0));
}

TEST_F(ScopeTest, TriggerChannelFollowsTheMouseOnly) {
    PlugSines();
    Create();
    QApplication::setActiveWindow(Form);
    Form->voiesynchroA->SetFocus();
    QTest::keyClick(Form->voiesynchroA, Qt::Key_Down);
    ProcessMessages();
    EXPECT_TRUE(Form->voiesynchroB->Checked()) << "the keyboard moved the check";
    EXPECT_EQ(Form->TriggerChannel, 0);
    Click(Form->voiesynchroA);
    ProcessMessages();
    Click(Form->voiesynchroB);
    ProcessMessages();
    EXPECT_EQ(Form->TriggerChannel, 1);
}

TEST_F(ScopeTest, CopiesPutPicturesOnTheClipboard) {
    PlugSines();
    Create();
    Guard.Dialogs
        .Answer(platform::ModalResult::Ok, "L'image du graphique\r\nest dans le presse-papiers")
        .Answer(platform::ModalResult::Ok,
                "L'image de l'oscilloscope\r\nest dans le presse-papiers");
    Sweep(2, [&](int n) {
        if (n == 1)
            Click(Form->SBTstop);
    });
    Form->Copierloscillogramme1->Click();
    const QImage screen = Clipboard()->Picture().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(screen.size(), QSize(385, 308));
    EXPECT_EQ(RgbToColor(screen.pixel(0, 0)), clWhite);
    EXPECT_EQ(RgbToColor(screen.pixel(1, 150)), clWhite);
    EXPECT_EQ(screen.copy(2, 2, 381, 304),
              Form->GraphBitmap.Image().convertToFormat(QImage::Format_RGB32));

    Click(Form->SBTrun);
    Form->Copier1->Click();
    const QImage window = Clipboard()->Picture().convertToFormat(QImage::Format_RGB32);
    EXPECT_GE(window.width(), 805);
    EXPECT_GE(window.height(), 385);
    EXPECT_TRUE(Form->SBTrun->Down()) << "run pressed again";
    const auto& dialogs = Guard.Dialogs.Messages();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[1].Type, platform::MsgType::Information);
}

// The window copy renders the screen with its last trace, and leaves what
// the screen shows as it was: stopped with "run" pressed, the panel under it.
TEST_F(ScopeTest, WindowCopyShowsTheLastTraceAndLeavesTheScreenAsItWas) {
    PlugSines();
    Create();
    Sweep(2);
    ASSERT_TRUE(Form->SBTrun->Down());
    const QImage shown = Form->PaintBox1->Surface().convertToFormat(QImage::Format_RGB32);
    Guard.Dialogs.Answer(platform::ModalResult::Ok,
                         "L'image de l'oscilloscope\r\nest dans le presse-papiers");
    Form->Copier1->Click();
    const QImage window = Clipboard()->Picture().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(window.copy(16 + 2, 28 + 2, 381, 304),
              Form->GraphBitmap.Image().convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(Form->SBTrun->Down());
    EXPECT_EQ(Form->PaintBox1->Surface().convertToFormat(QImage::Format_RGB32), shown);
}

TEST_F(ScopeTest, SweepsEndWithThePromptWhenNoSensorIsLeft) {
    Rig.Plug(0, sim::FixtureA, sim::Generator::Sine(512, 300, 50));
    Create();
    Guard.Dialogs.Answer(platform::ModalResult::Cancel, NoSensorPrompt);
    Sweep(1000, [&](int n) {
        if (n == 3)
            Rig.Unplug(0);
    });
    EXPECT_FALSE(Form->Acquiring);
    EXPECT_LT(Form->SweepCount, 10);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{NoSensorPrompt});
    EXPECT_EQ(Form->Caption(), SensorsCaption("Pas de capteur", "Pas de capteur"));
    // Nothing more is shown afterwards.
    RunFor(5000);
    EXPECT_EQ(MessageTexts().size(), 1u);
}

// A trigger that never comes (a constant below the level): every block
// request gives up after its bound, the screen keeps the held block, and
// "O/1" still stops the loop; nothing is shown.
TEST_F(ScopeTest, ATriggerThatNeverComesLeavesTheLoopStoppable) {
    PlugBoth(sim::Generator::Dc(300), sim::Generator::Dc(300));
    Create();
    const double start = Rig.NowMs();
    Sweep(2);
    EXPECT_FALSE(Form->Acquiring);
    EXPECT_EQ(Rig.Log().Count(sim::Command::C0), 2);
    EXPECT_EQ(Rig.Log().LastBlockRequest()->Level, 512);
    // Each wait: 95 intervals of 0,5 ms, one second, one more for the level.
    EXPECT_GE(Rig.NowMs() - start, 2 * 2047.5);
    EXPECT_LT(Rig.NowMs() - start, 2 * 2047.5 + 500);
    EXPECT_EQ(Form->HeldBlock, SampleBlock{}) << "no block came";
    EXPECT_EQ(ScreenPixel(100, 152), Trace) << "the held block, at 0";
    EXPECT_TRUE(Guard.Dialogs.Messages().empty());
}

// Inside the wait for a trigger that never comes, "O/1", "Quitter" and the
// frame's close button end the loop at once; nothing is asked of the
// interface afterwards.
TEST_F(ScopeTest, StopQuitAndCloseActInsideATriggerWait) {
    struct Case {
        const char* What;
        std::function<void(TForm1&)> End;
        int Closings; // of the interface
    };
    const Case cases[] = {
        {"O/1", [](TForm1& form) { Click(form.onoff); }, 0},
        {"close button", [](TForm1& form) { form.close(); }, 0},
        {"Quitter", [](TForm1& form) { form.Quitter1->Click(); }, 1},
    };
    PlugBoth(sim::Generator::Dc(300), sim::Generator::Dc(300));
    Create();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Form->ShowForm();
        const int blocks = Rig.Log().Count(sim::Command::C0);
        double endMs = 0;
        bool waiting = false;
        TTimer user;
        user.FiresDuringWaits = true;
        user.SetInterval(1000);
        user.OnTimer = [&] {
            user.SetEnabled(false);
            waiting = ExchangeUnderWay();
            endMs = Rig.NowMs();
            c.End(*Form);
        };
        Click(Form->onoff);
        EXPECT_TRUE(waiting);
        EXPECT_FALSE(Form->Acquiring);
        EXPECT_LE(Rig.NowMs() - endMs, 100);
        EXPECT_EQ(Rig.Log().Count(sim::Command::C0), blocks + 1) << "the first wait was ended";
        EXPECT_EQ(Rig.Log().CallCount(sim::ApiCall::Close), c.Closings);
        EXPECT_EQ(Form->onoff->Font().Color, clWindowText);
    }
    EXPECT_EQ(Rig.Log().Api().back().Call, sim::ApiCall::Close) << "nothing after the closing";
    EXPECT_TRUE(Guard.Dialogs.Messages().empty());
    EXPECT_FALSE(InterfaceSilent());
}

// "O/1" inside the presence query that opens a sweep: the sweep asks for no
// block and the loop ends without drawing a sweep.
TEST_F(ScopeTest, StopDuringThePresenceQueryAsksForNoBlock) {
    PlugBoth(sim::Generator::Dc(300), sim::Generator::Dc(300));
    Create();
    Form->ShowForm();
    Rig.Faults().LateAnswer(60, sim::Command::E1, sim::Scope::Next());
    bool inQuery = false;
    TTimer user;
    user.FiresDuringWaits = true;
    user.SetInterval(30);
    user.OnTimer = [&] {
        user.SetEnabled(false);
        inQuery = ExchangeUnderWay() && Rig.Log().Frames().back().Kind == sim::Command::E1;
        Click(Form->onoff);
    };
    user.SetEnabled(true);
    Click(Form->onoff);
    EXPECT_TRUE(inQuery);
    EXPECT_FALSE(Form->Acquiring);
    EXPECT_FALSE(Form->SweepLoopRunning());
    EXPECT_EQ(Rig.Log().Count(sim::Command::C0), 0);
    EXPECT_EQ(Form->SweepCount, 0);
    EXPECT_TRUE(Guard.Dialogs.Messages().empty());
}

// Block requests that go unanswered while presence queries still answer:
// one lost block is skipped and the last trace stays; once LostBlocksLimit
// blocks in a row were lost the interface counts as no longer answering, and
// the loop ends with one message; nothing more is shown afterwards.
TEST_F(ScopeTest, LostBlocksAreSkippedUntilTheInterfaceStopsAnswering) {
    PlugSines();
    Create();
    Click(Form->synchroauto, QPoint(8, 12)); // untriggered: a silent block is no missing trigger
    SampleBlock held{};
    Sweep(6, [&](int n) {
        if (n == 2) {
            held = Form->HeldBlock;
            Rig.Faults().NoAnswer(sim::Command::C0, sim::Scope::Next());
        }
        if (n == 3) {
            EXPECT_EQ(Form->HeldBlock, held) << "the lost block leaves the last trace";
        }
        if (n == 4) {
            EXPECT_NE(Form->HeldBlock, held) << "the next block is shown";
        }
    });
    EXPECT_EQ(Form->SweepCount, 6);
    EXPECT_TRUE(Guard.Dialogs.Messages().empty());
    EXPECT_FALSE(Form->InterfaceLost());

    Guard.Dialogs.Answer(platform::ModalResult::Ok, InterfaceSilentText);
    const int before = Form->SweepCount;
    Sweep(1000, [&](int n) {
        if (n == 1)
            Rig.Faults().NoAnswer(sim::Command::C0);
    });
    EXPECT_FALSE(Form->Acquiring);
    EXPECT_EQ(Form->SweepCount - before, LostBlocksLimit);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{InterfaceSilentText});
    EXPECT_TRUE(Form->InterfaceLost());
    RunFor(5000);
    EXPECT_EQ(MessageTexts().size(), 1u);
    EXPECT_FALSE(Form->Timer->Enabled());
}

// Unplugged during the sweeps: one message ends the loop (no report of a
// failing channel), whichever exchange meets the loss; nothing follows.
struct UnplugCase {
    const char* What;
    int64_t AfterUs; // after the end of the second sweep
};

class ScopeUnplugged : public ScopeTest, public ::testing::WithParamInterface<UnplugCase> {};

TEST_P(ScopeUnplugged, SweepsEndWithOneMessage) {
    PlugSines();
    Create();
    Guard.Dialogs.Answer(platform::ModalResult::Ok, InterfaceSilentText);
    Sweep(1000, [&](int n) {
        if (n == 2)
            Rig.Faults().DeviceGone(Rig.NowUs() + GetParam().AfterUs);
    });
    EXPECT_FALSE(Form->Acquiring);
    EXPECT_EQ(Form->SweepCount, 2);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{InterfaceSilentText});
    RunFor(5000);
    EXPECT_EQ(MessageTexts().size(), 1u);
    EXPECT_FALSE(Form->Timer->Enabled());
    // Started again: the one message, no flood.
    Guard.Dialogs.Answer(platform::ModalResult::Ok, InterfaceSilentText);
    Click(Form->onoff);
    EXPECT_FALSE(Form->Acquiring);
    EXPECT_EQ(MessageTexts().size(), 2u);
}

// The two presence queries of a sweep take about 20 ms each, then the
// triggered block waits for its trigger.
INSTANTIATE_TEST_SUITE_P(Exchanges, ScopeUnplugged,
                         ::testing::Values(UnplugCase{"presence query", 1000},
                                           UnplugCase{"block", 60'000}),
                         [](const auto& info) { return info.index == 0 ? "Presence" : "Block"; });

// A channel whose presence query keeps failing during the sweeps: told once,
// the loop and the watch see the channel go, the sweeps go on with the other.
TEST_F(ScopeTest, FailingChannelInTheSweepsIsToldOnce) {
    PlugSines();
    Create();
    const std::string failure = "Problème de lecture sur la voie 1";
    Guard.Dialogs.Answer(platform::ModalResult::Ok, failure);
    Sweep(30, [&](int n) {
        if (n == 2)
            Rig.Faults().GarbageStatus(0xAA, sim::Command::E1);
    });
    EXPECT_EQ(Form->SweepCount, 30);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{failure});
    EXPECT_FALSE(SensorOnChannel[0]);
    EXPECT_EQ(Form->Caption(), SensorsCaption("Pas de capteur", "Voltmètre -10 V / +10 V"));
    EXPECT_FALSE(Form->InterfaceLost());
    // The idle watch adds nothing either.
    RunFor(15'000);
    EXPECT_EQ(MessageTexts().size(), 1u);
}

// A constant input under "Automatique" never triggers, whatever the device
// does with frames while its block is armed (drops them, ignores them, or
// holds them): the sweeps go on, keep the last trace and tell nothing.
class ScopeArmed : public ScopeTest, public ::testing::WithParamInterface<sim::ArmedPolicy> {};

TEST_P(ScopeArmed, ConstantInputGivesNoTriggerRounds) {
    Rig.Device().WhileArmed = GetParam();
    PlugSines();
    Create();
    Sweep(6, [&](int n) {
        if (n == 2)
            Rig.SetGenerator(0, sim::Generator::Dc(700));
    });
    EXPECT_EQ(Form->SweepCount, 6);
    EXPECT_FALSE(Form->Acquiring);
    EXPECT_TRUE(Guard.Dialogs.Messages().empty());
    EXPECT_FALSE(Form->InterfaceLost());
    EXPECT_TRUE(SensorOnChannel[0]);
    EXPECT_TRUE(SensorOnChannel[1]);
}

INSTANTIATE_TEST_SUITE_P(Policies, ScopeArmed,
                         ::testing::Values(sim::ArmedPolicy::Cancel, sim::ArmedPolicy::Discard,
                                           sim::ArmedPolicy::Queue),
                         [](const auto& info) { return sim::PolicyName(info.param); });

// Every block request cut short on its way: a beep each, then one message
// once LostBlocksLimit of them were lost, and the loop ends.
TEST_F(ScopeTest, PersistentShortWritesAreToldOnce) {
    PlugSines();
    Create();
    Guard.Dialogs.Answer(platform::ModalResult::Ok, InterfaceSilentText);
    Sweep(1000, [&](int n) {
        if (n == 1)
            Rig.Faults().ShortWrite(4, sim::Command::C0);
    });
    EXPECT_FALSE(Form->Acquiring);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{InterfaceSilentText});
    EXPECT_EQ(Guard.Dialogs.BeepCount(), LostBlocksLimit);
    RunFor(10'000);
    EXPECT_EQ(MessageTexts().size(), 1u);
    EXPECT_EQ(Guard.Dialogs.BeepCount(), LostBlocksLimit);
}

// The classroom signals (those of the simulated interface for people) at
// every time base: each sweep triggers and shows a new block, and the trace
// is a wave, not a flat line.
TEST_F(ScopeTest, ClassroomSignalsTriggerAndMoveAtEveryTimeBase) {
    PlugBoth(sim::ClassroomSignal(0), sim::ClassroomSignal(1));
    Create();
    for (const char* zone :
         {"Basetemps1ms", "Basetemps2ms", "BaseTemps5ms", "BaseTemps10ms", "BaseTemps20ms",
          "BaseTemps50ms", "BaseTemps100ms", "BaseTemps200ms"}) {
        SCOPED_TRACE(zone);
        Form->Zone(zone)->Click();
        const int blocks = Rig.Log().Count(sim::Command::C0, sim::FrameOutcome::Answered);
        std::vector<SampleBlock> shown;
        Sweep(3, [&](int) { shown.push_back(Form->HeldBlock); });
        EXPECT_EQ(Rig.Log().Count(sim::Command::C0, sim::FrameOutcome::Answered) - blocks, 3);
        ASSERT_EQ(shown.size(), 3u);
        EXPECT_NE(shown[0], shown[1]);
        EXPECT_NE(shown[1], shown[2]);
        for (const SampleBlock& block : shown) {
            const auto [low, high] = std::minmax_element(block[0].begin(), block[0].end());
            EXPECT_GT(*high - *low, 5.0f) << "volts from the lowest to the highest sample";
        }
    }
    EXPECT_TRUE(Guard.Dialogs.Messages().empty());
}

TEST_F(ScopeTest, QuitAndCloseStopARunningLoop) {
    PlugSines();
    Create();
    Sweep(1000, [&](int n) {
        if (n == 2)
            Form->Close();
    });
    EXPECT_FALSE(Form->Acquiring);
    EXPECT_EQ(Form->SweepCount, 2);
    EXPECT_EQ(Rig.Log().CallCount(sim::ApiCall::Close), 0) << "closing leaves the interface";

    Form->ShowForm();
    Sweep(1000, [&](int n) {
        if (n == 2)
            Form->Quitter1->Click();
    });
    EXPECT_FALSE(Form->Acquiring);
    EXPECT_EQ(Form->SweepCount, 4);
    EXPECT_EQ(Rig.Log().CallCount(sim::ApiCall::Close), 1);
    EXPECT_EQ(Rig.Log().Api().back().Call, sim::ApiCall::Close) << "nothing after the closing";
    EXPECT_EQ(Guard.Dialogs.BeepCount(), 2);
    RunFor(3000);
    EXPECT_EQ(Rig.Log().Api().back().Call, sim::ApiCall::Close) << "the watch stays off";
}

TEST_F(ScopeTest, StopAndStartBetweenTwoSweepsKeepsOneLoop) {
    PlugSines();
    Create();
    Sweep(4, [&](int n) {
        if (n == 2) {
            Click(Form->onoff);
            Click(Form->onoff);
            EXPECT_TRUE(Form->Acquiring);
        }
    });
    EXPECT_EQ(Form->SweepCount, 4);
    EXPECT_FALSE(Form->SweepLoopRunning());
}
