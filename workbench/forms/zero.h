// The zero adjustment dialog of a channel.
#pragma once

#include "gui/Vcl.h"

namespace zero {

using namespace vcl;

class TOKRightDlg : public TForm {
public:
    TOKRightDlg();
    ~TOKRightDlg() override;
};

extern TOKRightDlg* OKRightDlg;

} // namespace zero
