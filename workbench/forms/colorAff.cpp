#include "colorAff.h"

namespace colorAff {

TForm3* Form3 = nullptr;

TForm3::TForm3() {
    SetCaption("Couleurs des afficheurs");
    SetClientSize(318, 110);
    SetBorderStyle(bsSingle);
    Position = poMainFormCenter;

    Label1 = new TLabel(this);
    Label1->SetCaption("Texte :");
    Label1->SetLeft(16);
    Label1->SetTop(20);
    ColorBox1 = new TColorBox(this);
    ColorBox1->SetBounds(72, 16, 140, 22);
    ColorBox1->SetSelected(clBlack);

    Label2 = new TLabel(this);
    Label2->SetCaption("Fond :");
    Label2->SetLeft(16);
    Label2->SetTop(56);
    ColorBox2 = new TColorBox(this);
    ColorBox2->SetBounds(72, 52, 140, 22);
    ColorBox2->SetSelected(clWhite);

    BtOK = new TButton(this);
    BtOK->SetCaption("OK");
    BtOK->SetBounds(228, 16, 75, 25);
    BtOK->ModalResult = mrOk;
    BtOK->SetDefault(true);

    BtAbandon = new TButton(this);
    BtAbandon->SetCaption("Abandon");
    BtAbandon->SetBounds(228, 52, 75, 25);
    BtAbandon->ModalResult = mrCancel;
    BtAbandon->Cancel = true;

    if (!Form3)
        Form3 = this;
}

TForm3::~TForm3() {
    if (Form3 == this)
        Form3 = nullptr;
}

} // namespace colorAff
