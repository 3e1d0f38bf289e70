#include "bids/bidsExport.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "bids/sidecarText.h"
#include "bids/tsvTable.h"
#include "course/courseText.h"
#include "data/loadedRecording.h"
#include "data/safeFile.h"
#include "platform/orderedWork.h"
#include "platform/textEncoding.h"

namespace bids {

namespace {

namespace fs = std::filesystem;
using course::CourseRecording;

// One patient of the run and what the dataset already holds of them.
struct Subject {
    std::string key;
    std::string id;
    std::string label;
    long shift = 0;
    course::When first;                            // of every session to export
    course::When firstTreatment;                   // the order of anonymised labels
    course::Course course;                         // treatments and sessions
    std::vector<CourseRecording> monitoring;
    TsvTable sessions;                             // the sessions file, old rows and new
    std::set<std::string> times;                   // acq_time of every session, old and new
    int nextSession = 1;
    bool listed = false;                           // in participants.tsv already
};

// One session to add.
struct Planned {
    Subject* subject;
    const course::CourseRow* row;  // nullptr for a monitoring recording
    const CourseRecording* rec;
    std::string acqTime;
};

// The files of one converted recording.
struct Converted {
    std::string problem;
    std::vector<std::uint8_t> edf;
    std::string eegJson, channels, events;
};

// The file's bytes; "" when there is no such file.
std::string readText(const fs::path& path)
{
    std::string text;
    return data::readWholeFile(path.string(), text) ? text : std::string();
}

std::string utf8(const std::string& stored) { return platform::windows1252ToUtf8(stored); }

// The recordings to export, grouped by patient key; what is left out is said in `report`.
std::map<std::string, std::vector<CourseRecording>> gather(const std::vector<CourseRecording>& recordings,
                                                          const BidsOptions& options, BidsReport& report)
{
    std::set<std::string> asked;
    for (const std::string& id : options.patients)
        asked.insert(course::patientKey(id));
    std::map<std::string, std::vector<CourseRecording>> byKey;
    for (const CourseRecording& r : recordings) {
        const std::string key = course::patientKey(r.patientId);
        if (!asked.empty() && !asked.count(key))
            continue;
        if (r.patientId.empty())
            report.messages.push_back(r.path + ": left out: no patient ID");
        else if (r.kind == course::Kind::monitoring && !options.includeMonitoring)
            report.messages.push_back(r.path + ": left out: a monitoring recording (--include-monitoring takes it)");
        else if (!r.rawEeg)
            report.messages.push_back(r.path + ": left out: it holds no raw EEG");
        else
            byKey[key].push_back(r);
    }
    return byKey;
}

std::vector<Subject> subjectsOf(std::map<std::string, std::vector<CourseRecording>>&& byKey, const BidsOptions& options)
{
    std::vector<Subject> subjects;
    for (auto& [key, list] : byKey) {
        Subject s;
        s.key = key;
        std::vector<CourseRecording> counted;
        for (CourseRecording& r : list)
            (r.kind == course::Kind::monitoring ? s.monitoring : counted).push_back(std::move(r));
        s.course = course::buildCourse(std::move(counted), options.limits);
        std::sort(s.monitoring.begin(), s.monitoring.end(),
                  [](const CourseRecording& a, const CourseRecording& b) { return a.when < b.when; });
        const CourseRecording& first =
            s.course.rows.empty() ||
                    (!s.monitoring.empty() && s.monitoring.front().when < s.course.rows.front().rec.when)
                ? s.monitoring.front()
                : s.course.rows.front().rec;
        s.first = first.when;
        s.firstTreatment = s.course.rows.empty() ? first.when : s.course.rows.front().rec.when;
        s.id = first.patientId;
        subjects.push_back(std::move(s));
    }
    std::stable_sort(subjects.begin(), subjects.end(),
                     [](const Subject& a, const Subject& b) { return a.firstTreatment < b.firstTreatment; });
    return subjects;
}

// The number of a label of digits ("07"); 0 for any other text, a cell of
// another tool's dataset included.
int labelNumber(const std::string& label)
{
    const bool digits = !label.empty() && label.size() <= 6 &&
                        std::all_of(label.begin(), label.end(), [](unsigned char c) { return std::isdigit(c); });
    return digits ? std::stoi(label) : 0;
}

// What follows a prefix such as "sub-" or "ses-"; "" when the text is shorter.
std::string afterPrefix(const std::string& text)
{
    return text.size() > 4 ? text.substr(4) : std::string();
}

// Labels and date shifts: the mapping's for patients it knows, the next
// numbers for the others; or, not anonymised, the IDs' letters and digits.
void label(std::vector<Subject>& subjects, const TsvTable& participants, const BidsOptions& options, BidsReport& report)
{
    if (!options.anonymise) {
        std::map<std::string, std::string> taken;
        for (auto s = subjects.begin(); s != subjects.end();) {
            s->label = labelOfId(s->id);
            if (s->label.empty()) {
                report.messages.push_back("patient " + utf8(s->id) + ": left out: the ID has no letter or digit for a subject label");
                s = subjects.erase(s);
                continue;
            }
            if (const auto other = taken.find(s->label); other != taken.end())
                throw ExportRefused("the patients " + utf8(other->second) + " and " + utf8(s->id) + " would both be sub-" +
                                    s->label);
            taken[s->label] = s->id;
            ++s;
        }
        return;
    }
    if (!participants.rows.empty() && options.mapping.empty())
        throw ExportRefused("the dataset already has subjects: an anonymised export into it needs the mapping printed "
                            "when they were exported (--mapping FILE)");
    int highest = 0;
    for (std::size_t r = 0; r < participants.rows.size(); ++r)
        highest = std::max(highest, labelNumber(afterPrefix(participants.cell(r, "participant_id"))));
    for (const MappingEntry& m : options.mapping)
        highest = std::max(highest, labelNumber(m.label));
    for (Subject& s : subjects) {
        const auto known = std::find_if(options.mapping.begin(), options.mapping.end(),
                                        [&](const MappingEntry& m) { return course::patientKey(m.patientId) == s.key; });
        s.label = known != options.mapping.end() ? known->label : numberedLabel(++highest);
        s.shift = known != options.mapping.end() ? known->dayShift : dayShiftFor(s.first);
        report.mapping.push_back({s.label, s.id, s.shift});
    }
}

// Reads the subject's sessions file, if there is one, and its acquisition times.
void readSessions(Subject& s, const fs::path& dataset, const TsvTable& participants, bool anonymise)
{
    const fs::path file = dataset / ("sub-" + s.label) / ("sub-" + s.label + "_sessions.tsv");
    s.sessions = parseTsv(readText(file));
    if (s.sessions.columns.empty()) {
        s.sessions.columns = {"session_id", "acq_time"};
        for (const std::string& c : sessionColumns(anonymise))
            s.sessions.columns.push_back(c);
    }
    for (std::size_t r = 0; r < s.sessions.rows.size(); ++r) {
        s.times.insert(s.sessions.cell(r, "acq_time"));
        const std::string id = s.sessions.cell(r, "session_id");
        s.nextSession = std::max(s.nextSession, labelNumber(afterPrefix(id)) + 1);
    }
    for (std::size_t r = 0; r < participants.rows.size(); ++r)
        s.listed = s.listed || participants.cell(r, "participant_id") == "sub-" + s.label;
}

// The sessions to add, subject after subject, each subject's in date order.
std::vector<Planned> plan(std::vector<Subject>& subjects, BidsReport& report)
{
    std::vector<Planned> planned;
    for (Subject& s : subjects) {
        std::vector<Planned> mine;
        for (const course::CourseRow& row : s.course.rows)
            mine.push_back({&s, &row, &row.rec, acqTime(row.rec.when, s.shift)});
        for (const CourseRecording& m : s.monitoring)
            mine.push_back({&s, nullptr, &m, acqTime(m.when, s.shift)});
        std::stable_sort(mine.begin(), mine.end(), [](const Planned& a, const Planned& b) { return a.rec->when < b.rec->when; });
        for (const Planned& p : mine) {
            if (!storableInEdf(p.rec->when, s.shift))
                report.messages.push_back(p.rec->path + ": left out: its date would fall before 1985, which EDF+ cannot hold");
            else if (!s.times.insert(p.acqTime).second)
                report.messages.push_back(p.rec->path + ": left out: sub-" + s.label + " already has a session at " +
                                          p.acqTime);
            else
                planned.push_back(p);
        }
    }
    return planned;
}

Converted convert(const Planned& p, const BidsOptions& options)
{
    Converted c;
    auto loaded = std::make_unique<data::LoadedRecording>();
    if (data::loadRecording(p.rec->path, *loaded, data::ReadScope::whole) != data::LoadResult::loaded) {
        c.problem = "it could not be read again";
        return c;
    }
    const data::Recording& rec = loaded->rec;
    c.edf = report::edfBytes(rec, report::EdfOptions{options.anonymise, p.subject->shift});
    if (c.edf.empty()) {
        c.problem = "it holds no raw EEG";
        return c;
    }
    c.eegJson = eegJson(rec, EegFacts{options.task, options.lineFrequency, options.reference});
    c.channels = channelsTsv(rec);
    c.events = eventsTsv(report::edfAnnotations(rec));
    return c;
}

// The new row of the sessions file: the course's cells, never the ones that
// would name the patient or the real date.
void addSessionRow(Subject& s, const Planned& p, const std::string& session, bool anonymise)
{
    std::vector<std::pair<std::string, std::string>> cells = {{"session_id", session}, {"acq_time", p.acqTime}};
    const std::vector<std::string> allowed = sessionColumns(anonymise);
    const auto take = [&](const std::string& name, const std::string& value) {
        if (std::find(allowed.begin(), allowed.end(), name) != allowed.end())
            cells.emplace_back(name, value);
    };
    if (p.row != nullptr) {
        const std::vector<std::string> names = course::courseColumnNames();
        const std::vector<std::string> values = course::courseCells(s.course, *p.row);
        for (std::size_t i = 0; i < names.size() && i < values.size(); ++i)
            take(names[i], values[i]);
    } else {
        take("file", p.rec->path);
        take("program", utf8(p.rec->program));
    }
    s.sessions.addRow(cells);
}

std::string ageText(int age, bool anonymise)
{
    if (age < 0)
        return std::string();
    return anonymise && age >= 89 ? "89+" : std::to_string(age);
}

std::string sexText(int sex)
{
    return sex == data::kSexFemale ? "F" : sex == data::kSexMale ? "M" : std::string();
}

// The recording a participant's age and sex come from: the first.
const CourseRecording& firstRecording(const Subject& s)
{
    for (const course::CourseRow& row : s.course.rows)
        if (!(s.first < row.rec.when) && !(row.rec.when < s.first))
            return row.rec;
    return s.monitoring.empty() ? s.course.rows.front().rec : s.monitoring.front();
}

// The sessions files, participants and the dataset's own files, staged after the recordings.
void stageTables(StagedFiles& staged, std::vector<Subject>& subjects, TsvTable& participants, const fs::path& dataset,
                 const std::set<Subject*>& grown, const BidsOptions& options)
{
    bool newParticipant = false;
    for (Subject& s : subjects) {
        if (!grown.count(&s))
            continue;
        const std::string stem = "sub-" + s.label + "/sub-" + s.label + "_sessions";
        staged.add(stem + ".tsv", tsvText(s.sessions));
        if (!fs::exists(dataset / (stem + ".json")))
            staged.add(stem + ".json", sessionsJson(s.sessions.columns));
        if (!s.listed) {
            const CourseRecording& first = firstRecording(s);
            participants.addRow({{"participant_id", "sub-" + s.label}, {"age", ageText(first.age, options.anonymise)},
                                 {"sex", sexText(first.sex)}});
            newParticipant = true;
        }
    }
    if (newParticipant)
        staged.add("participants.tsv", tsvText(participants));
    const auto once = [&](const std::string& name, const std::string& text) {
        if (!fs::exists(dataset / name))
            staged.add(name, text);
    };
    once("participants.json", participantsJson());
    once("dataset_description.json", datasetDescriptionJson(options.authors));
    once("README", readmeText());
}

}  // namespace

bool validTaskName(const std::string& task)
{
    return !task.empty() && std::all_of(task.begin(), task.end(), [](unsigned char c) { return std::isalnum(c); });
}

bool datasetHasSubjects(const std::string& dataset)
{
    return !parseTsv(readText(fs::path(dataset) / "participants.tsv")).rows.empty();
}

bool insideDataset(const std::string& path, const std::string& dataset)
{
    std::error_code error;
    const std::string folder = fs::weakly_canonical(dataset, error).string() + "/";
    return fs::weakly_canonical(path, error).string().rfind(folder, 0) == 0;
}

BidsReport exportBids(const std::vector<CourseRecording>& recordings, const BidsOptions& options,
                      const BidsProgress& progress, const StepFault& fault)
{
    BidsReport report;
    const fs::path dataset(options.dataset);
    std::vector<Subject> subjects = subjectsOf(gather(recordings, options, report), options);
    TsvTable participants = parseTsv(readText(dataset / "participants.tsv"));
    if (participants.columns.empty())
        participants.columns = {"participant_id", "age", "sex"};
    label(subjects, participants, options, report);
    for (Subject& s : subjects)
        readSessions(s, dataset, participants, options.anonymise);
    const std::vector<Planned> planned = plan(subjects, report);
    if (planned.empty())
        return report;

    StagedFiles staged(options.dataset, fault);
    std::set<Subject*> grown;
    const std::function<Converted(std::size_t)> prepare = [&](std::size_t i) { return convert(planned[i], options); };
    const std::function<bool(std::size_t, Converted&)> consume = [&](std::size_t i, Converted& c) {
        const Planned& p = planned[i];
        if (!c.problem.empty()) {
            report.messages.push_back(p.rec->path + ": left out: " + c.problem);
        } else {
            Subject& s = *p.subject;
            const std::string session = "ses-" + numberedLabel(s.nextSession++);
            const std::string folder = "sub-" + s.label + "/" + session + "/eeg/";
            const std::string stem = folder + "sub-" + s.label + "_" + session + "_task-" + options.task;
            staged.add(stem + "_eeg.edf", c.edf.data(), c.edf.size());
            staged.add(stem + "_eeg.json", c.eegJson);
            staged.add(stem + "_channels.tsv", c.channels);
            staged.add(stem + "_events.tsv", c.events);
            addSessionRow(s, p, session, options.anonymise);
            grown.insert(&s);
            report.added.push_back("sub-" + s.label + "/" + session + " <- " + p.rec->path);
        }
        return !progress || progress(i + 1, planned.size());
    };
    const unsigned threads = platform::batchThreads();
    if (!platform::runInOrder(planned.size(), threads, 2 * threads, prepare, consume)) {
        report.cancelled = true;
        report.added.clear();
        return report;
    }
    if (grown.empty())
        return report;
    stageTables(staged, subjects, participants, dataset, grown, options);
    staged.commit();
    report.files = staged.files();
    return report;
}

}  // namespace bids
