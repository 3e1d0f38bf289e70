#include "app/menuBuilder.h"

#include <QAction>
#include <QMenu>

#include "platform/qtText.h"

namespace app {

QString menuText(const std::string& text)
{
    return platform::fromWindows1252(text);
}

namespace {

void addItems(QMenu* menu, const std::vector<MenuItem>& items)
{
    for (const MenuItem& item : items) {
        if (item.isSeparator())
            menu->addSeparator();
        else if (item.isPopup())
            addItems(menu->addMenu(menuText(item.text)), item.popup);
        else
            menu->addAction(menuText(item.text))->setData(item.id);
    }
}

}  // namespace

void addPopupItems(QMenu* menu, MenuKind kind, const std::string& title)
{
    for (const MenuItem& item : menuBar(kind))
        if (item.text == title)
            addItems(menu, item.popup);
}

MenuBuilder::MenuBuilder(std::function<void(int)> onCommand, std::function<MenuContext()> context)
    : onCommand_(std::move(onCommand)), context_(std::move(context))
{
}

QMenu* MenuBuilder::buildPopup(const MenuItem& item, MenuKind kind, QWidget* parent)
{
    auto* menu = new QMenu(menuText(item.text), parent);
    for (const MenuItem& child : item.popup) {
        if (child.isSeparator()) {
            menu->addSeparator();
        } else if (child.isPopup()) {
            menu->addMenu(buildPopup(child, kind, menu));
        } else {
            QAction* action = menu->addAction(menuText(child.text));
            action->setData(child.id);
            const int id = child.id;
            QObject::connect(action, &QAction::triggered, menu, [this, id] { onCommand_(id); });
        }
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu, kind] { applyRules(menu, kind); });
    return menu;
}

void MenuBuilder::applyRules(QMenu* menu, MenuKind kind) const
{
    MenuContext context = context_();
    context.menu = kind;
    for (QAction* action : menu->actions()) {
        const int id = action->data().toInt();
        if (id == 0)
            continue;
        const ItemState state = itemState(id, context);
        action->setEnabled(state.enabled);
        // Only a checked item is checkable, so the others show no mark at all.
        action->setCheckable(state.checked);
        action->setChecked(state.checked);
        if (!state.text.empty())
            action->setText(menuText(state.text));
    }
}

QMenuBar* MenuBuilder::build(MenuKind kind, QWidget* parent)
{
    auto* bar = new QMenuBar(parent);
    fill(bar, kind);
    return bar;
}

void MenuBuilder::fill(QMenuBar* bar, MenuKind kind)
{
    for (QAction* action : bar->actions()) {
        bar->removeAction(action);
        if (QMenu* menu = action->menu())
            menu->deleteLater();
        else
            action->deleteLater();
    }
    bar->setObjectName(menuName(kind));
    for (const MenuItem& item : menuBar(kind)) {
        if (item.isPopup()) {
            bar->addMenu(buildPopup(item, kind, bar));
        } else {
            QAction* action = bar->addAction(menuText(item.text));
            action->setData(item.id);
            const int id = item.id;
            QObject::connect(action, &QAction::triggered, bar, [this, id] { onCommand_(id); });
        }
    }
}

QMenu* MenuBuilder::windowPopup(QMenuBar* bar)
{
    for (QAction* action : bar->actions())
        if (action->menu() && action->text() == "&Window")
            return action->menu();
    return nullptr;
}

}  // namespace app
