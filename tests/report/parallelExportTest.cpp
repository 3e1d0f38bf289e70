// Eight files read, analysed and exported at once, each into its own
// recording, give byte for byte what one-at-a-time runs give.
#include <gtest/gtest.h>

#include <filesystem>
#include <latch>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "data/dataFiles.h"
#include "data/loadedRecording.h"
#include "data/recordingStore.h"
#include "data/streamReader.h"
#include "report/edfExport.h"
#include "report/reportPage.h"
#include "report/textExport.h"
#include "report/textOutput.h"
#include "support/sampleRecording.h"

namespace {

using report::ReportPage;

struct Outputs {
    std::string report;  // patient block and report lines, in columns
    std::string bands;   // the band and spectrum tables
    std::string csv;     // everything with the raw EEG, as CSV
    std::vector<std::uint8_t> edf;
};

std::string pageText(ReportPage& page, report::ReportRequest mode)
{
    page.layout(true);
    std::string text;
    report::TextOutput out(text);
    report::writeReportText(page, report::ExportSettings{}, out, mode);
    return text;
}

Outputs exportFile(const std::string& path)
{
    auto own = std::make_unique<data::LoadedRecording>();
    if (data::loadRecording(path, *own, data::ReadScope::whole) != data::LoadResult::loaded)
        throw std::runtime_error("cannot read " + path);
    ReportPage page({&own->rec, &own->total, &own->seizure}, false);
    Outputs o;
    page.showPatientInfo = page.showReport = true;
    page.showBands = page.showSpectrum = page.showGraph = false;
    o.report = pageText(page, report::ReportMode::Columns);
    page.showPatientInfo = page.showReport = false;
    page.showBands = page.showSpectrum = true;
    o.bands = pageText(page, report::ReportMode::Columns);
    page.showPatientInfo = page.showReport = page.showGraph = true;
    o.csv = pageText(page, report::ReportMode::Csv);
    o.edf = report::edfBytes(own->rec, report::EdfOptions{});
    return o;
}

class ParallelExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Two- and four-channel recordings, with and without the instrument's report text.
        for (int i = 0; i < 8; ++i) {
            testing_support::resetCore();
            testing_support::SampleOptions o;
            o.channelMode = i % 2;
            o.samples = 2560 + 1280u * static_cast<std::uint32_t>(i);
            o.epochs = 10 + static_cast<std::uint32_t>(i);
            o.reportText = i % 4 < 2;
            o.seed = 100 + static_cast<std::uint32_t>(i);
            testing_support::fillPrimary(o);
            paths.push_back(dir.file("f" + std::to_string(i) + ".dat"));
            testing_support::writePrimary(paths.back());
        }
        testing_support::resetCore();
    }

    testing_support::TempDir dir;
    std::vector<std::string> paths;
};

TEST_F(ParallelExport, EightFilesAtOnceGiveTheBytesOfOneAtATime)
{
    std::vector<Outputs> alone;
    for (const std::string& path : paths)
        alone.push_back(exportFile(path));
    for (std::size_t i = 1; i < alone.size(); ++i)
        ASSERT_NE(alone[i].csv, alone[i - 1].csv);  // eight different files
    ASSERT_NE(alone[0].bands.find("Hz"), std::string::npos);
    ASSERT_FALSE(alone[0].edf.empty());

    std::vector<Outputs> together(paths.size());
    std::latch start(static_cast<std::ptrdiff_t>(paths.size()));
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < paths.size(); ++i)
        threads.emplace_back([&, i] {
            start.arrive_and_wait();  // all eight begin together
            together[i] = exportFile(paths[i]);
        });
    for (std::thread& t : threads)
        t.join();

    for (std::size_t i = 0; i < paths.size(); ++i) {
        EXPECT_EQ(together[i].report, alone[i].report) << paths[i];
        EXPECT_EQ(together[i].bands, alone[i].bands) << paths[i];
        EXPECT_EQ(together[i].csv, alone[i].csv) << paths[i];
        EXPECT_EQ(together[i].edf, alone[i].edf) << paths[i];
    }
}

// The same file read on its own and through the program's own recording
// gives the same text: the read of its own leaves nothing out.
TEST_F(ParallelExport, AFileReadOnItsOwnReadsAsTheProgramsRecording)
{
    const Outputs own = exportFile(paths[3]);
    testing_support::readPrimary(paths[3]);
    ReportPage page(false);
    page.showPatientInfo = page.showReport = page.showGraph = true;
    page.showBands = page.showSpectrum = true;
    EXPECT_EQ(pageText(page, report::ReportMode::Csv), own.csv);
    testing_support::resetCore();
}

// Eight patient rewrites at once, each on its own file, write the bytes the
// program's own rewrite writes one file at a time.
TEST_F(ParallelExport, EightPatientRewritesAtOnceWriteWhatTheProgramWrites)
{
    data::PatientSet import;
    import.text[data::patientName] = "Anonymous";
    import.text[data::patientComments] = "rewritten";
    std::array<bool, data::kPatientFields> use{};
    use[data::patientName] = use[data::patientComments] = true;
    namespace fs = std::filesystem;
    fs::create_directory(dir.file("alone"));
    fs::create_directory(dir.file("together"));
    for (std::size_t i = 0; i < paths.size(); ++i) {
        fs::copy_file(paths[i], dir.file("alone/" + std::to_string(i) + ".dat"));
        fs::copy_file(paths[i], dir.file("together/" + std::to_string(i) + ".dat"));
    }
    data::recordings.importPatients = import;
    data::recordings.useImportField = use;
    data::streamState.patientOnly = true;
    for (std::size_t i = 0; i < paths.size(); ++i)
        ASSERT_TRUE(data::rewritePatientFields(nullptr, dir.file("alone/" + std::to_string(i) + ".dat")));
    data::streamState.patientOnly = false;
    testing_support::resetCore();

    std::vector<std::string> messages(paths.size());
    std::latch start(static_cast<std::ptrdiff_t>(paths.size()));
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < paths.size(); ++i)
        threads.emplace_back([&, i] {
            start.arrive_and_wait();
            messages[i] = data::rewritePatientFileWith(dir.file("together/" + std::to_string(i) + ".dat"), import, use);
        });
    for (std::thread& t : threads)
        t.join();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        EXPECT_EQ(messages[i], "") << i;
        const auto written = testing_support::fileBytes(dir.file("together/" + std::to_string(i) + ".dat"));
        EXPECT_EQ(written, testing_support::fileBytes(dir.file("alone/" + std::to_string(i) + ".dat"))) << i;
        EXPECT_NE(written, testing_support::fileBytes(paths[i])) << i;
    }
}

}  // namespace
