// The display options as the options files hold them: the graph colours and
// widths, every series and channel's style and the colours of the two live
// display panels, 75 keys in the sections "couleurs", "epaisseurs" and
// "points". Colours are written as 8 upper-case hexadecimal digits of
// $00BBGGRR, integers in decimal.
#pragma once

#include "GraphTypes.h"
#include "core/IniFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace workbench {

// Background and text colour of the live display panels (channel 0, 1).
struct PanelColors {
    TColor Background[ChannelCount] = {0x00CCAACC, 0x00CCAACC};
    TColor Text[ChannelCount] = {0x00CCAACC, 0x00CCAACC};
    friend bool operator==(const PanelColors&, const PanelColors&) = default;
};

// The name of the factory file, beside the program.
constexpr const char* FactoryOptionsName = "original.INI";

// The program's own options file: programPath with its extension replaced by
// ".INI" (added when it has none).
std::string OwnOptionsPath(const std::string& programPath);
// The factory file in the folder of programPath.
std::string FactoryOptionsPath(const std::string& programPath);

// Colour text: 8 upper-case hexadecimal digits.
std::string ColourText(TColor colour);
// A colour read: hexadecimal digits in either case, any number of them as long
// as the value fits 32 bits; false for anything else (empty text included).
bool ParseColour(const std::string& text, TColor& colour);
// An integer read: decimal digits with an optional sign, within 32 bits.
bool ParseOptionInteger(const std::string& text, int32_t& value);

// Reads every key of file into style and panels: a missing file, section or
// key, or a value that is not a number of its encoding, gives the key's
// default. Values are taken without any range check. TimeLabelColor becomes
// black; GridOn and the display switches are left as they are.
void ReadOptions(const platform::IniFile& file, GraphStyle& style, PanelColors& panels);

// Every key with its value text, in the order in which saving writes them.
std::vector<platform::IniValue> OptionValues(const GraphStyle& style, const PanelColors& panels);

// Writes every key into file at once: in an existing file each value where
// its key stands and every other line kept; false, the file as it was, when
// it cannot be written.
bool WriteOptions(platform::IniFile& file, const GraphStyle& style, const PanelColors& panels);

} // namespace workbench
