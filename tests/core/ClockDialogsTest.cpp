#include "ScriptedDialogsFixture.h"
#include "core/Clock.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Clock, VirtualClockDrivesSleepAndTickCountWithWrapAround) {
    VirtualClock clock;
    ScopedClock use(clock);
    clock.BootOffsetMs = (1ull << 32) - 5000;
    EXPECT_EQ(GetTickCount(), 4294962296u);
    Sleep(4999);
    EXPECT_EQ(GetTickCount(), 4294967295u);
    Sleep(2);
    EXPECT_EQ(GetTickCount(), 1u);
    EXPECT_EQ(clock.NowUs(), 5001000);
}

TEST(ScriptedDialogs, AnswersInOrderAndRecordsTimes) {
    VirtualClock clock;
    ScopedClock use(clock);
    ScriptedDialogsGuard guard;
    guard.Dialogs.Answer(ModalResult::Ok).Answer(ModalResult::Cancel, "branchée");
    EXPECT_EQ(MessageDlg("a", MsgType::Warning, MbOk | MbCancel), ModalResult::Ok);
    Sleep(10);
    EXPECT_EQ(MessageDlg("n'est pas branchée", MsgType::Warning, MbOk | MbCancel),
              ModalResult::Cancel);
    MessageBeep();
    ASSERT_EQ(guard.Dialogs.Records().size(), 3u);
    EXPECT_EQ(guard.Dialogs.Records()[1].TimeUs, 10000);
    EXPECT_EQ(guard.Dialogs.BeepCount(), 1);
}

TEST(ScriptedDialogs, UnscriptedBoxIsAFailureNotABlock) {
    ScriptedDialogs dialogs;
    std::string seen;
    dialogs.OnUnexpected = [&](const std::string& p) { seen = p; };
    EXPECT_EQ(MessageDlg("Quitter ?", MsgType::Confirmation, MbYes | MbNo), ModalResult::No);
    EXPECT_NE(seen.find("Quitter ?"), std::string::npos);
}

TEST(ScriptedDialogs, AnAnswerTheBoxHasNoButtonForIsAFailure) {
    ScriptedDialogs dialogs;
    std::vector<std::string> seen;
    dialogs.OnUnexpected = [&](const std::string& p) { seen.push_back(p); };
    dialogs.Answer(ModalResult::Yes).Answer(ModalResult::Ok).Answer(ModalResult::Cancel);
    MessageDlg("Echec d'enregistrement", MsgType::Warning, MbOk);
    ShowMessage("Port  non ouvert");
    MessageDlg("Voulez-vous enregistrer ?", MsgType::Confirmation, MbYes | MbNo);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_NE(seen[0].find("Echec d'enregistrement"), std::string::npos);
    EXPECT_NE(seen[1].find("Voulez-vous enregistrer ?"), std::string::npos);
}
