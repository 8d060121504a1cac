// Sensor detection, the live tick and the live display panels.
#include "kvel1.h"

#include "WindowRules.h"
#include "colorAff.h"
#include "core/Dialogs.h"
#include "gui/Canvas.h"
#include "model/Acquisition.h"
#include "tampon.h"

#include <QFontMetrics>

#include <algorithm>

using namespace tampon;
using namespace colorAff;

namespace kvel1 {

namespace {

constexpr const char* NoSensorQuestion = "Aucun capteur n'est branché\r\nil faut en connecter au "
                                         "moins un\r\nsi vous voulez faire des mesures";

} // namespace

void TForm1::DetectSensors() {
    ActionNouvelleMesure->SetEnabled(false);
    ActionRefaireMesure->SetEnabled(false);
    ActionFinMesures->SetEnabled(false);
    ConnectGivenUp = false;
    BothSensors = 0;
    SensorPresent = 0;

    bool onChannel0 = false;
    bool onChannel1 = false;
    do {
        RGVoie->Items.Clear();
        std::string text1;
        std::string text2;
        onChannel0 = IdentifySensor(0);
        if (onChannel0) {
            RGVoie->Items.Add("Y1");
            text1 = ChannelName[0];
            workbench::CopySensorHeader(MeasurementRecord, 0);
        } else {
            text1 = workbench::NoSensorText;
        }
        onChannel1 = IdentifySensor(1);
        if (onChannel1) {
            RGVoie->Items.Add("Y2");
            text2 = SensorName(1);
            workbench::CopySensorHeader(MeasurementRecord, 1);
        } else {
            text2 = workbench::NoSensorText;
        }
        if (MeasuredSeries >= 1 && MeasuredSeries <= workbench::MaxSeries)
            MeasurementRecord.PointCount[MeasuredSeries - 1] = 0;
        MeasurementRecord.MeasureCount = 95;
        SetCaption(workbench::SensorsCaption(text1, text2));

        if (onChannel0 || onChannel1) {
            // Choosing the first item runs the mode choice as a user's click does.
            RGVoie->SetItemIndex(0);
            AcqMode = RGVoie->Items[0] == "Y1" ? 0 : 1;
            RGVoie->SetEnabled(true);
            GroupBoxSynchro->SetVisible(true);
            SensorPresent = 1;
            BothSensors = onChannel0 && onChannel1 ? 1 : 0;
            ActionNouvelleMesure->SetEnabled(true);
            ActionRefaireMesure->SetEnabled(false);
            NbMesures->SetEnabled(false);
            const int c = TriggerChannel == 1 ? 1 : 0;
            Pnivdec->SetCaption(workbench::TriggerLevelText(TriggerLevel, ChannelSlope[c],
                                                            ChannelOffset[c], ChannelDecimals[c],
                                                            ChannelUnit[c]));
            NbMesuresChange();
            if (BothSensors) {
                RGVoie->Items.Add("YY");
                RGVoie->Items.Add("XY");
                RGVoie->Items.Add("man.");
            }
            Timer->SetEnabled(true);
        } else {
            if (InterfaceSilent()) {
                // Asking for a sensor would only repeat the failure: the user
                // is told once, and the live tick stays off.
                ConnectGivenUp = true;
                Timer->SetEnabled(false);
                platform::ShowMessage(workbench::InterfaceSilentText);
                break;
            }
            const platform::ModalResult answer =
                platform::MessageDlg(NoSensorQuestion, platform::MsgType::Warning,
                                     platform::MbOk | platform::MbCancel, "Attention");
            if (answer != platform::ModalResult::Ok)
                ConnectGivenUp = true;
        }
    } while (!onChannel0 && !onChannel1 && !ConnectGivenUp);
}

void TForm1::TimerTimer() {
    // The tick talks to the interface: it stops its timer first, so that no
    // tick runs inside another one (a modal box runs a message loop), and
    // switches it on again only when the window still wants live values.
    Timer->SetEnabled(false);

    bool presence[2];
    std::string names[2];
    std::string units[2];
    for (int c = 0; c < 2; ++c) {
        presence[c] = SensorOnChannel[c];
        names[c] = ChannelName[c];
        units[c] = ChannelUnit[c];
    }

    // Once the interface has stopped answering the tick says so and stops
    // asking; a channel whose query keeps failing is marked empty (told once
    // by the link), which the comparison below sees as a change.
    LinkResult results[2] = {LinkResult::Answered, LinkResult::Answered};
    for (int c = 0; c < 2; ++c) {
        IdentifySensor(c, &results[c]);
        if (InterfaceSilent()) {
            StopLiveOnSilence(true);
            return;
        }
    }
    if (results[0] == LinkResult::Busy || results[1] == LinkResult::Busy) {
        // Another exchange is under way: try again at the next tick.
        Timer->SetEnabled(true);
        return;
    }

    bool changed = false;
    for (int c = 0; c < 2; ++c)
        changed = changed || presence[c] != SensorOnChannel[c] || names[c] != ChannelName[c] ||
                  units[c] != ChannelUnit[c];
    if (changed) {
        DetectSensors();
        if (InterfaceSilent()) {
            StopLiveOnSilence(false); // the detection has told it
            return;
        }
        if (!SensorOnChannel[0] && !SensorOnChannel[1]) {
            // Given up: no live value until sensor detection runs again.
            Timer->SetEnabled(false);
            SetLiveText(0, "");
            SetLiveText(1, "");
            return;
        }
    }

    ValuePair values{};
    const LinkResult reading = ReadChannels(values);
    if (reading == LinkResult::NoAnswer && InterfaceSilent()) {
        StopLiveOnSilence(true);
        return;
    }
    if (reading == LinkResult::Answered) {
        for (int c = 0; c < 2; ++c)
            SetLiveText(c, SensorOnChannel[c] ? workbench::LiveValueText(
                                                    values[c], ChannelDecimals[c], ChannelUnit[c])
                                              : std::string());
    }
    Timer->SetEnabled(true);
}

void TForm1::StopLiveOnSilence(bool tell) {
    Timer->SetEnabled(false);
    SetLiveText(0, "");
    SetLiveText(1, "");
    if (tell)
        platform::ShowMessage(workbench::InterfaceSilentText);
}

void TForm1::FormResize() {
    if (!GraphBitmap)
        return; // still being built
    if (PanelAfficheurs->Visible()) {
        const bool giant = ActionAffGeants->Checked();
        const workbench::DisplayPanelsLayout layout =
            workbench::ComputeDisplayPanels(giant, Panel3->Height(), PanelAfficheurs->Width());
        PanelAfficheurs->SetHeight(layout.BandHeight);
        if (giant) {
            PanelY0->SetAlign(alTop);
            PanelY0->SetHeight(layout.PanelHeight);
            PanelY0->SetAnchors(akLeft | akTop | akRight);
            PanelY1->SetAlign(alBottom);
            PanelY1->SetHeight(layout.PanelHeight);
            PanelY1->SetAnchors(akLeft | akRight | akBottom);
        } else {
            PanelY0->SetAlign(alLeft);
            PanelY0->SetWidth(layout.PanelWidth);
            PanelY0->SetAnchors(akLeft | akTop | akBottom);
            PanelY1->SetAlign(alRight);
            PanelY1->SetWidth(layout.PanelWidth);
            PanelY1->SetAnchors(akTop | akRight | akBottom);
        }
        PanelAfficheurs->Realign();
        LiveFontHeight = layout.FontHeight;
        FitLiveFonts();
    }
    Panel3->Realign();
    PanelGraphique->Realign();

    PaintWidth = static_cast<uint16_t>(PaintBox1->Width());
    PaintHeight = static_cast<uint16_t>(PaintBox1->Height());
    Graph.PlotWidth = PaintWidth - 2 * GraphMargin;
    Graph.PlotHeight = PaintHeight - 2 * GraphMargin;
    GraphBitmap->SetSize(std::max(Graph.PlotWidth, 1), std::max(Graph.PlotHeight, 1));
    PaintBox1->Invalidate();
}

void TForm1::SetLiveText(int channel, const std::string& text) {
    TPanel* panel = channel == 0 ? PanelY0 : PanelY1;
    if (panel->Caption() == text)
        return;
    panel->SetCaption(text);
    FitLiveFonts();
}

void TForm1::FitLiveFonts() {
    if (LiveFontHeight <= 0)
        return;
    // The caption is centred between the bevels; keep a few pixels free.
    const int available = std::min(PanelY0->Width(), PanelY1->Width()) - 8;
    TFont font = PanelY0->Font();
    const int height = workbench::FitFontHeight(
        LiveFontHeight, available, {PanelY0->Caption(), PanelY1->Caption()},
        [&font](int h, const std::string& text) {
            TFont sized = font;
            sized.Height = h;
            return QFontMetrics(ToQFont(sized)).horizontalAdvance(QString::fromStdString(text));
        });
    if (PanelY0->Font().Height == height && PanelY1->Font().Height == height)
        return;
    font.Height = height;
    PanelY0->SetFont(font);
    font.Color = PanelY1->Font().Color;
    PanelY1->SetFont(font);
}

void TForm1::ActionAfficheursExecute() {
    if (PanelAfficheurs->Visible()) {
        PanelAfficheurs->SetVisible(false);
        ActionAffGeants->SetEnabled(false);
        ActionAfficheurs->SetChecked(false);
    } else {
        PanelAfficheurs->SetVisible(true);
        ActionAffGeants->SetEnabled(true);
        ActionAfficheurs->SetChecked(true);
    }
    LayOut();
}

void TForm1::ActionAffGeantsExecute() {
    ActionAffGeants->SetChecked(!ActionAffGeants->Checked());
    FormResize();
    FormResize();
}

namespace {

void ChooseDisplayColours(TPanel* panel, const std::string& caption) {
    if (!Form3)
        return;
    Form3->SetCaption(caption);
    if (Form3->ShowModal() != mrOk)
        return;
    TFont font = panel->Font();
    font.Color = Form3->ColorBox1->Selected();
    panel->SetFont(font);
    panel->SetColor(Form3->ColorBox2->Selected());
    panel->Repaint();
}

} // namespace

void TForm1::PanelY0ContextPopup(int, int, bool& handled) {
    handled = true;
    ChooseDisplayColours(PanelY0, "Couleurs : afficheur voie 1");
}

void TForm1::PanelY1ContextPopup(int, int, bool& handled) {
    handled = true;
    ChooseDisplayColours(PanelY1, "Couleurs : afficheur voie 2");
}

} // namespace kvel1
