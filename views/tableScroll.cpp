#include "views/tableScroll.h"

#include <algorithm>

namespace views {

void TableScroll::layout(int width, int height)
{
    clientWidth = width;
    clientHeight = height;
    topLineMax = std::max(0, lastLine + 1 - clientHeight / std::max(1, lineHeight));
    topLine = std::min(topLine, topLineMax);
    leftColumnMax = std::max(0, (textWidth - clientWidth) / std::max(1, avgChar) + 2);
    leftColumn = std::min(leftColumn, leftColumnMax);
}

int TableScroll::scrollLines(Step request, int thumbPosition)
{
    const int page = std::max(1, clientHeight / std::max(1, lineHeight));
    int step = 0;
    switch (request) {
    case Step::lineUp: step = -1; break;
    case Step::lineDown: step = 1; break;
    case Step::pageUp: step = -page; break;
    case Step::pageDown: step = page; break;
    case Step::thumb: step = thumbPosition - topLine; break;
    case Step::top: step = -topLine; break;
    case Step::bottom: step = topLineMax - topLine; break;
    case Step::none: step = 0; break;
    }
    step = std::clamp(step, -topLine, topLineMax - topLine);
    topLine += step;
    return step;
}

int TableScroll::scrollColumns(ColumnStep request, int thumbPosition)
{
    int step = 0;
    switch (request) {
    case ColumnStep::left: step = -1; break;
    case ColumnStep::right: step = 1; break;
    case ColumnStep::pageLeft: step = -8; break;
    case ColumnStep::pageRight: step = 8; break;
    case ColumnStep::leftEnd: step = -leftColumn; break;
    case ColumnStep::rightEnd: step = leftColumnMax - leftColumn; break;
    case ColumnStep::thumb: step = thumbPosition - leftColumn; break;
    }
    step = std::clamp(step, -leftColumn, leftColumnMax - leftColumn);
    leftColumn += step;
    return step;
}

bool TableScroll::key(Key k, bool ctrl)
{
    switch (k) {
    case Key::pageUp: scrollLines(ctrl ? Step::top : Step::pageUp); return true;
    case Key::pageDown: scrollLines(ctrl ? Step::bottom : Step::pageDown); return true;
    case Key::left: scrollColumns(ctrl ? ColumnStep::pageLeft : ColumnStep::left); return true;
    case Key::right: scrollColumns(ctrl ? ColumnStep::pageRight : ColumnStep::right); return true;
    case Key::home: scrollColumns(ColumnStep::leftEnd); return true;
    case Key::end: scrollColumns(ColumnStep::rightEnd); return true;
    case Key::up: scrollLines(Step::lineUp); return true;
    case Key::down: scrollLines(Step::lineDown); return true;
    }
    return false;
}

}  // namespace views
