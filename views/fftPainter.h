#pragma once

#include "views/fftPage.h"

class QPainter;

namespace views {

// Draws an FFT page: margins, frame, shade, frequency axis and grid, segment
// label, channel boxes with their scales and base lines, the mark, and the bars.
// The page mapping and font are set up as for the Graph page (setupGraphPage).
void drawFftPage(QPainter& painter, const FftSnapshot& page, int lineHeight, bool colour);

}  // namespace views
