#include "Oxym.h"
#include "WindowRules.h"

#include "core/Dialogs.h"
#include "model/OxygenCalibration.h"
#include "tampon.h"

using namespace tampon;

namespace Oxym {

TOKRightDlg2* OKRightDlg2 = nullptr;

namespace {

TLabel* MakeLabel(TWinControl* parent, const std::string& text, int left, int top) {
    auto* label = new TLabel(parent);
    label->SetCaption(text);
    label->SetLeft(left);
    label->SetTop(top);
    return label;
}

TRadioButton* MakeRadio(TWinControl* parent, const std::string& text, int top) {
    auto* button = new TRadioButton(parent);
    button->SetCaption(text);
    button->SetBounds(10, top, 236, 20);
    return button;
}

// Large digits of one colour.
void SetDigitsFont(TLabel* label, TColor color) {
    TFont font = label->Font();
    font.Name = "Arial";
    font.Height = 30;
    font.Style |= fsBold;
    font.Color = color;
    label->SetFont(font);
}

} // namespace

TOKRightDlg2::TOKRightDlg2() {
    SetCaption("Etalonnage de l'oxymètre ");
    SetClientSize(440, 380);
    SetBorderStyle(bsDialog);
    Position = poScreenCenter;

    GroupBox1 = new TGroupBox(this);
    GroupBox1->SetCaption("Situation du capteur");
    GroupBox1->SetBounds(8, 8, 256, 96);
    RadioButtonAir = MakeRadio(GroupBox1, "dans l'air", 20);
    RadioButtonO2pur = MakeRadio(GroupBox1, "dans le dioxygène pur", 44);
    RadioButtonEau = MakeRadio(GroupBox1, "dans l'eau saturée en dioxygène", 68);
    RadioButtonAir->SetChecked(true);

    Label1 = MakeLabel(
        this, "Quand le nombre ci-dessous est stable, cliquez sur le bouton VALIDER.", 8, 114);
    TFont navy = Label1->Font();
    navy.Color = clNavy;
    Label1->SetFont(navy);

    LabelConversion = MakeLabel(this, "Résultat de la conversion :", 8, 140);
    LabelEtal = MakeLabel(this, "", 8, 158);
    SetDigitsFont(LabelEtal, clRed);

    Button1 = new TButton(this);
    Button1->SetCaption("VALIDER");
    Button1->SetBounds(184, 162, 90, 28);

    LabelValidee = MakeLabel(this, "Valeur validée :", 8, 200);
    LabelChoix = MakeLabel(this, "---", 8, 218);
    SetDigitsFont(LabelChoix, clGreen);

    Label5 = MakeLabel(this,
                       "Remarque : Si le résultat de la conversion atteint 1023 il faut retoucher "
                       "le réglage du potentiomètre présent dans le boîtier du capteur pour "
                       "afficher une valeur inférieure à 1023.  ",
                       8, 262);
    Label5->SetAutoSize(false);
    Label5->SetWordWrap(true);
    Label5->SetBounds(8, 262, 424, 64);

    GroupBox2 = new TGroupBox(this);
    GroupBox2->SetCaption("Température de l'eau");
    GroupBox2->SetBounds(276, 8, 156, 96);
    Edit1 = new TEdit(GroupBox2);
    Edit1->SetBounds(12, 24, 40, 22);
    Edit1->SetReadOnly(true);
    UpDown1 = new TUpDown(GroupBox2);
    UpDown1->SetBounds(52, 24, 17, 22);
    UpDown1->SetMin(workbench::MinWaterTemperature);
    UpDown1->SetMax(workbench::MaxWaterTemperature);
    UpDown1->SetAssociate(Edit1);
    UpDown1->SetPosition(20);
    LabelDegres = MakeLabel(GroupBox2, "°C", 76, 27);
    LabelConcentration = MakeLabel(GroupBox2, "8,8 mg/L", 12, 62);

    Panel1 = new TPanel(this);
    Panel1->SetBounds(276, 8, 156, 96);
    TFont big = Panel1->Font();
    big.Height = 24;
    big.Style |= fsBold;
    Panel1->SetFont(big);
    Panel1->SetVisible(false);

    OKBtn = new TButton(this);
    OKBtn->SetCaption("OK");
    OKBtn->SetBounds(276, 342, 75, 25);
    OKBtn->ModalResult = mrOk;
    OKBtn->SetDefault(true);

    CancelBtn = new TButton(this);
    CancelBtn->SetCaption("Annuler");
    CancelBtn->SetBounds(357, 342, 75, 25);
    CancelBtn->ModalResult = mrCancel;
    CancelBtn->Cancel = true;

    TimerOxym = new TTimer(this);
    TimerOxym->SetInterval(300);
    TimerOxym->SetEnabled(false);

    OnShow = [this] { FormShow(); };
    OnHide = [this] { FormHide(); };
    TimerOxym->OnTimer = [this] { TimerOxymTimer(); };
    Button1->OnClick = [this] { Button1Click(); };
    RadioButtonAir->OnClick = [this] { RadioButtonAirClick(); };
    RadioButtonO2pur->OnClick = [this] { RadioButtonO2purClick(); };
    RadioButtonEau->OnClick = [this] { RadioButtonEauClick(); };
    UpDown1->OnMouseUp = [this](TMouseButton, TShiftState, int, int) { UpDown1MouseUp(); };

    if (!OKRightDlg2)
        OKRightDlg2 = this;
}

TOKRightDlg2::~TOKRightDlg2() {
    if (OKRightDlg2 == this)
        OKRightDlg2 = nullptr;
}

void TOKRightDlg2::FormShow() {
    TimerOxym->SetEnabled(true);
    OKBtn->SetEnabled(false);
    LabelChoix->SetCaption("---");
    const int channel = ProbeChannel == 1 ? 1 : 0;
    const std::string& unit = ChannelUnit[channel];
    const bool percent = unit.find('%') != std::string::npos;
    RadioButtonAir->SetEnabled(percent);
    RadioButtonO2pur->SetEnabled(percent);
    RadioButtonEau->SetEnabled(unit.find("mg/L") != std::string::npos);
    RadioButtonAir->SetChecked(RadioButtonAir->Enabled());
    Panel1->SetCaption("20,9%");
    const bool air = RadioButtonAir->Checked();
    GroupBox2->SetVisible(!air);
    Panel1->SetVisible(air);
    RadioButtonEau->SetChecked(RadioButtonEau->Enabled());
}

void TOKRightDlg2::FormHide() {
    TimerOxym->SetEnabled(false);
}

void TOKRightDlg2::TimerOxymTimer() {
    RawPair raw{};
    if (ReadRawPair(raw) == LinkResult::Answered)
        LabelEtal->SetCaption(std::to_string(raw[ProbeChannel == 1 ? 1 : 0]));
}

void TOKRightDlg2::Button1Click() {
    RawPair raw{};
    if (ReadRawPair(raw) != LinkResult::Answered) {
        // Nothing was read: no count is validated, "OK" stays as it was.
        if (InterfaceSilent())
            platform::MessageDlg(workbench::InterfaceSilentText, platform::MsgType::Warning,
                                 platform::MbOk);
        return;
    }
    ValidatedRaw = raw[ProbeChannel == 1 ? 1 : 0];
    LabelChoix->SetCaption(std::to_string(ValidatedRaw));
    using workbench::ProbeSituation;
    const ProbeSituation situation = RadioButtonAir->Checked()     ? ProbeSituation::Air
                                     : RadioButtonO2pur->Checked() ? ProbeSituation::PureOxygen
                                                                   : ProbeSituation::Water;
    const auto reference = workbench::ReferenceFor(situation, UpDown1->Position());
    if (situation == ProbeSituation::Water)
        RefMgL = reference.Value;
    else
        RefPercent = reference.Value;
    FullScale = reference.FullScale;
    OKBtn->SetEnabled(true);
}

void TOKRightDlg2::RadioButtonAirClick() {
    Panel1->SetCaption("20,9 %");
}

void TOKRightDlg2::RadioButtonO2purClick() {
    Panel1->SetCaption("100 %");
}

void TOKRightDlg2::RadioButtonEauClick() {
    GroupBox2->SetVisible(true);
}

void TOKRightDlg2::UpDown1MouseUp() {
    LabelConcentration->SetCaption(workbench::SolubilityText(UpDown1->Position()));
}

} // namespace Oxym
