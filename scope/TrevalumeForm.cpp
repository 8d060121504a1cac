// The components of the oscilloscope's window, placed from the panel layout
// table, with their design settings and their handlers.
#include "Trevalume.h"

#include "EmbeddedPictures.h"
#include "core/Desktop.h"

#include <QIcon>
#include <QMetaObject>

#include <stdexcept>
#include <string>

namespace trevalume {

TForm1* Form1 = nullptr;

namespace {

using PanelLayout::ClickZone;
using PanelLayout::ZoneKind;

// Client area of the designed 821 x 447 window (frame and menu bar aside).
constexpr int DesignClientWidth = 805;
constexpr int DesignClientHeight = 389;

} // namespace

TForm1::TForm1() {
    SetCaption(trevalume::DesignCaption);
    setWindowIcon(QIcon(QString::fromUtf8(EmbeddedPicturePrefix) + "trevalume1.png"));
    Position = poScreenCenter;
    BuildMenu();
    SetClientSize(DesignClientWidth, DesignClientHeight);
    BuildComponents();

    Timer = new TTimer(this);
    Timer->SetInterval(1000);
    Timer->OnTimer = [this] { TimerTimer(); };

    OnCreate = [this] { FormCreate(); };
    OnClose = [this](TCloseAction& action) { FormClose(action); };
}

TForm1::~TForm1() {
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::BuildMenu() {
    MainMenu1 = new TMainMenu(this);
    Fichier1 = MainMenu1->Add("Fichier");
    Quitter1 = Fichier1->Add("Quitter");
    Quitter1->OnClick = [this] { Quitter1Click(); };
    Edition1 = MainMenu1->Add("Edition");
    Copier1 = Edition1->Add("Copier l'oscilloscope vers le Presse Papier");
    Copier1->OnClick = [this] { Copier1Click(); };
    Copierloscillogramme1 = Edition1->Add("Copier l'oscillogramme vers le Presse Papier");
    Copierloscillogramme1->OnClick = [this] { Copierloscillogramme1Click(); };
    Aide1 = MainMenu1->Add("?");
    AideTrevalume1 = Aide1->Add("Aide");
    AideTrevalume1->OnClick = [] { platform::ShowHelp(); };
    Apropos1 = Aide1->Add("A propos");
    Apropos1->OnClick = [this] { Apropos1Click(); };
    SetMenu(MainMenu1);
}

void TForm1::PlaceFromLayout(TControl* control, const char* name) {
    const PanelLayout::Component* component = PanelLayout::FindComponent(name);
    if (component == nullptr)
        throw std::logic_error(std::string("component missing from the panel layout: ") + name);
    control->Widget()->setObjectName(QString::fromUtf8(name));
    const PanelLayout::Rect& r = component->Bounds;
    if (dynamic_cast<TLabel*>(control) != nullptr) {
        // Labels size themselves to their text.
        control->SetLeft(r.Left);
        control->SetTop(r.Top);
        return;
    }
    control->SetBounds(r.Left, r.Top, r.Width, r.Height);
}

TImage* TForm1::AddPicture(const char* name) {
    auto* image = new TImage(this);
    PlaceFromLayout(image, name);
    return image;
}

TSpeedButton* TForm1::AddSpeedButton(const char* name, const char* caption, int group) {
    auto* button = new TSpeedButton(this);
    PlaceFromLayout(button, name);
    button->SetCaption(caption);
    button->SetGroupIndex(group);
    button->SetFlat(false);
    return button;
}

TLabel* TForm1::AddLabel(const char* name, const char* caption) {
    auto* label = new TLabel(this);
    label->SetTransparent(true);
    label->SetCaption(caption);
    PlaceFromLayout(label, name);
    return label;
}

void TForm1::BuildComponents() {
    // The panel first, so that everything else stands on it.
    ArrierePlan = AddPicture("ArrierePlan");
    ArrierePlan->SetPicture(EmbeddedJpeg(PanelLayout::PanelPicture), true);

    PaintBox1 = new TPaintBox(this);
    PlaceFromLayout(PaintBox1, "PaintBox1");
    PaintBox1->OnPaint = [this](TCanvas& canvas) { PaintBox1Paint(canvas); };

    onoff = AddSpeedButton("onoff", "O/1", 0);
    onoff->Hint = "marche/arrêt";
    onoff->ShowHint = true;
    onoff->OnClick = [this] { onoffClick(); };
    SBTstop = AddSpeedButton("SBTstop", "stop", 1);
    SBTrun = AddSpeedButton("SBTrun", "run", 1);
    SBTrun->SetDown(true);

    LabelIntensite = AddLabel("LabelIntensite", "Intensité");
    UpDown1 = new TUpDown(this);
    PlaceFromLayout(UpDown1, "UpDown1");
    UpDown1->OnClick = [this](TUDBtnType button) { UpDown1Click(button); };
    Label3 = AddLabel("Label3", "Luminosité");
    UpDown3 = new TUpDown(this);
    PlaceFromLayout(UpDown3, "UpDown3");
    UpDown3->OnClick = [this](TUDBtnType button) { UpDown3Click(button); };

    Label1 = AddLabel("Label1", "Déclenchement synchro");
    GroupBox2 = new TGroupBox(this);
    PlaceFromLayout(GroupBox2, "GroupBox2");
    GroupBox2->SetCaption("Niv.");
    UpDown2 = new TUpDown(GroupBox2);
    PlaceFromLayout(UpDown2, "UpDown2");
    UpDown2->SetMin(10);
    UpDown2->SetMax(1020);
    UpDown2->Increment = 5;
    UpDown2->OnClick = [this](TUDBtnType button) { UpDown2Click(button); };

    synchroauto = new TCheckBox(this);
    PlaceFromLayout(synchroauto, "synchroauto");
    synchroauto->SetCaption("Automatique");
    synchroauto->SetChecked(true);
    synchroauto->OnClick = [this] { synchroautoClick(); };

    frontdesc = new TRadioButton(this);
    PlaceFromLayout(frontdesc, "frontdesc");
    frontdesc->SetCaption("\\_");
    frontmont = new TRadioButton(this);
    PlaceFromLayout(frontmont, "frontmont");
    frontmont->SetCaption("_/");
    frontmont->SetChecked(true);
    frontdesc->OnClick = [this] { frontdescClick(); };
    frontmont->OnClick = [this] { frontmontClick(); };

    GroupBox1 = new TGroupBox(this);
    PlaceFromLayout(GroupBox1, "GroupBox1");
    GroupBox1->SetCaption("voie");
    voiesynchroA = new TRadioButton(GroupBox1);
    PlaceFromLayout(voiesynchroA, "voiesynchroA");
    voiesynchroA->SetCaption("a");
    voiesynchroA->SetChecked(true);
    voiesynchroB = new TRadioButton(GroupBox1);
    PlaceFromLayout(voiesynchroB, "voiesynchroB");
    voiesynchroB->SetCaption("b");
    // Only the mouse chooses the trigger channel: the choice is read once
    // the button has taken the click (a key press never comes here).
    auto triggerChannelRelease = [this](TRadioButton* button, void (TForm1::*handler)()) {
        return [this, button, handler](TMouseButton, TShiftState, int x, int y) {
            if (!button->Widget()->rect().contains(x, y))
                return;
            QMetaObject::invokeMethod(
                this, [this, handler] { (this->*handler)(); }, Qt::QueuedConnection);
        };
    };
    voiesynchroA->OnMouseUp = triggerChannelRelease(voiesynchroA, &TForm1::voiesynchroAMouseUp);
    voiesynchroB->OnMouseUp = triggerChannelRelease(voiesynchroB, &TForm1::voiesynchroBMouseUp);

    Label2 = AddLabel("Label2", "Mode graphique");
    modgraph1 = AddSpeedButton("modgraph1", "°", 2);
    modgraph2 = AddSpeedButton("modgraph2", "-", 2);
    modgraph3 = AddSpeedButton("modgraph3", "~", 2);
    modgraph3->SetDown(true);

    BtYa = AddSpeedButton("BtYa", "Ya", 3);
    BtXY = AddSpeedButton("BtXY", "XY", 3);
    BtYY = AddSpeedButton("BtYY", "YY", 3);
    BtYb = AddSpeedButton("BtYb", "Yb", 3);
    BtYa->SetDown(true);
    BtYa->OnClick = [this] { BtYaClick(); };
    BtXY->OnClick = [this] { BtXYClick(); };
    BtYY->OnClick = [this] { BtYYClick(); };
    BtYb->OnClick = [this] { BtYbClick(); };

    LabelSensibiliteYa = AddLabel("LabelSensibiliteYa", "Sensibilité verticale Ya");
    LabelSensibiliteYb = AddLabel("LabelSensibiliteYb", "Sensibilité verticale Yb");
    LabelBaseTemps = AddLabel("LabelBaseTemps", "Base de Temps");
    for (const PanelLayout::KnobLayout& knob : PanelLayout::Knobs) {
        TImage* picture = AddPicture(std::string(knob.Component).c_str());
        picture->SetTransparent(knob.Id == PanelLayout::Knob::Ya); // as designed
        picture->SetPicture(EmbeddedJpeg(knob.DesignPicture), true);
        switch (knob.Id) {
        case PanelLayout::Knob::Ya:
            FondBtYa = picture;
            break;
        case PanelLayout::Knob::Yb:
            FondBtYb = picture;
            break;
        default:
            FondBaseTemps = picture;
            break;
        }
    }

    RadioGroupYa = new TRadioGroup(this);
    RadioGroupYb = new TRadioGroup(this);
    for (TRadioGroup* group : {RadioGroupYa, RadioGroupYb}) {
        const bool a = group == RadioGroupYa;
        PlaceFromLayout(group, a ? "RadioGroupYa" : "RadioGroupYb");
        group->SetCaption(a ? "Ya" : "Yb");
        group->Items.Assign({"~", "0"});
        group->SetItemIndex(0);
        group->OnClick = [this, a] { a ? RadioGroupYaClick() : RadioGroupYbClick(); };
    }

    // The click zones last: they lie over the knob pictures.
    for (const ClickZone& zone : PanelLayout::ClickZones) {
        auto* image = new TImage(this);
        image->Widget()->setObjectName(
            QString::fromUtf8(zone.Name.data(), static_cast<int>(zone.Name.size())));
        image->SetBounds(zone.Bounds.Left, zone.Bounds.Top, zone.Bounds.Width, zone.Bounds.Height);
        const ClickZone* z = &zone;
        switch (zone.Kind) {
        case ZoneKind::Sensitivity:
            image->OnClick = [this, z] { SensitivityZoneClick(*z); };
            break;
        case ZoneKind::TimeBase:
            image->OnClick = [this, z] { TimeBaseZoneClick(*z); };
            break;
        case ZoneKind::VerticalPosition:
            image->OnClick = [this, z] { PositionZoneClick(*z); };
            break;
        case ZoneKind::HorizontalShift:
            image->OnClick = [this, z] { ShiftZoneClick(*z); };
            break;
        case ZoneKind::ShiftReset:
            image->OnClick = [this] { Image1Click(); };
            break;
        }
        ClickZones.push_back(image);
    }

    // What the screen shows before the first sweep: the panel under it.
    RepaintScreen();
}

TImage* TForm1::Zone(std::string_view name) const {
    for (size_t i = 0; i < PanelLayout::ClickZones.size() && i < ClickZones.size(); ++i) {
        if (PanelLayout::ClickZones[i].Name == name)
            return ClickZones[i];
    }
    return nullptr;
}

} // namespace trevalume
