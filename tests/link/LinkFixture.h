// A link test: the simulated interface on the virtual clock, scripted dialogs,
// fresh link state, and the interface opened as the programs' start-up opens it.
#pragma once

#include "tampon.h"

#include "ScriptedDialogsFixture.h"
#include "core/Clock.h"
#include "d2xx/sim/SimRig.h"
#include "d2xx/sim/fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tampon;

class LinkTest : public ::testing::Test {
protected:
    LinkTest() { ResetLinkState(); }
    ~LinkTest() override { ResetLinkState(); }

    void SetUp() override { OpenInterfaceAsStartUpDoes(); }

    // The count, then the opening of the first listed device.
    static void OpenInterfaceAsStartUpDoes() {
        ASSERT_GE(GetDeviceCount(), 1);
        ASSERT_EQ(OpenFirstInterface(), OpenOutcome::Opened);
    }

    // What the start-up sets before the first identification.
    static void PresetTables() {
        for (int ch = 0; ch < 2; ++ch) {
            ChannelSlope[ch] = 1;
            ChannelOffset[ch] = 0;
            CalRawLow[ch] = 0;
            RangeHigh[ch] = StoredRangeHigh[ch] = 10;
            RangeLow[ch] = StoredRangeLow[ch] = -10;
        }
    }

    // Sensor A on channel 0, B on channel 1, both identified.
    void PlugBothSensors() {
        PresetTables();
        Rig.Plug(0, sim::FixtureA, sim::Generator::Dc(512));
        Rig.Plug(1, sim::FixtureB, sim::Generator::Dc(270));
        ASSERT_TRUE(IdentifySensor(0));
        ASSERT_TRUE(IdentifySensor(1));
    }

    double NowMs() { return Rig.NowMs(); }
    std::vector<std::string> FramesSince(int64_t us) { return Rig.Log().FramesHexSince(us); }
    platform::ScriptedDialogs& Dialogs() { return Guard.Dialogs; }
    std::vector<platform::MessageRequest> Boxes() { return Dialogs().Messages(); }

    sim::SimRig Rig;
    ScriptedDialogsGuard Guard;
};
