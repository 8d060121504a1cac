// The "O/1" button, the sweep loop and the drawing of the traces.
#include "Trevalume.h"

using namespace tampon;

namespace trevalume {

namespace {

// What the screen shows when "run" is pressed and nothing is drawn: the front
// panel under the paint box.
void DrawPanelUnder(TCanvas& canvas, TImage& panel, const TControl& box) {
    const QImage& picture = panel.Picture();
    if (picture.isNull())
        return;
    canvas.CopyRect(
        Rect(0, 0, box.Width(), box.Height()), picture,
        Rect(box.Left(), box.Top(), box.Left() + box.Width(), box.Top() + box.Height()));
}

} // namespace

void TForm1::SetCaptionColour(TSpeedButton* button, TColor colour) {
    TFont font = button->Font();
    font.Color = colour;
    button->SetFont(font);
}

void TForm1::ColourModeButtons() {
    for (TSpeedButton* button : {BtYa, BtYb, BtYY, BtXY})
        SetCaptionColour(button, button->Down() ? clRed : clWindowText);
}

void TForm1::onoffClick() {
    if (Acquiring) {
        StopSweeps();
        return;
    }
    if (!SensorOnChannel[0] && !SensorOnChannel[1]) {
        SetCaption(NoSensorCaption);
        return;
    }
    Acquiring = true;
    LostTold = false;
    SetCaptionColour(onoff, clRed);
    SBTrun->SetDown(true);
    ColourModeButtons();
    if (LoopRunning) {
        // Stopped and started again between two sweeps: the loop on the
        // stack simply goes on.
        return;
    }
    Timer->SetEnabled(true);
    RunSweeps();
}

void TForm1::StopSweeps() {
    Timer->SetEnabled(false);
    SetCaptionColour(onoff, clWindowText);
    Acquiring = false;
    GraphBitmap.Canvas().Draw(0, 0, ScreenBackground);
    PaintBox1->Canvas()->Draw(GraphMargin, GraphMargin, GraphBitmap);
    RepaintScreen();
    for (TSpeedButton* button : {BtYa, BtYb, BtYY, BtXY})
        SetCaptionColour(button, clWindowText);
}

void TForm1::RunSweeps() {
    LoopRunning = true;
    Timer->SetEnabled(false);
    // During the link's waits the window is repainted and its controls act
    // as between two sweeps; "O/1", "Quitter" and closing end the wait at once.
    const TWaitKeeper keeper([this] { return !Acquiring; });
    while (Acquiring) {
        // Presence of both sensors; a change since the last sweep (a failed
        // query marks its channel empty) wakes the watch, whose next tick
        // identifies the sensors again.
        bool silent = false;
        const bool changedA = PresenceChanged(0, silent);
        if (silent)
            break;
        const bool changedB = PresenceChanged(1, silent);
        if (silent)
            break;
        if (changedA || changedB) {
            DetectionDue = true;
            Timer->SetEnabled(true);
        }
        if (!Acquiring)
            break;

        const BlockRow row = TimeBaseRow(SweepSet.DeltaTIndex);
        SampleBlock block{};
        const LinkResult result =
            AcquireBlock(row.A, row.B, row.C, TriggerChannel, TriggerLevel, TriggerEdge, block);
        if (!Acquiring)
            break; // stopped during the wait: the screen shows what the stop drew
        // A lost or cut block is skipped (the last trace stays); the loop
        // ends only when the interface has stopped answering.
        if (result == LinkResult::NoAnswer && InterfaceSilent()) {
            InterfaceStoppedAnswering();
            break;
        }
        if (result == LinkResult::Answered) {
            Lost = false; // it answers again
            if (SBTrun->Down())
                HeldBlock = block;
        }

        Elapsed = FillSweep(SweepSet, HeldBlock, TimeStepMs, GroundA, GroundB);
        GraphBitmap.Canvas().Draw(0, 0, ScreenBackground);
        DrawTraces();
        PaintBox1->Canvas()->Draw(GraphMargin, GraphMargin, GraphBitmap);
        ++SweepCount;
        if (AfterSweep)
            AfterSweep();
        Application->ProcessMessages();
    }
    LoopRunning = false;
    // The watch runs again, unless the interface is gone or was closed.
    if (InterfaceOpen && !Lost)
        Timer->SetEnabled(true);
}

TraceSettings TForm1::CurrentTraceSettings() const {
    TraceSettings settings;
    settings.AcqMode = AcqMode;
    settings.Type = modgraph1->Down()   ? TraceType::Points
                    : modgraph2->Down() ? TraceType::Bars
                                        : TraceType::Lines;
    settings.ScaleX = ScaleX;
    settings.ScaleY = ScaleY;
    settings.VerticalOffset = {VerticalOffset[0], VerticalOffset[1]};
    settings.XShift = XShift;
    settings.OriginX = OriginX;
    settings.PointHalfSize = PointHalfSize;
    settings.PlotHeight = PlotHeight;
    return settings;
}

void TForm1::DrawTraces() {
    OriginX = PanelLayout::Screen::OriginX;
    DrawSweep(GraphBitmap.Canvas(), SweepSet, CurrentTraceSettings(), OriginY);
}

void TForm1::PaintBox1Paint(TCanvas& canvas) {
    if (SBTstop->Down())
        canvas.Draw(GraphMargin, GraphMargin, GraphBitmap);
}

void TForm1::RepaintScreen() {
    if (!SBTstop->Down())
        DrawPanelUnder(*PaintBox1->Canvas(), *ArrierePlan, *PaintBox1);
    PaintBox1->Repaint();
}

} // namespace trevalume
