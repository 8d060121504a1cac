// An oscilloscope window on the simulated interface and the virtual clock,
// with scripted dialogs and a recording desktop. The current directory is the
// folder of the pictures (ecran1.bmp and the knob files) unless a test picks
// another one.
#pragma once

#include "Trevalume.h"

#include "ApplicationGuard.h"
#include "ScriptedDialogsFixture.h"
#include "core/Desktop.h"
#include "d2xx/sim/SimRig.h"
#include "d2xx/sim/fixtures.h"

#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace tampon;
using namespace trevalume;

class ScopeTest : public ::testing::Test {
protected:
    ScopeTest() : PreviousDirectory(QDir::currentPath()) {
        ResetLinkState();
        QDir::setCurrent(QStringLiteral(KESTROVA_DATA_DIR));
    }
    ~ScopeTest() override {
        delete Form;
        ResetLinkState();
        QDir::setCurrent(PreviousDirectory);
        trevalume::DataProgramPath.clear();
    }

    // Makes `folder` the only place where pictures are found: the current
    // directory, and the program's own folder as far as the lookup goes (the
    // test programs sit beside the real pictures).
    static void PicturesFrom(const QString& folder) {
        QDir::setCurrent(folder);
        trevalume::DataProgramPath = QDir(folder).filePath("Trevalume1").toStdString();
    }

    // Creates the window (its creation searches the interface) and shows it.
    TForm1& Create() {
        Form = TForm::Create<TForm1>();
        Form->ShowForm();
        return *Form;
    }

    // Both channels carry the voltage sensor (-10..10 V) with these signals.
    void PlugBoth(sim::Generator a, sim::Generator b) {
        Rig.Plug(0, sim::FixtureA, std::move(a));
        Rig.Plug(1, sim::FixtureA, std::move(b));
    }
    // The classroom signals: two 50 Hz sines 90 degrees apart around mid-scale.
    void PlugSines() {
        PlugBoth(sim::Generator::Sine(512, 300, 50, 0), sim::Generator::Sine(512, 200, 50, 90));
    }

    // A user's left click on a widget (at its centre unless told).
    static void Click(QWidget* widget, QPoint at = {}) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
    }
    // A user's click at a point of the window's client area: reaches whatever
    // widget lies on top there.
    void ClickInWindow(int x, int y) {
        QWidget* client = Form->Container();
        QWidget* target = client->childAt(x, y);
        ASSERT_NE(target, nullptr) << "nothing at " << x << "," << y;
        Click(target, target->mapFrom(client, QPoint(x, y)));
    }

    // Starts the sweep loop with "O/1" and stops it with "O/1" once `count`
    // sweeps were drawn; between(n) runs after sweep n (1-based) as a user's
    // action between two sweeps. Returns when the loop has ended.
    void Sweep(int count, const std::function<void(int sweep)>& between = {}) {
        const int first = Form->SweepCount;
        Form->AfterSweep = [this, first, count, between] {
            const int n = Form->SweepCount - first;
            if (between)
                between(n);
            if (n >= count && Form->Acquiring) {
                LastScreen = Form->GraphBitmap.Image().copy();
                LastSurface = Form->PaintBox1->Surface().copy();
                Click(Form->onoff);
            }
        };
        Click(Form->onoff);
        Form->AfterSweep = nullptr;
    }

    std::vector<std::string> MessageTexts() {
        std::vector<std::string> texts;
        for (const platform::MessageRequest& m : Guard.Dialogs.Messages())
            texts.push_back(m.Text);
        return texts;
    }
    int CountMessages(const std::string& text) {
        int n = 0;
        for (const std::string& t : MessageTexts())
            n += t == text ? 1 : 0;
        return n;
    }

    // The screen bitmap and the paint box as the last sweep left them, just
    // before "O/1" stopped the loop (the stop puts the empty face back).
    QImage LastScreen;
    QImage LastSurface;
    TColor ScreenPixel(int x, int y) { return RgbToColor(LastScreen.pixel(x, y)); }

    static constexpr const char* NoSensorPrompt =
        "Aucun capteur n'est branché\r\nil faut en connecter au moins un\r\nsi vous voulez faire "
        "des mesures";

    ApplicationGuard AppState;
    sim::SimRig Rig;
    ScriptedDialogsGuard Guard;
    platform::RecordingDesktop Desktop;
    TForm1* Form = nullptr;

private:
    QString PreviousDirectory;
};
