#pragma once

#include <QEvent>
#include <QObject>

namespace platform {

// A window command: the number and its two values, as menus, accelerators and
// the program's own windows send them.
class CommandEvent : public QEvent {
public:
    static QEvent::Type type();
    CommandEvent(int id, long wParam, long lParam) : QEvent(type()), id(id), wParam(wParam), lParam(lParam) {}
    int id;
    long wParam;
    long lParam;
    bool handled = false;
};

// A window that takes commands.
class CommandWindow {
public:
    virtual ~CommandWindow() = default;
    // True when the window handled the command.
    virtual bool onCommand(int id, long wParam, long lParam) = 0;
};

// Delivers a command now, on the window's own thread (other threads hand their
// work to that thread through a GuiQueue). Answers whether it was handled.
bool sendCommand(QObject* target, int id, long wParam = 0, long lParam = 0);

// Passes a command event to a CommandWindow; for the windows' event().
bool dispatchCommand(CommandWindow& window, QEvent* event);

}  // namespace platform
