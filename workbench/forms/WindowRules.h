// Texts and sizes of the main window that need no window: the caption that
// names the sensors, the live display texts, the display panel layout and the
// pen-width multiplier of the screen.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace workbench {

// The text of a channel without sensor in the window caption.
inline constexpr const char* NoSensorText = "Pas de capteur";
// The caption while the interface is searched, and when none was opened.
inline constexpr const char* DetectingCaption = "Détection...";
inline constexpr const char* NoInterfaceCaption = "Aucune interface n'a été détectée";
// What the user is told, once, when the interface has stopped answering.
inline constexpr const char* InterfaceSilentText = "L'interface de mesure ne répond plus.";
// The live display text of a value outside the sensor's range.
inline constexpr const char* OutOfRangeText = "hors calibre";

// "Kestrova-QD-TAVEN.Q | Voie 1 : " + text1 + " | Voie 2 : " + text2.
std::string SensorsCaption(std::string_view text1, std::string_view text2);

// A live value: "hors calibre" for the out-of-range values, else the value
// fixed-point with 8 significant digits and `decimals` decimals (decimal
// comma), a blank and the unit.
std::string LiveValueText(float value, int decimals, std::string_view unit);

// Sizes of the two live display panels. Normal layout: side by side in a band
// of one eighth of the client panel's height; giant layout: one above the
// other in two thirds of it. All divisions truncate.
struct DisplayPanelsLayout {
    int BandHeight = 0;  // PanelAfficheurs
    int PanelWidth = 0;  // PanelY0 and PanelY1 (giant: the band's width)
    int PanelHeight = 0; // PanelY0 and PanelY1
    int FontHeight = 0;  // character cell of both panels, in pixels
};

// clientPanelHeight: height of Panel3; bandWidth: width of PanelAfficheurs.
DisplayPanelsLayout ComputeDisplayPanels(bool giant, int clientPanelHeight, int bandWidth);

// The font height of the live display panels: ruleHeight, or less when the
// widest of `texts` would not fit availableWidth at that height, so that no
// text ("hors calibre", a long unit) is cut at the panels' edges.
// textWidthAt(height, text) is a text's width in pixels at a font height.
int FitFontHeight(int ruleHeight, int availableWidth, const std::vector<std::string>& texts,
                  const std::function<int(int height, const std::string& text)>& textWidthAt);

// Multiplier of every pen width: pixels per inch div 144, at least 1.
int LineScaleForDpi(int pixelsPerInch);

} // namespace workbench
