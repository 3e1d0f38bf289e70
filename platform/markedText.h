#pragma once

#include <QFont>
#include <QString>

class QPainter;
class QPaintDevice;

namespace platform {

// Draws (when `draw`) a line whose columns are marked by control characters,
// starting at x with the baseline at y: a run ended by a backspace ends at the
// pen, other runs start at it; a tab advances the pen by `tabWidth`. Returns
// the width of the line. Measures only without a painter.
int drawMarkedText(QPainter* painter, const QFont& font, int x, int y, int tabWidth, const QString& text, bool draw);

// A font `height` tenths of a point high for the device's resolution; with a
// width given, its average character is narrowed or widened to match.
QFont createScaledFont(const QPaintDevice& device, const QString& face, int height, int width = 0);

struct FontChoice;
// The font of a choice (family, points, bold, italic) for the device.
QFont fontOf(const QPaintDevice& device, const FontChoice& choice);

}  // namespace platform
