#include "platform/dialogs.h"

#include <cstdio>

namespace platform {

Dialogs dialogs;

int SilentResponder::messageBox(const MessageRequest& request)
{
    switch (request.buttons) {
    case Buttons::yesNo:
    case Buttons::yesNoCancel:
    case Buttons::yesAllNoCancel: return IDYES;
    default: return IDOK;
    }
}

int ScriptedResponder::messageBox(const MessageRequest& request)
{
    shown.push_back(request);
    if (shown.size() <= answers.size())
        return answers[shown.size() - 1];
    return SilentResponder().messageBox(request);
}

std::string ScriptedResponder::fileDialog(const FileRequest& request)
{
    fileRequests.push_back(request);
    if (whileFileDialog)
        whileFileDialog(request);
    while (fileAnswersUsed < fileAnswers.size()) {
        if (request.panel && fileAnswersUsed < panelAnswers.size() && !panelAnswers[fileAnswersUsed].empty())
            request.panel->checked = panelAnswers[fileAnswersUsed];
        if (request.panel && fileAnswersUsed < panelEditAnswers.size() && !panelEditAnswers[fileAnswersUsed].empty())
            request.panel->editText = panelEditAnswers[fileAnswersUsed];
        const std::string chosen = fileAnswers[fileAnswersUsed++];
        if (chosen.empty() || !request.onAccept)
            return chosen;
        if (std::string accepted = request.onAccept(chosen); !accepted.empty())
            return accepted;
    }
    return std::string();
}

bool ScriptedResponder::textDialog(TextRequest& request)
{
    textRequests.push_back(request);
    if (textRequests.size() > textAnswers.size() || !textAnswers[textRequests.size() - 1])
        return false;
    request.text = *textAnswers[textRequests.size() - 1];
    return true;
}

const std::array<NamedColour, 16> kTextColours = {{{"Black", 0x000000},
                                                   {"Maroon", 0x800000},
                                                   {"Green", 0x008000},
                                                   {"Olive", 0x808000},
                                                   {"Navy", 0x000080},
                                                   {"Purple", 0x800080},
                                                   {"Teal", 0x008080},
                                                   {"Gray", 0x808080},
                                                   {"Silver", 0xC0C0C0},
                                                   {"Red", 0xFF0000},
                                                   {"Lime", 0x00FF00},
                                                   {"Yellow", 0xFFFF00},
                                                   {"Blue", 0x0000FF},
                                                   {"Fuchsia", 0xFF00FF},
                                                   {"Aqua", 0x00FFFF},
                                                   {"White", 0xFFFFFF}}};

bool chooseFont(const void* owner, FontChoice& font)
{
    FontChoice choice = font;
    if (!dialogs.responder || !dialogs.responder->fontDialog(owner, choice) || choice == font)
        return false;
    font = choice;
    return true;
}

PrintAnswer ScriptedResponder::printDialog(PrintRequest& request)
{
    printRequests.push_back(request);
    if (printRequests.size() > printAnswers.size())
        return PrintAnswer::cancelled;
    request.chosen = printAnswers[printRequests.size() - 1];
    return PrintAnswer::ok;
}

PrintAnswer printDialog(PrintRequest& request)
{
    return dialogs.responder ? dialogs.responder->printDialog(request) : PrintAnswer::noPrinter;
}

bool printDialogAccepted(PrintRequest& request)
{
    switch (printDialog(request)) {
    case PrintAnswer::noPrinter:
        messageBox(request.owner, "No printer drivers were found.", "Ozmar", Buttons::ok, Icon::stop);
        return false;
    case PrintAnswer::failed: tellPrintFailed(request.owner); return false;
    case PrintAnswer::cancelled: return false;
    case PrintAnswer::ok: break;
    }
    return true;
}

void tellPrintFailed(const void* owner)
{
    messageBox(owner, "Failed to print.", "Ozmar", Buttons::ok, Icon::stop);
}

bool pageSetupDialog(const void* owner, void* printer)
{
    return dialogs.responder && dialogs.responder->pageSetupDialog(owner, printer);
}

bool textDialog(TextRequest& request)
{
    return dialogs.responder && dialogs.responder->textDialog(request);
}

bool ScriptedResponder::pageSetupDialog(const void*, void* printer)
{
    ++pageSetupRequests;
    return pageSetupAnswer && pageSetupAnswer(printer);
}

bool ScriptedResponder::fontDialog(const void*, FontChoice& font)
{
    fontRequests.push_back(font);
    if (fontRequests.size() > fontAnswers.size())
        return false;
    font = fontAnswers[fontRequests.size() - 1];
    return true;
}

std::string fileDialog(const FileRequest& request)
{
    if (!dialogs.responder)
        return std::string();
    const std::function<void(bool)> around = dialogs.aroundFileDialog;
    if (around)
        around(false);
    std::string chosen = dialogs.responder->fileDialog(request);
    if (around)
        around(true);
    return chosen;
}

std::vector<std::string> ScriptedResponder::texts() const
{
    std::vector<std::string> out;
    for (const auto& r : shown)
        out.push_back(r.text);
    return out;
}

int messageBox(const void* owner, const std::string& text, const std::string& caption, Buttons buttons, Icon icon)
{
    static SilentResponder silent;
    DialogResponder* r = dialogs.responder ? dialogs.responder : &silent;
    return r->messageBox(MessageRequest{owner, text, caption, buttons, icon});
}

std::string format(const char* pattern, const std::string& argument, std::size_t limit)
{
    std::string out(limit, '\0');
    int n = std::snprintf(out.data(), limit, pattern, argument.c_str());
    out.resize(n < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), limit - 1));
    return out;
}

}  // namespace platform
