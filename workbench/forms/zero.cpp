#include "zero.h"

namespace zero {

TOKRightDlg* OKRightDlg = nullptr;

TOKRightDlg::TOKRightDlg() {
    SetCaption("Dialogue");
    SetClientSize(384, 166);
    SetBorderStyle(bsDialog);
    Position = poScreenCenter;
    if (!OKRightDlg)
        OKRightDlg = this;
}

TOKRightDlg::~TOKRightDlg() {
    if (OKRightDlg == this)
        OKRightDlg = nullptr;
}

} // namespace zero
