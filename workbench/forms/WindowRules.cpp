#include "WindowRules.h"

#include "core/Numbers.h"
#include "tampon.h"

#include <algorithm>

using namespace tampon;

namespace workbench {

std::string SensorsCaption(std::string_view text1, std::string_view text2) {
    std::string caption = "Kestrova-QD-TAVEN.Q | Voie 1 : ";
    caption += text1;
    caption += " | Voie 2 : ";
    caption += text2;
    return caption;
}

std::string LiveValueText(float value, int decimals, std::string_view unit) {
    if (value == OverRangeValue || value == UnderRangeValue)
        return OutOfRangeText;
    std::string text = platform::FormatFixed(value, 8, decimals);
    text += ' ';
    text += unit;
    return text;
}

DisplayPanelsLayout ComputeDisplayPanels(bool giant, int clientPanelHeight, int bandWidth) {
    DisplayPanelsLayout layout;
    if (giant) {
        layout.BandHeight = clientPanelHeight * 2 / 3;
        layout.PanelWidth = bandWidth;
        layout.PanelHeight = layout.BandHeight / 2;
    } else {
        layout.BandHeight = clientPanelHeight / 8;
        layout.PanelWidth = bandWidth / 2;
        layout.PanelHeight = layout.BandHeight;
    }
    // The panels have no border of their own: their client height is their height.
    layout.FontHeight = std::max(1, layout.PanelHeight - layout.PanelHeight / 6);
    return layout;
}

int FitFontHeight(int ruleHeight, int availableWidth, const std::vector<std::string>& texts,
                  const std::function<int(int height, const std::string& text)>& textWidthAt) {
    auto fits = [&](int height) {
        for (const std::string& text : texts)
            if (!text.empty() && textWidthAt(height, text) > availableWidth)
                return false;
        return true;
    };
    if (ruleHeight <= 1 || fits(ruleHeight))
        return std::max(ruleHeight, 1);
    // The largest height that fits (text widths grow with the height).
    int low = 1;
    int high = ruleHeight;
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle;
    }
    return low;
}

int LineScaleForDpi(int pixelsPerInch) {
    return std::max(1, pixelsPerInch / 144);
}

} // namespace workbench
