// The program's command line, as the windows read it: argument 0 is the
// program, the others follow. The program's entry point sets it; tests set
// the arguments they need.
#pragma once

#include <string>
#include <vector>

namespace kestrova {

void SetProgramArguments(std::vector<std::string> arguments);
// Number of arguments after the program's name.
int ParamCount();
// Argument index (0: the program); empty beyond the last one.
std::string ParamStr(int index);

} // namespace kestrova
