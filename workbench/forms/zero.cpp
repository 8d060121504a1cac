#include "zero.h"

namespace zero {

TOKRightDlg* OKRightDlg = nullptr;

namespace {

TLabel* TextLine(TOKRightDlg* form, const std::string& text, int top) {
    auto* label = new TLabel(form);
    label->SetCaption(text);
    label->SetLeft(16);
    label->SetTop(top);
    return label;
}

} // namespace

TOKRightDlg::TOKRightDlg() {
    SetCaption("Dialogue");
    SetClientSize(440, 170);
    SetBorderStyle(bsDialog);
    Position = poScreenCenter;

    LabelQuestion = TextLine(this, "Vous voulez ajuster le niveau zéro du capteur :", 14);
    Label1 = TextLine(this, "", 36);
    TFont bold = Label1->Font();
    bold.Height = 16;
    bold.Style |= fsBold;
    Label1->SetFont(bold);
    LabelInstruction = TextLine(
        this, "Quand vous aurez mis l'entrée de ce capteur à la valeur zéro, cliquez sur OK.", 66);
    LabelCancel =
        TextLine(this, "Vous pouvez aussi abandonner l'ajustement en cliquant sur Annuler.", 86);

    OKBtn = new TButton(this);
    OKBtn->SetCaption("OK");
    OKBtn->SetBounds(266, 128, 75, 25);
    OKBtn->ModalResult = mrOk;
    OKBtn->SetDefault(true);

    CancelBtn = new TButton(this);
    CancelBtn->SetCaption("Annuler");
    CancelBtn->SetBounds(349, 128, 75, 25);
    CancelBtn->ModalResult = mrCancel;
    CancelBtn->Cancel = true;

    if (!OKRightDlg)
        OKRightDlg = this;
}

TOKRightDlg::~TOKRightDlg() {
    if (OKRightDlg == this)
        OKRightDlg = nullptr;
}

} // namespace zero
