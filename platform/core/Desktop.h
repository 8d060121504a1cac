// The desktop calls of both programs: switching the screen saver and the
// display power-off off, opening the help file with the desktop's default
// viewer and a web page in the default browser. They go through one service
// that tests replace with a RecordingDesktop, which records each call and
// starts nothing. Also where the programs find their data files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class DesktopService {
public:
    virtual ~DesktopService() = default;
    // Screen saver and display power-off off, for the whole session (not
    // restored when the program ends). Quiet when the desktop cannot do it.
    virtual void DisableScreenSaver() = 0;
    // Opens path with the desktop's default viewer for its type, without
    // waiting for the viewer. false when no viewer could be started (the
    // desktop's opener is missing, or fails within a second).
    virtual bool OpenDocument(const std::string& path) = 0;
    // Opens url in the default browser, without waiting for it.
    virtual bool OpenWebPage(const std::string& url) = 0;
};

// On X11: "xset s off -dpms" (when DISPLAY is set and xset exists); documents
// and pages through xdg-open. Programs are started detached, output discarded.
class SystemDesktop final : public DesktopService {
public:
    void DisableScreenSaver() override;
    bool OpenDocument(const std::string& path) override;
    bool OpenWebPage(const std::string& url) override;
};

DesktopService& Desktop();
// Installs service (nullptr: the system desktop). The caller keeps ownership.
void SetDesktop(DesktopService* service);

// Tests: installs itself for its lifetime and records every call with the
// program-clock time at which it was made.
class RecordingDesktop final : public DesktopService {
public:
    struct Call {
        enum class Kind { ScreenSaverOff, OpenDocument, OpenWebPage } What;
        std::string Target; // the path or address; empty for ScreenSaverOff
        int64_t TimeUs = 0;
    };

    RecordingDesktop();
    ~RecordingDesktop() override;
    RecordingDesktop(const RecordingDesktop&) = delete;
    RecordingDesktop& operator=(const RecordingDesktop&) = delete;

    void DisableScreenSaver() override;
    bool OpenDocument(const std::string& path) override;
    bool OpenWebPage(const std::string& url) override;

    const std::vector<Call>& Calls() const { return History; }
    int Count(Call::Kind kind) const;
    void Clear() { History.clear(); }

    // What OpenDocument and OpenWebPage answer.
    bool StartResult = true;

private:
    std::vector<Call> History;
    DesktopService* Previous;
};

// The help file (French, HTML), beside the program.
constexpr const char* HelpFileName = "helvo1.html";

// Shortcuts used by the programs.
void DisableScreenSaver();
// Opens HelpFileName in the folder of programPath (empty: ProgramFilePath())
// with the desktop's viewer; a file that is not there is not handed to it.
enum class HelpOutcome { Opened, Missing, NoViewer };
HelpOutcome OpenHelpFile(const std::string& programPath = {});
// "Aide" of both programs: opens the help file; when it is missing or no
// viewer starts, says so in a French box (caption "Aide") instead of doing
// nothing. true when the viewer was started.
bool ShowHelp(const std::string& programPath = {});
bool OpenWebPage(const std::string& url);

// The running program's full path (/proc/self/exe), empty if unknown.
std::string ProgramFilePath();
// The folder part of path with its trailing '/', empty when path has none.
std::string DirectoryOf(const std::string& path);
// name in the current directory, else beside the program (programPath: argv[0]
// or ProgramFilePath(); empty or without a folder: ProgramFilePath()). An
// absolute name is taken as it is. Empty when no such file exists.
std::string FindDataFile(const std::string& name, const std::string& programPath = {});

} // namespace platform
