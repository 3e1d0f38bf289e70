#include "platform/commands.h"

#include <QCoreApplication>

namespace platform {

QEvent::Type CommandEvent::type()
{
    static const QEvent::Type registered = static_cast<QEvent::Type>(QEvent::registerEventType());
    return registered;
}

bool sendCommand(QObject* target, int id, long wParam, long lParam)
{
    if (!target)
        return false;
    bool handled = false;
    auto deliver = [&] {
        CommandEvent event(id, wParam, lParam);
        QCoreApplication::sendEvent(target, &event);
        handled = event.handled;
    };
    deliver();
    return handled;
}

WindowKind windowKindOf(const QObject* window)
{
    const auto* commands = dynamic_cast<const CommandWindow*>(window);
    return commands ? commands->windowKind() : WindowKind::none;
}

bool dispatchCommand(CommandWindow& window, QEvent* event)
{
    if (event->type() != CommandEvent::type())
        return false;
    auto* command = static_cast<CommandEvent*>(event);
    command->handled = window.onCommand(command->id, command->wParam, command->lParam);
    return true;
}

}  // namespace platform
