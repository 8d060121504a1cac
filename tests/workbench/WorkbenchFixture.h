// The workbench started as the program starts, on the simulated interface
// and the virtual clock, with every dialog answered from a script.
#pragma once

#include "ApplicationGuard.h"
#include "EmbeddedPictures.h"
#include "Intro.h"
#include "KestrovaStart.h"
#include "ProgramArguments.h"
#include "ScriptedDialogsFixture.h"
#include "core/Desktop.h"
#include "d2xx/sim/SimRig.h"
#include "d2xx/sim/fixtures.h"
#include "gui/Canvas.h"
#include "gui/Forms.h"
#include "gui/Timers.h"
#include "kvel1.h"
#include "tampon.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace tampon;
using namespace kvel1;
using namespace kestrova;

namespace wbtest {

inline std::vector<std::string> Frames(sim::SimRig& rig, int64_t sinceUs) {
    return rig.Log().FramesHexSince(sinceUs);
}

// Bytes of a file.
inline std::vector<char> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// The headers of series s (1..4) of a record: "Tension" in V with 2 decimals
// on channel 0, "Intensité" in mA with 1 decimal on channel 1.
inline void SetVoltCurrentHeaders(workbench::MeasurementSet& record, int s) {
    workbench::SetShortString(record.SeriesLabel[s - 1][0], "Tension");
    workbench::SetShortString(record.SeriesUnit[s - 1][0], "V");
    record.SeriesDecimals[s - 1][0] = 2;
    workbench::SetShortString(record.SeriesLabel[s - 1][1], "Intensité");
    workbench::SetShortString(record.SeriesUnit[s - 1][1], "mA");
    record.SeriesDecimals[s - 1][1] = 1;
}

inline std::vector<char> RecordBytes() {
    const auto* bytes = reinterpret_cast<const char*>(&MeasurementRecord);
    return {bytes, bytes + sizeof MeasurementRecord};
}

// Forwards to the scripted dialogs and lets a test look at the window at the
// moment a box is shown.
class ObservingDialogs final : public platform::DialogService {
public:
    explicit ObservingDialogs(platform::DialogService& inner) : Inner(inner) {
        platform::SetDialogs(this);
    }
    ~ObservingDialogs() override { platform::SetDialogs(&Inner); }
    platform::ModalResult ShowMessage(const platform::MessageRequest& request) override {
        if (OnMessage)
            OnMessage(request);
        return Inner.ShowMessage(request);
    }
    void Beep() override { Inner.Beep(); }
    bool OpenFile(const platform::FileDialogRequest& r, std::string& f) override {
        return Inner.OpenFile(r, f);
    }
    bool SaveFile(const platform::FileDialogRequest& r, std::string& f) override {
        return Inner.SaveFile(r, f);
    }
    bool ChooseColor(uint32_t& color) override { return Inner.ChooseColor(color); }
    bool PrintSetup() override { return Inner.PrintSetup(); }
    std::function<void(const platform::MessageRequest&)> OnMessage;

private:
    platform::DialogService& Inner;
};

class WorkbenchTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool pictures = [] {
            InitEmbeddedPictures();
            return true;
        }();
        (void)pictures;
        InitFonts();
        ResetLinkState();
        SetProgramArguments({"Kestrova"});
        ASSERT_TRUE(Folder.isValid());
        // The options files of the test's own folder: none at first.
        OptionsProgramPath = InFolder("Kestrova").string();
    }

    void TearDown() override {
        TForm::SetModalDriver(nullptr);
        FreeKestrovaWindows();
        Lock.reset();
        OptionsProgramPath.clear();
    }

    // Starts the program with these arguments after the program's name.
    StartResult Start(std::vector<std::string> arguments = {}, StartHooks hooks = {}) {
        arguments.insert(arguments.begin(), "Kestrova");
        SetProgramArguments(arguments);
        if (hooks.LockDirectory.empty())
            hooks.LockDirectory = Folder.path().toStdString();
        return StartKestrova(hooks, Lock);
    }

    // Started with sensors: the main window shown, nothing asked.
    void StartWithSensors(const sim::MemoryImage* channel0, const sim::MemoryImage* channel1) {
        if (channel0)
            Rig.Plug(0, *channel0);
        if (channel1)
            Rig.Plug(1, *channel1);
        ASSERT_EQ(Start(), StartResult::Running);
        ASSERT_NE(Form1, nullptr);
        Form1->ShowForm();
        ProcessMessages();
    }

    std::filesystem::path InFolder(const std::string& name) const {
        return std::filesystem::path(Folder.path().toStdString()) / name;
    }

    std::vector<platform::MessageRequest> Messages() const { return Guard.Dialogs.Messages(); }

    // The user's "Lire" of a file holding record (no series shown before).
    void LoadRecord(const workbench::MeasurementSet& record) {
        const auto path = InFolder("record.mrs");
        WriteBytes(path, &record, sizeof record);
        Guard.Dialogs.AnswerOpen(path.string());
        Form1->ActionLireExecute();
        ASSERT_EQ(MeasurementRecord.SeriesCount, record.SeriesCount);
        ProcessMessages();
    }

    ApplicationGuard AppState;
    sim::SimRig Rig;
    ScriptedDialogsGuard Guard;
    platform::RecordingDesktop Desktop;
    QTemporaryDir Folder;
    std::unique_ptr<platform::SingleInstance> Lock;
};

} // namespace wbtest
