// The options files' codec: keys, sections, encodings, order and defaults,
// read and written through the profile layer, without a window.
#include "graph/OptionsFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <climits>
#include <fstream>
#include <iterator>
#include <string>

using namespace workbench;

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

// Every field that the files hold set to a value no key gives by default,
// and no two alike.
void FillDistinct(GraphStyle& style, PanelColors& panels, uint32_t seed) {
    uint32_t next = seed;
    auto colour = [&] { return TColor(0x00102030u + 0x00010203u * next++); };
    auto integer = [&] { return int32_t(100 + next++); };
    style.BackgroundColor = colour();
    for (int c = 0; c < 2; ++c) {
        style.AxisColor[c] = colour();
        style.GridColor[c] = colour();
        panels.Background[c] = colour();
        panels.Text[c] = colour();
    }
    style.AxisWidth = integer();
    style.GridWidth = -integer();
    style.TimeLabelColor = colour();
    for (int s = 0; s < MaxSeries; ++s)
        for (int c = 0; c < 2; ++c) {
            style.CurveColor[s][c] = colour();
            style.CurveWidth[s][c] = integer();
            style.PointStyle[s][c] =
                TPointStyle{integer(), integer(), -integer(), colour(), colour(), integer()};
        }
}

void ExpectSameOptions(const GraphStyle& a, const PanelColors& pa, const GraphStyle& b,
                       const PanelColors& pb) {
    EXPECT_EQ(a.BackgroundColor, b.BackgroundColor);
    for (int c = 0; c < 2; ++c) {
        SCOPED_TRACE("channel " + std::to_string(c));
        EXPECT_EQ(a.AxisColor[c], b.AxisColor[c]);
        EXPECT_EQ(a.GridColor[c], b.GridColor[c]);
    }
    EXPECT_EQ(a.AxisWidth, b.AxisWidth);
    EXPECT_EQ(a.GridWidth, b.GridWidth);
    EXPECT_TRUE(pa == pb);
    for (int s = 0; s < MaxSeries; ++s)
        for (int c = 0; c < 2; ++c) {
            SCOPED_TRACE("series " + std::to_string(s + 1) + " channel " + std::to_string(c));
            EXPECT_EQ(a.CurveColor[s][c], b.CurveColor[s][c]);
            EXPECT_EQ(a.CurveWidth[s][c], b.CurveWidth[s][c]);
            EXPECT_EQ(a.PointStyle[s][c], b.PointStyle[s][c]);
        }
}

class OptionsFileTest : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return Folder.filePath(name).toStdString(); }
    QTemporaryDir Folder;
};

TEST_F(OptionsFileTest, WithoutAFileEveryFieldTakesItsDefault) {
    GraphStyle style;
    PanelColors panels;
    FillDistinct(style, panels, 1);
    style.GridOn[0] = 0;
    ReadOptions(platform::IniFile(Path("absent.INI")), style, panels);

    EXPECT_EQ(style.BackgroundColor, 0x00FFFFFFu);
    EXPECT_EQ(style.AxisColor[0], 0x00000000u);
    EXPECT_EQ(style.AxisColor[1], 0x00000000u);
    EXPECT_EQ(style.GridColor[0], 0x00CCAAAAu);
    EXPECT_EQ(style.GridColor[1], 0x00CCAACCu);
    EXPECT_EQ(style.AxisWidth, 2);
    EXPECT_EQ(style.GridWidth, 1);
    EXPECT_EQ(style.TimeLabelColor, 0x00000000u);
    EXPECT_EQ(style.GridOn[0], 0); // not an option: left as it was
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(panels.Background[c], 0x00CCAACCu);
        EXPECT_EQ(panels.Text[c], 0x00CCAACCu);
    }
    for (int s = 0; s < MaxSeries; ++s)
        for (int c = 0; c < 2; ++c) {
            SCOPED_TRACE("series " + std::to_string(s + 1) + " channel " + std::to_string(c));
            EXPECT_EQ(style.CurveColor[s][c], 0x00CCAACCu);
            EXPECT_EQ(style.CurveWidth[s][c], 2);
            const TPointStyle& point = style.PointStyle[s][c];
            EXPECT_EQ(point.Shape, c == 0 ? 1 : 2); // ellipse, plus
            EXPECT_EQ(point.HalfWidth, 2);
            EXPECT_EQ(point.HalfHeight, 2);
            EXPECT_EQ(point.FillColor, 0x00FFFF80u);
            EXPECT_EQ(point.OutlineColor, c == 0 ? 0x000000AAu : 0x0000AA00u);
            EXPECT_EQ(point.OutlineWidth, 1);
        }
}

TEST_F(OptionsFileTest, ANewFileHoldsTheKeysSectionBySectionInSavingOrder) {
    GraphStyle style;
    PanelColors panels;
    ReadOptions(platform::IniFile(Path("absent.INI")), style, panels);
    platform::IniFile file(Path("Kestrova.INI"));
    ASSERT_TRUE(WriteOptions(file, style, panels));
    EXPECT_EQ(ReadBytes(file.FileName()), ReadBytes(KESTROVA_TEST_DATA "/options_defaults.INI"));
    EXPECT_EQ(OptionValues(style, panels).size(), 75u);
}

TEST_F(OptionsFileTest, EveryValueSavedIsReadBackUnderItsOwnKey) {
    GraphStyle saved;
    PanelColors savedPanels;
    FillDistinct(saved, savedPanels, 1);
    platform::IniFile file(Path("Kestrova.INI"));
    ASSERT_TRUE(WriteOptions(file, saved, savedPanels));

    GraphStyle loaded;
    PanelColors loadedPanels;
    FillDistinct(loaded, loadedPanels, 500);
    ReadOptions(file, loaded, loadedPanels);
    ExpectSameOptions(saved, savedPanels, loaded, loadedPanels);
    EXPECT_EQ(loaded.TimeLabelColor, 0u);

    // Saving the same values again changes no byte.
    const std::string before = ReadBytes(file.FileName());
    ASSERT_TRUE(WriteOptions(file, loaded, loadedPanels));
    EXPECT_EQ(ReadBytes(file.FileName()), before);
}

TEST_F(OptionsFileTest, AnExistingFileKeepsEveryOtherByte) {
    // Comments, a foreign key and section, names in other cases, LF ends, a
    // width key in the colour section's place.
    const std::string path = Path("Kestrova.INI");
    WriteBytes(path, "; mes options\n"
                     "[COULEURS]\n"
                     "Fond = ff\n"
                     "perso=abc\n"
                     "COURBE21=0000aa00\n"
                     "\n"
                     "[Epaisseurs]\n"
                     "Courbe21=4\n"
                     "[ailleurs]\n"
                     "fond=12\n");
    platform::IniFile file(path);
    GraphStyle style;
    PanelColors panels;
    ReadOptions(file, style, panels);
    EXPECT_EQ(style.BackgroundColor, 0x000000FFu); // "ff": red
    EXPECT_EQ(style.CurveColor[1][1], 0x0000AA00u);
    EXPECT_EQ(style.CurveWidth[1][1], 4);

    ASSERT_TRUE(WriteOptions(file, style, panels));
    const std::string bytes = ReadBytes(path);
    const std::string head = "; mes options\n"
                             "[COULEURS]\n"
                             "Fond=000000FF\n"
                             "perso=abc\n"
                             "COURBE21=0000AA00\n"
                             "axe 0=00000000\n";
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    // The foreign section and the blank line before the next section stay;
    // no key is written twice.
    EXPECT_NE(bytes.find("t point 41=0000AA00\n\n[Epaisseurs]\nCourbe21=4\naxe=2\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("[ailleurs]\nfond=12\n[points]\nlargeur 10=2\n"), std::string::npos);
    EXPECT_EQ(bytes.find('\r'), std::string::npos);
    EXPECT_EQ(bytes.find("fond="), bytes.rfind("fond=")); // only the foreign one in lower case
    ReadOptions(file, style, panels);
    EXPECT_EQ(style.BackgroundColor, 0x000000FFu);
}

TEST_F(OptionsFileTest, ValuesThatAreNoNumberTakeTheirKeysDefault) {
    const std::string path = Path("Kestrova.INI");
    WriteBytes(path, "[couleurs]\r\n"
                     "fond=\r\n"
                     "axe 0=00FF00\r\n"
                     "axe 1=blanc\r\n"
                     "grille 0=1FFFFFFFF\r\n"
                     "courbe10=$FF\r\n"
                     "[epaisseurs]\r\n"
                     "axe=3x\r\n"
                     "grille=-4\r\n"
                     "courbe10=2147483648\r\n"
                     "courbe11=-2147483648\r\n"
                     "[points]\r\n"
                     "forme 21=9\r\n"
                     "forme 20=0x2\r\n"
                     "largeur 30=  7  \r\n");
    GraphStyle style;
    PanelColors panels;
    FillDistinct(style, panels, 1);
    ReadOptions(platform::IniFile(path), style, panels);
    EXPECT_EQ(style.BackgroundColor, 0x00FFFFFFu);
    EXPECT_EQ(style.AxisColor[0], 0x0000FF00u); // fewer than 8 digits
    EXPECT_EQ(style.AxisColor[1], 0x00000000u);
    EXPECT_EQ(style.GridColor[0], 0x00CCAAAAu); // beyond 32 bits
    EXPECT_EQ(style.CurveColor[0][0], 0x00CCAACCu);
    EXPECT_EQ(style.AxisWidth, 2);
    EXPECT_EQ(style.GridWidth, -4); // kept without a range check
    EXPECT_EQ(style.CurveWidth[0][0], 2);
    EXPECT_EQ(style.CurveWidth[0][1], INT32_MIN);
    EXPECT_EQ(style.PointStyle[1][1].Shape, 9);
    EXPECT_EQ(style.PointStyle[1][0].Shape, 1);
    EXPECT_EQ(style.PointStyle[2][0].HalfWidth, 7);
}

TEST(OptionsFilePaths, OwnFileBesideTheProgramAndTheFactoryFile) {
    EXPECT_EQ(OwnOptionsPath("/opt/kestrova/Kestrova"), "/opt/kestrova/Kestrova.INI");
    EXPECT_EQ(OwnOptionsPath("/opt/kestrova/Kestrova.exe"), "/opt/kestrova/Kestrova.INI");
    EXPECT_EQ(OwnOptionsPath("/opt/v1.2/Kestrova"), "/opt/v1.2/Kestrova.INI");
    EXPECT_EQ(FactoryOptionsPath("/opt/kestrova/Kestrova"), "/opt/kestrova/original.INI");
    // Without a program path both files are looked for in the working folder.
    EXPECT_EQ(OwnOptionsPath(""), "Kestrova.INI");
    EXPECT_EQ(FactoryOptionsPath(""), "original.INI");
}

} // namespace
