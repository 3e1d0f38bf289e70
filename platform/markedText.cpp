#include "platform/markedText.h"

#include "platform/dialogs.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace platform {

int drawMarkedText(QPainter* painter, const QFont& font, int x, int y, int tabWidth, const QString& text, bool draw)
{
    const QFontMetrics metrics(font);
    int pen = x, width = 0, runStart = 0;
    for (int i = 0; i <= text.size(); ++i) {
        const char16_t c = i < text.size() ? text[i].unicode() : 0;
        if (c >= 32)
            continue;
        const QString run = text.mid(runStart, i - runStart);
        if (!run.isEmpty()) {
            const int extent = metrics.horizontalAdvance(run);
            if (c == '\b') {
                if (draw && painter)
                    painter->drawText(pen - extent, y, run);
            } else {
                if (draw && painter)
                    painter->drawText(pen, y, run);
                if (c != '\t')
                    width += extent;
            }
        }
        if (c == '\t') {
            pen += tabWidth;
            width += tabWidth;
        }
        runStart = i + 1;
        if (c == 0)
            break;
    }
    return width;
}

QFont createScaledFont(const QPaintDevice& device, const QString& face, int height, int width)
{
    QFont font(face);
    const double pixels = std::abs(height) * device.logicalDpiY() / 720.0;
    font.setPixelSize(std::max(1, static_cast<int>(std::floor(pixels + 0.5))));
    // A width narrows or widens the average character by width / height.
    if (width != 0 && height != 0)
        font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * std::abs(width) / std::abs(height))), 1, 4000));
    return font;
}

QFont fontOf(const QPaintDevice& device, const FontChoice& choice)
{
    QFont font = createScaledFont(device, QString::fromStdString(choice.family), choice.pointSize * 10);
    font.setBold(choice.bold);
    font.setItalic(choice.italic);
    return font;
}

}  // namespace platform
