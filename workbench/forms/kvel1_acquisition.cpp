// Acquisition settings (mode, sampling interval, number of measurements,
// trigger), the start of an acquisition, and the block and timed
// acquisitions.
//
// The handlers are bound to their controls and timers (kvel1.cpp); their
// bodies are still to be written.
#include "kvel1.h"

#include "gui/Canvas.h"

// ------------------------------------------------------ acquisition settings

void TForm1::RGVoieClick() {}

void TForm1::CBdelta_tCloseUp() {}

void TForm1::NbMesuresChange() {}

void TForm1::RGvoieSynchroClick() {}

void TForm1::SBnivdecDownClick() {}

void TForm1::SBnivdecUpClick() {}

void TForm1::LoadAllTimeBases() {}

void TForm1::ResetRangeToSensor() {}

void TForm1::StartAcquisition() {}

// ---------------------------------------------------------- block acquisitions

void TForm1::RunBlockYt() {}

void TForm1::RunBlockYY() {}

void TForm1::RunBlockXY() {}

void TForm1::RunManualXY(TCanvas&) {}

// ---------------------------------------------------------- timed acquisitions

void TForm1::StartTimedYt(TCanvas&) {}

void TForm1::StartTimedYY(TCanvas&) {}

void TForm1::TickTimedYt(int) {}

void TForm1::TickTimedYY() {}

void TForm1::TimerYtTimer() {}

void TForm1::TimerYYTimer() {}

void TForm1::TimerXYTimer() {}
