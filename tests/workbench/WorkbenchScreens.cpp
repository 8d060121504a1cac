// Screenshots of the workbench's windows for people to look at (not a test),
// on the simulated interface and the virtual clock: live values side by side
// and giant, values out of range in the smallest window, no interface, a
// loaded file, two recorded series, the about box and the colour dialog,
// three recorded series printed in each of the six layouts to PDF files
// ("graphe-0.pdf" to "graphe-5.pdf"), the zero dialog and the oxygen probe
// dialog for a probe in % and one in mg/L. Run it under a display:
//   xvfb-run -a -s "-screen 0 1024x768x24" ./workbench_screens <folder>
#include "About.h"
#include "EmbeddedPictures.h"
#include "KestrovaStart.h"
#include "Oxym.h"
#include "ProgramArguments.h"
#include "colorAff.h"
#include "core/Desktop.h"
#include "core/Dialogs.h"
#include "d2xx/sim/SimRig.h"
#include "d2xx/sim/fixtures.h"
#include "gui/Printers.h"
#include "gui/Vcl.h"
#include "kvel1.h"
#include "model/MeasurementFile.h"
#include "tampon.h"
#include "zero.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

using namespace tampon;
using namespace kvel1;
using namespace About;
using namespace kestrova;

namespace {

QString Folder;

void Save(QWidget& widget, const char* name) {
    widget.grab().save(Folder + QLatin1Char('/') + QLatin1String(name));
    std::printf("%s\n", name);
}

// Starts the workbench on `rig`; runs `look` on the shown main window.
void Scene(sim::SimRig& rig, platform::ScriptedDialogs& dialogs, std::vector<std::string> args,
           const std::function<void()>& look) {
    (void)rig;
    (void)dialogs;
    ResetLinkState();
    args.insert(args.begin(), "Kestrova");
    SetProgramArguments(args);
    QTemporaryDir lockFolder;
    StartHooks hooks;
    hooks.LockDirectory = lockFolder.path().toStdString();
    std::unique_ptr<platform::SingleInstance> lock;
    if (StartKestrova(hooks, lock) == StartResult::Running && Form1) {
        Form1->ShowForm();
        ProcessMessages();
        look();
    }
    TForm::SetModalDriver(nullptr);
    FreeKestrovaWindows();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InitApplication();
    InitEmbeddedPictures();
    Folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(Folder);
    // The options files of the program beside this tool, as the program
    // itself reads them.
    OptionsProgramPath = platform::DirectoryOf(platform::ProgramFilePath()) + "Kestrova";

    {
        sim::SimRig rig;
        platform::ScriptedDialogs dialogs;
        rig.Plug(0, sim::FixtureA, sim::Generator::Dc(760));
        rig.Plug(1, sim::FixtureB, sim::Generator::Dc(270));
        Scene(rig, dialogs, {}, [&] {
            RunFor(1500);
            Save(*Form1, "kvel1_live.png");
            Form1->ActionAffGeants->Execute();
            RunFor(750);
            Save(*Form1, "kvel1_giant.png");
            TForm::SetModalDriver([](TForm& form) {
                Save(form, &form == AboutBox ? "about.png" : "colours.png");
                form.ModalResult = mrCancel;
            });
            Form1->ActionApropos->Execute();
            bool handled = false;
            Form1->PanelY0ContextPopup(0, 0, handled);
        });
    }
    {
        sim::SimRig rig;
        platform::ScriptedDialogs dialogs;
        rig.Plug(0, sim::FixtureB, sim::Generator::Dc(981));
        rig.Plug(1, sim::FixtureB, sim::Generator::Dc(19));
        Scene(rig, dialogs, {}, [&] {
            Form1->SetBounds(Form1->Left(), Form1->Top(), 712, 550);
            RunFor(1500);
            Save(*Form1, "kvel1_out_of_range.png");
        });
    }
    {
        sim::SimRig rig;
        platform::ScriptedDialogs dialogs;
        rig.Device().Disconnect();
        dialogs.Answer(platform::ModalResult::Cancel);
        Scene(rig, dialogs, {}, [&] { Save(*Form1, "kvel1_no_interface.png"); });
    }
    {
        sim::SimRig rig;
        platform::ScriptedDialogs dialogs;
        rig.Plug(0, sim::FixtureA, sim::Generator::Dc(512));
        QTemporaryDir files;
        workbench::MeasurementSet record;
        workbench::PresetMeasurementSet(record);
        record.SeriesCount = record.ShownSeries = 1;
        record.PointCount[0] = 95;
        for (int k = 0; k < 95; ++k) {
            record.PointTime[0][k] = 0.5f * static_cast<float>(k);
            record.PointValue[0][0][k] = 8.0f * std::sin(static_cast<float>(k) / 8.0f);
        }
        const std::string path = files.filePath("TP1.mrs").toStdString();
        workbench::SaveMeasurementFile(record, path);
        Scene(rig, dialogs, {path}, [&] {
            Form1->PaintBox1->Repaint();
            Save(*Form1, "kvel1_file.png");
        });
    }
    {
        // Two series recorded with "arrêt auto", the second one selected
        // afterwards; the record is then saved as "series.mrs" for the
        // command line of the program itself.
        sim::SimRig rig;
        platform::ScriptedDialogs dialogs;
        rig.Plug(0, sim::FixtureA, sim::Generator::Sine(512, 400, 4));
        Scene(rig, dialogs, {}, [&] {
            RunFor(1500);
            Form1->CBdelta_t->DropDown();
            Form1->CBdelta_t->CloseUp(3); // 5 ms
            Form1->CBmonoCoup->SetChecked(true);
            Form1->ActionNouvelleMesure->Execute();
            rig.SetGenerator(0, sim::Generator::Sine(512, 250, 4, 90));
            Form1->ActionNouvelleMesure->Execute();
            ProcessMessages();
            Save(*Form1, "kvel1_series.png");
            Form1->BTS1->Click();
            ProcessMessages();
            Save(*Form1, "kvel1_series_selected.png");
            dialogs.Answer(platform::ModalResult::Yes)
                .AnswerSave((Folder + QStringLiteral("/series.mrs")).toStdString());
            Form1->ActionRAZExecute();
        });
    }
    {
        // Three series recorded with "arrêt auto", printed in every layout;
        // then the zero dialog of voie 1 and the oxygen probe dialog of voie 2
        // with a count validated in air.
        sim::SimRig rig;
        platform::ScriptedDialogs dialogs;
        rig.Plug(0, sim::FixtureA, sim::Generator::Sine(512, 400, 4));
        rig.Plug(1, sim::FixtureC, sim::Generator::Dc(700));
        Scene(rig, dialogs, {}, [&] {
            RunFor(1500);
            Form1->CBdelta_t->DropDown();
            Form1->CBdelta_t->CloseUp(3); // 5 ms
            Form1->CBmonoCoup->SetChecked(true);
            for (int s = 0; s < 3; ++s) {
                rig.SetGenerator(0, sim::Generator::Sine(512, 150 + 120 * s, 4, 60 * s));
                Form1->ActionNouvelleMesure->Execute();
            }
            ProcessMessages();
            for (int layout = 0; layout < 6; ++layout) {
                const QString pdf = Folder + QStringLiteral("/graphe-%1.pdf").arg(layout);
                Printer()->SetOutputFile(pdf.toStdString());
                dialogs.AnswerPrint(true).Answer(platform::ModalResult::Ok);
                Form1->Impression1->Items(layout)->Click();
                std::printf("%s\n", qPrintable(pdf));
            }
            Printer()->SetOutputFile({});
            TForm::SetModalDriver([](TForm& form) {
                if (auto* oxygen = dynamic_cast<Oxym::TOKRightDlg2*>(&form)) {
                    RunFor(700);
                    oxygen->Button1->Click();
                }
                Save(form, dynamic_cast<zero::TOKRightDlg*>(&form) ? "zero.png"
                           : ChannelUnit[1] == "%"                 ? "oxygen.png"
                                                                   : "oxygen_mgl.png");
                form.ModalResult = mrCancel;
            });
            Form1->Zero1->Click();
            Form1->EtalonOxy2->Click();
            // The same with a probe in mg/L: water at a temperature.
            rig.Replace(1, sim::FixtureM);
            RunFor(1500);
            Form1->EtalonOxy2->Click();
        });
    }
    return 0;
}
