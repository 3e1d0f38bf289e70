#pragma once

#include <QAbstractScrollArea>

#include "views/tableScroll.h"

namespace views {

// A window of text lines that scrolls in whole lines and average characters:
// its scroll bars, keys (Page Up/Down, arrows, Home, End, with Ctrl) and the
// wheel (three lines a notch, only after the mouse has entered) follow the
// table windows' rules. The Report, Bands and Spectrum windows are built on it.
class ScrolledTextArea : public QAbstractScrollArea {
public:
    explicit ScrolledTextArea(QWidget* parent = nullptr);
    const TableScroll& scroll() const { return scroll_; }

protected:
    // Takes the client size, limits the place to the ranges and sets the bars.
    void updateScrollBars();
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEnterEvent*) override { mouseInside_ = true; }
    void leaveEvent(QEvent*) override { mouseInside_ = false; }

    TableScroll scroll_;

private:
    bool mouseInside_ = false;
};

}  // namespace views
