#include "zero.h"

TOKRightDlg* OKRightDlg = nullptr;

TOKRightDlg::TOKRightDlg() {
    SetCaption("Dialogue");
    SetClientSize(384, 166);
    // The frame fixes the size it finds: the size comes first.
    SetBorderStyle(bsDialog);
    Position = poScreenCenter;
    if (!OKRightDlg)
        OKRightDlg = this;
}

TOKRightDlg::~TOKRightDlg() {
    if (OKRightDlg == this)
        OKRightDlg = nullptr;
}
