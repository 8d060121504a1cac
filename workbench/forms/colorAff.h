// The display colour dialog: a text colour and a background colour for one
// live display panel.
#pragma once

#include "gui/Vcl.h"

namespace colorAff {

using namespace vcl;

class TForm3 : public TForm {
public:
    TForm3();
    ~TForm3() override;

    TLabel* Label1; // "Texte :"
    TColorBox* ColorBox1;
    TLabel* Label2; // "Fond :"
    TColorBox* ColorBox2;
    TButton* BtOK;
    TButton* BtAbandon;
};

extern TForm3* Form3;

} // namespace colorAff
