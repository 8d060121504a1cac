// The zero adjustment dialog of a channel: the sensor's name, what to do,
// "OK" to measure the zero and "Annuler" to give up.
#pragma once

#include "gui/Vcl.h"

namespace zero {

using namespace vcl;

class TOKRightDlg : public TForm {
public:
    TOKRightDlg();
    ~TOKRightDlg() override;

    TLabel* LabelQuestion;
    TLabel* Label1; // the sensor's name
    TLabel* LabelInstruction;
    TLabel* LabelCancel;
    TButton* OKBtn;
    TButton* CancelBtn;
};

extern TOKRightDlg* OKRightDlg;

} // namespace zero
