// The front-panel controls: display mode, knobs, positions, ground switches,
// trigger, intensity, brightness, horizontal shift, and the clipboard copies.
// Each handler changes the window state that the next sweep reads.
#include "Trevalume.h"

#include "core/Desktop.h"
#include "core/Dialogs.h"

#include <QPainter>

namespace trevalume {

// ---------------------------------------------------------------------------
// Display mode

void TForm1::DisplayModeClick(int mode, TSpeedButton* clicked) {
    AcqMode = mode;
    if (!Acquiring)
        return;
    for (TSpeedButton* button : {BtYa, BtYb, BtYY, BtXY})
        SetCaptionColour(button, button == clicked ? clRed : clWindowText);
    SBTrun->SetDown(true);
}

void TForm1::BtYaClick() {
    DisplayModeClick(ModeChannelA, BtYa);
}

void TForm1::BtYbClick() {
    DisplayModeClick(ModeChannelB, BtYb);
}

void TForm1::BtYYClick() {
    DisplayModeClick(ModeBoth, BtYY);
}

void TForm1::BtXYClick() {
    DisplayModeClick(ModeXY, BtXY);
    if (!Acquiring)
        return;
    if (synchroauto->Checked())
        synchroautoClick();
    else
        synchroauto->SetChecked(true); // runs synchroautoClick
}

// ---------------------------------------------------------------------------
// Knobs

void TForm1::LoadKnobPicture(TImage* knob, std::string_view fileName) {
    // Current directory first, then beside the program; a missing file is
    // reported with its path in the current directory.
    const std::string name(fileName);
    const std::string found = platform::FindDataFile(name, DataProgramPath);
    knob->LoadFromFile(found.empty() ? name : found);
}

void TForm1::SensitivityZoneClick(const PanelLayout::ClickZone& zone) {
    LoadKnobPicture(zone.Channel == 0 ? FondBtYa : FondBtYb, zone.PictureFile);
    ScaleY[static_cast<size_t>(zone.Channel)] = SensitivityScale(PixelsPerDivision, zone.Value);
}

void TForm1::TimeBaseZoneClick(const PanelLayout::ClickZone& zone) {
    LoadKnobPicture(FondBaseTemps, zone.PictureFile);
    ScaleX = TimeScale(PlotWidth, zone.Value);
    const int row = TimeBaseRowForDivision(zone.Value);
    SweepSet.DeltaTIndex = static_cast<uint8_t>(row);
    TimeStepMs = TimeBaseRow(row).TimeStepMs;
    SBTrun->SetDown(true);
}

// ---------------------------------------------------------------------------
// Positions, ground switches, shift

void TForm1::PositionZoneClick(const PanelLayout::ClickZone& zone) {
    int16_t& offset = VerticalOffset[static_cast<size_t>(zone.Channel)];
    offset = static_cast<int16_t>(offset + static_cast<int>(zone.Value));
}

void TForm1::RadioGroupYaClick() {
    GroundA = RadioGroupYa->ItemIndex() == 1;
}

void TForm1::RadioGroupYbClick() {
    GroundB = RadioGroupYb->ItemIndex() == 1;
}

void TForm1::ShiftZoneClick(const PanelLayout::ClickZone& zone) {
    XShift = ShiftAfterStep(XShift, static_cast<int>(zone.Value));
}

void TForm1::Image1Click() {
    XShift = 0;
}

// ---------------------------------------------------------------------------
// Trigger

void TForm1::frontmontClick() {
    TriggerEdge = 0;
}

void TForm1::frontdescClick() {
    TriggerEdge = 1;
}

void TForm1::voiesynchroAMouseUp() {
    if (voiesynchroA->Checked())
        TriggerChannel = 0;
}

void TForm1::voiesynchroBMouseUp() {
    if (voiesynchroB->Checked())
        TriggerChannel = 1;
}

void TForm1::synchroautoClick() {
    if (synchroauto->Checked()) {
        UpDown2->SetEnabled(false);
        UpDown2->Hide();
        TriggerLevel = 512;
    } else {
        TriggerLevel = 0;
        UpDown2->SetPosition(512);
        UpDown2->SetEnabled(true);
        UpDown2->Show();
    }
}

void TForm1::UpDown2Click(TUDBtnType) {
    TriggerLevel = static_cast<uint16_t>(UpDown2->Position());
}

// ---------------------------------------------------------------------------
// Intensity and brightness

void TForm1::UpDown1Click(TUDBtnType) {
    UpDown1->Repaint();
    if (modgraph1->Down())
        PointHalfSize = static_cast<uint16_t>(UpDown1->Position());
    else if (modgraph2->Down() || modgraph3->Down())
        GraphBitmap.Canvas().Pen.Width = UpDown1->Position();
}

void TForm1::UpDown3Click(TUDBtnType) {
    GraphBitmap.Canvas().Pen.Color = BrightnessColour(UpDown3->Position());
}

// ---------------------------------------------------------------------------
// Clipboard

void TForm1::Copier1Click() {
    const bool running = SBTrun->Down();
    SBTstop->SetDown(true);
    PaintBox1->Repaint(); // the screen shows its last trace

    const QRect frame = frameGeometry();
    QImage picture(frame.width(), frame.height(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.drawPixmap(0, 0, Container()->grab());
    }
    Clipboard()->Assign(picture);

    if (running) {
        // "run" again: the screen shows what it showed before the copy.
        SBTrun->SetDown(true);
        RepaintScreen();
    }
    platform::MessageDlg("L'image de l'oscilloscope\r\nest dans le presse-papiers",
                         platform::MsgType::Information, platform::MbOk);
}

void TForm1::Copierloscillogramme1Click() {
    TBitmap picture(PaintBox1->Width(), PaintBox1->Height());
    picture.Canvas().Brush.Color = clWhite;
    picture.Canvas().FillRect(Rect(0, 0, picture.Width(), picture.Height()));
    picture.Canvas().Draw(GraphMargin, GraphMargin, GraphBitmap);
    Clipboard()->Assign(picture);
    platform::MessageDlg("L'image du graphique\r\nest dans le presse-papiers",
                         platform::MsgType::Information, platform::MbOk);
}

} // namespace trevalume
