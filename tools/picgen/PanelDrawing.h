// The oscilloscope's screen face and front panel, drawn from the layout table.
#pragma once

#include <array>

#include <QImage>

#include "panel_layout.h"

namespace picgen {

// Knob positions (0..7) of Ya, Yb and the time base.
using KnobPositions = std::array<int, 3>;

// The positions the program starts with: 2 V, 2 V and 5 ms per division.
KnobPositions StartPositions();

// The lit screen face with its graticule, PlotWidth x PlotHeight.
QImage DrawScreenFace();

// The front panel with the knobs at the given positions, 801 x 385.
QImage DrawPanel(const KnobPositions& positions);

// The knob's picture rectangle cut out of a panel.
QImage CropKnob(const QImage& panel, PanelLayout::Knob knob);

// The text of a knob position's value label ("0,1", "20", "200").
QString ValueLabel(PanelLayout::Knob knob, int position);

} // namespace picgen
