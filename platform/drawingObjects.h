#pragma once

#include <QBrush>
#include <QPen>

namespace platform {

// The pens and brushes the views share. Pens are cosmetic: one device pixel
// wide whatever the page mapping. One instance, made with the frame.
struct DrawingObjects {
    static QPen pen(QColor colour, int width = 1)
    {
        QPen p(colour, width);
        p.setCosmetic(true);
        return p;
    }
    QPen yellow = pen(QColor(255, 255, 0), 3);
    QPen grey = pen(QColor(0x80, 0x80, 0x80));
    QPen cyan = pen(QColor(0, 255, 255));
    QPen blue = pen(QColor(0, 0, 255));
    QPen red = pen(QColor(255, 0, 0));
    QPen green = pen(QColor(0, 255, 0));
    QPen darkGreen = pen(QColor(0, 128, 64));
    QPen black = pen(QColor(0, 0, 0));
    QPen white = pen(QColor(255, 255, 255));
    QBrush blackBrush{QColor(0, 0, 0)};
    QBrush teal{QColor(0, 128, 128)};
    QBrush darkBlue{QColor(0, 0, 64)};
    QBrush cyanBrush{QColor(0, 255, 255)};
    QBrush lightGrey{QColor(192, 192, 192)};
};

extern DrawingObjects* drawingObjects;

// The frame's drawing objects, or (in unattended runs and tests, without a
// frame) a set of the same colours.
inline const DrawingObjects& sharedDrawing()
{
    static const DrawingObjects fallback;
    return drawingObjects ? *drawingObjects : fallback;
}

}  // namespace platform
