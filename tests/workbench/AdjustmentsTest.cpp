// The graph menu's adjustments of a channel on the simulated interface: the
// zero adjustment and the oxygen probe calibration with its dialog, what is
// written into the probe's memory and what the window then shows.
#include "WorkbenchFixture.h"

#include "Oxym.h"
#include "zero.h"

#include <QTest>

using Oxym::TOKRightDlg2;
using zero::TOKRightDlg;

namespace wbtest {
namespace {

constexpr const char* AirFrame = "01 AA AB";

// Fixture B named with "oxym" in lower case only.
constexpr sim::MemoryImage LowerCaseOxym =
    sim::fixture_detail::With(sim::FixtureB, 80, "   Sonde d'oxymetrie test");

// Bytes first..last (1-based) of a memory as text.
std::string MemoryText(const sim::MemoryImage& memory, int first, int last) {
    return std::string(memory.begin() + first - 1, memory.begin() + last);
}

class AdjustmentsTest : public WorkbenchTest {
protected:
    // Opens the graph's menu as a right click does.
    void OpenMenu() { Form1->PopupMenu1->OnPopup(); }

    // Runs `inDialog` while the oxygen dialog is shown.
    void WithOxygenDialog(std::function<void(TOKRightDlg2&)> inDialog) {
        TForm::SetModalDriver([inDialog](TForm& form) {
            auto* dialog = dynamic_cast<TOKRightDlg2*>(&form);
            ASSERT_NE(dialog, nullptr);
            inDialog(*dialog);
        });
    }

    // The oxygen probe fixture on channel 1 reading a steady count.
    void StartWithProbe(const sim::MemoryImage& probe, int count) {
        Rig.Plug(1, probe, sim::Generator::Dc(count));
        StartWithSensors(&sim::FixtureB, nullptr);
        ProcessMessages();
    }
};

// ------------------------------------------------------------------- menu

struct MenuCase {
    const char* Name;
    const sim::MemoryImage* Channel0;
    const sim::MemoryImage* Channel1;
    // Shown per channel: "z" zero adjustment, "o" oxygen calibration, "-" none.
    const char* Offered;
};

const MenuCase MenuCases[] = {
    {"TemperatureAndOxygenProbe", &sim::FixtureB, &sim::FixtureC, "zo"},
    {"OxygenProbeInMgLOnVoie1", &sim::FixtureM, &sim::FixtureA, "oz"},
    {"OnlyVoie2", nullptr, &sim::FixtureC, "-o"},
    {"LowerCaseNameIsNoProbe", &LowerCaseOxym, nullptr, "z-"},
};

class AdjustmentMenuTest : public AdjustmentsTest,
                           public ::testing::WithParamInterface<MenuCase> {};

TEST_P(AdjustmentMenuTest, EachChannelOffersOneAdjustmentByItsSensorName) {
    StartWithSensors(GetParam().Channel0, GetParam().Channel1);
    OpenMenu();
    TMenuItem* const zero[2] = {Form1->Zero1, Form1->Zero2};
    TMenuItem* const oxygen[2] = {Form1->EtalonOxy1, Form1->EtalonOxy2};
    std::string offered;
    for (int c = 0; c < 2; ++c) {
        EXPECT_FALSE(zero[c]->Visible() && oxygen[c]->Visible());
        offered += zero[c]->Visible() ? 'z' : oxygen[c]->Visible() ? 'o' : '-';
    }
    EXPECT_EQ(offered, GetParam().Offered);
    EXPECT_EQ(Form1->Zero1->ParentItem(), Form1->Axes1);
    EXPECT_EQ(Form1->EtalonOxy2->ParentItem(), Form1->AxeY21);
    EXPECT_EQ(Form1->Axes1->Caption(), "Voie Y1");
    EXPECT_EQ(Form1->Zero1->Caption(), "Ajuster le zéro");
    EXPECT_EQ(Form1->EtalonOxy1->Caption(), "Etalonner oxymètre");
}

INSTANTIATE_TEST_SUITE_P(Sensors, AdjustmentMenuTest, ::testing::ValuesIn(MenuCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// -------------------------------------------------------------------- zero

// The zero dialog names the sensor while the live tick goes on; after "OK"
// 25 readings 10 ms apart, and nothing else, set the offset so that the
// present input reads 0 on the live display; a beep ends it.
TEST_F(AdjustmentsTest, ZeroAdjustmentMeasuresThePresentInputAsZero) {
    Rig.Plug(0, sim::FixtureA, sim::Generator::Dc(600));
    StartWithSensors(&sim::FixtureA, nullptr);
    RunFor(800);
    EXPECT_EQ(Form1->PanelY0->Caption(), "1,73 V");
    int64_t okAt = 0;
    TForm::SetModalDriver([&](TForm& form) {
        auto* dialog = dynamic_cast<TOKRightDlg*>(&form);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Caption(), "Dialogue");
        EXPECT_EQ(dialog->Label1->Caption(), "Voltmètre -10 V / +10 V");
        // The live tick goes on while the dialog is shown.
        const int64_t shown = Rig.NowUs();
        RunFor(800);
        EXPECT_FALSE(Frames(Rig, shown).empty());
        okAt = Rig.NowUs();
        dialog->OKBtn->Click();
    });
    OpenMenu();
    ASSERT_TRUE(Form1->Zero1->Visible());
    Form1->Zero1->Click();
    const std::vector<std::string> frames = Frames(Rig, okAt);
    EXPECT_EQ(frames, std::vector<std::string>(25, AirFrame));
    EXPECT_FLOAT_EQ(ChannelOffset[0], -600 * ChannelSlope[0]);
    EXPECT_EQ(Guard.Dialogs.BeepCount(), 1);
    EXPECT_TRUE(Form1->Timer->Enabled());
    RunFor(800);
    EXPECT_EQ(Form1->PanelY0->Caption(), "0,00 V");
}

TEST_F(AdjustmentsTest, ACancelledZeroChangesNothingButStillBeeps) {
    Rig.Plug(1, sim::FixtureB, sim::Generator::Dc(300));
    StartWithSensors(nullptr, &sim::FixtureB);
    const float offset = ChannelOffset[1];
    int64_t cancelAt = 0;
    TForm::SetModalDriver([&](TForm& form) {
        auto* dialog = dynamic_cast<TOKRightDlg*>(&form);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Label1->Caption(), "Thermomètre -10 à 110 °C");
        cancelAt = Rig.NowUs();
        dialog->CancelBtn->Click();
    });
    Form1->Zero2->Click();
    EXPECT_TRUE(Frames(Rig, cancelAt).empty());
    EXPECT_EQ(ChannelOffset[1], offset);
    EXPECT_EQ(Guard.Dialogs.BeepCount(), 1);
}

// ---------------------------------------------------------- oxygen dialog

// "%": air and pure dioxygen, air checked and the reference panel in place
// of the temperature group. "mg/L": only the water button, checked, with the
// temperature group. "OK" is off until "VALIDER" each time; the raw count
// shows every 300 ms while the live tick is off.
TEST_F(AdjustmentsTest, OxygenDialogFollowsTheProbeUnit) {
    struct Seen {
        bool Air, Pure, Water, AirChecked, WaterChecked, PanelShown, GroupShown, Ok;
        std::string Panel;
    };
    const struct {
        const sim::MemoryImage* Probe;
        Seen Expected;
    } cases[] = {
        {&sim::FixtureC, {true, true, false, true, false, true, false, false, "20,9%"}},
        {&sim::FixtureM, {false, false, true, false, true, false, true, false, ""}},
    };
    for (const auto& c : cases) {
        Rig.Plug(1, *c.Probe, sim::Generator::Dc(640));
        if (!Form1)
            StartWithSensors(&sim::FixtureB, nullptr);
        RunFor(800);
        Seen seen{};
        WithOxygenDialog([&](TOKRightDlg2& dialog) {
            EXPECT_EQ(dialog.Caption(), "Etalonnage de l'oxymètre ");
            EXPECT_EQ(dialog.LabelChoix->Caption(), "---");
            seen = {dialog.RadioButtonAir->Enabled(),
                    dialog.RadioButtonO2pur->Enabled(),
                    dialog.RadioButtonEau->Enabled(),
                    dialog.RadioButtonAir->Checked(),
                    dialog.RadioButtonEau->Checked(),
                    dialog.Panel1->Visible(),
                    dialog.GroupBox2->Visible(),
                    dialog.OKBtn->Enabled(),
                    dialog.Panel1->Visible() ? dialog.Panel1->Caption() : ""};
            const int64_t shown = Rig.NowUs();
            RunFor(650);
            EXPECT_EQ(Frames(Rig, shown), std::vector<std::string>(2, AirFrame));
            EXPECT_EQ(dialog.LabelEtal->Caption(), "640");
            EXPECT_FALSE(Form1->Timer->Enabled());
            dialog.Button1->Click();
            EXPECT_EQ(dialog.LabelChoix->Caption(), "640");
            EXPECT_TRUE(dialog.OKBtn->Enabled());
            dialog.CancelBtn->Click();
        });
        OpenMenu();
        Form1->EtalonOxy2->Click();
        const Seen& e = c.Expected;
        EXPECT_EQ(seen.Air, e.Air);
        EXPECT_EQ(seen.Pure, e.Pure);
        EXPECT_EQ(seen.Water, e.Water);
        EXPECT_EQ(seen.AirChecked, e.AirChecked);
        EXPECT_EQ(seen.WaterChecked, e.WaterChecked);
        EXPECT_EQ(seen.PanelShown, e.PanelShown);
        EXPECT_EQ(seen.GroupShown, e.GroupShown);
        EXPECT_EQ(seen.Ok, e.Ok);
        EXPECT_EQ(seen.Panel, e.Panel);
        // Cancelled: the memory as it was, the live tick on again, the
        // dialog's timer off.
        EXPECT_EQ(Rig.Memory(1), *c.Probe);
        EXPECT_TRUE(Form1->Timer->Enabled());
        EXPECT_FALSE(Oxym::OKRightDlg2->TimerOxym->Enabled());
    }
}

// ---------------------------------------------------------- calibrations

// Air validated at count 700 on fixture C: the memory becomes fixture C2,
// the new line and range top apply at once, and once the live tick has read
// the probe again the display reads 20,9 %.
TEST_F(AdjustmentsTest, AirAt700WritesTheNewPointAndTheDisplayReads209) {
    StartWithProbe(sim::FixtureC, 700);
    Form1->SelectedSeries = 2;
    WithOxygenDialog([&](TOKRightDlg2& dialog) {
        dialog.RadioButtonO2pur->SetChecked(true);
        EXPECT_EQ(dialog.Panel1->Caption(), "100 %");
        dialog.RadioButtonAir->SetChecked(true);
        EXPECT_EQ(dialog.Panel1->Caption(), "20,9 %");
        RunFor(300);
        dialog.Button1->Click();
        dialog.OKBtn->Click();
    });
    Form1->EtalonOxy2->Click();
    EXPECT_EQ(Rig.Memory(1), sim::FixtureC2);
    EXPECT_EQ(ChannelSlope[1], 20.9f / 700.0f);
    EXPECT_EQ(ChannelOffset[1], 0.0f);
    EXPECT_EQ(RangeHigh[1], 30.0f);
    for (int s = 0; s < workbench::MaxSeries; ++s)
        EXPECT_EQ(MeasurementRecord.SensorMax[s][1], 30.0f) << s;
    EXPECT_EQ(MeasurementRecord.DisplayMax[1][1], 30.0f);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Guard.Dialogs.BeepCount(), 0);
    RunFor(800);
    EXPECT_EQ(Form1->PanelY1->Caption(), "20,9 %");
    EXPECT_NEAR(ChannelSlope[1], 0.0298571438, 1e-9);
}

// Pure dioxygen on the percent probe: the reference written is 100 % with the
// range top 103.
TEST_F(AdjustmentsTest, PureOxygenWrites100AndRangeTop103) {
    StartWithProbe(sim::FixtureC, 700);
    WithOxygenDialog([&](TOKRightDlg2& dialog) {
        dialog.RadioButtonO2pur->SetChecked(true);
        dialog.Button1->Click();
        dialog.OKBtn->Click();
    });
    Form1->EtalonOxy2->Click();
    const sim::MemoryImage& memory = Rig.Memory(1);
    EXPECT_EQ(MemoryText(memory, 39, 42), "02BC");
    EXPECT_EQ(MemoryText(memory, 43, 54), std::string("1,000E+002\0\0", 12));
    EXPECT_EQ(MemoryText(memory, 67, 78), std::string("1,030E+002\0\0", 12));
    EXPECT_EQ(RangeHigh[1], 103.0f);
    EXPECT_EQ(ChannelSlope[1], 100.0f / 700.0f);
}

// Water at 25 degrees on the mg/L probe: the temperature set with the
// up-down's arrows shows its concentration, and the reference written is
// 8.11 mg/L with the range top 15.
TEST_F(AdjustmentsTest, WaterAt25DegreesWrites811AndRangeTop15) {
    StartWithProbe(sim::FixtureM, 700);
    WithOxygenDialog([&](TOKRightDlg2& dialog) {
        EXPECT_EQ(dialog.Edit1->Text(), "20");
        for (int i = 0; i < 5; ++i)
            QTest::mouseClick(dialog.UpDown1->ArrowButton(btNext), Qt::LeftButton);
        EXPECT_EQ(dialog.Edit1->Text(), "25");
        EXPECT_EQ(dialog.LabelConcentration->Caption(), "8,11 mg/L ");
        dialog.Button1->Click();
        dialog.OKBtn->Click();
    });
    Form1->EtalonOxy2->Click();
    const sim::MemoryImage& memory = Rig.Memory(1);
    EXPECT_EQ(MemoryText(memory, 39, 42), "02BC");
    EXPECT_EQ(MemoryText(memory, 43, 54), std::string("8,110E+000\0\0", 12));
    EXPECT_EQ(MemoryText(memory, 67, 78), std::string("1,500E+001\0\0", 12));
    EXPECT_EQ(MemoryText(memory, 1, 38), MemoryText(sim::FixtureM, 1, 38));
    EXPECT_EQ(RangeHigh[1], 15.0f);
    EXPECT_EQ(ChannelSlope[1], 8.11f / 700.0f);
}

// A count equal to the low point's gives no line: refused with a message
// before anything is written; the probe keeps its calibration.
TEST_F(AdjustmentsTest, ACountOnTheLowPointIsRefusedBeforeWriting) {
    StartWithProbe(sim::FixtureC, 0);
    const float slope = ChannelSlope[1];
    WithOxygenDialog([&](TOKRightDlg2& dialog) {
        dialog.Button1->Click();
        EXPECT_EQ(dialog.LabelChoix->Caption(), "0");
        dialog.OKBtn->Click();
    });
    Guard.Dialogs.Answer(platform::ModalResult::Ok, "point d'étalonnage bas");
    const int64_t start = Rig.NowUs();
    Form1->EtalonOxy2->Click();
    for (const std::string& frame : Frames(Rig, start))
        EXPECT_EQ(frame.find("E6"), std::string::npos) << frame;
    EXPECT_EQ(Rig.Memory(1), sim::FixtureC);
    EXPECT_EQ(ChannelSlope[1], slope);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Type, platform::MsgType::Warning);
    EXPECT_TRUE(Form1->Timer->Enabled());
}

// One write in the middle of the 28 is not acknowledged: a beep, one
// message, the other bytes still written; the window then uses what the
// probe's memory holds, read back from it.
TEST_F(AdjustmentsTest, AnUnacknowledgedWriteIsToldAndTheMemoryReadBack) {
    struct Case {
        const char* Name;
        bool Stored; // the byte reached the memory, only its acknowledgement was lost
    };
    for (const Case c : {Case{"lost acknowledgement", true}, Case{"refused byte", false}}) {
        SCOPED_TRACE(c.Name);
        if (!Form1)
            StartWithProbe(sim::FixtureC, 700);
        Rig.Replace(1, sim::FixtureC);
        RunFor(800);
        WithOxygenDialog([&](TOKRightDlg2& dialog) {
            dialog.Button1->Click();
            // The writes come about 5 ms apart from the OK on: this window
            // holds one of them, the 14th.
            const int64_t okAt = Rig.NowUs();
            const sim::Scope middle = sim::Scope::Window(okAt + 65000, okAt + 69000);
            if (c.Stored)
                Rig.Faults().GarbageStatus(0x00, sim::Command::E6, middle);
            else
                Rig.Faults().WriteProtect(sim::WriteProtectMode::Nak, middle);
            dialog.OKBtn->Click();
        });
        Guard.Dialogs.Answer(platform::ModalResult::Ok, "1 des 28 octets");
        const int64_t start = Rig.NowUs();
        Form1->EtalonOxy2->Click();
        int writes = 0;
        for (const std::string& frame : Frames(Rig, start))
            writes += frame.rfind("03 E6", 0) == 0 ? 1 : 0;
        EXPECT_EQ(writes, 28);
        EXPECT_EQ(Guard.Dialogs.BeepCount(), 1);
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0].Type, platform::MsgType::Warning);
        int differing = 0;
        for (size_t i = 0; i < sim::MemorySize; ++i)
            differing += Rig.Memory(1)[i] != sim::FixtureC2[i] ? 1 : 0;
        EXPECT_EQ(differing, c.Stored ? 0 : 1);
        // What the window uses is what an identification of the memory gives.
        const float slope = ChannelSlope[1];
        const float top = RangeHigh[1];
        EXPECT_EQ(MeasurementRecord.SensorMax[0][1], top);
        ASSERT_TRUE(IdentifySensor(1));
        EXPECT_EQ(ChannelSlope[1], slope);
        EXPECT_EQ(RangeHigh[1], top);
        if (c.Stored) {
            EXPECT_NEAR(slope, 0.0298571438, 1e-9);
        }
        Guard.Dialogs.Clear();
    }
}

} // namespace
} // namespace wbtest
