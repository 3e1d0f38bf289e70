// The BIDS export over a course of ten treatments of two patients: what an
// anonymised dataset holds (and never holds), how an existing dataset grows,
// and that a failed or refused run leaves it byte for byte as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "bids/bidsExport.h"
#include "bids/tsvTable.h"
#include "course/courseScan.h"
#include "platform/civilDate.h"
#include "support/courseFiles.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

std::vector<course::CourseRecording> scanned(const std::vector<std::string>& paths)
{
    std::vector<std::string> unopened;
    return course::scanFiles(course::filesUnder(paths, false, unopened)).recordings;
}

// Every file of the dataset with its bytes, by path relative to it.
std::map<std::string, std::string> snapshot(const fs::path& dataset)
{
    std::map<std::string, std::string> files;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(dataset, error)) {
        const std::string relative = fs::relative(entry.path(), dataset).string();
        if (entry.is_regular_file()) {
            const auto bytes = fileBytes(entry.path().string());
            files[relative] = std::string(bytes.begin(), bytes.end());
        } else {
            files[relative + "/"] = "";
        }
    }
    return files;
}

// The paths whose bytes differ between two snapshots, or that only one has.
std::vector<std::string> changed(const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b)
{
    std::vector<std::string> paths;
    for (const auto& [path, bytes] : a)
        if (!b.count(path) || b.at(path) != bytes)
            paths.push_back(path);
    for (const auto& [path, bytes] : b)
        if (!a.count(path))
            paths.push_back(path);
    return paths;
}

bids::TsvTable table(const fs::path& file)
{
    const auto bytes = fileBytes(file.string());
    return bids::parseTsv(std::string(bytes.begin(), bytes.end()));
}

long dayOf(const std::string& acqTime)
{
    return platform::daysFromCivil({std::stoi(acqTime.substr(0, 4)), std::stoi(acqTime.substr(5, 2)),
                                    std::stoi(acqTime.substr(8, 2))});
}

struct Export {
    BidsCourse course;
    TempDir out;
    fs::path dataset = out.path() / "ds";
    bids::BidsOptions options;
    Export() { options.dataset = dataset.string(); }
    bids::BidsReport run(const std::vector<std::string>& paths, const bids::StepFault& fault = {})
    {
        return bids::exportBids(scanned(paths), options, {}, fault);
    }
    std::string at(const std::string& file) const { return course.dir.file(file); }
};

}  // namespace

TEST(BidsExport, AnonymisedDatasetHoldsNoNameIdOrCommentAndKeepsIntervals)
{
    Export e;
    e.options.anonymise = true;
    const bids::BidsReport report = e.run({e.course.dir.path().string()});
    ASSERT_EQ(report.added.size(), 10u);
    ASSERT_EQ(report.mapping.size(), 2u);
    EXPECT_EQ(report.mapping[0].label, "01");  // the first to be treated
    EXPECT_EQ(report.mapping[0].patientId, "ZQ-7731");
    EXPECT_EQ(report.mapping[1].label, "02");

    // Not one byte of a name, ID or comment, in any file's name or content.
    for (const auto& [path, bytes] : snapshot(e.dataset))
        for (const char* secret : kBidsSecrets) {
            EXPECT_EQ(path.find(secret), std::string::npos) << path;
            EXPECT_EQ(bytes.find(secret), std::string::npos) << secret << " in " << path;
        }

    // The intervals between a subject's sessions survive the shift, as do weekdays.
    const bids::TsvTable sessions = table(e.dataset / "sub-01" / "sub-01_sessions.tsv");
    ASSERT_EQ(sessions.rows.size(), 6u);
    const long real[] = {0, 2, 7, 7, 70, 73};  // days from 2026-03-02
    for (std::size_t r = 0; r < 6; ++r)
        EXPECT_EQ(dayOf(sessions.cell(r, "acq_time")) - dayOf(sessions.cell(0, "acq_time")), real[r]);
    EXPECT_EQ(sessions.cell(2, "acq_time").substr(10), "T09:00:00");
    EXPECT_EQ((dayOf(sessions.cell(0, "acq_time")) + 4) % 7, (platform::daysFromCivil({2026, 3, 2}) + 4) % 7);
    EXPECT_EQ(sessions.column("file"), -1);
    EXPECT_EQ(sessions.cell(3, "treatment"), "3b");
    EXPECT_EQ(sessions.cell(3, "flags"), "RESTIM");

    // No EDF+ start before 1985: the header's year, and the recording field's.
    for (const auto& [path, bytes] : snapshot(e.dataset)) {
        if (path.size() < 4 || path.substr(path.size() - 4) != ".edf")
            continue;
        const int year = std::stoi(bytes.substr(168 + 6, 2));
        EXPECT_TRUE(year >= 85 && year <= 99) << path << " " << bytes.substr(168, 8);
        const int full = std::stoi(bytes.substr(88 + 17, 4));
        EXPECT_GE(full, 1985) << bytes.substr(88, 80);
        EXPECT_EQ(bytes.substr(8, 7), "X X X X");
    }
    const bids::TsvTable participants = table(e.dataset / "participants.tsv");
    EXPECT_EQ(participants.cell(0, "age"), "47");
    EXPECT_EQ(participants.cell(1, "age"), "89+");
    EXPECT_EQ(participants.cell(1, "sex"), "M");
}

TEST(BidsExport, SidecarsDescribeEachRecording)
{
    Export e;
    e.run({e.at("a1.dat"), e.at("a3.dat")});
    const fs::path eeg = e.dataset / "sub-ZQ7731" / "ses-01" / "eeg";
    const bids::TsvTable channels = table(eeg / "sub-ZQ7731_ses-01_task-ect_channels.tsv");
    ASSERT_EQ(channels.rows.size(), 4u);
    EXPECT_EQ(channels.cell(2, "name"), "EMG");
    EXPECT_EQ(channels.cell(2, "type"), "EMG");
    EXPECT_EQ(channels.cell(3, "type"), "ECG");
    const bids::TsvTable four = table(e.dataset / "sub-ZQ7731" / "ses-02" / "eeg" / "sub-ZQ7731_ses-02_task-ect_channels.tsv");
    EXPECT_EQ(four.cell(3, "type"), "EEG");
    // The EDF+ annotations, in onset order: the rejected epoch, the marked one, the padding has none (10 s whole).
    const bids::TsvTable events = table(eeg / "sub-ZQ7731_ses-01_task-ect_events.tsv");
    ASSERT_EQ(events.rows.size(), 2u);
    EXPECT_EQ(events.rows[0], (std::vector<std::string>{"2.560", "1.280", "Rejected epoch"}));
    EXPECT_EQ(events.rows[1], (std::vector<std::string>{"5.120", "1.280", "Marked epoch"}));
    const auto json = fileBytes((eeg / "sub-ZQ7731_ses-01_task-ect_eeg.json").string());
    const std::string text(json.begin(), json.end());
    for (const char* field : {"\"TaskName\": \"ect\"", "\"SamplingFrequency\": 200", "\"PowerLineFrequency\": 50",
                              "\"EEGChannelCount\": 2", "\"EMGChannelCount\": 1", "\"ECGChannelCount\": 1",
                              "\"RecordingDuration\": 10"})
        EXPECT_NE(text.find(field), std::string::npos) << field;
    // Not anonymised: real dates and the source file.
    const bids::TsvTable sessions = table(e.dataset / "sub-ZQ7731" / "sub-ZQ7731_sessions.tsv");
    EXPECT_EQ(sessions.cell(0, "acq_time"), "2026-03-02T09:00:00");
    EXPECT_EQ(sessions.cell(1, "file"), e.at("a3.dat"));
}

TEST(BidsExport, ASecondExportAddsOnlyNewSessions)
{
    Export e;
    e.run({e.at("a1.dat"), e.at("a2.dat"), e.at("b1.dat")});
    const auto before = snapshot(e.dataset);
    const bids::BidsReport report = e.run({e.course.dir.path().string()});
    EXPECT_EQ(report.added.size(), 7u);
    EXPECT_EQ(report.messages.size(), 3u);  // the three already there
    EXPECT_EQ(report.added.front(), "sub-ZQ7731/ses-03 <- " + e.at("a3.dat"));
    const auto after = snapshot(e.dataset);
    for (const auto& [path, bytes] : before)
        if (path.find("sessions.tsv") == std::string::npos && path != "participants.tsv")
            EXPECT_EQ(after.at(path), bytes) << path;
    EXPECT_EQ(table(e.dataset / "sub-ZQ7731" / "sub-ZQ7731_sessions.tsv").rows.size(), 6u);
    EXPECT_EQ(table(e.dataset / "participants.tsv").rows.size(), 2u);
    // A third run finds nothing to add and writes nothing.
    EXPECT_TRUE(e.run({e.course.dir.path().string()}).added.empty());
    EXPECT_EQ(changed(snapshot(e.dataset), after), std::vector<std::string>());
}

TEST(BidsExport, AnonymisedDatasetGrowsOnlyWithItsMapping)
{
    Export e;
    e.options.anonymise = true;
    const bids::BidsReport first = e.run({e.at("a1.dat"), e.at("b1.dat")});
    const auto before = snapshot(e.dataset);
    EXPECT_THROW(e.run({e.course.dir.path().string()}), bids::ExportRefused);
    EXPECT_EQ(changed(snapshot(e.dataset), before), std::vector<std::string>());

    std::vector<bids::MappingEntry> mapping;
    std::string problem;
    ASSERT_TRUE(bids::parseMapping(bids::mappingText(first.mapping), mapping, problem)) << problem;
    e.options.mapping = mapping;
    const bids::BidsReport second = e.run({e.course.dir.path().string()});
    EXPECT_EQ(second.added.size(), 8u);
    ASSERT_EQ(second.mapping.size(), 2u);
    EXPECT_EQ(second.mapping[1].dayShift, first.mapping[1].dayShift);
    const bids::TsvTable sessions = table(e.dataset / "sub-02" / "sub-02_sessions.tsv");
    ASSERT_EQ(sessions.rows.size(), 4u);
    EXPECT_EQ(dayOf(sessions.cell(3, "acq_time")) - dayOf(sessions.cell(0, "acq_time")), 110);
}

TEST(BidsExport, AFailedOrRefusedRunLeavesTheDatasetAsItWas)
{
    Export e;
    e.run({e.at("a1.dat"), e.at("a2.dat")});
    const auto before = snapshot(e.dataset);
    const std::string all = e.course.dir.path().string();
    // A write that fails part way, and a move that fails once others are in place.
    for (const std::string failing : {"write sub-ZQ7731/ses-05/eeg/sub-ZQ7731_ses-05_task-ect_eeg.edf",
                                      "move participants.tsv",
                                      "move sub-KV0042/ses-01/eeg/sub-KV0042_ses-01_task-ect_eeg.edf"}) {
        const bids::StepFault fault = [&](const std::string& step) { return step == failing; };
        EXPECT_THROW(e.run({all}, fault), bids::WriteError) << failing;
        EXPECT_EQ(changed(snapshot(e.dataset), before), std::vector<std::string>()) << failing;
    }
    // A dataset that did not exist is not left behind either.
    e.options.dataset = (e.out.path() / "new").string();
    EXPECT_THROW(e.run({all}, [](const std::string& step) { return step.rfind("move", 0) == 0; }), bids::WriteError);
    EXPECT_FALSE(fs::exists(e.out.path() / "new"));

    // Tables another tool left in odd shapes are read without harm.
    e.options.dataset = e.dataset.string();
    testing_support::writeBytes(e.dataset.string() + "/participants.tsv", {'p', 'a', 'r', 't', 'i', 'c', 'i', 'p', 'a', 'n', 't',
                                                                         '_', 'i', 'd', '\n', 'x', '\n', 's', 'u', 'b', '-', '\n'});
    e.options.anonymise = true;
    e.options.mapping = {{"01", "ZQ-7731", -7}};
    EXPECT_NO_THROW(e.run({e.at("a3.dat")}));
    e.options.anonymise = false;
    std::vector<bids::MappingEntry> mapping;
    std::string problem;
    EXPECT_FALSE(bids::parseMapping("participant_id\tpatient_id\tdate_shift_days\nsub-01\tP\t99999999999\n", mapping, problem));
    EXPECT_FALSE(bids::parseMapping("participant_id\tpatient_id\tdate_shift_days\nsub-\tP\t7\n", mapping, problem));

    // Two IDs that reduce to one label are refused before anything is written.
    Treatment clash = on(6, 1, 1000, 30);
    clash.id = "ZQ7731";
    clash.samples = 400;
    writeTreatment(e.course.dir.file("clash.dat"), clash);
    const auto odd = snapshot(e.dataset);
    EXPECT_THROW(e.run({all}), bids::ExportRefused);
    EXPECT_EQ(changed(snapshot(e.dataset), odd), std::vector<std::string>());
}
