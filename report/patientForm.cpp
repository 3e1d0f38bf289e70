#include "report/patientForm.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>

#include "data/dataFiles.h"
#include "data/recordingStore.h"
#include "data/streamReader.h"
#include "monitor/spectralModes.h"
#include "platform/orderedWork.h"
#include "report/reportLines.h"

namespace report {

namespace {

using data::recordings;

const data::PatientSet& stored()
{
    return recordings.primary.patient;
}

}  // namespace

data::PatientSet& PatientForm::working() const
{
    return recordings.importPatients;
}

void PatientForm::fill()
{
    data::PatientSet& w = working();
    w = stored();
    w.text[data::patientAgeField] = data::ageText(stored().patientAge);
    fieldChanged_.fill(false);
}

void PatientForm::type(int field, std::string text)
{
    if (field < 0 || field >= data::kPatientFields)
        return;
    if (field == data::patientId)
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (field == data::patientAgeField)
        text.erase(std::remove_if(text.begin(), text.end(), [](unsigned char c) { return !std::isdigit(c); }), text.end());
    text.resize(std::min(text.size(), data::kPatientFieldMax[static_cast<std::size_t>(field)]));
    working().text[static_cast<std::size_t>(field)] = text;
    compare(field);
}

void PatientForm::chooseSex(int sex)
{
    working().patientSex = sex == data::kSexFemale ? data::kSexFemale : data::kSexMale;
    compare(data::patientSexField);
}

void PatientForm::compare(int field)
{
    const auto f = static_cast<std::size_t>(field);
    if (field == data::patientSexField)
        fieldChanged_[f] = working().patientSex != stored().patientSex;
    else if (field == data::patientAgeField)
        fieldChanged_[f] = working().text[f] != data::ageText(stored().patientAge);
    else
        fieldChanged_[f] = working().text[f] != stored().text[f];
}

bool PatientForm::anyChanged() const
{
    return std::any_of(fieldChanged_.begin(), fieldChanged_.end(), [](bool c) { return c; });
}

bool PatientForm::store()
{
    if (!anyChanged())
        return false;
    data::PatientSet& p = recordings.primary.patient;
    for (int f : {data::patientId, data::patientName, data::patientComments})
        p.text[static_cast<std::size_t>(f)] = working().text[static_cast<std::size_t>(f)];
    p.text[data::patientAgeField] = working().text[data::patientAgeField];
    p.ageFromText();  // 1 to 199, else no age
    p.patientSex = working().patientSex;
    p.textsFromNumbers();
    fill();
    return true;
}

void PatientForm::importFromSecondary(const std::array<bool, data::kPatientFields>& use)
{
    const data::PatientSet& from = recordings.secondary.patient;
    data::PatientSet& w = working();
    for (int f : {data::patientId, data::patientName, data::patientComments})
        if (use[static_cast<std::size_t>(f)])
            w.text[static_cast<std::size_t>(f)] = from.text[static_cast<std::size_t>(f)];
    if (use[data::patientAgeField])
        w.text[data::patientAgeField] = data::ageText(from.patientAge);
    if (use[data::patientSexField])
        w.patientSex = from.patientSex;
    for (int f = 0; f < data::kPatientFields; ++f)
        compare(f);
}

std::vector<std::string> PatientForm::exportTo(const std::vector<std::string>& paths,
                                               const std::array<bool, data::kPatientFields>& use)
{
    data::PatientSet& w = working();
    w.ageFromText();
    recordings.useImportField = use;
    // The files are rewritten on every core, the failures listed in their order.
    std::vector<std::string> failures;
    const std::function<std::string(std::size_t)> rewrite = [&](std::size_t i) {
        return data::rewritePatientFileWith(paths[i], w, use);
    };
    const std::function<bool(std::size_t, std::string&)> note = [&](std::size_t, std::string& failure) {
        if (!failure.empty())
            failures.push_back(std::move(failure));
        return true;
    };
    const unsigned threads = data::namedTwice(paths) ? 1 : platform::batchThreads();
    platform::runInOrder(paths.size(), threads, 2 * threads, rewrite, note);
    return failures;
}

std::string patientTip(const std::string& path)
{
    const std::string name = std::filesystem::path(path).filename().string();
    if (!data::readSecondaryQuietly(path))
        return "File " + name + " is not a patient data file";
    const data::PatientSet& p = recordings.secondary.patient;
    std::string tip = name + "\nID: " + p.text[data::patientId] + "\nName: " + p.text[data::patientName] +
                      "\nAge: " + data::ageText(p.patientAge) + "  Sex: " + (p.patientSex == data::kSexFemale ? "F" : "M") +
                      "\nComments:\n" + p.text[data::patientComments];
    if (recordings.secondary.header[0] != 0)
        tip += "\r\n" + reportLine(ReportSource{recordings.secondary, monitor::recordedSeizureSums(true)}, 1,
                                     ReportMode::Screen);
    return tip;
}

}  // namespace report
