#include "platform/progressBox.h"

#include <QApplication>

namespace platform {

ProgressBox::ProgressBox(QWidget* owner, const QString& title, int count) : dialog_("", "Cancel", 0, count, owner)
{
    dialog_.setObjectName("ProgressBox");
    dialog_.setWindowTitle(title);
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(0);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    dialog_.show();
    // The dialog that asked for the job has closed: its place is repainted now.
    QApplication::processEvents();
}

ProgressBox::~ProgressBox()
{
    QApplication::restoreOverrideCursor();
}

bool ProgressBox::step(int number, int count, const QString& text)
{
    dialog_.setMaximum(count);
    dialog_.setValue(number - 1);
    dialog_.setLabelText(text);
    QApplication::processEvents();
    return !dialog_.wasCanceled();
}

}  // namespace platform
