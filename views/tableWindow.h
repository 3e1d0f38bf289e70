#pragma once

#include <QFont>
#include <functional>
#include <memory>

#include "platform/commands.h"
#include "platform/dialogs.h"
#include "views/scrolledTextArea.h"
#include "views/tableLines.h"
#include "views/tableState.h"

class QMenu;

namespace views {

// A table window (Bands or Spectrum): the lines of its table for one channel
// pair, in its own font, scrolled by the table rules; the pair and mode items,
// Font, Copy, the right-button menu and refresh (602).
class TableWindow : public ScrolledTextArea, public platform::CommandWindow {
public:
    TableWindow(std::unique_ptr<TableLines> table, const char* className, QWidget* parent = nullptr);

    bool onCommand(int id, long wParam, long lParam) override;
    TableLines& table() { return *table_; }
    const TableLines& table() const { return *table_; }
    virtual bool isBands() const { return false; }
    // The text Copy puts on the clipboard.
    std::string copyText() const { return copyTableText(*table_); }
    const platform::FontChoice& fontChoice() const { return fontChoice_; }
    const QFont& textFont() const { return font_; }
    // What the configuration file keeps of the window.
    virtual TableWindowSettings settings() const;
    virtual void applySettings(const TableWindowSettings& settings);

    // Fills the right-button menu's popup (the member's "&Spectrum" submenu)
    // and applies the frame's rules to it; set by the frame.
    std::function<void(QMenu*)> fillContextMenu;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Title again, the member's data again, repaint.
    void refresh();

private:
    void measure();
    void chooseFont();
    void useFont(const platform::FontChoice& choice);
    void copyToClipboard();

    std::unique_ptr<TableLines> table_;
    QFont font_;
    platform::FontChoice fontChoice_{"Arial", 8, true, false, 0x000000, true};  // the text in its colour
    int tabWidth_ = 84;
};

// The Bands window: seven bands of its own, SetBands (50 to 55) and All Default (56).
class BandsWindow : public TableWindow {
public:
    explicit BandsWindow(QWidget* parent = nullptr);
    bool onCommand(int id, long wParam, long lParam) override;
    bool isBands() const override { return true; }
    platform::WindowKind windowKind() const override { return platform::WindowKind::bands; }
    BandsTable& bands() { return static_cast<BandsTable&>(table()); }
    TableWindowSettings settings() const override;
    void applySettings(const TableWindowSettings& settings) override;
    // Applies a SetBands text to band i (1 to 6): true when the band changed
    // (and the window was refreshed).
    bool applyBandText(int band, const std::string& text);
    void defaultBands();

    // Called after a band's limits changed, so the frame rewrites the menu items.
    std::function<void()> bandsChanged;

private:
    void setBand(int band);
};

// The Spectrum window: the bin rows of one pair.
class SpectrumWindow : public TableWindow {
public:
    explicit SpectrumWindow(QWidget* parent = nullptr);
    platform::WindowKind windowKind() const override { return platform::WindowKind::spectrum; }
};

}  // namespace views
