#pragma once

#include <QFont>
#include <QImage>

#include "platform/commands.h"
#include "platform/dialogs.h"
#include "report/reportPage.h"
#include "views/scrolledTextArea.h"

namespace report {

// The Report window: paints and scrolls the report page of the primary (or
// the secondary) recording and carries out its Format, Copy and line commands.
class ReportWindow : public views::ScrolledTextArea, public platform::CommandWindow {
public:
    platform::WindowKind windowKind() const override { return platform::WindowKind::report; }
    explicit ReportWindow(bool secondary, QWidget* parent = nullptr);

    bool onCommand(int id, long wParam, long lParam) override;
    ReportPage& page() { return page_; }
    const ReportPage& page() const { return page_; }
    // The font as the user chose it (Arial 10 at first): where Format > Font starts.
    const platform::FontChoice& fontChoice() const { return fontChoice_; }
    const QFont& textFont() const { return font_; }
    // One row of the graph strip as an image page: white, the channel names
    // and scales, the second labels and the traces, in an image 64 column
    // steps wide and (lines per row + 1) lines high.
    QImage graphRowImage(int row) const;
    // The width the window opens with: the band table's heading
    // ("Frequency Hz" and four tabs, then "Absolute") and one more character.
    int initialTextWidth() const;
    // The page's plain text as Copy puts it on the clipboard.
    std::string copyText() const;
    // What a line of the page is: a patient line, a list line or a graph line.
    struct PageLine {
        enum Kind { patient, blank, list, graph } kind;
        int index;  // patient line, list line i, or graph row
        int rowLine;
    };
    const std::vector<PageLine>& pageLines() const { return lines_; }

    // For the frame's menus and the context menu.
    std::function<void(QMenu*)> applyFormatRules;
    // Puts the frame's Format popup into the context menu (the frame owns the menus).
    std::function<void(QMenu*)> addFormatItems;
    std::function<void(int)> sendToFrame;
    // The right-click menu: the frame's Format popup, then Print and Copy
    // when there are lines, with the frame's rules applied.
    void fillContextMenu(QMenu& menu);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void relayout(bool resetRange);
    void measure();
    void chooseFont();
    void copyToClipboard();
    void setGraphSeconds();
    void paintGraphRow(QPainter& painter, int row, int rowLine, int y) const;
    void paintGraphTraces(QPainter& painter) const;

    ReportPage page_;
    QFont font_;
    platform::FontChoice fontChoice_{"Arial", 10, false, false};
    int tabWidth_ = 84;
    int columnStep_ = 10;
    std::vector<PageLine> lines_;
};

}  // namespace report
