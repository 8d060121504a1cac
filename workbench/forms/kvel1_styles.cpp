// Series styles and graph colours: the style samples and buttons of the
// "Tracé" group, the graph menu's colour and width items, and the range
// buttons beside the graph.
#include "kvel1.h"

#include "core/Dialogs.h"
#include "graph/Graph.h"
#include "model/Acquisition.h"

namespace kvel1 {

void TForm1::BindStyleHandlers() {
    TButton* const outline[workbench::MaxSeries][2] = {
        {Btbord10, Btbord11}, {BtBord20, BtBord21}, {BtBord30, BtBord31}, {BtBord40, BtBord41}};
    TButton* const fill[workbench::MaxSeries][2] = {
        {Btint10, Btint11}, {Btint20, Btint21}, {Btint30, Btint31}, {Btint40, Btint41}};
    TButton* const shape[workbench::MaxSeries][2] = {{BTforme10, BtForme11},
                                                     {BtForme20, BtForme21},
                                                     {BtForme30, BtForme31},
                                                     {BtForme40, BtForme41}};
    for (int s = 1; s <= workbench::MaxSeries; ++s)
        for (int c = 0; c < workbench::ChannelCount; ++c) {
            TPaintBox* sample = StyleSamples[s - 1][c];
            sample->OnPaint = [this, s, c](TCanvas& canvas) { PaintStyleSample(s, c, canvas); };
            sample->OnMouseUp = [this, s, c](TMouseButton, TShiftState, int, int) {
                PickCurveColour(s, c);
            };
            outline[s - 1][c]->OnClick = [this, s, c] { PickPointOutlineColour(s, c); };
            fill[s - 1][c]->OnClick = [this, s, c] { PickPointFillColour(s, c); };
            shape[s - 1][c]->OnClick = [this, s, c] { CyclePointShape(s, c); };
        }
    BtEpaisseurPlus->OnClick = [this] { BtEpaisseurPlusClick(); };
    BtEpaisseurMoins->OnClick = [this] { BtEpaisseurMoinsClick(); };
    BtPointPlus->OnClick = [this] { BtPointPlusClick(); };
    BtPointMoins->OnClick = [this] { BtPointMoinsClick(); };
    BtepaisseurBordPlus->OnClick = [this] { BtepaisseurBordPlusClick(); };
    BtEpaisseurBordMoins->OnClick = [this] { BtEpaisseurBordMoinsClick(); };

    ActionCouleurFond->OnExecute = [this] { ActionCouleurFondExecute(); };
    Couleurdufond1->OnClick = [this] { ActionCouleurFond->Execute(); };
    N1point->OnClick = [this] { N1pointClick(); };
    N2points->OnClick = [this] { N2pointsClick(); };
    N3points->OnClick = [this] { N3pointsClick(); };
    Couleur1->OnClick = [this] { Couleur1Click(); };
    Couleur2->OnClick = [this] { Couleur2Click(); };
    Couleurgrille1->OnClick = [this] { Couleurgrille1Click(); };
    Couleurgrille2->OnClick = [this] { Couleurgrille2Click(); };
    Grille1->OnClick = [this] { Grille1Click(); };
    Grille2->OnClick = [this] { Grille2Click(); };
    RAZparams->OnClick = [this] { RAZparamsClick(); };
    Enregistreroptions1->OnClick = [this] { Enregistreroptions1Click(); };

    SBmax0->OnUpClick = [this] { RaiseDisplayMax(0); };
    SBmax0->OnDownClick = [this] { LowerDisplayMax(0); };
    SBmin0->OnUpClick = [this] { RaiseDisplayMin(0); };
    SBmin0->OnDownClick = [this] { LowerDisplayMin(0); };
    SBmax1->OnUpClick = [this] { RaiseDisplayMax(1); };
    SBmax1->OnDownClick = [this] { LowerDisplayMax(1); };
    SBmin1->OnUpClick = [this] { RaiseDisplayMin(1); };
    SBmin1->OnDownClick = [this] { LowerDisplayMin(1); };
}

// ---------------------------------------------------------------- samples

void TForm1::PaintStyleSample(int s, int c, TCanvas& canvas) {
    // The switches come from the display boxes as the graph reads them.
    SyncGraphState();
    workbench::DrawStyleSample(canvas, s, c, Style, Graph.LineScale, GraphBitmap->Height());
}

void TForm1::RepaintStyles(int s) {
    // A running measurement redraws the bitmap itself: the repaint then
    // only shows it.
    PaintBox1->Invalidate();
    for (int series = 1; series <= workbench::MaxSeries; ++series)
        if (s == 0 || series == s)
            for (int c = 0; c < workbench::ChannelCount; ++c)
                StyleSamples[series - 1][c]->Repaint();
}

// ------------------------------------------------------- colour dialogs

namespace {

// The colour dialog preset with colour; the choice stored when confirmed.
void AskColour(TColor& colour) {
    uint32_t chosen = colour;
    if (platform::Dialogs().ChooseColor(chosen))
        colour = chosen;
}

} // namespace

void TForm1::PickCurveColour(int s, int c) {
    AskColour(Style.CurveColor[s - 1][c]);
    RepaintStyles(s);
}

void TForm1::PickPointOutlineColour(int s, int c) {
    AskColour(Style.PointStyle[s - 1][c].OutlineColor);
    RepaintStyles(s);
}

void TForm1::PickPointFillColour(int s, int c) {
    AskColour(Style.PointStyle[s - 1][c].FillColor);
    RepaintStyles(s);
}

void TForm1::PickColour(TColor& colour) {
    AskColour(colour);
    PaintBox1->Invalidate();
}

void TForm1::ActionCouleurFondExecute() {
    AskColour(Style.BackgroundColor);
    RepaintStyles(0);
}

void TForm1::Couleur1Click() {
    PickColour(Style.AxisColor[0]);
}

void TForm1::Couleur2Click() {
    PickColour(Style.AxisColor[1]);
}

void TForm1::Couleurgrille1Click() {
    PickColour(Style.GridColor[0]);
}

void TForm1::Couleurgrille2Click() {
    PickColour(Style.GridColor[1]);
}

// ------------------------------------------------------ widths and shapes

void TForm1::CyclePointShape(int s, int c) {
    int32_t& shape = Style.PointStyle[s - 1][c].Shape;
    shape = workbench::NextPointShape(shape);
    RepaintStyles(s);
}

void TForm1::StepSelectedStyle(workbench::StyleStep what, bool up) {
    SyncGraphState();
    const int s = Graph.SelectedSeries;
    workbench::StepSeriesStyle(Style, s, what, up);
    RepaintStyles(s);
}

void TForm1::BtepaisseurBordPlusClick() {
    StepSelectedStyle(workbench::StyleStep::OutlineWidth, true);
}

void TForm1::BtEpaisseurBordMoinsClick() {
    StepSelectedStyle(workbench::StyleStep::OutlineWidth, false);
}

void TForm1::BtEpaisseurPlusClick() {
    StepSelectedStyle(workbench::StyleStep::CurveWidth, true);
}

void TForm1::BtEpaisseurMoinsClick() {
    StepSelectedStyle(workbench::StyleStep::CurveWidth, false);
}

void TForm1::BtPointPlusClick() {
    StepSelectedStyle(workbench::StyleStep::PointSize, true);
}

void TForm1::BtPointMoinsClick() {
    StepSelectedStyle(workbench::StyleStep::PointSize, false);
}

// ------------------------------------------------------------ graph menu

void TForm1::N1pointClick() {
    Style.AxisWidth = 1;
    PaintBox1->Invalidate();
}

void TForm1::N2pointsClick() {
    Style.AxisWidth = 2;
    PaintBox1->Invalidate();
}

void TForm1::N3pointsClick() {
    Style.AxisWidth = 3;
    PaintBox1->Invalidate();
}

void TForm1::Grille1Click() {
    Grille1->SetChecked(!Grille1->Checked());
    Style.GridOn[0] = Style.GridOn[0] != 0 ? 0 : 1;
    PaintBox1->Invalidate();
}

void TForm1::Grille2Click() {
    Grille2->SetChecked(!Grille2->Checked());
    Style.GridOn[1] = Style.GridOn[1] != 0 ? 0 : 1;
    PaintBox1->Invalidate();
}

// ---------------------------------------------------------- range buttons

void TForm1::MoveRange(int c, workbench::RangeMove move) {
    SyncGraphState();
    const bool xy = AcqMode == workbench::ModeXY || AcqMode == workbench::ModeManual;
    if (workbench::MoveDisplayRange(MeasurementRecord, Graph.SelectedSeries, c, xy, move))
        PaintBox1->Invalidate();
}

void TForm1::LowerDisplayMax(int c) {
    MoveRange(c, workbench::RangeMove::LowerTop);
}

void TForm1::RaiseDisplayMax(int c) {
    MoveRange(c, workbench::RangeMove::RaiseTop);
}

void TForm1::LowerDisplayMin(int c) {
    MoveRange(c, workbench::RangeMove::LowerBottom);
}

void TForm1::RaiseDisplayMin(int c) {
    MoveRange(c, workbench::RangeMove::RaiseBottom);
}

} // namespace kvel1
