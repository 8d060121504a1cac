// The workbench program Kestrova: application object, driver, start,
// message loop.
#include "EmbeddedPictures.h"
#include "Intro.h"
#include "KestrovaStart.h"
#include "ProgramArguments.h"
#include "d2xx/Backends.h"
#include "kvel1.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

using namespace kvel1;
using namespace kestrova;
using namespace Intro;

namespace {

// Developer aid for screenshots: with KESTROVA_CAPTURE set to a folder, the
// splash window is saved there at each painting (splash1.png, splash2.png)
// and the main window KESTROVA_CAPTURE_AFTER seconds (default 3) after the
// message loop started (kvel1.png); the program then ends.
QString CaptureFolder() {
    return QString::fromLocal8Bit(qgetenv("KESTROVA_CAPTURE"));
}

void SaveGrab(QWidget& widget, const QString& name) {
    const QString folder = CaptureFolder();
    QDir().mkpath(folder);
    widget.grab().save(folder + QLatin1Char('/') + name);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InitApplication();
    InitEmbeddedPictures();
    const QImage icon(QStringLiteral(":/pictures/kestrova.png"));
    if (!icon.isNull())
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon)));

    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments())
        arguments.push_back(argument.toStdString());
    SetProgramArguments(std::move(arguments));
    d2xx::InstallDriverFromEnvironment();

    StartHooks hooks;
    const bool capture = !CaptureFolder().isEmpty();
    int splashPaints = 0;
    if (capture)
        hooks.SplashPainted = [&splashPaints](TForm2& splash) {
            SaveGrab(splash, QStringLiteral("splash%1.png").arg(++splashPaints));
        };
    std::unique_ptr<platform::SingleInstance> lock;
    if (StartKestrova(hooks, lock) != StartResult::Running)
        return 0;

    if (capture && Form1) {
        bool ok = false;
        int seconds = qEnvironmentVariableIntValue("KESTROVA_CAPTURE_AFTER", &ok);
        if (!ok || seconds < 0)
            seconds = 3;
        QTimer::singleShot(seconds * 1000, [] {
            if (Form1)
                SaveGrab(*Form1, QStringLiteral("kvel1.png"));
            Application->Terminate();
        });
    }
    return Application->Run();
}
