// The main window's components and their design-time settings.
#include "kvel1.h"

#include "graph/PrintPage.h"

#include "EmbeddedPictures.h"

#include <QImage>
#include <QToolButton>

namespace kvel1 {

namespace {

template <class T> T* Placed(T* control, int left, int top, int width, int height) {
    control->SetBounds(left, top, width, height);
    return control;
}

TLabel* MakeLabel(TWinControl* parent, const std::string& caption, int left, int top) {
    auto* label = new TLabel(parent);
    label->SetCaption(caption);
    label->SetLeft(left);
    label->SetTop(top);
    return label;
}

TCheckBox* MakeCheckBox(TWinControl* parent, const std::string& caption, int left, int top,
                        int width, int height) {
    auto* box = Placed(new TCheckBox(parent), left, top, width, height);
    box->SetCaption(caption);
    return box;
}

TButton* MakeButton(TWinControl* parent, const std::string& caption, int left, int top, int width,
                    int height) {
    auto* button = Placed(new TButton(parent), left, top, width, height);
    button->SetCaption(caption);
    return button;
}

TAction* MakeAction(QObject* owner, const std::string& caption, int imageIndex = -1) {
    auto* action = new TAction(caption, owner);
    if (imageIndex >= 0)
        action->SetImageIndex(imageIndex);
    return action;
}

TFont BoldArial(int height, TColor color) {
    TFont font;
    font.Name = "Arial";
    font.Height = height;
    font.Color = color;
    font.Style = fsBold;
    return font;
}

// The window's size at start, and the smallest size allowed.
constexpr int FormWidth = 755;
constexpr int FormHeight = 550;
constexpr int FormMinWidth = 712;
constexpr int FormMinHeight = 550;
// Width of the settings panel.
constexpr int SettingsWidth = 203;
// Pictures of the right tool bar.
constexpr int ToolPictureSize = 32;
constexpr int ToolPictureCount = 7;

} // namespace

void TForm1::CreateComponents() {
    SetCaption("");
    SetBounds(0, 0, FormWidth, FormHeight);
    SetMinSize(FormMinWidth, FormMinHeight);
    Position = poDesktopCenter;

    CreateActions();

    // Right tool bar first: it takes the window's right edge, the settings
    // panel stands left of it.
    ActionToolBar2 = new TActionToolBar(this);
    ActionToolBar2->SetStyle(tsPictures);
    ActionToolBar2->SetVertical(true);
    ActionToolBar2->SetImages(ImageList1);
    ActionToolBar2->SetBounds(FormWidth - 44, 30, 44, FormHeight - 30);
    ActionToolBar2->SetAlign(alRight);
    ActionToolBar2->AddAction(ActionPanneauReglages);
    ActionToolBar2->AddSeparator();
    ActionToolBar2->AddAction(ActionNouvelleMesure);
    ActionToolBar2->AddAction(ActionRefaireMesure);
    ActionToolBar2->AddAction(ActionFinMesures);
    ActionToolBar2->AddSeparator();
    ActionToolBar2->AddAction(ActionValiderXY);
    ActionToolBar2->AddAction(ActionRevaliderXY);

    ActionToolBar1 = new TActionToolBar(this);
    ActionToolBar1->SetStyle(tsCaptions);
    ActionToolBar1->SetBounds(0, 0, FormWidth, 30);
    ActionToolBar1->SetAlign(alTop);
    ActionToolBar1->AddAction(ActionQuitter);
    ActionToolBar1->AddAction(ActionLire);
    ActionToolBar1->AddAction(ActionRAZ);
    ActionToolBar1->AddSeparator();
    ActionToolBar1->AddAction(ActionAfficheurs);
    ActionToolBar1->AddAction(ActionAffGeants);
    ActionToolBar1->AddAction(ActionTable);
    ActionToolBar1->AddAction(ActionCopierTableau);
    ActionToolBar1->AddAction(ActionCopierImage);
    ActionToolBar1->AddAction(ActionAide1);
    ActionToolBar1->AddAction(ActionApropos);

    CreateSettingsPanel();
    CreateClientPanel();

    Timer = new TTimer(this);
    Timer->SetEnabled(false);
    Timer->SetInterval(750);
    TimerYt = new TTimer(this);
    TimerYt->SetEnabled(false);
    TimerYY = new TTimer(this);
    TimerYY->SetEnabled(false);
    TimerXY = new TTimer(this);
    TimerXY->SetEnabled(false);

    Realign();
}

void TForm1::CreateActions() {
    ImageList1 = new TImageList(ToolPictureSize, ToolPictureSize, this);
    for (int i = 0; i < ToolPictureCount; ++i) {
        QImage picture(QString::fromLatin1(EmbeddedPicturePrefix) +
                       QStringLiteral("outil%1.png").arg(i));
        if (picture.isNull()) {
            picture = QImage(ToolPictureSize, ToolPictureSize, QImage::Format_ARGB32);
            picture.fill(Qt::transparent);
        }
        ImageList1->Add(picture);
    }

    ActionQuitter = MakeAction(this, "&Quitter");
    ActionLire = MakeAction(this, "&Lire");
    ActionRAZ = MakeAction(this, "&Enregistrer");
    ActionAfficheurs = MakeAction(this, "A&fficheurs");
    ActionAfficheurs->SetChecked(true);
    ActionAffGeants = MakeAction(this, "..géants");
    ActionTable = MakeAction(this, "Tableau");
    ActionCopierTableau = MakeAction(this, "&Copier tableau");
    ActionCopierImage = MakeAction(this, "C&opier graphique");
    ActionAide1 = MakeAction(this, "A&ide");
    ActionApropos = MakeAction(this, "A p&ropos..");

    ActionPanneauReglages = MakeAction(this, "Panneau de réglages", 0);
    ActionNouvelleMesure = MakeAction(this, "Nouvelle mesure", 2);
    ActionRefaireMesure = MakeAction(this, "Refaire la mesure", 1);
    ActionFinMesures = MakeAction(this, "Fin des mesures", 3);
    ActionValiderXY = MakeAction(this, "Valider le point", 5);
    ActionRevaliderXY = MakeAction(this, "Revalider le point", 6);
    for (TAction* action : {ActionPanneauReglages, ActionNouvelleMesure, ActionRefaireMesure,
                            ActionFinMesures, ActionValiderXY, ActionRevaliderXY})
        action->SetImages(ImageList1);
    ActionNouvelleMesure->SetEnabled(false);
    ActionRefaireMesure->SetEnabled(false);
    ActionFinMesures->SetEnabled(false);
    ActionValiderXY->SetVisible(false);
    ActionRevaliderXY->SetVisible(false);
}

void TForm1::CreateSettingsPanel() {
    PanelBoutons = new TPanel(this);
    PanelBoutons->SetBounds(FormWidth - 44 - SettingsWidth, 30, SettingsWidth, FormHeight - 30);
    PanelBoutons->SetAlign(alRight);

    RGVoie = Placed(new TRadioGroup(PanelBoutons), 4, 2, 195, 58);
    RGVoie->SetCaption("Voie");
    RGVoie->SetColumns(3);
    RGVoie->SetEnabled(false);

    GroupBoxSynchro = Placed(new TGroupBox(PanelBoutons), 4, 62, 195, 118);
    GroupBoxSynchro->SetCaption("Synchro");
    CBDec = MakeCheckBox(GroupBoxSynchro, "Déclenché", 8, 18, 88, 18);
    CBmonoCoup = MakeCheckBox(GroupBoxSynchro, "arrêt auto", 100, 18, 90, 18);
    RGfront = Placed(new TRadioGroup(GroupBoxSynchro), 6, 38, 90, 42);
    RGfront->SetCaption("front");
    RGfront->SetColumns(2);
    RGfront->Items.Assign({"_/", "\\_"});
    RGfront->SetItemIndex(0);
    RGvoieSynchro = Placed(new TRadioGroup(GroupBoxSynchro), 100, 38, 90, 42);
    RGvoieSynchro->SetCaption("voie");
    RGvoieSynchro->SetColumns(2);
    RGvoieSynchro->Items.Assign({"1", "2"});
    RGvoieSynchro->SetItemIndex(0);
    LabelNiveau = MakeLabel(GroupBoxSynchro, "niveau", 8, 90);
    Pnivdec = Placed(new TPanel(GroupBoxSynchro), 52, 86, 118, 24);
    Pnivdec->SetBevelOuter(bvLowered);
    Pnivdec->SetColor(clWindow);
    SBnivdec = Placed(new TSpinButton(GroupBoxSynchro), 172, 86, 17, 24);

    GroupBoxTemps = Placed(new TGroupBox(PanelBoutons), 4, 182, 195, 98);
    GroupBoxTemps->SetCaption("Echantillonnage");
    LabelDeltaT = MakeLabel(GroupBoxTemps, "Delta t", 8, 22);
    CBdelta_t = Placed(new TComboBox(GroupBoxTemps), 70, 18, 118, 22);
    CBdelta_t->SetStyle(csDropDownList);
    CBdelta_t->SetDropDownCount(20);
    LabelNbMesures = MakeLabel(GroupBoxTemps, "Nombre de mesures", 8, 50);
    NbMesures = Placed(new TSpinEdit(GroupBoxTemps), 128, 46, 60, 22);
    NbMesures->SetMinValue(10);
    NbMesures->SetMaxValue(200);
    NbMesures->SetIncrement(10);
    NbMesures->SetValue(95);
    NbMesures->SetEditorEnabled(false);
    NbMesures->SetEnabled(false);
    LabelDureeTitre = MakeLabel(GroupBoxTemps, "Durée Totale :", 8, 76);
    LabelDuree = MakeLabel(GroupBoxTemps, "----", 90, 76);

    CreateSeriesControls();

    Label12 = new TLabel(PanelBoutons);
    Label12->SetAutoSize(false);
    Label12->SetBounds(4, FormHeight - 30 - 18, 195, 16);
    Label12->SetAlign(alBottom);
}

void TForm1::CreateSeriesControls() {
    GroupBoxTrace = Placed(new TGroupBox(PanelBoutons), 4, 282, 195, 220);
    GroupBoxTrace->SetCaption("Tracé");
    GroupBoxTrace->SetVisible(false);

    PanelBTS = Placed(new TPanel(GroupBoxTrace), 4, 16, 148, 22);
    PanelBTS->SetBevelOuter(bvNone);
    PanelBTS->SetVisible(false);
    TSpeedButton** selection[workbench::MaxSeries] = {&BTS1, &BTS2, &BTS3, &BTS4};
    for (int s = 0; s < workbench::MaxSeries; ++s) {
        auto* button = Placed(new TSpeedButton(PanelBTS), 37 * s, 0, 36, 22);
        button->SetCaption("S" + std::to_string(s + 1));
        button->SetFlat(true);
        button->SetGroupIndex(1);
        button->SetDown(s == 0);
        button->SetVisible(s == 0);
        *selection[s] = button;
    }
    BtRAZ = MakeButton(GroupBoxTrace, "RAZ", 154, 16, 37, 22);

    TGroupBox** groups[workbench::MaxSeries] = {&GBS1, &GBS2, &GBS3, &GBS4};
    TCheckBox** boxes[workbench::MaxSeries][6] = {
        {&cbS1g1, &cbs1L1, &cbs1p1, &cbs1g2, &cbs1L2, &cbs1p2},
        {&cbs2g1, &cbs2L1, &cbs2p1, &cbs2g2, &cbs2L2, &cbs2p2},
        {&cbs3g1, &cbs3L1, &cbs3p1, &cbs3g2, &cbs3L2, &cbs3p2},
        {&cbs4g1, &cbs4L1, &cbs4p1, &cbs4g2, &cbs4L2, &cbs4p2}};
    TPaintBox** samples[workbench::MaxSeries][2] = {
        {&PB10, &PB11}, {&PB20, &PB21}, {&PB30, &PB31}, {&PB40, &PB41}};
    TButton** outline[workbench::MaxSeries][2] = {{&Btbord10, &Btbord11},
                                                  {&BtBord20, &BtBord21},
                                                  {&BtBord30, &BtBord31},
                                                  {&BtBord40, &BtBord41}};
    TButton** fill[workbench::MaxSeries][2] = {
        {&Btint10, &Btint11}, {&Btint20, &Btint21}, {&Btint30, &Btint31}, {&Btint40, &Btint41}};
    TButton** shape[workbench::MaxSeries][2] = {{&BTforme10, &BtForme11},
                                                {&BtForme20, &BtForme21},
                                                {&BtForme30, &BtForme31},
                                                {&BtForme40, &BtForme41}};
    for (int s = 0; s < workbench::MaxSeries; ++s) {
        auto* group = Placed(new TGroupBox(GroupBoxTrace), 4 + 47 * s, 40, 46, 152);
        group->SetCaption("S" + std::to_string(s + 1));
        group->SetVisible(s == 0);
        *groups[s] = group;
        for (int c = 0; c < workbench::ChannelCount; ++c) {
            const int x = 3 + 21 * c;
            MakeLabel(group, c == 0 ? "Y1" : "Y2", x + 1, 14);
            for (int k = 0; k < 3; ++k)
                *boxes[s][3 * c + k] = MakeCheckBox(group, "", x, 28 + 16 * k, 18, 16);
            *samples[s][c] = Placed(new TPaintBox(group), x + 2, 78, 14, 20);
            *outline[s][c] = MakeButton(group, "o", x, 100, 18, 16);
            *fill[s][c] = MakeButton(group, "", x, 117, 18, 16);
            *shape[s][c] = MakeButton(group, "x", x, 134, 18, 16);
        }
    }

    const int row = 196;
    LabelEpaisseur = MakeLabel(GroupBoxTrace, "Trait", 4, row + 1);
    BtEpaisseurMoins = MakeButton(GroupBoxTrace, "-", 32, row, 16, 18);
    BtEpaisseurPlus = MakeButton(GroupBoxTrace, "+", 48, row, 16, 18);
    LabelPoint = MakeLabel(GroupBoxTrace, "Point", 68, row + 1);
    BtPointMoins = MakeButton(GroupBoxTrace, "-", 98, row, 16, 18);
    BtPointPlus = MakeButton(GroupBoxTrace, "+", 114, row, 16, 18);
    LabelEpaisseurBord = MakeLabel(GroupBoxTrace, "Bord", 134, row + 1);
    BtEpaisseurBordMoins = MakeButton(GroupBoxTrace, "-", 160, row, 16, 18);
    BtepaisseurBordPlus = MakeButton(GroupBoxTrace, "+", 176, row, 16, 18);
}

void TForm1::CreateClientPanel() {
    Panel3 = new TPanel(this);
    Panel3->SetBevelOuter(bvNone);
    Panel3->SetBounds(0, 30, FormWidth - 44 - SettingsWidth, FormHeight - 30);
    Panel3->SetAlign(alClient);

    PanelAfficheurs = new TPanel(Panel3);
    PanelAfficheurs->SetBevelOuter(bvNone);
    PanelAfficheurs->SetBounds(0, 0, Panel3->Width(), Panel3->Height() / 8);
    PanelAfficheurs->SetAlign(alTop);
    const TColor textColors[2] = {clLime, clYellow};
    TPanel** panels[2] = {&PanelY0, &PanelY1};
    for (int c = 0; c < 2; ++c) {
        auto* panel = new TPanel(PanelAfficheurs);
        panel->SetBounds(c * PanelAfficheurs->Width() / 2, 0, PanelAfficheurs->Width() / 2,
                         PanelAfficheurs->Height());
        panel->SetAlign(c == 0 ? alLeft : alRight);
        panel->SetColor(clBlack);
        panel->SetFont(BoldArial(40, textColors[c]));
        *panels[c] = panel;
    }

    PanelGraphique = new TPanel(Panel3);
    PanelGraphique->SetBevelOuter(bvNone);
    PanelGraphique->SetBounds(0, PanelAfficheurs->Height(), Panel3->Width(),
                              Panel3->Height() - PanelAfficheurs->Height());
    PanelGraphique->SetAlign(alClient);

    StatusBar1 = new TStatusBar(PanelGraphique);
    StatusBar1->SetBounds(0, PanelGraphique->Height() - 20, PanelGraphique->Width(), 20);
    StatusBar1->SetAlign(alBottom);
    StatusBar1->SetSimplePanel(true);

    Table = new TStringGrid(PanelGraphique);
    Table->SetBounds(0, 0, 272, PanelGraphique->Height() - 20);
    Table->SetAlign(alLeft);
    Table->SetColCount(4);
    Table->SetRowCount(2);
    Table->SetFixedCols(1);
    Table->SetFixedRows(1);
    Table->SetDefaultRowHeight(24);
    const int columnWidths[4] = {32, 73, 76, 76};
    for (int col = 0; col < 4; ++col)
        Table->SetColWidths(col, columnWidths[col]);
    Table->SetOptions(goColSizing | goRowSelect | goGridLines);
    Table->SetVisible(false);

    Memo1 = Placed(new TMemo(PanelGraphique), 0, 0, 100, 60);
    Memo1->SetVisible(false);

    TPanel** rangePanels[2] = {&PanelMinMax0, &PanelMinMax1};
    TSpinButton** tops[2] = {&SBmax0, &SBmax1};
    TSpinButton** bottoms[2] = {&SBmin0, &SBmin1};
    const int height = PanelGraphique->Height() - 20;
    for (int c = 0; c < 2; ++c) {
        auto* panel = new TPanel(PanelGraphique);
        panel->SetBevelOuter(bvNone);
        panel->SetBounds(c == 0 ? 273 : PanelGraphique->Width() - 18, 0, 18, height);
        panel->SetAlign(c == 0 ? alLeft : alRight);
        *tops[c] = Placed(new TSpinButton(panel), 0, 0, 18, 36);
        auto* bottom = Placed(new TSpinButton(panel), 0, height - 36, 18, 36);
        bottom->SetAnchors(akLeft | akBottom);
        *bottoms[c] = bottom;
        *rangePanels[c] = panel;
    }

    PaintBox1 = new TPaintBox(PanelGraphique);
    PaintBox1->SetBounds(291, 0, PanelGraphique->Width() - 291 - 18, height);
    PaintBox1->SetAlign(alClient);
    PopupMenu1 = new TPopupMenu(this);
    PaintBox1->PopupMenu = PopupMenu1;
    CreateGraphMenu();
}

void TForm1::CreateGraphMenu() {
    ActionCouleurFond = MakeAction(this, "Couleur fond");
    Couleurdufond1 = PopupMenu1->Add("Couleur fond");
    Epaisseur1 = PopupMenu1->Add("Epaisseur axe");
    N1point = Epaisseur1->Add("1 point");
    N2points = Epaisseur1->Add("2 points");
    N3points = Epaisseur1->Add("3 points");
    TMenuItem** channels[2] = {&Axes1, &AxeY21};
    TMenuItem** axisColours[2] = {&Couleur1, &Couleur2};
    TMenuItem** grids[2] = {&Grille1, &Grille2};
    TMenuItem** gridColours[2] = {&Couleurgrille1, &Couleurgrille2};
    for (int c = 0; c < 2; ++c) {
        TMenuItem* channel = PopupMenu1->Add(c == 0 ? "Voie Y1" : "Voie Y2");
        *axisColours[c] = channel->Add("Couleur axe");
        *grids[c] = channel->Add("Grille");
        (*grids[c])->SetChecked(true);
        *gridColours[c] = channel->Add("Couleur grille");
        *channels[c] = channel;
    }
    // The adjustment of each channel: which one is offered is set when the
    // menu opens.
    Zero1 = Axes1->Add("Ajuster le zéro");
    EtalonOxy1 = Axes1->Add("Etalonner oxymètre");
    Zero2 = AxeY21->Add("Ajuster le zéro");
    EtalonOxy2 = AxeY21->Add("Etalonner oxymètre");
    PopupMenu1->Add("-");
    RAZparams = PopupMenu1->Add("Réinitialiser");
    Enregistreroptions1 = PopupMenu1->Add("Enregistrer options");
    // The print layouts, numbered 0 to 5 in menu order.
    Impression1 = PopupMenu1->Add("Imprimer");
    TMenuItem** layouts[workbench::PrintLayoutCount] = {&portrait12page1,    &portrait2page1,
                                                        &N6parpageportrait1, &N1parpageportrait1,
                                                        &N4parpagepaysage1,  &N1parpagepaysage1};
    for (int layout = 0; layout < workbench::PrintLayoutCount; ++layout)
        *layouts[layout] = Impression1->Add(workbench::PrintLayoutCaptions[layout]);
}

} // namespace kvel1
