#include "report/patientDialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "data/dataFiles.h"
#include "data/recordingStore.h"
#include "platform/dialogs.h"
#include "platform/qtText.h"

namespace report {

using platform::fromWindows1252;
using platform::toWindows1252;

namespace {

const std::vector<std::string> kPanelLabels = {"All", "ID", "Name", "Age", "Sex", "Comments"};

std::array<bool, data::kPatientFields> fieldsOf(const platform::FilePanel& panel)
{
    std::array<bool, data::kPatientFields> use{};
    for (int f = 0; f < data::kPatientFields; ++f)
        use[static_cast<std::size_t>(f)] = panel.checked[static_cast<std::size_t>(f) + 1];
    return use;
}

bool noneTicked(const platform::FilePanel& panel)
{
    const auto use = fieldsOf(panel);
    return std::none_of(use.begin(), use.end(), [](bool b) { return b; });
}

}  // namespace

PatientDialog::PatientDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("PATIENT1");
    setWindowTitle("Patient Info");
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* form = new QFormLayout;
    const char* labels[3] = {"&ID:", "&Name:", "&Age:"};
    for (int f = 0; f < 3; ++f) {
        fields_[f] = new QLineEdit(this);
        fields_[f]->setObjectName(QString("control%1").arg(101 + f));
        fields_[f]->setMaxLength(static_cast<int>(data::kPatientFieldMax[static_cast<std::size_t>(f)]));
        form->addRow(labels[f], fields_[f]);
        connect(fields_[f], &QLineEdit::textEdited, this, [this, f](const QString& text) {
            form_.type(f, toWindows1252(text));
            if (f == data::patientId && fromWindows1252(form_.text(f)) != text) {
                const int at = fields_[f]->cursorPosition();
                fields_[f]->setText(fromWindows1252(form_.text(f)));  // upper case as typed
                fields_[f]->setCursorPosition(at);
            }
            updateButtons();
        });
    }
    fields_[data::patientId]->setMinimumWidth(fields_[0]->fontMetrics().averageCharWidth() * 40);
    fields_[data::patientAgeField]->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), this));
    fields_[data::patientAgeField]->setMaximumWidth(fields_[0]->fontMetrics().averageCharWidth() * 8);
    auto* sex = new QGroupBox("&Sex", this);
    male_ = new QRadioButton("&Male", sex);
    male_->setObjectName("control104");
    female_ = new QRadioButton("&Female", sex);
    female_->setObjectName("control105");
    auto* sexRow = new QHBoxLayout(sex);
    sexRow->addWidget(male_);
    sexRow->addWidget(female_);
    for (QRadioButton* radio : {male_, female_})
        connect(radio, &QRadioButton::clicked, this, [this, radio] {
            if (filling_)
                return;
            form_.chooseSex(radio == female_ ? data::kSexFemale : data::kSexMale);
            updateButtons();
        });
    form->addRow(sex);
    comments_ = new QPlainTextEdit(this);
    comments_->setObjectName("control106");
    comments_->setMinimumSize(comments_->fontMetrics().averageCharWidth() * 66, comments_->fontMetrics().height() * 7);
    connect(comments_, &QPlainTextEdit::textChanged, this, [this] {
        if (filling_)
            return;
        std::string text = toWindows1252(comments_->toPlainText());
        if (text.size() > data::kPatientFieldMax[data::patientComments]) {  // held to its 16 000 characters
            text.resize(data::kPatientFieldMax[data::patientComments]);
            filling_ = true;
            comments_->setPlainText(fromWindows1252(text));
            comments_->moveCursor(QTextCursor::End);
            filling_ = false;
        }
        form_.type(data::patientComments, text);
        updateButtons();
    });
    form->addRow("&Comments:", comments_);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* text, int id) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString("control%1").arg(id));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    ok_ = button("OK", 1);
    QPushButton* cancel = button("Cancel", 2);
    restore_ = button("Restore", 1071);
    QPushButton* exportButton = button("Export", 1072);
    QPushButton* importButton = button("Import", 1073);
    apply_ = button("Apply", 1074);
    connect(ok_, &QPushButton::clicked, this, &PatientDialog::ok);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    connect(restore_, &QPushButton::clicked, this, &PatientDialog::restore);
    connect(apply_, &QPushButton::clicked, this, &PatientDialog::apply);
    connect(importButton, &QPushButton::clicked, this, &PatientDialog::importFile);
    connect(exportButton, &QPushButton::clicked, this, &PatientDialog::exportFiles);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    restore();
}

void PatientDialog::restore()
{
    form_.fill();
    showForm();
    ok_->setFocus();
}

void PatientDialog::showForm()
{
    filling_ = true;
    for (int f = 0; f < 3; ++f)
        fields_[f]->setText(fromWindows1252(form_.text(f)));
    comments_->setPlainText(fromWindows1252(form_.text(data::patientComments)));
    (form_.sex() == data::kSexFemale ? female_ : male_)->setChecked(true);
    filling_ = false;
    updateButtons();
}

void PatientDialog::updateButtons()
{
    apply_->setEnabled(form_.anyChanged());
    restore_->setEnabled(form_.anyChanged());
}

void PatientDialog::ok()
{
    if (form_.store() && stored)
        stored();
    close();
}

void PatientDialog::apply()
{
    if (form_.store() && stored)
        stored();
    updateButtons();
}

// Enter acts on OK only when OK has the focus; elsewhere it moves on (and in
// the comments it starts a new line, which the comment box does itself).
void PatientDialog::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && focusWidget() != ok_) {
        focusNextChild();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && focusWidget() == ok_) {
        ok();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The file dialog of Import and Export: data files, the field panel, the file
// tip, and "Nothing To ..." (which keeps the dialog) when no field is ticked.
platform::FileRequest PatientDialog::fileRequest(const char* what, const std::function<std::string(const std::string&)>& accept)
{
    platform::FileRequest r;
    r.owner = this;
    r.title = std::string(what) + " Patient Info";
    r.acceptLabel = what;
    r.filters = {{"Data Files (*.dat,*.mon,*.edt)", "*.dat;*.mon;*.edt"}, {"All Files (*.*)", "*.*"}};
    r.panel = panel((std::string("Patient Info To ") + what).c_str());
    r.tip = patientTip;
    const std::string nothing = std::string("Nothing To ") + what;
    const std::string caption = std::string("Patient ") + what;
    r.onAccept = [this, panel = r.panel, nothing, caption, accept](const std::string& chosen) -> std::string {
        if (noneTicked(*panel)) {
            platform::messageBox(this, nothing, caption, platform::Buttons::ok, platform::Icon::warning);
            return {};
        }
        return accept(chosen);
    };
    return r;
}

std::shared_ptr<platform::FilePanel> PatientDialog::panel(const char* title)
{
    auto panel = std::make_shared<platform::FilePanel>();
    panel->title = title;
    panel->labels = kPanelLabels;
    panel->checked.assign(kPanelLabels.size(), true);
    // "All" ticks every field; clearing a field clears "All".
    panel->toggled = [](platform::FilePanel& p, int i) {
        if (i == 0 && p.checked[0])
            std::fill(p.checked.begin(), p.checked.end(), true);
        else if (i > 0 && !p.checked[static_cast<std::size_t>(i)])
            p.checked[0] = false;
    };
    return panel;
}

void PatientDialog::importFile()
{
    const platform::FileRequest r = fileRequest("Import", [this](const std::string& path) -> std::string {
        if (!data::readSecondaryQuietly(path)) {
            platform::messageBox(this, platform::format("File %s is not a patient data file", path), "Ozmar",
                                 platform::Buttons::ok, platform::Icon::exclamation);
            return {};
        }
        return path;
    });
    if (platform::fileDialog(r).empty())
        return;
    form_.importFromSecondary(fieldsOf(*r.panel));
    showForm();
    ok_->setFocus();
}

void PatientDialog::exportFiles()
{
    platform::FileRequest r = fileRequest("Export", [](const std::string& selection) { return selection; });
    r.multiple = true;
    const std::string selection = platform::fileDialog(r);
    if (selection.empty())
        return;
    if (platform::messageBox(this, "This operation will overwrite Patient Info in selected Files!", "Patient Info Export Warning",
                             platform::Buttons::okCancel, platform::Icon::warning) != platform::IDOK)
        return;
    const std::vector<std::string> failures = form_.exportTo(data::selectionPaths(selection), fieldsOf(*r.panel));
    if (failures.empty())
        return;
    std::string text = "These files were left as they were:";
    for (const std::string& failure : failures)
        text += "\n" + failure;
    platform::messageBox(this, text, "Patient Export", platform::Buttons::ok, platform::Icon::warning);
}

}  // namespace report
