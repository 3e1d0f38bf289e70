#pragma once

#include <QDialog>
#include <functional>

#include "platform/commands.h"

namespace monitor {

// A modeless tool window of the frame: it takes commands; Esc closes it (the
// frame only hides it, through `closed`); Enter presses a focused button and
// elsewhere moves on to the next control.
class ToolDialog : public QDialog, public platform::CommandWindow {
public:
    ToolDialog(QWidget* frame, std::function<void()> closed);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<void()> closed_;
};

}  // namespace monitor
