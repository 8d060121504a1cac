// Breaks its folder's rules twice: a window-side header and Qt.
#include "Allowed.h"
#include "model/Thing.h"

#include <QString>
