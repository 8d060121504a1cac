// The options files: the program's own ".INI" beside it.
#include "kvel1.h"

#include "core/Desktop.h"

#include <filesystem>

namespace kvel1 {

std::string TForm1::OwnOptionsFile() const {
    std::filesystem::path program = platform::ProgramFilePath();
    if (program.empty())
        return "Kestrova.INI";
    return program.replace_extension(".INI").string();
}

// Reading the sections "couleurs", "epaisseurs" and "points" is still to be
// written; until then the window keeps its design-time colours and styles.
void TForm1::LoadOptions(const std::string&) {}

} // namespace kvel1
