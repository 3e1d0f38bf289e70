#pragma once

#include <string>
#include <vector>

namespace app {

// Export EDF+ (File menu, after Save As Text): a command of this program's own.
constexpr int kExportEdf = 40060;

// The six menus of the frame.
enum class MenuKind { Init1, CORVANE, GraphMenu, FFTMenu, BandsMenu, Spectrum };

// A menu item: a command, a separator (id 0, no text) or a popup (its items).
struct MenuItem {
    int id = 0;
    std::string text;
    std::vector<MenuItem> popup;

    bool isSeparator() const { return id == 0 && text.empty(); }
    bool isPopup() const { return !popup.empty(); }
};

// The menu bar of a kind: its popups and items in order.
const std::vector<MenuItem>& menuBar(MenuKind kind);
// The resource name of a kind ("Init1", "CORVANE", ...).
const char* menuName(MenuKind kind);

// The accelerator table "Corvane": key text as Qt reads it, and command.
struct Accelerator {
    const char* keys;
    int id;
};
const std::vector<Accelerator>& acceleratorTable();

// Finds an item anywhere in a menu bar; nullptr when absent.
const MenuItem* findItem(MenuKind kind, int id);

}  // namespace app
