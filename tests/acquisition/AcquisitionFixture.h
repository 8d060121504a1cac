// The workbench started on the simulated interface, with the user's steps
// scheduled at virtual times: a block loop runs inside the action that
// started it, so what the user does meanwhile runs from its message
// processing.
#pragma once

#include "WorkbenchFixture.h"

#include "graph/GraphScale.h"
#include "model/TimeBase.h"

#include <QTest>

#include <functional>
#include <memory>
#include <vector>

using namespace kvel1;

namespace acqtest {

class AcquisitionTest : public wbtest::WorkbenchTest {
protected:
    void TearDown() override {
        Steps.clear();
        WorkbenchTest::TearDown();
    }

    // Runs step once, ms virtual milliseconds from now, from the next message
    // processing that finds it due.
    void At(uint32_t ms, std::function<void()> step) {
        auto timer = std::make_unique<TTimer>();
        TTimer* raw = timer.get();
        raw->SetInterval(ms);
        raw->OnTimer = [raw, step = std::move(step)] {
            raw->SetEnabled(false);
            step();
        };
        raw->SetEnabled(true);
        Steps.push_back(std::move(timer));
    }

    // As At, but also from inside a wait of the link (where the program's
    // own timers hold their ticks): what the user does while the interface
    // is waited for.
    void AtDuringWait(uint32_t ms, std::function<void()> step) {
        At(ms, std::move(step));
        Steps.back()->FiresDuringWaits = true;
    }

    // Runs step at every message processing that comes after at least one
    // virtual millisecond (in a loop: once a round), with the round's number
    // from 1.
    void EveryRound(std::function<void(int round)> step) {
        auto rounds = std::make_shared<int>(0);
        auto timer = std::make_unique<TTimer>();
        timer->SetInterval(1);
        timer->OnTimer = [rounds, step = std::move(step)] { step(++*rounds); };
        timer->SetEnabled(true);
        Steps.push_back(std::move(timer));
    }

    // The user's choice of a "Voie" item.
    void ChooseMode(const std::string& item) {
        const int index = Form1->RGVoie->Items.IndexOf(item);
        ASSERT_GE(index, 0) << item;
        Form1->RGVoie->SetItemIndex(index);
    }

    // The user opens the interval list and picks item index (-1: closes it
    // with nothing chosen).
    void ChooseInterval(int index) {
        Form1->CBdelta_t->DropDown();
        Form1->CBdelta_t->CloseUp(index);
    }

    // Runs the action as its tool-bar button does: only while it is enabled.
    static bool Run(TAction* action) {
        if (!action->Enabled() || !action->Visible())
            return false;
        action->Execute();
        return true;
    }

    void PressSpace(Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Form1, Qt::Key_Space, modifiers);
    }

    // The C0 frames the interface received since sinceUs.
    std::vector<sim::FrameRecord> BlockFrames(int64_t sinceUs = 0) {
        std::vector<sim::FrameRecord> frames;
        for (const sim::FrameRecord& frame : Rig.Log().FramesSince(sinceUs))
            if (frame.Kind == sim::Command::C0)
                frames.push_back(frame);
        return frames;
    }

    // The window is the user's again: every action of the idle state usable.
    void ExpectWindowGivenBack() {
        EXPECT_EQ(Form1->AcqState, 0);
        EXPECT_EQ(Form1->Acquiring, 0);
        EXPECT_FALSE(Form1->ActionFinMesures->Enabled());
        for (TAction* action :
             {Form1->ActionNouvelleMesure, Form1->ActionRefaireMesure, Form1->ActionQuitter,
              Form1->ActionApropos, Form1->ActionLire, Form1->ActionRAZ, Form1->ActionCopierTableau,
              Form1->ActionCopierImage})
            EXPECT_TRUE(action->Enabled()) << action->Caption();
        EXPECT_TRUE(Form1->RGVoie->Enabled());
        EXPECT_TRUE(Form1->RGvoieSynchro->Enabled());
        EXPECT_TRUE(Form1->PopupMenu1->AutoPopup);
        EXPECT_EQ(Form1->GraphShown, 1);
    }

    std::vector<std::unique_ptr<TTimer>> Steps;
};

// Timing bytes of a block frame "08 C0 ch A B C lo hi edge x".
struct BlockCodes {
    int A, B, C;
    friend bool operator==(const BlockCodes&, const BlockCodes&) = default;
};
inline BlockCodes CodesOf(const sim::FrameRecord& frame) {
    return {frame.Bytes.at(3), frame.Bytes.at(4), frame.Bytes.at(5)};
}
inline BlockCodes CodesOfRow(int row) {
    return {workbench::BlockCodeA[row], workbench::BlockCodeB[row], workbench::BlockCodeC[row]};
}
inline void PrintTo(const BlockCodes& codes, std::ostream* os) {
    *os << "{" << codes.A << ", " << codes.B << ", " << codes.C << "}";
}

} // namespace acqtest
