// The plot frame (background, graduations, grid, axes with arrow heads, axis
// titles) and the graph (every series of the measurement record, the manual
// points and lines, the period cursors), drawn into any rectangle of any
// canvas: the screen's off-screen bitmap and a printer page share this code.
//
// Every drawing call takes the canvas, the top-left corner (x0, y0) of the
// graph's rectangle and, for the whole frame or graph, its size (w, h). The
// window passes its graph state, its graph style and the measurement record;
// the frame writes the geometry (PlotWidth ... ScaleY, axis titles,
// TimeInSeconds, FrameValid) back into the state, the curves their working
// positions and the cursors' drawn x.
//
// A frame needs a valid scale: a display range with its top above its bottom
// for every channel it shows, and for the time frames a MeasureCount of at
// least 1 and a valid DeltaTIndex, and a plot area wider and higher than its
// margins. Without one only the background is drawn, FrameValid is false and
// DrawGraph draws no curve. Nothing is drawn outside the rectangle.
#pragma once

#include "GraphScale.h"
#include "GraphTypes.h"
#include "gui/Canvas.h"
#include "model/MeasurementSet.h"

namespace workbench {

using namespace vcl;

// SetPlotSize, then the scales and the empty frame of the current AcqMode.
// Returns FrameValid.
bool DrawFrame(TCanvas& canvas, int x0, int y0, int w, int h, GraphState& state,
               const GraphStyle& style, const MeasurementSet& record);

// Plot size, canvas font height (h div 32, at least 11) and margins.
void SetPlotSize(TCanvas& canvas, int w, int h, GraphState& state);

// Scales, origin and titles of channel c for the time frames, from the size
// and margins left by the last SetPlotSize (the timed acquisitions call it
// alone before their first point). Returns false, leaving the scales of
// channel c as they were, when there is no scale.
bool ComputeTimeScales(int c, GraphState& state, const MeasurementSet& record);
// Scales, origins and titles of the XY frames (origin from the signed lower
// end of channel 1). Returns false, changing nothing, when there is no scale.
bool ComputeXYScales(GraphState& state, const MeasurementSet& record);

// The empty time frame and XY frame from the scales already computed.
void DrawTimeAxes(TCanvas& canvas, int x0, int y0, const GraphState& state, const GraphStyle& style,
                  const MeasurementSet& record);
void DrawXYAxes(TCanvas& canvas, int x0, int y0, const GraphState& state, const GraphStyle& style,
                const MeasurementSet& record);

// The frame, then every series, the manual points and lines and the period
// cursors.
void DrawGraph(TCanvas& canvas, int x0, int y0, int w, int h, GraphState& state,
               const GraphStyle& style, const MeasurementSet& record);

// One marker of series s (1..4), channel c centred on (x, y), absolute canvas
// positions; barW is the width of a bar marker, scaleRef the height that sets
// the size factor (scaleRef div 480, at least 1). Pen widths times lineScale.
void DrawPointMarker(TCanvas& canvas, int s, int c, int x, int y, int barW, int scaleRef,
                     const GraphStyle& style, int lineScale);

// Sample box size of the series styles, in pixels.
constexpr int SampleWidth = 14;
constexpr int SampleHeight = 20;

// The style sample of series s (1..4), channel c on a sample box's canvas:
// the background, then, as the display switches say, a diagonal from the
// top-left to the bottom-right corner in the line's colour and width (pale
// when the pale box is ticked) and the marker at its middle, under the
// diagonal's lower half. scaleRef: the graph's height, for the marker's size.
void DrawStyleSample(TCanvas& canvas, int s, int c, const GraphStyle& style, int lineScale,
                     int scaleRef);

} // namespace workbench
