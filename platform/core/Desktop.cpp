#include "Desktop.h"

#include "Clock.h"
#include "Dialogs.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace platform {

namespace {

DesktopService* Installed = nullptr;

bool IsFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// The full path of program found in PATH, empty when there is none.
std::string FindExecutable(const std::string& program) {
    if (program.find('/') != std::string::npos)
        return access(program.c_str(), X_OK) == 0 ? program : std::string();
    const char* pathVariable = std::getenv("PATH");
    std::string path = pathVariable ? pathVariable : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos)
            end = path.size();
        std::string candidate;
        if (end == start)
            candidate = ".";
        else
            candidate.assign(path, start, end - start);
        candidate.push_back('/');
        candidate.append(program);
        if (IsFile(candidate) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

// Starts arguments[0] (looked up in PATH) detached from this process: a
// grandchild that init adopts, so no zombie stays behind and nothing waits for
// it. Its standard input and output go to /dev/null, its error output too when
// quiet. With checkMs > 0 the program is given that long to fail: false when
// it ends with a failure status within it (xdg-open finding no viewer), true
// when it succeeded or still runs. Everything the children do between fork
// and exec is async-signal-safe.
bool StartDetached(const std::vector<std::string>& arguments, bool quiet, int checkMs = 0) {
    if (arguments.empty())
        return false;
    const std::string program = FindExecutable(arguments[0]);
    if (program.empty())
        return false;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (devNull < 0)
        return false;

    const pid_t child = fork();
    if (child < 0) {
        close(devNull);
        return false;
    }
    if (child == 0) {
        const pid_t started = fork();
        if (started == 0) {
            setsid();
            dup2(devNull, STDIN_FILENO);
            dup2(devNull, STDOUT_FILENO);
            if (quiet)
                dup2(devNull, STDERR_FILENO);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        if (started < 0)
            _exit(1);
        constexpr int StepMs = 10;
        for (int waited = 0; waited < checkMs; waited += StepMs) {
            int status = 0;
            if (waitpid(started, &status, WNOHANG) == started)
                _exit(WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1);
            const timespec step{0, StepMs * 1'000'000L};
            nanosleep(&step, nullptr);
        }
        _exit(0);
    }
    close(devNull);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

void SystemDesktop::DisableScreenSaver() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return; // not an X11 session: nothing to switch
    StartDetached({"xset", "s", "off", "-dpms"}, true);
}

bool SystemDesktop::OpenDocument(const std::string& path) {
    // xdg-open without a viewer for the type fails within a moment.
    constexpr int ViewerCheckMs = 1000;
    return StartDetached({"xdg-open", path}, false, ViewerCheckMs);
}

bool SystemDesktop::OpenWebPage(const std::string& url) {
    return StartDetached({"xdg-open", url}, false);
}

DesktopService& Desktop() {
    static SystemDesktop system;
    return Installed ? *Installed : system;
}

void SetDesktop(DesktopService* service) {
    Installed = service;
}

RecordingDesktop::RecordingDesktop() : Previous(Installed) {
    Installed = this;
}

RecordingDesktop::~RecordingDesktop() {
    if (Installed == this)
        Installed = Previous;
}

void RecordingDesktop::DisableScreenSaver() {
    History.push_back({Call::Kind::ScreenSaverOff, {}, CurrentClock().NowUs()});
}

bool RecordingDesktop::OpenDocument(const std::string& path) {
    History.push_back({Call::Kind::OpenDocument, path, CurrentClock().NowUs()});
    return StartResult;
}

bool RecordingDesktop::OpenWebPage(const std::string& url) {
    History.push_back({Call::Kind::OpenWebPage, url, CurrentClock().NowUs()});
    return StartResult;
}

int RecordingDesktop::Count(Call::Kind kind) const {
    int count = 0;
    for (const Call& call : History)
        if (call.What == kind)
            ++count;
    return count;
}

void DisableScreenSaver() {
    Desktop().DisableScreenSaver();
}

namespace {

std::string HelpFilePath(const std::string& programPath) {
    const std::string program = programPath.empty() ? ProgramFilePath() : programPath;
    return DirectoryOf(program) + HelpFileName;
}

HelpOutcome OpenHelpAt(const std::string& path) {
    if (!IsFile(path))
        return HelpOutcome::Missing;
    return Desktop().OpenDocument(path) ? HelpOutcome::Opened : HelpOutcome::NoViewer;
}

} // namespace

HelpOutcome OpenHelpFile(const std::string& programPath) {
    return OpenHelpAt(HelpFilePath(programPath));
}

bool ShowHelp(const std::string& programPath) {
    const std::string path = HelpFilePath(programPath);
    switch (OpenHelpAt(path)) {
    case HelpOutcome::Opened:
        return true;
    case HelpOutcome::Missing:
        MessageDlg("Le fichier d'aide est introuvable :\r\n" + path +
                       "\r\nIl doit se trouver dans le dossier du programme.",
                   MsgType::Warning, MbOk, "Aide");
        break;
    case HelpOutcome::NoViewer:
        MessageDlg("Aucun programme n'a pu afficher le fichier d'aide :\r\n" + path +
                       "\r\nOuvrez-le avec un navigateur web.",
                   MsgType::Warning, MbOk, "Aide");
        break;
    }
    return false;
}

bool OpenWebPage(const std::string& url) {
    return Desktop().OpenWebPage(url);
}

std::string ProgramFilePath() {
    char buffer[PATH_MAX + 1];
    const ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
    if (length <= 0)
        return {};
    return std::string(buffer, static_cast<size_t>(length));
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FindDataFile(const std::string& name, const std::string& programPath) {
    if (name.empty())
        return {};
    if (name.front() == '/')
        return IsFile(name) ? name : std::string();
    if (IsFile(name)) {
        char cwd[PATH_MAX + 1];
        if (getcwd(cwd, sizeof cwd))
            return std::string(cwd) + "/" + name;
        return name;
    }
    std::string folder = DirectoryOf(programPath);
    if (folder.empty())
        folder = DirectoryOf(ProgramFilePath());
    if (folder.empty())
        return {};
    const std::string beside = folder + name;
    return IsFile(beside) ? beside : std::string();
}

} // namespace platform
