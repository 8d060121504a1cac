// The oxygen probe calibration dialog: where the probe is (in air, in pure
// dioxygen, in water saturated with dioxygen at a temperature), its raw
// converter count every 300 ms, and the count validated with "VALIDER".
// The caller sets ProbeChannel before showing it, then reads the reference
// and the validated count once it returns OK.
#pragma once

#include "gui/Vcl.h"

#include <cstdint>

namespace Oxym {

using namespace vcl;

class TOKRightDlg2 : public TForm {
public:
    TOKRightDlg2();
    ~TOKRightDlg2() override;

    TGroupBox* GroupBox1; // "Situation du capteur"
    TRadioButton* RadioButtonAir;
    TRadioButton* RadioButtonO2pur;
    TRadioButton* RadioButtonEau;
    TLabel* Label1; // the instruction
    TLabel* LabelConversion;
    TLabel* LabelEtal; // the raw count, every 300 ms
    TButton* Button1;  // "VALIDER"
    TLabel* LabelValidee;
    TLabel* LabelChoix;   // the validated count
    TLabel* Label5;       // the note on the count 1023
    TGroupBox* GroupBox2; // "Température de l'eau"
    TEdit* Edit1;
    TUpDown* UpDown1; // water temperature, 0 to 35 degrees
    TLabel* LabelDegres;
    TLabel* LabelConcentration;
    TPanel* Panel1; // the reference percentage, in place of GroupBox2
    TButton* OKBtn;
    TButton* CancelBtn;
    TTimer* TimerOxym;

    float RefPercent = 0;
    float RefMgL = 0;
    float FullScale = 0;
    int32_t ValidatedRaw = 0;
    int32_t ProbeChannel = 0; // set by the caller

    void FormShow();
    void FormHide();
    void TimerOxymTimer();
    void Button1Click();
    void RadioButtonAirClick();
    void RadioButtonO2purClick();
    void RadioButtonEauClick();
    void UpDown1MouseUp();
};

extern TOKRightDlg2* OKRightDlg2;

} // namespace Oxym
