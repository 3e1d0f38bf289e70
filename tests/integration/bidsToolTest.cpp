// ozmar-tool export-bids from outside: the standard validator and MNE-Python
// read what it makes; the mapping goes to the terminal and back in; a run
// that fails on the disk leaves the dataset as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "support/courseFiles.h"
#include "support/processRunner.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {



std::map<std::string, std::string> snapshot(const fs::path& dataset)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dataset))
        files[fs::relative(entry.path(), dataset).string()] = entry.is_regular_file() ? fileText(entry.path().string()) : "/";
    return files;
}

// The validator's lines that are errors, or why it could not run; "" when none.
std::string validatorErrors(const std::string& dataset, const std::string& errFile)
{
    const ProcessResult r = runCommand(std::string(BIDS_VALIDATOR) + " --no-color " + dataset, errFile);
    const std::string all = r.out + fileText(errFile);
    std::string errors;
    for (std::size_t at = all.find("[ERR]"); at != std::string::npos; at = all.find("[ERR]", at + 1))
        errors += all.substr(at, all.find('\n', at) - at) + "\n";
    return errors.empty() && r.status != 0 ? "exit " + std::to_string(r.status) + ": " + all : errors;
}

}  // namespace

TEST(BidsTool, TheValidatorAndMneAcceptTheExportedCourse)
{
    if (!fs::exists(BIDS_VALIDATOR)) {
        if (std::getenv("OZMAR_REQUIRE_BIDS_VALIDATOR") != nullptr)
            FAIL() << "no validator at " << BIDS_VALIDATOR;
        GTEST_SKIP() << "the BIDS validator is not installed: scripts/bidsValidator.sh BUILD installs it";
    }
    BidsCourse course;
    TempDir out;
    const std::string err = out.file("err.txt");
    for (const std::string mode : {"", " --anonymise"}) {
        const std::string dataset = out.file("ds" + std::to_string(mode.size()));
        ASSERT_EQ(runTool("export-bids " + course.dir.path().string() + " --out " + dataset + mode + " --author \"A. Researcher\"", err).status, 0)
            << fileText(err);
        EXPECT_EQ(validatorErrors(dataset, err), "") << mode;
        if (runCommand("/usr/bin/python3 -c 'import mne'").status == 0)
            EXPECT_EQ(runCommand("/usr/bin/python3 " + std::string(BIDS_MNE_CHECK) + " " + dataset + " 2000").out, "ok 10\n")
                << mode;
    }
}

TEST(BidsTool, TheMappingGoesToTheTerminalAndComesBackToExtend)
{
    BidsCourse course;
    TempDir out;
    const std::string dataset = out.file("ds"), err = out.file("err.txt");
    const std::string first = course.dir.file("a1.dat") + " " + course.dir.file("b1.dat");
    const ProcessResult made = runTool("export-bids " + first + " --out " + dataset + " --anonymise", err);
    ASSERT_EQ(made.status, 0) << fileText(err);
    EXPECT_EQ(made.out.substr(0, made.out.find('\n')), "participant_id\tpatient_id\tdate_shift_days");
    EXPECT_NE(made.out.find("sub-01\tZQ-7731\t"), std::string::npos);
    EXPECT_NE(made.out.find("sub-02\tKV-0042\t"), std::string::npos);
    writeBytes(out.file("mapping.tsv"), std::vector<std::uint8_t>(made.out.begin(), made.out.end()));

    const std::string all = course.dir.path().string();
    const auto before = snapshot(dataset);
    EXPECT_EQ(runTool("export-bids " + all + " --out " + dataset + " --anonymise", err).status, 1);
    EXPECT_NE(fileText(err).find("--mapping FILE"), std::string::npos);
    // Kept inside the dataset, the mapping would put the IDs in it.
    fs::copy_file(out.file("mapping.tsv"), dataset + "/mapping.tsv");
    EXPECT_EQ(runTool("export-bids " + all + " --out " + dataset + " --anonymise --mapping " + dataset + "/mapping.tsv", err).status, 1);
    fs::remove(dataset + "/mapping.tsv");
    // A real failure: a file where a session's folder must go.
    writeBytes(dataset + "/sub-02/ses-03", {'x'});
    const auto blocked = snapshot(dataset);
    EXPECT_EQ(runTool("export-bids " + all + " --out " + dataset + " --anonymise --mapping " + out.file("mapping.tsv"), err).status, 2);
    EXPECT_NE(fileText(err).find("the dataset is as it was"), std::string::npos) << fileText(err);
    EXPECT_EQ(snapshot(dataset), blocked);
    fs::remove(dataset + "/sub-02/ses-03");
    EXPECT_EQ(snapshot(dataset), before);

    const ProcessResult grown = runTool("export-bids " + all + " --out " + dataset + " --anonymise --mapping " + out.file("mapping.tsv"), err);
    ASSERT_EQ(grown.status, 0) << fileText(err);
    EXPECT_EQ(grown.out, made.out);  // the same subjects, the same shifts
    EXPECT_NE(fileText(err).find("already has a session"), std::string::npos);
    EXPECT_TRUE(fs::exists(dataset + "/sub-02/ses-04/eeg/sub-02_ses-04_task-ect_eeg.edf"));
    EXPECT_FALSE(fs::exists(dataset + "/sub-02/ses-05"));
}

TEST(BidsTool, UsageAndMissingPatients)
{
    BidsCourse course;
    TempDir out;
    const std::string all = course.dir.path().string() + " --out " + out.file("ds");
    EXPECT_EQ(runTool("export-bids " + course.dir.path().string()).status, 1);  // no --out
    EXPECT_EQ(runTool("export-bids " + all + " --task no-dash").status, 1);
    EXPECT_EQ(runTool("export-bids " + all + " --line-frequency 55").status, 1);
    EXPECT_EQ(runTool("export-bids " + all + " --mapping x.tsv").status, 1);  // a mapping without --anonymise
    EXPECT_EQ(runTool("export-bids /no/such --out " + out.file("ds")).status, 2);
    EXPECT_EQ(runTool("export-bids " + all + " --patient NOBODY").status, 6);
    EXPECT_FALSE(fs::exists(out.file("ds")));
    const ProcessResult one = runTool("export-bids " + all + " --patient kv-0042 --task rest --line-frequency 60");
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), 4);
    const std::string json = fileText(out.file("ds/sub-KV0042/ses-01/eeg/sub-KV0042_ses-01_task-rest_eeg.json"));
    EXPECT_NE(json.find("\"PowerLineFrequency\": 60"), std::string::npos);
    EXPECT_FALSE(fs::exists(out.file("ds/sub-ZQ7731")));
}
