#pragma once

#include <QBrush>
#include <QPen>

namespace platform {

// The pens and brushes the views share, made with the frame. One instance.
struct DrawingObjects {
    QPen yellow{QColor(255, 255, 0), 3};
    QPen grey{QColor(0x80, 0x80, 0x80), 1};
    QPen cyan{QColor(0, 255, 255), 1};
    QPen blue{QColor(0, 0, 255), 1};
    QPen red{QColor(255, 0, 0), 1};
    QPen green{QColor(0, 255, 0), 1};
    QPen darkGreen{QColor(0, 128, 64), 1};
    QBrush black{QColor(0, 0, 0)};
    QBrush teal{QColor(0, 128, 128)};
    QBrush darkBlue{QColor(0, 0, 64)};
    QBrush cyanBrush{QColor(0, 255, 255)};
};

extern DrawingObjects* drawingObjects;

}  // namespace platform
