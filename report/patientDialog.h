#pragma once

#include <QDialog>
#include <functional>

#include "platform/dialogs.h"
#include "report/patientForm.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace report {

// The modeless "Patient Info" dialog (PATIENT1) over the patient form: ID
// (101), Name (102), Age (103), Male (104) and Female (105), Comments (106),
// OK, Cancel, Restore (1071), Export (1072), Import (1073) and Apply (1074).
class PatientDialog : public QDialog {
public:
    explicit PatientDialog(QWidget* parent);

    PatientForm& form() { return form_; }
    // Fills the boxes from the stored information (opening, Restore).
    void restore();
    void ok();
    void apply();
    void importFile();
    void exportFiles();

    // Called after the stored information changed (the document's flag, the
    // Report window's re-layout); set by the frame.
    std::function<void()> stored;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showForm();
    void updateButtons();
    std::shared_ptr<platform::FilePanel> panel(const char* title);
    platform::FileRequest fileRequest(const char* what, const std::function<std::string(const std::string&)>& accept);

    PatientForm form_;
    QLineEdit* fields_[3] = {};  // ID, Name, Age
    QPlainTextEdit* comments_ = nullptr;
    QRadioButton* male_ = nullptr;
    QRadioButton* female_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* restore_ = nullptr;
    QPushButton* apply_ = nullptr;
    bool filling_ = false;
    bool exportAll_ = true;
};

}  // namespace report
