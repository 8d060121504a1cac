// The main window: program-wide state, construction and handler bindings.
#include "kvel1.h"

#include "gui/Canvas.h"

#include <QAction>

namespace kvel1 {

bool InterfaceOpen = false;
bool ConnectGivenUp = false;
int32_t PrinterIndex = -1;

workbench::MeasurementSet MeasurementRecord{};

TForm1* Form1 = nullptr;

TForm1::TForm1() {
    CreateComponents();
    FillControlTables();
    BindHandlers();
    GraphBitmap = std::make_unique<TBitmap>(PaintBox1->Width(), PaintBox1->Height());
    if (!Form1)
        Form1 = this;
}

TForm1::~TForm1() {
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::FillControlTables() {
    TCheckBox* const boxes[workbench::MaxSeries][workbench::ChannelCount][3] = {
        {{cbS1g1, cbs1L1, cbs1p1}, {cbs1g2, cbs1L2, cbs1p2}},
        {{cbs2g1, cbs2L1, cbs2p1}, {cbs2g2, cbs2L2, cbs2p2}},
        {{cbs3g1, cbs3L1, cbs3p1}, {cbs3g2, cbs3L2, cbs3p2}},
        {{cbs4g1, cbs4L1, cbs4p1}, {cbs4g2, cbs4L2, cbs4p2}}};
    TGroupBox* const groups[workbench::MaxSeries] = {GBS1, GBS2, GBS3, GBS4};
    TSpeedButton* const buttons[workbench::MaxSeries] = {BTS1, BTS2, BTS3, BTS4};
    TPaintBox* const samples[workbench::MaxSeries][workbench::ChannelCount] = {
        {PB10, PB11}, {PB20, PB21}, {PB30, PB31}, {PB40, PB41}};
    for (int s = 0; s < workbench::MaxSeries; ++s) {
        SeriesBoxes[s] = groups[s];
        SeriesButtons[s] = buttons[s];
        for (int c = 0; c < workbench::ChannelCount; ++c) {
            StyleSamples[s][c] = samples[s][c];
            for (int k = 0; k < 3; ++k)
                CurveBoxes[s][c][k] = boxes[s][c][k];
        }
    }
}

void TForm1::BindHandlers() {
    OnCreate = [this] { FormCreate(); };
    OnClose = [this](TCloseAction& action) { FormClose(action); };
    OnKeyDown = [this](uint16_t& key, TShiftState shift) { FormKeyDown(key, shift); };
    OnResize = [this] { FormResize(); };

    ActionQuitter->OnExecute = [this] { ActionQuitterExecute(); };
    ActionLire->OnExecute = [this] { ActionLireExecute(); };
    ActionRAZ->OnExecute = [this] { ActionRAZExecute(); };
    ActionAfficheurs->OnExecute = [this] { ActionAfficheursExecute(); };
    ActionAffGeants->OnExecute = [this] { ActionAffGeantsExecute(); };
    ActionTable->OnExecute = [this] { ActionTableExecute(); };
    ActionCopierTableau->OnExecute = [this] { ActionCopierTableauExecute(); };
    ActionCopierImage->OnExecute = [this] { ActionCopierImageExecute(); };
    ActionAide1->OnExecute = [this] { ActionAide1Execute(); };
    ActionApropos->OnExecute = [this] { ActionAproposExecute(); };
    ActionPanneauReglages->OnExecute = [this] { ActionPanneauReglagesExecute(); };
    ActionNouvelleMesure->OnExecute = [this] { ActionNouvelleMesureExecute(); };
    ActionRefaireMesure->OnExecute = [this] { ActionRefaireMesureExecute(); };
    ActionFinMesures->OnExecute = [this] { ActionFinMesuresExecute(); };
    ActionValiderXY->OnExecute = [this] { ActionValiderXYExecute(); };
    ActionRevaliderXY->OnExecute = [this] { ActionRevaliderXYExecute(); };

    // "RAZ" is the button face of ActionRAZ: it follows the action's state.
    BtRAZ->OnClick = [this] {
        if (ActionRAZ->Enabled())
            ActionRAZ->Execute();
    };
    QObject::connect(ActionRAZ->Action(), &QAction::changed, this,
                     [this] { BtRAZ->SetEnabled(ActionRAZ->Enabled()); });

    RGVoie->OnClick = [this] { RGVoieClick(); };
    CBdelta_t->OnCloseUp = [this] { CBdelta_tCloseUp(); };
    NbMesures->OnChange = [this] { NbMesuresChange(); };
    RGvoieSynchro->OnClick = [this] { RGvoieSynchroClick(); };
    SBnivdec->OnDownClick = [this] { SBnivdecDownClick(); };
    SBnivdec->OnUpClick = [this] { SBnivdecUpClick(); };

    PanelY0->OnContextPopup = [this](int x, int y, bool& handled) {
        PanelY0ContextPopup(x, y, handled);
    };
    PanelY1->OnContextPopup = [this](int x, int y, bool& handled) {
        PanelY1ContextPopup(x, y, handled);
    };
    PaintBox1->OnPaint = [this](TCanvas& canvas) { PaintBox1Paint(canvas); };
    PopupMenu1->OnPopup = [this] { PopupMenu1Popup(); };
    Zero1->OnClick = [this] { Zero1Click(); };
    Zero2->OnClick = [this] { Zero2Click(); };
    EtalonOxy1->OnClick = [this] { EtalonOxy1Click(); };
    EtalonOxy2->OnClick = [this] { EtalonOxy2Click(); };
    portrait12page1->OnClick = [this] { portrait12page1Click(); };
    portrait2page1->OnClick = [this] { portrait2page1Click(); };
    N6parpageportrait1->OnClick = [this] { N6parpageportrait1Click(); };
    N1parpageportrait1->OnClick = [this] { N1parpageportrait1Click(); };
    N4parpagepaysage1->OnClick = [this] { N4parpagepaysage1Click(); };
    N1parpagepaysage1->OnClick = [this] { N1parpagepaysage1Click(); };
    BindSeriesHandlers();
    BindCursorHandlers();
    BindStyleHandlers();

    Timer->OnTimer = [this] { TimerTimer(); };
    TimerYt->OnTimer = [this] { TimerYtTimer(); };
    TimerYY->OnTimer = [this] { TimerYYTimer(); };
    TimerXY->OnTimer = [this] { TimerXYTimer(); };
}

void TForm1::LayOut() {
    Realign();
    FormResize();
}

} // namespace kvel1
