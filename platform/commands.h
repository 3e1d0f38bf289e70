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

// The kinds of document window the frame holds; other windows are `none`.
enum class WindowKind { none, report, graph, fft, bands, spectrum };

// A window that takes commands.
class CommandWindow {
public:
    virtual ~CommandWindow() = default;
    // True when the window handled the command.
    virtual bool onCommand(int id, long wParam, long lParam) = 0;
    virtual WindowKind windowKind() const { return WindowKind::none; }
};

// The kind of a window: `none` for one that takes no commands.
WindowKind windowKindOf(const QObject* window);

// Delivers a command now, on the window's own thread (other threads hand their
// work to that thread through a GuiQueue). Answers whether it was handled.
bool sendCommand(QObject* target, int id, long wParam = 0, long lParam = 0);

// Passes a command event to a CommandWindow; for the windows' event().
bool dispatchCommand(CommandWindow& window, QEvent* event);

}  // namespace platform
