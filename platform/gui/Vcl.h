// Everything of the window layer in one include.
#pragma once

#include "gui/ActnList.h"
#include "gui/Buttons.h"
#include "gui/Clipbrd.h"
#include "gui/ComCtrls.h"
#include "gui/Controls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Graphics.h"
#include "gui/Menus.h"
#include "gui/Printers.h"
#include "gui/QtDialogs.h"
#include "gui/StdCtrls.h"
#include "gui/Timers.h"
#include "gui/WaitKeeper.h"
