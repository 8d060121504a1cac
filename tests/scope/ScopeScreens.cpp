// Screenshots of the running oscilloscope for people to look at (not a
// test): the window on the simulated classroom interface and the real clock,
// sweeping in channel a mode, then both channels, then XY. Run it under a
// display, e.g. xvfb-run -a -s "-screen 0 1024x768x24" ./trevalume_screens <folder>
#include "EmbeddedPictures.h"
#include "Trevalume.h"

#include "d2xx/sim/PeopleScenario.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace trevalume;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InitApplication();
    InitEmbeddedPictures();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    if (chdir(KESTROVA_DATA_DIR) != 0)
        return 1;

    auto driver = sim::CreatePeopleScenarioDriver();
    d2xx::SetDriver(driver.get());

    TForm1* form = TForm::Create<TForm1>();
    Application->MainForm = form;
    form->ShowForm();

    auto save = [&](const char* name) {
        form->grab().save(folder + QLatin1Char('/') + QLatin1String(name));
        std::printf("%s: %s\n", name, form->Caption().c_str());
    };
    form->AfterSweep = [&] {
        switch (form->SweepCount) {
        case 15:
            save("scope_ya.png");
            form->BtYY->Click();
            break;
        case 30:
            save("scope_yy.png");
            form->BtXY->Click();
            break;
        case 45:
            save("scope_xy.png");
            form->modgraph1->Click();
            form->Zone("Ya1V")->Click();
            form->Zone("Yb1V")->Click();
            break;
        case 60:
            save("scope_xy_1v.png");
            form->Quitter1Click();
            break;
        default:
            break;
        }
    };
    QTimer::singleShot(500, [&] {
        save("scope_idle.png");
        form->onoff->Click();
    });
    const int code = Application->Run();
    delete form;
    d2xx::SetDriver(nullptr);
    return code;
}
