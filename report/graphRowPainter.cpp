#include "report/graphRowPainter.h"

#include <QFontMetrics>
#include <QPainter>

#include "data/recording.h"
#include "report/reportPage.h"
#include "state/settings.h"
#include "views/graphPainter.h"

namespace report {

void drawGraphRow(QPainter& painter, const ReportPage& page, int row, const GraphRowPlace& p, const QFont& font)
{
    const int perRow = page.graphLinesPerRow(), seconds = page.graphSecondsPerRow();
    const int lh = p.lineHeight;
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font, painter.device());
    const bool four = page.recording().header[data::hw::channelMode] == 1;
    int j = 0;
    for (int c = 0; c < 4; ++c) {
        const state::ChannelSetting& s = state::settings.channelSettings[static_cast<std::size_t>(c)];
        if (!s.on)
            continue;
        painter.drawText(p.x, p.top + (4 * j + 1) * lh + metrics.ascent(), QString("EEG%1").arg(c + 1));
        painter.drawText(p.x, p.top + (4 * j + 2) * lh + metrics.ascent(),
                         QString::number(s.scale * (c >= 2 && !four ? 10 : 1)) + QString::fromUtf8("\u00B5V/div"));
        ++j;
    }
    for (int k = 0; k <= seconds; ++k) {
        const int number = row * seconds + k + static_cast<int>(page.graphFrom);
        if (number >= static_cast<int>(page.wholeSeconds()))
            break;
        const QString label = QString::number(number);
        painter.drawText(p.x + p.columnStep * 60 * k / seconds - metrics.horizontalAdvance(label) / 2,
                         p.top + perRow * lh - metrics.descent(), label);
    }
    const int from = static_cast<int>(page.graphFrom) + row * seconds;
    views::drawReportTraces(painter, QRect(p.x, p.top, 60 * p.columnStep, (perRow - 1) * lh), page.recording(), from,
                            from + seconds, page.showGraphColor);
}

}  // namespace report
