// The BIDS export reads and converts its recordings on every core: two runs
// of the same course give datasets equal to the byte, whatever the timing.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "bids/bidsExport.h"
#include "course/courseScan.h"
#include "support/courseFiles.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

std::map<std::string, std::vector<std::uint8_t>> contents(const fs::path& dataset)
{
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(dataset))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), dataset).string()] = fileBytes(entry.path().string());
    return files;
}

}  // namespace

TEST(BidsExportThreads, TwoRunsGiveTheSameDataset)
{
    BidsCourse course;
    TempDir out;
    std::vector<std::string> unopened;
    const auto recordings = course::scanFiles(course::filesUnder({course.dir.path().string()}, false, unopened)).recordings;
    bids::BidsOptions options;
    options.anonymise = true;
    std::size_t steps = 0;
    for (const char* name : {"one", "two"}) {
        options.dataset = out.file(name);
        const bids::BidsReport report = bids::exportBids(recordings, options, [&](std::size_t done, std::size_t total) {
            EXPECT_LE(done, total);
            ++steps;
            return true;
        });
        EXPECT_EQ(report.added.size(), 10u);
    }
    EXPECT_EQ(steps, 20u);
    const auto one = contents(out.file("one"));
    EXPECT_EQ(one.size(), 48u);  // 10 sessions of 4 files, two subjects' sessions files and sidecars, 4 of the dataset
    EXPECT_TRUE(one == contents(out.file("two")));
}
