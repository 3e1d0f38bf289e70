#include "app/programIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace app {

QIcon programIcon()
{
    QSvgRenderer renderer(QStringLiteral(":/icons/ozmar.svg"));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace app
