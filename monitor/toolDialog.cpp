#include "monitor/toolDialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace monitor {

ToolDialog::ToolDialog(QWidget* frame, std::function<void()> closed)
    : QDialog(frame, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), closed_(std::move(closed))
{
}

bool ToolDialog::event(QEvent* event)
{
    if (platform::dispatchCommand(*this, event))
        return true;
    return QDialog::event(event);
}

void ToolDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            focusNextChild();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ToolDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
    closed_();
}

}  // namespace monitor
