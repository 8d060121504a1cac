#include "zero.h"

TOKRightDlg* OKRightDlg = nullptr;

TOKRightDlg::TOKRightDlg() {
    SetBorderStyle(bsDialog);
    SetCaption("Dialogue");
    SetClientSize(384, 166);
    Position = poScreenCenter;
    if (!OKRightDlg)
        OKRightDlg = this;
}

TOKRightDlg::~TOKRightDlg() {
    if (OKRightDlg == this)
        OKRightDlg = nullptr;
}
