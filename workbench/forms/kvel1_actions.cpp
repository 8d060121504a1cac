// The measurement actions of the right tool bar and the window's key handler
// (Space and Ctrl+Space validate manual XY points).
//
// The handlers are bound to their actions (kvel1.cpp); their bodies are
// still to be written.
#include "kvel1.h"

void TForm1::ActionNouvelleMesureExecute() {}

void TForm1::ActionRefaireMesureExecute() {}

void TForm1::ActionFinMesuresExecute() {}

void TForm1::ActionValiderXYExecute() {}

void TForm1::ActionRevaliderXYExecute() {}

void TForm1::FormKeyDown(uint16_t&, TShiftState) {}
