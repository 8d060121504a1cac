// The main window's texts and sizes that need no window.
#include "WindowRules.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowRulesTest, CaptionNamesBothChannels) {
    EXPECT_EQ(workbench::SensorsCaption("Voltmètre", "Pas de capteur"),
              "Kestrova-QD-TAVEN.Q | Voie 1 : Voltmètre | Voie 2 : Pas de capteur");
}

TEST(WindowRulesTest, LiveValueTexts) {
    struct Case {
        float Value;
        int Decimals;
        const char* Unit;
        const char* Text;
    } cases[] = {
        {0.01f, 2, "V", "0,01 V"},         {-10.0f, 2, "V", "-10,00 V"},
        {21.3f, 1, "°C", "21,3 °C"},       {0.0f, 1, "°C", "0,0 °C"},
        {700.0f, 0, "", "700 "},           {123456789.0f, 2, "Pa", "1,2345679E8 Pa"},
        {3.0e12f, 2, "V", "hors calibre"}, {-3.0e12f, 0, "", "hors calibre"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(workbench::LiveValueText(c.Value, c.Decimals, c.Unit), c.Text) << c.Text;
}

TEST(WindowRulesTest, DisplayPanelSizesTruncate) {
    struct Case {
        bool Giant;
        int ClientHeight, BandWidth;
        int Band, Width, Height, Font;
    } cases[] = {
        {false, 490, 508, 61, 254, 61, 51},
        {false, 7, 3, 0, 1, 0, 1}, // a tiny window keeps a usable font height
        {true, 490, 508, 326, 508, 163, 136},
        {true, 491, 508, 327, 508, 163, 136},
    };
    for (const Case& c : cases) {
        const auto layout = workbench::ComputeDisplayPanels(c.Giant, c.ClientHeight, c.BandWidth);
        EXPECT_EQ(layout.BandHeight, c.Band);
        EXPECT_EQ(layout.PanelWidth, c.Width);
        EXPECT_EQ(layout.PanelHeight, c.Height);
        EXPECT_EQ(layout.FontHeight, c.Font);
    }
}

TEST(WindowRulesTest, FontShrinksOnlyForTextsThatDoNotFit) {
    // A text n characters long is 0.6 x height wide per character.
    auto width = [](int height, const std::string& text) {
        return static_cast<int>(0.6 * height * static_cast<double>(text.size()));
    };
    EXPECT_EQ(workbench::FitFontHeight(51, 246, {"0,01 V", ""}, width), 51);
    EXPECT_EQ(workbench::FitFontHeight(51, 246, {"", ""}, width), 51);
    // "hors calibre": 12 characters, 7.2 x height <= 246 up to height 34.
    EXPECT_EQ(workbench::FitFontHeight(51, 246, {"0,01 V", "hors calibre"}, width), 34);
    EXPECT_EQ(workbench::FitFontHeight(51, 3, {"hors calibre"}, width), 1);
}

TEST(WindowRulesTest, LineScaleFromScreenResolution) {
    EXPECT_EQ(workbench::LineScaleForDpi(96), 1);
    EXPECT_EQ(workbench::LineScaleForDpi(287), 1);
    EXPECT_EQ(workbench::LineScaleForDpi(288), 2);
    EXPECT_EQ(workbench::LineScaleForDpi(0), 1);
}

} // namespace
