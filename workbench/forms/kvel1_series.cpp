// The series controls of the "Tracé" group and the settings panel action.
//
// Bodies still to be written.
#include "kvel1.h"

void TForm1::UpdateSeriesControls() {}

void TForm1::ActionPanneauReglagesExecute() {}
