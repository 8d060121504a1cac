#include "Oxym.h"

namespace Oxym {

TOKRightDlg2* OKRightDlg2 = nullptr;

TOKRightDlg2::TOKRightDlg2() {
    SetCaption("Etalonnage de l'oxymètre ");
    SetClientSize(384, 230);
    SetBorderStyle(bsDialog);
    Position = poScreenCenter;
    if (!OKRightDlg2)
        OKRightDlg2 = this;
}

TOKRightDlg2::~TOKRightDlg2() {
    if (OKRightDlg2 == this)
        OKRightDlg2 = nullptr;
}

} // namespace Oxym
