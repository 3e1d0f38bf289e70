#pragma once

#include <array>
#include <string>
#include <vector>

#include "data/recording.h"

namespace report {

// The Patient Info dialog without its widgets: the working copy of the five
// fields (the import patient set), which of them differ from the stored
// information (the primary set), and import, export and storing.
class PatientForm {
public:
    // The working copy from the stored information: all five fields, so that no
    // field carries text left from an earlier import or another patient.
    void fill();
    // A field as typed (ID in upper case, every field held to its length).
    void type(int field, std::string text);
    void chooseSex(int sex);  // 104 male, 105 female

    const std::string& text(int field) const { return working().text[static_cast<std::size_t>(field)]; }
    int sex() const { return working().patientSex; }
    bool changed(int field) const { return fieldChanged_[static_cast<std::size_t>(field)]; }
    // Apply and Restore are enabled exactly when this holds.
    bool anyChanged() const;

    // OK and Apply: the working copy becomes the stored information. True when
    // something changed (the document's patient information is then unsaved).
    bool store();

    // Takes the fields ticked in `use` from the secondary set (a file read for
    // import); the others keep what they hold.
    void importFromSecondary(const std::array<bool, data::kPatientFields>& use);

    // Writes the ticked fields of the working copy into each file; the others
    // keep the file's own. Every file is tried; the answer lists the files left
    // unchanged, each with the reason (empty: all rewritten).
    std::vector<std::string> exportTo(const std::vector<std::string>& paths, const std::array<bool, data::kPatientFields>& use);

private:
    data::PatientSet& working() const;
    void compare(int field);
    std::array<bool, data::kPatientFields> fieldChanged_{};
};

// The file tip of the import and export dialogs: the patient information a
// data file holds (with its date line when it has a header), or "File %s is not
// a patient data file". Read without messages.
std::string patientTip(const std::string& path);

}  // namespace report
