// INI files as the programs read and write their options: any file content
// reads without harm, and a plain value written is read back as written.
#include "FuzzSupport.h"
#include "core/IniFile.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

// A name or value of letters and digits taken from input (at most 12).
std::string PlainWord(fuzz::InputReader& input) {
    std::string word;
    const int length = 1 + input.Byte() % 12;
    for (int i = 0; i < length; ++i) {
        const char c = static_cast<char>('a' + input.Byte() % 26);
        word += (i % 3 == 2) ? static_cast<char>(std::toupper(c)) : c;
    }
    return word;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputReader input(data, size);
    const std::string section = PlainWord(input);
    const std::string key = PlainWord(input);
    const std::string value = PlainWord(input);
    const auto path = fuzz::WriteScratchFile("options.ini", input.Rest(), input.Left());
    platform::IniFile ini(path.string());

    // Reads of what the programs ask for, and of whatever the file holds.
    ini.ReadString("Couleurs", "Fond", "");
    ini.ReadInteger("Couleurs", "Couleur Axes", 7);
    ini.ReadBool("Affichage", "Grille", true);
    ini.ReadString(section, key, "");
    ini.ReadInteger(section, key, 0);
    ini.SectionExists(section);
    ini.ValueExists(section, key);

    fuzz::Check(ini.WriteString(section, key, value), "a plain value was not written");
    fuzz::Check(ini.ReadString(section, key, "") == value, "a written value reads back otherwise");
    fuzz::Check(ini.WriteInteger(section, key + "n", -12345), "a number was not written");
    fuzz::Check(ini.ReadInteger(section, key + "n", 0) == -12345,
                "a written number reads back otherwise");
    fuzz::Check(ini.ReadString(section, key, "") == value, "writing a key changed another one");
    ini.EraseSection(section);
    fuzz::Check(!ini.ValueExists(section, key), "an erased section still holds its key");
    return 0;
}
