// The oscilloscope program Trevalume1: application object, driver, start,
// message loop.
#include "EmbeddedPictures.h"
#include "TrevalumeStart.h"
#include "d2xx/Backends.h"

#include <QApplication>
#include <QIcon>

using namespace trevalume;
using namespace vcl;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InitApplication();
    InitEmbeddedPictures();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/trevalume1.png")));
    d2xx::InstallDriverFromEnvironment();

    std::unique_ptr<platform::SingleInstance> lock;
    if (StartTrevalume({}, lock) != TrevalumeStartResult::Running)
        return 0;
    return Application->Run();
}
