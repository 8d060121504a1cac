// The windows during a wait of the link: repainted, the admitted controls,
// Escape and the frame's close button act, every other input is dropped.
#include "gui/WaitKeeper.h"
#include "ScriptedDialogsFixture.h"
#include "core/Clock.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"

#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace vcl;

namespace {

struct Window : TForm {
    TButton* End;
    TButton* Other;
    TEdit* Field;
    int Painted = 0;
    bool Closed = false;
    bool Ended = false;
    int OtherClicks = 0;
    Window() {
        End = new TButton(this);
        End->SetBounds(10, 10, 80, 25);
        End->OnClick = [this] { Ended = true; };
        Other = new TButton(this);
        Other->SetBounds(100, 10, 80, 25);
        Other->OnClick = [this] { ++OtherClicks; };
        Field = new TEdit(this);
        Field->SetBounds(10, 50, 120, 22);
        OnPaint = [this] { ++Painted; };
        OnClose = [this](TCloseAction&) {
            Closed = true;
            Ended = true;
        };
    }
};

class WaitKeeperTest : public ::testing::Test {
protected:
    WaitKeeperTest() {
        Form.SetBounds(0, 0, 300, 200);
        Form.ShowForm();
        QApplication::processEvents();
    }

    // A wait of the link: polls every 50 virtual microseconds for at most
    // boundMs, with the wait seam's call in each round; the user's input
    // comes from a timer at inputAtMs. Returns the wait's length in ms.
    double Wait(uint32_t inputAtMs, const std::function<void()>& input, uint32_t boundMs = 3000) {
        TTimer user;
        user.FiresDuringWaits = true;
        user.SetInterval(inputAtMs);
        user.OnTimer = [&] {
            user.SetEnabled(false);
            input();
        };
        const int64_t start = Clock.NowUs();
        TWaitKeeper keeper([this] { return Form.Ended; }, {Form.End},
                           [this] { Form.Ended = true; });
        while (Clock.NowUs() - start < int64_t{boundMs} * 1000 && !platform::WhileWaiting())
            Clock.AdvanceUs(50);
        return static_cast<double>(Clock.NowUs() - start) / 1000;
    }

    platform::VirtualClock Clock;
    platform::ScopedClock Scope{Clock};
    ScriptedDialogsGuard Dialogs;
    Window Form;
};

TEST_F(WaitKeeperTest, TheEndButtonEscapeAndTheCloseButtonEndTheWaitAtOnce) {
    struct Case {
        const char* What;
        std::function<void(Window&)> Input;
        bool Closed;
    };
    const Case cases[] = {
        {"end button", [](Window& w) { QTest::mouseClick(w.End, Qt::LeftButton); }, false},
        {"Escape in a field",
         [](Window& w) {
             w.Field->setFocus();
             QTest::keyClick(w.Field, Qt::Key_Escape);
         },
         false},
        {"Escape on the window", [](Window& w) { QTest::keyClick(&w, Qt::Key_Escape); }, false},
        {"close button", [](Window& w) { w.close(); }, true},
    };
    for (const Case& c : cases) {
        Form.Ended = Form.Closed = false;
        const double ms = Wait(400, [&] { c.Input(Form); });
        EXPECT_TRUE(Form.Ended) << c.What;
        EXPECT_EQ(Form.Closed, c.Closed) << c.What;
        EXPECT_GE(ms, 400) << c.What;
        EXPECT_LE(ms, 400 + platform::WaitHandlerPeriodMs) << c.What;
        Form.ShowForm();
    }
}

TEST_F(WaitKeeperTest, OtherInputIsDroppedAndTheWaitGoesOn) {
    const double ms = Wait(400, [&] {
        QTest::mouseClick(Form.Other, Qt::LeftButton);
        Form.Field->setFocus();
        QTest::keyClicks(Form.Field, "12");
        QTest::keyClick(&Form, Qt::Key_Return);
    });
    EXPECT_EQ(ms, 3000);
    EXPECT_FALSE(Form.Ended);
    EXPECT_EQ(Form.OtherClicks, 0);
    EXPECT_EQ(Form.Field->Text(), "");
    // Once the wait is over, the same input acts again.
    QTest::mouseClick(Form.Other, Qt::LeftButton);
    QTest::keyClicks(Form.Field, "12");
    EXPECT_EQ(Form.OtherClicks, 1);
    EXPECT_EQ(Form.Field->Text(), "12");
}

TEST_F(WaitKeeperTest, TheWindowIsRepaintedWhileItWaits) {
    int painted = 0;
    Wait(200, [&] {
        painted = Form.Painted;
        Form.SetBounds(0, 0, 500, 300); // the user makes the window larger
    });
    EXPECT_GT(Form.Painted, painted);
    EXPECT_EQ(Form.Width(), 500);
}

TEST_F(WaitKeeperTest, TheProgramsTimersHoldTheirTicksUntilTheWaitIsOver) {
    TTimer tick;
    tick.SetInterval(100);
    std::vector<bool> insideWait;
    tick.OnTimer = [&] { insideWait.push_back(platform::InsideWait()); };
    Wait(
        5000, [] {}, 1000);
    EXPECT_TRUE(insideWait.empty()) << "ten periods inside the wait, no tick";
    ProcessMessages();
    EXPECT_EQ(insideWait, (std::vector<bool>{false})) << "one tick after it";
}

TEST_F(WaitKeeperTest, WithoutAKeeperTheWaitSeamEndsNothing) {
    EXPECT_FALSE(platform::WhileWaiting());
    {
        TWaitKeeper keeper([] { return true; }, {});
        EXPECT_TRUE(platform::WhileWaiting());
    }
    EXPECT_FALSE(platform::WhileWaiting());
}

} // namespace
