// Creation of the oscilloscope's window, the search for the interface and its
// sensors, the presence watch, the about box, quitting and closing.
#include "Trevalume.h"

#include "About.h"

#include "core/Clock.h"
#include "core/Desktop.h"
#include "core/Dialogs.h"

using namespace tampon;
using namespace About;

namespace trevalume {

bool InterfaceOpen = false;
bool ConnectGivenUp = false;
std::string DataProgramPath;

std::string SensorsCaption(const std::string& textA, const std::string& textB) {
    return "Trevalume - VN et QD -TAVEN.Q | Voie 1 : " + textA + " | Voie 2 : " + textB;
}

namespace {

constexpr const char* NoInterfacePrompt =
    "L'interface de mesure n'est pas branchée\r\nconnectez-la avant de continuer";
constexpr const char* NoSensorPrompt = "Aucun capteur n'est branché\r\nil faut en connecter au "
                                       "moins un\r\nsi vous voulez faire des mesures";

bool AskRetry(const char* text) {
    return platform::MessageDlg(text, platform::MsgType::Warning,
                                platform::MbOk | platform::MbCancel,
                                "Attention") != platform::ModalResult::Cancel;
}

} // namespace

void TForm1::FormCreate() {
    // Number texts always use the decimal comma (the link reads the numbers
    // of the sensor memories with it); nothing to switch here.
    platform::DisableScreenSaver();
    Timer->SetEnabled(false);

    for (int ch = 0; ch < 2; ++ch) {
        ChannelSlope[ch] = 1.0;
        ChannelOffset[ch] = 0.0;
        CalRawLow[ch] = 0;
    }

    GraphMargin = PanelLayout::Screen::GraphMargin;
    PlotWidth = static_cast<uint16_t>(PaintBox1->Width() - 2 * GraphMargin);
    PlotHeight = static_cast<uint16_t>(PaintBox1->Height() - 2 * GraphMargin);
    GraphBitmap.SetSize(PlotWidth, PlotHeight);

    TriggerEdge = 0;
    TimeStepMs = TimeBaseRow(0).TimeStepMs;
    PointHalfSize = 1;
    SweepSet.DeltaTIndex = 0;
    AcqMode = ModeChannelA;

    UpDown1->SetMin(1);
    UpDown1->SetMax(5);
    UpDown1->Increment = 1;
    UpDown1->SetPosition(2);
    UpDown3->SetMin(80);
    UpDown3->SetMax(220);
    UpDown3->Increment = 10;
    UpDown3->SetPosition(100);
    GraphBitmap.Canvas().Pen.Color = RGB(0, 100, 0);
    GraphBitmap.Canvas().Pen.Width = 1;

    TriggerLevel = 512;
    UpDown2->SetMin(2);
    UpDown2->SetMax(1022);
    UpDown2->Increment = 10;
    UpDown2->SetPosition(512);

    // The screen's face: required; a missing or unreadable file ends the
    // creation here with the toolkit's error box.
    const std::string name(PanelLayout::Screen::BackgroundFile);
    const std::string found = platform::FindDataFile(name, DataProgramPath);
    ScreenBackground.Assign(LoadPictureFile(found.empty() ? name : found));

    PixelsPerDivision = PixelsPerDivisionFor(PlotHeight);
    VerticalOffset = {0, 0};
    XShift = 0;
    OriginX = PanelLayout::Screen::OriginX;
    ScaleX = TimeScale(PlotWidth, 5);
    ScaleY = {SensitivityScale(PixelsPerDivision, 2), SensitivityScale(PixelsPerDivision, 2)};

    SetCaption(DetectingCaption);

    for (int ch = 0; ch < 2; ++ch) {
        StoredRangeHigh[ch] = RangeHigh[ch] = 10;
        StoredRangeLow[ch] = RangeLow[ch] = -10;
    }
    ParametresParDefaut();
    UpDown2->Hide();
    InitSweepSet(SweepSet);

    ConnectGivenUp = false;
    InterfaceOpen = false;
    while (!InterfaceOpen && !ConnectGivenUp)
        ConnectInterface();
}

void TForm1::ParametresParDefaut() {
    for (int ch = 0; ch < 2; ++ch) {
        ChannelSlope[ch] = StoredSlope[ch];
        ChannelOffset[ch] = StoredOffset[ch];
        RangeLow[ch] = StoredRangeLow[ch];
        RangeHigh[ch] = StoredRangeHigh[ch];
    }
    BtYa->Click();
}

void TForm1::ConnectInterface() {
    if (GetDeviceCount() <= 0) {
        if (!AskRetry(NoInterfacePrompt))
            ConnectGivenUp = true;
        return;
    }
    switch (OpenFirstInterface()) {
    case OpenOutcome::NoDescription:
        // Listed but unreadable (no permission, busy, unplugged): said when
        // the driver knows why.
        ConnectGivenUp = true;
        if (!InterfaceFailureReason().empty())
            platform::MessageDlg(OpenFailureMessage(), platform::MsgType::Information,
                                 platform::MbOk);
        return;
    case OpenOutcome::OpenFailed:
        ConnectGivenUp = true;
        platform::MessageDlg(OpenFailureMessage(), platform::MsgType::Information, platform::MbOk);
        return;
    case OpenOutcome::Opened:
        break;
    }
    InterfaceOpen = true;
    DetectSensors();
}

void TForm1::DetectSensors() {
    ConnectGivenUp = false;
    for (;;) {
        std::string textA = NoSensorText;
        std::string textB = NoSensorText;
        if (IdentifySensor(0))
            textA = ChannelName[0];
        else
            SensorOnChannel[0] = false;
        if (IdentifySensor(1))
            textB = SensorName(1);
        else
            SensorOnChannel[1] = false;
        SetCaption(SensorsCaption(textA, textB));

        if (SensorOnChannel[0] || SensorOnChannel[1]) {
            if (SensorOnChannel[1])
                AcqMode = ModeChannelB;
            if (SensorOnChannel[0])
                AcqMode = ModeChannelA;
            Timer->SetEnabled(true);
            return;
        }
        if (InterfaceSilent()) {
            // Asking for sensors would only repeat the failure.
            InterfaceStoppedAnswering();
            return;
        }
        if (!AskRetry(NoSensorPrompt)) {
            ConnectGivenUp = true;
            return;
        }
    }
}

void TForm1::InterfaceStoppedAnswering() {
    Timer->SetEnabled(false);
    if (Acquiring)
        StopSweeps();
    Lost = true;
    if (LostTold)
        return;
    LostTold = true;
    platform::MessageDlg(InterfaceSilentText, platform::MsgType::Warning, platform::MbOk,
                         "Attention");
}

bool TForm1::PresenceChanged(int channel, bool& silent) {
    const bool had = SensorOnChannel[channel];
    const bool present = (channel == 0 ? DetectSensor1() : DetectSensor2()) == 1;
    silent = InterfaceSilent();
    if (silent)
        InterfaceStoppedAnswering();
    return !silent && present != had;
}

void TForm1::TimerTimer() {
    // The watch talks to the interface: it stops itself first, so that the
    // boxes it may show cannot start another tick.
    Timer->SetEnabled(false);
    // A failed query marks its channel empty: compared with the presence
    // before it, that is a change, and the detection runs (without a second
    // report of the same failure). A change that the sweep loop saw runs it
    // at once.
    bool changed = DetectionDue;
    DetectionDue = false;
    bool silent = false;
    if (!changed)
        changed = PresenceChanged(0, silent);
    if (!changed && !silent)
        changed = PresenceChanged(1, silent);
    if (silent)
        return;
    if (!changed) {
        Timer->SetEnabled(true);
        return;
    }
    DetectSensors();
    if (Lost)
        return;
    if (!SensorOnChannel[0] && !SensorOnChannel[1]) {
        // No sensor left: a running sweep loop ends (the prompt told the user).
        if (Acquiring)
            StopSweeps();
        return;
    }
    Timer->SetEnabled(true);
}

void TForm1::Apropos1Click() {
    if (AboutBox != nullptr)
        AboutBox->ShowModal();
}

void TForm1::Quitter1Click() {
    if (Acquiring)
        onoffClick();
    Timer->SetEnabled(false); // nothing talks to the interface any more
    if (InterfaceOpen) {
        CloseInterface();
        InterfaceOpen = false;
    }
    platform::MessageBeep();
    platform::MessageBeep();
    Close();
}

void TForm1::FormClose(TCloseAction&) {
    if (Acquiring)
        onoffClick();
}

} // namespace trevalume
