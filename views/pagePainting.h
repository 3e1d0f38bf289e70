#pragma once

#include <QRect>
#include <QString>

#include "monitor/graphPage.h"

class QPainter;

namespace views {

// What the Graph and FFT pages draw alike.
enum class Align { left, right, centre };
// Text at `x` (its left edge, right edge or centre) with its top at `y`, or
// with its vertical centre at `y`.
void pageLabel(QPainter& painter, int x, int y, const QString& text, Align align, bool centredOnY = false);
// A sunken edge one unit outside `r`: grey above and left, white below and right.
void etchedEdge(QPainter& painter, const QRect& r);
// The four light-grey margins around the plot.
void fillMargins(QPainter& painter, const monitor::PageGeometry& geometry);
// A channel's name in a black box with an etched edge, its right edge at `right`.
void channelBox(QPainter& painter, int right, const QRect& box, const QString& name);

}  // namespace views
