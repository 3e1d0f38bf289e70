#include "platform/qtResponder.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QCheckBox>
#include <QRadioButton>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QFileSystemModel>
#include <QVBoxLayout>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeView>
#include <QFontDialog>
#include <QPixmap>
#include <QIcon>
#include <QComboBox>
#include <QFontInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "platform/qtText.h"

namespace platform {

namespace {

QMessageBox::Icon iconOf(Icon icon)
{
    switch (icon) {
    case Icon::question: return QMessageBox::Question;
    case Icon::information: return QMessageBox::Information;
    case Icon::warning: return QMessageBox::Warning;
    case Icon::stop: return QMessageBox::Critical;
    default: return QMessageBox::Warning;  // the exclamation icon
    }
}

int show(const MessageRequest& r)
{
    QPointer<QWidget> focus = QApplication::focusWidget();
    QMessageBox box(iconOf(r.icon), fromWindows1252(r.caption), fromWindows1252(r.text), QMessageBox::NoButton,
                    static_cast<QWidget*>(const_cast<void*>(r.owner)));
    std::vector<std::pair<QAbstractButton*, int>> answers;
    auto add = [&](const char* text, QMessageBox::ButtonRole role, int answer) {
        answers.emplace_back(box.addButton(QString::fromLatin1(text), role), answer);
    };
    switch (r.buttons) {
    case Buttons::ok: add("OK", QMessageBox::AcceptRole, IDOK); break;
    case Buttons::okCancel: add("OK", QMessageBox::AcceptRole, IDOK), add("Cancel", QMessageBox::RejectRole, IDCANCEL); break;
    case Buttons::yesNo: add("&Yes", QMessageBox::YesRole, IDYES), add("&No", QMessageBox::NoRole, IDNO); break;
    case Buttons::yesNoCancel:
        add("&Yes", QMessageBox::YesRole, IDYES), add("&No", QMessageBox::NoRole, IDNO), add("Cancel", QMessageBox::RejectRole, IDCANCEL);
        break;
    case Buttons::yesAllNoCancel:
        add("&Yes", QMessageBox::YesRole, IDYES), add("Yes to &All", QMessageBox::YesRole, IDYESTOALL);
        add("&No", QMessageBox::NoRole, IDNO), add("Cancel", QMessageBox::RejectRole, IDCANCEL);
        break;
    }
    box.exec();
    int answer = answers.back().second;
    for (const auto& [button, value] : answers)
        if (box.clickedButton() == button)
            answer = value;
    if (focus)
        focus->setFocus();
    return answer;
}

}  // namespace

int QtResponder::messageBox(const MessageRequest& request)
{
    int answer = IDCANCEL;
    gui_.runAndWait([&] { answer = show(request); });
    return answer;
}

}  // namespace platform

namespace platform {

namespace {

// Room for the size and date columns of the detail view.
void widenColumns(QFileDialog& dialog)
{
    dialog.resize(std::max(dialog.width(), 760), std::max(dialog.height(), 460));
    if (auto* tree = dialog.findChild<QTreeView*>("treeView")) {
        tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < 4; ++column)
            tree->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

// The panel's check boxes (or radio buttons) in a group below the dialog's own
// controls, with a text box after one of them; each toggle runs the panel's
// rule and shows the states it leaves.
void addPanel(QFileDialog& dialog, FilePanel& panel)
{
    auto* group = new QGroupBox(fromWindows1252(panel.title), &dialog);
    group->setObjectName("control1082");
    auto* row = new QHBoxLayout(group);
    std::vector<QAbstractButton*> boxes;
    QLineEdit* edit = nullptr;
    const auto radio = [&panel](std::size_t i) { return panel.exclusive || static_cast<int>(i) < panel.exclusiveFirst; };
    for (std::size_t i = 0; i < panel.labels.size(); ++i) {
        QAbstractButton* box = radio(i) ? static_cast<QAbstractButton*>(new QRadioButton(fromWindows1252(panel.labels[i]), group))
                                        : static_cast<QAbstractButton*>(new QCheckBox(fromWindows1252(panel.labels[i]), group));
        box->setChecked(panel.checked[i]);
        box->setEnabled(panel.enabled.empty() || panel.enabled[i]);
        row->addWidget(box);
        boxes.push_back(box);
        if (static_cast<int>(i) == panel.editAfter) {
            edit = new QLineEdit(fromWindows1252(panel.editText), group);
            edit->setMaxLength(20);
            edit->setEnabled(panel.checked[i]);
            row->addWidget(edit);
            QObject::connect(edit, &QLineEdit::textEdited, group, [&panel](const QString& text) { panel.editText = toWindows1252(text); });
            QObject::connect(edit, &QLineEdit::editingFinished, group, [&panel, edit] {
                if (!panel.normalise)
                    return;
                panel.editText = panel.normalise(toWindows1252(edit->text()));
                edit->setText(fromWindows1252(panel.editText));
            });
        }
    }
    for (std::size_t i = 0; i < boxes.size(); ++i)
        QObject::connect(boxes[i], &QAbstractButton::clicked, group, [&panel, boxes, edit, i, radio](bool on) {
            if (radio(i)) {
                const std::size_t last = panel.exclusive ? panel.checked.size() : static_cast<std::size_t>(panel.exclusiveFirst);
                std::fill(panel.checked.begin(), panel.checked.begin() + static_cast<std::ptrdiff_t>(last), false);
            }
            panel.checked[i] = radio(i) || on;
            if (panel.toggled)
                panel.toggled(panel, static_cast<int>(i));
            for (std::size_t k = 0; k < boxes.size(); ++k) {
                boxes[k]->setChecked(panel.checked[k]);
                boxes[k]->setEnabled(panel.enabled.empty() || panel.enabled[k]);
            }
            if (edit) {
                edit->setEnabled(panel.checked[static_cast<std::size_t>(panel.editAfter)]);
                edit->setText(fromWindows1252(panel.editText));
            }
            if (panel.changed)
                panel.changed();
        });
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(group, grid->rowCount(), 0, 1, grid->columnCount());
}

// The file tip: the text for the file under the cursor, at most 300 pixels
// wide, 10 pixels right of and below the dialog's top right corner (kept on
// the screen); a folder change hides it and empties the name box.
std::unique_ptr<QLabel> attachTip(QFileDialog& dialog, const std::function<std::string(const std::string&)>& text)
{
    auto tip = std::make_unique<QLabel>(&dialog, Qt::ToolTip);
    tip->setObjectName("fileTip");
    tip->setWordWrap(true);
    tip->setMaximumWidth(300);
    tip->setMargin(4);
    tip->setStyleSheet("QLabel { background: #ffffe1; color: black; border: 1px solid #808080; }");
    QLabel* label = tip.get();
    const auto show = [&dialog, label, text](const QString& path) {
        if (path.isEmpty() || QFileInfo(path).isDir()) {
            label->hide();
            return;
        }
        label->setText(fromWindows1252(text(path.toLocal8Bit().toStdString())));
        label->adjustSize();
        QPoint at = dialog.mapToGlobal(QPoint(dialog.width() + 10, 10));
        if (const QScreen* screen = dialog.screen()) {
            const QRect area = screen->availableGeometry();
            at.setX(std::min(at.x(), area.right() - label->width()));
            at.setY(std::min(at.y(), area.bottom() - label->height()));
        }
        label->move(at);
        label->show();
    };
    QObject::connect(&dialog, &QFileDialog::currentChanged, label, show);
    // Several files chosen: the name box holds "a.dat" "b.dat", and the tip
    // tells about the first of them.
    if (auto* name = dialog.findChild<QLineEdit*>("fileNameEdit"))
        QObject::connect(name, &QLineEdit::textChanged, label, [&dialog, show](const QString& text) {
            const int end = text.startsWith('"') ? text.indexOf('"', 1) : -1;
            if (end > 1)
                show(dialog.directory().filePath(text.mid(1, end - 1)));
        });
    QObject::connect(&dialog, &QFileDialog::directoryEntered, label, [&dialog, label] {
        label->hide();
        if (auto* name = dialog.findChild<QLineEdit*>("fileNameEdit"))
            name->clear();
    });
    return tip;
}

// The file dialog with the request's accept check: pressing OK asks it, and a
// path it does not take leaves the dialog open as it is.
class CheckedFileDialog : public QFileDialog {
public:
    CheckedFileDialog(const FileRequest& request, QWidget* parent, const QString& title, const QString& folder)
        : QFileDialog(parent, title, folder), request_(request)
    {
    }
    std::string chosen;

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.isEmpty() || QFileInfo(files.front()).isDir()) {
            QFileDialog::accept();  // opens the folder, as the dialog does itself
            return;
        }
        std::string path = files.front().toLocal8Bit().toStdString();
        if (request_.multiple && files.size() > 1) {
            // The selection form: the folder, then each name, each ended by a zero byte.
            path = QFileInfo(files.front()).absolutePath().toLocal8Bit().toStdString() + '\0';
            for (const QString& file : files)
                path += QFileInfo(file).fileName().toLocal8Bit().toStdString() + '\0';
        }
        chosen = request_.onAccept ? request_.onAccept(path) : path;
        if (!chosen.empty())
            QDialog::accept();
    }

private:
    const FileRequest& request_;
};

}  // namespace

std::string QtResponder::fileDialog(const FileRequest& request)
{
    CheckedFileDialog dialog(request, static_cast<QWidget*>(const_cast<void*>(request.owner)), fromWindows1252(request.title),
                             QString::fromLocal8Bit(request.folder.c_str()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The labels carry their patterns already ("Data Files (*.dat,*.mon,*.edt)").
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the program asks its own question
    QStringList filters;
    for (const auto& [label, patterns] : request.filters)
        filters << fromWindows1252(label) + " (" + QString::fromLatin1(patterns.c_str()).replace(';', ' ') + ")";
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.name.empty())
        dialog.selectFile(QString::fromLocal8Bit(request.name.c_str()));
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(QString::fromLatin1(request.defaultExtension.c_str()));
    if (!request.acceptLabel.empty()) {
        const QString accept = fromWindows1252(request.acceptLabel);
        dialog.setLabelText(QFileDialog::Accept, accept);
        // The dialog renames its button "Open" whenever a folder (or nothing)
        // is chosen: after each of its own updates the button gets the
        // request's text back.
        const auto keep = [&dialog, accept] { dialog.setLabelText(QFileDialog::Accept, accept); };
        QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog, keep, Qt::QueuedConnection);
        QObject::connect(&dialog, &QFileDialog::currentChanged, &dialog, keep, Qt::QueuedConnection);
        if (auto* name = dialog.findChild<QLineEdit*>("fileNameEdit"))
            QObject::connect(name, &QLineEdit::textChanged, &dialog, keep, Qt::QueuedConnection);
        if (auto* files = dialog.findChild<QFileSystemModel*>())
            QObject::connect(files, &QFileSystemModel::directoryLoaded, &dialog, keep, Qt::QueuedConnection);
    }
    if (!request.fileNameLabel.empty())
        dialog.setLabelText(QFileDialog::FileName, fromWindows1252(request.fileNameLabel));
    if (!request.typeLabel.empty()) {
        dialog.setLabelText(QFileDialog::FileType, fromWindows1252(request.typeLabel));
        // The label's mnemonic needs its buddy, which the dialog leaves unset.
        auto* label = dialog.findChild<QLabel*>("fileTypeLabel");
        auto* types = dialog.findChild<QWidget*>("fileTypeCombo");
        if (label && types)
            label->setBuddy(types);
    }
    if (request.proposeName) {
        if (auto* name = dialog.findChild<QLineEdit*>("fileNameEdit"))
            name->setReadOnly(true);
        auto propose = [&dialog, &request](const QString& folder) {
            dialog.selectFile(fromWindows1252(request.proposeName(folder.toLocal8Bit().toStdString())));
        };
        QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog, propose);
    }
    widenColumns(dialog);
    if (request.panel) {
        if (request.proposeName)  // the proposed name follows the panel's choices too
            request.panel->changed = [&dialog, &request] {
                dialog.selectFile(fromWindows1252(request.proposeName(dialog.directory().absolutePath().toLocal8Bit().toStdString())));
            };
        addPanel(dialog, *request.panel);
    }
    std::unique_ptr<QLabel> tip;
    if (request.tip)
        tip = attachTip(dialog, request.tip);
    if (dialog.exec() != QDialog::Accepted)
        return std::string();
    if (request.chosenFilter)
        *request.chosenFilter = std::max(1, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1);
    return dialog.chosen;
}

namespace {

// The text colour choice below the font dialog's own controls: a list of the
// named colours, each with its swatch; the current one selected.
QComboBox* addColourChoice(QFontDialog& dialog, std::uint32_t current)
{
    auto* row = new QWidget(&dialog);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel("&Colour:", row);
    auto* colours = new QComboBox(row);
    colours->setObjectName("fontColour");
    label->setBuddy(colours);
    for (const NamedColour& c : kTextColours) {
        QPixmap swatch(16, 12);
        swatch.fill(QColor::fromRgb(c.rgb));
        colours->addItem(QIcon(swatch), c.name, static_cast<uint>(c.rgb));
        if (c.rgb == current)
            colours->setCurrentIndex(colours->count() - 1);
    }
    layout->addWidget(label);
    layout->addWidget(colours);
    layout->addStretch();
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(row, grid->rowCount(), 0, 1, grid->columnCount());
    else if (auto* box = qobject_cast<QBoxLayout*>(dialog.layout()))
        box->addWidget(row);
    return colours;
}

}  // namespace

bool QtResponder::fontDialog(const void* owner, FontChoice& font)
{
    QFont initial(QString::fromStdString(font.family), font.pointSize, font.bold ? QFont::Bold : QFont::Normal, font.italic);
    // The dialog lists the installed families: it starts from the one that
    // stands in for the font's family here (another one for "Arial" where it
    // is not installed), not from the top of its list.
    const QString shown = QFontInfo(initial).family();
    initial.setFamily(shown);
    QFontDialog dialog(initial, static_cast<QWidget*>(const_cast<void*>(owner)));
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    QComboBox* colours = font.withColour ? addColourChoice(dialog, font.colour) : nullptr;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QFont chosen = dialog.selectedFont();
    // The family left as it was shown keeps its own name.
    const std::string family = chosen.family() == shown ? font.family : chosen.family().toStdString();
    FontChoice answer{family, chosen.pointSize(), chosen.bold(), chosen.italic(), font.colour, font.withColour};
    if (colours)
        answer.colour = colours->currentData().toUInt();
    font = answer;
    return true;
}

bool QtResponder::textDialog(TextRequest& request)
{
    QDialog dialog(static_cast<QWidget*>(const_cast<void*>(request.owner)));
    dialog.setObjectName(QString::fromStdString(request.objectName));
    dialog.setWindowTitle(fromWindows1252(request.title));
    auto* label = new QLabel(fromWindows1252(request.label), &dialog);
    auto* edit = new QLineEdit(fromWindows1252(request.text), &dialog);
    edit->setObjectName("control201");
    if (request.maxLength > 0) {
        edit->setMaxLength(request.maxLength);
        // Room for the title and a whole text of that many average characters.
        edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * (request.maxLength + 2));
    }
    label->setBuddy(edit);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(fromWindows1252(request.acceptText), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    request.text = toWindows1252(edit->text());
    return true;
}

}  // namespace platform
