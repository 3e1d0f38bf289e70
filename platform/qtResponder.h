#pragma once

#include "platform/dialogs.h"
#include "platform/guiQueue.h"

namespace platform {

// Shows real message boxes (from any thread: a worker's box is shown on the
// user-interface thread, which the worker waits for), with the program's
// captions, icons and buttons, and gives the focus back afterwards.
class QtResponder : public DialogResponder {
public:
    int messageBox(const MessageRequest& request) override;
    // The program's own (non-native) file dialog with the request's filters.
    std::string fileDialog(const FileRequest& request) override;
    bool fontDialog(const void* owner, FontChoice& font) override;
    // A small dialog: the label, the line of text, OK (with the request's text) and Cancel.
    bool textDialog(TextRequest& request) override;
    // Qt's print dialog on the request's printer, its choices relabelled as asked.
    PrintAnswer printDialog(PrintRequest& request) override;
    bool pageSetupDialog(const void* owner, void* printer) override;

private:
    GuiQueue gui_;  // a worker's message box, shown on the user-interface thread
};

}  // namespace platform
