// The splash window shown while the program starts: a picture and the label
// "Chargement en cours...". Shared by both programs.
#pragma once

#include "gui/Vcl.h"

class TForm2 : public TForm {
public:
    TForm2();
    ~TForm2() override;

    TImage* Image1;
    TLabel* Label1;

    // The pause after the splash was first shown: 1300 ms on the program clock.
    void SplashPause();
};

// The splash window while it lives (nullptr once released).
extern TForm2* Form2;
