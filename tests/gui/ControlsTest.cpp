// Check boxes, radio buttons and groups, speed buttons and combo boxes run
// their handlers as the windows expect: from code as from the user, or not
// at all.
#include "gui/Buttons.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"

#include <QAbstractItemView>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace vcl;

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitFonts();
        Form = new TForm;
        Form->SetClientSize(400, 300);
    }
    void TearDown() override { delete Form; }
    TForm* Form = nullptr;
};

TEST_F(ControlsTest, CheckBoxSetFromCodeRunsOnClickOnlyOnChange) {
    auto* box = new TCheckBox(Form);
    box->SetBounds(10, 10, 120, 20);
    box->SetCaption("Déclenché");
    std::vector<bool> seen;
    box->OnClick = [&] { seen.push_back(box->Checked()); };

    box->SetChecked(true);
    box->SetChecked(true); // same value: nothing
    box->SetChecked(false);
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));

    Form->show();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, 10));
    EXPECT_EQ(seen, (std::vector<bool>{true, false, true}));
}

TEST_F(ControlsTest, RadioGroupItemIndexFromCode) {
    auto* group = new TRadioGroup(Form);
    group->SetBounds(10, 10, 150, 120);
    group->SetCaption("Voie");
    int clicks = 0;
    std::vector<int> indexSeen;
    group->OnClick = [&] {
        ++clicks;
        indexSeen.push_back(group->ItemIndex());
    };
    for (const char* item : {"Y1", "Y2", "YY"})
        group->Items.Add(item);
    EXPECT_EQ(group->ItemIndex(), -1);

    struct Step {
        int Set;
        int Expected;
        int Clicks;
    };
    const Step steps[] = {
        {0, 0, 1},   // a new item: checked, handler runs
        {0, 0, 1},   // the same item: nothing
        {2, 2, 2},   // another one
        {-1, -1, 2}, // none: all unchecked, no handler
        {7, 2, 3},   // beyond the list: the last item
    };
    for (const Step& step : steps) {
        group->SetItemIndex(step.Set);
        EXPECT_EQ(group->ItemIndex(), step.Expected) << "set " << step.Set;
        EXPECT_EQ(clicks, step.Clicks) << "set " << step.Set;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(group->Button(i)->isChecked(), i == step.Expected) << "set " << step.Set;
    }
    EXPECT_EQ(indexSeen, (std::vector<int>{0, 2, 2}));

    // The user's click on another item runs it; on the checked one, not.
    Form->show();
    const QPoint tick(6, group->Button(0)->height() / 2);
    QTest::mouseClick(group->Button(0), Qt::LeftButton, {}, tick);
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_EQ(clicks, 4);
    QTest::mouseClick(group->Button(0), Qt::LeftButton, {}, tick);
    EXPECT_EQ(clicks, 4);

    // Refilling: cleared items leave no choice, and filling keeps none.
    group->Items.Clear();
    group->Items.Add("Y2");
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_FALSE(group->Button(0)->isChecked());
    EXPECT_EQ(clicks, 4);
}

TEST_F(ControlsTest, RadioButtonsCheckedFromCode) {
    auto* a = new TRadioButton(Form);
    auto* b = new TRadioButton(Form);
    a->SetBounds(10, 10, 60, 20);
    b->SetBounds(10, 40, 60, 20);
    int clicksA = 0, clicksB = 0;
    a->OnClick = [&] { ++clicksA; };
    b->OnClick = [&] { ++clicksB; };

    a->SetChecked(true);
    EXPECT_TRUE(a->Checked());
    EXPECT_EQ(clicksA, 1);
    b->SetChecked(true); // turns a off, without running a's handler
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_EQ(clicksA, 1);
    EXPECT_EQ(clicksB, 1);

    b->SetChecked(false); // all off: possible from code, runs nothing
    EXPECT_FALSE(a->Checked());
    EXPECT_FALSE(b->Checked());
    EXPECT_EQ(clicksB, 1);

    Form->show();
    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(6, 10));
    EXPECT_TRUE(a->Checked());
    EXPECT_EQ(clicksA, 2);
    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(6, 10)); // already checked
    EXPECT_EQ(clicksA, 2);
}

TEST_F(ControlsTest, SpeedButtonDownRunsNoHandlerAndGroupsExclude) {
    std::vector<TSpeedButton*> buttons;
    int clicks = 0;
    for (int i = 0; i < 3; ++i) {
        auto* button = new TSpeedButton(Form);
        button->SetBounds(10 + 30 * i, 10, 23, 22);
        button->SetGroupIndex(1);
        button->OnClick = [&] { ++clicks; };
        buttons.push_back(button);
    }
    auto downs = [&] {
        std::vector<bool> result;
        for (auto* button : buttons)
            result.push_back(button->Down());
        return result;
    };

    buttons[2]->SetDown(true);
    EXPECT_EQ(downs(), (std::vector<bool>{false, false, true}));
    buttons[0]->SetDown(true);
    EXPECT_EQ(downs(), (std::vector<bool>{true, false, false}));
    buttons[0]->SetDown(false); // a group button rises only when another is pressed
    EXPECT_EQ(downs(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(buttons[0]->isChecked()); // the pressed look follows

    Form->show();
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(downs(), (std::vector<bool>{false, true, false}));
    QTest::mouseClick(buttons[1], Qt::LeftButton); // stays pressed
    EXPECT_EQ(downs(), (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(buttons[1]->isChecked());
    EXPECT_EQ(clicks, 2);

    // A plain speed button never stays pressed.
    auto* plain = new TSpeedButton(Form);
    plain->SetDown(true);
    EXPECT_FALSE(plain->Down());
}

TEST_F(ControlsTest, ComboBoxKeepsNoSelectionAndReportsCloseUp) {
    auto* combo = new TComboBox(Form);
    combo->SetStyle(csDropDownList);
    combo->SetBounds(10, 10, 120, 22);
    std::vector<int> closeUps;
    int changes = 0;
    combo->OnCloseUp = [&] { closeUps.push_back(combo->ItemIndex()); };
    combo->OnChange = [&] { ++changes; };

    for (const char* item : {"0,5 ms", "1 ms", "2 ms"})
        combo->Items.Add(item);
    EXPECT_EQ(combo->ItemIndex(), -1); // filling chooses nothing
    combo->SetItemIndex(1);
    combo->Items.Add("5 ms");
    EXPECT_EQ(combo->ItemIndex(), 1); // adding keeps the choice
    combo->Items.Clear();
    for (const char* item : {"0,5 ms", "1 ms"})
        combo->Items.Add(item);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(changes, 0);

    combo->CloseUp(-1); // closed with nothing chosen
    combo->CloseUp(1);
    EXPECT_EQ(closeUps, (std::vector<int>{-1, 1}));
    EXPECT_EQ(changes, 1);
}

TEST_F(ControlsTest, ComboBoxListChoiceIsSeenByCloseUp) {
    auto* combo = new TComboBox(Form);
    combo->SetStyle(csDropDownList);
    combo->SetBounds(10, 10, 120, 22);
    for (const char* item : {"a", "b", "c"})
        combo->Items.Add(item);
    std::vector<std::string> events;
    combo->OnChange = [&] { events.push_back("change " + std::to_string(combo->ItemIndex())); };
    combo->OnCloseUp = [&] { events.push_back("closeup " + std::to_string(combo->ItemIndex())); };
    Form->show();
    static_cast<QComboBox*>(combo)->showPopup();
    QAbstractItemView* list = combo->view();
    const QRect cell = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QCoreApplication::processEvents();
    EXPECT_EQ(combo->ItemIndex(), 2);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events, (std::vector<std::string>{"change 2", "closeup 2"}));
}

} // namespace

namespace {

class NumberControlsTest : public ::testing::Test {
protected:
    void SetUp() override { Form.SetClientSize(300, 200); }
    TForm Form;
};

TEST_F(NumberControlsTest, UpDownClicksMoveClampAndShowThePosition) {
    auto* level = new TUpDown(&Form);
    level->SetBounds(10, 10, 17, 33);
    level->SetMin(2);
    level->SetMax(1022);
    level->Increment = 10;
    level->SetPosition(512);
    auto* edit = new TEdit(&Form);
    level->SetAssociate(edit);
    EXPECT_EQ(edit->Text(), "512");
    std::vector<std::pair<TUDBtnType, int>> clicks;
    level->OnClick = [&](TUDBtnType button) { clicks.push_back({button, level->Position()}); };
    // The mouse button's release comes after the click has moved the position.
    std::vector<int> releases;
    level->OnMouseUp = [&](TMouseButton, TShiftState, int, int) {
        releases.push_back(level->Position());
    };

    Form.show();
    QTest::mouseClick(level->ArrowButton(btNext), Qt::LeftButton);
    QTest::mouseClick(level->ArrowButton(btPrev), Qt::LeftButton);
    QTest::mouseClick(level->ArrowButton(btPrev), Qt::LeftButton);
    EXPECT_EQ(clicks, (std::vector<std::pair<TUDBtnType, int>>{
                          {btNext, 522}, {btPrev, 512}, {btPrev, 502}}));
    EXPECT_EQ(edit->Text(), "502");
    EXPECT_EQ(releases, (std::vector<int>{522, 512, 502}));

    level->SetPosition(1017); // clicks stop at the bounds, the handler still runs
    level->ClickButton(btNext);
    level->ClickButton(btNext);
    EXPECT_EQ(level->Position(), 1022);
    EXPECT_EQ(clicks.size(), 5u);
    level->SetPosition(-5);
    EXPECT_EQ(level->Position(), 2);
}

TEST_F(NumberControlsTest, SpinEditStepsStopAtTheBoundsAndReportEveryChange) {
    auto* count = new TSpinEdit(&Form);
    count->SetMinValue(10);
    count->SetMaxValue(200);
    count->SetIncrement(10);
    count->SetValue(95);
    count->SetEditorEnabled(false);
    std::vector<int> changes;
    count->OnChange = [&] { changes.push_back(count->Value()); };

    for (int i = 0; i < 11; ++i)
        count->Step(1);
    EXPECT_EQ(changes.back(), 200);
    EXPECT_EQ(changes[changes.size() - 2], 195);
    EXPECT_EQ(changes.size(), 11u); // the last step changes nothing
    changes.clear();
    count->SetValue(200); // the same value: no change
    count->SetValue(95);  // from code: a change
    count->SetValue(5);   // clamped
    EXPECT_EQ(changes, (std::vector<int>{95, 10}));

    Form.show();
    count->setFocus();
    QTest::keyClicks(count, "7");
    EXPECT_EQ(count->Value(), 10); // typing is refused
}

} // namespace
