// The measurement table and the clipboard copies of the table and the graph.
//
// Bodies still to be written.
#include "kvel1.h"

namespace kvel1 {

void TForm1::RefreshTable() {}

void TForm1::ActionTableExecute() {}

void TForm1::ActionCopierTableauExecute() {}

void TForm1::ActionCopierImageExecute() {}

} // namespace kvel1
