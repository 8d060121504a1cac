// The oxygen probe calibration dialog.
#pragma once

#include "gui/Vcl.h"

namespace Oxym {

using namespace vcl;

class TOKRightDlg2 : public TForm {
public:
    TOKRightDlg2();
    ~TOKRightDlg2() override;
};

extern TOKRightDlg2* OKRightDlg2;

} // namespace Oxym
