#include "ProgramArguments.h"

namespace kestrova {

namespace {
std::vector<std::string>& Arguments() {
    static std::vector<std::string> arguments;
    return arguments;
}
} // namespace

void SetProgramArguments(std::vector<std::string> arguments) {
    Arguments() = std::move(arguments);
}

int ParamCount() {
    return Arguments().empty() ? 0 : static_cast<int>(Arguments().size()) - 1;
}

std::string ParamStr(int index) {
    if (index < 0 || index >= static_cast<int>(Arguments().size()))
        return {};
    return Arguments()[static_cast<size_t>(index)];
}

} // namespace kestrova
