#pragma once

namespace views {

// Scrolling of the table and report windows in whole lines and columns.
struct TableScroll {
    int lineHeight = 16;
    int avgChar = 7;
    int lastLine = 0;    // number of the last line
    int textWidth = 0;   // pixels of the widest line
    int clientWidth = 0;
    int clientHeight = 0;
    int topLine = 0, topLineMax = 0;
    int leftColumn = 0, leftColumnMax = 0;

    // Stores the client size and limits both positions to their new ranges.
    void layout(int width, int height);

    enum class Step { lineUp, lineDown, pageUp, pageDown, top, bottom, thumb, none };
    // Moves the top line; returns the lines moved (0: nothing to do).
    int scrollLines(Step request, int thumbPosition = 0);
    enum class ColumnStep { left, right, pageLeft, pageRight, leftEnd, rightEnd, thumb };
    int scrollColumns(ColumnStep request, int thumbPosition = 0);

    // The keys: Page Up/Down (with Ctrl: top/bottom), Left/Right (with Ctrl: by
    // eight), Home/End (column ends), Up/Down. False for any other key.
    enum class Key { pageUp, pageDown, left, right, home, end, up, down };
    bool key(Key k, bool ctrl);
};

}  // namespace views
