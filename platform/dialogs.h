#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Answers of a message box.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDYESTOALL = 8;  // "Yes to &All" of the batch overwrite question

enum class Buttons { ok, okCancel, yesNo, yesNoCancel, yesAllNoCancel };
enum class Icon { exclamation, question, information, warning, stop };

struct MessageRequest {
    const void* owner = nullptr;  // the window the box belongs to
    std::string text;             // Windows-1252 bytes
    std::string caption;
    Buttons buttons = Buttons::ok;
    Icon icon = Icon::exclamation;
};

// A common file dialog: title, filters ("Data Files (*.dat,*.mon,*.edt)" with
// "*.dat;*.mon;*.edt", ...), starting folder and name, default extension.
// A panel of check boxes added below a file dialog (PATIENTEXPORT): a group
// title, the boxes' labels and states, and a rule run after a box is toggled.
struct FilePanel {
    std::string title;
    std::vector<std::string> labels;
    std::vector<bool> checked;
    std::function<void(FilePanel&, int toggled)> toggled;
    bool exclusive = false;      // radio buttons: exactly one choice
    int exclusiveFirst = 0;      // the first n choices are one choice of radio buttons, the rest check boxes
    int editAfter = -1;          // a text box follows this choice (enabled only while it is chosen)
    std::string editText;
    // The text box's text in its normal form ("3 , 5" as "3-5"), shown when
    // the box loses the focus; unset: the text stays as typed.
    std::function<std::string(const std::string&)> normalise;
    std::vector<bool> enabled;   // empty: every choice can be made
    std::function<void()> changed;  // set by the dialog: run after each toggle
};

struct FileRequest {
    const void* owner = nullptr;
    bool save = false;
    std::string title;
    std::vector<std::pair<std::string, std::string>> filters;
    int filterIndex = 1;
    std::string folder;
    std::string name;
    std::string defaultExtension;
    // Called when the user presses the dialog's OK button with the chosen path:
    // answers the path to close with, or an empty text to keep the dialog open
    // (as it is, folder and typed name included). Unset: every path is taken.
    std::function<std::string(const std::string& chosen)> onAccept;
    // A dialog that proposes its file name (Auto Upload): the name box is
    // read-only, and whenever the folder changes the name becomes what
    // `proposeName` answers for it.
    std::function<std::string(const std::string& folder)> proposeName;
    // Several files may be chosen: the answer is a selection (the folder, then
    // each name, each ended by a zero byte).
    bool multiple = false;
    std::shared_ptr<FilePanel> panel;  // shared with onAccept, which reads its states
    // The tip shown beside the dialog for the file under the cursor.
    std::function<std::string(const std::string& path)> tip;
    // Where the dialog tells which file type (1-based) was chosen last.
    std::shared_ptr<int> chosenFilter;
    std::string acceptLabel;    // the OK button's text; empty: the dialog's own
    std::string fileNameLabel;  // the name box's label
    std::string typeLabel;      // the file-type box's label
};

// A font as the font dialog chooses it.
struct FontChoice {
    std::string family;
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
    // The text colour as 0xRRGGBB, offered in the dialog only when `withColour`.
    std::uint32_t colour = 0x000000;
    bool withColour = false;
    bool operator==(const FontChoice&) const = default;
};

// The colours a font dialog offers for the text, with their names.
struct NamedColour {
    const char* name;
    std::uint32_t rgb;
};
extern const std::array<NamedColour, 16> kTextColours;

// A dialog that asks for one line of text (Name to Send...).
struct TextRequest {
    const void* owner = nullptr;
    std::string objectName;  // the dialog's resource name
    std::string title;
    std::string label;
    std::string text;        // the starting text; the answer on OK (Windows-1252)
    std::string acceptText = "OK";
    int maxLength = 0;       // 0: no limit
};

// The print dialog: what it offers and, after OK, what the user chose.
struct PrintRequest {
    const void* owner = nullptr;
    void* printer = nullptr;   // the printer the dialog edits (a QPrinter in the desktop program)
    std::string title;         // the dialog's title
    int minPage = 1, maxPage = 1;
    bool pagesEnabled = true;  // false: nothing to page, only All (or Current View)
    std::string allLabel;      // a label for the All choice; empty: the dialog's own
    bool offerCurrentView = false;
    // The answers.
    enum class Range { all, pages, currentView };
    struct Choice {
        Range range = Range::all;
        int fromPage = 1, toPage = 1;
        int copies = 1;
        bool collate = true;
        bool printToFile = false;
        std::string fileName;      // the output file chosen in the dialog (empty: the program asks for it)
        std::string printerName;   // the printer chosen (empty: as it was)
    } chosen;
};

// What a print dialog came to.
enum class PrintAnswer { ok, cancelled, noPrinter, failed };

// Shows message boxes and the common dialogs. The GUI installs one that shows
// real ones; unattended runs and tests install their own.
class DialogResponder {
public:
    virtual ~DialogResponder() = default;
    virtual int messageBox(const MessageRequest& request) = 0;
    // The chosen path, or empty when cancelled.
    virtual std::string fileDialog(const FileRequest&) { return std::string(); }
    // False when cancelled.
    virtual bool fontDialog(const void*, FontChoice&) { return false; }
    // False when cancelled; on OK the request's text is the answer.
    virtual bool textDialog(TextRequest&) { return false; }
    // The print dialog; on OK the request holds the choices and the printer its settings.
    virtual PrintAnswer printDialog(PrintRequest&) { return PrintAnswer::noPrinter; }
    // The page-setup dialog on a printer's page layout; false when cancelled.
    virtual bool pageSetupDialog(const void*, void*) { return false; }
};

// Shows nothing and answers with the box's default button: OK or Yes.
class SilentResponder : public DialogResponder {
public:
    int messageBox(const MessageRequest& request) override;
};

// Records every box and answers from a script (then with the default button);
// file dialogs answer the scripted paths in turn (then cancel). A dialog with an
// accept check that keeps it open takes the next scripted path in the same
// dialog, as a user typing again would.
class ScriptedResponder : public DialogResponder {
public:
    std::vector<MessageRequest> shown;
    std::vector<int> answers;
    std::vector<FileRequest> fileRequests;
    std::vector<std::string> fileAnswers;
    // The panel states a user sets before each answer (in answer order); none: as offered.
    std::vector<std::vector<bool>> panelAnswers;
    std::vector<std::string> panelEditAnswers;  // the panel's text box, likewise
    std::size_t fileAnswersUsed = 0;
    std::function<void(const FileRequest&)> whileFileDialog;  // run as each file dialog shows
    std::vector<FontChoice> fontRequests;  // the font each font dialog started from
    std::vector<FontChoice> fontAnswers;   // OK with these in turn (none: cancelled)
    int messageBox(const MessageRequest& request) override;
    std::string fileDialog(const FileRequest& request) override;
    bool fontDialog(const void* owner, FontChoice& font) override;
    // Text dialogs answer in turn: a value is typed and OK pressed, none cancels.
    std::vector<TextRequest> textRequests;
    std::vector<std::optional<std::string>> textAnswers;
    bool textDialog(TextRequest& request) override;
    // Print dialogs answer in turn with the choices given (none: cancelled).
    std::vector<PrintRequest> printRequests;
    std::vector<PrintRequest::Choice> printAnswers;
    PrintAnswer printDialog(PrintRequest& request) override;
    // The page-setup dialog: the answer is given the printer to change (none: cancelled).
    int pageSetupRequests = 0;
    std::function<bool(void* printer)> pageSetupAnswer;
    bool pageSetupDialog(const void* owner, void* printer) override;
    std::vector<std::string> texts() const;
};

// Runs a file dialog through the responder in use.
std::string fileDialog(const FileRequest& request);
// Runs the font dialog from `font`; true when the user chose a different font
// (then in `font`). OK without a change is no change.
bool chooseFont(const void* owner, FontChoice& font);
// Runs a text dialog through the responder in use; false when cancelled (or none).
bool textDialog(TextRequest& request);
// Runs the print dialog through the responder in use.
PrintAnswer printDialog(PrintRequest& request);
// The print dialog, telling why no print can be made ("No printer drivers were
// found.", "Failed to print."); true when the user chose OK.
bool printDialogAccepted(PrintRequest& request);
// The message of a print that failed: "Failed to print.".
void tellPrintFailed(const void* owner);
// Runs the page-setup dialog; false when cancelled (or none).
bool pageSetupDialog(const void* owner, void* printer);

// The responder in use. One instance.
struct Dialogs {
    DialogResponder* responder = nullptr;
    // Told false before a file dialog shows and true when it has gone (the
    // desktop program greys its tool windows meanwhile).
    std::function<void(bool enabled)> aroundFileDialog;
    void reset()
    {
        responder = nullptr;
        aroundFileDialog = nullptr;
    }
};

extern Dialogs dialogs;

// Shows a box through the responder in use (a silent one when none is set).
int messageBox(const void* owner, const std::string& text, const std::string& caption, Buttons buttons, Icon icon);

// printf-style formatting into a string, bounded like the program's fixed buffers.
std::string format(const char* pattern, const std::string& argument, std::size_t limit = 1024);

}  // namespace platform
