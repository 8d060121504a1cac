// The graph menu's adjustments of a channel: the zero adjustment and the
// oxygen probe calibration, which writes its new point into the sensor memory.
#include "Oxym.h"
#include "WindowRules.h"
#include "kvel1.h"
#include "model/OxygenCalibration.h"
#include "tampon.h"
#include "zero.h"

#include "core/Dialogs.h"

#include <string>

using namespace tampon;
using Oxym::OKRightDlg2;
using zero::OKRightDlg;

namespace kvel1 {

namespace {

constexpr const char* SameCountAsLowPoint =
    "La valeur validée est celle du point d'étalonnage bas du capteur : "
    "l'étalonnage est impossible.\r\nRien n'a été écrit dans le capteur.";

std::string RefusedWritesText(int refused, int total) {
    return "Le capteur n'a pas accepté " + std::to_string(refused) + " des " +
           std::to_string(total) +
           " octets de l'étalonnage.\r\nL'oxymètre garde ce que sa mémoire contient maintenant.";
}

} // namespace

void TForm1::PopupMenu1Popup() {
    TMenuItem* const zero[2] = {Zero1, Zero2};
    TMenuItem* const oxygen[2] = {EtalonOxy1, EtalonOxy2};
    for (int c = 0; c < 2; ++c) {
        const bool present = SensorOnChannel[c];
        const bool probe = present && ChannelName[c].find("Oxym") != std::string::npos;
        oxygen[c]->SetVisible(probe);
        zero[c]->SetVisible(present && !probe);
    }
}

void TForm1::Zero1Click() {
    AdjustZero(0);
    platform::MessageBeep();
}

void TForm1::Zero2Click() {
    AdjustZero(1);
    platform::MessageBeep();
}

void TForm1::AdjustZero(int channel) {
    if (!OKRightDlg || (channel != 0 && channel != 1))
        return;
    OKRightDlg->Label1->SetCaption(ChannelName[channel]);
    if (OKRightDlg->ShowModal() != mrOk)
        return;
    // The live tick would re-read the sensors between the readings.
    const bool ticking = Timer->Enabled();
    Timer->SetEnabled(false);
    LinkResult result = LinkResult::Answered;
    ChannelOffset[channel] = ZeroChannel(channel, &result);
    Timer->SetEnabled(ticking);
    if (result == LinkResult::NoAnswer)
        platform::MessageDlg(workbench::InterfaceSilentText, platform::MsgType::Warning,
                             platform::MbOk);
}

void TForm1::EtalonOxy1Click() {
    CalibrateOxygenProbe(0);
}

void TForm1::EtalonOxy2Click() {
    CalibrateOxygenProbe(1);
}

void TForm1::CalibrateOxygenProbe(int channel) {
    if (!OKRightDlg2 || (channel != 0 && channel != 1))
        return;
    // The live tick stays off from here to the end, whatever the user answers.
    const bool ticking = Timer->Enabled();
    Timer->SetEnabled(false);
    OKRightDlg2->ProbeChannel = channel;
    if (OKRightDlg2->ShowModal() == mrOk) {
        const float reference = ChannelUnit[channel].find('%') != std::string::npos
                                    ? OKRightDlg2->RefPercent
                                    : OKRightDlg2->RefMgL;
        const int32_t raw = OKRightDlg2->ValidatedRaw;
        const float fullScale = OKRightDlg2->FullScale;
        float slope = ChannelSlope[channel];
        float offset = ChannelOffset[channel];
        // Both points on one count give no line: nothing is written.
        if (!workbench::CalibrationLine(CalRawLow[channel], CalValueLow[channel], raw, reference,
                                        slope, offset)) {
            platform::MessageDlg(SameCountAsLowPoint, platform::MsgType::Warning, platform::MbOk);
        } else {
            const auto writes = workbench::OxygenCalibrationWrites(raw, reference, fullScale);
            int refused = 0;
            for (const workbench::SensorByteWrite& write : writes)
                if (WriteSensorByte(channel, write.Position, write.Value) != LinkResult::Answered)
                    ++refused;
            if (refused == 0) {
                ChannelSlope[channel] = slope;
                ChannelOffset[channel] = offset;
                RangeHigh[channel] = fullScale;
            } else {
                // Part of the point may be in the memory: the sensor is read
                // again, so that the window uses what the sensor now holds.
                platform::MessageDlg(RefusedWritesText(refused, static_cast<int>(writes.size())),
                                     platform::MsgType::Warning, platform::MbOk);
                IdentifySensor(channel);
            }
            const float top = refused == 0 ? fullScale : RangeHigh[channel];
            for (int s = 0; s < workbench::MaxSeries; ++s)
                MeasurementRecord.SensorMax[s][channel] = top;
            const int selected = ValidSelectedSeries();
            MeasurementRecord.DisplayMax[selected - 1][channel] = top;
            PaintBox1->Repaint();
        }
    }
    Timer->SetEnabled(ticking);
}

} // namespace kvel1
