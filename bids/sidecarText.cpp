#include "bids/sidecarText.h"

#include <cstdio>
#include <map>

#include "course/courseTable.h"
#include "course/courseText.h"
#include "data/recording.h"
#include "platform/jsonWriter.h"
#include "state/programVersion.h"

namespace bids {

namespace {

constexpr const char* kBidsVersion = "1.8.0";

// Descriptions and units of the sessions columns.
struct ColumnText {
    const char* description;
    const char* units;  // "" when the column has none
};
const std::map<std::string, ColumnText> kColumnTexts = {
    {"session_id", {"The session: one treatment or recording", ""}},
    {"acq_time", {"Date and time the recording began (moved by whole days when anonymised)", ""}},
    {"treatment", {"Treatment number in the course; treatments of one day share it, lettered a, b, ...", ""}},
    {"file", {"The data file the session was exported from", ""}},
    {"program", {"Stimulus program selected", ""}},
    {"energy_set_percent", {"Energy set", "%"}},
    {"charge_mC", {"Charge delivered", "mC"}},
    {"current_A", {"Current", "A"}},
    {"pulse_width_ms", {"Pulse width", "ms"}},
    {"frequency_Hz", {"Pulse frequency", "Hz"}},
    {"stimulus_duration_s", {"Stimulus duration", "s"}},
    {"static_impedance_ohm", {"Static impedance", "Ohm"}},
    {"dynamic_impedance_ohm", {"Dynamic impedance", "Ohm"}},
    {"eeg_endpoint_s", {"EEG seizure endpoint, from the stimulus", "s"}},
    {"emg_endpoint_s", {"EMG seizure endpoint, from the stimulus", "s"}},
    {"ecg_endpoint_s", {"ECG endpoint, from the stimulus", "s"}},
    {"base_hr_bpm", {"Base heart rate", "bpm"}},
    {"peak_hr_bpm", {"Peak heart rate", "bpm"}},
    {"seizure_energy_index", {"Seizure energy index", ""}},
    {"postictal_suppression_percent", {"Postictal suppression index", "%"}},
    {"seizure_generalization_percent", {"Seizure generalization index", "%"}},
    {"max_sustained_power_uV2", {"Maximum sustained power", "uV^2"}},
    {"max_sustained_coherence_percent", {"Maximum sustained coherence", "%"}},
    {"days_since_previous", {"Days since the previous treatment", "day"}},
    {"charge_change_percent", {"Change of charge from the previous treatment", "%"}},
    {"flags", {"Clinical flags of the treatment course, separated by spaces, among: ", ""}},
};

std::string finished(const platform::JsonWriter& json) { return json.text() + "\n"; }

// The type of a channel by its signal label.
std::string channelType(const std::string& label) { return label.rfind("EEG", 0) == 0 ? "EEG" : label; }

std::string decimals(double value, int places)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    return text;
}

}  // namespace

std::string datasetDescriptionJson(const std::vector<std::string>& authors)
{
    platform::JsonWriter json(true);
    json.beginObject().key("Name").value("ECT EEG recordings").key("BIDSVersion").value(kBidsVersion);
    if (!authors.empty()) {
        json.key("Authors").beginArray();
        for (const std::string& author : authors)
            json.value(author);
        json.endArray();
    }
    json.key("DatasetType").value("raw").key("GeneratedBy").beginArray().beginObject();
    json.key("Name").value("Ozmar").key("Version").value(state::kProgramVersion);
    json.key("Description").value("BIDS export of recordings of electroconvulsive-therapy treatments");
    json.endObject().endArray().endObject();
    return finished(json);
}

std::string readmeText()
{
    return "ECT EEG recordings\n"
           "==================\n\n"
           "EEG of electroconvulsive-therapy treatments and monitoring sessions, two or four\n"
           "channels at 200 Hz, exported by Ozmar " +
           std::string(state::kProgramVersion) +
           ".\n\n"
           "Each subject is one patient and each session one treatment (or recording). The\n"
           "sessions file of a subject holds the treatment course: the stimulus, the seizure\n"
           "endpoints, the seizure indices and the clinical flags of each treatment.\n\n"
           "The EDF+ files keep the instrument's raw samples in microvolts. Their annotations,\n"
           "repeated in the events files, mark rejected epochs, marked epochs, the treatment\n"
           "start and stretches without a sample.\n\n"
           "In an anonymised export, subjects are numbered in the order of their first\n"
           "treatment, and each subject's dates are moved by one whole number of weeks, so the\n"
           "intervals and weekdays between sessions are kept.\n";
}

std::string participantsJson()
{
    platform::JsonWriter json(true);
    json.beginObject();
    json.key("participant_id").beginObject().key("Description").value("Unique participant identifier").endObject();
    json.key("age").beginObject().key("Description").value("Age at the first exported session (89 or more: 89+)");
    json.key("Units").value("year").endObject();
    json.key("sex").beginObject().key("Description").value("Sex of the participant").key("Levels").beginObject();
    json.key("M").value("male").key("F").value("female").endObject().endObject();
    json.endObject();
    return finished(json);
}

std::vector<std::string> sessionColumns(bool anonymise)
{
    std::vector<std::string> columns;
    for (const std::string& name : course::courseColumnNames())
        if (name != "patient_id" && name != "date" && name != "time" && !(anonymise && name == "file"))
            columns.push_back(name);
    return columns;
}

std::string sessionsJson(const std::vector<std::string>& columns)
{
    platform::JsonWriter json(true);
    json.beginObject();
    for (const std::string& name : columns) {
        const auto text = kColumnTexts.find(name);
        if (text == kColumnTexts.end())
            continue;
        std::string description = text->second.description;
        if (name == "flags")
            description += course::flagWords((1u << course::kFlags) - 1);
        json.key(name).beginObject().key("Description").value(description);
        if (*text->second.units != '\0')
            json.key("Units").value(text->second.units);
        json.endObject();
    }
    json.endObject();
    return finished(json);
}

std::string eegJson(const data::Recording& rec, const EegFacts& facts)
{
    const report::EdfSignals signals = report::edfSignals(rec);
    int eeg = 0, emg = 0, ecg = 0;
    for (int ch : signals.channels) {
        const std::string type = channelType(report::edfLabel(rec, ch));
        (type == "EEG" ? eeg : type == "EMG" ? emg : ecg) += 1;
    }
    platform::JsonWriter json(true);
    json.beginObject().key("TaskName").value(facts.task);
    json.key("SamplingFrequency").value(static_cast<std::int64_t>(data::kSamplesPerSecond));
    json.key("PowerLineFrequency").value(static_cast<std::int64_t>(facts.lineFrequency));
    json.key("SoftwareFilters").value("n/a");
    json.key("EEGReference").value(facts.reference.empty() ? "n/a" : facts.reference);
    json.key("RecordingDuration").value(static_cast<double>(signals.samples) / data::kSamplesPerSecond);
    json.key("RecordingType").value("continuous");
    json.key("EEGChannelCount").value(static_cast<std::int64_t>(eeg));
    json.key("EMGChannelCount").value(static_cast<std::int64_t>(emg));
    json.key("ECGChannelCount").value(static_cast<std::int64_t>(ecg));
    json.endObject();
    return finished(json);
}

std::string channelsTsv(const data::Recording& rec)
{
    std::string text = "name\ttype\tunits\tsampling_frequency\tstatus\n";
    for (int ch : report::edfSignals(rec).channels) {
        const std::string label = report::edfLabel(rec, ch);
        text += label + "\t" + channelType(label) + "\tuV\t" + std::to_string(data::kSamplesPerSecond) + "\tgood\n";
    }
    return text;
}

std::string eventsTsv(const std::vector<report::EdfAnnotation>& annotations)
{
    std::string text = "onset\tduration\ttrial_type\n";
    for (const report::EdfAnnotation& a : annotations)
        text += decimals(a.onset, 3) + "\t" + decimals(a.duration, 3) + "\t" + a.text + "\n";
    return text;
}

}  // namespace bids
