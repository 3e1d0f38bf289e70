#pragma once

#include <QMenuBar>
#include <functional>
#include <map>

#include "app/menuRules.h"
#include "app/menuTables.h"

namespace app {

// A menu bar built from a menu table: every action carries its command id and
// calls `onCommand`; when a popup opens, its items take the states the rules
// give for `context()`.
class MenuBuilder {
public:
    MenuBuilder(std::function<void(int)> onCommand, std::function<MenuContext()> context);
    QMenuBar* build(MenuKind kind, QWidget* parent);
    // Fills an existing bar with another menu (its corner widgets, such as the
    // controls of a maximised document window, stay).
    void fill(QMenuBar* bar, MenuKind kind);
    // Applies the rules to the items of one popup (also used by context menus).
    void applyRules(QMenu* menu, MenuKind kind) const;
    // The Window popup of a bar, where the frame lists its document windows.
    static QMenu* windowPopup(QMenuBar* bar);

private:
    QMenu* buildPopup(const MenuItem& item, MenuKind kind, QWidget* parent);
    std::function<void(int)> onCommand_;
    std::function<MenuContext()> context_;
};

// The Qt text of a menu text: "&&" stays, the "\t" shortcut part is kept.
QString menuText(const std::string& text);

// Adds the items of the menu bar's popup `title` (of the bar of `kind`) to
// `menu`, each action carrying its command id as data.
void addPopupItems(QMenu* menu, MenuKind kind, const std::string& title);

}  // namespace app
