#include "OptionsFile.h"

#include "core/Numbers.h"

#include <cstdint>
#include <filesystem>

namespace workbench {

namespace {

// What one key holds.
enum class Field {
    Background,
    AxisColour,
    GridColour,
    CurveColour,
    PanelBackground,
    PanelText,
    FillColour,
    OutlineColour,
    AxisWidth,
    GridWidth,
    CurveWidth,
    HalfWidth,
    HalfHeight,
    OutlineWidth,
    Shape,
};

struct OptionKey {
    const char* Section;
    std::string Name;
    Field What;
    int Series; // 1..4, 0 for graph-wide keys
    int Channel;
};

// The value of a missing or unreadable key.
int64_t DefaultOf(Field field, int c) {
    switch (field) {
    case Field::Background:
        return 0x00FFFFFF;
    case Field::AxisColour:
        return 0x00000000;
    case Field::GridColour:
        return c == 0 ? 0x00CCAAAA : 0x00CCAACC;
    case Field::CurveColour:
    case Field::PanelBackground:
    case Field::PanelText:
        return 0x00CCAACC;
    case Field::FillColour:
        return 0x00FFFF80;
    case Field::OutlineColour:
        return c == 0 ? 0x000000AA : 0x0000AA00;
    case Field::AxisWidth:
    case Field::CurveWidth:
    case Field::HalfWidth:
    case Field::HalfHeight:
        return 2;
    case Field::GridWidth:
    case Field::OutlineWidth:
        return 1;
    case Field::Shape:
        return c == 0 ? 1 : 2;
    }
    return 0;
}

// The field a key stands for, as a colour or an integer (const for reading
// only when style and panels are).
template <class Style, class Panels>
auto SlotOf(const OptionKey& key, Style& style, Panels& panels) {
    struct Slot {
        decltype(&style.BackgroundColor) Colour = nullptr;
        decltype(&style.AxisWidth) Integer = nullptr;
    };
    const int s = key.Series - 1;
    const int c = key.Channel;
    switch (key.What) {
    case Field::Background:
        return Slot{&style.BackgroundColor, nullptr};
    case Field::AxisColour:
        return Slot{&style.AxisColor[c], nullptr};
    case Field::GridColour:
        return Slot{&style.GridColor[c], nullptr};
    case Field::CurveColour:
        return Slot{&style.CurveColor[s][c], nullptr};
    case Field::PanelBackground:
        return Slot{&panels.Background[c], nullptr};
    case Field::PanelText:
        return Slot{&panels.Text[c], nullptr};
    case Field::FillColour:
        return Slot{&style.PointStyle[s][c].FillColor, nullptr};
    case Field::OutlineColour:
        return Slot{&style.PointStyle[s][c].OutlineColor, nullptr};
    case Field::AxisWidth:
        return Slot{nullptr, &style.AxisWidth};
    case Field::GridWidth:
        return Slot{nullptr, &style.GridWidth};
    case Field::CurveWidth:
        return Slot{nullptr, &style.CurveWidth[s][c]};
    case Field::HalfWidth:
        return Slot{nullptr, &style.PointStyle[s][c].HalfWidth};
    case Field::HalfHeight:
        return Slot{nullptr, &style.PointStyle[s][c].HalfHeight};
    case Field::OutlineWidth:
        return Slot{nullptr, &style.PointStyle[s][c].OutlineWidth};
    case Field::Shape:
        return Slot{nullptr, &style.PointStyle[s][c].Shape};
    }
    return Slot{};
}

// "courbe" takes the two digits directly, the other stems after a space.
std::string SeriesKey(const std::string& stem, int s, int c) {
    return stem + std::to_string(s) + std::to_string(c);
}

// All 75 keys in the order of saving.
const std::vector<OptionKey>& Keys() {
    static const std::vector<OptionKey> keys = [] {
        std::vector<OptionKey> list;
        const char* colours = "couleurs";
        const char* widths = "epaisseurs";
        const char* points = "points";
        list.push_back({colours, "fond", Field::Background, 0, 0});
        for (int c = 0; c < ChannelCount; ++c)
            list.push_back({colours, "axe " + std::to_string(c), Field::AxisColour, 0, c});
        for (int c = 0; c < ChannelCount; ++c)
            list.push_back({colours, "grille " + std::to_string(c), Field::GridColour, 0, c});
        for (int s = 1; s <= MaxSeries; ++s)
            for (int c = 0; c < ChannelCount; ++c)
                list.push_back({colours, SeriesKey("courbe", s, c), Field::CurveColour, s, c});
        for (int c = 0; c < ChannelCount; ++c)
            list.push_back(
                {colours, "fond aff " + std::to_string(c), Field::PanelBackground, 0, c});
        for (int c = 0; c < ChannelCount; ++c)
            list.push_back({colours, "texte aff " + std::to_string(c), Field::PanelText, 0, c});

        list.push_back({widths, "axe", Field::AxisWidth, 0, 0});
        list.push_back({widths, "grille", Field::GridWidth, 0, 0});
        for (int s = 1; s <= MaxSeries; ++s)
            for (int c = 0; c < ChannelCount; ++c)
                list.push_back({widths, SeriesKey("courbe", s, c), Field::CurveWidth, s, c});

        for (int s = 1; s <= MaxSeries; ++s) {
            for (int c = 0; c < ChannelCount; ++c)
                list.push_back({colours, SeriesKey("f point ", s, c), Field::FillColour, s, c});
            for (int c = 0; c < ChannelCount; ++c)
                list.push_back({colours, SeriesKey("t point ", s, c), Field::OutlineColour, s, c});
        }

        const std::pair<const char*, Field> pointKeys[] = {{"largeur ", Field::HalfWidth},
                                                           {"hauteur ", Field::HalfHeight},
                                                           {"epaisseur ", Field::OutlineWidth},
                                                           {"forme ", Field::Shape}};
        for (int s = 1; s <= MaxSeries; ++s)
            for (const auto& [stem, field] : pointKeys)
                for (int c = 0; c < ChannelCount; ++c)
                    list.push_back({points, SeriesKey(stem, s, c), field, s, c});
        return list;
    }();
    return keys;
}

} // namespace

std::string OwnOptionsPath(const std::string& programPath) {
    std::filesystem::path path(programPath.empty() ? std::string("Kestrova") : programPath);
    return path.replace_extension(".INI").string();
}

std::string FactoryOptionsPath(const std::string& programPath) {
    const std::filesystem::path path(programPath);
    return (path.parent_path() / FactoryOptionsName).string();
}

std::string ColourText(TColor colour) {
    return platform::IntToHex(colour, 8);
}

bool ParseColour(const std::string& text, TColor& colour) {
    if (text.empty())
        return false;
    uint64_t value = 0;
    for (const char ch : text) {
        int digit;
        if (ch >= '0' && ch <= '9')
            digit = ch - '0';
        else if (ch >= 'a' && ch <= 'f')
            digit = ch - 'a' + 10;
        else if (ch >= 'A' && ch <= 'F')
            digit = ch - 'A' + 10;
        else
            return false;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFull)
            return false;
    }
    colour = static_cast<TColor>(value);
    return true;
}

bool ParseOptionInteger(const std::string& text, int32_t& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > int64_t(INT32_MAX) + 1)
            return false;
    }
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX)
        return false;
    value = static_cast<int32_t>(result);
    return true;
}

void ReadOptions(const platform::IniFile& file, GraphStyle& style, PanelColors& panels) {
    for (const OptionKey& key : Keys()) {
        const int64_t fallback = DefaultOf(key.What, key.Channel);
        // A missing key reads as empty text, which no parse takes.
        const std::string text = file.ReadString(key.Section, key.Name, {});
        const auto slot = SlotOf(key, style, panels);
        if (slot.Colour != nullptr && !ParseColour(text, *slot.Colour))
            *slot.Colour = static_cast<TColor>(fallback);
        if (slot.Integer != nullptr && !ParseOptionInteger(text, *slot.Integer))
            *slot.Integer = static_cast<int32_t>(fallback);
    }
    style.TimeLabelColor = 0x00000000;
}

std::vector<platform::IniValue> OptionValues(const GraphStyle& style, const PanelColors& panels) {
    std::vector<platform::IniValue> values;
    values.reserve(Keys().size());
    for (const OptionKey& key : Keys()) {
        const auto slot = SlotOf(key, style, panels);
        values.push_back(
            {key.Section, key.Name,
             slot.Colour != nullptr ? ColourText(*slot.Colour) : std::to_string(*slot.Integer)});
    }
    return values;
}

bool WriteOptions(platform::IniFile& file, const GraphStyle& style, const PanelColors& panels) {
    return file.WriteStrings(OptionValues(style, panels));
}

} // namespace workbench
