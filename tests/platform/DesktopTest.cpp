#include "core/Desktop.h"

#include "ScriptedDialogsFixture.h"
#include "TestFiles.h"
#include "core/Clock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::RecordingDesktop;
using Kind = platform::RecordingDesktop::Call::Kind;

namespace {

TEST(Desktop, RecordingFakeSeesEveryCallAndPutsBackThePreviousService) {
    platform::VirtualClock clock;
    platform::ScopedClock useClock(clock);
    platform::DesktopService* before = &platform::Desktop();
    testfiles::ScratchDir folder;
    testfiles::WriteBytes(folder.File("helvo1.html"), "<html></html>");
    {
        RecordingDesktop desktop;
        EXPECT_EQ(&platform::Desktop(), &desktop);
        clock.AdvanceUs(1500);
        platform::DisableScreenSaver();
        EXPECT_EQ(platform::OpenHelpFile(folder.File("Kestrova")), platform::HelpOutcome::Opened);
        desktop.StartResult = false;
        EXPECT_FALSE(platform::OpenWebPage("https://example.org/"));
        EXPECT_EQ(platform::OpenHelpFile(folder.File("Trevalume1")),
                  platform::HelpOutcome::NoViewer);

        ASSERT_EQ(desktop.Calls().size(), 4u);
        EXPECT_EQ(desktop.Calls()[0].What, Kind::ScreenSaverOff);
        EXPECT_EQ(desktop.Calls()[0].TimeUs, 1500);
        EXPECT_EQ(desktop.Calls()[1].What, Kind::OpenDocument);
        EXPECT_EQ(desktop.Calls()[1].Target, folder.File("helvo1.html"));
        EXPECT_EQ(desktop.Calls()[2].What, Kind::OpenWebPage);
        EXPECT_EQ(desktop.Calls()[2].Target, "https://example.org/");
        EXPECT_EQ(desktop.Calls()[3].Target, folder.File("helvo1.html"));
        EXPECT_EQ(desktop.Count(Kind::OpenDocument), 2);

        {
            RecordingDesktop inner;
            platform::DisableScreenSaver();
            EXPECT_EQ(inner.Count(Kind::ScreenSaverOff), 1);
        }
        EXPECT_EQ(&platform::Desktop(), &desktop);
        EXPECT_EQ(desktop.Count(Kind::ScreenSaverOff), 1);
    }
    EXPECT_EQ(&platform::Desktop(), before);
    EXPECT_NE(dynamic_cast<platform::SystemDesktop*>(&platform::Desktop()), nullptr);
}

// "Aide": the help beside the program, or a French box that says why not.
TEST(Desktop, HelpIsOpenedOrTheUserIsToldWhyNot) {
    testfiles::ScratchDir withHelp;
    testfiles::WriteBytes(withHelp.File("helvo1.html"), "<html></html>");
    testfiles::ScratchDir withoutHelp;
    struct Case {
        const char* What;
        std::string Program;
        bool ViewerStarts;
        int Opened;          // OpenDocument calls
        const char* Message; // nullptr: no box
    };
    const Case cases[] = {
        {"opened", withHelp.File("Kestrova"), true, 1, nullptr},
        {"no viewer", withHelp.File("Kestrova"), false, 1,
         "Aucun programme n'a pu afficher le fichier d'aide :\r\n"},
        {"no file", withoutHelp.File("Trevalume1"), true, 0,
         "Le fichier d'aide est introuvable :\r\n"},
    };
    for (const Case& c : cases) {
        ScriptedDialogsGuard guard;
        RecordingDesktop desktop;
        desktop.StartResult = c.ViewerStarts;
        if (c.Message)
            guard.Dialogs.Answer(platform::ModalResult::Ok);
        EXPECT_EQ(platform::ShowHelp(c.Program), c.Message == nullptr) << c.What;
        EXPECT_EQ(desktop.Count(Kind::OpenDocument), c.Opened) << c.What;
        const auto boxes = guard.Dialogs.Messages();
        ASSERT_EQ(boxes.size(), c.Message ? 1u : 0u) << c.What;
        if (c.Message) {
            EXPECT_EQ(boxes[0].Text.rfind(c.Message, 0), 0u) << boxes[0].Text;
            EXPECT_NE(boxes[0].Text.find(platform::DirectoryOf(c.Program) + "helvo1.html"),
                      std::string::npos)
                << "the path the help was looked for at";
            EXPECT_EQ(boxes[0].Caption, "Aide");
            EXPECT_EQ(boxes[0].Type, platform::MsgType::Warning);
        }
    }
}

TEST(Desktop, ProgramPathPieces) {
    EXPECT_EQ(platform::DirectoryOf("/opt/k/Kestrova"), "/opt/k/");
    EXPECT_EQ(platform::DirectoryOf("Kestrova"), "");
    EXPECT_EQ(platform::DirectoryOf("/Kestrova"), "/");
    const std::string self = platform::ProgramFilePath();
    ASSERT_FALSE(self.empty());
    EXPECT_EQ(self.front(), '/');
    EXPECT_EQ(access(self.c_str(), X_OK), 0);
}

// Runs in a scratch folder and puts the working directory back afterwards.
class DataFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getcwd(OldDir, sizeof OldDir), nullptr);
        ASSERT_EQ(mkdir(Dir.File("work").c_str(), 0700), 0);
        ASSERT_EQ(mkdir(Dir.File("bin").c_str(), 0700), 0);
        ASSERT_EQ(chdir(Dir.File("work").c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(OldDir), 0); }

    testfiles::ScratchDir Dir;
    char OldDir[4096] = {};
};

TEST_F(DataFiles, CurrentDirectoryFirstThenBesideTheProgram) {
    const std::string program = Dir.File("bin/Trevalume1");
    testfiles::WriteBytes(Dir.File("work/ecran1.bmp"), "here");
    testfiles::WriteBytes(Dir.File("bin/ecran1.bmp"), "beside");
    testfiles::WriteBytes(Dir.File("bin/bt01v.jpg"), "beside");
    ASSERT_EQ(mkdir(Dir.File("work/dossier.jpg").c_str(), 0700), 0);

    struct Case {
        std::string Name;
        std::string Expected;
    };
    const Case cases[] = {
        {"ecran1.bmp", Dir.File("work/ecran1.bmp")}, // in both: the current directory wins
        {"bt01v.jpg", Dir.File("bin/bt01v.jpg")},    // beside the program only
        {"absent.jpg", ""},
        {"dossier.jpg", ""}, // a folder is not a data file
        {Dir.File("bin/ecran1.bmp"), Dir.File("bin/ecran1.bmp")},
        {Dir.File("bin/absent.bmp"), ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::FindDataFile(c.Name, program), c.Expected) << c.Name;
}

// Fake desktop programs on PATH that tell a pipe how they were started.
class SystemPrograms : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(mkfifo(Dir.File("calls").c_str(), 0600), 0);
        // Read-write, so that the pipe neither blocks here nor reports a hang-up.
        Calls = open(Dir.File("calls").c_str(), O_RDWR | O_NONBLOCK);
        ASSERT_GE(Calls, 0);
        for (const char* name : {"xset", "xdg-open"}) {
            const std::string path = Dir.File(name);
            testfiles::WriteBytes(path, std::string("#!/bin/sh\necho \"") + name + " $*\" > '" +
                                            Dir.File("calls") + "'\n");
            ASSERT_EQ(chmod(path.c_str(), 0700), 0);
        }
    }
    void TearDown() override { close(Calls); }

    // The next line a fake program wrote, waiting for it at most 10 s.
    std::string NextCall() {
        std::string line;
        while (line.empty() || line.back() != '\n') {
            pollfd ready{Calls, POLLIN, 0};
            if (poll(&ready, 1, 10000) <= 0)
                return "(nothing)";
            char c;
            while (read(Calls, &c, 1) == 1) {
                line += c;
                if (c == '\n')
                    break;
            }
        }
        line.pop_back();
        return line;
    }

    testfiles::ScratchDir Dir;
    int Calls = -1;
};

TEST_F(SystemPrograms, ScreenSaverAndViewersGoThroughTheDesktopPrograms) {
    testfiles::ScopedEnv path("PATH", Dir.Path + ":/usr/bin:/bin");
    testfiles::ScopedEnv display("DISPLAY", std::string(":42"));
    platform::SystemDesktop desktop;

    desktop.DisableScreenSaver();
    EXPECT_EQ(NextCall(), "xset s off -dpms");
    EXPECT_TRUE(desktop.OpenDocument("/opt/kestrova/helvo1.html"));
    EXPECT_EQ(NextCall(), "xdg-open /opt/kestrova/helvo1.html");
    EXPECT_TRUE(desktop.OpenWebPage("https://example.org/kestrova"));
    EXPECT_EQ(NextCall(), "xdg-open https://example.org/kestrova");
}

TEST_F(SystemPrograms, MissingProgramsOrDisplayFailQuietly) {
    testfiles::ScratchDir empty;
    {
        testfiles::ScopedEnv path("PATH", empty.Path);
        testfiles::ScopedEnv display("DISPLAY", std::string(":42"));
        platform::SystemDesktop desktop;
        desktop.DisableScreenSaver(); // no xset: nothing happens
        EXPECT_FALSE(desktop.OpenDocument("/opt/kestrova/helvo1.html"));
        EXPECT_FALSE(desktop.OpenWebPage("https://example.org/"));
    }
    // Without a display xset is not started; the viewer that follows is the
    // first program to write.
    testfiles::ScopedEnv path("PATH", Dir.Path + ":/usr/bin:/bin");
    testfiles::ScopedEnv display("DISPLAY", std::nullopt);
    platform::SystemDesktop desktop;
    desktop.DisableScreenSaver();
    EXPECT_TRUE(desktop.OpenDocument("/tmp/x.html"));
    EXPECT_EQ(NextCall(), "xdg-open /tmp/x.html");
}

// The desktop's opener that finds no viewer for the type fails at once; one
// whose viewer runs on (the opener waits for it) counts as started.
TEST_F(SystemPrograms, AnOpenerThatFailsMeansNoViewer) {
    testfiles::ScopedEnv path("PATH", Dir.Path + ":/usr/bin:/bin");
    platform::SystemDesktop desktop;
    const struct {
        const char* Script;
        bool Started;
    } cases[] = {
        {"#!/bin/sh\nexit 3\n", false},
        {"#!/bin/sh\nexit 0\n", true},
        {"#!/bin/sh\nsleep 3\n", true},
    };
    for (const auto& c : cases) {
        testfiles::WriteBytes(Dir.File("xdg-open"), c.Script);
        EXPECT_EQ(desktop.OpenDocument("/tmp/x.html"), c.Started) << c.Script;
    }
}

} // namespace
